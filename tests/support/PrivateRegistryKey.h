#pragma once

// The Win32 tests' and benchmarks' registry scaffolding: a key of the test's own, and the raw
// reads and writes that check what the code under test stored, under any root.

#include "win32common/Handles.h"

#include <windows.h>

#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace testsupport {

// Type and bytes as stored; type 0xdeadbeef when the value cannot be read.
using RawValue = std::pair<DWORD, std::vector<BYTE>>;

// Creates root\path (and what leads to it) when missing, then stores the value.
inline LSTATUS SetRawValue(HKEY root, const std::wstring& path, const std::wstring& name,
                           DWORD type, const void* data, DWORD size) {
    win32common::UniqueKey key;
    LSTATUS status =
        RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr);
    if (status == ERROR_SUCCESS) {
        status =
            RegSetValueExW(key.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
    }
    return status;
}

inline LSTATUS SetStringValue(HKEY root, const std::wstring& path, const std::wstring& name,
                              const std::wstring& data, DWORD type = REG_SZ) {
    return SetRawValue(root, path, name, type, data.c_str(),
                       static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

inline RawValue ReadRawValue(HKEY root, const std::wstring& path, const std::wstring& name) {
    RawValue result{0xdeadbeef, {}};
    win32common::UniqueKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return result;
    }
    DWORD size = 0;
    DWORD type = 0;
    if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size) ==
        ERROR_SUCCESS) {
        std::vector<BYTE> bytes(size);
        if (RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, bytes.data(), &size) ==
            ERROR_SUCCESS) {
            bytes.resize(size);
            result = {type, std::move(bytes)};
        }
    }
    return result;
}

// Value names in the order the registry enumerates them.
inline std::vector<std::wstring> ValueNames(HKEY root, const std::wstring& path) {
    std::vector<std::wstring> names;
    win32common::UniqueKey key;
    if (RegOpenKeyExW(root, path.c_str(), 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS) {
        return names;
    }
    for (DWORD i = 0;; ++i) {
        std::wstring name(16384, L'\0');
        DWORD length = static_cast<DWORD>(name.size());
        if (RegEnumValueW(key.get(), i, name.data(), &length, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        name.resize(length);
        names.push_back(std::move(name));
    }
    return names;
}

inline std::wstring Widen(std::string_view ascii) {
    return std::wstring(ascii.begin(), ascii.end());
}
inline std::string Narrow(std::wstring_view ascii) {
    return std::string(ascii.begin(), ascii.end());
}

// A key the test owns, deleted before and after, so no test sees another's leftovers: by default
// HKCU\Software\TidewellTest\<name>; elsewhere (a stranger's key under HKEY_CLASSES_ROOT, say)
// by root and full path. Made missing, or created and held open with every access right.
class PrivateRegistryKey {
public:
    enum class Start { Missing, Created };

    // Below HKEY_CURRENT_USER.
    static std::wstring PathOf(const std::wstring& name) {
        return L"Software\\TidewellTest\\" + name;
    }

    explicit PrivateRegistryKey(const std::wstring& name, Start start = Start::Missing)
        : PrivateRegistryKey(HKEY_CURRENT_USER, PathOf(name), start) {}
    explicit PrivateRegistryKey(const std::string& name, Start start = Start::Missing)
        : PrivateRegistryKey(Widen(name), start) {}
    PrivateRegistryKey(HKEY root, std::wstring path, Start start)
        : root_(root), path_(std::move(path)) {
        RegDeleteTreeW(root_, path_.c_str());
        if (start == Start::Created) {
            created_ = RegCreateKeyExW(root_, path_.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                       &key_, nullptr);
        }
    }
    ~PrivateRegistryKey() {
        key_.reset();
        RegDeleteTreeW(root_, path_.c_str());
    }
    PrivateRegistryKey(const PrivateRegistryKey&) = delete;
    PrivateRegistryKey& operator=(const PrivateRegistryKey&) = delete;

    // ERROR_SUCCESS once the key is created and open.
    LSTATUS Created() const { return created_; }
    HKEY Handle() const { return key_.get(); }
    // Below the root.
    const std::wstring& Path() const { return path_; }
    std::string NarrowPath() const { return Narrow(path_); }
    std::wstring Below(const std::wstring& subKey) const {
        return subKey.empty() ? path_ : path_ + L"\\" + subKey;
    }

    LSTATUS SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) const {
        return SetRawValue(root_, path_, name, type, data, size);
    }
    LSTATUS SetString(const std::wstring& name, const std::wstring& data) const {
        return SetStringValue(root_, path_, name, data);
    }
    LSTATUS SetString(const std::wstring& subKey, const std::wstring& name,
                      const std::wstring& data) const {
        return SetStringValue(root_, Below(subKey), name, data);
    }
    LSTATUS CreateSubKey(const std::wstring& subKey) const {
        win32common::UniqueKey child;
        return RegCreateKeyExW(root_, Below(subKey).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                               &child, nullptr);
    }
    RawValue GetRaw(const std::wstring& name) const { return ReadRawValue(root_, path_, name); }
    std::vector<std::wstring> Names() const { return ValueNames(root_, path_); }

private:
    HKEY root_;
    std::wstring path_;
    win32common::UniqueKey key_;
    LSTATUS created_ = ERROR_INVALID_FUNCTION;
};

} // namespace testsupport
