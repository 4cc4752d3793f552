#pragma once

#include "controls/win32/Win32TrayIconControl.h"
#include "ports/WindowView.h"
#include "ui/Control.h"
#include "ui/win32/FormHooks.h"
#include "ui/win32/FormToolTips.h"
#include "ui/win32/RealControl.h"
#include "ui/win32/ThreadWindowsDisabler.h"
#include "win32common/Handles.h"

#include <windows.h>

#include <memory>
#include <string_view>
#include <vector>

namespace tidewell::ui {
class FormCore;
}

namespace tidewell::win32 {

// A form: one real top-level window, counted among the open forms, whose real
// controls (one RealControl per model control) mirror a core's control model. Model changes
// arrive through ControlChanged and are reflected without notifications back; user actions
// arrive as WM_COMMAND / WM_TIMER / WM_MOUSEMOVE / the tray callback and go to the model or the
// core. Unload requests (the close box, the end of the session) go to FormCore::Unload.
class Win32FormView final : public WindowView, private ui::ControlObserver {
public:
    static constexpr int kFirstControlId = 100; // control n of the model has id 100 + n
    static constexpr UINT kTrayCallbackMessage = WM_APP + 1;
    static constexpr wchar_t kClassName[] = L"TidewellForm";

    explicit Win32FormView(const FormHooks& hooks);
    Win32FormView(const Win32FormView&) = delete;
    Win32FormView& operator=(const Win32FormView&) = delete;
    ~Win32FormView() override;

    // Creates the hidden window, centred on the screen, with a client area in twips.
    bool Create(HINSTANCE instance, std::string_view caption, int clientWidthTwips,
                int clientHeightTwips);

    HWND Window() const { return window_; }
    // The real control of a model control, or null.
    HWND ControlWindow(const ui::Control& control) const;
    HWND ToolTipWindow() const { return toolTips_.Window(); }
    ui::MousePointer MousePointer() const { return pointer_; }

    int TwipsToPixelsX(int twips) const { return surface_.X(twips); }
    int TwipsToPixelsY(int twips) const { return surface_.Y(twips); }

    // WindowView
    void Bind(ui::FormCore& core) override;
    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_); }
    void SetCaption(std::string_view caption) override;
    void Show() override;
    void Hide() override;
    bool IsVisible() const override;
    void Refresh() override;
    void Destroy() override;
    void Minimize() override;
    void ShowNormal() override;
    void Activate() override;
    void SetMousePointer(ui::MousePointer pointer) override;
    void BeginModal() override;
    void EndModal() override;
    TrayIconControl& Tray() override { return *tray_; }

private:
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                        UINT_PTR id, DWORD_PTR view);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ControlChanged(ui::Control& control, ui::Change change) override;

    void ApplyTip(const RealControl& real, bool replace);
    void ControlMouseMove(const RealControl& real, WPARAM keys, LPARAM position);
    RealControl* FindById(int id) const;
    RealControl* FindByModel(const ui::Control& control) const;
    void DetachModels();
    void FocusFirstControl();
    void NotifyShown();
    LRESULT HandleDestroy(UINT message, WPARAM wParam, LPARAM lParam);
    void TrayCallback(UINT mouseMessage);
    void ShowPointerNow();

    FormHooks hooks_;
    HWND window_ = nullptr;
    FormSurface surface_;
    FormToolTips toolTips_;
    ThreadWindowsDisabler modalDisabler_;
    win32common::UniqueFont font_;
    std::unique_ptr<Win32TrayIconControl> tray_;
    std::vector<std::unique_ptr<RealControl>> controls_;
    ui::FormCore* core_ = nullptr;
    ui::MousePointer pointer_ = ui::MousePointer::Default;
    UINT taskbarCreated_ = 0;
    bool opened_ = false;
};

} // namespace tidewell::win32
