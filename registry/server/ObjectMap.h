#pragma once

#include <windows.h>
#include <unknwn.h>

#include <span>

namespace registry {

using CreatorFunction = HRESULT (*)(IUnknown* outer, REFIID iid, void** result);

// One class the server hands out.
struct ObjectMapEntry {
    const CLSID& clsid;
    CreatorFunction create;
    WORD script; // its "REGISTRY" resource
    const wchar_t* progId;
    const wchar_t* versionIndependentProgId;
    const wchar_t* description;
};

std::span<const ObjectMapEntry> ObjectMap();
const ObjectMapEntry* FindObjectMapEntry(REFCLSID clsid);
// The source named in error information; nullptr for a class not in the map.
const wchar_t* VersionedProgId(REFCLSID clsid);

// The class factory of an entry, made on first request and kept until ReleaseClassFactories.
HRESULT GetClassObject(REFCLSID clsid, REFIID iid, void** result);
void ReleaseClassFactories();

} // namespace registry
