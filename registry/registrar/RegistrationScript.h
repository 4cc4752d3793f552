#pragma once

#include <cstddef>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace registry::registrar {

// How a key of a registration script behaves at removal time.
enum class KeyFlag {
    Normal,      // written at registration, deleted at removal when nothing else is left in it
    NoRemove,    // never deleted at removal
    ForceRemove, // deleted with its whole subtree before it is written, and at removal
};

struct NamedValue {
    std::wstring name;
    std::wstring data;
};

struct ScriptKey {
    KeyFlag flag = KeyFlag::Normal;
    std::wstring name;
    std::optional<std::wstring> defaultValue;
    std::vector<NamedValue> values; // the "val" lines of the key's block
    std::vector<ScriptKey> subKeys;
};

// One of the root keys a script may name.
enum class RootKey { ClassesRoot, CurrentUser, LocalMachine, Users, CurrentConfig };

struct ScriptRoot {
    RootKey root = RootKey::ClassesRoot;
    std::vector<ScriptKey> keys;
};

struct Script {
    std::vector<ScriptRoot> roots;
};

struct ParseError {
    size_t line = 0; // 1-based line of the offending token (0: end of script)
    std::string message;
};

struct ParseResult {
    std::optional<Script> script; // set when the whole script is valid
    ParseError error;             // set otherwise
};

// Parses a whole registration script. %NAME% in names and strings is replaced from replacements
// (the names without the percent signs; "%%" is a percent sign); an unknown name is an error.
// Nothing is executed here, so a malformed script can never leave a half-written registry.
ParseResult ParseScript(std::wstring_view text,
                        const std::map<std::wstring, std::wstring>& replacements);

} // namespace registry::registrar
