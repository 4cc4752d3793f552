#pragma once

#include "ui/Control.h"

#include <utility>

namespace tidewell::ui {

// A static text (Label1).
class Label : public Control {
public:
    Label(std::string name, std::string caption, Rect bounds)
        : Control(ControlKind::Label, std::move(name), std::move(caption), {}, bounds) {}
};

} // namespace tidewell::ui
