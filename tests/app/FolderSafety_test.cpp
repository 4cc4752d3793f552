#include "run/FolderSafety.h"

#include <gtest/gtest.h>

namespace tidewell {
namespace {

SystemFolders Folders() {
    SystemFolders folders;
    folders.windows = "C:\\WINDOWS";
    folders.system = "C:\\WINDOWS\\system32";
    folders.programFiles = {"C:\\Program Files", "C:\\Program Files (x86)"};
    folders.profiles = "C:\\Users";
    return folders;
}

TEST(FolderSafety, ComparableSpelling) {
    struct Row {
        const char* path;
        const char* comparable;
    };
    const Row rows[] = {
        {"C:\\Windows\\", "c:\\windows"},
        {"c:/windows//temp/", "c:\\windows\\temp"},
        {"C:\\Windows\\.\\Temp\\..\\..", "c:"},
        {"C:\\..\\..\\Windows", "c:\\windows"},
        {"\\\\server\\share\\..\\..\\x", "\\\\server\\share\\x"},
        {"\\\\Server\\Share\\", "\\\\server\\share"},
        {"\\temp", "\\temp"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ComparablePath(row.path), row.comparable) << "path " << row.path;
    }
}

TEST(FolderSafety, ConfiguredCacheFolderNamingASystemPlaceIsNeverCleaned) {
    const char* refused[] = {
        "C:\\",
        "c:",
        "D:\\",
        "\\",
        "\\\\server\\share\\",
        "\\\\server",
        "C:\\Windows",
        "c:\\windows\\",
        "C:\\WINDOWS\\System32",
        "C:\\Windows\\Temp\\..",
        "C:\\Program Files",
        "C:\\program files (x86)\\",
        "C:\\Users",
        "C:\\Users\\alice",
        "C:\\users\\Bob\\",
        "C:\\Users\\alice\\..\\bob",
    };
    for (const char* path : refused) {
        EXPECT_TRUE(IsFolderNeverCleaned(path, Folders())) << "path " << path;
    }
    const char* allowed[] = {
        "C:\\WINDOWS\\Temporary Internet Files",
        "C:\\Users\\alice\\AppData\\Local\\Temp",
        "C:\\Users\\alice\\Cache",
        "C:\\Program Files Cache",
        "D:\\Cache",
        "\\\\server\\share\\cache",
        "C:\\Windowsx",
    };
    for (const char* path : allowed) {
        EXPECT_FALSE(IsFolderNeverCleaned(path, Folders())) << "path " << path;
    }
}

TEST(FolderSafety, AFolderHoldingASystemFolderIsNeverCleaned) {
    SystemFolders folders = Folders();
    folders.windows = "D:\\OS\\Windows";
    EXPECT_TRUE(IsFolderNeverCleaned("D:\\OS", folders));
    EXPECT_FALSE(IsFolderNeverCleaned("D:\\OSX", folders));
}

TEST(FolderSafety, TheUsersOwnFoldersAndAFolderHoldingAppDataAreNoCache) {
    SystemFolders folders = Folders();
    folders.userContent = {"C:\\Users\\me\\Documents", "D:\\Shared\\Pictures"};
    folders.appData = {"C:\\Users\\me\\AppData\\Roaming", "C:\\Users\\me\\AppData\\Local"};
    for (const char* path :
         {"c:\\users\\me\\documents\\", "C:\\Users\\me\\Documents\\Cache", "D:\\Shared",
          "D:/Shared/Pictures/Thumbs", "C:\\Users\\me\\AppData", "C:\\Users\\me\\AppData\\Local"}) {
        EXPECT_TRUE(IsFolderNeverCleaned(path, folders)) << path;
    }
    // Beside them or inside AppData is where caches live.
    for (const char* path : {"C:\\Users\\me\\DocumentsOld", "D:\\Shared\\PicturesCache",
                             "C:\\Users\\me\\AppData\\Local\\Microsoft\\Windows\\INetCache"}) {
        EXPECT_FALSE(IsFolderNeverCleaned(path, folders)) << path;
    }
}

} // namespace
} // namespace tidewell
