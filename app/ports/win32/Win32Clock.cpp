#include "ports/win32/Win32Clock.h"

#include "win32common/Text.h"

#include <windows.h>

namespace tidewell::win32 {

CalendarDate Win32Clock::Today() const {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    return CalendarDate{now.wYear, now.wMonth, now.wDay};
}

std::string Win32Clock::ShortDateText() const {
    wchar_t text[128] = {};
    if (GetDateFormatW(LOCALE_USER_DEFAULT, DATE_SHORTDATE, nullptr, nullptr, text, 128) == 0) {
        return {};
    }
    return win32common::WideToUtf8(text);
}

} // namespace tidewell::win32
