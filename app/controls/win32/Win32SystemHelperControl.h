#pragma once

#include "controls/SystemHelperControl.h"

#include <optional>

namespace tidewell {
class EventLoop;
}

namespace tidewell::win32 {

// The system helper control over user32 and the shell.
class Win32SystemHelperControl final : public SystemHelperControl {
public:
    explicit Win32SystemHelperControl(EventLoop& events) : events_(events) {}

    void DisableScreenSaver() override;
    void EnableScreenSaver() override;
    void EmptyRecycleBin() override;
    void RestartWindows() override;
    void OpenInternetOptions() override;

    // Enables SeShutdownPrivilege in this process's token; false when the token does not hold it.
    static bool EnableShutdownPrivilege();

private:
    EventLoop& events_;
    std::optional<bool> foundActive_; // the screen saver's state before DisableScreenSaver
};

} // namespace tidewell::win32
