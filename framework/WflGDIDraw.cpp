// Drawing routines: lines, shapes, fills, pixels and text, each in viewport
// coordinates and, with the _W suffix, in window coordinates.
#include <cmath>
#include <string>
#include <vector>

#include "WflGDI.h"
#include "WflGDIInternal.h"
#include "Text.h"

namespace {

int clampedLength(std::string_view text) {
    return static_cast<int>(std::min<std::size_t>(text.size(), 0x7FFFFFFF));
}

std::vector<POINT> clientPoints(const DrawingRecord& r, std::span<const POINT> points) {
    std::vector<POINT> out;
    out.reserve(points.size());
    for (const POINT& p : points) out.push_back(toClient(r, p.x, p.y));
    return out;
}

std::vector<POINT> clientPoints(const DrawingRecord& r, std::span<const XPOINT_W> points) {
    std::vector<POINT> out;
    out.reserve(points.size());
    for (const XPOINT_W& p : points) out.push_back(toClientW(r, p.x, p.y));
    return out;
}

void lineTo(DrawingRecord& r, POINT to, const OptPen& pen) {
    PXCREATEPEN scoped(r, pen);
    LineTo(r.dc, to.x, to.y);
}

void line(DrawingRecord& r, POINT from, POINT to, const OptPen& pen) {
    PXCREATEPEN scoped(r, pen);
    MoveToEx(r.dc, from.x, from.y, nullptr);
    LineTo(r.dc, to.x, to.y);
}

void rectangle(DrawingRecord& r, POINT a, POINT b, const OptPen& pen, const OptBrush& brush) {
    PXCREATEPEN scopedPen(r, pen);
    PXCREATEBRUSH scopedBrush(r, brush);
    Rectangle(r.dc, a.x, a.y, b.x, b.y);
}

void ellipse(DrawingRecord& r, POINT a, POINT b, const OptPen& pen, const OptBrush& brush) {
    PXCREATEPEN scopedPen(r, pen);
    PXCREATEBRUSH scopedBrush(r, brush);
    Ellipse(r.dc, a.x, a.y, b.x, b.y);
}

void fillRect(DrawingRecord& r, POINT a, POINT b, const OptBrush& brush) {
    PXCREATEBRUSH scoped(r, brush);
    const RECT rc{std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y)};
    if (scoped.handle()) FillRect(r.dc, &rc, scoped.handle());
}

void polygon(DrawingRecord& r, const std::vector<POINT>& pts, const OptPen& pen, const OptBrush& brush) {
    if (pts.empty()) return;
    PXCREATEPEN scopedPen(r, pen);
    PXCREATEBRUSH scopedBrush(r, brush);
    Polygon(r.dc, pts.data(), static_cast<int>(pts.size()));
}

void polyline(DrawingRecord& r, const std::vector<POINT>& pts, const OptPen& pen) {
    if (pts.empty()) return;
    PXCREATEPEN scoped(r, pen);
    Polyline(r.dc, pts.data(), static_cast<int>(pts.size()));
}

bool floodFill(DrawingRecord& r, POINT at, COLORREF color, UINT fillType, const OptBrush& brush) {
    PXCREATEBRUSH scoped(r, brush);
    return ExtFloodFill(r.dc, at.x, at.y, color, fillType) != FALSE;
}

void textOut(DrawingRecord& r, POINT at, std::string_view text, std::optional<UINT> align,
             std::optional<int> bkMode) {
    RecordFont font(r);
    SetTextColor(r.dc, r.textColor);
    if (bkMode) SetBkMode(r.dc, *bkMode);
    const UINT previousAlign = align ? SetTextAlign(r.dc, *align) : 0;
    text = textkit::trimRight(text);
    TextOutA(r.dc, at.x, at.y, text.data(), clampedLength(text));
    if (align) SetTextAlign(r.dc, previousAlign);
}

}  // namespace

void XMOVETO(DrawingRecord& r, int x, int y) {
    const POINT p = toClient(r, x, y);
    MoveToEx(r.dc, p.x, p.y, nullptr);
}
void XMOVETO_W(DrawingRecord& r, float x, float y) {
    const POINT p = toClientW(r, x, y);
    MoveToEx(r.dc, p.x, p.y, nullptr);
}

void XLINETO(DrawingRecord& r, int x, int y, const OptPen& pen) { lineTo(r, toClient(r, x, y), pen); }
void XLINETO_W(DrawingRecord& r, float x, float y, const OptPen& pen) { lineTo(r, toClientW(r, x, y), pen); }

void XLINE(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptPen& pen) {
    line(r, toClient(r, x1, y1), toClient(r, x2, y2), pen);
}
void XLINE_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptPen& pen) {
    line(r, toClientW(r, x1, y1), toClientW(r, x2, y2), pen);
}

void XRECTANGLE(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptPen& pen, const OptBrush& brush) {
    rectangle(r, toClient(r, x1, y1), toClient(r, x2, y2), pen, brush);
}
void XRECTANGLE_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptPen& pen,
                  const OptBrush& brush) {
    rectangle(r, toClientW(r, x1, y1), toClientW(r, x2, y2), pen, brush);
}

void XELLIPSE(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptPen& pen, const OptBrush& brush) {
    ellipse(r, toClient(r, x1, y1), toClient(r, x2, y2), pen, brush);
}
void XELLIPSE_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptPen& pen,
                const OptBrush& brush) {
    ellipse(r, toClientW(r, x1, y1), toClientW(r, x2, y2), pen, brush);
}

void XFILLRECT(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptBrush& brush) {
    fillRect(r, toClient(r, x1, y1), toClient(r, x2, y2), brush);
}
void XFILLRECT_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptBrush& brush) {
    fillRect(r, toClientW(r, x1, y1), toClientW(r, x2, y2), brush);
}
void XFILLVIEWPORT(DrawingRecord& r, const OptBrush& brush) {
    fillRect(r, toClient(r, 0, 0), toClient(r, r.viewportWidth, r.viewportHeight), brush);
}

void XPOLYGON(DrawingRecord& r, std::span<const POINT> points, const OptPen& pen, const OptBrush& brush) {
    polygon(r, clientPoints(r, points), pen, brush);
}
void XPOLYGON_W(DrawingRecord& r, std::span<const XPOINT_W> points, const OptPen& pen, const OptBrush& brush) {
    polygon(r, clientPoints(r, points), pen, brush);
}
void XPOLYLINE(DrawingRecord& r, std::span<const POINT> points, const OptPen& pen) {
    polyline(r, clientPoints(r, points), pen);
}
void XPOLYLINE_W(DrawingRecord& r, std::span<const XPOINT_W> points, const OptPen& pen) {
    polyline(r, clientPoints(r, points), pen);
}

bool XFLOODFILL(DrawingRecord& r, int x, int y, COLORREF color, UINT fillType, const OptBrush& brush) {
    return floodFill(r, toClient(r, x, y), color, fillType, brush);
}
bool XFLOODFILL_W(DrawingRecord& r, float x, float y, COLORREF color, UINT fillType, const OptBrush& brush) {
    return floodFill(r, toClientW(r, x, y), color, fillType, brush);
}

void XSETPIXEL(DrawingRecord& r, int x, int y, COLORREF color) {
    const POINT p = toClient(r, x, y);
    SetPixel(r.dc, p.x, p.y, color);
}
void XSETPIXEL_W(DrawingRecord& r, float x, float y, COLORREF color) {
    const POINT p = toClientW(r, x, y);
    SetPixel(r.dc, p.x, p.y, color);
}
COLORREF XGETPIXEL(const DrawingRecord& r, int x, int y) {
    const POINT p = toClient(r, x, y);
    return GetPixel(r.dc, p.x, p.y);
}
COLORREF XGETPIXEL_W(const DrawingRecord& r, float x, float y) {
    const POINT p = toClientW(r, x, y);
    return GetPixel(r.dc, p.x, p.y);
}

void XTEXTOUT(DrawingRecord& r, int x, int y, std::string_view text, std::optional<UINT> align,
              std::optional<int> bkMode) {
    textOut(r, toClient(r, x, y), text, align, bkMode);
}
void XTEXTOUT_W(DrawingRecord& r, float x, float y, std::string_view text, std::optional<UINT> align,
                std::optional<int> bkMode) {
    textOut(r, toClientW(r, x, y), text, align, bkMode);
}

void XWRITE(DrawingRecord& r, std::string_view text) {
    RecordFont font(r);
    SetTextColor(r.dc, r.textColor);
    POINT at{};
    GetCurrentPositionEx(r.dc, &at);
    const int lineStart = at.x;
    // Line by line, so that after a line break the position returns to the
    // starting column and the next write continues where this one ended.
    std::size_t begin = 0;
    while (true) {
        const std::size_t end = text.find('\n', begin);
        std::string_view piece = text.substr(begin, end == std::string_view::npos ? text.npos : end - begin);
        if (!piece.empty() && piece.back() == '\r') piece.remove_suffix(1);
        SIZE size{};
        GetTextExtentPoint32A(r.dc, piece.data(), clampedLength(piece), &size);
        RECT rc{at.x, at.y, at.x + size.cx, at.y + size.cy};
        DrawTextA(r.dc, piece.data(), clampedLength(piece), &rc, DT_NOCLIP | DT_NOPREFIX | DT_SINGLELINE);
        if (end == std::string_view::npos) {
            at.x += size.cx;
            break;
        }
        TEXTMETRICA tm{};
        GetTextMetricsA(r.dc, &tm);
        at.x = lineStart;
        at.y += tm.tmHeight + tm.tmExternalLeading;
        begin = end + 1;
    }
    MoveToEx(r.dc, at.x, at.y, nullptr);
}

void XGETTEXTEXTENT(DrawingRecord& r, std::string_view text, int& width, int& height) {
    RecordFont font(r);
    text = textkit::trimRight(text);
    SIZE size{};
    GetTextExtentPoint32A(r.dc, text.data(), clampedLength(text), &size);
    width = size.cx;
    height = size.cy;
}

void XGETTEXTEXTENT_W(DrawingRecord& r, std::string_view text, float& width, float& height) {
    int w = 0, h = 0;
    XGETTEXTEXTENT(r, text, w, h);
    width = static_cast<float>(w) / scaleX(r);
    height = static_cast<float>(h) / scaleY(r);
}
