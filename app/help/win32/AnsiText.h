#pragma once

#include <string>
#include <string_view>

namespace tidewell::help::win32 {

// The help class calls the ANSI functions; the core speaks UTF-8. Both ways use the system's ANSI
// code page, win32common's one policy, so text round-trips on any system.
std::string ToAnsi(std::string_view utf8);
std::string FromAnsi(std::string_view ansi);

} // namespace tidewell::help::win32
