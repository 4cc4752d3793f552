// RegistryKey: counts, name arrays, values, flush, and the file operations with their privileges.
#include "RegistryTestSupport.h"

#include <ocidl.h>

#include <algorithm>
#include <string>
#include <vector>

namespace registry::test {
namespace {

class KeyTest : public RegistryTest {
protected:
    void RawCreate(const char* child) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(testKey_, child, 0, nullptr, 0, KEY_ALL_ACCESS,
                                                 nullptr, &key, nullptr));
        RegCloseKey(key);
    }
    void RawValue(const wchar_t* name) {
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(testKey_, name, 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(L"x"), 4));
    }

    static std::vector<std::wstring> Names(const Variant& names) {
        std::vector<std::wstring> result;
        EXPECT_EQ(VT_ARRAY | VT_VARIANT, names.Type());
        if (names.Type() != (VT_ARRAY | VT_VARIANT))
            return result;
        LONG lower = 0, upper = 0;
        SafeArrayGetLBound(V_ARRAY(names.Get()), 1, &lower);
        SafeArrayGetUBound(V_ARRAY(names.Get()), 1, &upper);
        EXPECT_EQ(1, lower);
        for (LONG i = lower; i <= upper; ++i) {
            Variant element;
            EXPECT_HRESULT_SUCCEEDED(SafeArrayGetElement(V_ARRAY(names.Get()), &i, element.Get()));
            EXPECT_EQ(VT_BSTR, element.Type());
            result.emplace_back(V_BSTR(element.Get()), SysStringLen(V_BSTR(element.Get())));
        }
        return result;
    }

    ComPtr<IRegistryKey> OrphanKey() {
        ComPtr<IRegistryKey> key;
        EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryKey, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IRegistryKey,
                                                  reinterpret_cast<void**>(&key)));
        return key;
    }
};

TEST_F(KeyTest, CountsAndNameArraysFollowTheRegistry) {
    ComPtr<IRegistryKey> key = OpenTestKey();
    LONG count = -1;
    ASSERT_HRESULT_SUCCEEDED(key->get_SubKeyCount(&count));
    EXPECT_EQ(0, count);
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueCount(&count));
    EXPECT_EQ(0, count);
    Variant names;
    ASSERT_HRESULT_SUCCEEDED(key->get_SubKeyNames(&names));
    EXPECT_EQ(VT_EMPTY, names.Type());
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueNames(&names));
    EXPECT_EQ(VT_EMPTY, names.Type());

    RawCreate("beta");
    RawCreate("alpha");
    RawValue(L"one");
    RawValue(L"two");
    RawValue(L"three");
    ASSERT_HRESULT_SUCCEEDED(key->get_SubKeyCount(&count));
    EXPECT_EQ(2, count);
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueCount(&count));
    EXPECT_EQ(3, count);
    ASSERT_HRESULT_SUCCEEDED(key->get_SubKeyNames(&names));
    EXPECT_EQ((std::vector<std::wstring>{L"alpha", L"beta"}), Names(names));
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueNames(&names));
    // Wine keeps values in name order, Windows in creation order: compare as sets.
    std::vector<std::wstring> valueNames = Names(names);
    std::sort(valueNames.begin(), valueNames.end());
    EXPECT_EQ((std::vector<std::wstring>{L"one", L"three", L"two"}), valueNames);

    EXPECT_REGISTRY_ERROR(key->get_SubKeyCount(nullptr), E_POINTER, kKeySource, L"Null pointer");
    EXPECT_REGISTRY_ERROR(key->get_ValueCount(nullptr), E_POINTER, kKeySource, L"Null pointer");
}

TEST_F(KeyTest, ValueNamesReadOnTheNtFamilyIncludingNonAnsiNames) {
    // The NT reader reads UTF-16 names, so a name without an ANSI form arrives intact.
    RawValue(L"\x4e00name");
    RawValue(L"");
    ComPtr<IRegistryKey> key = OpenTestKey();
    Variant names;
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueNames(&names));
    std::vector<std::wstring> valueNames = Names(names);
    std::sort(valueNames.begin(), valueNames.end());
    EXPECT_EQ((std::vector<std::wstring>{L"", L"\x4e00name"}), valueNames);
}

TEST_F(KeyTest, NamesLongerThanTheBufferFailTheArray) {
    const std::wstring longName(300, L'v');
    RawValue(L"short");
    RawValue(longName.c_str());
    ComPtr<IRegistryKey> key = OpenTestKey();
    Variant names;
    EXPECT_REGISTRY_SYSTEM_ERROR(key->get_ValueNames(&names), ERROR_MORE_DATA, kKeySource,
                                 L"Error enumerating value names");
    EXPECT_EQ(VT_EMPTY, names.Type());
    // The value itself is still usable by name.
    ComPtr<IRegistryValue> value;
    ASSERT_HRESULT_SUCCEEDED(key->OpenValue(Bstr(longName).Get(), &value));
    Variant data;
    ASSERT_HRESULT_SUCCEEDED(value->get_Value(&data));
    EXPECT_EQ(VT_BSTR, data.Type());
}

TEST_F(KeyTest, AKeyFromTheClassFactoryHasNoHandle) {
    ComPtr<IRegistryKey> key = OrphanKey();
    LONG handle = 0x5555;
    ASSERT_HRESULT_SUCCEEDED(key->get_HKEY(&handle));
    EXPECT_EQ(0, handle);
    ComPtr<IRegistryDatabase> database;
    ASSERT_HRESULT_SUCCEEDED(key->get_RegistryDatabase(&database));
    EXPECT_FALSE(database);
    LONG count = 0;
    EXPECT_REGISTRY_SYSTEM_ERROR(key->get_SubKeyCount(&count), ERROR_INVALID_HANDLE, kKeySource,
                                 L"Error querying the registry key information");
    Variant names;
    EXPECT_REGISTRY_SYSTEM_ERROR(key->get_ValueNames(&names), ERROR_INVALID_HANDLE, kKeySource,
                                 L"Error querying the registry key information");
    EXPECT_REGISTRY_SYSTEM_ERROR(key->Flush(), ERROR_INVALID_HANDLE, kKeySource,
                                 L"Error flushing registry");
    EXPECT_REGISTRY_ERROR(key->get_Name(nullptr), E_POINTER, kKeySource, L"Null pointer");
    EXPECT_REGISTRY_ERROR(key->get_HKEY(nullptr), E_POINTER, kKeySource, L"Null pointer");
    EXPECT_REGISTRY_ERROR(key->get_RegistryDatabase(nullptr), E_POINTER, kKeySource,
                          L"Null pointer");
}

TEST_F(KeyTest, OpenValueDoesNotTouchTheRegistryAndDeleteValueDoes) {
    ComPtr<IRegistryKey> key = OpenTestKey();
    ComPtr<IRegistryValue> value;
    ASSERT_HRESULT_SUCCEEDED(key->OpenValue(Bstr(L"not yet").Get(), &value));
    LONG count = -1;
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueCount(&count));
    EXPECT_EQ(0, count);
    EXPECT_REGISTRY_ERROR(key->OpenValue(Bstr(L"x").Get(), nullptr), E_POINTER, kKeySource,
                          L"Null pointer");

    RawValue(L"doomed");
    ASSERT_HRESULT_SUCCEEDED(key->DeleteValue(Bstr(L"doomed").Get()));
    ASSERT_HRESULT_SUCCEEDED(key->get_ValueCount(&count));
    EXPECT_EQ(0, count);
    EXPECT_REGISTRY_SYSTEM_ERROR(key->DeleteValue(Bstr(L"doomed").Get()), ERROR_FILE_NOT_FOUND,
                                 kKeySource, L"Error deleting the registry value");
    // A null name is the default value.
    ASSERT_EQ(ERROR_SUCCESS,
              RegSetValueExA(testKey_, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>("d"), 2));
    ASSERT_HRESULT_SUCCEEDED(key->DeleteValue(nullptr));
    EXPECT_EQ(ERROR_FILE_NOT_FOUND,
              RegQueryValueExA(testKey_, nullptr, nullptr, nullptr, nullptr, nullptr));
}

TEST_F(KeyTest, FlushSucceedsOnAnOpenKey) {
    ComPtr<IRegistryKey> key = OpenTestKey();
    EXPECT_HRESULT_SUCCEEDED(key->Flush());
}

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

std::wstring TempFile(const wchar_t* name) {
    wchar_t directory[MAX_PATH];
    GetTempPathW(MAX_PATH, directory);
    std::wstring path = std::wstring(directory) + name;
    DeleteFileW(path.c_str());
    return path;
}

LONGLONG FileSize(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

TEST_F(KeyTest, SaveWritesTheFileWithTheBackupPrivilegeAndPutsItBack) {
    RawCreate("saved child");
    RawValue(L"saved value");
    const std::wstring file = TempFile(L"tidewell-save-test.hive");
    ASSERT_FALSE(PrivilegeEnabled("SeBackupPrivilege"));
    // Without the privilege the system refuses: the library's enabling is what makes it work.
    HKEY raw = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, privateKey_->NarrowPath().c_str(), 0,
                                           KEY_READ, &raw));
    const std::string ansiFile(file.begin(), file.end());
    EXPECT_EQ(ERROR_PRIVILEGE_NOT_HELD, RegSaveKeyA(raw, (ansiFile + ".raw").c_str(), nullptr));
    RegCloseKey(raw);
    DeleteFileA((ansiFile + ".raw").c_str());

    ComPtr<IRegistryKey> key = OpenTestKey();
    ASSERT_HRESULT_SUCCEEDED(key->Save(Bstr(file).Get()));
    EXPECT_GT(FileSize(file), 0);
    EXPECT_FALSE(PrivilegeEnabled("SeBackupPrivilege"));

    EXPECT_REGISTRY_ERROR(key->Save(nullptr), E_POINTER, kKeySource, L"Null pointer");
    const std::wstring noFolder = TempFile(L"no such folder\\x.hive");
    ClearErrorInfo();
    const HRESULT hr = key->Save(Bstr(noFolder).Get());
    EXPECT_EQ(0x80070000u, static_cast<unsigned>(hr) & 0xFFFF0000u);
    const ErrorReport report = TakeErrorInfo();
    EXPECT_EQ(Narrow(WithSystemText(L"Error saving the registry key to file",
                                    static_cast<DWORD>(hr) & 0xFFFF)),
              Narrow(report.description));
    DeleteFileW(file.c_str());
}

// Under Wine RegRestoreKeyA and RegReplaceKeyA change nothing, so only the call path and the
// errors the system does report are checked.
TEST_F(KeyTest, RestoreAndReplaceCallTheSystemWithThePrivilegePutBack) {
    const std::wstring file = TempFile(L"tidewell-restore-test.hive");
    ComPtr<IRegistryKey> key = OpenTestKey();
    ASSERT_HRESULT_SUCCEEDED(key->Save(Bstr(file).Get()));

    EXPECT_HRESULT_SUCCEEDED(key->Restore(Bstr(file).Get()));
    EXPECT_FALSE(PrivilegeEnabled("SeRestorePrivilege"));
    EXPECT_REGISTRY_SYSTEM_ERROR(key->Restore(Bstr(L"").Get()), ERROR_INVALID_PARAMETER, kKeySource,
                                 L"Error restoring the registry key from file");
    EXPECT_REGISTRY_ERROR(key->Restore(nullptr), E_POINTER, kKeySource, L"Null pointer");

    const std::wstring backup = TempFile(L"tidewell-replace-backup.hive");
    EXPECT_HRESULT_SUCCEEDED(key->Replace(Bstr(file).Get(), Bstr(backup).Get()));
    EXPECT_FALSE(PrivilegeEnabled("SeRestorePrivilege"));
    EXPECT_REGISTRY_ERROR(key->Replace(nullptr, Bstr(backup).Get()), E_POINTER, kKeySource,
                          L"Null pointer");
    EXPECT_REGISTRY_ERROR(key->Replace(Bstr(file).Get(), nullptr), E_POINTER, kKeySource,
                          L"Null pointer");

    DeleteFileW(file.c_str());
    DeleteFileW(backup.c_str());
}

TEST_F(KeyTest, CollectionsArriveAsDispatchVariants) {
    RawCreate("child");
    RawValue(L"value");
    ComPtr<IRegistryKey> key = OpenTestKey();
    Variant keys;
    ASSERT_HRESULT_SUCCEEDED(key->SubKeys(&keys));
    ASSERT_EQ(VT_DISPATCH, keys.Type());
    ComPtr<IRegistryKeyCollection> keyCollection;
    EXPECT_HRESULT_SUCCEEDED(
        V_DISPATCH(keys.Get())
            ->QueryInterface(IID_IRegistryKeyCollection, reinterpret_cast<void**>(&keyCollection)));
    Variant values;
    ASSERT_HRESULT_SUCCEEDED(key->Values(&values));
    ASSERT_EQ(VT_DISPATCH, values.Type());
    ComPtr<IRegistryValueCollection> valueCollection;
    EXPECT_HRESULT_SUCCEEDED(V_DISPATCH(values.Get())
                                 ->QueryInterface(IID_IRegistryValueCollection,
                                                  reinterpret_cast<void**>(&valueCollection)));
    LONG count = 0;
    ASSERT_HRESULT_SUCCEEDED(valueCollection->get_Count(&count));
    EXPECT_EQ(1, count);
    EXPECT_REGISTRY_ERROR(key->SubKeys(nullptr), E_POINTER, kKeySource, L"Null pointer");
    EXPECT_REGISTRY_ERROR(key->Values(nullptr), E_POINTER, kKeySource, L"Null pointer");
}

TEST_F(KeyTest, ErrorInfoIsPromisedForTheDefaultInterfaceOnly) {
    ComPtr<IRegistryKey> key = OpenTestKey();
    ComPtr<ISupportErrorInfo> support;
    ASSERT_HRESULT_SUCCEEDED(
        key->QueryInterface(IID_ISupportErrorInfo, reinterpret_cast<void**>(&support)));
    EXPECT_EQ(S_OK, support->InterfaceSupportsErrorInfo(IID_IRegistryKey));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IDispatch));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IConnectionPointContainer));
    EXPECT_EQ(S_FALSE, support->InterfaceSupportsErrorInfo(IID_IRegistryValue));

    ComPtr<IConnectionPointContainer> container;
    EXPECT_HRESULT_SUCCEEDED(
        key->QueryInterface(IID_IConnectionPointContainer, reinterpret_cast<void**>(&container)));
    ComPtr<IUnknown> nothing;
    EXPECT_EQ(E_NOINTERFACE,
              key->QueryInterface(IID_IRegistryValue, reinterpret_cast<void**>(&nothing)));
    EXPECT_FALSE(nothing);
    EXPECT_EQ(E_POINTER, key->QueryInterface(IID_IUnknown, nullptr));
}

} // namespace
} // namespace registry::test
