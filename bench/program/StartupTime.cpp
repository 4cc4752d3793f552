// Starts the installed program several times and measures, per start: when the start-up window
// shows (its first tick), how long after the seventh tick the main window shows, the same beyond
// seven seconds from the process start, and the process's working set (peak and current) once
// the main window has been idle for two seconds. Each start is then closed through the close
// confirmation.
//
// The windows are watched without sending them a message (the program's thread is the one being
// measured: answering a poll every few milliseconds kept it from sleeping), except the start-up
// window's progress bar in the wait's last two seconds: the seventh tick is the first poll that
// reads the bar at 7 (counted from when that poll was sent).
//
//   StartupTime.exe [starts]        (default 5; scripts/wine.sh install first)
//
// The settings key is made beforehand with NextRun "NONE" and StartInTray "No", so every start
// is a later start that goes straight to the main window.

#include "BenchTiming.h"
#include "PrivateRegistryKey.h"
#include "UiAutomation.h"

#include <windows.h>
#include <commctrl.h>
#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr wchar_t kProgram[] = L"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe";
constexpr wchar_t kFormClass[] = L"TidewellForm";
constexpr wchar_t kMainTitlePrefix[] = L"Tidewell!\u2122 Version";
constexpr wchar_t kSettingsKey[] = L"SOFTWARE\\Vellmoor\\Tidewell!";
constexpr double kProgressWaitMs = 7 * 1000.0;
constexpr double kTickMs = 1000.0;
constexpr DWORD kPollMs = 5;

using bench::Median;
using bench::NowMs;

bool PrepareSettings() {
    bool ok = true;
    for (const auto& [name, data] :
         {std::pair{L"NextRun", L"NONE"}, std::pair{L"StartInTray", L"No"}})
        ok = ok && testsupport::SetStringValue(HKEY_LOCAL_MACHINE, kSettingsKey, name, data) ==
                       ERROR_SUCCESS;
    return ok;
}

struct FormWindow {
    HWND handle = nullptr;
    bool visible = false;
    bool main = false;
};

BOOL CALLBACK CollectForm(HWND window, LPARAM state) {
    auto& [processId, forms] = *reinterpret_cast<std::pair<DWORD, std::vector<FormWindow>>*>(state);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    if (owner != processId || GetClassNameW(window, name, 64) == 0 ||
        std::wcscmp(name, kFormClass) != 0)
        return TRUE;
    // For another process's window this reads the stored text; it sends no WM_GETTEXT.
    wchar_t text[128] = {};
    GetWindowTextW(window, text, 128);
    forms.push_back({window, IsWindowVisible(window) != FALSE,
                     std::wcsncmp(text, kMainTitlePrefix, std::wcslen(kMainTitlePrefix)) == 0});
    return TRUE;
}

std::vector<FormWindow> Forms(DWORD processId) {
    std::pair<DWORD, std::vector<FormWindow>> state{processId, {}};
    EnumWindows(&CollectForm, reinterpret_cast<LPARAM>(&state));
    return state.second;
}

// The progress bar's position, or -1 when the window does not answer.
int ProgressPosition(HWND form) {
    HWND bar = FindWindowExW(form, nullptr, L"msctls_progress32", nullptr);
    DWORD_PTR position = 0;
    if (bar == nullptr ||
        !SendMessageTimeoutW(bar, PBM_GETPOS, 0, 0, SMTO_ABORTIFHUNG, 200, &position))
        return -1;
    return static_cast<int>(position);
}

struct Start {
    double introShownMs = -1;
    double seventhTickMs = -1;
    double mainShownMs = -1;
    SIZE_T peakWorkingSet = 0;
    SIZE_T workingSet = 0;
};

// Closes every form of the process and answers the close confirmation; ends it if that fails.
void Close(const PROCESS_INFORMATION& process) {
    for (const auto& window : uidriver::TopLevelWindows(process.dwProcessId))
        if (window.className == kFormClass)
            PostMessageW(window.handle, WM_CLOSE, 0, 0);
    for (const wchar_t* title : {L"Close Tidewell?", L"ARE YOU SURE?"})
        if (const auto box = uidriver::WaitForMessageBox(title, 1000ms, process.dwProcessId))
            uidriver::PressMessageBoxButton(*box, IDYES, 3000ms);
    if (WaitForSingleObject(process.hProcess, 5000) == WAIT_TIMEOUT) {
        std::printf("  (the program did not end after the close confirmation: ended)\n");
        TerminateProcess(process.hProcess, 99);
        WaitForSingleObject(process.hProcess, 5000);
    }
}

std::optional<Start> OneStart() {
    std::wstring commandLine = L"\"" + std::wstring(kProgram) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    const double begin = NowMs();
    if (!CreateProcessW(kProgram, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        std::printf("cannot start %ls (error %lu): run scripts/wine.sh install first\n", kProgram,
                    GetLastError());
        return std::nullopt;
    }
    CloseHandle(process.hThread);

    Start start;
    const double deadline = begin + 30000;
    while (start.mainShownMs < 0 && NowMs() < deadline &&
           WaitForSingleObject(process.hProcess, kPollMs) == WAIT_TIMEOUT) {
        for (const auto& window : Forms(process.dwProcessId)) {
            if (!window.visible)
                continue;
            const double at = NowMs() - begin;
            if (window.main) {
                start.mainShownMs = at;
            } else if (start.introShownMs < 0) {
                start.introShownMs = at;
            } else if (start.seventhTickMs < 0 &&
                       at > start.introShownMs + kProgressWaitMs - 3 * kTickMs &&
                       ProgressPosition(window.handle) >= 7) {
                start.seventhTickMs = at;
            }
        }
    }
    if (start.mainShownMs >= 0) {
        Sleep(2000);
        PROCESS_MEMORY_COUNTERS counters{};
        counters.cb = sizeof(counters);
        if (GetProcessMemoryInfo(process.hProcess, &counters, sizeof(counters))) {
            start.peakWorkingSet = counters.PeakWorkingSetSize;
            start.workingSet = counters.WorkingSetSize;
        }
    }
    Close(process);
    CloseHandle(process.hProcess);
    if (start.mainShownMs < 0) {
        std::printf("the main window did not show within 30 s\n");
        return std::nullopt;
    }
    return start;
}

double MiB(SIZE_T bytes) {
    return static_cast<double>(bytes) / (1024.0 * 1024.0);
}

} // namespace

int main(int argc, char** argv) {
    const int starts = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    if (!PrepareSettings()) {
        std::printf("cannot write HKLM\\%ls\n", kSettingsKey);
        return 1;
    }
    std::vector<double> intro;
    std::vector<double> afterTick;
    std::vector<double> beyond;
    std::vector<double> peak;
    std::vector<double> current;
    for (int i = 0; i < starts; ++i) {
        const auto start = OneStart();
        if (!start)
            return 1;
        // Without a reading (the bar never answered 7 in time): the first tick plus six seconds.
        const double seventhTick = start->seventhTickMs >= 0
                                       ? start->seventhTickMs
                                       : start->introShownMs + kProgressWaitMs - kTickMs;
        std::printf("start %d: start-up window shown at %.0f ms, main window at %.0f ms (%.0f ms "
                    "after the seventh tick, %.0f ms beyond 7 s from the start), peak working set "
                    "%.1f MiB\n",
                    i + 1, start->introShownMs, start->mainShownMs,
                    start->mainShownMs - seventhTick, start->mainShownMs - kProgressWaitMs,
                    MiB(start->peakWorkingSet));
        intro.push_back(start->introShownMs);
        afterTick.push_back(start->mainShownMs - seventhTick);
        beyond.push_back(start->mainShownMs - kProgressWaitMs);
        peak.push_back(MiB(start->peakWorkingSet));
        current.push_back(MiB(start->workingSet));
    }
    std::printf("%d starts, medians: start-up window shown at %.0f ms; main window %.0f ms after "
                "the seventh tick (best %.0f, worst %.0f), %.0f ms beyond 7 s from the start (best "
                "%.0f, worst %.0f)\n",
                starts, Median(intro), Median(afterTick),
                *std::min_element(afterTick.begin(), afterTick.end()),
                *std::max_element(afterTick.begin(), afterTick.end()), Median(beyond),
                *std::min_element(beyond.begin(), beyond.end()),
                *std::max_element(beyond.begin(), beyond.end()));
    std::printf("working set with the main window idle: peak %.1f MiB (worst %.1f), current %.1f "
                "MiB\n",
                Median(peak), *std::max_element(peak.begin(), peak.end()), Median(current));
    return 0;
}
