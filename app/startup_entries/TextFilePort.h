#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tidewell {

// The few file operations the registry backup needs. Paths and texts are UTF-8; the adapter
// writes text in the system's ANSI code page.
class TextFilePort {
public:
    enum class Mode { Create, Append };

    virtual ~TextFilePort() = default;
    virtual bool FolderExists(std::string_view path) = 0;
    // True when the folder was made, with any missing folders above it.
    virtual bool CreateFolder(std::string_view path) = 0;
    virtual bool FileExists(std::string_view path) = 0;
    // The whole file as UTF-8 text; nothing when it cannot be read.
    virtual std::optional<std::string> ReadText(std::string_view path) = 0;
    // `text` as the file stores it, in the system's ANSI code page; nothing when a character has
    // no exact place there.
    virtual std::optional<std::string> FileBytes(std::string_view text) = 0;
    // Create makes the file anew (emptying one that exists), Append adds at its end. The file is
    // closed again before this returns. False when the file could not be opened or written, or when
    // `text` holds a character the ANSI code page cannot represent (then nothing is written).
    virtual bool WriteText(std::string_view path, std::string_view text, Mode mode) = 0;
};

} // namespace tidewell
