#pragma once

#include "ui/Control.h"

#include <functional>
#include <utility>

namespace tidewell::ui {

// A push button. The view calls Click on BN_CLICKED; a core may call it too ("as if the button had
// been clicked").
class CommandButton : public Control {
public:
    CommandButton(std::string name, std::string caption, std::string tipText, Rect bounds)
        : Control(ControlKind::CommandButton, std::move(name), std::move(caption),
                  std::move(tipText), bounds) {}

    void Click() {
        if (onClick_) {
            onClick_();
        }
    }
    void OnClick(std::function<void()> handler) { onClick_ = std::move(handler); }

private:
    std::function<void()> onClick_;
};

} // namespace tidewell::ui
