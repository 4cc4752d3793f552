#pragma once

#include "run/SendKeys.h"

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

namespace tidewell {

// How a started program shows its first window.
enum class WindowStyle {
    Hidden,         // SW_HIDE
    NormalFocus,    // SW_SHOWNORMAL
    MaximizedFocus, // SW_SHOWMAXIMIZED
    NormalNoFocus,  // SW_SHOWNOACTIVATE
};

// What the platform returns for a started program (the process id).
struct TaskId {
    std::uint32_t value = 0;
    friend bool operator==(const TaskId&, const TaskId&) = default;
};

// Starting the system's utilities and following them from outside.
class ProgramsPort {
public:
    virtual ~ProgramsPort() = default;
    // A command line: the program's path, optionally followed by arguments. Empty when the
    // program cannot be found or started (the launch failure).
    virtual std::optional<TaskId> Start(std::string_view commandLine, WindowStyle style) = 0;
    // Brings the task's top-level window to the front with the focus (a hidden one stays hidden).
    // False when the task shows no window any more.
    virtual bool ActivateTask(TaskId task) = 0;
    // The same for the top-level window with exactly this title.
    virtual bool ActivateWindow(std::string_view title) = 0;
    // Queues the keys for the active window and returns without waiting for them to be handled;
    // false when the platform refused them.
    virtual bool SendKeys(const std::vector<KeyInput>& keys) = 0;
};

} // namespace tidewell
