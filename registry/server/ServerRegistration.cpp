#include "server/ServerRegistration.h"

#include "win32common/ComPtr.h"
#include "win32common/Handles.h"
#include "win32common/Result.h"
#include "win32common/Text.h"
#include "com/Module.h"
#include "com/TypeLibrary.h"
#include "registrar/RegistrationScript.h"
#include "registrar/ScriptRunner.h"
#include "server/ObjectMap.h"
#include "server/Win32RegistryBackend.h"

#include <oleauto.h>
#include <olectl.h>

#include <cwchar>
#include <string>
#include <vector>

namespace registry {

namespace {

HRESULT LoadScriptText(WORD id, std::wstring& text) {
    HRSRC found = FindResourceW(ModuleInstance(), MAKEINTRESOURCEW(id), L"REGISTRY");
    if (!found)
        return win32common::HResultFromWin32(GetLastError());
    HGLOBAL loaded = LoadResource(ModuleInstance(), found);
    const DWORD size = SizeofResource(ModuleInstance(), found);
    const void* data = loaded ? LockResource(loaded) : nullptr;
    if (!data)
        return win32common::HResultFromWin32(GetLastError());
    const auto* bytes = static_cast<const unsigned char*>(data);
    if (size >= 2 && bytes[0] == 0xFF && bytes[1] == 0xFE) {
        text.assign(reinterpret_cast<const wchar_t*>(bytes + 2), (size - 2) / sizeof(wchar_t));
        return S_OK;
    }
    return win32common::FromAnsi(std::string_view(static_cast<const char*>(data), size), text);
}

// All scripts are parsed before anything is written, so one bad script writes nothing.
HRESULT ParseAllScripts(std::vector<registrar::Script>& scripts) {
    const std::wstring module = ModulePath();
    if (module.empty())
        return win32common::HResultFromWin32(GetLastError());
    const std::map<std::wstring, std::wstring> replacements = {{L"MODULE", module}};
    for (const ObjectMapEntry& entry : ObjectMap()) {
        std::wstring text;
        TIDEWELL_RETURN_IF_FAILED(LoadScriptText(entry.script, text));
        registrar::ParseResult parsed = registrar::ParseScript(text, replacements);
        if (!parsed.script)
            return SELFREG_E_CLASS;
        scripts.push_back(std::move(*parsed.script));
    }
    return S_OK;
}

HRESULT RegisterTypeLibrary() {
    win32common::ComPtr<ITypeLib> library;
    std::wstring path;
    TIDEWELL_RETURN_IF_FAILED(LoadModuleTypeLibrary(&library, &path));
    std::wstring directory = path;
    const size_t slash = directory.find_last_of(L"\\/");
    directory.resize(slash == std::wstring::npos ? 0 : slash);
    return RegisterTypeLib(library.Get(), const_cast<LPOLESTR>(path.c_str()),
                           directory.empty() ? nullptr : const_cast<LPOLESTR>(directory.c_str()));
}

bool TypeLibraryKeyExists(const TLIBATTR& attributes) {
    wchar_t guid[40];
    if (!StringFromGUID2(attributes.guid, guid, 40))
        return true;
    wchar_t path[96];
    swprintf(path, 96, L"TypeLib\\%ls\\%x.%x", guid, attributes.wMajorVerNum,
             attributes.wMinorVerNum);
    win32common::UniqueKey key;
    return RegOpenKeyExW(HKEY_CLASSES_ROOT, path, 0, KEY_READ, &key) == ERROR_SUCCESS;
}

// UnRegisterTypeLib is looked up at the moment of use: older systems lack it.
HRESULT UnregisterTypeLibrary() {
    win32common::ComPtr<ITypeLib> library;
    if (FAILED(LoadModuleTypeLibrary(&library)))
        return S_OK;
    HMODULE oleaut = GetModuleHandleW(L"oleaut32.dll");
    using UnRegisterFunction = HRESULT(WINAPI*)(REFGUID, WORD, WORD, LCID, SYSKIND);
    auto unregister = oleaut ? reinterpret_cast<UnRegisterFunction>(reinterpret_cast<void*>(
                                   GetProcAddress(oleaut, "UnRegisterTypeLib")))
                             : nullptr;
    if (!unregister)
        return S_OK;
    TLIBATTR* raw = nullptr;
    TIDEWELL_RETURN_IF_FAILED(library->GetLibAttr(&raw));
    auto release = [&library](TLIBATTR* held) { library->ReleaseTLibAttr(held); };
    const std::unique_ptr<TLIBATTR, decltype(release)> attributes(raw, release);
    const HRESULT hr = unregister(attributes->guid, attributes->wMajorVerNum,
                                  attributes->wMinorVerNum, attributes->lcid, attributes->syskind);
    const bool stillRegistered = TypeLibraryKeyExists(*attributes);
    // Removing a library that is no longer registered is not a failure of the removal.
    return FAILED(hr) && !stillRegistered ? S_OK : hr;
}

} // namespace

HRESULT RegisterServer() {
    try {
        std::vector<registrar::Script> scripts;
        TIDEWELL_RETURN_IF_FAILED(ParseAllScripts(scripts));
        Win32RegistryBackend backend;
        for (const registrar::Script& script : scripts) {
            const registrar::RunResult result = registrar::Register(script, backend);
            if (result.error != 0) {
                // Leave no partial registration behind.
                for (const registrar::Script& written : scripts)
                    registrar::Unregister(written, backend);
                return win32common::HResultFromWin32(static_cast<DWORD>(result.error));
            }
        }
        return RegisterTypeLibrary();
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

HRESULT UnregisterServer() {
    try {
        std::vector<registrar::Script> scripts;
        TIDEWELL_RETURN_IF_FAILED(ParseAllScripts(scripts));
        Win32RegistryBackend backend;
        HRESULT first = S_OK;
        for (const registrar::Script& script : scripts) {
            const registrar::RunResult result = registrar::Unregister(script, backend);
            if (result.error != 0 && SUCCEEDED(first))
                first = win32common::HResultFromWin32(static_cast<DWORD>(result.error));
        }
        const HRESULT typeLibrary = UnregisterTypeLibrary();
        return FAILED(first) ? first : typeLibrary;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    } catch (...) {
        return E_UNEXPECTED;
    }
}

} // namespace registry
