#include "ui/Control.h"

#include <utility>

namespace tidewell::ui {

Control::Control(ControlKind kind, std::string name, std::string caption, std::string tipText,
                 Rect bounds)
    : kind_(kind), name_(std::move(name)), caption_(std::move(caption)),
      tipText_(std::move(tipText)), bounds_(bounds) {}

void Control::SetCaption(std::string caption) {
    if (caption != caption_) {
        caption_ = std::move(caption);
        Notify(Change::Caption);
    }
}

void Control::SetTipText(std::string tipText) {
    if (tipText != tipText_) {
        tipText_ = std::move(tipText);
        Notify(Change::TipText);
    }
}

void Control::SetEnabled(bool enabled) {
    if (enabled != enabled_) {
        enabled_ = enabled;
        Notify(Change::Enabled);
    }
}

void Control::SetVisible(bool visible) {
    if (visible != visible_) {
        visible_ = visible;
        Notify(Change::Visible);
    }
}

void Control::Move(int left, int top) {
    if (left != bounds_.left || top != bounds_.top) {
        bounds_.left = left;
        bounds_.top = top;
        Notify(Change::Position);
    }
}

void Control::MouseMove(int button, int shift, int x, int y) {
    if (enabled_ && onMouseMove_) {
        onMouseMove_(button, shift, x, y);
    }
}

void Control::Notify(Change change) {
    if (observer_ != nullptr) {
        observer_->ControlChanged(*this, change);
    }
}

} // namespace tidewell::ui
