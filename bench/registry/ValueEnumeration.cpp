// Walking the values of one key and reading each one: through the library's value enumerator
// (For Each v In key.Values ... v.Value) against raw RegEnumValueA + RegQueryValueExA, in one
// run, alternating rounds.
//
//   ValueEnumeration.exe [values] [rounds]        (defaults 10000 and 5)

#include "BenchSupport.h"
#include "PrivateRegistryKey.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Handles.h"
#include "win32common/Variant.h"

#include <oaidl.h>

#include <cstdlib>
#include <string>

namespace {

// Milliseconds for one library walk; *read counts the values whose data came back.
double LibraryWalk(IRegistryDatabase* database, const std::wstring& keyPath, long* read) {
    *read = 0;
    const double start = bench::NowMs();
    win32common::Bstr path(keyPath);
    win32common::ComPtr<IRegistryKey> key;
    if (FAILED(database->OpenKey(REG_HKEY_CURRENT_USER, path.Get(), REG_ACCESS_BEST_AVAILABLE,
                                 &key))) {
        return -1;
    }
    win32common::Variant holder;
    if (FAILED(key->Values(&holder)) || holder.Type() != VT_DISPATCH) {
        return -1;
    }
    win32common::ComPtr<IRegistryValueCollection> values;
    if (FAILED(V_DISPATCH(holder.Get())
                   ->QueryInterface(IID_IRegistryValueCollection,
                                    reinterpret_cast<void**>(&values)))) {
        return -1;
    }
    win32common::ComPtr<IUnknown> unknown;
    win32common::ComPtr<IEnumVARIANT> enumerator;
    if (FAILED(values->get__NewEnum(&unknown)) ||
        FAILED(unknown->QueryInterface(IID_IEnumVARIANT, reinterpret_cast<void**>(&enumerator)))) {
        return -1;
    }
    for (;;) {
        win32common::Variant item;
        ULONG fetched = 0;
        if (enumerator->Next(1, &item, &fetched) != S_OK || fetched != 1) {
            break;
        }
        win32common::ComPtr<IRegistryValue> value;
        if (item.Type() != VT_DISPATCH ||
            FAILED(V_DISPATCH(item.Get())
                       ->QueryInterface(IID_IRegistryValue, reinterpret_cast<void**>(&value)))) {
            break;
        }
        win32common::Variant data;
        if (SUCCEEDED(value->get_Value(&data)) && data.Type() == VT_BSTR) {
            ++*read;
        }
    }
    return bench::NowMs() - start;
}

double RawWalk(const std::string& keyPath, long* read) {
    *read = 0;
    const double start = bench::NowMs();
    win32common::UniqueKey key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, keyPath.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return -1;
    }
    char name[261];
    BYTE data[64];
    for (DWORD index = 0;; ++index) {
        DWORD nameSize = sizeof(name);
        if (RegEnumValueA(key.get(), index, name, &nameSize, nullptr, nullptr, nullptr, nullptr) !=
            ERROR_SUCCESS) {
            break;
        }
        DWORD type = 0;
        DWORD dataSize = sizeof(data);
        if (RegQueryValueExA(key.get(), name, nullptr, &type, data, &dataSize) == ERROR_SUCCESS &&
            type == REG_SZ) {
            ++*read;
        }
    }
    return bench::NowMs() - start;
}

int Run(long count, int rounds) {
    const testsupport::PrivateRegistryKey key("ValueEnumeration",
                                              testsupport::PrivateRegistryKey::Start::Created);
    if (key.Created() != ERROR_SUCCESS) {
        std::printf("cannot create the test key\n");
        return 1;
    }
    for (long i = 0; i < count; ++i) {
        std::string name = "value" + std::to_string(i);
        std::string data = "data for value " + std::to_string(i);
        if (RegSetValueExA(key.Handle(), name.c_str(), 0, REG_SZ,
                           reinterpret_cast<const BYTE*>(data.c_str()),
                           static_cast<DWORD>(data.size() + 1)) != ERROR_SUCCESS) {
            std::printf("cannot write value %ld\n", i);
            return 1;
        }
    }

    win32common::ComPtr<IRegistryDatabase> database = bench::NewDatabase();
    if (!database) {
        return 1;
    }
    std::vector<double> library;
    std::vector<double> raw;
    std::vector<double> ratios;
    int rc = 0;
    for (int round = 0; round < rounds; ++round) {
        long libraryRead = 0;
        long rawRead = 0;
        const double libraryMs = LibraryWalk(database.Get(), key.Path(), &libraryRead);
        const double rawMs = RawWalk(key.NarrowPath(), &rawRead);
        if (libraryMs < 0 || rawMs < 0 || libraryRead != count || rawRead != count) {
            std::printf("round %d: walk failed (library read %ld, raw read %ld of %ld)\n", round,
                        libraryRead, rawRead, count);
            rc = 1;
            continue;
        }
        library.push_back(libraryMs);
        raw.push_back(rawMs);
        ratios.push_back(libraryMs / rawMs);
        std::printf("round %d: value enumerator %.1f ms, raw RegEnumValueA+RegQueryValueExA "
                    "%.1f ms, ratio %.2f\n",
                    round, libraryMs, rawMs, libraryMs / rawMs);
    }
    if (!ratios.empty()) {
        std::printf("%ld values, %zu rounds: value enumerator median %.1f ms, raw median %.1f ms, "
                    "median ratio %.2f\n",
                    count, ratios.size(), bench::Median(library), bench::Median(raw),
                    bench::Median(ratios));
    }
    return rc;
}

} // namespace

int main(int argc, char** argv) {
    long count = argc > 1 ? std::atol(argv[1]) : 10000;
    int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
    if (count <= 0) {
        count = 10000;
    }
    if (rounds <= 0) {
        rounds = 5;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    int rc = Run(count, rounds);
    CoUninitialize();
    return rc;
}
