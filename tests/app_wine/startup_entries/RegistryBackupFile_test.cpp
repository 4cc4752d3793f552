// The backup file on disk, and Wine's regedit importing it back.
#include "StartupEntriesTestSupport.h"
#include "startup_entries/RegistryBackup.h"
#include "startup_entries/win32/ComRegistryLibrary.h"
#include "startup_entries/win32/Win32TextFiles.h"
#include "win32common/Text.h"

#include <windows.h>
#include <objbase.h>

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <string>
#include <tuple>
#include <vector>

namespace {

using tidewell::BackupEntry;
using tidewell::BackupLocation;
using tidewell::BackupResult;
using tidewell::kHkeyCurrentUser;
using tidewell::RegistryEntry;
using tidewell::TextFilePort;
using tidewell::WriteRegistryBackup;
using tidewell::test::PrivateRegistryKey;
using tidewell::test::StringBytes;
using tidewell::test::TemporaryFolder;
using tidewell::win32::ComRegistryLibrary;
using tidewell::win32::Win32TextFiles;
using win32common::WideToUtf8;

std::string ReadBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

TEST(TextFiles, CreatesNestedFoldersWritesAnsiAndAppends) {
    TemporaryFolder temp;
    ASSERT_TRUE(temp.Created());
    Win32TextFiles files;
    const std::string base = win32common::WideToUtf8(temp.Path());
    const std::string nested = base + "\\Vellmoor\\Tidewell\\Registry Backup\\";
    const std::string file = nested + "Registry Backup.Reg";

    EXPECT_FALSE(files.FolderExists(nested));
    ASSERT_TRUE(files.CreateFolder(nested));
    EXPECT_TRUE(files.FolderExists(nested));
    EXPECT_FALSE(files.FileExists(nested));
    EXPECT_FALSE(files.FileExists(file));

    ASSERT_TRUE(files.WriteText(file, "caf\xC3\xA9\r\n", TextFilePort::Mode::Create));
    EXPECT_TRUE(files.FileExists(file));
    EXPECT_FALSE(files.FolderExists(file));
    ASSERT_TRUE(files.WriteText(file, "second\r\n", TextFilePort::Mode::Append));
    // The system's ANSI code page here is 1252: e-acute is one byte.
    EXPECT_EQ(ReadBytes(win32common::Utf8ToWide(file)), "caf\xE9\r\nsecond\r\n");

    // A character the code page lacks is refused, and the file stays as it was.
    EXPECT_FALSE(files.WriteText(file, "\xE2\x98\x83 snowman\r\n", TextFilePort::Mode::Append));
    EXPECT_EQ(ReadBytes(win32common::Utf8ToWide(file)), "caf\xE9\r\nsecond\r\n");

    ASSERT_TRUE(files.WriteText(file, "anew\r\n", TextFilePort::Mode::Create));
    EXPECT_EQ(ReadBytes(win32common::Utf8ToWide(file)), "anew\r\n");

    // A folder cannot be written as a file, nor made where a file stands.
    EXPECT_FALSE(files.WriteText(nested, "x", TextFilePort::Mode::Create));
    EXPECT_FALSE(files.CreateFolder(file));
}

// Runs Wine's regedit on the file, silently, and waits for it.
DWORD ImportWithRegedit(const std::wstring& file) {
    std::wstring commandLine = L"regedit.exe /s \"" + file + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return GetLastError();
    }
    const DWORD waited = WaitForSingleObject(process.hProcess, 60000);
    DWORD exitCode = 0xdeadbeef;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return waited == WAIT_OBJECT_0 ? exitCode : WAIT_TIMEOUT;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
    for (size_t at = text.find(from); at != std::string::npos;
         at = text.find(from, at + to.size())) {
        text.replace(at, from.size(), to);
    }
    return text;
}

// The editor's road: entries read through the library, backed up, deleted; the backup imported
// by regedit gives every name and its data back exactly. The section lines are pointed at a
// private key before the import: the test never touches the real Run keys.
TEST(RegistryBackupFile, RegeditImportsTheBackupBackExactly) {
    ASSERT_HRESULT_SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED));
    {
        PrivateRegistryKey key("Entries.Import");
        const std::vector<std::pair<std::wstring, std::wstring>> originals = {
            {L"Plain", L"c:\\windows\\plain.exe"},
            {L"Quoted \"name\"", L"\"C:\\Program Files\\Some App\\app.exe\" /start \"x\""},
            {L"Back\\slash\\", L"\\\\server\\share\\tool.exe \\"},
            {L"  spaces  around  ", L"  c:\\two  spaces.exe  "},
            {L"", L"the default value"},
            {L"Empty data", L""},
            {L"caf\u00e9", L"c:\\caf\u00e9\\[x]=y;z.exe"},
        };
        for (const auto& [name, data] : originals) {
            ASSERT_EQ(key.SetString(name, data), ERROR_SUCCESS);
        }
        const DWORD number = 0x1234abcd;
        ASSERT_EQ(key.SetRaw(L"Number", REG_DWORD, &number, sizeof number), ERROR_SUCCESS);
        // Every other type, each stored as raw bytes that must come back unchanged.
        std::vector<BYTE> longBinary(100);
        for (size_t i = 0; i < longBinary.size(); ++i) {
            longBinary[i] = static_cast<BYTE>(i * 7);
        }
        // A literal's bytes with its closing NUL.
        const auto wide = []<size_t N>(const wchar_t(&text)[N]) {
            const auto* bytes = reinterpret_cast<const BYTE*>(text);
            return std::vector<BYTE>(bytes, bytes + N * sizeof(wchar_t));
        };
        const std::vector<std::tuple<std::wstring, DWORD, std::vector<BYTE>>> raws = {
            {L"Expandable", REG_EXPAND_SZ, wide(L"%SystemRoot%\\system32\\caf\u00e9.exe")},
            {L"Multi", REG_MULTI_SZ, wide(L"one\0two words\0")},
            {L"Binary", REG_BINARY, longBinary},
            {L"Empty binary", REG_BINARY, {}},
            {L"Qword", REG_QWORD, {1, 2, 3, 4, 5, 6, 7, 0x80}},
            {L"None", REG_NONE, {0xff}},
            {L"Odd type", 0x99, {0x10, 0x20}},
            {L"Two lines", REG_SZ, wide(L"first\r\nsecond")},
        };
        for (const auto& [name, type, bytes] : raws) {
            ASSERT_EQ(key.SetRaw(name, type, bytes.data(), static_cast<DWORD>(bytes.size())),
                      ERROR_SUCCESS);
        }

        ComRegistryLibrary library;
        auto database = library.CreateDatabase();
        auto opened = database->OpenKey(kHkeyCurrentUser, key.NarrowPath());
        ASSERT_NE(opened, nullptr);
        std::vector<BackupEntry> backup;
        for (const RegistryEntry& entry : opened->Values()) {
            backup.push_back({kHkeyCurrentUser, entry.name, entry.data});
        }
        ASSERT_EQ(backup.size(), originals.size() + 1 + raws.size());

        TemporaryFolder temp;
        ASSERT_TRUE(temp.Created());
        const std::string base = win32common::WideToUtf8(temp.Path());
        const BackupLocation location{{base + "\\Vellmoor\\", base + "\\Vellmoor\\Backup\\"},
                                      base + "\\Vellmoor\\Backup\\Registry Backup.Reg"};
        Win32TextFiles files;
        // Half now, half later: the second backup appends.
        const size_t half = backup.size() / 2;
        ASSERT_EQ(WriteRegistryBackup(files, location, {backup.begin(), backup.begin() + half}),
                  BackupResult::Written);
        ASSERT_EQ(WriteRegistryBackup(files, location, {backup.begin() + half, backup.end()}),
                  BackupResult::Written);
        for (const BackupEntry& entry : backup) {
            opened->DeleteValue(entry.name);
        }
        ASSERT_TRUE(key.Names().empty());

        const std::wstring written = win32common::Utf8ToWide(location.file);
        const std::string text = ReadBytes(written);
        ASSERT_EQ(text.rfind("REGEDIT4\r\n\r\n\r\n[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows"
                             "\\CurrentVersion\\Run]\r\n",
                             0),
                  0u)
            << text;
        const std::wstring redirected = temp.Path() + L"\\redirected.reg";
        {
            std::ofstream out(redirected.c_str(), std::ios::binary);
            out << Replaced(
                text, "[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]",
                "[HKEY_CURRENT_USER\\" + key.NarrowPath() + "]");
        }
        ASSERT_EQ(ImportWithRegedit(redirected), 0u);

        for (const auto& [name, data] : originals) {
            EXPECT_EQ(key.GetRaw(name), std::make_pair(DWORD{REG_SZ}, StringBytes(data)))
                << win32common::WideToUtf8(name);
        }
        const auto [type, bytes] = key.GetRaw(L"Number");
        EXPECT_EQ(type, DWORD{REG_DWORD});
        ASSERT_EQ(bytes.size(), sizeof number);
        EXPECT_EQ(*reinterpret_cast<const DWORD*>(bytes.data()), number);
        for (const auto& [name, type, bytes] : raws) {
            EXPECT_EQ(key.GetRaw(name), std::make_pair(type, bytes))
                << win32common::WideToUtf8(name);
        }
        EXPECT_EQ(key.Names().size(), originals.size() + 1 + raws.size());
    }
    CoUninitialize();
}

} // namespace
