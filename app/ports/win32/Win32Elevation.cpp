#include "ports/win32/Win32Elevation.h"

#include "ports/win32/Win32Process.h"
#include "win32common/Handles.h"

#include <windows.h>

#include <shellapi.h>

#include <string>

namespace tidewell::win32 {

namespace {

std::wstring CurrentFolder() {
    std::wstring folder(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length = GetCurrentDirectoryW(static_cast<DWORD>(folder.size()), folder.data());
        if (length == 0) {
            return {};
        }
        if (length < folder.size()) {
            folder.resize(length);
            return folder;
        }
        folder.resize(length);
    }
}

} // namespace

bool Win32Elevation::IsElevated() const {
    win32common::UniqueKernelHandle token;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token)) {
        return true; // nothing to raise: go on and let a refused write report itself
    }
    TOKEN_ELEVATION elevation{};
    DWORD size = 0;
    if (!GetTokenInformation(token.get(), TokenElevation, &elevation, sizeof(elevation), &size)) {
        return true; // a system without the split (no User Account Control)
    }
    return elevation.TokenIsElevated != 0;
}

ElevatedStart Win32Elevation::StartElevated() {
    const std::wstring program = ExecutablePath();
    const std::wstring arguments = ArgumentsAfterProgramName(GetCommandLineW());
    const std::wstring folder = CurrentFolder();
    if (program.empty()) {
        return ElevatedStart::Failed;
    }
    SHELLEXECUTEINFOW info{};
    info.cbSize = sizeof(info);
    // The call returns only once the start is decided; the caller ends straight after it.
    info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = L"runas";
    info.lpFile = program.c_str();
    info.lpParameters = arguments.empty() ? nullptr : arguments.c_str();
    // An elevated process otherwise starts in the system folder.
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = SW_SHOWNORMAL;
    if (ShellExecuteExW(&info)) {
        return ElevatedStart::Started;
    }
    return GetLastError() == ERROR_CANCELLED ? ElevatedStart::Declined : ElevatedStart::Failed;
}

} // namespace tidewell::win32
