#pragma once

#include "WindowsRegistry.h"

#include <windows.h>

namespace registry {

// The key's sub-key and value collections; each holds a counted reference to parent.
HRESULT CreateKeyCollection(IRegistryKey* parent, IDispatch** result);
HRESULT CreateValueCollection(IRegistryKey* parent, IDispatch** result);

} // namespace registry
