// A small program on the window framework: a single-document frame whose
// client area shows a canvas larger than the window, painted off-screen and
// scrolled by the framework. Read it as the framework's user guide in code.
#include <cstdio>
#include <string>

#include "WflApp.h"
#include "WflWnd.h"

namespace {

constexpr int kCanvasWidth = 1600;
constexpr int kCanvasHeight = 1200;
constexpr int kGrid = 100;

// Drawing happens in canvas coordinates; the drawing record's viewport
// origin says where the canvas origin sits in the client area.
POINT onClient(const DrawingRecord& dc, int x, int y) {
    return {dc.viewportLeft + x, dc.viewportTop + y};
}

void fill(const DrawingRecord& dc, RECT canvasRect, COLORREF colour) {
    const POINT a = onClient(dc, canvasRect.left, canvasRect.top);
    const POINT b = onClient(dc, canvasRect.right, canvasRect.bottom);
    RECT r{a.x, a.y, b.x, b.y};
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(dc.dc, &r, brush);
    DeleteObject(brush);
}

void disc(const DrawingRecord& dc, int cx, int cy, int radius, COLORREF colour) {
    const POINT c = onClient(dc, cx, cy);
    HBRUSH brush = CreateSolidBrush(colour);
    HGDIOBJ oldBrush = SelectObject(dc.dc, brush);
    HGDIOBJ oldPen = SelectObject(dc.dc, GetStockObject(NULL_PEN));
    Ellipse(dc.dc, c.x - radius, c.y - radius, c.x + radius, c.y + radius);
    SelectObject(dc.dc, oldPen);
    SelectObject(dc.dc, oldBrush);
    DeleteObject(brush);
}

void text(const DrawingRecord& dc, int x, int y, const std::string& s, COLORREF colour) {
    const POINT p = onClient(dc, x, y);
    SetBkMode(dc.dc, TRANSPARENT);
    SetTextColor(dc.dc, colour);
    TextOutA(dc.dc, p.x, p.y, s.c_str(), static_cast<int>(s.size()));
}

// The whole canvas is drawn each time: off-screen painting copies the full
// client area, and the canvas is cheap to draw.
LRESULT paintCanvas(XWND& window, DrawingRecord& dc, int, int, int, int) {
    int clientWidth = 0, clientHeight = 0;
    XGETCLIENTRECT(window, clientWidth, clientHeight);
    RECT client{0, 0, clientWidth, clientHeight};
    HBRUSH outside = CreateSolidBrush(RGB(64, 64, 72));
    FillRect(dc.dc, &client, outside);  // beyond the canvas, when the window is larger
    DeleteObject(outside);

    fill(dc, {0, 0, kCanvasWidth, kCanvasHeight}, RGB(250, 248, 240));
    HPEN gridPen = CreatePen(PS_SOLID, 1, RGB(200, 205, 215));
    HGDIOBJ oldPen = SelectObject(dc.dc, gridPen);
    for (int x = 0; x <= kCanvasWidth; x += kGrid) {
        const POINT a = onClient(dc, x, 0), b = onClient(dc, x, kCanvasHeight);
        MoveToEx(dc.dc, a.x, a.y, nullptr);
        LineTo(dc.dc, b.x, b.y);
    }
    for (int y = 0; y <= kCanvasHeight; y += kGrid) {
        const POINT a = onClient(dc, 0, y), b = onClient(dc, kCanvasWidth, y);
        MoveToEx(dc.dc, a.x, a.y, nullptr);
        LineTo(dc.dc, b.x, b.y);
    }
    SelectObject(dc.dc, oldPen);
    DeleteObject(gridPen);

    for (int x = kGrid; x < kCanvasWidth; x += kGrid * 2) {
        for (int y = kGrid; y < kCanvasHeight; y += kGrid * 2) {
            const int shade = (x * 255 / kCanvasWidth);
            disc(dc, x, y, 22, RGB(shade, 120, 255 - shade));
        }
    }
    for (int x = 0; x < kCanvasWidth; x += kGrid) {
        text(dc, x + 4, 4, std::to_string(x), RGB(90, 90, 110));
    }
    for (int y = kGrid; y < kCanvasHeight; y += kGrid) {
        text(dc, 4, y + 4, std::to_string(y), RGB(90, 90, 110));
    }
    fill(dc, {140, 140, 560, 230}, RGB(30, 60, 120));
    text(dc, 160, 155, "Tallyon window framework", RGB(255, 255, 255));
    text(dc, 160, 180, "a 1600 x 1200 canvas, painted off-screen", RGB(220, 230, 255));
    text(dc, 160, 200, "scroll with the bars or the wheel", RGB(220, 230, 255));
    return 1;
}

// The frame's background is part of the canvas painting; erasing it first
// would only flicker.
LRESULT skipErase(XWND&, DrawingRecord&) { return 1; }

}  // namespace

// The application's start-up routine: the framework calls it once, then runs
// the message loop until the frame is closed.
bool XINIT(const FixedText<256>&, int& showCommand) {
    XWND& frame = frameWindow();
    const DWORD style = WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_HSCROLL | WS_VSCROLL;
    if (!XCREATESDIAPP(nullptr, "Tallyon Canvas Demo", std::nullopt, SW_HIDE, style,
                       WS_EX_APPWINDOW | kFlagOffscreenPaint)) {
        return false;
    }
    XSETHANDLER(frame, WM_PAINT, paintCanvas);
    XSETHANDLER(frame, WM_ERASEBKGND, skipErase);
    XSIZEWINDOW(frame, 720, 520);
    XSETCANVAS(frame, kCanvasWidth, kCanvasHeight, 60, 40);
    XSHOWWINDOW(frame, showCommand == SW_HIDE ? SW_SHOW : showCommand);
    return true;
}
