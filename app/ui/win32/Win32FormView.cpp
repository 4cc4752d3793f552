#include "ui/win32/Win32FormView.h"

#include "resources/ResourceIds.h"
#include "ui/FormCore.h"
#include "ui/Runtime.h"
#include "win32common/Text.h"

#include <commctrl.h>

#include <cwchar>
#include <exception>
#include <string>

namespace tidewell::win32 {

namespace {

// An error no handler expected ends that handler, and is said once, never swallowed silently.
// Called inside a catch block. The box is modal like every other (nothing once the program
// quits); the report itself never throws.
void ReportEscapedError(HWND window, ui::FormCore* core) {
    std::string what = "unknown error";
    try {
        throw;
    } catch (const std::exception& error) {
        what = error.what();
    } catch (...) {
    }
    const std::wstring text = L"An Unexpected Error Occurred!\r\n" + win32common::Utf8ToWide(what);
    const auto show = [&] {
        MessageBoxW(IsWindow(window) ? window : nullptr, text.c_str(), L"ERROR!",
                    MB_OK | MB_ICONSTOP | MB_TASKMODAL);
    };
    try {
        if (core != nullptr) {
            core->FormRuntime().Modal(show);
        } else {
            show();
        }
    } catch (const ui::ProgramQuitting&) {
        // The program ends: nothing is shown any more.
    }
}

constexpr UINT_PTR kMouseSubclassId = 1;
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

// The mouse buttons and keys of a mouse message as the control model counts them.
int MouseButtons(WPARAM keys) {
    return ((keys & MK_LBUTTON) != 0 ? 1 : 0) | ((keys & MK_RBUTTON) != 0 ? 2 : 0) |
           ((keys & MK_MBUTTON) != 0 ? 4 : 0);
}

int ShiftState(WPARAM keys) {
    return ((keys & MK_SHIFT) != 0 ? 1 : 0) | ((keys & MK_CONTROL) != 0 ? 2 : 0) |
           (GetKeyState(VK_MENU) < 0 ? 4 : 0);
}

} // namespace

Win32FormView::Win32FormView(const FormHooks& hooks) : hooks_(hooks) {}

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
    if (HDC screen = GetDC(nullptr); screen != nullptr) {
        surface_.dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        surface_.dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    RECT frame{0, 0, surface_.X(clientWidthTwips), surface_.Y(clientHeightTwips)};
    AdjustWindowRectEx(&frame, kFormStyle, FALSE, kFormExStyle);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;
    const int left = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int top = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    const std::wstring text = win32common::Utf8ToWide(caption);
    taskbarCreated_ = RegisterWindowMessageW(L"TaskbarCreated");
    // Unowned: Wine cannot take the topmost state off an owned window. The program keeps its own
    // windows in order through the shown hook instead (WM_WINDOWPOSCHANGED).
    HWND created = CreateWindowExW(kFormExStyle, kClassName, text.c_str(), kFormStyle, left, top,
                                   width, height, nullptr, nullptr, instance, this);
    if (created == nullptr) {
        window_ = nullptr;
        return false;
    }
    opened_ = true;
    hooks_.openForms.Opened();
    surface_.window = window_;

    font_.reset(CreateFormFont(surface_.dpiY));
    surface_.font = font_.get();
    toolTips_.Prepare(instance);
    tray_ = std::make_unique<Win32TrayIconControl>(window_, kTrayCallbackMessage);
    return true;
}

void Win32FormView::Bind(ui::FormCore& core) {
    core_ = &core;
    if (window_ == nullptr) {
        return;
    }
    const std::vector<ui::Control*> models = core.Controls();
    for (std::size_t index = 0; index < models.size(); ++index) {
        if (models[index] == nullptr) {
            continue;
        }
        auto real = MakeRealControl(*models[index], kFirstControlId + static_cast<int>(index));
        real->Create(surface_);
        if (real->Window() != nullptr) {
            SetWindowSubclass(real->Window(), &ControlProc, kMouseSubclassId,
                              reinterpret_cast<DWORD_PTR>(this));
        }
        models[index]->SetObserver(this);
        ApplyTip(*real, false);
        controls_.push_back(std::move(real));
    }
    for (const auto& real : controls_) {
        real->Placed();
    }
}

void Win32FormView::ApplyTip(const RealControl& real, bool replace) {
    toolTips_.Apply(window_, real.Window(), real.Model().TipText(), replace);
}

void Win32FormView::ControlChanged(ui::Control& control, ui::Change change) {
    RealControl* real = FindByModel(control);
    if (real == nullptr) {
        return;
    }
    if (change == ui::Change::TipText) {
        ApplyTip(*real, true);
        return;
    }
    real->Apply(surface_, change);
}

RealControl* Win32FormView::FindById(int id) const {
    for (const auto& real : controls_) {
        if (real->Id() == id) {
            return real.get();
        }
    }
    return nullptr;
}

RealControl* Win32FormView::FindByModel(const ui::Control& control) const {
    for (const auto& real : controls_) {
        if (&real->Model() == &control) {
            return real.get();
        }
    }
    return nullptr;
}

HWND Win32FormView::ControlWindow(const ui::Control& control) const {
    const RealControl* real = FindByModel(control);
    return real != nullptr ? real->Window() : nullptr;
}

void Win32FormView::DetachModels() {
    for (const auto& real : controls_) {
        real->Model().SetObserver(nullptr);
    }
}

void Win32FormView::SetCaption(std::string_view caption) {
    if (window_ != nullptr) {
        SetWindowTextW(window_, win32common::Utf8ToWide(caption).c_str());
    }
}

void Win32FormView::FocusFirstControl() {
    // Focus on an unchecked auto radio button would select it (BN_CLICKED): start on a push
    // button or a check box instead.
    HWND focus = GetFocus();
    if (focus != nullptr && GetAncestor(focus, GA_ROOT) == window_) {
        return;
    }
    for (const auto& real : controls_) {
        if (real->TakesFirstFocus() && real->Window() != nullptr &&
            IsWindowEnabled(real->Window()) && IsWindowVisible(real->Window())) {
            SetFocus(real->Window());
            return;
        }
    }
}

void Win32FormView::NotifyShown() {
    if (window_ != nullptr && IsWindowVisible(window_) && hooks_.shown) {
        hooks_.shown(window_);
    }
}

void Win32FormView::Show() {
    if (window_ == nullptr) {
        return;
    }
    ShowWindow(window_, IsIconic(window_) ? SW_RESTORE : SW_SHOW);
    NotifyShown();
    FocusFirstControl();
}

void Win32FormView::Hide() {
    if (window_ != nullptr) {
        ShowWindow(window_, SW_HIDE);
    }
}

bool Win32FormView::IsVisible() const {
    return window_ != nullptr && IsWindowVisible(window_);
}

void Win32FormView::Refresh() {
    if (window_ != nullptr) {
        RedrawWindow(window_, nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    }
}

void Win32FormView::Destroy() {
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
        NotifyShown();
    }
}

void Win32FormView::Activate() {
    if (window_ != nullptr) {
        SetForegroundWindow(window_);
        SetActiveWindow(window_);
        FocusFirstControl();
    }
}

void Win32FormView::ShowPointerNow() {
    POINT cursor{};
    if (window_ == nullptr || !GetCursorPos(&cursor)) {
        return;
    }
    HWND under = WindowFromPoint(cursor);
    if (under != nullptr && GetAncestor(under, GA_ROOT) == window_) {
        SetCursor(LoadCursorW(nullptr,
                              reinterpret_cast<LPCWSTR>(
                                  pointer_ == ui::MousePointer::Hourglass ? IDC_WAIT : IDC_ARROW)));
    }
}

void Win32FormView::SetMousePointer(ui::MousePointer pointer) {
    pointer_ = pointer;
    ShowPointerNow();
}

void Win32FormView::BeginModal() {
    modalDisabler_.Begin(window_);
}

void Win32FormView::EndModal() {
    modalDisabler_.End();
}

void Win32FormView::ControlMouseMove(const RealControl& real, WPARAM keys, LPARAM position) {
    const int x = surface_.TwipsX(static_cast<short>(LOWORD(position)));
    const int y = surface_.TwipsY(static_cast<short>(HIWORD(position)));
    real.Model().MouseMove(MouseButtons(keys), ShiftState(keys), x, y);
}

LRESULT CALLBACK Win32FormView::ControlProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                            UINT_PTR /*id*/, DWORD_PTR data) {
    auto* view = reinterpret_cast<Win32FormView*>(data);
    if (message == WM_MOUSEMOVE && view != nullptr) {
        try {
            const RealControl* real = view->FindById(GetDlgCtrlID(window));
            if (real != nullptr && real->Window() == window) {
                view->ControlMouseMove(*real, wParam, lParam);
            }
        } catch (const ui::ProgramQuitting&) {
            // No exception may leave a window procedure; a quit is seen by the next wait.
        } catch (...) {
            ReportEscapedError(window, view->core_);
        }
    } else if (message == WM_NCDESTROY) {
        RemoveWindowSubclass(window, &ControlProc, kMouseSubclassId);
    }
    return DefSubclassProc(window, message, wParam, lParam);
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
    // No exception may leave a window procedure. A handler stopped by the program's end has
    // nothing more to do: the waits further out see the quit themselves.
    try {
        return view->HandleMessage(message, wParam, lParam);
    } catch (const ui::ProgramQuitting&) {
        return 0;
    } catch (...) {
        ReportEscapedError(window, view->core_);
        return IsWindow(window) ? DefWindowProcW(window, message, wParam, lParam) : 0;
    }
}

LRESULT Win32FormView::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    switch (message) {
    case WM_COMMAND:
        if (lParam != 0) {
            if (RealControl* real = FindById(LOWORD(wParam)); real != nullptr) {
                real->Command(HIWORD(wParam));
                return 0;
            }
        }
        break;
    case WM_TIMER:
        if (RealControl* real = FindById(static_cast<int>(wParam)); real != nullptr) {
            real->Timer();
            return 0;
        }
        break;
    case kTrayCallbackMessage:
        TrayCallback(LOWORD(lParam));
        return 0;
    case WM_SETCURSOR:
        if (pointer_ == ui::MousePointer::Hourglass && LOWORD(lParam) == HTCLIENT) {
            SetCursor(LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_WAIT)));
            return TRUE;
        }
        break;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            NotifyShown();
            FocusFirstControl();
            return 0;
        }
        break;
    case WM_WINDOWPOSCHANGED:
        NotifyShown();
        break;
    case WM_CLOSE:
        if (core_ != nullptr) {
            core_->Unload(ui::UnloadMode::ControlMenu);
        } else {
            Destroy();
        }
        return 0;
    case WM_QUERYENDSESSION:
        return core_ == nullptr || core_->Unload(ui::UnloadMode::Session) ? TRUE : FALSE;
    case WM_DESTROY:
    case WM_NCDESTROY:
        return HandleDestroy(message, wParam, lParam);
    default:
        if (message == taskbarCreated_ && taskbarCreated_ != 0 && tray_) {
            tray_->Restore();
            return 0;
        }
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void Win32FormView::TrayCallback(UINT mouseMessage) {
    if (core_ != nullptr && mouseMessage == WM_RBUTTONUP) {
        core_->SysTray_TrayClick(2);
    } else if (core_ != nullptr && mouseMessage == WM_LBUTTONUP) {
        core_->SysTray_TrayClick(1);
    }
}

LRESULT Win32FormView::HandleDestroy(UINT message, WPARAM wParam, LPARAM lParam) {
    HWND window = window_;
    if (message == WM_DESTROY) {
        toolTips_.Destroy();
        if (tray_) {
            tray_->RemoveIcon();
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }
    // The real controls go while the window still exists: a timer kills itself on it.
    DetachModels();
    controls_.clear();
    SetWindowLongPtrW(window, GWLP_USERDATA, 0);
    window_ = nullptr;
    surface_.window = nullptr;
    if (core_ != nullptr) {
        core_->WindowDestroyed();
    }
    const LRESULT result = DefWindowProcW(window, message, wParam, lParam);
    if (opened_) {
        opened_ = false;
        hooks_.openForms.Closed();
    }
    return result;
}

} // namespace tidewell::win32
