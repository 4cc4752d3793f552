#pragma once

#include "help/HelpPorts.h"

namespace tidewell::help::win32 {

// The help class's registry operations over the ANSI registry functions. Roots are the platform's
// predefined keys as 32-bit numbers (0x80000002 for HKEY_LOCAL_MACHINE).
class Win32HelpRegistry final : public HelpRegistryPort {
public:
    std::unique_ptr<HelpRegistryKey> OpenKey(std::uint32_t root, std::string_view path,
                                             std::uint32_t access) override;
    std::unique_ptr<HelpRegistryKey> CreateKey(std::uint32_t root, std::string_view path,
                                               std::uint32_t access) override;
};

} // namespace tidewell::help::win32
