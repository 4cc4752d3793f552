#include "collections/ChildWalk.h"

#include "objects/RegistryCalls.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Result.h"
#include "win32common/Variant.h"
#include "objects/RegistryValue.h"
#include "objects/ValueConversion.h"
#include "objects/ValueNameReader.h"

#include <string>

namespace registry {
namespace {

using NameReader = LONG (*)(HKEY key, DWORD index, std::wstring& name);

// The key and the value report their failures with error information; a collection passes on
// the HRESULT only and leaves none behind.
HRESULT WithoutErrorInfo(HRESULT hr) {
    if (FAILED(hr)) {
        SetErrorInfo(0, nullptr);
    }
    return hr;
}

HRESULT ReadChildName(IRegistryKey* parent, DWORD index, NameReader reader,
                      win32common::Bstr& name) {
    LONG handle = 0;
    TIDEWELL_RETURN_IF_FAILED(WithoutErrorInfo(parent->get_HKEY(&handle)));
    std::wstring text;
    LONG result = reader(KeyHandleOf(handle), index, text);
    if (result != ERROR_SUCCESS) {
        return win32common::HResultFromWin32(static_cast<DWORD>(result));
    }
    name = win32common::Bstr(text);
    return name.Get() ? S_OK : E_OUTOFMEMORY;
}

} // namespace

HRESULT SubKeyWalk::Count(IRegistryKey* parent, LONG* count) {
    return WithoutErrorInfo(parent->get_SubKeyCount(count));
}

HRESULT SubKeyWalk::ReadName(IRegistryKey* parent, DWORD index, win32common::Bstr& name) {
    return ReadChildName(parent, index, &ReadSubKeyName, name);
}

HRESULT SubKeyWalk::Open(IRegistryKey* parent, BSTR name, IDispatch** child) {
    LONG handle = 0;
    TIDEWELL_RETURN_IF_FAILED(WithoutErrorInfo(parent->get_HKEY(&handle)));
    win32common::ComPtr<IRegistryDatabase> database;
    TIDEWELL_RETURN_IF_FAILED(WithoutErrorInfo(parent->get_RegistryDatabase(&database)));
    if (!database) {
        return E_UNEXPECTED;
    }
    win32common::ComPtr<IRegistryKey> key;
    TIDEWELL_RETURN_IF_FAILED(WithoutErrorInfo(database->OpenKey(
        static_cast<REG_PREDEFINED_HKEYS>(handle), name, REG_ACCESS_BEST_AVAILABLE, &key)));
    if (!key) {
        return E_UNEXPECTED;
    }
    return key->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(child));
}

EnumerationCursor::Step SubKeyWalk::Deliver(IRegistryKey* parent, DWORD index, IDispatch** child) {
    win32common::Bstr name;
    if (FAILED(ReadName(parent, index, name)))
        return EnumerationCursor::Step::Stop;
    if (FAILED(Open(parent, name.Get(), child)) || !*child)
        return EnumerationCursor::Step::Skipped;
    return EnumerationCursor::Step::Delivered;
}

HRESULT ValueWalk::Count(IRegistryKey* parent, LONG* count) {
    return WithoutErrorInfo(parent->get_ValueCount(count));
}

HRESULT ValueWalk::ReadName(IRegistryKey* parent, DWORD index, win32common::Bstr& name) {
    return ReadChildName(parent, index, &ReadValueName, name);
}

HRESULT ValueWalk::Open(IRegistryKey* parent, BSTR name, IDispatch** child) {
    win32common::ComPtr<IRegistryValue> value;
    TIDEWELL_RETURN_IF_FAILED(WithoutErrorInfo(parent->OpenValue(name, &value)));
    if (!value) {
        return E_UNEXPECTED;
    }
    return value->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(child));
}

EnumerationCursor::Step ValueWalk::Deliver(IRegistryKey* parent, DWORD index, IDispatch** child) {
    LONG handle = 0;
    if (FAILED(WithoutErrorInfo(parent->get_HKEY(&handle))))
        return EnumerationCursor::Step::Stop;
    ValueEntry entry;
    if (ReadValueEntry(KeyHandleOf(handle), index, entry) != ERROR_SUCCESS)
        return EnumerationCursor::Step::Stop;
    win32common::Variant data;
    // Data that cannot be converted now is read again, with its error, when it is asked for.
    if (entry.hasData &&
        FAILED(
            RegistryDataToVariant(entry.type, entry.data, entry.size, entry.wide, data.Get()).hr))
        data.Reset();
    win32common::ComPtr<IRegistryValue> value;
    if (FAILED(MakeEnumeratedValue(parent, std::move(entry.name), std::move(data), &value)) ||
        !value)
        return EnumerationCursor::Step::Skipped;
    *child = value.Detach();
    return EnumerationCursor::Step::Delivered;
}

} // namespace registry
