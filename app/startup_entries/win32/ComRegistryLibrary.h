#pragma once

#include "startup_entries/RegistryObjects.h"

namespace tidewell::win32 {

// The registry object library through the component system: RegistryDatabase is made with
// CoCreateInstance by its class identifier and called through IRegistryDatabase, IRegistryKey,
// the value collection's enumerator and IRegistryValue. The calling thread must have entered an
// apartment (the program does so in WinMain).
class ComRegistryLibrary final : public RegistryLibrary {
public:
    std::unique_ptr<RegistryDatabaseObject> CreateDatabase() override;
};

} // namespace tidewell::win32
