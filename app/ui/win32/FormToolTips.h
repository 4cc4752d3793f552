#pragma once

#include "win32common/Handles.h"

#include <windows.h>

#include <string_view>

namespace tidewell::win32 {

// The tooltips of one form's controls: one tooltip window, made with the first tip (a form
// without tips, such as the start-up window, makes none), and one tool per control with a tip.
class FormToolTips {
public:
    // Where the tooltip window will be made; until then (and after Destroy) tips are not shown.
    void Prepare(HINSTANCE instance) { instance_ = instance; }
    // Sets the tip of `control` on `form`; `replace` drops the tool the control had before.
    void Apply(HWND form, HWND control, std::string_view text, bool replace);
    void Destroy() {
        window_.reset();
        instance_ = nullptr;
    }
    HWND Window() const { return window_.get(); }

private:
    // Without the window, tips are simply not shown.
    bool Create();

    HINSTANCE instance_ = nullptr;
    win32common::UniqueWindow window_;
};

} // namespace tidewell::win32
