#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace registry {

// Loads the library's type library from the module file itself and, failing that, from the file
// of the same name with the extension ".tlb". path receives the file that was loaded.
HRESULT LoadModuleTypeLibrary(ITypeLib** result, std::wstring* path = nullptr);

// The type information of one of our interfaces, loaded once and kept until the library agrees
// to unload.
HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** result);

// Drops the kept type information. Never under the loader lock: the release runs oleaut32 code.
void ReleaseTypeInfoCache();

} // namespace registry
