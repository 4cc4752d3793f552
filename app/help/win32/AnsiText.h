#pragma once

#include <string>
#include <string_view>

namespace tidewell::help::win32 {

// The help class calls the ANSI functions; the core speaks UTF-8. Code page 1252, as the rest of
// the program's A calls.
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

} // namespace tidewell::help::win32
