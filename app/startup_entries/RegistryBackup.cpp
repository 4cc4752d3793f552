#include "startup_entries/RegistryBackup.h"

#include <cstdio>

namespace tidewell {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeader = "REGEDIT4\r\n\r\n\r\n";

std::string_view SectionOf(RegistryRoot root) {
    return root == kHkeyCurrentUser
               ? "[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]"
               : "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]";
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

} // namespace

BackupLocation DefaultBackupLocation() {
    return BackupLocation{{"c:\\Program Files\\Vellmoor\\Tidewell\\",
                           "c:\\Program Files\\Vellmoor\\Tidewell\\Registry Backup\\"},
                          "c:\\Program Files\\Vellmoor\\Tidewell\\Registry Backup\\Registry "
                          "Backup.Reg"};
}

std::string RegeditQuoted(std::string_view text) {
    std::string quoted;
    quoted.reserve(text.size() + 2);
    for (const char c : text) {
        if (c == '\\' || c == '"') {
            quoted += '\\';
        }
        quoted += c;
    }
    return quoted;
}

std::string BackupLines(const BackupEntry& entry) {
    if (HasLineBreakOrNul(entry.name)) {
        return {};
    }
    std::string value;
    switch (entry.data.GetKind()) {
    case RegistryData::Kind::Empty:
    case RegistryData::Kind::Text: {
        const std::string text = *entry.data.AsText();
        if (HasLineBreakOrNul(text)) {
            return {};
        }
        value = "\"" + RegeditQuoted(text) + "\"";
        break;
    }
    case RegistryData::Kind::Number: {
        // A REG_DWORD goes back as one, not as its decimal text.
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(entry.data.AsNumber()));
        value = std::string("dword:") + digits;
        break;
    }
    case RegistryData::Kind::NoText:
        return {};
    }
    std::string lines(SectionOf(entry.root));
    lines += kLineEnd;
    lines += "\"" + RegeditQuoted(entry.name) + "\"=" + value;
    lines += kLineEnd;
    return lines;
}

BackupResult WriteRegistryBackup(TextFilePort& files, const BackupLocation& location,
                                 const std::vector<BackupEntry>& entries) {
    std::string body;
    for (const BackupEntry& entry : entries) {
        const std::string lines = BackupLines(entry);
        if (lines.empty()) {
            return BackupResult::NotExportable;
        }
        body += lines;
    }
    for (const std::string& folder : location.folders) {
        if (!files.FolderExists(folder) && !files.CreateFolder(folder)) {
            return BackupResult::FolderNotCreated;
        }
    }
    const bool isNew = !files.FileExists(location.file);
    const std::string text = isNew ? std::string(kHeader) + body : body;
    const bool written = files.WriteText(
        location.file, text, isNew ? TextFilePort::Mode::Create : TextFilePort::Mode::Append);
    return written ? BackupResult::Written : BackupResult::FileNotWritten;
}

} // namespace tidewell
