// The program as a client of Registry.dll (registered in the prefix), on private keys.
#include "StartupEntriesTestSupport.h"
#include "startup_entries/win32/ComRegistryLibrary.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

using tidewell::kHkeyCurrentUser;
using tidewell::kNotFoundResult;
using tidewell::RegistryData;
using tidewell::RegistryEntry;
using tidewell::RegistryLibraryError;
using tidewell::test::PrivateRegistryKey;
using tidewell::test::StringBytes;
using tidewell::win32::ComRegistryLibrary;

class RegistryLibraryClient : public tidewell::test::ApartmentTest {
protected:
    ComRegistryLibrary library_;
};

TEST_F(RegistryLibraryClient, KeyWithAThousandValuesIsListedInFullInTheKeysOrder) {
    PrivateRegistryKey key("Entries.Thousand");
    // Created out of name order, so the key's own order is what is checked.
    for (int i = 999; i >= 0; --i) {
        wchar_t name[32];
        std::swprintf(name, 32, L"Entry %04d", (i * 7919) % 1000);
        ASSERT_EQ(key.SetString(name, std::wstring(L"c:\\programs\\") + name + L".exe"),
                  ERROR_SUCCESS);
    }
    const std::vector<std::wstring> order = key.Names();
    ASSERT_EQ(order.size(), 1000u);

    auto database = library_.CreateDatabase();
    auto opened = database->OpenKey(kHkeyCurrentUser, key.NarrowPath() + "\\");
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->ValueCount(), 1000);
    const std::vector<RegistryEntry> entries = opened->Values();
    ASSERT_EQ(entries.size(), 1000u);
    for (size_t i = 0; i < entries.size(); ++i) {
        const std::string name(order[i].begin(), order[i].end());
        ASSERT_EQ(entries[i].name, name) << "entry " << i;
        ASSERT_EQ(entries[i].data, RegistryData::Text("c:\\programs\\" + name + ".exe"))
            << "entry " << i;
    }
}

TEST_F(RegistryLibraryClient, MissingKeyOpensAsNothingAndCreateKeyMakesIt) {
    PrivateRegistryKey key("Entries.Missing");
    auto database = library_.CreateDatabase();
    EXPECT_EQ(database->OpenKey(kHkeyCurrentUser, key.NarrowPath() + "\\"), nullptr);

    auto created = database->CreateKey(kHkeyCurrentUser, key.NarrowPath());
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(created->ValueCount(), 0);
    EXPECT_TRUE(created->Values().empty());
    auto reopened = database->OpenKey(kHkeyCurrentUser, key.NarrowPath());
    ASSERT_NE(reopened, nullptr);
    EXPECT_TRUE(reopened->Values().empty());
}

TEST_F(RegistryLibraryClient, ValuesThatAreNotTextKeepTheirKind) {
    PrivateRegistryKey key("Entries.Types");
    const DWORD number = 123;
    const BYTE bytes[] = {1, 2, 3};
    const BYTE qword[] = {1, 0, 0, 0, 0, 0, 0, 0x80};
    const wchar_t multi[] = L"one\0two\0";
    const std::wstring expand = L"%SystemRoot%\\x.exe";
    ASSERT_EQ(key.SetRaw(L"Dword", REG_DWORD, &number, sizeof number), ERROR_SUCCESS);
    ASSERT_EQ(key.SetRaw(L"Binary", REG_BINARY, bytes, sizeof bytes), ERROR_SUCCESS);
    ASSERT_EQ(key.SetRaw(L"Multi", REG_MULTI_SZ, multi, sizeof multi), ERROR_SUCCESS);
    ASSERT_EQ(key.SetRaw(L"Expand", REG_EXPAND_SZ, expand.c_str(),
                         static_cast<DWORD>((expand.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
    ASSERT_EQ(key.SetString(L"Zero", L"0"), ERROR_SUCCESS);
    ASSERT_EQ(key.SetRaw(L"Qword", REG_QWORD, qword, sizeof qword), ERROR_SUCCESS);
    ASSERT_EQ(key.SetRaw(L"None", REG_NONE, nullptr, 0), ERROR_SUCCESS);

    auto opened = library_.CreateDatabase()->OpenKey(kHkeyCurrentUser, key.NarrowPath());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->ReadValue("Dword"), RegistryData::Number(123));
    EXPECT_EQ(opened->ReadValue("Binary"),
              RegistryData::Bytes(tidewell::kRegBinaryType, {1, 2, 3}));
    EXPECT_EQ(opened->ReadValue("Multi"), RegistryData::Strings({"one", "two"}));
    EXPECT_EQ(opened->ReadValue("Expand"), RegistryData::ExpandText("%SystemRoot%\\x.exe"));
    EXPECT_EQ(opened->ReadValue("Qword"),
              RegistryData::Bytes(tidewell::kRegQwordType, {1, 0, 0, 0, 0, 0, 0, 0x80}));
    EXPECT_EQ(opened->ReadValue("None"), RegistryData::Bytes(0, {}));
    EXPECT_EQ(opened->ReadValue("Zero"), RegistryData::Text("0"));
    EXPECT_EQ(opened->ReadValue("Nothing"), std::nullopt);

    // Existence does not depend on the type or the text.
    for (const char* name : {"Dword", "Binary", "Multi", "Expand", "Zero", "Qword", "None"}) {
        EXPECT_TRUE(opened->ValueExists(name)) << name;
    }
    EXPECT_FALSE(opened->ValueExists("Nothing"));

    const std::vector<RegistryEntry> entries = opened->Values();
    ASSERT_EQ(entries.size(), 7u);
    for (const RegistryEntry& entry : entries) {
        EXPECT_EQ(opened->ReadValue(entry.name), entry.data) << entry.name;
    }
}

TEST_F(RegistryLibraryClient, WritesRegSzAndDeletesWithTheLibrarysErrors) {
    PrivateRegistryKey key("Entries.Write");
    auto database = library_.CreateDatabase();
    auto created = database->CreateKey(kHkeyCurrentUser, key.NarrowPath());
    ASSERT_NE(created, nullptr);

    created->WriteString("New \"Entry\"", "\"c:\\a b\\c.exe\" /x");
    created->WriteString("", "default data");
    EXPECT_EQ(key.GetRaw(L"New \"Entry\""),
              std::make_pair(DWORD{REG_SZ}, StringBytes(L"\"c:\\a b\\c.exe\" /x")));
    EXPECT_EQ(key.GetRaw(L""), std::make_pair(DWORD{REG_SZ}, StringBytes(L"default data")));

    created->DeleteValue("New \"Entry\"");
    EXPECT_FALSE(created->ValueExists("New \"Entry\""));
    EXPECT_EQ(key.GetRaw(L"New \"Entry\"").first, 0xdeadbeef);

    // The library's own report reaches the core: the HRESULT and the error information's text.
    try {
        created->DeleteValue("New \"Entry\"");
        ADD_FAILURE() << "deleting a missing value did not fail";
    } catch (const RegistryLibraryError& error) {
        EXPECT_EQ(error.HResult(), kNotFoundResult);
        EXPECT_EQ(error.Description().rfind("Error deleting the registry value - ", 0), 0u)
            << error.Description();
    }
}

TEST_F(RegistryLibraryClient, KeyDeletedUnderAnOpenObjectReportsInsteadOfCrashing) {
    PrivateRegistryKey key("Entries.Deleted");
    ASSERT_EQ(key.SetString(L"A", L"a"), ERROR_SUCCESS);
    auto opened = library_.CreateDatabase()->OpenKey(kHkeyCurrentUser, key.NarrowPath());
    ASSERT_NE(opened, nullptr);
    ASSERT_EQ(RegDeleteTreeA(HKEY_CURRENT_USER, key.NarrowPath().c_str()), ERROR_SUCCESS);

    try {
        opened->WriteString("B", "b");
        ADD_FAILURE() << "a write to a deleted key succeeded";
    } catch (const RegistryLibraryError& error) {
        // ERROR_KEY_DELETED (1018) on Windows and Wine.
        EXPECT_EQ(error.HResult(), 0x800703FAu);
        EXPECT_EQ(error.Description().rfind("Error setting the registry value", 0), 0u)
            << error.Description();
    }
}

} // namespace
