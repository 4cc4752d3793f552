// uidriver: a console tool for scripts and GUI tests, driving the windows of other processes.
//
//   uidriver windows [PID]                      top-level windows: handle, pid, visible, class,
//   text uidriver wait CLASS TEXT MS [visible]       wait for a top-level window ("" = any); prints
//   handle uidriver gone HANDLE MS                     wait until the window no longer exists
//   uidriver text HANDLE                        a window's text
//   uidriver children HANDLE                    child controls: id, class, style, enabled, visible,
//                                               checked, left, top, right, bottom, text
//   uidriver box TITLE MS                       wait for a message box; prints its text
//   uidriver press TITLE ID MS                  press a message-box button (1 OK, 6 Yes, 7 No, ...)
//   uidriver click HANDLE ID                    click the child control with the id
//   uidriver tips PID                           tool tips of the process: control handle, text
//   uidriver tray                               icons of the notification area: handle, tip
//   uidriver tray-click TIP left|right MS       click the tray icon whose tip is TIP
//   uidriver sysmenu HANDLE                     system-menu items: id, state, text
//   uidriver close HANDLE                       ask a window to close (WM_CLOSE)
//   uidriver rect HANDLE                        window rectangle on the screen: left top width
//   height
// Exit code 0 on success, 1 when a wait ran out or the thing was not found, 2 on bad usage.
#include "UiAutomation.h"

#include <cstdio>
#include <cstdlib>
#include <cwchar>
#include <string>
#include <vector>

#include <shellapi.h>

namespace {

using namespace uidriver;

void Print(const std::wstring& line) {
    const std::string bytes = ToUtf8(line) + "\n";
    std::fwrite(bytes.data(), 1, bytes.size(), stdout);
}

std::wstring Hex(const void* value) {
    wchar_t buffer[32];
    std::swprintf(buffer, 32, L"0x%llx",
                  static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(value)));
    return buffer;
}

HWND ParseHandle(const std::wstring& text) {
    return reinterpret_cast<HWND>(static_cast<ULONG_PTR>(std::wcstoull(text.c_str(), nullptr, 0)));
}

Milliseconds ParseMs(const std::wstring& text) {
    return Milliseconds(std::wcstol(text.c_str(), nullptr, 10));
}

int Usage() {
    std::fputs("usage: uidriver windows|wait|gone|text|children|box|press|click|tips|tray|"
               "tray-click|sysmenu|close|rect ...\n",
               stderr);
    return 2;
}

int Run(const std::vector<std::wstring>& args) {
    if (args.empty()) {
        return Usage();
    }
    const std::wstring& command = args[0];
    const size_t count = args.size() - 1;
    if (command == L"windows") {
        const DWORD pid = count >= 1 ? std::wcstoul(args[1].c_str(), nullptr, 0) : 0;
        for (const TopWindow& window : TopLevelWindows(pid)) {
            Print(Hex(window.handle) + L"\t" + std::to_wstring(window.processId) + L"\t" +
                  (window.visible ? L"visible" : L"hidden") + L"\t" + window.className + L"\t" +
                  window.text);
        }
        return 0;
    }
    if (command == L"wait" && count >= 3) {
        const bool visible = count >= 4 && args[4] == L"visible";
        const auto found = WaitForWindow(args[1], args[2], ParseMs(args[3]), 0, visible);
        if (!found) {
            return 1;
        }
        Print(Hex(*found));
        return 0;
    }
    if (command == L"gone" && count >= 2) {
        return WaitUntilGone(ParseHandle(args[1]), ParseMs(args[2])) ? 0 : 1;
    }
    if (command == L"text" && count >= 1) {
        HWND window = ParseHandle(args[1]);
        if (!IsWindow(window)) {
            return 1;
        }
        Print(WindowText(window));
        return 0;
    }
    if (command == L"children" && count >= 1) {
        HWND window = ParseHandle(args[1]);
        if (!IsWindow(window)) {
            return 1;
        }
        for (const ChildControl& child : Children(window)) {
            wchar_t style[16];
            std::swprintf(style, 16, L"0x%08lx", static_cast<unsigned long>(child.style));
            Print(std::to_wstring(child.id) + L"\t" + child.className + L"\t" + style + L"\t" +
                  (child.enabled ? L"enabled" : L"disabled") + L"\t" +
                  (child.visible ? L"visible" : L"hidden") + L"\t" +
                  std::to_wstring(child.checked) + L"\t" + std::to_wstring(child.rect.left) +
                  L"\t" + std::to_wstring(child.rect.top) + L"\t" +
                  std::to_wstring(child.rect.right) + L"\t" + std::to_wstring(child.rect.bottom) +
                  L"\t" + child.text);
        }
        return 0;
    }
    if (command == L"box" && count >= 2) {
        const auto box = WaitForMessageBox(args[1], ParseMs(args[2]));
        if (!box) {
            return 1;
        }
        Print(MessageBoxText(*box));
        return 0;
    }
    if (command == L"press" && count >= 3) {
        const auto box = WaitForMessageBox(args[1], ParseMs(args[3]));
        if (!box) {
            return 1;
        }
        return PressMessageBoxButton(*box, std::wcstol(args[2].c_str(), nullptr, 10),
                                     ParseMs(args[3]))
                   ? 0
                   : 1;
    }
    if (command == L"click" && count >= 2) {
        const auto child =
            ChildById(ParseHandle(args[1]), std::wcstol(args[2].c_str(), nullptr, 0));
        return child && ClickControl(child->handle) ? 0 : 1;
    }
    if (command == L"tips" && count >= 1) {
        for (const ToolTip& tip : ToolTipsOfProcess(std::wcstoul(args[1].c_str(), nullptr, 0))) {
            Print(Hex(tip.control) + L"\t" + tip.text);
        }
        return 0;
    }
    if (command == L"tray") {
        for (const TrayIcon& icon : TrayIcons()) {
            Print(Hex(icon.window) + L"\t" + icon.tip);
        }
        return 0;
    }
    if (command == L"tray-click" && count >= 3) {
        const auto deadline = GetTickCount64() + static_cast<ULONGLONG>(ParseMs(args[3]).count());
        do {
            for (const TrayIcon& icon : TrayIcons()) {
                if (icon.tip == args[1]) {
                    return ClickTrayIcon(icon.window, args[2] == L"right") ? 0 : 1;
                }
            }
            Sleep(50);
        } while (GetTickCount64() < deadline);
        return 1;
    }
    if (command == L"sysmenu" && count >= 1) {
        const auto items = SystemMenuItems(ParseHandle(args[1]));
        for (const MenuItem& item : items) {
            wchar_t numbers[48];
            std::swprintf(numbers, 48, L"0x%08x\t0x%04x\t", item.id, item.state);
            Print(numbers + item.text);
        }
        return items.empty() ? 1 : 0;
    }
    if (command == L"close" && count >= 1) {
        HWND window = ParseHandle(args[1]);
        return IsWindow(window) && PostMessageW(window, WM_CLOSE, 0, 0) ? 0 : 1;
    }
    if (command == L"rect" && count >= 1) {
        RECT rect{};
        if (!GetWindowRect(ParseHandle(args[1]), &rect)) {
            return 1;
        }
        Print(std::to_wstring(rect.left) + L" " + std::to_wstring(rect.top) + L" " +
              std::to_wstring(rect.right - rect.left) + L" " +
              std::to_wstring(rect.bottom - rect.top));
        return 0;
    }
    return Usage();
}

} // namespace

int main() {
    int argc = 0;
    LPWSTR* argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argv == nullptr) {
        return 2;
    }
    std::vector<std::wstring> args(argv + 1, argv + argc);
    LocalFree(argv);
    const int rc = Run(args);
    std::fflush(stdout);
    return rc;
}
