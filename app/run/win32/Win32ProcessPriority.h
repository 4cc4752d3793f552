#pragma once

#include "run/ChangePriority.h"

namespace tidewell::win32 {

class Win32ProcessPriority final : public ProcessPriorityPort {
public:
    Outcome SetOwnPriorityClass(std::int32_t priorityClass) override;
};

} // namespace tidewell::win32
