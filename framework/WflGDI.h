// WflGDI: drawing records and the routines that draw through them.
//
// A drawing record is a device context with the drawing state the framework
// keeps for it: a viewport in client pixels, a real-valued logical window
// mapped onto it, pen, brush, font and text colour. Every drawing routine has
// a form in integer viewport coordinates and a _W form in window coordinates.
#pragma once

#include <windows.h>

#include <optional>
#include <span>
#include <string_view>

// Style -1 for a pen or brush: the ready-made handle is used as it is.
constexpr int kHandleStyle = -1;

struct DrawingRecord {
    HDC dc = nullptr;
    int viewportLeft = 0;
    int viewportTop = 0;
    int viewportWidth = 0;
    int viewportHeight = 0;
    float windowX = 0.0f;
    float windowY = 0.0f;
    float windowWidth = 0.0f;
    float windowHeight = 0.0f;
    int penStyle = 0;
    int penWidth = 0;
    COLORREF penColor = 0;
    LOGBRUSH brush{};         // style, colour, hatch, laid out as Windows wants them
    HFONT font = nullptr;     // null: the device context's own font (see releaseRecordFont)
    COLORREF textColor = 0;
    // A colour word cannot hold a 64-bit handle, so the ready-made pen and
    // brush of style -1 live here.
    HPEN penHandle = nullptr;
    HBRUSH brushHandle = nullptr;
};

// The font that XSETFONT made for a record belongs to the record: XSETFONT
// deletes the one it replaces, XDELETEDC deletes it with the device context,
// and the framework releases it after a paint or erase routine returns.
void releaseRecordFont(DrawingRecord& r);

// A pen or brush given to one drawing call instead of the record's own.
struct XPEN {
    int style = PS_SOLID;
    int width = 0;
    COLORREF color = 0;
    HPEN handle = nullptr;  // used when style is -1
};
struct XBRUSH {
    int style = BS_SOLID;
    COLORREF color = 0;
    ULONG_PTR hatch = 0;
    HBRUSH handle = nullptr;  // used when style is -1
};

// Optional style values of a font description.
struct XFONTSTYLE {
    int weight = FW_NORMAL;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    int width = 0;       // average character width; 0 lets the font mapper choose
    int escapement = 0;  // tenths of a degree
    BYTE charSet = DEFAULT_CHARSET;
};

struct XPOINT_W {
    float x = 0.0f;
    float y = 0.0f;
};

// Colours: each component limited to 0..255.
constexpr COLORREF XRGB(int red, int green, int blue) {
    auto clamp = [](int v) { return static_cast<COLORREF>(v < 0 ? 0 : (v > 255 ? 255 : v)); };
    return clamp(red) + 256 * clamp(green) + 65536 * clamp(blue);
}

// ---- Record state -----------------------------------------------------------
void XSETPEN(DrawingRecord& r, COLORREF color, int style = PS_SOLID, int width = 0);
void XSETPEN(DrawingRecord& r, const XPEN& pen);
void XSETPENHANDLE(DrawingRecord& r, HPEN pen);
void XSETBRUSH(DrawingRecord& r, COLORREF color, int style = BS_SOLID, ULONG_PTR hatch = 0);
void XSETBRUSH(DrawingRecord& r, const XBRUSH& brush);
void XSETBRUSHHANDLE(DrawingRecord& r, HBRUSH brush);
void XSETTEXTCOLOR(DrawingRecord& r, COLORREF color);
int XSETBKMODE(DrawingRecord& r, int mode);    // returns the previous mode
int XSETROPMODE(DrawingRecord& r, int mode);   // returns the previous mode
void XSETBKCOLOR(DrawingRecord& r, COLORREF color);
// A font by face name and height in pixels (negative: character height,
// positive: cell height); false when the font could not be made.
bool XSETFONT(DrawingRecord& r, std::string_view face, int height, const XFONTSTYLE& style = {});
// The same with the height (and width) in window units.
bool XSETFONT_W(DrawingRecord& r, std::string_view face, float height, const XFONTSTYLE& style = {});

// ---- Viewport, window, scaling, clipping --------------------------------
void XSETVIEWPORT(DrawingRecord& r, int left, int top, int right, int bottom, bool clip = false);
void XGETVIEWPORT(const DrawingRecord& r, int& left, int& top, int& right, int& bottom);
void XSETWINDOW(DrawingRecord& r, float x1, float y1, float x2, float y2);
void XGETGDIWINDOW(const DrawingRecord& r, float& x1, float& y1, float& x2, float& y2);
// Window origin (x0, y0); one window unit is a pixel (-1), a millimetre (-2),
// an inch (-3), a point (-4), or |scale| pixels for any other value.
void XSETSCALING(DrawingRecord& r, float x0, float y0, float scale, std::optional<float> yScale = {});
void XSETCLIPPING(DrawingRecord& r, int left, int top, int right, int bottom);
void XSETCLIPPING_W(DrawingRecord& r, float x1, float y1, float x2, float y2);
void XSETCLIPPING(DrawingRecord& r);  // no restriction

// ---- Coordinates -------------------------------------------------------
void XVIEW2CLIENT(const DrawingRecord& r, int vx, int vy, int& cx, int& cy);
void XCLIENT2VIEW(const DrawingRecord& r, int cx, int cy, int& vx, int& vy);
void XWND2VIEW(const DrawingRecord& r, float x, float y, int& vx, int& vy);
void XVIEW2WND(const DrawingRecord& r, int vx, int vy, float& x, float& y);
void XWND2CLIENT(const DrawingRecord& r, float x, float y, int& cx, int& cy);
void XCLIENT2WND(const DrawingRecord& r, int cx, int cy, float& x, float& y);

// ---- Drawing (viewport coordinates; _W: window coordinates) -----------------
using OptPen = std::optional<XPEN>;
using OptBrush = std::optional<XBRUSH>;

void XMOVETO(DrawingRecord& r, int x, int y);
void XMOVETO_W(DrawingRecord& r, float x, float y);
void XLINETO(DrawingRecord& r, int x, int y, const OptPen& pen = {});
void XLINETO_W(DrawingRecord& r, float x, float y, const OptPen& pen = {});
void XLINE(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptPen& pen = {});
void XLINE_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptPen& pen = {});
void XRECTANGLE(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptPen& pen = {}, const OptBrush& brush = {});
void XRECTANGLE_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptPen& pen = {},
                  const OptBrush& brush = {});
void XELLIPSE(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptPen& pen = {}, const OptBrush& brush = {});
void XELLIPSE_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptPen& pen = {},
                const OptBrush& brush = {});
void XFILLRECT(DrawingRecord& r, int x1, int y1, int x2, int y2, const OptBrush& brush = {});
void XFILLRECT_W(DrawingRecord& r, float x1, float y1, float x2, float y2, const OptBrush& brush = {});
void XFILLVIEWPORT(DrawingRecord& r, const OptBrush& brush = {});
void XPOLYGON(DrawingRecord& r, std::span<const POINT> points, const OptPen& pen = {}, const OptBrush& brush = {});
void XPOLYGON_W(DrawingRecord& r, std::span<const XPOINT_W> points, const OptPen& pen = {},
                const OptBrush& brush = {});
void XPOLYLINE(DrawingRecord& r, std::span<const POINT> points, const OptPen& pen = {});
void XPOLYLINE_W(DrawingRecord& r, std::span<const XPOINT_W> points, const OptPen& pen = {});
// fillType: FLOODFILLBORDER fills up to the boundary colour,
// FLOODFILLSURFACE fills the area of that colour.
bool XFLOODFILL(DrawingRecord& r, int x, int y, COLORREF color, UINT fillType = FLOODFILLBORDER,
                const OptBrush& brush = {});
bool XFLOODFILL_W(DrawingRecord& r, float x, float y, COLORREF color, UINT fillType = FLOODFILLBORDER,
                  const OptBrush& brush = {});
void XSETPIXEL(DrawingRecord& r, int x, int y, COLORREF color);
void XSETPIXEL_W(DrawingRecord& r, float x, float y, COLORREF color);
COLORREF XGETPIXEL(const DrawingRecord& r, int x, int y);
COLORREF XGETPIXEL_W(const DrawingRecord& r, float x, float y);

// ---- Text ------------------------------------------------------------------
void XTEXTOUT(DrawingRecord& r, int x, int y, std::string_view text, std::optional<UINT> align = {},
              std::optional<int> bkMode = {});
void XTEXTOUT_W(DrawingRecord& r, float x, float y, std::string_view text, std::optional<UINT> align = {},
                std::optional<int> bkMode = {});
// Writes from the current position (DrawTextA) and moves past the text.
void XWRITE(DrawingRecord& r, std::string_view text);
void XGETTEXTEXTENT(DrawingRecord& r, std::string_view text, int& width, int& height);
void XGETTEXTEXTENT_W(DrawingRecord& r, std::string_view text, float& width, float& height);

// ---- Bitmaps -----------------------------------------------------------------
HBITMAP PXCREATEBITMAP_RSRC(int resourceId);
HBITMAP PXCREATEBITMAP_FILE(std::string_view path);
inline HBITMAP XCREATEBITMAP(int resourceId) { return PXCREATEBITMAP_RSRC(resourceId); }
inline HBITMAP XCREATEBITMAP(std::string_view path) { return PXCREATEBITMAP_FILE(path); }
// Draws the bitmap with its top-left corner at the point; stretched to the
// size when one is given.
bool XPLACEBITMAP(DrawingRecord& r, HBITMAP bitmap, int x, int y, int width = 0, int height = 0);
bool XPLACEBITMAP_W(DrawingRecord& r, HBITMAP bitmap, float x, float y, float width = 0, float height = 0);
// A new bitmap holding a copy of a rectangle of the record.
HBITMAP XGETBITMAP(DrawingRecord& r, int x1, int y1, int x2, int y2);
// Writes a 24-bit BMP file; false when the file cannot be written.
bool XSAVEBITMAP(HBITMAP bitmap, std::string_view path);
void XDELETEBITMAP(HBITMAP& bitmap);
// Copies a rectangle from one record to another, stretched when the sizes
// differ.
bool XBITCOPY(DrawingRecord& to, int x, int y, int width, int height, const DrawingRecord& from, int fromX,
              int fromY, int fromWidth, int fromHeight, DWORD rop = SRCCOPY);

// ---- Device contexts and windows -------------------------------------------
// Resets the record to draw on a new memory device context of the size,
// compatible with `compatible` or with the screen; viewport and window cover
// the bitmap one unit per pixel.
bool XMEMORYDC(DrawingRecord& r, int width, int height, HDC compatible = nullptr);
void XDELETEDC(DrawingRecord& r);
void XUPDATEWINDOW(DrawingRecord& r);
void XSCROLLWINDOW(DrawingRecord& r, int dx, int dy);
