// Control events reaching the routines in their slots through real
// notifications: clicks, typing, picking from lists.
#include <windows.h>
#include <commctrl.h>

#include <vector>

#include "WflCtrl.h"
#include "WflWndTestSupport.h"

namespace {

struct Event {
    int id, code;
    std::string text;  // what the control's value read when the routine ran
    bool operator==(const Event&) const = default;
};
std::vector<Event> events;

void record(XWND& window, int id, int code) {
    FixedText<32> value;
    XCTLGETCHAR(window, id, value, XSEL_VALUE);
    events.push_back({id, code, value.str()});
}

class ControlEvents : public ::testing::Test {
protected:
    TestWindow window{WindowOptions{.visibleChild = true, .width = 600, .height = 400}};
    XWND& w = window.record;
    void SetUp() override {
        events.clear();
        SetForegroundWindow(visibleHost().hwnd);
        SetActiveWindow(visibleHost().hwnd);
    }
};

}  // namespace

TEST(EventSlots, EachKindGivesItsEventsTheirSlots) {
    struct Row {
        const char* what;
        int kind;
        DWORD style;
        int event, slot;
    } rows[] = {
        {"button default is the click", kCtlPushButton, 0, XEVT_DEFAULT, 1},
        {"check box click", kCtlCheckBox, BS_AUTOCHECKBOX, XEVT_CLICK, 1},
        {"drawing of an owner-drawn button", kCtlPushButton, BS_OWNERDRAW, XEVT_DRAW, 2},
        {"no drawing for a plain button", kCtlPushButton, 0, XEVT_DRAW, 0},
        {"plain static has none", kCtlStatic, 0, XEVT_DEFAULT, 0},
        {"owner-drawn static draws in slot 1", kCtlStatic, SS_OWNERDRAW, XEVT_DRAW, 1},
        {"edit change", kCtlEdit, 0, XEVT_DEFAULT, 1},
        {"edit update", kCtlEdit, 0, XEVT_UPDATE, 2},
        {"edit lost focus", kCtlEdit, 0, XEVT_LOSTFOCUS, 4},
        {"list double click", kCtlListBox, 0, XEVT_DBLCLICK, 2},
        {"drop-down list got focus", kCtlDropList, 0, XEVT_GOTFOCUS, 3},
        {"tab about to change", kCtlTab, 0, XEVT_SELCHANGING, 2},
        {"editable combo change", kCtlEditCombo, 0, XEVT_CHANGE, 3},
        {"editable combo lost focus", kCtlEditCombo, 0, XEVT_LOSTFOCUS, 6},
        {"track bar change", kCtlTrackBar, 0, XEVT_DEFAULT, 1},
        {"up-down has no click", kCtlUpDown, 0, XEVT_CLICK, 0},
        {"list view column click", kCtlListView, 0, XEVT_COLUMNCLICK, 3},
        {"item data only for a virtual list view", kCtlListView, 0, XEVT_DRAW, 0},
        {"virtual list view item data", kCtlListView, LVS_OWNERDATA, XEVT_DRAW, 4},
        {"child dialog size", kCtlChildDialog, 0, XEVT_SIZE, 4},
        {"any other message of a child dialog", kCtlChildDialog, 0, WM_TIMER, 2},
        {"group box has none", kCtlGroupBox, 0, XEVT_DEFAULT, 0},
        {"progress bar has none", kCtlProgress, 0, XEVT_CHANGE, 0},
        {"status bar has none", kCtlStatusBar, 0, XEVT_DEFAULT, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_EQ(PXGETCALLBACKINDEX(row.kind, row.style, row.event), row.slot);
    }
}

TEST_F(ControlEvents, AButtonClickReachesItsRoutine) {
    XCTLCREATE(w, 10, kCtlPushButton, 0, 10, 10, 80, 24);
    XCTLCREATE(w, 11, kCtlProgress, 0, 10, 40, 80, 24);
    ASSERT_TRUE(XCTLSETSUB(w, 10, record));
    EXPECT_FALSE(XCTLSETSUB(w, 11, record));  // no slots
    EXPECT_FALSE(XCTLSETSUB(w, 10, record, XEVT_SELCHANGE));
    SendDlgItemMessageA(w.hwnd, 10, BM_CLICK, 0, 0);
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].id, 10);
    EXPECT_EQ(events[0].code, XEVT_CLICK);
}

TEST_F(ControlEvents, EditChangesCountOnlyWhileTheUserIsInTheBox) {
    XCTLCREATE(w, 20, kCtlEdit, 0, 10, 10, 120, 24);
    XCTLCREATE(w, 21, kCtlEdit, 0, 10, 40, 120, 24);
    ASSERT_TRUE(XCTLSETSUB(w, 20, record, XEVT_CHANGE));
    ASSERT_TRUE(XCTLSETSUB(w, 20, record, XEVT_GOTFOCUS));
    ASSERT_TRUE(XCTLSETSUB(w, 20, record, XEVT_LOSTFOCUS));
    XCTLSETCHAR(w, 20, "set by the program");
    EXPECT_TRUE(events.empty());

    HWND edit = GetDlgItem(w.hwnd, 20);
    SetFocus(edit);
    SendMessageA(edit, WM_CHAR, 'x', 1);
    SetFocus(GetDlgItem(w.hwnd, 21));
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].code, XEVT_GOTFOCUS);
    EXPECT_EQ(events[1].code, XEVT_CHANGE);
    EXPECT_EQ(events[1].text, "xset by the program");
    EXPECT_EQ(events[2].code, XEVT_LOSTFOCUS);
}

TEST_F(ControlEvents, PickingFromAnEditableComboCopiesTheEntryFirst) {
    XCTLCREATE(w, 30, kCtlEditCombo, 0, 10, 10, 150, 150);
    for (const char* entry : {"alpha", "beta", "gamma"}) XCTLSETCHAR(w, 30, entry, 0);
    ASSERT_TRUE(XCTLSETSUB(w, 30, record));  // the default: a picked entry
    HWND combo = GetDlgItem(w.hwnd, 30);
    HWND edit = PXCTLGETEDIT(combo);
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    // The user opens the list, picks the second entry with a click and the
    // list closes.
    SendMessageA(combo, CB_SHOWDROPDOWN, TRUE, 0);
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    RECT item{};
    SendMessageA(info.hwndList, LB_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    SendMessageA(info.hwndList, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(info.hwndList, WM_LBUTTONUP, 0, at);
    ASSERT_TRUE(pumpUntil([] { return !events.empty(); }, 2000));
    EXPECT_EQ(events[0], (Event{30, XEVT_SELCHANGE, "beta"}));
}

TEST_F(ControlEvents, AListSelectionByClick) {
    XCTLCREATE(w, 40, kCtlListBox, 0, 10, 10, 150, 120);
    for (const char* entry : {"one", "two", "three"}) XCTLSETCHAR(w, 40, entry);
    ASSERT_TRUE(XCTLSETSUB(w, 40, record));
    HWND list = GetDlgItem(w.hwnd, 40);
    RECT item{};
    SendMessageA(list, LB_GETITEMRECT, 2, reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM(item.left + 5, (item.top + item.bottom) / 2);
    SendMessageA(list, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(list, WM_LBUTTONUP, 0, at);
    ASSERT_FALSE(events.empty());
    EXPECT_EQ(events.back().code, XEVT_SELCHANGE);
    int selected = 0;
    XCTLGETINT(w, 40, selected, XSEL_SELECTION);
    EXPECT_EQ(selected, 3);
}

TEST_F(ControlEvents, AScrollBarMovesItselfAndReportsTheChange) {
    XCTLCREATE(w, 50, kCtlScrollBar, 0, 10, 10, 200, 18);
    XCTLSETINT(w, 50, 100, XSEL_MAX);
    XCTLSETINT(w, 50, 10, XSEL_STEP);
    ASSERT_TRUE(XCTLSETSUB(w, 50, record));
    HWND bar = GetDlgItem(w.hwnd, 50);
    SendMessageA(w.hwnd, WM_HSCROLL, SB_PAGEDOWN, reinterpret_cast<LPARAM>(bar));
    SendMessageA(w.hwnd, WM_HSCROLL, SB_LINEDOWN, reinterpret_cast<LPARAM>(bar));
    int position = 0;
    XCTLGETINT(w, 50, position);
    EXPECT_EQ(position, 11);
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[1].code, XEVT_CHANGE);
}
