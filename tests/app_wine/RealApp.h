#pragma once

#include "app_wine/adapters/WindowTestSupport.h"
#include "controls/win32/Win32LibraryHelperControl.h"
#include "controls/win32/Win32SystemHelperControl.h"
#include "fakes/FakePorts.h"
#include "fakes/FakeRegistryValueControl.h"
#include "help/win32/Win32HelpAdapters.h"
#include "ports/AppPorts.h"
#include "ports/SharedObjects.h"
#include "ports/win32/Win32Clock.h"
#include "ports/win32/Win32DesktopWindows.h"
#include "ports/win32/Win32EventLoop.h"
#include "ports/win32/Win32MessageBox.h"
#include "settings/RunFlags.h"
#include "ui/ModalMessageBox.h"
#include "ui/Runtime.h"
#include "ui/win32/Win32Forms.h"

#include <windows.h>
#include <commctrl.h>

namespace tidewell::test {

// The program's own Win32 adapters wired into AppPorts, as Program does, for tests and benchmarks
// that build real windows. What reaches outside the test is chosen: by default message boxes are
// real, the settings live in memory, no process is ended and the main window is the test's to
// build (forms.onShowMaintenance). Every box goes through the program's own modal wrapper.
template <class Boxes = win32::Win32MessageBox, class Registry = fakes::FakeRegistryValueControl,
          class Process = fakes::FakeProcess>
struct RealApp {
    RealApp() {
        // The status and progress bars of the forms, as the program registers them.
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
        InitCommonControlsEx(&controls);
    }
    RealApp(const RealApp&) = delete;
    RealApp& operator=(const RealApp&) = delete;
    ~RealApp() {
        // The last form's end posts WM_QUIT; none is left for whatever runs next on the thread.
        MSG message{};
        PeekMessageW(&message, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE);
    }

    TestApplication application;
    Registry registry;
    win32::Win32EventLoop events;
    win32::Win32SystemHelperControl system{events};
    win32::Win32LibraryHelperControl library;
    ui::Runtime runtime{events};
    Boxes messageBox;
    ui::ModalMessageBox modalBox{messageBox, runtime};
    win32::Win32Clock clock;
    Process process;
    win32::Win32DesktopWindows windows{application.window};
    fakes::FakeFormLoader forms;
    win32::Win32Forms formsPort{GetModuleHandleW(nullptr), application.hooks};
    RunFlags flags;
    help::win32::Win32HelpAdapters help{process};
    SharedObjects shared;
    AppPorts ports{registry, system, library,   modalBox, events, clock,        process,
                   windows,  forms,  formsPort, runtime,  flags,  help.appHelp, shared};
};

} // namespace tidewell::test
