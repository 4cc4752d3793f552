#pragma once

#include "help/HelpPorts.h"
#include "ports/WindowHandle.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidewell::help {

// The program's gateway to the HTML Help viewer: the settings of one help file as properties, and
// operations that open it, show text popups, register help files and check the installed viewer.
// No operation raises an error: what it can name it shows in its own "Quillfen! Error" box, every
// other fault skips the failing step.
//
// Public members stand in the class's dispatch order: the operations, then the properties, a
// property's setter before its getter.
class HTMLHelpAPI {
public:
    explicit HTMLHelpAPI(const HelpPorts& ports);
    HTMLHelpAPI(const HTMLHelpAPI&) = delete;
    HTMLHelpAPI& operator=(const HTMLHelpAPI&) = delete;
    ~HTMLHelpAPI() = default;

    void HHDisplayTopicURL(WindowHandle CallingForm = 0);
    void HHDisplayTopicID(WindowHandle CallingForm = 0);
    void HHDisplaySearch(WindowHandle CallingForm = 0);
    void HHDisplayKeyword(WindowHandle CallingForm = 0);
    void HHDisplayIndex(WindowHandle CallingForm = 0);
    void HHDisplayContents(WindowHandle CallingForm = 0);
    void HHDisplayALink(WindowHandle CallingForm = 0);
    void HHRegister(std::string& FileToRegister);
    void HHUnRegister(std::string& FileToUnRegister);
    void HHCheckRegistry(std::string& FileToCheck);
    void HHClose();
    std::string HHSetHelpFile(std::int16_t intSelHelpFile) const;
    void HHDisplayPopup(WindowHandle CallingForm);
    void HHInvokeWhatsThisHelp(WindowHandle CallingForm);
    bool HHVerifyMinConfig(std::int32_t MinHHVersion, std::int32_t MinIEVersion);
    bool EnsureFileExists(std::string& FileToFind);
    bool GetKeyInfo(std::string_view key_name, std::int16_t indent = 0);
    std::int32_t GetWindowsVersion();

    void SetHHWindow(std::string value) { hhWindow_ = std::move(value); }
    const std::string& HHWindow() const { return hhWindow_; }
    void SetHHTopicURL(std::string value) { hhTopicURL_ = std::move(value); }
    const std::string& HHTopicURL() const { return hhTopicURL_; }
    void SetHHTopicID(std::int32_t value) { hhTopicID_ = value; }
    std::int32_t HHTopicID() const { return hhTopicID_; }
    void SetHHMsgTitle(std::string value) { hhMsgTitle_ = std::move(value); }
    std::string HHMsgTitle() const { return hhMsgTitle_.value_or(""); }
    void SetHHMsgText(std::string value) { hhMsgText_ = std::move(value); }
    std::string HHMsgText() const { return hhMsgText_.value_or(""); }
    void SetHHKeyword(std::string value) { hhKeyword_ = std::move(value); }
    const std::string& HHKeyword() const { return hhKeyword_; }
    void SetHHDefaultURL(std::string value) { hhDefaultURL_ = std::move(value); }
    std::string HHDefaultURL() const { return hhDefaultURL_.value_or(""); }
    void SetHHALink(std::string value) { hhALink_ = std::move(value); }
    const std::string& HHALink() const { return hhALink_; }
    void SetCHMFile(std::string value) { chmFile_ = std::move(value); }
    const std::string& CHMFile() const { return chmFile_; }
    void SetHHShowOnTop(bool value) { hhShowOnTop_ = value; }
    bool HHShowOnTop() const { return hhShowOnTop_; }
    const std::string& HHRegFileName() const { return hhRegFileName_; }
    const std::string& HHRegFilePath() const { return hhRegFilePath_; }
    bool HHRegFileExists() const { return hhRegFileExists_; }
    void SetHHPopupFile(std::string value) { hhPopupFile_ = std::move(value); }
    void SetHHPopupID(std::int32_t value) { hhPopupID_ = value; }
    void SetHHPopupText(std::string value) { hhPopupText_ = std::move(value); }
    void SetHHPopupType(std::int32_t value) { hhPopupType_ = value; }
    void SetHHPopupTextColor(std::uint32_t value) { hhPopupTextColor_ = value; }
    void SetHHPopupBackColor(std::uint32_t value) { hhPopupBackColor_ = value; }
    void SetHHPopupCustomTextColor(std::uint32_t value) { hhPopupCustomTextColor_ = value; }
    void SetHHPopupCustomBackColor(std::uint32_t value) { hhPopupCustomBackColor_ = value; }
    void SetHHPopupCustomColors(bool value) { hhPopupCustomColors_ = value; }
    bool HHPopupCustomColors() const { return hhPopupCustomColors_; }
    void SetHHPopupTextFont(std::string value) { hhPopupTextFont_ = std::move(value); }
    void SetHHPopupTextSize(std::string value) { hhPopupTextSize_ = std::move(value); }
    void SetHHPopupTextBold(bool value) { hhPopupTextBold_ = value; }
    void SetHHPopupTextItalic(bool value) { hhPopupTextItalic_ = value; }
    void SetHHPopupTextUnderline(bool value) { hhPopupTextUnderline_ = value; }
    bool HHInstalled();
    std::string HHVersion();
    std::string IEVersion();
    std::string HHFriendlyName();
    std::string IEFriendlyName();

    static constexpr std::string_view kErrorCaption = "Quillfen! Error";
    static constexpr std::string_view kHelpFileName = "Tidewell! Help.chm";
    static constexpr std::string_view kPopupFileName = "Context.txt";
    static constexpr std::string_view kRegistrationKey = "Software\\Microsoft\\Windows\\HTML Help";

private:
    // The first three steps every display operation shares: the name test, the file search
    // (which may rewrite CHMFile) and the owner; nothing when the operation must end.
    std::optional<WindowHandle> PrepareDisplay(WindowHandle callingForm);
    std::string Target() const;
    std::optional<std::string> WindowType() const;
    HhAkLink FillAkLink(const std::string& keywords);
    std::string PopupFont();
    void ResetPopupStyling();
    bool IsValidHelpFile(std::string_view name) const;
    bool IsValidPopupFile(std::string_view name) const;
    std::optional<std::string> GetRegistryString(std::string_view root, std::string_view key,
                                                 std::string_view valueName);
    std::string GetLongName(std::string_view path);
    std::string WalkLongName(std::string_view path);
    bool HasLongPathFunction();
    std::string GetFileVersionText(std::string_view path);
    void ReadHHVersion();
    void ReadIEVersion();
    std::optional<std::string> ReadComponentVersion(std::string_view classKey,
                                                    std::string_view notRegistered,
                                                    std::string_view notInPlace);
    std::string ProgramFolder() const;
    void ShowErrorMessage(std::string_view text);
    void ShowInfoMessage(std::string_view text);

    HelpPorts ports_;

    std::string hhWindow_;
    std::string hhTopicURL_;
    std::int32_t hhTopicID_ = 0;
    // Empty texts become null texts before they are handed to the viewer in HH_AKLINK.
    std::optional<std::string> hhMsgTitle_ = std::string();
    std::optional<std::string> hhMsgText_ = std::string();
    std::string hhKeyword_;
    std::optional<std::string> hhDefaultURL_ = std::string();
    std::string hhALink_;
    std::string chmFile_;
    bool hhShowOnTop_ = false;
    std::string hhRegFileName_;
    std::string hhRegFilePath_;
    bool hhRegFileExists_ = false;
    std::string hhPopupFile_;
    std::int32_t hhPopupID_ = 0;
    std::string hhPopupText_;
    std::int32_t hhPopupType_ = 0;
    std::uint32_t hhPopupTextColor_ = 0;
    std::uint32_t hhPopupBackColor_ = 0;
    std::uint32_t hhPopupCustomTextColor_ = 0;
    std::uint32_t hhPopupCustomBackColor_ = 0;
    bool hhPopupCustomColors_ = false;
    std::string hhPopupTextFont_;
    std::string hhPopupTextSize_;
    bool hhPopupTextBold_ = false;
    bool hhPopupTextItalic_ = false;
    bool hhPopupTextUnderline_ = false;
    bool hhInstalled_ = false;
    std::string hhVersion_;
    std::string ieVersion_;
    std::string hhFriendlyName_;
    std::string ieFriendlyName_;
};

} // namespace tidewell::help
