#pragma once

#include "server/ObjectMap.h"

#include <windows.h>
#include <unknwn.h>

namespace registry {

// The one class factory of the server. The object map keeps one reference for the module's life;
// while any client holds the factory besides that one, it counts in the module lock, so a kept
// factory alone never stops DllCanUnloadNow from answering S_OK.
HRESULT MakeCachedClassFactory(CreatorFunction create, IClassFactory** result);

} // namespace registry
