#pragma once

#include <windows.h>

namespace registry {

// The library's one mapping of a Win32 error code to an HRESULT. Unlike HRESULT_FROM_WIN32 it
// maps 0 to a failure too, so a call that failed without setting an error is never success.
constexpr HRESULT HResultFromWin32(DWORD code) {
    return static_cast<HRESULT>(0x80070000u | (code & 0xFFFFu));
}

} // namespace registry

#define REGISTRY_RETURN_IF_FAILED(expr)                                                            \
    do {                                                                                           \
        const HRESULT registry_hr_ = (expr);                                                       \
        if (FAILED(registry_hr_))                                                                  \
            return registry_hr_;                                                                   \
    } while (0)

// Every COM method body runs inside this: no C++ exception leaves the library.
#define REGISTRY_COM_BOUNDARY_BEGIN try {
#define REGISTRY_COM_BOUNDARY_END                                                                  \
    }                                                                                              \
    catch (const std::bad_alloc&) {                                                                \
        return E_OUTOFMEMORY;                                                                      \
    }                                                                                              \
    catch (...) {                                                                                  \
        return E_UNEXPECTED;                                                                       \
    }
