#include "run/WindowExists.h"

namespace tidewell {

bool WindowExists(ProgramsPort& programs, std::string_view title,
                  const std::optional<TaskId>& task) {
    try {
        if (title.empty() || task) {
            return task && programs.ActivateTask(*task);
        }
        return programs.ActivateWindow(title);
    } catch (const std::exception&) {
        return false;
    }
}

bool SendKeys(ProgramsPort& programs, std::string_view keys) {
    std::vector<KeyInput> inputs;
    try {
        inputs = ParseSendKeys(keys);
    } catch (const SendKeysError&) {
        return false;
    }
    return programs.SendKeys(inputs);
}

} // namespace tidewell
