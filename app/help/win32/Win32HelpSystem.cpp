#include "help/win32/Win32HelpSystem.h"

#include "help/win32/AnsiText.h"

#include <windows.h>

#include <algorithm>
#include <vector>

namespace tidewell::help::win32 {

namespace {

constexpr DWORD kLongPathBuffer = 256;
constexpr DWORD kVersionBlockCap = 64000;
constexpr DWORD kExpandBuffer = 2048;

// A search handle of FindFirstFileA, closed with FindClose.
class FindHandle {
public:
    explicit FindHandle(HANDLE handle) : handle_(handle) {}
    FindHandle(const FindHandle&) = delete;
    FindHandle& operator=(const FindHandle&) = delete;
    ~FindHandle() {
        if (handle_ != INVALID_HANDLE_VALUE) {
            FindClose(handle_);
        }
    }
    bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

private:
    HANDLE handle_;
};

} // namespace

std::optional<std::string> Win32HelpSystem::FindFile(std::string_view path) {
    const std::string ansi = ToAnsi(path);
    if (ansi.empty()) {
        return std::nullopt;
    }
    WIN32_FIND_DATAA found{};
    const FindHandle search(FindFirstFileA(ansi.c_str(), &found));
    if (!search.valid()) {
        return std::nullopt;
    }
    found.cFileName[MAX_PATH - 1] = '\0';
    return FromAnsi(found.cFileName);
}

std::optional<std::string> Win32HelpSystem::LongPathName(std::string_view path) {
    const std::string ansi = ToAnsi(path);
    char buffer[kLongPathBuffer] = {};
    const DWORD length = GetLongPathNameA(ansi.c_str(), buffer, kLongPathBuffer);
    if (length == 0 || length >= kLongPathBuffer) {
        return std::nullopt;
    }
    return FromAnsi(std::string_view(buffer, length));
}

std::optional<OsVersion> Win32HelpSystem::WindowsVersionInfo() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info); // 148
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    const BOOL read = GetVersionExA(&info);
#pragma GCC diagnostic pop
    if (!read) {
        return std::nullopt;
    }
    return OsVersion{info.dwPlatformId, info.dwMajorVersion, info.dwMinorVersion};
}

std::optional<FileVersionParts> Win32HelpSystem::FileVersion(std::string_view path) {
    const std::string ansi = ToAnsi(path);
    DWORD ignored = 0;
    const DWORD size = std::min(GetFileVersionInfoSizeA(ansi.c_str(), &ignored), kVersionBlockCap);
    if (size == 0) {
        return std::nullopt;
    }
    std::vector<BYTE> block(size);
    if (!GetFileVersionInfoA(ansi.c_str(), 0, size, block.data())) {
        return std::nullopt;
    }
    void* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(block.data(), "\\", &fixed, &fixedSize) || fixed == nullptr ||
        fixedSize < sizeof(VS_FIXEDFILEINFO)) {
        return std::nullopt;
    }
    const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
    if (info->dwSignature != 0xFEEF04BD) {
        return std::nullopt;
    }
    return FileVersionParts{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                            HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

std::string Win32HelpSystem::ExpandEnvironment(std::string_view text) {
    const std::string ansi = ToAnsi(text);
    char buffer[kExpandBuffer] = {};
    const DWORD length = ExpandEnvironmentStringsA(ansi.c_str(), buffer, kExpandBuffer);
    if (length == 0 || length > kExpandBuffer) {
        return std::string(text); // too long to expand: left as stored
    }
    return FromAnsi(buffer);
}

std::optional<ScreenPoint> Win32HelpSystem::CursorPosition() {
    POINT point{};
    if (!GetCursorPos(&point)) {
        return std::nullopt;
    }
    return ScreenPoint{point.x, point.y};
}

std::string Win32HelpSystem::StringResource(std::uint32_t id) {
    char buffer[1024] = {};
    const int length = LoadStringA(GetModuleHandleW(nullptr), id, buffer, sizeof(buffer));
    return length > 0 ? FromAnsi(std::string_view(buffer, static_cast<std::size_t>(length)))
                      : std::string();
}

void Win32HelpSystem::DefaultWindowProcedure(WindowHandle window, std::uint32_t message,
                                             std::uintptr_t wParam, std::intptr_t lParam) {
    DefWindowProcA(reinterpret_cast<HWND>(window), message, wParam, lParam);
}

} // namespace tidewell::help::win32
