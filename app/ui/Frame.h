#pragma once

#include "ui/Control.h"

#include <utility>

namespace tidewell::ui {

// A group box with a caption, drawn behind the controls inside its bounds.
class Frame : public Control {
public:
    Frame(std::string name, std::string caption, Rect bounds)
        : Control(ControlKind::Frame, std::move(name), std::move(caption), {}, bounds) {}
};

} // namespace tidewell::ui
