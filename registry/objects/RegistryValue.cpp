#include "objects/RegistryValue.h"

#include "com/ErrorInfo.h"
#include "com/Win32Common.h"
#include "objects/ValueConversion.h"

#include <cstring>
#include <new>
#include <vector>

namespace registry {

namespace {

HRESULT ValueError(HRESULT hr, const wchar_t* message) {
    return ReportError(CLSID_RegistryValue, hr, message);
}

HRESULT ValueSystemError(LONG code, const wchar_t* message) {
    return ReportSystemError(CLSID_RegistryValue, static_cast<DWORD>(code), message);
}

// Most values are small: read them without going to the heap.
constexpr size_t kInlineDataSize = 512;

} // namespace

HRESULT CreateRegistryValue(IUnknown* outer, REFIID iid, void** result) {
    return CreateComObject<RegistryValue>(outer, iid, result, nullptr);
}

HRESULT MakeRegistryValue(IRegistryKey* parent, BSTR name, IRegistryValue** result) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    std::wstring wide(BstrView(name));
    std::string ansi;
    TIDEWELL_RETURN_IF_FAILED(ToAnsi(wide, ansi));
    return CreateComObject<RegistryValue>(nullptr, IID_IRegistryValue,
                                          reinterpret_cast<void**>(result), nullptr, parent,
                                          std::move(wide), std::move(ansi));
    TIDEWELL_COM_BOUNDARY_END
}

void* RegistryValue::FindInterface(REFIID iid) {
    if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IRegistryValue))
        return static_cast<IRegistryValue*>(this);
    if (IsEqualIID(iid, IID_ISupportErrorInfo))
        return static_cast<ISupportErrorInfo*>(this);
    return nullptr;
}

HRESULT RegistryValue::ParentHandle(HKEY& key) {
    if (!parent_)
        return ValueError(E_FAIL, L"No parent registry key object");
    LONG handle = 0;
    TIDEWELL_RETURN_IF_FAILED(parent_->get_HKEY(&handle));
    key = KeyHandleOf(handle);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryValue::get_Value(VARIANT* result) {
    if (!result)
        return ValueError(E_POINTER, L"Null pointer");
    VariantInit(result);
    HKEY key = nullptr;
    TIDEWELL_RETURN_IF_FAILED(ParentHandle(key));
    TIDEWELL_COM_BOUNDARY_BEGIN
    DWORD type = REG_NONE;
    DWORD size = 0;
    LONG error = RegQueryValueExA(key, ansiName_.c_str(), nullptr, &type, nullptr, &size);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA)
        return ValueSystemError(error, L"Error querying registry value for data length");

    BYTE inlineData[kInlineDataSize];
    std::vector<BYTE> heapData;
    BYTE* data = inlineData;
    const size_t needed = static_cast<size_t>(size) + 2;
    if (needed > kInlineDataSize) {
        try {
            heapData.resize(needed);
        } catch (const std::bad_alloc&) {
            return ValueError(E_OUTOFMEMORY, L"Failed to allocate memory for value");
        }
        data = heapData.data();
    }
    if (size != 0) {
        error = RegQueryValueExA(key, ansiName_.c_str(), nullptr, &type, data, &size);
        if (error != ERROR_SUCCESS)
            return ValueSystemError(error, L"Error querying the registry value");
    }
    data[size] = 0;
    data[size + 1] = 0;
    const ConversionFailure failure = RegistryDataToVariant(type, data, size, result);
    if (FAILED(failure.hr))
        return ValueError(failure.hr, failure.message);
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryValue::put_Value(VARIANT value) {
    HKEY key = nullptr;
    TIDEWELL_RETURN_IF_FAILED(ParentHandle(key));
    TIDEWELL_COM_BOUNDARY_BEGIN
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    const ConversionFailure failure = VariantToRegistryData(value, expandString_, type, data);
    if (FAILED(failure.hr))
        return ValueError(failure.hr, failure.message);
    if (data.size() > MAXDWORD)
        return ValueSystemError(ERROR_INVALID_PARAMETER, L"Error setting the registry value");
    const LONG error =
        RegSetValueExA(key, ansiName_.c_str(), 0, type, data.empty() ? nullptr : data.data(),
                       static_cast<DWORD>(data.size()));
    if (error != ERROR_SUCCESS)
        return ValueSystemError(error, L"Error setting the registry value");
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryValue::get_RegistryKey(IRegistryKey** result) {
    if (!result)
        return ValueError(E_POINTER, L"Null pointer");
    return parent_.CopyTo(result);
}

HRESULT STDMETHODCALLTYPE RegistryValue::get_Name(BSTR* result) {
    if (!result)
        return ValueError(E_POINTER, L"Null pointer");
    *result = SysAllocStringLen(name_.data(), static_cast<UINT>(name_.size()));
    return *result ? S_OK : ValueError(E_OUTOFMEMORY, L"Out of memory");
}

HRESULT STDMETHODCALLTYPE RegistryValue::get_ValueType(REG_VALUE_TYPES* result) {
    if (!result)
        return ValueError(E_POINTER, L"Null pointer");
    HKEY key = nullptr;
    TIDEWELL_RETURN_IF_FAILED(ParentHandle(key));
    DWORD type = REG_NONE;
    const LONG error = RegQueryValueExA(key, ansiName_.c_str(), nullptr, &type, nullptr, nullptr);
    if (error != ERROR_SUCCESS && error != ERROR_MORE_DATA)
        return ValueSystemError(error, L"Error querying registry value type");
    *result = static_cast<REG_VALUE_TYPES>(type);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryValue::get_ExpandString(VARIANT_BOOL* result) {
    if (!result)
        return ValueError(E_POINTER, L"Null pointer");
    *result = expandString_ ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE RegistryValue::put_ExpandString(VARIANT_BOOL expand) {
    expandString_ = expand == VARIANT_TRUE;
    return S_OK;
}

} // namespace registry
