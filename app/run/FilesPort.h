#pragma once

#include <cstdint>
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
    // The user's own content (Documents, Desktop, Pictures, Music, Videos, Downloads, Favorites)
    // and the AppData folders (roaming, local), where the known-folder functions put them.
    std::vector<std::string> userContent;
    std::vector<std::string> appData;
};

// Why an item was left where it was.
enum class KeptReason {
    Locked,          // a range of it is locked
    InUse,           // open elsewhere without delete sharing
    ReadOnly,        // deleting is done without force
    AccessDenied,    // no right to delete it
    Link,            // a link (symbolic link, junction, any reparse point) is never followed
    ProtectedFolder, // a folder no cleaning touches
    NotEmpty,        // a folder that keeps items left alone
    Missing,
    Failed, // any other failure
};

struct RemovedItem {
    std::string path;
    bool folder = false;
    std::uint64_t bytes = 0; // a folder: the bytes of the files removed with it
};

struct KeptItem {
    std::string path;
    KeptReason reason = KeptReason::Failed;
};

// What one removal did, item by item (the folder itself last).
struct Removal {
    std::vector<RemovedItem> removed;
    std::vector<KeptItem> kept;
    bool Complete() const { return kept.empty() && !removed.empty(); }
    explicit operator bool() const { return Complete(); }
};

// The file system, as the folder-cleaning tasks and the run's log see it. Paths are UTF-8,
// without a trailing separator.
class FilesPort {
public:
    virtual ~FilesPort() = default;
    virtual std::string SpecialFolderPath(SpecialFolder folder) = 0;
    virtual bool FolderExists(std::string_view path) = 0;
    // Nothing for a folder that is missing or cannot be read.
    virtual FolderContents Contents(std::string_view path) = 0;
    // Without force: the item stays when it is read-only, open elsewhere, or a link.
    virtual Removal RemoveFile(std::string_view path) = 0;
    // The folder with everything in it, as far as it goes: what cannot be removed stays. A link
    // is never followed: what it points at is never touched.
    virtual Removal RemoveFolder(std::string_view path) = 0;
    virtual SystemFolders Folders() = 0;
    // Where a path really leads, for comparing folders: absolute, long names, links resolved for
    // what exists; the path itself when it cannot be resolved.
    virtual std::string FullPath(std::string_view path) = 0;

    // A text file: empty when missing or unreadable; writing and appending report failure.
    virtual std::string ReadText(std::string_view path) = 0;
    virtual bool WriteText(std::string_view path, std::string_view text) = 0;
    virtual bool AppendText(std::string_view path, std::string_view text) = 0;
    // The local date and time, "yyyy-mm-dd hh:mm:ss".
    virtual std::string LocalTimestamp() = 0;
};

} // namespace tidewell
