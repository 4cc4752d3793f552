#pragma once

#include "registrar/RegistrationScript.h"

#include <cstdint>
#include <string>
#include <vector>

namespace registry::registrar {

// A key below one of the roots, as the list of its names from the root down.
struct KeyPath {
    RootKey root = RootKey::ClassesRoot;
    std::vector<std::wstring> names;
};

// The registry as the runner needs it. Results are Win32 error codes (0 success).
class RegistryBackend {
public:
    virtual ~RegistryBackend() = default;
    virtual long CreateKey(const KeyPath& key) = 0;
    // name empty: the key's default value.
    virtual long SetString(const KeyPath& key, const std::wstring& name,
                           const std::wstring& data) = 0;
    virtual long DeleteValue(const KeyPath& key, const std::wstring& name) = 0;
    virtual long DeleteTree(const KeyPath& key) = 0;
    // Deletes a key without sub-keys.
    virtual long DeleteKey(const KeyPath& key) = 0;
    virtual bool KeyExists(const KeyPath& key) = 0;
    virtual bool HasSubKeys(const KeyPath& key) = 0;
};

constexpr long kErrorFileNotFound = 2;

struct RunResult {
    long error = 0;   // first failing backend call's code, 0 when all went through
    std::wstring key; // the key it was working on, for diagnostics
};

// Registration: ForceRemove keys are deleted with their subtree first, then every key is created
// and its default and named values written.
RunResult Register(const Script& script, RegistryBackend& backend);

// Removal: ForceRemove keys go with their subtree; other keys go once their scripted sub-keys are
// gone and no other sub-key is left in them; NoRemove keys stay (their named values are removed).
// Missing keys and values are not errors.
RunResult Unregister(const Script& script, RegistryBackend& backend);

} // namespace registry::registrar
