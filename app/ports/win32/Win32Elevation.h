#pragma once

#include "ports/Elevation.h"

namespace tidewell::win32 {

// The token's elevation and ShellExecuteEx "runas". Wine reports every process as elevated, so
// under Wine only the IsElevated road runs: starting elevated, the consent prompt and its
// refusal are verified only on Windows.
class Win32Elevation final : public ElevationPort {
public:
    bool IsElevated() const override;
    ElevatedStart StartElevated() override;
};

} // namespace tidewell::win32
