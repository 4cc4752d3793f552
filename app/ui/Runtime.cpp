#include "ui/Runtime.h"

#include "ports/EventLoop.h"

#include <algorithm>
#include <utility>

namespace tidewell::ui {

bool Runtime::Quitting() const {
    return events_.Quitting();
}

void Runtime::ThrowIfQuitting() {
    if (events_.Quitting()) {
        RunQuitHooks();
        throw ProgramQuitting{};
    }
}

void Runtime::DoEvents(int maxWaitMilliseconds) {
    if (!events_.DoEvents(std::max(maxWaitMilliseconds, 0))) {
        RunQuitHooks();
        throw ProgramQuitting{};
    }
}

void Runtime::Pause(int milliseconds) {
    const long long deadline = events_.NowMilliseconds() + std::max(milliseconds, 0);
    ThrowIfQuitting();
    for (;;) {
        const long long left = deadline - events_.NowMilliseconds();
        if (left <= 0) {
            return;
        }
        if (!events_.DoEvents(static_cast<int>(left))) {
            RunQuitHooks();
            throw ProgramQuitting{};
        }
    }
}

void Runtime::WaitUntil(const std::function<bool()>& done, int pollMilliseconds) {
    ThrowIfQuitting();
    while (!done()) {
        if (!events_.DoEvents(std::max(pollMilliseconds, 1))) {
            RunQuitHooks();
            throw ProgramQuitting{};
        }
    }
}

Runtime::QuitHook& Runtime::QuitHook::operator=(QuitHook&& other) noexcept {
    if (this != &other) {
        Release();
        runtime_ = other.runtime_;
        entry_ = other.entry_;
        other.runtime_ = nullptr;
    }
    return *this;
}

void Runtime::QuitHook::Release() {
    if (runtime_ != nullptr) {
        runtime_->quitHooks_.erase(entry_);
        runtime_ = nullptr;
    }
}

Runtime::QuitHook Runtime::OnQuit(std::function<void()> putBack) {
    quitHooks_.push_back(std::move(putBack));
    return QuitHook(*this, std::prev(quitHooks_.end()));
}

void Runtime::RunQuitHooks() {
    // Each hook runs once: it is emptied before it runs; its QuitHook still erases the entry.
    for (auto& hook : quitHooks_) {
        if (hook) {
            auto run = std::exchange(hook, nullptr);
            try {
                run();
            } catch (...) {
                // Putting back is best effort: one failure must not keep the others from running.
            }
        }
    }
}

} // namespace tidewell::ui
