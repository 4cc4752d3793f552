#pragma once

#include "ports/FormsPort.h"

#include <windows.h>

namespace tidewell::win32 {

class ApplicationWindow;
class OpenForms;

// Real windows for ui::Form: each a Win32FormView, counted among the program's open windows.
class Win32Forms final : public FormsPort {
public:
    Win32Forms(HINSTANCE instance, ApplicationWindow& applicationWindow, OpenForms& openForms)
        : instance_(instance), applicationWindow_(applicationWindow), openForms_(openForms) {}

    // Null when the window cannot be created (ui::Form then fails with std::bad_alloc).
    std::unique_ptr<WindowView> CreateView(std::string_view caption, int clientWidthTwips,
                                           int clientHeightTwips) override;

private:
    HINSTANCE instance_;
    ApplicationWindow& applicationWindow_;
    OpenForms& openForms_;
};

} // namespace tidewell::win32
