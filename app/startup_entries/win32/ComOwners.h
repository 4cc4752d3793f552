#pragma once

// The COM owners this client uses, from the Win32 support library both deliverables share.
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Variant.h"

namespace tidewell::win32 {

using win32common::Bstr;
using win32common::BstrView;
using win32common::ComPtr;
using win32common::Variant;

} // namespace tidewell::win32
