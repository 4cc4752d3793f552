#pragma once

namespace tidewell {

class Clock;
class DesktopWindowsPort;
class EventLoop;
class FormLoader;
class LibraryHelperControl;
class MessageBoxPort;
class ProcessPort;
class RegistryValueControl;
class SystemHelperControl;

// The process-wide ports and outside controls every window core may use. One instance of each
// lives for the whole process (WinMain in the program, the fixture in a test). Controls that are
// bound to one window (its tray icon) are passed to that window's core on their own.
struct AppPorts {
    RegistryValueControl& registry; // RegDB / Reg
    SystemHelperControl& system;    // APIFunction
    LibraryHelperControl& library;  // APIFunction2
    MessageBoxPort& messageBox;
    EventLoop& events;
    Clock& clock;
    ProcessPort& process;
    DesktopWindowsPort& windows;
    FormLoader& forms;
};

} // namespace tidewell
