#pragma once

#include "ui/Control.h"

#include <string>
#include <utility>

namespace tidewell::ui {

// A read-only text box: the core shows a text; the user can select and copy it, not change it.
class TextBox : public Control {
public:
    TextBox(std::string name, std::string tipText, Rect bounds)
        : Control(ControlKind::TextBox, std::move(name), {}, std::move(tipText), bounds) {}

    const std::string& Text() const { return text_; }
    void SetText(std::string text) {
        if (text != text_) {
            text_ = std::move(text);
            Notify(Change::Value);
        }
    }

private:
    std::string text_;
};

} // namespace tidewell::ui
