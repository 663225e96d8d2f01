// Painting and the framework's canvas scrolling, on visible windows.
#include <algorithm>
#include <initializer_list>
#include <optional>
#include <vector>

#include "WflCtrl.h"
#include "WflWndTestSupport.h"

namespace {

struct PaintSeen {
    int calls = 0;
    DrawingRecord dc;
    RECT rect{};
    DWORD dcType = 0;
    SIZE bitmap{};
    COLORREF fill = RGB(10, 200, 30);
};
PaintSeen painted;

LRESULT onPaint(XWND& self, DrawingRecord& dc, int left, int top, int right, int bottom) {
    ++painted.calls;
    painted.dc = dc;
    painted.rect = {left, top, right, bottom};
    painted.dcType = GetObjectType(dc.dc);
    BITMAP bm{};
    if (GetObjectA(GetCurrentObject(dc.dc, OBJ_BITMAP), sizeof(bm), &bm)) {
        painted.bitmap = {bm.bmWidth, bm.bmHeight};
    }
    const SIZE client = clientSize(self.hwnd);
    RECT all{0, 0, client.cx, client.cy};
    HBRUSH brush = CreateSolidBrush(painted.fill);
    FillRect(dc.dc, &all, brush);
    DeleteObject(brush);
    return 1;
}

// Repaints the whole window now and says whether the handler ran.
bool repaint(HWND hwnd) {
    const int before = painted.calls;
    InvalidateRect(hwnd, nullptr, FALSE);
    UpdateWindow(hwnd);
    return painted.calls == before + 1;
}

COLORREF pixelAt(HWND hwnd, int x, int y) {
    HDC dc = GetDC(hwnd);
    const COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(hwnd, dc);
    return c;
}

}  // namespace

TEST(Painting, ViewportAndWindowFollowCanvasAndScrollPosition) {
    TestWindow w({.visibleChild = true, .style = WS_HSCROLL | WS_VSCROLL});
    ASSERT_TRUE(XSETHANDLER(w.record, WM_PAINT, onPaint));
    const SIZE client = clientSize(w.hwnd());

    struct Row {
        const char* what;
        std::optional<SIZE> canvas;
        POINT scroll;
        RECT viewport;  // left, top, width, height
    } rows[] = {
        {"no canvas: the client area", std::nullopt, {0, 0}, {0, 0, client.cx, client.cy}},
        {"canvas scrolled", SIZE{1000, 800}, {30, 50}, {-30, -50, 1000, 800}},
        {"canvas at its origin", SIZE{1000, 800}, {0, 0}, {0, 0, 1000, 800}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        if (row.canvas) {
            ASSERT_TRUE(XSETCANVAS(w.record, row.canvas->cx, row.canvas->cy, row.scroll.x,
                                   row.scroll.y));
        }
        ASSERT_TRUE(repaint(w.hwnd()));
        const DrawingRecord& dc = painted.dc;
        EXPECT_EQ(dc.viewportLeft, row.viewport.left);
        EXPECT_EQ(dc.viewportTop, row.viewport.top);
        EXPECT_EQ(dc.viewportWidth, row.viewport.right);
        EXPECT_EQ(dc.viewportHeight, row.viewport.bottom);
        EXPECT_EQ(dc.windowX, 0.0f);
        EXPECT_EQ(dc.windowY, 0.0f);
        EXPECT_EQ(dc.windowWidth, static_cast<float>(row.viewport.right));
        EXPECT_EQ(dc.windowHeight, static_cast<float>(row.viewport.bottom));
        const SIZE now = clientSize(w.hwnd());
        EXPECT_EQ(painted.rect.left, 0);
        EXPECT_EQ(painted.rect.right, now.cx);
        EXPECT_EQ(painted.rect.bottom, now.cy);
        EXPECT_EQ(painted.dcType, static_cast<DWORD>(OBJ_DC));
    }
}

TEST(Painting, OffscreenPaintingGoesThroughAMemoryBitmapOfTheClientSize) {
    TestWindow w({.visibleChild = true, .exStyle = kFlagOffscreenPaint, .width = 150, .height = 90});
    EXPECT_TRUE(w.record.flags & kFlagOffscreenPaint);
    EXPECT_FALSE(GetWindowLongPtrA(w.hwnd(), GWL_EXSTYLE) & kFlagOffscreenPaint);
    ASSERT_TRUE(XSETHANDLER(w.record, WM_PAINT, onPaint));

    for (COLORREF colour : {RGB(10, 200, 30), RGB(200, 20, 90)}) {
        painted.fill = colour;
        ASSERT_TRUE(repaint(w.hwnd()));
        EXPECT_EQ(painted.dcType, static_cast<DWORD>(OBJ_MEMDC));
        EXPECT_EQ(painted.bitmap.cx, clientSize(w.hwnd()).cx);
        EXPECT_EQ(painted.bitmap.cy, clientSize(w.hwnd()).cy);
        // What the handler drew off-screen is on the window afterwards.
        EXPECT_EQ(pixelAt(w.hwnd(), 3, 3), colour);
        EXPECT_EQ(pixelAt(w.hwnd(), 140, 80), colour);
    }
}

TEST(Painting, NoUpdateRegionNoCall) {
    TestWindow w({.visibleChild = true});
    ASSERT_TRUE(XSETHANDLER(w.record, WM_PAINT, onPaint));
    UpdateWindow(w.hwnd());
    const int before = painted.calls;
    ValidateRect(w.hwnd(), nullptr);
    SendMessageA(w.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(painted.calls, before);
    InvalidateRect(w.hwnd(), nullptr, FALSE);
    SendMessageA(w.hwnd(), WM_PAINT, 0, 0);
    EXPECT_EQ(painted.calls, before + 1);
}

TEST(Painting, AControlIsPaintedInTheColoursItsRecordKeeps) {
    TestWindow w({.visibleChild = true});
    ASSERT_EQ(XCTLCREATE(w.record, 1, kCtlStatic, 0, 10, 10, 120, 30), 1);
    ASSERT_EQ(XCTLCREATE(w.record, 2, kCtlStatic, 0, 10, 50, 120, 30), 2);
    HWND coloured = GetDlgItem(w.hwnd(), 1), plain = GetDlgItem(w.hwnd(), 2);
    const COLORREF red = RGB(200, 0, 0), blue = RGB(0, 0, 255);
    ASSERT_TRUE(XCTLSETINT(w.record, 1, red, XSEL_BKCOLOR));
    ASSERT_TRUE(XCTLSETINT(w.record, 1, blue, XSEL_TEXTCOLOR));

    // The answer to the control's request: the record's brush, its colour
    // behind the text and the record's text colour.
    HDC dc = CreateCompatibleDC(nullptr);
    const auto brush = reinterpret_cast<HBRUSH>(
        SendMessageA(w.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(coloured)));
    EXPECT_EQ(brush, FXCTLBYHANDLE(coloured)->background);
    EXPECT_EQ(GetBkColor(dc), red);
    EXPECT_EQ(GetTextColor(dc), blue);
    // A control without colours of its own gets the system's answer.
    const LRESULT system = DefWindowProcA(w.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                          reinterpret_cast<LPARAM>(plain));
    EXPECT_EQ(SendMessageA(w.hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                           reinterpret_cast<LPARAM>(plain)),
              system);
    DeleteDC(dc);

    // And the control on the screen is filled with it.
    RedrawWindow(coloured, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_EQ(pixelAt(coloured, 2, 2), red);
    EXPECT_EQ(pixelAt(coloured, 117, 27), red);
}

namespace {
struct ItemDrawing {
    int calls = 0;
    int id = 0;
    DrawingRecord dc;
    HWND drawnOn = nullptr;
};
ItemDrawing itemDrawing;
// Draws the item's left half red and its right half green, in the drawing
// record's window coordinates.
void drawHalves(XWND&, int id, DrawingRecord& dc) {
    ++itemDrawing.calls;
    itemDrawing.id = id;
    itemDrawing.dc = dc;
    itemDrawing.drawnOn = WindowFromDC(dc.dc);
    const float w = dc.windowWidth, h = dc.windowHeight;
    XFILLRECT_W(dc, 0, 0, w / 2, h, XBRUSH{BS_SOLID, RGB(200, 0, 0)});
    XFILLRECT_W(dc, w / 2, 0, w, h, XBRUSH{BS_SOLID, RGB(0, 160, 0)});
}
}  // namespace

TEST(Painting, AnOwnerDrawnControlDrawsInItsItemRectangle) {
    TestWindow w({.visibleChild = true});
    ASSERT_EQ(XCTLCREATE(w.record, 5, kCtlPushButton, XCF_OWNERDRAW, 20, 30, 80, 24), 5);
    ASSERT_TRUE(XCTLSETSUB(w.record, 5, drawHalves));
    HWND button = GetDlgItem(w.hwnd(), 5);
    itemDrawing = {};
    RedrawWindow(button, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_GE(itemDrawing.calls, 1);
    EXPECT_EQ(itemDrawing.id, 5);
    EXPECT_EQ(itemDrawing.drawnOn, button);
    RECT item{};
    GetClientRect(button, &item);
    const DrawingRecord& dc = itemDrawing.dc;
    EXPECT_EQ(dc.viewportLeft, item.left);
    EXPECT_EQ(dc.viewportTop, item.top);
    EXPECT_EQ(dc.viewportWidth, item.right - item.left);
    EXPECT_EQ(dc.viewportHeight, item.bottom - item.top);
    EXPECT_EQ(pixelAt(button, 1, 12), RGB(200, 0, 0));
    EXPECT_EQ(pixelAt(button, 38, 12), RGB(200, 0, 0));
    EXPECT_EQ(pixelAt(button, 42, 12), RGB(0, 160, 0));
    EXPECT_EQ(pixelAt(button, 78, 22), RGB(0, 160, 0));
}

namespace {
struct ScrollSeen {
    std::vector<int> codes;
    int lastThumbPosition = -1;
};
ScrollSeen scrolls;
// Watches, then leaves the scrolling to the framework (returns 0).
LRESULT watchScroll(XWND&, INT_PTR, int code, int position) {
    scrolls.codes.push_back(code);
    if (code == SB_THUMBTRACK || code == SB_THUMBPOSITION) scrolls.lastThumbPosition = position;
    return 0;
}

int vpos(HWND hwnd) { return GetScrollPos(hwnd, SB_VERT); }
}  // namespace

TEST(CanvasScrolling, LinesArePercentsOfTheCanvasAndPagesAreTheClientHeight) {
    TestWindow w({.visibleChild = true, .style = WS_VSCROLL, .width = 300, .height = 200});
    ASSERT_TRUE(XSETHANDLER(w.record, WM_PAINT, onPaint));
    ASSERT_TRUE(XSETCANVAS(w.record, 0, 2000));
    const int page = clientSize(w.hwnd()).cy;
    ASSERT_GT(page, 0);

    struct Row {
        const char* what;
        UINT message;
        int code;
        int expected;
    } rows[] = {
        {"line down: a hundredth of 2000", WM_VSCROLL, SB_LINEDOWN, 20},
        {"line down again", WM_VSCROLL, SB_LINEDOWN, 40},
        {"page down", WM_VSCROLL, SB_PAGEDOWN, 40 + page},
        {"line up", WM_VSCROLL, SB_LINEUP, 20 + page},
        {"page up", WM_VSCROLL, SB_PAGEUP, 20},
        {"end of scroll changes nothing", WM_VSCROLL, SB_ENDSCROLL, 20},
        {"no horizontal canvas: no horizontal scrolling", WM_HSCROLL, SB_LINEDOWN, 20},
        {"page up past the top stops at 0", WM_VSCROLL, SB_PAGEUP, 0},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.what);
        SendMessageA(w.hwnd(), row.message, row.code, 0);
        EXPECT_EQ(vpos(w.hwnd()), row.expected);
        EXPECT_EQ(GetScrollPos(w.hwnd(), SB_HORZ), 0);
    }
    // The window was repainted at the new position.
    EXPECT_TRUE(pumpUntil([&] { return painted.dc.viewportTop == 0 && painted.calls > 0; }));
    SendMessageA(w.hwnd(), WM_VSCROLL, SB_PAGEDOWN, 0);
    EXPECT_TRUE(pumpUntil([&] { return painted.dc.viewportTop == -page; }));
}

TEST(CanvasScrolling, DraggingTheThumbScrollsToTheTrackPosition) {
    TestWindow w({.visibleChild = true, .style = WS_VSCROLL, .width = 300, .height = 200});
    ASSERT_TRUE(XSETCANVAS(w.record, 0, 2000));
    ASSERT_TRUE(XSETHANDLER(w.record, WM_VSCROLL, watchScroll));
    scrolls = {};

    SCROLLBARINFO bar{};
    bar.cbSize = sizeof(bar);
    ASSERT_TRUE(GetScrollBarInfo(w.hwnd(), OBJID_VSCROLL, &bar));
    const POINT grab{(bar.rcScrollBar.left + bar.rcScrollBar.right) / 2,
                     bar.rcScrollBar.top + (bar.xyThumbTop + bar.xyThumbBottom) / 2};
    POINT drop{grab.x, grab.y + 60};
    ScreenToClient(w.hwnd(), &drop);

    // A real drag: the system's thumb-tracking loop reads the mouse moves
    // and the button release from the queue, in client coordinates, and
    // sends the thumb-track messages while it runs.
    PostMessageA(w.hwnd(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(drop.x, drop.y));
    PostMessageA(w.hwnd(), WM_LBUTTONUP, 0, MAKELPARAM(drop.x, drop.y));
    SendMessageA(w.hwnd(), WM_NCLBUTTONDOWN, HTVSCROLL, MAKELPARAM(grab.x, grab.y));

    ASSERT_NE(std::find(scrolls.codes.begin(), scrolls.codes.end(), SB_THUMBTRACK),
              scrolls.codes.end());
    EXPECT_GT(scrolls.lastThumbPosition, 0);
    EXPECT_EQ(vpos(w.hwnd()), scrolls.lastThumbPosition);
    EXPECT_EQ(std::count(scrolls.codes.begin(), scrolls.codes.end(), SB_LINEDOWN), 0);
}

TEST(CanvasScrolling, WheelMovesAFiftiethOfTheRange) {
    TestWindow w({.visibleChild = true, .style = WS_VSCROLL, .width = 300, .height = 200});
    ASSERT_TRUE(XSETCANVAS(w.record, 0, 1000, std::nullopt, 100));
    ASSERT_EQ(vpos(w.hwnd()), 100);
    SendMessageA(w.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(vpos(w.hwnd()), 80);  // away from the user: towards the top
    SendMessageA(w.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    SendMessageA(w.hwnd(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
    EXPECT_EQ(vpos(w.hwnd()), 120);
}

TEST(CanvasScrolling, PagesFollowTheClientSize) {
    TestWindow w({.visibleChild = true, .style = WS_HSCROLL | WS_VSCROLL, .width = 300, .height = 200});
    ASSERT_TRUE(XSETCANVAS(w.record, 1500, 1200));
    for (SIZE size : {SIZE{260, 150}, SIZE{400, 330}}) {
        SetWindowPos(w.hwnd(), nullptr, 0, 0, size.cx, size.cy,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        const SIZE client = clientSize(w.hwnd());
        int pos = 0, min = 0, max = 0, page = 0;
        ASSERT_TRUE(XSCROLLBARGET(w.record, 0, pos, &min, &max, &page));
        EXPECT_EQ(page, client.cx);
        EXPECT_EQ(max, 1500);
        ASSERT_TRUE(XSCROLLBARGET(w.record, 1, pos, &min, &max, &page));
        EXPECT_EQ(page, client.cy);
        EXPECT_EQ(max, 1200);
    }
}

TEST(CanvasScrolling, CanvasNeedsABoundRecordAndHasNoNegativeExtent) {
    XWND unbound;
    EXPECT_FALSE(XSETCANVAS(unbound, 100, 100));
    TestWindow w;
    ASSERT_TRUE(XSETCANVAS(w.record, -5, 300));
    int width = -1, height = -1;
    ASSERT_TRUE(XGETCANVAS(w.record, width, height));
    EXPECT_EQ(width, 0);
    EXPECT_EQ(height, 300);
}
