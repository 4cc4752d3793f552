#include "help/HTMLHelpAPI.h"

#include "help/HelpText.h"
#include "help/HelpVersionTables.h"

#include <utility>

namespace tidewell::help {

using text::AfterLastBackslash;
using text::HasWildcard;
using text::InFolder;
using text::IsBlank;
using text::Lowered;
using text::TrimNull;

namespace {

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
    if (const auto minimum = versions::MinimumHtmlHelp(MinHHVersion)) {
        hhEnough = Lowered(hhVersion_) >= Lowered(*minimum);
    } else {
        hhVersion_ = "unknown";
    }
    bool ieEnough = false;
    if (const auto minimum = versions::MinimumBrowser(MinIEVersion)) {
        ieEnough = Lowered(ieVersion_) >= Lowered(*minimum);
    } else {
        ieVersion_ = "unknown";
    }
    hhFriendlyName_ = versions::HtmlHelpName(hhVersion_);
    ieFriendlyName_ = versions::BrowserName(ieVersion_);
    return hhEnough && ieEnough;
}

bool HTMLHelpAPI::GetKeyInfo(std::string_view key_name, std::int16_t /*indent*/) {
    auto key = ports_.registry.OpenKey(reg::kLocalMachine, key_name, reg::kAllAccess);
    return key && key->Close();
}

std::int32_t HTMLHelpAPI::GetWindowsVersion() {
    const auto version = ports_.system.WindowsVersionInfo();
    return version ? versions::WindowsCode(*version) : 0;
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
    hhFriendlyName_ = versions::HtmlHelpName(hhVersion_);
    return hhFriendlyName_;
}

std::string HTMLHelpAPI::IEFriendlyName() {
    if (ieVersion_.empty()) {
        ReadIEVersion();
    }
    ieFriendlyName_ = versions::BrowserName(ieVersion_);
    return ieFriendlyName_;
}

std::string HTMLHelpAPI::GetFileVersionText(std::string_view path) {
    const auto parts = ports_.system.FileVersion(path);
    return parts ? versions::VersionText(*parts) : std::string();
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

void HTMLHelpAPI::ShowErrorMessage(std::string_view text) {
    ports_.messageBox.ShowIndirect(
        MessageBoxParams{0, std::string(text), std::string(kErrorCaption), style::kOkStop});
}

void HTMLHelpAPI::ShowInfoMessage(std::string_view text) {
    ports_.messageBox.ShowIndirect(
        MessageBoxParams{0, std::string(text), std::string(kErrorCaption), style::kOkInformation});
}

} // namespace tidewell::help
