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

} // namespace bench
