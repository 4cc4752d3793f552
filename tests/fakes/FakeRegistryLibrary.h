#pragma once

#include "fakes/EventLog.h"
#include "startup_entries/RegistryObjects.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace tidewell::fakes {

// The registry object library over an in-memory registry. Keys keep their values in insertion
// order (the order the value collection enumerates); key paths and value names are
// case-insensitive and a trailing backslash names the same key, as in the registry. Any operation
// can be made to fail with a given HRESULT and description.
class FakeRegistryLibrary : public RegistryLibrary {
public:
    enum class Operation {
        CreateDatabase,
        OpenKey,
        CreateKey,
        ValueCount,
        Values,
        ValueExists,
        ReadValue,
        WriteString,
        DeleteValue
    };

    explicit FakeRegistryLibrary(EventLog* log = nullptr) : log_(log) {}

    // --- arranging
    void AddKey(RegistryRoot root, std::string_view path) { Key(root, path, true); }
    void Set(RegistryRoot root, std::string_view path, std::string name, RegistryData data) {
        auto& values = *Key(root, path, true);
        for (auto& [existing, stored] : values) {
            if (Lower(existing) == Lower(name)) {
                stored = std::move(data);
                return;
            }
        }
        values.emplace_back(std::move(name), std::move(data));
    }
    void SetText(RegistryRoot root, std::string_view path, std::string name, std::string text) {
        Set(root, path, std::move(name), RegistryData::Text(std::move(text)));
    }
    void Remove(RegistryRoot root, std::string_view path, std::string_view name) {
        if (auto* values = Key(root, path, false)) {
            std::erase_if(*values, [&](const auto& v) { return Lower(v.first) == Lower(name); });
        }
    }
    // Every call of `operation` from now on fails (after `skip` successful ones).
    void Fail(Operation operation, std::uint32_t hresult, std::string description, int skip = 0) {
        failures_[operation] = Failure{hresult, std::move(description), skip};
    }
    void Heal(Operation operation) { failures_.erase(operation); }

    // --- inspecting
    bool HasKey(RegistryRoot root, std::string_view path) const {
        return keys_.contains(KeyName(root, path));
    }
    std::vector<std::string> Names(RegistryRoot root, std::string_view path) const {
        std::vector<std::string> names;
        const auto it = keys_.find(KeyName(root, path));
        if (it != keys_.end()) {
            for (const auto& value : it->second) {
                names.push_back(value.first);
            }
        }
        return names;
    }
    std::optional<RegistryData> Data(RegistryRoot root, std::string_view path,
                                     std::string_view name) const {
        const auto it = keys_.find(KeyName(root, path));
        if (it != keys_.end()) {
            for (const auto& value : it->second) {
                if (Lower(value.first) == Lower(name)) {
                    return value.second;
                }
            }
        }
        return std::nullopt;
    }
    int DatabasesCreated() const { return databases_; }
    int Calls(Operation operation) const {
        const auto it = calls_.find(operation);
        return it == calls_.end() ? 0 : it->second;
    }

    // --- RegistryLibrary
    std::unique_ptr<RegistryDatabaseObject> CreateDatabase() override {
        Enter(Operation::CreateDatabase, "library:CreateDatabase");
        ++databases_;
        return std::make_unique<Database>(*this);
    }

private:
    using ValueList = std::vector<std::pair<std::string, RegistryData>>;
    struct Failure {
        std::uint32_t hresult;
        std::string description;
        int skip;
    };

    class KeyObject : public RegistryKeyObject {
    public:
        KeyObject(FakeRegistryLibrary& library, std::string name)
            : library_(library), name_(std::move(name)) {}
        std::int32_t ValueCount() override {
            library_.Enter(Operation::ValueCount, "library:ValueCount " + name_);
            return static_cast<std::int32_t>(Stored().size());
        }
        std::vector<RegistryEntry> Values() override {
            library_.Enter(Operation::Values, "library:Values " + name_);
            std::vector<RegistryEntry> entries;
            for (const auto& [name, data] : Stored()) {
                entries.push_back({name, data});
            }
            return entries;
        }
        bool ValueExists(std::string_view name) override {
            library_.Enter(Operation::ValueExists, "library:ValueExists " + std::string(name));
            return Find(name) != nullptr;
        }
        std::optional<RegistryData> ReadValue(std::string_view name) override {
            library_.Enter(Operation::ReadValue, "library:ReadValue " + std::string(name));
            const RegistryData* data = Find(name);
            return data ? std::optional<RegistryData>(*data) : std::nullopt;
        }
        void WriteString(std::string_view name, std::string_view data) override {
            library_.Enter(Operation::WriteString, "library:WriteString " + name_ + "|" +
                                                       std::string(name) + "=" + std::string(data));
            auto& values = Stored();
            for (auto& [existing, stored] : values) {
                if (Lower(existing) == Lower(name)) {
                    stored = RegistryData::Text(std::string(data));
                    return;
                }
            }
            values.emplace_back(std::string(name), RegistryData::Text(std::string(data)));
        }
        void DeleteValue(std::string_view name) override {
            library_.Enter(Operation::DeleteValue,
                           "library:DeleteValue " + name_ + "|" + std::string(name));
            auto& values = Stored();
            const auto before = values.size();
            std::erase_if(values, [&](const auto& v) { return Lower(v.first) == Lower(name); });
            if (values.size() == before) {
                throw RegistryLibraryError(kNotFoundResult,
                                           "Error deleting the registry value - File not found.");
            }
        }

    private:
        // A key deleted under an open object reports as the registry does.
        ValueList& Stored() {
            const auto it = library_.keys_.find(name_);
            if (it == library_.keys_.end()) {
                throw RegistryLibraryError(0x800703FAu, "Illegal operation on a deleted key");
            }
            return it->second;
        }
        const RegistryData* Find(std::string_view name) {
            for (const auto& [existing, data] : Stored()) {
                if (Lower(existing) == Lower(name)) {
                    return &data;
                }
            }
            return nullptr;
        }
        FakeRegistryLibrary& library_;
        std::string name_;
    };

    class Database : public RegistryDatabaseObject {
    public:
        explicit Database(FakeRegistryLibrary& library) : library_(library) {}
        std::unique_ptr<RegistryKeyObject> OpenKey(RegistryRoot root,
                                                   std::string_view path) override {
            const std::string name = KeyName(root, path);
            library_.Enter(Operation::OpenKey, "library:OpenKey " + name);
            if (!library_.keys_.contains(name)) {
                return nullptr;
            }
            return std::make_unique<KeyObject>(library_, name);
        }
        std::unique_ptr<RegistryKeyObject> CreateKey(RegistryRoot root,
                                                     std::string_view path) override {
            const std::string name = KeyName(root, path);
            library_.Enter(Operation::CreateKey, "library:CreateKey " + name);
            library_.keys_[name];
            return std::make_unique<KeyObject>(library_, name);
        }

    private:
        FakeRegistryLibrary& library_;
    };

    void Enter(Operation operation, const std::string& entry) {
        ++calls_[operation];
        if (log_) {
            log_->Add(entry);
        }
        const auto it = failures_.find(operation);
        if (it != failures_.end()) {
            if (it->second.skip > 0) {
                --it->second.skip;
                return;
            }
            throw RegistryLibraryError(it->second.hresult, it->second.description);
        }
    }

    static std::string Lower(std::string_view text) {
        std::string lower(text);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return lower;
    }
    static std::string KeyName(RegistryRoot root, std::string_view path) {
        while (path.ends_with('\\')) {
            path.remove_suffix(1);
        }
        return (root == kHkeyCurrentUser    ? "HKCU\\"
                : root == kHkeyLocalMachine ? "HKLM\\"
                                            : "?\\") +
               Lower(path);
    }
    ValueList* Key(RegistryRoot root, std::string_view path, bool create) {
        const std::string name = KeyName(root, path);
        if (create) {
            return &keys_[name];
        }
        const auto it = keys_.find(name);
        return it == keys_.end() ? nullptr : &it->second;
    }

    EventLog* log_;
    std::map<std::string, ValueList> keys_;
    std::map<Operation, Failure> failures_;
    std::map<Operation, int> calls_;
    int databases_ = 0;
};

} // namespace tidewell::fakes
