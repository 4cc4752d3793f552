#include "collections/ChildWalk.h"

#include "com/ComPtr.h"
#include "com/Result.h"
#include "objects/ValueNameReader.h"

#include <string>

namespace registry {
namespace {

using NameReader = LONG (*)(HKEY key, DWORD index, std::wstring& name);

HRESULT ReadChildName(IRegistryKey* parent, DWORD index, NameReader reader, Bstr& name) {
    LONG handle = 0;
    REGISTRY_RETURN_IF_FAILED(parent->get_HKEY(&handle));
    std::wstring text;
    LONG result = reader(KeyHandleOf(handle), index, text);
    if (result != ERROR_SUCCESS) {
        return HResultFromWin32(static_cast<DWORD>(result));
    }
    name = Bstr(text);
    return name.Get() ? S_OK : E_OUTOFMEMORY;
}

} // namespace

HRESULT SubKeyWalk::Count(IRegistryKey* parent, LONG* count) {
    return parent->get_SubKeyCount(count);
}

HRESULT SubKeyWalk::ReadName(IRegistryKey* parent, DWORD index, Bstr& name) {
    return ReadChildName(parent, index, &ReadSubKeyName, name);
}

HRESULT SubKeyWalk::Open(IRegistryKey* parent, BSTR name, IDispatch** child) {
    LONG handle = 0;
    REGISTRY_RETURN_IF_FAILED(parent->get_HKEY(&handle));
    ComPtr<IRegistryDatabase> database;
    REGISTRY_RETURN_IF_FAILED(parent->get_RegistryDatabase(&database));
    if (!database) {
        return E_UNEXPECTED;
    }
    ComPtr<IRegistryKey> key;
    REGISTRY_RETURN_IF_FAILED(database->OpenKey(static_cast<REG_PREDEFINED_HKEYS>(handle), name,
                                                REG_ACCESS_BEST_AVAILABLE, &key));
    if (!key) {
        return E_UNEXPECTED;
    }
    return key->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(child));
}

HRESULT ValueWalk::Count(IRegistryKey* parent, LONG* count) {
    return parent->get_ValueCount(count);
}

HRESULT ValueWalk::ReadName(IRegistryKey* parent, DWORD index, Bstr& name) {
    return ReadChildName(parent, index, &ReadValueName, name);
}

HRESULT ValueWalk::Open(IRegistryKey* parent, BSTR name, IDispatch** child) {
    ComPtr<IRegistryValue> value;
    REGISTRY_RETURN_IF_FAILED(parent->OpenValue(name, &value));
    if (!value) {
        return E_UNEXPECTED;
    }
    return value->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(child));
}

} // namespace registry
