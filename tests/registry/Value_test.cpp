// RegistryValue: the variant forms of registry data in both directions, and the value's errors.
#include "RegistryTestSupport.h"

#include <cstring>
#include <memory>
#include <vector>

namespace registry::test {
namespace {

class ValueTest : public RegistryTest {
protected:
    void SetRaw(const char* name, DWORD type, const void* data, DWORD size) {
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(testKey_, name, 0, type, static_cast<const BYTE*>(data), size));
    }

    struct Raw {
        LONG result = ERROR_SUCCESS;
        DWORD type = 0xdeadbeef;
        std::vector<BYTE> data;
    };

    Raw GetRaw(const char* name) {
        Raw raw;
        DWORD size = 0;
        raw.result = RegQueryValueExA(testKey_, name, nullptr, &raw.type, nullptr, &size);
        if (raw.result != ERROR_SUCCESS)
            return raw;
        raw.data.resize(size);
        raw.result = RegQueryValueExA(testKey_, name, nullptr, &raw.type,
                                      raw.data.empty() ? nullptr : raw.data.data(), &size);
        raw.data.resize(size);
        return raw;
    }

    static std::vector<BYTE> Bytes(const char* text, size_t size) {
        return std::vector<BYTE>(text, text + size);
    }

    // Reads value name through get_Value into result.
    HRESULT Read(const wchar_t* name, Variant& result) {
        ComPtr<IRegistryValue> value = OpenTestValue(name);
        if (!value)
            return E_UNEXPECTED;
        return value->get_Value(&result);
    }

    HRESULT Write(const wchar_t* name, const VARIANT& data, bool expand = false) {
        ComPtr<IRegistryValue> value = OpenTestValue(name);
        if (!value)
            return E_UNEXPECTED;
        if (expand) {
            EXPECT_HRESULT_SUCCEEDED(value->put_ExpandString(VARIANT_TRUE));
        }
        return value->put_Value(data);
    }

    static void ExpectString(const Variant& value, const wchar_t* expected) {
        ASSERT_EQ(VT_BSTR, value.Type());
        EXPECT_EQ(std::wstring(expected),
                  std::wstring(V_BSTR(value.Get()), SysStringLen(V_BSTR(value.Get()))));
    }

    // An array of variants with lower bound 1; returns its elements.
    static std::vector<VARIANT> ArrayElements(const Variant& value) {
        std::vector<VARIANT> elements;
        EXPECT_EQ(VT_ARRAY | VT_VARIANT, value.Type());
        if (value.Type() != (VT_ARRAY | VT_VARIANT))
            return elements;
        SAFEARRAY* array = V_ARRAY(value.Get());
        EXPECT_EQ(1u, SafeArrayGetDim(array));
        LONG lower = -7;
        LONG upper = -7;
        EXPECT_HRESULT_SUCCEEDED(SafeArrayGetLBound(array, 1, &lower));
        EXPECT_HRESULT_SUCCEEDED(SafeArrayGetUBound(array, 1, &upper));
        EXPECT_EQ(1, lower);
        SafeArrayDataLock lock(array);
        const VARIANT* data = static_cast<const VARIANT*>(lock.Data());
        for (LONG i = 0; i <= upper - lower; ++i)
            elements.push_back(data[i]);
        return elements;
    }
};

// --- registry data read as variants -------------------------------------------------------------

TEST_F(ValueTest, StringsReadUpToTheirFirstNulAndUnexpanded) {
    SetRaw("sz", REG_SZ, "hello", 6);
    SetRaw("embedded", REG_SZ, "ab\0cd", 6);
    SetRaw("unterminated", REG_SZ, "abc", 3);
    SetRaw("empty", REG_SZ, "", 0);
    SetRaw("expand", REG_EXPAND_SZ, "%SystemRoot%\\x", 15);
    SetRaw("ansi", REG_SZ, "caf\xE9", 5);
    SetRaw(nullptr, REG_SZ, "default", 8);

    const struct {
        const wchar_t* name;
        const wchar_t* expected;
    } rows[] = {
        {L"sz", L"hello"},
        {L"embedded", L"ab"},
        {L"unterminated", L"abc"},
        {L"empty", L""},
        {L"expand", L"%SystemRoot%\\x"},
        {L"ansi", L"caf\u00E9"},
        {L"", L"default"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.name));
        Variant value;
        ASSERT_HRESULT_SUCCEEDED(Read(row.name, value));
        ExpectString(value, row.expected);
    }
}

TEST_F(ValueTest, DwordReadsAsSignedIntegerAndZeroWhenNotFourBytes) {
    const DWORD all = 0xFFFFFFFF;
    const DWORD number = 123456;
    SetRaw("all", REG_DWORD, &all, 4);
    SetRaw("number", REG_DWORD, &number, 4);
    SetRaw("short", REG_DWORD, "\x01\x02\x03", 3);
    SetRaw("long", REG_DWORD, "\x01\x02\x03\x04\x05", 5);
    const struct {
        const wchar_t* name;
        LONG expected;
    } rows[] = {{L"all", -1}, {L"number", 123456}, {L"short", 0}, {L"long", 0}};
    for (const auto& row : rows) {
        SCOPED_TRACE(Narrow(row.name));
        Variant value;
        ASSERT_HRESULT_SUCCEEDED(Read(row.name, value));
        ASSERT_EQ(VT_I4, value.Type());
        EXPECT_EQ(row.expected, V_I4(value.Get()));
    }
}

TEST_F(ValueTest, MultiStringReadsAsOneBasedArrayUpToTheFirstEmptyString) {
    SetRaw("two", REG_MULTI_SZ, "a\0bc\0\0", 6);
    SetRaw("gap", REG_MULTI_SZ, "a\0\0b\0\0", 6);
    SetRaw("none", REG_MULTI_SZ, "", 0);
    SetRaw("unterminated", REG_MULTI_SZ, "x\0yz", 4);

    Variant two;
    ASSERT_HRESULT_SUCCEEDED(Read(L"two", two));
    std::vector<VARIANT> elements = ArrayElements(two);
    ASSERT_EQ(2u, elements.size());
    EXPECT_EQ(VT_BSTR, V_VT(&elements[0]));
    EXPECT_STREQ(L"a", V_BSTR(&elements[0]));
    EXPECT_STREQ(L"bc", V_BSTR(&elements[1]));

    Variant gap;
    ASSERT_HRESULT_SUCCEEDED(Read(L"gap", gap));
    elements = ArrayElements(gap);
    ASSERT_EQ(1u, elements.size());
    EXPECT_STREQ(L"a", V_BSTR(&elements[0]));

    Variant none;
    ASSERT_HRESULT_SUCCEEDED(Read(L"none", none));
    EXPECT_EQ(0u, ArrayElements(none).size());

    Variant unterminated;
    ASSERT_HRESULT_SUCCEEDED(Read(L"unterminated", unterminated));
    elements = ArrayElements(unterminated);
    ASSERT_EQ(2u, elements.size());
    EXPECT_STREQ(L"yz", V_BSTR(&elements[1]));
}

TEST_F(ValueTest, EveryOtherTypeReadsAsOneBasedArrayOfBytes) {
    const BYTE bytes[] = {0x00, 0x7F, 0x80, 0xFF};
    const DWORD types[] = {REG_BINARY,
                           REG_NONE,
                           REG_DWORD_BIG_ENDIAN,
                           REG_LINK,
                           REG_RESOURCE_LIST,
                           REG_FULL_RESOURCE_DESCRIPTOR,
                           REG_RESOURCE_REQUIREMENTS_LIST,
                           0x1234};
    for (DWORD type : types) {
        SCOPED_TRACE(type);
        SetRaw("bytes", type, bytes, sizeof(bytes));
        Variant value;
        ASSERT_HRESULT_SUCCEEDED(Read(L"bytes", value));
        const std::vector<VARIANT> elements = ArrayElements(value);
        ASSERT_EQ(sizeof(bytes), elements.size());
        for (size_t i = 0; i < elements.size(); ++i) {
            EXPECT_EQ(VT_UI1, V_VT(&elements[i]));
            EXPECT_EQ(bytes[i], V_UI1(&elements[i]));
        }
    }
    SetRaw("nothing", REG_BINARY, nullptr, 0);
    Variant nothing;
    ASSERT_HRESULT_SUCCEEDED(Read(L"nothing", nothing));
    EXPECT_EQ(0u, ArrayElements(nothing).size());
}

TEST_F(ValueTest, LargeValuesReadCompletely) {
    std::vector<BYTE> big(200000);
    for (size_t i = 0; i < big.size(); ++i)
        big[i] = static_cast<BYTE>(i * 7);
    SetRaw("big", REG_BINARY, big.data(), static_cast<DWORD>(big.size()));
    Variant value;
    ASSERT_HRESULT_SUCCEEDED(Read(L"big", value));
    const std::vector<VARIANT> elements = ArrayElements(value);
    ASSERT_EQ(big.size(), elements.size());
    EXPECT_EQ(big[199999], V_UI1(&elements[199999]));

    std::string text(300000, 'x');
    text[150000] = 'y';
    SetRaw("text", REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    Variant string;
    ASSERT_HRESULT_SUCCEEDED(Read(L"text", string));
    ASSERT_EQ(VT_BSTR, string.Type());
    ASSERT_EQ(300000u, SysStringLen(V_BSTR(string.Get())));
    EXPECT_EQ(L'y', V_BSTR(string.Get())[150000]);
}

// --- variants written as registry data ----------------------------------------------------------

TEST_F(ValueTest, IntegersOfEveryWidthWriteDword) {
    struct Row {
        VARTYPE type;
        LONGLONG number;
        DWORD expected;
    };
    const Row rows[] = {
        {VT_I1, 100, 100},
        {VT_UI1, 200, 200},
        {VT_I2, 30000, 30000},
        {VT_UI2, 65535, 65535},
        {VT_I4, 0x7FFFFFFF, 0x7FFFFFFF},
        {VT_UI4, 0xFFFFFFFF, 0xFFFFFFFF},
        {VT_I4, 0, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.type);
        VARIANT number;
        VariantInit(&number);
        V_VT(&number) = row.type;
        switch (row.type) {
        case VT_I1:
            V_I1(&number) = static_cast<CHAR>(row.number);
            break;
        case VT_UI1:
            V_UI1(&number) = static_cast<BYTE>(row.number);
            break;
        case VT_I2:
            V_I2(&number) = static_cast<SHORT>(row.number);
            break;
        case VT_UI2:
            V_UI2(&number) = static_cast<USHORT>(row.number);
            break;
        case VT_I4:
            V_I4(&number) = static_cast<LONG>(row.number);
            break;
        default:
            V_UI4(&number) = static_cast<ULONG>(row.number);
            break;
        }
        ASSERT_HRESULT_SUCCEEDED(Write(L"number", number));
        const Raw raw = GetRaw("number");
        ASSERT_EQ(ERROR_SUCCESS, raw.result);
        EXPECT_EQ(static_cast<DWORD>(REG_DWORD), raw.type);
        ASSERT_EQ(4u, raw.data.size());
        DWORD stored = 0;
        std::memcpy(&stored, raw.data.data(), 4);
        EXPECT_EQ(row.expected, stored);
    }
}

TEST_F(ValueTest, NegativeIntegersFailTheLongConversionAndWriteNothing) {
    SetRaw("number", REG_SZ, "kept", 5);
    const VARTYPE types[] = {VT_I1, VT_I2, VT_I4};
    for (VARTYPE type : types) {
        SCOPED_TRACE(type);
        VARIANT number;
        VariantInit(&number);
        V_VT(&number) = type;
        if (type == VT_I1) {
            V_I1(&number) = -1;
        } else if (type == VT_I2) {
            V_I2(&number) = -1;
        } else {
            V_I4(&number) = -1;
        }
        ComPtr<IRegistryValue> value = OpenTestValue(L"number");
        EXPECT_REGISTRY_ERROR(value->put_Value(number), DISP_E_OVERFLOW, kValueSource,
                              L"Error converting to a long integer value");
    }
    const Raw raw = GetRaw("number");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes("kept", 5), raw.data);
}

TEST_F(ValueTest, StringsWriteSzOrExpandSzWithTheirNul) {
    Variant text;
    V_VT(text.Get()) = VT_BSTR;
    V_BSTR(text.Get()) = SysAllocString(L"caf\u00E9 %PATH%");
    ASSERT_HRESULT_SUCCEEDED(Write(L"plain", *text.Get()));
    Raw raw = GetRaw("plain");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes("caf\xE9 %PATH%", 12), raw.data);

    ASSERT_HRESULT_SUCCEEDED(Write(L"expand", *text.Get(), true));
    raw = GetRaw("expand");
    EXPECT_EQ(static_cast<DWORD>(REG_EXPAND_SZ), raw.type);
    EXPECT_EQ(Bytes("caf\xE9 %PATH%", 12), raw.data);

    VARIANT null;
    V_VT(&null) = VT_BSTR;
    V_BSTR(&null) = nullptr;
    ASSERT_HRESULT_SUCCEEDED(Write(L"null", null));
    raw = GetRaw("null");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes("", 1), raw.data);

    // Read back through the library too: the expanded kind is returned unexpanded.
    Variant back;
    ASSERT_HRESULT_SUCCEEDED(Read(L"expand", back));
    ExpectString(back, L"caf\u00E9 %PATH%");
}

TEST_F(ValueTest, HugeStringRoundTrips) {
    std::wstring huge(400000, L'q');
    huge[399999] = L'z';
    Variant text;
    V_VT(text.Get()) = VT_BSTR;
    V_BSTR(text.Get()) = SysAllocStringLen(huge.data(), static_cast<UINT>(huge.size()));
    ASSERT_HRESULT_SUCCEEDED(Write(L"huge", *text.Get()));
    Variant back;
    ASSERT_HRESULT_SUCCEEDED(Read(L"huge", back));
    ExpectString(back, huge.c_str());
}

SAFEARRAY* StringArray(std::initializer_list<const wchar_t*> strings) {
    SAFEARRAY* array = SafeArrayCreateVector(VT_BSTR, 0, static_cast<ULONG>(strings.size()));
    LONG i = 0;
    for (const wchar_t* s : strings) {
        BSTR element = s ? SysAllocString(s) : nullptr;
        SafeArrayPutElement(array, &i, element);
        SysFreeString(element);
        ++i;
    }
    return array;
}

SAFEARRAY* VariantArray(std::initializer_list<VARIANT*> elements, LONG lower = 0) {
    SAFEARRAY* array =
        SafeArrayCreateVector(VT_VARIANT, lower, static_cast<ULONG>(elements.size()));
    LONG i = lower;
    for (VARIANT* v : elements) {
        SafeArrayPutElement(array, &i, v);
        ++i;
    }
    return array;
}

Variant MakeInt(VARTYPE type, LONG number) {
    Variant v;
    V_VT(v.Get()) = VT_I4;
    V_I4(v.Get()) = number;
    if (type != VT_I4)
        VariantChangeType(v.Get(), v.Get(), 0, type);
    return v;
}

Variant MakeString(const wchar_t* text) {
    Variant v;
    V_VT(v.Get()) = VT_BSTR;
    V_BSTR(v.Get()) = text ? SysAllocString(text) : nullptr;
    return v;
}

TEST_F(ValueTest, StringArraysWriteMultiString) {
    Variant strings;
    V_VT(strings.Get()) = VT_ARRAY | VT_BSTR;
    V_ARRAY(strings.Get()) = StringArray({L"one", nullptr, L"caf\u00E9"});
    ASSERT_HRESULT_SUCCEEDED(Write(L"multi", *strings.Get()));
    Raw raw = GetRaw("multi");
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), raw.type);
    EXPECT_EQ(Bytes("one\0\0caf\xE9\0\0", 11), raw.data);

    VARIANT nullArray;
    V_VT(&nullArray) = VT_ARRAY | VT_BSTR;
    V_ARRAY(&nullArray) = nullptr;
    ASSERT_HRESULT_SUCCEEDED(Write(L"nullarray", nullArray));
    raw = GetRaw("nullarray");
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), raw.type);
    EXPECT_EQ(Bytes("", 1), raw.data);

    Variant a = MakeString(L"x"), b = MakeString(nullptr), c = MakeString(L"yz");
    Variant variants;
    V_VT(variants.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(variants.Get()) = VariantArray({a.Get(), b.Get(), c.Get()}, 5);
    ASSERT_HRESULT_SUCCEEDED(Write(L"variants", *variants.Get()));
    raw = GetRaw("variants");
    EXPECT_EQ(static_cast<DWORD>(REG_MULTI_SZ), raw.type);
    EXPECT_EQ(Bytes("x\0\0yz\0\0", 7), raw.data);
}

TEST_F(ValueTest, ByteAndIntegerArraysWriteBinary) {
    Variant bytes;
    V_VT(bytes.Get()) = VT_ARRAY | VT_UI1;
    V_ARRAY(bytes.Get()) = SafeArrayCreateVector(VT_UI1, 0, 3);
    {
        SafeArrayDataLock lock(V_ARRAY(bytes.Get()));
        std::memcpy(lock.Data(), "\x01\x00\xFF", 3);
    }
    ASSERT_HRESULT_SUCCEEDED(Write(L"bytes", *bytes.Get()));
    Raw raw = GetRaw("bytes");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), raw.type);
    EXPECT_EQ(Bytes("\x01\x00\xFF", 3), raw.data);

    VARIANT nullBytes;
    V_VT(&nullBytes) = VT_ARRAY | VT_UI1;
    V_ARRAY(&nullBytes) = nullptr;
    ASSERT_HRESULT_SUCCEEDED(Write(L"nullbytes", nullBytes));
    raw = GetRaw("nullbytes");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), raw.type);
    EXPECT_TRUE(raw.data.empty());

    const VARTYPE types[] = {VT_I1, VT_UI1, VT_I2, VT_UI2, VT_I4, VT_UI4};
    for (VARTYPE type : types) {
        SCOPED_TRACE(type);
        Variant a = MakeInt(type, 0), b = MakeInt(type, 127), c = MakeInt(type, 1);
        Variant numbers;
        V_VT(numbers.Get()) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(numbers.Get()) = VariantArray({a.Get(), b.Get(), c.Get()});
        ASSERT_HRESULT_SUCCEEDED(Write(L"numbers", *numbers.Get()));
        raw = GetRaw("numbers");
        EXPECT_EQ(static_cast<DWORD>(REG_BINARY), raw.type);
        EXPECT_EQ(Bytes("\x00\x7F\x01", 3), raw.data);
    }
}

TEST_F(ValueTest, BinaryRoundTripsThroughTheLibrary) {
    Variant a = MakeInt(VT_UI1, 0xDE), b = MakeInt(VT_UI1, 0xAD), c = MakeInt(VT_UI1, 0);
    Variant numbers;
    V_VT(numbers.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(numbers.Get()) = VariantArray({a.Get(), b.Get(), c.Get()});
    ASSERT_HRESULT_SUCCEEDED(Write(L"bin", *numbers.Get()));
    Variant back;
    ASSERT_HRESULT_SUCCEEDED(Read(L"bin", back));
    const std::vector<VARIANT> elements = ArrayElements(back);
    ASSERT_EQ(3u, elements.size());
    EXPECT_EQ(0xDE, V_UI1(&elements[0]));
    EXPECT_EQ(0xAD, V_UI1(&elements[1]));
    EXPECT_EQ(0x00, V_UI1(&elements[2]));
}

TEST_F(ValueTest, BadVariantArraysFailWithTheirMessages) {
    SetRaw("target", REG_SZ, "kept", 5);
    ComPtr<IRegistryValue> value = OpenTestValue(L"target");

    Variant s = MakeString(L"a"), n = MakeInt(VT_I4, 1);
    Variant mixed;
    V_VT(mixed.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(mixed.Get()) = VariantArray({s.Get(), n.Get()});
    EXPECT_REGISTRY_ERROR(value->put_Value(*mixed.Get()), DISP_E_TYPEMISMATCH, kValueSource,
                          L"Variant array type mismatch");

    Variant empty;
    V_VT(empty.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(empty.Get()) = SafeArrayCreateVector(VT_VARIANT, 0, 0);
    EXPECT_REGISTRY_ERROR(value->put_Value(*empty.Get()), DISP_E_BADINDEX, kValueSource,
                          L"Error getting array element");

    SAFEARRAYBOUND bounds[2] = {{2, 0}, {2, 0}};
    Variant twoDimensional;
    V_VT(twoDimensional.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(twoDimensional.Get()) = SafeArrayCreate(VT_VARIANT, 2, bounds);
    EXPECT_REGISTRY_ERROR(value->put_Value(*twoDimensional.Get()), E_INVALIDARG, kValueSource,
                          L"Incorrect array dimensions - expecting one dimensional array");

    VARIANT nullVariants;
    V_VT(&nullVariants) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(&nullVariants) = nullptr;
    EXPECT_REGISTRY_ERROR(value->put_Value(nullVariants), E_INVALIDARG, kValueSource,
                          L"Incorrect array dimensions - expecting one dimensional array");

    Variant inner;
    V_VT(inner.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(inner.Get()) = VariantArray({n.Get()});
    Variant nested;
    V_VT(nested.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(nested.Get()) = VariantArray({inner.Get()});
    EXPECT_REGISTRY_ERROR(value->put_Value(*nested.Get()), DISP_E_TYPEMISMATCH, kValueSource,
                          L"Unsupported variant type");

    Variant yes;
    V_VT(yes.Get()) = VT_BOOL;
    V_BOOL(yes.Get()) = VARIANT_TRUE;
    Variant booleans;
    V_VT(booleans.Get()) = VT_ARRAY | VT_VARIANT;
    V_ARRAY(booleans.Get()) = VariantArray({yes.Get(), yes.Get()});
    EXPECT_REGISTRY_ERROR(value->put_Value(*booleans.Get()), DISP_E_TYPEMISMATCH, kValueSource,
                          L"Unsupported variant type");

    Variant big = MakeInt(VT_I4, 256), negative = MakeInt(VT_I4, -1);
    for (Variant* bad : {std::addressof(big), std::addressof(negative)}) {
        Variant numbers;
        V_VT(numbers.Get()) = VT_ARRAY | VT_VARIANT;
        V_ARRAY(numbers.Get()) = VariantArray({n.Get(), bad->Get()});
        EXPECT_REGISTRY_ERROR(value->put_Value(*numbers.Get()), DISP_E_OVERFLOW, kValueSource,
                              L"Error converting to a byte value");
    }

    const Raw raw = GetRaw("target");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes("kept", 5), raw.data);
}

TEST_F(ValueTest, UnsupportedVariantTypesAreRejected) {
    SetRaw("target", REG_SZ, "kept", 5);
    ComPtr<IRegistryValue> value = OpenTestValue(L"target");
    ComPtr<IRegistryKey> key = OpenTestKey();
    const VARTYPE types[] = {VT_EMPTY,        VT_NULL,    VT_BOOL,  VT_R4,      VT_R8,
                             VT_DATE,         VT_CY,      VT_I8,    VT_UI8,     VT_INT,
                             VT_DISPATCH,     VT_UNKNOWN, VT_ERROR, VT_DECIMAL, VT_ARRAY | VT_I4,
                             VT_ARRAY | VT_R8};
    for (VARTYPE type : types) {
        SCOPED_TRACE(type);
        VARIANT bad;
        std::memset(&bad, 0, sizeof(bad));
        V_VT(&bad) = type;
        if (type == VT_DISPATCH)
            V_DISPATCH(&bad) = key.Get();
        if (type == VT_UNKNOWN)
            V_UNKNOWN(&bad) = key.Get();
        EXPECT_REGISTRY_ERROR(value->put_Value(bad), DISP_E_TYPEMISMATCH, kValueSource,
                              L"Unsupported variant type");
    }
    const Raw raw = GetRaw("target");
    EXPECT_EQ(Bytes("kept", 5), raw.data);
}

// Script engines hand their variables over by reference.
TEST_F(ValueTest, ReferencesWriteWhatTheyReferTo) {
    LONG number = 77;
    VARIANT byRef;
    V_VT(&byRef) = VT_BYREF | VT_I4;
    V_I4REF(&byRef) = &number;
    ASSERT_HRESULT_SUCCEEDED(Write(L"ref", byRef));
    Raw raw = GetRaw("ref");
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), raw.type);
    EXPECT_EQ(Bytes("\x4D\0\0\0", 4), raw.data);

    Variant inner = MakeString(L"via variant");
    VARIANT variantRef;
    V_VT(&variantRef) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&variantRef) = inner.Get();
    ASSERT_HRESULT_SUCCEEDED(Write(L"ref", variantRef));
    raw = GetRaw("ref");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes("via variant", 12), raw.data);
}

// A careless client's reference to nothing is refused like any other unsupported type, through
// the interface and through Invoke, and the value keeps its data.
TEST_F(ValueTest, NullReferencesAreUnsupportedTypes) {
    SetRaw("target", REG_SZ, "kept", 5);
    ComPtr<IRegistryValue> value = OpenTestValue(L"target");
    VARIANT nothing;
    V_VT(&nothing) = VT_BYREF | VT_I4;
    V_I4REF(&nothing) = nullptr;
    VARIANT toNothing;
    V_VT(&toNothing) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(&toNothing) = &nothing;
    std::vector<VARIANT> cases;
    for (VARTYPE type :
         {VT_BYREF | VT_I4, VT_BYREF | VT_ARRAY | VT_UI1, VT_BYREF | VT_BSTR, VT_BYREF | VT_UI1,
          VT_BYREF | VT_VARIANT, VT_BYREF | VT_ARRAY | VT_VARIANT, VT_BYREF | VT_ARRAY | VT_BSTR}) {
        VARIANT bad;
        V_VT(&bad) = type;
        V_BYREF(&bad) = nullptr;
        cases.push_back(bad);
    }
    cases.push_back(toNothing);
    DISPID named = DISPID_PROPERTYPUT;
    for (VARIANT& bad : cases) {
        SCOPED_TRACE(V_VT(&bad));
        EXPECT_REGISTRY_ERROR(value->put_Value(bad), DISP_E_TYPEMISMATCH, kValueSource,
                              L"Unsupported variant type");
        DISPPARAMS put = {&bad, &named, 1, 1};
        EXCEPINFO exception = {};
        EXPECT_EQ(DISP_E_EXCEPTION,
                  value->Invoke(DISPID_VALUE, IID_NULL, 0x409, DISPATCH_PROPERTYPUT, &put, nullptr,
                                &exception, nullptr));
        EXPECT_EQ(DISP_E_TYPEMISMATCH, exception.scode);
        EXPECT_STREQ(L"Unsupported variant type", exception.bstrDescription);
        SysFreeString(exception.bstrSource);
        SysFreeString(exception.bstrDescription);
        SysFreeString(exception.bstrHelpFile);
    }
    const Raw raw = GetRaw("target");
    EXPECT_EQ(static_cast<DWORD>(REG_SZ), raw.type);
    EXPECT_EQ(Bytes("kept", 5), raw.data);

    // Well-formed references through Invoke still write what they refer to.
    SAFEARRAY* bytes = SafeArrayCreateVector(VT_UI1, 0, 2);
    ASSERT_NE(nullptr, bytes);
    static_cast<BYTE*>(bytes->pvData)[0] = 0xAB;
    static_cast<BYTE*>(bytes->pvData)[1] = 0xCD;
    VARIANT arrayRef;
    V_VT(&arrayRef) = VT_BYREF | VT_ARRAY | VT_UI1;
    V_ARRAYREF(&arrayRef) = &bytes;
    DISPPARAMS put = {&arrayRef, &named, 1, 1};
    EXPECT_EQ(S_OK, value->Invoke(DISPID_VALUE, IID_NULL, 0x409, DISPATCH_PROPERTYPUT, &put,
                                  nullptr, nullptr, nullptr));
    SafeArrayDestroy(bytes);
    const Raw written = GetRaw("target");
    EXPECT_EQ(static_cast<DWORD>(REG_BINARY), written.type);
    EXPECT_EQ(Bytes("\xAB\xCD", 2), written.data);
}

// --- the value's own properties and errors ------------------------------------------------------

TEST_F(ValueTest, ExpandStringIsTrueOnlyForMinusOne) {
    ComPtr<IRegistryValue> value = OpenTestValue(L"x");
    VARIANT_BOOL flag = 0x1234;
    ASSERT_HRESULT_SUCCEEDED(value->get_ExpandString(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
    ASSERT_HRESULT_SUCCEEDED(value->put_ExpandString(VARIANT_TRUE));
    ASSERT_HRESULT_SUCCEEDED(value->get_ExpandString(&flag));
    EXPECT_EQ(VARIANT_TRUE, flag);
    ASSERT_HRESULT_SUCCEEDED(value->put_ExpandString(1));
    ASSERT_HRESULT_SUCCEEDED(value->get_ExpandString(&flag));
    EXPECT_EQ(VARIANT_FALSE, flag);
}

TEST_F(ValueTest, NameTypeAndParent) {
    const DWORD number = 5;
    SetRaw("typed", REG_DWORD, &number, 4);
    ComPtr<IRegistryKey> key = OpenTestKey();
    ComPtr<IRegistryValue> value;
    ASSERT_HRESULT_SUCCEEDED(key->OpenValue(Bstr(L"typed").Get(), &value));
    Bstr name;
    ASSERT_HRESULT_SUCCEEDED(value->get_Name(&name));
    EXPECT_EQ(L"typed", name.View());
    REG_VALUE_TYPES type = static_cast<REG_VALUE_TYPES>(0xdead);
    ASSERT_HRESULT_SUCCEEDED(value->get_ValueType(&type));
    EXPECT_EQ(REG_VALUE_DWORD, type);
    ComPtr<IRegistryKey> parent;
    ASSERT_HRESULT_SUCCEEDED(value->get_RegistryKey(&parent));
    ComPtr<IUnknown> a, b;
    key->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&a));
    parent->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&b));
    EXPECT_EQ(a.Get(), b.Get());

    // A null name is the default value.
    ComPtr<IRegistryValue> defaultValue;
    ASSERT_HRESULT_SUCCEEDED(key->OpenValue(nullptr, &defaultValue));
    Variant text = MakeString(L"default text");
    ASSERT_HRESULT_SUCCEEDED(defaultValue->put_Value(*text.Get()));
    const Raw raw = GetRaw(nullptr);
    EXPECT_EQ(Bytes("default text", 13), raw.data);
    ASSERT_HRESULT_SUCCEEDED(defaultValue->get_Name(&name));
    EXPECT_EQ(0u, name.Length());
}

TEST_F(ValueTest, MissingValueReportsTheSystemsFileNotFoundText) {
    ComPtr<IRegistryValue> value = OpenTestValue(L"does not exist");
    Variant result;
    EXPECT_REGISTRY_SYSTEM_ERROR(value->get_Value(&result), ERROR_FILE_NOT_FOUND, kValueSource,
                                 L"Error querying registry value for data length");
    EXPECT_EQ(VT_EMPTY, result.Type());
    REG_VALUE_TYPES type = REG_VALUE_NONE;
    EXPECT_REGISTRY_SYSTEM_ERROR(value->get_ValueType(&type), ERROR_FILE_NOT_FOUND, kValueSource,
                                 L"Error querying registry value type");
    // The description really carries a text after the separator under this system.
    EXPECT_FALSE(SystemText(ERROR_FILE_NOT_FOUND).empty());
}

TEST_F(ValueTest, NullPointersAndMissingParent) {
    ComPtr<IRegistryValue> value = OpenTestValue(L"x");
    EXPECT_REGISTRY_ERROR(value->get_Value(nullptr), E_POINTER, kValueSource, L"Null pointer");
    EXPECT_REGISTRY_ERROR(value->get_ValueType(nullptr), E_POINTER, kValueSource, L"Null pointer");

    ComPtr<IRegistryValue> orphan;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryValue, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IRegistryValue,
                                              reinterpret_cast<void**>(&orphan)));
    Variant result;
    EXPECT_REGISTRY_ERROR(orphan->get_Value(&result), E_FAIL, kValueSource,
                          L"No parent registry key object");
    Variant text = MakeString(L"x");
    EXPECT_REGISTRY_ERROR(orphan->put_Value(*text.Get()), E_FAIL, kValueSource,
                          L"No parent registry key object");
    REG_VALUE_TYPES type = REG_VALUE_NONE;
    EXPECT_REGISTRY_ERROR(orphan->get_ValueType(&type), E_FAIL, kValueSource,
                          L"No parent registry key object");
    ComPtr<IRegistryKey> parent;
    ASSERT_HRESULT_SUCCEEDED(orphan->get_RegistryKey(&parent));
    EXPECT_FALSE(parent);
}

TEST_F(ValueTest, WritesToAReadOnlyKeyReportTheSystemsRefusal) {
    ComPtr<IRegistryKey> key;
    ASSERT_HRESULT_SUCCEEDED(
        database_->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(), REG_ACCESS_READ, &key));
    ComPtr<IRegistryValue> value;
    ASSERT_HRESULT_SUCCEEDED(key->OpenValue(Bstr(L"ro").Get(), &value));
    Variant text = MakeString(L"x");
    EXPECT_REGISTRY_SYSTEM_ERROR(value->put_Value(*text.Get()), ERROR_ACCESS_DENIED, kValueSource,
                                 L"Error setting the registry value");
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, GetRaw("ro").result);
}

TEST_F(ValueTest, DefaultMemberWorksThroughIDispatch) {
    ComPtr<IRegistryValue> value = OpenTestValue(L"dispatched");
    Variant text = MakeString(L"through Invoke");
    DISPID named = DISPID_PROPERTYPUT;
    DISPPARAMS put = {text.Get(), &named, 1, 1};
    ASSERT_HRESULT_SUCCEEDED(value->Invoke(DISPID_VALUE, IID_NULL, 0x409, DISPATCH_PROPERTYPUT,
                                           &put, nullptr, nullptr, nullptr));
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    Variant result;
    ASSERT_HRESULT_SUCCEEDED(value->Invoke(DISPID_VALUE, IID_NULL, 0x409, DISPATCH_PROPERTYGET,
                                           &none, result.Get(), nullptr, nullptr));
    ExpectString(result, L"through Invoke");

    // A failure through Invoke arrives as an exception carrying the error information.
    Variant yes;
    V_VT(yes.Get()) = VT_BOOL;
    V_BOOL(yes.Get()) = VARIANT_TRUE;
    DISPPARAMS bad = {yes.Get(), &named, 1, 1};
    EXCEPINFO exception = {};
    const HRESULT hr = value->Invoke(DISPID_VALUE, IID_NULL, 0x409, DISPATCH_PROPERTYPUT, &bad,
                                     nullptr, &exception, nullptr);
    EXPECT_EQ(DISP_E_EXCEPTION, hr);
    EXPECT_EQ(DISP_E_TYPEMISMATCH, exception.scode);
    EXPECT_STREQ(L"Registry.RegistryValue.2", exception.bstrSource);
    EXPECT_STREQ(L"Unsupported variant type", exception.bstrDescription);
    SysFreeString(exception.bstrSource);
    SysFreeString(exception.bstrDescription);
    SysFreeString(exception.bstrHelpFile);
}

} // namespace
} // namespace registry::test
