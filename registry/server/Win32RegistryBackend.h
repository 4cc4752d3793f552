#pragma once

#include "registrar/ScriptRunner.h"

namespace registry {

// The registrar's registry: the real one, through the wide registry functions.
class Win32RegistryBackend final : public registrar::RegistryBackend {
public:
    long CreateKey(const registrar::KeyPath& key) override;
    long SetString(const registrar::KeyPath& key, const std::wstring& name,
                   const std::wstring& data) override;
    long DeleteValue(const registrar::KeyPath& key, const std::wstring& name) override;
    long DeleteTree(const registrar::KeyPath& key) override;
    long DeleteKey(const registrar::KeyPath& key) override;
    bool KeyExists(const registrar::KeyPath& key) override;
    bool HasSubKeys(const registrar::KeyPath& key) override;
};

} // namespace registry
