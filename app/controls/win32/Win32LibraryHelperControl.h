#pragma once

#include "controls/LibraryHelperControl.h"

namespace tidewell::win32 {

// The library helper control: control-panel dialogs, memory size, the topmost window.
class Win32LibraryHelperControl final : public LibraryHelperControl {
public:
    static constexpr std::int32_t kSystemPropertiesDialog = 43;
    static constexpr std::int32_t kInstallProgramsDialog = 9;

    void SetShowSystemDialog(std::int32_t dialog) override;
    std::int64_t PhysicalMemory() const override;
    void SetTopmostWindow(WindowHandle window) override;

private:
    WindowHandle topmost_ = 0;
};

} // namespace tidewell::win32
