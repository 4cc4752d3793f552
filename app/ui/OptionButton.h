#pragma once

#include "ui/Control.h"

#include <functional>
#include <utility>
#include <initializer_list>
#include <vector>

namespace tidewell::ui {

// An option button: a Boolean. Buttons joined with MakeGroup exclude each other.
//
// SetValue(true) on an unselected button unselects the others of its group (observer told, no
// click behaviour for them), tells the observer about this one, then runs its click behaviour.
// SetValue(false) only unselects (no click behaviour); unchanged values do nothing. The view calls
// SetValue(true) on BN_CLICKED of a BS_AUTORADIOBUTTON and reflects Change::Value with BM_SETCHECK.
class OptionButton : public Control {
public:
    OptionButton(std::string name, std::string caption, std::string tipText, Rect bounds);

    bool Value() const { return value_; }
    void SetValue(bool value);
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

    // The buttons must outlive each other (members of one window core).
    static void MakeGroup(std::initializer_list<OptionButton*> buttons);

private:
    bool value_ = false;
    std::function<void()> onClick_;
    std::vector<OptionButton*> group_;
};

} // namespace tidewell::ui
