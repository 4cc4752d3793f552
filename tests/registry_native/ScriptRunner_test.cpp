// Registration and removal as the scripts mean them, against an in-memory registry.
#include "registrar/RegistrationScript.h"
#include "registrar/ScriptRunner.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>

namespace registry::registrar {
namespace {

// Keys as "ROOT\a\b" paths, values as path + "|" + name.
class FakeRegistry final : public RegistryBackend {
public:
    std::set<std::wstring> keys;
    std::map<std::wstring, std::wstring> values;
    std::wstring failOn; // a key path whose creation fails
    long failWith = 5;
    int calls = 0;

    static std::wstring PathOf(const KeyPath& key) {
        std::wstring path = std::to_wstring(static_cast<int>(key.root));
        for (const std::wstring& name : key.names)
            path += L"\\" + name;
        return path;
    }

    long CreateKey(const KeyPath& key) override {
        ++calls;
        const std::wstring path = PathOf(key);
        if (path == failOn)
            return failWith;
        // Creating a key creates its missing parents too.
        std::wstring partial = std::to_wstring(static_cast<int>(key.root));
        for (const std::wstring& name : key.names) {
            partial += L"\\" + name;
            keys.insert(partial);
        }
        return 0;
    }
    long SetString(const KeyPath& key, const std::wstring& name,
                   const std::wstring& data) override {
        ++calls;
        if (!keys.count(PathOf(key)))
            return kErrorFileNotFound;
        values[PathOf(key) + L"|" + name] = data;
        return 0;
    }
    long DeleteValue(const KeyPath& key, const std::wstring& name) override {
        ++calls;
        return values.erase(PathOf(key) + L"|" + name) ? 0 : kErrorFileNotFound;
    }
    long DeleteTree(const KeyPath& key) override {
        ++calls;
        const std::wstring path = PathOf(key);
        if (!keys.count(path))
            return kErrorFileNotFound;
        for (auto it = keys.begin(); it != keys.end();)
            it = (*it == path || it->rfind(path + L"\\", 0) == 0) ? keys.erase(it) : std::next(it);
        for (auto it = values.begin(); it != values.end();)
            it = (it->first.rfind(path + L"|", 0) == 0 || it->first.rfind(path + L"\\", 0) == 0)
                     ? values.erase(it)
                     : std::next(it);
        return 0;
    }
    long DeleteKey(const KeyPath& key) override {
        ++calls;
        const std::wstring path = PathOf(key);
        if (HasSubKeys(key))
            return 5;
        if (!keys.erase(path))
            return kErrorFileNotFound;
        for (auto it = values.begin(); it != values.end();)
            it = it->first.rfind(path + L"|", 0) == 0 ? values.erase(it) : std::next(it);
        return 0;
    }
    bool KeyExists(const KeyPath& key) override { return keys.count(PathOf(key)) != 0; }
    bool HasSubKeys(const KeyPath& key) override {
        const std::wstring prefix = PathOf(key) + L"\\";
        for (const std::wstring& k : keys)
            if (k.rfind(prefix, 0) == 0)
                return true;
        return false;
    }
};

const wchar_t kScript[] = LR"(HKCR
{
	Prog.Id.2 = s 'Thing Class'
	{
		CLSID = s '{C1}'
	}
	NoRemove CLSID
	{
		ForceRemove {C1} = s 'Thing Class'
		{
			ForceRemove 'Programmable'
			InprocServer32 = s '%MODULE%'
			{
				val ThreadingModel = s 'Apartment'
			}
		}
	}
	NoRemove AppID
	{
		val Marker = s 'm'
	}
})";

Script Parse(const wchar_t* text) {
    ParseResult parsed = ParseScript(text, {{L"MODULE", L"C:\\x\\Thing.dll"}});
    EXPECT_TRUE(parsed.script) << parsed.error.message;
    return parsed.script ? *parsed.script : Script{};
}

TEST(ScriptRunner, RegistrationWritesEveryKeyAndValue) {
    FakeRegistry registry;
    const RunResult result = Register(Parse(kScript), registry);
    EXPECT_EQ(0, result.error);
    const std::set<std::wstring> expectedKeys = {
        L"0\\Prog.Id.2",   L"0\\Prog.Id.2\\CLSID",          L"0\\CLSID",
        L"0\\CLSID\\{C1}", L"0\\CLSID\\{C1}\\Programmable", L"0\\CLSID\\{C1}\\InprocServer32",
        L"0\\AppID"};
    EXPECT_EQ(expectedKeys, registry.keys);
    const std::map<std::wstring, std::wstring> expectedValues = {
        {L"0\\Prog.Id.2|", L"Thing Class"},
        {L"0\\Prog.Id.2\\CLSID|", L"{C1}"},
        {L"0\\CLSID\\{C1}|", L"Thing Class"},
        {L"0\\CLSID\\{C1}\\InprocServer32|", L"C:\\x\\Thing.dll"},
        {L"0\\CLSID\\{C1}\\InprocServer32|ThreadingModel", L"Apartment"},
        {L"0\\AppID|Marker", L"m"}};
    EXPECT_EQ(expectedValues, registry.values);
}

TEST(ScriptRunner, ForceRemoveClearsAnOldSubtreeBeforeWriting) {
    FakeRegistry registry;
    registry.CreateKey({RootKey::ClassesRoot, {L"CLSID", L"{C1}", L"Stale", L"Deeper"}});
    registry.SetString({RootKey::ClassesRoot, {L"CLSID", L"{C1}"}}, L"Old", L"x");
    registry.CreateKey({RootKey::ClassesRoot, {L"CLSID", L"{Other}"}});
    ASSERT_EQ(0, Register(Parse(kScript), registry).error);
    EXPECT_FALSE(registry.keys.count(L"0\\CLSID\\{C1}\\Stale"));
    EXPECT_FALSE(registry.values.count(L"0\\CLSID\\{C1}|Old"));
    EXPECT_TRUE(registry.keys.count(L"0\\CLSID\\{Other}"));
    EXPECT_TRUE(registry.keys.count(L"0\\CLSID\\{C1}\\InprocServer32"));
}

TEST(ScriptRunner, RemovalKeepsNoRemoveKeysAndForeignContent) {
    FakeRegistry registry;
    registry.CreateKey({RootKey::ClassesRoot, {L"CLSID", L"{Other}"}});
    registry.CreateKey({RootKey::ClassesRoot, {L"AppID", L"{OtherApp}"}});
    const Script script = Parse(kScript);
    ASSERT_EQ(0, Register(script, registry).error);
    // Something else put a key below one of ours that is not ForceRemove.
    registry.CreateKey({RootKey::ClassesRoot, {L"Prog.Id.2", L"Foreign"}});

    const RunResult result = Unregister(script, registry);
    EXPECT_EQ(0, result.error);
    const std::set<std::wstring> expectedKeys = {L"0\\CLSID",     L"0\\CLSID\\{Other}",
                                                 L"0\\AppID",     L"0\\AppID\\{OtherApp}",
                                                 L"0\\Prog.Id.2", L"0\\Prog.Id.2\\Foreign"};
    EXPECT_EQ(expectedKeys, registry.keys);
    // The scripted named value of a NoRemove key goes; the kept foreign key keeps its default.
    EXPECT_FALSE(registry.values.count(L"0\\AppID|Marker"));
    EXPECT_TRUE(registry.values.count(L"0\\Prog.Id.2|"));
    EXPECT_FALSE(registry.values.count(L"0\\Prog.Id.2\\CLSID|"));
}

TEST(ScriptRunner, RemovalOfWhatIsNotThereSucceedsAndTouchesNothing) {
    FakeRegistry registry;
    registry.CreateKey({RootKey::ClassesRoot, {L"Unrelated"}});
    const std::set<std::wstring> before = registry.keys;
    EXPECT_EQ(0, Unregister(Parse(kScript), registry).error);
    EXPECT_EQ(before, registry.keys);
    // Twice in a row is fine too; the NoRemove keys registration made stay.
    const Script script = Parse(kScript);
    ASSERT_EQ(0, Register(script, registry).error);
    EXPECT_EQ(0, Unregister(script, registry).error);
    EXPECT_EQ(0, Unregister(script, registry).error);
    const std::set<std::wstring> expected = {L"0\\Unrelated", L"0\\CLSID", L"0\\AppID"};
    EXPECT_EQ(expected, registry.keys);
    EXPECT_TRUE(registry.values.empty());
}

TEST(ScriptRunner, AFailingWriteStopsAtOnceAndNamesTheKey) {
    FakeRegistry registry;
    registry.failOn = L"0\\CLSID\\{C1}\\InprocServer32";
    registry.failWith = 5;
    const RunResult result = Register(Parse(kScript), registry);
    EXPECT_EQ(5, result.error);
    EXPECT_EQ(L"HKCR\\CLSID\\{C1}\\InprocServer32", result.key);
    // Nothing after the failure was attempted.
    EXPECT_FALSE(registry.keys.count(L"0\\AppID"));
}

} // namespace
} // namespace registry::registrar
