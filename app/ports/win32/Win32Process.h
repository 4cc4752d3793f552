#pragma once

#include "ports/Process.h"

#include <string>
#include <string_view>

namespace tidewell::win32 {

// The arguments of a command line after the program's own name (quoted or not), blanks before
// them removed.
std::wstring ArgumentsAfterProgramName(std::wstring_view commandLine);

class Win32Process final : public ProcessPort {
public:
    std::string CommandLine() const override;
    std::string ExecutableName() const override;
    std::string ExecutableFolder() const override;
    [[noreturn]] void EndProcess() override;
};

// The full path of this process's executable.
std::wstring ExecutablePath();

} // namespace tidewell::win32
