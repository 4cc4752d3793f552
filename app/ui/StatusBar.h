#pragma once

#include "ui/Control.h"

#include <utility>

namespace tidewell::ui {

// A status bar (common control) along the bottom of the window. Its first panel carries the status
// text (Change::Value); Caption is unused; TipText is the bar's own tooltip.
class StatusBar : public Control {
public:
    StatusBar(std::string name, std::string tipText, std::string panelText, Rect bounds)
        : Control(ControlKind::StatusBar, std::move(name), {}, std::move(tipText), bounds),
          panelText_(std::move(panelText)) {}

    const std::string& PanelText() const { return panelText_; }
    void SetPanelText(std::string text);

private:
    std::string panelText_;
};

} // namespace tidewell::ui
