// Reads N string values of one key through IRegistryValue::get_Value and through raw
// RegQueryValueExA, in the same run, and prints the ratio.
//
//   wine.sh run GetValueVsRegQuery.exe [N]      (N defaults to 10000; register Registry.dll first)

#include "PrivateRegistryKey.h"
#include "WindowsRegistry.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

const char kKeyName[] = "GetValueBenchmark";

double NowMs() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

double Median(std::vector<double> samples) {
    std::sort(samples.begin(), samples.end());
    return samples[samples.size() / 2];
}

std::string NameOf(int i) {
    return "value " + std::to_string(i);
}

// One pass of raw reads; returns the milliseconds taken, or a negative number on failure.
double RawPass(HKEY key, const std::vector<std::string>& names) {
    char buffer[256];
    const double start = NowMs();
    for (const std::string& name : names) {
        DWORD type = 0;
        DWORD size = sizeof(buffer);
        if (RegQueryValueExA(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer),
                             &size) != ERROR_SUCCESS ||
            type != REG_SZ)
            return -1;
    }
    return NowMs() - start;
}

double LibraryPass(const std::vector<win32common::ComPtr<IRegistryValue>>& values) {
    const double start = NowMs();
    for (const win32common::ComPtr<IRegistryValue>& value : values) {
        VARIANT data;
        VariantInit(&data);
        const HRESULT hr = value->get_Value(&data);
        const bool ok = SUCCEEDED(hr) && V_VT(&data) == VT_BSTR;
        VariantClear(&data);
        if (!ok)
            return -1;
    }
    return NowMs() - start;
}

int Run(int count) {
    const testsupport::PrivateRegistryKey privateKey(
        kKeyName, testsupport::PrivateRegistryKey::Start::Created);
    if (privateKey.Created() != ERROR_SUCCESS) {
        std::printf("cannot create HKCU\\%s\n", privateKey.NarrowPath().c_str());
        return 1;
    }
    const HKEY key = privateKey.Handle();
    std::vector<std::string> names;
    names.reserve(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        names.push_back(NameOf(i));
        const std::string data = "data of value number " + std::to_string(i);
        RegSetValueExA(key, names.back().c_str(), 0, REG_SZ,
                       reinterpret_cast<const BYTE*>(data.c_str()),
                       static_cast<DWORD>(data.size() + 1));
    }

    win32common::ComPtr<IRegistryDatabase> database;
    HRESULT hr = CoCreateInstance(CLSID_RegistryDatabase, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IRegistryDatabase, reinterpret_cast<void**>(&database));
    if (FAILED(hr)) {
        std::printf("cannot create Registry.RegistryDatabase (0x%08lx): register Registry.dll\n",
                    static_cast<unsigned long>(hr));
        return 1;
    }
    win32common::ComPtr<IRegistryKey> libraryKey;
    hr = database->OpenKey(REG_HKEY_CURRENT_USER, win32common::Bstr(privateKey.Path()).Get(),
                           REG_ACCESS_READ, &libraryKey);
    if (FAILED(hr)) {
        std::printf("OpenKey failed (0x%08lx)\n", static_cast<unsigned long>(hr));
        return 1;
    }
    // Opening a value does not touch the registry: the objects are made before timing.
    std::vector<win32common::ComPtr<IRegistryValue>> values;
    values.reserve(names.size());
    for (const std::string& name : names) {
        win32common::ComPtr<IRegistryValue> value;
        libraryKey->OpenValue(win32common::Bstr(std::wstring(name.begin(), name.end())).Get(),
                              &value);
        values.push_back(value);
    }

    // Warm both paths, then alternate them so neither profits from running second.
    RawPass(key, names);
    LibraryPass(values);
    std::vector<double> raw;
    std::vector<double> library;
    for (int round = 0; round < 9; ++round) {
        const double r = RawPass(key, names);
        const double l = LibraryPass(values);
        if (r < 0 || l < 0) {
            std::printf("a read failed in round %d\n", round);
            return 1;
        }
        raw.push_back(r);
        library.push_back(l);
    }
    const double rawMs = Median(raw);
    const double libraryMs = Median(library);
    std::printf("N = %d string values, median of %zu rounds\n", count, raw.size());
    std::printf("RegQueryValueExA:          %9.3f ms  (%7.3f us per read)\n", rawMs,
                rawMs * 1000.0 / count);
    std::printf("IRegistryValue::get_Value: %9.3f ms  (%7.3f us per read)\n", libraryMs,
                libraryMs * 1000.0 / count);
    std::printf("ratio get_Value / RegQueryValueExA: %.2f\n", libraryMs / rawMs);

    values.clear();
    libraryKey.Reset();
    database.Reset();
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int count = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10000;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    const int result = Run(count);
    CoUninitialize();
    return result;
}
