#include "win32/Program.h"

#include "ports/DesktopWindows.h"
#include "run/WindowExists.h"
#include "startup/win32/WindowFunctions.h"

#include <commctrl.h>

namespace tidewell::win32 {

Program::Program(HINSTANCE instance)
    : instance_(instance),
      // The process ends with its last form; every shown form keeps the application window below.
      openForms_([] { PostQuitMessage(0); }),
      formsPort_(instance,
                 {openForms_, [this](HWND form) { applicationWindow_.PlaceBelow(form); }}),
      runtime_(events_), system_(events_), messageBox_(systemMessageBox_, runtime_),
      windows_(applicationWindow_),
      help_(process_), ports_{registry_, system_,  library_,      messageBox_, events_,
                              clock_,    process_, windows_,      *this,       formsPort_,
                              runtime_,  flags_,   help_.appHelp, shared_},
      entries_(shared_, [this](std::string_view keys) { SendKeys(programs_, keys); }) {}

Program::~Program() {
    // The main window before the start-up window, the newest form first.
    run_.reset();
    main_.reset();
    intro_.reset();
}

void Program::ShowMaintenanceWindow() {
    if (!main_) {
        main_.emplace(formsPort_, ports_);
        AllowHandOverFromLowerRights(reinterpret_cast<HWND>(main_->View().Handle()));
        run_.emplace(**main_, ports_, RunPorts{programs_, files_, priority_, entries_.Ports()});
        (*main_)->OnStart([this] { run_->Start(); });
        (*main_)->Form_Load();
    }
    (*main_)->Show();
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
    try {
        intro_.emplace(formsPort_, ports_, elevation_);
        AllowHandOverFromLowerRights(reinterpret_cast<HWND>(intro_->View().Handle()));
        (*intro_)->Form_Load();
    } catch (const ui::ProgramQuitting&) {
        return 0;
    }
    if (openForms_.Count() == 0) {
        return 0;
    }
    return RunMessageLoop();
}

} // namespace tidewell::win32
