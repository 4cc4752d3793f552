#include "help/win32/AnsiText.h"

#include "win32common/Text.h"

namespace tidewell::help::win32 {

std::string ToAnsi(std::string_view utf8) {
    return win32common::Utf8ToAnsi(utf8);
}

std::string FromAnsi(std::string_view ansi) {
    return win32common::AnsiToUtf8(ansi);
}

} // namespace tidewell::help::win32
