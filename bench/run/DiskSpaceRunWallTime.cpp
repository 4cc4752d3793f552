// A disk-space run (temporary folder only) over a prepared folder, with the real windows, event
// loop, file system and pauses; message boxes are answered at once (No, Cancel or OK: never the
// restart, never the Recycle Bin). Prints the run's wall time divided by the pauses it must make
// (2 s per file and per folder, 5 s at the end).
//
//   scripts/wine.sh run build/windows/bench/run/DiskSpaceRunWallTime.exe [files] [folders]
#include "BenchTiming.h"
#include "app_wine/RealApp.h"
#include "controls/win32/Win32RegistryValueControl.h"
#include "main/frmMaintenance.h"
#include "ports/win32/Win32Process.h"
#include "run/MaintenanceRun.h"
#include "run/win32/Win32Files.h"
#include "run/win32/Win32ProcessPriority.h"
#include "run/win32/Win32Programs.h"
#include "startup_entries/win32/StartupEntriesAdapters.h"
#include "ui/Form.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using namespace tidewell;

class AnswerAtOnce final : public MessageBoxPort {
public:
    int Show(std::string_view, unsigned flags, std::string_view) override {
        switch (flags & 0xF) {
        case mb::kYesNo:
            return answer::kNo;
        case mb::kOkCancel:
            return answer::kCancel;
        default:
            return answer::kOk;
        }
    }
};

using bench::NowMs;

bool WriteSmallFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    WriteFile(file, "cache", 5, &written, nullptr);
    CloseHandle(file);
    return written == 5;
}

} // namespace

int main(int argc, char** argv) {
    const int files = argc > 1 ? std::atoi(argv[1]) : 5;
    const int folders = argc > 2 ? std::atoi(argv[2]) : 12;
    if (files < 0 || folders < 0 || files > 1000 || folders > 1000) {
        std::fprintf(stderr, "usage: DiskSpaceRunWallTime [files 0..1000] [folders 0..1000]\n");
        return 2;
    }

    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH + 1, temp);
    const std::wstring folder =
        std::wstring(temp) + L"TidewellBench-" + std::to_wstring(GetCurrentProcessId());
    if (!CreateDirectoryW(folder.c_str(), nullptr)) {
        std::fprintf(stderr, "cannot create the folder\n");
        return 1;
    }
    for (int i = 0; i < files; ++i) {
        WriteSmallFile(folder + L"\\file" + std::to_wstring(i) + L".tmp");
    }
    for (int i = 0; i < folders; ++i) {
        const std::wstring sub = folder + L"\\folder" + std::to_wstring(i);
        CreateDirectoryW(sub.c_str(), nullptr);
        for (int j = 0; j < 3; ++j) {
            WriteSmallFile(sub + L"\\item" + std::to_wstring(j) + L".tmp");
        }
    }
    // The run's temporary folder is this one.
    SetEnvironmentVariableW(L"TMP", folder.c_str());
    SetEnvironmentVariableW(L"TEMP", folder.c_str());

    // The settings are the prefix's real ones, as in the program.
    test::RealApp<AnswerAtOnce, win32::Win32RegistryValueControl, win32::Win32Process> app;
    if (!app.application.created) {
        return 1;
    }
    win32::Win32Programs programs;
    win32::Win32Files filesPort;
    win32::Win32ProcessPriority priority;
    win32::StartupEntriesAdapters entries(app.shared, [](std::string_view) {}); // never reached

    double wall = 0;
    {
        ui::Form<frmMaintenance> main(app.formsPort, app.ports);
        main->Form_Load();
        main->Show();
        MaintenanceRun run(*main, app.ports,
                           RunPorts{programs, filesPort, priority, entries.Ports()});
        main->optSpace.SetValue(true);
        main->chkTEMP.SetValue(1);
        const double start = NowMs();
        run.Start();
        wall = NowMs() - start;
    }
    const double mandated = 2000.0 * (files + folders) + 5000.0;
    std::printf("disk-space run over %d files and %d folders: wall %.1f ms, mandated pauses "
                "%.0f ms, ratio %.4f\n",
                files, folders, wall, mandated, wall / mandated);
    RemoveDirectoryW(folder.c_str()); // empty now, unless something could not be deleted
    return 0;
}
