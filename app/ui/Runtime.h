#pragma once

#include <functional>
#include <list>
#include <type_traits>

namespace tidewell {
class EventLoop;
}

namespace tidewell::ui {

// Thrown by every wait once the program quits, so the waiting handler stops at once: nothing after
// the wait runs. Caught at the event boundary (the window procedure, the message loop's caller).
struct ProgramQuitting {};

// The one waiting primitive of the core, and the program-wide state around waits: whether a modal
// box or form is open, and what must be put back when the program quits in the middle of a wait.
class Runtime {
public:
    static constexpr int kDefaultPollMilliseconds = 50;

    explicit Runtime(EventLoop& events) : events_(events) {}
    Runtime(const Runtime&) = delete;
    Runtime& operator=(const Runtime&) = delete;
    ~Runtime() = default;

    // Lets events run for `milliseconds` of the event loop's clock.
    void Pause(int milliseconds);
    // Lets events run until `done()` holds; `done` is tested before every pass and after each
    // batch of events. Between passes the thread sleeps until an event arrives or
    // `pollMilliseconds` pass (conditions outside the thread, such as another program's window).
    void WaitUntil(const std::function<bool()>& done,
                   int pollMilliseconds = kDefaultPollMilliseconds);
    // One pass over the pending events, after sleeping at most `maxWaitMilliseconds` for one.
    void DoEvents(int maxWaitMilliseconds = 0);
    // Throws ProgramQuitting when the program is quitting (after running the quit hooks once).
    void ThrowIfQuitting();
    bool Quitting() const;

    // A modal message box or form is open while a scope lives (nested scopes count).
    class ModalScope {
    public:
        explicit ModalScope(Runtime& runtime) : runtime_(&runtime) { ++runtime_->modalDepth_; }
        ModalScope(ModalScope&& other) noexcept : runtime_(other.runtime_) {
            other.runtime_ = nullptr;
        }
        ModalScope(const ModalScope&) = delete;
        ModalScope& operator=(const ModalScope&) = delete;
        ModalScope& operator=(ModalScope&&) = delete;
        ~ModalScope() {
            if (runtime_ != nullptr) {
                --runtime_->modalDepth_;
            }
        }

    private:
        Runtime* runtime_;
    };
    [[nodiscard]] ModalScope EnterModal() { return ModalScope(*this); }
    bool InModal() const { return modalDepth_ > 0; }

    // Every modal box, input box and modal form goes through this: nothing is shown once the
    // program quits, `show` runs in the modal state, and a quit during it stops the caller
    // (ProgramQuitting) instead of letting it act on the answer. Returns what `show` returns.
    template <typename Show> std::invoke_result_t<Show&> Modal(Show&& show) {
        ThrowIfQuitting();
        if constexpr (std::is_void_v<std::invoke_result_t<Show&>>) {
            {
                const ModalScope modal = EnterModal();
                show();
            }
            ThrowIfQuitting();
        } else {
            auto answer = [&] {
                const ModalScope modal = EnterModal();
                return show();
            }();
            ThrowIfQuitting();
            return answer;
        }
    }

    // While the returned hook lives, `putBack` runs once if the program starts quitting, before
    // the waiting handlers unwind: what a handler changed on the machine is restored even though
    // the handler never reaches its own end.
    class QuitHook {
    public:
        QuitHook() = default;
        QuitHook(Runtime& runtime, std::list<std::function<void()>>::iterator entry)
            : runtime_(&runtime), entry_(entry) {}
        QuitHook(QuitHook&& other) noexcept : runtime_(other.runtime_), entry_(other.entry_) {
            other.runtime_ = nullptr;
        }
        QuitHook& operator=(QuitHook&& other) noexcept;
        QuitHook(const QuitHook&) = delete;
        QuitHook& operator=(const QuitHook&) = delete;
        ~QuitHook() { Release(); }
        void Release();

    private:
        Runtime* runtime_ = nullptr;
        std::list<std::function<void()>>::iterator entry_;
    };
    [[nodiscard]] QuitHook OnQuit(std::function<void()> putBack);

private:
    void RunQuitHooks();

    EventLoop& events_;
    int modalDepth_ = 0;
    std::list<std::function<void()>> quitHooks_;
};

} // namespace tidewell::ui
