#pragma once

#include "com/Win32Common.h"
#include "com/Dispatch.h"
#include "com/ObjectBase.h"
#include "com/SupportErrorInfo.h"

#include "WindowsRegistry.h"

#include <windows.h>

#include <string>

namespace registry {

// The class factory's creator: a value without parent key.
HRESULT CreateRegistryValue(IUnknown* outer, REFIID iid, void** result);

// A value of parent named name (null or empty: the key's default value). The registry is not
// consulted: a value that does not exist can be made.
HRESULT MakeRegistryValue(IRegistryKey* parent, BSTR name, IRegistryValue** result);

// One named value of a key. It holds no data: every read and write goes to the registry.
class RegistryValue final : public Dispatch<IRegistryValue, IID_IRegistryValue>,
                            public SupportErrorInfo<IID_IRegistryValue>,
                            public ObjectBase {
public:
    explicit RegistryValue(IUnknown* outer) : ObjectBase(outer) {}
    RegistryValue(IUnknown* outer, IRegistryKey* parent, std::wstring name, std::string ansiName)
        : ObjectBase(outer), parent_(parent), name_(std::move(name)),
          ansiName_(std::move(ansiName)) {}

    REGISTRY_IUNKNOWN_FORWARD

    HRESULT STDMETHODCALLTYPE get_Value(VARIANT* result) override;
    HRESULT STDMETHODCALLTYPE put_Value(VARIANT value) override;
    HRESULT STDMETHODCALLTYPE get_RegistryKey(IRegistryKey** result) override;
    HRESULT STDMETHODCALLTYPE get_Name(BSTR* result) override;
    HRESULT STDMETHODCALLTYPE get_ValueType(REG_VALUE_TYPES* result) override;
    HRESULT STDMETHODCALLTYPE get_ExpandString(VARIANT_BOOL* result) override;
    HRESULT STDMETHODCALLTYPE put_ExpandString(VARIANT_BOOL expand) override;

protected:
    void* FindInterface(REFIID iid) override;

private:
    HRESULT ParentHandle(HKEY& key);

    ComPtr<IRegistryKey> parent_;
    std::wstring name_;
    std::string ansiName_; // converted once: the name never changes
    bool expandString_ = false;
};

} // namespace registry
