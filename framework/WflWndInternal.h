// What the WflWnd source files share among themselves.
#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "WflApp.h"
#include "WflWnd.h"

inline constexpr char kPropWindow[] = "XWND";
inline constexpr char kPropControl[] = "XCTL";
inline constexpr char kFrameworkClassName[] = "XWndClass";

// A control record and its window are tied and untied here alone: the
// property lets the handle find its record, and only the record's own
// property is taken away.
void bindControl(XCTL& control, HWND hwnd);
void unbindControl(XCTL& control);
// The record's font and background brush are replaced here alone; the one
// replaced is deleted (nullptr and noBrush() hold nothing).
void setControlFont(XCTL& control, HFONT font);
void setControlBackground(XCTL& control, HBRUSH brush);
// Both given up, once the control no longer draws with them.
void releaseControlObjects(XCTL& control);

// Raises a framework fault. The exception is continuable: when a handler
// (a debugger, or a test's vectored handler) continues it, the caller goes
// on as if the offending routine had not been there.
inline void raiseFault(DWORD code) { RaiseException(code, 0, 0, nullptr); }

// The module's state: the shared scratch record, the records adopted by
// XBINDWINDOW (owned here until XUNBINDWINDOW) and the open batch of moves.
struct WndState {
    XWND scratch;
    std::vector<std::unique_ptr<XWND>> adopted;
    HDWP moveBatch = nullptr;
};
WndState& wndState();

// A SCROLLINFO asking for (or setting) the parts in `mask`.
inline SCROLLINFO scrollInfo(UINT mask) {
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = mask;
    return si;
}

// Empties an array and gives its memory back (capacity 0 again).
template <class Array>
void freeArray(Array& array) {
    Array().swap(array);
}

inline XWND* recordProperty(HWND hwnd) {
    return static_cast<XWND*>(GetPropA(hwnd, kPropWindow));
}

inline bool isFrameWindow(HWND hwnd) { return hwnd && hwnd == frameWindow().hwnd; }

// The framework's own scrolling of a canvas window (bar SB_HORZ/SB_VERT).
void scrollCanvas(XWND& record, int bar, int code);
// After a size change: scroll-bar pages follow the client size.
void fitCanvasPages(XWND& record);
// WM_PAINT with a paint handler.
LRESULT paintWindow(HandlerPaint routine, XWND& record);

// Handler call with a note of whether default processing already ran.
struct HandlerOutcome {
    LRESULT result = 0;
    bool defaultDone = false;
};
HandlerOutcome callHandler(const XHandler& routine, XWND& record, UINT message, WPARAM wParam,
                           LPARAM lParam);
// The routine registered for a message, if any (null when none).
const XHandler* findHandler(const XWND& record, UINT message);
XCommandRoutine findCommand(const XWND& record, int id);

// Creates a control on behalf of the controls module (the private message).
HWND createRequestedControl(HWND parent, const ControlCreateRequest* request, LPARAM id);
