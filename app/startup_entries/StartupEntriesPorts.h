#pragma once

#include "startup_entries/InputBoxPort.h"
#include "startup_entries/RegistryBackup.h"
#include "startup_entries/RegistryObjects.h"
#include "startup_entries/TextFilePort.h"

#include <functional>
#include <memory>
#include <string_view>

namespace tidewell {

class SharedObjects;

// `registryDatabase`: one RegistryDatabase object, made on first use and kept for the life of the
// program, so every load of the editor reuses it. It is released with the program's other shared
// objects when the main window closes.
class RegistryDatabaseHolder {
public:
    RegistryDatabaseHolder(RegistryLibrary& library, SharedObjects& shared);
    RegistryDatabaseHolder(const RegistryDatabaseHolder&) = delete;
    RegistryDatabaseHolder& operator=(const RegistryDatabaseHolder&) = delete;
    ~RegistryDatabaseHolder() = default;

    // Throws RegistryLibraryError when the object cannot be made.
    RegistryDatabaseObject& Get();
    bool Held() const { return database_ != nullptr; }
    void Release() { database_.reset(); }

private:
    RegistryLibrary& library_;
    std::unique_ptr<RegistryDatabaseObject> database_;
};

// What the editor needs beyond AppPorts. One instance lives for the whole program.
struct StartupEntriesPorts {
    RegistryDatabaseHolder& registryDatabase;
    InputBoxPort& inputBox;
    TextFilePort& files;
    // Queues keys in send-keys notation ("{ENTER}") for whatever window is active, without
    // waiting for them to be handled.
    std::function<void(std::string_view keys)> sendKeys;
    // True when the active window belongs to another program (false with no active window).
    std::function<bool()> anotherProgramActive;
    BackupLocation backupLocation = DefaultBackupLocation();
};

} // namespace tidewell
