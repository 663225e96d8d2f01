// The canvas (a drawing area larger than the window, scrolled by the
// framework) and the scroll-bar routines of a window.
#include <algorithm>

#include "WflWndInternal.h"

namespace {

int clientExtent(HWND hwnd, int bar) {
    RECT rc{};
    GetClientRect(hwnd, &rc);
    return bar == SB_HORZ ? rc.right : rc.bottom;
}

void setCanvasBar(HWND hwnd, int bar, int extent, std::optional<int> position) {
    SCROLLINFO si = scrollInfo(SIF_RANGE | SIF_PAGE);
    si.nMin = 0;
    si.nMax = extent;
    si.nPage = static_cast<UINT>(clientExtent(hwnd, bar));
    if (position) {
        si.fMask |= SIF_POS;
        si.nPos = *position;
    }
    SetScrollInfo(hwnd, bar, &si, TRUE);
}

int windowsBar(int bar) { return bar == 0 ? SB_HORZ : SB_VERT; }

}  // namespace

void scrollCanvas(XWND& record, int bar, int code) {
    SCROLLINFO si = scrollInfo(SIF_ALL);
    if (!GetScrollInfo(record.hwnd, bar, &si)) return;
    int pos = si.nPos;
    switch (code) {
        case SB_LINEUP: pos -= si.nMax / 100; break;
        case SB_LINEDOWN: pos += si.nMax / 100; break;
        case SB_PAGEUP: pos -= static_cast<int>(si.nPage); break;
        case SB_PAGEDOWN: pos += static_cast<int>(si.nPage); break;
        case SB_THUMBPOSITION: case SB_THUMBTRACK: pos = si.nTrackPos; break;
        default: return;
    }
    SCROLLINFO set = scrollInfo(SIF_POS);
    set.nPos = pos;
    SetScrollInfo(record.hwnd, bar, &set, TRUE);
    InvalidateRect(record.hwnd, nullptr, TRUE);
}

void fitCanvasPages(XWND& record) {
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO si = scrollInfo(SIF_PAGE);
        si.nPage = static_cast<UINT>(clientExtent(record.hwnd, bar));
        SetScrollInfo(record.hwnd, bar, &si, TRUE);
    }
    InvalidateRect(record.hwnd, nullptr, TRUE);
}

bool XSETCANVAS(XWND& record, int width, int height, std::optional<int> xPosition,
                std::optional<int> yPosition) {
    if (!record.hwnd || recordProperty(record.hwnd) != &record) return false;
    record.canvasWidth = std::max(0, width);
    record.canvasHeight = std::max(0, height);
    setCanvasBar(record.hwnd, SB_HORZ, record.canvasWidth, xPosition);
    setCanvasBar(record.hwnd, SB_VERT, record.canvasHeight, yPosition);
    InvalidateRect(record.hwnd, nullptr, TRUE);
    return true;
}

bool XGETCANVAS(XWND& record, int& width, int& height, int* xPosition, int* yPosition) {
    if (!record.hwnd || recordProperty(record.hwnd) != &record) return false;
    width = record.canvasWidth;
    height = record.canvasHeight;
    if (xPosition) *xPosition = GetScrollPos(record.hwnd, SB_HORZ);
    if (yPosition) *yPosition = GetScrollPos(record.hwnd, SB_VERT);
    return true;
}

bool XSCROLLBARGET(XWND& record, int bar, int& position, int* minimum, int* maximum, int* page) {
    SCROLLINFO si = scrollInfo(SIF_ALL);
    if (!GetScrollInfo(record.hwnd, windowsBar(bar), &si)) return false;
    position = si.nPos;
    if (minimum) *minimum = si.nMin;
    if (maximum) *maximum = si.nMax;
    if (page) *page = static_cast<int>(si.nPage);
    return true;
}

bool XSCROLLBARSET(XWND& record, int bar, std::optional<int> position, std::optional<int> minimum,
                   std::optional<int> maximum, std::optional<int> page, bool redraw) {
    if (!record.hwnd) return false;
    SCROLLINFO si = scrollInfo(0);
    if (position) {
        si.fMask |= SIF_POS;
        si.nPos = *position;
    }
    if (minimum && maximum) {
        si.fMask |= SIF_RANGE;
        si.nMin = *minimum;
        si.nMax = *maximum;
    }
    if (page) {
        si.fMask |= SIF_PAGE;
        si.nPage = static_cast<UINT>(*page);
    }
    SetScrollInfo(record.hwnd, windowsBar(bar), &si, redraw);
    return true;
}
