#pragma once

#include <windows.h>

#include <string>

namespace registry {

// The module lock count: one for every live object of the library and every lock taken through
// a class factory. DllCanUnloadNow answers S_OK only at zero.
void LockModule();
void UnlockModule();
LONG ModuleLockCount();

// The DLL's own instance, recorded at process attach.
HINSTANCE ModuleInstance();
void SetModuleInstance(HINSTANCE instance);
// Full path of the module file ("" when it cannot be had).
std::wstring ModulePath();

// Guards the module's shared state (kept class factories, cached type information).
class ModuleGuard {
public:
    ModuleGuard();
    ~ModuleGuard();
    ModuleGuard(const ModuleGuard&) = delete;
    ModuleGuard& operator=(const ModuleGuard&) = delete;
};

} // namespace registry
