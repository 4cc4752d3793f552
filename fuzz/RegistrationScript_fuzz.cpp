// The registration-script parser and runner on arbitrary text. Properties beyond "no crash":
// - a script that parses has only valid key names, nested no deeper than the parser allows, and
//   printing it back as a script (every name and string quoted) parses to the same script;
// - registering it into an empty in-memory registry leaves exactly the keys the order of its
//   creations and ForceRemove deletions predicts, and unregistering it afterwards leaves no key
//   but NoRemove keys and the keys above them;
// - a backend failure stops the run with that failure's code.
#include "FuzzSupport.h"
#include "registrar/RegistrationScript.h"
#include "registrar/ScriptRunner.h"

#include <cwctype>
#include <map>
#include <set>
#include <vector>

using namespace registry::registrar;

namespace {

constexpr std::size_t kMaxDepth = 32;

// Replacements as the server passes them, with a quote and a percent sign in the text, which must
// come through literally (no second substitution).
const std::map<std::wstring, std::wstring>& Replacements() {
    static const std::map<std::wstring, std::wstring> replacements{
        {L"MODULE", L"C:\\it's 100%\\Registry.dll"}, {L"APPID", L"{AB}"}};
    return replacements;
}

// ---- printing a parsed script back as text --------------------------------------------------

std::wstring Quoted(const std::wstring& text) {
    std::wstring out = L"'";
    for (wchar_t c : text) {
        if (c == L'\'')
            out += L"''";
        else if (c == L'%')
            out += L"%%";
        else
            out += c;
    }
    return out + L"'";
}

void PrintKey(const ScriptKey& key, std::wstring& out) {
    if (key.flag == KeyFlag::NoRemove)
        out += L"NoRemove ";
    else if (key.flag == KeyFlag::ForceRemove)
        out += L"ForceRemove ";
    out += Quoted(key.name);
    if (key.defaultValue)
        out += L" = s " + Quoted(*key.defaultValue);
    out += L"\n{\n";
    for (const NamedValue& value : key.values)
        out += L"val " + Quoted(value.name) + L" = s " + Quoted(value.data) + L"\n";
    for (const ScriptKey& child : key.subKeys)
        PrintKey(child, out);
    out += L"}\n";
}

std::wstring Print(const Script& script) {
    static const wchar_t* const names[] = {L"HKEY_CLASSES_ROOT", L"HKCU", L"HKLM", L"HKU",
                                           L"HKEY_CURRENT_CONFIG"};
    std::wstring out;
    for (const ScriptRoot& root : script.roots) {
        out += names[static_cast<int>(root.root)];
        out += L"\n{\n";
        for (const ScriptKey& key : root.keys)
            PrintKey(key, out);
        out += L"}\n";
    }
    return out;
}

bool SameKey(const ScriptKey& a, const ScriptKey& b) {
    if (a.flag != b.flag || a.name != b.name || a.defaultValue != b.defaultValue ||
        a.values.size() != b.values.size() || a.subKeys.size() != b.subKeys.size())
        return false;
    for (std::size_t i = 0; i < a.values.size(); ++i)
        if (a.values[i].name != b.values[i].name || a.values[i].data != b.values[i].data)
            return false;
    for (std::size_t i = 0; i < a.subKeys.size(); ++i)
        if (!SameKey(a.subKeys[i], b.subKeys[i]))
            return false;
    return true;
}

bool SameScript(const Script& a, const Script& b) {
    if (a.roots.size() != b.roots.size())
        return false;
    for (std::size_t r = 0; r < a.roots.size(); ++r) {
        const ScriptRoot& x = a.roots[r];
        const ScriptRoot& y = b.roots[r];
        if (x.root != y.root || x.keys.size() != y.keys.size())
            return false;
        for (std::size_t i = 0; i < x.keys.size(); ++i)
            if (!SameKey(x.keys[i], y.keys[i]))
                return false;
    }
    return true;
}

void CheckKeys(const std::vector<ScriptKey>& keys, std::size_t depth) {
    FUZZ_CHECK(keys.empty() || depth <= kMaxDepth);
    for (const ScriptKey& key : keys) {
        FUZZ_CHECK(!key.name.empty());
        FUZZ_CHECK(key.name.find(L'\\') == std::wstring::npos);
        CheckKeys(key.subKeys, depth + 1);
    }
}

// ---- an in-memory registry with the platform's rules -----------------------------------------

// A key as root plus case-folded names.
using Path = std::vector<std::wstring>;

Path Folded(const KeyPath& key) {
    Path path{std::wstring(1, static_cast<wchar_t>(L'0' + static_cast<int>(key.root)))};
    for (const std::wstring& name : key.names) {
        std::wstring folded;
        for (wchar_t c : name)
            folded += static_cast<wchar_t>(std::towlower(static_cast<wint_t>(c)));
        path.push_back(folded);
    }
    return path;
}

bool IsPrefix(const Path& prefix, const Path& path) {
    return prefix.size() <= path.size() && std::equal(prefix.begin(), prefix.end(), path.begin());
}

class MemoryRegistry final : public RegistryBackend {
public:
    std::set<Path> keys;
    long failAfter = -1; // calls that succeed before every later one fails, -1: none fails
    static constexpr long kInjected = 5;

    long CreateKey(const KeyPath& key) override {
        if (Fails())
            return kInjected;
        Path path = Folded(key);
        for (; path.size() > 1; path.pop_back())
            keys.insert(path);
        return 0;
    }
    long SetString(const KeyPath& key, const std::wstring&, const std::wstring&) override {
        if (Fails())
            return kInjected;
        return keys.count(Folded(key)) ? 0 : kErrorFileNotFound;
    }
    long DeleteValue(const KeyPath& key, const std::wstring&) override {
        if (Fails())
            return kInjected;
        return keys.count(Folded(key)) ? 0 : kErrorFileNotFound;
    }
    long DeleteTree(const KeyPath& key) override {
        if (Fails())
            return kInjected;
        const Path path = Folded(key);
        if (!keys.count(path))
            return kErrorFileNotFound;
        std::erase_if(keys, [&](const Path& p) { return IsPrefix(path, p); });
        return 0;
    }
    long DeleteKey(const KeyPath& key) override {
        if (Fails())
            return kInjected;
        const Path path = Folded(key);
        FUZZ_CHECK(!HasSubKeys(key)); // the runner promises a leaf
        return keys.erase(path) ? 0 : kErrorFileNotFound;
    }
    bool KeyExists(const KeyPath& key) override { return keys.count(Folded(key)) != 0; }
    bool HasSubKeys(const KeyPath& key) override {
        const Path path = Folded(key);
        const auto next = keys.upper_bound(path);
        return next != keys.end() && next->size() > path.size() && IsPrefix(path, *next);
    }

private:
    bool Fails() {
        if (failAfter < 0)
            return false;
        if (failAfter == 0)
            return true;
        --failAfter;
        return false;
    }
};

// ---- the oracle: what registration leaves, from the order of creations and deletions ---------

struct Event {
    Path path;
    bool forceRemove;
};

void Walk(const std::vector<ScriptKey>& keys, KeyPath& at, std::vector<Event>& events,
          std::set<Path>& noRemoveAndAbove) {
    for (const ScriptKey& key : keys) {
        at.names.push_back(key.name);
        const Path path = Folded(at);
        events.push_back({path, key.flag == KeyFlag::ForceRemove});
        if (key.flag == KeyFlag::NoRemove)
            for (Path p = path; p.size() > 1; p.pop_back())
                noRemoveAndAbove.insert(p);
        Walk(key.subKeys, at, events, noRemoveAndAbove);
        at.names.pop_back();
    }
}

// A key exists after registration when its last creation (its own or a key's below it) comes
// after the last ForceRemove deletion of it or of a key above it. A ForceRemove key is deleted
// just before its own creation, so its creation is the later of the two.
std::set<Path> Expected(const std::vector<Event>& events) {
    std::set<Path> all;
    for (const Event& event : events)
        for (Path p = event.path; p.size() > 1; p.pop_back())
            all.insert(p);
    std::set<Path> expected;
    for (const Path& path : all) {
        long created = -1;
        long deleted = -1;
        for (std::size_t i = 0; i < events.size(); ++i) {
            const long order = static_cast<long>(2 * i + 1); // a deletion is at 2i, creation 2i+1
            if (IsPrefix(path, events[i].path))
                created = order;
            if (events[i].forceRemove && IsPrefix(events[i].path, path))
                deleted = order - 1;
        }
        if (created > deleted)
            expected.insert(path);
    }
    return expected;
}

std::size_t CountKeys(const std::vector<ScriptKey>& keys) {
    std::size_t count = keys.size();
    for (const ScriptKey& key : keys)
        count += CountKeys(key.subKeys);
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes = fuzz::AsText(data, size);
    const std::wstring text = fuzz::WidenLenient(bytes);
    const ParseResult parsed = ParseScript(text, Replacements());
    if (!parsed.script) {
        FUZZ_CHECK(!parsed.error.message.empty());
        return 0;
    }
    const Script& script = *parsed.script;
    std::size_t keyCount = 0;
    for (const ScriptRoot& root : script.roots) {
        CheckKeys(root.keys, 1);
        keyCount += CountKeys(root.keys);
    }

    const ParseResult again = ParseScript(Print(script), {});
    FUZZ_CHECK(again.script.has_value());
    FUZZ_CHECK(SameScript(script, *again.script));

    // The oracle is quadratic; big scripts only go through the runner.
    std::vector<Event> events;
    std::set<Path> noRemoveAndAbove;
    for (const ScriptRoot& root : script.roots) {
        KeyPath at{root.root, {}};
        Walk(root.keys, at, events, noRemoveAndAbove);
    }

    MemoryRegistry registry;
    FUZZ_CHECK(Register(script, registry).error == 0);
    if (keyCount <= 200)
        FUZZ_CHECK(registry.keys == Expected(events));
    FUZZ_CHECK(Unregister(script, registry).error == 0);
    for (const Path& left : registry.keys)
        FUZZ_CHECK(noRemoveAndAbove.count(left) != 0);

    // A failure injected after some calls ends the run with its code.
    if (!events.empty() && size > 0) {
        MemoryRegistry failing;
        failing.failAfter = static_cast<long>(data[0] % 8);
        const RunResult result = Register(script, failing);
        FUZZ_CHECK(result.error == 0 ||
                   (result.error == MemoryRegistry::kInjected && !result.key.empty()));
    }
    return 0;
}
