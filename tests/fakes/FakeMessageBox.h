#pragma once

#include "fakes/EventLog.h"
#include "ports/MessageBox.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace tidewell::fakes {

// Message boxes by script: every box the core shows must have been expected, in order, with its
// exact text, flags and title; it is answered with the expected answer. An unexpected box fails
// the test (and is answered Cancel); boxes expected but never shown fail it at the end.
class FakeMessageBox : public MessageBoxPort {
public:
    struct Box {
        std::string text;
        unsigned flags;
        std::string title;
        int answer;
    };

    explicit FakeMessageBox(EventLog* log = nullptr) : log_(log) {}
    ~FakeMessageBox() override {
        for (const Box& box : expected_) {
            ADD_FAILURE() << "expected message box never shown: \"" << box.title << "\" / \""
                          << box.text << "\"";
        }
    }

    void Expect(std::string text, unsigned flags, std::string title, int answer = answer::kOk) {
        expected_.push_back(Box{std::move(text), flags, std::move(title), answer});
    }
    // Runs while each box is open (something the user does meanwhile), with the box's title.
    void OnShow(std::function<void(std::string_view title)> action) { onShow_ = std::move(action); }
    // Every box shown, with the answer it got.
    const std::vector<Box>& Transcript() const { return transcript_; }

    int Show(std::string_view text, unsigned flags, std::string_view title) override {
        if (log_) {
            log_->Add("box:" + std::string(title));
        }
        Box shown{std::string(text), flags, std::string(title), answer::kCancel};
        if (expected_.empty()) {
            ADD_FAILURE() << "unexpected message box \"" << title << "\": \"" << text
                          << "\" flags 0x" << std::hex << flags;
        } else {
            const Box& want = expected_.front();
            EXPECT_EQ(shown.text, want.text) << "text of box #" << transcript_.size();
            EXPECT_EQ(shown.flags, want.flags) << "flags of box #" << transcript_.size();
            EXPECT_EQ(shown.title, want.title) << "title of box #" << transcript_.size();
            shown.answer = want.answer;
            expected_.pop_front();
        }
        transcript_.push_back(shown);
        if (onShow_) {
            onShow_(title);
        }
        return shown.answer;
    }

private:
    EventLog* log_;
    std::deque<Box> expected_;
    std::vector<Box> transcript_;
    std::function<void(std::string_view)> onShow_;
};

} // namespace tidewell::fakes
