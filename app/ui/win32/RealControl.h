#pragma once

#include "ui/Control.h"

#include <windows.h>

#include <memory>

namespace tidewell::win32 {

// What a real control needs of the form it lives on.
struct FormSurface {
    HWND window = nullptr;
    HFONT font = nullptr;
    int dpiX = 96;
    int dpiY = 96;
    int X(int twips) const { return MulDiv(twips, dpiX, 1440); }
    int Y(int twips) const { return MulDiv(twips, dpiY, 1440); }
    int TwipsX(int pixels) const { return MulDiv(pixels, 1440, dpiX); }
    int TwipsY(int pixels) const { return MulDiv(pixels, 1440, dpiY); }
};

// The real control of one model control: one subclass per control kind, so a new kind is one
// adapter. It creates the real window, reflects the model's changes into it without sending a
// notification back, and hands the real control's notifications to the model.
class RealControl {
public:
    RealControl(ui::Control& model, int id) : model_(model), id_(id) {}
    RealControl(const RealControl&) = delete;
    RealControl& operator=(const RealControl&) = delete;
    virtual ~RealControl() = default;

    ui::Control& Model() const { return model_; }
    int Id() const { return id_; }
    HWND Window() const { return window_; }

    // Creates the real window from the model's state; a control without one (a timer) keeps it
    // null.
    virtual void Create(const FormSurface& form) = 0;
    // Called once every control of the form exists.
    virtual void Placed() {}
    // Reflects one change of the model. The base handles what every kind shares (caption,
    // enabled, visible, position); a kind adds its own state.
    virtual void Apply(const FormSurface& form, ui::Change change);
    // A WM_COMMAND notification code from the real control.
    virtual void Command(WORD /*code*/) {}
    // WM_TIMER with this control's id.
    virtual void Timer() {}
    // Whether focus may start on this control when the form is shown.
    virtual bool TakesFirstFocus() const { return false; }

protected:
    void CreateChild(const FormSurface& form, const wchar_t* className, DWORD style,
                     DWORD exStyle = 0);

    ui::Control& model_;
    int id_;
    HWND window_ = nullptr;
};

std::unique_ptr<RealControl> MakeRealControl(ui::Control& model, int id);

} // namespace tidewell::win32
