// The four entry points of the in-process server (exported by ordinal through Registry.def).
#include "com/Module.h"
#include "com/TypeLibrary.h"
#include "events/RegistryKeyWindow.h"
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
        // Our own objects only: the cached type information belongs to oleaut32, whose release
        // may free or load libraries, so it goes when DllCanUnloadNow agrees to the unload.
        registry::ReleaseClassFactories();
        // At process exit the system takes everything back itself.
        if (!reserved)
            registry::RegistryKeyWindow::UnregisterWindowClass();
        break;
    default:
        break;
    }
    return TRUE;
}

extern "C" HRESULT STDAPICALLTYPE DllCanUnloadNow() {
    // A change window kept for the next key of this thread would hold the module.
    registry::RegistryKeyWindow::CloseIdleWindowOfThisThread();
    if (registry::ModuleLockCount() != 0)
        return S_FALSE;
    // The component system unloads the library next; a later use loads the information again.
    registry::ReleaseTypeInfoCache();
    return S_OK;
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
