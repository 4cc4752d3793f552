#pragma once

#include "ui/Control.h"

#include <functional>
#include <utility>

namespace tidewell::ui {

// A check box with the values 0 (unchecked) and 1 (checked).
//
// SetValue is the one way in, for the core and for the view alike: when the value changes, the
// observer is told first and then the click behaviour runs; when it does not change, nothing
// happens. So setting a box from code runs its click behaviour exactly like a user click, and only
// on a change. The view reflects Change::Value with BM_SETCHECK, which sends no BN_CLICKED; on
// BN_CLICKED (the real BS_AUTOCHECKBOX has already toggled) it calls SetValue with the real
// control's new state, which differs from the model's, so the behaviour runs once per click.
class CheckBox : public Control {
public:
    CheckBox(std::string name, std::string caption, std::string tipText, Rect bounds,
             int value = 0);

    int Value() const { return value_; }
    bool Checked() const { return value_ != 0; }
    // Any non-zero value means checked (1).
    void SetValue(int value);
    // The click behaviour; may itself set this or other boxes (the calls nest).
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

private:
    int value_;
    std::function<void()> onClick_;
};

} // namespace tidewell::ui
