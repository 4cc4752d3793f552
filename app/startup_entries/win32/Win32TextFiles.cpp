#include "startup_entries/win32/Win32TextFiles.h"

#include "win32common/Handles.h"
#include "win32common/Text.h"

#include <windows.h>
#include <shlobj.h>

#include <climits>
#include <string>

namespace tidewell::win32 {

namespace {

std::wstring PathOf(std::string_view path) {
    std::wstring wide = win32common::Utf8ToWide(path);
    while (wide.size() > 3 && wide.back() == L'\\') {
        wide.pop_back();
    }
    return wide;
}

DWORD AttributesOf(std::string_view path) {
    if (path.empty()) {
        return INVALID_FILE_ATTRIBUTES;
    }
    return GetFileAttributesW(PathOf(path).c_str());
}

// The text in the ANSI code page, or false when a character has no exact counterpart there (a
// stand-in '?' would restore a different name or command line).
bool ToAnsi(std::string_view text, std::string& ansi) {
    ansi.clear();
    if (text.empty()) {
        return true;
    }
    const std::wstring wide = win32common::Utf8ToWide(text);
    if (wide.empty() || wide.size() > INT_MAX) {
        return false;
    }
    const int length = static_cast<int>(wide.size());
    BOOL lossy = FALSE;
    const int needed = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length,
                                           nullptr, 0, nullptr, &lossy);
    if (needed <= 0 || lossy) {
        return false;
    }
    ansi.resize(static_cast<size_t>(needed));
    lossy = FALSE;
    return WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide.data(), length, ansi.data(),
                               needed, nullptr, &lossy) == needed &&
           !lossy;
}

} // namespace

bool Win32TextFiles::FolderExists(std::string_view path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool Win32TextFiles::CreateFolder(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    const int result = SHCreateDirectoryExW(nullptr, PathOf(path).c_str(), nullptr);
    return result == ERROR_SUCCESS || (result == ERROR_ALREADY_EXISTS && FolderExists(path));
}

bool Win32TextFiles::FileExists(std::string_view path) {
    const DWORD attributes = AttributesOf(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

std::optional<std::string> Win32TextFiles::ReadText(std::string_view path) {
    if (path.empty()) {
        return std::nullopt;
    }
    HANDLE opened =
        CreateFileW(PathOf(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return std::nullopt;
    }
    const win32common::UniqueKernelHandle file(opened);
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart > INT_MAX) {
        return std::nullopt;
    }
    std::string ansi(static_cast<std::size_t>(size.QuadPart), '\0');
    DWORD read = 0;
    if (!ansi.empty() &&
        (!ReadFile(file.get(), ansi.data(), static_cast<DWORD>(ansi.size()), &read, nullptr) ||
         read != ansi.size())) {
        return std::nullopt;
    }
    if (ansi.empty()) {
        return std::string();
    }
    const int length = static_cast<int>(ansi.size());
    const int needed = MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, nullptr, 0);
    if (needed <= 0) {
        return std::nullopt;
    }
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    if (MultiByteToWideChar(CP_ACP, 0, ansi.data(), length, wide.data(), needed) != needed) {
        return std::nullopt;
    }
    return win32common::WideToUtf8(wide);
}

std::optional<std::string> Win32TextFiles::FileBytes(std::string_view text) {
    std::string ansi;
    if (!ToAnsi(text, ansi)) {
        return std::nullopt;
    }
    return ansi;
}

bool Win32TextFiles::WriteText(std::string_view path, std::string_view text, Mode mode) {
    std::string ansi;
    if (path.empty() || !ToAnsi(text, ansi) || ansi.size() > MAXDWORD) {
        return false;
    }
    const bool create = mode == Mode::Create;
    HANDLE opened = CreateFileW(PathOf(path).c_str(), create ? GENERIC_WRITE : FILE_APPEND_DATA,
                                FILE_SHARE_READ, nullptr, create ? CREATE_ALWAYS : OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (opened == INVALID_HANDLE_VALUE) {
        return false;
    }
    const win32common::UniqueKernelHandle file(opened);
    DWORD written = 0;
    if (!ansi.empty() &&
        (!WriteFile(file.get(), ansi.data(), static_cast<DWORD>(ansi.size()), &written, nullptr) ||
         written != ansi.size())) {
        return false;
    }
    return FlushFileBuffers(file.get()) != FALSE;
}

} // namespace tidewell::win32
