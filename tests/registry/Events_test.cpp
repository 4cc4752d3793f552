#include "ImportPatch.h"
#include "LibraryClient.h"

#include <tlhelp32.h>

#include <algorithm>
#include <atomic>
#include <deque>
#include <thread>
#include <vector>

namespace registry_test {
namespace {

// A client's event sink: answers for _IRegistryKeyEvents (unless told not to) and records every
// call it gets.
class TestSink final : public IDispatch {
public:
    explicit TestSink(bool answersEvents = true, std::vector<int>* journal = nullptr, int id = 0)
        : answersEvents_(answersEvents), journal_(journal), id_(id) {}

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** result) override {
        if (!result) {
            return E_POINTER;
        }
        *result = nullptr;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) ||
            (answersEvents_ && IsEqualIID(iid, DIID__IRegistryKeyEvents))) {
            *result = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs_; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs_; }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID lcid, WORD flags,
                                     DISPPARAMS* params, VARIANT*, EXCEPINFO*, UINT*) override {
        ++calls;
        lastId = id;
        lastFlags = flags;
        lastLcid = lcid;
        lastArgs = params ? static_cast<int>(params->cArgs) : -1;
        lastIidNull = IsEqualIID(iid, IID_NULL);
        lastThread = GetCurrentThreadId();
        if (journal_) {
            journal_->push_back(id_);
        }
        if (onCall) {
            onCall();
        }
        return S_OK;
    }

    ULONG References() const { return refs_; }

    std::atomic<int> calls{0};
    DISPID lastId = 0;
    WORD lastFlags = 0;
    LCID lastLcid = 0;
    int lastArgs = -2;
    bool lastIidNull = false;
    DWORD lastThread = 0;
    std::function<void()> onCall;

private:
    ULONG refs_ = 1;
    bool answersEvents_;
    std::vector<int>* journal_;
    int id_;
};

std::vector<DWORD> ThreadIdsOfThisProcess() {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return ids;
    }
    THREADENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Thread32First(snapshot, &entry); more; more = Thread32Next(snapshot, &entry)) {
        if (entry.th32OwnerProcessID == GetCurrentProcessId()) {
            ids.push_back(entry.th32ThreadID);
        }
    }
    CloseHandle(snapshot);
    return ids;
}

int ThreadsOfThisProcess() {
    std::vector<DWORD> ids = ThreadIdsOfThisProcess();
    return ids.empty() ? -1 : static_cast<int>(ids.size());
}

// The hidden window this thread's keys use, if any.
HWND KeyWindowOfThisThread() {
    HWND found = nullptr;
    for (HWND window = FindWindowW(nullptr, L"RegistryKeyWindow"); window;
         window = FindWindowExW(nullptr, window, nullptr, L"RegistryKeyWindow")) {
        if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) {
            found = window;
        }
    }
    return found;
}

// Runs Wine's reg.exe in this prefix and waits for it.
DWORD RunRegAdd(const std::wstring& keyPath, const std::wstring& value) {
    std::wstring command = L"C:\\windows\\system32\\reg.exe add \"HKCU\\" + keyPath + L"\" /v " +
                           value + L" /t REG_SZ /d changed /f";
    STARTUPINFOW startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &startup, &process)) {
        return GetLastError() | 0x10000000;
    }
    WaitForSingleObject(process.hProcess, 30000);
    DWORD exitCode = 0xdeadbeef;
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return exitCode;
}

class Events : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_HRESULT_SUCCEEDED(apartment_.Result());
        ASSERT_EQ(key_.Created(), ERROR_SUCCESS);
        ASSERT_HRESULT_SUCCEEDED(OpenTestKey(key_.Path(), registryKey_));
        ASSERT_HRESULT_SUCCEEDED(registryKey_->QueryInterface(
            IID_IConnectionPointContainer, reinterpret_cast<void**>(&container_)));
        ASSERT_HRESULT_SUCCEEDED(
            container_->FindConnectionPoint(DIID__IRegistryKeyEvents, &point_));
    }
    void TearDown() override {
        point_.Reset();
        container_.Reset();
        registryKey_.Reset();
    }

    DWORD Connect(TestSink& sink) {
        DWORD cookie = 0;
        EXPECT_EQ(point_->Advise(&sink, &cookie), S_OK);
        EXPECT_NE(cookie, 0u);
        return cookie;
    }

    // Sinks outlive the key, so that a test that stops half-way leaves no dangling connection.
    TestSink& NewSink(bool answersEvents = true, std::vector<int>* journal = nullptr, int id = 0) {
        return sinks_.emplace_back(answersEvents, journal, id);
    }

    Apartment apartment_;
    std::deque<TestSink> sinks_;
    PrivateKey key_{L"Events"};
    ComPtr<IRegistryKey> registryKey_;
    ComPtr<IConnectionPointContainer> container_;
    ComPtr<IConnectionPoint> point_;
};

TEST_F(Events, AWriteInTheKeyOrASubKeyRaisesOnRegistryChangeOnTheKeysThread) {
    TestSink& sink = NewSink();
    DWORD cookie = Connect(sink);
    ASSERT_EQ(key_.SetString(L"", L"direct", L"1"), ERROR_SUCCESS);
    ASSERT_TRUE(PumpUntil([&] { return sink.calls > 0; }, 5000)) << "no event for a value";
    EXPECT_EQ(sink.lastId, 1);
    EXPECT_EQ(sink.lastFlags, DISPATCH_METHOD);
    EXPECT_EQ(sink.lastArgs, 0);
    EXPECT_EQ(sink.lastLcid, 0x400u);
    EXPECT_TRUE(sink.lastIidNull);
    EXPECT_EQ(sink.lastThread, GetCurrentThreadId());

    ASSERT_EQ(key_.CreateSubKey(L"child\\grandchild"), ERROR_SUCCESS);
    PumpFor(100);
    int before = sink.calls;
    ASSERT_EQ(key_.SetString(L"child\\grandchild", L"deep", L"2"), ERROR_SUCCESS);
    ASSERT_TRUE(PumpUntil([&] { return sink.calls > before; }, 5000)) << "no event for a sub-key";
    EXPECT_EQ(sink.lastThread, GetCurrentThreadId());

    // Without message processing nothing arrives: the hand-over goes through the key's thread.
    before = sink.calls;
    ASSERT_EQ(key_.SetString(L"", L"direct", L"3"), ERROR_SUCCESS);
    Sleep(200);
    EXPECT_EQ(sink.calls, before);
    EXPECT_TRUE(PumpUntil([&] { return sink.calls > before; }, 5000));

    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
    EXPECT_EQ(sink.References(), 1u);
}

// Every change after a delivered event is heard: a sink that writes into the key from its
// handler raises the next event, and the chain never breaks.
TEST_F(Events, AWriteMadeWhileAnEventIsHandledRaisesTheNext) {
    constexpr int kLinks = 300;
    TestSink& sink = NewSink();
    sink.onCall = [&] {
        if (sink.calls < kLinks) {
            key_.SetString(L"", L"chain", std::to_wstring(sink.calls.load()));
        }
    };
    DWORD cookie = Connect(sink);
    ASSERT_EQ(key_.SetString(L"", L"chain", L"start"), ERROR_SUCCESS);
    EXPECT_TRUE(PumpUntil([&] { return sink.calls >= kLinks; }, 10000))
        << "the chain broke after " << sink.calls << " events";
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
}

TEST_F(Events, AnotherProcessesWriteIsHeard) {
    TestSink& sink = NewSink();
    DWORD cookie = Connect(sink);
    ASSERT_EQ(RunRegAdd(key_.Path(), L"fromOutside"), 0u);
    EXPECT_TRUE(PumpUntil([&] { return sink.calls > 0; }, 10000));
    EXPECT_EQ(sink.lastThread, GetCurrentThreadId());
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
}

TEST_F(Events, TheHiddenWindowLivesWhileTheNotificationRuns) {
    ASSERT_EQ(KeyWindowOfThisThread(), nullptr);
    TestSink& sink = NewSink();
    DWORD cookie = Connect(sink);
    HWND window = KeyWindowOfThisThread();
    ASSERT_NE(window, nullptr);
    EXPECT_FALSE(IsWindowVisible(window));
    EXPECT_TRUE(GetWindowLongW(window, GWL_STYLE) & WS_POPUP);
    RECT bounds = {1, 1, 1, 1};
    GetWindowRect(window, &bounds);
    EXPECT_EQ(bounds.right - bounds.left, 0);
    EXPECT_EQ(bounds.bottom - bounds.top, 0);
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
    // Kept for a key connected next; gone once the thread has processed its messages.
    PumpFor(50);
    EXPECT_FALSE(IsWindow(window));

    // Once stopped, changes raise nothing, and a new connection starts it again.
    ASSERT_EQ(key_.SetString(L"", L"quiet", L"1"), ERROR_SUCCESS);
    PumpFor(300);
    EXPECT_EQ(sink.calls, 0);
    TestSink& again = NewSink();
    cookie = Connect(again);
    ASSERT_EQ(key_.SetString(L"", L"loud", L"1"), ERROR_SUCCESS);
    EXPECT_TRUE(PumpUntil([&] { return again.calls > 0; }, 5000));
    EXPECT_EQ(sink.calls, 0);
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
}

TEST_F(Events, ConnectionErrors) {
    TestSink& deaf = NewSink(false);
    DWORD cookie = 0xdeadbeef;
    EXPECT_EQ(point_->Advise(&deaf, &cookie), CONNECT_E_CANNOTCONNECT);
    EXPECT_EQ(cookie, 0u);
    EXPECT_EQ(deaf.References(), 1u);
    EXPECT_EQ(KeyWindowOfThisThread(), nullptr);
    EXPECT_EQ(point_->Advise(nullptr, &cookie), E_POINTER);
    TestSink& sink = NewSink();
    EXPECT_EQ(point_->Advise(&sink, nullptr), E_POINTER);
    EXPECT_EQ(sink.References(), 1u);

    EXPECT_EQ(point_->Unadvise(0), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point_->Unadvise(12345), CONNECT_E_NOCONNECTION);
    cookie = Connect(sink);
    EXPECT_EQ(point_->Unadvise(cookie + 1), CONNECT_E_NOCONNECTION);
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
    EXPECT_EQ(point_->Unadvise(cookie), CONNECT_E_NOCONNECTION);

    ComPtr<IConnectionPoint> other;
    EXPECT_EQ(container_->FindConnectionPoint(IID_IDispatch, &other), CONNECT_E_NOCONNECTION);
    EXPECT_FALSE(other);
    EXPECT_EQ(container_->FindConnectionPoint(DIID__IRegistryKeyEvents, nullptr), E_POINTER);
}

TEST_F(Events, ThePointAndItsEnumerators) {
    IID iid = IID_NULL;
    EXPECT_EQ(point_->GetConnectionInterface(&iid), S_OK);
    EXPECT_TRUE(IsEqualIID(iid, DIID__IRegistryKeyEvents));
    ComPtr<IConnectionPointContainer> owner;
    EXPECT_EQ(point_->GetConnectionPointContainer(&owner), S_OK);
    EXPECT_EQ(owner.Get(), container_.Get());

    ComPtr<IEnumConnectionPoints> points;
    ASSERT_EQ(container_->EnumConnectionPoints(&points), S_OK);
    IConnectionPoint* got[2] = {nullptr, nullptr};
    ULONG fetched = 0;
    EXPECT_EQ(points->Next(2, got, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 1u);
    EXPECT_EQ(got[0], point_.Get());
    got[0]->Release();
    EXPECT_EQ(points->Next(1, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(points->Reset(), S_OK);
    EXPECT_EQ(points->Skip(1), S_OK);
    EXPECT_EQ(points->Skip(1), S_FALSE);

    TestSink& first = NewSink();
    TestSink& second = NewSink();
    DWORD a = Connect(first);
    DWORD b = Connect(second);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point_->EnumConnections(&connections), S_OK);
    CONNECTDATA data[3] = {};
    EXPECT_EQ(connections->Next(3, data, &fetched), S_FALSE);
    ASSERT_EQ(fetched, 2u);
    EXPECT_EQ(data[0].dwCookie, a);
    EXPECT_EQ(data[1].dwCookie, b);
    EXPECT_EQ(data[0].pUnk, static_cast<IUnknown*>(&first));
    EXPECT_EQ(data[1].pUnk, static_cast<IUnknown*>(&second));
    data[0].pUnk->Release();
    data[1].pUnk->Release();
    ComPtr<IEnumConnections> clone;
    ASSERT_EQ(connections->Clone(&clone), S_OK);
    EXPECT_EQ(clone->Next(1, data, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    connections.Reset();
    clone.Reset();
    EXPECT_EQ(point_->Unadvise(a), S_OK);
    EXPECT_EQ(point_->Unadvise(b), S_OK);
    EXPECT_EQ(first.References(), 1u);
    EXPECT_EQ(second.References(), 1u);
}

TEST_F(Events, EverySinkHearsInConnectionOrder) {
    std::vector<int> journal;
    TestSink& a = NewSink(true, &journal, 1);
    TestSink& b = NewSink(true, &journal, 2);
    TestSink& c = NewSink(true, &journal, 3);
    TestSink& d = NewSink(true, &journal, 4);
    DWORD cookieA = Connect(a);
    DWORD cookieB = Connect(b);
    DWORD cookieC = Connect(c);
    EXPECT_EQ(point_->Unadvise(cookieA), S_OK);
    // d takes the slot a left free, yet it connected last.
    DWORD cookieD = Connect(d);
    EXPECT_EQ(cookieD, cookieA);
    ASSERT_EQ(key_.SetString(L"", L"order", L"1"), ERROR_SUCCESS);
    EXPECT_TRUE(PumpUntil([&] { return journal.size() >= 3; }, 5000));
    PumpFor(50);
    EXPECT_EQ(journal, (std::vector<int>{2, 3, 4}));
    EXPECT_EQ(a.calls, 0);
    for (DWORD cookie : {cookieB, cookieC, cookieD}) {
        EXPECT_EQ(point_->Unadvise(cookie), S_OK);
    }
}

TEST_F(Events, AKeyThatOnceHadTwoSinksNotifiesUntilItEnds) {
    TestSink& a = NewSink();
    TestSink& b = NewSink();
    DWORD cookieA = Connect(a);
    DWORD cookieB = Connect(b);
    EXPECT_EQ(point_->Unadvise(cookieA), S_OK);
    EXPECT_EQ(point_->Unadvise(cookieB), S_OK);
    // Still watching: the key keeps the thread's window.
    PumpFor(50);
    HWND window = KeyWindowOfThisThread();
    EXPECT_NE(window, nullptr);
    point_.Reset();
    container_.Reset();
    registryKey_.Reset();
    PumpFor(50);
    EXPECT_FALSE(IsWindow(window));
}

// The keys of one thread share its window, and no key has a thread of its own.
TEST_F(Events, ManyWatchedKeysShareTheThreadsWindowAndNoThreadIsMadePerKey) {
    const int baseline = ThreadsOfThisProcess();
    constexpr int kKeys = 12;
    std::vector<ComPtr<IConnectionPoint>> points;
    std::vector<DWORD> cookies;
    for (int i = 0; i < kKeys; ++i) {
        ComPtr<IRegistryKey> key;
        ASSERT_HRESULT_SUCCEEDED(OpenTestKey(key_.Path(), key));
        ComPtr<IConnectionPointContainer> container;
        ASSERT_HRESULT_SUCCEEDED(key->QueryInterface(IID_IConnectionPointContainer,
                                                     reinterpret_cast<void**>(&container)));
        ComPtr<IConnectionPoint>& point = points.emplace_back();
        ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(DIID__IRegistryKeyEvents, &point));
        ASSERT_EQ(point->Advise(&NewSink(), &cookies.emplace_back()), S_OK);
    }
    EXPECT_LE(ThreadsOfThisProcess(), baseline + 2);
    int windows = 0;
    for (HWND window = FindWindowW(nullptr, L"RegistryKeyWindow"); window;
         window = FindWindowExW(nullptr, window, nullptr, L"RegistryKeyWindow")) {
        windows += GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId();
    }
    EXPECT_EQ(windows, 1);
    ASSERT_EQ(key_.SetString(L"", L"all", L"1"), ERROR_SUCCESS);
    EXPECT_TRUE(PumpUntil(
        [&] {
            return std::all_of(sinks_.begin(), sinks_.end(),
                               [](const TestSink& sink) { return sink.calls > 0; });
        },
        5000));
    for (const TestSink& sink : sinks_) {
        EXPECT_EQ(sink.lastThread, GetCurrentThreadId());
    }
    for (int i = 0; i < kKeys; ++i) {
        EXPECT_EQ(points[i]->Unadvise(cookies[i]), S_OK);
    }
}

TEST_F(Events, ASinkMayDisconnectOrDropTheKeyWhileItIsCalled) {
    TestSink& leaving = NewSink();
    DWORD cookie = Connect(leaving);
    leaving.onCall = [&] { point_->Unadvise(cookie); };
    ASSERT_EQ(key_.SetString(L"", L"leave", L"1"), ERROR_SUCCESS);
    ASSERT_TRUE(PumpUntil([&] { return leaving.calls > 0; }, 5000));
    EXPECT_EQ(KeyWindowOfThisThread(), nullptr);
    EXPECT_EQ(leaving.References(), 1u);

    // The last reference to the key goes inside the handler.
    TestSink& dropping = NewSink();
    Connect(dropping);
    dropping.onCall = [&] {
        point_.Reset();
        container_.Reset();
        registryKey_.Reset();
    };
    ASSERT_EQ(key_.SetString(L"", L"drop", L"1"), ERROR_SUCCESS);
    ASSERT_TRUE(PumpUntil([&] { return dropping.calls > 0; }, 5000));
    EXPECT_FALSE(registryKey_);
    EXPECT_EQ(KeyWindowOfThisThread(), nullptr);
    EXPECT_EQ(dropping.References(), 1u);
}

// A key watched on a second thread hears on that thread, through that thread's own window.
TEST_F(Events, EachThreadsKeysHearOnThatThread) {
    TestSink& here = NewSink();
    DWORD cookie = Connect(here);
    HWND mine = KeyWindowOfThisThread();
    std::atomic<int> stage{0};
    DWORD otherThread = 0;
    HWND otherWindow = nullptr;
    TestSink& there = NewSink();
    std::thread other([&] {
        Apartment apartment;
        ComPtr<IRegistryKey> key;
        ComPtr<IConnectionPointContainer> container;
        ComPtr<IConnectionPoint> point;
        DWORD otherCookie = 0;
        if (SUCCEEDED(OpenTestKey(key_.Path(), key)) &&
            SUCCEEDED(key->QueryInterface(IID_IConnectionPointContainer,
                                          reinterpret_cast<void**>(&container))) &&
            SUCCEEDED(container->FindConnectionPoint(DIID__IRegistryKeyEvents, &point)) &&
            point->Advise(&there, &otherCookie) == S_OK) {
            otherThread = GetCurrentThreadId();
            otherWindow = KeyWindowOfThisThread();
            stage = 1;
            PumpUntil([&] { return there.calls > 0; }, 5000);
            point->Unadvise(otherCookie);
        }
        stage = 2;
    });
    while (stage == 0) {
        Sleep(1);
    }
    ASSERT_EQ(key_.SetString(L"", L"both", L"1"), ERROR_SUCCESS);
    EXPECT_TRUE(PumpUntil([&] { return here.calls > 0; }, 5000));
    other.join();
    EXPECT_EQ(here.lastThread, GetCurrentThreadId());
    ASSERT_GT(there.calls, 0);
    EXPECT_EQ(there.lastThread, otherThread);
    EXPECT_NE(otherWindow, nullptr);
    EXPECT_NE(otherWindow, mine);
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
}

// What the library's RegCloseKey calls saw of the key being watched.
struct CloseWatch {
    ULONG handle = 0;
    LSTATUS(WINAPI* originalClose)(HKEY) = nullptr;
    BOOL(WINAPI* originalUnregister)(HANDLE, HANDLE) = nullptr;
    int closes = 0;
    int waitsEnded = 0;
    bool waitEndedFirst = false;
};
CloseWatch* closeWatch = nullptr;

LSTATUS WINAPI WatchedRegCloseKey(HKEY key) {
    CloseWatch* watch = closeWatch;
    if (static_cast<ULONG>(reinterpret_cast<ULONG_PTR>(key)) == watch->handle) {
        ++watch->closes;
        watch->waitEndedFirst = watch->waitsEnded == 1;
    }
    return watch->originalClose(key);
}

BOOL WINAPI WatchedUnregisterWaitEx(HANDLE wait, HANDLE completion) {
    const BOOL result = closeWatch->originalUnregister(wait, completion);
    ++closeWatch->waitsEnded;
    return result;
}

// A wait still registered when the handle closes could post a change for a closed handle, or
// ask for one on the same number handed out meanwhile to another key.
TEST_F(Events, AKeyEndsItsNotificationBeforeItClosesItsHandle) {
    CloseWatch watch;
    LONG handle = 0;
    ASSERT_EQ(registryKey_->get_HKEY(&handle), S_OK);
    watch.handle = static_cast<ULONG>(handle);
    TestSink& sink = NewSink();
    Connect(sink);
    {
        HMODULE library = GetModuleHandleW(L"Registry.dll");
        ImportPatch close(library, "advapi32.dll", "RegCloseKey",
                          reinterpret_cast<void*>(&WatchedRegCloseKey));
        ImportPatch unregister(library, "kernel32.dll", "UnregisterWaitEx",
                               reinterpret_cast<void*>(&WatchedUnregisterWaitEx));
        ASSERT_TRUE(close.Applied());
        ASSERT_TRUE(unregister.Applied());
        watch.originalClose = reinterpret_cast<LSTATUS(WINAPI*)(HKEY)>(close.Original());
        watch.originalUnregister =
            reinterpret_cast<BOOL(WINAPI*)(HANDLE, HANDLE)>(unregister.Original());
        closeWatch = &watch;
        // The sink stays connected: the key goes with its notification running.
        point_.Reset();
        container_.Reset();
        registryKey_.Reset();
    }
    EXPECT_EQ(watch.closes, 1);
    EXPECT_TRUE(watch.waitEndedFirst);
    EXPECT_EQ(sink.References(), 1u);
}

// Refuses the creation of the hidden window, as a system short of resources would.
LRESULT CALLBACK RefuseKeyWindow(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_CREATEWND) {
        auto* create = reinterpret_cast<CBT_CREATEWNDW*>(lParam);
        if (create->lpcs->lpszName && !IS_INTRESOURCE(create->lpcs->lpszName) &&
            std::wstring(create->lpcs->lpszName) == L"RegistryKeyWindow") {
            return 1;
        }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

TEST_F(Events, AFailedStartUndoesTheConnectionAndSaysWhy) {
    HHOOK hook = SetWindowsHookExW(WH_CBT, &RefuseKeyWindow, nullptr, GetCurrentThreadId());
    ASSERT_NE(hook, nullptr);
    const int baseline = ThreadsOfThisProcess();
    TestSink& sink = NewSink();
    DWORD cookie = 0xdeadbeef;
    SetErrorInfo(0, nullptr);
    HRESULT hr = point_->Advise(&sink, &cookie);
    UnhookWindowsHookEx(hook);
    EXPECT_TRUE(FAILED(hr));
    EXPECT_EQ(HRESULT_FACILITY(hr), FACILITY_WIN32) << std::hex << hr;
    EXPECT_EQ(cookie, 0u);
    std::wstring description = TakeErrorDescription();
    EXPECT_EQ(description.rfind(L"Error creating window", 0), 0u) << Narrow(description);
    EXPECT_EQ(sink.References(), 1u);
    EXPECT_EQ(ThreadsOfThisProcess(), baseline);
    ComPtr<IEnumConnections> connections;
    ASSERT_EQ(point_->EnumConnections(&connections), S_OK);
    CONNECTDATA data = {};
    ULONG fetched = 7;
    EXPECT_EQ(connections->Next(1, &data, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);

    // The list is empty again, so the next connection starts the notification afresh.
    cookie = Connect(sink);
    ASSERT_EQ(key_.SetString(L"", L"after", L"1"), ERROR_SUCCESS);
    EXPECT_TRUE(PumpUntil([&] { return sink.calls > 0; }, 5000));
    EXPECT_EQ(point_->Unadvise(cookie), S_OK);
}

TEST(EventsWithoutHandle, AKeyWithoutAHandleAcceptsSinksButNeverCalls) {
    Apartment apartment;
    ASSERT_HRESULT_SUCCEEDED(apartment.Result());
    const int baseline = ThreadsOfThisProcess();
    TestSink sink;
    {
        ComPtr<IRegistryKey> loose;
        ASSERT_HRESULT_SUCCEEDED(CoCreateInstance(CLSID_RegistryKey, nullptr, CLSCTX_INPROC_SERVER,
                                                  IID_IRegistryKey,
                                                  reinterpret_cast<void**>(&loose)));
        ComPtr<IConnectionPointContainer> container;
        ASSERT_HRESULT_SUCCEEDED(loose->QueryInterface(IID_IConnectionPointContainer,
                                                       reinterpret_cast<void**>(&container)));
        ComPtr<IConnectionPoint> point;
        ASSERT_HRESULT_SUCCEEDED(container->FindConnectionPoint(DIID__IRegistryKeyEvents, &point));
        DWORD cookie = 0;
        ASSERT_EQ(point->Advise(&sink, &cookie), S_OK);
        // The worker's request fails on handle 0 and it ends by itself.
        EXPECT_TRUE(PumpUntil([&] { return ThreadsOfThisProcess() == baseline; }, 5000));
        PumpFor(100);
        EXPECT_EQ(sink.calls, 0);
        EXPECT_EQ(point->Unadvise(cookie), S_OK);
    }
    EXPECT_EQ(sink.References(), 1u);
    EXPECT_EQ(KeyWindowOfThisThread(), nullptr);
}

TEST(EventsUnderLoad, SinksComeAndGoWhileChangesArrive) {
    Apartment apartment;
    ASSERT_HRESULT_SUCCEEDED(apartment.Result());
    PrivateKey key(L"EventsUnderLoad");
    ASSERT_EQ(key.Created(), ERROR_SUCCESS);
    const int baseline = ThreadsOfThisProcess();
    std::vector<TestSink> sinks(24);
    {
        std::vector<ComPtr<IRegistryKey>> keys(4);
        std::vector<ComPtr<IConnectionPoint>> points(4);
        for (size_t i = 0; i < keys.size(); ++i) {
            ASSERT_HRESULT_SUCCEEDED(OpenTestKey(key.Path(), keys[i]));
            ComPtr<IConnectionPointContainer> container;
            ASSERT_HRESULT_SUCCEEDED(keys[i]->QueryInterface(IID_IConnectionPointContainer,
                                                             reinterpret_cast<void**>(&container)));
            ASSERT_HRESULT_SUCCEEDED(
                container->FindConnectionPoint(DIID__IRegistryKeyEvents, &points[i]));
        }
        std::atomic<bool> writing{true};
        std::thread writer([&] {
            for (int n = 0; writing; ++n) {
                key.SetString(L"", L"load", std::to_wstring(n));
                Sleep(2);
            }
        });
        std::vector<DWORD> cookies(sinks.size(), 0);
        for (int round = 0; round < 40; ++round) {
            for (size_t i = 0; i < sinks.size(); ++i) {
                ComPtr<IConnectionPoint>& point = points[i % points.size()];
                if ((i + round) % 3 == 0 && cookies[i]) {
                    EXPECT_EQ(point->Unadvise(cookies[i]), S_OK);
                    cookies[i] = 0;
                } else if (!cookies[i]) {
                    EXPECT_EQ(point->Advise(&sinks[i], &cookies[i]), S_OK);
                }
            }
            PumpFor(5);
        }
        writing = false;
        writer.join();
        int heard = 0;
        for (size_t i = 0; i < sinks.size(); ++i) {
            heard += sinks[i].calls;
            if (cookies[i]) {
                EXPECT_EQ(points[i % points.size()]->Unadvise(cookies[i]), S_OK);
            }
        }
        EXPECT_GT(heard, 0);
        points.clear();
        keys.clear();
        for (TestSink& sink : sinks) {
            EXPECT_EQ(sink.References(), 1u);
        }
    }
    // The pool's wait thread may stay a while; no key keeps a thread.
    EXPECT_LE(ThreadsOfThisProcess(), baseline + 1);
    // The thread's window, kept for a next key, goes when the library is asked to unload.
    EXPECT_EQ(LibraryCanUnloadNow(), S_OK);
    EXPECT_EQ(KeyWindowOfThisThread(), nullptr);
}

} // namespace
} // namespace registry_test
