#include "startup_entries/frmRegistry.h"

#include "settings/RegistryErrorMessage.h"
#include "settings/RunFlags.h"
#include "ports/MessageBox.h"
#include "startup_entries/EditorTexts.h"
#include "ui/Runtime.h"

#include <algorithm>
#include <cctype>
#include <optional>

namespace tidewell {

using namespace editor_text;

namespace {

// Value names compare as the registry compares them (ASCII letters without case).
bool SameName(std::string_view a, std::string_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](char x, char y) {
        return std::tolower(static_cast<unsigned char>(x)) ==
               std::tolower(static_cast<unsigned char>(y));
    });
}

} // namespace

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
      chkLocalMachine_(chkLocalMachine),
      current_{lstbxCurrent, txtCurrentValue, kHkeyCurrentUser, {}}, local_{lstbxLocal,
                                                                            txtLocalValue,
                                                                            kHkeyLocalMachine,
                                                                            {}} {
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
    // The key is for a utility's leftover dialog; queued while a window of ours is active it
    // would answer the caution question below unseen.
    if (entries_.sendKeys && entries_.anotherProgramActive && entries_.anotherProgramActive()) {
        entries_.sendKeys("{ENTER}");
    }
    OpenList(current_);

    if (ports_.messageBox.Show(kCautionText, mb::kYesNo | mb::kIconExclamation, kCautionTitle) !=
        answer::kYes) {
        declined_ = true;
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

    LoadList(current_);
    OpenList(local_);
    LoadList(local_);

    StatusBar1.SetPanelText(std::string(kViewingText));
    if (!currentUserChecked) {
        lstbxCurrent.SetEnabled(false);
    }
    if (!localMachineChecked) {
        lstbxLocal.SetEnabled(false);
    }
    SetMousePointer(ui::MousePointer::Default);
}

void frmRegistry::OpenList(RunKeyList& list) {
    // The current user's Run key is often missing: that is an empty list, not an error.
    runKey_ = entries_.registryDatabase.Get().OpenKey(list.root, kRunKeyPath);
    list.values.assign(
        static_cast<std::size_t>(std::max(runKey_ ? runKey_->ValueCount() : 0, 0)) + 1, {});
}

void frmRegistry::LoadList(RunKeyList& list) {
    std::vector<RegistryEntry> values = runKey_ ? runKey_->Values() : std::vector<RegistryEntry>();
    // Values added since the count was read still get a slot, and the spare slot stays.
    if (values.size() + 1 > list.values.size()) {
        list.values.resize(values.size() + 1);
    }
    std::vector<std::string> names;
    names.reserve(values.size());
    for (std::size_t i = 0; i < values.size(); ++i) {
        names.push_back(std::move(values[i].name));
        list.values[i] = std::move(values[i].data);
    }
    list.list.AddItems(std::move(names));
    list.loaded = static_cast<std::size_t>(list.list.ListCount());
}

void frmRegistry::lstbxLocal_Click() {
    ShowSelectedEntry(local_);
}

void frmRegistry::lstbxCurrent_Click() {
    ShowSelectedEntry(current_);
}

void frmRegistry::ShowSelectedEntry(RunKeyList& list) {
    if (ignoreNextListClick) {
        ignoreNextListClick = false;
        return;
    }
    const int index = list.list.ListIndex();
    if (index < 0 || static_cast<std::size_t>(index) >= list.values.size()) {
        return;
    }
    const std::string shown = list.values[static_cast<std::size_t>(index)].AsText();
    list.text.SetText(shown);
    // The marker says the entry is gone from the registry, whatever its type or text.
    try {
        const auto key = entries_.registryDatabase.Get().OpenKey(list.root, kRunKeyPathBare);
        if (!key || !key->ValueExists(list.list.List(index))) {
            list.text.SetText(shown + std::string(kDeletedMarker));
        }
    } catch (const RegistryLibraryError&) {
        // A failed check shows the data without a verdict.
    }
}

void frmRegistry::cmdRefresh_Click() {
    ignoreNextListClick = true;
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
    ignoreNextListClick = false;
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

bool frmRegistry::AskNewEntry(std::string& name, std::string& residency, std::string& path) {
    if (ports_.messageBox.Show(kContinueText, mb::kYesNo | mb::kIconExclamation, kContinueTitle) !=
        answer::kYes) {
        return false;
    }
    // Cancel gives "", which would name the key's default value.
    name = Ask(kNamePrompt, kNameTitle, kNameDefault);
    if (name.empty()) {
        return false;
    }
    residency = Ask(kResidencyPrompt, kResidencyTitle, kLocal);
    if (residency != kUser) {
        residency = kLocal;
    }
    const auto accepted = [](const std::string& text) {
        return !text.empty() && text != kPathDefault;
    };
    path = Ask(kPathPrompt, kPathTitle, kPathDefault);
    if (!accepted(path)) {
        if (ports_.messageBox.Show(kSyntaxText, mb::kYesNo | mb::kIconStop, kSyntaxTitle) !=
            answer::kYes) {
            return false;
        }
        path = Ask(kPathPrompt, kPathTitle, kPathDefault);
        if (!accepted(path)) {
            return false;
        }
    }
    return true;
}

bool frmRegistry::MayReplace(RegistryRoot root, const std::string& name) {
    std::optional<RegistryData> old;
    try {
        const auto key = entries_.registryDatabase.Get().OpenKey(root, kRunKeyPathBare);
        old = key ? key->ReadValue(name) : std::nullopt;
    } catch (const RegistryLibraryError&) {
        ShowRegistryError(ports_.messageBox);
        return false;
    }
    if (!old) {
        return true;
    }
    if (ports_.messageBox.Show(ReplaceText(name), mb::kYesNo | mb::kIconExclamation | kDefaultNo,
                               kReplaceTitle) != answer::kYes) {
        return false;
    }
    return Backup({BackupEntry{root, name, std::move(*old)}});
}

void frmRegistry::cmdAddEntry_Click() {
    ProgressBar1.SetValue(0);
    std::string name;
    std::string residency;
    std::string path;
    if (!AskNewEntry(name, residency, path)) {
        return;
    }
    ProgressBar1.SetValue(ProgressBar1.Max() / 2);
    const std::string confirmation = "Is This Information Correct?\r\nEntry Name: " + name +
                                     "\r\nValue: " + path + "\r\nResident At: " + residency;
    const bool user = residency == kUser;
    const RegistryRoot root = user ? kHkeyCurrentUser : kHkeyLocalMachine;
    if (ports_.messageBox.Show(confirmation, mb::kYesNo | mb::kIconQuestion, kCorrectTitle) !=
            answer::kYes ||
        !MayReplace(root, name)) {
        ports_.messageBox.Show(kAbortedText, mb::kOk | mb::kIconInformation, kAbortedTitle);
        return;
    }
    if (!WriteEntry(root, name, path)) {
        return;
    }
    ui::ListBox& list = user ? lstbxCurrent : lstbxLocal;
    const auto& items = list.Items();
    if (std::none_of(items.begin(), items.end(),
                     [&](const std::string& item) { return SameName(item, name); })) {
        list.AddItem(name);
    }
    ProgressBar1.SetValue(ProgressBar1.Max());
    ports_.messageBox.Show(kCompleteText, mb::kOk | mb::kIconInformation, kCompleteTitle);
    ports_.messageBox.Show(kNoInformationText, mb::kOk | mb::kIconInformation, kNoInformationTitle);
}

std::optional<BackupEntry> frmRegistry::SelectedBackup(RunKeyList& list) {
    const int index = list.list.ListIndex();
    const std::string name = list.list.List(index);
    if (index < 0) {
        return std::nullopt;
    }
    const auto slot = static_cast<std::size_t>(index);
    if (slot < list.loaded && slot < list.values.size()) {
        return BackupEntry{list.root, name, list.values[slot]};
    }
    // A name added since the load has no loaded data: back up what the registry holds now.
    const auto key = entries_.registryDatabase.Get().OpenKey(list.root, kRunKeyPathBare);
    std::optional<RegistryData> data = key ? key->ReadValue(name) : std::nullopt;
    if (!data) {
        return std::nullopt;
    }
    return BackupEntry{list.root, name, std::move(*data)};
}

bool frmRegistry::Backup(const std::vector<BackupEntry>& entries) {
    std::string refused;
    const BackupResult result =
        WriteRegistryBackup(entries_.files, entries_.backupLocation, entries, &refused);
    if (result == BackupResult::NotExportable) {
        ports_.messageBox.Show(NotBackedUpText(refused), mb::kOk | mb::kIconStop,
                               kBackupFailedTitle);
        return false;
    }
    if (result != BackupResult::Written) {
        ports_.messageBox.Show(kBackupFailedText, mb::kOk | mb::kIconStop, kBackupFailedTitle);
        return false;
    }
    return true;
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
    RunKeyList* const lists[] = {&local_, &current_};
    std::vector<RunKeyList*> selected;
    for (RunKeyList* list : lists) {
        if (!list->list.List(list->list.ListIndex()).empty()) {
            selected.push_back(list);
        }
    }
    if (selected.empty()) {
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
        try {
            for (RunKeyList* list : selected) {
                if (std::optional<BackupEntry> entry = SelectedBackup(*list)) {
                    backup.push_back(std::move(*entry));
                }
            }
        } catch (const RegistryLibraryError&) {
            ports_.messageBox.Show(kBackupFailedText, mb::kOk | mb::kIconStop, kBackupFailedTitle);
            return;
        }
        if (!Backup(backup)) {
            return;
        }
        ports_.messageBox.Show(kBackupDoneText, mb::kOk | mb::kIconInformation, kBackupDoneTitle);
    }
    ports_.messageBox.Show(kCommencingText, mb::kOk | mb::kIconExclamation, kCommencingTitle);
    for (RunKeyList* list : selected) {
        DeleteEntry(list->root, list->list.List(list->list.ListIndex()));
    }
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
