// WflCtrl: one set of routines for every child control of a framework
// window. A control is addressed by its window record and its identifier;
// an optional selector says which property or item is meant (1 and above:
// item n, counted from 1; negative: the named properties below).
#pragma once

#include <windows.h>

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "FixedText.h"
#include "WflWnd.h"

// ---- Selectors ------------------------------------------------------------
constexpr int XSEL_TEXT = -2;
constexpr int XSEL_ENABLED = -3;
constexpr int XSEL_VALUE = -5;
constexpr int XSEL_IMAGE = -11;
constexpr int XSEL_SELECTION = -12;
constexpr int XSEL_COUNT = -13;
constexpr int XSEL_FONT = -15;
constexpr int XSEL_VISIBLE = -16;
constexpr int XSEL_MIN = -18;
constexpr int XSEL_MAX = -19;
constexpr int XSEL_STEP = -20;
constexpr int XSEL_TEXTCOLOR = -21;
constexpr int XSEL_BKCOLOR = -22;
constexpr int XSEL_TABSTOPS = -23;
constexpr int XSEL_WIDTHS = -24;
constexpr int XSEL_ICON = -25;
constexpr int XSEL_DLGVALUE = -32;
constexpr int XSEL_COLUMNS = -35;
constexpr int XSEL_LVDATA = -37;
constexpr int XSEL_ORDER = -39;

// ---- Events (XEVT_DEFAULT, _CLICK, _CHANGE, _DESTROY, _SIZE, _INIT are in
// WflWnd.h, which routes them) ---------------------------------------------
constexpr int XEVT_UPDATE = -7;
constexpr int XEVT_SELCHANGE = -10;
constexpr int XEVT_DBLCLICK = -14;
constexpr int XEVT_DRAW = -26;
constexpr int XEVT_GOTFOCUS = -27;
constexpr int XEVT_LOSTFOCUS = -28;
constexpr int XEVT_SELCHANGING = -29;
constexpr int XEVT_COLUMNCLICK = -38;

// ---- Creation flags (XCTLCREATE's `flags`) --------------------------------
constexpr DWORD XCF_RIGHT = 0x1;            // static, edit
constexpr DWORD XCF_CENTER = 0x2;           // static, edit
constexpr DWORD XCF_SORTED = 0x2;           // list box, combos
constexpr DWORD XCF_MULTILINE = 0x4;        // buttons, edit (with scroll bars), tab
constexpr DWORD XCF_VERTICAL = 0x1;         // scroll bar, track bar
constexpr DWORD XCF_READONLY = 0x800;       // edit
constexpr DWORD XCF_OWNERDRAW = 0x10000000; // static, buttons; virtual for a list view
constexpr DWORD XCF_NOHEADERCLICK = 0x8000; // list view
constexpr DWORD XCF_DISABLED = 0x8000000;
constexpr DWORD XCF_GROUP = 0x20000;
constexpr DWORD XCF_WINDOWEDGE = 0x100;
constexpr DWORD XCF_CLIENTEDGE = 0x200;

// ---- Creating and destroying ----------------------------------------------
// Creates a control of `kind` in the window (through the window's own
// thread) and returns the identifier it got, 0 on failure. Without x or y
// the control goes to (0, 0).
int XCTLCREATE(XWND& window, int id, int kind, DWORD flags = 0,
               std::optional<int> x = std::nullopt, std::optional<int> y = std::nullopt,
               int width = CW_USEDEFAULT, int height = CW_USEDEFAULT, DWORD exStyle = 0,
               DWORD style = 0);
bool XCTLDESTROY(XWND& window, int id);
// XCTLDESTROYALL (WflWnd.h) removes every control record of a window.

// ---- Text ------------------------------------------------------------------
bool XCTLSETCHAR(XWND& window, int id, std::string_view text,
                 std::optional<int> selector = std::nullopt);
// Fills the caller's field and pads it with blanks; on failure the field
// is left as it was.
bool XCTLGETCHAR(XWND& window, int id, std::span<char> text,
                 std::optional<int> selector = std::nullopt);
template <std::size_t N>
bool XCTLGETCHAR(XWND& window, int id, FixedText<N>& text,
                 std::optional<int> selector = std::nullopt) {
    return XCTLGETCHAR(window, id, std::span<char>(text.data(), N), selector);
}

// ---- Integers, flags, arrays -----------------------------------------------
// Values are 32-bit integers; images, icons and brushes pass through the
// same routines, so the value is wide enough to hold a handle.
bool XCTLSETINT(XWND& window, int id, LONG_PTR value, std::optional<int> selector = std::nullopt);
bool XCTLGETINT(XWND& window, int id, LONG_PTR& value, std::optional<int> selector = std::nullopt);
bool XCTLGETINT(XWND& window, int id, int& value, std::optional<int> selector = std::nullopt);
bool XCTLSETLOG(XWND& window, int id, bool flag, std::optional<int> selector = std::nullopt);
bool XCTLGETLOG(XWND& window, int id, bool& flag, std::optional<int> selector = std::nullopt);
bool XCTLSETARRAY(XWND& window, int id, std::span<const int> values, int selector);
// Fills `values` from the front; entries beyond what the control has are 0.
bool XCTLGETARRAY(XWND& window, int id, std::span<int> values, int selector);

// ---- List-view rows ----------------------------------------------------------
// A reference to an application record handed to a list view row by row.
struct XItem {
    std::byte* address = nullptr;
};
XItem XITEM(INT_PTR n);
template <class Record>
XItem XITEM(Record& record) {
    return XItem{reinterpret_cast<std::byte*>(&record)};
}
// Rows are formatted by the list-view layer; without it these report false.
bool XCTLSETITEM(XWND& window, int id, XItem item, int row);
bool XCTLGETITEM(XWND& window, int id, XItem item, int row);

// ---- Events, messages, positions -------------------------------------------
bool XCTLSETSUB(XWND& window, int id, XCommandRoutine routine, int event = XEVT_DEFAULT);
// XEVT_DRAW takes a routine of its own form: a command routine for it is
// refused (and raises kFaultWrongForm).
// The owner-draw routine (XEVT_DRAW) of an owner-drawn static or button.
bool XCTLSETSUB(XWND& window, int id, XDrawRoutine routine);
// The routine (XEVT_DRAW) that fills the lines of a virtual list view; while
// it is there, the list view's own answer from its record array stands back.
bool XCTLSETSUB(XWND& window, int id, XListDataRoutine routine);
// The slot (1..6) a kind gives an event, 0 when it has none. `style` tells
// owner-drawn statics and buttons and virtual list views apart.
int PXGETCALLBACKINDEX(int kind, DWORD style, int event);
LRESULT XCTLSENDMESSAGE(XWND& window, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
bool XCTLMOVE(XWND& window, int id, std::optional<int> x = std::nullopt,
              std::optional<int> y = std::nullopt, std::optional<int> width = std::nullopt,
              std::optional<int> height = std::nullopt, std::optional<int> after = std::nullopt);
bool XCTLGETPOS(XWND& window, int id, int& x, int& y, int& width, int& height);
bool XBEGINCTLMOVE(XWND& window);
bool XENDCTLMOVE(XWND& window);

// ---- Helpers other modules use ------------------------------------------------
// Attaches a control record to its control window ("XCTL").
void FXASSOCCTLTOHANDLE(XCTL& control, HWND hwnd);
// The edit field inside an editable combo (null when there is none).
HWND PXCTLGETEDIT(HWND combo);
// The whole text of a window or control.
std::string PXWINDOWTEXT(HWND window);
// Shows the page of the selected tab, fitted to the tab's display area, and
// hides the pages of the other tabs. Each tab's item parameter holds the
// identifier of its page window.
void FXDEFTABCALLBACK(HWND tab);

// A font description: face between t'...' (or t"..."), then i italic, e bold,
// u underline, f fixed pitch, h<n> height (default 10), w<n> weight (400,
// or 700 after e).
struct FontDescription {
    std::string face;
    int height = 10;
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool fixedPitch = false;
};
FontDescription readFontDescription(std::string_view text);
