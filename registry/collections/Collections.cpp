#include "collections/Collections.h"

namespace registry {

// Placeholder until the collections exist.
HRESULT CreateKeyCollection(IRegistryKey*, IDispatch** result) {
    if (result)
        *result = nullptr;
    return E_NOTIMPL;
}

HRESULT CreateValueCollection(IRegistryKey*, IDispatch** result) {
    if (result)
        *result = nullptr;
    return E_NOTIMPL;
}

} // namespace registry
