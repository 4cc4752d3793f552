#include "collections/Collections.h"

#include "collections/ChildCollection.h"

namespace registry {
namespace {

template <class Collection> HRESULT CreateCollection(IRegistryKey* parent, IDispatch** result) {
    if (!result) {
        return E_POINTER;
    }
    *result = nullptr;
    if (!parent) {
        return E_INVALIDARG;
    }
    win32common::ComPtr<IUnknown> collection;
    TIDEWELL_RETURN_IF_FAILED(CreateComObject<Collection>(
        nullptr, IID_IUnknown, reinterpret_cast<void**>(&collection), nullptr, parent));
    return collection->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(result));
}

} // namespace

HRESULT CreateKeyCollection(IRegistryKey* parent, IDispatch** result) {
    return CreateCollection<KeyCollection>(parent, result);
}

HRESULT CreateValueCollection(IRegistryKey* parent, IDispatch** result) {
    return CreateCollection<ValueCollection>(parent, result);
}

} // namespace registry
