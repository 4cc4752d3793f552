#include "run/win32/Win32Files.h"

#include "win32common/Handles.h"
#include "win32common/Text.h"

#include <windows.h>
#include <knownfolders.h>
#include <shlobj.h>
#include <winternl.h>

#include <algorithm>
#include <cstdio>
#include <optional>
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
    return win32common::WideToUtf8(WithoutTrailingSeparator(path));
}

void AddKnownFolder(REFKNOWNFOLDERID id, std::vector<std::string>& folders) {
    PWSTR path = nullptr;
    const HRESULT result = SHGetKnownFolderPath(id, KF_FLAG_DONT_VERIFY, nullptr, &path);
    if (SUCCEEDED(result) && path != nullptr) {
        folders.push_back(win32common::WideToUtf8(WithoutTrailingSeparator(path)));
    }
    CoTaskMemFree(path); // also when the call failed
}

// A text file shared for reading, so the log can be looked at while a run writes it.
HANDLE OpenForText(std::string_view path, DWORD access, DWORD disposition) {
    HANDLE file =
        CreateFileW(Extended(win32common::Utf8ToWide(path)).c_str(), access, FILE_SHARE_READ,
                    nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
    return file == INVALID_HANDLE_VALUE ? nullptr : file;
}

bool WriteAll(HANDLE file, std::string_view text) {
    while (!text.empty()) {
        DWORD written = 0;
        const DWORD chunk = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1u << 20));
        if (!WriteFile(file, text.data(), chunk, &written, nullptr) || written == 0) {
            return false;
        }
        text.remove_prefix(written);
    }
    return true;
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

// The object's own name, "\??\C:\...", for the paths Wine's GetFinalPathNameByHandle refuses
// (over MAX_PATH, whatever the buffer: ERROR_MORE_DATA). Nothing for a device-style name.
std::wstring ObjectNameSpelling(HANDLE handle) {
    std::vector<unsigned char> buffer(sizeof(OBJECT_NAME_INFORMATION) + 32768 * sizeof(wchar_t));
    ULONG length = 0;
    if (!NT_SUCCESS(NtQueryObject(handle, ObjectNameInformation, buffer.data(),
                                  static_cast<ULONG>(buffer.size()), &length))) {
        return {};
    }
    const auto* info = reinterpret_cast<const OBJECT_NAME_INFORMATION*>(buffer.data());
    std::wstring name(info->Name.Buffer, info->Name.Length / sizeof(wchar_t));
    if (!name.starts_with(L"\\??\\")) {
        return {};
    }
    return Ordinary(L"\\\\?\\" + name.substr(4));
}

// Where an open file or folder really is, links resolved, in its own case.
std::wstring FinalSpelling(HANDLE handle) {
    std::wstring path(MAX_PATH, L'\0');
    for (int attempt = 0; attempt < 2; ++attempt) {
        const DWORD length =
            GetFinalPathNameByHandleW(handle, path.data(), static_cast<DWORD>(path.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
        if (length == 0) {
            return GetLastError() == ERROR_MORE_DATA ? ObjectNameSpelling(handle) : std::wstring();
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
win32common::UniqueKernelHandle OpenEntry(const std::wstring& path, DWORD access, bool folder) {
    HANDLE handle = CreateFileW(
        Extended(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
        nullptr, OPEN_EXISTING,
        FILE_FLAG_OPEN_REPARSE_POINT | (folder ? FILE_FLAG_BACKUP_SEMANTICS : 0), nullptr);
    return win32common::UniqueKernelHandle(handle == INVALID_HANDLE_VALUE ? nullptr : handle);
}

// Why the last call failed, as the log tells it.
KeptReason ReasonOfLastError() {
    switch (GetLastError()) {
    case ERROR_SHARING_VIOLATION:
        return KeptReason::InUse;
    case ERROR_LOCK_VIOLATION:
        return KeptReason::Locked;
    case ERROR_ACCESS_DENIED:
        return KeptReason::AccessDenied;
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return KeptReason::Missing;
    case ERROR_DIR_NOT_EMPTY:
        return KeptReason::NotEmpty;
    default:
        return KeptReason::Failed;
    }
}

// Wine's final path drops the dots and blanks that end a name ("dot." comes back as "dot", also
// inside the path). Such a spelling still names the entry itself unless the trimmed path is
// another entry that is the same file (a link to it).
bool IsTrimmedSpellingOf(const std::wstring& final, const std::wstring& wanted,
                         const BY_HANDLE_FILE_INFORMATION& info) {
    std::wstring trimmed;
    for (const wchar_t c : wanted + L'\\') {
        if (c == L'\\') {
            while (!trimmed.empty() && (trimmed.back() == L'.' || trimmed.back() == L' ')) {
                trimmed.pop_back();
            }
        }
        trimmed += c;
    }
    trimmed.pop_back();
    if (trimmed == wanted || trimmed != final) {
        return false;
    }
    win32common::UniqueKernelHandle other = OpenEntry(
        trimmed, FILE_READ_ATTRIBUTES, (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    BY_HANDLE_FILE_INFORMATION otherInfo{};
    if (!other || !GetFileInformationByHandle(other.get(), &otherInfo)) {
        return true;
    }
    return otherInfo.dwVolumeSerialNumber != info.dwVolumeSerialNumber ||
           otherInfo.nFileIndexHigh != info.nFileIndexHigh ||
           otherInfo.nFileIndexLow != info.nFileIndexLow;
}

// An entry may be removed only when it really is where the folder being cleaned says it is:
// under Wine a host link to a file looks like a plain file, and deleting it deletes its target.
// Nothing when it is; else why it stays.
std::optional<KeptReason> CheckReallyAt(HANDLE handle, const std::wstring& expected, bool folder,
                                        BY_HANDLE_FILE_INFORMATION& info) {
    if (!GetFileInformationByHandle(handle, &info)) {
        return ReasonOfLastError();
    }
    if (IsLink(info.dwFileAttributes)) {
        return KeptReason::Link;
    }
    if (((info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0) != folder) {
        return KeptReason::Missing;
    }
    const std::wstring final = FinalPath(handle);
    if (final.empty()) {
        return ReasonOfLastError();
    }
    const std::wstring wanted = Comparable(expected);
    if (final == wanted || IsTrimmedSpellingOf(final, wanted, info)) {
        return std::nullopt;
    }
    return KeptReason::Link;
}

std::uint64_t RemoveFileAt(const std::wstring& path, const std::wstring& expected,
                           Removal& removal) {
    const auto keep = [&](KeptReason reason) {
        removal.kept.push_back({win32common::WideToUtf8(path), reason});
        return std::uint64_t{0};
    };
    win32common::UniqueKernelHandle file = OpenEntry(path, DELETE | FILE_READ_ATTRIBUTES, false);
    if (!file) {
        return keep(ReasonOfLastError());
    }
    BY_HANDLE_FILE_INFORMATION info{};
    if (const auto reason = CheckReallyAt(file.get(), expected, false, info)) {
        return keep(*reason);
    }
    // Without force: a read-only file stays.
    if ((info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0) {
        return keep(KeptReason::ReadOnly);
    }
    FILE_DISPOSITION_INFO disposition{};
    disposition.DeleteFile = TRUE;
    if (!SetFileInformationByHandle(file.get(), FileDispositionInfo, &disposition,
                                    sizeof(disposition))) {
        return keep(ReasonOfLastError());
    }
    const std::uint64_t bytes =
        (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    removal.removed.push_back({win32common::WideToUtf8(path), false, bytes});
    return bytes;
}

std::uint64_t RemoveTreeAt(const std::wstring& folder, const std::wstring& expected,
                           Removal& removal) {
    {
        win32common::UniqueKernelHandle handle = OpenEntry(folder, FILE_READ_ATTRIBUTES, true);
        BY_HANDLE_FILE_INFORMATION info{};
        const auto reason = handle ? CheckReallyAt(handle.get(), expected, true, info)
                                   : std::optional(ReasonOfLastError());
        if (reason) {
            removal.kept.push_back({win32common::WideToUtf8(folder), *reason});
            return 0;
        }
    }
    const std::size_t keptBefore = removal.kept.size();
    std::uint64_t bytes = 0;
    std::vector<Entry> entries;
    const bool listed = ListEntries(folder, entries);
    for (const Entry& entry : entries) {
        const std::wstring path = Joined(folder, entry.name.c_str());
        const std::wstring expectedPath = Joined(expected, entry.name.c_str());
        if (IsLink(entry.attributes)) {
            removal.kept.push_back({win32common::WideToUtf8(path), KeptReason::Link});
        } else if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            bytes += RemoveTreeAt(path, expectedPath, removal);
        } else {
            bytes += RemoveFileAt(path, expectedPath, removal);
        }
    }
    if (removal.kept.size() != keptBefore) {
        removal.kept.push_back({win32common::WideToUtf8(folder), KeptReason::NotEmpty});
    } else if (!listed || !RemoveDirectoryW(Extended(folder).c_str())) {
        removal.kept.push_back({win32common::WideToUtf8(folder), ReasonOfLastError()});
    } else {
        removal.removed.push_back({win32common::WideToUtf8(folder), true, bytes});
    }
    return bytes;
}

std::wstring FinalFolder(const std::wstring& folder) {
    win32common::UniqueKernelHandle handle = OpenEntry(folder, FILE_READ_ATTRIBUTES, true);
    return handle ? FinalPath(handle.get()) : std::wstring();
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
    return win32common::WideToUtf8(WithoutTrailingSeparator(std::wstring(path, length)));
}

bool Win32Files::FolderExists(std::string_view path) {
    if (path.empty()) {
        return false;
    }
    const DWORD attributes = Attributes(win32common::Utf8ToWide(path));
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

FolderContents Win32Files::Contents(std::string_view path) {
    FolderContents contents;
    if (path.empty()) {
        return contents;
    }
    const std::wstring folder = WithoutTrailingSeparator(win32common::Utf8ToWide(path));
    std::vector<Entry> entries;
    ListEntries(folder, entries);
    for (const Entry& entry : entries) {
        FolderItem item{win32common::WideToUtf8(Joined(folder, entry.name.c_str())),
                        win32common::WideToUtf8(entry.name)};
        if (entry.attributes & FILE_ATTRIBUTE_DIRECTORY) {
            contents.subFolders.push_back(std::move(item));
        } else {
            contents.files.push_back(std::move(item));
        }
    }
    return contents;
}

Removal Win32Files::RemoveFile(std::string_view path) {
    Removal removal;
    const std::wstring file = WithoutTrailingSeparator(win32common::Utf8ToWide(path));
    const std::wstring expected = ExpectedPlace(file);
    if (expected.empty()) {
        removal.kept.push_back({std::string(path), KeptReason::Missing});
    } else {
        RemoveFileAt(file, expected, removal);
    }
    return removal;
}

Removal Win32Files::RemoveFolder(std::string_view path) {
    Removal removal;
    const std::wstring folder = WithoutTrailingSeparator(win32common::Utf8ToWide(path));
    const std::wstring expected = ExpectedPlace(folder);
    if (expected.empty()) {
        removal.kept.push_back({std::string(path), KeptReason::Missing});
    } else {
        RemoveTreeAt(folder, expected, removal);
    }
    return removal;
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
    for (REFKNOWNFOLDERID id :
         {FOLDERID_Documents, FOLDERID_Desktop, FOLDERID_Pictures, FOLDERID_Music, FOLDERID_Videos,
          FOLDERID_Downloads, FOLDERID_Favorites}) {
        AddKnownFolder(id, folders.userContent);
    }
    for (REFKNOWNFOLDERID id : {FOLDERID_RoamingAppData, FOLDERID_LocalAppData}) {
        AddKnownFolder(id, folders.appData);
    }
    return folders;
}

std::string Win32Files::ReadText(std::string_view path) {
    win32common::UniqueKernelHandle file(OpenForText(path, GENERIC_READ, OPEN_EXISTING));
    std::string text;
    if (!file) {
        return text;
    }
    char buffer[65536];
    DWORD read = 0;
    while (ReadFile(file.get(), buffer, sizeof(buffer), &read, nullptr) && read > 0) {
        text.append(buffer, read);
    }
    return text;
}

bool Win32Files::WriteText(std::string_view path, std::string_view text) {
    win32common::UniqueKernelHandle file(OpenForText(path, GENERIC_WRITE, CREATE_ALWAYS));
    return file && WriteAll(file.get(), text);
}

bool Win32Files::AppendText(std::string_view path, std::string_view text) {
    win32common::UniqueKernelHandle file(OpenForText(path, FILE_APPEND_DATA, OPEN_ALWAYS));
    return file && WriteAll(file.get(), text);
}

std::string Win32Files::LocalTimestamp() {
    SYSTEMTIME now{};
    GetLocalTime(&now);
    char text[32] = {};
    std::snprintf(text, sizeof(text), "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

std::string Win32Files::FullPath(std::string_view path) {
    const std::wstring wide = win32common::Utf8ToWide(path);
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
        win32common::UniqueKernelHandle opened(handle);
        const std::wstring final = FinalSpelling(opened.get());
        if (!final.empty()) {
            return win32common::WideToUtf8(final);
        }
    }
    return win32common::WideToUtf8(WithoutTrailingSeparator(full));
}

} // namespace tidewell::win32
