#pragma once

#include "WindowsRegistry.h"

#include <windows.h>

namespace registry {

// The class factory's creator, also used by the accessor for its own database.
HRESULT CreateRegistryDatabase(IUnknown* outer, REFIID iid, void** result);

} // namespace registry
