#pragma once

#include <windows.h>

#include <new>
#include <string>

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

// The outcome of a call that returns a Win32 code (the registry functions): S_OK for
// ERROR_SUCCESS.
inline HRESULT HResultFromResult(LONG code) {
    return code == ERROR_SUCCESS ? S_OK : HResultFromWin32(static_cast<DWORD>(code));
}

// The outcome of a call that reports failure as FALSE or a null pointer, with its last error.
inline HRESULT HResultFromBool(BOOL succeeded) {
    return succeeded ? S_OK : LastErrorHResult();
}
inline HRESULT HResultFromPointer(const void* made) {
    return made ? S_OK : LastErrorHResult();
}

// The quiet forms, for callers that keep Win32 codes: the last error of a call that has just
// failed, or fallback when the call left none.
inline DWORD LastErrorOr(DWORD fallback) {
    const DWORD error = GetLastError();
    return error != ERROR_SUCCESS ? error : fallback;
}
inline DWORD Win32ErrorFromBool(BOOL succeeded, DWORD fallback) {
    return succeeded ? ERROR_SUCCESS : LastErrorOr(fallback);
}

// The system's own message text for hr (a Win32 error in an HRESULT is looked up by its code),
// in the system's default language, as it comes, line end included; empty when the system has
// none.
std::wstring SystemMessageText(HRESULT hr);

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
