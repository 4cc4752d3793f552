#include "fakes/FakeTextFiles.h"
#include "startup_entries/RegistryBackup.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace {

using tidewell::BackupEntry;
using tidewell::BackupLines;
using tidewell::BackupResult;
using tidewell::kHkeyCurrentUser;
using tidewell::kHkeyLocalMachine;
using tidewell::kRegBinaryType;
using tidewell::kRegQwordType;
using tidewell::RegistryData;
using tidewell::TextFilePort;
using tidewell::WriteRegistryBackup;
using tidewell::fakes::FakeTextFiles;

const std::string kLocalSection =
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";
const std::string kUserSection =
    "[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]\r\n";
const std::string kFile =
    "c:\\Program Files\\Vellmoor\\Tidewell\\Registry Backup\\Registry Backup.Reg";

BackupEntry Local(std::string name, std::string data) {
    return {kHkeyLocalMachine, std::move(name), RegistryData::Text(std::move(data))};
}
BackupEntry User(std::string name, std::string data) {
    return {kHkeyCurrentUser, std::move(name), RegistryData::Text(std::move(data))};
}

TEST(RegistryBackup, EntryLinesEscapeBackslashesAndQuotesAndKeepEverythingElse) {
    struct Row {
        BackupEntry entry;
        std::string lines;
    };
    const Row rows[] = {
        {Local("Tray", "c:\\windows\\tray.exe"),
         kLocalSection + "\"Tray\"=\"c:\\\\windows\\\\tray.exe\"\r\n"},
        {User("Say \"hi\"", "\"C:\\Program Files\\a b.exe\" /x"),
         kUserSection + "\"Say \\\"hi\\\"\"=\"\\\"C:\\\\Program Files\\\\a b.exe\\\" /x\"\r\n"},
        {Local("", "default"), kLocalSection + "@=\"default\"\r\n"},
        {Local("  spaced  name ", "  two  spaces  "),
         kLocalSection + "\"  spaced  name \"=\"  two  spaces  \"\r\n"},
        {Local("trailing\\", "\\\\server\\share\\"),
         kLocalSection + "\"trailing\\\\\"=\"\\\\\\\\server\\\\share\\\\\"\r\n"},
        {Local("Empty data", ""), kLocalSection + "\"Empty data\"=\"\"\r\n"},
        {Local("caf\xC3\xA9", "[x]=y;z"), kLocalSection + "\"caf\xC3\xA9\"=\"[x]=y;z\"\r\n"},
        {{kHkeyLocalMachine, "Number", RegistryData::Number(123)},
         kLocalSection + "\"Number\"=dword:0000007b\r\n"},
        {{kHkeyCurrentUser, "Minus", RegistryData::Number(-1)},
         kUserSection + "\"Minus\"=dword:ffffffff\r\n"},
    };
    FakeTextFiles files;
    for (const Row& row : rows) {
        EXPECT_EQ(BackupLines(row.entry, files), row.lines) << "entry \"" << row.entry.name << "\"";
    }
}

TEST(RegistryBackup, EveryTypeIsExportedAsRegeditWritesIt) {
    FakeTextFiles files;
    std::vector<std::uint8_t> long_(40);
    for (std::size_t i = 0; i < long_.size(); ++i) {
        long_[i] = static_cast<std::uint8_t>(i);
    }
    const auto line = [](std::string name, std::string data) {
        return kLocalSection + name + "=" + data + "\r\n";
    };
    struct Row {
        RegistryData data;
        std::string expected;
    };
    const Row rows[] = {
        {RegistryData::ExpandText("%windir%\\a.exe"),
         line("\"V\"", "hex(2):25,77,69,6e,64,69,72,25,5c,61,2e,65,78,65,00")},
        {RegistryData::Strings({"a", "b\xC3\xA9"}), line("\"V\"", "hex(7):61,00,62,e9,00,00")},
        {RegistryData::Strings({}), line("\"V\"", "hex(7):00")},
        {RegistryData::Bytes(kRegBinaryType, {0x01, 0xab}), line("\"V\"", "hex:01,ab")},
        {RegistryData::Bytes(kRegBinaryType, {}), line("\"V\"", "hex:")},
        {RegistryData::Bytes(kRegQwordType, {1, 0, 0, 0, 0, 0, 0, 0x80}),
         line("\"V\"", "hex(b):01,00,00,00,00,00,00,80")},
        {RegistryData::Bytes(0, {}), line("\"V\"", "hex(0):")},
        {RegistryData::Bytes(0x1234, {7}), line("\"V\"", "hex(1234):07")},
        {RegistryData::Text("two\r\nlines"),
         line("\"V\"", "hex(1):74,77,6f,0d,0a,6c,69,6e,65,73,00")},
        {RegistryData::Number(-2), line("\"V\"", "dword:fffffffe")},
        // regedit ends a line of bytes with "\" once it reaches 77 characters and goes on after
        // two blanks.
        {RegistryData::Bytes(kRegBinaryType, long_),
         line("\"V\"", "hex:00,01,02,03,04,05,06,07,08,09,0a,0b,0c,0d,0e,0f,10,11,12,13,14,15,16,"
                       "\\\r\n  17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,24,25,26,27")},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(BackupLines({kHkeyLocalMachine, "V", row.data}, files), row.expected)
            << "type " << row.data.Type();
    }
    // A long name leaves less room on the first line, as in regedit's own export.
    EXPECT_EQ(BackupLines({kHkeyLocalMachine, "A rather long value name for wrapping",
                           RegistryData::Bytes(kRegBinaryType, long_)},
                          files),
              line("\"A rather long value name for wrapping\"",
                   "hex:00,01,02,03,04,05,06,07,08,09,0a,\\\r\n  0b,0c,0d,0e,0f,10,11,12,13,14,15,"
                   "16,17,18,19,1a,1b,1c,1d,1e,1f,20,21,22,23,\\\r\n  24,25,26,27"));
    EXPECT_EQ(BackupLines({kHkeyCurrentUser, "", RegistryData::Bytes(kRegBinaryType, {1})}, files),
              kUserSection + "@=hex:01\r\n");
}

TEST(RegistryBackup, NamesOrTextsTheCodePageCannotHoldAreRefused) {
    FakeTextFiles files;
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC";
    EXPECT_EQ(BackupLines(Local("two\r\nlines", "x"), files), std::nullopt);
    EXPECT_EQ(BackupLines(Local(japanese, "c:\\x.exe"), files), std::nullopt);
    EXPECT_EQ(BackupLines(Local("name", "c:\\" + japanese + ".exe"), files), std::nullopt);
    EXPECT_EQ(BackupLines({kHkeyLocalMachine, "n", RegistryData::Strings({"a", japanese})}, files),
              std::nullopt);

    files.AddFile(kFile, "REGEDIT4\r\n\r\n\r\n");
    std::string refused;
    const BackupResult result = WriteRegistryBackup(
        files, tidewell::DefaultBackupLocation(),
        {Local("fine", "c:\\fine.exe"), Local("\xF0\x9F\x98\x80 smile", "c:\\s.exe")}, &refused);
    EXPECT_EQ(result, BackupResult::NotExportable);
    EXPECT_EQ(refused, "\xF0\x9F\x98\x80 smile");
    EXPECT_TRUE(files.Writes().empty()) << "half a backup was written";
    EXPECT_EQ(*files.File(kFile), "REGEDIT4\r\n\r\n\r\n");
}

TEST(RegistryBackup, AFileWithoutTheHeaderGetsItBeforeTheFirstEntry) {
    FakeTextFiles files;
    files.AddFile(kFile, "");
    ASSERT_EQ(WriteRegistryBackup(files, tidewell::DefaultBackupLocation(), {Local("A", "1")}),
              BackupResult::Written);
    EXPECT_EQ(*files.File(kFile), "REGEDIT4\r\n\r\n\r\n" + kLocalSection + "\"A\"=\"1\"\r\n");
}

TEST(RegistryBackup, FirstBackupMakesFoldersAndFileWithHeader) {
    FakeTextFiles files;
    ASSERT_EQ(WriteRegistryBackup(files, tidewell::DefaultBackupLocation(),
                                  {Local("A", "c:\\a.exe"), User("B", "c:\\b.exe")}),
              BackupResult::Written);

    EXPECT_EQ(files.CreatedFolders(),
              (std::vector<std::string>{"c:\\Program Files\\Vellmoor\\Tidewell",
                                        "c:\\Program Files\\Vellmoor\\Tidewell\\Registry Backup"}));
    ASSERT_NE(files.File(kFile), nullptr);
    EXPECT_EQ(*files.File(kFile), "REGEDIT4\r\n\r\n\r\n" + kLocalSection +
                                      "\"A\"=\"c:\\\\a.exe\"\r\n" + kUserSection +
                                      "\"B\"=\"c:\\\\b.exe\"\r\n");
    ASSERT_EQ(files.Writes().size(), 1u);
    EXPECT_EQ(files.Writes()[0].mode, TextFilePort::Mode::Create);
}

TEST(RegistryBackup, LaterBackupsAppendAndRepeatTheSectionLine) {
    FakeTextFiles files;
    files.AddFolder("c:\\Program Files");
    files.AddFolder("c:\\Program Files\\Vellmoor\\Tidewell");
    ASSERT_EQ(WriteRegistryBackup(files, tidewell::DefaultBackupLocation(), {Local("A", "1")}),
              BackupResult::Written);
    ASSERT_EQ(WriteRegistryBackup(files, tidewell::DefaultBackupLocation(), {Local("B", "2")}),
              BackupResult::Written);

    EXPECT_EQ(*files.File(kFile), "REGEDIT4\r\n\r\n\r\n" + kLocalSection + "\"A\"=\"1\"\r\n" +
                                      kLocalSection + "\"B\"=\"2\"\r\n");
    ASSERT_EQ(files.Writes().size(), 2u);
    EXPECT_EQ(files.Writes()[1].mode, TextFilePort::Mode::Append);
    EXPECT_EQ(files.Writes()[1].text, kLocalSection + "\"B\"=\"2\"\r\n");
    EXPECT_EQ(files.CreatedFolders(),
              std::vector<std::string>{"c:\\Program Files\\Vellmoor\\Tidewell\\Registry Backup"});
}

TEST(RegistryBackup, FolderOrFileFailuresAreReported) {
    FakeTextFiles refusing;
    refusing.RefuseFolder("c:\\Program Files\\Vellmoor\\Tidewell\\Registry Backup\\");
    EXPECT_EQ(WriteRegistryBackup(refusing, tidewell::DefaultBackupLocation(), {Local("A", "1")}),
              BackupResult::FolderNotCreated);
    EXPECT_TRUE(refusing.Writes().empty());

    FakeTextFiles readOnly;
    readOnly.RefuseWrites();
    EXPECT_EQ(WriteRegistryBackup(readOnly, tidewell::DefaultBackupLocation(), {Local("A", "1")}),
              BackupResult::FileNotWritten);
}

} // namespace
