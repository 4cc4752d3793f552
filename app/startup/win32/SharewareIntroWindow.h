#pragma once

#include "startup/frmSharewareIntro.h"
#include "ui/win32/Win32FormView.h"

#include <memory>

namespace tidewell::win32 {

// frmSharewareIntro on a real window: the view, the core, and the tray click between them.
class SharewareIntroWindow {
public:
    SharewareIntroWindow(ApplicationWindow& applicationWindow, OpenForms& openForms)
        : view_(applicationWindow, openForms) {}

    // Creates the hidden window and binds the core to it; false when the window cannot be made.
    bool Create(HINSTANCE instance, const AppPorts& ports);
    frmSharewareIntro& Core() { return *core_; }
    Win32FormView& View() { return view_; }

private:
    Win32FormView view_;
    std::unique_ptr<frmSharewareIntro> core_;
};

} // namespace tidewell::win32
