#pragma once

#include "controls/RegistryValueControl.h"

#include <string>
#include <string_view>

namespace tidewell {

// Where the program keeps its settings: string values under one key of HKEY_LOCAL_MACHINE.
inline constexpr RegistryRoot kSettingsRoot = kHkeyLocalMachine;
inline constexpr std::string_view kSettingsKey = "SOFTWARE\\Vellmoor\\Tidewell!\\";
// The same key, as the first start names it when creating it.
inline constexpr std::string_view kSettingsKeyToCreate = "SOFTWARE\\Vellmoor\\Tidewell!";

// The program's registration to start with Windows.
inline constexpr std::string_view kRunKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
inline constexpr std::string_view kStartupEntryName = "PC Maintenance";

// Every value the program keeps for itself. Readers trim blanks and compare a fixed-length prefix
// ("Yes" by 3, "NONE" by 4, "Configured" by 10); a missing or unreadable value reads as "".
// Writers always store REG_SZ and return true when the value was stored; callers decide whether
// a failure matters.
class Settings {
public:
    explicit Settings(RegistryValueControl& registry) : registry_(registry) {}

    // The first start is the one that finds no settings key.
    bool KeyExists() const;
    bool CreateKey();

    // "NONE", a date month/day/year, or anything a user put there; trimmed.
    std::string NextRun() const;
    static bool IsNone(std::string_view nextRun); // begins with "NONE"
    bool WriteNextRun(std::string_view nextRun);

    bool StartInTray() const;
    bool WriteStartInTray(bool yes);
    bool KeepOnTop() const;
    bool WriteKeepOnTop(bool yes);
    bool PcOptimized() const;
    bool WritePcOptimized();
    bool ScanDiskConfigured() const;
    bool WriteScanDiskConfigured();

    // The data of "PC Maintenance" under the Run key, trimmed.
    std::string StartupEntry() const;
    // Switched on: the path ends in ".exe" (any case). The path is the text inside the leading
    // quotes (`"c:\x\tidewell.exe"`), or the whole text in the unquoted form earlier versions
    // wrote (`c:\x\tidewell.exe`); a quote that is never closed is off.
    static bool IsStartupEntryOn(std::string_view entry);
    // `"<folder>\<name>.exe"`, and `"<folder>\<name>.exe-"` when switched off: quoted, because
    // Windows tries each blank-separated prefix of an unquoted path ("c:\Program.exe" first).
    // The "-" inside the quotes leaves a path Windows cannot start.
    static std::string StartupEntryText(std::string_view folder, std::string_view executableName,
                                        bool on);
    bool WriteStartupEntry(std::string_view data);

private:
    RegistryValue Read(std::string_view valueName) const;
    bool Write(std::string_view valueName, std::string_view data);
    bool ReadYes(std::string_view valueName) const;

    RegistryValueControl& registry_;
};

} // namespace tidewell
