// Bitmaps, memory device contexts, and the window behind a record.
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

#include "WflGDI.h"
#include "WflGDIInternal.h"
#include "Text.h"
#include "WflScoped.h"

namespace {

// A memory device context holding a bitmap for one call.
class BitmapDC {
public:
    BitmapDC(HDC compatible, HBITMAP bitmap) : dc_(compatible), selected_(dc_.get(), bitmap) {}
    HDC get() const { return dc_.get(); }

private:
    ScopedMemoryDC dc_;
    ScopedSelect selected_;
};

// One rectangle of a device context, in its client coordinates.
struct Area {
    HDC dc;
    POINT at;
    int width, height;
};

// Copies `from` onto `to`, stretched (with halftone) where the sizes differ.
bool copyArea(const Area& to, const Area& from, DWORD rop) {
    if (to.width == from.width && to.height == from.height) {
        return BitBlt(to.dc, to.at.x, to.at.y, to.width, to.height, from.dc, from.at.x, from.at.y, rop) != FALSE;
    }
    SetStretchBltMode(to.dc, HALFTONE);
    SetBrushOrgEx(to.dc, 0, 0, nullptr);
    return StretchBlt(to.dc, to.at.x, to.at.y, to.width, to.height, from.dc, from.at.x, from.at.y, from.width,
                      from.height, rop) != FALSE;
}

}  // namespace

HBITMAP PXCREATEBITMAP_RSRC(int resourceId) {
    return static_cast<HBITMAP>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(resourceId), IMAGE_BITMAP,
                                           0, 0, LR_CREATEDIBSECTION));
}

HBITMAP PXCREATEBITMAP_FILE(std::string_view path) {
    const std::string name = textkit::trimmedRight(path);
    return static_cast<HBITMAP>(
        LoadImageA(nullptr, name.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
}

bool XPLACEBITMAP(DrawingRecord& r, HBITMAP bitmap, int x, int y, int width, int height) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) return false;
    BitmapDC source(r.dc, bitmap);
    const int w = width > 0 ? width : info.bmWidth;
    const int h = height > 0 ? height : info.bmHeight;
    return copyArea({r.dc, toClient(r, x, y), w, h}, {source.get(), {0, 0}, info.bmWidth, info.bmHeight}, SRCCOPY);
}

bool XPLACEBITMAP_W(DrawingRecord& r, HBITMAP bitmap, float x, float y, float width, float height) {
    int vx = 0, vy = 0;
    XWND2VIEW(r, x, y, vx, vy);
    const int w = width > 0 ? static_cast<int>(width * scaleX(r) + 0.5f) : 0;
    const int h = height > 0 ? static_cast<int>(height * scaleY(r) + 0.5f) : 0;
    return XPLACEBITMAP(r, bitmap, vx, vy, w, h);
}

HBITMAP XGETBITMAP(DrawingRecord& r, int x1, int y1, int x2, int y2) {
    const POINT a = toClient(r, std::min(x1, x2), std::min(y1, y2));
    const int width = std::abs(x2 - x1);
    const int height = std::abs(y2 - y1);
    if (width == 0 || height == 0) return nullptr;
    HBITMAP bitmap = CreateCompatibleBitmap(r.dc, width, height);
    if (bitmap == nullptr) return nullptr;
    BitmapDC target(r.dc, bitmap);
    BitBlt(target.get(), 0, 0, width, height, r.dc, a.x, a.y, SRCCOPY);
    return bitmap;
}

bool XSAVEBITMAP(HBITMAP bitmap, std::string_view path) {
    BITMAP info{};
    if (bitmap == nullptr || GetObjectA(bitmap, sizeof info, &info) == 0) return false;
    const int width = info.bmWidth;
    const int height = info.bmHeight;
    const int stride = ((width * 3 + 3) / 4) * 4;  // rows padded to four bytes

    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = height;  // bottom-up, as BMP files store it
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    bi.bmiHeader.biCompression = BI_RGB;
    std::vector<char> pixels(static_cast<std::size_t>(stride) * static_cast<std::size_t>(height));
    const int lines = GetDIBits(ScopedWindowDC().get(), bitmap, 0, static_cast<UINT>(height), pixels.data(), &bi,
                                DIB_RGB_COLORS);
    if (lines != height) return false;

    const auto headers = static_cast<std::uint32_t>(sizeof(BITMAPFILEHEADER) + sizeof(BITMAPINFOHEADER));
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;  // "BM"
    fh.bfSize = headers + static_cast<std::uint32_t>(pixels.size());
    fh.bfOffBits = headers;
    bi.bmiHeader.biSizeImage = static_cast<DWORD>(pixels.size());
    const std::string name = textkit::trimmedRight(path);
    std::ofstream out(name, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(&fh), sizeof fh);
    out.write(reinterpret_cast<const char*>(&bi.bmiHeader), sizeof bi.bmiHeader);
    out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
    out.close();
    return static_cast<bool>(out);
}

void XDELETEBITMAP(HBITMAP& bitmap) {
    if (bitmap) DeleteObject(bitmap);
    bitmap = nullptr;
}

bool XBITCOPY(DrawingRecord& to, int x, int y, int width, int height, const DrawingRecord& from, int fromX,
              int fromY, int fromWidth, int fromHeight, DWORD rop) {
    return copyArea({to.dc, toClient(to, x, y), width, height},
                    {from.dc, toClient(from, fromX, fromY), fromWidth, fromHeight}, rop);
}

bool XMEMORYDC(DrawingRecord& r, int width, int height, HDC compatible) {
    releaseRecordFont(r);
    r = DrawingRecord{};
    const ScopedWindowDC screen;
    HDC base = compatible ? compatible : screen.get();
    ScopedMemoryDC dc(base);
    HBITMAP bitmap = dc.get() ? CreateCompatibleBitmap(base, width, height) : nullptr;
    if (bitmap == nullptr) return false;
    // The bitmap stays selected for the record's life; XDELETEDC releases
    // both.
    SelectObject(dc.get(), bitmap);
    r.dc = dc.release();
    XSETVIEWPORT(r, 0, 0, width, height);
    XSETWINDOW(r, 0.0f, 0.0f, static_cast<float>(width), static_cast<float>(height));
    return true;
}

void XDELETEDC(DrawingRecord& r) {
    if (r.dc == nullptr) return;
    // Deleting the device context first frees its selection; the bitmap can
    // then be deleted (a device context's stock bitmap ignores the delete).
    HGDIOBJ bitmap = GetCurrentObject(r.dc, OBJ_BITMAP);
    DeleteDC(r.dc);
    if (bitmap) DeleteObject(bitmap);
    releaseRecordFont(r);
    r.dc = nullptr;
}

void XUPDATEWINDOW(DrawingRecord& r) {
    HWND window = r.dc ? WindowFromDC(r.dc) : nullptr;
    if (window == nullptr) return;
    InvalidateRect(window, nullptr, FALSE);
    UpdateWindow(window);
}

void XSCROLLWINDOW(DrawingRecord& r, int dx, int dy) {
    HWND window = r.dc ? WindowFromDC(r.dc) : nullptr;
    if (window == nullptr) return;
    ScrollWindowEx(window, dx, dy, nullptr, nullptr, nullptr, nullptr, SW_INVALIDATE);
    UpdateWindow(window);
}
