#pragma once

#include "WindowsRegistry.h"

#include <windows.h>

namespace registry {

// The class factory's creator for RegistryAccessor (aggregation supported).
HRESULT CreateRegistryAccessor(IUnknown* outer, REFIID iid, void** result);

} // namespace registry
