// Dialogs loaded from the test program's resources: binding, initial
// entries, modeless and modal runs (nested, ended, quitting), tab pages,
// and a dialog application started from its resource.
#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

#include "DialogDriver.h"
#include "Screenshot.h"
#include "TestDialogsRes.h"
#include "WflCtrl.h"
#include "WflDialog.h"
#include "WflWndTestSupport.h"

namespace {

std::vector<std::string> comboEntries(HWND combo) {
    std::vector<std::string> entries;
    const auto count = SendMessageA(combo, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[64] = {};
        SendMessageA(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        entries.emplace_back(text);
    }
    return entries;
}

std::vector<int> eventCodes;
void noteEvent(XWND&, int, int code) { eventCodes.push_back(code); }

// A loaded dialog destroyed at scope end.
struct LoadedDialog {
    XWND record;
    bool loaded = false;
    explicit LoadedDialog(int id, XWND* parent = nullptr) {
        ensureFramework();
        loaded = XLOADDIALOG(id, record, parent);
    }
    ~LoadedDialog() {
        if (IsWindow(record.hwnd)) XDESTROYDIALOG(record);
        drainMessages();
    }
    LoadedDialog(const LoadedDialog&) = delete;
    LoadedDialog& operator=(const LoadedDialog&) = delete;
};

}  // namespace

TEST(LoadedDialogs, ControlsAreBoundAndFilledFromTheInitialisationResource) {
    LoadedDialog d(IDD_CONTROLS);
    ASSERT_TRUE(d.loaded);
    XWND& w = d.record;
    EXPECT_EQ(w.id, IDD_CONTROLS);
    EXPECT_EQ(w.defaultProc, kDefProcDialog);
    EXPECT_EQ(GetPropA(w.hwnd, "XWND"), &w);

    // Element 0 is the dialog's own record.
    ASSERT_FALSE(w.controls.empty());
    EXPECT_EQ(w.controls[0]->kind, kCtlChildDialog);
    EXPECT_EQ(FXCTLBYHANDLE(w.hwnd), w.controls[0].get());
    EXPECT_EQ(FXCTLBYHANDLE(GetDlgItem(w.hwnd, IDC_CONTROLS_DROPLIST))->kind, kCtlDropList);

    // Entries in resource order; the edit box's record is skipped.
    EXPECT_EQ(comboEntries(GetDlgItem(w.hwnd, IDC_CONTROLS_DROPLIST)),
              (std::vector<std::string>{"Gamma", "Alpha", "Beta"}));
    EXPECT_EQ(comboEntries(GetDlgItem(w.hwnd, IDC_CONTROLS_COMBO)),
              (std::vector<std::string>{"first", "second"}));
    FixedText<20> entry;
    ASSERT_TRUE(XCTLGETCHAR(w, IDC_CONTROLS_LIST, entry, 1));
    EXPECT_EQ(entry, "one");
    ASSERT_TRUE(XCTLGETCHAR(w, IDC_CONTROLS_EDIT, entry));
    EXPECT_EQ(entry, "");

    // Routines attach to resource controls, and the dialog's own identifier
    // reaches the dialog.
    eventCodes.clear();
    ASSERT_TRUE(XCTLSETSUB(w, IDC_CONTROLS_CHECK, noteEvent));
    SendDlgItemMessageA(w.hwnd, IDC_CONTROLS_CHECK, BM_CLICK, 0, 0);
    EXPECT_EQ(eventCodes, std::vector<int>{XEVT_CLICK});
    ASSERT_TRUE(XCTLSETCHAR(w, IDD_CONTROLS, "Renamed", XSEL_TEXT));
    EXPECT_EQ(textOf(w.hwnd), "Renamed");
}

TEST(LoadedDialogs, AMissingResourceLoadsNothing) {
    LoadedDialog d(4711);
    EXPECT_FALSE(d.loaded);
    EXPECT_EQ(d.record.hwnd, nullptr);
    EXPECT_FALSE(XMODELESSDIALOG(d.record));
    EXPECT_EQ(XMODALDIALOG(d.record), -1);
}

TEST(LoadedDialogs, ModelessShowsAndReportsItsInitialisation) {
    LoadedDialog d(IDD_CONTROLS);
    ASSERT_TRUE(d.loaded);
    eventCodes.clear();
    ASSERT_TRUE(XCTLSETSUB(d.record, IDD_CONTROLS, noteEvent, XEVT_INIT));
    EXPECT_FALSE(IsWindowVisible(d.record.hwnd));
    ASSERT_TRUE(XMODELESSDIALOG(d.record));
    EXPECT_TRUE(IsWindowVisible(d.record.hwnd));
    EXPECT_EQ(eventCodes, std::vector<int>{XEVT_INIT});
    XDESTROYDIALOG(d.record);
    EXPECT_EQ(d.record.hwnd, nullptr);
}

TEST(ModalRuns, TheOkButtonEndsTheRunAndTheOwnerIsDisabledMeanwhile) {
    TestWindow owner;
    LoadedDialog d(IDD_MODAL, &owner.record);
    ASSERT_TRUE(d.loaded);
    bool ownerEnabledDuringRun = true;
    DialogDriver user([&](HWND dialog) {
        ownerEnabledDuringRun = IsWindowEnabled(owner.hwnd()) != FALSE;
        clickButton(dialog, IDOK);
    }, "Modal");
    EXPECT_EQ(XMODALDIALOG(d.record), IDOK);
    EXPECT_FALSE(ownerEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(owner.hwnd()));
    EXPECT_TRUE(IsWindow(d.record.hwnd));  // hidden, not destroyed
    EXPECT_FALSE(IsWindowVisible(d.record.hwnd));
}

TEST(ModalRuns, DisablingAllLeavesNoOtherWindowOfTheThreadUsable) {
    TestWindow other;
    LoadedDialog d(IDD_MODAL);
    ASSERT_TRUE(d.loaded);
    bool otherEnabledDuringRun = true;
    DialogDriver user([&](HWND dialog) {
        otherEnabledDuringRun = IsWindowEnabled(other.hwnd()) != FALSE;
        pressKey(dialog, VK_ESCAPE);
    }, "Modal");
    EXPECT_EQ(XMODALDIALOG(d.record, nullptr, true), IDCANCEL);
    EXPECT_FALSE(otherEnabledDuringRun);
    EXPECT_TRUE(IsWindowEnabled(other.hwnd()));
}

namespace {

// The nested run: the outer dialog's routine opens the inner one. An end
// request for the outer dialog made before that is lost in the inner run.
struct Nesting {
    XWND* outer = nullptr;
    XWND* inner = nullptr;
    int innerCode = 0;
} nesting;

constexpr UINT kOpenInner = WM_APP + 20;
constexpr UINT kEndInner = WM_APP + 21;
constexpr UINT kEndOuter = WM_APP + 22;

LRESULT openInner(XWND&, UINT, WPARAM, LPARAM) {
    XENDDIALOG(*nesting.outer, 5);  // lost: the inner run takes it and drops it
    PostMessageA(nesting.inner->hwnd, kEndInner, 0, 0);
    nesting.innerCode = XMODALDIALOG(*nesting.inner);
    PostMessageA(nesting.outer->hwnd, kEndOuter, 0, 0);
    return 1;
}
LRESULT endInner(XWND& w, UINT, WPARAM, LPARAM) {
    XENDDIALOG(w, 7);
    return 1;
}
LRESULT endOuter(XWND& w, UINT, WPARAM, LPARAM) {
    XENDDIALOG(w, 9);
    return 1;
}
LRESULT quitNow(XWND&, UINT, WPARAM, LPARAM) {
    PostQuitMessage(3);
    return 1;
}

}  // namespace

TEST(ModalRuns, NestedRunsEachEndWithTheirOwnCode) {
    LoadedDialog outer(IDD_MODAL), inner(IDD_MODAL);
    ASSERT_TRUE(outer.loaded && inner.loaded);
    nesting = {&outer.record, &inner.record, 0};
    ASSERT_TRUE(XSETHANDLER(outer.record, kOpenInner, openInner));
    ASSERT_TRUE(XSETHANDLER(outer.record, kEndOuter, endOuter));
    ASSERT_TRUE(XSETHANDLER(inner.record, kEndInner, endInner));
    PostMessageA(outer.record.hwnd, kOpenInner, 0, 0);
    EXPECT_EQ(XMODALDIALOG(outer.record), 9);
    EXPECT_EQ(nesting.innerCode, 7);
}

TEST(ModalRuns, QuittingEndsTheRunAndTheQuitStaysForTheOuterLoop) {
    LoadedDialog d(IDD_MODAL);
    ASSERT_TRUE(d.loaded);
    drainMessages();
    ASSERT_TRUE(XSETHANDLER(d.record, WM_APP + 30, quitNow));
    PostMessageA(d.record.hwnd, WM_APP + 30, 0, 0);
    EXPECT_EQ(XMODALDIALOG(d.record), -1);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

TEST(ModalRuns, AQuitPendingBeforeTheRunIsKept) {
    LoadedDialog d(IDD_MODAL);
    ASSERT_TRUE(d.loaded);
    drainMessages();
    PostQuitMessage(4);
    XENDDIALOG(d.record, 2);
    EXPECT_EQ(XMODALDIALOG(d.record), 2);
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 4u);
}

namespace {
std::vector<int> tabEvents;
void onTab(XWND&, int, int code) { tabEvents.push_back(code); }
}  // namespace

TEST(TabPages, TheSelectedTabShowsItsPage) {
    LoadedDialog frame(IDD_TABFRAME);
    LoadedDialog one(IDD_TABPAGE_ONE, &frame.record), two(IDD_TABPAGE_TWO, &frame.record);
    ASSERT_TRUE(frame.loaded && one.loaded && two.loaded);
    XWND& f = frame.record;
    // Pages are child windows of the frame, found by their resource numbers.
    EXPECT_EQ(GetDlgItem(f.hwnd, IDD_TABPAGE_ONE), one.record.hwnd);

    ASSERT_TRUE(XCTLSETINT(f, IDC_TABFRAME_TAB, 2, XSEL_COUNT));
    ASSERT_TRUE(XCTLSETCHAR(f, IDC_TABFRAME_TAB, "FIRST PAGE", 1));
    ASSERT_TRUE(XCTLSETCHAR(f, IDC_TABFRAME_TAB, "SECOND PAGE", 2));
    ASSERT_TRUE(XCTLSETINT(f, IDC_TABFRAME_TAB, IDD_TABPAGE_ONE, 1));
    ASSERT_TRUE(XCTLSETINT(f, IDC_TABFRAME_TAB, IDD_TABPAGE_TWO, 2));
    ASSERT_TRUE(XCTLSETINT(f, IDC_TABFRAME_TAB, 1, XSEL_VALUE));
    EXPECT_TRUE(GetWindowLongPtrA(one.record.hwnd, GWL_STYLE) & WS_VISIBLE);
    EXPECT_FALSE(GetWindowLongPtrA(two.record.hwnd, GWL_STYLE) & WS_VISIBLE);

    // The page fills the tab's display area.
    HWND tab = GetDlgItem(f.hwnd, IDC_TABFRAME_TAB);
    RECT area{};
    GetClientRect(tab, &area);
    SendMessageA(tab, TCM_ADJUSTRECT, FALSE, reinterpret_cast<LPARAM>(&area));
    MapWindowPoints(tab, f.hwnd, reinterpret_cast<POINT*>(&area), 2);
    int x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_TRUE(XCTLGETPOS(f, IDD_TABPAGE_ONE, x, y, cx, cy));
    EXPECT_EQ((std::vector<int>{x, y, cx, cy}),
              (std::vector<int>{area.left, area.top, area.right - area.left, area.bottom - area.top}));

    ASSERT_TRUE(XMODELESSDIALOG(f));
    XCTLSETCHAR(one.record, IDC_PAGE_ONE_EDIT, "typed on page one");
    saveScreenshot(f.hwnd, "tab-dialog-first-page");

    // The user clicks the second tab.
    tabEvents.clear();
    ASSERT_TRUE(XCTLSETSUB(f, IDC_TABFRAME_TAB, onTab));
    ASSERT_TRUE(XCTLSETSUB(f, IDC_TABFRAME_TAB, onTab, XEVT_SELCHANGING));
    RECT item{};
    SendMessageA(tab, TCM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(tab, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(tab, WM_LBUTTONUP, 0, at);
    EXPECT_EQ(tabEvents, (std::vector<int>{XEVT_SELCHANGING, XEVT_SELCHANGE}));
    EXPECT_TRUE(IsWindowVisible(two.record.hwnd));
    EXPECT_FALSE(IsWindowVisible(one.record.hwnd));
    int selected = 0;
    XCTLGETINT(f, IDC_TABFRAME_TAB, selected);
    EXPECT_EQ(selected, 2);
    saveScreenshot(f.hwnd, "tab-dialog-second-page");

    XDESTROYDIALOG(two.record);
    XDESTROYDIALOG(one.record);
}

namespace {

int initCalls = 0;
bool dialogInit(const FixedText<256>&, int&) {
    ++initCalls;
    if (!XCREATEDIALOGAPP(IDD_CONTROLS)) return false;
    XWND& frame = frameWindow();
    if (IsWindowVisible(frame.hwnd)) return false;  // the application shows it itself
    if (!XCTLSETSUB(frame, IDC_CONTROLS_CHECK, noteEvent)) return false;
    if (!XMODELESSDIALOG(frame, SW_SHOWNORMAL)) return false;
    SendDlgItemMessageA(frame.hwnd, IDC_CONTROLS_CHECK, BM_CLICK, 0, 0);
    PostMessageA(frame.hwnd, WM_COMMAND, IDCANCEL, 0);  // Esc on the main dialog
    return true;
}

}  // namespace

TEST(DialogApplication, LoadsItsDialogAsTheFrameAndCancelEndsIt) {
    eventCodes.clear();
    initCalls = 0;
    const int code = runApplication(GetModuleHandleA(nullptr), "", SW_SHOW, dialogInit);
    EXPECT_EQ(initCalls, 1);
    EXPECT_EQ(code, 0);
    EXPECT_EQ(eventCodes, std::vector<int>{XEVT_CLICK});
    EXPECT_EQ(frameWindow().id, IDD_CONTROLS);
    // Cancel ends the program but leaves the dialog; the next test starts
    // with no frame window at all.
    if (IsWindow(frameWindow().hwnd)) XDESTROYDIALOG(frameWindow());
    resetWindowRecord(frameWindow());
    drainMessages();
    startFramework(nullptr);
}
