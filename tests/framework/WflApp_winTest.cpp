// Start-up, the application kinds, the main loop and the message pump, run
// through the real entry logic with start-up routines of the tests' own.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "TestDialogsRes.h"
#include "WflWndTestSupport.h"

namespace {

constexpr int kWatchdogCode = 999;

// Ends a main loop that would otherwise never end, so a fault shows as a
// wrong exit code instead of a hung test run.
void CALLBACK watchdog(HWND, UINT, UINT_PTR, DWORD) { PostQuitMessage(kWatchdogCode); }

// What the start-up routine of the current test does; start-up routines
// are plain function pointers, so the test's steps live here.
std::function<bool()> startup;
int startupCalls = 0;
bool testInit(const FixedText<256>&, int&) {
    ++startupCalls;
    return startup();
}

class Application : public ::testing::Test {
protected:
    int run(std::function<bool()> steps) {
        startup = std::move(steps);
        startupCalls = 0;
        const UINT_PTR timer = SetTimer(nullptr, 0, 10000, watchdog);
        const int code = runApplication(GetModuleHandleA(nullptr), "", SW_SHOW, testInit);
        KillTimer(nullptr, timer);
        return code;
    }
    void TearDown() override {
        if (IsWindow(frameWindow().hwnd)) DestroyWindow(frameWindow().hwnd);
        drainMessages();
        startFramework(nullptr);  // forget the MDI client and the counts of this run
    }
};

bool hiddenFrame() { return XCREATESDIAPP(nullptr, "Tallyon test frame", std::nullopt, SW_HIDE); }

LRESULT quitWithSeven(XWND&) {
    PostQuitMessage(7);
    return 1;
}

int pumpResult = 0;
LRESULT pumpAfterQuit(XWND&, UINT, WPARAM wait, LPARAM) {
    PostQuitMessage(42);
    pumpResult = XPROCESSMESSAGES(wait != 0);
    return 1;
}

int dispatched = 0;
LRESULT countDispatch(XWND&, UINT, WPARAM, LPARAM) {
    ++dispatched;
    return 1;
}

}  // namespace

TEST_F(Application, CreationRoutinesWorkOnlyDuringStartUp) {
    MenuRecord menu{CreateMenu(), nullptr};
    EXPECT_FALSE(XCREATESDIAPP(nullptr, "outside"));
    EXPECT_FALSE(XCREATEMDIAPP(menu, 1, "outside"));
    EXPECT_FALSE(XCREATEDIALOGAPP(102));
    EXPECT_EQ(frameWindow().hwnd, nullptr);
    EXPECT_EQ(applicationKind(), 0);
    DestroyMenu(menu.menu);
}

TEST_F(Application, FailedStartUpEndsAtOnceWithoutTheLoop) {
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 50, 0, 0);
    EXPECT_EQ(run([] { return false; }), 0);
    EXPECT_EQ(startupCalls, 1);
    MSG msg;
    EXPECT_TRUE(PeekMessageA(&msg, nullptr, WM_USER + 50, WM_USER + 50, PM_REMOVE));  // never taken
}

TEST_F(Application, ClosingTheFrameEndsTheLoopWithThePostedCode) {
    struct Row {
        const char* what;
        HandlerPlain onDestroy;
        int code;
    } rows[] = {{"no WM_DESTROY handler: the framework quits with 0", nullptr, 0},
                {"a handler that quits itself", quitWithSeven, 7}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const int code = run([&] {
            if (!hiddenFrame()) return false;
            if (row.onDestroy) XSETHANDLER(frameWindow(), WM_DESTROY, row.onDestroy);
            XPOSTMESSAGE(frameWindow(), WM_CLOSE);
            return true;
        });
        EXPECT_EQ(code, row.code);
        EXPECT_FALSE(IsWindow(frameWindow().hwnd));
        EXPECT_EQ(applicationKind(), 1);
    }
}

TEST_F(Application, AQuitTakenByThePumpStillEndsTheMainLoop) {
    for (WPARAM wait : {0, 1}) {
        SCOPED_TRACE(wait ? "waiting pump" : "polling pump");
        pumpResult = 0;
        const int code = run([&] {
            if (!hiddenFrame()) return false;
            XSETHANDLER(frameWindow(), WM_USER + 20, pumpAfterQuit);
            XPOSTMESSAGE(frameWindow(), WM_USER + 20, wait);
            return true;
        });
        EXPECT_EQ(pumpResult, WM_QUIT);
        EXPECT_EQ(code, 42);
    }
}

TEST_F(Application, CancelOnADialogMainWindowEndsTheProgram) {
    const auto tmpl = dialogTemplate(WS_POPUP);
    const int code = run([&] {
        if (!createFrameworkDialog(frameWindow(), tmpl)) return false;
        PostMessageA(frameWindow().hwnd, WM_COMMAND, IDCANCEL, 0);
        return true;
    });
    EXPECT_EQ(code, 0);
}

TEST_F(Application, MultipleDocumentFrameHasAClientThatFillsIt) {
    MenuRecord menu{CreateMenu(), nullptr};
    HMENU windows = CreatePopupMenu();
    AppendMenuA(menu.menu, MF_POPUP, reinterpret_cast<UINT_PTR>(windows), "&Window");
    XWND document;
    RECT frameClient{}, clientRect{};
    HWND clientParent = nullptr;
    XWND* client = nullptr;
    bool documentBound = false;

    const int code = run([&] {
        if (!XCREATEMDIAPP(menu, 1, "Tallyon MDI test", std::nullopt, SW_HIDE)) return false;
        XGETMDI(client);
        if (!client) return false;
        clientParent = GetParent(client->hwnd);
        GetClientRect(frameWindow().hwnd, &frameClient);
        GetClientRect(client->hwnd, &clientRect);
        // A framework document window gets its record on WM_CREATE.
        XCREATEWINDOW(document, client, WS_CHILD | WS_VISIBLE | WS_OVERLAPPEDWINDOW, "doc",
                      WS_EX_MDICHILD, 0, 0, 100, 80);
        documentBound = GetPropA(document.hwnd, "XWND") == &document;
        XPOSTMESSAGE(frameWindow(), WM_CLOSE);
        return true;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(applicationKind(), 2);
    ASSERT_NE(client, nullptr);
    EXPECT_EQ(clientParent, frameWindow().hwnd);
    EXPECT_EQ(menu.owner, frameWindow().hwnd);
    EXPECT_EQ(clientRect.right, frameClient.right);
    EXPECT_EQ(clientRect.bottom, frameClient.bottom);
    EXPECT_TRUE(documentBound);
    EXPECT_EQ(document.defaultProc, kDefProcFramework);
}

TEST_F(Application, DefaultStartUpOpensAPlainVisibleFrame) {
    LONG_PTR style = 0;
    const int code = run([&] {
        int show = SW_SHOW;
        if (!PXDEFXINIT(FixedText<256>(""), show)) return false;
        style = GetWindowLongPtrA(frameWindow().hwnd, GWL_STYLE);
        XPOSTMESSAGE(frameWindow(), WM_CLOSE);
        return true;
    });
    EXPECT_EQ(code, 0);
    EXPECT_EQ(style & (WS_VISIBLE | WS_OVERLAPPEDWINDOW), WS_VISIBLE | WS_OVERLAPPEDWINDOW);
}

namespace {

// Where each F5 command was handled: the main loop sends the first, which
// presses F5 again and lets the pump take that one.
std::vector<std::string> keyCommands;
bool inPump = false;
void pressF5() {
    XPOSTMESSAGE(frameWindow(), WM_KEYDOWN, VK_F5, 1);
    XPOSTMESSAGE(frameWindow(), WM_KEYUP, VK_F5, 0xC0000001);
}
void onKeyCommand(XWND&, int, int code) {
    keyCommands.push_back(inPump ? "pump" : "main loop");
    if (code != 0 || inPump) return;  // an accelerator arrives as a menu command
    inPump = true;
    pressF5();
    XPROCESSMESSAGES();
    inPump = false;
    PostQuitMessage(5);
}

}  // namespace

TEST_F(Application, AcceleratorKeysBecomeCommandsInBothLoops) {
    keyCommands.clear();
    const int code = run([] {
        if (!hiddenFrame() || !XLOADACCELERATORS(IDR_TEST_KEYS)) return false;
        XSETCOMMAND(frameWindow(), IDM_TEST_KEY, onKeyCommand);
        pressF5();
        return true;
    });
    XLOADACCELERATORS(4711);  // no table for the tests after this one
    EXPECT_EQ(code, 5);
    EXPECT_EQ(keyCommands, (std::vector<std::string>{"main loop", "pump"}));
}

TEST(MessagePump, EmptyQueueGivesZeroAtOnce) {
    drainMessages();
    EXPECT_EQ(XPROCESSMESSAGES(), 0);
}

TEST(MessagePump, AListedMessageIsReturnedAndNeverDispatched) {
    TestWindow w;
    ASSERT_TRUE(XSETHANDLER(w.record, WM_USER + 30, countDispatch));
    ASSERT_TRUE(XSETHANDLER(w.record, WM_USER + 31, countDispatch));
    drainMessages();
    dispatched = 0;
    XPOSTMESSAGE(w.record, WM_USER + 31);  // not listed: handled on the way
    XPOSTMESSAGE(w.record, WM_USER + 30);
    const UINT wanted[] = {WM_USER + 29, WM_USER + 30};
    EXPECT_EQ(XPROCESSMESSAGES(false, wanted), static_cast<int>(WM_USER + 30));
    EXPECT_EQ(dispatched, 1);
    EXPECT_EQ(XPROCESSMESSAGES(), 0);
    EXPECT_EQ(dispatched, 1);

    XPOSTMESSAGE(w.record, WM_USER + 30);
    EXPECT_EQ(XPROCESSMESSAGES(true, wanted), static_cast<int>(WM_USER + 30));
    EXPECT_EQ(dispatched, 1);
}

TEST(MessagePump, ASignalledHandleGivesItsNegativeNumber) {
    drainMessages();
    std::array<HANDLE, 3> events{};
    for (HANDLE& e : events) e = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    struct Row {
        const char* what;
        std::array<bool, 3> signalled;
        int expected;
    } rows[] = {{"the second of three", {false, true, false}, -2},
                {"the first of several signalled", {false, true, true}, -2},
                {"the last", {false, false, true}, -3}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        for (std::size_t i = 0; i < events.size(); ++i) {
            if (row.signalled[i]) SetEvent(events[i]); else ResetEvent(events[i]);
        }
        EXPECT_EQ(XPROCESSMESSAGES(false, {}, events), row.expected);
    }
    for (HANDLE e : events) CloseHandle(e);
}

TEST(Services, InstanceOfTheProgramOrOfANamedModule) {
    EXPECT_EQ(XGETINSTANCE(), GetModuleHandleA(nullptr));
    EXPECT_EQ(XGETINSTANCE("kernel32   "), GetModuleHandleA("kernel32"));
    EXPECT_NE(XGETINSTANCE("kernel32"), nullptr);
    EXPECT_EQ(XGETINSTANCE("no-such-module-here"), nullptr);
    EXPECT_FALSE(XLOADACCELERATORS(4711));  // the test program has no such table
}
