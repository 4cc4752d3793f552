#pragma once

#include "app_wine/adapters/RunTestSupport.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidewell::test {

// COM for the test's thread, as WinMain sets it up for the program.
class ApartmentTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override { CoUninitialize(); }
};

// HKCU\Software\TidewellTest\<name>, deleted before and after.
class PrivateRunKey {
public:
    explicit PrivateRunKey(const std::string& name) : path_("Software\\TidewellTest\\" + name) {
        RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str());
    }
    ~PrivateRunKey() { RegDeleteTreeA(HKEY_CURRENT_USER, path_.c_str()); }
    PrivateRunKey(const PrivateRunKey&) = delete;
    PrivateRunKey& operator=(const PrivateRunKey&) = delete;

    const std::string& Path() const { return path_; }

    LSTATUS SetRaw(const std::wstring& name, DWORD type, const void* data, DWORD size) const {
        HKEY key = nullptr;
        LSTATUS status = RegCreateKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, nullptr, 0,
                                         KEY_SET_VALUE, nullptr, &key, nullptr);
        if (status == ERROR_SUCCESS) {
            status =
                RegSetValueExW(key, name.c_str(), 0, type, static_cast<const BYTE*>(data), size);
            RegCloseKey(key);
        }
        return status;
    }
    LSTATUS SetString(const std::wstring& name, const std::wstring& data) const {
        return SetRaw(name, REG_SZ, data.c_str(),
                      static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
    }

    // Type and bytes as stored; type 0xdeadbeef when the value cannot be read.
    std::pair<DWORD, std::vector<BYTE>> GetRaw(const std::wstring& name) const {
        std::pair<DWORD, std::vector<BYTE>> result{0xdeadbeef, {}};
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS) {
            return result;
        }
        DWORD size = 0;
        DWORD type = 0;
        if (RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) == ERROR_SUCCESS) {
            result.second.resize(size);
            if (RegQueryValueExW(key, name.c_str(), nullptr, &type, result.second.data(), &size) ==
                ERROR_SUCCESS) {
                result.first = type;
                result.second.resize(size);
            }
        }
        RegCloseKey(key);
        return result;
    }

    // Value names in the order the registry enumerates them.
    std::vector<std::wstring> Names() const {
        std::vector<std::wstring> names;
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path_.c_str(), 0, KEY_QUERY_VALUE, &key) !=
            ERROR_SUCCESS) {
            return names;
        }
        for (DWORD i = 0;; ++i) {
            wchar_t name[16384];
            DWORD length = static_cast<DWORD>(std::size(name));
            if (RegEnumValueW(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) !=
                ERROR_SUCCESS) {
                break;
            }
            names.emplace_back(name, length);
        }
        RegCloseKey(key);
        return names;
    }

private:
    std::string path_;
};

// A folder of its own under the temporary folder, removed with everything in it afterwards: the
// Wine tests' one scratch folder.
class TemporaryFolder : public ScratchFolder {
public:
    TemporaryFolder() : ScratchFolder(L"TidewellEntries") {}
};

inline std::vector<BYTE> StringBytes(const std::wstring& text) {
    const auto* bytes = reinterpret_cast<const BYTE*>(text.c_str());
    return std::vector<BYTE>(bytes, bytes + (text.size() + 1) * sizeof(wchar_t));
}

} // namespace tidewell::test
