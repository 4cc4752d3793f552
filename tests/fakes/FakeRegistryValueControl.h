#pragma once

#include "controls/RegistryValueControl.h"
#include "fakes/EventLog.h"

#include <cctype>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace tidewell::fakes {

// An in-memory registry behind the registry-value control, with the adapter's rules: key paths
// and value names are case-insensitive, a trailing backslash names the same key, only REG_SZ and
// REG_EXPAND_SZ read as text, anything else reads empty, writes create the key.
class FakeRegistryValueControl : public RegistryValueControl {
public:
    struct Write {
        RegistryRoot root;
        std::string keyPath;
        std::string valueName;
        std::string data;
        std::int32_t type;
        bool stored;
    };

    explicit FakeRegistryValueControl(EventLog* log = nullptr) : log_(log) {}

    // --- arranging
    void AddKey(RegistryRoot root, std::string_view keyPath) { keys_[KeyOf(root, keyPath)]; }
    void Set(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
             std::string_view data, std::int32_t type = kRegSz) {
        keys_[KeyOf(root, keyPath)][Lower(valueName)] = Value{type, std::string(data)};
    }
    // Writes of this value name (any key) fail; "" makes every write fail.
    void FailWritesOf(std::string_view valueName) { failingWrites_.insert(Lower(valueName)); }
    void FailAllWrites() { failAllWrites_ = true; }
    void FailCreateKey() { failCreate_ = true; }
    // CreateRegistryKey reports success but leaves no key behind.
    void CreateKeyLies() { createLies_ = true; }

    // --- inspecting
    bool HasKey(RegistryRoot root, std::string_view keyPath) const {
        return keys_.contains(KeyOf(root, keyPath));
    }
    std::optional<std::string> Data(RegistryRoot root, std::string_view keyPath,
                                    std::string_view valueName) const {
        const Value* value = Find(root, keyPath, valueName);
        return value ? std::optional<std::string>(value->data) : std::nullopt;
    }
    std::optional<std::int32_t> Type(RegistryRoot root, std::string_view keyPath,
                                     std::string_view valueName) const {
        const Value* value = Find(root, keyPath, valueName);
        return value ? std::optional<std::int32_t>(value->type) : std::nullopt;
    }
    const std::vector<Write>& Writes() const { return writes_; }
    int CreateCalls() const { return createCalls_; }

    // --- RegistryValueControl
    RegistryValue ReadRegistryValue(RegistryRoot root, std::string_view keyPath,
                                    std::string_view valueName) override {
        const Value* value = Find(root, keyPath, valueName);
        if (value == nullptr || (value->type != kRegSz && value->type != kRegExpandSz)) {
            return RegistryValue();
        }
        return RegistryValue(value->data);
    }

    bool WriteRegistryValue(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                            std::string_view data, std::int32_t type) override {
        const bool fail = failAllWrites_ || failingWrites_.contains(Lower(valueName));
        writes_.push_back(Write{root, std::string(keyPath), std::string(valueName),
                                std::string(data), type, !fail});
        if (log_) {
            log_->Add("registry:write " + std::string(valueName) + "=" + std::string(data));
        }
        if (fail) {
            return false;
        }
        keys_[KeyOf(root, keyPath)][Lower(valueName)] = Value{type, std::string(data)};
        return true;
    }

    void DeleteRegistryValue(RegistryRoot root, std::string_view keyPath,
                             std::string_view valueName) override {
        const auto key = keys_.find(KeyOf(root, keyPath));
        if (key != keys_.end()) {
            key->second.erase(Lower(valueName));
        }
    }

    bool CreateRegistryKey(RegistryRoot root, std::string_view keyPath) override {
        ++createCalls_;
        if (log_) {
            log_->Add("registry:create " + std::string(keyPath));
        }
        if (failCreate_) {
            return false;
        }
        if (!createLies_) {
            keys_[KeyOf(root, keyPath)];
        }
        return true;
    }

    bool RegistryKeyExists(RegistryRoot root, std::string_view keyPath) override {
        return HasKey(root, keyPath);
    }

private:
    struct Value {
        std::int32_t type;
        std::string data;
    };
    using Key = std::map<std::string, Value>;

    static std::string Lower(std::string_view text) {
        std::string lower(text);
        for (char& c : lower) {
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        }
        return lower;
    }
    static std::string KeyOf(RegistryRoot root, std::string_view keyPath) {
        while (keyPath.ends_with('\\')) {
            keyPath.remove_suffix(1);
        }
        return std::to_string(root) + "|" + Lower(keyPath);
    }
    const Value* Find(RegistryRoot root, std::string_view keyPath,
                      std::string_view valueName) const {
        const auto key = keys_.find(KeyOf(root, keyPath));
        if (key == keys_.end()) {
            return nullptr;
        }
        const auto value = key->second.find(Lower(valueName));
        return value == key->second.end() ? nullptr : &value->second;
    }

    EventLog* log_;
    std::map<std::string, Key> keys_;
    std::set<std::string> failingWrites_;
    bool failAllWrites_ = false;
    bool failCreate_ = false;
    bool createLies_ = false;
    int createCalls_ = 0;
    std::vector<Write> writes_;
};

} // namespace tidewell::fakes
