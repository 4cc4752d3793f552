// The four entry points of the in-process server (exported by ordinal through Registry.def).
#include "com/Module.h"
#include "com/TypeLibrary.h"
#include "server/ObjectMap.h"
#include "server/ServerRegistration.h"

#include <windows.h>

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        registry::SetModuleInstance(instance);
        DisableThreadLibraryCalls(instance);
        break;
    case DLL_PROCESS_DETACH:
        registry::ReleaseClassFactories();
        // At process exit oleaut32 may already be gone: only an unload releases its objects.
        if (!reserved)
            registry::ReleaseTypeInfoCache();
        break;
    default:
        break;
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    return registry::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}

extern "C" HRESULT STDAPICALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** result) {
    return registry::GetClassObject(clsid, iid, result);
}

extern "C" HRESULT STDAPICALLTYPE DllRegisterServer() {
    return registry::RegisterServer();
}

extern "C" HRESULT STDAPICALLTYPE DllUnregisterServer() {
    return registry::UnregisterServer();
}
