// The help class's adapters against the real hhctrl, version, kernel, user32 and registry.
#include "WindowTestSupport.h"

#include "fakes/FakePorts.h"
#include "help/ContextHelp.h"
#include "help/HTMLHelpAPI.h"
#include "help/win32/AnsiText.h"
#include "help/win32/Win32HelpAdapters.h"
#include "ports/MessageBox.h"

#include "PrivateRegistryKey.h"
#include "UiAutomation.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace tidewell::help;
using namespace tidewell::help::win32;

// A private folder under the temporary folder holding a copy of this build's help file.
class HelpFolder {
public:
    HelpFolder() {
        wchar_t temp[MAX_PATH] = {};
        GetTempPathW(MAX_PATH, temp);
        folder_ = std::filesystem::path(temp) /
                  (L"TidewellHelpTest " + std::to_wstring(GetCurrentProcessId()));
        std::filesystem::remove_all(folder_);
        std::filesystem::create_directories(folder_);
        std::string built = TIDEWELL_HELP_FILE;
        std::filesystem::copy_file(std::filesystem::path(L"Z:" + uidriver::FromUtf8(built)),
                                   folder_ / L"Tidewell! Help.chm");
    }
    ~HelpFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
    std::string Folder() const { return uidriver::ToUtf8(folder_.wstring()); }
    std::string HelpFile() const { return Folder() + "\\Tidewell! Help.chm"; }

private:
    std::filesystem::path folder_;
};

// The visible help viewer windows of this process.
std::vector<HWND> ViewerWindows() {
    std::vector<HWND> found;
    for (const auto& window : uidriver::TopLevelWindows(GetCurrentProcessId())) {
        if (window.visible && window.className == L"HH Parent") {
            found.push_back(window.handle);
        }
    }
    return found;
}

TEST(HtmlHelpAdapter, ContentsWindowOpensAndCloseAllClosesIt) {
    HelpFolder help;
    Win32HtmlHelp htmlHelp;
    const auto viewer =
        reinterpret_cast<HWND>(htmlHelp.Call(0, help.HelpFile(), hh::kDisplayToc, 0u));
    ASSERT_NE(viewer, nullptr);
    EXPECT_TRUE(IsWindow(viewer));
    EXPECT_EQ(uidriver::WindowText(viewer), L"Tidewell! Help") << "the help file's own title";
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), nullptr);

    // On Windows this shows the topic's text at the point; Wine's viewer does not implement text
    // popups and answers null, so only the call's safety is checked here.
    HhPopup popup;
    popup.idString = 20000;
    popup.pszFont = "Comic Sans MS, 8, ascii, ";
    htmlHelp.Call(0, help.HelpFile() + "::/Context.txt", hh::kDisplayTextPopup, popup);

    htmlHelp.Call(0, help.HelpFile(), hh::kCloseAll, 0u);
    EXPECT_TRUE(tidewell::test::PumpUntil([&] { return !IsWindow(viewer); }));
}

TEST(HtmlHelpAdapter, RecordsReachTheViewerInThePlatformsLayout) {
    HhPopup popup;
    popup.idString = 6000;
    popup.pt = {10, 20};
    popup.clrBackground = 0xFFFFFF;
    popup.pszFont = "Comic Sans MS, 8, ascii, ";
    const NativeHtmlHelpData nativePopup(popup);
    const HH_POPUP& p = nativePopup.Popup();
    EXPECT_EQ(nativePopup.Value(), reinterpret_cast<DWORD_PTR>(&p));
    EXPECT_EQ(p.cbStruct, static_cast<int>(sizeof(HH_POPUP)));
    EXPECT_EQ(p.hinst, nullptr);
    EXPECT_EQ(p.idString, 6000u);
    EXPECT_EQ(p.pszText, nullptr);
    EXPECT_EQ(p.pt.x, 10);
    EXPECT_EQ(p.pt.y, 20);
    EXPECT_EQ(p.clrForeground, 0u);
    EXPECT_EQ(p.clrBackground, 0xFFFFFFu);
    EXPECT_EQ(p.rcMargins.left, -1);
    EXPECT_EQ(p.rcMargins.top, -1);
    EXPECT_EQ(p.rcMargins.right, -1);
    EXPECT_EQ(p.rcMargins.bottom, -1);
    EXPECT_STREQ(p.pszFont, "Comic Sans MS, 8, ascii, ");

    HhAkLink link;
    link.pszKeywords = "Disk Cleanup";
    link.pszWindow = "Main";
    const NativeHtmlHelpData nativeLink(link);
    const HH_AKLINK& a = nativeLink.AkLink();
    EXPECT_EQ(a.cbStruct, static_cast<int>(sizeof(HH_AKLINK)));
    EXPECT_STREQ(a.pszKeywords, "Disk Cleanup");
    EXPECT_EQ(a.pszUrl, nullptr);
    EXPECT_EQ(a.pszMsgText, nullptr);
    EXPECT_EQ(a.pszMsgTitle, nullptr);
    EXPECT_STREQ(a.pszWindow, "Main");
    EXPECT_FALSE(a.fIndexOnFail);

    const NativeHtmlHelpData nativeQuery(HhFtsQuery{false, "", 0, false, false, true, ""});
    const HH_FTS_QUERY& q = nativeQuery.FtsQuery();
    EXPECT_EQ(q.cbStruct, static_cast<int>(sizeof(HH_FTS_QUERY)));
    ASSERT_NE(q.pszSearchQuery, nullptr) << "an empty query, not a null one";
    EXPECT_STREQ(q.pszSearchQuery, "");
    EXPECT_TRUE(q.fExecute);
    ASSERT_NE(q.pszWindow, nullptr);

    const NativeHtmlHelpData topic(std::string("html/defrag.htm"));
    EXPECT_STREQ(reinterpret_cast<const char*>(topic.Value()), "html/defrag.htm");
    EXPECT_EQ(NativeHtmlHelpData(std::uint32_t{0xFFFFFFFF}).Value(), 0xFFFFFFFFu);
}

// The Help button through every real adapter: the contents open without an owner, and the main
// window's closing closes them.
TEST(HtmlHelpAdapter, HelpButtonOpensTheContentsAndClosingTheProgramClosesThem) {
    HelpFolder help;
    tidewell::fakes::FakeProcess process;
    process.executableFolder = help.Folder();
    Win32HelpAdapters adapters(process);
    struct NoBox : tidewell::MessageBoxPort {
        int Show(std::string_view text, unsigned, std::string_view) override {
            ADD_FAILURE() << "unexpected box: " << text;
            return 1;
        }
    } noBox;
    std::vector<bool> pointer;
    ContextHelp contextHelp(adapters.appHelp, noBox, [&](bool busy) { pointer.push_back(busy); });

    ASSERT_TRUE(ViewerWindows().empty());
    contextHelp.cmdHelp_Click();
    ASSERT_TRUE(tidewell::test::PumpUntil([] { return !ViewerWindows().empty(); }));
    const HWND viewer = ViewerWindows().front();
    EXPECT_EQ(GetWindow(viewer, GW_OWNER), nullptr);
    EXPECT_EQ(pointer, (std::vector<bool>{true, false}));

    adapters.appHelp.CloseAndRelease();
    EXPECT_TRUE(tidewell::test::PumpUntil([&] { return !IsWindow(viewer); }));
    EXPECT_FALSE(adapters.appHelp.Exists());
}

// Both ways use the system's ANSI code page, whatever it is: every byte it defines comes back.
TEST(HelpAnsiText, TextBeyondAsciiRoundTripsThroughTheSystemsCodePage) {
    const std::string text = "Hilfe f\xC3\xBCr Tidewell \xC2\xA9 \xE2\x82\xAC";
    EXPECT_EQ(FromAnsi(ToAnsi(text)), text);
    for (int byte = 0x80; byte <= 0xFF; ++byte) {
        const char ansi = static_cast<char>(byte);
        wchar_t wide[2] = {};
        if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &ansi, 1, wide, 2) != 1) {
            continue;
        }
        const std::string utf8 = FromAnsi(std::string(1, ansi));
        char expected[8] = {};
        WideCharToMultiByte(CP_UTF8, 0, wide, 1, expected, sizeof(expected), nullptr, nullptr);
        EXPECT_EQ(utf8, expected) << "byte " << byte;
        EXPECT_EQ(ToAnsi(utf8), std::string(1, ansi)) << "byte " << byte;
    }
}

TEST(HelpSystemAdapter, VersionInformationOfARealFile) {
    wchar_t self[MAX_PATH] = {};
    ASSERT_GT(GetModuleFileNameW(nullptr, self, MAX_PATH), 0u);
    Win32HelpSystem system;
    const auto parts = system.FileVersion(uidriver::ToUtf8(self));
    ASSERT_TRUE(parts.has_value());
    EXPECT_EQ(parts->major, 4);
    EXPECT_EQ(parts->minor, 72);
    EXPECT_EQ(parts->build, 40000);
    EXPECT_EQ(parts->revision, 2);

    HelpFolder help; // a file without a version block, and no file at all
    EXPECT_FALSE(system.FileVersion(help.HelpFile()).has_value());
    EXPECT_FALSE(system.FileVersion(help.Folder() + "\\missing.dll").has_value());
}

TEST(HelpSystemAdapter, LongPathOfAShortPathAndFileSearch) {
    HelpFolder help;
    const std::filesystem::path folder = uidriver::FromUtf8(help.Folder());
    const std::filesystem::path longFolder = folder / L"Long Folder Name For Help";
    std::filesystem::create_directories(longFolder);
    const std::filesystem::path longFile = longFolder / L"Tidewell Long Name.chm";
    std::filesystem::copy_file(folder / L"Tidewell! Help.chm", longFile);

    wchar_t shortPath[MAX_PATH] = {};
    ASSERT_GT(GetShortPathNameW(longFile.c_str(), shortPath, MAX_PATH), 0u);
    ASSERT_NE(std::wstring(shortPath), longFile.wstring()) << "no 8.3 name to test with";

    Win32HelpSystem system;
    EXPECT_EQ(system.LongPathName(uidriver::ToUtf8(shortPath)),
              std::optional<std::string>(uidriver::ToUtf8(longFile.wstring())));
    EXPECT_FALSE(system.LongPathName(help.Folder() + "\\missing\\x.chm").has_value());
    // Longer than the 256-character buffer: no answer rather than a cut path.
    EXPECT_FALSE(system.LongPathName(help.Folder() + "\\" + std::string(300, 'a')).has_value());

    EXPECT_EQ(system.FindFile(uidriver::ToUtf8(longFile.wstring())),
              std::optional<std::string>("Tidewell Long Name.chm"));
    EXPECT_EQ(system.FindFile(uidriver::ToUtf8(longFolder.wstring())),
              std::optional<std::string>("Long Folder Name For Help"));
    EXPECT_FALSE(system.FindFile(help.Folder() + "\\nothing.chm").has_value());
    EXPECT_FALSE(system.FindFile("").has_value());
}

TEST(HelpSystemAdapter, CursorEnvironmentAndPlatformVersion) {
    Win32HelpSystem system;
    ASSERT_TRUE(SetCursorPos(123, 234));
    EXPECT_EQ(system.CursorPosition(), (std::optional<ScreenPoint>(ScreenPoint{123, 234})));

    ASSERT_TRUE(SetEnvironmentVariableA("TIDEWELL_HELP_TEST", "C:\\Expanded"));
    EXPECT_EQ(system.ExpandEnvironment("%TIDEWELL_HELP_TEST%\\Help\\"), "C:\\Expanded\\Help\\");
    EXPECT_EQ(system.ExpandEnvironment("no variables"), "no variables");

    const auto version = system.WindowsVersionInfo();
    ASSERT_TRUE(version.has_value());
    EXPECT_EQ(version->platformId, kPlatformNt);
    EXPECT_GE(version->majorVersion, 5u);
}

// Answers the help class's box from another thread, as a user would.
TEST(HelpMessageBoxAdapter, ShowsTheClassCaptionWithoutAnOwner) {
    std::atomic<bool> pressed{false};
    std::wstring text;
    HWND owner = reinterpret_cast<HWND>(1);
    std::thread user([&] {
        const auto box =
            uidriver::WaitForMessageBox(L"Quillfen! Error", 10000ms, GetCurrentProcessId());
        if (!box) {
            return;
        }
        text = uidriver::MessageBoxText(*box);
        owner = GetWindow(*box, GW_OWNER);
        pressed = uidriver::PressMessageBoxButton(*box, IDOK, 5000ms);
    });
    Win32HelpMessageBox messageBox;
    const int answer = messageBox.ShowIndirect({0,
                                                "The file C:\\x.chm does not exist.\nPlease make "
                                                "sure that you have installed Orvane Help files",
                                                "Quillfen! Error", style::kOkStop});
    user.join();
    EXPECT_TRUE(pressed);
    EXPECT_EQ(answer, IDOK);
    EXPECT_EQ(owner, nullptr);
    EXPECT_EQ(uidriver::ToUtf8(text), "The file C:\\x.chm does not exist.\nPlease make sure that "
                                      "you have installed Orvane Help files");
}

class HelpRegistryAdapter : public ::testing::Test {
protected:
    const testsupport::PrivateRegistryKey key_{std::string("HelpRegistryAdapter")};
    const std::string path_ = key_.NarrowPath();
    const char* const kPath = path_.c_str();
    Win32HelpRegistry registry;
};

TEST_F(HelpRegistryAdapter, WritesEnumeratesReadsAndDeletesStringValues) {
    EXPECT_EQ(registry.OpenKey(reg::kCurrentUser, kPath, reg::kQueryValue), nullptr);
    {
        auto key =
            registry.CreateKey(reg::kCurrentUser, kPath, reg::kSetValue | reg::kCreateSubKey);
        ASSERT_NE(key, nullptr);
        // Long data ahead of the value looked for must not end the walk.
        EXPECT_TRUE(key->SetValue("Big", reg::kSz, std::string(5000, 'x')));
        EXPECT_TRUE(key->SetValue("Guide.chm", reg::kSz, "C:\\Help\\"));
        EXPECT_TRUE(key->SetValue("Expand", reg::kExpandSz, "%windir%\\Help\\"));
        EXPECT_TRUE(key->Close());
    }
    // Stored with the terminating NUL, as RegSetValueExA's length + 1.
    char raw[64] = {};
    DWORD size = sizeof(raw);
    DWORD type = 0;
    ASSERT_EQ(RegGetValueA(HKEY_CURRENT_USER, kPath, "Guide.chm", RRF_RT_ANY, &type, raw, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(size, 9u);

    auto key = registry.OpenKey(reg::kCurrentUser, kPath, reg::kQueryValue);
    ASSERT_NE(key, nullptr);
    std::vector<std::string> names;
    for (std::uint32_t index = 0; index < 10; ++index) {
        const auto entry = key->EnumValue(index);
        if (!entry) {
            break;
        }
        names.push_back(entry->name + ":" + std::to_string(entry->type));
    }
    // Windows enumerates in creation order here; Wine keeps a key's values sorted by name.
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Big:1", "Expand:2", "Guide.chm:1"}));
    EXPECT_EQ(key->QueryValue("GUIDE.CHM")->text, "C:\\Help\\");
    EXPECT_EQ(key->QueryValue("Expand")->type, reg::kExpandSz);
    EXPECT_EQ(key->QueryValue("Expand")->text, "%windir%\\Help\\") << "expanding is the core's";
    EXPECT_EQ(key->QueryValue("Big")->text.size(), 5000u);
    EXPECT_FALSE(key->QueryValue("missing").has_value());
    EXPECT_FALSE(key->DeleteValue("Guide.chm")) << "opened for query only";
    EXPECT_TRUE(key->Close());

    auto writable = registry.OpenKey(reg::kCurrentUser, kPath, reg::kSetValue);
    ASSERT_NE(writable, nullptr);
    EXPECT_TRUE(writable->DeleteValue("Guide.chm"));
    EXPECT_FALSE(writable->DeleteValue("Guide.chm"));
    auto full = registry.OpenKey(reg::kCurrentUser, kPath, reg::kAllAccess);
    EXPECT_NE(full, nullptr);
}

// Registration through every real adapter, in the prefix's own HTML Help key.
TEST(HelpRegistration, RegisterCheckAndUnregisterAHelpFile) {
    HelpFolder help;
    tidewell::fakes::FakeProcess process;
    Win32HelpAdapters adapters(process);
    HTMLHelpAPI& api = adapters.appHelp.Get();
    const std::string registrationKey(HTMLHelpAPI::kRegistrationKey);
    const std::string valueName = "Tidewell! Help.chm";
    struct Cleanup {
        const std::string& key;
        const std::string& value;
        Cleanup(const std::string& k, const std::string& v) : key(k), value(v) { Remove(); }
        ~Cleanup() { Remove(); }
        void Remove() const { RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str()); }
    } cleanup(registrationKey, valueName);

    std::string file = help.HelpFile();
    api.HHRegister(file);
    char folder[MAX_PATH] = {};
    DWORD size = sizeof(folder);
    ASSERT_EQ(RegGetValueA(HKEY_LOCAL_MACHINE, registrationKey.c_str(), valueName.c_str(),
                           RRF_RT_REG_SZ, nullptr, folder, &size),
              ERROR_SUCCESS);
    EXPECT_EQ(std::string(folder), help.Folder() + "\\");

    std::string bare = valueName;
    api.HHCheckRegistry(bare);
    EXPECT_EQ(api.HHRegFileName(), valueName);
    EXPECT_EQ(api.HHRegFilePath(), help.Folder() + "\\");
    EXPECT_TRUE(api.HHRegFileExists());

    api.HHUnRegister(file);
    EXPECT_EQ(api.HHRegFileName(), "");
    EXPECT_NE(RegGetValueA(HKEY_LOCAL_MACHINE, registrationKey.c_str(), valueName.c_str(),
                           RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_SUCCESS);
}

} // namespace
