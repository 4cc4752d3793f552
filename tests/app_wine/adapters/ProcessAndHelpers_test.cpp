// The process, clock and library-helper adapters.
#include "controls/win32/Win32LibraryHelperControl.h"
#include "ports/win32/Win32Clock.h"
#include "ports/win32/Win32Process.h"

#include <windows.h>

#include <gtest/gtest.h>

namespace {

using tidewell::win32::ArgumentsAfterProgramName;

TEST(Process, ArgumentsAreWhatFollowsTheProgramName) {
    struct Row {
        const wchar_t* commandLine;
        const wchar_t* arguments;
    };
    const Row rows[] = {
        {L"tidewell.exe", L""},
        {L"tidewell.exe   ", L""},
        {L"\"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\"", L""},
        {L"\"C:\\Program Files\\Vellmoor\\Tidewell\\tidewell.exe\" /x", L"/x"},
        {L"C:\\tidewell.exe  a b", L"a b"},
        {L"  \"C:\\a b\\t.exe\"\t-", L"-"},
        {L"\"unterminated quote", L""},
        {L"", L""},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(ArgumentsAfterProgramName(row.commandLine), row.arguments)
            << "command line [" << std::wstring(row.commandLine).size() << " chars] row "
            << (&row - rows);
    }
}

TEST(Process, ExecutableNameAndFolderAreThoseOfThisProcess) {
    tidewell::win32::Win32Process process;
    EXPECT_EQ(process.ExecutableName(), "tidewell_win32_tests");
    const std::string folder = process.ExecutableFolder();
    ASSERT_FALSE(folder.empty());
    EXPECT_NE(folder.back(), '\\');
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    EXPECT_EQ(std::string(path), folder + "\\tidewell_win32_tests.exe");
    // The tests are started without arguments.
    EXPECT_EQ(process.CommandLine(), "");
}

TEST(Clock, TodayIsTheLocalDate) {
    tidewell::win32::Win32Clock clock;
    SYSTEMTIME before{};
    GetLocalTime(&before);
    const tidewell::CalendarDate today = clock.Today();
    SYSTEMTIME after{};
    GetLocalTime(&after);
    const tidewell::CalendarDate first{before.wYear, before.wMonth, before.wDay};
    const tidewell::CalendarDate last{after.wYear, after.wMonth, after.wDay};
    EXPECT_TRUE(today == first || today == last);
    EXPECT_GE(today.month, 1);
    EXPECT_LE(today.month, 12);
}

TEST(LibraryHelper, PhysicalMemoryIsTheInstalledMemory) {
    tidewell::win32::Win32LibraryHelperControl library;
    MEMORYSTATUSEX status{};
    status.dwLength = sizeof(status);
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    EXPECT_EQ(library.PhysicalMemory(), static_cast<std::int64_t>(status.ullTotalPhys));
    EXPECT_GT(library.PhysicalMemory(), 0);
}

} // namespace
