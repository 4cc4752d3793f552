#pragma once

#include "fakes/EventLog.h"
#include "ports/EventLoop.h"
#include "ui/Timer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <stdexcept>
#include <vector>

namespace tidewell::fakes {

// An event loop on a virtual clock, the one scheduler behind every wait of a test: a wait for
// events sleeps no real time, it moves the clock on to the next thing due (a watched timer's tick
// or a scheduled action) or to the end of the wait, whichever comes first, and runs what is due.
// So a whole run of pauses and ticks takes milliseconds while the order of pauses, ticks and
// messages is kept. A timer counts its interval from the pass in which it is first seen enabled;
// ticks are coalesced as WM_TIMER is (at most one per timer per pass).
//
// A loop that never ends fails the test: after `maxPasses` passes DoEvents throws. A busy loop
// (DoEvents(0) over and over) never moves the clock, so it ends there too.
class FakeEventLoop : public EventLoop {
public:
    explicit FakeEventLoop(int maxPasses = 100000) : maxPasses_(maxPasses) {}

    void Watch(ui::Timer& timer) { timers_.push_back(Watched{&timer, false, 0}); }
    // Called at the start of every pass, before anything is due (a user action during a wait).
    void OnPass(std::function<void(int pass)> action) { onPass_ = std::move(action); }
    // Runs `action` as an event once the clock reaches `atMilliseconds`.
    void At(long long atMilliseconds, std::function<void()> action) {
        scheduled_.emplace(atMilliseconds, std::move(action));
    }
    // From this pass on the program is quitting.
    void QuitAtPass(int pass) { quitAtPass_ = pass; }
    // The program quits now (WM_QUIT posted by the last window's end).
    void Quit() { quitting_ = true; }

    int Passes() const { return passes_; }
    int Ticks() const { return ticks_; }

    long long NowMilliseconds() const override { return now_; }
    bool Quitting() const override { return quitting_; }

    bool DoEvents(int maxWaitMilliseconds = 0) override {
        ++passes_;
        if (passes_ > maxPasses_) {
            ADD_FAILURE() << "waiting loop still running after " << maxPasses_ << " passes";
            throw std::runtime_error("event loop ran too long");
        }
        if (quitAtPass_ > 0 && passes_ >= quitAtPass_) {
            quitting_ = true;
        }
        if (quitting_) {
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
        long long until = now_ + std::max(maxWaitMilliseconds, 0);
        for (const Watched& watched : timers_) {
            if (watched.running) {
                until = std::min(until, std::max(watched.due, now_));
            }
        }
        if (!scheduled_.empty()) {
            until = std::min(until, std::max(scheduled_.begin()->first, now_));
        }
        now_ = until;
        while (!scheduled_.empty() && scheduled_.begin()->first <= now_) {
            auto action = std::move(scheduled_.begin()->second);
            scheduled_.erase(scheduled_.begin());
            action();
        }
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
        return !quitting_;
    }

private:
    struct Watched {
        ui::Timer* timer;
        bool running;
        long long due;
    };

    int maxPasses_;
    int passes_ = 0;
    int quitAtPass_ = 0;
    bool quitting_ = false;
    long long now_ = 0;
    int ticks_ = 0;
    std::vector<Watched> timers_;
    std::multimap<long long, std::function<void()>> scheduled_;
    std::function<void(int)> onPass_;
};

} // namespace tidewell::fakes
