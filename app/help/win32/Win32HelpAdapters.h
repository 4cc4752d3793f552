#pragma once

#include "help/AppHelp.h"
#include "help/win32/Win32HelpMessageBox.h"
#include "help/win32/Win32HelpRegistry.h"
#include "help/win32/Win32HelpSystem.h"
#include "help/win32/Win32HtmlHelp.h"

namespace tidewell::help::win32 {

// The help class's adapters and the program-wide help object over them, for the program to own
// for its whole life (one instance, beside its other adapters).
class Win32HelpAdapters {
public:
    explicit Win32HelpAdapters(ProcessPort& process)
        : appHelp(HelpPorts{htmlHelp, messageBox, system, registry, process}) {}
    Win32HelpAdapters(const Win32HelpAdapters&) = delete;
    Win32HelpAdapters& operator=(const Win32HelpAdapters&) = delete;
    ~Win32HelpAdapters() = default;

    Win32HtmlHelp htmlHelp;
    Win32HelpMessageBox messageBox;
    Win32HelpSystem system;
    Win32HelpRegistry registry;
    AppHelp appHelp;
};

} // namespace tidewell::help::win32
