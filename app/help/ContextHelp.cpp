#include "help/ContextHelp.h"

#include "ports/MessageBox.h"
#include "ports/Process.h"

#include <utility>

namespace tidewell::help {

namespace {

constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kWhite = 0xFFFFFF;

// Puts the normal pointer back however the click ends.
class HourglassScope {
public:
    explicit HourglassScope(const ContextHelp::SetHourglass& set) : set_(set) {
        if (set_) {
            set_(true);
        }
    }
    HourglassScope(const HourglassScope&) = delete;
    HourglassScope& operator=(const HourglassScope&) = delete;
    ~HourglassScope() {
        if (set_) {
            set_(false);
        }
    }

private:
    const ContextHelp::SetHourglass& set_;
};

} // namespace

ContextHelp::ContextHelp(AppHelp& appHelp, MessageBoxPort& messageBox, SetHourglass setHourglass)
    : appHelp_(appHelp), messageBox_(messageBox), setHourglass_(std::move(setHourglass)) {}

std::optional<std::int32_t> ContextHelp::TopicOf(std::string_view controlName) {
    for (const Topic& topic : kTopics) {
        if (topic.control == controlName) {
            return topic.number;
        }
    }
    return std::nullopt;
}

std::string ContextHelp::HelpFileName() const {
    std::string folder = appHelp_.Ports().process.ExecutableFolder();
    if (!folder.empty() && folder.back() == '\\') {
        folder.pop_back();
    }
    return folder + "\\" + std::string(HTMLHelpAPI::kHelpFileName);
}

bool ContextHelp::HelpFileExists() const {
    return appHelp_.Ports().system.FindFile(HelpFileName()).has_value();
}

void ContextHelp::OnMouseMove(std::string_view controlName, int shift, WindowHandle mainWindow) {
    if (shift != kShiftOnly) {
        return;
    }
    const auto topic = TopicOf(controlName);
    if (!topic || !HelpFileExists()) {
        return;
    }
    HTMLHelpAPI& help = appHelp_.Get();
    help.SetCHMFile(HelpFileName());
    help.SetHHPopupType(1);
    help.SetCHMFile(help.HHSetHelpFile(1));
    help.SetHHPopupFile(help.HHSetHelpFile(2));
    help.SetHHPopupID(*topic);
    help.SetHHPopupCustomColors(false);
    help.SetHHPopupBackColor(kWhite);
    help.SetHHPopupTextColor(kBlack);
    help.SetHHPopupTextFont("Comic Sans MS");
    help.SetHHPopupTextSize("8");
    help.HHDisplayPopup(mainWindow);
}

void ContextHelp::cmdHelp_Click() {
    HourglassScope hourglass(setHourglass_);
    if (!HelpFileExists()) {
        messageBox_.Show(kMissingText, mb::kOk | mb::kIconStop, kMissingTitle);
        return;
    }
    HTMLHelpAPI& help = appHelp_.Get();
    help.SetCHMFile(HelpFileName());
    help.HHDisplayContents(0);
}

} // namespace tidewell::help
