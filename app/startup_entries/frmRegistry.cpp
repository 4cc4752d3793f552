#include "startup_entries/frmRegistry.h"

#include "main/RegistryErrorMessage.h"
#include "main/RunFlags.h"
#include "ports/MessageBox.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <optional>

namespace tidewell {

frmRegistry::frmRegistry(const AppPorts& ports, const StartupEntriesPorts& entries,
                         const ui::CheckBox& chkCurrentUser, const ui::CheckBox& chkLocalMachine,
                         WindowView& view)
    : FormCore(view, ports.runtime),
      Label1("Label1", "Programs That Start Before Windows:", {120, 120, 4200, 255}),
      lstbxLocal("lstbxLocal", "This box contains programs that start BEFORE windows starts.",
                 {120, 420, 4200, 2010}),
      Label2("Label2", "Value Of Entry:", {120, 2520, 4200, 255}),
      txtLocalValue("txtLocalValue",
                    "Look Here For Values From Programs That Start BEFORE Windows.",
                    {120, 2800, 4200, 315}),
      Label3("Label3", "Programs That Start While Windows Is Starting:", {4560, 120, 4200, 255}),
      lstbxCurrent("lstbxCurrent",
                   "This box contains programs that start WHILE booting into windows.",
                   {4560, 420, 4200, 2010}),
      Label4("Label4", "Value Of Entry:", {4560, 2520, 4200, 255}),
      txtCurrentValue("txtCurrentValue",
                      "Look Here For Values From Programs That Start WHILE Windows Is Booting.",
                      {4560, 2800, 4200, 315}),
      Label5("Label5", "Key:", {120, 3300, 600, 255}),
      Label6("Label6", "Star (*) = Deleted Entry", {720, 3300, 3000, 255}),
      Label7("Label7", "Pound (#) = New Entry", {720, 3560, 3000, 255}),
      lblProgress("lblProgress", "Progress Of Process:", {120, 3960, 1800, 255}),
      ProgressBar1("ProgressBar1", {1980, 3920, 6780, 300}, 0, 14),
      cmdRefresh("cmdRefresh", "&Refresh", "", {120, 4440, 2040, 420}),
      cmdAddEntry("cmdAddEntry", "&Add Entry", "Click Here To Add Your Own Entry.",
                  {2340, 4440, 2040, 420}),
      cmdDeleteEntry("cmdDeleteEntry", "&Delete Value",
                     "Click Here To Delete A Value.  You Will Be Prompted To Create A Backup.",
                     {4560, 4440, 2040, 420}),
      cmdExit("cmdExit", "&Finished!", "Click Here When You're Finished.", {6720, 4440, 2040, 420}),
      StatusBar1("StatusBar1", "Look Here For Status Of Registry Operations",
                 "Status Of Program Here.", {0, 5040, kClientWidth, kClientHeight - 5040}),
      MyTimer("MyTimer", 450), ports_(ports), entries_(entries), chkCurrentUser_(chkCurrentUser),
      chkLocalMachine_(chkLocalMachine) {
    MyTimer.SetEnabled(false);
    lstbxLocal.OnClick([this] { lstbxLocal_Click(); });
    lstbxCurrent.OnClick([this] { lstbxCurrent_Click(); });
    cmdRefresh.OnClick([this] { cmdRefresh_Click(); });
    cmdAddEntry.OnClick([this] { cmdAddEntry_Click(); });
    cmdDeleteEntry.OnClick([this] { cmdDeleteEntry_Click(); });
    cmdExit.OnClick([this] { cmdExit_Click(); });
    MyTimer.OnTimer([this] { MyTimer_Timer(); });
}

std::vector<ui::Control*> frmRegistry::Controls() {
    return {&Label1,         &lstbxLocal,  &Label2,          &txtLocalValue, &Label3,
            &lstbxCurrent,   &Label4,      &txtCurrentValue, &Label5,        &Label6,
            &Label7,         &lblProgress, &ProgressBar1,    &cmdRefresh,    &cmdAddEntry,
            &cmdDeleteEntry, &cmdExit,     &StatusBar1,      &MyTimer};
}

void frmRegistry::Form_Load() {
    SetMousePointer(ui::MousePointer::Hourglass);
    if (entries_.sendKeys) {
        entries_.sendKeys("{ENTER}");
    }
    RegistryDatabaseObject& database = entries_.registryDatabase.Get();
    // The current user's Run key is often missing: that is an empty list, not an error.
    runKey_ = database.OpenKey(kHkeyCurrentUser, kRunKeyPath);
    currentUserValues_.assign(
        static_cast<std::size_t>(std::max(runKey_ ? runKey_->ValueCount() : 0, 0)) + 1, {});

    if (ports_.messageBox.Show(kCautionText, mb::kYesNo | mb::kIconExclamation, kCautionTitle) !=
        answer::kYes) {
        ports_.flags.maintenanceRunning = false;
        return;
    }

    const bool currentUserChecked = chkCurrentUser_.Value() == 1;
    const bool localMachineChecked = chkLocalMachine_.Value() == 1;
    ui::CommandButton* const buttons[] = {&cmdDeleteEntry, &cmdAddEntry, &cmdExit, &cmdRefresh};
    for (ui::CommandButton* button : buttons) {
        button->SetEnabled(false);
    }
    ProgressBar1.SetValue(0);
    Show();
    view_.Refresh();
    StatusBar1.SetPanelText(std::string(kScanningText));
    // A window closed during the wait ends it too: its timer will never fill the bar.
    runtime_.WaitUntil([this] {
        if (!Loaded() || ProgressBar1.Value() == ProgressBar1.Max()) {
            return true;
        }
        if (!MyTimer.Enabled()) {
            MyTimer.SetEnabled(true);
        }
        if (ProgressBar1.Value() == kConvertingAt) {
            StatusBar1.SetPanelText(std::string(kConvertingText));
        }
        return false;
    });
    MyTimer.SetEnabled(false);
    if (!Loaded()) {
        return;
    }
    for (ui::CommandButton* button : buttons) {
        button->SetEnabled(true);
    }

    LoadList(lstbxCurrent, currentUserValues_);
    currentUserLoaded_ = static_cast<std::size_t>(lstbxCurrent.ListCount());
    runKey_ = database.OpenKey(kHkeyLocalMachine, kRunKeyPath);
    localMachineValues_.assign(
        static_cast<std::size_t>(std::max(runKey_ ? runKey_->ValueCount() : 0, 0)) + 1, {});
    LoadList(lstbxLocal, localMachineValues_);
    localMachineLoaded_ = static_cast<std::size_t>(lstbxLocal.ListCount());

    StatusBar1.SetPanelText(std::string(kViewingText));
    if (!currentUserChecked) {
        lstbxCurrent.SetEnabled(false);
    }
    if (!localMachineChecked) {
        lstbxLocal.SetEnabled(false);
    }
    SetMousePointer(ui::MousePointer::Default);
}

void frmRegistry::LoadList(ui::ListBox& list, std::vector<RegistryData>& table) {
    const std::vector<RegistryEntry> values =
        runKey_ ? runKey_->Values() : std::vector<RegistryEntry>();
    // Values added since the count was read still get a slot, and the spare slot stays.
    if (values.size() + 1 > table.size()) {
        table.resize(values.size() + 1);
    }
    for (std::size_t i = 0; i < values.size(); ++i) {
        list.AddItem(values[i].name);
        table[i] = values[i].data;
    }
}

void frmRegistry::lstbxLocal_Click() {
    ShowSelectedEntry(lstbxLocal, localMachineValues_, txtLocalValue, kHkeyLocalMachine);
}

void frmRegistry::lstbxCurrent_Click() {
    ShowSelectedEntry(lstbxCurrent, currentUserValues_, txtCurrentValue, kHkeyCurrentUser);
}

void frmRegistry::ShowSelectedEntry(ui::ListBox& list, const std::vector<RegistryData>& table,
                                    ui::TextBox& text, RegistryRoot root) {
    if (ports_.flags.ignoreNextListClick) {
        ports_.flags.ignoreNextListClick = false;
        return;
    }
    const int index = list.ListIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= table.size()) {
        return;
    }
    const std::optional<std::string> shown = table[static_cast<std::size_t>(index)].AsText();
    if (!shown) {
        return;
    }
    text.SetText(*shown);
    // The marker says the entry is gone from the registry, whatever its type or text.
    try {
        const auto key = entries_.registryDatabase.Get().OpenKey(root, kRunKeyPathBare);
        if (!key || !key->ValueExists(list.List(index))) {
            text.SetText(*shown + std::string(kDeletedMarker));
        }
    } catch (const RegistryLibraryError&) {
        // A failed check shows the data without a verdict.
    }
}

void frmRegistry::cmdRefresh_Click() {
    ports_.flags.ignoreNextListClick = true;
    view_.Refresh();
    if (lstbxLocal.ListCount() > 0) {
        lstbxLocal.SetListIndex(0);
    }
    if (lstbxCurrent.ListCount() > 0) {
        lstbxCurrent.SetListIndex(0);
    }
    lstbxLocal.SetListIndex(-1);
    lstbxCurrent.SetListIndex(-1);
    // With nothing selected and both lists empty no selection changed, and the flag would swallow
    // the user's next click.
    ports_.flags.ignoreNextListClick = false;
}

std::string frmRegistry::Ask(std::string_view prompt, std::string_view title,
                             std::string_view defaultText) {
    return runtime_.Modal(
        [&] { return entries_.inputBox.Show(prompt, title, defaultText, view_.Handle()); });
}

bool frmRegistry::WriteEntry(RegistryRoot root, const std::string& name, const std::string& data) {
    try {
        const auto key = entries_.registryDatabase.Get().CreateKey(root, kRunKeyPathBare);
        if (key) {
            key->WriteString(name, data);
            return true;
        }
    } catch (const RegistryLibraryError&) {
    }
    ShowRegistryError(ports_.messageBox);
    return false;
}

void frmRegistry::cmdAddEntry_Click() {
    ProgressBar1.SetValue(0);
    if (ports_.messageBox.Show(kContinueText, mb::kYesNo | mb::kIconExclamation, kContinueTitle) !=
        answer::kYes) {
        return;
    }
    const std::string name = Ask(kNamePrompt, kNameTitle, kNameDefault);
    std::string residency = Ask(kResidencyPrompt, kResidencyTitle, kLocal);
    if (residency != kUser) {
        residency = kLocal;
    }
    const auto accepted = [](const std::string& path) {
        return !path.empty() && path != kPathDefault;
    };
    std::string path = Ask(kPathPrompt, kPathTitle, kPathDefault);
    if (!accepted(path)) {
        if (ports_.messageBox.Show(kSyntaxText, mb::kYesNo | mb::kIconStop, kSyntaxTitle) !=
            answer::kYes) {
            return;
        }
        path = Ask(kPathPrompt, kPathTitle, kPathDefault);
        if (!accepted(path)) {
            return;
        }
    }
    ProgressBar1.SetValue(ProgressBar1.Max() / 2);
    const std::string confirmation = "Is This Information Correct?\r\nEntry Name: " + name +
                                     "\r\nValue: " + path + "\r\nResident At: " + residency;
    if (ports_.messageBox.Show(confirmation, mb::kYesNo | mb::kIconQuestion, kCorrectTitle) !=
        answer::kYes) {
        ports_.messageBox.Show(kAbortedText, mb::kOk | mb::kIconInformation, kAbortedTitle);
        return;
    }
    const bool user = residency == kUser;
    if (!WriteEntry(user ? kHkeyCurrentUser : kHkeyLocalMachine, name, path)) {
        return;
    }
    (user ? lstbxCurrent : lstbxLocal).AddItem(name);
    ProgressBar1.SetValue(ProgressBar1.Max());
    ports_.messageBox.Show(kCompleteText, mb::kOk | mb::kIconInformation, kCompleteTitle);
    ports_.messageBox.Show(kNoInformationText, mb::kOk | mb::kIconInformation, kNoInformationTitle);
}

void frmRegistry::AddBackupEntry(RegistryRoot root, const std::string& name, int index,
                                 const std::vector<RegistryData>& table, std::size_t loaded,
                                 std::vector<BackupEntry>& backup) {
    const auto slot = static_cast<std::size_t>(index);
    if (slot < loaded && slot < table.size()) {
        backup.push_back({root, name, table[slot]});
        return;
    }
    // A name added since the load has no loaded data: back up what the registry holds now.
    const auto key = entries_.registryDatabase.Get().OpenKey(root, kRunKeyPathBare);
    std::optional<RegistryData> data = key ? key->ReadValue(name) : std::nullopt;
    if (data) {
        backup.push_back({root, name, std::move(*data)});
    }
}

bool frmRegistry::CollectBackup(const std::string& localName, int localIndex,
                                const std::string& currentName, int currentIndex,
                                std::vector<BackupEntry>& backup) {
    try {
        if (!localName.empty() && localIndex >= 0) {
            AddBackupEntry(kHkeyLocalMachine, localName, localIndex, localMachineValues_,
                           localMachineLoaded_, backup);
        }
        if (!currentName.empty() && currentIndex >= 0) {
            AddBackupEntry(kHkeyCurrentUser, currentName, currentIndex, currentUserValues_,
                           currentUserLoaded_, backup);
        }
        return true;
    } catch (const RegistryLibraryError&) {
        return false;
    }
}

void frmRegistry::DeleteEntry(RegistryRoot root, const std::string& name) {
    try {
        const auto key = entries_.registryDatabase.Get().OpenKey(root, kRunKeyPath);
        if (key) {
            key->DeleteValue(name);
        }
    } catch (const RegistryLibraryError& error) {
        // Already gone is what was asked for; anything else left the entry in place.
        if (error.HResult() != kNotFoundResult) {
            ShowRegistryError(ports_.messageBox);
        }
    }
}

void frmRegistry::cmdDeleteEntry_Click() {
    const int localIndex = lstbxLocal.ListIndex();
    const int currentIndex = lstbxCurrent.ListIndex();
    const std::string localName = lstbxLocal.List(localIndex);
    const std::string currentName = lstbxCurrent.List(currentIndex);
    if (localName.empty() && currentName.empty()) {
        ports_.messageBox.Show(kNothingText, mb::kOk | mb::kIconExclamation, kNothingTitle);
        return;
    }
    if (ports_.messageBox.Show(kDeleteText, mb::kYesNo | mb::kIconExclamation, kDeleteTitle) !=
        answer::kYes) {
        return;
    }
    if (ports_.messageBox.Show(kBackupText, mb::kYesNo | mb::kIconQuestion, kBackupTitle) ==
        answer::kYes) {
        std::vector<BackupEntry> backup;
        const bool written =
            CollectBackup(localName, localIndex, currentName, currentIndex, backup) &&
            WriteRegistryBackup(entries_.files, entries_.backupLocation, backup) ==
                BackupResult::Written;
        if (!written) {
            ports_.messageBox.Show(kBackupFailedText, mb::kOk | mb::kIconStop, kBackupFailedTitle);
            return;
        }
        ports_.messageBox.Show(kBackupDoneText, mb::kOk | mb::kIconInformation, kBackupDoneTitle);
    }
    ports_.messageBox.Show(kCommencingText, mb::kOk | mb::kIconExclamation, kCommencingTitle);
    if (!localName.empty()) {
        DeleteEntry(kHkeyLocalMachine, localName);
    } else {
        DeleteEntry(kHkeyCurrentUser, currentName);
    }
    ports_.flags.ignoreNextListClick = true;
    view_.Refresh();
}

void frmRegistry::cmdExit_Click() {
    Unload();
}

void frmRegistry::MyTimer_Timer() {
    Show();
    ProgressBar1.SetValue(ProgressBar1.Value() + 1);
}

} // namespace tidewell
