#pragma once

#include "fakes/EventLog.h"
#include "ports/Elevation.h"

#include <functional>

namespace tidewell::fakes {

// Administrator rights as set by the test; a request for an elevated start is logged and answered
// with `answer`.
class FakeElevation : public ElevationPort {
public:
    explicit FakeElevation(EventLog* log = nullptr) : log_(log) {}

    bool elevated = true;
    ElevatedStart answer = ElevatedStart::Started;
    std::function<void()> onStart; // runs where the elevated copy would start

    int Requests() const { return requests_; }

    bool IsElevated() const override { return elevated; }
    ElevatedStart StartElevated() override {
        ++requests_;
        if (log_) {
            log_->Add("elevation:StartElevated");
        }
        if (onStart) {
            onStart();
        }
        return answer;
    }

private:
    EventLog* log_;
    int requests_ = 0;
};

} // namespace tidewell::fakes
