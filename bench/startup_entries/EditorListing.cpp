// The startup-entries editor listing a Run key of many entries: the editor on its real window,
// through the registered Registry.dll, with the Run keys redirected to private keys under
// HKCU\Software\TidewellBench. A second thread answers the caution box and watches the window.
// The figure is the time from the end of the editor's mandated progress wait (its first request
// for a key's values) to its list holding every entry.
//
//   EditorListing.exe [entries] [rounds]     (defaults 1000 and 3; scripts/wine.sh install first)

#include "BenchTiming.h"
#include "PrivateRegistryKey.h"
#include "app_wine/RealApp.h"
#include "startup_entries/StartupEntriesEditor.h"
#include "startup_entries/frmRegistry.h"
#include "startup_entries/win32/ComRegistryLibrary.h"
#include "startup_entries/win32/Win32InputBox.h"
#include "startup_entries/win32/Win32TextFiles.h"

#include "UiAutomation.h"

#include <windows.h>
#include <objbase.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

namespace {

using namespace std::chrono_literals;
using namespace tidewell;

// The two Run keys, moved below the benchmark's private key.
constexpr wchar_t kBenchKeyName[] = L"EditorListing";
const std::string kLocalKey =
    testsupport::Narrow(testsupport::PrivateRegistryKey::PathOf(kBenchKeyName) + L"\\Local");
const std::string kUserKey =
    testsupport::Narrow(testsupport::PrivateRegistryKey::PathOf(kBenchKeyName) + L"\\User");

using bench::Median;
using bench::NowMs;

// When the editor first asked a key for its values: the end of its progress wait, on the editor's
// own thread. Reset before each round.
std::atomic<double> firstValuesAt{-1};
// The time spent inside the library's Values() calls of a round.
std::atomic<double> valuesMs{0};

// A key of the real library that notes the first Values() call.
class TimedKey final : public RegistryKeyObject {
public:
    explicit TimedKey(std::unique_ptr<RegistryKeyObject> real) : real_(std::move(real)) {}
    std::int32_t ValueCount() override { return real_->ValueCount(); }
    std::vector<RegistryEntry> Values() override {
        double unset = -1;
        const double start = NowMs();
        firstValuesAt.compare_exchange_strong(unset, start);
        std::vector<RegistryEntry> values = real_->Values();
        valuesMs = valuesMs + (NowMs() - start);
        return values;
    }
    bool ValueExists(std::string_view name) override { return real_->ValueExists(name); }
    std::optional<RegistryData> ReadValue(std::string_view name) override {
        return real_->ReadValue(name);
    }
    void WriteString(std::string_view name, std::string_view data) override {
        real_->WriteString(name, data);
    }
    void DeleteValue(std::string_view name) override { real_->DeleteValue(name); }

private:
    std::unique_ptr<RegistryKeyObject> real_;
};

std::unique_ptr<RegistryKeyObject> Timed(std::unique_ptr<RegistryKeyObject> key) {
    return key ? std::make_unique<TimedKey>(std::move(key)) : nullptr;
}

// The real library, with both Run keys moved to the benchmark's keys.
class RedirectedRunKeys final : public RegistryLibrary {
public:
    explicit RedirectedRunKeys(RegistryLibrary& real) : real_(real) {}
    std::unique_ptr<RegistryDatabaseObject> CreateDatabase() override {
        return std::make_unique<Database>(real_.CreateDatabase());
    }

private:
    class Database final : public RegistryDatabaseObject {
    public:
        explicit Database(std::unique_ptr<RegistryDatabaseObject> real) : real_(std::move(real)) {}
        std::unique_ptr<RegistryKeyObject> OpenKey(RegistryRoot root, std::string_view) override {
            return Timed(real_->OpenKey(kHkeyCurrentUser, Path(root)));
        }
        std::unique_ptr<RegistryKeyObject> CreateKey(RegistryRoot root, std::string_view) override {
            return Timed(real_->CreateKey(kHkeyCurrentUser, Path(root)));
        }

    private:
        static const char* Path(RegistryRoot root) {
            return root == kHkeyLocalMachine ? kLocalKey.c_str() : kUserKey.c_str();
        }
        std::unique_ptr<RegistryDatabaseObject> real_;
    };

    RegistryLibrary& real_;
};

bool FillKeys(const testsupport::PrivateRegistryKey& benchKey, int entries) {
    bool ok = benchKey.CreateSubKey(L"Local") == ERROR_SUCCESS;
    for (int i = 0; i < entries && ok; ++i) {
        const std::wstring name = L"Startup program " + std::to_wstring(i);
        const std::wstring data =
            L"\"C:\\Program Files\\Vendor " + std::to_wstring(i) + L"\\app.exe\" /tray";
        ok = benchKey.SetString(L"Local", name, data) == ERROR_SUCCESS;
    }
    return ok && benchKey.CreateSubKey(L"User") == ERROR_SUCCESS;
}

struct Times {
    double answeredAt = -1; // the caution box answered
    double listedAt = -1;   // the list first answered with every entry in it
    std::string failure;
};

// What the user does: Yes to the caution box, then ask the editor's list for its count until it
// holds every entry, then "&Finished!". The editor's thread answers only between its own steps,
// so the first full count comes as soon as it is done listing.
void Watch(int entries, Times& times) {
    const DWORD pid = GetCurrentProcessId();
    const auto box = uidriver::WaitForMessageBox(L"CAUTION!", 20000ms, pid);
    if (!box) {
        times.failure = "no caution box";
        return;
    }
    times.answeredAt = NowMs();
    if (!uidriver::PressMessageBoxButton(*box, IDYES, 5000ms)) {
        times.failure = "the caution box stays";
        return;
    }
    const auto editor = uidriver::WaitForWindow(L"", L"Registry Entries", 10000ms, pid, true);
    if (!editor) {
        times.failure = "no editor window";
        return;
    }
    std::vector<HWND> lists;
    for (const auto& child : uidriver::Children(*editor))
        if (_wcsicmp(child.className.c_str(), L"ListBox") == 0)
            lists.push_back(child.handle);
    const double deadline = NowMs() + 60000;
    while (times.listedAt < 0 && NowMs() < deadline) {
        for (HWND list : lists)
            if (SendMessageW(list, LB_GETCOUNT, 0, 0) >= entries)
                times.listedAt = NowMs();
        Sleep(1);
    }
    if (times.listedAt < 0) {
        times.failure = "the list was not filled within 60 s";
        return;
    }
    if (const auto finished = uidriver::ChildByText(*editor, L"&Finished!"))
        uidriver::ClickControl(finished->handle);
}

int Run(int entries, int rounds) {
    const testsupport::PrivateRegistryKey benchKey(kBenchKeyName);
    if (!FillKeys(benchKey, entries)) {
        std::printf("cannot fill HKCU\\%s\n", kLocalKey.c_str());
        return 1;
    }
    test::RealApp<> app;
    if (!app.application.created)
        return 1;

    win32::ComRegistryLibrary comLibrary;
    RedirectedRunKeys redirected(comLibrary);
    RegistryDatabaseHolder holder(redirected, app.shared);
    win32::Win32InputBox inputBox;
    win32::Win32TextFiles files;
    StartupEntriesPorts entryPorts{holder, inputBox, files, [](std::string_view) {},
                                   [] { return false; }};
    ui::CheckBox chkCurrentUser{"chkCurrentUser", "", "", {}, 1};
    ui::CheckBox chkLocalMachine{"chkLocalMachine", "", "", {}, 1};
    app.application.forms.Opened(); // the main window stays open under the editor in the program

    std::vector<double> listing;
    std::vector<double> waits;
    for (int round = 0; round < rounds; ++round) {
        app.flags.maintenanceRunning = true;
        firstValuesAt = -1;
        valuesMs = 0;
        Times times;
        std::thread user([&] { Watch(entries, times); });
        try {
            ShowStartupEntriesEditor(app.ports, entryPorts, chkCurrentUser, chkLocalMachine);
        } catch (const std::exception& error) {
            times.failure = std::string("the editor threw ") + error.what();
        } catch (const ui::ProgramQuitting&) {
            times.failure = "the program quit";
        }
        user.join();
        if (times.failure.empty() && firstValuesAt < 0)
            times.failure = "the editor never read the keys' values";
        if (!times.failure.empty()) {
            std::printf("round %d: %s\n", round + 1, times.failure.c_str());
            app.application.forms.Closed();
            return 1;
        }
        const double wait = firstValuesAt - times.answeredAt;
        const double listed = times.listedAt - firstValuesAt;
        std::printf("round %d: progress wait %.0f ms, %d entries listed %.1f ms after it (%.1f ms "
                    "of it reading the values through the library)\n",
                    round + 1, wait, entries, listed, valuesMs.load());
        listing.push_back(listed);
        waits.push_back(wait);
    }
    app.application.forms.Closed();
    app.shared.ReleaseAll();
    std::printf("%d entries, %d rounds: listed a median %.1f ms after the progress wait (worst "
                "%.1f); the wait itself %.0f ms\n",
                entries, rounds, Median(listing), *std::max_element(listing.begin(), listing.end()),
                Median(waits));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    const int entries = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1000;
    const int rounds = argc > 2 ? std::max(1, std::atoi(argv[2])) : 3;
    if (FAILED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)))
        return 1;
    const int result = Run(entries, rounds);
    CoUninitialize();
    return result;
}
