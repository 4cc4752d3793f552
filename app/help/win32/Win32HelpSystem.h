#pragma once

#include "help/HelpPorts.h"

namespace tidewell::help::win32 {

// FindFirstFileA, GetLongPathNameA, GetVersionExA, the version functions,
// ExpandEnvironmentStringsA, GetCursorPos, LoadStringA and DefWindowProcA.
class Win32HelpSystem final : public HelpSystemPort {
public:
    std::optional<std::string> FindFile(std::string_view path) override;
    std::optional<std::string> LongPathName(std::string_view path) override;
    std::optional<OsVersion> WindowsVersionInfo() override;
    std::optional<FileVersionParts> FileVersion(std::string_view path) override;
    std::string ExpandEnvironment(std::string_view text) override;
    std::optional<ScreenPoint> CursorPosition() override;
    std::string StringResource(std::uint32_t id) override;
    void DefaultWindowProcedure(WindowHandle window, std::uint32_t message, std::uintptr_t wParam,
                                std::intptr_t lParam) override;
};

} // namespace tidewell::help::win32
