#include "objects/RegistryKey.h"

namespace registry {

HRESULT CreateRegistryKey(IUnknown*, REFIID, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return E_NOTIMPL;
}

} // namespace registry
