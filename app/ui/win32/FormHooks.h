#pragma once

#include <windows.h>

#include <functional>
#include <utility>

namespace tidewell::win32 {

// Counts the open forms. What the last form's closing means (the end of the process, in the
// program) is the owner's choice, given as `lastClosed`.
class OpenForms {
public:
    OpenForms() = default;
    explicit OpenForms(std::function<void()> lastClosed) : lastClosed_(std::move(lastClosed)) {}

    void Opened() { ++count_; }
    void Closed() {
        if (count_ > 0 && --count_ == 0 && lastClosed_) {
            lastClosed_();
        }
    }
    int Count() const { return count_; }

private:
    int count_ = 0;
    std::function<void()> lastClosed_;
};

// What the program asks of every form, injected through Win32Forms: the form layer itself knows
// nothing of the program.
struct FormHooks {
    OpenForms& openForms;
    // A visible form was shown, activated or moved (the program keeps its hidden window below).
    std::function<void(HWND form)> shown;
};

} // namespace tidewell::win32
