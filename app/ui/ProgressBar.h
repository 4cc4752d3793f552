#pragma once

#include "ui/Control.h"

namespace tidewell::ui {

// A progress bar (common control). Value always lies within [Min, Max]: values outside are
// clamped, and a range change clamps the value (Change::Range, then Change::Value if it moved).
class ProgressBar : public Control {
public:
    ProgressBar(std::string name, Rect bounds, int min = 0, int max = 100);

    int Min() const { return min_; }
    int Max() const { return max_; }
    int Value() const { return value_; }
    // A maximum below the minimum is raised to the minimum.
    void SetMax(int max);
    void SetValue(int value);

private:
    int min_;
    int max_;
    int value_;
};

} // namespace tidewell::ui
