// The sortable list view on real list views: records formatted into lines
// and read back, header clicks that sort and move the arrow, row keys that
// survive sorting, and virtual list views fed from a record array.
#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

#include "WflCtrl.h"
#include "WflListView.h"
#include "WflWndTestSupport.h"

namespace {

constexpr int kList = 101;

// A record with one field of each shape the sort tests need:
// "(+i4, a8, g12.4, x4)" reads status, sequence, name and value, then
// skips four bytes.
struct Entry {
    std::int32_t status = 1;
    std::int32_t sequence = 0;
    char name[8];
    double value = 0;
    char spare[4];
};
constexpr char kEntryFormat[] = "(+i4, a8, g12.4, x4)";

Entry entry(int sequence, const char* name, double value, int status = 1) {
    Entry e;
    e.status = status;
    e.sequence = sequence;
    std::memset(e.name, ' ', sizeof e.name);
    std::memcpy(e.name, name, std::min(std::strlen(name), sizeof e.name));
    e.value = value;
    std::memset(e.spare, 'x', sizeof e.spare);
    return e;
}

std::string nameOf(const Entry& e) {
    std::string s(e.name, sizeof e.name);
    return s.substr(0, s.find_last_not_of(' ') + 1);
}

class ListView : public ::testing::Test {
protected:
    TestWindow window{WindowOptions{.visibleChild = true, .width = 640, .height = 360}};
    XWND& w = window.record;
    HWND list = nullptr;

    void create(DWORD flags = 0) {
        const int id = XCTLCREATE(w, kList, kCtlListView, flags, 0, 0, 620, 340);
        ASSERT_EQ(id, kList);
        list = GetDlgItem(w.hwnd, kList);
    }
    int lines() { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }
    std::string cell(int line, int column) { return listViewCell(list, line, column); }
    // The names down the list, as the user reads them.
    std::vector<std::string> names() {
        std::vector<std::string> shown;
        for (int line = 0; line < lines(); ++line) shown.push_back(cell(line, 1));
        return shown;
    }
    // A click on the header of column `column` (1-based), pressed and
    // released with the mouse over its middle.
    void clickHeader(int column) {
        HWND header = ListView_GetHeader(list);
        RECT rc{};
        SendMessageA(header, HDM_GETITEMRECT, column - 1, reinterpret_cast<LPARAM>(&rc));
        const LPARAM at = MAKELPARAM((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
        SendMessageA(header, WM_MOUSEMOVE, 0, at);
        SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageA(header, WM_LBUTTONUP, 0, at);
        drainMessages();
    }
    // The arrow a header item shows: +1 up, -1 down, 0 none. The shell's
    // bitmaps (images 0 and 1) or the header's own arrow both count.
    int arrow(int column) {
        HDITEMA item{};
        item.mask = HDI_FORMAT | HDI_IMAGE;
        SendMessageA(ListView_GetHeader(list), HDM_GETITEMA, column - 1, reinterpret_cast<LPARAM>(&item));
        if (item.fmt & HDF_SORTUP) return 1;
        if (item.fmt & HDF_SORTDOWN) return -1;
        if (item.fmt & HDF_IMAGE) return item.iImage == 0 ? 1 : -1;
        return 0;
    }
    void store(const std::vector<Entry>& entries) {
        ASSERT_TRUE(XCTLSETCHAR(w, kList, kEntryFormat, XSEL_COLUMNS));
        for (std::size_t i = 0; i < entries.size(); ++i) {
            Entry copy = entries[i];
            ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(copy), static_cast<int>(i) + 1));
        }
    }
};

std::vector<Entry> people() {
    return {entry(30, "carol", 2.5), entry(10, "alice", -1), entry(20, "Bob", 100),
            entry(40, "dave", 2.5), entry(25, "Eve", 0.125)};
}

}  // namespace

TEST(ColumnFormat, DescriptorsGiveColumnsAndRecordSize) {
    struct Row {
        const char* what;
        const char* format;
        int columns;  // -1: the format is refused
        int bytes;
    } rows[] = {
        {"the list page's layout", "(+i4, a16, a32, a4, a80, a80)", 6, 220},
        {"the arrange page's layout", "(a16, a80, a80)", 3, 176},
        {"every number kind", "(i4, j3, k2, n20, f8.2, e12.4, g14.6, d20.10)", 8, 4 + 2 + 1 + 8 + 4 + 4 + 8 + 8},
        {"a skipped field has no column", "(a4, x12, i6)", 2, 20},
        {"a date takes sixteen bytes", "(t)", 1, 16},
        {"letters in upper case, blanks around", " ( A4 ,I5 ) ", 2, 8},
        {"a text needs a width", "(a)", -1, 0},
        {"an unknown letter", "(a4, q4)", -1, 0},
        {"the image prefix only first", "(a4, +i4)", -1, 0},
        {"no parentheses", "a4, i4", -1, 0},
        {"an empty format", "()", -1, 0},
        {"a trailing comma", "(a4, )", -1, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        const auto format = readColumnFormat(row.format);
        if (row.columns < 0) {
            EXPECT_FALSE(format.has_value());
            continue;
        }
        ASSERT_TRUE(format.has_value());
        EXPECT_EQ(static_cast<int>(format->columns().size()), row.columns);
        EXPECT_EQ(format->recordBytes, row.bytes);
    }
}

TEST_F(ListView, FieldsAreWrittenInTheirWidthAndReadBack) {
    create();
    struct Row {
        const char* what;
        const char* format;
        std::vector<std::byte> value;
        const char* shown;
        bool readsBack;  // false: the text is no value of the field (asterisks)
        bool exact;      // the read-back bytes equal the stored ones
    };
    auto bytes = [](auto v) {
        std::vector<std::byte> b(sizeof v);
        std::memcpy(b.data(), &v, sizeof v);
        return b;
    };
    auto text = [](const char* s) {
        std::vector<std::byte> b(std::strlen(s));
        std::memcpy(b.data(), s, b.size());
        return b;
    };
    SYSTEMTIME leapDay{};
    leapDay.wYear = 2024, leapDay.wMonth = 2, leapDay.wDay = 29, leapDay.wDayOfWeek = 4;
    leapDay.wHour = 13, leapDay.wMinute = 5, leapDay.wSecond = 9;
    const Row rows[] = {
        {"integer right-aligned", "(i6)", bytes(std::int32_t{-42}), "   -42", true, true},
        {"integer too wide for its field", "(i3)", bytes(std::int32_t{12345}), "***", false, false},
        {"integer with minimum digits", "(i6.4)", bytes(std::int32_t{7}), "  0007", true, true},
        {"16-bit integer", "(j7)", bytes(std::int16_t{-32768}), " -32768", true, true},
        {"8-bit integer", "(k4)", bytes(std::int8_t{-5}), "  -5", true, true},
        {"64-bit integer", "(n20)", bytes(std::int64_t{-9000000000000000000}), "-9000000000000000000", true, true},
        {"integer of width 0 is as wide as needed", "(i0)", bytes(std::int32_t{123456}), "123456", true, true},
        {"fixed, rounded", "(f8.3)", bytes(3.14159f), "   3.142", true, false},
        {"fixed drops its leading zero when tight", "(f3.2)", bytes(0.5f), ".50", true, true},
        {"fixed keeps it when there is room", "(f5.2)", bytes(0.5f), " 0.50", true, true},
        {"fixed without decimals keeps the point", "(f5.0)", bytes(12.0f), "  12.", true, true},
        {"fixed too wide", "(f4.1)", bytes(-123.0f), "****", false, false},
        {"exponent form", "(e12.4)", bytes(123.456f), "  0.1235E+03", true, false},
        {"exponent form of zero", "(e10.3)", bytes(0.0f), " 0.000E+00", true, true},
        {"double exponent letter", "(d12.4)", bytes(-1e-5), " -0.1000D-04", true, true},
        {"three-digit exponent loses its letter", "(d11.4)", bytes(1e150), " 0.1000+151", true, true},
        {"general as fixed, blanks for the exponent", "(g12.4)", bytes(3.5), "   3.500    ", true, true},
        {"general as exponent when large", "(g12.4)", bytes(12346.0), "  0.1235E+05", true, false},
        {"general as exponent when small", "(g12.4)", bytes(0.001), "  0.1000E-02", true, true},
        {"text without its trailing blanks", "(a6)", text("ab cd "), "ab cd", true, true},
        {"date and time", "(t)", bytes(leapDay), "2024-02-29 13:05:09", true, true},
        {"an empty date shows nothing", "(t)", bytes(SYSTEMTIME{}), "", true, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        ASSERT_TRUE(XCTLSETCHAR(w, kList, row.format, XSEL_COLUMNS));
        std::array<std::byte, 64> record{};
        std::memcpy(record.data(), row.value.data(), row.value.size());
        ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(record), 1));
        ASSERT_EQ(lines(), 1);  // the column layout emptied the list first
        EXPECT_EQ(cell(0, 0), row.shown);

        std::array<std::byte, 64> back{};
        back.fill(std::byte{0x55});
        EXPECT_EQ(XCTLGETITEM(w, kList, XITEM(back), 1), row.readsBack);
        if (!row.readsBack) continue;
        if (row.exact) {
            EXPECT_EQ(std::memcmp(back.data(), row.value.data(), row.value.size()), 0);
        }
        // Stored again, the read-back value shows the same text.
        ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(back), 1));
        EXPECT_EQ(cell(0, 0), row.shown);
    }
}

TEST_F(ListView, RecordsFillColumnsAndImageAndComeBack) {
    create();
    store({entry(7, "alpha", 1.25, 2), entry(8, "beta", -3, 1)});
    ASSERT_EQ(lines(), 2);
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 3);  // the skipped field has none
    EXPECT_EQ(cell(0, 0), "   7");
    EXPECT_EQ(cell(0, 1), "alpha");
    EXPECT_EQ(cell(0, 2), "   1.250    ");
    LVITEMA item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 0;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    EXPECT_EQ(item.iImage, 1);  // status 2 shows the second image

    // Row 2 replaced, a row beyond the count appended.
    Entry changed = entry(9, "gamma", 4, 1);
    ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(changed), 2));
    Entry added = entry(10, "delta", 5, 1);
    ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(added), 99));
    EXPECT_EQ(names(), (std::vector<std::string>{"alpha", "gamma", "delta"}));

    Entry back = entry(0, "", 0, 0);
    ASSERT_TRUE(XCTLGETITEM(w, kList, XITEM(back), 1));
    EXPECT_EQ(back.status, 2);
    EXPECT_EQ(back.sequence, 7);
    EXPECT_EQ(nameOf(back), "alpha");
    EXPECT_DOUBLE_EQ(back.value, 1.25);
    EXPECT_EQ(std::string(back.spare, 4), "xxxx");  // skipped bytes are left alone
    EXPECT_FALSE(XCTLGETITEM(w, kList, XITEM(back), 4));  // no such row
}

TEST_F(ListView, HeaderClicksSortAndMoveTheArrow) {
    create();
    store(people());
    EXPECT_EQ(arrow(1), 0);

    clickHeader(1);  // sequence, ascending
    EXPECT_EQ(names(), (std::vector<std::string>{"alice", "Bob", "Eve", "carol", "dave"}));
    EXPECT_EQ(arrow(1), 1);

    clickHeader(1);  // the same header again: the other way round
    EXPECT_EQ(names(), (std::vector<std::string>{"dave", "carol", "Eve", "Bob", "alice"}));
    EXPECT_EQ(arrow(1), -1);

    clickHeader(2);  // names, without regard to case; the arrow moves
    EXPECT_EQ(names(), (std::vector<std::string>{"alice", "Bob", "carol", "dave", "Eve"}));
    EXPECT_EQ(arrow(1), 0);
    EXPECT_EQ(arrow(2), 1);

    // Values by number, not by text. carol and dave are equal and stand
    // side by side as the first pass's pair, so they change places.
    clickHeader(3);
    EXPECT_EQ(names(), (std::vector<std::string>{"alice", "Eve", "dave", "carol", "Bob"}));
    EXPECT_EQ(arrow(3), 1);
}

TEST_F(ListView, RowsKeepTheirNumbersAfterSorting) {
    create();
    store(people());
    clickHeader(2);
    clickHeader(2);  // names descending: row 3 (Bob) moves to the fourth line
    ASSERT_EQ(names(), (std::vector<std::string>{"Eve", "dave", "carol", "Bob", "alice"}));

    Entry back = entry(0, "", 0);
    ASSERT_TRUE(XCTLGETITEM(w, kList, XITEM(back), 3));
    EXPECT_EQ(nameOf(back), "Bob");
    EXPECT_EQ(back.sequence, 20);

    ASSERT_TRUE(XCTLSETLOG(w, kList, true, 3));
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 3);
    int selected = 0;
    ASSERT_TRUE(XCTLGETINT(w, kList, selected, XSEL_SELECTION));
    EXPECT_EQ(selected, 3);
    bool flag = false;
    ASSERT_TRUE(XCTLGETLOG(w, kList, flag, 3));
    EXPECT_TRUE(flag);

    // Storing row 3 again replaces Bob's line wherever it stands.
    Entry renamed = entry(20, "Robert", 100);
    ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(renamed), 3));
    EXPECT_EQ(cell(3, 1), "Robert");
    EXPECT_EQ(lines(), 5);
}

TEST(MergeRanking, RanksAndTiesFollowTheFirstPassRule) {
    struct Row {
        const char* what;
        std::vector<int> keys;
        std::vector<int> ranking;
    } rows[] = {
        {"one item", {5}, {1}},
        {"a pair in order stays", {1, 2}, {1, 2}},
        {"a pair out of order swaps", {2, 1}, {2, 1}},
        {"an equal pair swaps", {7, 7}, {2, 1}},
        {"equal pairs swap, runs in order stay", {7, 7, 7, 7}, {2, 1, 4, 3}},
        {"an odd last item stands alone", {7, 7, 7}, {2, 1, 3}},
        {"a merge keeps the runs' order of equal items", {3, 1, 1, 2}, {2, 3, 4, 1}},
        {"descending", {5, 4, 3, 2, 1}, {5, 4, 3, 2, 1}},
        {"mixed, odd length", {4, 9, 1, 8, 2, 7, 3}, {3, 5, 7, 1, 6, 4, 2}},
    };
    auto compare = [](int a, int b, void* context) {
        const auto& keys = *static_cast<const std::vector<int>*>(context);
        return keys[static_cast<std::size_t>(a - 1)] - keys[static_cast<std::size_t>(b - 1)];
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        std::vector<int> index(row.keys.size(), 0);
        G_MRGREF(compare, static_cast<int>(row.keys.size()), index,
                 const_cast<std::vector<int>*>(&row.keys));
        EXPECT_EQ(index, row.ranking);
    }
}

TEST(MergeRanking, SortsEveryLengthUpToSeventeen) {
    auto compare = [](int a, int b, void* context) {
        const auto& keys = *static_cast<const std::vector<int>*>(context);
        return keys[static_cast<std::size_t>(a - 1)] - keys[static_cast<std::size_t>(b - 1)];
    };
    for (int n = 1; n <= 17; ++n) {
        SCOPED_TRACE(n);
        std::vector<int> keys;
        for (int i = 0; i < n; ++i) keys.push_back((i * 7 + 3) % 5);  // with many equal keys
        std::vector<int> index(static_cast<std::size_t>(n));
        G_MRGREF(compare, n, index, &keys);
        std::vector<int> seen(index);
        std::sort(seen.begin(), seen.end());
        for (int i = 0; i < n; ++i) ASSERT_EQ(seen[static_cast<std::size_t>(i)], i + 1);  // a permutation
        for (int i = 1; i < n; ++i) {
            EXPECT_LE(keys[static_cast<std::size_t>(index[i - 1] - 1)],
                      keys[static_cast<std::size_t>(index[i] - 1)]);
        }
    }
}

TEST_F(ListView, VirtualListShowsItsRecordsAndSortsByRowMap) {
    create(XCF_OWNERDRAW);  // virtual
    std::vector<Entry> records = people();
    ASSERT_TRUE(XCTLSETCHAR(w, kList, kEntryFormat, XSEL_COLUMNS));
    ASSERT_TRUE(XCTLSETINT(w, kList, sizeof(Entry), XSEL_LVDATA));
    ASSERT_TRUE(XCTLSETINT(w, kList, 5, XSEL_COUNT));
    ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(records[0]), 0));
    EXPECT_EQ(names(), (std::vector<std::string>{"carol", "alice", "Bob", "dave", "Eve"}));
    EXPECT_EQ(cell(2, 2), "   100.0    ");

    // Bob (record 3) selected and focused; after the sort the state stays
    // with Bob's record, now on the second line.
    ASSERT_TRUE(XCTLSETLOG(w, kList, true, 3));
    ListView_SetItemState(list, 2, LVIS_FOCUSED, LVIS_FOCUSED);
    clickHeader(1);
    EXPECT_EQ(names(), (std::vector<std::string>{"alice", "Bob", "Eve", "carol", "dave"}));
    EXPECT_EQ(arrow(1), 1);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_SELECTED), 1);
    EXPECT_EQ(ListView_GetNextItem(list, -1, LVNI_FOCUSED), 1);
    int selected = 0;
    ASSERT_TRUE(XCTLGETINT(w, kList, selected, XSEL_SELECTION));
    EXPECT_EQ(selected, 3);
    Entry back = entry(0, "", 0);
    ASSERT_TRUE(XCTLGETITEM(w, kList, XITEM(back), 3));
    EXPECT_EQ(nameOf(back), "Bob");

    // Equal values: carol and dave stand on lines 4 and 5, which are not a
    // pair of the first pass, so the merges keep their order.
    clickHeader(3);
    EXPECT_EQ(names(), (std::vector<std::string>{"alice", "Eve", "carol", "dave", "Bob"}));
}

namespace {

// An application's routine that fills a virtual list view's lines itself,
// from nothing but the request: line n, column c reads "n.c".
void fillLine(XWND&, int id, NMLVDISPINFOA& request) {
    if (id != kList) return;
    LVITEMA& item = request.item;
    if (item.mask & LVIF_TEXT) {
        const std::string text = std::to_string(item.iItem + 1) + "." + std::to_string(item.iSubItem + 1);
        lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    }
}
void commandRoutine(XWND&, int, int) {}

}  // namespace

TEST_F(ListView, VirtualListFilledByTheApplicationsRoutine) {
    create(XCF_OWNERDRAW);  // virtual
    // A record array is there too: the routine's answer stands over it.
    std::vector<Entry> records = people();
    ASSERT_TRUE(XCTLSETCHAR(w, kList, kEntryFormat, XSEL_COLUMNS));
    ASSERT_TRUE(XCTLSETINT(w, kList, sizeof(Entry), XSEL_LVDATA));
    ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(records[0]), 0));
    ASSERT_TRUE(XCTLSETINT(w, kList, 3, XSEL_COUNT));
    ASSERT_TRUE(XCTLSETSUB(w, kList, fillLine));
    EXPECT_EQ(cell(0, 0), "1.1");
    EXPECT_EQ(cell(2, 1), "3.2");

    // A command routine has no argument for the request.
    FaultRecorder faults;
    EXPECT_FALSE(XCTLSETSUB(w, kList, commandRoutine, XEVT_DRAW));
    EXPECT_EQ(faults.seen(), std::vector<DWORD>{kFaultWrongForm});
    EXPECT_EQ(cell(1, 0), "2.1");
}

TEST_F(ListView, VirtualListWithNoLinesKeepsItsRecords) {
    create(XCF_OWNERDRAW);
    std::vector<Entry> records = people();
    ASSERT_TRUE(XCTLSETCHAR(w, kList, kEntryFormat, XSEL_COLUMNS));
    ASSERT_TRUE(XCTLSETINT(w, kList, sizeof(Entry), XSEL_LVDATA));
    ASSERT_TRUE(XCTLSETITEM(w, kList, XITEM(records[0]), 0));
    ASSERT_TRUE(XCTLSETINT(w, kList, 0, XSEL_COUNT));
    EXPECT_EQ(lines(), 0);
    int selected = -1;
    ASSERT_TRUE(XCTLGETINT(w, kList, selected, XSEL_SELECTION));
    EXPECT_EQ(selected, 0);
    EXPECT_TRUE(XLVUPDATE(w, kList));
    clickHeader(2);  // sorting nothing is harmless
    EXPECT_EQ(lines(), 0);

    ASSERT_TRUE(XCTLSETINT(w, kList, 2, XSEL_COUNT));  // the address is still there
    EXPECT_EQ(names(), (std::vector<std::string>{"carol", "alice"}));
}

TEST_F(ListView, UpdateRedrawsKnownRowsOnly) {
    create();
    store(people());
    EXPECT_TRUE(XLVUPDATE(w, kList));
    const int known[] = {2, 5};
    EXPECT_TRUE(XLVUPDATE(w, kList, known));
    const int unknown[] = {2, 6};
    EXPECT_FALSE(XLVUPDATE(w, kList, unknown));
    EXPECT_FALSE(XLVUPDATE(w, 999));
}

TEST_F(ListView, SmallImagesLeaveTheHeaderItsArrows) {
    create();
    const XLVDATA* data = PXLV_GETDATA(list);
    ASSERT_NE(data, nullptr);
    HWND header = ListView_GetHeader(list);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(header, HDM_GETIMAGELIST, 0, 0)), data->arrows);
    HIMAGELIST icons = ImageList_Create(12, 12, ILC_MASK, 2, 0);
    ASSERT_TRUE(XCTLSETINT(w, kList, reinterpret_cast<LONG_PTR>(icons), XSEL_ICON));
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0)), icons);
    EXPECT_EQ(reinterpret_cast<HIMAGELIST>(SendMessageA(header, HDM_GETIMAGELIST, 0, 0)), data->arrows);
    const DWORD extended = static_cast<DWORD>(SendMessageA(list, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_TRUE(extended & LVS_EX_FULLROWSELECT);
    EXPECT_TRUE(extended & LVS_EX_HEADERDRAGDROP);
    ASSERT_TRUE(XCTLDESTROY(w, kList));  // the list view frees its images with itself
}

TEST_F(ListView, BadFormatLeavesTheListAsItWas) {
    create();
    store(people());
    EXPECT_FALSE(XCTLSETCHAR(w, kList, "(i4, z9)", XSEL_COLUMNS));
    EXPECT_EQ(lines(), 5);
    EXPECT_EQ(Header_GetItemCount(ListView_GetHeader(list)), 3);
}
