#pragma once

#include "controls/win32/Win32TrayIconControl.h"
#include "ports/WindowView.h"
#include "ui/Control.h"
#include "win32/Handles.h"

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string_view>
#include <vector>

namespace tidewell::win32 {

class ApplicationWindow;

// Counts the program's open windows; the process ends when the last one is unloaded.
class OpenForms {
public:
    void Opened() { ++count_; }
    void Closed() {
        if (count_ > 0 && --count_ == 0) {
            PostQuitMessage(0);
        }
    }
    int Count() const { return count_; }

private:
    int count_ = 0;
};

// A form: one real top-level window, kept just above the hidden application window, whose real
// controls mirror a core's control model. Model changes arrive through ControlChanged and are
// reflected into the real controls without notifications back (BM_SETCHECK sends no BN_CLICKED);
// user actions arrive as WM_COMMAND / WM_TIMER / the tray callback and go to the model, whose
// handlers run the core's behaviour.
class Win32FormView final : public WindowView, private ui::ControlObserver {
public:
    static constexpr int kFirstControlId = 100; // control n of the model has id 100 + n
    static constexpr UINT kTrayCallbackMessage = WM_APP + 1;
    static constexpr wchar_t kClassName[] = L"TidewellForm";

    Win32FormView(ApplicationWindow& applicationWindow, OpenForms& openForms);
    Win32FormView(const Win32FormView&) = delete;
    Win32FormView& operator=(const Win32FormView&) = delete;
    ~Win32FormView() override;

    // Creates the hidden window, centred on the screen, with a client area in twips.
    bool Create(HINSTANCE instance, std::string_view caption, int clientWidthTwips,
                int clientHeightTwips);
    // Creates one real control per model control and starts observing them.
    void Bind(const std::vector<ui::Control*>& controls);

    HWND Window() const { return window_; }
    Win32TrayIconControl& Tray() { return *tray_; }
    // The real control of a model control, or null.
    HWND ControlWindow(const ui::Control& control) const;
    HWND ToolTipWindow() const { return toolTip_.get(); }

    // The tray click with its button (1 left, 2 right), from the button-up mouse messages.
    void OnTrayClick(std::function<void(std::int16_t)> handler) {
        onTrayClick_ = std::move(handler);
    }

    int TwipsToPixelsX(int twips) const;
    int TwipsToPixelsY(int twips) const;

    // WindowView
    WindowHandle Handle() const override { return reinterpret_cast<WindowHandle>(window_); }
    void SetCaption(std::string_view caption) override;
    void Show() override;
    void Hide() override;
    void Refresh() override;
    void Unload() override;
    void Minimize() override;
    void ShowNormal() override;
    void Activate() override;

private:
    struct Bound {
        ui::Control* model = nullptr;
        HWND window = nullptr; // null for a timer
        int id = 0;
    };

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void ControlChanged(ui::Control& control, ui::Change change) override;

    HWND CreateRealControl(ui::Control& control, int id);
    void ApplyValue(const Bound& bound);
    void ApplyTimer(const Bound& bound);
    void ApplyTip(const Bound& bound, bool added);
    void ApplyPosition(const Bound& bound);
    const Bound* FindById(int id) const;
    const Bound* FindByModel(const ui::Control& control) const;
    void DetachModels();
    void FocusFirstButton();
    void KeepApplicationWindowBelow();

    ApplicationWindow& applicationWindow_;
    OpenForms& openForms_;
    HWND window_ = nullptr;
    UniqueWindow toolTip_;
    UniqueFont font_;
    std::unique_ptr<Win32TrayIconControl> tray_;
    std::vector<Bound> bound_;
    int dpiX_ = 96;
    int dpiY_ = 96;
    UINT taskbarCreated_ = 0;
    bool opened_ = false;
    std::function<void(std::int16_t)> onTrayClick_;
};

} // namespace tidewell::win32
