#pragma once

#include "fakes/EventLog.h"
#include "ports/Clock.h"
#include "ports/DesktopWindows.h"
#include "ports/FormLoader.h"
#include "ports/Process.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace tidewell::fakes {

class FakeClock : public Clock {
public:
    explicit FakeClock(CalendarDate today = {2026, 12, 20}) : today_(today) {}
    void Set(CalendarDate today) { today_ = today; }
    CalendarDate Today() const override { return today_; }
    // The short-date form of an English system: M/d/yyyy.
    std::string ShortDateText() const override {
        return std::to_string(today_.month) + "/" + std::to_string(today_.day) + "/" +
               std::to_string(today_.year);
    }

private:
    CalendarDate today_;
};

class FakeProcess : public ProcessPort {
public:
    explicit FakeProcess(EventLog* log = nullptr) : log_(log) {}

    std::string commandLine;
    std::string executableName = "tidewell";
    std::string executableFolder = "c:\\Program Files\\Vellmoor\\Tidewell";

    bool Ended() const { return ends_ > 0; }
    int Ends() const { return ends_; }

    std::string CommandLine() const override { return commandLine; }
    std::string ExecutableName() const override { return executableName; }
    std::string ExecutableFolder() const override { return executableFolder; }
    void EndProcess() override {
        ++ends_;
        if (log_) {
            log_->Add("process:End");
        }
    }

private:
    EventLog* log_;
    int ends_ = 0;
};

// A desktop of top-level windows in Z-order (first = topmost). This process's own application
// window, when added, carries the application title as its text, like the real one.
class FakeDesktopWindows : public DesktopWindowsPort {
public:
    struct Window {
        WindowHandle handle;
        std::string className;
        std::string text;
        bool minimised = false;
    };
    struct DisabledClose {
        WindowHandle window;
        std::int16_t position;
        std::string text;
    };

    explicit FakeDesktopWindows(EventLog* log = nullptr) : log_(log) {}

    // Adds below the windows already there.
    void Add(Window window) { windows_.push_back(std::move(window)); }
    void AddOwnApplicationWindow(WindowHandle handle) {
        own_ = handle;
        Add({handle, std::string(kApplicationWindowClass), title_});
    }
    const Window* Get(WindowHandle handle) const {
        for (const Window& window : windows_) {
            if (window.handle == handle) {
                return &window;
            }
        }
        return nullptr;
    }

    WindowHandle Foreground() const { return foreground_; }
    const std::vector<std::string>& Searches() const { return searches_; }
    const std::vector<std::string>& TitleChanges() const { return titleChanges_; }
    const std::vector<WindowHandle>& Restored() const { return restored_; }
    const std::vector<DisabledClose>& DisabledCloses() const { return disabledCloses_; }

    std::string ApplicationTitle() const override { return title_; }
    void SetApplicationTitle(std::string_view title) override {
        title_ = title;
        titleChanges_.emplace_back(title);
        for (Window& window : windows_) {
            if (window.handle == own_) {
                window.text = title_;
            }
        }
    }
    WindowHandle FindTopLevelWindow(std::string_view className,
                                    std::string_view text) const override {
        searches_.emplace_back(std::string(className) + "|" + std::string(text));
        for (const Window& window : windows_) {
            if (window.className == className && window.text == text) {
                return window.handle;
            }
        }
        return 0;
    }
    WindowHandle PreviousInZOrder(WindowHandle window) const override {
        for (std::size_t i = 1; i < windows_.size(); ++i) {
            if (windows_[i].handle == window) {
                return windows_[i - 1].handle;
            }
        }
        return 0;
    }
    bool IsMinimised(WindowHandle window) const override {
        const Window* found = Get(window);
        return found != nullptr && found->minimised;
    }
    void RestoreMinimised(WindowHandle window) override {
        restored_.push_back(window);
        for (Window& each : windows_) {
            if (each.handle == window) {
                each.minimised = false;
            }
        }
    }
    void BringToForeground(WindowHandle window) override {
        EXPECT_NE(window, 0u) << "foreground of no window";
        foreground_ = window;
    }
    void DisableCloseCommand(WindowHandle window, std::int16_t position,
                             std::string_view text) override {
        disabledCloses_.push_back({window, position, std::string(text)});
        if (log_) {
            log_->Add("windows:DisableCloseCommand");
        }
    }

private:
    EventLog* log_;
    std::string title_{kApplicationTitle};
    WindowHandle own_ = 0;
    std::vector<Window> windows_;
    WindowHandle foreground_ = 0;
    mutable std::vector<std::string> searches_;
    std::vector<std::string> titleChanges_;
    std::vector<WindowHandle> restored_;
    std::vector<DisabledClose> disabledCloses_;
};

class FakeFormLoader : public FormLoader {
public:
    explicit FakeFormLoader(EventLog* log = nullptr) : log_(log) {}
    // What loading the main window does in the test (for example construct and load a real core).
    std::function<void()> onShowMaintenance;
    int Calls() const { return calls_; }

    void ShowMaintenanceWindow() override {
        ++calls_;
        if (log_) {
            log_->Add("forms:ShowMaintenanceWindow");
        }
        if (onShowMaintenance) {
            onShowMaintenance();
        }
    }

private:
    EventLog* log_;
    int calls_ = 0;
};

} // namespace tidewell::fakes
