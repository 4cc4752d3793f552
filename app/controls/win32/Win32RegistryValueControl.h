#pragma once

#include "controls/RegistryValueControl.h"

namespace tidewell::win32 {

// The registry-value control over advapi32.
class Win32RegistryValueControl final : public RegistryValueControl {
public:
    RegistryValue ReadRegistryValue(RegistryRoot root, std::string_view keyPath,
                                    std::string_view valueName) override;
    bool WriteRegistryValue(RegistryRoot root, std::string_view keyPath, std::string_view valueName,
                            std::string_view data, std::int32_t type = kRegSz) override;
    void DeleteRegistryValue(RegistryRoot root, std::string_view keyPath,
                             std::string_view valueName) override;
    bool CreateRegistryKey(RegistryRoot root, std::string_view keyPath) override;
    bool RegistryKeyExists(RegistryRoot root, std::string_view keyPath) override;
};

} // namespace tidewell::win32
