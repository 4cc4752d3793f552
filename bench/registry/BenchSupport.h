#pragma once

// What the registry benchmarks share: a timer, medians, and the library's database made through
// the component system (run `scripts/wine.sh install` first, which registers Registry.dll).

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "WindowsRegistry.h"
#include "win32common/ComPtr.h"

namespace bench {

inline double NowMs() {
    static const LONGLONG frequency = [] {
        LARGE_INTEGER f;
        QueryPerformanceFrequency(&f);
        return f.QuadPart;
    }();
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency);
}

inline double Median(std::vector<double> samples) {
    if (samples.empty()) {
        return 0.0;
    }
    std::sort(samples.begin(), samples.end());
    const size_t middle = samples.size() / 2;
    return samples.size() % 2 ? samples[middle] : (samples[middle - 1] + samples[middle]) / 2.0;
}

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
