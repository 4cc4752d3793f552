#pragma once

#include "ports/WindowHandle.h"

#include <string_view>

namespace tidewell {

// What a window core asks of its real window. The Win32 view creates the window (hidden) before
// the core is constructed, then binds the core's controls (see ui/Control.h) and forwards the
// window's messages into the core's handlers.
class WindowView {
public:
    virtual ~WindowView() = default;

    // Valid from construction until Unload; 0 afterwards.
    virtual WindowHandle Handle() const = 0;
    virtual void SetCaption(std::string_view caption) = 0;
    virtual void Show() = 0; // shown, not modal
    virtual void Hide() = 0;
    virtual void Refresh() = 0; // redraw now, without waiting for the event loop
    // Destroys the window, its controls and its tray icon. The C++ objects of the core and view
    // stay alive until the program ends; the process ends when its last window is unloaded.
    virtual void Unload() = 0;

    // Window states of the main window's tray behaviours.
    virtual void Minimize() = 0;   // SW_MINIMIZE
    virtual void ShowNormal() = 0; // SW_SHOWNORMAL
    virtual void Activate() = 0;   // brought to the front and given the focus
};

} // namespace tidewell
