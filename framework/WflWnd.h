// WflWnd: the window record, its dispatch tables and the one window
// procedure that serves every framework window, plus the thin window
// routines applications call on records.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <string_view>
#include <variant>
#include <vector>

#include "FixedText.h"
#include "WflGDI.h"
#include "WflMenu.h"

struct XWND;

// Exceptions raised for programming errors (RaiseException, continuable).
constexpr DWORD kFaultForeignRecord = 0xE00000E1;  // "XWND" leads to another window's record
constexpr DWORD kFaultWrongForm = 0xE00000E3;      // routine's argument form does not fit

// Private messages.
constexpr UINT kMsgEndDialog = WM_APP + 1;      // wParam: end code, lParam: the dialog
constexpr UINT kMsgCreateControl = WM_APP + 2;  // wParam: ControlCreateRequest*, lParam: id

// What default processing means for a record (its defaultProc word); any
// other value is the window procedure that the framework replaced.
constexpr LONG_PTR kDefProcUnbound = -2;
constexpr LONG_PTR kDefProcDialog = -1;
constexpr LONG_PTR kDefProcFramework = 0;

constexpr DWORD kFlagOffscreenPaint = 0x40000000;  // in XWND::flags and XCREATEWINDOW's exStyle

// Handles that hold -1 to mean "none set".
inline HCURSOR noCursor() { return reinterpret_cast<HCURSOR>(static_cast<INT_PTR>(-1)); }
inline HBRUSH noBrush() { return reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(-1)); }
constexpr COLORREF kNoColor = 0xFFFFFFFF;

// ---- Routine types -------------------------------------------------------
// A command or control routine: window record, identifier, event code.
using XCommandRoutine = void (*)(XWND& window, int id, int code);
// An owner-draw routine: window record, control identifier, and a drawing
// record whose viewport is the item's rectangle.
using XDrawRoutine = void (*)(XWND& window, int id, DrawingRecord& dc);
// The routine that fills the lines of a virtual list view: window record,
// list view identifier, and the list view's request (line, column and what
// it wants), which the routine answers in place.
using XListDataRoutine = void (*)(XWND& window, int id, NMLVDISPINFOA& request);

// Message handlers get the record and then the arguments of their message's
// form; one pointer type per form. A result of 0 means "not handled".
using HandlerPlain = LRESULT (*)(XWND& window);
using HandlerInt = LRESULT (*)(XWND& window, int value);
using HandlerFlag = LRESULT (*)(XWND& window, bool flag);
using HandlerInt2 = LRESULT (*)(XWND& window, int a, int b);
using HandlerInt3 = LRESULT (*)(XWND& window, int a, int b, int c);
using HandlerInt4 = LRESULT (*)(XWND& window, int a, int b, int c, int d);
using HandlerActivate = LRESULT (*)(XWND& window, int state, bool minimized, XWND* other);
using HandlerWindow = LRESULT (*)(XWND& window, XWND* other);
using HandlerPaint = LRESULT (*)(XWND& window, DrawingRecord& dc, int left, int top, int right,
                                 int bottom);
using HandlerDraw = LRESULT (*)(XWND& window, DrawingRecord& dc);
using HandlerMinMax = LRESULT (*)(XWND& window, POINT& maxSize, POINT& maxPosition,
                                  POINT& minTrackSize, POINT& maxTrackSize);
using HandlerWindowPos = LRESULT (*)(XWND& window, int& x, int& y, int& width, int& height,
                                     UINT& flags);
using HandlerHelp = LRESULT (*)(XWND& window, bool menuItem, int id);
using HandlerHitTest = LRESULT (*)(XWND& window, int x, int y, LRESULT& defaultHit);
using HandlerChar = LRESULT (*)(XWND& window, int code, bool released, bool alt);
using HandlerScroll = LRESULT (*)(XWND& window, INT_PTR bar, int code, int position);
using HandlerMenu = LRESULT (*)(XWND& window, MenuRecord& menu);
using HandlerMenuPopup = LRESULT (*)(XWND& window, MenuRecord& menu, bool windowMenu);
// A dropped file's name: 260 characters (MAX_PATH) in UTF-8, where one
// character can take up to three bytes.
using XDroppedFile = FixedText<3 * 260>;
using HandlerDropFiles = LRESULT (*)(XWND& window, std::span<XDroppedFile> files);
using HandlerRaw = LRESULT (*)(XWND& window, UINT message, WPARAM wParam, LPARAM lParam);

using XHandler =
    std::variant<HandlerPlain, HandlerInt, HandlerFlag, HandlerInt2, HandlerInt3, HandlerInt4,
                 HandlerActivate, HandlerWindow, HandlerPaint, HandlerDraw, HandlerMinMax,
                 HandlerWindowPos, HandlerHelp, HandlerHitTest, HandlerChar, HandlerScroll,
                 HandlerMenu, HandlerMenuPopup, HandlerDropFiles, HandlerRaw>;

// The form (XHandler alternative index) that a message's handler must have.
std::size_t handlerFormFor(UINT message);
template <class F>
constexpr std::size_t handlerFormIndex() {
    return XHandler(F{}).index();
}

// ---- Records -------------------------------------------------------------
// A control of a framework window. The control routines that fill and use
// the slots live with the controls module; the record lives here because
// every window record holds its controls.
struct XCTL {
    HWND hwnd = nullptr;
    int kind = 0;
    DWORD style = 0;
    HWND owner = nullptr;
    std::array<XCommandRoutine, 6> slots{};  // slot n is slots[n - 1]
    HBRUSH background = noBrush();
    COLORREF textColor = kNoColor;
    HFONT font = nullptr;
    // The routines of the drawing slot (an owner-drawn static or button
    // draws, a virtual list view asks for its lines); each has a form of its
    // own, so they are kept beside the slots rather than in them.
    XDrawRoutine draw = nullptr;
    XListDataRoutine listData = nullptr;
};

// Control kinds.
constexpr int kCtlStatic = 1, kCtlGroupBox = 2, kCtlPushButton = 3, kCtlCheckBox = 4,
              kCtlAutoRadio = 5, kCtlEdit = 6, kCtlListBox = 7, kCtlDropList = 8, kCtlRadio = 9,
              kCtlTab = 10, kCtlScrollBar = 11, kCtlEditCombo = 12, kCtlUpDown = 13,
              kCtlTrackBar = 14, kCtlProgress = 15, kCtlStatusBar = 16, kCtlListView = 17,
              kCtlChildDialog = 20;

// Event codes handed to control routines (the controls module adds the rest).
constexpr int XEVT_DEFAULT = -1;
constexpr int XEVT_CLICK = -4;
constexpr int XEVT_CHANGE = -6;
constexpr int XEVT_DESTROY = -31;
constexpr int XEVT_SIZE = -33;
constexpr int XEVT_INIT = -34;

// The window record. A record declared by the application outlives its
// window and may be reused; it must not move while a window is bound to it
// (the "XWND" property holds its address), so it cannot be copied.
struct XWND {
    HWND hwnd = nullptr;
    int handlerCount = 0;  // used entries of handlerMessages / handlerRoutines
    int controlCount = 0;  // used entries of controls
    int commandCount = 0;  // used entries of commandIds / commandRoutines
    int spareCount = 0;
    int id = 0;
    LONG_PTR defaultProc = kDefProcUnbound;
    HCURSOR cursor = noCursor();
    DWORD flags = 0;
    std::vector<UINT> handlerMessages;  // ascending
    std::vector<XHandler> handlerRoutines;
    std::vector<int> commandIds;  // ascending
    std::vector<XCommandRoutine> commandRoutines;
    // Controls are held by pointer: the "XCTL" property of each control
    // keeps its record's address while the array grows and shrinks.
    std::vector<std::unique_ptr<XCTL>> controls;
    int canvasWidth = 0;   // 0: no framework horizontal scrolling
    int canvasHeight = 0;  // 0: no framework vertical scrolling

    XWND() = default;
    XWND(const XWND&) = delete;
    XWND& operator=(const XWND&) = delete;
};

// Back to the fresh state (tables emptied, defaultProc -2, no cursor).
void resetWindowRecord(XWND& record);

// What the private control-creation message carries.
struct ControlCreateRequest {
    DWORD style = 0;
    int kind = 0;
    int x = 0, y = 0, width = 0, height = 0;
    DWORD exStyle = 0;
};

// ---- The window procedure and its helpers --------------------------------
LRESULT CALLBACK fxwindowproc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
// Default processing for a record (null: DefWindowProcA).
LRESULT PXDEFPROC(XWND* record, HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT FXCALLHANDLER(const XHandler& routine, XWND& record, UINT message, WPARAM wParam,
                      LPARAM lParam);
void FXCALLCOMMAND(XCommandRoutine routine, XWND& record, int id, int code);
// Routes a control notification to the routine in its slot; `detail` is
// the notification's lParam (NMHDR, DRAWITEMSTRUCT) where it has one. True
// when a routine ran.
bool FXCTLCALLBACK(XWND& record, XCTL& control, int id, int code, LPARAM detail = 0);

// ---- Creating and binding ------------------------------------------------
bool XCREATEWINDOW(XWND& record, XWND* parent, DWORD style, std::string_view title,
                   DWORD exStyle = 0, int x = CW_USEDEFAULT, int y = CW_USEDEFAULT,
                   int width = CW_USEDEFAULT, int height = CW_USEDEFAULT,
                   MenuRecord* menu = nullptr, std::string_view className = {},
                   std::optional<int> childId = std::nullopt,
                   std::optional<void*> createParam = std::nullopt);
bool XDESTROYWINDOW(XWND& record);
bool XBINDWINDOW(HWND hwnd, XWND*& record);
bool XUNBINDWINDOW(XWND*& record);
void XFREEWINDOW(XWND& record);
// The record of a window: its own, the shared scratch record for a window
// without one, the desktop's for no handle, null for a handle that is not a
// window. Also returns what it stored.
XWND* XGETWINDOW(XWND*& record, HWND hwnd = nullptr);
XWND* XGETMDI(XWND*& record);

// ---- Dispatch tables -----------------------------------------------------
bool XSETHANDLER(XWND& record, UINT message, XHandler routine);
bool XSETCOMMAND(XWND& record, int id, XCommandRoutine routine);
bool FXGETHANDLER(UINT message, const XWND& record, int& index);  // index 1-based
bool FXGETCOMMAND(const XWND& record, int id, int& index);

// ---- Controls of a window ------------------------------------------------
int FXRESOLVECLASSNAME(HWND control);
void FXBINDWINDOWCONTROLS(XWND& record);
void XCTLDESTROYALL(XWND& record);
XCTL* FXCTLBYHANDLE(HWND control);
void PXENDDIALOG(XWND& record, int id, int code);

// ---- Window data ---------------------------------------------------------
bool XSETWINDOWDATA(XWND& record, INT_PTR value, std::string_view name = "XDATA");
INT_PTR XGETWINDOWDATA(XWND& record, std::string_view name = "XDATA");
bool XFREEWINDOWDATA(XWND& record, std::string_view name = "XDATA");

// ---- Canvas and scroll bars (bar 0 horizontal, 1 vertical) ---------------
bool XSETCANVAS(XWND& record, int width, int height, std::optional<int> xPosition = std::nullopt,
                std::optional<int> yPosition = std::nullopt);
bool XGETCANVAS(XWND& record, int& width, int& height, int* xPosition = nullptr,
                int* yPosition = nullptr);
bool XSCROLLBARGET(XWND& record, int bar, int& position, int* minimum = nullptr,
                   int* maximum = nullptr, int* page = nullptr);
bool XSCROLLBARSET(XWND& record, int bar, std::optional<int> position,
                   std::optional<int> minimum = std::nullopt,
                   std::optional<int> maximum = std::nullopt,
                   std::optional<int> page = std::nullopt, bool redraw = true);

// ---- Position, batches, appearance ---------------------------------------
bool XSETWINDOWPOS(XWND& record, std::optional<int> x = std::nullopt,
                   std::optional<int> y = std::nullopt, std::optional<int> width = std::nullopt,
                   std::optional<int> height = std::nullopt,
                   std::optional<int> showCommand = std::nullopt, XWND* after = nullptr);
bool XMOVEWINDOW(XWND& record, int x, int y);
bool XSIZEWINDOW(XWND& record, int width, int height);
bool XSHOWWINDOW(XWND& record, int showCommand);
bool XENABLEWINDOW(XWND& record, bool enable);
bool XGETWINDOWPOS(XWND& record, int& x, int& y, int& width, int& height);
bool XGETWINDOWRECT(XWND& record, RECT& rect);
bool XGETCLIENTRECT(XWND& record, int& width, int& height);
bool XBEGINMOVEWINDOWS(std::optional<int> windows = std::nullopt);
bool XENDMOVEWINDOWS();
bool XSETWINDOWICON(XWND& record, int iconId, HMODULE module = nullptr);
bool XSETWINDOWTITLE(XWND& record, std::string_view title);
LRESULT XSENDMESSAGE(XWND& record, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
bool XPOSTMESSAGE(XWND& record, UINT message, WPARAM wParam = 0, LPARAM lParam = 0);
HCURSOR XSETCURSOR(XWND& record, std::optional<HCURSOR> cursor = std::nullopt);
HCURSOR XSTDCURSOR(XWND& record, std::optional<int> standardCursor = std::nullopt);

// Queries for XISWINDOW; any other value asks whether all its bits are set
// in the window style.
constexpr int XIS_WINDOW = -5, XIS_FRAMEWORK = -4, XIS_CHILD = -3, XIS_ZOOMED = -2,
              XIS_ICONIC = -1;
bool XISWINDOW(XWND& record, int query, XWND* other = nullptr);

void PXSCREEN2CLIENT_1(XWND& record, int x, int y, int& clientX, int& clientY);
void PXSCREEN2CLIENT_2(XWND& record, POINT screen, POINT& client);
void PXCLIENT2SCREEN_1(XWND& record, int x, int y, int& screenX, int& screenY);
void PXCLIENT2SCREEN_2(XWND& record, POINT client, POINT& screen);

// `which` is GWL_STYLE, GWL_EXSTYLE or GCL_STYLE (the class style); the
// setter returns the previous value.
LONG_PTR XSETWINDOWSTYLE(XWND& record, LONG_PTR style, int which = GWL_STYLE);
LONG_PTR XGETWINDOWSTYLE(XWND& record, int which = GWL_STYLE);
