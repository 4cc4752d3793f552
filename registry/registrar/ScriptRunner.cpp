#include "registrar/ScriptRunner.h"

namespace registry::registrar {

namespace {

std::wstring Describe(const KeyPath& path) {
    static const wchar_t* const roots[] = {L"HKCR", L"HKCU", L"HKLM", L"HKU", L"HKCC"};
    std::wstring text = roots[static_cast<int>(path.root)];
    for (const std::wstring& name : path.names) {
        text += L'\\';
        text += name;
    }
    return text;
}

bool Failed(long error, const KeyPath& path, RunResult& result) {
    if (error == 0)
        return false;
    result.error = error;
    result.key = Describe(path);
    return true;
}

bool RegisterKey(const ScriptKey& key, KeyPath& path, RegistryBackend& backend, RunResult& result) {
    path.names.push_back(key.name);
    if (key.flag == KeyFlag::ForceRemove && backend.KeyExists(path)) {
        const long error = backend.DeleteTree(path);
        if (error != kErrorFileNotFound && Failed(error, path, result))
            return false;
    }
    if (Failed(backend.CreateKey(path), path, result))
        return false;
    if (key.defaultValue && Failed(backend.SetString(path, L"", *key.defaultValue), path, result))
        return false;
    for (const NamedValue& value : key.values)
        if (Failed(backend.SetString(path, value.name, value.data), path, result))
            return false;
    for (const ScriptKey& child : key.subKeys)
        if (!RegisterKey(child, path, backend, result))
            return false;
    path.names.pop_back();
    return true;
}

bool UnregisterKey(const ScriptKey& key, KeyPath& path, RegistryBackend& backend,
                   RunResult& result) {
    path.names.push_back(key.name);
    if (!backend.KeyExists(path)) {
        path.names.pop_back();
        return true;
    }
    if (key.flag == KeyFlag::ForceRemove) {
        const long error = backend.DeleteTree(path);
        if (error != kErrorFileNotFound && Failed(error, path, result))
            return false;
        path.names.pop_back();
        return true;
    }
    for (const ScriptKey& child : key.subKeys)
        if (!UnregisterKey(child, path, backend, result))
            return false;
    for (const NamedValue& value : key.values) {
        const long error = backend.DeleteValue(path, value.name);
        if (error != kErrorFileNotFound && Failed(error, path, result))
            return false;
    }
    if (key.flag == KeyFlag::Normal && !backend.HasSubKeys(path)) {
        const long error = backend.DeleteKey(path);
        if (error != kErrorFileNotFound && Failed(error, path, result))
            return false;
    }
    path.names.pop_back();
    return true;
}

} // namespace

RunResult Register(const Script& script, RegistryBackend& backend) {
    RunResult result;
    for (const ScriptRoot& root : script.roots) {
        KeyPath path{root.root, {}};
        for (const ScriptKey& key : root.keys)
            if (!RegisterKey(key, path, backend, result))
                return result;
    }
    return result;
}

RunResult Unregister(const Script& script, RegistryBackend& backend) {
    RunResult result;
    for (const ScriptRoot& root : script.roots) {
        KeyPath path{root.root, {}};
        for (const ScriptKey& key : root.keys)
            if (!UnregisterKey(key, path, backend, result))
                return result;
    }
    return result;
}

} // namespace registry::registrar
