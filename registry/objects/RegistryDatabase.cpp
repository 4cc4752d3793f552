#include "objects/RegistryDatabase.h"

namespace registry {

HRESULT CreateRegistryDatabase(IUnknown*, REFIID, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    return E_NOTIMPL;
}

} // namespace registry
