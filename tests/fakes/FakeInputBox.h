#pragma once

#include "fakes/EventLog.h"
#include "startup_entries/InputBoxPort.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

namespace tidewell::fakes {

// Input boxes by script, like FakeMessageBox: every box must have been expected, in order, with
// its exact prompt, title and default text; it is answered with the expected answer ("" is what
// Cancel gives). An unexpected box fails the test and is cancelled. Each box is logged as
// "input:<title>" in the shared log, so its order against the message boxes can be checked.
class FakeInputBox : public InputBoxPort {
public:
    struct Box {
        std::string prompt;
        std::string title;
        std::string defaultText;
        std::string answer;
        WindowHandle owner = 0;
    };

    explicit FakeInputBox(EventLog* log = nullptr) : log_(log) {}
    ~FakeInputBox() override {
        for (const Box& box : expected_) {
            ADD_FAILURE() << "expected input box never shown: \"" << box.title << "\"";
        }
    }

    void Expect(std::string prompt, std::string title, std::string defaultText,
                std::string answer) {
        expected_.push_back(
            Box{std::move(prompt), std::move(title), std::move(defaultText), std::move(answer)});
    }
    const std::vector<Box>& Transcript() const { return transcript_; }

    std::string Show(std::string_view prompt, std::string_view title, std::string_view defaultText,
                     WindowHandle owner) override {
        if (log_) {
            log_->Add("input:" + std::string(title));
        }
        Box shown{std::string(prompt), std::string(title), std::string(defaultText), "", owner};
        if (expected_.empty()) {
            ADD_FAILURE() << "unexpected input box \"" << title << "\": \"" << prompt << "\"";
        } else {
            const Box& want = expected_.front();
            EXPECT_EQ(shown.prompt, want.prompt) << "prompt of input box #" << transcript_.size();
            EXPECT_EQ(shown.title, want.title) << "title of input box #" << transcript_.size();
            EXPECT_EQ(shown.defaultText, want.defaultText)
                << "default of input box #" << transcript_.size();
            shown.answer = want.answer;
            expected_.pop_front();
        }
        transcript_.push_back(shown);
        return shown.answer;
    }

private:
    EventLog* log_;
    std::deque<Box> expected_;
    std::vector<Box> transcript_;
};

} // namespace tidewell::fakes
