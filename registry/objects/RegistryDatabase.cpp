#include "objects/RegistryDatabase.h"

#include "com/ErrorInfo.h"
#include "objects/RegistryCalls.h"
#include "win32common/Bstr.h"
#include "win32common/Handles.h"
#include "win32common/Result.h"
#include "win32common/Text.h"
#include "objects/Privilege.h"
#include "objects/RegistryCalls.h"
#include "objects/RegistryKey.h"
#include "objects/ValueNameReader.h"

#include <string>

namespace registry {

namespace {

constexpr size_t kMaxComputerNameBytes = 260;

bool IsPredefined(REG_PREDEFINED_HKEYS base) {
    const DWORD value = static_cast<DWORD>(base);
    return value >= 0x80000000u && value <= 0x80000006u;
}

HRESULT DatabaseError(HRESULT hr, const wchar_t* message) {
    return ReportError(CLSID_RegistryDatabase, hr, message);
}

HRESULT DatabaseSystemError(LONG code, const wchar_t* message) {
    return ReportSystemError(CLSID_RegistryDatabase, static_cast<DWORD>(code), message);
}

// The outcome of one registry call: success, or its error reported with message.
HRESULT DatabaseCallResult(LONG code, const wchar_t* message) {
    return code == ERROR_SUCCESS ? S_OK : DatabaseSystemError(code, message);
}

REGSAM AccessMask(REG_ACCESS_MODES access) {
    return access == REG_ACCESS_BEST_AVAILABLE ? MAXIMUM_ALLOWED : static_cast<REGSAM>(access);
}

struct TreeFailure {
    LONG code = ERROR_SUCCESS;
    const wchar_t* message = nullptr;
};

// Depth first: always the child at index 0, since each child is gone before the next read.
TreeFailure DeleteTree(HKEY parent, const std::wstring& name) {
    win32common::UniqueKey key;
    LONG result = calls::OpenKey(parent, name.c_str(), MAXIMUM_ALLOWED, &key);
    if (result != ERROR_SUCCESS)
        return {result, L"Error opening the registry key"};
    std::wstring previous;
    for (;;) {
        std::wstring childName;
        result = ReadSubKeyName(key.get(), 0, childName);
        if (result == ERROR_NO_MORE_ITEMS)
            break;
        if (result != ERROR_SUCCESS)
            return {result, L"Error enumerating the registry key"};
        // A child that survives its own deletion would make this loop forever.
        if (childName == previous)
            return {ERROR_ACCESS_DENIED, L"Error deleting the registry key"};
        const TreeFailure failure = DeleteTree(key.get(), childName);
        if (failure.code != ERROR_SUCCESS)
            return failure;
        previous = std::move(childName);
    }
    key.reset();
    result = calls::DeleteKey(parent, name.c_str());
    if (result != ERROR_SUCCESS)
        return {result, L"Error deleting the registry key"};
    return {};
}

} // namespace

// The base handle of one call: the caller's, or the remote registry's root, closed afterwards.
class RegistryDatabase::BaseKey {
public:
    HKEY Get() const { return remote_ ? remote_.get() : local_; }
    void SetLocal(HKEY key) { local_ = key; }
    win32common::UniqueKey& Remote() { return remote_; }

private:
    HKEY local_ = nullptr;
    win32common::UniqueKey remote_;
};

HRESULT CreateRegistryDatabase(IUnknown* outer, REFIID iid, void** result) {
    return CreateComObject<RegistryDatabase>(outer, iid, result, nullptr);
}

void* RegistryDatabase::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IRegistryDatabase))
        return static_cast<IRegistryDatabase*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo))
        return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT RegistryDatabase::Connect(REG_PREDEFINED_HKEYS base, BaseKey& key) {
    key.SetLocal(KeyHandleOf(static_cast<LONG>(base)));
    if (computerName_.empty() || !IsPredefined(base))
        return S_OK;
    std::string machine;
    if (FAILED(win32common::ToAnsi(computerName_, machine)) ||
        machine.size() > kMaxComputerNameBytes)
        return DatabaseError(E_INVALIDARG, L"Invalid computer name");
    if (machine.compare(0, 2, "\\\\") != 0)
        machine.insert(0, "\\\\");
    LONG result = RegConnectRegistryA(machine.c_str(), key.Get(), &key.Remote());
    if (result != ERROR_SUCCESS && IsNtFamily()) {
        std::wstring wide;
        if (SUCCEEDED(win32common::FromAnsi(machine, wide)))
            result = RegConnectRegistryW(wide.c_str(), KeyHandleOf(static_cast<LONG>(base)),
                                         &key.Remote());
    }
    if (result != ERROR_SUCCESS)
        return DatabaseSystemError(result, L"Error connecting to the remote computer");
    return S_OK;
}

HRESULT RegistryDatabase::Prepare(REG_PREDEFINED_HKEYS base, BSTR subKey, BaseKey& key,
                                  std::wstring& name) {
    TIDEWELL_RETURN_IF_FAILED(Connect(base, key));
    name.assign(win32common::BstrView(subKey));
    return S_OK;
}

HRESULT RegistryDatabase::MakeKey(BSTR subKey, HKEY handle, IRegistryKey** result) {
    win32common::UniqueKey owned(handle);
    std::wstring name;
    try {
        name.assign(win32common::BstrView(subKey));
    } catch (const std::bad_alloc&) {
        return DatabaseError(E_OUTOFMEMORY, L"Error creating the registry key object");
    }
    const HRESULT hr = MakeRegistryKey(this, std::move(name), std::move(owned), result);
    if (FAILED(hr))
        return DatabaseError(hr, L"Error creating the registry key object");
    computerNameLocked_ = true;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::get_ComputerName(BSTR* result) {
    if (!result)
        return DatabaseError(E_POINTER, L"Null pointer");
    *result = SysAllocStringLen(computerName_.data(), static_cast<UINT>(computerName_.size()));
    return *result ? S_OK : DatabaseError(E_OUTOFMEMORY, L"Out of memory");
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::put_ComputerName(BSTR name) {
    if (computerNameLocked_)
        return DatabaseError(E_FAIL, L"ComputerName already in use and cannot be changed");
    TIDEWELL_COM_BOUNDARY_BEGIN
    computerName_.assign(win32common::BstrView(name));
    computerNameLocked_ = true;
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::CreateKey(REG_PREDEFINED_HKEYS base, BSTR subKey,
                                                      REG_KEY_CREATE_OPTIONS options,
                                                      REG_ACCESS_MODES access,
                                                      IRegistryKey** result) {
    if (!result)
        return DatabaseError(E_POINTER, L"Null pointer");
    *result = nullptr;
    TIDEWELL_COM_BOUNDARY_BEGIN
    const wchar_t* const message = L"Error creating the registry key";
    BaseKey key;
    std::wstring name;
    TIDEWELL_RETURN_IF_FAILED(Prepare(base, subKey, key, name));
    HKEY created = nullptr;
    TIDEWELL_RETURN_IF_FAILED(
        DatabaseCallResult(calls::CreateKey(key.Get(), name.c_str(), static_cast<DWORD>(options),
                                            AccessMask(access), &created),
                           message));
    return MakeKey(subKey, created, result);
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::OpenKey(REG_PREDEFINED_HKEYS base, BSTR subKey,
                                                    REG_ACCESS_MODES access,
                                                    IRegistryKey** result) {
    if (!result)
        return DatabaseError(E_POINTER, L"Null pointer");
    *result = nullptr;
    TIDEWELL_COM_BOUNDARY_BEGIN
    const wchar_t* const message = L"Error opening the registry key";
    BaseKey key;
    std::wstring name;
    TIDEWELL_RETURN_IF_FAILED(Prepare(base, subKey, key, name));
    HKEY opened = nullptr;
    TIDEWELL_RETURN_IF_FAILED(DatabaseCallResult(
        calls::OpenKey(key.Get(), subKey ? name.c_str() : nullptr, AccessMask(access), &opened),
        message));
    return MakeKey(subKey, opened, result);
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::DeleteKey(REG_PREDEFINED_HKEYS base, BSTR subKey) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    const wchar_t* const message = L"Error deleting the registry key";
    BaseKey key;
    std::wstring name;
    TIDEWELL_RETURN_IF_FAILED(Prepare(base, subKey, key, name));
    return DatabaseCallResult(calls::DeleteKey(key.Get(), name.c_str()), message);
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::DeleteKeyTree(REG_PREDEFINED_HKEYS base, BSTR subKey) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    const wchar_t* const message = L"Error deleting the registry key";
    BaseKey key;
    std::wstring name;
    TIDEWELL_RETURN_IF_FAILED(Prepare(base, subKey, key, name));
    // An empty sub-key would name the base key itself and empty a whole hive.
    if (name.empty())
        return DatabaseSystemError(ERROR_INVALID_PARAMETER, message);
    const TreeFailure failure = DeleteTree(key.Get(), name);
    return DatabaseCallResult(failure.code, failure.message);
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::LoadKey(REG_PREDEFINED_HKEYS base, BSTR subKey,
                                                    BSTR fileName, IRegistryKey** result) {
    if (!fileName || !result)
        return DatabaseError(E_POINTER, L"Null pointer");
    *result = nullptr;
    TIDEWELL_COM_BOUNDARY_BEGIN
    const wchar_t* const message = L"Error loading the registry key from file";
    BaseKey key;
    std::wstring name;
    TIDEWELL_RETURN_IF_FAILED(Prepare(base, subKey, key, name));
    PrivilegeScope privilege("SeRestorePrivilege");
    TIDEWELL_RETURN_IF_FAILED(
        DatabaseCallResult(calls::LoadKey(key.Get(), name.c_str(), fileName), message));
    return OpenKey(base, subKey, REG_ACCESS_BEST_AVAILABLE, result);
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryDatabase::UnloadKey(REG_PREDEFINED_HKEYS base, BSTR subKey) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    const wchar_t* const message = L"Error unloading the registry key";
    BaseKey key;
    std::wstring name;
    TIDEWELL_RETURN_IF_FAILED(Prepare(base, subKey, key, name));
    return DatabaseCallResult(calls::UnloadKey(key.Get(), name.c_str()), message);
    TIDEWELL_COM_BOUNDARY_END
}

} // namespace registry
