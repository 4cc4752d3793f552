#include "PrivateRegistryKey.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Handles.h"
#include "win32common/Result.h"
#include "win32common/Text.h"
#include "win32common/Variant.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

namespace {

using namespace win32common;

bool IsOpenKey(HKEY key) {
    DWORD subKeys = 0;
    return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, nullptr,
                            nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

TEST(UniqueHandle, ClosesOnceKeepsTheLastErrorAndReleasesWhenItsAddressIsTaken) {
    const testsupport::PrivateRegistryKey path(L"Win32Common");
    UniqueKey key;
    ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, path.Path().c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                              nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const HKEY first = key.get();
    ASSERT_TRUE(IsOpenKey(first));

    // Refilling through & closes what was held first.
    ASSERT_EQ(RegOpenKeyExW(HKEY_CURRENT_USER, path.Path().c_str(), 0, KEY_READ, &key),
              ERROR_SUCCESS);
    // Either the number came back (so it was closed first) or the old one no longer works.
    EXPECT_TRUE(key.get() == first || !IsOpenKey(first));
    const HKEY second = key.get();
    ASSERT_TRUE(IsOpenKey(second));

    // A move hands the handle over without closing it; a reset closes it and keeps the error.
    UniqueKey moved(std::move(key));
    EXPECT_FALSE(key);
    EXPECT_EQ(moved.get(), second);
    EXPECT_TRUE(IsOpenKey(second));
    SetLastError(0xdeadbeef);
    moved.reset();
    EXPECT_EQ(GetLastError(), 0xdeadbeefu);
    EXPECT_FALSE(moved);
    EXPECT_FALSE(IsOpenKey(second));

    // release gives the handle up: the caller closes it.
    UniqueKernelHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    ASSERT_TRUE(event);
    HANDLE raw = event.release();
    EXPECT_FALSE(event);
    EXPECT_TRUE(SetEvent(raw));
    EXPECT_TRUE(CloseHandle(raw));
}

// Counts references and reports its own end.
class Counted final : public IUnknown {
public:
    explicit Counted(bool* ended) : ended_(ended) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        *result = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown))
            return E_NOINTERFACE;
        AddRef();
        *result = this;
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (--refs_ == 0)
            *ended_ = true;
        return refs_;
    }
    ULONG References() const { return refs_; }

private:
    ULONG refs_ = 1;
    bool* ended_;
};

TEST(ComPtr, CountsEveryReferenceItHolds) {
    bool ended = false;
    Counted object(&ended);
    {
        ComPtr<IUnknown> first(&object);
        EXPECT_EQ(object.References(), 2u);
        ComPtr<IUnknown> copy = first;
        EXPECT_EQ(object.References(), 3u);
        ComPtr<IUnknown> moved(std::move(copy));
        EXPECT_EQ(object.References(), 3u);
        EXPECT_FALSE(copy);
        IUnknown* out = nullptr;
        EXPECT_EQ(moved.CopyTo(&out), S_OK);
        EXPECT_EQ(object.References(), 4u);
        ComPtr<IUnknown> adopted = ComPtr<IUnknown>::Attach(out);
        EXPECT_EQ(object.References(), 4u);
        // Taking the address releases the reference held, so a call can fill it.
        IUnknown** slot = &adopted;
        EXPECT_EQ(*slot, nullptr);
        EXPECT_EQ(object.References(), 3u);
        EXPECT_EQ(first.CopyTo(nullptr), E_POINTER);
    }
    EXPECT_EQ(object.References(), 1u);
    object.Release();
    EXPECT_TRUE(ended);
}

TEST(Bstr, NullIsEmptyAndOwnershipMoves) {
    EXPECT_TRUE(BstrView(nullptr).empty());
    Bstr text(std::wstring_view(L"a\0b", 3));
    EXPECT_EQ(text.Length(), 3u);
    EXPECT_EQ(text.View(), std::wstring_view(L"a\0b", 3));
    Bstr moved(std::move(text));
    EXPECT_EQ(text.Get(), nullptr);
    BSTR raw = moved.Detach();
    EXPECT_EQ(moved.Get(), nullptr);
    Bstr again = Bstr::Attach(raw);
    EXPECT_EQ(again.Get(), raw);
}

TEST(Variant, ClearsWhatItHoldsWhenRefilled) {
    Variant value;
    EXPECT_EQ(value.Type(), VT_EMPTY);
    V_VT(value.Get()) = VT_BSTR;
    V_BSTR(value.Get()) = SysAllocString(L"held");
    VARIANT* slot = &value;
    EXPECT_EQ(V_VT(slot), VT_EMPTY);
    V_VT(slot) = VT_I4;
    V_I4(slot) = 7;
    VARIANT out;
    VariantInit(&out);
    value.Detach(&out);
    EXPECT_EQ(value.Type(), VT_EMPTY);
    EXPECT_EQ(V_I4(&out), 7);
}

// Everything that crosses the A functions or is stored as ANSI uses the system's ANSI code page.
TEST(Text, OneAnsiPolicyTheSystemsCodePage) {
    const std::wstring wide = L"caf\u00e9 \u2122 \"x\\y\"";
    char expected[64] = {};
    const int length = WideCharToMultiByte(CP_ACP, 0, wide.c_str(), static_cast<int>(wide.size()),
                                           expected, sizeof(expected), nullptr, nullptr);
    ASSERT_GT(length, 0);
    std::string ansi;
    ASSERT_EQ(ToAnsi(wide, ansi), S_OK);
    EXPECT_EQ(ansi, std::string(expected, static_cast<size_t>(length)));
    EXPECT_EQ(Utf8ToAnsi(WideToUtf8(wide)), ansi);
    if (GetACP() == 1252) {
        // Wine's default prefix: the trademark sign is the single byte 0x99.
        EXPECT_EQ(ansi, "caf\xE9 \x99 \"x\\y\"");
    }
    std::wstring back;
    ASSERT_EQ(FromAnsi(ansi, back), S_OK);
    EXPECT_EQ(back, wide);
    Bstr bstr;
    ASSERT_EQ(BstrFromAnsi(ansi, bstr), S_OK);
    EXPECT_EQ(bstr.View(), wide);

    // UTF-8 round trip, beyond what any ANSI code page holds.
    const std::wstring beyond = L"\u4e2d\U0001F600";
    EXPECT_EQ(Utf8ToWide(WideToUtf8(beyond)), beyond);
    EXPECT_EQ(WideToUtf8(beyond), "\xE4\xB8\xAD\xF0\x9F\x98\x80");

    // Empty stays empty and succeeds.
    EXPECT_EQ(ToAnsi(std::wstring_view(), ansi), S_OK);
    EXPECT_TRUE(ansi.empty());
    EXPECT_EQ(FromAnsi(std::string_view(), back), S_OK);
    EXPECT_TRUE(back.empty());
    ASSERT_EQ(BstrFromAnsi("", bstr), S_OK);
    EXPECT_EQ(bstr.Length(), 0u);
}

HRESULT Throwing(int what) {
    TIDEWELL_COM_BOUNDARY_BEGIN
    if (what == 1)
        throw std::bad_alloc();
    if (what == 2)
        throw std::runtime_error("anything else");
    TIDEWELL_RETURN_IF_FAILED(what == 3 ? E_ACCESSDENIED : S_OK);
    return S_FALSE;
    TIDEWELL_COM_BOUNDARY_END
}

TEST(Result, ErrorsMapToFailuresAndNoExceptionLeaves) {
    EXPECT_EQ(HResultFromWin32(ERROR_FILE_NOT_FOUND), static_cast<HRESULT>(0x80070002));
    // A failure without an error code is still a failure.
    EXPECT_TRUE(FAILED(HResultFromWin32(ERROR_SUCCESS)));
    SetLastError(ERROR_ACCESS_DENIED);
    EXPECT_EQ(LastErrorHResult(), E_ACCESSDENIED);
    EXPECT_EQ(Throwing(0), S_FALSE);
    EXPECT_EQ(Throwing(1), E_OUTOFMEMORY);
    EXPECT_EQ(Throwing(2), E_UNEXPECTED);
    EXPECT_EQ(Throwing(3), E_ACCESSDENIED);

    SetLastError(ERROR_INVALID_HANDLE);
    EXPECT_EQ(HResultFromBool(FALSE), HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
    EXPECT_EQ(HResultFromPointer(nullptr), HRESULT_FROM_WIN32(ERROR_INVALID_HANDLE));
    EXPECT_EQ(HResultFromBool(TRUE), S_OK);
    EXPECT_EQ(HResultFromResult(ERROR_MORE_DATA), HRESULT_FROM_WIN32(ERROR_MORE_DATA));
    EXPECT_EQ(HResultFromResult(ERROR_SUCCESS), S_OK);
    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(Win32ErrorFromBool(FALSE, ERROR_CANNOT_MAKE), static_cast<DWORD>(ERROR_CANNOT_MAKE));
}

// A Win32 error in an HRESULT has the text of its code; other HRESULTs their own, if any.
TEST(Result, SystemMessageTextOfAnHResult) {
    wchar_t expected[256] = {};
    ASSERT_GT(FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                             ERROR_FILE_NOT_FOUND, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                             expected, 256, nullptr),
              0u);
    EXPECT_EQ(SystemMessageText(HResultFromWin32(ERROR_FILE_NOT_FOUND)), expected);
    EXPECT_EQ(SystemMessageText(static_cast<HRESULT>(0xA0FFFFFF)), L"");
}

} // namespace
