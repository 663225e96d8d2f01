// The SHOW ALL and RE-ARRANGE pages of the "Parameter Maintenance" dialog:
// every parameter with its current value in a sortable list, and the table
// in order with moves and deletion.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "Format.h"
#include "Session.h"
#include "ParamDlgInternal.h"
#include "ParamDlgRes.h"
#include "TallyonRes.h"
#include "WflCtrl.h"
#include "WflListView.h"
#include "WflextraNotices.h"
#include "XExpression.h"
#include "Text.h"

namespace {

// Seq. has room for seven digits: a table of 100 000 parameters and more
// shows whole numbers, never the stars of a field too narrow.
constexpr char kListColumns[] = "(+i7, a16, a40, a4, a80, a80)";
constexpr int kValueColumn = 3;

constexpr int kStatusValid = 1, kStatusError = 2;
constexpr int kMarkerSize = 12;

template <std::size_t N>
void put(char (&field)[N], std::string_view text) {
    const std::size_t n = std::min(N, text.size());
    std::memcpy(field, text.data(), n);
    std::memset(field + n, ' ', N - n);
}

// The value as the main window shows it.
std::string valueText(const XVALUE& value) {
    return formatShownValue(value.isReal, value.realValue, value.value, session().settings.display);
}

// The two markers of the lines, the program's icons 171 and 172: 12 by 12
// at 96 dots per inch, and as much larger as the list's screen is finer.
HIMAGELIST markerImages(HWND list) {
    const UINT dpi = list ? GetDpiForWindow(list) : 96;
    const int size = MulDiv(kMarkerSize, dpi ? static_cast<int>(dpi) : 96, 96);
    HIMAGELIST images = ImageList_Create(size, size, ILC_MASK, 2, 0);
    HINSTANCE module = GetModuleHandleA(nullptr);
    for (int icon : {IDI_PARAM_VALID, IDI_PARAM_ERROR}) {
        HANDLE loaded = LoadImageA(module, MAKEINTRESOURCEA(icon), IMAGE_ICON, size, size, 0);
        if (!loaded) continue;
        ImageList_ReplaceIcon(images, -1, static_cast<HICON>(loaded));
        DestroyIcon(static_cast<HICON>(loaded));
    }
    return images;
}

// A "Currently" text read back as the value it shows. Numbers come first,
// then anything that is not a number (NaN), then the entries in error.
struct ShownValue {
    int group = 0;  // 0 number, 1 not a number, 2 error
    double re = 0, im = 0;
};

std::optional<double> shownNumber(std::string_view text) {
    text = textkit::trim(text);
    if (text.empty()) return std::nullopt;
    double x = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), x);
    if (error != std::errc() || end != text.data() + text.size()) return std::nullopt;
    return x;
}

ShownValue readShownValue(std::string_view text) {
    ShownValue v;
    std::optional<double> re, im = 0.0;
    if (text.starts_with('(') && text.ends_with(')') && text.find(',') != std::string_view::npos) {
        const std::size_t comma = text.find(',');
        re = shownNumber(text.substr(1, comma - 1));
        im = shownNumber(text.substr(comma + 1, text.size() - comma - 2));
    } else {
        re = shownNumber(text);
    }
    if (!re || !im) {
        v.group = 2;  // "**ERROR**"
    } else if (std::isnan(*re) || std::isnan(*im)) {
        v.group = 1;
    } else {
        v.re = *re;
        v.im = *im;
    }
    return v;
}

// Values by real part, then imaginary part. Entries without a value stay
// at the end in both directions, where a reader of numbers looks for them.
int currentlyOrder(std::string_view first, std::string_view second, int direction) {
    const ShownValue a = readShownValue(first), b = readShownValue(second);
    if (a.group != b.group) return a.group - b.group;
    if (a.group != 0) return 0;
    auto sign = [](double x, double y) { return x < y ? -1 : (y < x ? 1 : 0); };
    const int byReal = sign(a.re, b.re);
    return direction * (byReal != 0 ? byReal : sign(a.im, b.im));
}

}  // namespace

void PARAM_LIST_ONCOLUMN(XWND& page, int id, int column) {
    XLV_ONCOLUMNCLICK(page, id, column, column == kValueColumn ? currentlyOrder : nullptr);
}

void PARAM_LIST(XWND& page) {
    // The list view keeps one image list at a time; the one of an earlier
    // visit goes once the new one is in place.
    LONG_PTR previous = 0;
    XCTLGETINT(page, IDL_LIST_TABLE, previous, XSEL_ICON);
    XCTLSETINT(page, IDL_LIST_TABLE, reinterpret_cast<LONG_PTR>(markerImages(GetDlgItem(page.hwnd, IDL_LIST_TABLE))),
               XSEL_ICON);
    if (previous) ImageList_Destroy(reinterpret_cast<HIMAGELIST>(previous));

    // A list on show repaints its frame and scroll bar for every line that
    // comes; with a thousand lines that is seconds of flicker. It is drawn
    // once, when all lines and widths are in place.
    XCTLSENDMESSAGE(page, IDL_LIST_TABLE, WM_SETREDRAW, FALSE, 0);
    XCTLSETCHAR(page, IDL_LIST_TABLE, kListColumns, XSEL_COLUMNS);
    int column = 1;
    for (const char* title : {"Seq.", "Parameter", "Currently", "Factor", "Expression", "Comments"}) {
        XCTLSETCHAR(page, IDL_LIST_TABLE, title, column++);
    }

    // Entries in error are marked in the list; their reports stay silent.
    ParamDlgState& s = paramDlgState();
    XPARAMQUIET(true);
    const int count = XPARAMCOUNT();
    // At least one row, so that the list view always has a real address.
    s.listRows.assign(static_cast<std::size_t>(std::max(count, 1)), ListRow{});
    for (int i = 1; i <= count; ++i) {
        std::string name, expression, comment;
        bool factorOnly = false;
        XPARAMFETCH(i, &name, &expression, &comment, &factorOnly);
        XVALUE value;
        ListRow& row = s.listRows[static_cast<std::size_t>(i - 1)];
        row.status = kStatusValid;
        row.sequence = i;
        put(row.name, name);
        if (!XPARAMGET(i, value, true)) {
            row.status = kStatusError;
            put(row.value, "**ERROR**");
        } else {
            put(row.value, valueText(value));
        }
        put(row.factor, factorOnly ? "Yes" : "");
        put(row.expression, expression);
        put(row.comment, comment);
    }
    XCTLSETINT(page, IDL_LIST_TABLE, sizeof(ListRow), XSEL_LVDATA);
    XCTLSETINT(page, IDL_LIST_TABLE, count, XSEL_COUNT);
    XCTLSETITEM(page, IDL_LIST_TABLE, XITEM(s.listRows.front()), 0);
    // Every column fits its title and its contents: a column as narrow as
    // its contents alone ("Factor" holds "Yes" or nothing) would hide its
    // own title.
    XCTLSETINT(page, IDL_LIST_TABLE, LVSCW_AUTOSIZE_USEHEADER, XSEL_WIDTHS);
    XLVFITHEADERS(page, IDL_LIST_TABLE);
    XCTLSENDMESSAGE(page, IDL_LIST_TABLE, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_GRIDLINES, LVS_EX_GRIDLINES);
    XCTLSENDMESSAGE(page, IDL_LIST_TABLE, WM_SETREDRAW, TRUE, 0);
    RedrawWindow(GetDlgItem(page.hwnd, IDL_LIST_TABLE), nullptr, nullptr,
                 RDW_ERASE | RDW_FRAME | RDW_INVALIDATE | RDW_ALLCHILDREN);
    XPARAMQUIET(false);
}

void PARAM_MOVE(XWND& page) {
    ParamDlgState& s = paramDlgState();
    const int count = XPARAMCOUNT();
    // At least one row, so that the list view always has a real address.
    const auto rows = static_cast<std::size_t>(std::max(count, 1));
    if (!s.arrangeRowsExist) {
        s.arrangeRows.assign(rows, ArrangeRow{});
        s.arrangeRowsExist = true;
        XCTLSETCHAR(page, IDL_ARRANGE_TABLE, "(a16, a80, a80)", XSEL_COLUMNS);
        int column = 1;
        for (const char* title : {"Parameter", "= Expression", "Comments"}) {
            XCTLSETCHAR(page, IDL_ARRANGE_TABLE, title, column++);
        }
    } else if (s.arrangeRows.size() < rows) {
        s.arrangeRows.assign(rows, ArrangeRow{});
    }
    for (int i = 1; i <= count; ++i) {
        std::string name, expression, comment;
        XPARAMFETCH(i, &name, &expression, &comment);
        ArrangeRow& row = s.arrangeRows[static_cast<std::size_t>(i - 1)];
        put(row.name, name);
        put(row.expression, expression);
        put(row.comment, comment);
    }
    XCTLSETINT(page, IDL_ARRANGE_TABLE, sizeof(ArrangeRow), XSEL_LVDATA);
    XCTLSETINT(page, IDL_ARRANGE_TABLE, count, XSEL_COUNT);
    XCTLSETITEM(page, IDL_ARRANGE_TABLE, XITEM(s.arrangeRows.front()), 0);
    XCTLSETINT(page, IDL_ARRANGE_TABLE, LVSCW_AUTOSIZE_USEHEADER, XSEL_WIDTHS);
    XLVFITHEADERS(page, IDL_ARRANGE_TABLE);
    XLVUPDATE(page, IDL_ARRANGE_TABLE);
}

namespace {

// The selected row, when there is one.
bool selectedRow(XWND& page, int& row) {
    row = 0;
    return XCTLGETINT(page, IDL_ARRANGE_TABLE, row, XSEL_SELECTION) && row >= 1;
}

// After a move the selection follows the parameter to its new place, and
// so does the focus outline: the arrow keys go on from the moved row. A move
// changes two rows of the table, and only those two are redrawn: the rest
// of the page stands as it was, however long the table.
void moved(XWND& page, int from, int to) {
    ParamDlgState& s = paramDlgState();
    XSETDIALOGFOCUS(page.hwnd, IDL_ARRANGE_TABLE);
    XCTLSETLOG(page, IDL_ARRANGE_TABLE, false, from);
    const auto a = static_cast<std::size_t>(std::min(from, to) - 1);
    if (a + 1 < s.arrangeRows.size()) std::swap(s.arrangeRows[a], s.arrangeRows[a + 1]);
    const int changed[] = {from, to};
    XLVUPDATE(page, IDL_ARRANGE_TABLE, changed);
    XCTLSETLOG(page, IDL_ARRANGE_TABLE, true, to);
    const int line = FXLV_FWDMAP(GetDlgItem(page.hwnd, IDL_ARRANGE_TABLE), to);
    if (line < 0) return;  // line -1 would mean every line
    LVITEMA focus{};
    focus.stateMask = LVIS_FOCUSED;
    focus.state = LVIS_FOCUSED;
    XCTLSENDMESSAGE(page, IDL_ARRANGE_TABLE, LVM_SETITEMSTATE, static_cast<WPARAM>(line),
                    reinterpret_cast<LPARAM>(&focus));
}

}  // namespace

void PARAM_MOVE_UP(XWND& page, int, int) {
    ParamDlgState& s = paramDlgState();
    if (!selectedRow(page, s.selectedRow) || s.selectedRow <= 1) return;
    XPARAMMOVEUP(s.selectedRow);
    moved(page, s.selectedRow, s.selectedRow - 1);
}

void PARAM_MOVE_DOWN(XWND& page, int, int) {
    ParamDlgState& s = paramDlgState();
    if (!selectedRow(page, s.selectedRow) || s.selectedRow >= XPARAMCOUNT()) return;
    XPARAMMOVEDOWN(s.selectedRow);
    moved(page, s.selectedRow, s.selectedRow + 1);
}

void PARAM_MOVE_OUT(XWND& page, int, int) {
    ParamDlgState& s = paramDlgState();
    // With nothing selected there is nothing to ask about.
    if (!selectedRow(page, s.selectedRow)) return;
    XCTLSETLOG(page, IDL_ARRANGE_TABLE, false, s.selectedRow);
    std::string name;
    const bool fetched = XPARAMFETCH(s.selectedRow, &name);
    s.deleteName = name;
    const std::string question =
        "Do you really want to delete parameter \"" + std::string(s.deleteName.view()) + "\" ?";
    const int answer = XUSERASK("YOU SURE ?", question, 4, 2);
    if (answer == 1 && fetched) {
        XPARAMDELETE(s.deleteName.view());
        PARAM_MOVE(page);
    }
}
