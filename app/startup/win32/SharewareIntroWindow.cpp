#include "startup/win32/SharewareIntroWindow.h"

namespace tidewell::win32 {

bool SharewareIntroWindow::Create(HINSTANCE instance, const AppPorts& ports) {
    if (!view_.Create(instance, frmSharewareIntro::kCaption, frmSharewareIntro::kClientWidth,
                      frmSharewareIntro::kClientHeight)) {
        return false;
    }
    core_ = std::make_unique<frmSharewareIntro>(ports, view_, view_.Tray());
    view_.Bind(core_->Controls());
    view_.OnTrayClick([this](std::int16_t button) { core_->SysTray_TrayClick(button); });
    return true;
}

} // namespace tidewell::win32
