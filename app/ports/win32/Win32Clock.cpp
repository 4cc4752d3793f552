#include "ports/win32/Win32Clock.h"

#include <windows.h>

namespace tidewell::win32 {

CalendarDate Win32Clock::Today() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return CalendarDate{now.wYear, now.wMonth, now.wDay};
}

} // namespace tidewell::win32
