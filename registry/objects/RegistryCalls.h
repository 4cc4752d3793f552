#pragma once

#include <windows.h>

namespace registry {

// True on the NT family. The platform family never changes while a process runs, so it is asked
// once.
bool IsNtFamily();

// A key's handle as the registry functions want it from its 32-bit value (sign-extended, as the
// predefined handles are).
inline HKEY KeyHandleOf(LONG handle) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(handle));
}

// How many changes the library has made to the registry in this process (value writes, deletions,
// loads, restores): data read earlier is known stale once it moved.
unsigned long RegistryWriteCount();

// The registry calls of the objects, by wide names (null where the API takes null). On the NT
// family they go to the wide functions, so that a name the ANSI code page cannot hold is the name
// used; elsewhere to the ANSI functions, with the names converted to the ANSI code page. Each
// returns the Win32 result code (ERROR_OUTOFMEMORY when a conversion cannot be had).
namespace calls {

LONG OpenKey(HKEY base, const wchar_t* subKey, REGSAM access, HKEY* result);
LONG CreateKey(HKEY base, const wchar_t* subKey, DWORD options, REGSAM access, HKEY* result);
LONG DeleteKey(HKEY base, const wchar_t* subKey);
LONG DeleteValue(HKEY key, const wchar_t* name);
LONG QueryCounts(HKEY key, DWORD* subKeys, DWORD* values);
LONG SaveKey(HKEY key, const wchar_t* file);
LONG RestoreKey(HKEY key, const wchar_t* file);
LONG ReplaceKey(HKEY key, const wchar_t* newFile, const wchar_t* backupFile);
LONG LoadKey(HKEY base, const wchar_t* subKey, const wchar_t* file);
LONG UnloadKey(HKEY base, const wchar_t* subKey);

// Value data travels in the text form of the functions used: UTF-16 strings when wide is true
// (pass IsNtFamily()), ANSI strings otherwise.
LONG QueryValue(bool wide, HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size);
LONG SetValue(bool wide, HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size);

} // namespace calls
} // namespace registry
