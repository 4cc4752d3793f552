#pragma once

// The shared Win32 owners, text conversions and error helpers, by their short names inside the
// library.
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Handles.h"
#include "win32common/Result.h"
#include "win32common/SafeArray.h"
#include "win32common/Text.h"
#include "win32common/Variant.h"

#include <windows.h>

namespace registry {

using win32common::Bstr;
using win32common::BstrFromAnsi;
using win32common::BstrView;
using win32common::ComPtr;
using win32common::FromAnsi;
using win32common::HResultFromWin32;
using win32common::SafeArray;
using win32common::SafeArrayDataLock;
using win32common::ToAnsi;
using win32common::UniqueKernelHandle;
using win32common::UniqueKey;
using win32common::UniqueLocalMemory;
using win32common::Variant;

// A key's handle as the registry functions want it from its 32-bit value (sign-extended, as the
// predefined handles are).
inline HKEY KeyHandleOf(LONG handle) {
    return reinterpret_cast<HKEY>(static_cast<LONG_PTR>(handle));
}

} // namespace registry
