#include "help/win32/Win32HelpMessageBox.h"

#include "help/win32/AnsiText.h"

#include <windows.h>

namespace tidewell::help::win32 {

int Win32HelpMessageBox::ShowIndirect(const MessageBoxParams& params) {
    const std::string text = ToAnsi(params.lpszText);
    const std::string caption = ToAnsi(params.lpszCaption);
    MSGBOXPARAMSA native{};
    native.cbSize = sizeof(native);
    native.hwndOwner = reinterpret_cast<HWND>(params.hwndOwner);
    native.hInstance = nullptr;
    native.lpszText = text.c_str();
    native.lpszCaption = caption.c_str();
    native.dwStyle = params.dwStyle;
    native.lpszIcon = nullptr;
    native.dwContextHelpId = 0;
    native.lpfnMsgBoxCallback = nullptr;
    native.dwLanguageId = 0;
    return MessageBoxIndirectA(&native);
}

} // namespace tidewell::help::win32
