#pragma once

#include "startup_entries/TextFilePort.h"

namespace tidewell::win32 {

// Files through kernel32 and shell32; text goes out in the system's ANSI code page.
class Win32TextFiles final : public TextFilePort {
public:
    bool FolderExists(std::string_view path) override;
    bool CreateFolder(std::string_view path) override;
    bool FileExists(std::string_view path) override;
    std::optional<std::string> ReadText(std::string_view path) override;
    std::optional<std::string> FileBytes(std::string_view text) override;
    bool WriteText(std::string_view path, std::string_view text, Mode mode) override;
};

} // namespace tidewell::win32
