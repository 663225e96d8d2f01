// Sorting a list view by the clicked column: the merge ranking, the arrow
// in the header and the two ways of reordering (line keys of an ordinary
// list view, the row map of a virtual one).
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <numeric>
#include <unordered_map>

#include "WflCtrlInternal.h"
#include "WflListView.h"

void G_MRGREF(XMergeCompare compare, int n, std::span<int> index, void* context) {
    if (n < 1 || static_cast<int>(index.size()) < n) return;
    for (int i = 0; i < n; ++i) index[static_cast<std::size_t>(i)] = i + 1;
    auto at = [&](int i) -> int& { return index[static_cast<std::size_t>(i)]; };

    // First pass: each pair keeps its order only when its first item is
    // strictly smaller; equal neighbours change places.
    for (int i = 0; i + 1 < n; i += 2) {
        if (compare(at(i), at(i + 1), context) >= 0) std::swap(at(i), at(i + 1));
    }

    // Then runs of 2, 4, 8, ... are merged pairwise. Two runs already in
    // order (the left's last not above the right's first) stay as they
    // are; in a merge the left item goes first unless the right one is
    // strictly smaller, so the runs' own order of equal items is kept.
    std::vector<int> scratch(static_cast<std::size_t>(n));
    for (int run = 2; run < n; run *= 2) {
        for (int left = 0; left + run < n; left += 2 * run) {
            const int middle = left + run;
            const int end = std::min(left + 2 * run, n);
            if (compare(at(middle - 1), at(middle), context) <= 0) continue;
            int a = left, b = middle, out = 0;
            while (a < middle && b < end) {
                scratch[static_cast<std::size_t>(out++)] =
                    compare(at(b), at(a), context) < 0 ? at(b++) : at(a++);
            }
            while (a < middle) scratch[static_cast<std::size_t>(out++)] = at(a++);
            while (b < end) scratch[static_cast<std::size_t>(out++)] = at(b++);
            std::copy_n(scratch.begin(), out, index.begin() + left);
        }
    }
}

namespace {

HWND headerOf(HWND list) { return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)); }

// The direction of the next sort by `column` (0-based): the other way round
// when the column already shows the ascending arrow, else ascending.
int nextDirection(HWND header, int column, bool shellArrows) {
    HDITEMA item{};
    item.mask = HDI_FORMAT | HDI_IMAGE;
    if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) return 1;
    const bool ascending = shellArrows ? (item.fmt & HDF_IMAGE) && item.iImage == 0
                                       : (item.fmt & HDF_SORTUP) != 0;
    return ascending ? -1 : 1;
}

// The arrow goes to the sorted column and leaves every other one. The
// shell's arrow bitmaps stand on the right of the title; without them the
// header draws its own arrow.
void showArrow(HWND header, int column, int direction, bool shellArrows) {
    const int count = static_cast<int>(SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        HDITEMA item{};
        item.mask = HDI_FORMAT;
        SendMessageA(header, HDM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        item.fmt &= ~(HDF_IMAGE | HDF_BITMAP_ON_RIGHT | HDF_SORTUP | HDF_SORTDOWN);
        if (i == column) {
            if (shellArrows) {
                item.mask |= HDI_IMAGE;
                item.fmt |= HDF_IMAGE | HDF_BITMAP_ON_RIGHT;
                item.iImage = direction > 0 ? 0 : 1;
            } else {
                item.fmt |= direction > 0 ? HDF_SORTUP : HDF_SORTDOWN;
            }
        }
        SendMessageA(header, HDM_SETITEMA, i, reinterpret_cast<LPARAM>(&item));
    }
}

SortType columnSortType(HWND header, int column) {
    HDITEMA item{};
    item.mask = HDI_LPARAM;
    if (!SendMessageA(header, HDM_GETITEMA, column, reinterpret_cast<LPARAM>(&item))) {
        return SortType::Text;
    }
    return static_cast<SortType>(item.lParam & 0xF);
}

// What the comparisons of one sort look at.
struct SortRun {
    SortType type = SortType::Text;
    int direction = 1;
    XShownOrder order = nullptr;     // the application's, in place of the type's
    std::vector<std::string> texts;  // item k's text is texts[k - 1]
};

int compareTexts(int first, int second, void* context) {
    const auto& run = *static_cast<const SortRun*>(context);
    const std::string& a = run.texts[static_cast<std::size_t>(first - 1)];
    const std::string& b = run.texts[static_cast<std::size_t>(second - 1)];
    if (run.order) return run.order(a, b, run.direction);
    return run.direction * compareShown(run.type, a, b);
}

std::string lineText(HWND list, int line, int column) {
    char buffer[257] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = sizeof buffer;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

LPARAM lineKey(HWND list, int line) {
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = line;
    SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return item.lParam;
}

int CALLBACK byRank(LPARAM first, LPARAM second, LPARAM ranks) {
    const auto& rank = *reinterpret_cast<const std::unordered_map<LPARAM, int>*>(ranks);
    const auto a = rank.find(first), b = rank.find(second);
    const int x = a == rank.end() ? 0 : a->second, y = b == rank.end() ? 0 : b->second;
    return x - y;
}

// An ordinary list view: the texts of the column are taken before anything
// moves and ranked; the list view then only puts its lines into the order
// of those ranks. Asking the list view for texts while it sorts itself is
// not supported (its lines are in motion then), and ranking first gives
// both kinds of list view the same order for equal keys.
bool sortOrdinary(HWND list, SortRun& run, int column) {
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    std::vector<LPARAM> keys;
    for (int line = 0; line < count; ++line) {
        run.texts.push_back(lineText(list, line, column));
        keys.push_back(lineKey(list, line));
    }
    std::vector<int> index(static_cast<std::size_t>(count));
    G_MRGREF(compareTexts, count, index, &run);
    std::unordered_map<LPARAM, int> rank;
    for (int i = 0; i < count; ++i) rank[keys[static_cast<std::size_t>(index[static_cast<std::size_t>(i)] - 1)]] = i;
    return SendMessageA(list, LVM_SORTITEMS, reinterpret_cast<WPARAM>(&rank),
                        reinterpret_cast<LPARAM>(byRank)) != FALSE;
}

// A virtual list view: the row map is ranked by the records' fields, and
// each line's selection, focus and overlay follow its record.
bool sortVirtual(HWND list, XLVDATA& data, SortRun& run, int column) {
    const int count = static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
    if (!data.format || !data.records || data.recordSize <= 0) return false;
    const auto columns = data.format->columns();
    const ColumnField& field = *columns[static_cast<std::size_t>(column)];
    std::vector<int> map = data.rowMap;
    if (map.empty() || map.front() < 1) {
        map.resize(static_cast<std::size_t>(count));
        std::iota(map.begin(), map.end(), 1);
    }
    const int n = std::min(count, static_cast<int>(map.size()));
    // The selected and the focused lines: found through the list view, so a
    // sort of 100 000 lines asks for a few states, not for every line's.
    constexpr UINT kKept = LVIS_SELECTED | LVIS_FOCUSED;
    std::unordered_map<int, UINT> states;
    for (const UINT which : {static_cast<UINT>(LVNI_SELECTED), static_cast<UINT>(LVNI_FOCUSED)}) {
        for (auto line = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), which); line >= 0 && line < n;
             line = SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(line), which)) {
            states[map[static_cast<std::size_t>(line)]] |= which == LVNI_SELECTED ? LVIS_SELECTED : LVIS_FOCUSED;
        }
    }
    for (int line = 0; line < n; ++line) {
        const int record = map[static_cast<std::size_t>(line)];
        run.texts.push_back(formatField(
            field, data.records + static_cast<std::ptrdiff_t>(data.recordSize) * (record - 1)));
    }
    std::vector<int> index(static_cast<std::size_t>(n));
    G_MRGREF(compareTexts, n, index, &run);
    data.rowMap.resize(static_cast<std::size_t>(n));
    for (int i = 0; i < n; ++i) {
        data.rowMap[static_cast<std::size_t>(i)] = map[static_cast<std::size_t>(index[static_cast<std::size_t>(i)] - 1)];
    }
    data.rowMapAllocated = true;
    // Cleared on every line at once (line -1), then set again where their
    // records now stand.
    LVITEMA none{};
    none.stateMask = kKept;
    SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
    if (!states.empty()) {
        for (int line = 0; line < n; ++line) {
            const auto kept = states.find(data.rowMap[static_cast<std::size_t>(line)]);
            if (kept == states.end()) continue;
            LVITEMA item{};
            item.stateMask = kKept;
            item.state = kept->second;
            SendMessageA(list, LVM_SETITEMSTATE, line, reinterpret_cast<LPARAM>(&item));
        }
    }
    InvalidateRect(list, nullptr, TRUE);
    return true;
}

}  // namespace

bool XLV_ONCOLUMNCLICK(XWND& window, int id, int column, XShownOrder order) {
    const auto target = findControl(window, id);
    if (!target || target->kind != kCtlListView) return false;
    HWND list = target->hwnd;
    XLVDATA* data = PXLV_GETDATA(list);
    HWND header = headerOf(list);
    if (!data || !header || !data->format) return false;
    const int columns = static_cast<int>(data->format->columns().size());
    if (column < 1 || column > columns) return false;

    SortRun run;
    run.direction = nextDirection(header, column - 1, data->shellArrows);
    run.type = columnSortType(header, column - 1);
    run.order = order;
    showArrow(header, column - 1, run.direction, data->shellArrows);
    data->sortColumn = column;
    data->sortDirection = run.direction;

    const bool virtualList = (GetWindowLongPtrA(list, GWL_STYLE) & LVS_OWNERDATA) != 0;
    return virtualList ? sortVirtual(list, *data, run, column - 1) : sortOrdinary(list, run, column - 1);
}
