#pragma once

#include "ports/AppPorts.h"
#include "startup_entries/RegistryObjects.h"
#include "startup_entries/StartupEntriesPorts.h"
#include "ui/CheckBox.h"
#include "ui/CommandButton.h"
#include "ui/FormCore.h"
#include "ui/Label.h"
#include "ui/ListBox.h"
#include "ui/ProgressBar.h"
#include "ui/StatusBar.h"
#include "ui/TextBox.h"
#include "ui/Timer.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// The startup-entries editor: the values of the two Run keys, read through the registry object
// library, with adding, deleting and the backup of deleted entries. Loaded by the maintenance
// run's last performance step (ShowStartupEntriesEditor).
class frmRegistry : public ui::FormCore {
public:
    static constexpr std::string_view kCaption = "Registry Entries";
    static constexpr int kClientWidth = 8880;  // twips
    static constexpr int kClientHeight = 5400; // twips, status bar included

    // Key paths as each call uses them: the loads and deletes with a trailing backslash, the
    // existence check and the write without.
    static constexpr std::string_view kRunKeyPath =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run\\";
    static constexpr std::string_view kRunKeyPathBare =
        "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
    static constexpr std::string_view kDeletedMarker = " (*) ";

    static constexpr std::string_view kCautionTitle = "CAUTION!";
    static constexpr std::string_view kCautionText =
        "Please Exercise CAUTION When Using This Part Of The Program!\r\n"
        "It Can Render Your System Inoperable If You Delete Necessary Components!\r\n\r\n"
        "                                  Do You Want To Continue?"; // 34 blanks
    static constexpr std::string_view kScanningText = "Scanning Registry. . . . ";
    static constexpr std::string_view kConvertingText = "Converting Values. . . .";
    static constexpr std::string_view kViewingText =
        "Viewing Registry Values.  Select A Value To See Its Entry.";
    static constexpr int kConvertingAt = 10;

    static constexpr std::string_view kContinueTitle = "Continue?";
    static constexpr std::string_view kContinueText =
        "Please Note That If You Enter A Faulty Entry,\r\nWindows Will Return An Error On Every "
        "Boot!\r\nWould You Like To Continue?";
    static constexpr std::string_view kNamePrompt =
        "Give Tidewell! The Name Of Your New Registry Entry";
    static constexpr std::string_view kNameTitle = "Entry Name?";
    static constexpr std::string_view kNameDefault = "NewEntry";
    static constexpr std::string_view kResidencyPrompt =
        "Where Will This Entry Reside? (e.g. LOCAL or USER)";
    static constexpr std::string_view kResidencyTitle = "Residency?";
    static constexpr std::string_view kLocal = "LOCAL";
    static constexpr std::string_view kUser = "USER";
    static constexpr std::string_view kPathPrompt =
        "Please Type The Path To The New Entry  (e.g. c:\\windows\\readme.exe)";
    static constexpr std::string_view kPathTitle = "Entry Location?";
    static constexpr std::string_view kPathDefault = "c:\\windows\\readme.exe";
    static constexpr std::string_view kSyntaxTitle = "SYNTAX INCORRECT!";
    static constexpr std::string_view kSyntaxText =
        "YOU DID NOT ENTER THE PROPER SYNTAX!\r\nWOULD YOU LIKE TO TRY AGAIN?";
    static constexpr std::string_view kCorrectTitle = "Information Correct?";
    static constexpr std::string_view kAbortedTitle = "ABORTED!";
    static constexpr std::string_view kAbortedText = "Value has NOT been created!";
    static constexpr std::string_view kCompleteTitle = "Complete!";
    static constexpr std::string_view kCompleteText = "Entry Has Been Created!";
    static constexpr std::string_view kNoInformationTitle = "No Information!";
    static constexpr std::string_view kNoInformationText =
        "Tidewell will not display any information about the new entry!\r\n"
        "The Information is formatted specially, and you will not be able\r\n"
        "to view it until you restart Tidewell!";

    static constexpr std::string_view kNothingTitle = "Nothing To Backup!";
    static constexpr std::string_view kNothingText = "Nothing Has Been Selected!";
    static constexpr std::string_view kDeleteTitle = "Delete Selected Entries?";
    static constexpr std::string_view kDeleteText =
        "Are You Sure You Want To Delete The Selected Entries?";
    static constexpr std::string_view kBackupTitle = "Create Backup?";
    static constexpr std::string_view kBackupText =
        "Would You Like To Make A Backup Of This Entry(ies) Before Deleting It(Them)?";
    static constexpr std::string_view kBackupDoneTitle = "Backup Complete!";
    static constexpr std::string_view kBackupDoneText = "Selected Entries Have Been Backed Up!";
    static constexpr std::string_view kBackupFailedTitle = "Backup Failed!";
    static constexpr std::string_view kBackupFailedText =
        "The Backup Could Not Be Written!\r\nNo Entry Has Been Deleted.";
    static constexpr std::string_view kCommencingTitle = "Deletion Commencing. . .";
    static constexpr std::string_view kCommencingText = "Selected Entries Will Now Be Deleted!";

    // chkCurrentUser and chkLocalMachine are the main window's; they are read during the load.
    frmRegistry(const AppPorts& ports, const StartupEntriesPorts& entries,
                const ui::CheckBox& chkCurrentUser, const ui::CheckBox& chkLocalMachine,
                WindowView& view);

    std::vector<ui::Control*> Controls() override;
    // The load sequence. Failures the library reports while the keys are read leave as
    // RegistryLibraryError, to the code that loaded the window.
    void Form_Load() override;

    void lstbxLocal_Click();
    void lstbxCurrent_Click();
    void cmdRefresh_Click();
    void cmdAddEntry_Click();
    void cmdDeleteEntry_Click();
    void cmdExit_Click();
    void MyTimer_Timer();

    // The data loaded for each list, one slot per entry and one spare (Empty) slot.
    const std::vector<RegistryData>& LocalMachineValues() const { return localMachineValues_; }
    const std::vector<RegistryData>& CurrentUserValues() const { return currentUserValues_; }

    ui::Label Label1;
    ui::ListBox lstbxLocal;
    ui::Label Label2;
    ui::TextBox txtLocalValue;
    ui::Label Label3;
    ui::ListBox lstbxCurrent;
    ui::Label Label4;
    ui::TextBox txtCurrentValue;
    ui::Label Label5;
    ui::Label Label6;
    ui::Label Label7;
    ui::Label lblProgress;
    ui::ProgressBar ProgressBar1;
    ui::CommandButton cmdRefresh;
    ui::CommandButton cmdAddEntry;
    ui::CommandButton cmdDeleteEntry;
    ui::CommandButton cmdExit;
    ui::StatusBar StatusBar1;
    ui::Timer MyTimer;

private:
    // Names and data of runKey_ into a list and its table; a key that is not there lists nothing.
    void LoadList(ui::ListBox& list, std::vector<RegistryData>& table);
    void ShowSelectedEntry(ui::ListBox& list, const std::vector<RegistryData>& table,
                           ui::TextBox& text, RegistryRoot root);
    // The input box at the editor window.
    std::string Ask(std::string_view prompt, std::string_view title, std::string_view defaultText);
    bool WriteEntry(RegistryRoot root, const std::string& name, const std::string& data);
    // The entries to back up; false when the library failed while reading one.
    bool CollectBackup(const std::string& localName, int localIndex, const std::string& currentName,
                       int currentIndex, std::vector<BackupEntry>& backup);
    void AddBackupEntry(RegistryRoot root, const std::string& name, int index,
                        const std::vector<RegistryData>& table, std::size_t loaded,
                        std::vector<BackupEntry>& backup);
    void DeleteEntry(RegistryRoot root, const std::string& name);

    AppPorts ports_;
    StartupEntriesPorts entries_;
    const ui::CheckBox& chkCurrentUser_;
    const ui::CheckBox& chkLocalMachine_;
    std::unique_ptr<RegistryKeyObject> runKey_;
    std::vector<RegistryData> currentUserValues_;
    std::vector<RegistryData> localMachineValues_;
    // How many entries each table got from its key (the spare slot and later names not counted).
    std::size_t currentUserLoaded_ = 0;
    std::size_t localMachineLoaded_ = 0;
};

} // namespace tidewell
