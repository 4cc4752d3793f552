#pragma once

#include "help/HTMLHelpDeclarations.h"
#include "ports/WindowHandle.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell {
class ProcessPort;
}

namespace tidewell::help {

// The HTML Help viewer (hhctrl's HtmlHelp). A null target is an empty optional.
class HtmlHelpPort {
public:
    virtual ~HtmlHelpPort() = default;
    // The viewer's window, or 0; the class never looks at it.
    virtual WindowHandle Call(WindowHandle owner, const std::optional<std::string>& target,
                              std::uint32_t command, const HtmlHelpData& data) = 0;
};

// The help class's own message boxes (MessageBoxIndirect).
class HelpMessageBoxPort {
public:
    virtual ~HelpMessageBoxPort() = default;
    virtual int ShowIndirect(const MessageBoxParams& params) = 0;
};

// The kernel, version and window-manager functions the help class uses.
class HelpSystemPort {
public:
    virtual ~HelpSystemPort() = default;
    // FindFirstFile: the name of the first match (cFileName), or nothing; the search is closed.
    virtual std::optional<std::string> FindFile(std::string_view path) = 0;
    // The platform's long-path function with a buffer of 256 characters; nothing when it fails.
    virtual std::optional<std::string> LongPathName(std::string_view path) = 0;
    virtual std::optional<OsVersion> WindowsVersionInfo() = 0;
    // The fixed file version of the file's version block; nothing without one.
    virtual std::optional<FileVersionParts> FileVersion(std::string_view path) = 0;
    virtual std::string ExpandEnvironment(std::string_view text) = 0;
    virtual std::optional<ScreenPoint> CursorPosition() = 0;
    // The program's own string resource, empty when there is none.
    virtual std::string StringResource(std::uint32_t id) = 0;
    virtual void DefaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                        std::uintptr_t wParam, std::intptr_t lParam) = 0;
};

struct RegistryValueEntry {
    std::string name;
    std::uint32_t type = 0;
};
struct RegistryData {
    std::uint32_t type = 0;
    std::string text; // up to the first NUL
};

// One open registry key; the destructor closes it when Close was not called.
class HelpRegistryKey {
public:
    virtual ~HelpRegistryKey() = default;
    // RegEnumValue with name and data buffers of 2048 characters; nothing at the end or on error.
    virtual std::optional<RegistryValueEntry> EnumValue(std::uint32_t index) = 0;
    virtual std::optional<RegistryData> QueryValue(std::string_view name) = 0;
    // Writes `data` with its terminating NUL.
    virtual bool SetValue(std::string_view name, std::uint32_t type, std::string_view data) = 0;
    virtual bool DeleteValue(std::string_view name) = 0;
    // RegCloseKey; true when it succeeded.
    virtual bool Close() = 0;
};

class HelpRegistryPort {
public:
    virtual ~HelpRegistryPort() = default;
    // RegOpenKeyEx / RegCreateKeyEx (no class, non-volatile, no security attributes); null when
    // the key cannot be opened or created.
    virtual std::unique_ptr<HelpRegistryKey> OpenKey(std::uint32_t root, std::string_view path,
                                                     std::uint32_t access) = 0;
    virtual std::unique_ptr<HelpRegistryKey> CreateKey(std::uint32_t root, std::string_view path,
                                                       std::uint32_t access) = 0;
};

// Everything the help class reaches the platform through. The process port gives the program's
// folder.
struct HelpPorts {
    HtmlHelpPort& htmlHelp;
    HelpMessageBoxPort& messageBox;
    HelpSystemPort& system;
    HelpRegistryPort& registry;
    ProcessPort& process;
};

} // namespace tidewell::help
