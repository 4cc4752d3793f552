#pragma once

#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Handles.h"
#include "win32common/SafeArray.h"
#include "win32common/Variant.h"

#include "PrivateRegistryKey.h"
#include "WindowsRegistry.h"

#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <optional>
#include <string>

namespace registry::test {

using win32common::Bstr;
using win32common::BstrView;
using win32common::ComPtr;
using win32common::SafeArray;
using win32common::SafeArrayDataLock;
using win32common::UniqueKey;
using win32common::Variant;

// The error information a failing call left behind.
struct ErrorReport {
    bool present = false;
    GUID interfaceId = {};
    std::wstring source;
    std::wstring description;
};

inline ErrorReport TakeErrorInfo() {
    ErrorReport report;
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info)
        return report;
    report.present = true;
    info->GetGUID(&report.interfaceId);
    Bstr source;
    Bstr description;
    info->GetSource(&source);
    info->GetDescription(&description);
    report.source = std::wstring(source.View());
    report.description = std::wstring(description.View());
    return report;
}

inline void ClearErrorInfo() {
    SetErrorInfo(0, nullptr);
}

// The system's own text for code, the way the library looks it up (compared at run time, since
// Wine's texts are not Windows' texts).
inline std::wstring SystemText(DWORD code) {
    char* buffer = nullptr;
    const DWORD length = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT), reinterpret_cast<char*>(&buffer),
        0, nullptr);
    std::wstring text;
    if (length && buffer) {
        const int wide =
            MultiByteToWideChar(CP_ACP, 0, buffer, static_cast<int>(length), nullptr, 0);
        text.resize(static_cast<size_t>(wide));
        MultiByteToWideChar(CP_ACP, 0, buffer, static_cast<int>(length), text.data(), wide);
    }
    if (buffer)
        LocalFree(buffer);
    return text;
}

inline std::wstring WithSystemText(const std::wstring& message, DWORD code) {
    const std::wstring text = SystemText(code);
    return text.empty() ? message : message + L" - " + text;
}

inline std::string Narrow(const std::wstring& text) {
    std::string result;
    for (wchar_t c : text)
        result += (c >= 0x20 && c < 0x7F) ? static_cast<char>(c) : (c == L'\r' ? '\\' : '?');
    return result;
}

// hr must be expected, with error information from source carrying description exactly.
#define EXPECT_REGISTRY_ERROR(call, expectedHr, expectedSource, expectedDescription)               \
    do {                                                                                           \
        ::registry::test::ClearErrorInfo();                                                        \
        const HRESULT hr_ = (call);                                                                \
        EXPECT_EQ(static_cast<unsigned long>(expectedHr), static_cast<unsigned long>(hr_))         \
            << #call;                                                                              \
        const ::registry::test::ErrorReport report_ = ::registry::test::TakeErrorInfo();           \
        EXPECT_TRUE(report_.present) << #call << ": no error information";                         \
        EXPECT_TRUE(IsEqualGUID(report_.interfaceId, GUID_NULL)) << #call;                         \
        EXPECT_EQ(std::wstring(expectedSource), report_.source) << #call;                          \
        const std::wstring wanted_ = (expectedDescription);                                        \
        EXPECT_EQ(::registry::test::Narrow(wanted_),                                               \
                  ::registry::test::Narrow(report_.description))                                   \
            << #call;                                                                              \
    } while (0)

// A failure that reports through the system's text: the message, " - ", and the system's words.
#define EXPECT_REGISTRY_SYSTEM_ERROR(call, code, expectedSource, message)                          \
    EXPECT_REGISTRY_ERROR(call, 0x80070000u | ((code)&0xFFFFu), expectedSource,                    \
                          ::registry::test::WithSystemText(message, code))

inline constexpr wchar_t kDatabaseSource[] = L"Registry.RegistryDatabase.2";
inline constexpr wchar_t kKeySource[] = L"Registry.RegistryKey.2";
inline constexpr wchar_t kValueSource[] = L"Registry.RegistryValue.2";

// COM for the test's thread and a private key HKCU\Software\TidewellTest\<suite>.<test>.
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
        const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
        std::string name = std::string(info->test_suite_name()) + "." + info->name();
        for (char& c : name)
            if (c == '/')
                c = '_';
        ASSERT_EQ(
            ERROR_SUCCESS,
            privateKey_.emplace(name, testsupport::PrivateRegistryKey::Start::Created).Created());
        testKey_ = privateKey_->Handle();
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryDatabase, nullptr,
                                                  CLSCTX_INPROC_SERVER, IID_IRegistryDatabase,
                                                  reinterpret_cast<void**>(&database_)));
    }

    void TearDown() override {
        database_.Reset();
        testKey_ = nullptr;
        privateKey_.reset();
        CoUninitialize();
    }

    std::wstring TestKeyPath() const { return privateKey_->Path(); }
    Bstr TestKeyName(const std::wstring& child = L"") const {
        return Bstr(child.empty() ? TestKeyPath() : TestKeyPath() + L"\\" + child);
    }

    // The test key opened through the library.
    ComPtr<IRegistryKey> OpenTestKey() {
        ComPtr<IRegistryKey> key;
        EXPECT_HRESULT_SUCCEEDED(database_->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(),
                                                    REG_ACCESS_BEST_AVAILABLE, &key));
        return key;
    }

    ComPtr<IRegistryValue> OpenTestValue(const wchar_t* name) {
        ComPtr<IRegistryKey> key = OpenTestKey();
        ComPtr<IRegistryValue> value;
        if (key) {
            EXPECT_HRESULT_SUCCEEDED(key->OpenValue(Bstr(name).Get(), &value));
        }
        return value;
    }

    std::optional<testsupport::PrivateRegistryKey> privateKey_;
    HKEY testKey_ = nullptr;
    ComPtr<IRegistryDatabase> database_;
};

} // namespace registry::test
