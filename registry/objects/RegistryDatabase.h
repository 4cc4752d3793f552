#pragma once

#include "com/Dispatch.h"
#include "com/ObjectBase.h"
#include "com/SupportErrorInfo.h"

#include "WindowsRegistry.h"

#include <windows.h>

#include <string>

namespace registry {

// The class factory's creator, also used by the accessor for its own database.
HRESULT CreateRegistryDatabase(IUnknown* outer, REFIID iid, void** result);

// One local or remote registry. It keeps only the computer name and its lock; keys hold the
// database, never the reverse.
class RegistryDatabase final : public Dispatch<IRegistryDatabase, IID_IRegistryDatabase>,
                               public SupportErrorInfo<IID_IRegistryDatabase>,
                               public ObjectBase {
public:
    explicit RegistryDatabase(IUnknown* outer) : ObjectBase(outer) {}

    REGISTRY_IUNKNOWN_FORWARD

    HRESULT STDMETHODCALLTYPE get_ComputerName(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE put_ComputerName(BSTR name) override;
    HRESULT STDMETHODCALLTYPE CreateKey(REG_PREDEFINED_HKEYS base, BSTR subKey,
                                        REG_KEY_CREATE_OPTIONS options, REG_ACCESS_MODES access,
                                        IRegistryKey** result) override;
    HRESULT STDMETHODCALLTYPE OpenKey(REG_PREDEFINED_HKEYS base, BSTR subKey,
                                      REG_ACCESS_MODES access, IRegistryKey** result) override;
    HRESULT STDMETHODCALLTYPE DeleteKey(REG_PREDEFINED_HKEYS base, BSTR subKey) override;
    HRESULT STDMETHODCALLTYPE DeleteKeyTree(REG_PREDEFINED_HKEYS base, BSTR subKey) override;
    HRESULT STDMETHODCALLTYPE LoadKey(REG_PREDEFINED_HKEYS base, BSTR subKey, BSTR fileName,
                                      IRegistryKey** result) override;
    HRESULT STDMETHODCALLTYPE UnloadKey(REG_PREDEFINED_HKEYS base, BSTR subKey) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    class BaseKey;
    HRESULT Connect(REG_PREDEFINED_HKEYS base, BaseKey& key);
    // Connect, then the sub-key as the registry calls take it.
    HRESULT Prepare(REG_PREDEFINED_HKEYS base, BSTR subKey, BaseKey& key, std::wstring& name);
    HRESULT MakeKey(BSTR subKey, HKEY handle, IRegistryKey** result);

    std::wstring computerName_;
    bool computerNameLocked_ = false;
};

} // namespace registry
