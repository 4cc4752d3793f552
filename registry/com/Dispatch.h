#pragma once

#include "win32common/ComPtr.h"
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
        win32common::ComPtr<ITypeInfo> info;
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
        win32common::ComPtr<ITypeInfo> info;
        const HRESULT hr = GetInterfaceTypeInfo(InterfaceId, &info);
        if (FAILED(hr))
            return hr;
        // JScript's Enumerator asks for the enumerator as a method call; it is a property.
        if (id == DISPID_NEWENUM && (flags & DISPATCH_METHOD))
            flags = DISPATCH_PROPERTYGET;
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        if (!params)
            params = &none;
        HRESULT call = info->Invoke(static_cast<Interface*>(this), id, flags, params, result,
                                    exception, argumentError);
        // JScript reads `key.Values` without parentheses as a property get of the method.
        if (call == DISP_E_MEMBERNOTFOUND && flags == DISPATCH_PROPERTYGET)
            call = info->Invoke(static_cast<Interface*>(this), id, DISPATCH_METHOD, params, result,
                                exception, argumentError);
        // `key.Values(1)`: the arguments belong to the default member of what the member returns.
        if (call == DISP_E_BADPARAMCOUNT && params->cArgs > 0 &&
            (flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET)))
            call = InvokeDefaultOfResult(info.Get(), id, flags, params, result, exception,
                                         argumentError);
        return call;
    }

private:
    HRESULT InvokeDefaultOfResult(ITypeInfo* info, DISPID id, WORD flags, DISPPARAMS* params,
                                  VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
        DISPPARAMS none = {nullptr, nullptr, 0, 0};
        VARIANT member;
        VariantInit(&member);
        HRESULT hr = info->Invoke(static_cast<Interface*>(this), id,
                                  flags & (DISPATCH_METHOD | DISPATCH_PROPERTYGET), &none, &member,
                                  exception, argumentError);
        if (SUCCEEDED(hr)) {
            if (V_VT(&member) == VT_DISPATCH && V_DISPATCH(&member)) {
                hr = V_DISPATCH(&member)->Invoke(DISPID_VALUE, IID_NULL, LOCALE_USER_DEFAULT, flags,
                                                 params, result, exception, argumentError);
            } else {
                hr = DISP_E_BADPARAMCOUNT;
            }
        }
        VariantClear(&member);
        return hr;
    }
};

} // namespace registry
