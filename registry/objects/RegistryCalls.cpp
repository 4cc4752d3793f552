#include "objects/RegistryCalls.h"

#include "win32common/Text.h"

#include <atomic>
#include <string>
#include <utility>

namespace registry {

namespace {

// A wide argument of an ANSI call: converted, a null pointer staying null.
class AnsiArgument {
public:
    explicit AnsiArgument(const wchar_t* text) : isNull_(text == nullptr) {
        if (text)
            converted_ = SUCCEEDED(win32common::ToAnsi(std::wstring_view(text), text_));
    }
    bool Converted() const { return converted_; }
    const char* Get() const { return isNull_ ? nullptr : text_.c_str(); }

private:
    bool isNull_;
    std::string text_;
    bool converted_ = true;
};

std::atomic<unsigned long> writes{0};

// Counted before the call: a reader that compares afterwards never misses it.
void NoteWrite() {
    writes.fetch_add(1, std::memory_order_relaxed);
}

bool AskNtFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&version))
        return false;
#pragma GCC diagnostic pop
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// Calls wideCall on the NT family, else ansiCall with every argument converted.
template <typename Wide, typename Ansi, typename... Texts>
LONG Dispatch(Wide&& wideCall, Ansi&& ansiCall, const Texts*... texts) {
    if (IsNtFamily())
        return wideCall(texts...);
    try {
        const AnsiArgument converted[] = {AnsiArgument(texts)...};
        for (const AnsiArgument& argument : converted)
            if (!argument.Converted())
                return ERROR_OUTOFMEMORY;
        return [&]<size_t... I>(std::index_sequence<I...>) {
            return ansiCall(converted[I].Get()...);
        }
        (std::index_sequence_for<Texts...>{});
    } catch (const std::bad_alloc&) {
        return ERROR_OUTOFMEMORY;
    }
}

} // namespace

unsigned long RegistryWriteCount() {
    return writes.load(std::memory_order_relaxed);
}

bool IsNtFamily() {
    static const bool nt = AskNtFamily();
    return nt;
}

namespace calls {

LONG OpenKey(HKEY base, const wchar_t* subKey, REGSAM access, HKEY* result) {
    return Dispatch([&](const wchar_t* s) { return RegOpenKeyExW(base, s, 0, access, result); },
                    [&](const char* s) { return RegOpenKeyExA(base, s, 0, access, result); },
                    subKey);
}

LONG CreateKey(HKEY base, const wchar_t* subKey, DWORD options, REGSAM access, HKEY* result) {
    return Dispatch(
        [&](const wchar_t* s) {
            return RegCreateKeyExW(base, s, 0, nullptr, options, access, nullptr, result, nullptr);
        },
        [&](const char* s) {
            return RegCreateKeyExA(base, s, 0, nullptr, options, access, nullptr, result, nullptr);
        },
        subKey);
}

LONG DeleteKey(HKEY base, const wchar_t* subKey) {
    NoteWrite();
    return Dispatch([&](const wchar_t* s) { return RegDeleteKeyW(base, s); },
                    [&](const char* s) { return RegDeleteKeyA(base, s); }, subKey);
}

LONG DeleteValue(HKEY key, const wchar_t* name) {
    NoteWrite();
    return Dispatch([&](const wchar_t* n) { return RegDeleteValueW(key, n); },
                    [&](const char* n) { return RegDeleteValueA(key, n); }, name);
}

LONG QueryCounts(HKEY key, DWORD* subKeys, DWORD* values) {
    if (IsNtFamily())
        return RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values,
                                nullptr, nullptr, nullptr, nullptr);
    return RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values,
                            nullptr, nullptr, nullptr, nullptr);
}

LONG SaveKey(HKEY key, const wchar_t* file) {
    return Dispatch([&](const wchar_t* f) { return RegSaveKeyW(key, f, nullptr); },
                    [&](const char* f) { return RegSaveKeyA(key, f, nullptr); }, file);
}

LONG RestoreKey(HKEY key, const wchar_t* file) {
    NoteWrite();
    return Dispatch([&](const wchar_t* f) { return RegRestoreKeyW(key, f, 0); },
                    [&](const char* f) { return RegRestoreKeyA(key, f, 0); }, file);
}

LONG ReplaceKey(HKEY key, const wchar_t* newFile, const wchar_t* backupFile) {
    NoteWrite();
    return Dispatch(
        [&](const wchar_t* n, const wchar_t* b) { return RegReplaceKeyW(key, nullptr, n, b); },
        [&](const char* n, const char* b) { return RegReplaceKeyA(key, nullptr, n, b); }, newFile,
        backupFile);
}

LONG LoadKey(HKEY base, const wchar_t* subKey, const wchar_t* file) {
    NoteWrite();
    return Dispatch([&](const wchar_t* s, const wchar_t* f) { return RegLoadKeyW(base, s, f); },
                    [&](const char* s, const char* f) { return RegLoadKeyA(base, s, f); }, subKey,
                    file);
}

LONG UnloadKey(HKEY base, const wchar_t* subKey) {
    NoteWrite();
    return Dispatch([&](const wchar_t* s) { return RegUnLoadKeyW(base, s); },
                    [&](const char* s) { return RegUnLoadKeyA(base, s); }, subKey);
}

LONG QueryValue(bool wide, HKEY key, const wchar_t* name, DWORD* type, BYTE* data, DWORD* size) {
    if (wide)
        return RegQueryValueExW(key, name, nullptr, type, data, size);
    const AnsiArgument ansi(name);
    if (!ansi.Converted())
        return ERROR_OUTOFMEMORY;
    return RegQueryValueExA(key, ansi.Get(), nullptr, type, data, size);
}

LONG SetValue(bool wide, HKEY key, const wchar_t* name, DWORD type, const BYTE* data, DWORD size) {
    NoteWrite();
    if (wide)
        return RegSetValueExW(key, name, 0, type, data, size);
    const AnsiArgument ansi(name);
    if (!ansi.Converted())
        return ERROR_OUTOFMEMORY;
    return RegSetValueExA(key, ansi.Get(), 0, type, data, size);
}

} // namespace calls
} // namespace registry
