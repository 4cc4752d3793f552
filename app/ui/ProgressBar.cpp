#include "ui/ProgressBar.h"

#include <algorithm>

namespace tidewell::ui {

ProgressBar::ProgressBar(std::string name, Rect bounds, int min, int max)
    : Control(ControlKind::ProgressBar, std::move(name), {}, {}, bounds), min_(min),
      max_(std::max(min, max)), value_(min) {}

void ProgressBar::SetMax(int max) {
    max = std::max(min_, max);
    if (max == max_) {
        return;
    }
    max_ = max;
    Notify(Change::Range);
    if (value_ > max_) {
        value_ = max_;
        Notify(Change::Value);
    }
}

void ProgressBar::SetValue(int value) {
    value = std::clamp(value, min_, max_);
    if (value != value_) {
        value_ = value;
        Notify(Change::Value);
    }
}

} // namespace tidewell::ui
