#pragma once

#include "controls/win32/Win32LibraryHelperControl.h"
#include "controls/win32/Win32RegistryValueControl.h"
#include "controls/win32/Win32SystemHelperControl.h"
#include "main/win32/MaintenanceWindow.h"
#include "ports/AppPorts.h"
#include "ports/win32/Win32Clock.h"
#include "ports/win32/Win32DesktopWindows.h"
#include "ports/win32/Win32EventLoop.h"
#include "ports/win32/Win32MessageBox.h"
#include "ports/win32/Win32Process.h"
#include "startup/win32/SharewareIntroWindow.h"
#include "ui/win32/Win32FormView.h"
#include "win32/ApplicationWindow.h"

namespace tidewell::win32 {

// The whole program on Win32: the hidden application window, the ports and outside controls,
// and the windows. Run is the process entry: the start-up window's load, then the message loop.
class Program {
public:
    explicit Program(HINSTANCE instance);
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    int Run();

private:
    HINSTANCE instance_;
    ApplicationWindow applicationWindow_;
    OpenForms openForms_;
    Win32RegistryValueControl registry_;
    Win32EventLoop events_;
    Win32SystemHelperControl system_;
    Win32LibraryHelperControl library_;
    Win32MessageBox messageBox_;
    Win32Clock clock_;
    Win32Process process_;
    Win32DesktopWindows windows_;
    MaintenanceWindow maintenanceWindow_;
    AppPorts ports_;
    SharewareIntroWindow introWindow_;
};

} // namespace tidewell::win32
