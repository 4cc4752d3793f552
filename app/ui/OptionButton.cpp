#include "ui/OptionButton.h"

namespace tidewell::ui {

OptionButton::OptionButton(std::string name, std::string caption, std::string tipText, Rect bounds)
    : Control(ControlKind::OptionButton, std::move(name), std::move(caption), std::move(tipText),
              bounds) {}

void OptionButton::SetValue(bool value) {
    if (value == value_) {
        return;
    }
    if (value) {
        for (OptionButton* other : group_) {
            other->SetValue(false);
        }
    }
    value_ = value;
    Notify(Change::Value);
    if (value && onClick_) {
        onClick_();
    }
}

void OptionButton::MakeGroup(std::initializer_list<OptionButton*> buttons) {
    for (OptionButton* button : buttons) {
        button->group_.clear();
        for (OptionButton* other : buttons) {
            if (other != button) {
                button->group_.push_back(other);
            }
        }
    }
}

} // namespace tidewell::ui
