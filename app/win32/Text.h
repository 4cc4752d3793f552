#pragma once

#include <string>
#include <string_view>

namespace tidewell::win32 {

// The core speaks UTF-8; window texts go through the W functions, and the few A functions the
// program calls by name (FindWindowA, ModifyMenuA, the registry) get code page 1252, where the
// trademark sign is 0x99.
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::string Utf8ToAnsi(std::string_view text);

} // namespace tidewell::win32
