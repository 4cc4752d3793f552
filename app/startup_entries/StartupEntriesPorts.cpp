#include "startup_entries/StartupEntriesPorts.h"

#include "ports/SharedObjects.h"

namespace tidewell {

RegistryDatabaseHolder::RegistryDatabaseHolder(RegistryLibrary& library, SharedObjects& shared)
    : library_(library) {
    shared.OnRelease([this] { Release(); });
}

RegistryDatabaseObject& RegistryDatabaseHolder::Get() {
    if (!database_) {
        database_ = library_.CreateDatabase();
    }
    return *database_;
}

} // namespace tidewell
