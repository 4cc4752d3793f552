#pragma once

#include "ports/WindowHandle.h"

#include <string_view>

namespace tidewell {

class TrayIconControl;

namespace ui {
class FormCore;

enum class MousePointer { Default, Hourglass };
} // namespace ui

// What a window core asks of its real window. The view is created hidden (FormsPort), then bound
// to its core: one real control per model control, and the window's events forwarded to the core
// (control events through the control model, unload requests to FormCore::Unload, the tray click
// to the core's SysTray_TrayClick).
class WindowView {
public:
    virtual ~WindowView() = default;

    virtual void Bind(ui::FormCore& core) = 0;

    // Valid from creation until the window is destroyed; 0 afterwards.
    virtual WindowHandle Handle() const = 0;
    virtual void SetCaption(std::string_view caption) = 0;
    virtual void Show() = 0; // shown, not modal
    virtual void Hide() = 0;
    virtual bool IsVisible() const = 0;
    virtual void Refresh() = 0; // redraw now, without waiting for the event loop
    // Destroys the window, its controls and its tray icon, without asking the core: every unload
    // asks first (FormCore::Unload). The core object stays alive; the process ends when its last
    // window is destroyed.
    virtual void Destroy() = 0;

    // Window states of the main window's tray behaviours.
    virtual void Minimize() = 0;   // SW_MINIMIZE
    virtual void ShowNormal() = 0; // SW_SHOWNORMAL
    virtual void Activate() = 0;   // brought to the front and given the focus

    // The pointer shown while the mouse is over the window and its controls.
    virtual void SetMousePointer(ui::MousePointer pointer) = 0;
    // Between these two calls every other window of the program that was enabled is disabled
    // (a modal form); EndModal enables them again. Calls nest.
    virtual void BeginModal() = 0;
    virtual void EndModal() = 0;

    // The window's own tray icon (SysTray).
    virtual TrayIconControl& Tray() = 0;
};

} // namespace tidewell
