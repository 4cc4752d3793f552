#include "server/Win32RegistryBackend.h"

#include "win32common/Handles.h"

#include <windows.h>

namespace registry {

namespace {

HKEY RootHandle(registrar::RootKey root) {
    switch (root) {
    case registrar::RootKey::ClassesRoot:
        return HKEY_CLASSES_ROOT;
    case registrar::RootKey::CurrentUser:
        return HKEY_CURRENT_USER;
    case registrar::RootKey::LocalMachine:
        return HKEY_LOCAL_MACHINE;
    case registrar::RootKey::Users:
        return HKEY_USERS;
    case registrar::RootKey::CurrentConfig:
        return HKEY_CURRENT_CONFIG;
    }
    return HKEY_CLASSES_ROOT;
}

std::wstring JoinPath(const std::vector<std::wstring>& names, size_t count) {
    std::wstring path;
    for (size_t i = 0; i < count; ++i) {
        if (i)
            path += L'\\';
        path += names[i];
    }
    return path;
}

long Open(const registrar::KeyPath& key, REGSAM access, win32common::UniqueKey& out) {
    return RegOpenKeyExW(RootHandle(key.root), JoinPath(key.names, key.names.size()).c_str(), 0,
                         access, &out);
}

// Depth first, so it works where RegDeleteTree is missing and never follows anything but
// sub-keys.
long DeleteSubTree(HKEY parent, const std::wstring& name, int depth) {
    if (depth > 512)
        return ERROR_CANTWRITE;
    win32common::UniqueKey key;
    long error = RegOpenKeyExW(parent, name.c_str(), 0,
                               KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, &key);
    if (error != ERROR_SUCCESS)
        return error;
    for (;;) {
        wchar_t child[256];
        DWORD length = sizeof(child) / sizeof(child[0]);
        error = RegEnumKeyExW(key.get(), 0, child, &length, nullptr, nullptr, nullptr, nullptr);
        if (error == ERROR_NO_MORE_ITEMS)
            break;
        if (error != ERROR_SUCCESS)
            return error;
        error = DeleteSubTree(key.get(), std::wstring(child, length), depth + 1);
        if (error != ERROR_SUCCESS)
            return error;
    }
    key.reset();
    return RegDeleteKeyW(parent, name.c_str());
}

} // namespace

long Win32RegistryBackend::CreateKey(const registrar::KeyPath& key) {
    win32common::UniqueKey created;
    return RegCreateKeyExW(RootHandle(key.root), JoinPath(key.names, key.names.size()).c_str(), 0,
                           nullptr, REG_OPTION_NON_VOLATILE, KEY_SET_VALUE, nullptr, &created,
                           nullptr);
}

long Win32RegistryBackend::SetString(const registrar::KeyPath& key, const std::wstring& name,
                                     const std::wstring& data) {
    win32common::UniqueKey opened;
    const long error = Open(key, KEY_SET_VALUE, opened);
    if (error != ERROR_SUCCESS)
        return error;
    return RegSetValueExW(opened.get(), name.empty() ? nullptr : name.c_str(), 0, REG_SZ,
                          reinterpret_cast<const BYTE*>(data.c_str()),
                          static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t)));
}

long Win32RegistryBackend::DeleteValue(const registrar::KeyPath& key, const std::wstring& name) {
    win32common::UniqueKey opened;
    const long error = Open(key, KEY_SET_VALUE, opened);
    if (error != ERROR_SUCCESS)
        return error;
    return RegDeleteValueW(opened.get(), name.empty() ? nullptr : name.c_str());
}

long Win32RegistryBackend::DeleteTree(const registrar::KeyPath& key) {
    if (key.names.empty())
        return ERROR_ACCESS_DENIED;
    if (key.names.size() == 1)
        return DeleteSubTree(RootHandle(key.root), key.names[0], 0);
    win32common::UniqueKey parent;
    const long error =
        RegOpenKeyExW(RootHandle(key.root), JoinPath(key.names, key.names.size() - 1).c_str(), 0,
                      KEY_ENUMERATE_SUB_KEYS | KEY_QUERY_VALUE | DELETE, &parent);
    if (error != ERROR_SUCCESS)
        return error;
    return DeleteSubTree(parent.get(), key.names.back(), 0);
}

long Win32RegistryBackend::DeleteKey(const registrar::KeyPath& key) {
    if (key.names.empty())
        return ERROR_ACCESS_DENIED;
    return RegDeleteKeyW(RootHandle(key.root), JoinPath(key.names, key.names.size()).c_str());
}

bool Win32RegistryBackend::KeyExists(const registrar::KeyPath& key) {
    win32common::UniqueKey opened;
    return Open(key, KEY_QUERY_VALUE, opened) == ERROR_SUCCESS;
}

bool Win32RegistryBackend::HasSubKeys(const registrar::KeyPath& key) {
    win32common::UniqueKey opened;
    if (Open(key, KEY_QUERY_VALUE, opened) != ERROR_SUCCESS)
        return false;
    DWORD subKeys = 0;
    if (RegQueryInfoKeyW(opened.get(), nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr,
                         nullptr, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
        return true; // when in doubt, keep the key
    return subKeys != 0;
}

} // namespace registry
