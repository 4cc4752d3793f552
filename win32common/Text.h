#pragma once

#include "win32common/Bstr.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace win32common {

// One ANSI policy: whatever crosses the platform's A functions or is stored as ANSI data (window
// texts found through FindWindowA, registry names and strings) uses the system's ANSI code page,
// CP_ACP. UTF-8 is the core's text; UTF-16 is the W functions' and automation's.

// Conversions that cannot fail the caller: text that does not convert gives "".
std::wstring Utf8ToWide(std::string_view text);
std::string WideToUtf8(std::wstring_view text);
std::string Utf8ToAnsi(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

// Conversions that say why they failed: E_OUTOFMEMORY or the system's error.
HRESULT ToAnsi(std::wstring_view text, std::string& out);
inline HRESULT ToAnsi(BSTR text, std::string& out) {
    return ToAnsi(BstrView(text), out);
}
HRESULT FromAnsi(std::string_view text, std::wstring& out);
HRESULT BstrFromAnsi(std::string_view text, Bstr& out);

} // namespace win32common
