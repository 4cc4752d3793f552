#include "controls/win32/Win32RegistryValueControl.h"

#include "controls/win32/RegistryAccess.h"

namespace tidewell::win32 {

RegistryValue Win32RegistryValueControl::ReadRegistryValue(RegistryRoot root,
                                                           std::string_view keyPath,
                                                           std::string_view valueName) {
    if (auto text = ReadRegistryString(root, keyPath, valueName)) {
        return RegistryValue(std::move(*text));
    }
    return RegistryValue();
}

bool Win32RegistryValueControl::WriteRegistryValue(RegistryRoot root, std::string_view keyPath,
                                                   std::string_view valueName,
                                                   std::string_view data, std::int32_t type) {
    return WriteRegistryString(root, keyPath, valueName, data, type);
}

void Win32RegistryValueControl::DeleteRegistryValue(RegistryRoot root, std::string_view keyPath,
                                                    std::string_view valueName) {
    win32::DeleteRegistryValue(root, keyPath, valueName);
}

bool Win32RegistryValueControl::CreateRegistryKey(RegistryRoot root, std::string_view keyPath) {
    return win32::CreateRegistryKey(root, keyPath);
}

bool Win32RegistryValueControl::RegistryKeyExists(RegistryRoot root, std::string_view keyPath) {
    return win32::RegistryKeyExists(root, keyPath);
}

} // namespace tidewell::win32
