#pragma once

#include "startup_entries/StartupEntriesPorts.h"
#include "startup_entries/win32/ComRegistryLibrary.h"
#include "startup_entries/win32/Win32InputBox.h"
#include "startup_entries/win32/Win32TextFiles.h"

#include <functional>
#include <string_view>

namespace tidewell::win32 {

// The editor's adapters and its long-lived database object, as the program owns them: one
// member of the program, whose Ports() go to ShowStartupEntriesEditor. The thread must be in a
// COM apartment before the first load.
class StartupEntriesAdapters {
public:
    StartupEntriesAdapters(SharedObjects& shared,
                           std::function<void(std::string_view keys)> sendKeys)
        : registryDatabase_(library_, shared), ports_{registryDatabase_, inputBox_, files_,
                                                      std::move(sendKeys), AnotherProgramActive} {}
    StartupEntriesAdapters(const StartupEntriesAdapters&) = delete;
    StartupEntriesAdapters& operator=(const StartupEntriesAdapters&) = delete;
    ~StartupEntriesAdapters() = default;

    const StartupEntriesPorts& Ports() const { return ports_; }

    // True when the foreground window belongs to another process.
    static bool AnotherProgramActive();

private:
    ComRegistryLibrary library_;
    Win32InputBox inputBox_;
    Win32TextFiles files_;
    RegistryDatabaseHolder registryDatabase_;
    StartupEntriesPorts ports_;
};

} // namespace tidewell::win32
