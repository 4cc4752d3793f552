#include "objects/ValueConversion.h"

#include "win32common/Bstr.h"
#include "win32common/SafeArray.h"
#include "win32common/Text.h"
#include "win32common/Variant.h"

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

// The registry's text in either form: ANSI bytes, or UTF-16 when wide.
struct RegistryText {
    const BYTE* data;
    size_t size; // in bytes
    bool wide;

    // The string starting at byte offset pos, up to its NUL or the end; its length in units.
    size_t LengthAt(size_t pos) const {
        if (!wide)
            return strnlen(reinterpret_cast<const char*>(data + pos), size - pos);
        const wchar_t* text = reinterpret_cast<const wchar_t*>(data + pos);
        return wcsnlen(text, (size - pos) / sizeof(wchar_t));
    }
    size_t UnitSize() const { return wide ? sizeof(wchar_t) : 1; }
    bool EmptyAt(size_t pos) const { return pos + UnitSize() > size || LengthAt(pos) == 0; }
    HRESULT ToBstr(size_t pos, size_t length, win32common::Bstr& out) const {
        if (!wide)
            return win32common::BstrFromAnsi(
                std::string_view(reinterpret_cast<const char*>(data + pos), length), out);
        out = win32common::Bstr(
            std::wstring_view(reinterpret_cast<const wchar_t*>(data + pos), length));
        return out.Get() ? S_OK : E_OUTOFMEMORY;
    }
};

ConversionFailure StringToVariant(const RegistryText& text, VARIANT* out) {
    win32common::Bstr string;
    if (FAILED(text.ToBstr(0, text.size ? text.LengthAt(0) : 0, string)))
        return Fail(E_OUTOFMEMORY, L"Failed to allocate memory for string value");
    V_VT(out) = VT_BSTR;
    V_BSTR(out) = string.Detach();
    return kSuccess;
}

ConversionFailure MultiStringToVariant(const RegistryText& text, VARIANT* out) {
    std::vector<std::pair<size_t, size_t>> strings; // offset in bytes, length in units
    try {
        for (size_t pos = 0; !text.EmptyAt(pos);) {
            const size_t length = text.LengthAt(pos);
            strings.emplace_back(pos, length);
            pos += (length + 1) * text.UnitSize();
        }
    } catch (const std::bad_alloc&) {
        return Fail(E_OUTOFMEMORY, L"Failed to allocate safe array");
    }
    win32common::SafeArray array(
        SafeArrayCreateVector(VT_VARIANT, 1, static_cast<ULONG>(strings.size())));
    if (!array)
        return Fail(E_OUTOFMEMORY, L"Failed to allocate safe array");
    {
        win32common::SafeArrayDataLock lock(array.Get());
        if (FAILED(lock.Result()))
            return Fail(lock.Result(), L"Failed to allocate safe array");
        VARIANT* elements = static_cast<VARIANT*>(lock.Data());
        for (size_t i = 0; i < strings.size(); ++i) {
            win32common::Bstr string;
            if (FAILED(text.ToBstr(strings[i].first, strings[i].second, string)))
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
    win32common::SafeArray array(SafeArrayCreateVector(VT_VARIANT, 1, size));
    if (!array)
        return Fail(E_OUTOFMEMORY, L"Failed to allocate safe array");
    {
        win32common::SafeArrayDataLock lock(array.Get());
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

// Appends one string and its terminating NUL, in UTF-16 when wide, else in ANSI.
ConversionFailure AppendString(BSTR text, bool wide, std::vector<BYTE>& data) {
    const wchar_t* const message = L"Failed to allocate memory for multi-string value";
    const size_t offset = data.size();
    if (wide) {
        const std::wstring_view view = win32common::BstrView(text);
        ConversionFailure failure =
            Resize(data, offset + (view.size() + 1) * sizeof(wchar_t), message);
        if (FAILED(failure.hr))
            return failure;
        std::memcpy(data.data() + offset, view.data(), view.size() * sizeof(wchar_t));
        std::memset(data.data() + data.size() - sizeof(wchar_t), 0, sizeof(wchar_t));
        return kSuccess;
    }
    std::string ansi;
    if (FAILED(win32common::ToAnsi(text, ansi)))
        return Fail(E_OUTOFMEMORY, message);
    ConversionFailure failure = Resize(data, offset + ansi.size() + 1, message);
    if (FAILED(failure.hr))
        return failure;
    std::memcpy(data.data() + offset, ansi.data(), ansi.size());
    data[offset + ansi.size()] = 0;
    return kSuccess;
}

// The empty string that closes a multi-string.
ConversionFailure EndMultiString(bool wide, std::vector<BYTE>& data) {
    const size_t unit = wide ? sizeof(wchar_t) : 1;
    ConversionFailure failure =
        Resize(data, data.size() + unit, L"Failed to allocate memory for multi-string value");
    if (SUCCEEDED(failure.hr))
        std::memset(data.data() + data.size() - unit, 0, unit);
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

ConversionFailure StringArrayToData(SAFEARRAY* array, bool wide, std::vector<BYTE>& data) {
    data.clear();
    if (array) {
        win32common::SafeArrayDataLock lock(array);
        if (FAILED(lock.Result()))
            return Fail(lock.Result(), L"Error getting array element");
        BSTR* strings = static_cast<BSTR*>(lock.Data());
        const ULONG count = ElementCount(array);
        for (ULONG i = 0; i < count; ++i) {
            ConversionFailure failure = AppendString(strings[i], wide, data);
            if (FAILED(failure.hr))
                return failure;
        }
    }
    return EndMultiString(wide, data);
}

ConversionFailure ByteArrayToData(SAFEARRAY* array, std::vector<BYTE>& data) {
    data.clear();
    if (!array)
        return kSuccess;
    win32common::SafeArrayDataLock lock(array);
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

// The elements of a one-dimensional array of variants, every one of the first element's type.
ConversionFailure ReadVariantArray(SAFEARRAY* array, std::vector<win32common::Variant>& elements) {
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
    win32common::Variant first;
    LONG index = lower;
    hr = SafeArrayGetElement(array, &index, first.Get());
    if (FAILED(hr))
        return Fail(hr, L"Error getting array element");
    const VARTYPE elementType = first.Type();
    try {
        elements.reserve(static_cast<size_t>(static_cast<long long>(upper) - lower + 1));
        elements.push_back(std::move(first));
        for (index = lower + 1; index <= upper && index > lower; ++index) {
            win32common::Variant element;
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
    return kSuccess;
}

ConversionFailure IntegersToBinary(std::vector<win32common::Variant>& elements,
                                   std::vector<BYTE>& data) {
    ConversionFailure failure =
        Resize(data, elements.size(), L"Failed to allocate memory for binary value");
    if (FAILED(failure.hr))
        return failure;
    for (size_t i = 0; i < elements.size(); ++i) {
        win32common::Variant byte;
        const HRESULT hr = VariantChangeType(byte.Get(), elements[i].Get(), 0, VT_UI1);
        if (FAILED(hr))
            return Fail(hr, L"Error converting to a byte value");
        data[i] = V_UI1(byte.Get());
    }
    return kSuccess;
}

ConversionFailure StringsToMultiString(std::vector<win32common::Variant>& elements, bool wide,
                                       std::vector<BYTE>& data) {
    for (win32common::Variant& element : elements) {
        ConversionFailure failure = AppendString(V_BSTR(element.Get()), wide, data);
        if (FAILED(failure.hr))
            return failure;
    }
    return EndMultiString(wide, data);
}

// An array of variants: one dimension, every element of the first element's type; integers
// become REG_BINARY bytes, strings REG_MULTI_SZ.
ConversionFailure VariantArrayToData(SAFEARRAY* array, bool wide, DWORD& type,
                                     std::vector<BYTE>& data) {
    std::vector<win32common::Variant> elements;
    ConversionFailure failure = ReadVariantArray(array, elements);
    if (FAILED(failure.hr))
        return failure;
    const VARTYPE elementType = elements.front().Type();
    data.clear();
    if (IsIntegerType(elementType)) {
        failure = IntegersToBinary(elements, data);
        if (SUCCEEDED(failure.hr))
            type = REG_BINARY;
        return failure;
    }
    if (elementType == VT_BSTR) {
        failure = StringsToMultiString(elements, wide, data);
        if (SUCCEEDED(failure.hr))
            type = REG_MULTI_SZ;
        return failure;
    }
    return Fail(DISP_E_TYPEMISMATCH, L"Unsupported variant type");
}

} // namespace

ConversionFailure RegistryDataToVariant(DWORD type, const BYTE* data, DWORD size, bool wide,
                                        VARIANT* out) {
    switch (type) {
    case REG_SZ:
    case REG_EXPAND_SZ:
        return StringToVariant({data, size, wide}, out);
    case REG_DWORD: {
        DWORD number = 0;
        if (size == sizeof(number))
            std::memcpy(&number, data, sizeof(number));
        V_VT(out) = VT_I4;
        V_I4(out) = static_cast<LONG>(number);
        return kSuccess;
    }
    case REG_MULTI_SZ:
        return MultiStringToVariant({data, size, wide}, out);
    default:
        return BytesToVariant(data, size, out);
    }
}

ConversionFailure VariantToRegistryData(const VARIANT& given, bool expandString, bool wide,
                                        DWORD& type, std::vector<BYTE>& data) {
    // Script engines pass their variables by reference: convert what they refer to.
    win32common::Variant referenced;
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
        win32common::Variant number;
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
        data.clear();
        ConversionFailure failure = AppendString(V_BSTR(&value), wide, data);
        if (FAILED(failure.hr))
            return Fail(E_OUTOFMEMORY, L"Failed to allocate memory for string value");
        type = expandString ? REG_EXPAND_SZ : REG_SZ;
        return kSuccess;
    }
    case VT_ARRAY | VT_BSTR:
        type = REG_MULTI_SZ;
        return StringArrayToData(V_ARRAY(&value), wide, data);
    case VT_ARRAY | VT_UI1:
        type = REG_BINARY;
        return ByteArrayToData(V_ARRAY(&value), data);
    case VT_ARRAY | VT_VARIANT:
        return VariantArrayToData(V_ARRAY(&value), wide, type, data);
    default:
        return Fail(DISP_E_TYPEMISMATCH, L"Unsupported variant type");
    }
}

} // namespace registry
