#include "objects/ValueConversion.h"

#include "com/Win32Common.h"

#include <oleauto.h>

#include <cstring>
#include <new>
#include <string>

namespace registry {

namespace {

constexpr ConversionFailure kSuccess{};

ConversionFailure Fail(HRESULT hr, const wchar_t* message) {
    return {hr, message};
}

bool IsIntegerType(VARTYPE type) {
    switch (type) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4:
        return true;
    default:
        return false;
    }
}

ConversionFailure StringToVariant(const BYTE* data, VARIANT* out) {
    const char* text = reinterpret_cast<const char*>(data);
    Bstr string;
    if (FAILED(BstrFromAnsi(std::string_view(text, std::strlen(text)), string)))
        return Fail(E_OUTOFMEMORY, L"Failed to allocate memory for string value");
    V_VT(out) = VT_BSTR;
    V_BSTR(out) = string.Detach();
    return kSuccess;
}

ConversionFailure MultiStringToVariant(const BYTE* data, DWORD size, VARIANT* out) {
    const char* text = reinterpret_cast<const char*>(data);
    std::vector<std::string_view> strings;
    try {
        for (size_t pos = 0; pos < size && text[pos] != '\0';) {
            const size_t length = std::strlen(text + pos);
            strings.emplace_back(text + pos, length);
            pos += length + 1;
        }
    } catch (const std::bad_alloc&) {
        return Fail(E_OUTOFMEMORY, L"Failed to allocate safe array");
    }
    SafeArray array(SafeArrayCreateVector(VT_VARIANT, 1, static_cast<ULONG>(strings.size())));
    if (!array)
        return Fail(E_OUTOFMEMORY, L"Failed to allocate safe array");
    {
        SafeArrayDataLock lock(array.Get());
        if (FAILED(lock.Result()))
            return Fail(lock.Result(), L"Failed to allocate safe array");
        VARIANT* elements = static_cast<VARIANT*>(lock.Data());
        for (size_t i = 0; i < strings.size(); ++i) {
            Bstr string;
            if (FAILED(BstrFromAnsi(strings[i], string)))
                return Fail(E_OUTOFMEMORY, L"Failed to allocate memory for string value");
            V_VT(&elements[i]) = VT_BSTR;
            V_BSTR(&elements[i]) = string.Detach();
        }
    }
    V_VT(out) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out) = array.Detach();
    return kSuccess;
}

ConversionFailure BytesToVariant(const BYTE* data, DWORD size, VARIANT* out) {
    SafeArray array(SafeArrayCreateVector(VT_VARIANT, 1, size));
    if (!array)
        return Fail(E_OUTOFMEMORY, L"Failed to allocate safe array");
    {
        SafeArrayDataLock lock(array.Get());
        if (FAILED(lock.Result()))
            return Fail(lock.Result(), L"Failed to allocate safe array");
        VARIANT* elements = static_cast<VARIANT*>(lock.Data());
        for (DWORD i = 0; i < size; ++i) {
            V_VT(&elements[i]) = VT_UI1;
            V_UI1(&elements[i]) = data[i];
        }
    }
    V_VT(out) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(out) = array.Detach();
    return kSuccess;
}

ConversionFailure Resize(std::vector<BYTE>& data, size_t size, const wchar_t* message) {
    try {
        data.resize(size);
        return kSuccess;
    } catch (const std::bad_alloc&) {
        return Fail(E_OUTOFMEMORY, message);
    } catch (const std::length_error&) {
        return Fail(E_OUTOFMEMORY, message);
    }
}

// Appends one string and its terminating NUL.
ConversionFailure AppendString(BSTR text, std::vector<BYTE>& data) {
    std::string ansi;
    if (FAILED(ToAnsi(text, ansi)))
        return Fail(E_OUTOFMEMORY, L"Failed to allocate memory for multi-string value");
    const size_t offset = data.size();
    ConversionFailure failure =
        Resize(data, offset + ansi.size() + 1, L"Failed to allocate memory for multi-string value");
    if (FAILED(failure.hr))
        return failure;
    std::memcpy(data.data() + offset, ansi.data(), ansi.size());
    data[offset + ansi.size()] = 0;
    return kSuccess;
}

// The empty string that closes a multi-string.
ConversionFailure EndMultiString(std::vector<BYTE>& data) {
    ConversionFailure failure =
        Resize(data, data.size() + 1, L"Failed to allocate memory for multi-string value");
    if (SUCCEEDED(failure.hr))
        data.back() = 0;
    return failure;
}

// VariantCopyInd reads through the reference unchecked, and through one VT_VARIANT reference
// to the variant it names.
bool HasNullReference(const VARIANT& value) {
    if (!(V_VT(&value) & VT_BYREF))
        return false;
    if (!V_BYREF(&value))
        return true;
    if (V_VT(&value) == (VT_BYREF | VT_VARIANT)) {
        const VARIANT& inner = *V_VARIANTREF(&value);
        return (V_VT(&inner) & VT_BYREF) && !V_BYREF(&inner);
    }
    return false;
}

ULONG ElementCount(SAFEARRAY* array) {
    ULONG count = 1;
    for (USHORT d = 0; d < array->cDims; ++d)
        count *= array->rgsabound[d].cElements;
    return array->cDims ? count : 0;
}

ConversionFailure StringArrayToData(SAFEARRAY* array, std::vector<BYTE>& data) {
    data.clear();
    if (array) {
        SafeArrayDataLock lock(array);
        if (FAILED(lock.Result()))
            return Fail(lock.Result(), L"Error getting array element");
        BSTR* strings = static_cast<BSTR*>(lock.Data());
        const ULONG count = ElementCount(array);
        for (ULONG i = 0; i < count; ++i) {
            ConversionFailure failure = AppendString(strings[i], data);
            if (FAILED(failure.hr))
                return failure;
        }
    }
    return EndMultiString(data);
}

ConversionFailure ByteArrayToData(SAFEARRAY* array, std::vector<BYTE>& data) {
    data.clear();
    if (!array)
        return kSuccess;
    SafeArrayDataLock lock(array);
    if (FAILED(lock.Result()))
        return Fail(lock.Result(), L"Error getting array element");
    const ULONG count = ElementCount(array);
    ConversionFailure failure = Resize(data, count, L"Failed to allocate memory for binary value");
    if (FAILED(failure.hr))
        return failure;
    if (count)
        std::memcpy(data.data(), lock.Data(), count);
    return kSuccess;
}

// An array of variants: one dimension, every element of the first element's type; integers
// become REG_BINARY bytes, strings REG_MULTI_SZ.
ConversionFailure VariantArrayToData(SAFEARRAY* array, DWORD& type, std::vector<BYTE>& data) {
    if (!array || SafeArrayGetDim(array) != 1)
        return Fail(E_INVALIDARG, L"Incorrect array dimensions - expecting one dimensional array");
    LONG lower = 0;
    LONG upper = 0;
    HRESULT hr = SafeArrayGetLBound(array, 1, &lower);
    if (FAILED(hr))
        return Fail(hr, L"Error getting array lower boundary");
    hr = SafeArrayGetUBound(array, 1, &upper);
    if (FAILED(hr))
        return Fail(hr, L"Error getting array upper boundary");
    Variant first;
    LONG index = lower;
    hr = SafeArrayGetElement(array, &index, first.Get());
    if (FAILED(hr))
        return Fail(hr, L"Error getting array element");
    const VARTYPE elementType = first.Type();

    std::vector<Variant> elements;
    try {
        elements.reserve(static_cast<size_t>(static_cast<long long>(upper) - lower + 1));
        elements.push_back(std::move(first));
        for (index = lower + 1; index <= upper && index > lower; ++index) {
            Variant element;
            hr = SafeArrayGetElement(array, &index, element.Get());
            if (FAILED(hr))
                return Fail(hr, L"Error getting array element");
            if (element.Type() != elementType)
                return Fail(DISP_E_TYPEMISMATCH, L"Variant array type mismatch");
            elements.push_back(std::move(element));
        }
    } catch (const std::bad_alloc&) {
        return Fail(E_OUTOFMEMORY, IsIntegerType(elementType)
                                       ? L"Failed to allocate memory for binary value"
                                       : L"Failed to allocate memory for multi-string value");
    } catch (const std::length_error&) {
        return Fail(E_OUTOFMEMORY, L"Failed to allocate memory for binary value");
    }

    data.clear();
    if (IsIntegerType(elementType)) {
        ConversionFailure failure =
            Resize(data, elements.size(), L"Failed to allocate memory for binary value");
        if (FAILED(failure.hr))
            return failure;
        for (size_t i = 0; i < elements.size(); ++i) {
            Variant byte;
            hr = VariantChangeType(byte.Get(), elements[i].Get(), 0, VT_UI1);
            if (FAILED(hr))
                return Fail(hr, L"Error converting to a byte value");
            data[i] = V_UI1(byte.Get());
        }
        type = REG_BINARY;
        return kSuccess;
    }
    if (elementType == VT_BSTR) {
        for (Variant& element : elements) {
            ConversionFailure failure = AppendString(V_BSTR(element.Get()), data);
            if (FAILED(failure.hr))
                return failure;
        }
        ConversionFailure failure = EndMultiString(data);
        if (SUCCEEDED(failure.hr))
            type = REG_MULTI_SZ;
        return failure;
    }
    return Fail(DISP_E_TYPEMISMATCH, L"Unsupported variant type");
}

} // namespace

ConversionFailure RegistryDataToVariant(DWORD type, const BYTE* data, DWORD size, VARIANT* out) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return StringToVariant(data, out);
    case REG_DWORD: {
        DWORD number = 0;
        if (size == sizeof(number))
            std::memcpy(&number, data, sizeof(number));
        V_VT(out) = VT_I4;
        V_I4(out) = static_cast<LONG>(number);
        return kSuccess;
    }
    case REG_MULTI_SZ:
        return MultiStringToVariant(data, size, out);
    default:
        return BytesToVariant(data, size, out);
    }
}

ConversionFailure VariantToRegistryData(const VARIANT& given, bool expandString, DWORD& type,
                                        std::vector<BYTE>& data) {
    // Script engines pass their variables by reference: convert what they refer to.
    Variant referenced;
    if (V_VT(&given) & VT_BYREF) {
        if (HasNullReference(given))
            return Fail(DISP_E_TYPEMISMATCH, L"Unsupported variant type");
        const HRESULT hr = VariantCopyInd(referenced.Get(), const_cast<VARIANT*>(&given));
        if (FAILED(hr))
            return Fail(DISP_E_TYPEMISMATCH, L"Unsupported variant type");
    }
    const VARIANT& value = (V_VT(&given) & VT_BYREF) ? *referenced.Get() : given;
    const VARTYPE vt = V_VT(&value);
    switch (vt) {
    case VT_I1:
    case VT_UI1:
    case VT_I2:
    case VT_UI2:
    case VT_I4:
    case VT_UI4: {
        // Wine's VarUI4FromI4 lets negative numbers through; Windows' overflows. Overflow here.
        const bool negative = (vt == VT_I1 && V_I1(&value) < 0) ||
                              (vt == VT_I2 && V_I2(&value) < 0) ||
                              (vt == VT_I4 && V_I4(&value) < 0);
        if (negative)
            return Fail(DISP_E_OVERFLOW, L"Error converting to a long integer value");
        Variant number;
        const HRESULT hr = VariantChangeType(number.Get(), const_cast<VARIANT*>(&value), 0, VT_UI4);
        if (FAILED(hr))
            return Fail(hr, L"Error converting to a long integer value");
        const DWORD dword = V_UI4(number.Get());
        ConversionFailure failure =
            Resize(data, sizeof(dword), L"Failed to allocate memory for binary value");
        if (FAILED(failure.hr))
            return failure;
        std::memcpy(data.data(), &dword, sizeof(dword));
        type = REG_DWORD;
        return kSuccess;
    }
    case VT_BSTR: {
        std::string ansi;
        if (FAILED(ToAnsi(V_BSTR(&value), ansi)))
            return Fail(E_OUTOFMEMORY, L"Failed to allocate memory for string value");
        ConversionFailure failure =
            Resize(data, ansi.size() + 1, L"Failed to allocate memory for string value");
        if (FAILED(failure.hr))
            return failure;
        std::memcpy(data.data(), ansi.data(), ansi.size());
        data.back() = 0;
        type = expandString ? REG_EXPAND_SZ : REG_SZ;
        return kSuccess;
    }
    case VT_ARRAY | VT_BSTR:
        type = REG_MULTI_SZ;
        return StringArrayToData(V_ARRAY(&value), data);
    case VT_ARRAY | VT_UI1:
        type = REG_BINARY;
        return ByteArrayToData(V_ARRAY(&value), data);
    case VT_ARRAY | VT_VARIANT:
        return VariantArrayToData(V_ARRAY(&value), type, data);
    default:
        return Fail(DISP_E_TYPEMISMATCH, L"Unsupported variant type");
    }
}

} // namespace registry
