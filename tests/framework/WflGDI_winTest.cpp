// Drawing records and routines on real memory device contexts.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "WflGDI.h"

namespace {

constexpr COLORREF kWhite = XRGB(255, 255, 255);
constexpr COLORREF kRed = XRGB(255, 0, 0);
constexpr COLORREF kBlue = XRGB(0, 0, 255);
constexpr COLORREF kGreen = XRGB(0, 128, 0);

// A 200 x 150 memory record painted white.
class MemoryRecord : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(XMEMORYDC(r, 200, 150));
        XFILLVIEWPORT(r, XBRUSH{BS_SOLID, kWhite});
    }
    void TearDown() override { XDELETEDC(r); }
    DrawingRecord r;
};

DWORD gdiObjects() { return GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS); }

}  // namespace

TEST(XRGB, LimitsEachComponent) {
    struct Row {
        int r, g, b;
        COLORREF want;
    } rows[] = {
        {300, -5, 128, 255 + 0 + 128 * 65536},
        {0, 0, 0, 0},
        {255, 255, 255, 0xFFFFFF},
        {1, 2, 3, 1 + 2 * 256 + 3 * 65536},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.want);
        EXPECT_EQ(XRGB(row.r, row.g, row.b), row.want);
        EXPECT_EQ(XRGB(row.r, row.g, row.b), RGB(row.r < 0 ? 0 : row.r > 255 ? 255 : row.r,
                                                 row.g < 0 ? 0 : row.g > 255 ? 255 : row.g,
                                                 row.b < 0 ? 0 : row.b > 255 ? 255 : row.b));
    }
}

TEST(Mapping, WindowToViewportToClientAndBack) {
    DrawingRecord r;
    XSETVIEWPORT(r, 10, 20, 110, 220);
    XSETWINDOW(r, 0, 0, 1, 1);
    int vx = 0, vy = 0, cx = 0, cy = 0;
    XWND2VIEW(r, 0.5f, 0.5f, vx, vy);
    EXPECT_EQ(vx, 50);
    EXPECT_EQ(vy, 100);
    XWND2CLIENT(r, 0.5f, 0.5f, cx, cy);
    EXPECT_EQ(cx, 60);
    EXPECT_EQ(cy, 120);
    float x = 0, y = 0;
    XCLIENT2WND(r, 60, 120, x, y);
    EXPECT_FLOAT_EQ(x, 0.5f);
    EXPECT_FLOAT_EQ(y, 0.5f);
    XVIEW2CLIENT(r, 0, 0, cx, cy);
    EXPECT_EQ(cx, 10);
    EXPECT_EQ(cy, 20);
    XCLIENT2VIEW(r, 10, 20, vx, vy);
    EXPECT_EQ(vx, 0);
    EXPECT_EQ(vy, 0);
    int left = 0, top = 0, right = 0, bottom = 0;
    XGETVIEWPORT(r, left, top, right, bottom);
    EXPECT_EQ(right, 110);
    EXPECT_EQ(bottom, 220);

    // A window with the y axis pointing up, as plots want it.
    XSETWINDOW(r, -1, 1, 1, -1);
    XWND2VIEW(r, 0.0f, 0.0f, vx, vy);
    EXPECT_EQ(vx, 50);
    EXPECT_EQ(vy, 100);
    XWND2VIEW(r, 1.0f, 1.0f, vx, vy);
    EXPECT_EQ(vx, 100);
    EXPECT_EQ(vy, 0);
    float x1, y1, x2, y2;
    XGETGDIWINDOW(r, x1, y1, x2, y2);
    EXPECT_FLOAT_EQ(x2, 1.0f);
    EXPECT_FLOAT_EQ(y2, -1.0f);
}

TEST_F(MemoryRecord, ScalingByPhysicalUnits) {
    const int dpiX = GetDeviceCaps(r.dc, LOGPIXELSX);
    XSETSCALING(r, 0, 0, -3);  // inches
    EXPECT_FLOAT_EQ(r.windowWidth, 200.0f / static_cast<float>(dpiX));
    XSETSCALING(r, 0, 0, -1);  // pixels
    EXPECT_FLOAT_EQ(r.windowWidth, 200.0f);
    EXPECT_FLOAT_EQ(r.windowHeight, 150.0f);
    XSETSCALING(r, 5, 6, -4, -2.0f);  // points across, millimetres down
    EXPECT_FLOAT_EQ(r.windowX, 5.0f);
    EXPECT_FLOAT_EQ(r.windowWidth, 200.0f * 72.0f / static_cast<float>(dpiX));
    EXPECT_FLOAT_EQ(r.windowHeight, 150.0f * 25.4f / static_cast<float>(GetDeviceCaps(r.dc, LOGPIXELSY)));
    XSETSCALING(r, 0, 0, 2);
    EXPECT_FLOAT_EQ(r.windowWidth, 400.0f);
}

TEST_F(MemoryRecord, FilledRectangleLineAndPixelsReadBack) {
    XFILLRECT(r, 10, 10, 50, 40, XBRUSH{BS_SOLID, kRed});
    EXPECT_EQ(XGETPIXEL(r, 10, 10), kRed);
    EXPECT_EQ(XGETPIXEL(r, 49, 39), kRed);
    EXPECT_EQ(XGETPIXEL(r, 50, 40), kWhite);  // right and bottom edges are outside
    EXPECT_EQ(XGETPIXEL(r, 9, 10), kWhite);

    XSETPEN(r, kBlue);
    XLINE(r, 0, 100, 199, 100);
    EXPECT_EQ(XGETPIXEL(r, 0, 100), kBlue);
    EXPECT_EQ(XGETPIXEL(r, 150, 100), kBlue);
    EXPECT_EQ(XGETPIXEL(r, 150, 101), kWhite);

    XSETPIXEL(r, 180, 20, kGreen);
    EXPECT_EQ(XGETPIXEL(r, 180, 20), kGreen);

    // Window coordinates: the same rectangle drawn on a unit square.
    XSETVIEWPORT(r, 100, 0, 200, 100);
    XSETWINDOW(r, 0, 0, 1, 1);
    XFILLRECT_W(r, 0.5f, 0.5f, 1.0f, 1.0f, XBRUSH{BS_SOLID, kGreen});
    EXPECT_EQ(XGETPIXEL_W(r, 0.75f, 0.75f), kGreen);
    EXPECT_EQ(XGETPIXEL(r, 49, 49), kWhite);
    EXPECT_EQ(XGETPIXEL(r, 50, 50), kGreen);
}

TEST_F(MemoryRecord, ExplicitPenLeavesTheRecordPenAlone) {
    XSETPEN(r, kGreen, PS_SOLID, 1);
    XSETBRUSH(r, kWhite, BS_NULL);
    XRECTANGLE(r, 20, 20, 60, 60, XPEN{PS_SOLID, 1, kRed});
    EXPECT_EQ(r.penStyle, PS_SOLID);
    EXPECT_EQ(r.penWidth, 1);
    EXPECT_EQ(r.penColor, kGreen);
    EXPECT_EQ(XGETPIXEL(r, 20, 40), kRed);    // drawn with the explicit pen
    EXPECT_EQ(XGETPIXEL(r, 40, 40), kWhite);  // hollow: the null brush
    XRECTANGLE(r, 100, 20, 140, 60);
    EXPECT_EQ(XGETPIXEL(r, 100, 40), kGreen);  // the record's own pen
}

TEST_F(MemoryRecord, ReadyMadeHandlesAreUsedAndNotDeleted) {
    HPEN pen = CreatePen(PS_SOLID, 1, kRed);
    HBRUSH brush = CreateSolidBrush(kBlue);
    XSETPENHANDLE(r, pen);
    XSETBRUSHHANDLE(r, brush);
    XRECTANGLE(r, 10, 10, 30, 30);
    EXPECT_EQ(XGETPIXEL(r, 10, 20), kRed);
    EXPECT_EQ(XGETPIXEL(r, 20, 20), kBlue);
    EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
    EXPECT_EQ(GetObjectType(brush), static_cast<DWORD>(OBJ_BRUSH));
    DeleteObject(pen);
    DeleteObject(brush);
}

TEST_F(MemoryRecord, WideDashedPenDraws) {
    // A dashed pen wider than a pixel is made geometric; it must still draw.
    XLINE(r, 0, 75, 199, 75, XPEN{PS_DASH, 5, kBlue});
    int blue = 0, inDash = -1;
    for (int x = 0; x < 200; ++x) {
        if (XGETPIXEL(r, x, 75) == kBlue) {
            ++blue;
            if (inDash < 0 && x > 5) inDash = x;
        }
    }
    EXPECT_GT(blue, 40);
    EXPECT_LT(blue, 200);  // dashes leave gaps
    ASSERT_GE(inDash, 0);
    EXPECT_EQ(XGETPIXEL(r, inDash + 2, 74), kBlue);  // wider than one pixel
    EXPECT_EQ(XGETPIXEL(r, inDash + 2, 76), kBlue);
    EXPECT_EQ(XGETPIXEL(r, inDash + 2, 70), kWhite);
}

TEST_F(MemoryRecord, TextExtentAndTextOut) {
    ASSERT_TRUE(XSETFONT(r, "Courier New", -16));
    int w1 = 0, h1 = 0, w2 = 0, h2 = 0;
    XGETTEXTEXTENT(r, "W", w1, h1);
    XGETTEXTEXTENT(r, "WWWW   ", w2, h2);  // trailing blanks do not count
    EXPECT_GT(w1, 0);
    EXPECT_EQ(w2, 4 * w1);  // a fixed-pitch face
    EXPECT_EQ(h1, h2);
    EXPECT_GE(h1, 16);

    XSETTEXTCOLOR(r, kRed);
    XTEXTOUT(r, 10, 10, "WWWW", std::nullopt, TRANSPARENT);
    int red = 0;
    for (int y = 10; y < 10 + h1; ++y)
        for (int x = 10; x < 10 + w2; ++x) red += XGETPIXEL(r, x, y) == kRed ? 1 : 0;
    EXPECT_GT(red, 20);
    EXPECT_EQ(XGETPIXEL(r, 10 + w2 + 5, 10 + h1 / 2), kWhite);

    // XWRITE continues where the last write ended.
    XMOVETO(r, 0, 100);
    XWRITE(r, "WW");
    POINT at{};
    GetCurrentPositionEx(r.dc, &at);
    EXPECT_EQ(at.x, 2 * w1);
    EXPECT_EQ(at.y, 100);
    XWRITE(r, "W\nW");  // a new line starts at the column this write started at
    GetCurrentPositionEx(r.dc, &at);
    EXPECT_EQ(at.x, 3 * w1);
    EXPECT_GT(at.y, 100);

    // The record owns its font: replacing it deletes the old one.
    HFONT first = r.font;
    ASSERT_TRUE(XSETFONT(r, "Arial", -12));
    EXPECT_NE(r.font, first);
    EXPECT_EQ(GetObjectType(first), 0u);
}

TEST_F(MemoryRecord, BitmapSavedToFileAndLoadedBack) {
    XFILLRECT(r, 0, 0, 100, 150, XBRUSH{BS_SOLID, kRed});
    XFILLRECT(r, 100, 0, 200, 150, XBRUSH{BS_SOLID, kBlue});
    XSETPIXEL(r, 3, 4, kGreen);
    HBITMAP copy = XGETBITMAP(r, 0, 0, 200, 150);
    ASSERT_NE(copy, nullptr);

    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    const std::string path = std::string(dir) + "tallyon-gdi-test.bmp";
    ASSERT_TRUE(XSAVEBITMAP(copy, path));
    XDELETEBITMAP(copy);
    EXPECT_EQ(copy, nullptr);

    HBITMAP loaded = XCREATEBITMAP(std::string_view(path));
    ASSERT_NE(loaded, nullptr);
    BITMAP info{};
    GetObjectA(loaded, sizeof info, &info);
    EXPECT_EQ(info.bmWidth, 200);
    EXPECT_EQ(info.bmHeight, 150);

    DrawingRecord other;
    ASSERT_TRUE(XMEMORYDC(other, 200, 150));
    ASSERT_TRUE(XPLACEBITMAP(other, loaded, 0, 0));
    EXPECT_EQ(XGETPIXEL(other, 50, 75), kRed);
    EXPECT_EQ(XGETPIXEL(other, 150, 75), kBlue);
    EXPECT_EQ(XGETPIXEL(other, 3, 4), kGreen);  // rows are not flipped

    // Stretched placement and a copy between records.
    XFILLVIEWPORT(other, XBRUSH{BS_SOLID, kWhite});
    ASSERT_TRUE(XPLACEBITMAP(other, loaded, 0, 0, 100, 75));
    EXPECT_EQ(XGETPIXEL(other, 25, 30), kRed);
    EXPECT_EQ(XGETPIXEL(other, 75, 30), kBlue);
    EXPECT_EQ(XGETPIXEL(other, 150, 100), kWhite);
    ASSERT_TRUE(XBITCOPY(other, 100, 75, 100, 75, r, 50, 0, 100, 75));
    EXPECT_EQ(XGETPIXEL(other, 120, 100), kRed);
    EXPECT_EQ(XGETPIXEL(other, 180, 100), kBlue);

    XDELETEBITMAP(loaded);
    XDELETEDC(other);
    DeleteFileA(path.c_str());
    EXPECT_FALSE(XSAVEBITMAP(nullptr, path));
}

TEST_F(MemoryRecord, ClippingRestrictsDrawing) {
    XSETCLIPPING(r, 0, 0, 100, 150);
    XFILLVIEWPORT(r, XBRUSH{BS_SOLID, kRed});
    EXPECT_EQ(XGETPIXEL(r, 50, 50), kRed);
    EXPECT_EQ(XGETPIXEL(r, 150, 50), kWhite);
    XSETCLIPPING(r);
    XFILLVIEWPORT(r, XBRUSH{BS_SOLID, kBlue});
    EXPECT_EQ(XGETPIXEL(r, 150, 50), kBlue);
}

TEST_F(MemoryRecord, FloodFillPolygonAndPolyline) {
    const POINT square[] = {{20, 20}, {80, 20}, {80, 80}, {20, 80}};
    XSETBRUSH(r, kWhite, BS_NULL);
    XPOLYGON(r, square, XPEN{PS_SOLID, 1, kBlue});
    EXPECT_EQ(XGETPIXEL(r, 50, 50), kWhite);
    EXPECT_TRUE(XFLOODFILL(r, 50, 50, kBlue, FLOODFILLBORDER, XBRUSH{BS_SOLID, kGreen}));
    EXPECT_EQ(XGETPIXEL(r, 50, 50), kGreen);
    EXPECT_EQ(XGETPIXEL(r, 10, 10), kWhite);  // stopped at the border

    const XPOINT_W zigzag[] = {{120, 20}, {140, 60}, {160, 20}};
    XPOLYLINE_W(r, zigzag, XPEN{PS_SOLID, 1, kRed});
    EXPECT_EQ(XGETPIXEL(r, 120, 20), kRed);
    EXPECT_EQ(XGETPIXEL(r, 140, 60), kRed);
}

TEST_F(MemoryRecord, NoGdiObjectLeaksOverManyCalls) {
    auto drawOnce = [this](int i) {
        switch (i % 5) {
            case 0: XRECTANGLE(r, 1, 1, 50, 50, XPEN{PS_DOT, 3, kRed}, XBRUSH{BS_HATCHED, kBlue, HS_CROSS}); break;
            case 1: XLINE(r, 0, 0, 100, 100); break;
            case 2: XELLIPSE(r, 10, 10, 90, 60); break;
            case 3: XTEXTOUT(r, 5, 5, "leak?"); break;
            case 4: XFILLRECT(r, 0, 0, 10, 10, XBRUSH{BS_SOLID, kGreen}); break;
        }
    };
    drawOnce(0);  // lazily created system objects are not ours to count
    const DWORD before = gdiObjects();
    if (before != 0) {
        for (int i = 0; i < 1000; ++i) drawOnce(i);
        EXPECT_EQ(gdiObjects(), before);
        return;
    }
    // Wine's GetGuiResources is a stub that reports 0. Its GDI handle table
    // holds about 65 000 objects in all, so make well over that many
    // temporary pens and brushes: a leak of either kind would exhaust it,
    // and the probe pen below (and the last calls' own pens) could not be
    // made.
    for (int i = 0; i < 150000; ++i) drawOnce(i);
    HPEN probe = CreatePen(PS_SOLID, 1, kRed);
    EXPECT_NE(probe, nullptr);
    DeleteObject(probe);
    XFILLVIEWPORT(r, XBRUSH{BS_SOLID, kWhite});
    XLINE(r, 0, 140, 199, 140, XPEN{PS_SOLID, 1, kRed});
    EXPECT_EQ(XGETPIXEL(r, 100, 140), kRed);
}
