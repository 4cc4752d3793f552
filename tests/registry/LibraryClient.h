#pragma once

// What the collection, accessor and event tests share: an apartment, the library's objects made
// through the component system, a private test key, and message pumping with a deadline.

#include <windows.h>
#include <objbase.h>
#include <oaidl.h>
#include <ocidl.h>
#include <olectl.h>

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "PrivateRegistryKey.h"
#include "WindowsRegistry.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Variant.h"

namespace registry_test {

using win32common::Bstr;
using win32common::ComPtr;
using win32common::Variant;

class Apartment {
public:
    Apartment() : hr_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
    ~Apartment() {
        if (SUCCEEDED(hr_)) {
            CoUninitialize();
        }
    }
    HRESULT Result() const { return hr_; }

private:
    HRESULT hr_;
};

// HKCU\Software\TidewellTest\<name>, created; deleted before and after.
class PrivateKey : public testsupport::PrivateRegistryKey {
public:
    explicit PrivateKey(const std::wstring& name) : PrivateRegistryKey(name, Start::Created) {}
};

inline HRESULT NewDatabase(ComPtr<IRegistryDatabase>& database) {
    return CoCreateInstance(CLSID_RegistryDatabase, nullptr, CLSCTX_INPROC_SERVER,
                            IID_IRegistryDatabase, reinterpret_cast<void**>(&database));
}

// Opens HKCU\<path> through a fresh database.
inline HRESULT OpenTestKey(const std::wstring& path, ComPtr<IRegistryKey>& key) {
    ComPtr<IRegistryDatabase> database;
    HRESULT hr = NewDatabase(database);
    if (FAILED(hr)) {
        return hr;
    }
    Bstr subKey(path);
    return database->OpenKey(REG_HKEY_CURRENT_USER, subKey.Get(), REG_ACCESS_BEST_AVAILABLE, &key);
}

// Processes this thread's messages until done() holds or the time is up.
inline bool PumpUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (done()) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        // Wake now and then too: some conditions are not announced by a message.
        const ULONGLONG left = deadline - now;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(left < 20 ? left : 20),
                                  QS_ALLINPUT);
    }
}

inline void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// The library's own answer to DllCanUnloadNow (the module the component system loaded).
inline HRESULT LibraryCanUnloadNow() {
    HMODULE module = GetModuleHandleW(L"Registry.dll");
    if (!module) {
        return E_UNEXPECTED;
    }
    auto canUnload = reinterpret_cast<HRESULT(STDAPICALLTYPE*)()>(
        reinterpret_cast<void*>(GetProcAddress(module, "DllCanUnloadNow")));
    return canUnload ? canUnload() : E_UNEXPECTED;
}

// The error description left by the last failing call on this thread ("" when none).
inline std::wstring TakeErrorDescription() {
    ComPtr<IErrorInfo> info;
    if (GetErrorInfo(0, &info) != S_OK || !info) {
        return L"";
    }
    Bstr description;
    info->GetDescription(&description);
    return std::wstring(description.View());
}

inline std::string Narrow(const std::wstring& text) {
    return std::string(text.begin(), text.end());
}

} // namespace registry_test
