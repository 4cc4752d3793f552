#pragma once

namespace tidewell {

class Clock;
class DesktopWindowsPort;
class EventLoop;
class FormLoader;
class FormsPort;
class LibraryHelperControl;
class MessageBoxPort;
class ProcessPort;
class RegistryValueControl;
class SystemHelperControl;
struct RunFlags;
class SharedObjects;

namespace ui {
class Runtime;
}
namespace help {
class AppHelp;
}

// The process-wide ports, outside controls and shared state every window core may use. One
// instance of each lives for the whole process (Program on Win32, the fixture in a test).
struct AppPorts {
    RegistryValueControl& registry; // RegDB / Reg
    SystemHelperControl& system;    // APIFunction
    LibraryHelperControl& library;  // APIFunction2
    MessageBoxPort& messageBox;     // every box counts as modal (ui::ModalMessageBox)
    EventLoop& events;
    Clock& clock;
    ProcessPort& process;
    DesktopWindowsPort& windows;
    FormLoader& forms;     // the main window, opened by the start-up window
    FormsPort& formsPort;  // real windows for ui::Form
    ui::Runtime& runtime;  // waits, modal state, quit hooks
    RunFlags& flags;       // maintenanceRunning and the other program-wide Booleans
    help::AppHelp& help;   // AppHelp, the program-wide help object
    SharedObjects& shared; // released when the main window closes
};

} // namespace tidewell
