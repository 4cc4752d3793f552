#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <variant>

namespace tidewell::help {

// The HTML Help commands the help class issues, with the viewer's own numbers.
namespace hh {
inline constexpr std::uint32_t kDisplayTopic = 0;
inline constexpr std::uint32_t kDisplayToc = 1;
inline constexpr std::uint32_t kDisplayIndex = 2;
inline constexpr std::uint32_t kDisplaySearch = 3;
inline constexpr std::uint32_t kKeywordLookup = 13;
inline constexpr std::uint32_t kDisplayTextPopup = 14;
inline constexpr std::uint32_t kHelpContext = 15;
inline constexpr std::uint32_t kCloseAll = 18;
inline constexpr std::uint32_t kAlinkLookup = 19;
} // namespace hh

// Registry roots, rights and value types, as the platform numbers them.
namespace reg {
inline constexpr std::uint32_t kClassesRoot = 0x80000000;
inline constexpr std::uint32_t kCurrentUser = 0x80000001;
inline constexpr std::uint32_t kLocalMachine = 0x80000002;
inline constexpr std::uint32_t kUsers = 0x80000003;
inline constexpr std::uint32_t kCurrentConfig = 0x80000005;
inline constexpr std::uint32_t kDynData = 0x80000006;

inline constexpr std::uint32_t kQueryValue = 0x1;
inline constexpr std::uint32_t kSetValue = 0x2;
inline constexpr std::uint32_t kCreateSubKey = 0x4;
inline constexpr std::uint32_t kAllAccess = 0xF003F;

inline constexpr std::uint32_t kSz = 1;
inline constexpr std::uint32_t kExpandSz = 2;
} // namespace reg

// Message-box styles of the class's two boxes.
namespace style {
inline constexpr std::uint32_t kOkStop = 16;
inline constexpr std::uint32_t kOkInformation = 64;
} // namespace style

struct ScreenPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const ScreenPoint&, const ScreenPoint&) = default;
};

struct Margins {
    std::int32_t left = -1;
    std::int32_t top = -1;
    std::int32_t right = -1;
    std::int32_t bottom = -1;
    friend bool operator==(const Margins&, const Margins&) = default;
};

// The platform's records, field for field. A text the viewer must receive as a null pointer is
// an empty optional; cbStruct is the platform's structure size, which only the adapter knows, so
// the adapter fills it in.
struct HhPopup {
    std::uintptr_t hinst = 0;
    std::uint32_t idString = 0;
    std::optional<std::string> pszText;
    ScreenPoint pt;
    std::uint32_t clrForeground = 0;
    std::uint32_t clrBackground = 0;
    Margins rcMargins;
    std::optional<std::string> pszFont;
    friend bool operator==(const HhPopup&, const HhPopup&) = default;
};

struct HhAkLink {
    bool fReserved = false;
    std::optional<std::string> pszKeywords;
    std::optional<std::string> pszUrl;
    std::optional<std::string> pszMsgText;
    std::optional<std::string> pszMsgTitle;
    std::optional<std::string> pszWindow;
    bool fIndexOnFail = false;
    friend bool operator==(const HhAkLink&, const HhAkLink&) = default;
};

struct HhFtsQuery {
    bool fUniCodeStrings = false;
    std::optional<std::string> pszSearchQuery;
    std::int32_t iProximity = 0;
    bool fStemmedSearch = false;
    bool fTitleOnly = false;
    bool fExecute = false;
    std::optional<std::string> pszWindow;
    friend bool operator==(const HhFtsQuery&, const HhFtsQuery&) = default;
};

// The one data value of an HtmlHelp call: a plain number, a text, or one of the records.
using HtmlHelpData = std::variant<std::uint32_t, std::string, HhPopup, HhAkLink, HhFtsQuery>;

// MSGBOXPARAMS as the class fills it: no owner, no icon resource, no help callback.
struct MessageBoxParams {
    std::uintptr_t hwndOwner = 0;
    std::string lpszText;
    std::string lpszCaption;
    std::uint32_t dwStyle = 0;
    friend bool operator==(const MessageBoxParams&, const MessageBoxParams&) = default;
};

// OSVERSIONINFO's numbers that the class looks at.
struct OsVersion {
    std::uint32_t platformId = 0; // 1 Windows 9x, 2 Windows NT
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
};
inline constexpr std::uint32_t kPlatformWindows = 1;
inline constexpr std::uint32_t kPlatformNt = 2;

// VS_FIXEDFILEINFO's file version, as four unsigned 16-bit parts.
struct FileVersionParts {
    std::uint16_t major = 0;
    std::uint16_t minor = 0;
    std::uint16_t build = 0;
    std::uint16_t revision = 0;
};

// WM_SYSCOMMAND with SC_CONTEXTHELP: the window's What's This mode.
inline constexpr std::uint32_t kWmSysCommand = 0x0112;
inline constexpr std::uintptr_t kScContextHelp = 0xF180;

} // namespace tidewell::help
