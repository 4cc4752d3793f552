#pragma once

#include <windows.h>

#include <string>

namespace registry {

// True on the NT family; asked afresh at every use, as the readers below require.
bool IsNtFamily();

// The name of the value at index of key: RegEnumValueA on the 9x family, RegEnumValueW on NT
// (with a second try that takes the data when the first reports more data). Returns the Win32
// result code; ERROR_OUTOFMEMORY when a buffer cannot be had.
LONG ReadValueName(HKEY key, DWORD index, std::wstring& name);

// The name of the sub-key at index of key, through RegEnumKeyExA. Returns the Win32 result code.
LONG ReadSubKeyName(HKEY key, DWORD index, std::wstring& name);

// Characters in the name buffers of sub-key and value names.
constexpr DWORD kNameBufferLength = 261;

} // namespace registry
