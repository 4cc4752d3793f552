#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// The special folders the run cleans (numbered as the platform's file-system object model does).
enum class SpecialFolder { Windows = 0, Temporary = 2 };

struct FolderItem {
    std::string path; // full path
    std::string name;
};

struct FolderContents {
    std::vector<FolderItem> files;
    std::vector<FolderItem> subFolders; // links to folders included: they look like folders
};

// Folders no cleaning ever touches, in the platform's own spelling (no trailing separator).
struct SystemFolders {
    std::string windows;
    std::string system;
    std::vector<std::string> programFiles;
    std::string profiles; // the folder holding the user profiles
};

// The file system, as the folder-cleaning tasks see it. Paths are UTF-8, without a trailing
// separator.
class FilesPort {
public:
    virtual ~FilesPort() = default;
    virtual std::string SpecialFolderPath(SpecialFolder folder) = 0;
    virtual bool FolderExists(std::string_view path) = 0;
    // Nothing for a folder that is missing or cannot be read.
    virtual FolderContents Contents(std::string_view path) = 0;
    // Without force: false, and the item stays, when it is read-only, open elsewhere, or a link.
    virtual bool RemoveFile(std::string_view path) = 0;
    // The folder with everything in it, as far as it goes: what cannot be removed stays, and then
    // the result is false. A link (symbolic link, junction, any reparse point) is never followed:
    // what it points at is never touched.
    virtual bool RemoveFolder(std::string_view path) = 0;
    virtual SystemFolders Folders() = 0;
    // Where a path really leads, for comparing folders: absolute, long names, links resolved for
    // what exists; the path itself when it cannot be resolved.
    virtual std::string FullPath(std::string_view path) = 0;
};

} // namespace tidewell
