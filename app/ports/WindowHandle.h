#pragma once

#include <cstdint>

namespace tidewell {

// A window handle as the core sees it: the HWND's value, 0 for "no window".
using WindowHandle = std::uintptr_t;

} // namespace tidewell
