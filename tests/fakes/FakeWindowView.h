#pragma once

#include "fakes/EventLog.h"
#include "ports/WindowView.h"

#include <gtest/gtest.h>

#include <string>

namespace tidewell::fakes {

// A window that only remembers what it was asked. Anything but Handle after Unload fails the test.
class FakeWindowView : public WindowView {
public:
    FakeWindowView(std::string name, WindowHandle handle, EventLog* log = nullptr)
        : name_(std::move(name)), handle_(handle), log_(log) {}

    bool Visible() const { return visible_; }
    bool Unloaded() const { return unloaded_; }
    const std::string& Caption() const { return caption_; }
    int Shows() const { return shows_; }
    int Hides() const { return hides_; }
    int Refreshes() const { return refreshes_; }
    int Unloads() const { return unloads_; }

    WindowHandle Handle() const override { return unloaded_ ? 0 : handle_; }
    void SetCaption(std::string_view caption) override {
        Record("SetCaption");
        caption_ = caption;
    }
    void Show() override {
        Record("Show");
        ++shows_;
        visible_ = true;
    }
    void Hide() override {
        Record("Hide");
        ++hides_;
        visible_ = false;
    }
    void Refresh() override {
        Record("Refresh");
        ++refreshes_;
    }
    void Unload() override {
        Record("Unload");
        ++unloads_;
        unloaded_ = true;
        visible_ = false;
    }
    void Minimize() override { Record("Minimize"); }
    void ShowNormal() override {
        Record("ShowNormal");
        visible_ = true;
    }
    void Activate() override { Record("Activate"); }

private:
    void Record(const char* call) {
        if (unloaded_) {
            ADD_FAILURE() << name_ << "." << call << " after Unload";
        }
        if (log_) {
            log_->Add("view:" + name_ + "." + call);
        }
    }

    std::string name_;
    WindowHandle handle_;
    EventLog* log_;
    std::string caption_;
    bool visible_ = false;
    bool unloaded_ = false;
    int shows_ = 0;
    int hides_ = 0;
    int refreshes_ = 0;
    int unloads_ = 0;
};

} // namespace tidewell::fakes
