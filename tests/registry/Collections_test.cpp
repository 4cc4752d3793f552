#include "ImportPatch.h"
#include "LibraryClient.h"

#include <vector>

namespace registry_test {
namespace {

std::wstring NameOfKey(IDispatch* item) {
    ComPtr<IRegistryKey> key;
    if (FAILED(item->QueryInterface(IID_IRegistryKey, reinterpret_cast<void**>(&key)))) {
        return L"<not a key>";
    }
    Bstr name;
    key->get_Name(&name);
    return std::wstring(name.View());
}

std::wstring NameOfValue(IDispatch* item) {
    ComPtr<IRegistryValue> value;
    if (FAILED(item->QueryInterface(IID_IRegistryValue, reinterpret_cast<void**>(&value)))) {
        return L"<not a value>";
    }
    Bstr name;
    value->get_Name(&name);
    return std::wstring(name.View());
}

template <class Collection>
HRESULT CollectionOf(IRegistryKey* key, bool subKeys, ComPtr<Collection>& collection) {
    Variant holder;
    HRESULT hr = subKeys ? key->SubKeys(&holder) : key->Values(&holder);
    if (FAILED(hr)) {
        return hr;
    }
    if (holder.Type() != VT_DISPATCH || !V_DISPATCH(holder.Get())) {
        return E_UNEXPECTED;
    }
    return V_DISPATCH(holder.Get())
        ->QueryInterface(subKeys ? IID_IRegistryKeyCollection : IID_IRegistryValueCollection,
                         reinterpret_cast<void**>(&collection));
}

HRESULT EnumeratorOf(IDispatch* collection, ComPtr<IEnumVARIANT>& enumerator) {
    // Through IDispatch, as script clients reach it.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    Variant result;
    HRESULT hr = collection->Invoke(DISPID_NEWENUM, IID_NULL, 0x409, DISPATCH_PROPERTYGET, &none,
                                    &result, nullptr, nullptr);
    if (FAILED(hr)) {
        return hr;
    }
    if (result.Type() != VT_UNKNOWN || !V_UNKNOWN(result.Get())) {
        return E_UNEXPECTED;
    }
    return V_UNKNOWN(result.Get())
        ->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator));
}

// Takes up to `wanted` items; returns the names, the HRESULT and the count delivered.
struct Batch {
    HRESULT hr = E_FAIL;
    ULONG delivered = 0xdeadbeef;
    std::vector<std::wstring> names;
};

Batch Take(IEnumVARIANT* enumerator, ULONG wanted, std::wstring (*nameOf)(IDispatch*)) {
    Batch batch;
    std::vector<VARIANT> items(wanted + 1);
    for (VARIANT& item : items) {
        VariantInit(&item);
        V_VT(&item) = VT_I4;
        V_I4(&item) = 0x5eed;
    }
    batch.hr = enumerator->Next(wanted, items.data(), &batch.delivered);
    for (ULONG i = 0; i < batch.delivered && i < wanted; ++i) {
        if (V_VT(&items[i]) == VT_DISPATCH && V_DISPATCH(&items[i])) {
            batch.names.push_back(nameOf(V_DISPATCH(&items[i])));
        } else {
            batch.names.push_back(L"<bad item>");
        }
        VariantClear(&items[i]);
    }
    // What was not delivered is left as it was.
    for (ULONG i = batch.delivered; i <= wanted && i < items.size(); ++i) {
        EXPECT_EQ(V_VT(&items[i]), VT_I4) << "item " << i;
        EXPECT_EQ(V_I4(&items[i]), 0x5eed) << "item " << i;
    }
    return batch;
}

class Collections : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(apartment_.Result());
        ASSERT_EQ(key_.Created(), ERROR_SUCCESS);
        for (const wchar_t* name : {L"alpha", L"beta", L"gamma"}) {
            ASSERT_EQ(key_.CreateSubKey(name), ERROR_SUCCESS);
            ASSERT_EQ(key_.SetString(L"", std::wstring(L"v_") + name, name), ERROR_SUCCESS);
        }
        ASSERT_HRESULT_SUCCEEDED(OpenTestKey(key_.Path(), registryKey_));
        ASSERT_HRESULT_SUCCEEDED(CollectionOf(registryKey_.Get(), true, keys_));
        ASSERT_HRESULT_SUCCEEDED(CollectionOf(registryKey_.Get(), false, values_));
    }

    Apartment apartment_;
    PrivateKey key_{L"Collections"};
    ComPtr<IRegistryKey> registryKey_;
    ComPtr<IRegistryKeyCollection> keys_;
    ComPtr<IRegistryValueCollection> values_;
};

TEST_F(Collections, CountAndOneBasedItems) {
    LONG count = -1;
    ASSERT_EQ(keys_->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    ASSERT_EQ(values_->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);

    const wchar_t* keyNames[] = {L"alpha", L"beta", L"gamma"};
    for (LONG i = 1; i <= 3; ++i) {
        Variant item;
        ASSERT_EQ(keys_->get_Item(i, &item), S_OK) << "key item " << i;
        ASSERT_EQ(item.Type(), VT_DISPATCH);
        EXPECT_EQ(NameOfKey(V_DISPATCH(item.Get())), keyNames[i - 1]);
        // A child opened through the collection names itself by its bare name and is open.
        ComPtr<IRegistryKey> child;
        ASSERT_HRESULT_SUCCEEDED(
            V_DISPATCH(item.Get())
                ->QueryInterface(IID_IRegistryKey, reinterpret_cast<void**>(&child)));
        LONG handle = 0;
        EXPECT_EQ(child->get_HKEY(&handle), S_OK);
        EXPECT_NE(handle, 0);

        Variant value;
        ASSERT_EQ(values_->get_Item(i, &value), S_OK) << "value item " << i;
        ASSERT_EQ(value.Type(), VT_DISPATCH);
        EXPECT_EQ(NameOfValue(V_DISPATCH(value.Get())), std::wstring(L"v_") + keyNames[i - 1]);
    }
}

TEST_F(Collections, ItemsOutsideOneToCountAreInvalidArgumentsWithoutErrorInfo) {
    for (LONG index : {0L, 4L, -1L, 0x7fffffffL, static_cast<LONG>(0x80000000)}) {
        SetErrorInfo(0, nullptr);
        Variant item;
        EXPECT_EQ(keys_->get_Item(index, &item), E_INVALIDARG) << "key index " << index;
        EXPECT_EQ(item.Type(), VT_EMPTY);
        EXPECT_EQ(values_->get_Item(index, &item), E_INVALIDARG) << "value index " << index;
        EXPECT_EQ(TakeErrorDescription(), L"") << "index " << index;
    }
    EXPECT_EQ(keys_->get_Item(1, nullptr), E_POINTER);
    EXPECT_EQ(values_->get_Count(nullptr), E_POINTER);
    EXPECT_EQ(keys_->get__NewEnum(nullptr), E_POINTER);
}

// The key reports its failures with error information; its collections pass on the HRESULT only.
TEST_F(Collections, ADeletedKeyFailsWithoutErrorInfo) {
    ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, key_.Path().c_str()), ERROR_SUCCESS);
    const HRESULT deleted = HRESULT_FROM_WIN32(ERROR_KEY_DELETED);
    LONG count = -1;
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(keys_->get_Count(&count), deleted);
    EXPECT_EQ(TakeErrorDescription(), L"");
    EXPECT_EQ(values_->get_Count(&count), deleted);
    EXPECT_EQ(TakeErrorDescription(), L"");
    Variant item;
    EXPECT_EQ(keys_->get_Item(1, &item), deleted);
    EXPECT_EQ(values_->get_Item(1, &item), deleted);
    EXPECT_EQ(item.Type(), VT_EMPTY);
    EXPECT_EQ(TakeErrorDescription(), L"");
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_EQ(EnumeratorOf(values_.Get(), enumerator), S_OK);
    Batch batch = Take(enumerator.Get(), 2, &NameOfValue);
    EXPECT_EQ(batch.hr, S_FALSE);
    EXPECT_EQ(batch.delivered, 0u);
    EXPECT_EQ(TakeErrorDescription(), L"");

    // The key itself still says what went wrong.
    EXPECT_EQ(registryKey_->get_ValueCount(&count), deleted);
    EXPECT_NE(TakeErrorDescription(), L"");
}

TEST_F(Collections, CountAndItemFollowTheRegistry) {
    ASSERT_EQ(key_.CreateSubKey(L"zeta"), ERROR_SUCCESS);
    ASSERT_EQ(key_.SetString(L"", L"v_zeta", L"4"), ERROR_SUCCESS);
    LONG count = 0;
    ASSERT_EQ(keys_->get_Count(&count), S_OK);
    EXPECT_EQ(count, 4);
    Variant item;
    ASSERT_EQ(keys_->get_Item(4, &item), S_OK);
    EXPECT_EQ(NameOfKey(V_DISPATCH(item.Get())), L"zeta");
    ASSERT_EQ(values_->get_Item(4, &item), S_OK);
    EXPECT_EQ(NameOfValue(V_DISPATCH(item.Get())), L"v_zeta");

    ASSERT_EQ(RegDeleteKeyW(key_.Handle(), L"alpha"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteValueW(key_.Handle(), L"v_alpha"), ERROR_SUCCESS);
    ASSERT_EQ(keys_->get_Count(&count), S_OK);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(keys_->get_Item(4, &item), E_INVALIDARG);
    ASSERT_EQ(values_->get_Item(1, &item), S_OK);
    EXPECT_EQ(NameOfValue(V_DISPATCH(item.Get())), L"v_beta");
}

TEST_F(Collections, TheDefaultMemberIsItemAndTheEnumeratorIsRestricted) {
    ComPtr<IDispatch> dispatch;
    ASSERT_HRESULT_SUCCEEDED(
        values_->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&dispatch)));
    Variant index;
    V_VT(index.Get()) = VT_I4;
    V_I4(index.Get()) = 2;
    DISPPARAMS params = {index.Get(), nullptr, 1, 0};
    Variant result;
    ASSERT_EQ(dispatch->Invoke(DISPID_VALUE, IID_NULL, 0x409,
                               DISPATCH_METHOD | DISPATCH_PROPERTYGET, &params, &result, nullptr,
                               nullptr),
              S_OK);
    ASSERT_EQ(result.Type(), VT_DISPATCH);
    EXPECT_EQ(NameOfValue(V_DISPATCH(result.Get())), L"v_beta");

    // JScript's Enumerator asks for DISPID -4 as a method.
    DISPPARAMS none = {nullptr, nullptr, 0, 0};
    Variant enumerator;
    ASSERT_EQ(dispatch->Invoke(DISPID_NEWENUM, IID_NULL, 0x409, DISPATCH_METHOD, &none, &enumerator,
                               nullptr, nullptr),
              S_OK);
    EXPECT_EQ(enumerator.Type(), VT_UNKNOWN);

    ComPtr<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, 0x409, &info), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    bool sawNewEnum = false;
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &function), S_OK);
        if (function->memid == DISPID_NEWENUM) {
            sawNewEnum = true;
            EXPECT_TRUE(function->wFuncFlags & FUNCFLAG_FRESTRICTED);
        }
        info->ReleaseFuncDesc(function);
    }
    info->ReleaseTypeAttr(attributes);
    EXPECT_TRUE(sawNewEnum);
}

TEST_F(Collections, NextSkipResetAndClone) {
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(keys_.Get(), enumerator));
    Batch first = Take(enumerator.Get(), 2, NameOfKey);
    EXPECT_EQ(first.hr, S_OK);
    EXPECT_EQ(first.delivered, 2u);
    EXPECT_EQ(first.names, (std::vector<std::wstring>{L"alpha", L"beta"}));

    ComPtr<IEnumVARIANT> clone;
    ASSERT_EQ(enumerator->Clone(&clone), S_OK);
    // More asked than remain: what is left, and S_FALSE.
    Batch rest = Take(enumerator.Get(), 5, NameOfKey);
    EXPECT_EQ(rest.hr, S_FALSE);
    EXPECT_EQ(rest.delivered, 1u);
    EXPECT_EQ(rest.names, (std::vector<std::wstring>{L"gamma"}));
    Batch none = Take(enumerator.Get(), 1, NameOfKey);
    EXPECT_EQ(none.hr, S_FALSE);
    EXPECT_EQ(none.delivered, 0u);

    // The clone kept the position it was made at.
    Batch fromClone = Take(clone.Get(), 1, NameOfKey);
    EXPECT_EQ(fromClone.hr, S_OK);
    EXPECT_EQ(fromClone.names, (std::vector<std::wstring>{L"gamma"}));

    EXPECT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(enumerator->Skip(2), S_OK);
    EXPECT_EQ(Take(enumerator.Get(), 1, NameOfKey).names, (std::vector<std::wstring>{L"gamma"}));
    EXPECT_EQ(enumerator->Reset(), S_OK);
    EXPECT_EQ(enumerator->Skip(5), S_FALSE);
    EXPECT_EQ(Take(enumerator.Get(), 1, NameOfKey).delivered, 0u);
    EXPECT_EQ(enumerator->Skip(0), S_OK);
    EXPECT_EQ(enumerator->Skip(1), S_FALSE);

    // A single item may be asked for without a count.
    EXPECT_EQ(enumerator->Reset(), S_OK);
    VARIANT item;
    VariantInit(&item);
    EXPECT_EQ(enumerator->Next(1, &item, nullptr), S_OK);
    EXPECT_EQ(V_VT(&item), VT_DISPATCH);
    VariantClear(&item);
    EXPECT_EQ(enumerator->Next(1, nullptr, nullptr), E_POINTER);
    EXPECT_EQ(enumerator->Clone(nullptr), E_POINTER);
}

TEST_F(Collections, TheValueEnumeratorWalksValuesInRegistryOrder) {
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(values_.Get(), enumerator));
    Batch all = Take(enumerator.Get(), 3, NameOfValue);
    EXPECT_EQ(all.hr, S_OK);
    EXPECT_EQ(all.names, (std::vector<std::wstring>{L"v_alpha", L"v_beta", L"v_gamma"}));
}

TEST_F(Collections, TheTotalIsFixedWhenTheEnumeratorIsMade) {
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(keys_.Get(), enumerator));
    ASSERT_EQ(key_.CreateSubKey(L"delta"), ERROR_SUCCESS);
    Batch all = Take(enumerator.Get(), 10, NameOfKey);
    EXPECT_EQ(all.hr, S_FALSE);
    EXPECT_EQ(all.names.size(), 3u);

    // Entries removed after the enumerator was made end the walk early.
    ComPtr<IEnumVARIANT> shrinking;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(keys_.Get(), shrinking));
    ASSERT_EQ(RegDeleteKeyW(key_.Handle(), L"gamma"), ERROR_SUCCESS);
    ASSERT_EQ(RegDeleteKeyW(key_.Handle(), L"delta"), ERROR_SUCCESS);
    Batch shorter = Take(shrinking.Get(), 4, NameOfKey);
    EXPECT_EQ(shorter.hr, S_FALSE);
    EXPECT_EQ(shorter.names, (std::vector<std::wstring>{L"alpha", L"beta"}));
}

TEST_F(Collections, ASubKeyThatCannotBeOpenedIsCountedButNotEnumerated) {
    ASSERT_EQ(key_.CreateSubKey(L"delta refused"), ERROR_SUCCESS);
    RefusedKeyOpen refusal;
    ASSERT_TRUE(refusal.Applied());
    LONG count = 0;
    ASSERT_EQ(keys_->get_Count(&count), S_OK);
    EXPECT_EQ(count, 4);
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(keys_.Get(), enumerator));
    Batch all = Take(enumerator.Get(), 4, NameOfKey);
    EXPECT_EQ(all.hr, S_FALSE);
    EXPECT_EQ(all.delivered, 3u);
    EXPECT_EQ(all.names, (std::vector<std::wstring>{L"alpha", L"beta", L"gamma"}));

    // Item names the open's failure.
    bool sawFailure = false;
    for (LONG i = 1; i <= count; ++i) {
        Variant item;
        HRESULT hr = keys_->get_Item(i, &item);
        if (FAILED(hr)) {
            EXPECT_EQ(hr, HRESULT_FROM_WIN32(ERROR_FILE_NOT_FOUND)) << "index " << i;
            sawFailure = true;
        }
    }
    EXPECT_TRUE(sawFailure);
}

TEST_F(Collections, EmptyKeysAndKeysWithoutHandles) {
    PrivateKey emptyKey(L"CollectionsEmpty");
    ComPtr<IRegistryKey> empty;
    ASSERT_HRESULT_SUCCEEDED(OpenTestKey(emptyKey.Path(), empty));
    ComPtr<IRegistryValueCollection> values;
    ASSERT_HRESULT_SUCCEEDED(CollectionOf(empty.Get(), false, values));
    LONG count = -1;
    EXPECT_EQ(values->get_Count(&count), S_OK);
    EXPECT_EQ(count, 0);
    Variant item;
    EXPECT_EQ(values->get_Item(1, &item), E_INVALIDARG);
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(values.Get(), enumerator));
    EXPECT_EQ(Take(enumerator.Get(), 1, NameOfValue).hr, S_FALSE);
    EXPECT_EQ(enumerator->Skip(1), S_FALSE);

    // A key from its class factory has no handle: its count fails, so its enumerator is empty.
    ComPtr<IRegistryKey> loose;
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryKey, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IRegistryKey, reinterpret_cast<void**>(&loose)));
    ComPtr<IRegistryKeyCollection> looseKeys;
    ASSERT_HRESULT_SUCCEEDED(CollectionOf(loose.Get(), true, looseKeys));
    EXPECT_NE(looseKeys->get_Count(&count), S_OK);
    ComPtr<IEnumVARIANT> looseEnumerator;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(looseKeys.Get(), looseEnumerator));
    EXPECT_EQ(Take(looseEnumerator.Get(), 1, NameOfKey).delivered, 0u);
}

TEST_F(Collections, ChildrenKeepTheirParentAndTheLibraryUnloadsAfterwards) {
    ComPtr<IEnumVARIANT> enumerator;
    ASSERT_HRESULT_SUCCEEDED(EnumeratorOf(values_.Get(), enumerator));
    Variant item;
    ASSERT_EQ(keys_->get_Item(1, &item), S_OK);
    registryKey_.Reset();
    keys_.Reset();
    values_.Reset();
    // The enumerator still holds the key.
    EXPECT_EQ(Take(enumerator.Get(), 3, NameOfValue).names.size(), 3u);
    EXPECT_EQ(LibraryCanUnloadNow(), S_FALSE);
    enumerator.Reset();
    item.Reset();
    EXPECT_EQ(LibraryCanUnloadNow(), S_OK);
}

} // namespace
} // namespace registry_test
