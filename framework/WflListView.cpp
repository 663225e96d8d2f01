// The list view's data record, its rows and their keys: storing records
// into lines and reading them back, the row map of virtual list views and
// redrawing.
#include "WflListView.h"

#include <commctrl.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <numeric>
#include <string>
#include <utility>
#include <vector>

#include "Unicode.h"
#include "WflCtrlInternal.h"

namespace {

constexpr char kPropListData[] = "XLVData";
constexpr int kArrowSize = 14;
constexpr int kShellArrowUp = 133;
constexpr int kShellArrowDown = 134;
constexpr int kMaxText = 257;  // a shown field and its terminating zero

bool isListView(HWND hwnd) {
    char name[32] = {};
    GetClassNameA(hwnd, name, sizeof name);
    return lstrcmpiA(name, WC_LISTVIEWA) == 0;
}

bool isVirtual(HWND list) { return (GetWindowLongPtrA(list, GWL_STYLE) & LVS_OWNERDATA) != 0; }

int lineCount(HWND list) { return static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)); }

HWND headerOf(HWND list) { return reinterpret_cast<HWND>(SendMessageA(list, LVM_GETHEADER, 0, 0)); }

// The two arrows of the shell library, when it has them.
bool loadShellArrows(HIMAGELIST images) {
    HMODULE shell = GetModuleHandleA("shell32.dll");
    if (!shell) shell = LoadLibraryA("shell32.dll");
    if (!shell) return false;
    HANDLE up = LoadImageA(shell, MAKEINTRESOURCEA(kShellArrowUp), IMAGE_BITMAP, kArrowSize,
                           kArrowSize, LR_LOADMAP3DCOLORS);
    HANDLE down = LoadImageA(shell, MAKEINTRESOURCEA(kShellArrowDown), IMAGE_BITMAP, kArrowSize,
                             kArrowSize, LR_LOADMAP3DCOLORS);
    const bool both = up && down &&
                      ImageList_Add(images, static_cast<HBITMAP>(up), nullptr) == 0 &&
                      ImageList_Add(images, static_cast<HBITMAP>(down), nullptr) == 1;
    if (up) DeleteObject(up);
    if (down) DeleteObject(down);
    if (!both) ImageList_RemoveAll(images);
    return both;
}

// Line `line`'s text in column `column` (both 0-based).
std::string lineText(HWND list, int line, int column) {
    char buffer[kMaxText] = {};
    LVITEMA item{};
    item.iSubItem = column;
    item.pszText = buffer;
    item.cchTextMax = kMaxText;
    SendMessageA(list, LVM_GETITEMTEXTA, static_cast<WPARAM>(line), reinterpret_cast<LPARAM>(&item));
    return buffer;
}

// The record number a line of a virtual list view shows.
int recordOfLine(const XLVDATA& data, int line) {
    if (data.rowMap.empty() || data.rowMap.front() < 1) return line + 1;
    return line < static_cast<int>(data.rowMap.size()) ? data.rowMap[static_cast<std::size_t>(line)] : 0;
}

// Writes one record into a line of an ordinary list view: a new line when
// `line` is -1. A new line's key is the number of lines before it.
bool writeLine(HWND list, const ColumnFormat& format, const std::byte* record, int line) {
    const auto columns = format.columns();
    if (columns.empty()) return false;
    std::string text = formatField(*columns.front(), record);
    LVITEMA item{};
    item.mask = LVIF_TEXT;
    item.pszText = text.data();
    if (const auto image = format.imageOffset()) {
        std::int32_t status = 0;
        std::memcpy(&status, record + *image, sizeof status);
        item.mask |= LVIF_IMAGE;
        item.iImage = status - 1;
    }
    if (line < 0) {
        item.iItem = lineCount(list);
        item.mask |= LVIF_PARAM;
        item.lParam = item.iItem;
        line = static_cast<int>(SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item)));
        if (line < 0) return false;
    } else {
        item.iItem = line;
        if (!SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
    }
    for (std::size_t c = 1; c < columns.size(); ++c) {
        std::string sub = formatField(*columns[c], record);
        LVITEMA subItem{};
        subItem.mask = LVIF_TEXT;
        subItem.iItem = line;
        subItem.iSubItem = static_cast<int>(c);
        subItem.pszText = sub.data();
        if (!SendMessageA(list, LVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&subItem))) return false;
    }
    return true;
}

}  // namespace

XLVDATA* PXLV_GETDATA(HWND list) {
    return list ? static_cast<XLVDATA*>(GetPropA(list, kPropListData)) : nullptr;
}

bool FXLV_INIT(HWND list) {
    if (!list || !isListView(list)) return false;
    if (PXLV_GETDATA(list)) return true;
    auto data = std::make_unique<XLVDATA>();
    data->arrows = ImageList_Create(kArrowSize, kArrowSize, ILC_COLORDDB | ILC_MASK, 2, 10);
    data->shellArrows = data->arrows && loadShellArrows(data->arrows);
    const DWORD extended = LVS_EX_FULLROWSELECT | LVS_EX_HEADERDRAGDROP;
    SendMessageA(list, LVM_SETEXTENDEDLISTVIEWSTYLE, extended, extended);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    if (HWND header = headerOf(list)) {
        SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(data->arrows));
    }
    if (!SetPropA(list, kPropListData, data.get())) {
        if (data->arrows) ImageList_Destroy(data->arrows);
        return false;
    }
    data.release();  // owned by the property until PXLV_CLEANUP
    return true;
}

void PXLV_CLEANUP(HWND list) {
    std::unique_ptr<XLVDATA> data(PXLV_GETDATA(list));
    if (!data) return;
    RemovePropA(list, kPropListData);
    if (HWND header = headerOf(list)) SendMessageA(header, HDM_SETIMAGELIST, 0, 0);
    if (data->arrows) ImageList_Destroy(data->arrows);
}

int FXLV_FWDMAP(HWND list, int row) {
    const int count = lineCount(list);
    if (isVirtual(list)) {
        const XLVDATA* data = PXLV_GETDATA(list);
        if (!data || data->rowMap.empty() || data->rowMap.front() < 1) {
            return row >= 1 && row <= count ? row - 1 : -1;
        }
        for (std::size_t i = 0; i < data->rowMap.size() && static_cast<int>(i) < count; ++i) {
            if (data->rowMap[i] == row) return static_cast<int>(i);
        }
        return -1;
    }
    if (row < 1) return -1;
    LVFINDINFOA find{};
    find.flags = LVFI_PARAM;
    find.lParam = row - 1;
    return static_cast<int>(SendMessageA(list, LVM_FINDITEMA, static_cast<WPARAM>(-1),
                                         reinterpret_cast<LPARAM>(&find)));
}

int FXLV_BACKMAP(HWND list, int line) {
    if (line < 0 || line >= lineCount(list)) return 0;
    if (isVirtual(list)) {
        const XLVDATA* data = PXLV_GETDATA(list);
        return data ? recordOfLine(*data, line) : line + 1;
    }
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = line;
    if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return 0;
    return static_cast<int>(item.lParam) + 1;
}

bool listViewSetColumns(HWND list, std::string_view text) {
    XLVDATA* data = PXLV_GETDATA(list);
    if (!data) return false;
    // The whole format is read before anything changes, so a bad format
    // leaves the list as it was.
    auto format = readColumnFormat(text);
    if (!format) return false;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    while (SendMessageA(list, LVM_DELETECOLUMN, 0, 0)) {
    }
    HWND header = headerOf(list);
    int column = 0;
    for (const ColumnField* field : format->columns()) {
        LVCOLUMNA col{};
        col.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
        const bool number = field->sortType() == SortType::Integer || field->sortType() == SortType::Real;
        col.fmt = number && column > 0 ? LVCFMT_RIGHT : LVCFMT_LEFT;
        col.cx = 60;
        col.pszText = const_cast<char*>("");
        col.iSubItem = column;
        if (SendMessageA(list, LVM_INSERTCOLUMNA, column, reinterpret_cast<LPARAM>(&col)) != column) {
            return false;
        }
        // The header item carries where the field sits and how it sorts.
        HDITEMA item{};
        item.mask = HDI_LPARAM;
        item.lParam = (static_cast<LPARAM>(field->offset) << 4) | static_cast<LPARAM>(field->sortType());
        if (header) SendMessageA(header, HDM_SETITEMA, column, reinterpret_cast<LPARAM>(&item));
        ++column;
    }
    data->format = std::move(format);
    data->rowMap.clear();
    data->rowMapAllocated = false;
    data->sortColumn = 0;
    data->sortDirection = 0;
    return true;
}

bool listViewSetItem(HWND list, std::byte* record, int row) {
    XLVDATA* data = PXLV_GETDATA(list);
    if (!data) return false;
    if (isVirtual(list)) {
        data->records = record;
        InvalidateRect(list, nullptr, TRUE);
        return true;
    }
    if (!data->format || !record) return false;
    const int count = lineCount(list);
    const int line = row >= 1 && row <= count ? FXLV_FWDMAP(list, row) : -1;
    return writeLine(list, *data->format, record, line);
}

bool listViewGetItem(HWND list, std::byte* record, int row) {
    const XLVDATA* data = PXLV_GETDATA(list);
    if (!data || !data->format || !record) return false;
    const int line = FXLV_FWDMAP(list, row);
    if (line < 0) return false;
    int column = 0;
    for (const ColumnField* field : data->format->columns()) {
        if (!readField(*field, lineText(list, line, column++), record)) return false;
    }
    if (const auto image = data->format->imageOffset()) {
        LVITEMA item{};
        item.mask = LVIF_IMAGE;
        item.iItem = line;
        if (!SendMessageA(list, LVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item))) return false;
        const std::int32_t status = item.iImage + 1;
        std::memcpy(record + *image, &status, sizeof status);
    }
    return true;
}

bool listViewSetCount(HWND list, int count) {
    XLVDATA* data = PXLV_GETDATA(list);
    if (!data || !isVirtual(list) || count < 0) return false;
    data->rowMap.resize(static_cast<std::size_t>(count));
    std::iota(data->rowMap.begin(), data->rowMap.end(), 1);
    data->rowMapAllocated = true;
    return SendMessageA(list, LVM_SETITEMCOUNT, static_cast<WPARAM>(count), 0) != FALSE;
}

bool listViewSetRecordSize(HWND list, int bytes) {
    XLVDATA* data = PXLV_GETDATA(list);
    if (!data || bytes < 0) return false;
    data->recordSize = bytes;
    return true;
}

namespace {

// How many of a column's longest texts are measured for its automatic width.
constexpr std::size_t kWidthCandidates = 24;

// The automatic width of a column of a virtual list view. The list view
// itself would ask for the text of every line, one notification each:
// seconds for 100 000 lines. The records are at hand, so the longest texts
// are found by their number of characters and the widest of them measured;
// in a proportional font the widest text is among the longest.
std::optional<int> recordsWidth(HWND list, const XLVDATA& data, int column, bool withTitle) {
    if (!data.format || !data.records || data.recordSize <= 0) return std::nullopt;
    const auto columns = data.format->columns();
    if (column < 0 || column >= static_cast<int>(columns.size())) return std::nullopt;
    const ColumnField& field = *columns[static_cast<std::size_t>(column)];
    const int lines = lineCount(list);
    std::vector<std::pair<std::size_t, std::string>> longest;  // (characters, text), at most the candidates
    for (int line = 0; line < lines; ++line) {
        const int record = recordOfLine(data, line);
        if (record < 1) continue;
        std::string text = formatField(field, data.records + static_cast<std::ptrdiff_t>(data.recordSize) * (record - 1));
        const std::size_t characters = utf8::characterCount(text);
        if (longest.size() == kWidthCandidates && characters <= longest.back().first) continue;
        longest.emplace_back(characters, std::move(text));
        std::sort(longest.begin(), longest.end(), [](const auto& a, const auto& b) { return a.first > b.first; });
        if (longest.size() > kWidthCandidates) longest.pop_back();
    }
    int widest = 0;
    for (const auto& [characters, text] : longest) {
        widest = std::max(widest, static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                                reinterpret_cast<LPARAM>(text.c_str()))));
    }
    // The margins the list view gives a text in its cells, and the line's
    // image before the first column's text.
    int width = widest + 12;
    if (column == 0) {
        if (HIMAGELIST images = ListView_GetImageList(list, LVSIL_SMALL)) {
            int cx = 0, cy = 0;
            ImageList_GetIconSize(images, &cx, &cy);
            width += cx + 4;
        }
    }
    if (withTitle) {
        char title[256] = {};
        LVCOLUMNA col{};
        col.mask = LVCF_TEXT;
        col.pszText = title;
        col.cchTextMax = sizeof title;
        if (SendMessageA(list, LVM_GETCOLUMNA, column, reinterpret_cast<LPARAM>(&col))) {
            width = std::max(width, static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0,
                                                                  reinterpret_cast<LPARAM>(title))) + 12);
        }
    }
    return width;
}

}  // namespace

bool listViewSetColumnWidth(HWND list, int column, int width) {
    if ((width == LVSCW_AUTOSIZE || width == LVSCW_AUTOSIZE_USEHEADER) && isVirtual(list)) {
        if (const XLVDATA* data = PXLV_GETDATA(list)) {
            if (const auto measured = recordsWidth(list, *data, column, width == LVSCW_AUTOSIZE_USEHEADER)) {
                width = *measured;
            }
        }
    }
    return SendMessageA(list, LVM_SETCOLUMNWIDTH, static_cast<WPARAM>(column), width) != FALSE;
}

bool listViewSetSmallImages(HWND list, HIMAGELIST images) {
    SendMessageA(list, LVM_SETIMAGELIST, LVSIL_SMALL, reinterpret_cast<LPARAM>(images));
    const XLVDATA* data = PXLV_GETDATA(list);
    HWND header = headerOf(list);
    if (data && header) {
        SendMessageA(header, HDM_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(data->arrows));
    }
    return true;
}

bool listViewSelectRow(HWND list, int row, bool selected) {
    const int line = FXLV_FWDMAP(list, row);
    if (line < 0) return false;
    LVITEMA item{};
    item.stateMask = LVIS_SELECTED;
    item.state = selected ? LVIS_SELECTED : 0;
    return SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(line),
                        reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::optional<bool> listViewRowSelected(HWND list, int row) {
    const int line = FXLV_FWDMAP(list, row);
    if (line < 0) return std::nullopt;
    return (SendMessageA(list, LVM_GETITEMSTATE, static_cast<WPARAM>(line), LVIS_SELECTED) &
            LVIS_SELECTED) != 0;
}

int listViewFirstSelectedRow(HWND list) {
    const auto line = static_cast<int>(
        SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    return line < 0 ? 0 : FXLV_BACKMAP(list, line);
}

bool listViewAnswerDisplayInfo(HWND list, NMLVDISPINFOA& request) {
    const XLVDATA* data = PXLV_GETDATA(list);
    if (!data || !data->format || !data->records || data->recordSize <= 0) return false;
    LVITEMA& item = request.item;
    const int record = recordOfLine(*data, item.iItem);
    if (record < 1) return false;
    const std::byte* at = data->records + static_cast<std::ptrdiff_t>(data->recordSize) * (record - 1);
    const auto columns = data->format->columns();
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        std::string text;
        if (item.iSubItem >= 0 && item.iSubItem < static_cast<int>(columns.size())) {
            text = formatField(*columns[static_cast<std::size_t>(item.iSubItem)], at);
        }
        lstrcpynA(item.pszText, text.c_str(), item.cchTextMax);
    }
    if ((item.mask & LVIF_IMAGE) && item.iSubItem == 0) {
        if (const auto image = data->format->imageOffset()) {
            std::int32_t status = 0;
            std::memcpy(&status, at + *image, sizeof status);
            item.iImage = status - 1;
        }
    }
    return true;
}

bool XLVUPDATE(XWND& window, int id, std::optional<std::span<const int>> rows) {
    const auto target = findControl(window, id);
    if (!target || target->kind != kCtlListView) return false;
    HWND list = target->hwnd;
    bool ok = true;
    auto redraw = [&](int line) {
        if (line < 0 || !SendMessageA(list, LVM_REDRAWITEMS, line, line)) ok = false;
    };
    if (rows) {
        for (int row : *rows) redraw(FXLV_FWDMAP(list, row));
    } else {
        // Every line at once: the list view would otherwise work out and
        // invalidate each line's rectangle, one by one.
        ok = InvalidateRect(list, nullptr, TRUE) != FALSE;
    }
    UpdateWindow(list);
    return ok;
}

bool XLVFITHEADERS(XWND& window, int id) {
    HWND list = GetDlgItem(window.hwnd, id);
    HWND header = list ? ListView_GetHeader(list) : nullptr;
    if (!header) return false;
    const bool sortable = (GetWindowLongPtrA(list, GWL_STYLE) & LVS_NOSORTHEADER) == 0;
    // The header keeps a margin of three edges on either side of a title.
    const int margins = 6 * GetSystemMetrics(SM_CXEDGE) + (sortable ? kArrowSize + 2 * GetSystemMetrics(SM_CXEDGE) : 0);
    for (int col = 0, n = Header_GetItemCount(header); col < n; ++col) {
        char title[256] = {};
        LVCOLUMNA column{};
        column.mask = LVCF_TEXT | LVCF_WIDTH;
        column.pszText = title;
        column.cchTextMax = sizeof title;
        if (!SendMessageA(list, LVM_GETCOLUMNA, col, reinterpret_cast<LPARAM>(&column))) continue;
        const int needed =
            static_cast<int>(SendMessageA(list, LVM_GETSTRINGWIDTHA, 0, reinterpret_cast<LPARAM>(title))) + margins;
        if (column.cx < needed) SendMessageA(list, LVM_SETCOLUMNWIDTH, col, needed);
    }
    return true;
}
