// Scoped Windows handles: each gives back what it holds when it goes out of
// scope, so a device context is always released, a selection always undone
// and a GDI object always deleted, on every path out of a routine.
#pragma once

#include <windows.h>

// A window's device context from GetDC; nullptr: the screen's.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND window = nullptr) : window_(window), dc_(GetDC(window)) {}
    ~ScopedWindowDC() {
        if (dc_) ReleaseDC(window_, dc_);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// A memory device context compatible with another (nullptr: the screen).
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC compatible) : dc_(CreateCompatibleDC(compatible)) {}
    ~ScopedMemoryDC() {
        if (dc_) DeleteDC(dc_);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC get() const { return dc_; }
    // Hands the context over to the caller, who releases it from now on.
    HDC release() {
        HDC dc = dc_;
        dc_ = nullptr;
        return dc;
    }

private:
    HDC dc_;
};

// A GDI object (pen, brush, bitmap, font) that this scope created.
template <typename Handle>
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Handle handle = nullptr) : handle_(handle) {}
    ~ScopedGdiObject() {
        if (handle_) DeleteObject(handle_);
    }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;
    Handle get() const { return handle_; }
    // Takes over another object, deleting the one held until now.
    void reset(Handle handle) {
        if (handle_) DeleteObject(handle_);
        handle_ = handle;
    }
    Handle release() {
        Handle h = handle_;
        handle_ = nullptr;
        return h;
    }

private:
    Handle handle_;
};

// An object selected into a device context for this scope; the object that
// was selected before comes back at its end. A null object selects nothing.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc_(dc), previous_(dc && object ? SelectObject(dc, object) : nullptr) {}
    ~ScopedSelect() {
        if (previous_) SelectObject(dc_, previous_);
    }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;
    bool selected() const { return previous_ != nullptr; }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

// The screen's vertical resolution in dots per inch (96 when unknown).
inline int screenDpi() {
    const ScopedWindowDC screen;
    const int dpi = screen.get() ? GetDeviceCaps(screen.get(), LOGPIXELSY) : 0;
    return dpi > 0 ? dpi : 96;
}
