#pragma once

// The program's names for the shared owners (win32common/Handles.h).
#include "win32common/Handles.h"

namespace tidewell::win32 {

using win32common::UniqueFont;
using win32common::UniqueHandle;
using win32common::UniqueIcon;
using win32common::UniqueKernelHandle;
using win32common::UniqueKey;
using win32common::UniqueLocalMemory;
using win32common::UniqueWindow;

} // namespace tidewell::win32
