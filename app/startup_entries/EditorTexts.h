#pragma once

#include <string>
#include <string_view>

// The startup-entries editor's own texts: status lines, questions and messages.
namespace tidewell::editor_text {

inline constexpr std::string_view kCautionTitle = "CAUTION!";
inline constexpr std::string_view kCautionText =
    "Please Exercise CAUTION When Using This Part Of The Program!\r\n"
    "It Can Render Your System Inoperable If You Delete Necessary Components!\r\n\r\n"
    "                                  Do You Want To Continue?"; // 34 blanks
inline constexpr std::string_view kScanningText = "Scanning Registry. . . . ";
inline constexpr std::string_view kConvertingText = "Converting Values. . . .";
inline constexpr std::string_view kViewingText =
    "Viewing Registry Values.  Select A Value To See Its Entry.";

inline constexpr std::string_view kContinueTitle = "Continue?";
inline constexpr std::string_view kContinueText =
    "Please Note That If You Enter A Faulty Entry,\r\nWindows Will Return An Error On Every "
    "Boot!\r\nWould You Like To Continue?";
inline constexpr std::string_view kNamePrompt =
    "Give Tidewell! The Name Of Your New Registry Entry";
inline constexpr std::string_view kNameTitle = "Entry Name?";
inline constexpr std::string_view kNameDefault = "NewEntry";
inline constexpr std::string_view kResidencyPrompt =
    "Where Will This Entry Reside? (e.g. LOCAL or USER)";
inline constexpr std::string_view kResidencyTitle = "Residency?";
inline constexpr std::string_view kLocal = "LOCAL";
inline constexpr std::string_view kUser = "USER";
inline constexpr std::string_view kPathPrompt =
    "Please Type The Path To The New Entry  (e.g. c:\\windows\\readme.exe)";
inline constexpr std::string_view kPathTitle = "Entry Location?";
inline constexpr std::string_view kPathDefault = "c:\\windows\\readme.exe";
inline constexpr std::string_view kSyntaxTitle = "SYNTAX INCORRECT!";
inline constexpr std::string_view kSyntaxText =
    "YOU DID NOT ENTER THE PROPER SYNTAX!\r\nWOULD YOU LIKE TO TRY AGAIN?";
inline constexpr std::string_view kCorrectTitle = "Information Correct?";
inline constexpr std::string_view kAbortedTitle = "ABORTED!";
inline constexpr std::string_view kAbortedText = "Value has NOT been created!";
inline constexpr std::string_view kReplaceTitle = "Replace Entry?";
inline constexpr std::string_view kCompleteTitle = "Complete!";
inline constexpr std::string_view kCompleteText = "Entry Has Been Created!";
inline constexpr std::string_view kNoInformationTitle = "No Information!";
inline constexpr std::string_view kNoInformationText =
    "Tidewell will not display any information about the new entry!\r\n"
    "The Information is formatted specially, and you will not be able\r\n"
    "to view it until you restart Tidewell!";

inline constexpr std::string_view kNothingTitle = "Nothing To Backup!";
inline constexpr std::string_view kNothingText = "Nothing Has Been Selected!";
inline constexpr std::string_view kDeleteTitle = "Delete Selected Entries?";
inline constexpr std::string_view kDeleteText =
    "Are You Sure You Want To Delete The Selected Entries?";
inline constexpr std::string_view kBackupTitle = "Create Backup?";
inline constexpr std::string_view kBackupText =
    "Would You Like To Make A Backup Of This Entry(ies) Before Deleting It(Them)?";
inline constexpr std::string_view kBackupDoneTitle = "Backup Complete!";
inline constexpr std::string_view kBackupDoneText = "Selected Entries Have Been Backed Up!";
inline constexpr std::string_view kBackupFailedTitle = "Backup Failed!";
inline constexpr std::string_view kBackupFailedText =
    "The Backup Could Not Be Written!\r\nNo Entry Has Been Deleted.";
inline constexpr std::string_view kCommencingTitle = "Deletion Commencing. . .";
inline constexpr std::string_view kCommencingText = "Selected Entries Will Now Be Deleted!";

// MB_DEFBUTTON2: No is the answer ENTER gives.
inline constexpr unsigned kDefaultNo = 0x100;

// Adding a name the chosen key already holds.
inline std::string ReplaceText(std::string_view name) {
    return "An Entry Named \"" + std::string(name) + "\" Already Exists!\r\n" +
           "Its Old Value Will Be Added To The Backup File First.\r\n" +
           "Would You Like To Replace It?";
}

// An entry the backup file's code page cannot hold; nothing has been deleted or replaced.
inline std::string NotBackedUpText(std::string_view name) {
    return "The Entry \"" + std::string(name) + "\" Cannot Be Backed Up!\r\n" +
           "Its Name Or Value Holds Characters The Backup File Cannot Store.\r\n" +
           "Nothing Has Been Changed.";
}

} // namespace tidewell::editor_text
