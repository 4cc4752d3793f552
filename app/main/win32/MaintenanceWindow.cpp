#include "main/win32/MaintenanceWindow.h"

namespace tidewell::win32 {

bool MaintenanceWindow::Load() {
    if (ports_ == nullptr ||
        !view_.Create(instance_, frmMaintenance::kDesignCaption, frmMaintenance::kClientWidth,
                      frmMaintenance::kClientHeight)) {
        return false;
    }
    core_ = std::make_unique<frmMaintenance>(*ports_, view_, view_.Tray());
    view_.Bind(core_->Controls());
    core_->Form_Load();
    return true;
}

void MaintenanceWindow::ShowMaintenanceWindow() {
    if (!core_ && !Load()) {
        return;
    }
    core_->Show();
}

} // namespace tidewell::win32
