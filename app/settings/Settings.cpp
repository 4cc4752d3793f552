#include "settings/Settings.h"

#include <algorithm>
#include <cctype>
#include <string>

namespace tidewell {

namespace {
constexpr std::string_view kYes = "Yes";
constexpr std::string_view kNo = "No";
constexpr std::string_view kNone = "NONE";
constexpr std::string_view kConfigured = "Configured";
} // namespace

bool Settings::KeyExists() const {
    return registry_.RegistryKeyExists(kSettingsRoot, kSettingsKey);
}

bool Settings::CreateKey() {
    return registry_.CreateRegistryKey(kSettingsRoot, kSettingsKeyToCreate);
}

std::string Settings::NextRun() const {
    return Read("NextRun").Trimmed();
}

bool Settings::IsNone(std::string_view nextRun) {
    return TrimBlanks(nextRun).starts_with(kNone);
}

bool Settings::WriteNextRun(std::string_view nextRun) {
    return Write("NextRun", nextRun);
}

bool Settings::StartInTray() const {
    return ReadYes("StartInTray");
}

bool Settings::WriteStartInTray(bool yes) {
    return Write("StartInTray", yes ? kYes : kNo);
}

bool Settings::KeepOnTop() const {
    return ReadYes("Keep On Top");
}

bool Settings::WriteKeepOnTop(bool yes) {
    return Write("Keep On Top", yes ? kYes : kNo);
}

bool Settings::PcOptimized() const {
    return ReadYes("PC Optimized");
}

bool Settings::WritePcOptimized() {
    return Write("PC Optimized", kYes);
}

bool Settings::ScanDiskConfigured() const {
    return Read("ScanDisk").TrimmedStartsWith(kConfigured);
}

bool Settings::WriteScanDiskConfigured() {
    return Write("ScanDisk", kConfigured);
}

std::string Settings::StartupEntry() const {
    return registry_.ReadRegistryValue(kSettingsRoot, kRunKey, kStartupEntryName).Trimmed();
}

bool Settings::IsStartupEntryOn(std::string_view entry) {
    const std::string trimmed = TrimBlanks(entry);
    std::string_view path = trimmed;
    if (path.starts_with('"')) {
        const std::size_t close = path.find('"', 1);
        if (close == std::string_view::npos) {
            return false;
        }
        path = path.substr(1, close - 1);
    }
    constexpr std::string_view kExe = ".exe";
    if (path.size() < kExe.size()) {
        return false;
    }
    const std::string_view end = path.substr(path.size() - kExe.size());
    return std::equal(end.begin(), end.end(), kExe.begin(), [](char a, char b) {
        return std::tolower(static_cast<unsigned char>(a)) == b;
    });
}

std::string Settings::StartupEntryText(std::string_view folder, std::string_view executableName,
                                       bool on) {
    std::string text = "\"";
    text += folder;
    if (!folder.ends_with('\\')) {
        text += '\\';
    }
    text += executableName;
    text += on ? ".exe\"" : ".exe-\"";
    return text;
}

bool Settings::WriteStartupEntry(std::string_view data) {
    return registry_.WriteRegistryValue(kSettingsRoot, kRunKey, kStartupEntryName, data, kRegSz);
}

RegistryValue Settings::Read(std::string_view valueName) const {
    return registry_.ReadRegistryValue(kSettingsRoot, kSettingsKey, valueName);
}

bool Settings::Write(std::string_view valueName, std::string_view data) {
    return registry_.WriteRegistryValue(kSettingsRoot, kSettingsKey, valueName, data, kRegSz);
}

bool Settings::ReadYes(std::string_view valueName) const {
    return Read(valueName).TrimmedStartsWith(kYes);
}

} // namespace tidewell
