#pragma once

#include "win32common/Handles.h"

#include <windows.h>

#include <string_view>

namespace tidewell::win32 {

// The tooltips of one form's controls: one tooltip window, one tool per control with a tip.
class FormToolTips {
public:
    // Creates the tooltip window; without it, tips are simply not shown.
    void Create(HINSTANCE instance);
    // Sets the tip of `control` on `form`; `replace` drops the tool the control had before.
    void Apply(HWND form, HWND control, std::string_view text, bool replace);
    void Destroy() { window_.reset(); }
    HWND Window() const { return window_.get(); }

private:
    win32common::UniqueWindow window_;
};

} // namespace tidewell::win32
