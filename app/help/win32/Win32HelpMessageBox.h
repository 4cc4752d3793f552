#pragma once

#include "help/HelpPorts.h"

namespace tidewell::help::win32 {

// MessageBoxIndirectA with the record as the class fills it.
class Win32HelpMessageBox final : public HelpMessageBoxPort {
public:
    int ShowIndirect(const MessageBoxParams& params) override;
};

} // namespace tidewell::help::win32
