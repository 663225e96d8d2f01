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

// ---- How each message reaches its handler -----------------------------------
// Every message whose handler has a form of its own is listed once below,
// with the form and with how its two parameters become that form's
// arguments. XSETHANDLER checks a routine's form against the same entry
// that calls it, so the two can never disagree; a message not listed goes
// to a HandlerRaw routine as it came.

LRESULT plain(HandlerPlain fn, XWND& r, UINT, WPARAM, LPARAM) { return fn(r); }
LRESULT atPoint(HandlerInt2 fn, XWND& r, UINT, WPARAM, LPARAM l) { return fn(r, signedLow(l), signedHigh(l)); }
LRESULT contextMenu(HandlerInt2 fn, XWND& r, UINT, WPARAM, LPARAM l) {
    // Screen positions left of or above the primary monitor come as their
    // unsigned 16-bit words, as the message carries them.
    return fn(r, LOWORD(l), HIWORD(l));
}
LRESULT initDialog(HandlerInt2 fn, XWND& r, UINT, WPARAM, LPARAM) { return fn(r, r.id, 0); }
LRESULT pointAndKeys(HandlerInt3 fn, XWND& r, UINT, WPARAM w, LPARAM l) {
    return fn(r, signedLow(l), signedHigh(l), static_cast<int>(w));
}
LRESULT displayChange(HandlerInt3 fn, XWND& r, UINT, WPARAM w, LPARAM l) {
    return fn(r, static_cast<int>(w), LOWORD(l), HIWORD(l));
}
LRESULT key(HandlerInt3 fn, XWND& r, UINT, WPARAM w, LPARAM l) {
    return fn(r, static_cast<int>(w), LOWORD(l), static_cast<int>((l >> 16) & 0x1FF));
}
LRESULT mouse(HandlerInt4 fn, XWND& r, UINT m, WPARAM w, LPARAM l) {
    return fn(r, signedLow(l), signedHigh(l), static_cast<int>(m), static_cast<int>(w));
}
LRESULT wheel(HandlerInt4 fn, XWND& r, UINT, WPARAM w, LPARAM l) {
    return fn(r, GET_WHEEL_DELTA_WPARAM(w), signedLow(l), signedHigh(l), static_cast<short>(LOWORD(w)));
}
LRESULT activate(HandlerActivate fn, XWND& r, UINT, WPARAM w, LPARAM l) {
    return fn(r, LOWORD(w), HIWORD(w) != 0, recordOf(reinterpret_cast<HWND>(l)));
}
LRESULT gotFocus(HandlerWindow fn, XWND& r, UINT, WPARAM, LPARAM) { return fn(r, recordOf(nullptr)); }
LRESULT otherWindow(HandlerWindow fn, XWND& r, UINT, WPARAM w, LPARAM) {
    return fn(r, recordOf(reinterpret_cast<HWND>(w)));
}
LRESULT mdiActivate(HandlerWindow fn, XWND& r, UINT, WPARAM w, LPARAM) {
    XWND* child = recordOf(reinterpret_cast<HWND>(w));
    XWND* client = mdiClientWindow();
    // At the MDI client the child being activated stands in for the window
    // record, and the other record is the desktop's.
    if (client && client->hwnd == r.hwnd && child) return fn(*child, recordOf(nullptr));
    return fn(r, child);
}
LRESULT flag(HandlerFlag fn, XWND& r, UINT, WPARAM w, LPARAM) { return fn(r, w != 0); }
LRESULT queryEndSession(HandlerFlag fn, XWND& r, UINT, WPARAM, LPARAM l) {
    return fn(r, (l & ENDSESSION_LOGOFF) != 0);
}
LRESULT mouseActivate(HandlerInt fn, XWND& r, UINT, WPARAM, LPARAM l) { return fn(r, LOWORD(l)); }
LRESULT sysCommand(HandlerInt fn, XWND& r, UINT, WPARAM w, LPARAM) { return fn(r, static_cast<int>(w & ~0xFu)); }
LRESULT timer(HandlerInt fn, XWND& r, UINT, WPARAM w, LPARAM) { return fn(r, static_cast<int>(w)); }
LRESULT paint(HandlerPaint fn, XWND& r, UINT, WPARAM, LPARAM) { return paintWindow(fn, r); }
LRESULT erase(HandlerDraw fn, XWND& r, UINT, WPARAM w, LPARAM) {
    DrawingRecord dc;
    dc.dc = reinterpret_cast<HDC>(w);
    RECT rc{};
    GetClientRect(r.hwnd, &rc);
    dc.viewportLeft = rc.left;
    dc.viewportTop = rc.top;
    dc.viewportWidth = rc.right - rc.left;
    dc.viewportHeight = rc.bottom - rc.top;
    // One window unit per pixel, so that drawing in window units needs no
    // further set-up.
    dc.windowWidth = static_cast<float>(dc.viewportWidth);
    dc.windowHeight = static_cast<float>(dc.viewportHeight);
    const LRESULT result = fn(r, dc);
    releaseRecordFont(dc);  // a font the routine set lives only for this erase
    return result;
}
LRESULT minMax(HandlerMinMax fn, XWND& r, UINT, WPARAM, LPARAM l) {
    auto* info = reinterpret_cast<MINMAXINFO*>(l);
    return fn(r, info->ptMaxSize, info->ptMaxPosition, info->ptMinTrackSize, info->ptMaxTrackSize);
}
LRESULT windowPos(HandlerWindowPos fn, XWND& r, UINT, WPARAM, LPARAM l) {
    auto* pos = reinterpret_cast<WINDOWPOS*>(l);
    int px = pos->x, py = pos->y, cx = pos->cx, cy = pos->cy;
    UINT flags = pos->flags;
    const LRESULT result = fn(r, px, py, cx, cy, flags);
    pos->x = px, pos->y = py, pos->cx = cx, pos->cy = cy, pos->flags = flags;
    return result;
}
LRESULT help(HandlerHelp fn, XWND& r, UINT, WPARAM, LPARAM l) {
    const auto* info = reinterpret_cast<const HELPINFO*>(l);
    return fn(r, info->iContextType == HELPINFO_MENUITEM, info->iCtrlId);
}
LRESULT hitTest(HandlerHitTest fn, XWND& r, UINT m, WPARAM w, LPARAM l) {
    LRESULT hit = DefWindowProcA(r.hwnd, m, w, l);
    return fn(r, signedLow(l), signedHigh(l), hit);
}
LRESULT character(HandlerChar fn, XWND& r, UINT, WPARAM w, LPARAM l) {
    return fn(r, static_cast<int>(w), (l & 0x80000000) != 0, (l & 0x20000000) != 0);
}
LRESULT scroll(HandlerScroll fn, XWND& r, UINT m, WPARAM w, LPARAM l) {
    const INT_PTR bar = l ? static_cast<INT_PTR>(l) : (m == WM_VSCROLL);
    return fn(r, bar, LOWORD(w), scrollPosition(r.hwnd, m, w, l));
}
LRESULT initMenu(HandlerMenu fn, XWND& r, UINT, WPARAM w, LPARAM) {
    MenuRecord menu{reinterpret_cast<HMENU>(w), r.hwnd};
    return fn(r, menu);
}
LRESULT initMenuPopup(HandlerMenuPopup fn, XWND& r, UINT, WPARAM w, LPARAM l) {
    MenuRecord menu{reinterpret_cast<HMENU>(w), r.hwnd};
    return fn(r, menu, HIWORD(l) != 0);
}
LRESULT dropFiles(HandlerDropFiles fn, XWND& r, UINT, WPARAM w, LPARAM) { return callDropFiles(fn, r, w); }
LRESULT raw(HandlerRaw fn, XWND& r, UINT m, WPARAM w, LPARAM l) { return fn(r, m, w, l); }

using FormCall = LRESULT (*)(const XHandler& routine, XWND& record, UINT message, WPARAM w, LPARAM l);
struct MessageForm {
    UINT message = 0;
    std::size_t form = 0;
    FormCall call = nullptr;
};

// The entry for MESSAGE whose handlers have the form of DECODE's first
// argument and get their arguments from it.
template <class Form>
struct FormOf;
template <class Form>
struct FormOf<LRESULT (*)(Form, XWND&, UINT, WPARAM, LPARAM)> {
    using type = Form;
};
template <auto Decode>
constexpr MessageForm on(UINT message) {
    using Form = typename FormOf<decltype(Decode)>::type;
    return {message, handlerFormIndex<Form>(), [](const XHandler& routine, XWND& record, UINT m, WPARAM w, LPARAM l) {
                return Decode(*std::get_if<Form>(&routine), record, m, w, l);
            }};
}

constexpr MessageForm kMessageForms[] = {
    on<plain>(WM_CREATE), on<plain>(WM_DESTROY), on<plain>(WM_SYSCOLORCHANGE), on<plain>(WM_TIMECHANGE),
    on<plain>(WM_CHILDACTIVATE), on<plain>(WM_NCDESTROY), on<plain>(WM_CLOSE),
    on<atPoint>(WM_MOVE), on<atPoint>(WM_SETCURSOR), on<contextMenu>(WM_CONTEXTMENU),
    on<initDialog>(WM_INITDIALOG),
    on<pointAndKeys>(WM_SIZE), on<displayChange>(WM_DISPLAYCHANGE), on<key>(WM_KEYDOWN), on<key>(WM_KEYUP),
    on<pointAndKeys>(WM_NCMOUSEMOVE), on<pointAndKeys>(WM_NCLBUTTONDOWN), on<pointAndKeys>(WM_NCLBUTTONUP),
    on<pointAndKeys>(WM_NCLBUTTONDBLCLK), on<pointAndKeys>(WM_NCRBUTTONUP), on<pointAndKeys>(WM_NCRBUTTONDBLCLK),
    on<mouse>(WM_MOUSEMOVE), on<mouse>(WM_LBUTTONDOWN), on<mouse>(WM_LBUTTONUP), on<mouse>(WM_LBUTTONDBLCLK),
    on<mouse>(WM_RBUTTONDOWN), on<mouse>(WM_RBUTTONUP), on<wheel>(WM_MOUSEWHEEL),
    on<activate>(WM_ACTIVATE),
    on<gotFocus>(WM_SETFOCUS), on<otherWindow>(WM_KILLFOCUS), on<otherWindow>(WM_MDIDESTROY),
    on<mdiActivate>(WM_MDIACTIVATE),
    on<flag>(WM_ENABLE), on<queryEndSession>(WM_QUERYENDSESSION), on<flag>(WM_ENDSESSION),
    on<flag>(WM_ACTIVATEAPP), on<flag>(WM_NCACTIVATE), on<flag>(WM_ENTERMENULOOP), on<flag>(WM_EXITMENULOOP),
    on<mouseActivate>(WM_MOUSEACTIVATE), on<sysCommand>(WM_SYSCOMMAND), on<timer>(WM_TIMER),
    on<paint>(WM_PAINT), on<erase>(WM_ERASEBKGND), on<minMax>(WM_GETMINMAXINFO),
    on<windowPos>(WM_WINDOWPOSCHANGING), on<windowPos>(WM_WINDOWPOSCHANGED), on<help>(WM_HELP),
    on<hitTest>(WM_NCHITTEST), on<character>(WM_CHAR), on<character>(WM_DEADCHAR),
    on<scroll>(WM_HSCROLL), on<scroll>(WM_VSCROLL), on<initMenu>(WM_INITMENU),
    on<initMenuPopup>(WM_INITMENUPOPUP), on<dropFiles>(WM_DROPFILES),
};
constexpr MessageForm kRawForm = on<raw>(0);

// Each message is listed once: a second entry would be a second opinion.
constexpr bool listedOnce() {
    for (std::size_t i = 0; i < std::size(kMessageForms); ++i) {
        for (std::size_t j = i + 1; j < std::size(kMessageForms); ++j) {
            if (kMessageForms[i].message == kMessageForms[j].message) return false;
        }
    }
    return true;
}
static_assert(listedOnce(), "a message is listed twice");

const MessageForm& formEntry(UINT message) {
    for (const MessageForm& entry : kMessageForms) {
        if (entry.message == message) return entry;
    }
    return kRawForm;
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

std::size_t handlerFormFor(UINT message) { return formEntry(message).form; }

HandlerOutcome callHandler(const XHandler& routine, XWND& record, UINT message, WPARAM wParam,
                           LPARAM lParam) {
    // A routine of another form than its message's would read arguments
    // that are not there; it is never called.
    const MessageForm& entry = formEntry(message);
    if (routine.index() != entry.form) {
        raiseFault(kFaultWrongForm);
        return {};
    }
    if (std::visit([](auto fn) { return fn == nullptr; }, routine)) return {};
    HWND hwnd = record.hwnd;
    HandlerOutcome outcome;
    outcome.result = entry.call(routine, record, message, wParam, lParam);
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
