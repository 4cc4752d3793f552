#pragma once

#include "PrivateRegistryKey.h"
#include "UiAutomation.h"

#include <windows.h>

#include <chrono>
#include <optional>
#include <utility>
#include <string>
#include <vector>

namespace gui {

using namespace std::chrono_literals;

inline constexpr wchar_t kInstalledProgram[] =
    L"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe";
inline constexpr wchar_t kFormClass[] = L"TidewellForm";
inline constexpr char kSettingsKey[] = "SOFTWARE\\Vellmoor\\Tidewell!";
inline constexpr char kRunKey[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";

// One start of the installed program. Whatever happens, the process is ended when this goes: its
// windows are asked to close first (the close confirmation answered Yes), so the tray icon leaves
// with them.
class InstalledProgram {
public:
    explicit InstalledProgram(const std::wstring& arguments = L"") { Start(arguments); }
    // With Wine's debug channels set (WINEDEBUG); Wine writes them to the standard error of the
    // test itself (see `wine.sh traced`).
    InstalledProgram(const std::wstring& arguments, const std::wstring& wineDebug) {
        wchar_t previous[256] = {};
        const bool hadPrevious = GetEnvironmentVariableW(L"WINEDEBUG", previous, 256) != 0;
        SetEnvironmentVariableW(L"WINEDEBUG", wineDebug.c_str());
        Start(arguments);
        SetEnvironmentVariableW(L"WINEDEBUG", hadPrevious ? previous : nullptr);
    }
    // With these environment variables (name, value) set for the program, as with WINEDEBUG.
    InstalledProgram(const std::wstring& arguments,
                     const std::vector<std::pair<std::wstring, std::wstring>>& environment) {
        std::vector<std::optional<std::wstring>> previous;
        for (const auto& [name, value] : environment) {
            wchar_t old[1024] = {};
            const DWORD length = GetEnvironmentVariableW(name.c_str(), old, 1024);
            previous.push_back(length > 0 && length < 1024 ? std::optional<std::wstring>(old)
                                                           : std::nullopt);
            SetEnvironmentVariableW(name.c_str(), value.c_str());
        }
        Start(arguments);
        for (std::size_t i = 0; i < environment.size(); ++i) {
            SetEnvironmentVariableW(environment[i].first.c_str(),
                                    previous[i] ? previous[i]->c_str() : nullptr);
        }
    }
    InstalledProgram(const InstalledProgram&) = delete;
    InstalledProgram& operator=(const InstalledProgram&) = delete;
    ~InstalledProgram() {
        if (!started_) {
            return;
        }
        if (WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT) {
            for (const auto& window : uidriver::TopLevelWindows(info_.dwProcessId)) {
                if (window.className == kFormClass) {
                    PostMessageW(window.handle, WM_CLOSE, 0, 0);
                }
            }
            for (const wchar_t* title : {L"Close Tidewell?", L"ARE YOU SURE?"}) {
                if (const auto box = uidriver::WaitForMessageBox(title, 300ms, info_.dwProcessId)) {
                    uidriver::PressMessageBoxButton(*box, IDYES, 2000ms);
                }
            }
            if (WaitForSingleObject(info_.hProcess, 3000) == WAIT_TIMEOUT) {
                TerminateProcess(info_.hProcess, 99);
                WaitForSingleObject(info_.hProcess, 5000);
            }
        }
        CloseHandle(info_.hProcess);
    }

    bool Started() const { return started_; }
    DWORD Id() const { return info_.dwProcessId; }
    // The exit code once the process ended within the timeout.
    std::optional<DWORD> WaitForExit(std::chrono::milliseconds timeout) const {
        if (WaitForSingleObject(info_.hProcess, static_cast<DWORD>(timeout.count())) !=
            WAIT_OBJECT_0) {
            return std::nullopt;
        }
        DWORD code = 0;
        GetExitCodeProcess(info_.hProcess, &code);
        return code;
    }
    bool Running() const { return WaitForSingleObject(info_.hProcess, 0) == WAIT_TIMEOUT; }

    std::optional<HWND> WaitForForm(const std::wstring& caption, std::chrono::milliseconds timeout,
                                    bool visible = true) const {
        return uidriver::WaitForWindow(kFormClass, caption, timeout, Id(), visible);
    }
    std::optional<HWND> Form(const std::wstring& caption) const {
        return WaitForForm(caption, 0ms, false);
    }
    bool HasVisibleWindow() const {
        for (const auto& window : uidriver::TopLevelWindows(Id())) {
            if (window.visible) {
                return true;
            }
        }
        return false;
    }

private:
    void Start(const std::wstring& arguments) {
        std::wstring commandLine = L"\"" + std::wstring(kInstalledProgram) + L"\"";
        if (!arguments.empty()) {
            commandLine += L" " + arguments;
        }
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        started_ = CreateProcessW(kInstalledProgram, commandLine.data(), nullptr, nullptr, FALSE, 0,
                                  nullptr, nullptr, &startup, &info_) != FALSE;
        if (started_) {
            CloseHandle(info_.hThread);
        }
    }

    PROCESS_INFORMATION info_{};
    bool started_ = false;
};

// The program's registry state under HKEY_LOCAL_MACHINE.
inline void DeleteSettingsKey() {
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kSettingsKey);
}

// The settings the tests store are ASCII.
inline void SetSetting(const char* name, const std::string& data, DWORD type = REG_SZ) {
    const std::wstring key = testsupport::Widen(kSettingsKey);
    if (type == REG_DWORD) {
        const DWORD number = 1;
        testsupport::SetRawValue(HKEY_LOCAL_MACHINE, key, testsupport::Widen(name), REG_DWORD,
                                 &number, sizeof(number));
    } else {
        testsupport::SetStringValue(HKEY_LOCAL_MACHINE, key, testsupport::Widen(name),
                                    testsupport::Widen(data), type);
    }
}

// The text of a string value, or nothing when it is missing or no string.
inline std::optional<std::string> ReadValue(const char* keyPath, const char* name) {
    char buffer[1024] = {};
    DWORD size = sizeof(buffer) - 1;
    DWORD type = 0;
    if (RegGetValueA(HKEY_LOCAL_MACHINE, keyPath, name, RRF_RT_ANY, &type, buffer, &size) !=
            ERROR_SUCCESS ||
        type != REG_SZ) {
        return std::nullopt;
    }
    return std::string(buffer);
}

inline void DeleteValue(const char* keyPath, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        RegDeleteValueA(key, name);
        RegCloseKey(key);
    }
}

} // namespace gui
