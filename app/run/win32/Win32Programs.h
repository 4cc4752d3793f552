#pragma once

#include "run/ProgramsPort.h"
#include "win32common/Handles.h"

#include <map>

namespace tidewell::win32 {

// Programs started with CreateProcess and followed through their top-level windows.
class Win32Programs final : public ProgramsPort {
public:
    std::optional<TaskId> Start(std::string_view commandLine, WindowStyle style) override;
    bool ActivateTask(TaskId task) override;
    bool ActivateWindow(std::string_view title) override;
    bool SendKeys(const std::vector<KeyInput>& keys) override;

private:
    // The handle of every task started here and still running, so its id cannot be reused by
    // another process while the run asks after it.
    std::map<std::uint32_t, win32common::UniqueKernelHandle> running_;
};

} // namespace tidewell::win32
