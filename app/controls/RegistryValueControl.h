#pragma once

#include "controls/RegistryValue.h"

#include <cstdint>
#include <string_view>

namespace tidewell {

// The registry-value control (RegDB, Reg). Key paths are relative to the root; a trailing
// backslash names the same key. An empty value name is the key's default value. Texts are UTF-8.
class RegistryValueControl {
public:
    virtual ~RegistryValueControl() = default;

    // The text of a REG_SZ / REG_EXPAND_SZ value, read in full whatever its length. A missing key
    // or value, a value of another type or a failed read give an empty RegistryValue.
    virtual RegistryValue ReadRegistryValue(RegistryRoot root, std::string_view keyPath,
                                            std::string_view valueName) = 0;
    // Stores `data` with `type` (always kRegSz here), creating the key when it is missing.
    // True when stored.
    virtual bool WriteRegistryValue(RegistryRoot root, std::string_view keyPath,
                                    std::string_view valueName, std::string_view data,
                                    std::int32_t type = kRegSz) = 0;
    // The value is gone afterwards; a missing value or key is no error.
    virtual void DeleteRegistryValue(RegistryRoot root, std::string_view keyPath,
                                     std::string_view valueName) = 0;
    // True when the key exists afterwards.
    virtual bool CreateRegistryKey(RegistryRoot root, std::string_view keyPath) = 0;
    // True when the key can be opened for reading; it tells the first start from later ones.
    virtual bool RegistryKeyExists(RegistryRoot root, std::string_view keyPath) = 0;
};

} // namespace tidewell
