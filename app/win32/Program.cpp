#include "win32/Program.h"

#include "ports/DesktopWindows.h"

#include <commctrl.h>

namespace tidewell::win32 {

Program::Program(HINSTANCE instance)
    : instance_(instance), system_(events_), windows_(applicationWindow_),
      maintenanceWindow_(instance, applicationWindow_, openForms_),
      ports_{registry_, system_,  library_, messageBox_,       events_,
             clock_,    process_, windows_, maintenanceWindow_},
      introWindow_(applicationWindow_, openForms_) {
    maintenanceWindow_.SetPorts(&ports_);
}

int Program::Run() {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES;
    if (!InitCommonControlsEx(&controls)) {
        return 1;
    }
    if (!applicationWindow_.Create(instance_, kApplicationTitle)) {
        return 1;
    }
    if (!introWindow_.Create(instance_, ports_)) {
        return 1;
    }
    introWindow_.Core().Form_Load();
    if (openForms_.Count() == 0) {
        return 0;
    }
    return RunMessageLoop();
}

} // namespace tidewell::win32
