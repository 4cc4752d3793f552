// A stand-in for a system utility. Its window title follows the name it was copied to
// (scandskw.exe shows "ScanDisk"), so the run finds it as it would the real one.
//   standin_window:   shows its window until it is closed.
//   standin_quick:    shows its window and closes it at once.
//   standin_recorder: like standin_window, and appends to "<its own path>.log" its start style,
//                     its window state once shown, each activation and every key it receives
//                     (shown and keys with the tick count, "@<ms>", so a test can time them).
//                     Started with "/n" among its arguments (the scan) it closes itself after
//                     three seconds.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cwctype>
#include <string>

namespace {

std::wstring OwnPath() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    return path;
}

std::wstring BaseName(const std::wstring& path) {
    std::wstring name = path.substr(path.find_last_of(L"\\/") + 1);
    name = name.substr(0, name.find_last_of(L'.'));
    for (wchar_t& c : name) {
        c = static_cast<wchar_t>(std::towlower(c));
    }
    return name;
}

std::wstring TitleFor(const std::wstring& name) {
    if (name == L"scandskw") {
        return L"ScanDisk";
    }
    if (name == L"cleanmgr") {
        return L"Disk Cleanup";
    }
    if (name == L"defrag") {
        return L"Disk Defragmenter";
    }
    return L"Tidewell Stand-in " + name;
}

void Record(const char* format, ...) {
#ifdef STANDIN_RECORDER
    static const std::wstring log = OwnPath() + L".log";
    FILE* file = _wfopen(log.c_str(), L"ab");
    if (file == nullptr) {
        return;
    }
    va_list arguments;
    va_start(arguments, format);
    std::vfprintf(file, format, arguments);
    va_end(arguments);
    std::fputs("\r\n", file);
    std::fclose(file);
#else
    (void)format;
#endif
}

constexpr UINT_PTR kScanTimer = 1;

LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_KEYDOWN:
        Record("key %02X @%llu", static_cast<unsigned>(wParam), GetTickCount64());
        break;
    case WM_SYSKEYDOWN:
        Record("syskey %02X @%llu", static_cast<unsigned>(wParam), GetTickCount64());
        break;
    case WM_CHAR:
        Record("char %04X", static_cast<unsigned>(wParam));
        break;
    case WM_SYSCHAR:
        // Handled, so no beep and no menu loop.
        Record("syschar %04X", static_cast<unsigned>(wParam));
        return 0;
    case WM_ACTIVATE:
        if (LOWORD(wParam) != WA_INACTIVE) {
            Record("activated");
        }
        break;
    case WM_TIMER:
        if (wParam == kScanTimer) {
            KillTimer(window, kScanTimer);
            DestroyWindow(window);
        }
        return 0;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR arguments, int showCommand) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    GetStartupInfoW(&startup);
    Record("style %d", (startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1);

    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = L"TidewellStandIn";
    if (!RegisterClassW(&windowClass)) {
        return 1;
    }
    const std::wstring title = TitleFor(BaseName(OwnPath()));
    HWND window = CreateWindowExW(0, windowClass.lpszClassName, title.c_str(), WS_OVERLAPPEDWINDOW,
                                  100, 100, 400, 200, nullptr, nullptr, instance, nullptr);
    if (window == nullptr) {
        return 1;
    }
    ShowWindow(window, showCommand);
    UpdateWindow(window);
    Record("shown visible=%d maximized=%d foreground=%d @%llu", IsWindowVisible(window) ? 1 : 0,
           IsZoomed(window) ? 1 : 0, GetForegroundWindow() == window ? 1 : 0, GetTickCount64());

#ifdef STANDIN_QUICK
    DestroyWindow(window);
#endif
#ifdef STANDIN_RECORDER
    if (std::wstring(arguments).find(L"/n") != std::wstring::npos) {
        SetTimer(window, kScanTimer, 3000, nullptr);
    }
#endif
    (void)arguments;

    MSG message{};
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    Record("closed");
    return 0;
}
