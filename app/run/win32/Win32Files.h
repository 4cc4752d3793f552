#pragma once

#include "run/FilesPort.h"

namespace tidewell::win32 {

// The file system through kernel32's wide functions. Removal never leaves the folder it was asked
// to clear: an entry is removed only when it is not a reparse point and its real (final) path is
// the folder's real path plus its name. Under Wine a host link to a folder shows as a folder with
// the reparse attribute and no tag, a host link to a file as a plain file, and removing either
// acts on what it points at, so links are left where they are.
class Win32Files final : public FilesPort {
public:
    std::string SpecialFolderPath(SpecialFolder folder) override;
    bool FolderExists(std::string_view path) override;
    FolderContents Contents(std::string_view path) override;
    Removal RemoveFile(std::string_view path) override;
    Removal RemoveFolder(std::string_view path) override;
    SystemFolders Folders() override;
    std::string FullPath(std::string_view path) override;
    std::string ReadText(std::string_view path) override;
    bool WriteText(std::string_view path, std::string_view text) override;
    bool AppendText(std::string_view path, std::string_view text) override;
    std::string LocalTimestamp() override;
};

} // namespace tidewell::win32
