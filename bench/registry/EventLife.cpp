// A key's whole life with its change event, through the library against the raw calls, in one
// process with alternating rounds. One life: open the key, connect a sink (raw: an event and
// RegNotifyChangeKeyValue), write one value, wait until the change is delivered (the library's
// sink is called from the thread's message processing), disconnect, release.
//
//   EventLife.exe [lives per round] [rounds]        (defaults 100 and 9)

#include "BenchSupport.h"
#include "PrivateRegistryKey.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Handles.h"

#include <ocidl.h>

#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kKeyName[] = L"EventLife";
const std::wstring kKeyPath = testsupport::PrivateRegistryKey::PathOf(kKeyName);
constexpr DWORD kFilter = REG_NOTIFY_CHANGE_NAME | REG_NOTIFY_CHANGE_ATTRIBUTES |
                          REG_NOTIFY_CHANGE_LAST_SET | REG_NOTIFY_CHANGE_SECURITY;

// Every write stores new data: a write of the data already there is no change.
bool Write(HKEY key, int) {
    static unsigned long serial = 0;
    const std::wstring data = std::to_wstring(++serial);
    return RegSetValueExW(key, L"life", 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool LibraryLife(IRegistryDatabase* database, HKEY writer, bench::EventSink& sink, int n) {
    win32common::ComPtr<IRegistryKey> key;
    if (FAILED(database->OpenKey(REG_HKEY_CURRENT_USER, win32common::Bstr(kKeyPath).Get(),
                                 REG_ACCESS_BEST_AVAILABLE, &key))) {
        return false;
    }
    win32common::ComPtr<IConnectionPointContainer> container;
    win32common::ComPtr<IConnectionPoint> point;
    DWORD cookie = 0;
    if (FAILED(key->QueryInterface(IID_IConnectionPointContainer,
                                   reinterpret_cast<void**>(&container))) ||
        FAILED(container->FindConnectionPoint(DIID__IRegistryKeyEvents, &point)) ||
        FAILED(point->Advise(&sink, &cookie))) {
        return false;
    }
    const int before = sink.calls;
    const bool written = Write(writer, n);
    const bool heard = written && bench::PumpUntilHeard(sink, before, 5000);
    const HRESULT hr = point->Unadvise(cookie);
    if (!heard || FAILED(hr))
        std::printf("written %d heard %d unadvise 0x%08lx\n", written, heard,
                    static_cast<unsigned long>(hr));
    return SUCCEEDED(hr) && heard;
}

bool RawLife(HKEY writer, int n) {
    win32common::UniqueKey key;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kKeyPath.c_str(), 0, MAXIMUM_ALLOWED, &key) !=
        ERROR_SUCCESS) {
        return false;
    }
    win32common::UniqueKernelHandle event(CreateEventW(nullptr, FALSE, FALSE, nullptr));
    if (!event ||
        RegNotifyChangeKeyValue(key.get(), TRUE, kFilter, event.get(), TRUE) != ERROR_SUCCESS) {
        return false;
    }
    return Write(writer, n) && WaitForSingleObject(event.get(), 5000) == WAIT_OBJECT_0;
}

int Run(int lives, int rounds) {
    const testsupport::PrivateRegistryKey writer(kKeyName,
                                                 testsupport::PrivateRegistryKey::Start::Created);
    if (writer.Created() != ERROR_SUCCESS) {
        std::printf("cannot create the test key\n");
        return 1;
    }
    win32common::ComPtr<IRegistryDatabase> database = bench::NewDatabase();
    if (!database) {
        return 1;
    }
    bench::EventSink sink;
    // Warm both paths once.
    if (!LibraryLife(database.Get(), writer.Handle(), sink, 0)) {
        std::printf("the library's warm-up life failed\n");
        return 1;
    }
    if (!RawLife(writer.Handle(), 0)) {
        std::printf("the raw warm-up life failed\n");
        return 1;
    }
    std::vector<double> library;
    std::vector<double> raw;
    std::vector<double> ratios;
    for (int round = 0; round < rounds; ++round) {
        double start = bench::NowMs();
        for (int i = 0; i < lives; ++i) {
            if (!LibraryLife(database.Get(), writer.Handle(), sink, i)) {
                std::printf("round %d: a library life failed\n", round);
                return 1;
            }
        }
        const double libraryMs = (bench::NowMs() - start) / lives;
        start = bench::NowMs();
        for (int i = 0; i < lives; ++i) {
            if (!RawLife(writer.Handle(), i)) {
                std::printf("round %d: a raw life failed\n", round);
                return 1;
            }
        }
        const double rawMs = (bench::NowMs() - start) / lives;
        library.push_back(libraryMs);
        raw.push_back(rawMs);
        ratios.push_back(libraryMs / rawMs);
        std::printf("round %d: library %.3f ms per life, raw %.3f ms per life, ratio %.2f\n", round,
                    libraryMs, rawMs, libraryMs / rawMs);
    }
    std::printf("%d lives x %d rounds: library median %.3f ms per life, raw median %.3f ms per "
                "life, median ratio %.2f\n",
                lives, rounds, bench::Median(library), bench::Median(raw), bench::Median(ratios));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int lives = argc > 1 ? std::max(1, std::atoi(argv[1])) : 100;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 9;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    const int result = Run(lives, rounds);
    CoUninitialize();
    return result;
}
