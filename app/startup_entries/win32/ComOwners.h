#pragma once

// The COM owners this client uses, from the library's frame for now; the one place to point at
// the shared Win32 support library once it carries them.
#include "com/Bstr.h"
#include "com/ComPtr.h"
#include "com/Variant.h"

namespace tidewell::win32 {

using registry::Bstr;
using registry::BstrView;
using registry::ComPtr;
using registry::Variant;

} // namespace tidewell::win32
