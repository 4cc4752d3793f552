#include "com/TypeLibrary.h"

#include "win32common/ComPtr.h"
#include "com/Module.h"

#include <oleauto.h>

#include <vector>

namespace registry {

namespace {

struct CachedTypeInfo {
    IID iid;
    win32common::ComPtr<ITypeInfo> info;
};

// What is still cached when the module unloads is left to oleaut32: releasing it would run
// oleaut32's code under the loader lock. DllCanUnloadNow gives it back before that.
struct TypeInfoCache {
    std::vector<CachedTypeInfo> entries;
    TypeInfoCache() = default;
    TypeInfoCache(const TypeInfoCache&) = delete;
    TypeInfoCache& operator=(const TypeInfoCache&) = delete;
    ~TypeInfoCache() {
        for (CachedTypeInfo& entry : entries)
            entry.info.Detach();
    }
};

std::vector<CachedTypeInfo>& Cache() {
    static TypeInfoCache cache;
    return cache.entries;
}

} // namespace

HRESULT LoadModuleTypeLibrary(ITypeLib** result, std::wstring* path) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    try {
        std::wstring file = ModulePath();
        if (file.empty())
            return HRESULT_FROM_WIN32(GetLastError() ? GetLastError() : ERROR_MOD_NOT_FOUND);
        HRESULT hr = LoadTypeLib(file.c_str(), result);
        if (FAILED(hr)) {
            const size_t dot = file.find_last_of(L'.');
            const size_t slash = file.find_last_of(L"\\/");
            if (dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash))
                file.resize(dot);
            file += L".tlb";
            hr = LoadTypeLib(file.c_str(), result);
        }
        if (SUCCEEDED(hr) && path)
            *path = file;
        return hr;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

HRESULT GetInterfaceTypeInfo(REFIID iid, ITypeInfo** result) {
    if (!result)
        return E_POINTER;
    *result = nullptr;
    try {
        ModuleGuard guard;
        for (const CachedTypeInfo& entry : Cache()) {
            if (IsEqualIID(entry.iid, iid))
                return entry.info.CopyTo(result);
        }
        win32common::ComPtr<ITypeLib> library;
        HRESULT hr = LoadModuleTypeLibrary(&library);
        if (FAILED(hr))
            return hr;
        win32common::ComPtr<ITypeInfo> info;
        hr = library->GetTypeInfoOfGuid(iid, &info);
        if (FAILED(hr))
            return hr;
        Cache().push_back({iid, info});
        *result = info.Detach();
        return S_OK;
    } catch (const std::bad_alloc&) {
        return E_OUTOFMEMORY;
    }
}

void ReleaseTypeInfoCache() {
    // Released outside the guard: oleaut32 may free or load libraries meanwhile.
    std::vector<CachedTypeInfo> released;
    {
        ModuleGuard guard;
        released.swap(Cache());
    }
}

} // namespace registry
