#pragma once

#include "win32common/ComPtr.h"
#include "win32common/Handles.h"
#include "com/Dispatch.h"
#include "com/ObjectBase.h"
#include "com/SupportErrorInfo.h"
#include "events/KeyChangeEvents.h"

#include "WindowsRegistry.h"

#include <windows.h>
#include <ocidl.h>

#include <string>

namespace registry {

// The class factory's creator: a key without database, handle 0.
HRESULT CreateRegistryKey(IUnknown* outer, REFIID iid, void** result);

// A key opened or created by database; it takes over handle (which closes when the object
// cannot be made).
HRESULT MakeRegistryKey(IRegistryDatabase* database, std::wstring name,
                        win32common::UniqueKey handle, IRegistryKey** result);

// One open registry key. It holds its database and its handle for its whole life.
class RegistryKey final : public Dispatch<IRegistryKey, IID_IRegistryKey>,
                          public SupportErrorInfo<IID_IRegistryKey>,
                          public IConnectionPointContainer,
                          public ObjectBase {
public:
    explicit RegistryKey(IUnknown* outer);
    RegistryKey(IUnknown* outer, IRegistryDatabase* database, std::wstring name,
                win32common::UniqueKey&& handle);
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;
    ~RegistryKey() override;

    REGISTRY_IUNKNOWN_FORWARD

    HRESULT STDMETHODCALLTYPE get_RegistryDatabase(IRegistryDatabase** result) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_HKEY(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_SubKeyCount(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_SubKeyNames(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE get_ValueCount(LONG* result) override;
    HRESULT STDMETHODCALLTYPE get_ValueNames(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE OpenValue(BSTR valueName, IRegistryValue** result) override;
    HRESULT STDMETHODCALLTYPE DeleteValue(BSTR valueName) override;
    HRESULT STDMETHODCALLTYPE Flush() override;
    HRESULT STDMETHODCALLTYPE Save(BSTR fileName) override;
    HRESULT STDMETHODCALLTYPE Restore(BSTR fileName) override;
    HRESULT STDMETHODCALLTYPE Replace(BSTR newFileName, BSTR backupFileName) override;
    HRESULT STDMETHODCALLTYPE SubKeys(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE Values(VARIANT* result) override;

    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints** result) override;
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** result) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    enum class Counted { SubKeys, Values };
    HRESULT Count(Counted what, LONG* result);
    HRESULT Names(Counted what, VARIANT* result);
    HRESULT Collection(Counted what, VARIANT* result);

    // Destroyed in reverse: the change event stops before the name and the database go.
    win32common::ComPtr<IRegistryDatabase> database_;
    std::wstring name_;
    win32common::UniqueKey key_;
    KeyChangeEvents events_;
};

} // namespace registry
