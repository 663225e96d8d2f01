// WflGDI: the drawing record that paint, erase and owner-draw routines
// receive. The drawing routines themselves build on this record.
#pragma once

#include <windows.h>

// A device context with the drawing state kept for it. Viewport values are
// client pixels of the device context; window values are the real-valued
// coordinates that the drawing routines map onto the viewport.
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
    HFONT font = nullptr;     // null: the device context's own font
    COLORREF textColor = 0;
};
