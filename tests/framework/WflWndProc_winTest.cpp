// The window procedure with real windows and real messages: binding
// records, default processing, commands, dialogs, adoption and faults.
#include <string>

#include "WflWndTestSupport.h"

namespace {

// What the handlers of these tests saw.
struct Seen {
    int calls = 0;
    int id = 0;
    int code = 0;
    LRESULT answer = 0;       // what the next handler returns
    LRESULT defaultHit = -1;  // WM_NCHITTEST: the default result handed over
};
Seen seen;

LRESULT onChar(XWND&, int, bool, bool) {
    ++seen.calls;
    return seen.answer;
}
LRESULT onHitTest(XWND&, int, int, LRESULT& defaultHit) {
    ++seen.calls;
    seen.defaultHit = defaultHit;
    return seen.answer;
}
LRESULT onClose(XWND&) {
    ++seen.calls;
    return seen.answer;
}
LRESULT onRaw(XWND&, UINT, WPARAM, LPARAM) {
    ++seen.calls;
    return 5;
}
LRESULT onColours(XWND&) {
    ++seen.calls;
    return 0;
}
void onCommand(XWND&, int id, int code) {
    ++seen.calls;
    seen.id = id;
    seen.code = code;
}

std::string windowText(HWND hwnd) {
    char text[64] = {};
    GetWindowTextA(hwnd, text, sizeof(text));
    return text;
}

POINT clientCentreOnScreen(HWND hwnd) {
    const SIZE size = clientSize(hwnd);
    POINT p{size.cx / 2, size.cy / 2};
    ClientToScreen(hwnd, &p);
    return p;
}

}  // namespace

TEST(WindowRecords, CreationBindsTheRecordToItsWindow) {
    ensureFramework();
    const int before = windowCount();
    TestWindow w;
    ASSERT_TRUE(IsWindow(w.hwnd()));
    EXPECT_EQ(GetPropA(w.hwnd(), "XWND"), &w.record);
    EXPECT_EQ(w.record.defaultProc, kDefProcFramework);
    EXPECT_EQ(w.record.cursor, noCursor());
    EXPECT_EQ(windowCount(), before + 1);
    XWND* found = nullptr;
    EXPECT_EQ(XGETWINDOW(found, w.hwnd()), &w.record);
}

TEST(WindowRecords, AnUnknownClassCreatesNothing) {
    XWND record;
    record.hwnd = reinterpret_cast<HWND>(1);
    EXPECT_FALSE(XCREATEWINDOW(record, nullptr, WS_OVERLAPPEDWINDOW, "x", 0, CW_USEDEFAULT,
                               CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
                               "NoSuchClassAnywhere  "));
    EXPECT_EQ(record.hwnd, nullptr);
}

TEST(WindowRecords, DestructionFreesTheTablesAndTheRecordCanBeReused) {
    XWND record;
    ensureFramework();
    ASSERT_TRUE(XCREATEWINDOW(record, nullptr, WS_OVERLAPPEDWINDOW, "reuse"));
    HWND first = record.hwnd;
    ASSERT_TRUE(XSETHANDLER(record, WM_USER, onRaw));
    ASSERT_TRUE(XSETCOMMAND(record, 5, onCommand));
    ASSERT_TRUE(XDESTROYWINDOW(record));
    EXPECT_EQ(record.hwnd, nullptr);
    EXPECT_EQ(record.handlerCount, 0);
    EXPECT_EQ(record.commandCount, 0);
    EXPECT_EQ(record.handlerMessages.capacity(), 0u);
    EXPECT_EQ(record.commandRoutines.capacity(), 0u);
    EXPECT_EQ(GetPropA(first, "XWND"), nullptr);

    ASSERT_TRUE(XCREATEWINDOW(record, nullptr, WS_OVERLAPPEDWINDOW, "reuse"));
    EXPECT_EQ(GetPropA(record.hwnd, "XWND"), &record);
    XDESTROYWINDOW(record);
}

TEST(WindowRecords, GetWindowGivesOwnScratchDesktopOrNothing) {
    TestWindow own;
    HWND plain = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                 nullptr, nullptr);
    SetWindowLongPtrA(plain, GWLP_ID, 77);
    XWND* r = nullptr;

    EXPECT_EQ(XGETWINDOW(r, own.hwnd()), &own.record);

    ASSERT_NE(XGETWINDOW(r, plain), nullptr);
    XWND* scratch = r;
    EXPECT_EQ(r->hwnd, plain);
    EXPECT_EQ(r->id, 77);
    EXPECT_EQ(r->defaultProc, kDefProcUnbound);

    ASSERT_NE(XGETWINDOW(r), nullptr);  // no handle: the desktop, in the same scratch record
    EXPECT_EQ(r, scratch);
    EXPECT_EQ(r->hwnd, GetDesktopWindow());
    EXPECT_EQ(r->defaultProc, kDefProcUnbound);
    EXPECT_EQ(r->handlerCount, 0);

    DestroyWindow(plain);
    EXPECT_EQ(XGETWINDOW(r, plain), nullptr);
}

TEST(WindowRecords, AWindowOfAnotherClassIsSubclassedAndKeepsItsBehaviour) {
    TestWindow parent;
    XWND edit;
    ASSERT_TRUE(XCREATEWINDOW(edit, &parent.record, WS_CHILD | WS_VISIBLE, "", 0, 0, 0, 100, 20,
                              nullptr, "Edit", 9));
    EXPECT_EQ(GetWindowLongPtrA(edit.hwnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(fxwindowproc));
    EXPECT_NE(edit.defaultProc, kDefProcFramework);
    EXPECT_NE(edit.defaultProc, kDefProcUnbound);
    EXPECT_EQ(GetWindowLongPtrA(edit.hwnd, GWLP_ID), 9);
    ASSERT_TRUE(XSETHANDLER(edit, WM_CHAR, onChar));

    // A WM_CHAR handler that returns 0 still lets the edit control type the
    // character; one that returns non-zero keeps it out.
    struct Row {
        const char* what;
        LRESULT answer;
        const char* text;
    } rows[] = {{"declines", 0, "a"}, {"handles", 1, ""}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SetWindowTextA(edit.hwnd, "");
        seen = {};
        seen.answer = row.answer;
        SendMessageA(edit.hwnd, WM_CHAR, 'a', 1);
        EXPECT_EQ(seen.calls, 1);
        EXPECT_EQ(windowText(edit.hwnd), row.text);
    }
}

TEST(Dispatch, HitTestHandlerResultIsTheHitTestEvenWhenZero) {
    TestWindow w({.visibleChild = true});
    const POINT centre = clientCentreOnScreen(w.hwnd());
    const LPARAM at = MAKELPARAM(centre.x, centre.y);
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_NCHITTEST, 0, at), HTCLIENT);  // no handler yet

    ASSERT_TRUE(XSETHANDLER(w.record, WM_NCHITTEST, onHitTest));
    struct Row {
        const char* what;
        LRESULT answer;
    } rows[] = {{"zero stays zero", 0}, {"caption", HTCAPTION}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        seen = {};
        seen.answer = row.answer;
        EXPECT_EQ(SendMessageA(w.hwnd(), WM_NCHITTEST, 0, at), row.answer);
        EXPECT_EQ(seen.defaultHit, HTCLIENT);
    }
}

TEST(Dispatch, CloseHandlerDecidesWhetherTheWindowCloses) {
    struct Row {
        const char* what;
        LRESULT answer;
        bool stillThere;
    } rows[] = {{"declines: closes", 0, false}, {"handles: stays open", 1, true}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        TestWindow w;
        ASSERT_TRUE(XSETHANDLER(w.record, WM_CLOSE, onClose));
        seen = {};
        seen.answer = row.answer;
        SendMessageA(w.hwnd(), WM_CLOSE, 0, 0);
        EXPECT_EQ(seen.calls, 1);
        EXPECT_EQ(IsWindow(w.hwnd()) != FALSE, row.stillThere);
    }
}

TEST(Dispatch, CommandsReachTheirRoutineWithIdentifierAndCode) {
    TestWindow w;
    HWND button = CreateWindowExA(0, "Button", "", WS_CHILD, 0, 0, 10, 10, w.hwnd(),
                                  reinterpret_cast<HMENU>(40), nullptr, nullptr);
    ASSERT_TRUE(XSETCOMMAND(w.record, 40, onCommand));
    struct Row {
        const char* what;
        WPARAM wParam;
        LPARAM lParam;
        int code;
    } rows[] = {
        {"menu", MAKEWPARAM(40, 0), 0, 0},
        {"accelerator counts as menu", MAKEWPARAM(40, 1), 0, 0},
        {"control notification", MAKEWPARAM(40, BN_DBLCLK), reinterpret_cast<LPARAM>(button),
         BN_DBLCLK},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        seen = {};
        EXPECT_EQ(SendMessageA(w.hwnd(), WM_COMMAND, row.wParam, row.lParam), 1);
        EXPECT_EQ(seen.calls, 1);
        EXPECT_EQ(seen.id, 40);
        EXPECT_EQ(seen.code, row.code);
    }
    seen = {};
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_COMMAND, MAKEWPARAM(41, 0), 0), 0);  // nobody's command
    EXPECT_EQ(seen.calls, 0);
}

TEST(Dispatch, CommandFromAControlInsideAnotherFrameworkWindowGoesThere) {
    TestWindow outer;
    XWND inner;
    ASSERT_TRUE(XCREATEWINDOW(inner, &outer.record, WS_CHILD, "", 0, 0, 0, 50, 50, nullptr, {}, 3));
    HWND button = CreateWindowExA(0, "Button", "", WS_CHILD, 0, 0, 10, 10, inner.hwnd,
                                  reinterpret_cast<HMENU>(12), nullptr, nullptr);
    ASSERT_TRUE(XSETCOMMAND(inner, 12, onCommand));
    seen = {};
    SendMessageA(outer.hwnd(), WM_COMMAND, MAKEWPARAM(12, BN_CLICKED),
                 reinterpret_cast<LPARAM>(button));
    EXPECT_EQ(seen.calls, 1);
    EXPECT_EQ(seen.code, BN_CLICKED);
}

TEST(Dispatch, CancelInADialogPostsTheEndMessageUnlessARoutineTakesIt) {
    XWND dialog;
    HWND hwnd = createFrameworkDialog(dialog, dialogTemplate(WS_POPUP));
    ASSERT_NE(hwnd, nullptr);
    EXPECT_EQ(dialog.hwnd, hwnd);
    EXPECT_EQ(GetPropA(hwnd, "XWND"), &dialog);

    // (What SendMessageA returns from a dialog is its DWLP_MSGRESULT, not
    // the procedure's answer, so only the effects are checked.)
    MSG msg{};
    SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    ASSERT_TRUE(takeMessage(hwnd, kMsgEndDialog, msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(IDCANCEL));
    EXPECT_EQ(msg.lParam, reinterpret_cast<LPARAM>(hwnd));
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));  // not the main window

    ASSERT_TRUE(XSETCOMMAND(dialog, IDCANCEL, onCommand));
    seen = {};
    SendMessageA(hwnd, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(seen.calls, 1);
    EXPECT_FALSE(takeMessage(hwnd, kMsgEndDialog, msg));
    DestroyWindow(hwnd);
}

TEST(Dispatch, CursorOfTheRecordShowsOverTheClientAreaOnly) {
    TestWindow w({.visibleChild = true});
    HCURSOR cross = LoadCursorA(nullptr, IDC_CROSS);
    HCURSOR arrow = LoadCursorA(nullptr, IDC_ARROW);
    EXPECT_EQ(XSETCURSOR(w.record, cross), noCursor());
    SetCursor(arrow);
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              1);
    EXPECT_EQ(GetCursor(), cross);
    SetCursor(arrow);
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd()),
                           MAKELPARAM(HTBORDER, WM_MOUSEMOVE)),
              0);
    EXPECT_EQ(XSETCURSOR(w.record), cross);  // back to none
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_SETCURSOR, reinterpret_cast<WPARAM>(w.hwnd()),
                           MAKELPARAM(HTCLIENT, WM_MOUSEMOVE)),
              0);
}

TEST(Dispatch, SystemColourChangeReachesEveryDescendant) {
    TestWindow outer;
    XWND middle, inner;
    ASSERT_TRUE(XCREATEWINDOW(middle, &outer.record, WS_CHILD, "", 0, 0, 0, 50, 50, nullptr, {}, 1));
    ASSERT_TRUE(XCREATEWINDOW(inner, &middle, WS_CHILD, "", 0, 0, 0, 20, 20, nullptr, {}, 2));
    ASSERT_TRUE(XSETHANDLER(middle, WM_SYSCOLORCHANGE, onColours));
    ASSERT_TRUE(XSETHANDLER(inner, WM_SYSCOLORCHANGE, onColours));
    seen = {};
    SendMessageA(outer.hwnd(), WM_SYSCOLORCHANGE, 0, 0);
    // The outer window sends it to both descendants, and the middle one to
    // its own child once more: inner twice, middle once.
    EXPECT_EQ(seen.calls, 3);
}

TEST(Dispatch, ControlCreationRequestCreatesTheControlInTheWindow) {
    TestWindow w;
    ControlCreateRequest request{WS_CHILD | BS_PUSHBUTTON, kCtlPushButton, 1, 2, 30, 40, 0};
    auto created = reinterpret_cast<HWND>(
        SendMessageA(w.hwnd(), kMsgCreateControl, reinterpret_cast<WPARAM>(&request), 123));
    ASSERT_NE(created, nullptr);
    EXPECT_EQ(GetParent(created), w.hwnd());
    EXPECT_EQ(GetDlgCtrlID(created), 123);
    EXPECT_EQ(FXRESOLVECLASSNAME(created), kCtlPushButton);
    EXPECT_EQ(SendMessageA(w.hwnd(), kMsgCreateControl, 0, 124), 0);

    XWND dialog;
    HWND dlg = createFrameworkDialog(dialog, dialogTemplate(WS_POPUP));
    // A dialog answers through DWLP_MSGRESULT, which the dialog manager
    // hands back to the sender.
    const LRESULT answer =
        SendMessageA(dlg, kMsgCreateControl, reinterpret_cast<WPARAM>(&request), 5);
    ASSERT_NE(GetDlgItem(dlg, 5), nullptr);
    EXPECT_EQ(answer, reinterpret_cast<LRESULT>(GetDlgItem(dlg, 5)));
    DestroyWindow(dlg);
}

TEST(Dispatch, APropertyLeadingToAnotherWindowsRecordRaisesTheFault) {
    TestWindow a, b;
    ASSERT_TRUE(XSETHANDLER(a.record, WM_USER + 9, onRaw));
    SetPropA(b.hwnd(), "XWND", &a.record);
    FaultRecorder faults;
    seen = {};
    EXPECT_EQ(SendMessageA(b.hwnd(), WM_USER + 9, 0, 0), 0);  // served without a record
    EXPECT_EQ(seen.calls, 0);
    ASSERT_FALSE(faults.seen().empty());
    EXPECT_EQ(faults.seen()[0], kFaultForeignRecord);
    SetPropA(b.hwnd(), "XWND", &b.record);
}

TEST(Adoption, BindingAdoptsAWindowAndItsControlsAndUnbindingGivesItBack) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "TallyonAdoptionTest";
    RegisterClassA(&wc);
    HWND plain = CreateWindowExA(0, wc.lpszClassName, "", WS_OVERLAPPED, 0, 0, 200, 100, nullptr,
                                 nullptr, wc.hInstance, nullptr);
    auto child = [&](const char* cls, DWORD style, int id) {
        return CreateWindowExA(0, cls, "", WS_CHILD | style, 0, 0, 20, 20, plain,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    };
    HWND ok = child("Button", BS_PUSHBUTTON, IDOK);
    HWND check = child("Button", BS_AUTOCHECKBOX, 7);
    child("Static", 0, 0);  // no identifier: not a control of the record

    XWND* record = nullptr;
    const int before = windowCount();
    ASSERT_TRUE(XBINDWINDOW(plain, record));
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(windowCount(), before + 1);
    EXPECT_EQ(record->defaultProc, reinterpret_cast<LONG_PTR>(DefWindowProcA));
    ASSERT_EQ(record->controlCount, 3);  // record 0 is kept for the window itself
    EXPECT_EQ(FXCTLBYHANDLE(ok)->kind, kCtlPushButton);
    EXPECT_EQ(FXCTLBYHANDLE(ok)->slots[0], PXENDDIALOG);
    EXPECT_EQ(FXCTLBYHANDLE(check)->kind, kCtlCheckBox);
    EXPECT_EQ(FXCTLBYHANDLE(check)->slots[0], nullptr);

    XWND* again = nullptr;
    EXPECT_TRUE(XBINDWINDOW(plain, again));
    EXPECT_EQ(again, record);
    EXPECT_FALSE(XBINDWINDOW(plain, again));  // the reference must be null

    // A click on OK goes through the built-in routine: end message posted.
    SendMessageA(plain, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), reinterpret_cast<LPARAM>(ok));
    MSG msg{};
    ASSERT_TRUE(takeMessage(plain, kMsgEndDialog, msg));
    EXPECT_EQ(msg.wParam, static_cast<WPARAM>(IDOK));

    ASSERT_TRUE(XUNBINDWINDOW(record));
    EXPECT_EQ(record, nullptr);
    EXPECT_EQ(GetWindowLongPtrA(plain, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(DefWindowProcA));
    EXPECT_EQ(GetPropA(plain, "XWND"), nullptr);
    EXPECT_EQ(FXCTLBYHANDLE(ok), nullptr);
    DestroyWindow(plain);
}

TEST(Adoption, UnbindingRefusesWindowsTheFrameworkCreated) {
    TestWindow w;
    XWND* record = &w.record;
    EXPECT_FALSE(XUNBINDWINDOW(record));
    EXPECT_EQ(record, &w.record);
    XWND* none = nullptr;
    EXPECT_FALSE(XBINDWINDOW(reinterpret_cast<HWND>(0x12345), none));  // not a window
    EXPECT_EQ(none, nullptr);
}
