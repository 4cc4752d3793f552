#include "accessor/RegistryAccessor.h"

namespace registry {

// Placeholder until the accessor exists.
HRESULT CreateRegistryAccessor(IUnknown*, REFIID, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return E_NOTIMPL;
}

} // namespace registry
