#include "startup_entries/RegistryBackup.h"

#include <cstdio>

namespace tidewell {

namespace {

constexpr std::string_view kLineEnd = "\r\n";
constexpr std::string_view kHeader = "REGEDIT4\r\n\r\n\r\n";
// regedit starts a new line once a line of hexadecimal bytes reaches this length.
constexpr std::size_t kHexLineLimit = 77;

std::string_view SectionOf(RegistryRoot root) {
    return root == kHkeyCurrentUser
               ? "[HKEY_CURRENT_USER\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]"
               : "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run]";
}

bool HasLineBreakOrNul(std::string_view text) {
    return text.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

// "hex:" or "hex(N):" and the bytes, continued on lines of their own as regedit does; `used` is
// the length of the line before the type.
std::string HexData(std::uint32_t type, std::string_view bytes, std::size_t used) {
    char prefix[24];
    if (type == kRegBinaryType) {
        std::snprintf(prefix, sizeof prefix, "hex:");
    } else {
        std::snprintf(prefix, sizeof prefix, "hex(%x):", static_cast<unsigned>(type));
    }
    std::string out = prefix;
    used += out.size();
    static const char kDigits[] = "0123456789abcdef";
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        const auto byte = static_cast<unsigned char>(bytes[i]);
        out += kDigits[byte >> 4];
        out += kDigits[byte & 0xF];
        if (i + 1 == bytes.size()) {
            break;
        }
        out += ',';
        used += 3;
        if (used >= kHexLineLimit) {
            out += "\\\r\n  ";
            used = 2;
        }
    }
    return out;
}

// The data part of the entry line, the bytes of texts in the file's code page.
std::optional<std::string> DataPart(const RegistryData& data, TextFilePort& files,
                                    std::size_t used) {
    switch (data.GetKind()) {
    case RegistryData::Kind::Empty:
        return std::string("\"\"");
    case RegistryData::Kind::Text: {
        std::optional<std::string> bytes = files.FileBytes(data.GetText());
        if (!bytes) {
            return std::nullopt;
        }
        if (data.Type() == kRegSzType && !HasLineBreakOrNul(data.GetText())) {
            return "\"" + RegeditQuoted(data.GetText()) + "\"";
        }
        return HexData(data.Type(), *bytes + std::string(1, '\0'), used);
    }
    case RegistryData::Kind::Number: {
        char digits[9];
        std::snprintf(digits, sizeof digits, "%08x", static_cast<unsigned>(data.AsNumber()));
        return std::string("dword:") + digits;
    }
    case RegistryData::Kind::Strings: {
        std::string bytes;
        for (const std::string& text : data.GetStrings()) {
            std::optional<std::string> one = files.FileBytes(text);
            if (!one) {
                return std::nullopt;
            }
            bytes += *one + std::string(1, '\0');
        }
        bytes += '\0';
        return HexData(data.Type(), bytes, used);
    }
    case RegistryData::Kind::Bytes:
        break;
    }
    const auto& raw = data.GetBytes();
    return HexData(data.Type(), std::string(raw.begin(), raw.end()), used);
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

std::optional<std::string> BackupLines(const BackupEntry& entry, TextFilePort& files) {
    // A name cannot be written as bytes, so one with a line break has no export.
    if (HasLineBreakOrNul(entry.name) || !files.FileBytes(entry.name)) {
        return std::nullopt;
    }
    const std::string name =
        entry.name.empty() ? std::string("@=") : "\"" + RegeditQuoted(entry.name) + "\"=";
    const std::optional<std::string> data = DataPart(entry.data, files, name.size());
    if (!data) {
        return std::nullopt;
    }
    std::string lines(SectionOf(entry.root));
    lines += kLineEnd;
    lines += name + *data;
    lines += kLineEnd;
    return lines;
}

BackupResult WriteRegistryBackup(TextFilePort& files, const BackupLocation& location,
                                 const std::vector<BackupEntry>& entries, std::string* refused) {
    std::string body;
    for (const BackupEntry& entry : entries) {
        const std::optional<std::string> lines = BackupLines(entry, files);
        if (!lines) {
            if (refused) {
                *refused = entry.name;
            }
            return BackupResult::NotExportable;
        }
        body += *lines;
    }
    for (const std::string& folder : location.folders) {
        if (!files.FolderExists(folder) && !files.CreateFolder(folder)) {
            return BackupResult::FolderNotCreated;
        }
    }
    if (!files.FileExists(location.file)) {
        return files.WriteText(location.file, std::string(kHeader) + body,
                               TextFilePort::Mode::Create)
                   ? BackupResult::Written
                   : BackupResult::FileNotWritten;
    }
    const std::optional<std::string> old = files.ReadText(location.file);
    if (!old) {
        return BackupResult::FileNotWritten;
    }
    // A file a failed first write left without its header gets it, before what it holds.
    const bool headed = old->starts_with("REGEDIT4");
    const bool written = headed ? files.WriteText(location.file, body, TextFilePort::Mode::Append)
                                : files.WriteText(location.file, std::string(kHeader) + *old + body,
                                                  TextFilePort::Mode::Create);
    return written ? BackupResult::Written : BackupResult::FileNotWritten;
}

} // namespace tidewell
