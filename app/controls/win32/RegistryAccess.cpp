#include "controls/win32/RegistryAccess.h"

#include "win32common/Handles.h"
#include "win32common/Text.h"

#include <windows.h>

#include <vector>

namespace tidewell::win32 {

namespace {

constexpr std::int32_t kRegSz = 1;

// Only the predefined keys are accepted as roots: any other number would be taken by advapi32 as
// an open handle of this process.
std::optional<HKEY> PredefinedRoot(std::int32_t root) {
    const auto bits = static_cast<std::uint32_t>(root);
    if (bits < 0x80000000u || bits > 0x80000006u) {
        return std::nullopt;
    }
    return reinterpret_cast<HKEY>(static_cast<ULONG_PTR>(static_cast<LONG>(root)));
}

std::wstring KeyPathW(std::string_view keyPath) {
    while (!keyPath.empty() && keyPath.back() == '\\') {
        keyPath.remove_suffix(1);
    }
    return win32common::Utf8ToWide(keyPath);
}

// An open key, or an empty holder with the advapi32 status in status.
win32common::UniqueKey OpenKey(std::int32_t root, std::string_view keyPath, REGSAM access,
                               bool create, LSTATUS& status) {
    win32common::UniqueKey key;
    const auto rootKey = PredefinedRoot(root);
    if (!rootKey) {
        status = ERROR_INVALID_HANDLE;
        return key;
    }
    const std::wstring path = KeyPathW(keyPath);
    if (create) {
        status = RegCreateKeyExW(*rootKey, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                 access, nullptr, &key, nullptr);
    } else {
        status = RegOpenKeyExW(*rootKey, path.c_str(), 0, access, &key);
    }
    return key;
}

} // namespace

std::optional<std::string> ReadRegistryString(std::int32_t root, std::string_view keyPath,
                                              std::string_view valueName) {
    LSTATUS status = ERROR_SUCCESS;
    win32common::UniqueKey key = OpenKey(root, keyPath, KEY_QUERY_VALUE, false, status);
    if (status != ERROR_SUCCESS) {
        return std::nullopt;
    }
    const std::wstring name = win32common::Utf8ToWide(valueName);
    // The value may grow between asking for its size and reading it: ask again then.
    for (int attempt = 0; attempt < 8; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return std::nullopt;
        }
        std::vector<BYTE> buffer(static_cast<size_t>(size) + sizeof(wchar_t));
        DWORD got = size;
        status = RegQueryValueExW(key.get(), name.c_str(), nullptr, &type, buffer.data(), &got);
        if (status == ERROR_MORE_DATA) {
            continue;
        }
        if (status != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
            return std::nullopt;
        }
        // Stored strings need not end with a terminator, or may carry several.
        std::wstring_view text(reinterpret_cast<const wchar_t*>(buffer.data()),
                               got / sizeof(wchar_t));
        if (const auto end = text.find(L'\0'); end != std::wstring_view::npos) {
            text = text.substr(0, end);
        }
        return win32common::WideToUtf8(text);
    }
    return std::nullopt;
}

bool WriteRegistryString(std::int32_t root, std::string_view keyPath, std::string_view valueName,
                         std::string_view data, std::int32_t type) {
    if (type != kRegSz) {
        return false;
    }
    const std::wstring text = win32common::Utf8ToWide(data);
    if (text.size() >= MAXDWORD / sizeof(wchar_t)) {
        return false;
    }
    LSTATUS status = ERROR_SUCCESS;
    win32common::UniqueKey key = OpenKey(root, keyPath, KEY_SET_VALUE, true, status);
    if (status != ERROR_SUCCESS) {
        return false;
    }
    const std::wstring name = win32common::Utf8ToWide(valueName);
    const auto bytes = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    status = RegSetValueExW(key.get(), name.c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()), bytes);
    return status == ERROR_SUCCESS;
}

bool DeleteRegistryValue(std::int32_t root, std::string_view keyPath, std::string_view valueName) {
    LSTATUS status = ERROR_SUCCESS;
    win32common::UniqueKey key = OpenKey(root, keyPath, KEY_SET_VALUE, false, status);
    if (status == ERROR_FILE_NOT_FOUND) {
        return true;
    }
    if (status != ERROR_SUCCESS) {
        return false;
    }
    status = RegDeleteValueW(key.get(), win32common::Utf8ToWide(valueName).c_str());
    return status == ERROR_SUCCESS || status == ERROR_FILE_NOT_FOUND;
}

bool CreateRegistryKey(std::int32_t root, std::string_view keyPath) {
    LSTATUS status = ERROR_SUCCESS;
    win32common::UniqueKey key = OpenKey(root, keyPath, KEY_QUERY_VALUE, true, status);
    return status == ERROR_SUCCESS;
}

bool RegistryKeyExists(std::int32_t root, std::string_view keyPath) {
    LSTATUS status = ERROR_SUCCESS;
    win32common::UniqueKey key = OpenKey(root, keyPath, KEY_READ, false, status);
    return status == ERROR_SUCCESS;
}

} // namespace tidewell::win32
