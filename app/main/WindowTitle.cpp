#include "main/WindowTitle.h"

namespace tidewell {

std::string MainWindowTitle(std::string_view designCaption, int major, int minor, int revision) {
    std::string title(designCaption);
    title += ' ';
    title += std::to_string(major);
    title += '.';
    title += std::to_string(minor);
    title += std::to_string(revision);
    return title;
}

} // namespace tidewell
