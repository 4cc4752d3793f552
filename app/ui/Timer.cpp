#include "ui/Timer.h"

namespace tidewell::ui {

Timer::Timer(std::string name, int intervalMilliseconds)
    : Control(ControlKind::Timer, std::move(name), {}, {}, {}), interval_(intervalMilliseconds) {
    SetEnabled(false);
    SetVisible(false);
}

void Timer::SetInterval(int milliseconds) {
    if (milliseconds != interval_) {
        interval_ = milliseconds;
        Notify(Change::Interval);
    }
}

void Timer::Tick() {
    if (Enabled() && onTimer_) {
        onTimer_();
    }
}

} // namespace tidewell::ui
