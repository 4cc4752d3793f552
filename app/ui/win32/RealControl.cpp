#include "ui/win32/RealControl.h"

#include "ui/win32/RealControlKinds.h"
#include "win32common/Text.h"

namespace tidewell::win32 {

void RealControl::CreateChild(const FormSurface& form, const wchar_t* className, DWORD style,
                              DWORD exStyle) {
    style |= WS_CHILD | WS_CLIPSIBLINGS;
    if (model_.Visible()) {
        style |= WS_VISIBLE;
    }
    if (!model_.Enabled()) {
        style |= WS_DISABLED;
    }
    const ui::Rect& bounds = model_.Bounds();
    const std::wstring text = win32common::Utf8ToWide(model_.Caption());
    window_ = CreateWindowExW(exStyle, className, text.c_str(), style, form.X(bounds.left),
                              form.Y(bounds.top), form.X(bounds.width), form.Y(bounds.height),
                              form.window, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id_)),
                              GetModuleHandleW(nullptr), nullptr);
    if (window_ != nullptr && form.font != nullptr) {
        SendMessageW(window_, WM_SETFONT, reinterpret_cast<WPARAM>(form.font), FALSE);
    }
}

void RealControl::Apply(const FormSurface& form, ui::Change change) {
    if (window_ == nullptr) {
        return;
    }
    switch (change) {
    case ui::Change::Caption:
        SetWindowTextW(window_, win32common::Utf8ToWide(model_.Caption()).c_str());
        break;
    case ui::Change::Enabled:
        EnableWindow(window_, model_.Enabled() ? TRUE : FALSE);
        break;
    case ui::Change::Visible:
        ShowWindow(window_, model_.Visible() ? SW_SHOWNA : SW_HIDE);
        break;
    case ui::Change::Position: {
        const ui::Rect& bounds = model_.Bounds();
        SetWindowPos(window_, nullptr, form.X(bounds.left), form.Y(bounds.top),
                     form.X(bounds.width), form.Y(bounds.height), SWP_NOZORDER | SWP_NOACTIVATE);
        break;
    }
    default:
        break;
    }
}

std::unique_ptr<RealControl> MakeRealControl(ui::Control& model, int id) {
    switch (model.Kind()) {
    case ui::ControlKind::Label:
        return std::make_unique<RealLabel>(model, id);
    case ui::ControlKind::Frame:
        return std::make_unique<RealFrame>(model, id);
    case ui::ControlKind::CheckBox:
        return std::make_unique<RealCheckBox>(model, id);
    case ui::ControlKind::OptionButton:
        return std::make_unique<RealOptionButton>(model, id);
    case ui::ControlKind::CommandButton:
        return std::make_unique<RealCommandButton>(model, id);
    case ui::ControlKind::ProgressBar:
        return std::make_unique<RealProgressBar>(model, id);
    case ui::ControlKind::StatusBar:
        return std::make_unique<RealStatusBar>(model, id);
    case ui::ControlKind::Timer:
        return std::make_unique<RealTimer>(model, id);
    case ui::ControlKind::ListBox:
        return std::make_unique<RealListBox>(model, id);
    case ui::ControlKind::TextBox:
        return std::make_unique<RealTextBox>(model, id);
    }
    return nullptr;
}

} // namespace tidewell::win32
