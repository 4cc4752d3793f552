#pragma once

#include "ports/WindowView.h"

#include <cstdint>
#include <vector>

namespace tidewell::ui {

class Control;
class Runtime;

// Why a form is being unloaded, passed to Form_QueryUnload.
enum class UnloadMode {
    ControlMenu = 0, // the title bar's close box or the system menu
    Code = 1,        // the program's own code ("&Exit", a dialog's button)
    Session = 2      // Windows is ending the session
};

// The core of one window: its controls and its handlers. The view calls into it; the core calls
// its view only through WindowView. A core outlives its window (see ui/Form.h).
class FormCore {
public:
    FormCore(WindowView& view, Runtime& runtime) : view_(view), runtime_(runtime) {}
    FormCore(const FormCore&) = delete;
    FormCore& operator=(const FormCore&) = delete;
    virtual ~FormCore() = default;

    // Every control, in creation and tab order.
    virtual std::vector<Control*> Controls() = 0;
    virtual void Form_Load() {}
    // Asked before every unload, whatever its cause; false cancels the unload.
    virtual bool Form_QueryUnload(UnloadMode /*mode*/) { return true; }
    virtual void SysTray_TrayClick(std::int16_t /*button*/) {}

    // Asks Form_QueryUnload, then destroys the window. True when the form is unloaded afterwards.
    // A request that arrives while the question is still open is refused.
    bool Unload(UnloadMode mode = UnloadMode::Code);
    bool Loaded() const { return !unloaded_; }
    // The view reports a window destroyed without an unload (the end of the program).
    void WindowDestroyed() { unloaded_ = true; }

    void Show();
    void Hide();
    // Shows the form and returns when it is unloaded or hidden; the program's other windows are
    // disabled meanwhile. Throws ProgramQuitting when the program quits first.
    void ShowModal();
    void SetMousePointer(MousePointer pointer) { view_.SetMousePointer(pointer); }

    WindowView& View() { return view_; }
    Runtime& FormRuntime() { return runtime_; }

protected:
    WindowView& view_;
    Runtime& runtime_;

private:
    bool unloaded_ = false;
    bool queryOpen_ = false;
};

} // namespace tidewell::ui
