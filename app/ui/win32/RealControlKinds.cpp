#include "ui/win32/RealControlKinds.h"

#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/ListBox.h"
#include "ui/OptionButton.h"
#include "ui/ProgressBar.h"
#include "ui/StatusBar.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"
#include "win32common/Text.h"

#include <commctrl.h>

namespace tidewell::win32 {

void RealLabel::Create(const FormSurface& form) {
    CreateChild(form, L"STATIC", SS_LEFT | SS_NOPREFIX);
}

void RealFrame::Create(const FormSurface& form) {
    CreateChild(form, L"BUTTON", BS_GROUPBOX);
}

void RealFrame::Placed() {
    // Behind every sibling, also those created after it: a group box above a sibling would clip
    // it and, not painting its inside, leave a hole.
    if (window_ != nullptr) {
        SetWindowPos(window_, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
}

void RealCheckBox::Create(const FormSurface& form) {
    CreateChild(form, L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP);
    Apply(form, ui::Change::Value);
}

void RealCheckBox::Apply(const FormSurface& form, ui::Change change) {
    if (change == ui::Change::Value && window_ != nullptr) {
        const auto& box = static_cast<const ui::CheckBox&>(model_);
        SendMessageW(window_, BM_SETCHECK, box.Checked() ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    RealControl::Apply(form, change);
}

void RealCheckBox::Command(WORD code) {
    if (code == BN_CLICKED) {
        // The auto check box has toggled itself already: its new state differs from the model's.
        const LRESULT state = SendMessageW(window_, BM_GETCHECK, 0, 0);
        static_cast<ui::CheckBox&>(model_).SetValue(state == BST_CHECKED ? 1 : 0);
    }
}

void RealOptionButton::Create(const FormSurface& form) {
    CreateChild(form, L"BUTTON", BS_AUTORADIOBUTTON | WS_TABSTOP | WS_GROUP);
    Apply(form, ui::Change::Value);
}

void RealOptionButton::Apply(const FormSurface& form, ui::Change change) {
    if (change == ui::Change::Value && window_ != nullptr) {
        const auto& option = static_cast<const ui::OptionButton&>(model_);
        SendMessageW(window_, BM_SETCHECK, option.Value() ? BST_CHECKED : BST_UNCHECKED, 0);
        return;
    }
    RealControl::Apply(form, change);
}

void RealOptionButton::Command(WORD code) {
    if (code == BN_CLICKED) {
        static_cast<ui::OptionButton&>(model_).SetValue(true);
    }
}

void RealCommandButton::Create(const FormSurface& form) {
    CreateChild(form, L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP);
}

void RealCommandButton::Command(WORD code) {
    if (code == BN_CLICKED) {
        static_cast<ui::CommandButton&>(model_).Click();
    }
}

void RealProgressBar::Create(const FormSurface& form) {
    CreateChild(form, PROGRESS_CLASSW, 0);
    Apply(form, ui::Change::Range);
}

void RealProgressBar::Apply(const FormSurface& form, ui::Change change) {
    if ((change == ui::Change::Value || change == ui::Change::Range) && window_ != nullptr) {
        const auto& bar = static_cast<const ui::ProgressBar&>(model_);
        SendMessageW(window_, PBM_SETRANGE32, static_cast<WPARAM>(bar.Min()),
                     static_cast<LPARAM>(bar.Max()));
        SendMessageW(window_, PBM_SETPOS, static_cast<WPARAM>(bar.Value()), 0);
        return;
    }
    RealControl::Apply(form, change);
}

void RealStatusBar::Create(const FormSurface& form) {
    CreateChild(form, STATUSCLASSNAMEW, CCS_BOTTOM);
    if (window_ != nullptr) {
        int rightEdges[] = {-1};
        SendMessageW(window_, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(rightEdges));
        SendMessageW(window_, WM_SIZE, 0, 0);
    }
    Apply(form, ui::Change::Value);
}

void RealStatusBar::Apply(const FormSurface& form, ui::Change change) {
    if (change == ui::Change::Position) {
        return;
    }
    if (change == ui::Change::Value && window_ != nullptr) {
        const auto& bar = static_cast<const ui::StatusBar&>(model_);
        const std::wstring text = win32common::Utf8ToWide(bar.PanelText());
        SendMessageW(window_, SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(text.c_str()));
        return;
    }
    RealControl::Apply(form, change);
}

RealTimer::~RealTimer() {
    Kill();
}

void RealTimer::Kill() {
    if (running_ != nullptr) {
        KillTimer(running_, static_cast<UINT_PTR>(id_));
        running_ = nullptr;
    }
}

void RealTimer::Create(const FormSurface& form) {
    Apply(form, ui::Change::Enabled);
}

void RealTimer::Apply(const FormSurface& form, ui::Change change) {
    if ((change != ui::Change::Enabled && change != ui::Change::Interval) ||
        form.window == nullptr) {
        return;
    }
    const auto& timer = static_cast<const ui::Timer&>(model_);
    if (timer.Enabled() && timer.Interval() > 0) {
        if (SetTimer(form.window, static_cast<UINT_PTR>(id_), static_cast<UINT>(timer.Interval()),
                     nullptr) != 0) {
            running_ = form.window;
        }
    } else {
        KillTimer(form.window, static_cast<UINT_PTR>(id_));
        running_ = nullptr;
    }
}

void RealTimer::Timer() {
    static_cast<ui::Timer&>(model_).Tick();
}

void RealListBox::Create(const FormSurface& form) {
    CreateChild(form, L"LISTBOX", LBS_NOTIFY | WS_VSCROLL | WS_TABSTOP | LBS_NOINTEGRALHEIGHT,
                WS_EX_CLIENTEDGE);
    Fill();
}

void RealListBox::Fill() {
    if (window_ == nullptr) {
        return;
    }
    const auto& list = static_cast<const ui::ListBox&>(model_);
    SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
    SendMessageW(window_, LB_RESETCONTENT, 0, 0);
    for (const std::string& item : list.Items()) {
        const std::wstring text = win32common::Utf8ToWide(item);
        SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
    SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(window_, nullptr, TRUE);
}

void RealListBox::Apply(const FormSurface& form, ui::Change change) {
    if (window_ == nullptr) {
        return;
    }
    const auto& list = static_cast<const ui::ListBox&>(model_);
    if (change == ui::Change::Items) {
        // Items are only ever added at the end or cleared: add what the real list lacks.
        const LRESULT shown = SendMessageW(window_, LB_GETCOUNT, 0, 0);
        if (shown < 0 || shown > list.ListCount()) {
            Fill();
            return;
        }
        // Many items at once: without redrawing after each, which costs the real list box a
        // scroll-bar update and a repaint per item.
        const bool many = list.ListCount() - shown > 1;
        if (many) {
            SendMessageW(window_, WM_SETREDRAW, FALSE, 0);
            SendMessageW(window_, LB_INITSTORAGE, static_cast<WPARAM>(list.ListCount() - shown), 0);
        }
        for (int index = static_cast<int>(shown); index < list.ListCount(); ++index) {
            const std::wstring text =
                win32common::Utf8ToWide(list.Items()[static_cast<std::size_t>(index)]);
            SendMessageW(window_, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
        }
        SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
        if (many) {
            SendMessageW(window_, WM_SETREDRAW, TRUE, 0);
            InvalidateRect(window_, nullptr, TRUE);
        }
        return;
    }
    if (change == ui::Change::Value) {
        // LB_SETCURSEL sends no LBN_SELCHANGE.
        SendMessageW(window_, LB_SETCURSEL, static_cast<WPARAM>(list.ListIndex()), 0);
        return;
    }
    RealControl::Apply(form, change);
}

void RealListBox::Command(WORD code) {
    if (code == LBN_SELCHANGE) {
        const LRESULT selected = SendMessageW(window_, LB_GETCURSEL, 0, 0);
        static_cast<ui::ListBox&>(model_).SetListIndex(
            selected == LB_ERR ? -1 : static_cast<int>(selected));
    }
}

void RealTextBox::Create(const FormSurface& form) {
    CreateChild(form, L"EDIT",
                ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP,
                WS_EX_CLIENTEDGE);
    Apply(form, ui::Change::Value);
}

void RealTextBox::Apply(const FormSurface& form, ui::Change change) {
    if (change == ui::Change::Value && window_ != nullptr) {
        const auto& box = static_cast<const ui::TextBox&>(model_);
        SetWindowTextW(window_, win32common::Utf8ToWide(box.Text()).c_str());
        return;
    }
    RealControl::Apply(form, change);
}

} // namespace tidewell::win32
