// Helpers shared by the drawing routines: the pen and brush made for one
// call, and the record's font selected for one call.
#pragma once

#include "WflGDI.h"

// The pen for one drawing call, made from the optional argument or the
// record's pen words, selected while it lives and deleted afterwards. A pen
// of style -1 is the caller's handle and is never deleted.
class PXCREATEPEN {
public:
    PXCREATEPEN(const DrawingRecord& r, const OptPen& pen);
    ~PXCREATEPEN();  // selects the previous pen back, then PXDELETEPEN
    PXCREATEPEN(const PXCREATEPEN&) = delete;
    PXCREATEPEN& operator=(const PXCREATEPEN&) = delete;

private:
    HDC dc_;
    HPEN pen_ = nullptr;
    bool owned_ = false;
    HGDIOBJ previous_ = nullptr;
};

// The same for brushes.
class PXCREATEBRUSH {
public:
    PXCREATEBRUSH(const DrawingRecord& r, const OptBrush& brush);
    ~PXCREATEBRUSH();
    PXCREATEBRUSH(const PXCREATEBRUSH&) = delete;
    PXCREATEBRUSH& operator=(const PXCREATEBRUSH&) = delete;
    HBRUSH handle() const { return brush_; }

private:
    HDC dc_;
    HBRUSH brush_ = nullptr;
    bool owned_ = false;
    HGDIOBJ previous_ = nullptr;
};

// The record's font selected for one call, when it has one.
class RecordFont {
public:
    explicit RecordFont(const DrawingRecord& r)
        : dc_(r.dc), previous_(r.font ? SelectObject(r.dc, r.font) : nullptr) {}
    ~RecordFont() {
        if (previous_) SelectObject(dc_, previous_);
    }
    RecordFont(const RecordFont&) = delete;
    RecordFont& operator=(const RecordFont&) = delete;

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// Scale factors of the window-to-viewport mapping, in single precision.
float scaleX(const DrawingRecord& r);
float scaleY(const DrawingRecord& r);
POINT toClient(const DrawingRecord& r, int vx, int vy);
POINT toClientW(const DrawingRecord& r, float x, float y);
