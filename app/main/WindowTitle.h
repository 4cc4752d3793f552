#pragma once

#include <string>
#include <string_view>

namespace tidewell {

// "Tidewell!™ Version" with 1.0.8 gives "Tidewell!™ Version 1.08": minor and revision are
// written together without a separator.
std::string MainWindowTitle(std::string_view designCaption, int major, int minor, int revision);

} // namespace tidewell
