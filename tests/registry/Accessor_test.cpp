#include "LibraryClient.h"

namespace registry_test {
namespace {

constexpr HRESULT kKeyDeleted = static_cast<HRESULT>(0x80070000u | ERROR_KEY_DELETED);
constexpr HRESULT kNotFound = static_cast<HRESULT>(0x80070000u | ERROR_FILE_NOT_FOUND);

// Source and description of the error information left behind (taking it clears it).
std::wstring TakeErrorSourceAndDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) {
        return L"<none>";
    }
    Bstr source;
    Bstr description;
    info->GetSource(&source);
    info->GetDescription(&description);
    return std::wstring(source.View()) + L"|" + std::wstring(description.View());
}

// An accessor pointed at HKCU\Software\TidewellTest\Accessor\<leaf>, value "name".
class Accessor : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(apartment_.Result());
        ASSERT_EQ(root_.Created(), ERROR_SUCCESS);
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryAccessor, nullptr,
                                                  CLSCTX_INPROC_SERVER, IID_IRegistryAccessor,
                                                  reinterpret_cast<void**>(&accessor_)));
    }

    HRESULT Put(const wchar_t* property, const std::wstring& text) {
        Bstr value(text);
        std::wstring which(property);
        if (which == L"ComputerName") {
            return accessor_->put_ComputerName(value.Get());
        }
        if (which == L"SubKey") {
            return accessor_->put_SubKey(value.Get());
        }
        return accessor_->put_ValueName(value.Get());
    }

    HRESULT Aim(const std::wstring& leaf, const std::wstring& valueName) {
        HRESULT hr = accessor_->put_HKEY(REG_HKEY_CURRENT_USER);
        if (SUCCEEDED(hr)) {
            hr = Put(L"SubKey", root_.Path() + L"\\" + leaf);
        }
        if (SUCCEEDED(hr)) {
            hr = Put(L"ValueName", valueName);
        }
        return hr;
    }

    HRESULT Write(const std::wstring& text) {
        Variant data;
        V_VT(data.Get()) = VT_BSTR;
        V_BSTR(data.Get()) = SysAllocString(text.c_str());
        return accessor_->put_Value(*data.Get());
    }

    HRESULT Read(std::wstring* text) {
        Variant data;
        HRESULT hr = accessor_->get_Value(&data);
        if (SUCCEEDED(hr)) {
            *text = data.Type() == VT_BSTR ? std::wstring(V_BSTR(data.Get())) : L"<not a string>";
        }
        return hr;
    }

    // Replaces the key under the accessor's feet: a kept handle now names a deleted key.
    void Recreate(const std::wstring& leaf, const std::wstring& valueName,
                  const std::wstring& text) {
        std::wstring path = root_.Path() + L"\\" + leaf;
        ASSERT_EQ(RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str()), ERROR_SUCCESS);
        ASSERT_EQ(root_.SetString(leaf, valueName, text), ERROR_SUCCESS);
    }

    Apartment apartment_;
    PrivateKey root_{L"Accessor"};
    ComPtr<IRegistryAccessor> accessor_;
};

TEST_F(Accessor, StartsEmptyOnTheLocalMachineRoot) {
    Bstr text;
    ASSERT_EQ(accessor_->get_ComputerName(&text), S_OK);
    EXPECT_EQ(text.View(), L"");
    ASSERT_EQ(accessor_->get_SubKey(&text), S_OK);
    EXPECT_EQ(text.View(), L"");
    ASSERT_EQ(accessor_->get_ValueName(&text), S_OK);
    EXPECT_EQ(text.View(), L"");
    REG_PREDEFINED_HKEYS root = REG_HKEY_CLASSES_ROOT;
    ASSERT_EQ(accessor_->get_HKEY(&root), S_OK);
    EXPECT_EQ(root, REG_HKEY_LOCAL_MACHINE);

    ASSERT_HRESULT_SUCCEEDED(Aim(L"leaf", L"name"));
    ASSERT_EQ(accessor_->get_SubKey(&text), S_OK);
    EXPECT_EQ(text.View(), root_.Path() + L"\\leaf");
    ASSERT_EQ(accessor_->get_HKEY(&root), S_OK);
    EXPECT_EQ(root, REG_HKEY_CURRENT_USER);
}

TEST_F(Accessor, AWriteCreatesTheKeyAndAReadGivesTheValueBack) {
    ASSERT_HRESULT_SUCCEEDED(Aim(L"made\\deep", L"name"));
    ASSERT_EQ(Write(L"hello"), S_OK);
    wchar_t data[32] = {};
    DWORD size = sizeof(data);
    std::wstring path = root_.Path() + L"\\made\\deep";
    ASSERT_EQ(
        RegGetValueW(HKEY_CURRENT_USER, path.c_str(), L"name", RRF_RT_REG_SZ, nullptr, data, &size),
        ERROR_SUCCESS);
    EXPECT_STREQ(data, L"hello");
    std::wstring text;
    ASSERT_EQ(Read(&text), S_OK);
    EXPECT_EQ(text, L"hello");
    // Another value name under the same key.
    ASSERT_EQ(Put(L"ValueName", L"other"), S_OK);
    ASSERT_EQ(Write(L"second"), S_OK);
    ASSERT_EQ(Read(&text), S_OK);
    EXPECT_EQ(text, L"second");
}

TEST_F(Accessor, AReadOfAMissingKeyFailsAsTheOpenDoes) {
    ASSERT_HRESULT_SUCCEEDED(Aim(L"missing", L"name"));
    std::wstring text;
    EXPECT_EQ(Read(&text), kNotFound);
    std::wstring description = TakeErrorDescription();
    EXPECT_EQ(description.rfind(L"Error opening the registry key - ", 0), 0u)
        << Narrow(description);
    // Nothing was created by the read.
    HKEY probe = nullptr;
    std::wstring path = root_.Path() + L"\\missing";
    EXPECT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &probe),
              ERROR_FILE_NOT_FOUND);

    ASSERT_EQ(root_.SetString(L"present", L"other", L"x"), ERROR_SUCCESS);
    ASSERT_HRESULT_SUCCEEDED(Aim(L"present", L"name"));
    EXPECT_EQ(Read(&text), kNotFound);
    description = TakeErrorDescription();
    EXPECT_EQ(description.rfind(L"Error querying registry value for data length - ", 0), 0u)
        << Narrow(description);
}

TEST_F(Accessor, NullPointersAreReportedAsTheAccessor) {
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(accessor_->get_Value(nullptr), E_POINTER);
    EXPECT_EQ(TakeErrorSourceAndDescription(), L"Registry.RegistryAccessor.2|Null pointer");
    EXPECT_EQ(accessor_->get_SubKey(nullptr), E_POINTER);
    EXPECT_EQ(accessor_->get_HKEY(nullptr), E_POINTER);

    ComPtr<ISupportErrorInfo> support;
    ASSERT_HRESULT_SUCCEEDED(
        accessor_->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)));
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IRegistryAccessor), S_OK);
    EXPECT_EQ(support->InterfaceSupportsErrorInfo(IID_IDispatch), S_FALSE);
}

TEST_F(Accessor, PassesOnTheReportOfTheOperationThatFailed) {
    ASSERT_HRESULT_SUCCEEDED(Aim(L"typed", L"number"));
    Variant real;
    V_VT(real.Get()) = VT_R8;
    V_R8(real.Get()) = 1.5;
    SetErrorInfo(0, nullptr);
    EXPECT_EQ(accessor_->put_Value(*real.Get()), DISP_E_TYPEMISMATCH);
    EXPECT_EQ(TakeErrorSourceAndDescription(),
              L"Registry.RegistryValue.2|Unsupported variant type");
    // The key was made before the value refused the data.
    HKEY probe = nullptr;
    std::wstring path = root_.Path() + L"\\typed";
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &probe), ERROR_SUCCESS);
    RegCloseKey(probe);

    Variant number;
    V_VT(number.Get()) = VT_I4;
    V_I4(number.Get()) = 1234;
    ASSERT_EQ(accessor_->put_Value(*number.Get()), S_OK);
    Variant back;
    ASSERT_EQ(accessor_->get_Value(&back), S_OK);
    EXPECT_EQ(back.Type(), VT_I4);
    EXPECT_EQ(V_I4(back.Get()), 1234);
}

TEST_F(Accessor, AChangedValueNameReopensOnlyTheValue) {
    ASSERT_EQ(root_.SetString(L"leaf", L"name", L"first"), ERROR_SUCCESS);
    ASSERT_HRESULT_SUCCEEDED(Aim(L"leaf", L"name"));
    std::wstring text;
    ASSERT_EQ(Read(&text), S_OK);
    EXPECT_EQ(text, L"first");
    Recreate(L"leaf", L"renamed", L"second");
    // The kept key names the deleted key.
    ASSERT_EQ(Put(L"ValueName", L"renamed"), S_OK);
    EXPECT_EQ(Read(&text), kKeyDeleted);
    // The same text again, or a text that is the same in the ANSI code page, drops nothing.
    ASSERT_EQ(Put(L"SubKey", root_.Path() + L"\\leaf"), S_OK);
    EXPECT_EQ(Read(&text), kKeyDeleted);
    ASSERT_EQ(accessor_->put_HKEY(REG_HKEY_CURRENT_USER), S_OK);
    EXPECT_EQ(Read(&text), kKeyDeleted);
    ASSERT_EQ(Put(L"ComputerName", L""), S_OK);
    EXPECT_EQ(Read(&text), kKeyDeleted);
    // A changed sub-key opens the key again (the registry's names ignore case, ours do not).
    ASSERT_EQ(Put(L"SubKey", root_.Path() + L"\\LEAF"), S_OK);
    ASSERT_EQ(Read(&text), S_OK);
    EXPECT_EQ(text, L"second");
}

TEST_F(Accessor, TextsAreComparedInTheAnsiCodePage) {
    // U+0100 becomes "A" in code page 1252.
    ASSERT_EQ(root_.SetString(L"A", L"name", L"first"), ERROR_SUCCESS);
    ASSERT_HRESULT_SUCCEEDED(Aim(L"A", L"name"));
    std::wstring text;
    ASSERT_EQ(Read(&text), S_OK);
    Recreate(L"A", L"name", L"second");
    ASSERT_EQ(Put(L"SubKey", root_.Path() + L"\\\x0100"), S_OK);
    EXPECT_EQ(Read(&text), kKeyDeleted);
    Bstr stored;
    ASSERT_EQ(accessor_->get_SubKey(&stored), S_OK);
    EXPECT_EQ(stored.View(), root_.Path() + L"\\\x0100");
    ASSERT_EQ(Put(L"SubKey", root_.Path() + L"\\a"), S_OK);
    ASSERT_EQ(Read(&text), S_OK);
    EXPECT_EQ(text, L"second");
}

TEST_F(Accessor, AChangedRootReopensTheKey) {
    ASSERT_EQ(root_.SetString(L"leaf", L"name", L"first"), ERROR_SUCCESS);
    ASSERT_HRESULT_SUCCEEDED(Aim(L"leaf", L"name"));
    std::wstring text;
    ASSERT_EQ(Read(&text), S_OK);
    Recreate(L"leaf", L"name", L"second");
    ASSERT_EQ(accessor_->put_HKEY(REG_HKEY_LOCAL_MACHINE), S_OK);
    ASSERT_EQ(accessor_->put_HKEY(REG_HKEY_CURRENT_USER), S_OK);
    ASSERT_EQ(Read(&text), S_OK);
    EXPECT_EQ(text, L"second");
}

TEST_F(Accessor, AChangedComputerNameBuildsANewDatabase) {
    ASSERT_EQ(root_.SetString(L"leaf", L"name", L"first"), ERROR_SUCCESS);
    ASSERT_HRESULT_SUCCEEDED(Aim(L"leaf", L"name"));
    std::wstring text;
    ASSERT_EQ(Read(&text), S_OK);
    ASSERT_EQ(Put(L"ComputerName", L"NoSuchHostTidewell"), S_OK);
    EXPECT_EQ(Read(&text), static_cast<HRESULT>(0x80070000u | ERROR_BAD_NETPATH));
    std::wstring description = TakeErrorDescription();
    EXPECT_EQ(description.rfind(L"Error connecting to the remote computer", 0), 0u)
        << Narrow(description);
    // Back to the local registry: a database that is new again.
    ASSERT_EQ(Put(L"ComputerName", L""), S_OK);
    ASSERT_EQ(Read(&text), S_OK);
    EXPECT_EQ(text, L"first");
}

TEST_F(Accessor, AKeyOpenedByAReadServesTheNextWriteAndTheReverse) {
    ASSERT_EQ(root_.SetString(L"leaf", L"name", L"first"), ERROR_SUCCESS);
    ASSERT_HRESULT_SUCCEEDED(Aim(L"leaf", L"name"));
    std::wstring text;
    ASSERT_EQ(Read(&text), S_OK);
    Recreate(L"leaf", L"name", L"second");
    EXPECT_EQ(Write(L"lost"), kKeyDeleted);

    ASSERT_HRESULT_SUCCEEDED(Aim(L"written", L"name"));
    ASSERT_EQ(Write(L"one"), S_OK);
    Recreate(L"written", L"name", L"two");
    EXPECT_EQ(Read(&text), kKeyDeleted);
}

// An outer object that aggregates the accessor.
class Outer final : public IUnknown {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (IsEqualIID(iid, IID_IUnknown)) {
            *result = this;
            AddRef();
            return S_OK;
        }
        return inner ? inner->QueryInterface(iid, result) : E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    ULONG refs = 1;
    ComPtr<IUnknown> inner;
};

TEST_F(Accessor, CanBeAggregated) {
    Outer outer;
    ComPtr<IRegistryAccessor> refused;
    EXPECT_EQ(CoCreateInstance(CLSID_RegistryAccessor, &outer, CLSCTX_INPROC_SERVER,
                               IID_IRegistryAccessor, reinterpret_cast<void**>(&refused)),
              CLASS_E_NOAGGREGATION);
    ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryAccessor, &outer, CLSCTX_INPROC_SERVER,
                                              IID_IUnknown,
                                              reinterpret_cast<void**>(&outer.inner)));
    ComPtr<IRegistryAccessor> accessor;
    ASSERT_HRESULT_SUCCEEDED(
        outer.QueryInterface(IID_IRegistryAccessor, reinterpret_cast<void**>(&accessor)));
    ULONG before = outer.refs;
    // The aggregated accessor counts on its outer object.
    accessor->AddRef();
    EXPECT_EQ(outer.refs, before + 1);
    accessor->Release();
    ComPtr<IUnknown> back;
    ASSERT_HRESULT_SUCCEEDED(
        accessor->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(&back)));
    EXPECT_EQ(back.Get(), static_cast<IUnknown*>(&outer));
    back.Reset();
    accessor.Reset();
    outer.inner.Reset();
    EXPECT_EQ(outer.refs, 1u);
}

} // namespace
} // namespace registry_test
