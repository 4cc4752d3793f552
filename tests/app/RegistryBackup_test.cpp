#include "fakes/FakeTextFiles.h"
#include "startup_entries/RegistryBackup.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using tidewell::BackupEntry;
using tidewell::BackupLines;
using tidewell::BackupResult;
using tidewell::kHkeyCurrentUser;
using tidewell::kHkeyLocalMachine;
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
        {Local("", "default"), kLocalSection + "\"\"=\"default\"\r\n"},
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
    for (const Row& row : rows) {
        EXPECT_EQ(BackupLines(row.entry), row.lines) << "entry \"" << row.entry.name << "\"";
    }
}

TEST(RegistryBackup, DataTheFormatCannotCarryIsRefused) {
    EXPECT_EQ(BackupLines({kHkeyLocalMachine, "Bytes", RegistryData::NoText()}), "");
    EXPECT_EQ(BackupLines(Local("two\r\nlines", "x")), "");
    EXPECT_EQ(BackupLines(Local("name", "line\nbreak")), "");
    EXPECT_EQ(BackupLines(Local("name", std::string("nul\0inside", 10))), "");

    FakeTextFiles files;
    files.AddFile(kFile, "REGEDIT4\r\n\r\n\r\n");
    const BackupResult result = WriteRegistryBackup(
        files, tidewell::DefaultBackupLocation(),
        {Local("fine", "c:\\fine.exe"), {kHkeyCurrentUser, "Bytes", RegistryData::NoText()}});
    EXPECT_EQ(result, BackupResult::NotExportable);
    EXPECT_TRUE(files.Writes().empty()) << "half a backup was written";
    EXPECT_EQ(*files.File(kFile), "REGEDIT4\r\n\r\n\r\n");
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
