#pragma once

#include "com/Bstr.h"

#include <windows.h>

#include <string>
#include <string_view>

namespace registry {

// The registry is driven through the ANSI functions, so every name and string crosses the system
// ANSI code page. Both directions return E_OUTOFMEMORY or the conversion's error on failure.
HRESULT ToAnsi(std::wstring_view text, std::string& out);
inline HRESULT ToAnsi(BSTR text, std::string& out) {
    return ToAnsi(BstrView(text), out);
}
HRESULT FromAnsi(std::string_view text, std::wstring& out);
HRESULT BstrFromAnsi(std::string_view text, Bstr& out);

} // namespace registry
