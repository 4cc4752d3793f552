#pragma once

#include "fakes/EventLog.h"
#include "fakes/FakeControls.h"
#include "ports/FormsPort.h"
#include "ports/WindowView.h"
#include "ui/FormCore.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tidewell::fakes {

// The program's windows as the fakes know them, so a modal form can disable the others.
struct FakeScreen {
    std::vector<class FakeWindowView*> windows;
};

// A window that only remembers what it was asked. Anything but Handle after Destroy fails the
// test.
class FakeWindowView : public WindowView {
public:
    FakeWindowView(std::string name, WindowHandle handle, EventLog* log = nullptr,
                   TrayIconControl* tray = nullptr, FakeScreen* screen = nullptr)
        : name_(std::move(name)), handle_(handle), log_(log), screen_(screen),
          ownTray_(name_ + "Tray", log), tray_(tray != nullptr ? tray : &ownTray_) {
        if (screen_ != nullptr) {
            screen_->windows.push_back(this);
        }
    }
    ~FakeWindowView() override {
        if (screen_ != nullptr) {
            std::erase(screen_->windows, this);
        }
    }
    FakeWindowView(const FakeWindowView&) = delete;
    FakeWindowView& operator=(const FakeWindowView&) = delete;

    const std::string& Name() const { return name_; }
    bool Visible() const { return visible_; }
    bool Enabled() const { return enabled_; }
    bool Unloaded() const { return destroyed_; }
    const std::string& Caption() const { return caption_; }
    int Shows() const { return shows_; }
    int Hides() const { return hides_; }
    int Refreshes() const { return refreshes_; }
    int Destroys() const { return destroys_; }
    ui::MousePointer Pointer() const { return pointer_; }
    ui::FormCore* Core() const { return core_; }
    FakeTrayIcon& OwnTray() { return ownTray_; }

    void Bind(ui::FormCore& core) override { core_ = &core; }
    WindowHandle Handle() const override { return destroyed_ ? 0 : handle_; }
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
    bool IsVisible() const override { return visible_ && !destroyed_; }
    void Refresh() override {
        Record("Refresh");
        ++refreshes_;
    }
    void Destroy() override {
        if (destroyed_) {
            return; // a form's owner destroys what may already be gone
        }
        Record("Destroy");
        ++destroys_;
        destroyed_ = true;
        visible_ = false;
    }
    void Minimize() override { Record("Minimize"); }
    void ShowNormal() override {
        Record("ShowNormal");
        visible_ = true;
    }
    void Activate() override { Record("Activate"); }
    void SetMousePointer(ui::MousePointer pointer) override {
        Record(pointer == ui::MousePointer::Hourglass ? "Pointer=Hourglass" : "Pointer=Default");
        pointer_ = pointer;
    }
    void BeginModal() override {
        Record("BeginModal");
        std::vector<FakeWindowView*> disabled;
        if (screen_ != nullptr) {
            for (FakeWindowView* other : screen_->windows) {
                if (other != this && other->enabled_) {
                    other->enabled_ = false;
                    disabled.push_back(other);
                }
            }
        }
        modal_.push_back(std::move(disabled));
    }
    void EndModal() override {
        // The modal form has usually been destroyed by now: that is when the others come back.
        if (log_) {
            log_->Add("view:" + name_ + ".EndModal");
        }
        ASSERT_FALSE(modal_.empty()) << name_ << ": EndModal without BeginModal";
        for (FakeWindowView* other : modal_.back()) {
            other->enabled_ = true;
        }
        modal_.pop_back();
    }
    TrayIconControl& Tray() override { return *tray_; }

private:
    void Record(const char* call) {
        if (destroyed_) {
            ADD_FAILURE() << name_ << "." << call << " after Destroy";
        }
        if (log_) {
            log_->Add("view:" + name_ + "." + call);
        }
    }

    std::string name_;
    WindowHandle handle_;
    EventLog* log_;
    FakeScreen* screen_;
    FakeTrayIcon ownTray_;
    TrayIconControl* tray_;
    ui::FormCore* core_ = nullptr;
    std::string caption_;
    bool visible_ = false;
    bool enabled_ = true;
    bool destroyed_ = false;
    int shows_ = 0;
    int hides_ = 0;
    int refreshes_ = 0;
    int destroys_ = 0;
    ui::MousePointer pointer_ = ui::MousePointer::Default;
    std::vector<std::vector<FakeWindowView*>> modal_;
};

// Makes fake windows for ui::Form, named by their caption; the views stay reachable here while
// their form lives.
class FakeForms : public FormsPort {
public:
    FakeForms(EventLog* log, FakeScreen* screen) : log_(log), screen_(screen) {}

    std::unique_ptr<WindowView> CreateView(std::string_view caption, int /*width*/,
                                           int /*height*/) override {
        auto view = std::make_unique<FakeWindowView>(std::string(caption), nextHandle_, log_,
                                                     nullptr, screen_);
        nextHandle_ += 0x10;
        ++created_;
        view->SetCaption(caption);
        return view;
    }
    // The live window with this caption, or null.
    FakeWindowView* Find(std::string_view caption) const {
        for (FakeWindowView* view : screen_->windows) {
            if (view->Name() == caption && !view->Unloaded()) {
                return view;
            }
        }
        return nullptr;
    }
    int Created() const { return created_; }

private:
    EventLog* log_;
    FakeScreen* screen_;
    WindowHandle nextHandle_ = 0x5000;
    int created_ = 0;
};

} // namespace tidewell::fakes
