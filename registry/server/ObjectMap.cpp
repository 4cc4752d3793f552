#include "server/ObjectMap.h"

#include "accessor/RegistryAccessor.h"
#include "win32common/ComPtr.h"
#include "com/Module.h"
#include "objects/RegistryDatabase.h"
#include "objects/RegistryKey.h"
#include "objects/RegistryValue.h"
#include "server/ClassFactory.h"
#include "server/ResourceIds.h"

#include "WindowsRegistry.h"

#include <array>

namespace registry {

namespace {

const ObjectMapEntry entries[] = {
    {CLSID_RegistryDatabase, CreateRegistryDatabase, IDR_REGISTRYDATABASE,
     L"Registry.RegistryDatabase.2", L"Registry.RegistryDatabase", L"RegistryDatabase Class"},
    {CLSID_RegistryKey, CreateRegistryKey, IDR_REGISTRYKEY, L"Registry.RegistryKey.2",
     L"Registry.RegistryKey", L"RegistryKey Class"},
    {CLSID_RegistryValue, CreateRegistryValue, IDR_REGISTRYVALUE, L"Registry.RegistryValue.2",
     L"Registry.RegistryValue", L"RegistryValue Class"},
    {CLSID_RegistryAccessor, CreateRegistryAccessor, IDR_REGISTRYACCESSOR,
     L"Registry.RegistryAccessor.2", L"Registry.RegistryAccessor", L"RegistryAccessor Class"},
};

constexpr size_t kEntryCount = sizeof(entries) / sizeof(entries[0]);
std::array<win32common::ComPtr<IClassFactory>, kEntryCount> factories{};

} // namespace

std::span<const ObjectMapEntry> ObjectMap() {
    return entries;
}

const ObjectMapEntry* FindObjectMapEntry(REFCLSID clsid) {
    for (const ObjectMapEntry& entry : entries)
        if (IsEqualCLSID(entry.clsid, clsid))
            return &entry;
    return nullptr;
}

const wchar_t* VersionedProgId(REFCLSID clsid) {
    const ObjectMapEntry* entry = FindObjectMapEntry(clsid);
    return entry ? entry->progId : nullptr;
}

HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    const ObjectMapEntry* entry = FindObjectMapEntry(clsid);
    if (!entry)
        return CLASS_E_CLASSNOTAVAILABLE;
    const size_t index = static_cast<size_t>(entry - entries);
    win32common::ComPtr<IClassFactory> factory;
    {
        ModuleGuard guard;
        if (!factories[index]) {
            const HRESULT hr = MakeCachedClassFactory(entry->create, &factories[index]);
            if (FAILED(hr))
                return hr;
        }
        factory = factories[index];
    }
    return factory->QueryInterface(iid, result);
}

void ReleaseClassFactories() {
    // Released outside the guard: a factory's end may call back into the module.
    std::array<win32common::ComPtr<IClassFactory>, kEntryCount> released{};
    {
        ModuleGuard guard;
        released.swap(factories);
    }
}

} // namespace registry
