#pragma once

#include "win32common/ComPtr.h"
#include "win32common/Variant.h"
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

// The same for a value whose data an enumeration has just read: data (already in its variant
// form) serves the value's first read, unless the library has written to the registry since.
HRESULT MakeEnumeratedValue(IRegistryKey* parent, std::wstring name, win32common::Variant&& data,
                            IRegistryValue** result);

// One named value of a key. Apart from the data an enumeration handed over, it holds no data:
// every read and write goes to the registry.
class RegistryValue final : public Dispatch<IRegistryValue, IID_IRegistryValue>,
                            public SupportErrorInfo<IID_IRegistryValue>,
                            public ObjectBase {
public:
    explicit RegistryValue(IUnknown* outer) : ObjectBase(outer) {}
    RegistryValue(IUnknown* outer, IRegistryKey* parent, std::wstring name)
        : ObjectBase(outer), parent_(parent), name_(std::move(name)) {}
    RegistryValue(IUnknown* outer, IRegistryKey* parent, std::wstring name,
                  win32common::Variant&& data, unsigned long writeCount)
        : ObjectBase(outer), parent_(parent), name_(std::move(name)), enumerated_(std::move(data)),
          enumeratedAt_(writeCount) {}

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
    // Hands over the enumeration's data when it is still good; it serves one read only.
    bool TakeEnumeratedData(VARIANT* result);

    win32common::ComPtr<IRegistryKey> parent_;
    std::wstring name_;
    bool expandString_ = false;
    win32common::Variant enumerated_; // empty when there is none
    unsigned long enumeratedAt_ = 0;
};

} // namespace registry
