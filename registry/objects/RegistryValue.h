#pragma once

#include "WindowsRegistry.h"

#include <windows.h>

namespace registry {

// The class factory's creator: a value without parent key.
HRESULT CreateRegistryValue(IUnknown* outer, REFIID iid, void** result);

} // namespace registry
