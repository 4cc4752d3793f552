#include "objects/RegistryValue.h"

namespace registry {

HRESULT CreateRegistryValue(IUnknown*, REFIID, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return E_NOTIMPL;
}

} // namespace registry
