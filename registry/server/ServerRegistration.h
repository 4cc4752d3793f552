#pragma once

#include <windows.h>

namespace registry {

// DllRegisterServer / DllUnregisterServer: every object map entry's script, then the type
// library.
HRESULT RegisterServer();
HRESULT UnregisterServer();

} // namespace registry
