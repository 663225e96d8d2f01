// Painting a framework window: the paint handler gets a drawing record whose
// viewport and window make canvas coordinates land on the client area,
// shifted by the scroll position, and may draw off-screen first.
#include "WflWndInternal.h"
#include "WflScoped.h"

namespace {

// A memory device context with a bitmap of the client size selected; it
// puts the original bitmap back and releases both at scope end.
class OffscreenSurface {
public:
    OffscreenSurface(HDC screen, int width, int height)
        : dc_(screen), bitmap_(CreateCompatibleBitmap(screen, width, height)), selected_(dc_.get(), bitmap_.get()) {}

    bool ready() const { return selected_.selected(); }
    HDC dc() const { return dc_.get(); }

private:
    // Declared in the order they are made; they go in the reverse order:
    // the selection is undone, then the bitmap and the context deleted.
    ScopedMemoryDC dc_;
    ScopedGdiObject<HBITMAP> bitmap_;
    ScopedSelect selected_;
};

// BeginPaint and EndPaint as one scope.
class PaintScope {
public:
    explicit PaintScope(HWND hwnd) : hwnd_(hwnd) { BeginPaint(hwnd_, &ps_); }
    ~PaintScope() { EndPaint(hwnd_, &ps_); }
    PaintScope(const PaintScope&) = delete;
    PaintScope& operator=(const PaintScope&) = delete;
    const PAINTSTRUCT& info() const { return ps_; }

private:
    HWND hwnd_;
    PAINTSTRUCT ps_{};
};

// Scroll origin and extent along one direction: a canvas scrolls by the
// scroll bar; without one the extent is the client size.
void axis(HWND hwnd, int canvas, int bar, int client, int& origin, int& extent) {
    if (canvas >= 1) {
        origin = GetScrollPos(hwnd, bar);
        extent = canvas;
    } else {
        origin = 0;
        extent = client;
    }
}

}  // namespace

LRESULT paintWindow(HandlerPaint routine, XWND& record) {
    HWND hwnd = record.hwnd;
    if (!GetUpdateRect(hwnd, nullptr, FALSE)) return 0;
    RECT client{};
    GetClientRect(hwnd, &client);
    const int width = client.right;
    const int height = client.bottom;

    PaintScope paint(hwnd);
    const PAINTSTRUCT& ps = paint.info();
    const bool offscreen = (record.flags & kFlagOffscreenPaint) != 0;
    OffscreenSurface surface(ps.hdc, offscreen ? width : 0, offscreen ? height : 0);

    DrawingRecord dc;
    dc.dc = offscreen && surface.ready() ? surface.dc() : ps.hdc;
    int x = 0, y = 0, xExtent = 0, yExtent = 0;
    axis(hwnd, record.canvasWidth, SB_HORZ, width, x, xExtent);
    axis(hwnd, record.canvasHeight, SB_VERT, height, y, yExtent);
    dc.viewportLeft = -x;
    dc.viewportTop = -y;
    dc.viewportWidth = xExtent;
    dc.viewportHeight = yExtent;
    dc.windowX = 0.0f;
    dc.windowY = 0.0f;
    dc.windowWidth = static_cast<float>(xExtent);
    dc.windowHeight = static_cast<float>(yExtent);

    const LRESULT result =
        routine(record, dc, ps.rcPaint.left, ps.rcPaint.top, ps.rcPaint.right, ps.rcPaint.bottom);
    releaseRecordFont(dc);  // a font the routine set lives only for this paint
    if (offscreen && surface.ready()) {
        BitBlt(ps.hdc, 0, 0, width, height, surface.dc(), 0, 0, SRCCOPY);
    }
    return result;
}
