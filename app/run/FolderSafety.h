#pragma once

#include "run/FilesPort.h"

#include <string>
#include <string_view>

namespace tidewell {

// A path in one comparable spelling: backslashes, no doubled or trailing separators, "." and ".."
// resolved, lower case (the file system ignores case).
std::string ComparablePath(std::string_view path);

// True for a folder that a configured cleaning location must never name: a drive or share root,
// the Windows, system or program-files folder, the profiles folder or one profile in it, or any
// folder that contains one of these; a user's content folder, one inside it or one containing it;
// a folder containing the AppData folders.
bool IsFolderNeverCleaned(std::string_view path, const SystemFolders& folders);

} // namespace tidewell
