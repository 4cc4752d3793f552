#pragma once

#include "controls/SystemHelperControl.h"

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

private:
    EventLoop& events_;
};

} // namespace tidewell::win32
