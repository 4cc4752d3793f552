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
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidewell {

// One of the editor's two lists: its list box and text box, the root of its Run key, the data
// loaded for it (one slot per entry and one spare, Empty slot) and how many entries the key gave.
struct RunKeyList {
    ui::ListBox& list;
    ui::TextBox& text;
    RegistryRoot root;
    std::vector<RegistryData> values;
    std::size_t loaded = 0;
};

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

    static constexpr int kConvertingAt = 10;

    // chkCurrentUser and chkLocalMachine are the main window's; they are read during the load.
    frmRegistry(const AppPorts& ports, const StartupEntriesPorts& entries,
                const ui::CheckBox& chkCurrentUser, const ui::CheckBox& chkLocalMachine,
                WindowView& view);

    std::vector<ui::Control*> Controls() override;
    // The load sequence. Failures the library reports while the keys are read leave as
    // RegistryLibraryError, to the code that loaded the window.
    void Form_Load() override;
    // The caution question's answer: No unloads nothing but leaves the editor unshown, and clears
    // maintenanceRunning.
    bool Declined() const { return declined_; }

    void lstbxLocal_Click();
    void lstbxCurrent_Click();
    void cmdRefresh_Click();
    void cmdAddEntry_Click();
    void cmdDeleteEntry_Click();
    void cmdExit_Click();
    void MyTimer_Timer();

    // The next list click comes from the editor's own code (Refresh) and shows nothing.
    bool ignoreNextListClick = false;

    // The data loaded for each list, one slot per entry and one spare (Empty) slot.
    const std::vector<RegistryData>& LocalMachineValues() const { return local_.values; }
    const std::vector<RegistryData>& CurrentUserValues() const { return current_.values; }

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
    // Opens the list's Run key into runKey_ and sizes its table from the key's count.
    void OpenList(RunKeyList& list);
    // Names and data of runKey_ into the list and its table; a key that is not there lists nothing.
    void LoadList(RunKeyList& list);
    void ShowSelectedEntry(RunKeyList& list);
    // The input box at the editor window.
    std::string Ask(std::string_view prompt, std::string_view title, std::string_view defaultText);
    // The add dialogue up to the confirmation; false when the user stopped it.
    bool AskNewEntry(std::string& name, std::string& residency, std::string& path);
    // For a name the key already holds: the question, then its old data into the backup. False
    // when it must not be replaced.
    bool MayReplace(RegistryRoot root, const std::string& name);
    bool WriteEntry(RegistryRoot root, const std::string& name, const std::string& data);
    // The selected entry of `list`, for the backup; nothing without a selection.
    std::optional<BackupEntry> SelectedBackup(RunKeyList& list);
    // Writes the backup of `entries` and tells the user; false when it was not written.
    bool Backup(const std::vector<BackupEntry>& entries);
    void DeleteEntry(RegistryRoot root, const std::string& name);

    AppPorts ports_;
    StartupEntriesPorts entries_;
    const ui::CheckBox& chkCurrentUser_;
    const ui::CheckBox& chkLocalMachine_;
    std::unique_ptr<RegistryKeyObject> runKey_;
    RunKeyList current_;
    RunKeyList local_;
    bool declined_ = false;
};

} // namespace tidewell
