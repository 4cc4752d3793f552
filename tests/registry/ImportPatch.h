#pragma once

// Replaces one function a loaded module imports by name, for the life of the object, so that a
// test sees the library's calls to the system at the moment they are made.

#include <windows.h>

#include <cstring>
#include <cwchar>

namespace registry_test {

class ImportPatch {
public:
    ImportPatch(HMODULE module, const char* dll, const char* function, void* replacement) {
        slot_ = FindSlot(module, dll, function);
        if (slot_) {
            original_ = *slot_;
            applied_ = Write(replacement);
        }
    }
    ~ImportPatch() {
        if (applied_) {
            Write(original_);
        }
    }
    ImportPatch(const ImportPatch&) = delete;
    ImportPatch& operator=(const ImportPatch&) = delete;

    bool Applied() const { return applied_; }
    void* Original() const { return original_; }

private:
    static void** FindSlot(HMODULE module, const char* dll, const char* function) {
        if (!module) {
            return nullptr;
        }
        auto* base = reinterpret_cast<BYTE*>(module);
        auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
        auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
        const IMAGE_DATA_DIRECTORY& directory =
            nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
        if (!directory.VirtualAddress) {
            return nullptr;
        }
        for (auto* entry =
                 reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + directory.VirtualAddress);
             entry->Name; ++entry) {
            if (lstrcmpiA(reinterpret_cast<const char*>(base + entry->Name), dll) != 0 ||
                !entry->OriginalFirstThunk) {
                continue;
            }
            auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->OriginalFirstThunk);
            auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + entry->FirstThunk);
            for (; names->u1.AddressOfData; ++names, ++slots) {
                if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) {
                    continue;
                }
                auto* byName =
                    reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
                if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0) {
                    return reinterpret_cast<void**>(&slots->u1.Function);
                }
            }
        }
        return nullptr;
    }

    bool Write(void* target) {
        DWORD protection = 0;
        if (!VirtualProtect(slot_, sizeof(*slot_), PAGE_READWRITE, &protection)) {
            return false;
        }
        *slot_ = target;
        VirtualProtect(slot_, sizeof(*slot_), protection, &protection);
        return true;
    }

    void** slot_ = nullptr;
    void* original_ = nullptr;
    bool applied_ = false;
};

// While it lives, the library's RegOpenKeyExW refuses (ERROR_FILE_NOT_FOUND) every key whose name
// ends in kRefusedKeyName, as the system refuses a key the caller may not open.
class RefusedKeyOpen {
public:
    static constexpr const wchar_t* kRefusedKeyName = L"refused";

    RefusedKeyOpen()
        : patch_(GetModuleHandleW(L"Registry.dll"), "advapi32.dll", "RegOpenKeyExW",
                 reinterpret_cast<void*>(&Refusing)) {
        original_ = reinterpret_cast<Open>(patch_.Original());
    }
    bool Applied() const { return patch_.Applied(); }

private:
    using Open = LSTATUS(WINAPI*)(HKEY, LPCWSTR, DWORD, REGSAM, PHKEY);
    static LSTATUS WINAPI Refusing(HKEY key, LPCWSTR name, DWORD options, REGSAM access,
                                   PHKEY result) {
        const size_t length = name ? std::wcslen(name) : 0;
        const size_t suffix = std::wcslen(kRefusedKeyName);
        if (length >= suffix && std::wcscmp(name + length - suffix, kRefusedKeyName) == 0)
            return ERROR_FILE_NOT_FOUND;
        return original_(key, name, options, access, result);
    }
    static inline Open original_ = nullptr;
    ImportPatch patch_;
};

} // namespace registry_test
