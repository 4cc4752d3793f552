#include "ui/win32/Win32FormView.h"

#include "resources/ResourceIds.h"
#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/OptionButton.h"
#include "ui/ProgressBar.h"
#include "ui/StatusBar.h"
#include "ui/Timer.h"
#include "win32/ApplicationWindow.h"
#include "win32/Text.h"

#include <commctrl.h>

#include <cwchar>

namespace tidewell::win32 {

namespace {

constexpr int kTwipsPerInch = 1440;
constexpr int kToolTipWidth = 360;
// Without WS_CLIPCHILDREN: group boxes do not paint their inside, the form's background does.
constexpr DWORD kFormStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kFormExStyle = WS_EX_APPWINDOW | WS_EX_CONTROLPARENT;

bool RegisterFormClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW existing{};
    existing.cbSize = sizeof(existing);
    if (GetClassInfoExW(instance, Win32FormView::kClassName, &existing)) {
        return true;
    }
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    windowClass.lpszClassName = Win32FormView::kClassName;
    windowClass.hIcon = LoadIconW(instance, MAKEINTRESOURCEW(IDI_TIDEWELL));
    if (windowClass.hIcon == nullptr) {
        windowClass.hIcon = LoadIconW(nullptr, reinterpret_cast<LPCWSTR>(IDI_APPLICATION));
    }
    return RegisterClassExW(&windowClass) != 0;
}

// The layout in twips is made for the 8-point dialog font.
HFONT CreateFormFont(int dpiY) {
    LOGFONTW font{};
    font.lfHeight = -MulDiv(8, dpiY, 72);
    font.lfWeight = FW_NORMAL;
    font.lfCharSet = DEFAULT_CHARSET;
    font.lfQuality = DEFAULT_QUALITY;
    wcscpy(font.lfFaceName, L"MS Shell Dlg");
    return CreateFontIndirectW(&font);
}

} // namespace

Win32FormView::Win32FormView(ApplicationWindow& applicationWindow, OpenForms& openForms)
    : applicationWindow_(applicationWindow), openForms_(openForms) {}

Win32FormView::~Win32FormView() {
    DetachModels();
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool Win32FormView::Create(HINSTANCE instance, std::string_view caption, int clientWidthTwips,
                           int clientHeightTwips) {
    if (!RegisterFormClass(instance, &WindowProc)) {
        return false;
    }
    {
        HDC screen = GetDC(nullptr);
        if (screen != nullptr) {
            dpiX_ = GetDeviceCaps(screen, LOGPIXELSX);
            dpiY_ = GetDeviceCaps(screen, LOGPIXELSY);
            ReleaseDC(nullptr, screen);
        }
    }
    RECT frame{0, 0, TwipsToPixelsX(clientWidthTwips), TwipsToPixelsY(clientHeightTwips)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    const std::wstring text = Utf8ToWide(caption);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    // Not owned by the application window: Wine cannot take the topmost state off an owned
    // window. The view keeps the application window below itself instead (WM_WINDOWPOSCHANGED).
    HWND created = CreateWindowExW(kFormExStyle, kClassName, text.c_str(), kFormStyle, left, top,
                                   width, height, nullptr, nullptr, instance, this);
    if (created == nullptr) {
        window_ = nullptr;
        return false;
    }
    opened_ = true;
    openForms_.Opened();

    font_.reset(CreateFormFont(dpiY_));
    // Unowned: Wine does not make a window topmost while it owns a topmost popup.
    toolTip_.reset(CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr,
                                   WS_POPUP | TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                                   CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                   instance, nullptr));
    if (toolTip_) {
        SendMessageW(toolTip_.get(), TTM_SETMAXTIPWIDTH, 0, kToolTipWidth);
    }
    tray_ = std::make_unique<Win32TrayIconControl>(window_, kTrayCallbackMessage);
    return true;
}

int Win32FormView::TwipsToPixelsX(int twips) const {
    return MulDiv(twips, dpiX_, kTwipsPerInch);
}
int Win32FormView::TwipsToPixelsY(int twips) const {
    return MulDiv(twips, dpiY_, kTwipsPerInch);
}

void Win32FormView::Bind(const std::vector<ui::Control*>& controls) {
    if (window_ == nullptr) {
        return;
    }
    for (size_t index = 0; index < controls.size(); ++index) {
        ui::Control* model = controls[index];
        if (model == nullptr) {
            continue;
        }
        Bound bound;
        bound.model = model;
        bound.id = kFirstControlId + static_cast<int>(index);
        bound.window = CreateRealControl(*model, bound.id);
        bound_.push_back(bound);
        model->SetObserver(this);
        ApplyValue(bound_.back());
        ApplyTimer(bound_.back());
        ApplyTip(bound_.back(), false);
    }
    // Frames are drawn behind the controls they surround.
    for (const Bound& bound : bound_) {
        if (bound.model->Kind() == ui::ControlKind::Frame && bound.window != nullptr) {
            SetWindowPos(bound.window, HWND_BOTTOM, 0, 0, 0, 0,
                         SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
    }
}

HWND Win32FormView::CreateRealControl(ui::Control& control, int id) {
    const wchar_t* className = L"BUTTON";
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS;
    switch (control.Kind()) {
    case ui::ControlKind::Label:
        className = L"STATIC";
        style |= SS_LEFT | SS_NOPREFIX;
        break;
    case ui::ControlKind::Frame:
        style |= BS_GROUPBOX;
        break;
    case ui::ControlKind::CheckBox:
        style |= BS_AUTOCHECKBOX | WS_TABSTOP;
        break;
    case ui::ControlKind::OptionButton:
        style |= BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP;
        break;
    case ui::ControlKind::CommandButton:
        style |= BS_PUSHBUTTON | WS_TABSTOP;
        break;
    case ui::ControlKind::ProgressBar:
        className = PROGRESS_CLASSW;
        break;
    case ui::ControlKind::StatusBar:
        className = STATUSCLASSNAMEW;
        style |= CCS_BOTTOM;
        break;
    case ui::ControlKind::Timer:
        return nullptr;
    }
    if (control.Visible()) {
        style |= WS_VISIBLE;
    }
    if (!control.Enabled()) {
        style |= WS_DISABLED;
    }
    const ui::Rect& bounds = control.Bounds();
    const std::wstring text = Utf8ToWide(control.Caption());
    HWND created = CreateWindowExW(
        0, className, text.c_str(), style, TwipsToPixelsX(bounds.left), TwipsToPixelsY(bounds.top),
        TwipsToPixelsX(bounds.width), TwipsToPixelsY(bounds.height), window_,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), GetModuleHandleW(nullptr), nullptr);
    if (created != nullptr && font_) {
        SendMessageW(created, WM_SETFONT, reinterpret_cast<WPARAM>(font_.get()), FALSE);
    }
    if (created != nullptr && control.Kind() == ui::ControlKind::StatusBar) {
        int rightEdges[] = {-1};
        SendMessageW(created, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(rightEdges));
        SendMessageW(created, WM_SIZE, 0, 0);
    }
    return created;
}

void Win32FormView::ApplyValue(const Bound& bound) {
    if (bound.window == nullptr) {
        return;
    }
    switch (bound.model->Kind()) {
    case ui::ControlKind::CheckBox: {
        const auto& box = static_cast<const ui::CheckBox&>(*bound.model);
        SendMessageW(bound.window, BM_SETCHECK, box.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    }
    case ui::ControlKind::OptionButton: {
        const auto& option = static_cast<const ui::OptionButton&>(*bound.model);
        SendMessageW(bound.window, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
        break;
    }
    case ui::ControlKind::ProgressBar: {
        const auto& bar = static_cast<const ui::ProgressBar&>(*bound.model);
        SendMessageW(bound.window, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()),
                     static_cast<LPARAM>(bar.Max()));
        SendMessageW(bound.window, PBM_SETPOS, static_cast<WPARAM>(bar.Value()), 0);
        break;
    }
    case ui::ControlKind::StatusBar: {
        const auto& bar = static_cast<const ui::StatusBar&>(*bound.model);
        const std::wstring text = Utf8ToWide(bar.PanelText());
        SendMessageW(bound.window, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
        break;
    }
    default:
        break;
    }
}

void Win32FormView::ApplyTimer(const Bound& bound) {
    if (bound.model->Kind() != ui::ControlKind::Timer || window_ == nullptr) {
        return;
    }
    const auto& timer = static_cast<const ui::Timer&>(*bound.model);
    if (timer.Enabled() && timer.Interval() > 0) {
        SetTimer(window_, static_cast<UINT_PTR>(bound.id), static_cast<UINT>(timer.Interval()),
                 nullptr);
    } else {
        KillTimer(window_, static_cast<UINT_PTR>(bound.id));
    }
}

void Win32FormView::ApplyTip(const Bound& bound, bool added) {
    if (!toolTip_ || bound.window == nullptr) {
        return;
    }
    std::wstring text = Utf8ToWide(bound.model->TipText());
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof(tool);
    tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(bound.window);
    tool.lpszText = text.data();
    if (text.empty()) {
        if (added) {
            SendMessageW(toolTip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
        }
        return;
    }
    if (added) {
        // A control that had no tip before has no tool yet.
        SendMessageW(toolTip_.get(), TTM_DELTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
    SendMessageW(toolTip_.get(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32FormView::ApplyPosition(const Bound& bound) {
    if (bound.window == nullptr || bound.model->Kind() == ui::ControlKind::StatusBar) {
        return;
    }
    const ui::Rect& bounds = bound.model->Bounds();
    SetWindowPos(bound.window, nullptr, TwipsToPixelsX(bounds.left), TwipsToPixelsY(bounds.top),
                 TwipsToPixelsX(bounds.width), TwipsToPixelsY(bounds.height),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32FormView::ControlChanged(ui::Control& control, ui::Change change) {
    const Bound* bound = FindByModel(control);
    if (bound == nullptr) {
        return;
    }
    switch (change) {
    case ui::Change::Caption:
        if (bound->window != nullptr) {
            SetWindowTextW(bound->window, Utf8ToWide(control.Caption()).c_str());
        }
        break;
    case ui::Change::TipText:
        ApplyTip(*bound, true);
        break;
    case ui::Change::Enabled:
        if (bound->window != nullptr) {
            EnableWindow(bound->window, control.Enabled() ? TRUE : FALSE);
        }
        ApplyTimer(*bound);
        break;
    case ui::Change::Visible:
        if (bound->window != nullptr) {
            ShowWindow(bound->window, control.Visible() ? SW_SHOWNA : SW_HIDE);
        }
        break;
    case ui::Change::Position:
        ApplyPosition(*bound);
        break;
    case ui::Change::Value:
    case ui::Change::Range:
        ApplyValue(*bound);
        break;
    case ui::Change::Interval:
        ApplyTimer(*bound);
        break;
    }
}

const Win32FormView::Bound* Win32FormView::FindById(int id) const {
    for (const Bound& bound : bound_) {
        if (bound.id == id) {
            return &bound;
        }
    }
    return nullptr;
}

const Win32FormView::Bound* Win32FormView::FindByModel(const ui::Control& control) const {
    for (const Bound& bound : bound_) {
        if (bound.model == &control) {
            return &bound;
        }
    }
    return nullptr;
}

HWND Win32FormView::ControlWindow(const ui::Control& control) const {
    const Bound* bound = FindByModel(control);
    return bound != nullptr ? bound->window : nullptr;
}

void Win32FormView::DetachModels() {
    for (Bound& bound : bound_) {
        bound.model->SetObserver(nullptr);
    }
}

void Win32FormView::SetCaption(std::string_view caption) {
    if (window_ != nullptr) {
        SetWindowTextW(window_, Utf8ToWide(caption).c_str());
    }
}

void Win32FormView::FocusFirstButton() {
    // Focus on an unchecked auto radio button would select it (BN_CLICKED): start on a push
    // button or a check box instead.
    HWND focus = GetFocus();
    if (focus != nullptr && GetAncestor(focus, GA_ROOT) == window_) {
        return;
    }
    for (ui::ControlKind kind : {ui::ControlKind::CommandButton, ui::ControlKind::CheckBox}) {
        for (const Bound& bound : bound_) {
            if (bound.model->Kind() == kind && bound.window != nullptr &&
                IsWindowEnabled(bound.window) && IsWindowVisible(bound.window)) {
                SetFocus(bound.window);
                return;
            }
        }
    }
}

void Win32FormView::KeepApplicationWindowBelow() {
    if (window_ != nullptr && IsWindowVisible(window_)) {
        applicationWindow_.PlaceBelow(window_);
    }
}

void Win32FormView::Show() {
    if (window_ == nullptr) {
        return;
    }
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    KeepApplicationWindowBelow();
    FocusFirstButton();
}

void Win32FormView::Hide() {
    if (window_ != nullptr) {
        ShowWindow(window_, SW_HIDE);
    }
}

void Win32FormView::Refresh() {
    if (window_ != nullptr) {
        RedrawWindow(window_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void Win32FormView::Unload() {
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

void Win32FormView::Minimize() {
    if (window_ != nullptr) {
        ShowWindow(window_, SW_MINIMIZE);
    }
}

void Win32FormView::ShowNormal() {
    if (window_ != nullptr) {
        ShowWindow(window_, SW_SHOWNORMAL);
        KeepApplicationWindowBelow();
    }
}

void Win32FormView::Activate() {
    if (window_ != nullptr) {
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
        FocusFirstButton();
    }
}

LRESULT CALLBACK Win32FormView::WindowProc(HWND window, UINT message, WPARAM wParam,
                                           LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* created = static_cast<Win32FormView*>(creation->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(created));
        created->window_ = window;
    }
    auto* view = reinterpret_cast<Win32FormView*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (view == nullptr || view->window_ != window) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // No exception may leave a window procedure.
    try {
        return view->HandleMessage(message, wParam, lParam);
    } catch (...) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
}

LRESULT Win32FormView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
    case WM_COMMAND: {
        if (HIWORD(wParam) != BN_CLICKED) {
            break;
        }
        const Bound* bound = FindById(LOWORD(wParam));
        if (bound == nullptr) {
            break;
        }
        switch (bound->model->Kind()) {
        case ui::ControlKind::CheckBox: {
            const LRESULT state = SendMessageW(bound->window, BM_GETCHECK, 0, 0);
            static_cast<ui::CheckBox&>(*bound->model).SetValue(state == BST_CHECKED ? 1 : 0);
            return 0;
        }
        case ui::ControlKind::OptionButton:
            static_cast<ui::OptionButton&>(*bound->model).SetValue(true);
            return 0;
        case ui::ControlKind::CommandButton:
            static_cast<ui::CommandButton&>(*bound->model).Click();
            return 0;
        default:
            break;
        }
        break;
    }
    case WM_TIMER: {
        const Bound* bound = FindById(static_cast<int>(wParam));
        if (bound != nullptr && bound->model->Kind() == ui::ControlKind::Timer) {
            static_cast<ui::Timer&>(*bound->model).Tick();
            return 0;
        }
        break;
    }
    case kTrayCallbackMessage:
        if (onTrayClick_ && LOWORD(lParam) == WM_RBUTTONUP) {
            onTrayClick_(2);
        } else if (onTrayClick_ && LOWORD(lParam) == WM_LBUTTONUP) {
            onTrayClick_(1);
        }
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            KeepApplicationWindowBelow();
            FocusFirstButton();
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED:
        KeepApplicationWindowBelow();
        break;
    case WM_CLOSE:
        Unload();
        return 0;
    case WM_DESTROY:
        toolTip_.reset();
        if (tray_) {
            tray_->RemoveIcon();
        }
        for (const Bound& bound : bound_) {
            if (bound.model->Kind() == ui::ControlKind::Timer) {
                KillTimer(window, static_cast<UINT_PTR>(bound.id));
            }
        }
        break;
    case WM_NCDESTROY: {
        DetachModels();
        bound_.clear();
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        window_ = nullptr;
        const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
        if (opened_) {
            opened_ = false;
            openForms_.Closed();
        }
        return result;
    }
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0 && tray_) {
            tray_->Restore();
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace tidewell::win32
