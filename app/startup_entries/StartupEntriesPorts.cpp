#include "startup_entries/StartupEntriesPorts.h"

#include "ui/Runtime.h"

namespace tidewell {

RegistryDatabaseHolder::RegistryDatabaseHolder(RegistryLibrary& library, ui::Runtime& runtime)
    : library_(library) {
    runtime.OnReleaseShared([this] { Release(); });
}

RegistryDatabaseObject& RegistryDatabaseHolder::Get() {
    if (!database_) {
        database_ = library_.CreateDatabase();
    }
    return *database_;
}

} // namespace tidewell
