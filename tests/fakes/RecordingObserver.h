#pragma once

#include "ui/Control.h"

#include <string>
#include <vector>

namespace tidewell::fakes {

// Stands in for a window's view: records every change it is told about as "name:Change".
class RecordingObserver : public ui::ControlObserver {
public:
    void ControlChanged(ui::Control& control, ui::Change change) override {
        changes.push_back(control.Name() + ":" + ToString(change));
    }
    static std::string ToString(ui::Change change) {
        switch (change) {
        case ui::Change::Caption:
            return "Caption";
        case ui::Change::TipText:
            return "TipText";
        case ui::Change::Enabled:
            return "Enabled";
        case ui::Change::Visible:
            return "Visible";
        case ui::Change::Position:
            return "Position";
        case ui::Change::Value:
            return "Value";
        case ui::Change::Range:
            return "Range";
        case ui::Change::Interval:
            return "Interval";
        case ui::Change::Items:
            return "Items";
        }
        return "?";
    }
    std::vector<std::string> changes;
};

} // namespace tidewell::fakes
