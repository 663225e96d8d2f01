// Helpers shared by the drawing routines: the pen and brush made for one
// call, and the record's font selected for one call.
#pragma once

#include <optional>

#include "WflGDI.h"
#include "WflScoped.h"

// The pen for one drawing call, made from the optional argument or the
// record's pen words, selected while it lives and deleted afterwards. A pen
// of style -1 is the caller's handle and is never deleted.
class PXCREATEPEN {
public:
    PXCREATEPEN(const DrawingRecord& r, const OptPen& pen);
    ~PXCREATEPEN() = default;  // selects the previous pen back, then PXDELETEPEN
    PXCREATEPEN(const PXCREATEPEN&) = delete;
    PXCREATEPEN& operator=(const PXCREATEPEN&) = delete;

private:
    // Undone in reverse order: the selection first, then the pen deleted.
    ScopedGdiObject<HPEN> owned_;  // the pen this scope made, if it made one
    std::optional<ScopedSelect> selected_;
};

// The same for brushes.
class PXCREATEBRUSH {
public:
    PXCREATEBRUSH(const DrawingRecord& r, const OptBrush& brush);
    ~PXCREATEBRUSH() = default;
    PXCREATEBRUSH(const PXCREATEBRUSH&) = delete;
    PXCREATEBRUSH& operator=(const PXCREATEBRUSH&) = delete;
    HBRUSH handle() const { return brush_; }

private:
    HBRUSH brush_ = nullptr;
    ScopedGdiObject<HBRUSH> owned_;  // the brush this scope made, if it made one
    std::optional<ScopedSelect> selected_;
};

// The record's font selected for one call, when it has one.
class RecordFont : public ScopedSelect {
public:
    explicit RecordFont(const DrawingRecord& r) : ScopedSelect(r.dc, r.font) {}
};

// Scale factors of the window-to-viewport mapping, in single precision.
float scaleX(const DrawingRecord& r);
float scaleY(const DrawingRecord& r);
POINT toClient(const DrawingRecord& r, int vx, int vy);
POINT toClientW(const DrawingRecord& r, float x, float y);
