#pragma once

#include "run/ProgramsPort.h"

#include <optional>
#include <string_view>

namespace tidewell {

// Activates the task's window (when the title is empty or a task is given), otherwise the window
// with that title; true when that worked. Never raises: a missing window is simply false. The run
// passes an empty title and the task it started, so this tells whether the program still shows
// a window.
bool WindowExists(ProgramsPort& programs, std::string_view title,
                  const std::optional<TaskId>& task);

// Parses the notation and queues the keys; false when the notation is bad (nothing is sent) or
// the platform refused the keys.
bool SendKeys(ProgramsPort& programs, std::string_view keys);

} // namespace tidewell
