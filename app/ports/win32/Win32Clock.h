#pragma once

#include "ports/Clock.h"

namespace tidewell::win32 {

class Win32Clock final : public Clock {
public:
    CalendarDate Today() const override;
    std::string ShortDateText() const override;
};

} // namespace tidewell::win32
