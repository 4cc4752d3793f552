#include "objects/RegistryValue.h"

#include "com/ErrorInfo.h"
#include "objects/RegistryCalls.h"
#include "win32common/Bstr.h"
#include "win32common/Result.h"
#include "win32common/Variant.h"
#include "objects/RegistryCalls.h"
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

// Most values are small: one read into this much room inside the call serves them.
constexpr DWORD kInlineDataSize = 512;

// The data of one value, read with a buffer that is usually big enough; only a bigger value is
// asked again, with the size the registry reported, for as long as it keeps growing.
class ValueData {
public:
    // S_OK, or the failure reported as the value's error.
    HRESULT Read(bool wide, HKEY key, const wchar_t* name) {
        DWORD capacity = kInlineDataSize;
        const wchar_t* message = L"Error querying registry value for data length";
        for (;;) {
            size_ = capacity;
            const LONG error = calls::QueryValue(wide, key, name, &type_, data_, &size_);
            if (error == ERROR_SUCCESS)
                return S_OK;
            if (error != ERROR_MORE_DATA)
                return ValueSystemError(error, message);
            try {
                heap_.resize(static_cast<size_t>(size_) + sizeof(wchar_t));
            } catch (const std::bad_alloc&) {
                return ValueError(E_OUTOFMEMORY, L"Failed to allocate memory for value");
            }
            capacity = size_;
            data_ = heap_.data();
            message = L"Error querying the registry value";
        }
    }
    DWORD Type() const { return type_; }
    const BYTE* Data() const { return data_; }
    DWORD Size() const { return size_; }

private:
    alignas(8) BYTE inline_[kInlineDataSize] = {};
    std::vector<BYTE> heap_;
    BYTE* data_ = inline_;
    DWORD type_ = REG_NONE;
    DWORD size_ = 0;
};

} // namespace

HRESULT CreateRegistryValue(IUnknown* outer, REFIID iid, void** result) {
    return CreateComObject<RegistryValue>(outer, iid, result, nullptr);
}

HRESULT MakeRegistryValue(IRegistryKey* parent, BSTR name, IRegistryValue** result) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    return CreateComObject<RegistryValue>(nullptr, IID_IRegistryValue,
                                          reinterpret_cast<void**>(result), nullptr, parent,
                                          std::wstring(win32common::BstrView(name)));
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT MakeEnumeratedValue(IRegistryKey* parent, std::wstring name, win32common::Variant&& data,
                            IRegistryValue** result) {
    return CreateComObject<RegistryValue>(nullptr, IID_IRegistryValue,
                                          reinterpret_cast<void**>(result), nullptr, parent,
                                          std::move(name), std::move(data), RegistryWriteCount());
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

bool RegistryValue::TakeEnumeratedData(VARIANT* result) {
    if (enumerated_.Type() == VT_EMPTY)
        return false;
    win32common::Variant data(std::move(enumerated_));
    if (enumeratedAt_ != RegistryWriteCount())
        return false;
    data.Detach(result);
    return true;
}

HRESULT STDMETHODCALLTYPE RegistryValue::get_Value(VARIANT* result) {
    if (!result)
        return ValueError(E_POINTER, L"Null pointer");
    VariantInit(result);
    HKEY key = nullptr;
    TIDEWELL_RETURN_IF_FAILED(ParentHandle(key));
    if (TakeEnumeratedData(result))
        return S_OK;
    TIDEWELL_COM_BOUNDARY_BEGIN
    const bool wide = IsNtFamily();
    ValueData data;
    TIDEWELL_RETURN_IF_FAILED(data.Read(wide, key, name_.c_str()));
    const ConversionFailure failure =
        RegistryDataToVariant(data.Type(), data.Data(), data.Size(), wide, result);
    if (FAILED(failure.hr))
        return ValueError(failure.hr, failure.message);
    return S_OK;
    TIDEWELL_COM_BOUNDARY_END
}

HRESULT STDMETHODCALLTYPE RegistryValue::put_Value(VARIANT value) {
    HKEY key = nullptr;
    TIDEWELL_RETURN_IF_FAILED(ParentHandle(key));
    TIDEWELL_COM_BOUNDARY_BEGIN
    enumerated_.Reset();
    const bool wide = IsNtFamily();
    DWORD type = REG_NONE;
    std::vector<BYTE> data;
    const ConversionFailure failure = VariantToRegistryData(value, expandString_, wide, type, data);
    if (FAILED(failure.hr))
        return ValueError(failure.hr, failure.message);
    if (data.size() > MAXDWORD)
        return ValueSystemError(ERROR_INVALID_PARAMETER, L"Error setting the registry value");
    const LONG error =
        calls::SetValue(wide, key, name_.c_str(), type, data.empty() ? nullptr : data.data(),
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
    const LONG error = calls::QueryValue(IsNtFamily(), key, name_.c_str(), &type, nullptr, nullptr);
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
