#pragma once

#include "controls/LibraryHelperControl.h"
#include "controls/SystemHelperControl.h"
#include "controls/TrayIconControl.h"
#include "fakes/EventLog.h"

#include <string>
#include <vector>

namespace tidewell::fakes {

class FakeTrayIcon : public TrayIconControl {
public:
    explicit FakeTrayIcon(std::string name = "tray", EventLog* log = nullptr)
        : name_(std::move(name)), log_(log) {}

    void SetShowIcon(bool show) override {
        Record(std::string("ShowIcon=") + (show ? "true" : "false"));
        show_ = show;
    }
    bool ShowIcon() const override { return show_; }
    void SetTipText(std::string_view tip) override {
        Record("TipText=" + std::string(tip));
        tip_ = tip;
    }
    std::string TipText() const override { return tip_; }
    void SetIconNumber(std::int16_t number) override {
        Record("IconNumber=" + std::to_string(number));
        icon_ = number;
    }
    std::int16_t IconNumber() const override { return icon_; }

private:
    void Record(const std::string& what) {
        if (log_) {
            log_->Add(name_ + ":" + what);
        }
    }
    std::string name_;
    EventLog* log_;
    bool show_ = false;
    std::string tip_;
    std::int16_t icon_ = 0;
};

class FakeLibraryHelper : public LibraryHelperControl {
public:
    explicit FakeLibraryHelper(EventLog* log = nullptr) : log_(log) {}

    const std::vector<WindowHandle>& TopmostWrites() const { return topmost_; }
    const std::vector<std::int32_t>& Dialogs() const { return dialogs_; }
    void SetPhysicalMemory(std::int64_t bytes) { memory_ = bytes; }

    void SetShowSystemDialog(std::int32_t dialog) override {
        dialogs_.push_back(dialog);
        if (log_) {
            log_->Add("library:ShowSystemDialog=" + std::to_string(dialog));
        }
    }
    std::int64_t PhysicalMemory() const override { return memory_; }
    void SetTopmostWindow(WindowHandle window) override {
        topmost_.push_back(window);
        if (log_) {
            log_->Add("library:TopmostWindow=" + std::to_string(window));
        }
    }

private:
    EventLog* log_;
    std::vector<WindowHandle> topmost_;
    std::vector<std::int32_t> dialogs_;
    std::int64_t memory_ = 64ll << 20;
};

class FakeSystemHelper : public SystemHelperControl {
public:
    const std::vector<std::string>& Calls() const { return calls_; }
    // Also records every call as "system:<call>" there.
    void LogTo(EventLog* log) { log_ = log; }

    void DisableScreenSaver() override { Record("DisableScreenSaver"); }
    void EnableScreenSaver() override { Record("EnableScreenSaver"); }
    void EmptyRecycleBin() override { Record("EmptyRecycleBin"); }
    void RestartWindows() override { Record("RestartWindows"); }
    void OpenInternetOptions() override { Record("OpenInternetOptions"); }

private:
    void Record(const char* call) {
        calls_.push_back(call);
        if (log_) {
            log_->Add(std::string("system:") + call);
        }
    }
    std::vector<std::string> calls_;
    EventLog* log_ = nullptr;
};

} // namespace tidewell::fakes
