#pragma once

// The program's names for the shared text conversions (win32common/Text.h).
#include "win32common/Text.h"

namespace tidewell::win32 {

using win32common::Utf8ToAnsi;
using win32common::Utf8ToWide;
using win32common::WideToUtf8;

} // namespace tidewell::win32
