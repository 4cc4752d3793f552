#include "run/win32/Win32Programs.h"

#include "win32common/Text.h"

#include <windows.h>

#include <string>

namespace tidewell::win32 {

namespace {

WORD ShowCommand(WindowStyle style) {
    switch (style) {
    case WindowStyle::Hidden:
        return SW_HIDE;
    case WindowStyle::NormalFocus:
        return SW_SHOWNORMAL;
    case WindowStyle::MaximizedFocus:
        return SW_SHOWMAXIMIZED;
    case WindowStyle::NormalNoFocus:
        return SW_SHOWNOACTIVATE;
    }
    return SW_SHOWNORMAL;
}

struct TaskWindowSearch {
    DWORD processId = 0;
    HWND visible = nullptr;
    HWND hidden = nullptr;
};

// The input-method windows every GUI thread may own are not the program's windows.
bool IsInputMethodWindow(HWND window) {
    wchar_t className[32] = {};
    GetClassNameW(window, className, 32);
    return std::wstring_view(className) == L"IME" || std::wstring_view(className) == L"MSCTFIME UI";
}

BOOL CALLBACK CollectTaskWindow(HWND window, LPARAM parameter) {
    auto* search = reinterpret_cast<TaskWindowSearch*>(parameter);
    DWORD processId = 0;
    GetWindowThreadProcessId(window, &processId);
    if (processId != search->processId || IsInputMethodWindow(window)) {
        return TRUE;
    }
    if (IsWindowVisible(window) && GetWindow(window, GW_OWNER) == nullptr) {
        search->visible = window;
        return FALSE;
    }
    if (search->hidden == nullptr) {
        search->hidden = window;
    }
    return TRUE;
}

void BringForward(HWND window) {
    if (IsIconic(window)) {
        ShowWindow(window, SW_RESTORE);
    }
    // Refused when another process holds the foreground lock; the window still exists.
    SetForegroundWindow(window);
}

// Scan codes matter to programs that read them; arrows and the navigation block are extended.
bool IsExtendedKey(std::uint16_t key) {
    switch (key) {
    case vk::kPageUp:
    case vk::kPageDown:
    case vk::kEnd:
    case vk::kHome:
    case vk::kLeft:
    case vk::kUp:
    case vk::kRight:
    case vk::kDown:
    case vk::kInsert:
    case vk::kDelete:
    case vk::kDivide:
    case vk::kNumLock:
        return true;
    default:
        return false;
    }
}

} // namespace

std::optional<TaskId> Win32Programs::Start(std::string_view commandLine, WindowStyle style) {
    std::wstring line = win32common::Utf8ToWide(commandLine);
    if (line.empty()) {
        return std::nullopt;
    }
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = ShowCommand(style);
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return std::nullopt;
    }
    win32common::UniqueKernelHandle thread(process.hThread);
    running_[process.dwProcessId] = win32common::UniqueKernelHandle(process.hProcess);
    return TaskId{process.dwProcessId};
}

bool Win32Programs::ActivateTask(TaskId task) {
    const auto found = running_.find(task.value);
    if (found != running_.end()) {
        if (WaitForSingleObject(found->second.get(), 0) != WAIT_TIMEOUT) {
            running_.erase(found); // ended: its windows are gone with it
            return false;
        }
        // Just started and not yet waiting for input: its window is still being made, so the
        // run's wait must not end before it has begun.
        if (WaitForInputIdle(found->second.get(), 0) == WAIT_TIMEOUT) {
            return true;
        }
    }
    TaskWindowSearch search{task.value};
    EnumWindows(CollectTaskWindow, reinterpret_cast<LPARAM>(&search));
    if (search.visible != nullptr) {
        BringForward(search.visible);
        return true;
    }
    // A program started hidden keeps a window that cannot come to the front but still exists.
    return search.hidden != nullptr;
}

bool Win32Programs::ActivateWindow(std::string_view title) {
    const std::wstring wide = win32common::Utf8ToWide(title);
    HWND window = FindWindowW(nullptr, wide.c_str());
    if (window == nullptr) {
        return false;
    }
    BringForward(window);
    return true;
}

bool Win32Programs::SendKeys(const std::vector<KeyInput>& keys) {
    if (keys.empty()) {
        return true;
    }
    std::vector<INPUT> inputs(keys.size());
    for (std::size_t i = 0; i < keys.size(); ++i) {
        INPUT& input = inputs[i];
        input.type = INPUT_KEYBOARD;
        const KeyInput& key = keys[i];
        DWORD flags = key.release ? KEYEVENTF_KEYUP : 0;
        if (key.type == KeyInput::Type::Character) {
            input.ki.wScan = key.code;
            flags |= KEYEVENTF_UNICODE;
        } else {
            input.ki.wVk = key.code;
            input.ki.wScan = static_cast<WORD>(MapVirtualKeyW(key.code, MAPVK_VK_TO_VSC));
            if (IsExtendedKey(key.code)) {
                flags |= KEYEVENTF_EXTENDEDKEY;
            }
        }
        input.ki.dwFlags = flags;
    }
    const UINT sent = SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    if (sent == inputs.size()) {
        return true;
    }
    // Cut off part-way: never leave a modifier held down for the user's next key.
    std::vector<INPUT> releases;
    for (std::uint16_t modifier : {vk::kShift, vk::kControl, vk::kAlt}) {
        INPUT release{};
        release.type = INPUT_KEYBOARD;
        release.ki.wVk = modifier;
        release.ki.dwFlags = KEYEVENTF_KEYUP;
        releases.push_back(release);
    }
    SendInput(static_cast<UINT>(releases.size()), releases.data(), sizeof(INPUT));
    return false;
}

} // namespace tidewell::win32
