#pragma once

#include "com/ComPtr.h"
#include "com/TypeLibrary.h"

#include <windows.h>
#include <oaidl.h>
#include <oleauto.h>

namespace registry {

// IDispatch of a dual interface, served from the embedded type library: the type information
// does the name lookup and the call through the vtable, so no DISPID is handled by hand.
template <class Interface, const IID& InterfaceId> class Dispatch : public Interface {
public:
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count)
            return E_POINTER;
        *count = 1;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID, ITypeInfo** result) override {
        if (!result)
            return E_POINTER;
        *result = nullptr;
        if (index != 0)
            return DISP_E_BADINDEX;
        return GetInterfaceTypeInfo(InterfaceId, result);
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID,
                                            DISPID* ids) override {
        if (!IsEqualIID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        const HRESULT hr = GetInterfaceTypeInfo(InterfaceId, &info);
        if (FAILED(hr))
            return hr;
        return info->GetIDsOfNames(names, count, ids);
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception,
                                     UINT* argumentError) override {
        if (!IsEqualIID(iid, IID_NULL))
            return DISP_E_UNKNOWNINTERFACE;
        ComPtr<ITypeInfo> info;
        const HRESULT hr = GetInterfaceTypeInfo(InterfaceId, &info);
        if (FAILED(hr))
            return hr;
        // JScript's Enumerator asks for the enumerator as a method call; it is a property.
        if (id == DISPID_NEWENUM && (flags & DISPATCH_METHOD))
            flags = DISPATCH_PROPERTYGET;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        return info->Invoke(static_cast<Interface*>(this), id, flags, params ? params : &none,
                            result, exception, argumentError);
    }
};

} // namespace registry
