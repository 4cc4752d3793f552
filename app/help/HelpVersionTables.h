#pragma once

#include "help/HTMLHelpDeclarations.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The versions the HTML Help class knows by name: the friendly names of the HTML Help control's
// and the browser control's file versions, the minimum version texts by code, and the code of a
// Windows version.
namespace tidewell::help::versions {

// "unknown" for a version not in the table.
std::string HtmlHelpName(std::string_view version);
std::string BrowserName(std::string_view version);
// The minimum version text of a code (HTML Help from 16, the browser control from 256), or none.
std::optional<std::string_view> MinimumHtmlHelp(std::int32_t code);
std::optional<std::string_view> MinimumBrowser(std::int32_t code);
// 1 NT 3, 2 Windows 95, 3 NT 4, 4 Windows 98, 5 Windows 2000; 0 for any other.
std::int32_t WindowsCode(const OsVersion& version);
// A file version as the class writes it: "4.72.7290" style, or "major.minor.revision" without a
// build number.
std::string VersionText(const FileVersionParts& parts);

} // namespace tidewell::help::versions
