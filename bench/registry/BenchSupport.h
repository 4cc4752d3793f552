#pragma once

// What the registry benchmarks share: the timer and medians of BenchTiming.h, and the library's
// database made through the component system (run `scripts/wine.sh install` first, which
// registers Registry.dll).

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "BenchTiming.h"
#include "WindowsRegistry.h"
#include "win32common/ComPtr.h"

namespace bench {

inline win32common::ComPtr<IRegistryDatabase> NewDatabase() {
    win32common::ComPtr<IRegistryDatabase> database;
    HRESULT hr = CoCreateInstance(CLSID_RegistryDatabase, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IRegistryDatabase, reinterpret_cast<void**>(&database));
    if (FAILED(hr)) {
        std::printf("cannot create Registry.RegistryDatabase (0x%08lx): register Registry.dll "
                    "first (scripts/wine.sh install)\n",
                    static_cast<unsigned long>(hr));
        return {};
    }
    return database;
}

// A change-event sink that counts the events it hears and notes when it heard the last one.
class EventSink final : public IDispatch {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            IsEqualIID(iid, DIID__IRegistryKeyEvents)) {
            *result = static_cast<IDispatch*>(this);
            return S_OK;
        }
        *result = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*,
                                     EXCEPINFO*, UINT*) override {
        if (id == 1) {
            heardAtMs = bench::NowMs();
            ++calls;
        }
        return S_OK;
    }
    double heardAtMs = 0;
    int calls = 0;
};

// Processes messages until the sink has heard more than `seen` events, or the time is up.
inline bool PumpUntilHeard(const EventSink& sink, int seen, DWORD timeoutMs) {
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
        if (sink.calls > seen) {
            return true;
        }
        const ULONGLONG now = GetTickCount64();
        if (now >= deadline) {
            return false;
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                  QS_ALLINPUT);
    }
}

} // namespace bench
