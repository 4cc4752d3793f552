#pragma once

#include "objects/RegistryCalls.h"

#include <windows.h>

#include <string>

namespace registry {

// The name of the value at index of key: RegEnumValueA on the 9x family, RegEnumValueW on NT
// (with a second try that takes the data when the first reports more data). Returns the Win32
// result code; ERROR_OUTOFMEMORY when a buffer cannot be had.
LONG ReadValueName(HKEY key, DWORD index, std::wstring& name);

// A value as an enumeration finds it: its name and, when they fitted in data, its type and data
// (strings in UTF-16 when wide).
struct ValueEntry {
    std::wstring name;
    bool hasData = false;
    bool wide = false;
    DWORD type = REG_NONE;
    DWORD size = 0;
    alignas(8) BYTE data[512] = {};
};

// The value at index of key with one registry call where its data fits in the entry: on NT
// RegEnumValueW with a data buffer (a bigger value falls back to ReadValueName, without data);
// elsewhere ReadValueName. Returns the Win32 result code as ReadValueName does.
LONG ReadValueEntry(HKEY key, DWORD index, ValueEntry& entry);

// The name of the sub-key at index of key: RegEnumKeyExW on NT, RegEnumKeyExA elsewhere. Returns
// the Win32 result code.
LONG ReadSubKeyName(HKEY key, DWORD index, std::wstring& name);

// Characters in the name buffers of sub-key and value names.
constexpr DWORD kNameBufferLength = 261;

} // namespace registry
