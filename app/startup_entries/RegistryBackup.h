#pragma once

#include "controls/RegistryValue.h"
#include "startup_entries/RegistryObjects.h"
#include "startup_entries/TextFilePort.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// Where the backup goes: the folders to make, outermost first, and the file.
struct BackupLocation {
    std::vector<std::string> folders;
    std::string file;
};

// c:\Program Files\Vellmoor\Tidewell\Registry Backup\Registry Backup.Reg
BackupLocation DefaultBackupLocation();

// One startup entry to back up: the Run key it lives in, its name and its data.
struct BackupEntry {
    RegistryRoot root;
    std::string name;
    RegistryData data;
};

enum class BackupResult {
    Written,
    FolderNotCreated,
    FileNotWritten,
    // A name or text the file's code page cannot hold: nothing written.
    NotExportable,
};

// A name or text as it stands between double quotes in a registry export: a backslash becomes
// "\\", a double quote "\"".
std::string RegeditQuoted(std::string_view text);

// The section line and the entry line of one entry, each ended by CR LF, as regedit exports the
// value in REGEDIT4: strings between quotes, "dword:", and "hex:" / "hex(N):" bytes wrapped as
// regedit wraps them, the bytes of expandable and multi-strings in the file's code page. Nothing
// when the name or a text holds a character that code page cannot hold.
std::optional<std::string> BackupLines(const BackupEntry& entry, TextFilePort& files);

// Makes the folders that are missing, then writes "REGEDIT4" and two empty lines when the file is
// new or lacks them, and the section and entry lines of every entry, in order, in one write. All
// entries are checked first, so a refused entry leaves the file as it was; its name goes to
// `refused`.
BackupResult WriteRegistryBackup(TextFilePort& files, const BackupLocation& location,
                                 const std::vector<BackupEntry>& entries,
                                 std::string* refused = nullptr);

} // namespace tidewell
