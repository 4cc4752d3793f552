// The programs adapter with the stand-ins: window styles, activation, keys, the end of a task.
#include "RunTestSupport.h"
#include "run/ChangePriority.h"
#include "run/ProgramError.h"
#include "run/WindowExists.h"
#include "run/win32/Win32ProcessPriority.h"
#include "run/win32/Win32Programs.h"
#include "win32common/Text.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <map>

namespace tidewell {
namespace {

using test::Eventually;
using test::ScratchFolder;
using win32common::WideToUtf8;

std::wstring StandInsFolder() {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder = path;
    folder.resize(folder.find_last_of(L'\\')); // ...\tests\app_wine
    folder.resize(folder.find_last_of(L'\\')); // ...\tests
    return folder + L"\\standins";
}

// A stand-in copied into the test's folder under the name a utility has; ended at the end.
class StandIns {
public:
    StandIns() : folder_(L"TidewellPrograms") {}
    ~StandIns() {
        for (const auto& [id, unused] : started_) {
            HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id);
            if (process != nullptr) {
                TerminateProcess(process, 1);
                WaitForSingleObject(process, 5000);
                CloseHandle(process);
            }
        }
    }
    bool Ready() const { return folder_.Created(); }

    std::wstring Copy(const wchar_t* kind, const std::wstring& asName) {
        const std::wstring to = folder_ / asName;
        CopyFileW((StandInsFolder() + L"\\standin_" + kind + L".exe").c_str(), to.c_str(), FALSE);
        return to;
    }
    void Started(std::optional<TaskId> task) {
        if (task) {
            started_[task->value] = true;
        }
    }
    std::string Log(const std::wstring& program) const { return test::ReadAll(program + L".log"); }
    bool LogHas(const std::wstring& program, const std::string& line) const {
        return Eventually([&] { return Log(program).find(line) != std::string::npos; });
    }

private:
    ScratchFolder folder_;
    std::map<DWORD, bool> started_;
};

HWND WindowOf(TaskId task) {
    struct Search {
        DWORD id;
        HWND found = nullptr;
    } search{task.value};
    EnumWindows(
        [](HWND window, LPARAM parameter) -> BOOL {
            auto* s = reinterpret_cast<Search*>(parameter);
            DWORD id = 0;
            GetWindowThreadProcessId(window, &id);
            wchar_t name[32] = {};
            GetClassNameW(window, name, 32);
            if (id == s->id && std::wstring_view(name) == L"TidewellStandIn") {
                s->found = window;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

TEST(ProgramsAdapter, EachWindowStyleReachesTheProgram) {
    StandIns standIns;
    ASSERT_TRUE(standIns.Ready());
    win32::Win32Programs programs;
    struct Row {
        WindowStyle style;
        const char* shown;
        int showCommand;
    };
    const Row rows[] = {
        {WindowStyle::NormalFocus, "shown visible=1 maximized=0", SW_SHOWNORMAL},
        {WindowStyle::NormalNoFocus, "shown visible=1 maximized=0", SW_SHOWNOACTIVATE},
        {WindowStyle::MaximizedFocus, "shown visible=1 maximized=1", SW_SHOWMAXIMIZED},
        {WindowStyle::Hidden, "shown visible=0 maximized=0", SW_HIDE},
    };
    for (const Row& row : rows) {
        const std::wstring name = L"style" + std::to_wstring(row.showCommand) + L".exe";
        const std::wstring program = standIns.Copy(L"recorder", name);
        const auto task = programs.Start(win32common::WideToUtf8(program), row.style);
        standIns.Started(task);
        ASSERT_TRUE(task) << "row " << (&row - rows);
        EXPECT_TRUE(standIns.LogHas(program, "style " + std::to_string(row.showCommand)))
            << standIns.Log(program);
        EXPECT_TRUE(standIns.LogHas(program, row.shown)) << standIns.Log(program);
        // A hidden task still has its window: the run's wait goes on while it runs.
        EXPECT_TRUE(programs.ActivateTask(*task)) << "row " << (&row - rows);
        PostMessageW(WindowOf(*task), WM_CLOSE, 0, 0);
        EXPECT_TRUE(Eventually([&] { return !programs.ActivateTask(*task); }))
            << "row " << (&row - rows);
    }
}

TEST(ProgramsAdapter, AMissingProgramIsALaunchFailure) {
    win32::Win32Programs programs;
    EXPECT_FALSE(programs.Start("c:\\windows\\cleanmgr.exe", WindowStyle::NormalNoFocus));
    EXPECT_FALSE(programs.Start("C:\\windows\\defrag c:", WindowStyle::MaximizedFocus));
    EXPECT_FALSE(programs.Start("", WindowStyle::NormalFocus));
    EXPECT_FALSE(programs.Start("\"", WindowStyle::NormalFocus));
}

TEST(ProgramsAdapter, ArgumentsAndAProgramNamedWithoutItsExtension) {
    StandIns standIns;
    ASSERT_TRUE(standIns.Ready());
    win32::Win32Programs programs;
    // "C:\windows\defrag c:" names defrag.exe; the recorder started with "/n" ends by itself.
    const std::wstring program = standIns.Copy(L"recorder", L"defrag.exe");
    std::string withoutExtension = win32common::WideToUtf8(program);
    withoutExtension.resize(withoutExtension.size() - 4);
    const auto task = programs.Start(withoutExtension + " c:/n", WindowStyle::Hidden);
    standIns.Started(task);
    ASSERT_TRUE(task);
    EXPECT_TRUE(programs.ActivateTask(*task));
    EXPECT_TRUE(Eventually([&] { return !programs.ActivateTask(*task); },
                           std::chrono::milliseconds(10000)));
    EXPECT_TRUE(standIns.LogHas(program, "closed"));
}

TEST(ProgramsAdapter, AProgramThatClosesAtOnceIsGoneOnTheFirstChecks) {
    StandIns standIns;
    ASSERT_TRUE(standIns.Ready());
    win32::Win32Programs programs;
    const auto task =
        programs.Start(win32common::WideToUtf8(standIns.Copy(L"quick", L"cleanmgr.exe")),
                       WindowStyle::NormalNoFocus);
    standIns.Started(task);
    ASSERT_TRUE(task);
    EXPECT_TRUE(Eventually([&] { return !WindowExists(programs, "", task); }));
}

TEST(ProgramsAdapter, ActivationByTaskAndByTitle) {
    StandIns standIns;
    ASSERT_TRUE(standIns.Ready());
    win32::Win32Programs programs;
    const std::wstring first = standIns.Copy(L"recorder", L"scandskw.exe");
    const std::wstring second = standIns.Copy(L"window", L"other.exe");
    const auto scanDisk = programs.Start(win32common::WideToUtf8(first), WindowStyle::NormalFocus);
    standIns.Started(scanDisk);
    const auto other = programs.Start(win32common::WideToUtf8(second), WindowStyle::NormalFocus);
    standIns.Started(other);
    ASSERT_TRUE(scanDisk && other);
    ASSERT_TRUE(Eventually([&] { return WindowOf(*scanDisk) && WindowOf(*other); }));
    ASSERT_TRUE(Eventually([&] { return IsWindowVisible(WindowOf(*other)) != FALSE; }));

    // The run activates on every poll of its waits; so does this test, because Wine hands the
    // foreground over asynchronously and now and then drops a request made while focus moves.
    EXPECT_TRUE(Eventually([&] {
        EXPECT_TRUE(programs.ActivateTask(*other));
        return GetForegroundWindow() == WindowOf(*other);
    }));
    // The stand-in copied as scandskw.exe carries ScanDisk's title.
    EXPECT_TRUE(Eventually([&] {
        EXPECT_TRUE(WindowExists(programs, "ScanDisk", std::nullopt));
        return GetForegroundWindow() == WindowOf(*scanDisk);
    }));
    EXPECT_TRUE(standIns.LogHas(first, "activated"));
    EXPECT_FALSE(programs.ActivateWindow("No Window Has This Title 7c1f"));

    // A minimised window is restored as it comes to the front.
    ShowWindow(WindowOf(*other), SW_MINIMIZE);
    ASSERT_TRUE(Eventually([&] { return IsIconic(WindowOf(*other)) != FALSE; }));
    EXPECT_TRUE(Eventually([&] {
        EXPECT_TRUE(programs.ActivateTask(*other));
        return IsIconic(WindowOf(*other)) == FALSE;
    }));
}

TEST(ProgramsAdapter, KeysArriveAtTheActiveWindow) {
    StandIns standIns;
    ASSERT_TRUE(standIns.Ready());
    win32::Win32Programs programs;
    const std::wstring program = standIns.Copy(L"recorder", L"scandskw.exe");
    const auto task = programs.Start(win32common::WideToUtf8(program), WindowStyle::NormalFocus);
    standIns.Started(task);
    ASSERT_TRUE(task);
    ASSERT_TRUE(standIns.LogHas(program, "shown"));
    ASSERT_TRUE(Eventually([&] {
        EXPECT_TRUE(programs.ActivateTask(*task));
        return GetForegroundWindow() == WindowOf(*task);
    }));

    EXPECT_TRUE(SendKeys(programs, "%(A){TAB}{ENTER}b\xC3\xA9"));
    EXPECT_FALSE(SendKeys(programs, "%(A")) << "bad notation sends nothing";
    // Alt+A is a system key (Alt itself first); Tab and Enter plain keys; "b" a key and its char.
    // The last key: a character with no key of its own arrives as typed text.
    EXPECT_TRUE(standIns.LogHas(program, "char 00E9")) << standIns.Log(program);
    const std::string log = standIns.Log(program);
    const auto at = [&](const char* line) { return log.find(line); };
    EXPECT_NE(at("syskey 12"), std::string::npos) << log;
    EXPECT_NE(at("syskey 41"), std::string::npos) << log;
    EXPECT_NE(at("syschar 0061"), std::string::npos) << log;
    EXPECT_LT(at("syskey 41"), at("key 09")) << log;
    EXPECT_LT(at("key 09"), at("key 0D")) << log;
    EXPECT_LT(at("key 0D"), at("key 42")) << log;
    EXPECT_LT(at("key 42"), at("char 0062")) << log;
    EXPECT_LT(at("char 0062"), at("char 00E9")) << log;
    EXPECT_EQ(GetAsyncKeyState(VK_MENU) & 0x8000, 0) << "Alt left down";
}

TEST(PriorityAdapter, ChangesThisProcessesPriorityClass) {
    win32::Win32ProcessPriority port;
    const DWORD before = GetPriorityClass(GetCurrentProcess());
    std::int32_t priorityClass = kHighPriorityClass;
    EXPECT_TRUE(ChangePriority(port, priorityClass));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(HIGH_PRIORITY_CLASS));
    priorityClass = kNormalPriorityClass;
    EXPECT_TRUE(ChangePriority(port, priorityClass));
    EXPECT_EQ(GetPriorityClass(GetCurrentProcess()), static_cast<DWORD>(NORMAL_PRIORITY_CLASS));
    // A class the system does not know is refused, not reported as done.
    priorityClass = 0x12345;
    EXPECT_FALSE(ChangePriority(port, priorityClass));
    SetPriorityClass(GetCurrentProcess(), before);
}

} // namespace
} // namespace tidewell
