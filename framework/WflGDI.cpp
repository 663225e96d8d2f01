// Drawing records: their state, the coordinate mappings, pens, brushes and
// fonts.
#include "WflGDI.h"

#include <cmath>
#include <cstdlib>
#include <string>

#include "WflGDIInternal.h"
#include "Text.h"

void releaseRecordFont(DrawingRecord& r) {
    if (r.font) DeleteObject(r.font);
    r.font = nullptr;
}

// ---- Record state -----------------------------------------------------------

void XSETPEN(DrawingRecord& r, COLORREF color, int style, int width) {
    r.penStyle = style;
    r.penWidth = width;
    r.penColor = color;
}

void XSETPEN(DrawingRecord& r, const XPEN& pen) {
    r.penStyle = pen.style;
    r.penWidth = pen.width;
    r.penColor = pen.color;
    r.penHandle = pen.style == kHandleStyle ? pen.handle : nullptr;
}

void XSETPENHANDLE(DrawingRecord& r, HPEN pen) {
    r.penStyle = kHandleStyle;
    r.penHandle = pen;
}

void XSETBRUSH(DrawingRecord& r, COLORREF color, int style, ULONG_PTR hatch) {
    r.brush.lbStyle = static_cast<UINT>(style);
    r.brush.lbColor = color;
    r.brush.lbHatch = hatch;
}

void XSETBRUSH(DrawingRecord& r, const XBRUSH& brush) {
    XSETBRUSH(r, brush.color, brush.style, brush.hatch);
    r.brushHandle = brush.style == kHandleStyle ? brush.handle : nullptr;
}

void XSETBRUSHHANDLE(DrawingRecord& r, HBRUSH brush) {
    r.brush.lbStyle = static_cast<UINT>(kHandleStyle);
    r.brushHandle = brush;
}

void XSETTEXTCOLOR(DrawingRecord& r, COLORREF color) { r.textColor = color; }
int XSETBKMODE(DrawingRecord& r, int mode) { return SetBkMode(r.dc, mode); }
int XSETROPMODE(DrawingRecord& r, int mode) { return SetROP2(r.dc, mode); }
void XSETBKCOLOR(DrawingRecord& r, COLORREF color) { SetBkColor(r.dc, color); }

bool XSETFONT(DrawingRecord& r, std::string_view face, int height, const XFONTSTYLE& style) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWidth = style.width;
    lf.lfEscapement = style.escapement;
    lf.lfOrientation = style.escapement;
    lf.lfWeight = style.weight;
    lf.lfItalic = style.italic;
    lf.lfUnderline = style.underline;
    lf.lfStrikeOut = style.strikeOut;
    lf.lfCharSet = style.charSet;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    face = textkit::trimRight(face);
    const std::size_t n = std::min(face.size(), sizeof lf.lfFaceName - 1);
    face.copy(lf.lfFaceName, n);
    HFONT font = CreateFontIndirectA(&lf);
    if (font == nullptr) return false;
    if (r.font) DeleteObject(r.font);
    r.font = font;
    return true;
}

bool XSETFONT_W(DrawingRecord& r, std::string_view face, float height, const XFONTSTYLE& style) {
    XFONTSTYLE s = style;
    s.width = static_cast<int>(std::lround(style.width * scaleX(r)));
    const int h = static_cast<int>(std::lround(height * scaleY(r)));
    return XSETFONT(r, face, h, s);
}

// ---- Viewport, window, scaling, clipping --------------------------------

namespace {

void clipToClientRect(DrawingRecord& r, int left, int top, int right, int bottom) {
    const ScopedGdiObject<HRGN> region(CreateRectRgn(left, top, right, bottom));
    SelectClipRgn(r.dc, region.get());  // the device context keeps its own copy
}

}  // namespace

void XSETVIEWPORT(DrawingRecord& r, int left, int top, int right, int bottom, bool clip) {
    r.viewportLeft = left;
    r.viewportTop = top;
    r.viewportWidth = right - left;
    r.viewportHeight = bottom - top;
    if (clip) clipToClientRect(r, left, top, right, bottom);
}

void XGETVIEWPORT(const DrawingRecord& r, int& left, int& top, int& right, int& bottom) {
    left = r.viewportLeft;
    top = r.viewportTop;
    right = r.viewportLeft + r.viewportWidth;
    bottom = r.viewportTop + r.viewportHeight;
}

void XSETWINDOW(DrawingRecord& r, float x1, float y1, float x2, float y2) {
    r.windowX = x1;
    r.windowY = y1;
    r.windowWidth = x2 - x1;
    r.windowHeight = y2 - y1;
}

void XGETGDIWINDOW(const DrawingRecord& r, float& x1, float& y1, float& x2, float& y2) {
    x1 = r.windowX;
    y1 = r.windowY;
    x2 = r.windowX + r.windowWidth;
    y2 = r.windowY + r.windowHeight;
}

void XSETSCALING(DrawingRecord& r, float x0, float y0, float scale, std::optional<float> yScale) {
    const float sy = yScale.value_or(scale);
    auto extent = [&](float s, int pixels, int dpiIndex) {
        const float dpi = static_cast<float>(r.dc ? GetDeviceCaps(r.dc, dpiIndex) : 96);
        const float p = static_cast<float>(pixels);
        if (s == -1.0f) return p;
        if (s == -2.0f) return p * 25.4f / dpi;
        if (s == -3.0f) return p / dpi;
        if (s == -4.0f) return p * 72.0f / dpi;
        return p * std::fabs(s);
    };
    r.windowX = x0;
    r.windowY = y0;
    r.windowWidth = extent(scale, r.viewportWidth, LOGPIXELSX);
    r.windowHeight = extent(sy, r.viewportHeight, LOGPIXELSY);
}

void XSETCLIPPING(DrawingRecord& r, int left, int top, int right, int bottom) {
    const POINT a = toClient(r, left, top);
    const POINT b = toClient(r, right, bottom);
    clipToClientRect(r, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

void XSETCLIPPING_W(DrawingRecord& r, float x1, float y1, float x2, float y2) {
    const POINT a = toClientW(r, x1, y1);
    const POINT b = toClientW(r, x2, y2);
    clipToClientRect(r, std::min(a.x, b.x), std::min(a.y, b.y), std::max(a.x, b.x), std::max(a.y, b.y));
}

void XSETCLIPPING(DrawingRecord& r) { SelectClipRgn(r.dc, nullptr); }

// ---- Coordinates -------------------------------------------------------

// A window of no extent would divide by zero; it then maps one unit to a
// pixel so that drawing stays visible rather than collapsing to a point.
float scaleX(const DrawingRecord& r) {
    return r.windowWidth != 0.0f ? static_cast<float>(r.viewportWidth) / r.windowWidth : 1.0f;
}
float scaleY(const DrawingRecord& r) {
    return r.windowHeight != 0.0f ? static_cast<float>(r.viewportHeight) / r.windowHeight : 1.0f;
}

POINT toClient(const DrawingRecord& r, int vx, int vy) { return {vx + r.viewportLeft, vy + r.viewportTop}; }

POINT toClientW(const DrawingRecord& r, float x, float y) {
    int vx = 0, vy = 0;
    XWND2VIEW(r, x, y, vx, vy);
    return toClient(r, vx, vy);
}

void XVIEW2CLIENT(const DrawingRecord& r, int vx, int vy, int& cx, int& cy) {
    cx = vx + r.viewportLeft;
    cy = vy + r.viewportTop;
}

void XCLIENT2VIEW(const DrawingRecord& r, int cx, int cy, int& vx, int& vy) {
    vx = cx - r.viewportLeft;
    vy = cy - r.viewportTop;
}

void XWND2VIEW(const DrawingRecord& r, float x, float y, int& vx, int& vy) {
    vx = static_cast<int>(std::lround((x - r.windowX) * scaleX(r)));
    vy = static_cast<int>(std::lround((y - r.windowY) * scaleY(r)));
}

void XVIEW2WND(const DrawingRecord& r, int vx, int vy, float& x, float& y) {
    x = r.windowX + static_cast<float>(vx) / scaleX(r);
    y = r.windowY + static_cast<float>(vy) / scaleY(r);
}

void XWND2CLIENT(const DrawingRecord& r, float x, float y, int& cx, int& cy) {
    const POINT p = toClientW(r, x, y);
    cx = p.x;
    cy = p.y;
}

void XCLIENT2WND(const DrawingRecord& r, int cx, int cy, float& x, float& y) {
    XVIEW2WND(r, cx - r.viewportLeft, cy - r.viewportTop, x, y);
}

// ---- Temporary pens and brushes ----------------------------------------------

PXCREATEPEN::PXCREATEPEN(const DrawingRecord& r, const OptPen& pen) {
    const int style = pen ? pen->style : r.penStyle;
    const int width = pen ? pen->width : r.penWidth;
    const COLORREF color = pen ? pen->color : r.penColor;
    HPEN made = nullptr;
    if (style == kHandleStyle) {
        selected_.emplace(r.dc, pen ? pen->handle : r.penHandle);
        return;
    }
    if (style < 0 || (style != PS_SOLID && style != PS_NULL && width > 1)) {
        // Dashed and dotted lines wider than a pixel need a geometric pen.
        // A negative style asks for a geometric pen of the style |style|.
        POINT ends[2] = {{0, 0}, {width, 0}};
        DPtoLP(r.dc, ends, 2);
        const DWORD logicalWidth = static_cast<DWORD>(std::abs(ends[1].x - ends[0].x));
        LOGBRUSH solid{BS_SOLID, color, 0};
        const DWORD penStyle = static_cast<DWORD>(style < 0 ? -style : style) & PS_STYLE_MASK;
        made = ExtCreatePen(PS_GEOMETRIC | penStyle, logicalWidth, &solid, 0, nullptr);
    } else {
        made = CreatePen(style, width, color);
    }
    owned_.reset(made);  // PXDELETEPEN when the scope ends
    selected_.emplace(r.dc, made);
}

PXCREATEBRUSH::PXCREATEBRUSH(const DrawingRecord& r, const OptBrush& brush) {
    const int style = brush ? brush->style : static_cast<int>(r.brush.lbStyle);
    if (style == kHandleStyle) {
        brush_ = brush ? brush->handle : r.brushHandle;
    } else {
        LOGBRUSH lb = r.brush;
        if (brush) lb = LOGBRUSH{static_cast<UINT>(brush->style), brush->color, brush->hatch};
        brush_ = CreateBrushIndirect(&lb);
        owned_.reset(brush_);  // PXDELETEBRUSH when the scope ends
    }
    selected_.emplace(r.dc, brush_);
}
