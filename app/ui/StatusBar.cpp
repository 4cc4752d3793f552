#include "ui/StatusBar.h"

namespace tidewell::ui {

void StatusBar::SetPanelText(std::string text) {
    if (text != panelText_) {
        panelText_ = std::move(text);
        Notify(Change::Value);
    }
}

} // namespace tidewell::ui
