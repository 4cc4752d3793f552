#pragma once

#include "controls/RegistryValue.h"
#include "startup_entries/RegistryObjects.h"
#include "startup_entries/TextFilePort.h"

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
    // A name or data the export format cannot carry (an array, a line break): nothing written.
    NotExportable,
};

// A name or text as it stands between double quotes in a registry export: a backslash becomes
// "\\", a double quote "\"".
std::string RegeditQuoted(std::string_view text);

// The section line and the entry line of one entry, each ended by CR LF; "" when the entry
// cannot be exported.
std::string BackupLines(const BackupEntry& entry);

// Makes the folders that are missing, then writes "REGEDIT4" and two empty lines when the file is
// new, and the section and entry lines of every entry, in order, in one write. All entries are
// checked first, so a refused entry leaves the file as it was.
BackupResult WriteRegistryBackup(TextFilePort& files, const BackupLocation& location,
                                 const std::vector<BackupEntry>& entries);

} // namespace tidewell
