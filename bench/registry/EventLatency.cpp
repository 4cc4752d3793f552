// How long after another process writes a value under a watched key the key's sink hears
// OnRegistryChange. The program starts a copy of itself as the writer; both take their times
// from the same performance counter, handed over in shared memory.
//
//   EventLatency.exe [changes]        (default 100)

#include "BenchSupport.h"
#include "PrivateRegistryKey.h"
#include "win32common/Bstr.h"
#include "win32common/ComPtr.h"
#include "win32common/Handles.h"

#include <ocidl.h>

#include <atomic>
#include <cstdlib>
#include <string>

namespace {

constexpr wchar_t kKeyName[] = L"EventLatency";
const std::wstring kKeyPath = testsupport::PrivateRegistryKey::PathOf(kKeyName);
constexpr wchar_t kShared[] = L"TidewellBenchEventLatencyShared";
constexpr wchar_t kGo[] = L"TidewellBenchEventLatencyGo";
constexpr wchar_t kDone[] = L"TidewellBenchEventLatencyDone";

struct Shared {
    volatile double writtenAtMs;
    volatile LONG stop;
};

int Writer() {
    win32common::UniqueKernelHandle mapping(OpenFileMappingW(FILE_MAP_ALL_ACCESS, FALSE, kShared));
    win32common::UniqueKernelHandle go(OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, kGo));
    win32common::UniqueKernelHandle done(
        OpenEventW(SYNCHRONIZE | EVENT_MODIFY_STATE, FALSE, kDone));
    if (!mapping || !go || !done) {
        return 2;
    }
    auto* shared = static_cast<Shared*>(
        MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)));
    if (!shared) {
        return 3;
    }
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kKeyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                        &key, nullptr) != ERROR_SUCCESS) {
        UnmapViewOfFile(shared);
        return 4;
    }
    win32common::UniqueKey owned(key);
    for (DWORD n = 0;; ++n) {
        if (WaitForSingleObject(go.get(), 60000) != WAIT_OBJECT_0 || shared->stop) {
            break;
        }
        shared->writtenAtMs = bench::NowMs();
        RegSetValueExW(key, L"counter", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&n), sizeof(n));
        SetEvent(done.get());
    }
    UnmapViewOfFile(shared);
    return 0;
}

int Measure(int changes) {
    // Made by the library's CreateKey below, written by the other process.
    const testsupport::PrivateRegistryKey privateKey(kKeyName);
    win32common::UniqueKernelHandle mapping(CreateFileMappingW(
        INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(Shared), kShared));
    win32common::UniqueKernelHandle go(CreateEventW(nullptr, FALSE, FALSE, kGo));
    win32common::UniqueKernelHandle done(CreateEventW(nullptr, FALSE, FALSE, kDone));
    if (!mapping || !go || !done) {
        std::printf("cannot create the shared objects (%lu)\n", GetLastError());
        return 1;
    }
    auto* shared = static_cast<Shared*>(
        MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, sizeof(Shared)));
    if (!shared) {
        return 1;
    }
    shared->stop = 0;

    win32common::ComPtr<IRegistryDatabase> database = bench::NewDatabase();
    if (!database) {
        UnmapViewOfFile(shared);
        return 1;
    }
    win32common::ComPtr<IRegistryKey> key;
    win32common::Bstr path(kKeyPath);
    HRESULT hr =
        database->CreateKey(REG_HKEY_CURRENT_USER, path.Get(), REG_CREATE_OPTION_NON_VOLATILE,
                            REG_ACCESS_BEST_AVAILABLE, &key);
    win32common::ComPtr<IConnectionPointContainer> container;
    win32common::ComPtr<IConnectionPoint> point;
    if (SUCCEEDED(hr)) {
        hr = key->QueryInterface(IID_IConnectionPointContainer,
                                 reinterpret_cast<void**>(&container));
    }
    if (SUCCEEDED(hr)) {
        hr = container->FindConnectionPoint(DIID__IRegistryKeyEvents, &point);
    }
    bench::EventSink sink;
    DWORD cookie = 0;
    if (SUCCEEDED(hr)) {
        hr = point->Advise(&sink, &cookie);
    }
    if (FAILED(hr)) {
        std::printf("cannot connect to the key's event (0x%08lx)\n",
                    static_cast<unsigned long>(hr));
        UnmapViewOfFile(shared);
        return 1;
    }

    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring command = L"\"" + std::wstring(self) + L"\" --writer";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("cannot start the writer (%lu)\n", GetLastError());
        point->Unadvise(cookie);
        UnmapViewOfFile(shared);
        return 1;
    }
    win32common::UniqueKernelHandle writer(process.hProcess);
    win32common::UniqueKernelHandle writerThread(process.hThread);

    std::vector<double> latencies;
    int missed = 0;
    for (int i = 0; i < changes; ++i) {
        const int seen = sink.calls;
        SetEvent(go.get());
        if (WaitForSingleObject(done.get(), 10000) != WAIT_OBJECT_0) {
            std::printf("the writer stopped answering\n");
            break;
        }
        if (!bench::PumpUntilHeard(sink, seen, 5000)) {
            ++missed;
            continue;
        }
        latencies.push_back(sink.heardAtMs - shared->writtenAtMs);
        // Let a late second event of the same write arrive before the next write.
        const double settle = bench::NowMs() + 5.0;
        while (bench::NowMs() < settle) {
            bench::PumpUntilHeard(sink, sink.calls, 1);
        }
    }
    shared->stop = 1;
    SetEvent(go.get());
    WaitForSingleObject(writer.get(), 10000);
    point->Unadvise(cookie);
    UnmapViewOfFile(shared);

    if (latencies.empty()) {
        std::printf("no event heard in %d changes\n", changes);
        return 1;
    }
    double worst = *std::max_element(latencies.begin(), latencies.end());
    double best = *std::min_element(latencies.begin(), latencies.end());
    std::printf("event latency over %zu changes by another process: median %.3f ms, worst %.3f "
                "ms, best %.3f ms, missed %d\n",
                latencies.size(), bench::Median(latencies), worst, best, missed);
    return missed ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc > 1 && std::string(argv[1]) == "--writer") {
        return Writer();
    }
    int changes = argc > 1 ? std::atoi(argv[1]) : 100;
    if (changes <= 0) {
        changes = 100;
    }
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {
        return 1;
    }
    int rc = Measure(changes);
    CoUninitialize();
    return rc;
}
