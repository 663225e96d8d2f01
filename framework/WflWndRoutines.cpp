// The thin window routines: position and size, batched moves, icon, title,
// messages, cursors, queries, coordinate conversions and styles.
#include <string>

#include "WflWndInternal.h"
#include "Text.h"

namespace {

// Positions of a child window are read relative to its parent's client area.
void toParentClient(HWND hwnd, RECT& rect) {
    if (!(GetWindowLongPtrA(hwnd, GWL_STYLE) & WS_CHILD)) return;
    if (HWND parent = GetParent(hwnd)) {
        MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    }
}

HICON loadIcon(HMODULE module, int id, int size) {
    const UINT flags = size == 0 ? LR_DEFAULTSIZE : 0;
    return static_cast<HICON>(
        LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_ICON, size, size, flags));
}

bool isStandardCursor(int id) {
    return (id >= 32512 && id <= 32516) || (id >= 32642 && id <= 32646) || id == 32648 ||
           id == 32650;
}

}  // namespace

bool XSETWINDOWPOS(XWND& record, std::optional<int> x, std::optional<int> y,
                   std::optional<int> width, std::optional<int> height,
                   std::optional<int> showCommand, XWND* after) {
    UINT flags = 0;
    if (!x || !y) flags |= SWP_NOMOVE;
    if (!width || !height) flags |= SWP_NOSIZE;
    if (!after) flags |= SWP_NOZORDER;
    HWND insertAfter = after ? after->hwnd : nullptr;
    WndState& s = wndState();
    if (s.moveBatch) {
        HDWP next = DeferWindowPos(s.moveBatch, record.hwnd, insertAfter, x.value_or(0),
                                   y.value_or(0), width.value_or(0), height.value_or(0), flags);
        // A failed DeferWindowPos has already released the batch.
        s.moveBatch = next;
        return next != nullptr;
    }
    const bool moved = SetWindowPos(record.hwnd, insertAfter, x.value_or(0), y.value_or(0),
                                    width.value_or(0), height.value_or(0), flags) != FALSE;
    if (showCommand) XSHOWWINDOW(record, *showCommand);
    return moved;
}

bool XMOVEWINDOW(XWND& record, int x, int y) { return XSETWINDOWPOS(record, x, y); }

bool XSIZEWINDOW(XWND& record, int width, int height) {
    return XSETWINDOWPOS(record, std::nullopt, std::nullopt, width, height);
}

bool XSHOWWINDOW(XWND& record, int showCommand) {
    WndState& s = wndState();
    if (!s.moveBatch) {
        ShowWindow(record.hwnd, showCommand);
        return true;
    }
    UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (showCommand == SW_HIDE) {
        flags |= SWP_HIDEWINDOW;
    } else if (showCommand == SW_SHOW) {
        flags |= SWP_SHOWWINDOW;
    } else {
        return false;
    }
    s.moveBatch = DeferWindowPos(s.moveBatch, record.hwnd, nullptr, 0, 0, 0, 0, flags);
    return s.moveBatch != nullptr;
}

bool XENABLEWINDOW(XWND& record, bool enable) {
    EnableWindow(record.hwnd, enable);
    return (IsWindowEnabled(record.hwnd) != FALSE) == enable;
}

bool XGETWINDOWPOS(XWND& record, int& x, int& y, int& width, int& height) {
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    if (!GetWindowPlacement(record.hwnd, &wp)) return false;
    const RECT& r = wp.rcNormalPosition;
    x = r.left;
    y = r.top;
    width = r.right - r.left;
    height = r.bottom - r.top;
    return true;
}

bool XGETWINDOWRECT(XWND& record, RECT& rect) {
    if (!GetWindowRect(record.hwnd, &rect)) return false;
    toParentClient(record.hwnd, rect);
    return true;
}

bool XGETCLIENTRECT(XWND& record, int& width, int& height) {
    RECT rc{};
    if (!GetClientRect(record.hwnd, &rc)) return false;
    width = rc.right;
    height = rc.bottom;
    return true;
}

bool XBEGINMOVEWINDOWS(std::optional<int> windows) {
    WndState& s = wndState();
    if (s.moveBatch) return false;
    s.moveBatch = BeginDeferWindowPos(windows.value_or(windowCount()));
    return s.moveBatch != nullptr;
}

bool XENDMOVEWINDOWS() {
    WndState& s = wndState();
    if (!s.moveBatch) return false;
    const bool applied = EndDeferWindowPos(s.moveBatch) != FALSE;
    s.moveBatch = nullptr;
    return applied;
}

bool XSETWINDOWICON(XWND& record, int iconId, HMODULE module) {
    if (!module) module = GetModuleHandleA(nullptr);
    HICON small = loadIcon(module, iconId, 16);
    HICON big = loadIcon(module, iconId, 0);
    if (small) SendMessageA(record.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
    if (big) {
        SendMessageA(record.hwnd, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
        if (!small) SendMessageA(record.hwnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(big));
    }
    return small || big;
}

bool XSETWINDOWTITLE(XWND& record, std::string_view title) {
    const std::string shown = textkit::trimmedRight(title);
    return SetWindowTextA(record.hwnd, shown.c_str()) != FALSE;
}

LRESULT XSENDMESSAGE(XWND& record, UINT message, WPARAM wParam, LPARAM lParam) {
    return SendMessageA(record.hwnd, message, wParam, lParam);
}

bool XPOSTMESSAGE(XWND& record, UINT message, WPARAM wParam, LPARAM lParam) {
    return PostMessageA(record.hwnd, message, wParam, lParam) != FALSE;
}

HCURSOR XSETCURSOR(XWND& record, std::optional<HCURSOR> cursor) {
    HCURSOR previous = record.cursor;
    record.cursor = cursor.value_or(noCursor());
    return previous;
}

HCURSOR XSTDCURSOR(XWND& record, std::optional<int> standardCursor) {
    int id = standardCursor.value_or(32512);
    if (!isStandardCursor(id)) id = 32512;
    HCURSOR cursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(id));
    HCURSOR previous = XSETCURSOR(record, cursor);
    SetCursor(cursor);
    return previous;
}

bool XISWINDOW(XWND& record, int query, XWND* other) {
    HWND hwnd = record.hwnd;
    switch (query) {
        case XIS_WINDOW: return IsWindow(hwnd) != FALSE;
        case XIS_FRAMEWORK: return hwnd && recordProperty(hwnd) != nullptr;
        case XIS_CHILD: return other && IsChild(other->hwnd, hwnd) != FALSE;
        case XIS_ZOOMED: return IsZoomed(hwnd) != FALSE;
        case XIS_ICONIC: return IsIconic(hwnd) != FALSE;
        default: {
            const auto bits = static_cast<DWORD>(query);
            return (static_cast<DWORD>(GetWindowLongPtrA(hwnd, GWL_STYLE)) & bits) == bits;
        }
    }
}

void PXSCREEN2CLIENT_1(XWND& record, int x, int y, int& clientX, int& clientY) {
    POINT p{x, y};
    ScreenToClient(record.hwnd, &p);
    clientX = p.x;
    clientY = p.y;
}

void PXSCREEN2CLIENT_2(XWND& record, POINT screen, POINT& client) {
    client = screen;
    ScreenToClient(record.hwnd, &client);
}

void PXCLIENT2SCREEN_1(XWND& record, int x, int y, int& screenX, int& screenY) {
    POINT p{x, y};
    ClientToScreen(record.hwnd, &p);
    screenX = p.x;
    screenY = p.y;
}

void PXCLIENT2SCREEN_2(XWND& record, POINT client, POINT& screen) {
    screen = client;
    ClientToScreen(record.hwnd, &screen);
}

LONG_PTR XSETWINDOWSTYLE(XWND& record, LONG_PTR style, int which) {
    if (which == GCL_STYLE) return static_cast<LONG_PTR>(SetClassLongPtrA(record.hwnd, which, style));
    return SetWindowLongPtrA(record.hwnd, which, style);
}

LONG_PTR XGETWINDOWSTYLE(XWND& record, int which) {
    if (which == GCL_STYLE) return static_cast<LONG_PTR>(GetClassLongPtrA(record.hwnd, which));
    return GetWindowLongPtrA(record.hwnd, which);
}
