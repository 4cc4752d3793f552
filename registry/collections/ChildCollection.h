#pragma once

#include "collections/ChildEnumerator.h"
#include "collections/ChildWalk.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Result.h"
#include "com/Dispatch.h"
#include "com/ObjectBase.h"

#include <windows.h>
#include <oaidl.h>

#include "WindowsRegistry.h"

namespace registry {

// The key collection (SubKeyWalk) and the value collection (ValueWalk). Nothing is cached:
// Count and Item ask the registry at every call. Failures are bare HRESULTs, without error
// information of their own.
template <class Walk, const IID& InterfaceId>
class ChildCollection final : public ObjectBase,
                              public Dispatch<typename Walk::CollectionInterface, InterfaceId> {
public:
    ChildCollection(IUnknown* outer, IRegistryKey* parent) : ObjectBase(outer), parent_(parent) {}

    REGISTRY_IUNKNOWN_FORWARD

    HRESULT STDMETHODCALLTYPE get_Count(LONG* count) override {
        TIDEWELL_COM_BOUNDARY_BEGIN
        if (!count) {
            return E_POINTER;
        }
        if (!parent_) {
            return E_UNEXPECTED;
        }
        return Walk::Count(parent_.Get(), count);
        TIDEWELL_COM_BOUNDARY_END
    }

    HRESULT STDMETHODCALLTYPE get_Item(LONG index, VARIANT* item) override {
        TIDEWELL_COM_BOUNDARY_BEGIN
        if (!item) {
            return E_POINTER;
        }
        VariantInit(item);
        if (!parent_) {
            return E_UNEXPECTED;
        }
        LONG count = 0;
        TIDEWELL_RETURN_IF_FAILED(Walk::Count(parent_.Get(), &count));
        if (index < 1 || index > count) {
            return E_INVALIDARG;
        }
        win32common::Bstr name;
        TIDEWELL_RETURN_IF_FAILED(
            Walk::ReadName(parent_.Get(), static_cast<DWORD>(index - 1), name));
        IDispatch* child = nullptr;
        TIDEWELL_RETURN_IF_FAILED(Walk::Open(parent_.Get(), name.Get(), &child));
        V_VT(item) = VT_DISPATCH;
        V_DISPATCH(item) = child;
        return S_OK;
        TIDEWELL_COM_BOUNDARY_END
    }

    HRESULT STDMETHODCALLTYPE get__NewEnum(IUnknown** result) override {
        TIDEWELL_COM_BOUNDARY_BEGIN
        if (!result) {
            return E_POINTER;
        }
        *result = nullptr;
        if (!parent_) {
            return E_UNEXPECTED;
        }
        return ChildEnumerator<Walk>::Create(parent_.Get(), result);
        TIDEWELL_COM_BOUNDARY_END
    }

protected:
    void* FindInterface(REFIID iid) override {
        if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, InterfaceId)) {
            return static_cast<typename Walk::CollectionInterface*>(this);
        }
        return nullptr;
    }

private:
    win32common::ComPtr<IRegistryKey> parent_;
};

using KeyCollection = ChildCollection<SubKeyWalk, IID_IRegistryKeyCollection>;
using ValueCollection = ChildCollection<ValueWalk, IID_IRegistryValueCollection>;
using KeyEnumerator = ChildEnumerator<SubKeyWalk>;
using ValueEnumerator = ChildEnumerator<ValueWalk>;

} // namespace registry
