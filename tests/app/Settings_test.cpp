#include "fakes/FakeRegistryValueControl.h"
#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <tuple>

namespace tidewell {
namespace {

struct Stored {
    const char* data; // nullptr: value missing
    std::int32_t type;
    bool yes;
};

std::string Describe(const Stored& row) {
    return row.data
               ? "\"" + std::string(row.data).substr(0, 20) + "\" type " + std::to_string(row.type)
               : std::string("missing");
}

class SettingsTest : public ::testing::Test {
protected:
    void Store(std::string_view name, const Stored& row) {
        registry.AddKey(kSettingsRoot, kSettingsKey);
        if (row.data) {
            registry.Set(kSettingsRoot, kSettingsKey, name, row.data, row.type);
        }
    }

    fakes::FakeRegistryValueControl registry;
    Settings settings{registry};
};

TEST_F(SettingsTest, YesValuesCompareTheFirstThreeCharactersOfTheTrimmedText) {
    const std::string overLong = "Yes" + std::string(100000, 'x');
    const Stored rows[] = {
        {"Yes", kRegSz, true},      {"Yes please", kRegSz, true},     {"   Yes   ", kRegSz, true},
        {"yes", kRegSz, false},     {"YES", kRegSz, false},           {"No", kRegSz, false},
        {"", kRegSz, false},        {nullptr, kRegSz, false},         {"Ye", kRegSz, false},
        {" Y es", kRegSz, false},   {"Yes", kRegExpandSz, true},      {"Yes", kRegDword, false},
        {"Yes", kRegBinary, false}, {overLong.c_str(), kRegSz, true},
    };
    for (const Stored& row : rows) {
        Store("StartInTray", row);
        Store("Keep On Top", row);
        Store("PC Optimized", row);
        EXPECT_EQ(settings.StartInTray(), row.yes) << Describe(row);
        EXPECT_EQ(settings.KeepOnTop(), row.yes) << Describe(row);
        EXPECT_EQ(settings.PcOptimized(), row.yes) << Describe(row);
    }
}

TEST_F(SettingsTest, ScanDiskComparesTenCharactersAndNextRunIsTrimmed) {
    const Stored rows[] = {{"Configured", kRegSz, true},     {"  Configured later", kRegSz, true},
                           {"Configure", kRegSz, false},     {"configured", kRegSz, false},
                           {"Configured", kRegDword, false}, {nullptr, kRegSz, false}};
    for (const Stored& row : rows) {
        Store("ScanDisk", row);
        EXPECT_EQ(settings.ScanDiskConfigured(), row.yes) << Describe(row);
    }

    Store("NextRun", {"  12/20/2026 ", kRegSz, false});
    EXPECT_EQ(settings.NextRun(), "12/20/2026");
    Store("NextRun", {"NONE", kRegBinary, false});
    EXPECT_EQ(settings.NextRun(), "");

    EXPECT_TRUE(Settings::IsNone("NONE"));
    EXPECT_TRUE(Settings::IsNone("NONE123"));
    EXPECT_TRUE(Settings::IsNone("  NONE  "));
    EXPECT_FALSE(Settings::IsNone("none"));
    EXPECT_FALSE(Settings::IsNone("NON"));
    EXPECT_FALSE(Settings::IsNone(""));
}

TEST_F(SettingsTest, WritersStoreStringsUnderTheSettingsKeyAndReportFailure) {
    registry.AddKey(kSettingsRoot, kSettingsKey);
    EXPECT_TRUE(settings.WriteStartInTray(true));
    EXPECT_TRUE(settings.WriteKeepOnTop(false));
    EXPECT_TRUE(settings.WriteNextRun("NONE"));
    EXPECT_TRUE(settings.WritePcOptimized());
    EXPECT_TRUE(settings.WriteScanDiskConfigured());
    const std::pair<const char*, const char*> expected[] = {{"StartInTray", "Yes"},
                                                            {"Keep On Top", "No"},
                                                            {"NextRun", "NONE"},
                                                            {"PC Optimized", "Yes"},
                                                            {"ScanDisk", "Configured"}};
    ASSERT_EQ(registry.Writes().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        const auto& write = registry.Writes()[i];
        EXPECT_EQ(write.root, kHkeyLocalMachine);
        EXPECT_EQ(write.keyPath, "SOFTWARE\\Vellmoor\\Tidewell!\\");
        EXPECT_EQ(write.valueName, expected[i].first);
        EXPECT_EQ(write.data, expected[i].second);
        EXPECT_EQ(write.type, kRegSz) << write.valueName;
    }

    registry.FailWritesOf("NextRun");
    EXPECT_FALSE(settings.WriteNextRun("1/2/2027"));
    EXPECT_EQ(registry.Data(kSettingsRoot, kSettingsKey, "NextRun"), "NONE");
}

TEST_F(SettingsTest, FirstStartCreatesTheKeyNamedWithoutClosingBackslash) {
    EXPECT_FALSE(settings.KeyExists());
    EXPECT_TRUE(settings.CreateKey());
    EXPECT_TRUE(settings.KeyExists());
    EXPECT_TRUE(registry.HasKey(kHkeyLocalMachine, "SOFTWARE\\Vellmoor\\Tidewell!"));
    registry.FailCreateKey();
    EXPECT_FALSE(settings.CreateKey());
}

TEST_F(SettingsTest, StartupEntryIsOnWhenItsPathQuotedOrNotEndsInExe) {
    const std::pair<const char*, bool> rows[] = {
        {"\"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\"", true},
        {"  \"D:\\Apps\\Tidewell\\TIDEWELL.EXE\"  ", true},
        {"\"C:\\Other\\program.exe\" /start", true},
        {"\"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe-\"", false},
        {"\"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe", false}, // never closed
        {"\"\"", false},
        {"\"", false},
        // The unquoted form of earlier versions, and another program's entry.
        {"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe", true},
        {"  c:\\x.Exe  ", true},
        {"D:\\Tidewell\\tidewell.exe", true},
        {"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe-", false},
        {"c:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe-  ", false},
        {"c:\\x.exe /start", false},
        {".exe", true},
        {"exe", false},
        {"", false},
        {"-", false},
    };
    for (const auto& [entry, on] : rows) {
        EXPECT_EQ(Settings::IsStartupEntryOn(entry), on) << entry;
    }
}

TEST_F(SettingsTest, StartupEntryTextQuotesTheProgramsRealPath) {
    const std::tuple<const char*, const char*, bool, const char*> rows[] = {
        {"C:\\Program Files\\Vellmoor\\Tidewell", "tidewell", true,
         "\"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\""},
        {"C:\\Program Files\\Vellmoor\\Tidewell", "tidewell", false,
         "\"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe-\""},
        {"D:\\Programme (x86)\\Tidewell", "Tidewell", true,
         "\"D:\\Programme (x86)\\Tidewell\\Tidewell.exe\""},
        {"D:\\Programme (x86)\\Tidewell", "Tidewell", false,
         "\"D:\\Programme (x86)\\Tidewell\\Tidewell.exe-\""},
        {"E:\\", "tidewell", true, "\"E:\\tidewell.exe\""},
        {"E:\\", "tidewell", false, "\"E:\\tidewell.exe-\""},
    };
    for (const auto& [folder, name, on, text] : rows) {
        const std::string written = Settings::StartupEntryText(folder, name, on);
        EXPECT_EQ(written, text);
        EXPECT_EQ(Settings::IsStartupEntryOn(written), on) << written; // reads back as written
    }
}

TEST_F(SettingsTest, StartupEntryIsWrittenUnderTheRunKeyAndReadTrimmed) {
    EXPECT_TRUE(settings.WriteStartupEntry("c:\\a.exe"));
    ASSERT_EQ(registry.Writes().size(), 1u);
    EXPECT_EQ(registry.Writes()[0].keyPath, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\");
    EXPECT_EQ(registry.Writes()[0].valueName, "PC Maintenance");
    EXPECT_EQ(registry.Writes()[0].type, kRegSz);
    registry.Set(kHkeyLocalMachine, kRunKey, kStartupEntryName, "  c:\\b.exe ");
    EXPECT_EQ(settings.StartupEntry(), "c:\\b.exe");
    registry.Set(kHkeyLocalMachine, kRunKey, kStartupEntryName, "c:\\b.exe", kRegDword);
    EXPECT_EQ(settings.StartupEntry(), "");
}

} // namespace
} // namespace tidewell
