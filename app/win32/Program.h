#pragma once

#include "controls/win32/Win32LibraryHelperControl.h"
#include "controls/win32/Win32RegistryValueControl.h"
#include "controls/win32/Win32SystemHelperControl.h"
#include "help/win32/Win32HelpAdapters.h"
#include "settings/RunFlags.h"
#include "main/frmMaintenance.h"
#include "ports/AppPorts.h"
#include "ports/FormLoader.h"
#include "ports/SharedObjects.h"
#include "ports/win32/Win32Clock.h"
#include "ports/win32/Win32DesktopWindows.h"
#include "ports/win32/Win32Elevation.h"
#include "ports/win32/Win32EventLoop.h"
#include "ports/win32/Win32MessageBox.h"
#include "ports/win32/Win32Process.h"
#include "run/MaintenanceRun.h"
#include "run/win32/Win32Files.h"
#include "run/win32/Win32ProcessPriority.h"
#include "run/win32/Win32Programs.h"
#include "startup/frmSharewareIntro.h"
#include "startup_entries/win32/StartupEntriesAdapters.h"
#include "ui/Form.h"
#include "ui/ModalMessageBox.h"
#include "ui/Runtime.h"
#include "ui/win32/Win32FormView.h"
#include "ui/win32/Win32Forms.h"
#include "win32/ApplicationWindow.h"

#include <optional>

namespace tidewell::win32 {

// The whole program on Win32: the hidden application window, the ports and outside controls,
// the shared runtime, and the two long-lived windows. Run is the process entry: the start-up
// window's load, then the message loop.
class Program final : private FormLoader {
public:
    explicit Program(HINSTANCE instance);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;
    ~Program() override;

    int Run();

private:
    void ShowMaintenanceWindow() override;

    HINSTANCE instance_;
    ApplicationWindow applicationWindow_;
    OpenForms openForms_;
    Win32Forms formsPort_;
    Win32RegistryValueControl registry_;
    Win32EventLoop events_;
    ui::Runtime runtime_;
    Win32SystemHelperControl system_;
    Win32LibraryHelperControl library_;
    Win32MessageBox systemMessageBox_;
    ui::ModalMessageBox messageBox_;
    Win32Clock clock_;
    Win32Process process_;
    Win32DesktopWindows windows_;
    Win32Elevation elevation_;
    RunFlags flags_;
    help::win32::Win32HelpAdapters help_;
    SharedObjects shared_; // released when the main window closes
    AppPorts ports_;
    Win32Programs programs_;
    Win32Files files_;
    Win32ProcessPriority priority_;
    StartupEntriesAdapters entries_; // the editor's adapters and its long-lived database object
    // Declared last: the forms go first, while everything they use still exists.
    std::optional<ui::Form<frmSharewareIntro>> intro_;
    std::optional<ui::Form<frmMaintenance>> main_;
    std::optional<MaintenanceRun> run_; // the Start button's run; goes before the main window
};

} // namespace tidewell::win32
