#include "main/frmMaintenance.h"

#include "Version.h"
#include "controls/LibraryHelperControl.h"
#include "controls/TrayIconControl.h"
#include "settings/RunFlags.h"
#include "main/WindowTitle.h"
#include "ports/DesktopWindows.h"
#include "ports/MessageBox.h"
#include "ports/Process.h"
#include "ports/SharedObjects.h"
#include "ports/WindowView.h"
#include "reminder/frmRemind.h"
#include "ui/Form.h"
#include "ui/Runtime.h"

namespace tidewell {

namespace {
constexpr std::int16_t kCloseItemPosition = 6;
constexpr std::string_view kCloseItemText = "&Close";

constexpr std::string_view kCautionTitle = "CAUTION!";
constexpr std::string_view kRunEntriesFirstLine =
    "Please Exercise CAUTION When Using This Option Of Tidewell!™";
constexpr std::string_view kRunEntriesRest =
    "\r\nIt Can Render Your System Inoperable If You Delete Necessary Components!\r\n\r\n"
    "                                  Do You Want To Continue?";

constexpr std::string_view kTrayStartTitle = "Maintenance Starting. . .";
constexpr std::string_view kTrayStartText =
    "This Will Start Maintenance!\r\nAre You Sure You Want To Initiate?\r\nIf You're Trying "
    "To Show The Program,\r\nPlease [Right-Click] The Icon!";

constexpr std::string_view kTasksRunningText =
    "There are tasks running!  Are You Sure You Want To Quit?";
constexpr std::string_view kCloseTitle = "Close Tidewell?";
constexpr std::string_view kCloseText = "Are You Sure You Want To Close The Program?";
constexpr std::string_view kStopAllTitle = "ARE YOU SURE?";
constexpr std::string_view kStopAllText =
    "This Will Stop All Maintenance Tasks And Close The Program.\r\n\r\n"
    "           Are You Sure This Is What You Want To Do?";
} // namespace

frmMaintenance::frmMaintenance(const AppPorts& ports, WindowView& view)
    : FormCore(view, ports.runtime), optSpace("optSpace", "Free &Disk Space",
                                              "Free disk space on this PC.", {240, 120, 3720, 300}),
      optPerformance("optPerformance", "Optimize &Performance", "Optimize performance on this PC.",
                     {4320, 120, 3720, 300}),
      Frame2("Frame2", "Fix Problems", {120, 480, 3960, 2400}),
      chkCleanup("chkCleanup", "Disk &Cleanup", "Run disk cleanup.", {240, 780, 3720, 300}),
      chkCacheHistory("chkCacheHistory", "&Force IE To Delete Cache And History",
                      "Opens Internet Options Control Panel to delete cache and history manually.",
                      {240, 1140, 3720, 300}),
      chkAllSpeedOptions("chkAllSpeedOptions", "&Optimize Performance",
                         "Include all Speed Options as well in this session.",
                         {240, 1500, 3720, 300}),
      chkTEMP("chkTEMP", "Delete &TEMP Contents",
              "Check here to delete contents of 'c:\\windows\\temp'.", {240, 1860, 3720, 300}),
      Frame1("Frame1", "Speed It All Up", {4200, 480, 4080, 2400}),
      chkScandisk(
          "chkScandisk", "&Scandisk For Errors",
          "Scan your hard disk for errors.  (This must be checked to run a defragment session)",
          {4320, 780, 3840, 300}),
      chkDefrag("chkDefrag", "Defragment &Hard Drive",
                "Speed up access to the hard drive by the programs you use most often(You must "
                "Scan The Hard Disk For Errors First).",
                {4320, 1140, 3840, 300}),
      chkCurrentUser("chkCurrentUser", "Show Current &User Run Entries",
                     "Shows Program That Run When You Log In, and Allows You To Edit Them. "
                     "[ADVANCED USERS ONLY!]",
                     {4320, 1500, 3840, 300}),
      chkLocalMachine("chkLocalMachine", "Show &Local Run Entries",
                      "Shows Programs That Run When Your Computer Starts Up, and Allows You To "
                      "Edit Them. [ADVANCED USERS ONLY!]",
                      {4320, 1860, 3840, 300}),
      chkAllSpaceOptions("chkAllSpaceOptions", "Fi&x Problems",
                         "Include all Space Options as well in this session.",
                         {4320, 2220, 3840, 300}),
      chkOrphanEntries("chkOrphanEntries", "&Remove Orphan Entries",
                       "Removes registry entries that are no longer needed by windows.  Allows "
                       "You To Select What Entries Are Deleted. [ADVANCED AND INTERMEDIATE USERS "
                       "ONLY!]",
                       {4320, 2520, 3840, 300}),
      chkOnTop("chkOnTop", "&Keep On Top", "Check Here To Keep Program Window On Top.",
               {240, 3420, 2400, 300}, 1),
      chkStartWithWindows("chkStartWithWindows", "Start Whe&n Windows Starts",
                          "Check Here To Make Tidewell!™ Start Up With Windows",
                          {2760, 3420, 2880, 300}, 0),
      chkStartInTray("chkStartInTray", "St&art In System Tray",
                     "Keep Checked To Keep Program In System Tray Upon Start.",
                     {5760, 3420, 2520, 300}, 1),
      Label1("Label1", "Progress of Process:", {240, 3900, 1800, 255}),
      ProgressBar1("ProgressBar1", {2160, 3840, 6120, 300}),
      cmdStart("cmdStart", "Start &With Selected Options", "Click Here To Start Maintenance Tasks.",
               {120, 4320, 2520, 420}),
      cmdReminder("cmdReminder", "Set Re&minder",
                  "Allows You To Set When Tidewell!™ Reminds You To Run Maintenance. (DEFAULT IS "
                  "NO REMINDER!).",
                  {2760, 4320, 1560, 420}),
      cmdMin2Tray("cmdMin2Tray", "Minimi&ze To System Tray", "Send Tidewell!™ to the System Tray.",
                  {4440, 4320, 2040, 420}),
      cmdHelp("cmdHelp", "Help", "Click Here For Help With Tidewell!™", {6600, 4320, 720, 420}),
      cmdExit("cmdExit", "&Exit", "Exits Tidewell!™", {7440, 4320, 840, 420}),
      StatusBar1("StatusBar1", "Look Here For Information.", std::string(kReadyText),
                 {0, 4860, kClientWidth, kClientHeight - 4860}),
      MyTimer("MyTimer", 1000), ports_(ports), sysTray_(view.Tray()), settings_(ports.registry),
      caption_(kDesignCaption), contextHelp_(ports.help, ports.messageBox, [this](bool hourglass) {
          SetMousePointer(hourglass ? ui::MousePointer::Hourglass : ui::MousePointer::Default);
      }) {
    // Design state.
    chkDefrag.SetEnabled(false);
    ui::OptionButton::MakeGroup({&optSpace, &optPerformance});
    optSpace.OnClick([this] { optSpace_Click(); });
    optPerformance.OnClick([this] { optPerformance_Click(); });
    chkScandisk.OnClick([this] { chkScandisk_Click(); });
    chkCurrentUser.OnClick([this] { chkCurrentUser_Click(); });
    chkLocalMachine.OnClick([this] { chkLocalMachine_Click(); });
    chkOnTop.OnClick([this] { chkOnTop_Click(); });
    chkStartWithWindows.OnClick([this] { chkStartWithWindows_Click(); });
    cmdStart.OnClick([this] { cmdStart_Click(); });
    cmdReminder.OnClick([this] { cmdReminder_Click(); });
    cmdMin2Tray.OnClick([this] { cmdMin2Tray_Click(); });
    cmdExit.OnClick([this] { cmdExit_Click(); });
    cmdHelp.OnClick([this] { cmdHelp_Click(); });
    // SHIFT over a control with a help topic shows its popup.
    for (ui::Control* control : frmMaintenance::Controls()) {
        if (help::ContextHelp::TopicOf(control->Name())) {
            control->OnMouseMove([this, control](int /*button*/, int shift, int, int) {
                contextHelp_.OnMouseMove(control->Name(), shift, view_.Handle());
            });
        }
    }

    // Creation.
    optSpace.SetValue(false);
    optPerformance.SetValue(false);
    ProgressBar1.SetValue(ProgressBar1.Max());
}

std::vector<ui::Control*> frmMaintenance::Controls() {
    return {&optSpace,
            &optPerformance,
            &Frame2,
            &chkCleanup,
            &chkCacheHistory,
            &chkAllSpeedOptions,
            &chkTEMP,
            &Frame1,
            &chkScandisk,
            &chkDefrag,
            &chkCurrentUser,
            &chkLocalMachine,
            &chkAllSpaceOptions,
            &chkOrphanEntries,
            &chkOnTop,
            &chkStartWithWindows,
            &chkStartInTray,
            &Label1,
            &ProgressBar1,
            &cmdStart,
            &cmdReminder,
            &cmdMin2Tray,
            &cmdHelp,
            &cmdExit,
            &StatusBar1,
            &MyTimer};
}

void frmMaintenance::Form_Load() {
    caption_ = MainWindowTitle(kDesignCaption, TIDEWELL_VERSION_MAJOR, TIDEWELL_VERSION_MINOR,
                               TIDEWELL_VERSION_PATCH);
    view_.SetCaption(caption_);

    ports_.windows.DisableCloseCommand(view_.Handle(), kCloseItemPosition, kCloseItemText);

    MyTimer.SetEnabled(false);

    for (ui::CheckBox* box : {&chkScandisk, &chkCurrentUser, &chkLocalMachine, &chkAllSpaceOptions,
                              &chkCleanup, &chkCacheHistory, &chkAllSpeedOptions}) {
        box->SetEnabled(true);
    }
    chkDefrag.SetEnabled(false);

    // Each of these runs the box's click behaviour when it changes the built state.
    chkStartInTray.SetValue(settings_.StartInTray() ? 1 : 0);
    chkOnTop.SetValue(settings_.KeepOnTop() ? 1 : 0);
    chkStartWithWindows.SetValue(Settings::IsStartupEntryOn(settings_.StartupEntry()) ? 1 : 0);

    chkOrphanEntries.SetVisible(false);
    chkTEMP.Move(2080, 3000);
}

void frmMaintenance::optSpace_Click() {
    // Enabling or disabling never changes a check.
    for (ui::CheckBox* box :
         {&chkScandisk, &chkCurrentUser, &chkLocalMachine, &chkDefrag, &chkAllSpaceOptions}) {
        box->SetEnabled(false);
    }
    for (ui::CheckBox* box : {&chkCleanup, &chkCacheHistory, &chkAllSpeedOptions, &chkTEMP}) {
        box->SetEnabled(true);
    }
}

void frmMaintenance::optPerformance_Click() {
    for (ui::CheckBox* box : {&chkCleanup, &chkCacheHistory, &chkAllSpeedOptions, &chkTEMP}) {
        box->SetEnabled(false);
    }
    for (ui::CheckBox* box : {&chkScandisk, &chkCurrentUser, &chkLocalMachine}) {
        box->SetEnabled(true);
    }
    chkDefrag.SetEnabled(false);
    chkAllSpaceOptions.SetEnabled(true);
    if (chkScandisk.Checked()) {
        chkDefrag.SetEnabled(true);
    }
}

void frmMaintenance::chkScandisk_Click() {
    // Defragmentation can only be chosen together with ScanDisk.
    if (chkScandisk.Checked()) {
        chkDefrag.SetEnabled(true);
    } else {
        chkDefrag.SetValue(0);
        chkDefrag.SetEnabled(false);
    }
}

void frmMaintenance::CautionRunEntries(ui::CheckBox& box, std::string_view firstLine) {
    if (!box.Checked()) {
        return;
    }
    const std::string text = std::string(firstLine) + std::string(kRunEntriesRest);
    if (ports_.messageBox.Show(text, mb::kYesNo | mb::kIconExclamation, kCautionTitle) ==
        answer::kNo) {
        box.SetValue(0); // runs this behaviour once more, which asks nothing when unchecked
    }
}

void frmMaintenance::chkCurrentUser_Click() {
    CautionRunEntries(chkCurrentUser, kRunEntriesFirstLine);
}

void frmMaintenance::chkLocalMachine_Click() {
    CautionRunEntries(chkLocalMachine, std::string(kRunEntriesFirstLine) + " ");
}

void frmMaintenance::chkOnTop_Click() {
    const bool checked = chkOnTop.Checked();
    ports_.library.SetTopmostWindow(checked ? view_.Handle() : 0);
    settings_.WriteKeepOnTop(checked); // not examined: a failed write leaves the old value
}

void frmMaintenance::chkStartWithWindows_Click() {
    // The write's result is not examined.
    settings_.WriteStartupEntry(Settings::StartupEntryText(ports_.process.ExecutableFolder(),
                                                           ports_.process.ExecutableName(),
                                                           chkStartWithWindows.Checked()));
}

} // namespace tidewell

namespace tidewell {

void frmMaintenance::cmdStart_Click() {
    if (onStart_) {
        onStart_();
    }
}

void frmMaintenance::cmdReminder_Click() {
    const bool wasOnTop = chkOnTop.Checked();
    if (wasOnTop) {
        chkOnTop.SetValue(0);
    }
    StatusBar1.SetPanelText(std::string(kSettingRemindersText));
    {
        ui::Form<frmRemind> remind(ports_.formsPort, ports_);
        remind->Form_Load();
        remind->ShowModal();
    }
    StatusBar1.SetPanelText(std::string(kReadyText));
    // The box shows the entry's real state (a date switched it on), so that a user who chose
    // "NONE" sees that the program still starts with Windows and can untick it.
    chkStartWithWindows.SetValue(Settings::IsStartupEntryOn(settings_.StartupEntry()) ? 1 : 0);
    if (wasOnTop && !chkOnTop.Checked()) {
        chkOnTop.SetValue(1);
    }
}

void frmMaintenance::cmdMin2Tray_Click() {
    view_.Minimize();
    view_.Hide();
    sysTray_.SetIconNumber(kTrayIconIdle);
    sysTray_.SetShowIcon(true);
    sysTray_.SetTipText(kTrayTip);
}

void frmMaintenance::SysTray_TrayClick(std::int16_t button) {
    if (!Loaded()) {
        return;
    }
    // While Start is disabled (during and after a run) the left click cannot start anything: it
    // only brings the window back, like the right click.
    if (button == kTrayRightButton || (button == kTrayLeftButton && !cmdStart.Enabled())) {
        view_.Show();
        view_.Activate();
        sysTray_.SetShowIcon(false);
        view_.ShowNormal();
        return;
    }
    // Inside a modal box or form a whole run must not start: its nested loop would run it.
    if (button != kTrayLeftButton || ports_.flags.maintenanceRunning || runtime_.InModal()) {
        return;
    }
    if (ports_.messageBox.Show(kTrayStartText,
                               mb::kYesNo | mb::kIconExclamation | mb::kSetForeground,
                               kTrayStartTitle) == answer::kYes) {
        cmdStart.Click();
    }
}

void frmMaintenance::cmdExit_Click() {
    settings_.WriteStartInTray(chkStartInTray.Checked()); // not examined
    if (ports_.flags.maintenanceRunning &&
        ports_.messageBox.Show(kTasksRunningText, mb::kYesNo | mb::kIconExclamation,
                               kCautionTitle) == answer::kNo) {
        return;
    }
    Unload(ui::UnloadMode::Code);
}

void frmMaintenance::cmdHelp_Click() {
    contextHelp_.cmdHelp_Click();
}

bool frmMaintenance::Form_QueryUnload(ui::UnloadMode /*mode*/) {
    const int choice =
        ports_.flags.maintenanceRunning
            ? ports_.messageBox.Show(kStopAllText, mb::kYesNo | mb::kIconExclamation, kStopAllTitle)
            : ports_.messageBox.Show(kCloseText, mb::kYesNo | mb::kIconQuestion, kCloseTitle);
    if (choice != answer::kYes) {
        return false;
    }
    // The help viewer and the help object go with the window, and so do the other shared objects
    // (the editor's registry objects).
    ports_.help.CloseAndRelease();
    ports_.shared.ReleaseAll();
    return true;
}

} // namespace tidewell
