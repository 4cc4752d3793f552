#pragma once

#include "WindowsRegistry.h"

#include <windows.h>

namespace registry {

// The class factory's creator: a key without database, handle 0.
HRESULT CreateRegistryKey(IUnknown* outer, REFIID iid, void** result);

} // namespace registry
