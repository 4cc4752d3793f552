#include "ports/win32/Win32MessageBox.h"

#include "win32common/Text.h"

#include <windows.h>

namespace tidewell::win32 {

int Win32MessageBox::Show(std::string_view text, unsigned flags, std::string_view title) {
    const std::wstring wideText = win32common::Utf8ToWide(text);
    const std::wstring wideTitle = win32common::Utf8ToWide(title);
    HWND owner = GetActiveWindow();
    const int answer = MessageBoxW(owner, wideText.c_str(), wideTitle.c_str(), flags);
    // 0 means the box could not be shown: treat it as dismissed with the default answer.
    if (answer == 0) {
        return (flags & 0xF) == MB_YESNO ? IDNO : (flags & 0xF) == MB_OKCANCEL ? IDCANCEL : IDOK;
    }
    return answer;
}

} // namespace tidewell::win32
