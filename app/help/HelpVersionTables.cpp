#include "help/HelpVersionTables.h"

#include "help/HelpText.h"

#include <array>
#include <cstdlib>
#include <utility>

namespace tidewell::help::versions {

namespace {

using NameTable = std::pair<std::string_view, std::string_view>;

constexpr std::array<NameTable, 9> kHHNames{{
    {"4.72.7290.00", "1.0"},
    {"4.72.7323.00", "1.1"},
    {"4.72.7325.00", "1.1a"},
    {"4.72.8164.00", "1.1b"},
    {"4.73.8252.00", "1.2"},
    {"4.73.8412.00", "1.21"},
    {"4.73.8474.00", "1.21a"},
    {"4.73.8561.00", "1.22"},
    {"4.74.8566.00", "1.3"},
}};

constexpr std::array<NameTable, 15> kIENames{{
    {"4.70.1155.0000", "3.0"},
    {"4.70.1158.0000", "3.0 OSR2"},
    {"4.70.1215.0000", "3.02"},
    {"4.70.1300.0000", "3.02"},
    {"4.71.1008.3000", "4.0 PP2"},
    {"4.71.1712.5000", "4.0"},
    {"4.72.2106.7000", "4.01"},
    {"4.72.3110.0300", "4.0 SP1"},
    {"4.72.3612.1707", "4.0 SP2"},
    {"5.00.0518.5000", "5.0 beta 1"},
    {"5.00.0910.1308", "5.0 beta 2"},
    {"5.00.2014.2130", "5.0"},
    {"5.00.2314.1000", "5.0a (Office 2000)"},
    {"5.00.2614.3500", "5.0b (Windows 98 SE)"},
    {"5.00.2717.2000", "5.0c (Icon Security Issue Update)"},
}};

template <std::size_t N>
std::string FriendlyName(const std::array<NameTable, N>& table, std::string_view version) {
    for (const auto& [text, name] : table) {
        if (text::EqualsNoCase(text, version)) {
            return std::string(name);
        }
    }
    return "unknown";
}

// Minimum version texts by code: HTML Help from 16, the browser control from 256.
constexpr std::array<std::string_view, 8> kMinHH{
    "4.72.7290", "4.72.7323", "4.72.7325", "4.72.8164.0",
    "4.73.8252", "4.73.8412", "4.73.8474", "4.73.8561",
};
constexpr std::array<std::string_view, 15> kMinIE{
    "4.70.1155",      "4.70.1158",     "4.70.1215",      "4.70.1300",      "4.71.1008.3",
    "4.71.1712.5",    "4.72.2106.7",   "4.72.3110.03",   "4.72.3612.1707", "5.00.0518.5",
    "5.00.0910.1308", "5.00.2014.213", "5.00.2314.1000", "5.00.2614.3500", "5.0.2717.2000",
};

template <std::size_t N>
std::optional<std::string_view> Minimum(const std::array<std::string_view, N>& table,
                                        std::int32_t code, std::int32_t first) {
    if (code < first || code >= first + static_cast<std::int32_t>(N)) {
        return std::nullopt;
    }
    return table[static_cast<std::size_t>(code - first)];
}

// The digits of `value`, zero-padded to `width`, after its sign.
std::string Padded(int value, std::size_t width) {
    std::string digits = std::to_string(std::abs(value));
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return (value < 0 ? "-" : "") + digits;
}

} // namespace

std::string HtmlHelpName(std::string_view version) {
    return FriendlyName(kHHNames, version);
}

std::string BrowserName(std::string_view version) {
    return FriendlyName(kIENames, version);
}

std::optional<std::string_view> MinimumHtmlHelp(std::int32_t code) {
    return Minimum(kMinHH, code, 16);
}

std::optional<std::string_view> MinimumBrowser(std::int32_t code) {
    return Minimum(kMinIE, code, 256);
}

std::int32_t WindowsCode(const OsVersion& version) {
    if (version.platformId == kPlatformWindows) {
        switch (version.minorVersion) {
        case 0:
            return 2;
        case 10:
            return 4;
        default:
            return 0;
        }
    }
    if (version.platformId == kPlatformNt) {
        switch (version.majorVersion) {
        case 3:
            return 1;
        case 4:
            return 3;
        case 5:
            return 5;
        default:
            return 0;
        }
    }
    return 0;
}

std::string VersionText(const FileVersionParts& parts) {
    const int major = static_cast<std::int16_t>(parts.major);
    const int minor = static_cast<std::int16_t>(parts.minor);
    const int build = static_cast<std::int16_t>(parts.build);
    const int revision = static_cast<std::int16_t>(parts.revision);
    if (build <= 0) {
        return std::to_string(major) + "." + Padded(minor, 2) + "." + Padded(revision, 4);
    }
    return std::to_string(major) + "." + Padded(minor, 2) + "." + Padded(build, 2) + "." +
           Padded(revision, 2);
}

} // namespace tidewell::help::versions
