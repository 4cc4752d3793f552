#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell::win32 {

// advapi32 behind the registry-value control. Roots are the predefined keys as the 32-bit numbers
// the program passes (0x80000001 HKEY_CURRENT_USER, 0x80000002 HKEY_LOCAL_MACHINE); key paths may
// end with a backslash. Texts are UTF-8.

// The text of a REG_SZ or REG_EXPAND_SZ value, read in full whatever its length; nothing for a
// missing key or value, a value of another type, or any other failure.
std::optional<std::string> ReadRegistryString(std::int32_t root, std::string_view keyPath,
                                              std::string_view valueName);

// Stores data as REG_SZ, creating the key when it is missing. Other types are refused.
bool WriteRegistryString(std::int32_t root, std::string_view keyPath, std::string_view valueName,
                         std::string_view data, std::int32_t type);

// A missing key or value is no error.
bool DeleteRegistryValue(std::int32_t root, std::string_view keyPath, std::string_view valueName);

// True when the key exists afterwards.
bool CreateRegistryKey(std::int32_t root, std::string_view keyPath);

// True when the key can be opened for reading.
bool RegistryKeyExists(std::int32_t root, std::string_view keyPath);

} // namespace tidewell::win32
