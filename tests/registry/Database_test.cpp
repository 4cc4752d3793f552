// RegistryDatabase: the computer name and its lock, remote connection rules, and the key methods.
#include "ImportPatch.h"
#include "RegistryTestSupport.h"

#include <cstdio>
#include <string>

namespace registry::test {
namespace {

using registry_test::RefusedKeyOpen;

class DatabaseTest : public RegistryTest {
protected:
    ComPtr<IRegistryDatabase> NewDatabase() {
        ComPtr<IRegistryDatabase> database;
        EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryDatabase, nullptr,
                                                  CLSCTX_INPROC_SERVER, IID_IRegistryDatabase,
                                                  reinterpret_cast<void**>(&database)));
        return database;
    }

    bool RawKeyExists(const std::wstring& child) {
        HKEY key = nullptr;
        const std::string path =
            privateKey_->NarrowPath() + "\\" + std::string(child.begin(), child.end());
        if (RegOpenKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }

    void RawCreate(const std::string& child) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(testKey_, child.c_str(), 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, &key, nullptr));
        ASSERT_EQ(ERROR_SUCCESS,
                  RegSetValueExA(key, "v", 0, REG_SZ, reinterpret_cast<const BYTE*>("x"), 2));
        RegCloseKey(key);
    }

    static std::wstring LocalComputerName() {
        wchar_t name[MAX_COMPUTERNAME_LENGTH + 1];
        DWORD length = MAX_COMPUTERNAME_LENGTH + 1;
        EXPECT_TRUE(GetComputerNameW(name, &length));
        return std::wstring(name, length);
    }

    // A failed system call: 0x8007xxxx and the message, " - " and the system's text for xxxx.
    static void ExpectSystemFailure(HRESULT hr, const wchar_t* message) {
        EXPECT_EQ(0x80070000u, static_cast<unsigned>(hr) & 0xFFFF0000u) << std::hex << hr;
        const ErrorReport report = TakeErrorInfo();
        EXPECT_EQ(std::wstring(kDatabaseSource), report.source);
        EXPECT_EQ(Narrow(WithSystemText(message, static_cast<DWORD>(hr) & 0xFFFF)),
                  Narrow(report.description));
        EXPECT_EQ(0u, report.description.rfind(std::wstring(message) + L" - ", 0))
            << Narrow(report.description);
    }
};

TEST_F(DatabaseTest, ComputerNameIsAssignedOnceAndOnlyBeforeTheFirstKey) {
    ComPtr<IRegistryDatabase> database = NewDatabase();
    Bstr name;
    ASSERT_HRESULT_SUCCEEDED(database->get_ComputerName(&name));
    EXPECT_EQ(0u, name.Length());
    ASSERT_HRESULT_SUCCEEDED(database->put_ComputerName(Bstr(L"first").Get()));
    EXPECT_REGISTRY_ERROR(database->put_ComputerName(Bstr(L"second").Get()), E_FAIL,
                          kDatabaseSource, L"ComputerName already in use and cannot be changed");
    ASSERT_HRESULT_SUCCEEDED(database->get_ComputerName(&name));
    EXPECT_EQ(L"first", name.View());

    // An opened key locks it; a failed open does not.
    ComPtr<IRegistryDatabase> opened = NewDatabase();
    ComPtr<IRegistryKey> key;
    ClearErrorInfo();
    ASSERT_FALSE(SUCCEEDED(opened->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName(L"missing").Get(),
                                           REG_ACCESS_ALL, &key)));
    ASSERT_HRESULT_SUCCEEDED(opened->CreateKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(),
                                               REG_CREATE_OPTION_NON_VOLATILE,
                                               REG_ACCESS_BEST_AVAILABLE, &key));
    EXPECT_REGISTRY_ERROR(opened->put_ComputerName(Bstr(L"late").Get()), E_FAIL, kDatabaseSource,
                          L"ComputerName already in use and cannot be changed");

    ComPtr<IRegistryDatabase> afterOpen = NewDatabase();
    ASSERT_HRESULT_SUCCEEDED(
        afterOpen->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(), REG_ACCESS_READ, &key));
    EXPECT_REGISTRY_ERROR(afterOpen->put_ComputerName(nullptr), E_FAIL, kDatabaseSource,
                          L"ComputerName already in use and cannot be changed");

    EXPECT_REGISTRY_ERROR(database->get_ComputerName(nullptr), E_POINTER, kDatabaseSource,
                          L"Null pointer");
}

TEST_F(DatabaseTest, ComputerNamesUpTo260BytesAreConnectedAndLongerOnesRejected) {
    ComPtr<IRegistryKey> key;
    ComPtr<IRegistryDatabase> longest = NewDatabase();
    ASSERT_HRESULT_SUCCEEDED(longest->put_ComputerName(Bstr(std::wstring(260, L'n')).Get()));
    ClearErrorInfo();
    HRESULT hr =
        longest->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(), REG_ACCESS_READ, &key);
    ExpectSystemFailure(hr, L"Error connecting to the remote computer");
    EXPECT_FALSE(key);

    ComPtr<IRegistryDatabase> tooLong = NewDatabase();
    ASSERT_HRESULT_SUCCEEDED(tooLong->put_ComputerName(Bstr(std::wstring(261, L'n')).Get()));
    EXPECT_REGISTRY_ERROR(
        tooLong->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(), REG_ACCESS_READ, &key),
        E_INVALIDARG, kDatabaseSource, L"Invalid computer name");
    EXPECT_REGISTRY_ERROR(tooLong->DeleteKey(REG_HKEY_CURRENT_USER, TestKeyName().Get()),
                          E_INVALIDARG, kDatabaseSource, L"Invalid computer name");
    EXPECT_TRUE(RawKeyExists(L""));

    // An unknown host fails at the connection, for every key method.
    ComPtr<IRegistryDatabase> unknown = NewDatabase();
    ASSERT_HRESULT_SUCCEEDED(unknown->put_ComputerName(Bstr(L"tidewell-no-such-host").Get()));
    ClearErrorInfo();
    ExpectSystemFailure(unknown->CreateKey(REG_HKEY_CURRENT_USER, TestKeyName(L"c").Get(),
                                           REG_CREATE_OPTION_NON_VOLATILE,
                                           REG_ACCESS_BEST_AVAILABLE, &key),
                        L"Error connecting to the remote computer");
    ExpectSystemFailure(unknown->DeleteKeyTree(REG_HKEY_CURRENT_USER, TestKeyName().Get()),
                        L"Error connecting to the remote computer");
    ExpectSystemFailure(unknown->UnloadKey(REG_HKEY_USERS, Bstr(L"x").Get()),
                        L"Error connecting to the remote computer");
    EXPECT_FALSE(RawKeyExists(L"c"));
    EXPECT_TRUE(RawKeyExists(L""));
}

TEST_F(DatabaseTest, TheLocalComputerIsReachedWithOrWithoutLeadingBackslashes) {
    RawCreate("child");
    for (const std::wstring& name : {LocalComputerName(), L"\\\\" + LocalComputerName()}) {
        SCOPED_TRACE(Narrow(name));
        ComPtr<IRegistryDatabase> database = NewDatabase();
        ASSERT_HRESULT_SUCCEEDED(database->put_ComputerName(Bstr(name).Get()));
        ComPtr<IRegistryKey> key;
        ASSERT_HRESULT_SUCCEEDED(
            database->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(), REG_ACCESS_READ, &key));
        LONG count = -1;
        ASSERT_HRESULT_SUCCEEDED(key->get_SubKeyCount(&count));
        EXPECT_EQ(1, count);
    }
}

TEST_F(DatabaseTest, AKeyHandleBaseIsUsedWithoutConnecting) {
    RawCreate("child");
    ComPtr<IRegistryKey> parent = OpenTestKey();
    LONG handle = 0;
    ASSERT_HRESULT_SUCCEEDED(parent->get_HKEY(&handle));
    ASSERT_NE(0, handle);

    ComPtr<IRegistryDatabase> remote = NewDatabase();
    ASSERT_HRESULT_SUCCEEDED(remote->put_ComputerName(Bstr(L"tidewell-no-such-host").Get()));
    ComPtr<IRegistryKey> child;
    ASSERT_HRESULT_SUCCEEDED(remote->OpenKey(static_cast<REG_PREDEFINED_HKEYS>(handle),
                                             Bstr(L"child").Get(), REG_ACCESS_READ, &child));
    LONG values = 0;
    ASSERT_HRESULT_SUCCEEDED(child->get_ValueCount(&values));
    EXPECT_EQ(1, values);
}

TEST_F(DatabaseTest, CreateKeyMakesAKeyHoldingItsDatabaseNameAndHandle) {
    const std::wstring name = TestKeyPath() + L"\\Made\\Deeper";
    ComPtr<IRegistryKey> key;
    ASSERT_HRESULT_SUCCEEDED(database_->CreateKey(REG_HKEY_CURRENT_USER, Bstr(name).Get(),
                                                  REG_CREATE_OPTION_NON_VOLATILE,
                                                  REG_ACCESS_BEST_AVAILABLE, &key));
    EXPECT_TRUE(RawKeyExists(L"Made\\Deeper"));
    Bstr keyName;
    ASSERT_HRESULT_SUCCEEDED(key->get_Name(&keyName));
    EXPECT_EQ(name, keyName.View());
    LONG handle = 0;
    ASSERT_HRESULT_SUCCEEDED(key->get_HKEY(&handle));
    EXPECT_NE(0, handle);
    ComPtr<IRegistryDatabase> owner;
    ASSERT_HRESULT_SUCCEEDED(key->get_RegistryDatabase(&owner));
    EXPECT_EQ(database_.Get(), owner.Get());

    // Creating an existing key opens it.
    ComPtr<IRegistryKey> again;
    ASSERT_HRESULT_SUCCEEDED(database_->CreateKey(REG_HKEY_CURRENT_USER, Bstr(name).Get(),
                                                  REG_CREATE_OPTION_VOLATILE, REG_ACCESS_ALL,
                                                  &again));
    EXPECT_REGISTRY_ERROR(database_->CreateKey(REG_HKEY_CURRENT_USER, Bstr(name).Get(),
                                               REG_CREATE_OPTION_NON_VOLATILE,
                                               REG_ACCESS_BEST_AVAILABLE, nullptr),
                          E_POINTER, kDatabaseSource, L"Null pointer");
}

TEST_F(DatabaseTest, TheAccessModeReachesTheRegistry) {
    ComPtr<IRegistryKey> readOnly;
    ASSERT_HRESULT_SUCCEEDED(database_->CreateKey(REG_HKEY_CURRENT_USER, TestKeyName(L"ro").Get(),
                                                  REG_CREATE_OPTION_NON_VOLATILE, REG_ACCESS_READ,
                                                  &readOnly));
    ComPtr<IRegistryValue> value;
    ASSERT_HRESULT_SUCCEEDED(readOnly->OpenValue(Bstr(L"v").Get(), &value));
    VARIANT text;
    V_VT(&text) = VT_BSTR;
    V_BSTR(&text) = SysAllocString(L"x");
    EXPECT_EQ(HRESULT_FROM_WIN32(ERROR_ACCESS_DENIED), value->put_Value(text));
    VariantClear(&text);

    // Best available is the maximum allowed: writing works.
    ComPtr<IRegistryKey> best = OpenTestKey();
    ASSERT_HRESULT_SUCCEEDED(best->OpenValue(Bstr(L"v").Get(), &value));
    V_VT(&text) = VT_I4;
    V_I4(&text) = 3;
    EXPECT_HRESULT_SUCCEEDED(value->put_Value(text));
}

TEST_F(DatabaseTest, OpenKeyFailuresAndTheNullSubKey) {
    ComPtr<IRegistryKey> key;
    EXPECT_REGISTRY_SYSTEM_ERROR(
        database_->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName(L"missing").Get(),
                           REG_ACCESS_BEST_AVAILABLE, &key),
        ERROR_FILE_NOT_FOUND, kDatabaseSource, L"Error opening the registry key");
    EXPECT_FALSE(key);
    EXPECT_REGISTRY_ERROR(database_->OpenKey(REG_HKEY_CURRENT_USER, TestKeyName().Get(),
                                             REG_ACCESS_BEST_AVAILABLE, nullptr),
                          E_POINTER, kDatabaseSource, L"Null pointer");

    // A null sub-key opens the base itself.
    RawCreate("one");
    ComPtr<IRegistryKey> parent = OpenTestKey();
    LONG handle = 0;
    ASSERT_HRESULT_SUCCEEDED(parent->get_HKEY(&handle));
    ComPtr<IRegistryKey> same;
    ASSERT_HRESULT_SUCCEEDED(database_->OpenKey(static_cast<REG_PREDEFINED_HKEYS>(handle), nullptr,
                                                REG_ACCESS_BEST_AVAILABLE, &same));
    LONG subKeys = 0;
    ASSERT_HRESULT_SUCCEEDED(same->get_SubKeyCount(&subKeys));
    EXPECT_EQ(1, subKeys);
    Bstr name;
    ASSERT_HRESULT_SUCCEEDED(same->get_Name(&name));
    EXPECT_EQ(0u, name.Length());
}

TEST_F(DatabaseTest, NamesLongerThanTheSystemAllowsAreTheSystemsError) {
    // Key names are limited to 255 characters.
    ComPtr<IRegistryKey> key;
    ClearErrorInfo();
    const HRESULT hr =
        database_->CreateKey(REG_HKEY_CURRENT_USER, TestKeyName(std::wstring(300, L'k')).Get(),
                             REG_CREATE_OPTION_NON_VOLATILE, REG_ACCESS_BEST_AVAILABLE, &key);
    ExpectSystemFailure(hr, L"Error creating the registry key");
    EXPECT_FALSE(key);
    EXPECT_FALSE(RawKeyExists(std::wstring(300, L'k')));
}

TEST_F(DatabaseTest, DeleteKeyRemovesALeafAndReportsTheSystemsRefusals) {
    RawCreate("leaf");
    RawCreate("parent\\child");
    ASSERT_HRESULT_SUCCEEDED(
        database_->DeleteKey(REG_HKEY_CURRENT_USER, TestKeyName(L"leaf").Get()));
    EXPECT_FALSE(RawKeyExists(L"leaf"));
    EXPECT_REGISTRY_SYSTEM_ERROR(
        database_->DeleteKey(REG_HKEY_CURRENT_USER, TestKeyName(L"leaf").Get()),
        ERROR_FILE_NOT_FOUND, kDatabaseSource, L"Error deleting the registry key");
    ClearErrorInfo();
    const HRESULT hr = database_->DeleteKey(REG_HKEY_CURRENT_USER, TestKeyName(L"parent").Get());
    ExpectSystemFailure(hr, L"Error deleting the registry key");
    EXPECT_TRUE(RawKeyExists(L"parent\\child"));
}

TEST_F(DatabaseTest, DeleteKeyTreeRemovesAThreeLevelTreeBottomUp) {
    RawCreate("tree\\a\\a1");
    RawCreate("tree\\a\\a2");
    RawCreate("tree\\b\\b1\\b11");
    RawCreate("tree\\c");
    RawCreate("sibling");
    ASSERT_HRESULT_SUCCEEDED(
        database_->DeleteKeyTree(REG_HKEY_CURRENT_USER, TestKeyName(L"tree").Get()));
    EXPECT_FALSE(RawKeyExists(L"tree"));
    EXPECT_TRUE(RawKeyExists(L"sibling"));

    EXPECT_REGISTRY_SYSTEM_ERROR(
        database_->DeleteKeyTree(REG_HKEY_CURRENT_USER, TestKeyName(L"tree").Get()),
        ERROR_FILE_NOT_FOUND, kDatabaseSource, L"Error opening the registry key");
}

TEST_F(DatabaseTest, DeleteKeyTreeStopsAtAChildThatCannotBeOpened) {
    RawCreate("tree\\a");
    RawCreate("tree\\z refused");
    RefusedKeyOpen refusal;
    ASSERT_TRUE(refusal.Applied());
    EXPECT_REGISTRY_SYSTEM_ERROR(
        database_->DeleteKeyTree(REG_HKEY_CURRENT_USER, TestKeyName(L"tree").Get()),
        ERROR_FILE_NOT_FOUND, kDatabaseSource, L"Error opening the registry key");
    // Children before the failing one are gone; the rest stays.
    EXPECT_FALSE(RawKeyExists(L"tree\\a"));
    EXPECT_TRUE(RawKeyExists(L"tree"));
}

TEST_F(DatabaseTest, DeleteKeyTreeRefusesAnEmptySubKey) {
    RawCreate("keep");
    ComPtr<IRegistryKey> parent = OpenTestKey();
    LONG handle = 0;
    ASSERT_HRESULT_SUCCEEDED(parent->get_HKEY(&handle));
    for (BSTR empty : {static_cast<BSTR>(nullptr), Bstr(L"").Detach()}) {
        EXPECT_REGISTRY_SYSTEM_ERROR(
            database_->DeleteKeyTree(static_cast<REG_PREDEFINED_HKEYS>(handle), empty),
            ERROR_INVALID_PARAMETER, kDatabaseSource, L"Error deleting the registry key");
        SysFreeString(empty);
    }
    EXPECT_TRUE(RawKeyExists(L"keep"));
}

// Token privilege state of this process, for checking that it is put back.
bool PrivilegeEnabled(const char* name) {
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    LUID luid;
    LookupPrivilegeValueA(nullptr, name, &luid);
    PRIVILEGE_SET set = {1, PRIVILEGE_SET_ALL_NECESSARY, {{luid, 0}}};
    BOOL enabled = FALSE;
    PrivilegeCheck(token, &set, &enabled);
    CloseHandle(token);
    return enabled != FALSE;
}

class PrivilegeForTest {
public:
    explicit PrivilegeForTest(const char* name) {
        OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token_);
        TOKEN_PRIVILEGES privileges = {1, {{{0, 0}, SE_PRIVILEGE_ENABLED}}};
        LookupPrivilegeValueA(nullptr, name, &privileges.Privileges[0].Luid);
        DWORD size = sizeof(previous_);
        AdjustTokenPrivileges(token_, FALSE, &privileges, sizeof(previous_), &previous_, &size);
    }
    ~PrivilegeForTest() {
        AdjustTokenPrivileges(token_, FALSE, &previous_, 0, nullptr, nullptr);
        CloseHandle(token_);
    }

private:
    HANDLE token_ = nullptr;
    TOKEN_PRIVILEGES previous_ = {};
};

std::wstring TempFile(const wchar_t* name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    std::wstring path = std::wstring(directory) + name;
    DeleteFileW(path.c_str());
    return path;
}

TEST_F(DatabaseTest, LoadKeyAndUnloadKeyRoundTrip) {
    // A hive file made from the test key.
    RawCreate("inside");
    const std::wstring file = TempFile(L"tidewell-load-test.hive");
    ComPtr<IRegistryKey> source = OpenTestKey();
    ASSERT_HRESULT_SUCCEEDED(source->Save(Bstr(file).Get()));
    source.Reset();
    ASSERT_FALSE(PrivilegeEnabled("SeRestorePrivilege"));

    const Bstr hive(L"TidewellLoadTest");
    ComPtr<IRegistryKey> loaded;
    ASSERT_HRESULT_SUCCEEDED(
        database_->LoadKey(REG_HKEY_USERS, hive.Get(), Bstr(file).Get(), &loaded));
    EXPECT_FALSE(PrivilegeEnabled("SeRestorePrivilege"));
    Bstr name;
    ASSERT_HRESULT_SUCCEEDED(loaded->get_Name(&name));
    EXPECT_EQ(L"TidewellLoadTest", name.View());
    Variant names;
    ASSERT_HRESULT_SUCCEEDED(loaded->get_SubKeyNames(&names));
    ASSERT_EQ(VT_ARRAY | VT_VARIANT, names.Type());
    LONG index = 1;
    Variant first;
    ASSERT_HRESULT_SUCCEEDED(SafeArrayGetElement(V_ARRAY(names.Get()), &index, first.Get()));
    EXPECT_STREQ(L"inside", V_BSTR(first.Get()));

    // The library enables no privilege for unloading, and an open key keeps the hive busy.
    ClearErrorInfo();
    ExpectSystemFailure(database_->UnloadKey(REG_HKEY_USERS, hive.Get()),
                        L"Error unloading the registry key");
    loaded.Reset();
    {
        PrivilegeForTest restore("SeRestorePrivilege");
        ASSERT_HRESULT_SUCCEEDED(database_->UnloadKey(REG_HKEY_USERS, hive.Get()));
    }
    ComPtr<IRegistryKey> gone;
    EXPECT_REGISTRY_SYSTEM_ERROR(
        database_->OpenKey(REG_HKEY_USERS, hive.Get(), REG_ACCESS_READ, &gone),
        ERROR_FILE_NOT_FOUND, kDatabaseSource, L"Error opening the registry key");
    DeleteFileW(file.c_str());
}

TEST_F(DatabaseTest, LoadKeyAndUnloadKeyFailures) {
    ComPtr<IRegistryKey> key;
    const Bstr hive(L"TidewellLoadFailure");
    EXPECT_REGISTRY_ERROR(database_->LoadKey(REG_HKEY_USERS, hive.Get(), nullptr, &key), E_POINTER,
                          kDatabaseSource, L"Null pointer");
    EXPECT_REGISTRY_ERROR(
        database_->LoadKey(REG_HKEY_USERS, hive.Get(), Bstr(L"C:\\x.hive").Get(), nullptr),
        E_POINTER, kDatabaseSource, L"Null pointer");

    const std::wstring missing = TempFile(L"tidewell-no-such.hive");
    ClearErrorInfo();
    HRESULT hr = database_->LoadKey(REG_HKEY_USERS, hive.Get(), Bstr(missing).Get(), &key);
    ExpectSystemFailure(hr, L"Error loading the registry key from file");
    EXPECT_FALSE(key);

    // Garbage is not a hive.
    const std::wstring garbage = TempFile(L"tidewell-garbage.hive");
    FILE* file = _wfopen(garbage.c_str(), L"wb");
    ASSERT_NE(nullptr, file);
    fputs("this is not a registry hive\n", file);
    fclose(file);
    ClearErrorInfo();
    hr = database_->LoadKey(REG_HKEY_USERS, hive.Get(), Bstr(garbage).Get(), &key);
    ExpectSystemFailure(hr, L"Error loading the registry key from file");
    DeleteFileW(garbage.c_str());
}

} // namespace
} // namespace registry::test
