#include "ui/CheckBox.h"

namespace tidewell::ui {

CheckBox::CheckBox(std::string name, std::string caption, std::string tipText, Rect bounds,
                   int value)
    : Control(ControlKind::CheckBox, std::move(name), std::move(caption), std::move(tipText),
              bounds),
      value_(value != 0 ? 1 : 0) {}

void CheckBox::SetValue(int value) {
    const int normalised = value != 0 ? 1 : 0;
    if (normalised == value_) {
        return;
    }
    value_ = normalised;
    Notify(Change::Value);
    if (onClick_) {
        onClick_();
    }
}

} // namespace tidewell::ui
