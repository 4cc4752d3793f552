// Names and strings outside the ANSI code page, reads in one call, and values whose data came with
// their enumeration.
#include "ImportPatch.h"
#include "RegistryTestSupport.h"

#include <algorithm>
#include <string>
#include <vector>

namespace registry::test {
namespace {

using registry_test::ImportPatch;

// Japanese and an emoji (a surrogate pair): nothing of it has a form in code page 1252.
const std::wstring kName = L"\x65e5\x672c\x8a9e \xD83C\xDF8C";
const std::wstring kText = L"\x5024 \xD83D\xDE00 data";

std::vector<std::wstring> StringsOf(const Variant& array) {
    std::vector<std::wstring> strings;
    if (!(array.Type() & VT_ARRAY))
        return strings;
    SAFEARRAY* items = V_ARRAY(array.Get());
    LONG lower = 0, upper = -1;
    SafeArrayGetLBound(items, 1, &lower);
    SafeArrayGetUBound(items, 1, &upper);
    for (LONG i = lower; i <= upper; ++i) {
        Variant item;
        if (SUCCEEDED(SafeArrayGetElement(items, &i, item.Get())) && item.Type() == VT_BSTR)
            strings.emplace_back(BstrView(V_BSTR(item.Get())));
    }
    return strings;
}

ComPtr<IEnumVARIANT> EnumeratorOf(IRegistryKey* key, bool values) {
    Variant collection;
    ComPtr<IUnknown> unknown;
    ComPtr<IEnumVARIANT> enumerator;
    HRESULT hr = values ? key->Values(&collection) : key->SubKeys(&collection);
    if (FAILED(hr) || collection.Type() != VT_DISPATCH)
        return enumerator;
    DISPPARAMS none = {};
    Variant result;
    hr = V_DISPATCH(collection.Get())
             ->Invoke(DISPID_NEWENUM, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, &result, nullptr,
                      nullptr);
    if (SUCCEEDED(hr) && result.Type() == VT_UNKNOWN)
        V_UNKNOWN(result.Get())
            ->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator));
    return enumerator;
}

class WideNames : public RegistryTest {};

TEST_F(WideNames, AKeyNamedOutsideTheAnsiCodePageIsCreatedListedOpenedAndDeleted) {
    ComPtr<IRegistryKey> created;
    ASSERT_HRESULT_SUCCEEDED(database_->CreateKey(REG_HKEY_CURRENT_USER, TestKeyName(kName).Get(),
                                                  REG_CREATE_OPTION_NON_VOLATILE,
                                                  REG_ACCESS_BEST_AVAILABLE, &created));
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(testKey_, kName.c_str(), 0, KEY_READ, &raw));
    RegCloseKey(raw);

    ComPtr<IRegistryKey> parent = OpenTestKey();
    Variant names;
    ASSERT_HRESULT_SUCCEEDED(parent->get_SubKeyNames(&names));
    EXPECT_EQ(std::vector<std::wstring>{kName}, StringsOf(names));
    ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(parent.Get(), false);
    ASSERT_TRUE(enumerator);
    Variant item;
    ULONG fetched = 0;
    ASSERT_EQ(S_OK, enumerator->Next(1, item.Get(), &fetched));
    ComPtr<IRegistryKey> listed;
    ASSERT_HRESULT_SUCCEEDED(
        V_DISPATCH(item.Get())
            ->QueryInterface(IID_IRegistryKey, reinterpret_cast<void**>(&listed)));
    Bstr listedName;
    ASSERT_HRESULT_SUCCEEDED(listed->get_Name(&listedName));
    EXPECT_EQ(kName, listedName.View());

    ComPtr<IRegistryKey> opened;
    EXPECT_HRESULT_SUCCEEDED(database_->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName(kName).Get(),
                                                REG_ACCESS_BEST_AVAILABLE, &opened));
    listed.Reset();
    opened.Reset();
    created.Reset();
    EXPECT_HRESULT_SUCCEEDED(
        database_->DeleteKeyTree(REG_HKEY_CURRENT_USER, TestKeyName(kName).Get()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND, RegOpenKeyExW(testKey_, kName.c_str(), 0, KEY_READ, &raw));
}

TEST_F(WideNames, AValueNamedOutsideTheAnsiCodePageKeepsItsNameAndText) {
    ComPtr<IRegistryValue> value = OpenTestValue(kName.c_str());
    ASSERT_TRUE(value);
    Variant text;
    V_VT(text.Get()) = VT_BSTR;
    V_BSTR(text.Get()) = SysAllocString(kText.c_str());
    ASSERT_HRESULT_SUCCEEDED(value->put_Value(*text.Get()));
    wchar_t raw[64] = {};
    DWORD size = sizeof(raw);
    DWORD type = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExW(testKey_, kName.c_str(), nullptr, &type,
                                              reinterpret_cast<BYTE*>(raw), &size));
    EXPECT_EQ(REG_SZ, type);
    EXPECT_EQ(kText, std::wstring(raw));

    Variant read;
    ASSERT_HRESULT_SUCCEEDED(value->get_Value(&read));
    ASSERT_EQ(VT_BSTR, read.Type());
    EXPECT_EQ(kText, BstrView(V_BSTR(read.Get())));

    // A multi-string keeps every string.
    SAFEARRAY* strings = SafeArrayCreateVector(VT_BSTR, 0, 2);
    LONG index = 0;
    SafeArrayPutElement(strings, &index, Bstr(kName).Get());
    index = 1;
    SafeArrayPutElement(strings, &index, Bstr(kText).Get());
    Variant multi;
    V_VT(multi.Get()) = VT_ARRAY | VT_BSTR;
    V_ARRAY(multi.Get()) = strings;
    ComPtr<IRegistryValue> other = OpenTestValue(L"multi");
    ASSERT_HRESULT_SUCCEEDED(other->put_Value(*multi.Get()));
    Variant multiRead;
    ASSERT_HRESULT_SUCCEEDED(other->get_Value(&multiRead));
    EXPECT_EQ((std::vector<std::wstring>{kName, kText}), StringsOf(multiRead));

    // Listed by its name, and its listed object reads it.
    ComPtr<IRegistryKey> key = OpenTestKey();
    Variant names;
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueNames(&names));
    std::vector<std::wstring> listed = StringsOf(names);
    std::sort(listed.begin(), listed.end());
    EXPECT_EQ((std::vector<std::wstring>{L"multi", kName}), listed);

    ASSERT_HRESULT_SUCCEEDED(key->DeleteValue(Bstr(kName).Get()));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExW(testKey_, kName.c_str(), nullptr, nullptr, nullptr, nullptr));
}

// Counts the library's value reads; on the first count, grows the value first, as another
// program writing meanwhile would.
struct QueryWatch {
    static inline int calls = 0;
    static inline int growths = 0;
    static inline HKEY writer = nullptr;
    static inline decltype(&RegQueryValueExW) original = nullptr;

    static LSTATUS WINAPI Query(HKEY key, LPCWSTR name, LPDWORD reserved, LPDWORD type, LPBYTE data,
                                LPDWORD size) {
        if (growths > 0 && data) {
            --growths;
            const std::vector<BYTE> bigger(static_cast<size_t>(*size) + 1000, 0x5a);
            RegSetValueExW(writer, name, 0, REG_BINARY, bigger.data(),
                           static_cast<DWORD>(bigger.size()));
        }
        ++calls;
        return original(key, name, reserved, type, data, size);
    }
};

TEST_F(WideNames, AValueThatGrowsWhileItIsReadIsReadWhole) {
    ComPtr<IRegistryValue> value = OpenTestValue(L"growing");
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(testKey_, L"growing", 0, REG_BINARY,
                                            reinterpret_cast<const BYTE*>("ab"), 2));
    ImportPatch patch(GetModuleHandleW(L"Registry.dll"), "advapi32.dll", "RegQueryValueExW",
                      reinterpret_cast<void*>(&QueryWatch::Query));
    ASSERT_TRUE(patch.Applied());
    QueryWatch::original = reinterpret_cast<decltype(&RegQueryValueExW)>(patch.Original());
    QueryWatch::writer = testKey_;
    QueryWatch::calls = 0;
    QueryWatch::growths = 3;
    Variant read;
    ASSERT_HRESULT_SUCCEEDED(value->get_Value(&read));
    ASSERT_TRUE(read.Type() & VT_ARRAY);
    LONG upper = 0;
    SafeArrayGetUBound(V_ARRAY(read.Get()), 1, &upper);
    // 512 bytes asked first, then each size reported; the last read finds what is there.
    EXPECT_EQ(512 + 1000 + 1000 + 1000, upper);
    EXPECT_EQ(4, QueryWatch::calls);

    // A small value: one call.
    QueryWatch::calls = 0;
    Variant again;
    ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(testKey_, L"growing", 0, REG_BINARY,
                                            reinterpret_cast<const BYTE*>("ab"), 2));
    ASSERT_HRESULT_SUCCEEDED(value->get_Value(&again));
    EXPECT_EQ(1, QueryWatch::calls);
}

TEST_F(WideNames, EnumeratedValuesReadTheirDataWithoutAnotherCallUntilTheLibraryWrites) {
    for (const wchar_t* name : {L"a", L"b"})
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(testKey_, name, 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(kText.c_str()),
                                                static_cast<DWORD>((kText.size() + 1) * 2)));
    ImportPatch patch(GetModuleHandleW(L"Registry.dll"), "advapi32.dll", "RegQueryValueExW",
                      reinterpret_cast<void*>(&QueryWatch::Query));
    ASSERT_TRUE(patch.Applied());
    QueryWatch::original = reinterpret_cast<decltype(&RegQueryValueExW)>(patch.Original());
    QueryWatch::calls = 0;
    QueryWatch::growths = 0;

    ComPtr<IRegistryKey> key = OpenTestKey();
    ComPtr<IEnumVARIANT> enumerator = EnumeratorOf(key.Get(), true);
    ASSERT_TRUE(enumerator);
    Variant items[2];
    ULONG fetched = 0;
    ASSERT_EQ(S_OK, enumerator->Next(2, items[0].Get(), &fetched));
    ComPtr<IRegistryValue> first, second;
    V_DISPATCH(items[0].Get())
        ->QueryInterface(IID_IRegistryValue, reinterpret_cast<void**>(&first));
    V_DISPATCH(items[1].Get())
        ->QueryInterface(IID_IRegistryValue, reinterpret_cast<void**>(&second));
    Variant read;
    ASSERT_HRESULT_SUCCEEDED(first->get_Value(&read));
    EXPECT_EQ(kText, BstrView(V_BSTR(read.Get())));
    EXPECT_EQ(0, QueryWatch::calls);

    // Once the library has written, the enumeration's data may be stale: ask the registry.
    Variant written;
    V_VT(written.Get()) = VT_BSTR;
    V_BSTR(written.Get()) = SysAllocString(L"new");
    ASSERT_HRESULT_SUCCEEDED(first->put_Value(*written.Get()));
    Variant secondRead;
    ASSERT_HRESULT_SUCCEEDED(second->get_Value(&secondRead));
    EXPECT_EQ(1, QueryWatch::calls);
    // The enumeration's data serves one read only.
    ASSERT_HRESULT_SUCCEEDED(first->get_Value(&read));
    EXPECT_EQ(L"new", BstrView(V_BSTR(read.Get())));
    EXPECT_EQ(2, QueryWatch::calls);
}

} // namespace
} // namespace registry::test
