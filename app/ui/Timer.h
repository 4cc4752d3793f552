#pragma once

#include "ui/Control.h"

#include <functional>
#include <utility>

namespace tidewell::ui {

// A window timer. Enabled (Control::SetEnabled) means running. The view reflects Change::Enabled
// and Change::Interval with SetTimer / KillTimer on its window and calls Tick on WM_TIMER. Enabling
// a running timer does not restart it (no change, no notification).
class Timer : public Control {
public:
    Timer(std::string name, int intervalMilliseconds);

    int Interval() const { return interval_; }
    void SetInterval(int milliseconds);
    // Runs the tick handler, only while the timer is enabled (a WM_TIMER already queued when the
    // timer was disabled is dropped).
    void Tick();
    void OnTimer(std::function<void()> handler) { onTimer_ = std::move(handler); }

private:
    int interval_;
    std::function<void()> onTimer_;
};

} // namespace tidewell::ui
