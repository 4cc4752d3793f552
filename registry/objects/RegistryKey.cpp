#include "objects/RegistryKey.h"

#include "collections/Collections.h"
#include "win32common/ComPtr.h"
#include "win32common/Handles.h"
#include "win32common/Result.h"
#include "win32common/SafeArray.h"
#include "com/ErrorInfo.h"
#include "objects/Privilege.h"
#include "objects/RegistryCalls.h"
#include "objects/RegistryValue.h"
#include "objects/ValueNameReader.h"

#include <string>

namespace registry {

namespace {

HRESULT KeyError(HRESULT hr, const wchar_t* message) {
    return ReportError(CLSID_RegistryKey, hr, message);
}

HRESULT KeySystemError(LONG code, const wchar_t* message) {
    return ReportSystemError(CLSID_RegistryKey, static_cast<DWORD>(code), message);
}

} // namespace

HRESULT CreateRegistryKey(IUnknown* outer, REFIID iid, void** result) {
    return CreateComObject<RegistryKey>(outer, iid, result, nullptr);
}

HRESULT MakeRegistryKey(IRegistryDatabase* database, std::wstring name,
                        win32common::UniqueKey handle, IRegistryKey** result) {
    return CreateComObject<RegistryKey>(nullptr, IID_IRegistryKey, reinterpret_cast<void**>(result),
                                        nullptr, database, std::move(name), std::move(handle));
}

RegistryKey::RegistryKey(IUnknown* outer)
    : ObjectBase(outer), events_(static_cast<IConnectionPointContainer*>(this)) {}

RegistryKey::RegistryKey(IUnknown* outer, IRegistryDatabase* database, std::wstring name,
                         win32common::UniqueKey&& handle)
    : ObjectBase(outer), database_(database), name_(std::move(name)), key_(std::move(handle)),
      events_(static_cast<IConnectionPointContainer*>(this)) {
    events_.SetKeyHandle(key_.get());
}

RegistryKey::~RegistryKey() {
    // The notification's worker is joined before the handle goes: it must never ask for a
    // change on a closed handle, or on the same number handed out again to another key.
    events_.Stop();
    key_.reset();
}

void* RegistryKey::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IRegistryKey))
        return static_cast<IRegistryKey*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo))
        return static_cast<ISupportErrorInfo*>(this);
    if (IsEqualIID(iid, IID_IConnectionPointContainer))
        return static_cast<IConnectionPointContainer*>(this);
    return nullptr;
}

HRESULT STDMETHODCALLTYPE RegistryKey::get_RegistryDatabase(IRegistryDatabase** result) {
    if (!result)
        return KeyError(E_POINTER, L"Null pointer");
    return database_.CopyTo(result);
}

HRESULT STDMETHODCALLTYPE RegistryKey::get_Name(BSTR* result) {
    if (!result)
        return KeyError(E_POINTER, L"Null pointer");
    *result = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *result ? S_OK : KeyError(E_OUTOFMEMORY, L"Out of memory");
}

HRESULT STDMETHODCALLTYPE RegistryKey::get_HKEY(LONG* result) {
    if (!result)
        return KeyError(E_POINTER, L"Null pointer");
    // Registry handles are 32-bit values, also on 64-bit systems.
    *result = static_cast<LONG>(reinterpret_cast<LONG_PTR>(key_.get()));
    return S_OK;
}

HRESULT RegistryKey::Count(Counted what, LONG* result) {
    if (!result)
        return KeyError(E_POINTER, L"Null pointer");
    DWORD subKeys = 0;
    DWORD values = 0;
    const LONG error = calls::QueryCounts(key_.get(), &subKeys, &values);
    if (error != ERROR_SUCCESS)
        return KeySystemError(error, L"Error querying the registry key information");
    *result = static_cast<LONG>(what == Counted::SubKeys ? subKeys : values);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryKey::get_SubKeyCount(LONG* result) {
    return Count(Counted::SubKeys, result);
}

HRESULT STDMETHODCALLTYPE RegistryKey::get_ValueCount(LONG* result) {
    return Count(Counted::Values, result);
}

HRESULT RegistryKey::Names(Counted what, VARIANT* result) {
    if (!result)
        return KeyError(E_POINTER, L"Null pointer");
    VariantInit(result);
    LONG count = 0;
    TIDEWELL_RETURN_IF_FAILED(Count(what, &count));
    if (count <= 0)
        return S_OK;
    TIDEWELL_COM_BOUNDARY_BEGIN
    win32common::SafeArray names(SafeArrayCreateVector(VT_VARIANT, 1, static_cast<ULONG>(count)));
    if (!names)
        return KeyError(E_OUTOFMEMORY, L"Failed to allocate safe array");
    std::wstring name;
    for (LONG i = 0; i < count; ++i) {
        const LONG error = what == Counted::SubKeys
                               ? ReadSubKeyName(key_.get(), static_cast<DWORD>(i), name)
                               : ReadValueName(key_.get(), static_cast<DWORD>(i), name);
        if (error != ERROR_SUCCESS)
            return KeySystemError(error, what == Counted::SubKeys
                                             ? L"Error enumerating key names"
                                             : L"Error enumerating value names");
        VARIANT element;
        V_VT(&element) = VT_BSTR;
        V_BSTR(&element) = SysAllocStringLen(name.data(), static_cast<UINT>(name.size()));
        if (!V_BSTR(&element))
            return KeyError(E_OUTOFMEMORY, L"Failed to allocate memory for key name");
        LONG index = i + 1;
        const HRESULT hr = SafeArrayPutElement(names.Get(), &index, &element);
        VariantClear(&element);
        if (FAILED(hr))
            return hr;
    }
    V_VT(result) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(result) = names.Detach();
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryKey::get_SubKeyNames(VARIANT* result) {
    return Names(Counted::SubKeys, result);
}

HRESULT STDMETHODCALLTYPE RegistryKey::get_ValueNames(VARIANT* result) {
    return Names(Counted::Values, result);
}

HRESULT STDMETHODCALLTYPE RegistryKey::OpenValue(BSTR valueName, IRegistryValue** result) {
    if (!result)
        return KeyError(E_POINTER, L"Null pointer");
    *result = nullptr;
    const HRESULT hr = MakeRegistryValue(this, valueName, result);
    if (FAILED(hr))
        return KeyError(hr, L"Error creating the registry value object");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryKey::DeleteValue(BSTR valueName) {
    const LONG error = calls::DeleteValue(key_.get(), valueName);
    if (error != ERROR_SUCCESS)
        return KeySystemError(error, L"Error deleting the registry value");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryKey::Flush() {
    const LONG error = RegFlushKey(key_.get());
    if (error != ERROR_SUCCESS)
        return KeySystemError(error, L"Error flushing registry");
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryKey::Save(BSTR fileName) {
    if (!fileName)
        return KeyError(E_POINTER, L"Null pointer");
    TIDEWELL_COM_BOUNDARY_BEGIN
    PrivilegeScope privilege("SeBackupPrivilege");
    const LONG error = calls::SaveKey(key_.get(), fileName);
    if (error != ERROR_SUCCESS)
        return KeySystemError(error, L"Error saving the registry key to file");
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryKey::Restore(BSTR fileName) {
    if (!fileName)
        return KeyError(E_POINTER, L"Null pointer");
    TIDEWELL_COM_BOUNDARY_BEGIN
    PrivilegeScope privilege("SeRestorePrivilege");
    const LONG error = calls::RestoreKey(key_.get(), fileName);
    if (error != ERROR_SUCCESS)
        return KeySystemError(error, L"Error restoring the registry key from file");
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryKey::Replace(BSTR newFileName, BSTR backupFileName) {
    if (!newFileName || !backupFileName)
        return KeyError(E_POINTER, L"Null pointer");
    TIDEWELL_COM_BOUNDARY_BEGIN
    PrivilegeScope privilege("SeRestorePrivilege");
    const LONG error = calls::ReplaceKey(key_.get(), newFileName, backupFileName);
    if (error != ERROR_SUCCESS)
        return KeySystemError(error, L"Error replacing the registry key from file");
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT RegistryKey::Collection(Counted what, VARIANT* result) {
    if (!result)
        return KeyError(E_POINTER, L"Null pointer");
    VariantInit(result);
    win32common::ComPtr<IDispatch> collection;
    const HRESULT hr = what == Counted::SubKeys ? CreateKeyCollection(this, &collection)
                                                : CreateValueCollection(this, &collection);
    if (FAILED(hr)) {
        if (hr == E_OUTOFMEMORY)
            return KeyError(hr, L"Failed to allocate memory for collection");
        if (hr == E_NOINTERFACE)
            return KeyError(hr, L"Error querying dispatch interface");
        return KeyError(hr, L"Error initializing collection");
    }
    V_VT(result) = VT_DISPATCH;
    V_DISPATCH(result) = collection.Detach();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryKey::SubKeys(VARIANT* result) {
    return Collection(Counted::SubKeys, result);
}

HRESULT STDMETHODCALLTYPE RegistryKey::Values(VARIANT* result) {
    return Collection(Counted::Values, result);
}

HRESULT STDMETHODCALLTYPE RegistryKey::EnumConnectionPoints(IEnumConnectionPoints** result) {
    return events_.EnumConnectionPoints(result);
}

HRESULT STDMETHODCALLTYPE RegistryKey::FindConnectionPoint(REFIID iid, IConnectionPoint** result) {
    return events_.FindConnectionPoint(iid, result);
}

} // namespace registry
