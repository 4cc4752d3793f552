#pragma once

#include "fakes/EventLog.h"
#include "help/HelpPorts.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <deque>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace tidewell::fakes {

inline std::string LowerAscii(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(),
                   [](char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c + 32) : c; });
    return lowered;
}

// Records every HtmlHelp call with its records' fields; answers a made-up viewer window.
class FakeHtmlHelp : public help::HtmlHelpPort {
public:
    struct Request {
        WindowHandle owner;
        std::optional<std::string> target;
        std::uint32_t command;
        help::HtmlHelpData data;
    };

    explicit FakeHtmlHelp(EventLog* log = nullptr) : log_(log) {}

    const std::vector<Request>& Calls() const { return calls_; }
    void Clear() { calls_.clear(); }

    WindowHandle Call(WindowHandle owner, const std::optional<std::string>& target,
                      std::uint32_t command, const help::HtmlHelpData& data) override {
        calls_.push_back({owner, target, command, data});
        if (log_) {
            log_->Add("htmlhelp:" + std::to_string(command));
        }
        return 0x7000 + calls_.size();
    }

private:
    EventLog* log_;
    std::vector<Request> calls_;
};

// The class's boxes by script, as FakeMessageBox does for the program's: every box must be
// expected, in order, with its exact parameters.
class FakeHelpMessageBox : public help::HelpMessageBoxPort {
public:
    explicit FakeHelpMessageBox(EventLog* log = nullptr) : log_(log) {}
    ~FakeHelpMessageBox() override {
        for (const auto& box : expected_) {
            ADD_FAILURE() << "expected help box never shown: \"" << box.lpszText << "\"";
        }
    }

    void ExpectError(std::string text) {
        expected_.push_back({0, std::move(text), "Quillfen! Error", help::style::kOkStop});
    }
    void ExpectInfo(std::string text) {
        expected_.push_back({0, std::move(text), "Quillfen! Error", help::style::kOkInformation});
    }
    const std::vector<help::MessageBoxParams>& Transcript() const { return transcript_; }

    int ShowIndirect(const help::MessageBoxParams& params) override {
        if (log_) {
            log_->Add("helpbox:" + params.lpszText);
        }
        transcript_.push_back(params);
        if (expected_.empty()) {
            ADD_FAILURE() << "unexpected help box: \"" << params.lpszText << "\" style "
                          << params.dwStyle;
            return 1;
        }
        const help::MessageBoxParams want = expected_.front();
        expected_.pop_front();
        EXPECT_EQ(params.lpszText, want.lpszText) << "box #" << transcript_.size();
        EXPECT_EQ(params.lpszCaption, want.lpszCaption) << "box #" << transcript_.size();
        EXPECT_EQ(params.dwStyle, want.dwStyle) << "box #" << transcript_.size();
        EXPECT_EQ(params.hwndOwner, want.hwndOwner) << "box #" << transcript_.size();
        return 1;
    }

private:
    EventLog* log_;
    std::deque<help::MessageBoxParams> expected_;
    std::vector<help::MessageBoxParams> transcript_;
};

// A file system of known paths (compared without regard to case), plus the other kernel and
// window-manager answers the help class asks for.
class FakeHelpSystem : public help::HelpSystemPort {
public:
    explicit FakeHelpSystem(EventLog* log = nullptr) : log_(log) {}

    // Adds the file and every folder above it, each found under its own last name.
    void AddFile(std::string_view path) {
        std::string current(path);
        while (true) {
            const auto slash = current.rfind('\\');
            if (slash == std::string::npos || slash <= 2) {
                entries_[LowerAscii(current)] = current.substr(slash + 1);
                return;
            }
            entries_[LowerAscii(current)] = current.substr(slash + 1);
            current.resize(slash);
        }
    }
    void RemoveFile(std::string_view path) { entries_.erase(LowerAscii(path)); }
    // A short (8.3) path that the search finds under its long last name.
    void AddAlias(std::string_view shortPath, std::string longName) {
        entries_[LowerAscii(shortPath)] = std::move(longName);
    }

    std::optional<help::OsVersion> version = help::OsVersion{help::kPlatformWindows, 4, 10};
    std::map<std::string, std::string> longPaths;           // lower-case path -> long form
    std::map<std::string, help::FileVersionParts> versions; // lower-case path -> version
    std::map<std::uint32_t, std::string> strings;
    std::map<std::string, std::string> environment{{"%windir%", "C:\\WINDOWS"}};
    std::optional<help::ScreenPoint> cursor = help::ScreenPoint{300, 200};

    struct WindowCall {
        WindowHandle window;
        std::uint32_t message;
        std::uintptr_t wParam;
        std::intptr_t lParam;
    };
    const std::vector<std::string>& Searches() const { return searches_; }
    const std::vector<std::string>& LongPathRequests() const { return longPathRequests_; }
    const std::vector<WindowCall>& WindowCalls() const { return windowCalls_; }

    std::optional<std::string> FindFile(std::string_view path) override {
        searches_.emplace_back(path);
        if (log_) {
            log_->Add("find:" + std::string(path));
        }
        const auto found = entries_.find(LowerAscii(path));
        if (found == entries_.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::optional<std::string> LongPathName(std::string_view path) override {
        longPathRequests_.emplace_back(path);
        const auto found = longPaths.find(LowerAscii(path));
        if (found == longPaths.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::optional<help::OsVersion> WindowsVersionInfo() override { return version; }
    std::optional<help::FileVersionParts> FileVersion(std::string_view path) override {
        const auto found = versions.find(LowerAscii(path));
        if (found == versions.end()) {
            return std::nullopt;
        }
        return found->second;
    }
    std::string ExpandEnvironment(std::string_view text) override {
        std::string expanded(text);
        for (const auto& [name, value] : environment) {
            const auto at = LowerAscii(expanded).find(name);
            if (at != std::string::npos) {
                expanded.replace(at, name.size(), value);
            }
        }
        return expanded;
    }
    std::optional<help::ScreenPoint> CursorPosition() override { return cursor; }
    std::string StringResource(std::uint32_t id) override {
        const auto found = strings.find(id);
        return found == strings.end() ? std::string() : found->second;
    }
    void DefaultWindowProcedure(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override {
        windowCalls_.push_back({window, message, wParam, lParam});
    }

private:
    EventLog* log_;
    std::map<std::string, std::string> entries_;
    std::vector<std::string> searches_;
    std::vector<std::string> longPathRequests_;
    std::vector<WindowCall> windowCalls_;
};

// An in-memory registry with the platform's rules the class relies on: names without regard to
// case, enumeration in creation order, the default value under the empty name. Every operation
// lands in Operations(); failures on demand; every key opened must be closed again.
class FakeHelpRegistry : public help::HelpRegistryPort {
public:
    struct Value {
        std::string name;
        std::uint32_t type;
        std::string data;
    };

    ~FakeHelpRegistry() override { EXPECT_EQ(openKeys_, 0) << "registry keys left open"; }

    void Set(std::uint32_t root, std::string_view path, std::string name, std::uint32_t type,
             std::string data) {
        auto& values = keys_[{root, LowerAscii(path)}];
        for (Value& value : values) {
            if (LowerAscii(value.name) == LowerAscii(name)) {
                value = {std::move(name), type, std::move(data)};
                return;
            }
        }
        values.push_back({std::move(name), type, std::move(data)});
    }
    void AddKey(std::uint32_t root, std::string_view path) { keys_[{root, LowerAscii(path)}]; }
    std::optional<Value> Get(std::uint32_t root, std::string_view path,
                             std::string_view name) const {
        const auto key = keys_.find({root, LowerAscii(path)});
        if (key == keys_.end()) {
            return std::nullopt;
        }
        for (const Value& value : key->second) {
            if (LowerAscii(value.name) == LowerAscii(name)) {
                return value;
            }
        }
        return std::nullopt;
    }
    bool HasKey(std::uint32_t root, std::string_view path) const {
        return keys_.contains({root, LowerAscii(path)});
    }

    bool failCreate = false;
    bool failSet = false;
    bool failDelete = false;
    bool failClose = false;
    // Access rights the fake refuses to grant.
    std::uint32_t deniedAccess = 0;

    const std::vector<std::string>& Operations() const { return operations_; }
    void ClearOperations() { operations_.clear(); }

    std::unique_ptr<help::HelpRegistryKey> OpenKey(std::uint32_t root, std::string_view path,
                                                   std::uint32_t access) override {
        operations_.push_back("open " + Describe(root, path, access));
        if ((access & deniedAccess) != 0 || !HasKey(root, path)) {
            return nullptr;
        }
        return std::make_unique<Key>(*this, std::make_pair(root, LowerAscii(path)));
    }
    std::unique_ptr<help::HelpRegistryKey> CreateKey(std::uint32_t root, std::string_view path,
                                                     std::uint32_t access) override {
        operations_.push_back("create " + Describe(root, path, access));
        if (failCreate) {
            return nullptr;
        }
        AddKey(root, path);
        return std::make_unique<Key>(*this, std::make_pair(root, LowerAscii(path)));
    }

private:
    using KeyId = std::pair<std::uint32_t, std::string>;

    static std::string Describe(std::uint32_t root, std::string_view path, std::uint32_t access) {
        char buffer[32];
        std::snprintf(buffer, sizeof(buffer), "%08X", root);
        return std::string(buffer) + "\\" + std::string(path) + " access " + std::to_string(access);
    }

    class Key : public help::HelpRegistryKey {
    public:
        Key(FakeHelpRegistry& registry, KeyId id) : registry_(registry), id_(std::move(id)) {
            ++registry_.openKeys_;
        }
        ~Key() override {
            if (!closed_) {
                Close();
            }
        }
        std::optional<help::RegistryValueEntry> EnumValue(std::uint32_t index) override {
            const auto& values = registry_.keys_[id_];
            if (index >= values.size()) {
                return std::nullopt;
            }
            return help::RegistryValueEntry{values[index].name, values[index].type};
        }
        std::optional<help::RegistryData> QueryValue(std::string_view name) override {
            registry_.operations_.push_back("query " + std::string(name));
            for (const Value& value : registry_.keys_[id_]) {
                if (LowerAscii(value.name) == LowerAscii(name)) {
                    return help::RegistryData{value.type,
                                              value.data.substr(0, value.data.find('\0'))};
                }
            }
            return std::nullopt;
        }
        bool SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
            registry_.operations_.push_back("set " + std::string(name) + " type " +
                                            std::to_string(type) + " = " + std::string(data));
            if (registry_.failSet) {
                return false;
            }
            registry_.Set(id_.first, id_.second, std::string(name), type, std::string(data));
            return true;
        }
        bool DeleteValue(std::string_view name) override {
            registry_.operations_.push_back("delete " + std::string(name));
            if (registry_.failDelete) {
                return false;
            }
            auto& values = registry_.keys_[id_];
            const auto before = values.size();
            std::erase_if(values, [&](const Value& value) {
                return LowerAscii(value.name) == LowerAscii(name);
            });
            return values.size() != before;
        }
        bool Close() override {
            if (closed_) {
                ADD_FAILURE() << "registry key closed twice";
                return false;
            }
            closed_ = true;
            --registry_.openKeys_;
            registry_.operations_.push_back("close");
            return !registry_.failClose;
        }

    private:
        FakeHelpRegistry& registry_;
        KeyId id_;
        bool closed_ = false;
    };

    std::map<KeyId, std::vector<Value>> keys_;
    std::vector<std::string> operations_;
    int openKeys_ = 0;
};

} // namespace tidewell::fakes
