#pragma once

#include <windows.h>

#include <new>

namespace win32common {

// The one mapping of a Win32 error code to an HRESULT. Unlike HRESULT_FROM_WIN32 it maps 0 to a
// failure too, so a call that failed without setting an error is never success.
constexpr HRESULT HResultFromWin32(DWORD code) {
    return static_cast<HRESULT>(0x80070000u | (code & 0xFFFFu));
}

// The thread's last error as an HRESULT, for a call that has just reported failure.
inline HRESULT LastErrorHResult() {
    return HResultFromWin32(GetLastError());
}

} // namespace win32common

#define TIDEWELL_RETURN_IF_FAILED(expr)                                                            \
    do {                                                                                           \
        const HRESULT tidewell_hr_ = (expr);                                                       \
        if (FAILED(tidewell_hr_))                                                                  \
            return tidewell_hr_;                                                                   \
    } while (0)

// Every COM method body runs inside this: no C++ exception crosses a COM boundary.
#define TIDEWELL_COM_BOUNDARY_BEGIN try {
#define TIDEWELL_COM_BOUNDARY_END                                                                  \
    }                                                                                              \
    catch (const std::bad_alloc&) {                                                                \
        return E_OUTOFMEMORY;                                                                      \
    }                                                                                              \
    catch (...) {                                                                                  \
        return E_UNEXPECTED;                                                                       \
    }
