#pragma once

#include <windows.h>

#include <string>

namespace registry {

// Sets the thread's error information for a failure reported by one of our classes: GUID_NULL as
// interface, the class's versioned ProgID (such as "Registry.RegistryKey.2") as source, message
// as description. Returns hr.
HRESULT ReportError(const CLSID& reporter, HRESULT hr, const wchar_t* message);

// A failed registry or system call with Win32 error code: HRESULT 0x80070000 | (code & 0xFFFF),
// description message + " - " + the system's text for code (as it comes, line end included), or
// message alone when the system has no text. Returns the HRESULT.
HRESULT ReportSystemError(const CLSID& reporter, DWORD code, const wchar_t* message);

} // namespace registry
