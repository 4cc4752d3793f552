#include "help/HTMLHelpAPI.h"

#include "ports/Process.h"

#include <algorithm>
#include <array>
#include <cstdlib>
#include <utility>

namespace tidewell::help {

namespace {

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string Lowered(std::string_view text) {
    std::string lowered(text);
    std::transform(lowered.begin(), lowered.end(), lowered.begin(), Lower);
    return lowered;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && Lowered(a) == Lowered(b);
}

bool EndsWithNoCase(std::string_view text, std::string_view ending) {
    return text.size() >= ending.size() &&
           EqualsNoCase(text.substr(text.size() - ending.size()), ending);
}

bool IsBlank(std::string_view text) {
    return text.find_first_not_of(' ') == std::string_view::npos;
}

bool HasWildcard(std::string_view path) {
    return path.find_first_of("*?") != std::string_view::npos;
}

std::string AfterLastBackslash(std::string_view path) {
    const auto slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string TrimNull(std::string_view text) {
    return std::string(text.substr(0, text.find('\0')));
}

// A registered folder normally ends in "\"; one that does not still names the same folder.
std::string InFolder(std::string_view folder, std::string_view fileName) {
    std::string path(folder);
    if (path.empty() || path.back() != '\\') {
        path += '\\';
    }
    return path + std::string(fileName);
}

// The digits of `value`, zero-padded to `width`, after its sign.
std::string Padded(int value, std::size_t width) {
    std::string digits = std::to_string(std::abs(value));
    if (digits.size() < width) {
        digits.insert(0, width - digits.size(), '0');
    }
    return (value < 0 ? "-" : "") + digits;
}

std::int32_t VersionCode(const OsVersion& version) {
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

std::optional<std::uint32_t> RootKey(std::string_view abbreviation) {
    static constexpr std::array<std::pair<std::string_view, std::uint32_t>, 6> kRoots{{
        {"hkcu", reg::kCurrentUser},
        {"hklm", reg::kLocalMachine},
        {"hku", reg::kUsers},
        {"hkcc", reg::kCurrentConfig},
        {"hkdd", reg::kDynData},
        {"hkcr", reg::kClassesRoot},
    }};
    const std::string lowered = Lowered(abbreviation);
    for (const auto& [name, root] : kRoots) {
        if (lowered == name) {
            return root;
        }
    }
    return std::nullopt;
}

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
        if (EqualsNoCase(text, version)) {
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

constexpr std::string_view kHHTypeLibKey =
    "SOFTWARE\\Classes\\TypeLib\\{ADB880A2-D8FF-11CF-9377-00AA003B7A11}";
constexpr std::string_view kHHControlKey =
    "CLSID\\{4662DAB0-D393-11D0-9A56-00C04FB68B66}\\InprocServer32";
constexpr std::string_view kBrowserControlKey =
    "CLSID\\{0A89A860-D7B1-11CE-8350-444553540000}\\InProcServer32";

} // namespace

HTMLHelpAPI::HTMLHelpAPI(const HelpPorts& ports) : ports_(ports) {}

std::optional<WindowHandle> HTMLHelpAPI::PrepareDisplay(WindowHandle callingForm) {
    if (!IsValidHelpFile(chmFile_)) {
        ShowErrorMessage(chmFile_ + " is not a valid HTML Help file.");
        return std::nullopt;
    }
    if (!EnsureFileExists(chmFile_)) {
        return std::nullopt;
    }
    return hhShowOnTop_ ? callingForm : WindowHandle{0};
}

std::string HTMLHelpAPI::Target() const {
    return IsBlank(hhWindow_) ? chmFile_ : chmFile_ + ">" + hhWindow_;
}

std::optional<std::string> HTMLHelpAPI::WindowType() const {
    if (IsBlank(hhWindow_)) {
        return std::nullopt;
    }
    return hhWindow_;
}

void HTMLHelpAPI::HHDisplayTopicURL(WindowHandle CallingForm) {
    if (const auto owner = PrepareDisplay(CallingForm)) {
        ports_.htmlHelp.Call(*owner, Target(), hh::kDisplayTopic, hhTopicURL_);
    }
}

void HTMLHelpAPI::HHDisplayTopicID(WindowHandle CallingForm) {
    if (const auto owner = PrepareDisplay(CallingForm)) {
        ports_.htmlHelp.Call(*owner, Target(), hh::kHelpContext,
                             static_cast<std::uint32_t>(hhTopicID_));
    }
}

void HTMLHelpAPI::HHDisplaySearch(WindowHandle CallingForm) {
    if (const auto owner = PrepareDisplay(CallingForm)) {
        HhFtsQuery query;
        query.fUniCodeStrings = false;
        query.pszSearchQuery = std::string();
        query.iProximity = 0;
        query.fStemmedSearch = false;
        query.fTitleOnly = false;
        query.fExecute = true;
        query.pszWindow = std::string();
        ports_.htmlHelp.Call(*owner, Target(), hh::kDisplaySearch, query);
    }
}

HhAkLink HTMLHelpAPI::FillAkLink(const std::string& keywords) {
    // The viewer must get null pointers, not empty strings, for these three.
    for (auto* text : {&hhDefaultURL_, &hhMsgText_, &hhMsgTitle_}) {
        if (text->has_value() && (*text)->empty()) {
            text->reset();
        }
    }
    HhAkLink link;
    link.fReserved = false;
    link.pszKeywords = keywords;
    link.pszUrl = hhDefaultURL_;
    link.pszMsgText = hhMsgText_;
    link.pszMsgTitle = hhMsgTitle_;
    link.pszWindow = WindowType();
    link.fIndexOnFail = false;
    return link;
}

void HTMLHelpAPI::HHDisplayKeyword(WindowHandle CallingForm) {
    if (const auto owner = PrepareDisplay(CallingForm)) {
        // Opens the file at its default topic, so the lookup has a window to show its result in.
        ports_.htmlHelp.Call(*owner, chmFile_, hh::kDisplayTopic, std::uint32_t{0});
        ports_.htmlHelp.Call(*owner, chmFile_, hh::kKeywordLookup, FillAkLink(hhKeyword_));
    }
}

void HTMLHelpAPI::HHDisplayIndex(WindowHandle CallingForm) {
    if (const auto owner = PrepareDisplay(CallingForm)) {
        ports_.htmlHelp.Call(*owner, Target(), hh::kDisplayIndex, std::uint32_t{0});
    }
}

void HTMLHelpAPI::HHDisplayContents(WindowHandle CallingForm) {
    if (const auto owner = PrepareDisplay(CallingForm)) {
        ports_.htmlHelp.Call(*owner, Target(), hh::kDisplayToc, std::uint32_t{0});
    }
}

void HTMLHelpAPI::HHDisplayALink(WindowHandle CallingForm) {
    if (const auto owner = PrepareDisplay(CallingForm)) {
        ports_.htmlHelp.Call(*owner, chmFile_, hh::kAlinkLookup, FillAkLink(hhALink_));
    }
}

void HTMLHelpAPI::HHRegister(std::string& FileToRegister) {
    if (FileToRegister.empty() || !IsValidHelpFile(FileToRegister)) {
        return;
    }
    if (FileToRegister.find('\\') == std::string::npos) {
        ShowErrorMessage("Cannot register " + FileToRegister +
                         " without having a supplied path.\"");
        return;
    }
    FileToRegister = GetLongName(FileToRegister);
    std::string check = FileToRegister;
    HHCheckRegistry(check);
    if (!hhRegFileName_.empty()) {
        ShowInfoMessage("The file " + FileToRegister + " is already registered.  " +
                        "HHRegister will not be run as no action need be taken.");
        return;
    }
    if (!IsValidHelpFile(FileToRegister) || !EnsureFileExists(FileToRegister)) {
        return;
    }
    const auto slash = FileToRegister.rfind('\\');
    const std::string fileName = FileToRegister.substr(slash + 1);
    const std::string folder = FileToRegister.substr(0, slash + 1);
    auto key = ports_.registry.CreateKey(reg::kLocalMachine, kRegistrationKey,
                                         reg::kSetValue | reg::kCreateSubKey);
    if (!key) {
        ShowErrorMessage("HTML Help Class: HHRegister Error");
        return;
    }
    const bool written = key->SetValue(fileName, reg::kSz, folder);
    key->Close();
    if (!written) {
        std::string name = fileName;
        HHCheckRegistry(name);
    }
}

void HTMLHelpAPI::HHUnRegister(std::string& FileToUnRegister) {
    if (FileToUnRegister.empty() || !IsValidHelpFile(FileToUnRegister)) {
        return;
    }
    FileToUnRegister = GetLongName(FileToUnRegister);
    std::string check = FileToUnRegister;
    HHCheckRegistry(check);
    if (hhRegFileName_.empty()) {
        ShowInfoMessage("The file " + FileToUnRegister + " is not registered.  " +
                        "HHUnRegister will not be run as no action need be taken.");
        return;
    }
    FileToUnRegister = AfterLastBackslash(FileToUnRegister);
    if (auto key = ports_.registry.OpenKey(reg::kLocalMachine, kRegistrationKey, reg::kSetValue)) {
        key->DeleteValue(FileToUnRegister);
        key->Close();
    }
    std::string name = FileToUnRegister;
    HHCheckRegistry(name);
}

void HTMLHelpAPI::HHCheckRegistry(std::string& FileToCheck) {
    if (FileToCheck.empty()) {
        return;
    }
    hhRegFileExists_ = false;
    if (!IsValidHelpFile(FileToCheck)) {
        return;
    }
    const std::string fileName = AfterLastBackslash(FileToCheck);
    const auto folder = GetRegistryString("HKLM", kRegistrationKey, fileName);
    if (!folder) {
        hhRegFileName_.clear();
        hhRegFilePath_.clear();
        return;
    }
    hhRegFileName_ = fileName;
    hhRegFilePath_ = GetLongName(TrimNull(*folder));
    std::string registered = InFolder(hhRegFilePath_, hhRegFileName_);
    hhRegFileExists_ = EnsureFileExists(registered);
}

void HTMLHelpAPI::HHClose() {
    ports_.htmlHelp.Call(0, chmFile_, hh::kCloseAll, std::uint32_t{0});
}

std::string HTMLHelpAPI::HHSetHelpFile(std::int16_t intSelHelpFile) const {
    switch (intSelHelpFile) {
    case 1:
        return ProgramFolder() + "\\" + std::string(kHelpFileName);
    case 2:
        return std::string(kPopupFileName);
    default:
        return {};
    }
}

std::string HTMLHelpAPI::PopupFont() {
    if (hhPopupTextFont_.empty()) {
        hhPopupTextFont_ = "Arial";
    }
    if (hhPopupTextSize_.empty()) {
        hhPopupTextSize_ = "10";
    }
    return hhPopupTextFont_ + ", " + hhPopupTextSize_ + ", ascii, " +
           (hhPopupTextBold_ ? "Bold " : "") + (hhPopupTextItalic_ ? "Italic " : "") +
           (hhPopupTextUnderline_ ? "Underline" : "");
}

void HTMLHelpAPI::ResetPopupStyling() {
    hhPopupTextColor_ = 0;
    hhPopupBackColor_ = 0;
    hhPopupCustomTextColor_ = 0;
    hhPopupCustomBackColor_ = 0;
    hhPopupTextFont_ = "Arial";
    hhPopupTextSize_ = "10";
    hhPopupTextBold_ = false;
    hhPopupTextItalic_ = false;
    hhPopupTextUnderline_ = false;
}

void HTMLHelpAPI::HHDisplayPopup(WindowHandle CallingForm) {
    const std::int32_t type = hhPopupType_;
    if (type != 1 && type != 2 && type != 4) {
        return;
    }
    if (type == 1) {
        if (!IsValidHelpFile(chmFile_)) {
            ShowErrorMessage(chmFile_ + " is not a valid HTML Help file.");
            return;
        }
        if (!EnsureFileExists(chmFile_)) {
            return;
        }
    }
    HhPopup popup;
    popup.pt = ports_.system.CursorPosition().value_or(ScreenPoint{});
    popup.hinst = 0;
    switch (type) {
    case 1:
        popup.idString = static_cast<std::uint32_t>(hhPopupID_);
        popup.pszText = std::nullopt;
        break;
    case 2:
        popup.idString = 0;
        popup.pszText = ports_.system.StringResource(static_cast<std::uint32_t>(hhPopupID_));
        break;
    default:
        if (hhPopupText_.empty()) {
            return;
        }
        popup.idString = 0;
        popup.pszText = hhPopupText_;
        break;
    }
    popup.clrForeground = hhPopupCustomColors_ ? hhPopupCustomTextColor_ : hhPopupTextColor_;
    popup.clrBackground = hhPopupCustomColors_ ? hhPopupCustomBackColor_ : hhPopupBackColor_;
    popup.rcMargins = Margins{-1, -1, -1, -1};
    popup.pszFont = PopupFont();

    std::optional<std::string> target;
    if (type == 1) {
        if (!IsValidPopupFile(hhPopupFile_)) {
            ShowErrorMessage("The file specified as the text popup source, '" + hhPopupFile_ +
                             "', is not a valid popup file.");
            return;
        }
        target = chmFile_ + "::/" + hhPopupFile_;
    }
    ports_.htmlHelp.Call(CallingForm, target, hh::kDisplayTextPopup, popup);
    ResetPopupStyling();
}

void HTMLHelpAPI::HHInvokeWhatsThisHelp(WindowHandle CallingForm) {
    ports_.system.DefaultWindowProcedure(CallingForm, kWmSysCommand, kScContextHelp, 0);
}

bool HTMLHelpAPI::HHVerifyMinConfig(std::int32_t MinHHVersion, std::int32_t MinIEVersion) {
    ReadHHVersion();
    ReadIEVersion();
    // Text order, character by character: "4.8" counts as later than "4.72.7290".
    bool hhEnough = false;
    if (const auto minimum = Minimum(kMinHH, MinHHVersion, 16)) {
        hhEnough = Lowered(hhVersion_) >= Lowered(*minimum);
    } else {
        hhVersion_ = "unknown";
    }
    bool ieEnough = false;
    if (const auto minimum = Minimum(kMinIE, MinIEVersion, 256)) {
        ieEnough = Lowered(ieVersion_) >= Lowered(*minimum);
    } else {
        ieVersion_ = "unknown";
    }
    hhFriendlyName_ = FriendlyName(kHHNames, hhVersion_);
    ieFriendlyName_ = FriendlyName(kIENames, ieVersion_);
    return hhEnough && ieEnough;
}

bool HTMLHelpAPI::EnsureFileExists(std::string& FileToFind) {
    if (FileToFind.find('\\') == std::string::npos) {
        // Only a help file name can be registered; any other bare name would pick up whatever
        // the last registry check left behind.
        bool registered = false;
        if (IsValidHelpFile(FileToFind)) {
            std::string check = FileToFind;
            HHCheckRegistry(check);
            registered = !hhRegFileName_.empty();
        }
        FileToFind = registered ? InFolder(hhRegFilePath_, hhRegFileName_)
                                : ProgramFolder() + "\\" + FileToFind;
    }
    // A wildcard would let the search "find" some other file.
    if (!HasWildcard(FileToFind) && ports_.system.FindFile(FileToFind)) {
        return true;
    }
    ShowErrorMessage("The file " + FileToFind + " does not exist." + "\n" +
                     "Please make sure that you have installed Orvane Help files");
    return false;
}

bool HTMLHelpAPI::GetKeyInfo(std::string_view key_name, std::int16_t /*indent*/) {
    auto key = ports_.registry.OpenKey(reg::kLocalMachine, key_name, reg::kAllAccess);
    return key && key->Close();
}

std::int32_t HTMLHelpAPI::GetWindowsVersion() {
    const auto version = ports_.system.WindowsVersionInfo();
    return version ? VersionCode(*version) : 0;
}

bool HTMLHelpAPI::HHInstalled() {
    hhInstalled_ = GetKeyInfo(kHHTypeLibKey, 0);
    return hhInstalled_;
}

std::string HTMLHelpAPI::HHVersion() {
    if (hhVersion_.empty()) {
        ReadHHVersion();
    }
    return hhVersion_;
}

std::string HTMLHelpAPI::IEVersion() {
    if (ieVersion_.empty()) {
        ReadIEVersion();
    }
    return ieVersion_;
}

std::string HTMLHelpAPI::HHFriendlyName() {
    if (hhVersion_.empty()) {
        ReadHHVersion();
    }
    hhFriendlyName_ = FriendlyName(kHHNames, hhVersion_);
    return hhFriendlyName_;
}

std::string HTMLHelpAPI::IEFriendlyName() {
    if (ieVersion_.empty()) {
        ReadIEVersion();
    }
    ieFriendlyName_ = FriendlyName(kIENames, ieVersion_);
    return ieFriendlyName_;
}

bool HTMLHelpAPI::IsValidHelpFile(std::string_view name) const {
    return EndsWithNoCase(name, "chm");
}

bool HTMLHelpAPI::IsValidPopupFile(std::string_view name) const {
    return EndsWithNoCase(name, "txt");
}

std::optional<std::string> HTMLHelpAPI::GetRegistryString(std::string_view root,
                                                          std::string_view key,
                                                          std::string_view valueName) {
    const auto rootKey = RootKey(root);
    if (!rootKey) {
        return std::nullopt;
    }
    auto opened = ports_.registry.OpenKey(*rootKey, key, reg::kQueryValue);
    if (!opened) {
        return std::nullopt;
    }
    std::optional<std::string> found;
    for (std::uint32_t index = 0;; ++index) {
        const auto entry = opened->EnumValue(index);
        if (!entry) {
            break;
        }
        if ((entry->type == reg::kSz || entry->type == reg::kExpandSz) &&
            EqualsNoCase(entry->name, valueName)) {
            if (const auto data = opened->QueryValue(entry->name)) {
                found = data->type == reg::kExpandSz ? ports_.system.ExpandEnvironment(data->text)
                                                     : data->text;
            }
            break;
        }
    }
    opened->Close();
    return found;
}

bool HTMLHelpAPI::HasLongPathFunction() {
    const auto version = ports_.system.WindowsVersionInfo();
    if (!version) {
        return false;
    }
    // Every NT release after 5 has the long-path function too, though its code reads 0.
    return VersionCode(*version) >= 4 ||
           (version->platformId == kPlatformNt && version->majorVersion > 5);
}

std::string HTMLHelpAPI::GetLongName(std::string_view path) {
    if (HasLongPathFunction()) {
        return ports_.system.LongPathName(path).value_or(std::string(path));
    }
    return WalkLongName(path);
}

std::string HTMLHelpAPI::WalkLongName(std::string_view path) {
    if (!path.empty() && path.front() == '"') {
        path.remove_prefix(1);
    }
    if (!path.empty() && path.back() == '"') {
        path.remove_suffix(1);
    }
    // The walk needs a drive; anything else, or a part that cannot be found, stays as given
    // rather than shrinking to the folders found so far.
    if (path.size() < 3 || path[1] != ':' || path[2] != '\\') {
        return std::string(path);
    }
    std::string longName(path.substr(0, 2));
    std::string_view rest = path.substr(3);
    for (auto slash = rest.find('\\'); slash != std::string_view::npos; slash = rest.find('\\')) {
        const std::string_view part = rest.substr(0, slash);
        if (part.empty() || HasWildcard(part)) {
            return std::string(path);
        }
        const auto found = ports_.system.FindFile(longName + "\\" + std::string(part));
        if (!found) {
            return std::string(path);
        }
        longName += "\\" + TrimNull(*found);
        rest.remove_prefix(slash + 1);
    }
    return longName + "\\" + std::string(rest);
}

std::string HTMLHelpAPI::GetFileVersionText(std::string_view path) {
    const auto parts = ports_.system.FileVersion(path);
    if (!parts) {
        return {};
    }
    const int major = static_cast<std::int16_t>(parts->major);
    const int minor = static_cast<std::int16_t>(parts->minor);
    const int build = static_cast<std::int16_t>(parts->build);
    const int revision = static_cast<std::int16_t>(parts->revision);
    if (build <= 0) {
        return std::to_string(major) + "." + Padded(minor, 2) + "." + Padded(revision, 4);
    }
    return std::to_string(major) + "." + Padded(minor, 2) + "." + Padded(build, 2) + "." +
           Padded(revision, 2);
}

std::optional<std::string> HTMLHelpAPI::ReadComponentVersion(std::string_view classKey,
                                                             std::string_view notRegistered,
                                                             std::string_view notInPlace) {
    const auto server = GetRegistryString("HKCR", classKey, "");
    if (!server) {
        ShowErrorMessage(notRegistered);
        return std::nullopt;
    }
    const std::string path = GetLongName(TrimNull(*server));
    if (path.empty() || HasWildcard(path) || !ports_.system.FindFile(path)) {
        ShowErrorMessage(notInPlace);
        return std::nullopt;
    }
    return GetFileVersionText(path);
}

void HTMLHelpAPI::ReadHHVersion() {
    auto version = ReadComponentVersion(
        kHHControlKey, "Hhctrl.ocx is not registered.  Please install HTML Help.",
        "Hhctrl.ocx is not in its registered location.  Please reinstall HTML Help.");
    if (version) {
        hhVersion_ = std::move(*version);
    }
}

void HTMLHelpAPI::ReadIEVersion() {
    auto version = ReadComponentVersion(
        kBrowserControlKey, "Shdocvw.dll is not registered.  Please install Internet Explorer.",
        "Internet Explorer is not in its registered location.  "
        "Please reinstall Internet Explorer.");
    if (version) {
        ieVersion_ = std::move(*version);
    }
}

std::string HTMLHelpAPI::ProgramFolder() const {
    std::string folder = ports_.process.ExecutableFolder();
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder;
}

void HTMLHelpAPI::ShowErrorMessage(std::string_view text) {
    ports_.messageBox.ShowIndirect(
        MessageBoxParams{0, std::string(text), std::string(kErrorCaption), style::kOkStop});
}

void HTMLHelpAPI::ShowInfoMessage(std::string_view text) {
    ports_.messageBox.ShowIndirect(
        MessageBoxParams{0, std::string(text), std::string(kErrorCaption), style::kOkInformation});
}

} // namespace tidewell::help
