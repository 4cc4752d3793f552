#pragma once

#include "ports/FormsPort.h"
#include "ui/win32/FormHooks.h"

#include <windows.h>

namespace tidewell::win32 {

// Real windows for ui::Form: each a Win32FormView, with the hooks the program gives every form.
class Win32Forms final : public FormsPort {
public:
    Win32Forms(HINSTANCE instance, FormHooks hooks)
        : instance_(instance), hooks_(std::move(hooks)) {}

    // Null when the window cannot be created (ui::Form then fails with std::bad_alloc).
    std::unique_ptr<WindowView> CreateView(std::string_view caption, int clientWidthTwips,
                                           int clientHeightTwips) override;

private:
    HINSTANCE instance_;
    FormHooks hooks_;
};

} // namespace tidewell::win32
