#pragma once

#include "fakes/EventLog.h"
#include "ports/EventLoop.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <vector>

namespace tidewell::fakes {

// An event loop on fake time: every DoEvents pass lets `millisecondsPerPass` go by and ticks the
// watched timers that are enabled and due (at most once per pass, as WM_TIMER is coalesced). A
// timer counts its interval from the pass in which it is first seen enabled.
//
// A loop that never ends fails the test: after `maxPasses` passes DoEvents throws.
class FakeEventLoop : public EventLoop {
public:
    explicit FakeEventLoop(int millisecondsPerPass = 50, int maxPasses = 100000)
        : step_(millisecondsPerPass), maxPasses_(maxPasses) {}

    void Watch(ui::Timer& timer) { timers_.push_back(Watched{&timer, false, 0}); }
    // Called at the start of every pass, before timers tick (a user action during a wait).
    void OnPass(std::function<void(int pass)> action) { onPass_ = std::move(action); }
    // From this pass on DoEvents reports that the application quits.
    void QuitAtPass(int pass) { quitAtPass_ = pass; }

    int Passes() const { return passes_; }
    long long NowMilliseconds() const { return now_; }
    int Ticks() const { return ticks_; }

    bool DoEvents() override {
        ++passes_;
        if (passes_ > maxPasses_) {
            ADD_FAILURE() << "waiting loop still running after " << maxPasses_ << " passes";
            throw std::runtime_error("event loop ran too long");
        }
        if (quitAtPass_ > 0 && passes_ >= quitAtPass_) {
            return false;
        }
        if (onPass_) {
            onPass_(passes_);
        }
        for (Watched& watched : timers_) {
            if (watched.timer->Enabled() && !watched.running) {
                watched.running = true;
                watched.due = now_ + watched.timer->Interval();
            } else if (!watched.timer->Enabled()) {
                watched.running = false;
            }
        }
        now_ += step_;
        for (Watched& watched : timers_) {
            if (watched.running && watched.timer->Enabled() && now_ >= watched.due) {
                watched.due += watched.timer->Interval();
                if (watched.due <= now_) {
                    watched.due = now_ + watched.timer->Interval();
                }
                ++ticks_;
                watched.timer->Tick();
            }
        }
        return true;
    }

private:
    struct Watched {
        ui::Timer* timer;
        bool running;
        long long due;
    };

    int step_;
    int maxPasses_;
    int passes_ = 0;
    int quitAtPass_ = 0;
    long long now_ = 0;
    int ticks_ = 0;
    std::vector<Watched> timers_;
    std::function<void(int)> onPass_;
};

} // namespace tidewell::fakes
