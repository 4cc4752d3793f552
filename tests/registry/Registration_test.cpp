// Self-registration through regsvr32, as an installer does it: what each script writes, and what
// removal takes away and leaves.
#include "RegistryTestSupport.h"

#include <string>
#include <vector>

namespace registry::test {
namespace {

struct ClassRow {
    const wchar_t* name;
    const wchar_t* clsid;
};

const ClassRow kClasses[] = {
    {L"RegistryDatabase", L"{6D6610ED-CF5E-11D2-9679-0000F8770C8E}"},
    {L"RegistryKey", L"{6D6610EF-CF5E-11D2-9679-0000F8770C8E}"},
    {L"RegistryValue", L"{6D6610F2-CF5E-11D2-9679-0000F8770C8E}"},
    {L"RegistryAccessor", L"{6D6610F9-CF5E-11D2-9679-0000F8770C8E}"},
};
const wchar_t kLibrary[] = L"{6D6610E0-CF5E-11D2-9679-0000F8770C8E}";
// The type library registers under its own system kind: each build registers its own.
#ifdef _WIN64
const wchar_t kLibraryPlatform[] = L"win64";
#else
const wchar_t kLibraryPlatform[] = L"win32";
#endif

DWORD RunRegsvr32(const std::wstring& arguments) {
    std::wstring command = L"regsvr32.exe " + arguments + L" \"" + REGISTRY_DLL_PATH + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process))
        return 0xdeadbeef;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xdeadbeef;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

bool KeyExists(const std::wstring& path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

// The string value, or "<missing>".
std::wstring StringValue(const std::wstring& path, const wchar_t* name = nullptr) {
    wchar_t data[1024];
    DWORD size = sizeof(data);
    DWORD type = 0;
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
        return L"<missing>";
    const LONG result =
        RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || type != REG_SZ)
        return L"<missing>";
    return std::wstring(data, size / sizeof(wchar_t) - (size ? 1 : 0));
}

class RegistrationTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    }
    void TearDown() override {
        // Every other test needs the library registered.
        EXPECT_EQ(0u, RunRegsvr32(L"/s"));
        CoUninitialize();
    }

    void ExpectRegistered() {
        for (const ClassRow& row : kClasses) {
            SCOPED_TRACE(Narrow(row.name));
            const std::wstring versioned = std::wstring(L"Registry.") + row.name + L".2";
            const std::wstring independent = std::wstring(L"Registry.") + row.name;
            const std::wstring description = std::wstring(row.name) + L" Class";
            const std::wstring clsid = std::wstring(L"CLSID\\") + row.clsid;
            const std::wstring appId = std::wstring(L"AppID\\") + row.clsid;
            EXPECT_EQ(description, StringValue(versioned));
            EXPECT_EQ(row.clsid, StringValue(versioned + L"\\CLSID"));
            EXPECT_EQ(description, StringValue(independent));
            EXPECT_EQ(row.clsid, StringValue(independent + L"\\CLSID"));
            EXPECT_EQ(versioned, StringValue(independent + L"\\CurVer"));
            EXPECT_EQ(description, StringValue(clsid));
            EXPECT_EQ(versioned, StringValue(clsid + L"\\ProgID"));
            EXPECT_EQ(independent, StringValue(clsid + L"\\VersionIndependentProgID"));
            EXPECT_TRUE(KeyExists(clsid + L"\\Programmable"));
            EXPECT_EQ(std::wstring(REGISTRY_DLL_PATH), StringValue(clsid + L"\\InprocServer32"));
            EXPECT_EQ(L"Apartment", StringValue(clsid + L"\\InprocServer32", L"ThreadingModel"));
            EXPECT_EQ(kLibrary, StringValue(clsid + L"\\TypeLib"));
            EXPECT_EQ(row.clsid, StringValue(clsid, L"AppID"));
            EXPECT_EQ(description, StringValue(appId));
            EXPECT_EQ(row.clsid, StringValue(appId, L"AppID"));
            EXPECT_EQ(L"", StringValue(appId, L"DllSurrogate"));
        }
        EXPECT_EQ(std::wstring(REGISTRY_DLL_PATH),
                  StringValue(std::wstring(L"TypeLib\\") + kLibrary + L"\\1.0\\409\\" +
                              kLibraryPlatform));
    }
};

TEST_F(RegistrationTest, Regsvr32WritesEveryScriptAndTheTypeLibrary) {
    ASSERT_EQ(0u, RunRegsvr32(L"/s"));
    ExpectRegistered();
    ComPtr<IRegistryDatabase> database;
    EXPECT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryDatabase, nullptr, CLSCTX_INPROC_SERVER,
                                              IID_IRegistryDatabase,
                                              reinterpret_cast<void**>(&database)));
    // Registering again is harmless.
    ASSERT_EQ(0u, RunRegsvr32(L"/s"));
    ExpectRegistered();
}

TEST_F(RegistrationTest, RemovalTakesOurKeysAndLeavesTheSharedOnes) {
    ASSERT_EQ(0u, RunRegsvr32(L"/s"));
    // Someone else's class beside ours stays.
    const testsupport::PrivateRegistryKey foreign(HKEY_CLASSES_ROOT,
                                                  L"CLSID\\{6D6610E0-0000-0000-0000-0000F8770C8E}",
                                                  testsupport::PrivateRegistryKey::Start::Created);
    ASSERT_EQ(ERROR_SUCCESS, foreign.Created());

    ASSERT_EQ(0u, RunRegsvr32(L"/u /s"));
    for (const ClassRow& row : kClasses) {
        SCOPED_TRACE(Narrow(row.name));
        EXPECT_FALSE(KeyExists(std::wstring(L"Registry.") + row.name + L".2"));
        EXPECT_FALSE(KeyExists(std::wstring(L"Registry.") + row.name));
        EXPECT_FALSE(KeyExists(std::wstring(L"CLSID\\") + row.clsid));
        EXPECT_FALSE(KeyExists(std::wstring(L"AppID\\") + row.clsid));
    }
    EXPECT_TRUE(KeyExists(L"CLSID"));
    EXPECT_TRUE(KeyExists(L"AppID"));
    EXPECT_TRUE(KeyExists(L"CLSID\\{6D6610E0-0000-0000-0000-0000F8770C8E}"));
    EXPECT_FALSE(KeyExists(std::wstring(L"TypeLib\\") + kLibrary));
    ComPtr<ITypeLib> library;
    EXPECT_FALSE(SUCCEEDED(LoadRegTypeLib(LIBID_WindowsRegistry, 1, 0, 0x409, &library)));
    ComPtr<IRegistryDatabase> database;
    EXPECT_EQ(REGDB_E_CLASSNOTREG,
              CoCreateInstance(CLSID_RegistryDatabase, nullptr, CLSCTX_INPROC_SERVER,
                               IID_IRegistryDatabase, reinterpret_cast<void**>(&database)));
    // Removing what is already gone succeeds.
    EXPECT_EQ(0u, RunRegsvr32(L"/u /s"));

    ASSERT_EQ(0u, RunRegsvr32(L"/s"));
    ExpectRegistered();
}

TEST_F(RegistrationTest, ForceRemoveKeysAreRewrittenFromScratch) {
    ASSERT_EQ(0u, RunRegsvr32(L"/s"));
    const std::wstring stale = std::wstring(L"CLSID\\") + kClasses[0].clsid + L"\\Stale";
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, stale.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    // A key below a normal key survives re-registration.
    const std::wstring kept = L"Registry.RegistryDatabase\\Kept";
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_CLASSES_ROOT, kept.c_str(), 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
    ASSERT_EQ(0u, RunRegsvr32(L"/s"));
    EXPECT_FALSE(KeyExists(stale));
    EXPECT_TRUE(KeyExists(kept));
    ExpectRegistered();
    // Removal leaves a normal key that still holds something not ours.
    ASSERT_EQ(0u, RunRegsvr32(L"/u /s"));
    EXPECT_TRUE(KeyExists(kept));
    EXPECT_FALSE(KeyExists(L"Registry.RegistryDatabase\\CLSID"));
    RegDeleteTreeW(HKEY_CLASSES_ROOT, L"Registry.RegistryDatabase");
}

} // namespace
} // namespace registry::test
