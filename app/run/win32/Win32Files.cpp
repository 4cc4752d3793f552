#include "run/win32/Win32Files.h"

#include "win32/Handles.h"
#include "win32/Text.h"

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

namespace tidewell::win32 {

namespace {

// A directory search, closed by FindClose (its "no handle" is INVALID_HANDLE_VALUE, not null).
class UniqueFind {
public:
    explicit UniqueFind(HANDLE find) : find_(find) {}
    UniqueFind(const UniqueFind&) = delete;
    UniqueFind& operator=(const UniqueFind&) = delete;
    ~UniqueFind() {
        if (*this) {
            const DWORD lastError = GetLastError();
            FindClose(find_);
            SetLastError(lastError);
        }
    }
    explicit operator bool() const { return find_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return find_; }

private:
    HANDLE find_;
};

std::wstring WithoutTrailingSeparator(std::wstring path) {
    // "C:\" keeps its separator: without it, it would name the drive's current folder.
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/') &&
           !(path.size() == 3 && path[1] == L':')) {
        path.pop_back();
    }
    return path;
}

// The \\?\ spelling lifts the MAX_PATH limit for the deep trees a temporary folder can hold.
std::wstring Extended(const std::wstring& path) {
    if (path.starts_with(L"\\\\?\\")) {
        return path;
    }
    if (path.starts_with(L"\\\\")) {
        return L"\\\\?\\UNC\\" + path.substr(2);
    }
    if (path.size() >= 3 && path[1] == L':' && path[2] == L'\\') {
        return L"\\\\?\\" + path;
    }
    return path;
}

DWORD Attributes(const std::wstring& path) {
    return GetFileAttributesW(Extended(path).c_str());
}

bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::string KnownFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (FAILED(SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, path))) {
        return {};
    }
    return WideToUtf8(WithoutTrailingSeparator(path));
}

std::wstring Joined(const std::wstring& folder, const wchar_t* name) {
    return folder + (folder.ends_with(L'\\') ? L"" : L"\\") + name;
}

struct Entry {
    std::wstring name;
    DWORD attributes;
};

// The whole listing first, so that removing entries never disturbs the search. False when the
// folder could not be read (completely).
bool ListEntries(const std::wstring& folder, std::vector<Entry>& entries) {
    WIN32_FIND_DATAW found{};
    UniqueFind find(FindFirstFileExW(Extended(Joined(folder, L"*")).c_str(), FindExInfoBasic,
                                     &found, FindExSearchNameMatch, nullptr, 0));
    if (!find) {
        return GetLastError() == ERROR_FILE_NOT_FOUND;
    }
    do {
        const std::wstring_view name(found.cFileName);
        if (name != L"." && name != L"..") {
            entries.push_back(Entry{found.cFileName, found.dwFileAttributes});
        }
    } while (FindNextFileW(find.get(), &found));
    return GetLastError() == ERROR_NO_MORE_FILES;
}

// The spelling GetFinalPathNameByHandle gives, as an ordinary path: no \\?\ prefix, no
// trailing separator.
std::wstring Ordinary(std::wstring path) {
    if (path.starts_with(L"\\\\?\\UNC\\")) {
        path = L"\\\\" + path.substr(8);
    } else if (path.starts_with(L"\\\\?\\")) {
        path = path.substr(4);
    }
    return WithoutTrailingSeparator(std::move(path));
}

// Made comparable: ordinary and lower case.
std::wstring Comparable(std::wstring path) {
    path = Ordinary(std::move(path));
    CharLowerBuffW(path.data(), static_cast<DWORD>(path.size()));
    return path;
}

// Where an open file or folder really is, links resolved, in its own case.
std::wstring FinalSpelling(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return {};
        }
        if (length < path.size()) {
            path.resize(length);
            return Ordinary(std::move(path));
        }
        path.resize(length + 1);
    }
    return {};
}

// The same, comparable.
std::wstring FinalPath(HANDLE handle) {
    const std::wstring final = FinalSpelling(handle);
    return final.empty() ? final : Comparable(final);
}

// Opens the entry itself where the platform can (a link as a link), sharing everything, so that
// only the owners' own sharing decides whether it can go.
UniqueKernelHandle OpenEntry(const std::wstring& path, DWORD access, bool folder) {
    HANDLE handle = CreateFileW(
        Extended(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr);
    return UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// An entry may be removed only when it really is where the folder being cleaned says it is:
// under Wine a host link to a file looks like a plain file, and deleting it deletes its target.
bool IsReallyAt(HANDLE handle, const std::wstring& expected, bool folder) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!GetFileInformationByHandle(handle, &info) || IsLink(info.dwFileAttributes) ||
        ((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) {
        return false;
    }
    const std::wstring final = FinalPath(handle);
    return !final.empty() && final == Comparable(expected);
}

std::wstring FinalFolder(const std::wstring& folder) {
    UniqueKernelHandle handle = OpenEntry(folder, FILE_READ_ATTRIBUTES, true);
    return handle ? FinalPath(handle.get()) : std::wstring();
}

bool RemoveFileAt(const std::wstring& path, const std::wstring& expected) {
    UniqueKernelHandle file = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES, false);
    if (!file || !IsReallyAt(file.get(), expected, false)) {
        return false;
    }
    BY_HANDLE_FILE_INFORMATION info{};
    // Without force: a read-only file stays.
    if (!GetFileInformationByHandle(file.get(), &info) ||
        (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return false;
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    return SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                      sizeof(disposition)) != FALSE;
}

bool RemoveTreeAt(const std::wstring& folder, const std::wstring& expected) {
    {
        UniqueKernelHandle handle = OpenEntry(folder, FILE_READ_ATTRIBUTES, true);
        if (!handle || !IsReallyAt(handle.get(), expected, true)) {
            return false;
        }
    }
    std::vector<Entry> entries;
    bool complete = ListEntries(folder, entries);
    for (const Entry& entry : entries) {
        const std::wstring path = Joined(folder, entry.name.c_str());
        const std::wstring expectedPath = Joined(expected, entry.name.c_str());
        if (IsLink(entry.attributes)) {
            complete = false;
        } else if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            complete = RemoveTreeAt(path, expectedPath) && complete;
        } else {
            complete = RemoveFileAt(path, expectedPath) && complete;
        }
    }
    return complete && RemoveDirectoryW(Extended(folder).c_str());
}

// The place an entry of `path`'s folder must really be at: that folder's real place + its name.
std::wstring ExpectedPlace(const std::wstring& path) {
    const std::size_t last = path.find_last_of(L'\\');
    if (last == std::wstring::npos || last + 1 >= path.size()) {
        return {};
    }
    const std::wstring folder = FinalFolder(path.substr(0, last == 2 ? 3 : last));
    return folder.empty() ? std::wstring() : Joined(folder, path.c_str() + last + 1);
}

} // namespace

std::string Win32Files::SpecialFolderPath(SpecialFolder folder) {
    wchar_t path[MAX_PATH + 1] = {};
    DWORD length = 0;
    if (folder == SpecialFolder::Windows) {
        length = GetWindowsDirectoryW(path, MAX_PATH + 1);
    } else {
        length = GetTempPathW(MAX_PATH + 1, path);
    }
    if (length == 0 || length > MAX_PATH) {
        return {};
    }
    return WideToUtf8(WithoutTrailingSeparator(std::wstring(path, length)));
}

bool Win32Files::FolderExists(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = Attributes(Utf8ToWide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FolderContents Win32Files::Contents(std::string_view path) {
    FolderContents contents;
    if (path.empty()) {
        return contents;
    }
    const std::wstring folder = WithoutTrailingSeparator(Utf8ToWide(path));
    std::vector<Entry> entries;
    ListEntries(folder, entries);
    for (const Entry& entry : entries) {
        FolderItem item{WideToUtf8(Joined(folder, entry.name.c_str())), WideToUtf8(entry.name)};
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            contents.subFolders.push_back(std::move(item));
        } else {
            contents.files.push_back(std::move(item));
        }
    }
    return contents;
}

bool Win32Files::RemoveFile(std::string_view path) {
    const std::wstring file = WithoutTrailingSeparator(Utf8ToWide(path));
    const std::wstring expected = ExpectedPlace(file);
    return !expected.empty() && RemoveFileAt(file, expected);
}

bool Win32Files::RemoveFolder(std::string_view path) {
    const std::wstring folder = WithoutTrailingSeparator(Utf8ToWide(path));
    const std::wstring expected = ExpectedPlace(folder);
    return !expected.empty() && RemoveTreeAt(folder, expected);
}

SystemFolders Win32Files::Folders() {
    SystemFolders folders;
    folders.windows = KnownFolder(CSIDL_WINDOWS);
    folders.system = KnownFolder(CSIDL_SYSTEM);
    for (int csidl : {CSIDL_PROGRAM_FILES, CSIDL_PROGRAM_FILESX86}) {
        std::string folder = KnownFolder(csidl);
        if (!folder.empty()) {
            folders.programFiles.push_back(std::move(folder));
        }
    }
    const std::string profile = KnownFolder(CSIDL_PROFILE);
    const std::size_t last = profile.rfind('\\');
    if (last != std::string::npos) {
        folders.profiles = profile.substr(0, last);
    }
    return folders;
}

std::string Win32Files::FullPath(std::string_view path) {
    const std::wstring wide = Utf8ToWide(path);
    if (wide.empty()) {
        return std::string(path);
    }
    const DWORD needed = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
    if (needed == 0) {
        return std::string(path);
    }
    std::wstring full(needed, L'\0');
    const DWORD length = GetFullPathNameW(wide.c_str(), needed, full.data(), nullptr);
    if (length == 0 || length >= needed) {
        return std::string(path);
    }
    full.resize(length);
    const DWORD longNeeded = GetLongPathNameW(full.c_str(), nullptr, 0);
    if (longNeeded > 0) {
        std::wstring longer(longNeeded, L'\0');
        const DWORD longLength = GetLongPathNameW(full.c_str(), longer.data(), longNeeded);
        if (longLength > 0 && longLength < longNeeded) {
            longer.resize(longLength);
            full = std::move(longer);
        }
    }
    // An existing folder or file is named where it really is: a link to the Windows folder is the
    // Windows folder.
    HANDLE handle = CreateFileW(Extended(full).c_str(), FILE_READ_ATTRIBUTES,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle != INVALID_HANDLE_VALUE) {
        UniqueKernelHandle opened(handle);
        const std::wstring final = FinalSpelling(opened.get());
        if (!final.empty()) {
            return WideToUtf8(final);
        }
    }
    return WideToUtf8(WithoutTrailingSeparator(full));
}

} // namespace tidewell::win32
