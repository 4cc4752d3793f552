// The files adapter on a real folder of the prefix: read-only and locked files, links outside.
#include "RunTestSupport.h"
#include "run/FolderSafety.h"
#include "run/win32/Win32Files.h"
#include "win32common/Text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>

namespace tidewell {
namespace {

using test::Exists;
using test::ScratchFolder;
using test::WriteFileText;
using win32common::Utf8ToWide;
using win32common::WideToUtf8;

std::string ComparableLower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::vector<std::string> Names(const std::vector<FolderItem>& items) {
    std::vector<std::string> names;
    for (const FolderItem& item : items) {
        names.push_back(item.name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

TEST(FilesAdapter, SpecialFoldersAreTheWindowsAndTemporaryFolders) {
    win32::Win32Files files;
    wchar_t windows[MAX_PATH] = {};
    ASSERT_GT(GetWindowsDirectoryW(windows, MAX_PATH), 0u);
    EXPECT_EQ(files.SpecialFolderPath(SpecialFolder::Windows), win32common::WideToUtf8(windows));
    wchar_t temp[MAX_PATH + 1] = {};
    ASSERT_GT(GetTempPathW(MAX_PATH + 1, temp), 0u);
    std::wstring expected = temp;
    expected.pop_back(); // GetTempPath ends with a separator; folder paths here do not
    EXPECT_EQ(files.SpecialFolderPath(SpecialFolder::Temporary), win32common::WideToUtf8(expected));

    EXPECT_TRUE(files.FolderExists(files.SpecialFolderPath(SpecialFolder::Windows)));
    EXPECT_TRUE(files.FolderExists(files.SpecialFolderPath(SpecialFolder::Temporary)));
    EXPECT_FALSE(files.FolderExists(""));
    EXPECT_FALSE(files.FolderExists("C:\\no such folder\\at all"));
    EXPECT_FALSE(files.FolderExists(files.SpecialFolderPath(SpecialFolder::Windows) +
                                    "\\system32\\kernel32.dll"));
}

TEST(FilesAdapter, SystemFoldersAndFullPaths) {
    win32::Win32Files files;
    const SystemFolders folders = files.Folders();
    EXPECT_EQ(folders.windows, files.SpecialFolderPath(SpecialFolder::Windows));
    EXPECT_EQ(folders.system, folders.windows + "\\system32");
    ASSERT_FALSE(folders.programFiles.empty());
    EXPECT_EQ(folders.programFiles[0], "C:\\Program Files");
    // Wine: C:\users; Windows: C:\Users.
    EXPECT_EQ(ComparableLower(folders.profiles), "c:\\users");

    EXPECT_EQ(files.FullPath("C:\\windows\\system32\\..\\temp\\"), folders.windows + "\\temp");
    // Wine makes no short names by default; where there is one, it is spelt out in full.
    wchar_t shortName[MAX_PATH] = {};
    if (GetShortPathNameW(L"C:\\Program Files", shortName, MAX_PATH) > 0 &&
        std::wstring_view(shortName) != L"C:\\Program Files") {
        EXPECT_EQ(files.FullPath(win32common::WideToUtf8(shortName)), "C:\\Program Files");
    }
}

TEST(FilesAdapter, DeletionWithoutForceLeavesReadOnlyAndLockedFiles) {
    ScratchFolder folder(L"TidewellFiles");
    ASSERT_TRUE(folder.Created());
    ASSERT_TRUE(WriteFileText(folder / L"plain.txt"));
    ASSERT_TRUE(WriteFileText(folder / L"readonly.txt"));
    ASSERT_TRUE(SetFileAttributesW((folder / L"readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteFileText(folder / L"locked.txt"));
    HANDLE locked = CreateFileW((folder / L"locked.txt").c_str(), GENERIC_READ, 0, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CreateDirectoryW((folder / L"one").c_str(), nullptr));
    ASSERT_TRUE(CreateDirectoryW((folder / L"one\\deeper").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(folder / L"one\\deeper\\a.txt"));
    ASSERT_TRUE(WriteFileText(folder / L"one\\b.txt"));
    ASSERT_TRUE(CreateDirectoryW((folder / L"two").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(folder / L"two\\keep.txt"));
    ASSERT_TRUE(SetFileAttributesW((folder / L"two\\keep.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteFileText(folder / L"two\\gone.txt"));

    win32::Win32Files files;
    const std::string root = win32common::WideToUtf8(folder.Path());
    const FolderContents contents = files.Contents(root + "\\"); // a trailing separator is fine
    EXPECT_EQ(Names(contents.files),
              (std::vector<std::string>{"locked.txt", "plain.txt", "readonly.txt"}));
    EXPECT_EQ(Names(contents.subFolders), (std::vector<std::string>{"one", "two"}));
    for (const FolderItem& item : contents.files) {
        EXPECT_EQ(item.path, root + "\\" + item.name);
    }

    EXPECT_TRUE(files.RemoveFile(root + "\\plain.txt"));
    EXPECT_FALSE(Exists(folder / L"plain.txt"));
    EXPECT_FALSE(files.RemoveFile(root + "\\readonly.txt"));
    EXPECT_TRUE(Exists(folder / L"readonly.txt"));
    EXPECT_FALSE(files.RemoveFile(root + "\\locked.txt"));
    EXPECT_TRUE(Exists(folder / L"locked.txt"));
    EXPECT_FALSE(files.RemoveFile(root + "\\plain.txt")) << "already gone";
    EXPECT_FALSE(files.RemoveFile(root + "\\one")) << "a folder is no file";
    EXPECT_FALSE(files.RemoveFile(""));

    EXPECT_TRUE(files.RemoveFolder(root + "\\one"));
    EXPECT_FALSE(Exists(folder / L"one"));
    // Part-way: what could go is gone, the read-only file and its folder stay.
    EXPECT_FALSE(files.RemoveFolder(root + "\\two"));
    EXPECT_TRUE(Exists(folder / L"two\\keep.txt"));
    EXPECT_FALSE(Exists(folder / L"two\\gone.txt"));
    EXPECT_FALSE(files.RemoveFolder(root + "\\two\\keep.txt")) << "a file is no folder";
    EXPECT_FALSE(files.RemoveFolder(root + "\\missing"));
    EXPECT_FALSE(files.RemoveFolder(""));

    // A folder holding a locked file cannot go either.
    CloseHandle(locked);
    EXPECT_TRUE(files.RemoveFile(root + "\\locked.txt")) << "no longer open";
}

// Nothing holds these, so they go like any other item, each logged with its size.
TEST(FilesAdapter, LongPathsDeepTreesAndNamesEndingInADotOrASpaceAreDeleted) {
    ScratchFolder folder(L"TidewellOdd");
    ASSERT_TRUE(folder.Created());
    const std::wstring extended = L"\\\\?\\" + folder.Path();
    // A file whose full path is over 260 characters.
    std::wstring longFolder = extended + L"\\" + std::wstring(120, L'l');
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    longFolder += L"\\" + std::wstring(120, L'm');
    ASSERT_TRUE(CreateDirectoryW(longFolder.c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(longFolder + L"\\" + std::wstring(40, L'f') + L".txt", "long"));
    // A tree 60 levels deep.
    std::wstring deep = extended + L"\\deep";
    for (int level = 0; level < 60; ++level) {
        ASSERT_TRUE(CreateDirectoryW(deep.c_str(), nullptr)) << level;
        deep += L"\\level" + std::to_wstring(level);
    }
    ASSERT_TRUE(WriteFileText(deep.substr(0, deep.rfind(L'\\')) + L"\\bottom.txt", "deep"));
    // Names the ordinary path rules would alter.
    ASSERT_TRUE(WriteFileText(extended + L"\\dot.", "d"));
    ASSERT_TRUE(WriteFileText(extended + L"\\space ", "s"));
    ASSERT_TRUE(CreateDirectoryW((extended + L"\\folder.").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(extended + L"\\folder.\\inner ", "i"));

    win32::Win32Files files;
    const std::string root = win32common::WideToUtf8(folder.Path());
    const FolderContents contents = files.Contents(root);
    EXPECT_EQ(Names(contents.files), (std::vector<std::string>{"dot.", "space "}));
    for (const FolderItem& item : contents.files) {
        const Removal removal = files.RemoveFile(item.path);
        EXPECT_TRUE(removal.Complete())
            << item.path << " reason "
            << (removal.kept.empty() ? -1 : static_cast<int>(removal.kept[0].reason));
        ASSERT_EQ(removal.removed.size(), 1u) << item.path;
        EXPECT_EQ(removal.removed[0].bytes, 1u);
    }
    for (const FolderItem& item : contents.subFolders) {
        const Removal removal = files.RemoveFolder(item.path);
        EXPECT_TRUE(removal.Complete()) << item.path;
        for (const KeptItem& kept : removal.kept) {
            ADD_FAILURE() << "left alone: " << kept.path << " (" << static_cast<int>(kept.reason)
                          << ")";
        }
    }
    EXPECT_TRUE(files.Contents(root).files.empty());
    EXPECT_TRUE(files.Contents(root).subFolders.empty());
}

TEST(FilesAdapter, WhatStaysCarriesTheRealReason) {
    ScratchFolder folder(L"TidewellReasons");
    ASSERT_TRUE(folder.Created());
    ASSERT_TRUE(WriteFileText(folder / L"readonly.txt"));
    ASSERT_TRUE(SetFileAttributesW((folder / L"readonly.txt").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteFileText(folder / L"open.txt"));
    HANDLE open = CreateFileW((folder / L"open.txt").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(CreateDirectoryW((folder / L"sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(folder / L"sub\\gone.txt", "12345"));
    ASSERT_TRUE(WriteFileText(folder / L"sub\\kept.txt"));
    ASSERT_TRUE(SetFileAttributesW((folder / L"sub\\kept.txt").c_str(), FILE_ATTRIBUTE_READONLY));

    win32::Win32Files files;
    const std::string root = win32common::WideToUtf8(folder.Path());
    const auto reasonOf = [](const Removal& removal) {
        return removal.kept.empty() ? KeptReason::Failed : removal.kept.front().reason;
    };
    EXPECT_EQ(reasonOf(files.RemoveFile(root + "\\readonly.txt")), KeptReason::ReadOnly);
    EXPECT_EQ(reasonOf(files.RemoveFile(root + "\\open.txt")), KeptReason::InUse);
    EXPECT_EQ(reasonOf(files.RemoveFile(root + "\\missing.txt")), KeptReason::Missing);
    const Removal sub = files.RemoveFolder(root + "\\sub");
    ASSERT_EQ(sub.removed.size(), 1u);
    EXPECT_EQ(sub.removed[0].bytes, 5u);
    ASSERT_EQ(sub.kept.size(), 2u);
    EXPECT_EQ(sub.kept[0].reason, KeptReason::ReadOnly);
    EXPECT_EQ(sub.kept[1].path, root + "\\sub");
    EXPECT_EQ(sub.kept[1].reason, KeptReason::NotEmpty);
    CloseHandle(open);
}

TEST(FilesAdapter, TheUsersOwnFoldersAndTheLogFile) {
    win32::Win32Files files;
    const SystemFolders folders = files.Folders();
    EXPECT_GE(folders.userContent.size(), 7u);
    ASSERT_EQ(folders.appData.size(), 2u);
    for (const std::string& folder : folders.userContent) {
        EXPECT_TRUE(IsFolderNeverCleaned(folder + "\\Cache", folders)) << folder;
    }
    EXPECT_TRUE(IsFolderNeverCleaned(folders.appData[0] + "\\..", folders));
    EXPECT_FALSE(IsFolderNeverCleaned(folders.appData[1] + "\\Cache", folders));

    ScratchFolder folder(L"TidewellLog");
    ASSERT_TRUE(folder.Created());
    const std::string log = win32common::WideToUtf8(folder.Path()) + "\\Maintenance Log.txt";
    EXPECT_EQ(files.ReadText(log), "");
    EXPECT_TRUE(files.AppendText(log, "one\r\n"));
    EXPECT_TRUE(files.AppendText(log, "two\r\n"));
    EXPECT_EQ(files.ReadText(log), "one\r\ntwo\r\n");
    EXPECT_TRUE(files.WriteText(log, "two\r\n"));
    EXPECT_EQ(files.ReadText(log), "two\r\n");
    EXPECT_FALSE(
        files.AppendText(win32common::WideToUtf8(folder.Path()) + "\\missing\\log.txt", "x"));
    EXPECT_EQ(files.LocalTimestamp().size(), 19u);
}

TEST(FilesAdapter, LinksInsideAreNeverFollowed) {
    ScratchFolder outside(L"TidewellOutside");
    ScratchFolder inside(L"TidewellInside");
    ASSERT_TRUE(outside.Created() && inside.Created());
    ASSERT_TRUE(WriteFileText(outside / L"precious.txt", "keep me"));
    ASSERT_TRUE(CreateDirectoryW((outside / L"inner").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(outside / L"inner\\also.txt", "keep me too"));
    ASSERT_TRUE(CreateDirectoryW((inside / L"sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileText(inside / L"sub\\junk.txt"));
    ASSERT_TRUE(WriteFileText(inside / L"junk.txt"));
    if (test::HostPath(inside.Path()).empty()) {
        GTEST_SKIP() << "no host symbolic links here (not Wine)";
    }
    ASSERT_TRUE(test::MakeHostLink(outside.Path(), inside / L"link"));
    ASSERT_TRUE(test::MakeHostLink(outside.Path(), inside / L"sub\\nested"));
    ASSERT_TRUE(test::MakeHostLink(outside / L"precious.txt", inside / L"filelink"));

    // Wine shows a host link to a folder as a folder with the reparse-point attribute.
    const DWORD attributes = GetFileAttributesW((inside / L"link").c_str());
    EXPECT_EQ(attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT),
              static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
        << std::hex << attributes;

    win32::Win32Files files;
    const std::string root = win32common::WideToUtf8(inside.Path());
    const FolderContents contents = files.Contents(root);
    EXPECT_EQ(Names(contents.subFolders), (std::vector<std::string>{"link", "sub"}));

    EXPECT_FALSE(files.RemoveFolder(root + "\\link"));
    EXPECT_FALSE(files.RemoveFile(root + "\\link"));
    // The link inside a sub-folder stays, so the sub-folder does; the rest of it goes.
    EXPECT_FALSE(files.RemoveFolder(root + "\\sub"));
    EXPECT_FALSE(Exists(inside / L"sub\\junk.txt"));
    EXPECT_TRUE(Exists(inside / L"sub\\nested"));
    // A link to a file: removing it may remove the link only, never what it points at.
    EXPECT_FALSE(files.RemoveFile(root + "\\filelink"));
    EXPECT_TRUE(files.RemoveFile(root + "\\junk.txt"));

    EXPECT_EQ(test::ReadAll(outside / L"precious.txt"), "keep me");
    EXPECT_EQ(test::ReadAll(outside / L"inner\\also.txt"), "keep me too");

    // A link to the Windows folder is, for the folder checks, the Windows folder.
    ASSERT_TRUE(
        test::MakeHostLink(win32common::Utf8ToWide(files.Folders().windows), inside / L"winlink"));
    EXPECT_EQ(ComparableLower(files.FullPath(root + "\\winlink")),
              ComparableLower(files.Folders().windows));
    EXPECT_TRUE(IsFolderNeverCleaned(files.FullPath(root + "\\winlink"), files.Folders()));
    EXPECT_TRUE(test::RemoveHostLink(inside / L"winlink"));

    EXPECT_TRUE(test::RemoveHostLink(inside / L"link"));
    EXPECT_TRUE(test::RemoveHostLink(inside / L"sub\\nested"));
    test::RemoveHostLink(inside / L"filelink");
    EXPECT_TRUE(Exists(outside / L"inner\\also.txt"));
}

} // namespace
} // namespace tidewell
