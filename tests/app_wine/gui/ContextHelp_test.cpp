// Context help and the Help button of the installed program, seen through Wine's own trace of
// the HtmlHelp calls (Wine's viewer shows no text popups, so the request itself is what counts).
#include "MainWindowUser.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iomanip>
#include <sstream>
#include <vector>

namespace {

using namespace gui;

constexpr wchar_t kHelpFile[] = L"C:\\Program Files\\Vellmoor\\Tidewell\\Tidewell! Help.chm";
constexpr wchar_t kHelpFileAside[] = L"C:\\Program Files\\Vellmoor\\Tidewell\\help.moved";

// Where `wine.sh traced` writes what Wine traces; empty when the test runs without it.
std::wstring TraceFile() {
    wchar_t path[MAX_PATH] = {};
    return GetEnvironmentVariableW(L"TIDEWELL_WINE_TRACE", path, MAX_PATH) != 0 ? path : L"";
}

// The HtmlHelpW lines of the trace.
std::vector<std::string> HelpCalls(const std::wstring& traceFile) {
    std::ifstream in(uidriver::ToUtf8(traceFile));
    std::vector<std::string> calls;
    std::string line;
    while (std::getline(in, line)) {
        if (line.find(":HtmlHelpW (") != std::string::npos) {
            calls.push_back(line);
        }
    }
    return calls;
}

std::string Hex(HWND window) {
    std::ostringstream text;
    text << std::hex << std::uppercase << std::setw(16) << std::setfill('0')
         << reinterpret_cast<std::uintptr_t>(window);
    return text.str();
}

// Moves the mouse across the control's middle with the keys held; the calls it caused.
std::vector<std::string> MoveOver(HWND control, std::initializer_list<WORD> keys,
                                  const std::wstring& traceFile) {
    const size_t before = HelpCalls(traceFile).size();
    RECT rect{};
    GetWindowRect(control, &rect);
    const POINT middle{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    if (keys.size() > 0) {
        uidriver::PressKeys(keys);
    }
    uidriver::MoveMouseTo({middle.x - 3, middle.y});
    Sleep(60);
    uidriver::MoveMouseTo({middle.x + 3, middle.y});
    Sleep(250);
    if (keys.size() > 0) {
        uidriver::ReleaseKeys(keys);
    }
    // Away from every control, over the window's title.
    uidriver::MoveMouseTo({rect.left, 5});
    Sleep(100);
    auto calls = HelpCalls(traceFile);
    return {calls.begin() + static_cast<std::ptrdiff_t>(std::min(before, calls.size())),
            calls.end()};
}

TEST(ContextHelp, ShiftOverEachControlAsksItsPopupAndHelpOpensTheContents) {
    const std::wstring trace = TraceFile();
    if (trace.empty()) {
        GTEST_SKIP() << "run through scripts/wine.sh traced, which collects Wine's trace";
    }
    PrepareLaterStart("No");
    {
        InstalledProgram program(L"", L"-all,+htmlhelp");
        ASSERT_TRUE(program.Started());
        const auto main = program.WaitForForm(MainTitle(), 30s);
        ASSERT_TRUE(main.has_value());
        SetForegroundWindow(*main);
        const User user(program, *main);

        const wchar_t* withHelp[] = {L"Optimize &Performance",
                                     L"&Scandisk For Errors",
                                     L"Show Current &User Run Entries",
                                     L"Show &Local Run Entries",
                                     L"Fi&x Problems",
                                     L"Free &Disk Space",
                                     L"Disk &Cleanup",
                                     L"Delete &TEMP Contents",
                                     L"&Optimize Performance",
                                     L"&Force IE To Delete Cache And History",
                                     L"Start Whe&n Windows Starts",
                                     L"Minimi&ze To System Tray",
                                     L"Set Re&minder",
                                     L"&Exit",
                                     L"St&art In System Tray",
                                     L"&Keep On Top",
                                     L"Start &With Selected Options"};
        for (const wchar_t* caption : withHelp) {
            SCOPED_TRACE(uidriver::ToUtf8(caption));
            const auto calls = MoveOver(user.Control(caption), {VK_SHIFT}, trace);
            ASSERT_FALSE(calls.empty()) << "no popup asked";
            for (const auto& call : calls) {
                EXPECT_NE(call.find("HtmlHelpW (" + Hex(*main) +
                                    ", L\"C:\\\\Program Files\\\\"
                                    "Vellmoor\\\\Tidewell\\\\Tidewell! "
                                    "Help.chm::/Context.txt\", "
                                    "command=HH_DISPLAY_TEXT_POPUP"),
                          std::string::npos)
                    << call;
            }
        }
        // SHIFT with CTRL, no SHIFT, and elements without a topic ask for nothing.
        EXPECT_TRUE(MoveOver(user.Control(L"&Keep On Top"), {VK_SHIFT, VK_CONTROL}, trace).empty());
        EXPECT_TRUE(MoveOver(user.Control(L"&Keep On Top"), {}, trace).empty());
        EXPECT_TRUE(MoveOver(user.Control(L"Help"), {VK_SHIFT}, trace).empty());
        EXPECT_TRUE(MoveOver(user.Control(L"Progress of Process:"), {VK_SHIFT}, trace).empty());
        EXPECT_TRUE(MoveOver(user.Control(L"Ready.  Press <SHIFT> Over An Element For "
                                          L"Context-Sensitive Help."),
                             {VK_SHIFT}, trace)
                        .empty());
        // Defrag is disabled at load: a disabled control has no mouse moves.
        EXPECT_TRUE(MoveOver(user.Control(L"Defragment &Hard Drive"), {VK_SHIFT}, trace).empty());

        // Without the help file: context help is silent and Help says so; back in place, it is
        // used at once.
        ASSERT_TRUE(MoveFileW(kHelpFile, kHelpFileAside));
        EXPECT_TRUE(MoveOver(user.Control(L"&Exit"), {VK_SHIFT}, trace).empty());
        ASSERT_TRUE(user.Click(L"Help"));
        user.Answer(L"Tidewell! Help",
                    L"Help File Could Not Be Found!\r\nContext-Sensitive Help Is Also Disabled!",
                    IDOK);
        ASSERT_TRUE(MoveFileW(kHelpFileAside, kHelpFile));
        EXPECT_FALSE(MoveOver(user.Control(L"&Exit"), {VK_SHIFT}, trace).empty());

        // Help opens the contents without an owner.
        ASSERT_TRUE(user.Click(L"Help"));
        ASSERT_TRUE(Eventually([&] {
            const auto calls = HelpCalls(trace);
            return !calls.empty() &&
                   calls.back().find("HtmlHelpW (0000000000000000, L\"C:\\\\Program Files\\\\"
                                     "Vellmoor\\\\Tidewell\\\\Tidewell! Help.chm\", "
                                     "command=HH_DISPLAY_TOC") != std::string::npos;
        }));

        // Closing the program closes every help window.
        PostMessageW(*main, WM_CLOSE, 0, 0);
        user.Answer(L"Close Tidewell?", L"Are You Sure You Want To Close The Program?", IDYES);
        EXPECT_TRUE(program.WaitForExit(15s).has_value());
    }
    const auto calls = HelpCalls(trace);
    ASSERT_FALSE(calls.empty());
    EXPECT_NE(calls.back().find("command=HH_CLOSE_ALL"), std::string::npos) << calls.back();
    MoveFileW(kHelpFileAside, kHelpFile);
}

} // namespace
