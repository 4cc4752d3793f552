#include "help/win32/Win32HelpRegistry.h"

#include "help/win32/AnsiText.h"
#include "win32common/Handles.h"

#include <windows.h>

#include <vector>

namespace tidewell::help::win32 {

namespace {

constexpr DWORD kNameBuffer = 2048;

// Predefined keys are sign-extended to the width of a handle.
HKEY RootKey(std::uint32_t root) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(static_cast<LONG>(root)));
}

class Key final : public HelpRegistryKey {
public:
    explicit Key(HKEY key) : key_(key) {}

    std::optional<RegistryValueEntry> EnumValue(std::uint32_t index) override {
        char name[kNameBuffer] = {};
        DWORD nameLength = kNameBuffer;
        DWORD type = 0;
        // Only name and type are wanted here: asking for the data too would end the walk at the
        // first value whose data does not fit a fixed buffer.
        const LSTATUS status =
            RegEnumValueA(key_.get(), index, name, &nameLength, nullptr, &type, nullptr, nullptr);
        if (status == ERROR_MORE_DATA) {
            return RegistryValueEntry{}; // a name too long to be one we look for
        }
        if (status != ERROR_SUCCESS) {
            return std::nullopt;
        }
        return RegistryValueEntry{FromAnsi(std::string_view(name, nameLength)), type};
    }

    std::optional<RegistryData> QueryValue(std::string_view name) override {
        const std::string ansiName = ToAnsi(name);
        for (int attempt = 0; attempt < 3; ++attempt) {
            DWORD type = 0;
            DWORD size = 0;
            if (RegQueryValueExA(key_.get(), ansiName.c_str(), nullptr, &type, nullptr, &size) !=
                ERROR_SUCCESS) {
                return std::nullopt;
            }
            std::vector<char> data(size + 1, '\0');
            DWORD read = size;
            const LSTATUS status = RegQueryValueExA(key_.get(), ansiName.c_str(), nullptr, &type,
                                                    reinterpret_cast<BYTE*>(data.data()), &read);
            if (status == ERROR_MORE_DATA) {
                continue; // the value grew in between
            }
            if (status != ERROR_SUCCESS) {
                return std::nullopt;
            }
            const std::string_view bytes(data.data(), read);
            return RegistryData{type, FromAnsi(bytes.substr(0, bytes.find('\0')))};
        }
        return std::nullopt;
    }

    bool SetValue(std::string_view name, std::uint32_t type, std::string_view data) override {
        const std::string ansiName = ToAnsi(name);
        const std::string ansiData = ToAnsi(data);
        return RegSetValueExA(key_.get(), ansiName.c_str(), 0, type,
                              reinterpret_cast<const BYTE*>(ansiData.c_str()),
                              static_cast<DWORD>(ansiData.size() + 1)) == ERROR_SUCCESS;
    }

    bool DeleteValue(std::string_view name) override {
        return RegDeleteValueA(key_.get(), ToAnsi(name).c_str()) == ERROR_SUCCESS;
    }

    bool Close() override {
        if (!key_) {
            return false;
        }
        return RegCloseKey(key_.release()) == ERROR_SUCCESS;
    }

private:
    win32common::UniqueKey key_;
};

} // namespace

std::unique_ptr<HelpRegistryKey>
Win32HelpRegistry::OpenKey(std::uint32_t root, std::string_view path, std::uint32_t access) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(RootKey(root), ToAnsi(path).c_str(), 0, access, &key) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Key>(key);
}

std::unique_ptr<HelpRegistryKey>
Win32HelpRegistry::CreateKey(std::uint32_t root, std::string_view path, std::uint32_t access) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(RootKey(root), ToAnsi(path).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                        access, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return nullptr;
    }
    return std::make_unique<Key>(key);
}

} // namespace tidewell::help::win32
