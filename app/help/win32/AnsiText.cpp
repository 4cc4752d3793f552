#include "help/win32/AnsiText.h"

#include "win32/Text.h"

#include <windows.h>

#include <climits>

namespace tidewell::help::win32 {

std::string ToAnsi(std::string_view utf8) {
    return tidewell::win32::Utf8ToAnsi(utf8);
}

std::string FromAnsi(std::string_view ansi) {
    if (ansi.empty() || ansi.size() > INT_MAX) {
        return {};
    }
    const int length = static_cast<int>(ansi.size());
    const int needed = MultiByteToWideChar(1252, 0, ansi.data(), length, nullptr, 0);
    if (needed <= 0) {
        return {};
    }
    std::wstring wide(static_cast<size_t>(needed), L'\0');
    MultiByteToWideChar(1252, 0, ansi.data(), length, wide.data(), needed);
    return tidewell::win32::WideToUtf8(wide);
}

} // namespace tidewell::help::win32
