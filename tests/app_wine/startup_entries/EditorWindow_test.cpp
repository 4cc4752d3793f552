// The editor on its real window, with the registry library, message boxes, input boxes and the
// backup file all real, driven from a second thread as a user would. The Run keys are redirected
// to private keys, so the test never touches the prefix's own Run keys.
#include "StartupEntriesTestSupport.h"
#include "app_wine/RealApp.h"

#include "startup_entries/EditorTexts.h"
#include "startup_entries/StartupEntriesEditor.h"
#include "startup_entries/frmRegistry.h"
#include "startup_entries/win32/ComRegistryLibrary.h"
#include "startup_entries/win32/StartupEntriesAdapters.h"
#include "startup_entries/win32/Win32InputBox.h"
#include "startup_entries/win32/Win32TextFiles.h"
#include "win32common/Text.h"

#include "WindowUser.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <fstream>
#include <functional>
#include <map>
#include <iterator>
#include <thread>

namespace {

using namespace std::chrono_literals;
using namespace tidewell;

// The real library, with the two Run keys moved under HKCU\Software\TidewellTest.
class RedirectedRunKeys final : public RegistryLibrary {
public:
    RedirectedRunKeys(RegistryLibrary& real, std::string local, std::string user)
        : real_(real), local_(std::move(local)), user_(std::move(user)) {}
    std::unique_ptr<RegistryDatabaseObject> CreateDatabase() override {
        return std::make_unique<Database>(real_.CreateDatabase(), *this);
    }

private:
    class Database final : public RegistryDatabaseObject {
    public:
        Database(std::unique_ptr<RegistryDatabaseObject> real, RedirectedRunKeys& keys)
            : real_(std::move(real)), keys_(keys) {}
        std::unique_ptr<RegistryKeyObject> OpenKey(RegistryRoot root,
                                                   std::string_view path) override {
            return real_->OpenKey(kHkeyCurrentUser, keys_.Redirect(root, path));
        }
        std::unique_ptr<RegistryKeyObject> CreateKey(RegistryRoot root,
                                                     std::string_view path) override {
            return real_->CreateKey(kHkeyCurrentUser, keys_.Redirect(root, path));
        }

    private:
        std::unique_ptr<RegistryDatabaseObject> real_;
        RedirectedRunKeys& keys_;
    };

    std::string Redirect(RegistryRoot root, std::string_view path) const {
        EXPECT_TRUE(path == frmRegistry::kRunKeyPath || path == frmRegistry::kRunKeyPathBare)
            << path;
        return root == kHkeyLocalMachine ? local_ : user_;
    }

    RegistryLibrary& real_;
    std::string local_;
    std::string user_;
};

// The editor's real adapters over the registered library, its Run keys redirected to two
// private keys, and a scratch folder for its backup file.
struct RealEditorAdapters {
    RealEditorAdapters(const test::PrivateRegistryKey& local, const test::PrivateRegistryKey& user,
                       SharedObjects& shared)
        : redirected(comLibrary, local.NarrowPath(), user.NarrowPath()), holder(redirected, shared),
          base(win32common::WideToUtf8(temp.Path())) {}

    win32::ComRegistryLibrary comLibrary;
    RedirectedRunKeys redirected;
    RegistryDatabaseHolder holder;
    win32::Win32InputBox inputBox;
    win32::Win32TextFiles files;
    test::TemporaryFolder temp;
    std::string base; // the scratch folder, UTF-8
};

// What the user saw.
struct Seen {
    std::wstring cautionText;
    std::vector<std::wstring> localItems;
    std::vector<std::wstring> userItems;
    std::wstring shownData;
    std::wstring markedData;
    std::vector<std::wstring> userItemsAfterAdd;
    std::wstring bytesData;
    std::wstring replaceText;
};

constexpr uidriver::Milliseconds kBoxWait = 20s;
constexpr uidriver::Milliseconds kInputWait = 10s;

// The user at the editor, on the script's thread: its two lists and their two texts.
class EditorUser : public uidriver::WindowUser {
public:
    EditorUser() : WindowUser(GetCurrentProcessId()) {}

    bool Answer(const wchar_t* title, int button, std::wstring* text = nullptr) const {
        const auto shown = WindowUser::Answer(title, button, kBoxWait);
        if (shown && text) {
            *text = *shown;
        }
        return shown.has_value();
    }
    bool Type(const wchar_t* title, const std::wstring& text) const {
        return WindowUser::Type(title, text, kInputWait);
    }
    bool Cancel(const wchar_t* title) const { return WindowUser::Cancel(title, kInputWait); }
    bool FindEditor() {
        return AtWindow(L"Registry Entries", kInputWait) &&
               ((OfClass(L"ListBox", 1) && !OfClass(L"ListBox", 2) && OfClass(L"Edit", 1) &&
                 !OfClass(L"Edit", 2)) ||
                Fail(L"editor controls"));
    }
    HWND LocalList() const { return OfClass(L"ListBox", 0); }
    HWND UserList() const { return OfClass(L"ListBox", 1); }
    HWND LocalText() const { return OfClass(L"Edit", 0); }
    HWND UserText() const { return OfClass(L"Edit", 1); }
    bool WaitForItems(HWND list, int count) const {
        return WindowUser::WaitForItems(list, count, kBoxWait);
    }
};

// The user's steps on a second thread. A failed step leaves the editor waiting for its user; the
// thread then takes every way out (Cancel, No or OK in a box, "&Finished!" in the editor) until
// the editor has returned, so the test reports the failure rather than hanging.
class Script {
public:
    Script(EditorUser& user, std::function<void()> steps)
        : user_(user), thread_([this, steps = std::move(steps)] {
              steps();
              if (!user_.Failures().empty()) {
                  LeaveEditor();
              }
          }) {}
    Script(const Script&) = delete;
    Script& operator=(const Script&) = delete;
    ~Script() {
        if (thread_.joinable()) {
            Join();
        }
    }

    // Once the editor returned: waits for the script, then reports what failed on its thread.
    void Join() {
        editorEnded_ = true;
        thread_.join();
        for (const std::wstring& failure : user_.Failures()) {
            ADD_FAILURE() << win32common::WideToUtf8(failure);
        }
    }

private:
    void LeaveEditor() {
        const ULONGLONG end = GetTickCount64() + 60000;
        while (!editorEnded_ && GetTickCount64() < end) {
            TakeAWayOut();
            Sleep(100);
        }
    }
    void TakeAWayOut() const {
        const auto windows = uidriver::TopLevelWindows(user_.ProcessId());
        for (const auto& window : windows) {
            if (window.visible && window.className == L"#32770") {
                for (const int button : {IDCANCEL, IDNO, IDOK}) {
                    if (uidriver::PressMessageBoxButton(window.handle, button, 2s)) {
                        return;
                    }
                }
            }
        }
        for (const auto& window : windows) {
            if (window.visible && window.text == L"Registry Entries") {
                if (const auto finished = uidriver::ChildByText(window.handle, L"&Finished!")) {
                    uidriver::ClickControl(finished->handle);
                }
            }
        }
    }

    EditorUser& user_;
    std::atomic<bool> editorEnded_{false};
    std::thread thread_; // last: starts once the rest exists
};

class EditorWindowTest : public tidewell::test::ApartmentTest {
protected:
    test::RealApp<> app_;
};

TEST_F(EditorWindowTest, UserListsViewsAddsAndDeletesWithBackupThroughTheRealWindow) {
    ASSERT_TRUE(app_.application.created);
    test::PrivateRegistryKey local("EditorWindow.Local");
    test::PrivateRegistryKey user("EditorWindow.User");
    ASSERT_EQ(local.SetString(L"Tray", L"c:\\windows\\tray.exe"), ERROR_SUCCESS);
    ASSERT_EQ(local.SetString(L"Quoted \"App\"", L"\"C:\\Program Files\\App\\app.exe\" /min"),
              ERROR_SUCCESS);
    const DWORD seven = 7;
    ASSERT_EQ(local.SetRaw(L"Number", REG_DWORD, &seven, sizeof seven), ERROR_SUCCESS);
    ASSERT_EQ(user.SetString(L"Messenger", L"c:\\im\\msg.exe"), ERROR_SUCCESS);
    const BYTE bytes[] = {0x01, 0xab};
    ASSERT_EQ(user.SetRaw(L"Bytes", REG_BINARY, bytes, sizeof bytes), ERROR_SUCCESS);
    const std::vector<std::wstring> userOrder = user.Names();

    RealEditorAdapters real(local, user, app_.shared);
    ASSERT_TRUE(real.temp.Created());
    const std::string& base = real.base;
    int keyStrokes = 0;
    StartupEntriesPorts entries{
        real.holder,
        real.inputBox,
        real.files,
        [&](std::string_view keys) { keyStrokes += keys == "{ENTER}"; },
        [] { return true; },
        BackupLocation{{base + "\\Tidewell\\", base + "\\Tidewell\\Backup\\"},
                       base + "\\Tidewell\\Backup\\Registry Backup.Reg"}};
    ui::CheckBox chkCurrentUser{"chkCurrentUser", "", "", {}, 1};
    ui::CheckBox chkLocalMachine{"chkLocalMachine", "", "", {}, 1};
    app_.flags.maintenanceRunning = true;
    const std::vector<std::wstring> localOrder = local.Names();
    // In the program the main window stays open under the editor; closing the editor must not
    // end the program.
    app_.application.forms.Opened();

    Seen seen;
    EditorUser u;
    Script script(u, [&] {
        if (!u.Answer(L"CAUTION!", IDYES, &seen.cautionText) || !u.FindEditor() ||
            !u.WaitForItems(u.LocalList(), 3)) {
            return;
        }
        seen.localItems = uidriver::WindowUser::ListItems(u.LocalList());
        seen.userItems = uidriver::WindowUser::ListItems(u.UserList());
        u.Select(u.LocalList(), 1);
        seen.shownData = uidriver::WindowText(u.LocalText());
        const auto bytesAt = std::find(seen.userItems.begin(), seen.userItems.end(), L"Bytes");
        u.Select(u.UserList(), static_cast<int>(bytesAt - seen.userItems.begin()));
        seen.bytesData = uidriver::WindowText(u.UserText());

        // An existing name is replaced only after a question (answered No here); Cancel at the
        // name adds nothing.
        if (!u.Click(L"&Add Entry") || !u.Answer(L"Continue?", IDYES) ||
            !u.Type(L"Entry Name?", L"Tray") || !u.Type(L"Residency?", L"LOCAL") ||
            !u.Type(L"Entry Location?", L"c:\\other.exe") ||
            !u.Answer(L"Information Correct?", IDYES) ||
            !u.Answer(L"Replace Entry?", IDNO, &seen.replaceText) || !u.Answer(L"ABORTED!", IDOK) ||
            !u.Click(L"&Add Entry") || !u.Answer(L"Continue?", IDYES) ||
            !u.Cancel(L"Entry Name?")) {
            return;
        }

        // Add "Added" for the current user.
        if (!u.Click(L"&Add Entry") || !u.Answer(L"Continue?", IDYES) ||
            !u.Type(L"Entry Name?", L"Added \"One\"") || !u.Type(L"Residency?", L"USER") ||
            !u.Type(L"Entry Location?", L"\"c:\\added dir\\added.exe\" /x") ||
            !u.Answer(L"Information Correct?", IDYES) || !u.Answer(L"Complete!", IDOK) ||
            !u.Answer(L"No Information!", IDOK) || !u.WaitForItems(u.UserList(), 3)) {
            return;
        }
        seen.userItemsAfterAdd = uidriver::WindowUser::ListItems(u.UserList());

        // Delete the selected local entry with a backup; nothing is selected in the other list.
        u.Select(u.UserList(), -1);
        u.Select(u.LocalList(), 1);
        if (!u.Click(L"&Delete Value") || !u.Answer(L"Delete Selected Entries?", IDYES) ||
            !u.Answer(L"Create Backup?", IDYES) || !u.Answer(L"Backup Complete!", IDOK) ||
            !u.Answer(L"Deletion Commencing. . .", IDOK)) {
            return;
        }
        u.Select(u.LocalList(), 0);
        u.Select(u.LocalList(), 1);
        seen.markedData = uidriver::WindowText(u.LocalText());
        u.Click(L"&Finished!");
    });
    bool shown = false;
    try {
        shown = ShowStartupEntriesEditor(app_.ports, entries, chkCurrentUser, chkLocalMachine) ==
                EditorOutcome::Finished;
    } catch (const std::exception& error) {
        ADD_FAILURE() << "the editor threw " << error.what();
    } catch (const ui::ProgramQuitting&) {
        ADD_FAILURE() << "the program quit";
    }
    script.Join();
    app_.application.forms.Closed();

    EXPECT_TRUE(shown);
    EXPECT_EQ(keyStrokes, 1);
    EXPECT_EQ(seen.cautionText, uidriver::FromUtf8(std::string(editor_text::kCautionText)));
    // The key's own order (Wine enumerates the newest value first here).
    EXPECT_EQ(seen.localItems, localOrder);
    ASSERT_EQ(localOrder.size(), 3u);
    EXPECT_EQ(localOrder[1], L"Quoted \"App\"");
    EXPECT_EQ(seen.userItems, userOrder);
    EXPECT_EQ(seen.bytesData, L"01 ab");
    EXPECT_NE(seen.replaceText.find(L"\"Tray\" Already Exists"), std::wstring::npos);
    EXPECT_EQ(seen.shownData, L"\"C:\\Program Files\\App\\app.exe\" /min");
    std::vector<std::wstring> afterAdd = userOrder;
    afterAdd.push_back(L"Added \"One\"");
    EXPECT_EQ(seen.userItemsAfterAdd, afterAdd);
    EXPECT_EQ(user.Names().size(), 3u) << "Cancel at the name added a value";
    EXPECT_EQ(user.GetRaw(L"Added \"One\""),
              std::make_pair(DWORD{REG_SZ}, test::StringBytes(L"\"c:\\added dir\\added.exe\" /x")));
    EXPECT_EQ(seen.markedData, L"\"C:\\Program Files\\App\\app.exe\" /min (*) ");
    EXPECT_EQ(local.Names(), (std::vector<std::wstring>{localOrder[0], localOrder[2]}));
    EXPECT_EQ(local.GetRaw(L"Tray"),
              std::make_pair(DWORD{REG_SZ}, test::StringBytes(L"c:\\windows\\tray.exe")));

    std::ifstream in((real.temp.Path() + L"\\Tidewell\\Backup\\Registry Backup.Reg").c_str(),
                     std::ios::binary);
    const std::string backup((std::istreambuf_iterator<char>(in)),
                             std::istreambuf_iterator<char>());
    EXPECT_EQ(backup, "REGEDIT4\r\n\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\"
                      "CurrentVersion\\Run]\r\n\"Quoted \\\"App\\\"\"=\"\\\"C:\\\\Program Files\\\\"
                      "App\\\\app.exe\\\" /min\"\r\n");
}

// Names outside the ANSI code page (Japanese, an emoji) beside plain ones: every entry is listed,
// shown and deletable; the one the backup file cannot hold is named and kept until deleted
// without a backup.
TEST_F(EditorWindowTest, EntriesNamedOutsideTheAnsiCodePageAreListedShownAndDeletable) {
    ASSERT_TRUE(app_.application.created);
    test::PrivateRegistryKey local("EditorWindow.Wide");
    test::PrivateRegistryKey user("EditorWindow.WideUser");
    const std::wstring japanese = L"\u65e5\u672c\u8a9e\u306e\u30a8\u30f3\u30c8\u30ea";
    const std::wstring emoji = L"\U0001F600 Smile";
    ASSERT_EQ(local.SetString(L"Plain one", L"c:\\one.exe"), ERROR_SUCCESS);
    ASSERT_EQ(local.SetString(japanese, L"c:\\\u30c4\u30fc\u30eb.exe"), ERROR_SUCCESS);
    ASSERT_EQ(local.SetString(emoji, L"c:\\smile.exe"), ERROR_SUCCESS);
    ASSERT_EQ(local.SetString(L"Plain two", L"c:\\two.exe"), ERROR_SUCCESS);
    const std::vector<std::wstring> order = local.Names();

    RealEditorAdapters real(local, user, app_.shared);
    ASSERT_TRUE(real.temp.Created());
    const std::string& base = real.base;
    StartupEntriesPorts entries{
        real.holder,          real.inputBox,
        real.files,           [](std::string_view) {},
        [] { return false; }, BackupLocation{{base + "\\T\\"}, base + "\\T\\Backup.Reg"}};
    ui::CheckBox chkCurrentUser{"chkCurrentUser", "", "", {}, 1};
    ui::CheckBox chkLocalMachine{"chkLocalMachine", "", "", {}, 1};
    app_.flags.maintenanceRunning = true;
    app_.application.forms.Opened();

    Seen seen;
    std::vector<std::wstring> shown;
    std::wstring refusal;
    EditorUser u;
    Script script(u, [&] {
        if (!u.Answer(L"CAUTION!", IDYES) || !u.FindEditor() || !u.WaitForItems(u.LocalList(), 4)) {
            return;
        }
        seen.localItems = uidriver::WindowUser::ListItems(u.LocalList());
        for (int i = 0; i < 4; ++i) {
            u.Select(u.LocalList(), i);
            shown.push_back(uidriver::WindowText(u.LocalText()));
        }
        const auto at = [&](const std::wstring& name) {
            return static_cast<int>(
                std::find(seen.localItems.begin(), seen.localItems.end(), name) -
                seen.localItems.begin());
        };
        // The emoji with a backup: refused and named; nothing deleted.
        u.Select(u.LocalList(), at(emoji));
        if (!u.Click(L"&Delete Value") || !u.Answer(L"Delete Selected Entries?", IDYES) ||
            !u.Answer(L"Create Backup?", IDYES) || !u.Answer(L"Backup Failed!", IDOK, &refusal)) {
            return;
        }
        for (const std::wstring& name : {emoji, japanese}) {
            u.Select(u.LocalList(), at(name));
            if (!u.Click(L"&Delete Value") || !u.Answer(L"Delete Selected Entries?", IDYES) ||
                !u.Answer(L"Create Backup?", IDNO) ||
                !u.Answer(L"Deletion Commencing. . .", IDOK)) {
                return;
            }
        }
        u.Click(L"&Finished!");
    });
    try {
        ShowStartupEntriesEditor(app_.ports, entries, chkCurrentUser, chkLocalMachine);
    } catch (const std::exception& error) {
        ADD_FAILURE() << "the editor threw " << error.what();
    } catch (const ui::ProgramQuitting&) {
        ADD_FAILURE() << "the program quit";
    }
    script.Join();
    app_.application.forms.Closed();

    EXPECT_EQ(seen.localItems, order);
    const std::map<std::wstring, std::wstring> data{{L"Plain one", L"c:\\one.exe"},
                                                    {japanese, L"c:\\\u30c4\u30fc\u30eb.exe"},
                                                    {emoji, L"c:\\smile.exe"},
                                                    {L"Plain two", L"c:\\two.exe"}};
    std::vector<std::wstring> expected;
    std::vector<std::wstring> kept;
    for (const std::wstring& name : order) {
        expected.push_back(data.at(name));
        if (name != japanese && name != emoji) {
            kept.push_back(name);
        }
    }
    EXPECT_EQ(shown, expected);
    EXPECT_NE(refusal.find(emoji), std::wstring::npos) << win32common::WideToUtf8(refusal);
    EXPECT_EQ(local.Names(), kept);
}

// The program's bundle: the database object is made on the first use, through the registered
// library, and released with the program's shared objects.
TEST_F(EditorWindowTest, ProgramsAdaptersMakeTheDatabaseOnceAndReleaseItWithTheSharedObjects) {
    win32::StartupEntriesAdapters adapters(app_.shared, [](std::string_view) {});
    RegistryDatabaseHolder& holder = adapters.Ports().registryDatabase;
    EXPECT_FALSE(holder.Held());
    RegistryDatabaseObject* first = &holder.Get();
    EXPECT_EQ(&holder.Get(), first);
    test::PrivateRegistryKey key("EditorWindow.Adapters");
    ASSERT_EQ(key.SetString(L"A", L"a"), ERROR_SUCCESS);
    auto opened = holder.Get().OpenKey(kHkeyCurrentUser, key.NarrowPath());
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->ReadValue("A"), RegistryData::Text("a"));
    app_.shared.ReleaseAll();
    EXPECT_FALSE(holder.Held());
}

} // namespace
