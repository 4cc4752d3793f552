#pragma once

#include "UiAutomation.h"

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

namespace tidewell::test {

// A folder of its own under the prefix's temporary folder, removed (with everything still in it
// that is not behind a link) when the test ends.
class ScratchFolder {
public:
    explicit ScratchFolder(const std::wstring& name) {
        wchar_t temp[MAX_PATH + 1] = {};
        GetTempPathW(MAX_PATH + 1, temp);
        path_ = std::wstring(temp) + name + L"-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                std::to_wstring(GetTickCount64());
        created_ = CreateDirectoryW(path_.c_str(), nullptr) != FALSE;
    }
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;
    ~ScratchFolder() { Erase(path_); }

    bool Created() const { return created_; }
    const std::wstring& Path() const { return path_; }
    std::wstring operator/(const std::wstring& name) const { return path_ + L"\\" + name; }

private:
    // Links are removed with DeleteFileW (never RemoveDirectoryW, which under Wine acts on the
    // target) and never entered.
    static void Erase(const std::wstring& folder) {
        WIN32_FIND_DATAW found{};
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const std::wstring name = found.cFileName;
                if (name == L"." || name == L"..") {
                    continue;
                }
                const std::wstring path = folder + L"\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
                    DeleteFileW(path.c_str());
                    continue;
                }
                SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                    Erase(path);
                } else {
                    DeleteFileW(path.c_str());
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
        RemoveDirectoryW(folder.c_str());
    }

    std::wstring path_;
    bool created_ = false;
};

inline bool WriteFileText(const std::wstring& path, const std::string& text = "data") {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    const BOOL ok =
        WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == text.size();
}

inline bool Exists(const std::wstring& path) {
    return GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Shares reading, writing and deletion, so it never disturbs the program writing the file.
inline std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ,
                              FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return {};
    }
    std::string text;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    CloseHandle(file);
    return text;
}

using uidriver::Eventually;

// The host path of a prefix path, through Wine's own export (empty outside Wine).
inline std::string HostPath(const std::wstring& path) {
    using Convert = char*(CDECL*)(LPCWSTR);
    const auto convert = reinterpret_cast<Convert>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    if (convert == nullptr) {
        return {};
    }
    char* host = convert(path.c_str());
    if (host == nullptr) {
        return {};
    }
    std::string result = host;
    HeapFree(GetProcessHeap(), 0, host);
    return result;
}

// The host path of an entry, through its folder's host spelling: the entry itself may not exist
// yet, and a link is named, never resolved.
inline std::string HostEntryPath(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L'\\');
    const std::string hostFolder = HostPath(path.substr(0, last));
    if (hostFolder.empty()) {
        return {};
    }
    const std::wstring name = path.substr(last + 1);
    return hostFolder + "/" + std::string(name.begin(), name.end());
}

// Runs a host program (Wine starts ELF programs by path) and waits for it; its exit code, or -1.
inline int RunHostProgram(const std::wstring& commandLine) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    if (!CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return -1;
    }
    DWORD code = static_cast<DWORD>(-1);
    if (WaitForSingleObject(process.hProcess, 10000) == WAIT_OBJECT_0) {
        GetExitCodeProcess(process.hProcess, &code);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return static_cast<int>(code);
}

// A host symbolic link at `link` pointing at `target` (both prefix paths); false when the host
// cannot make one.
inline bool MakeHostLink(const std::wstring& target, const std::wstring& link) {
    const std::string hostTarget = HostPath(target);
    const std::string hostLink = HostEntryPath(link);
    if (hostTarget.empty() || hostLink.empty()) {
        return false;
    }
    const std::wstring command = L"/bin/ln -s \"" +
                                 std::wstring(hostTarget.begin(), hostTarget.end()) + L"\" \"" +
                                 std::wstring(hostLink.begin(), hostLink.end()) + L"\"";
    // Wine hands a host program over without waiting for it: look for the link itself.
    RunHostProgram(command);
    return Eventually([&] { return Exists(link); }, std::chrono::milliseconds(3000));
}

// Removes a host symbolic link itself (rm never follows a link it is asked to remove).
inline bool RemoveHostLink(const std::wstring& link) {
    const std::string hostLink = HostEntryPath(link);
    if (hostLink.empty()) {
        return false;
    }
    RunHostProgram(L"/bin/rm -f \"" + std::wstring(hostLink.begin(), hostLink.end()) + L"\"");
    return Eventually([&] { return GetFileAttributesW(link.c_str()) == INVALID_FILE_ATTRIBUTES; },
                      std::chrono::milliseconds(3000));
}

} // namespace tidewell::test
