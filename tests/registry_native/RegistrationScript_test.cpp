// The registration-script parser: the scripts the server carries, and malformed ones.
#include "registrar/RegistrationScript.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <string>

namespace registry::registrar {
namespace {

const std::map<std::wstring, std::wstring> kModule = {{L"MODULE", L"C:\\It's here\\Registry.dll"}};

std::wstring ReadScriptFile(const char* name) {
    std::ifstream file(std::string(REGISTRY_SCRIPTS_DIR) + "/" + name, std::ios::binary);
    std::stringstream text;
    text << file.rdbuf();
    const std::string bytes = text.str();
    return std::wstring(bytes.begin(), bytes.end());
}

const ScriptKey* Find(const std::vector<ScriptKey>& keys, const std::wstring& name) {
    for (const ScriptKey& key : keys)
        if (key.name == name)
            return &key;
    return nullptr;
}

Script ParseOk(std::wstring_view text,
               const std::map<std::wstring, std::wstring>& replacements = kModule) {
    ParseResult result = ParseScript(text, replacements);
    EXPECT_TRUE(result.script.has_value())
        << "line " << result.error.line << ": " << result.error.message;
    return result.script ? *result.script : Script{};
}

ParseError ParseFails(std::wstring_view text) {
    ParseResult result = ParseScript(text, kModule);
    EXPECT_FALSE(result.script.has_value());
    EXPECT_FALSE(result.error.message.empty());
    return result.error;
}

TEST(RegistrationScript, DatabaseScriptHasEveryKeyWithItsFlagAndValues) {
    const std::wstring text = ReadScriptFile("RegistryDatabase.rgs");
    ASSERT_FALSE(text.empty());
    const Script script = ParseOk(text);
    ASSERT_EQ(1u, script.roots.size());
    EXPECT_EQ(RootKey::ClassesRoot, script.roots[0].root);
    const std::vector<ScriptKey>& keys = script.roots[0].keys;
    ASSERT_EQ(4u, keys.size());

    const ScriptKey* versioned = Find(keys, L"Registry.RegistryDatabase.2");
    ASSERT_NE(nullptr, versioned);
    EXPECT_EQ(KeyFlag::Normal, versioned->flag);
    EXPECT_EQ(L"RegistryDatabase Class", versioned->defaultValue.value_or(L"?"));
    ASSERT_EQ(1u, versioned->subKeys.size());
    EXPECT_EQ(L"{6D6610ED-CF5E-11D2-9679-0000F8770C8E}",
              versioned->subKeys[0].defaultValue.value_or(L"?"));

    const ScriptKey* independent = Find(keys, L"Registry.RegistryDatabase");
    ASSERT_NE(nullptr, independent);
    const ScriptKey* curVer = Find(independent->subKeys, L"CurVer");
    ASSERT_NE(nullptr, curVer);
    EXPECT_EQ(L"Registry.RegistryDatabase.2", curVer->defaultValue.value_or(L"?"));

    const ScriptKey* clsid = Find(keys, L"CLSID");
    ASSERT_NE(nullptr, clsid);
    EXPECT_EQ(KeyFlag::NoRemove, clsid->flag);
    EXPECT_FALSE(clsid->defaultValue.has_value());
    const ScriptKey* entry = Find(clsid->subKeys, L"{6D6610ED-CF5E-11D2-9679-0000F8770C8E}");
    ASSERT_NE(nullptr, entry);
    EXPECT_EQ(KeyFlag::ForceRemove, entry->flag);
    const ScriptKey* programmable = Find(entry->subKeys, L"Programmable");
    ASSERT_NE(nullptr, programmable);
    EXPECT_EQ(KeyFlag::ForceRemove, programmable->flag);
    EXPECT_FALSE(programmable->defaultValue.has_value());
    const ScriptKey* server = Find(entry->subKeys, L"InprocServer32");
    ASSERT_NE(nullptr, server);
    // The module path is substituted as data, so a quote in it cannot end the string.
    EXPECT_EQ(L"C:\\It's here\\Registry.dll", server->defaultValue.value_or(L"?"));
    ASSERT_EQ(1u, server->values.size());
    EXPECT_EQ(L"ThreadingModel", server->values[0].name);
    EXPECT_EQ(L"Apartment", server->values[0].data);
    const ScriptKey* typeLib = Find(entry->subKeys, L"TypeLib");
    ASSERT_NE(nullptr, typeLib);
    EXPECT_EQ(L"{6D6610E0-CF5E-11D2-9679-0000F8770C8E}", typeLib->defaultValue.value_or(L"?"));
    ASSERT_EQ(1u, entry->values.size());
    EXPECT_EQ(L"AppID", entry->values[0].name);

    const ScriptKey* appId = Find(keys, L"AppID");
    ASSERT_NE(nullptr, appId);
    EXPECT_EQ(KeyFlag::NoRemove, appId->flag);
    ASSERT_EQ(1u, appId->subKeys.size());
    const ScriptKey& app = appId->subKeys[0];
    EXPECT_EQ(KeyFlag::ForceRemove, app.flag);
    ASSERT_EQ(2u, app.values.size());
    EXPECT_EQ(L"DllSurrogate", app.values[1].name);
    EXPECT_EQ(L"", app.values[1].data);
}

TEST(RegistrationScript, AllFourScriptsParseAndNameTheirOwnClass) {
    const struct {
        const char* file;
        const wchar_t* progId;
        const wchar_t* clsid;
    } rows[] = {
        {"RegistryDatabase.rgs", L"Registry.RegistryDatabase.2",
         L"{6D6610ED-CF5E-11D2-9679-0000F8770C8E}"},
        {"RegistryKey.rgs", L"Registry.RegistryKey.2", L"{6D6610EF-CF5E-11D2-9679-0000F8770C8E}"},
        {"RegistryValue.rgs", L"Registry.RegistryValue.2",
         L"{6D6610F2-CF5E-11D2-9679-0000F8770C8E}"},
        {"RegistryAccessor.rgs", L"Registry.RegistryAccessor.2",
         L"{6D6610F9-CF5E-11D2-9679-0000F8770C8E}"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.file);
        const Script script = ParseOk(ReadScriptFile(row.file));
        ASSERT_EQ(1u, script.roots.size());
        const ScriptKey* versioned = Find(script.roots[0].keys, row.progId);
        ASSERT_NE(nullptr, versioned);
        EXPECT_EQ(row.clsid, versioned->subKeys[0].defaultValue.value_or(L"?"));
        const ScriptKey* clsid = Find(script.roots[0].keys, L"CLSID");
        ASSERT_NE(nullptr, clsid);
        ASSERT_NE(nullptr, Find(clsid->subKeys, row.clsid));
        EXPECT_EQ(row.clsid, Find(clsid->subKeys, row.clsid)->values[0].data);
        const ScriptKey* appId = Find(script.roots[0].keys, L"AppID");
        ASSERT_NE(nullptr, appId);
        ASSERT_NE(nullptr, Find(appId->subKeys, row.clsid));
        EXPECT_EQ(row.clsid, Find(appId->subKeys, row.clsid)->values[0].data);
    }
}

TEST(RegistrationScript, QuotingRootsAndReplacements) {
    const Script script = ParseOk(L"HKEY_CURRENT_USER { 'a b' = s 'it''s %% %MODULE%' }\r\n"
                                  L"hklm { Software { val 'x y' = s '' } }\n"
                                  L"HKU\nHKCC {}");
    ASSERT_EQ(4u, script.roots.size());
    EXPECT_EQ(RootKey::CurrentUser, script.roots[0].root);
    EXPECT_EQ(L"a b", script.roots[0].keys[0].name);
    EXPECT_EQ(L"it's % C:\\It's here\\Registry.dll", *script.roots[0].keys[0].defaultValue);
    EXPECT_EQ(RootKey::LocalMachine, script.roots[1].root);
    EXPECT_EQ(L"x y", script.roots[1].keys[0].values[0].name);
    EXPECT_EQ(RootKey::Users, script.roots[2].root);
    EXPECT_TRUE(script.roots[2].keys.empty());
    EXPECT_EQ(RootKey::CurrentConfig, script.roots[3].root);

    // Braces need no blanks around them.
    const Script tight = ParseOk(L"HKCR{A{B=s 'b'}}");
    ASSERT_EQ(1u, tight.roots[0].keys.size());
    EXPECT_EQ(L"B", tight.roots[0].keys[0].subKeys[0].name);
    EXPECT_EQ(L"b", *tight.roots[0].keys[0].subKeys[0].defaultValue);
    EXPECT_TRUE(ParseOk(L"").roots.empty());
}

TEST(RegistrationScript, MalformedScriptsFailWithTheLineOfTheFault) {
    const struct {
        const wchar_t* text;
        size_t line;
        const char* message;
    } rows[] = {
        {L"HKCR\n{\n\tA = s 'open\n}", 3, "unterminated quoted string"},
        {L"HKCR { A { B }", 0, "missing '}' at end of script"},
        {L"HKXX { A }", 1, "unknown root key 'HKXX'"},
        {L"HKCR { A = d '5' }", 1, "unsupported value type 'd'"},
        {L"HKCR { A = s }", 1, "expected a quoted string after 's'"},
        {L"HKCR { A = s", 1, "expected a quoted string after 's'"},
        {L"HKCR { A = }", 1, "unsupported value type '}'"},
        {L"HKCR { val X = s 'x' }", 1, "'val' outside a key's block"},
        {L"HKCR { A { val X s 'x' } }", 1, "expected '=' after value name 'X'"},
        {L"HKCR { 'a\\b' }", 1, "key name 'a\\b' contains a backslash"},
        {L"HKCR { '' }", 1, "empty key name"},
        {L"HKCR { NoRemove }", 1, "expected a key name, found '}'"},
        {L"HKCR { ForceRemove NoRemove A }", 1, "keyword 'NoRemove' used as a key name"},
        {L"HKCR { A = s '%UNKNOWN%' }", 1, "unknown replacement '%UNKNOWN%'"},
        {L"HKCR { A = s '50% off' }", 1, "unmatched '%' in '50% off'"},
        {L"HKCR }", 1, "expected a root key name, found '}'"},
        {L"HKCR { = }", 1, "expected a key name, found '='"},
        {L"\n\n'HKCR'", 3, "expected a root key name, found 'HKCR'"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(std::string(row.message));
        const ParseError error = ParseFails(row.text);
        EXPECT_EQ(row.line, error.line);
        EXPECT_EQ(row.message, error.message);
    }
}

TEST(RegistrationScript, HostileInputEndsInAClearFailure) {
    // Deep nesting stops at a fixed depth instead of exhausting the stack.
    std::wstring deep = L"HKCR ";
    for (int i = 0; i < 10000; ++i)
        deep += L"{ K ";
    EXPECT_EQ("keys nested too deeply", ParseFails(deep).message);

    std::wstring nul = L"HKCR { A = s 'x";
    nul += L'\0';
    nul += L"' }";
    EXPECT_EQ("NUL character in quoted string", ParseFails(nul).message);

    // A long but valid script parses completely.
    std::wstring wide = L"HKCU { ";
    for (int i = 0; i < 2000; ++i)
        wide += L"K" + std::to_wstring(i) + L" = s '" + std::wstring(100, L'v') + L"' ";
    wide += L"}";
    EXPECT_EQ(2000u, ParseOk(wide).roots[0].keys.size());

    // Every prefix of a real script either parses or fails cleanly.
    const std::wstring script = ReadScriptFile("RegistryKey.rgs");
    size_t parsed = 0;
    for (size_t length = 0; length <= script.size(); ++length)
        if (ParseScript(std::wstring_view(script).substr(0, length), kModule).script)
            ++parsed;
    EXPECT_GE(parsed, 2u); // the empty script and the whole one, at least
}

} // namespace
} // namespace registry::registrar
