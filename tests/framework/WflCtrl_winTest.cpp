// Controls created through the framework and changed and read through its
// selectors, on real controls of a real window.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "WflCtrl.h"
#include "WflWndTestSupport.h"

namespace {

std::string classNameOf(HWND hwnd) {
    char name[64] = {};
    GetClassNameA(hwnd, name, sizeof(name));
    return name;
}

std::string text(HWND hwnd) {
    char buffer[256] = {};
    GetWindowTextA(hwnd, buffer, sizeof(buffer));
    return buffer;
}

// A window with controls; visible, so that focus and painting behave as
// they do for a user.
class Controls : public ::testing::Test {
protected:
    TestWindow window{WindowOptions{.visibleChild = true, .width = 600, .height = 400}};
    XWND& w = window.record;

    HWND create(int id, int kind, DWORD flags = 0, int width = 120, int height = 24) {
        const int used = XCTLCREATE(w, id, kind, flags, 10, 10, width, height);
        return used ? GetDlgItem(w.hwnd, used) : nullptr;
    }
    LRESULT send(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return SendDlgItemMessageA(w.hwnd, id, message, wParam, lParam);
    }
    std::string getChar(int id, std::optional<int> selector = std::nullopt) {
        FixedText<40> field("unchanged");
        return XCTLGETCHAR(w, id, field, selector) ? field.str() : "<failed>";
    }
    LONG_PTR getInt(int id, std::optional<int> selector = std::nullopt) {
        LONG_PTR value = -999;
        return XCTLGETINT(w, id, value, selector) ? value : -999;
    }
};

}  // namespace

TEST_F(Controls, CreationGivesClassStyleFontAndRecord) {
    struct Row {
        const char* what;
        int kind;
        DWORD flags;
        const char* cls;
        DWORD styleBits;
        DWORD exStyleBits;
    } rows[] = {
        {"static, right-aligned", kCtlStatic, XCF_RIGHT, "Static", SS_RIGHT, 0},
        {"owner-drawn static", kCtlStatic, XCF_OWNERDRAW, "Static", SS_OWNERDRAW, 0},
        {"group box", kCtlGroupBox, 0, "Button", BS_GROUPBOX, 0},
        {"push button, multi-line", kCtlPushButton, XCF_MULTILINE, "Button", WS_TABSTOP | BS_MULTILINE, 0},
        {"check box, push-like", kCtlCheckBox, 0x1000, "Button", BS_AUTOCHECKBOX | BS_PUSHLIKE, 0},
        {"auto radio", kCtlAutoRadio, 0, "Button", BS_AUTORADIOBUTTON, 0},
        {"read-only multi-line edit", kCtlEdit, XCF_READONLY | XCF_MULTILINE, "Edit",
         ES_READONLY | ES_MULTILINE | WS_VSCROLL | WS_HSCROLL, 0},
        {"sorted list box", kCtlListBox, XCF_SORTED, "ListBox", LBS_NOTIFY | LBS_SORT, 0},
        {"drop-down list", kCtlDropList, 0, "ComboBox", CBS_DROPDOWNLIST, 0},
        {"radio", kCtlRadio, 0, "Button", BS_RADIOBUTTON, 0},
        {"multi-line tab", kCtlTab, XCF_MULTILINE, "SysTabControl32", TCS_MULTILINE, 0},
        {"vertical scroll bar", kCtlScrollBar, XCF_VERTICAL, "ScrollBar", SBS_VERT, 0},
        {"editable combo", kCtlEditCombo, XCF_SORTED, "ComboBox", CBS_DROPDOWN | CBS_SORT, 0},
        {"up-down", kCtlUpDown, 0, "msctls_updown32", 0, 0},
        {"track bar", kCtlTrackBar, 0, "msctls_trackbar32", TBS_AUTOTICKS, 0},
        {"progress bar", kCtlProgress, 0, "msctls_progress32", 0, 0},
        {"status bar", kCtlStatusBar, 0, "msctls_statusbar32", 0, 0},
        {"list view", kCtlListView, 0, "SysListView32", LVS_REPORT | LVS_SHOWSELALWAYS, 0},
        {"disabled, in a group, sunken", kCtlEdit, XCF_DISABLED | XCF_GROUP | XCF_CLIENTEDGE,
         "Edit", WS_DISABLED | WS_GROUP, WS_EX_CLIENTEDGE},
    };
    int id = 200;
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        HWND control = create(++id, row.kind, row.flags);
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(GetDlgCtrlID(control), id);
        EXPECT_STRCASEEQ(classNameOf(control).c_str(), row.cls);
        const auto style = static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE));
        EXPECT_EQ(style & (WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS),
                  static_cast<DWORD>(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS));
        EXPECT_EQ(style & row.styleBits, row.styleBits);
        EXPECT_EQ(GetWindowLongPtrA(control, GWL_EXSTYLE) & row.exStyleBits, row.exStyleBits);
        // Bars and spinners show no text and keep no font.
        const bool textless = row.kind == kCtlScrollBar || row.kind == kCtlUpDown ||
                              row.kind == kCtlTrackBar;
        if (!textless) {
            EXPECT_EQ(reinterpret_cast<HGDIOBJ>(SendMessageA(control, WM_GETFONT, 0, 0)),
                      GetStockObject(DEFAULT_GUI_FONT));
        }
        const XCTL* record = FXCTLBYHANDLE(control);
        ASSERT_NE(record, nullptr);
        EXPECT_EQ(record->kind, row.kind);
        EXPECT_EQ(record->owner, w.hwnd);
        EXPECT_EQ(FXRESOLVECLASSNAME(control), row.kind);
    }
    EXPECT_EQ(w.controlCount, static_cast<int>(std::size(rows)));
}

TEST_F(Controls, ATakenIdentifierGivesTheNextFreeOne) {
    create(300, kCtlEdit);
    create(301, kCtlEdit);
    EXPECT_EQ(XCTLCREATE(w, 300, kCtlStatic), 302);
    EXPECT_EQ(XCTLCREATE(w, 300, kCtlStatic, 0, std::nullopt, 5), 303);
    int x = -1, y = -1, cx = 0, cy = 0;
    ASSERT_TRUE(XCTLGETPOS(w, 303, x, y, cx, cy));
    EXPECT_EQ(x, 0);  // a missing coordinate puts it at the origin
    EXPECT_EQ(y, 0);
}

TEST_F(Controls, DefaultTextSelectorsByKind) {
    create(1, kCtlEdit);
    create(2, kCtlListBox, 0, 120, 80);
    create(3, kCtlDropList, 0, 120, 120);
    create(4, kCtlTab);
    create(5, kCtlStatic);
    create(6, kCtlStatusBar);
    create(7, kCtlEditCombo, 0, 120, 120);
    for (int id = 1; id <= 7; ++id) {
        ASSERT_TRUE(XCTLSETCHAR(w, id, "first   "));
        ASSERT_TRUE(XCTLSETCHAR(w, id, "second"));
    }
    // Edit and editable combo: the value is replaced.
    EXPECT_EQ(text(GetDlgItem(w.hwnd, 1)), "second");
    EXPECT_EQ(getChar(1), "second");
    EXPECT_EQ(getChar(7), "second");
    EXPECT_EQ(send(7, CB_GETCOUNT), 0);
    // List, drop-down list and tab: each text is appended.
    EXPECT_EQ(send(2, LB_GETCOUNT), 2);
    EXPECT_EQ(send(3, CB_GETCOUNT), 2);
    EXPECT_EQ(send(4, TCM_GETITEMCOUNT), 2);
    EXPECT_EQ(getChar(2, 2), "second");
    EXPECT_EQ(getChar(4, 1), "first");
    // Reading them without a selector gives the selected entry; none yet.
    EXPECT_EQ(getChar(2), "<failed>");
    ASSERT_TRUE(XCTLSETINT(w, 2, 2, XSEL_VALUE));
    EXPECT_EQ(getChar(2), "second");
    EXPECT_EQ(getChar(4), "first");  // a tab control always has one selected
    // Static: its window text; status bar: its (first) part.
    EXPECT_EQ(text(GetDlgItem(w.hwnd, 5)), "second");
    EXPECT_EQ(getChar(6), "second");
}

TEST_F(Controls, TextLosesTrailingBlanksAndReadsBackPadded) {
    create(1, kCtlEdit);
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "abc   "));
    EXPECT_EQ(text(GetDlgItem(w.hwnd, 1)), "abc");
    FixedText<6> field("zzzzzz");
    ASSERT_TRUE(XCTLGETCHAR(w, 1, field));
    EXPECT_EQ(field.raw(), "abc   ");
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "     "));
    EXPECT_EQ(text(GetDlgItem(w.hwnd, 1)), "");
}

TEST_F(Controls, ComboSelectionZeroClearsItAndListsStartUnselected) {
    create(1, kCtlDropList, 0, 120, 120);
    create(2, kCtlListBox, 0, 120, 80);
    for (const char* entry : {"a", "b", "c"}) {
        XCTLSETCHAR(w, 1, entry);
        XCTLSETCHAR(w, 2, entry);
    }
    EXPECT_EQ(getInt(2, XSEL_SELECTION), 0);
    ASSERT_TRUE(XCTLSETINT(w, 1, 2, XSEL_VALUE));
    EXPECT_EQ(getInt(1, XSEL_SELECTION), 2);
    EXPECT_EQ(getChar(1, XSEL_SELECTION), "b");
    ASSERT_TRUE(XCTLSETINT(w, 1, 0, XSEL_VALUE));
    EXPECT_EQ(send(1, CB_GETCURSEL), CB_ERR);
    EXPECT_EQ(getInt(1, XSEL_SELECTION), 0);
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "c", XSEL_SELECTION));
    EXPECT_EQ(getInt(1), 3);  // XSEL_VALUE of a combo: its selected entry
    EXPECT_FALSE(XCTLSETINT(w, 1, 9, XSEL_VALUE));  // no entry 9
    EXPECT_EQ(getInt(1), 3);
}

TEST_F(Controls, CountChangesAtTheEndAndKeepsTheSelection) {
    create(1, kCtlListBox, 0, 120, 120);
    for (const char* entry : {"a", "b", "c", "d", "e"}) XCTLSETCHAR(w, 1, entry);
    ASSERT_TRUE(XCTLSETINT(w, 1, 2, XSEL_VALUE));
    ASSERT_TRUE(XCTLSETINT(w, 1, 3));  // the default selector of a list: its count
    EXPECT_EQ(getInt(1, XSEL_COUNT), 3);
    EXPECT_EQ(getChar(1, 3), "c");
    EXPECT_EQ(getInt(1, XSEL_SELECTION), 2);
    ASSERT_TRUE(XCTLSETINT(w, 1, 5, XSEL_COUNT));
    EXPECT_EQ(getChar(1, 5), "");  // empty entries added
    EXPECT_EQ(getInt(1, XSEL_SELECTION), 2);
    ASSERT_TRUE(XCTLSETINT(w, 1, 1, XSEL_COUNT));
    EXPECT_EQ(getInt(1, XSEL_SELECTION), 0);  // entry 2 is gone
}

TEST_F(Controls, ItemsOfListsTabsAndEditLines) {
    create(1, kCtlListBox, 0, 120, 120);
    create(2, kCtlTab, 0, 200, 60);
    create(3, kCtlEdit, XCF_MULTILINE, 200, 80);
    for (const char* entry : {"a", "b", "c"}) XCTLSETCHAR(w, 1, entry);
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "B", 2));
    EXPECT_EQ(getInt(1, XSEL_COUNT), 3);
    EXPECT_EQ(getChar(1, 2), "B");
    EXPECT_FALSE(XCTLSETCHAR(w, 1, "x", 9));  // no entry 9: nothing changes
    EXPECT_EQ(getInt(1, XSEL_COUNT), 3);

    ASSERT_TRUE(XCTLSETINT(w, 2, 2, XSEL_COUNT));
    ASSERT_TRUE(XCTLSETCHAR(w, 2, "One", 1));
    ASSERT_TRUE(XCTLSETCHAR(w, 2, "Three", 3));  // beyond the last: added
    EXPECT_EQ(getInt(2, XSEL_COUNT), 3);
    EXPECT_EQ(getChar(2, 3), "Three");
    ASSERT_TRUE(XCTLSETINT(w, 2, 605, 2));  // item value: the tab's page identifier
    EXPECT_EQ(getInt(2, 2), 605);

    SetWindowTextA(GetDlgItem(w.hwnd, 3), "line one\r\nline two\r\nline three");
    EXPECT_EQ(getChar(3, 2), "line two");
    ASSERT_TRUE(XCTLSETCHAR(w, 3, "2nd", 2));
    EXPECT_EQ(text(GetDlgItem(w.hwnd, 3)), "line one\r\n2nd\r\nline three");
    EXPECT_EQ(getChar(3, 7), "<failed>");
}

TEST_F(Controls, NumbersOfEditsBarsAndRanges) {
    create(1, kCtlEdit);
    create(2, kCtlScrollBar);
    create(3, kCtlTrackBar);
    create(4, kCtlUpDown);
    create(5, kCtlProgress);
    struct Row {
        const char* what;
        int id;
        int selector;
        LONG_PTR value;
        LONG_PTR expected;
    } rows[] = {
        {"edit number", 1, XSEL_VALUE, -42, -42},
        {"edit text limit", 1, XSEL_MAX, 12, 12},
        {"scroll bar range end", 2, XSEL_MAX, 100, 100},
        {"scroll bar page", 2, XSEL_STEP, 10, 10},
        {"scroll bar position within range minus page", 2, XSEL_VALUE, 200, 91},
        {"scroll bar range start", 2, XSEL_MIN, 5, 5},
        {"track bar minimum", 3, XSEL_MIN, 10, 10},
        {"track bar maximum", 3, XSEL_MAX, 50, 50},
        {"track bar position", 3, XSEL_VALUE, 30, 30},
        {"up-down maximum", 4, XSEL_MAX, 80, 80},
        {"up-down maximum is limited", 4, XSEL_MAX, 100000, 65535},
        {"up-down minimum (an up-down starts at 100..0)", 4, XSEL_MIN, 0, 0},
        {"up-down position", 4, XSEL_VALUE, 7, 7},
        {"progress maximum", 5, XSEL_MAX, 250, 250},
        {"progress position", 5, XSEL_VALUE, 120, 120},
        {"progress step", 5, XSEL_STEP, 25, 25},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        EXPECT_TRUE(XCTLSETINT(w, row.id, row.value, row.selector));
        EXPECT_EQ(getInt(row.id, row.selector), row.expected);
    }
    SetWindowTextA(GetDlgItem(w.hwnd, 1), "not a number");
    EXPECT_EQ(getInt(1), -999);
    EXPECT_FALSE(XCTLSETINT(w, 1, 1, XSEL_MIN));  // an edit box has no lower end
    EXPECT_FALSE(XCTLSETINT(w, 5, 1, XSEL_COUNT));
}

TEST_F(Controls, FlagsOfCheckBoxesAndAnyControl) {
    create(1, kCtlCheckBox);
    create(2, kCtlPushButton);
    bool flag = false;
    ASSERT_TRUE(XCTLSETLOG(w, 1, true));
    EXPECT_EQ(send(1, BM_GETCHECK), BST_CHECKED);
    ASSERT_TRUE(XCTLGETLOG(w, 1, flag));
    EXPECT_TRUE(flag);
    EXPECT_FALSE(XCTLSETLOG(w, 2, true));  // a push button has no check state
    ASSERT_TRUE(XCTLSETLOG(w, 2, false, XSEL_ENABLED));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(w.hwnd, 2)));
    ASSERT_TRUE(XCTLSETLOG(w, 2, false, XSEL_VISIBLE));
    ASSERT_TRUE(XCTLGETLOG(w, 2, flag, XSEL_VISIBLE));
    EXPECT_FALSE(flag);
}

TEST_F(Controls, ColoursAreKeptInTheRecord) {
    create(1, kCtlStatic);
    EXPECT_EQ(getInt(1, XSEL_BKCOLOR), -1);
    ASSERT_TRUE(XCTLSETINT(w, 1, 0x00FF00, XSEL_BKCOLOR));
    ASSERT_TRUE(XCTLSETINT(w, 1, 0x0000FF, XSEL_TEXTCOLOR));
    EXPECT_EQ(getInt(1, XSEL_BKCOLOR), 0x00FF00);
    EXPECT_EQ(getInt(1, XSEL_TEXTCOLOR), 0x0000FF);
    EXPECT_FALSE(XCTLSETINT(w, 1, 0x1000000, XSEL_BKCOLOR));
    EXPECT_EQ(getInt(1, XSEL_BKCOLOR), 0x00FF00);
    ASSERT_TRUE(XCTLSETINT(w, 1, -1, XSEL_BKCOLOR));
    EXPECT_EQ(getInt(1, XSEL_BKCOLOR), -1);
}

// A font or brush the record replaces or gives up is deleted, once: the
// one in use stays a live object, the others are gone.
TEST_F(Controls, ReplacedFontsAndBrushesAreDeletedAndTheLastGoesWithTheControl) {
    create(1, kCtlStatic);
    create(2, kCtlStatic);
    XCTL& record = *FXCTLBYHANDLE(GetDlgItem(w.hwnd, 1));
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "t'Arial'fh10", XSEL_FONT));
    const HFONT first = record.font;
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "t'Arial'fh12", XSEL_FONT));
    const HFONT second = record.font;
    ASSERT_TRUE(XCTLSETINT(w, 1, 0x00FF00, XSEL_BKCOLOR));
    const HBRUSH green = record.background;
    ASSERT_TRUE(XCTLSETINT(w, 1, 0x0000FF, XSEL_BKCOLOR));
    const HBRUSH red = record.background;
    EXPECT_EQ(GetObjectType(first), 0u);
    EXPECT_EQ(GetObjectType(green), 0u);
    EXPECT_EQ(GetObjectType(second), static_cast<DWORD>(OBJ_FONT));
    EXPECT_EQ(GetObjectType(red), static_cast<DWORD>(OBJ_BRUSH));

    ASSERT_TRUE(XCTLSETCHAR(w, 2, "t'Arial'fh10", XSEL_FONT));
    const HFONT other = FXCTLBYHANDLE(GetDlgItem(w.hwnd, 2))->font;
    ASSERT_TRUE(XCTLDESTROY(w, 1));
    EXPECT_EQ(GetObjectType(second), 0u);
    EXPECT_EQ(GetObjectType(red), 0u);
    EXPECT_NE(FXCTLBYHANDLE(GetDlgItem(w.hwnd, 2)), nullptr);  // the other record stays bound
    XCTLDESTROYALL(w);
    EXPECT_EQ(GetObjectType(other), 0u);
}

TEST_F(Controls, StatusBarPartsAndMultipleSelections) {
    create(1, kCtlStatusBar);
    const int edges[] = {100, 200, -1};
    ASSERT_TRUE(XCTLSETARRAY(w, 1, edges, XSEL_WIDTHS));
    int read[4] = {9, 9, 9, 9};
    ASSERT_TRUE(XCTLGETARRAY(w, 1, read, XSEL_WIDTHS));
    EXPECT_EQ(std::vector<int>(read, read + 4), (std::vector<int>{100, 200, -1, 0}));
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "middle", 2));
    EXPECT_EQ(getChar(1, 2), "middle");

    XCTLCREATE(w, 2, kCtlListBox, 0, 10, 40, 100, 100, 0, LBS_MULTIPLESEL);
    for (const char* entry : {"a", "b", "c", "d"}) XCTLSETCHAR(w, 2, entry);
    const int chosen[] = {2, 4};
    ASSERT_TRUE(XCTLSETARRAY(w, 2, chosen, XSEL_SELECTION));
    int selected[3] = {};
    ASSERT_TRUE(XCTLGETARRAY(w, 2, selected, XSEL_SELECTION));
    EXPECT_EQ(std::vector<int>(selected, selected + 3), (std::vector<int>{2, 4, 0}));
    EXPECT_FALSE(XCTLSETARRAY(w, 1, chosen, XSEL_SELECTION));
}

TEST_F(Controls, FontDescriptions) {
    struct Row {
        const char* what;
        const char* description;
        const char* face;
        int height, weight;
        bool italic, underline, fixedPitch;
    } rows[] = {
        {"letters inside the quoted face do not count", "t'Courier'fh10b", "Courier", 10, 400,
         false, false, true},
        {"double quotes, bold, italic, underlined", "T\"Arial\" E I U H14", "Arial", 14, 700, true,
         true, false},
        {"an explicit weight wins over bold", "ew600", "", 10, 600, false, false, false},
        {"h without a number keeps the height", "h", "", 10, 400, false, false, false},
        {"an f inside the face asks no fixed pitch", "t'Fixedsys'h12", "Fixedsys", 12, 400, false,
         false, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const FontDescription font = readFontDescription(row.description);
        EXPECT_EQ(font.face, row.face);
        EXPECT_EQ(font.height, row.height);
        EXPECT_EQ(font.weight, row.weight);
        EXPECT_EQ(font.italic, row.italic);
        EXPECT_EQ(font.underline, row.underline);
        EXPECT_EQ(font.fixedPitch, row.fixedPitch);
    }

    create(1, kCtlEdit);
    ASSERT_TRUE(XCTLSETCHAR(w, 1, "t'Courier'fh10b", XSEL_FONT));
    const auto font = reinterpret_cast<HFONT>(send(1, WM_GETFONT));
    EXPECT_EQ(font, FXCTLBYHANDLE(GetDlgItem(w.hwnd, 1))->font);
    LOGFONTA info{};
    ASSERT_TRUE(GetObjectA(font, sizeof(info), &info));
    EXPECT_STREQ(info.lfFaceName, "Courier");
    EXPECT_EQ(info.lfHeight, 10);
    EXPECT_EQ(info.lfWeight, 400);
}

namespace {

// What the system made of a control's font: its face and whether every
// character has the same width.
struct RealizedFont {
    std::string face;
    bool fixedPitch = false;
};
RealizedFont realized(HFONT font) {
    HDC screen = GetDC(nullptr);
    const HGDIOBJ before = SelectObject(screen, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(screen, sizeof face, face);
    TEXTMETRICA metrics{};
    GetTextMetricsA(screen, &metrics);
    SelectObject(screen, before);
    ReleaseDC(nullptr, screen);
    return {face, (metrics.tmPitchAndFamily & TMPF_FIXED_PITCH) == 0};  // set means variable
}

}  // namespace

TEST_F(Controls, AFixedPitchRequestGetsFixedPitchWhateverTheFace) {
    // The face the system shows its dialogs in is present everywhere and
    // proportional: a request naming it must still come out fixed.
    const std::string guiFace = realized(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))).face;
    ASSERT_FALSE(realized(static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT))).fixedPitch);
    struct Row {
        const char* what;
        std::string description;
    } rows[] = {
        {"a face this system may lack", "t'Courier'fh10b"},
        {"a proportional face that is there", "t'" + guiFace + "'fh10"},
        {"no face at all", "fh12"},
    };
    create(1, kCtlStatic);
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(XCTLSETCHAR(w, 1, row.description, XSEL_FONT));
        const auto font = reinterpret_cast<HFONT>(send(1, WM_GETFONT));
        EXPECT_EQ(font, FXCTLBYHANDLE(GetDlgItem(w.hwnd, 1))->font);
        EXPECT_TRUE(realized(font).fixedPitch) << "got " << realized(font).face;
    }
}

// A control made on the system's edit box under a name of its own (as an
// edit field that evaluates is) is an edit box to the control routines.
WNDCLASSEXA editClass() {
    WNDCLASSEXA edit{};
    edit.cbSize = sizeof edit;
    GetClassInfoExA(nullptr, "Edit", &edit);
    return edit;
}

LRESULT CALLBACK passOn(HWND hwnd, UINT message, WPARAM w, LPARAM l) {
    const WNDCLASSEXA edit = editClass();
    return CallWindowProcA(edit.lpfnWndProc, hwnd, message, w, l);
}

TEST_F(Controls, AnEditBoxUnderAnotherNameIsAnEditBox) {
    WNDCLASSEXA own = editClass();
    ASSERT_NE(own.lpfnWndProc, nullptr);
    own.lpfnWndProc = passOn;
    own.hInstance = GetModuleHandleA(nullptr);
    own.lpszClassName = "SomeNumberField";
    RegisterClassExA(&own);
    HWND field = CreateWindowExA(0, "SomeNumberField", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 100, 20, w.hwnd,
                                 reinterpret_cast<HMENU>(7), GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(FXRESOLVECLASSNAME(field), kCtlEdit);
    ASSERT_TRUE(XCTLSETCHAR(w, 7, "12*2"));
    EXPECT_EQ(getChar(7), "12*2");
    EXPECT_EQ(FXRESOLVECLASSNAME(create(8, kCtlStatic)), kCtlStatic);  // a static box stays one
    DestroyWindow(field);
}

TEST_F(Controls, TheWindowsOwnIdentifierAddressesTheWindow) {
    w.id = 4242;
    ASSERT_TRUE(XCTLSETCHAR(w, 4242, "Retitled  ", XSEL_TEXT));
    EXPECT_EQ(text(w.hwnd), "Retitled");
    EXPECT_FALSE(XCTLSETCHAR(w, 4243, "nobody"));
}

TEST_F(Controls, DestroyingRemovesControlAndRecord) {
    create(1, kCtlEdit);
    HWND second = create(2, kCtlStatic);
    create(3, kCtlStatic);
    ASSERT_TRUE(XCTLDESTROY(w, 1));
    EXPECT_EQ(GetDlgItem(w.hwnd, 1), nullptr);
    EXPECT_EQ(w.controlCount, 2);
    EXPECT_EQ(w.controls.front()->hwnd, second);  // later records moved down
    EXPECT_FALSE(XCTLDESTROY(w, 1));
    XCTLDESTROYALL(w);
    EXPECT_EQ(w.controlCount, 0);
    EXPECT_EQ(GetDlgItem(w.hwnd, 2), nullptr);
}

TEST_F(Controls, MovesAtOnceOrInOneBatch) {
    create(1, kCtlEdit);
    create(2, kCtlEdit);
    ASSERT_TRUE(XCTLMOVE(w, 1, 20, 30, 80, 20));
    int x = 0, y = 0, cx = 0, cy = 0;
    ASSERT_TRUE(XCTLGETPOS(w, 1, x, y, cx, cy));
    EXPECT_EQ((std::vector<int>{x, y, cx, cy}), (std::vector<int>{20, 30, 80, 20}));

    ASSERT_TRUE(XBEGINCTLMOVE(w));
    EXPECT_FALSE(XBEGINCTLMOVE(w));  // one batch at a time
    ASSERT_TRUE(XCTLMOVE(w, 1, 50, 60));  // size kept
    ASSERT_TRUE(XCTLMOVE(w, 2, std::nullopt, std::nullopt, 33, 22));  // position kept
    XCTLGETPOS(w, 1, x, y, cx, cy);
    EXPECT_EQ(x, 20);  // not before the batch is applied
    ASSERT_TRUE(XENDCTLMOVE(w));
    XCTLGETPOS(w, 1, x, y, cx, cy);
    EXPECT_EQ((std::vector<int>{x, y, cx, cy}), (std::vector<int>{50, 60, 80, 20}));
    XCTLGETPOS(w, 2, x, y, cx, cy);
    EXPECT_EQ((std::vector<int>{x, y, cx, cy}), (std::vector<int>{10, 10, 33, 22}));
    EXPECT_FALSE(XENDCTLMOVE(w));
}
