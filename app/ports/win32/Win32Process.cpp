#include "ports/win32/Win32Process.h"

#include "win32common/Text.h"

#include <windows.h>

namespace tidewell::win32 {

std::wstring ArgumentsAfterProgramName(std::wstring_view commandLine) {
    size_t at = 0;
    while (at < commandLine.size() && (commandLine[at] == L' ' || commandLine[at] == L'\t')) {
        ++at;
    }
    // The program name ends at the closing quote, or at the first blank when it is not quoted.
    if (at < commandLine.size() && commandLine[at] == L'"') {
        const size_t close = commandLine.find(L'"', at + 1);
        at = close == std::wstring_view::npos ? commandLine.size() : close + 1;
    } else {
        while (at < commandLine.size() && commandLine[at] != L' ' && commandLine[at] != L'\t') {
            ++at;
        }
    }
    while (at < commandLine.size() && (commandLine[at] == L' ' || commandLine[at] == L'\t')) {
        ++at;
    }
    return std::wstring(commandLine.substr(at));
}

std::wstring ExecutablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

std::string Win32Process::CommandLine() const {
    return win32common::WideToUtf8(ArgumentsAfterProgramName(GetCommandLineW()));
}

std::string Win32Process::ExecutableName() const {
    std::wstring path = ExecutablePath();
    const size_t slash = path.find_last_of(L"\\/");
    std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
    const size_t dot = name.find_last_of(L'.');
    if (dot != std::wstring::npos) {
        name.resize(dot);
    }
    return win32common::WideToUtf8(name);
}

std::string Win32Process::ExecutableFolder() const {
    std::wstring path = ExecutablePath();
    const size_t slash = path.find_last_of(L"\\/");
    return win32common::WideToUtf8(slash == std::wstring::npos ? std::wstring{}
                                                               : path.substr(0, slash));
}

void Win32Process::EndProcess() {
    ExitProcess(0);
}

} // namespace tidewell::win32
