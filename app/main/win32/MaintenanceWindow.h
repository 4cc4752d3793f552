#pragma once

#include "main/frmMaintenance.h"
#include "ports/FormLoader.h"
#include "ui/win32/Win32FormView.h"

#include <memory>

namespace tidewell::win32 {

// frmMaintenance on a real window, created on the first request to show it.
class MaintenanceWindow final : public FormLoader {
public:
    MaintenanceWindow(HINSTANCE instance, ApplicationWindow& applicationWindow,
                      OpenForms& openForms)
        : instance_(instance), view_(applicationWindow, openForms) {}

    // The ports the core is built with; set before the first ShowMaintenanceWindow.
    void SetPorts(const AppPorts* ports) { ports_ = ports; }

    void ShowMaintenanceWindow() override;

    frmMaintenance* Core() { return core_.get(); }
    Win32FormView& View() { return view_; }

private:
    bool Load();

    HINSTANCE instance_;
    const AppPorts* ports_ = nullptr;
    Win32FormView view_;
    std::unique_ptr<frmMaintenance> core_;
};

} // namespace tidewell::win32
