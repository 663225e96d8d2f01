// A small program on the window framework: a single-document frame whose
// client area shows a canvas larger than the window, painted off-screen and
// scrolled by the framework, and drawn with the drawing routines in window
// coordinates. Read it as the framework's user guide in code.
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "WflApp.h"
#include "WflGDI.h"
#include "WflWnd.h"
#include "XExpression.h"

namespace {

constexpr int kCanvasWidth = 1600;
constexpr int kCanvasHeight = 1200;
constexpr float kGrid = 100.0f;
// The unary minus binds tighter than "^" in this language, hence -(X^2).
constexpr char kPlotted[] = "#SIN(2*X)*#EXP(-(X^2)/8)";

// The plot's samples, computed once by the expression engine with X as a
// parameter of its table.
std::vector<XPOINT_W> samples() {
    static std::vector<XPOINT_W> points;
    if (!points.empty()) return points;
    XPARAMNEW("X", "0", "the plot's abscissa");
    for (int i = 0; i <= 400; ++i) {
        const double x = -6.0 + 12.0 * i / 400.0;
        char text[32];
        std::snprintf(text, sizeof text, "%.6f", x);
        double y = 0;
        if (XPARAMEDIT("X", text, "") && XNUMBEREX_R8(kPlotted, y)) {
            points.push_back({static_cast<float>(x), static_cast<float>(y)});
        }
    }
    return points;
}

// The plot sits in a viewport of its own on the canvas; its window runs
// from -6 to 6 across and from 1.2 down to -1.2, so y points up.
void drawPlot(DrawingRecord& dc, int left, int top, int width, int height) {
    const int originX = dc.viewportLeft, originY = dc.viewportTop;
    XSETVIEWPORT(dc, originX + left, originY + top, originX + left + width, originY + top + height, true);
    XSETWINDOW(dc, -6.0f, 1.2f, 6.0f, -1.2f);
    XFILLVIEWPORT(dc, XBRUSH{BS_SOLID, XRGB(255, 255, 255)});
    const XPEN axis{PS_SOLID, 1, XRGB(120, 120, 130)};
    XLINE_W(dc, -6.0f, 0.0f, 6.0f, 0.0f, axis);
    XLINE_W(dc, 0.0f, -1.2f, 0.0f, 1.2f, axis);
    for (int x = -6; x <= 6; ++x) XLINE_W(dc, static_cast<float>(x), -0.04f, static_cast<float>(x), 0.04f, axis);
    const std::vector<XPOINT_W> points = samples();
    XPOLYLINE_W(dc, points, XPEN{PS_SOLID, 3, XRGB(200, 40, 40)});
    XSETTEXTCOLOR(dc, XRGB(40, 40, 60));
    XSETFONT_W(dc, "Arial", -0.12f);
    XTEXTOUT_W(dc, -5.8f, 1.15f, std::string("y = ") + kPlotted, std::nullopt, TRANSPARENT);
    XRECTANGLE(dc, 0, 0, width, height, XPEN{PS_SOLID, 1, XRGB(30, 60, 120)}, XBRUSH{BS_NULL});
    // Back to the whole canvas, one unit per pixel, drawn anywhere.
    XSETCLIPPING(dc);
    XSETVIEWPORT(dc, originX, originY, originX + kCanvasWidth, originY + kCanvasHeight);
    XSETWINDOW(dc, 0, 0, kCanvasWidth, kCanvasHeight);
}

// The whole canvas is drawn each time: off-screen painting copies the full
// client area, and the canvas is cheap to draw.
LRESULT paintCanvas(XWND& window, DrawingRecord& dc, int, int, int, int) {
    int clientWidth = 0, clientHeight = 0;
    XGETCLIENTRECT(window, clientWidth, clientHeight);
    // Beyond the canvas, when the window is larger than it.
    const RECT client{0, 0, clientWidth, clientHeight};
    FillRect(dc.dc, &client, static_cast<HBRUSH>(GetStockObject(DKGRAY_BRUSH)));

    // The canvas in window units of one pixel each.
    XSETWINDOW(dc, 0, 0, static_cast<float>(dc.viewportWidth), static_cast<float>(dc.viewportHeight));
    XFILLRECT_W(dc, 0, 0, kCanvasWidth, kCanvasHeight, XBRUSH{BS_SOLID, XRGB(250, 248, 240)});
    const XPEN grid{PS_SOLID, 1, XRGB(200, 205, 215)};
    for (float x = 0; x <= kCanvasWidth; x += kGrid) XLINE_W(dc, x, 0, x, kCanvasHeight, grid);
    for (float y = 0; y <= kCanvasHeight; y += kGrid) XLINE_W(dc, 0, y, kCanvasWidth, y, grid);

    XSETTEXTCOLOR(dc, XRGB(90, 90, 110));
    for (int x = 0; x < kCanvasWidth; x += static_cast<int>(kGrid)) {
        XTEXTOUT_W(dc, static_cast<float>(x + 4), 4, std::to_string(x), std::nullopt, TRANSPARENT);
    }
    for (int y = static_cast<int>(kGrid); y < kCanvasHeight; y += static_cast<int>(kGrid)) {
        XTEXTOUT_W(dc, 4, static_cast<float>(y + 4), std::to_string(y), std::nullopt, TRANSPARENT);
    }

    XFILLRECT_W(dc, 140, 100, 700, 190, XBRUSH{BS_SOLID, XRGB(30, 60, 120)});
    XSETTEXTCOLOR(dc, XRGB(255, 255, 255));
    XTEXTOUT_W(dc, 160, 115, "Tallyon window framework", std::nullopt, TRANSPARENT);
    XSETTEXTCOLOR(dc, XRGB(220, 230, 255));
    XTEXTOUT_W(dc, 160, 140, "a 1600 x 1200 canvas, painted off-screen, drawn in window units", std::nullopt,
               TRANSPARENT);
    XTEXTOUT_W(dc, 160, 160, "the curve below is evaluated by the expression engine", std::nullopt, TRANSPARENT);

    drawPlot(dc, 140, 220, 800, 360);
    for (int i = 0; i < 6; ++i) {
        const float cx = 1050.0f + 80.0f * static_cast<float>(i % 3), cy = 260.0f + 80.0f * static_cast<float>(i / 3);
        XELLIPSE_W(dc, cx - 25, cy - 25, cx + 25, cy + 25, XPEN{PS_NULL}, XBRUSH{BS_SOLID, XRGB(40 * i, 120, 255 - 40 * i)});
    }
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
    XSIZEWINDOW(frame, 1000, 640);
    XSETCANVAS(frame, kCanvasWidth, kCanvasHeight, 100, 60);
    XSHOWWINDOW(frame, showCommand == SW_HIDE ? SW_SHOW : showCommand);
    return true;
}
