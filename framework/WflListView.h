// WflListView: a report-style list view as a table of application records.
// The application describes its record once as a column-format text, such
// as "(+i4, a16, a32)"; the list view then formats whole records into lines,
// reads lines back into records and sorts by the clicked column. The control
// routines of WflCtrl are the entry points; this module does the work behind
// them.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "WflWnd.h"

// ---- Column formats --------------------------------------------------------
// How a column compares when the list is sorted by it.
enum class SortType { None, Integer, Real, Text, Date };

// One descriptor of a column format: a letter, its width and decimals, and
// where its bytes sit in the record.
struct ColumnField {
    char letter = 0;          // i j k n f e g d a t x
    int width = 0;            // 0: as narrow as the value allows (numbers)
    std::optional<int> decimals;  // digits after the point; minimum digits for integers
    int offset = 0;           // first byte in the record
    int bytes = 0;            // bytes consumed
    bool imagePrefix = false; // a "+" stood before it (the 4 bytes before `offset`)
    bool producesColumn() const { return letter != 'x'; }
    SortType sortType() const;
};

struct ColumnFormat {
    std::vector<ColumnField> fields;  // in record order, "x" fields included
    int recordBytes = 0;              // bytes of the whole record
    // The fields that produce a column, in column order.
    std::vector<const ColumnField*> columns() const;
    // The offset of the "+" image number, when the format has one.
    std::optional<int> imageOffset() const;
};

// Reads a column-format text; nullopt when a descriptor cannot be parsed.
std::optional<ColumnFormat> readColumnFormat(std::string_view text);

// Writes one field of a record as the list view shows it (at most 256
// characters): numbers right-aligned in their width, asterisks when a value
// does not fit, texts without trailing blanks.
std::string formatField(const ColumnField& field, const std::byte* record);
// Reads a shown text back into the field's bytes; false when the text is
// not a value of the field's kind (the bytes are then unchanged).
bool readField(const ColumnField& field, std::string_view text, std::byte* record);

// Compares two shown texts of a column by its sort type: numbers by value
// (a text that does not read as a number comes before every number),
// texts without regard to letter case, dates as text.
int compareShown(SortType type, std::string_view first, std::string_view second);

// The date-time layout of "t" fields (a SYSTEMTIME): "YYYY-MM-DD HH:MM:SS".
std::string PXDATETIME(const SYSTEMTIME& time);

// ---- The list view's data record ---------------------------------------------
struct XLVDATA {
    std::byte* records = nullptr;  // the application's record array (virtual list views)
    int recordSize = 0;            // bytes of one record (virtual list views)
    std::vector<int> rowMap;       // line i shows record rowMap[i] (1-based)
    bool rowMapAllocated = false;
    std::optional<ColumnFormat> format;
    HIMAGELIST arrows = nullptr;   // ascending and descending header images
    bool shellArrows = false;      // the two images came from the shell library
    int sortColumn = 0;            // 1-based; 0 before the first sort
    int sortDirection = 0;         // +1 ascending, -1 descending
};

// Creates the data record of a list view (unless it has one) and prepares
// the header for the sort arrows; false when `list` is not a list view.
bool FXLV_INIT(HWND list);
XLVDATA* PXLV_GETDATA(HWND list);
// Frees the data record and removes the property.
void PXLV_CLEANUP(HWND list);

// Row number (1-based) to line position (0-based), -1 when there is no such
// line; and back, 0 when the line does not exist.
int FXLV_FWDMAP(HWND list, int row);
int FXLV_BACKMAP(HWND list, int line);

// ---- What the control routines delegate --------------------------------------
// XCTLSETCHAR with XSEL_COLUMNS: all lines and columns go, one column per
// producing descriptor comes.
bool listViewSetColumns(HWND list, std::string_view format);
// XCTLSETITEM / XCTLGETITEM: a record into line `row` (appended when the row
// is below 1 or beyond the count), a line back into a record. A virtual list
// view takes `record` as the address of its record array.
bool listViewSetItem(HWND list, std::byte* record, int row);
bool listViewGetItem(HWND list, std::byte* record, int row);
// XSEL_COUNT of a virtual list view: n lines, row map 1..n.
bool listViewSetCount(HWND list, int count);
// XSEL_LVDATA: the size of one record of a virtual list view.
bool listViewSetRecordSize(HWND list, int bytes);
// Sets a column's width; an automatic width (LVSCW_AUTOSIZE, or
// LVSCW_AUTOSIZE_USEHEADER) of a virtual list view is measured on its
// records, since the list view would ask for every line's text.
bool listViewSetColumnWidth(HWND list, int column, int width);
// XSEL_ICON: the small images of the lines. The list view hands the same
// list to its header, which would lose the sort arrows; they are put back.
bool listViewSetSmallImages(HWND list, HIMAGELIST images);
// Selection through the row keys: select or deselect row n, read a row's
// state, the first selected row (0 when none).
bool listViewSelectRow(HWND list, int row, bool selected);
std::optional<bool> listViewRowSelected(HWND list, int row);
int listViewFirstSelectedRow(HWND list);
// The answer to LVN_GETDISPINFOA of a virtual list view.
bool listViewAnswerDisplayInfo(HWND list, NMLVDISPINFOA& request);

// ---- Public routines -----------------------------------------------------------
// Redraws every line, or only the lines of the given row numbers; false when
// the control is missing or a row has no line.
bool XLVUPDATE(XWND& window, int id, std::optional<std::span<const int>> rows = std::nullopt);
// Widens every column that is narrower than its title with the header's
// margins, and on a sortable list the sort arrow's room beside it.
bool XLVFITHEADERS(XWND& window, int id);
// An application's own order for the shown texts of a column: negative
// when `first` goes before `second` in a sort of `direction` (+1 ascending,
// -1 descending). It is told the direction so that it can keep some texts
// at the end either way.
using XShownOrder = int (*)(std::string_view first, std::string_view second, int direction);
// The default action of a header click: sorts by the 1-based column, the
// other way round when it is already sorted by it, and moves the arrow.
// With `order`, the column's texts are ranked by it instead of by the
// column's sort type.
bool XLV_ONCOLUMNCLICK(XWND& window, int id, int column, XShownOrder order = nullptr);

// Ranks n items: index[0] becomes the number (1-based) of the first item in
// sorted order, and so on. `compare` gets two item numbers and the context.
using XMergeCompare = int (*)(int first, int second, void* context);
void G_MRGREF(XMergeCompare compare, int n, std::span<int> index, void* context);
