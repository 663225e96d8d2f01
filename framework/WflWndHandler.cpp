// FXCALLHANDLER: turns a message's two parameters into the arguments of its
// handler's form, calls the handler and, for a few messages, lets the
// system have the message when the handler declines it.
#include "WflWndInternal.h"

#include <shellapi.h>
#include <windowsx.h>

#include <string>
#include <vector>

#include "WflStrings.h"

namespace {

int signedLow(LPARAM value) { return static_cast<short>(LOWORD(value)); }
int signedHigh(LPARAM value) { return static_cast<short>(HIWORD(value)); }

XWND* recordOf(HWND hwnd) {
    XWND* record = nullptr;
    return XGETWINDOW(record, hwnd);
}

// The position a scroll handler is told: where the thumb is being dragged
// to for thumb messages, the current position otherwise.
int scrollPosition(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto control = reinterpret_cast<HWND>(lParam);
    const int bar = control ? SB_CTL : (message == WM_HSCROLL ? SB_HORZ : SB_VERT);
    SCROLLINFO si = scrollInfo(SIF_POS | SIF_TRACKPOS);
    GetScrollInfo(control ? control : hwnd, bar, &si);
    const int code = LOWORD(wParam);
    return (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) ? si.nTrackPos : si.nPos;
}

// One blank-padded name per dropped file; the drop is released afterwards.
LRESULT callDropFiles(HandlerDropFiles routine, XWND& record, WPARAM wParam) {
    const auto drop = reinterpret_cast<HDROP>(wParam);
    const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
    std::vector<XDroppedFile> files(count);
    for (UINT i = 0; i < count; ++i) {
        // Taken in UTF-16 and narrowed here, so a name the code page cannot
        // hold comes as "?" (a name no file has), never as a look-alike.
        std::wstring path(DragQueryFileW(drop, i, nullptr, 0) + 1, L'\0');
        DragQueryFileW(drop, i, path.data(), static_cast<UINT>(path.size()));
        path.resize(path.size() - 1);
        files[i] = XMULTIBYTE(path.c_str());
    }
    const LRESULT result = routine(record, files);
    DragFinish(drop);
    return result;
}

LRESULT callWithForm(const XHandler& routine, XWND& record, UINT message, WPARAM wParam,
                     LPARAM lParam) {
    HWND hwnd = record.hwnd;
    const int x = signedLow(lParam);
    const int y = signedHigh(lParam);
    const bool flag = wParam != 0;
    switch (message) {
        case WM_CREATE: case WM_DESTROY: case WM_SYSCOLORCHANGE: case WM_TIMECHANGE:
        case WM_CHILDACTIVATE: case WM_NCDESTROY: case WM_CLOSE:
            return std::get<HandlerPlain>(routine)(record);
        case WM_MOVE:
            return std::get<HandlerInt2>(routine)(record, x, y);
        case WM_SIZE:
            return std::get<HandlerInt3>(routine)(record, x, y, static_cast<int>(wParam));
        case WM_ACTIVATE:
            return std::get<HandlerActivate>(routine)(record, LOWORD(wParam), HIWORD(wParam) != 0,
                                                      recordOf(reinterpret_cast<HWND>(lParam)));
        case WM_SETFOCUS:
            return std::get<HandlerWindow>(routine)(record, recordOf(nullptr));
        case WM_KILLFOCUS:
        case WM_MDIDESTROY:
            return std::get<HandlerWindow>(routine)(record, recordOf(reinterpret_cast<HWND>(wParam)));
        case WM_MDIACTIVATE: {
            XWND* child = recordOf(reinterpret_cast<HWND>(wParam));
            XWND* client = mdiClientWindow();
            // At the MDI client the child being activated stands in for the
            // window record, and the other record is the desktop's.
            if (client && client->hwnd == hwnd && child) {
                return std::get<HandlerWindow>(routine)(*child, recordOf(nullptr));
            }
            return std::get<HandlerWindow>(routine)(record, child);
        }
        case WM_QUERYENDSESSION:
            return std::get<HandlerFlag>(routine)(record, (lParam & ENDSESSION_LOGOFF) != 0);
        case WM_ENABLE: case WM_ENDSESSION: case WM_ACTIVATEAPP: case WM_NCACTIVATE:
        case WM_ENTERMENULOOP: case WM_EXITMENULOOP:
            return std::get<HandlerFlag>(routine)(record, flag);
        case WM_PAINT:
            return paintWindow(std::get<HandlerPaint>(routine), record);
        case WM_ERASEBKGND: {
            DrawingRecord dc;
            dc.dc = reinterpret_cast<HDC>(wParam);
            RECT rc{};
            GetClientRect(hwnd, &rc);
            dc.viewportLeft = rc.left;
            dc.viewportTop = rc.top;
            dc.viewportWidth = rc.right - rc.left;
            dc.viewportHeight = rc.bottom - rc.top;
            // One window unit per pixel, so that drawing in window units
            // needs no further set-up.
            dc.windowWidth = static_cast<float>(dc.viewportWidth);
            dc.windowHeight = static_cast<float>(dc.viewportHeight);
            const LRESULT result = std::get<HandlerDraw>(routine)(record, dc);
            releaseRecordFont(dc);  // a font the routine set lives only for this erase
            return result;
        }
        case WM_SETCURSOR:
            return std::get<HandlerInt2>(routine)(record, x, y);
        case WM_MOUSEACTIVATE:
            return std::get<HandlerInt>(routine)(record, LOWORD(lParam));
        case WM_GETMINMAXINFO: {
            auto* info = reinterpret_cast<MINMAXINFO*>(lParam);
            return std::get<HandlerMinMax>(routine)(record, info->ptMaxSize, info->ptMaxPosition,
                                                    info->ptMinTrackSize, info->ptMaxTrackSize);
        }
        case WM_WINDOWPOSCHANGING:
        case WM_WINDOWPOSCHANGED: {
            auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
            int px = pos->x, py = pos->y, cx = pos->cx, cy = pos->cy;
            UINT flags = pos->flags;
            const LRESULT result =
                std::get<HandlerWindowPos>(routine)(record, px, py, cx, cy, flags);
            pos->x = px, pos->y = py, pos->cx = cx, pos->cy = cy, pos->flags = flags;
            return result;
        }
        case WM_HELP: {
            const auto* help = reinterpret_cast<const HELPINFO*>(lParam);
            return std::get<HandlerHelp>(routine)(record, help->iContextType == HELPINFO_MENUITEM,
                                                  help->iCtrlId);
        }
        case WM_CONTEXTMENU:
            // Screen positions left of or above the primary monitor come as
            // their unsigned 16-bit words, as the message carries them.
            return std::get<HandlerInt2>(routine)(record, LOWORD(lParam), HIWORD(lParam));
        case WM_DISPLAYCHANGE:
            return std::get<HandlerInt3>(routine)(record, static_cast<int>(wParam), LOWORD(lParam),
                                                  HIWORD(lParam));
        case WM_NCHITTEST: {
            LRESULT hit = DefWindowProcA(hwnd, message, wParam, lParam);
            return std::get<HandlerHitTest>(routine)(record, x, y, hit);
        }
        case WM_NCMOUSEMOVE: case WM_NCLBUTTONDOWN: case WM_NCLBUTTONUP: case WM_NCLBUTTONDBLCLK:
        case WM_NCRBUTTONUP: case WM_NCRBUTTONDBLCLK:
            return std::get<HandlerInt3>(routine)(record, x, y, static_cast<int>(wParam));
        case WM_KEYDOWN:
        case WM_KEYUP:
            return std::get<HandlerInt3>(routine)(record, static_cast<int>(wParam), LOWORD(lParam),
                                                  static_cast<int>((lParam >> 16) & 0x1FF));
        case WM_CHAR:
        case WM_DEADCHAR:
            return std::get<HandlerChar>(routine)(record, static_cast<int>(wParam),
                                                  (lParam & 0x80000000) != 0,
                                                  (lParam & 0x20000000) != 0);
        case WM_INITDIALOG:
            return std::get<HandlerInt2>(routine)(record, record.id, 0);
        case WM_SYSCOMMAND:
            return std::get<HandlerInt>(routine)(record, static_cast<int>(wParam & ~0xFu));
        case WM_TIMER:
            return std::get<HandlerInt>(routine)(record, static_cast<int>(wParam));
        case WM_HSCROLL:
        case WM_VSCROLL: {
            const INT_PTR bar = lParam ? static_cast<INT_PTR>(lParam) : (message == WM_VSCROLL);
            return std::get<HandlerScroll>(routine)(record, bar, LOWORD(wParam),
                                                    scrollPosition(hwnd, message, wParam, lParam));
        }
        case WM_INITMENU: {
            MenuRecord menu{reinterpret_cast<HMENU>(wParam), hwnd};
            return std::get<HandlerMenu>(routine)(record, menu);
        }
        case WM_INITMENUPOPUP: {
            MenuRecord menu{reinterpret_cast<HMENU>(wParam), hwnd};
            return std::get<HandlerMenuPopup>(routine)(record, menu, HIWORD(lParam) != 0);
        }
        case WM_MOUSEMOVE: case WM_LBUTTONDOWN: case WM_LBUTTONUP: case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN: case WM_RBUTTONUP:
            return std::get<HandlerInt4>(routine)(record, x, y, static_cast<int>(message),
                                                  static_cast<int>(wParam));
        case WM_MOUSEWHEEL:
            return std::get<HandlerInt4>(routine)(record, GET_WHEEL_DELTA_WPARAM(wParam), x, y,
                                                  static_cast<short>(LOWORD(wParam)));
        case WM_DROPFILES:
            return callDropFiles(std::get<HandlerDropFiles>(routine), record, wParam);
        default:
            return std::get<HandlerRaw>(routine)(record, message, wParam, lParam);
    }
}

// Messages whose handler, by declining, leaves the message to the system
// right here (closing, activation, erasing, context menus, characters).
bool addsDefaultOnZero(UINT message) {
    switch (message) {
        case WM_CLOSE: case WM_ACTIVATE: case WM_ERASEBKGND: case WM_CONTEXTMENU: case WM_CHAR:
        case WM_DEADCHAR:
            return true;
        default:
            return false;
    }
}

}  // namespace

HandlerOutcome callHandler(const XHandler& routine, XWND& record, UINT message, WPARAM wParam,
                           LPARAM lParam) {
    // A routine of another form than its message's would read arguments
    // that are not there; it is never called.
    if (routine.index() != handlerFormFor(message)) {
        raiseFault(kFaultWrongForm);
        return {};
    }
    if (std::visit([](auto fn) { return fn == nullptr; }, routine)) return {};
    HWND hwnd = record.hwnd;
    HandlerOutcome outcome;
    outcome.result = callWithForm(routine, record, message, wParam, lParam);
    if (outcome.result == 0 && addsDefaultOnZero(message)) {
        outcome.result = PXDEFPROC(&record, hwnd, message, wParam, lParam);
        outcome.defaultDone = true;
    }
    return outcome;
}

LRESULT FXCALLHANDLER(const XHandler& routine, XWND& record, UINT message, WPARAM wParam,
                      LPARAM lParam) {
    return callHandler(routine, record, message, wParam, lParam).result;
}
