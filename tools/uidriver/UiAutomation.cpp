#include "UiAutomation.h"

#include <commctrl.h>

#include <thread>

namespace uidriver {

namespace {

constexpr Milliseconds kPollInterval{25};
constexpr UINT kMessageTimeoutMs = 2000;

template <typename Predicate> bool PollUntil(Milliseconds timeout, Predicate done) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        if (done()) {
            return true;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            return false;
        }
        std::this_thread::sleep_for(kPollInterval);
    }
}

BOOL CALLBACK CollectTopLevel(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(param);
    found->push_back(window);
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(param);
    found->push_back(window);
    return TRUE;
}

// Memory in another process for messages whose parameters are pointers.
class RemoteBuffer {
public:
    RemoteBuffer(DWORD processId, size_t size) : size_(size) {
        process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE,
                               processId);
        if (process_ != nullptr) {
            address_ =
                VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
        }
    }
    RemoteBuffer(const RemoteBuffer&) = delete;
    RemoteBuffer& operator=(const RemoteBuffer&) = delete;
    ~RemoteBuffer() {
        if (address_ != nullptr) {
            VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
        }
        if (process_ != nullptr) {
            CloseHandle(process_);
        }
    }
    bool valid() const { return address_ != nullptr; }
    void* address() const { return address_; }
    bool Write(size_t offset, const void* data, size_t size) {
        SIZE_T done = 0;
        return offset + size <= size_ &&
               WriteProcessMemory(process_, static_cast<char*>(address_) + offset, data, size,
                                  &done) &&
               done == size;
    }
    bool Read(size_t offset, void* data, size_t size) const {
        SIZE_T done = 0;
        return offset + size <= size_ &&
               ReadProcessMemory(process_, static_cast<const char*>(address_) + offset, data, size,
                                 &done) &&
               done == size;
    }

private:
    HANDLE process_ = nullptr;
    void* address_ = nullptr;
    size_t size_ = 0;
};

std::vector<ToolTip> ToolsOf(HWND tooltip) {
    std::vector<ToolTip> tools;
    DWORD processId = 0;
    GetWindowThreadProcessId(tooltip, &processId);
    DWORD_PTR count = 0;
    if (!SendMessageTimeoutW(tooltip, TTM_GETTOOLCOUNT, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &count)) {
        return tools;
    }
    constexpr size_t kTextChars = 1024;
    const size_t textOffset = (sizeof(TTTOOLINFOW) + 15) & ~size_t{15};
    RemoteBuffer remote(processId, textOffset + kTextChars * sizeof(wchar_t));
    if (!remote.valid()) {
        return tools;
    }
    for (DWORD_PTR index = 0; index < count; ++index) {
        TTTOOLINFOW info{};
        info.cbSize = sizeof(info);
        info.lpszText = reinterpret_cast<LPWSTR>(static_cast<char*>(remote.address()) + textOffset);
        const wchar_t empty = L'\0';
        if (!remote.Write(0, &info, sizeof(info)) ||
            !remote.Write(textOffset, &empty, sizeof(empty))) {
            break;
        }
        DWORD_PTR ok = 0;
        if (!SendMessageTimeoutW(tooltip, TTM_ENUMTOOLSW, index,
                                 reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG,
                                 kMessageTimeoutMs, &ok) ||
            !ok) {
            continue;
        }
        TTTOOLINFOW got{};
        std::wstring text(kTextChars, L'\0');
        if (!remote.Read(0, &got, sizeof(got)) ||
            !remote.Read(textOffset, text.data(), kTextChars * sizeof(wchar_t))) {
            continue;
        }
        text.resize(wcsnlen(text.c_str(), kTextChars));
        // Tips that are kept by the tooltip itself come back through TTM_GETTEXT.
        if (text.empty()) {
            got.lpszText = info.lpszText;
            remote.Write(0, &got, sizeof(got));
            DWORD_PTR unused = 0;
            SendMessageTimeoutW(tooltip, TTM_GETTEXTW, kTextChars,
                                reinterpret_cast<LPARAM>(remote.address()), SMTO_ABORTIFHUNG,
                                kMessageTimeoutMs, &unused);
            text.assign(kTextChars, L'\0');
            remote.Read(textOffset, text.data(), kTextChars * sizeof(wchar_t));
            text.resize(wcsnlen(text.c_str(), kTextChars));
        }
        ToolTip tool;
        tool.id = got.uId;
        tool.control = (got.uFlags & TTF_IDISHWND) ? reinterpret_cast<HWND>(got.uId) : nullptr;
        tool.text = text;
        tools.push_back(tool);
    }
    return tools;
}

} // namespace

std::wstring WindowText(HWND window) {
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                             &length)) {
        return {};
    }
    std::wstring text(length + 1, L'\0');
    DWORD_PTR copied = 0;
    if (!SendMessageTimeoutW(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()),
                             SMTO_ABORTIFHUNG, kMessageTimeoutMs, &copied)) {
        return {};
    }
    text.resize(wcsnlen(text.c_str(), text.size()));
    return text;
}

std::wstring ClassName(HWND window) {
    wchar_t name[256] = {};
    const int length = GetClassNameW(window, name, 256);
    return std::wstring(name, length > 0 ? static_cast<size_t>(length) : 0);
}

std::vector<TopWindow> TopLevelWindows(DWORD processId) {
    std::vector<HWND> handles;
    EnumWindows(CollectTopLevel, reinterpret_cast<LPARAM>(&handles));
    std::vector<TopWindow> windows;
    for (HWND handle : handles) {
        TopWindow window;
        window.handle = handle;
        GetWindowThreadProcessId(handle, &window.processId);
        if (processId != 0 && window.processId != processId) {
            continue;
        }
        window.className = ClassName(handle);
        window.text = WindowText(handle);
        window.visible = IsWindowVisible(handle) != FALSE;
        windows.push_back(window);
    }
    return windows;
}

std::optional<HWND> WaitForWindow(const std::wstring& className, const std::wstring& text,
                                  Milliseconds timeout, DWORD processId, bool mustBeVisible) {
    HWND found = nullptr;
    PollUntil(timeout, [&] {
        for (const TopWindow& window : TopLevelWindows(processId)) {
            if ((className.empty() || window.className == className) &&
                (text.empty() || window.text == text) && (!mustBeVisible || window.visible)) {
                found = window.handle;
                return true;
            }
        }
        return false;
    });
    if (found == nullptr) {
        return std::nullopt;
    }
    return found;
}

bool WaitUntilGone(HWND window, Milliseconds timeout) {
    return PollUntil(timeout, [&] { return !IsWindow(window); });
}

std::vector<ChildControl> Children(HWND parent) {
    std::vector<HWND> handles;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&handles));
    std::vector<ChildControl> children;
    for (HWND handle : handles) {
        ChildControl child;
        child.handle = handle;
        child.id = GetDlgCtrlID(handle);
        child.className = ClassName(handle);
        child.text = WindowText(handle);
        child.style = static_cast<DWORD>(GetWindowLongPtrW(handle, GWL_STYLE));
        child.enabled = IsWindowEnabled(handle) != FALSE;
        child.visible = IsWindowVisible(handle) != FALSE;
        if (_wcsicmp(child.className.c_str(), L"Button") == 0) {
            DWORD_PTR state = 0;
            SendMessageTimeoutW(handle, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kMessageTimeoutMs,
                                &state);
            child.checked = static_cast<int>(state);
        }
        RECT rect{};
        GetWindowRect(handle, &rect);
        MapWindowPoints(nullptr, GetParent(handle), reinterpret_cast<POINT*>(&rect), 2);
        child.rect = rect;
        children.push_back(child);
    }
    return children;
}

std::optional<ChildControl> ChildById(HWND parent, int id) {
    for (const ChildControl& child : Children(parent)) {
        if (child.id == id) {
            return child;
        }
    }
    return std::nullopt;
}

std::optional<ChildControl> ChildByText(HWND parent, const std::wstring& text) {
    for (const ChildControl& child : Children(parent)) {
        if (child.text == text) {
            return child;
        }
    }
    return std::nullopt;
}

std::optional<HWND> WaitForMessageBox(const std::wstring& title, Milliseconds timeout,
                                      DWORD processId) {
    HWND found = nullptr;
    PollUntil(timeout, [&] {
        for (const TopWindow& window : TopLevelWindows(processId)) {
            if (window.className == L"#32770" && window.text == title &&
                GetDlgItem(window.handle, 0xFFFF) != nullptr) {
                found = window.handle;
                return true;
            }
        }
        return false;
    });
    if (found == nullptr) {
        return std::nullopt;
    }
    return found;
}

std::wstring MessageBoxText(HWND box) {
    HWND text = GetDlgItem(box, 0xFFFF);
    return text != nullptr ? WindowText(text) : std::wstring{};
}

bool PressMessageBoxButton(HWND box, int commandId, Milliseconds timeout) {
    if (GetDlgItem(box, commandId) == nullptr) {
        return false;
    }
    PostMessageW(box, WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(box, commandId)));
    return WaitUntilGone(box, timeout);
}

namespace {
bool SendKeyInputs(std::initializer_list<WORD> keys, DWORD flags) {
    std::vector<INPUT> inputs;
    for (WORD key : keys) {
        INPUT input{};
        input.type = INPUT_KEYBOARD;
        input.ki.wVk = key;
        input.ki.dwFlags = flags;
        inputs.push_back(input);
    }
    return SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT)) ==
           inputs.size();
}

INPUT MouseMoveInput(POINT screen) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(screen.x, 65535, GetSystemMetrics(SM_CXSCREEN) - 1);
    input.mi.dy = MulDiv(screen.y, 65535, GetSystemMetrics(SM_CYSCREEN) - 1);
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
    return input;
}
} // namespace

bool PressKeys(std::initializer_list<WORD> keys) {
    return SendKeyInputs(keys, 0);
}

bool ReleaseKeys(std::initializer_list<WORD> keys) {
    return SendKeyInputs(keys, KEYEVENTF_KEYUP);
}

bool MoveMouseTo(POINT screen) {
    INPUT input = MouseMoveInput(screen);
    return SendInput(1, &input, sizeof(INPUT)) == 1;
}

bool LeftClickAt(POINT screen) {
    INPUT inputs[3]{MouseMoveInput(screen)};
    inputs[1].type = INPUT_MOUSE;
    inputs[1].mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    inputs[2].type = INPUT_MOUSE;
    inputs[2].mi.dwFlags = MOUSEEVENTF_LEFTUP;
    return SendInput(3, inputs, sizeof(INPUT)) == 3;
}

bool ClickControl(HWND control) {
    if (!IsWindow(control) || !IsWindowEnabled(control)) {
        return false;
    }
    return PostMessageW(control, BM_CLICK, 0, 0) != FALSE;
}

std::vector<ToolTip> ToolTipsOfProcess(DWORD processId) {
    std::vector<ToolTip> tips;
    for (const TopWindow& window : TopLevelWindows(processId)) {
        if (_wcsicmp(window.className.c_str(), TOOLTIPS_CLASSW) == 0) {
            for (const ToolTip& tool : ToolsOf(window.handle)) {
                tips.push_back(tool);
            }
        }
    }
    return tips;
}

std::vector<MenuItem> SystemMenuItems(HWND window) {
    std::vector<MenuItem> items;
    HMENU menu = GetSystemMenu(window, FALSE);
    if (menu == nullptr) {
        return items;
    }
    const int count = GetMenuItemCount(menu);
    for (int position = 0; position < count; ++position) {
        MenuItem item;
        item.id = GetMenuItemID(menu, position);
        item.state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 256, MF_BYPOSITION);
        item.text = text;
        items.push_back(item);
    }
    return items;
}

std::string ToUtf8(const std::wstring& text) {
    if (text.empty()) {
        return {};
    }
    const int size = WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                         nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                        nullptr, nullptr);
    return out;
}

std::wstring FromUtf8(const std::string& text) {
    if (text.empty()) {
        return {};
    }
    const int size =
        MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring out(static_cast<size_t>(size), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size);
    return out;
}

} // namespace uidriver
