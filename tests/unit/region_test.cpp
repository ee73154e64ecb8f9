// The region builder on crafted bitmaps, and the gauge rows of the strip.
#include <gtest/gtest.h>
#include <windows.h>

#include <functional>
#include <vector>

#include "tests/common/win_helpers.h"
#include "wind/wind.h"
#include "window/window.h"

namespace {

// A width x height bitmap whose pixel (x, y), top row first, is colour(x, y).
HBITMAP MakeBitmap(int width, int height, std::function<COLORREF(int, int)> colour)
{
    DWORD *pixels = nullptr;
    HBITMAP bitmap = TopDownSection(width, height, &pixels);
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++) {
            COLORREF c = colour(x, y);
            pixels[y * width + x] = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
        }
    return bitmap;
}

std::vector<RECT> Rectangles(HRGN region)
{
    DWORD size = GetRegionData(region, 0, NULL);
    std::vector<BYTE> data(size);
    GetRegionData(region, size, (RGNDATA *)data.data());
    RGNDATA *rgn = (RGNDATA *)data.data();
    RECT *rects = (RECT *)rgn->Buffer;
    return std::vector<RECT>(rects, rects + rgn->rdh.nCount);
}

// Pixel by pixel: inside the region exactly where expected(x, y).
void ExpectCovers(HRGN region, int width, int height, std::function<bool(int, int)> expected)
{
    for (int y = 0; y < height; y++)
        for (int x = 0; x < width; x++)
            ASSERT_EQ(PtInRegion(region, x, y) != 0, expected(x, y)) << x << "," << y;
}

const COLORREF BLACK = RGB(0, 0, 0);
const COLORREF GLASS = RGB(112, 176, 226);

TEST(RegionFromBitmap, NullBitmapGivesNull)
{
    EXPECT_EQ(RegionFromBitmap(NULL, (COLORREF)-1), nullptr);
}

TEST(RegionFromBitmap, NoKeyPixelGivesOneFullWidthRectanglePerRow)
{
    HBITMAP bitmap = MakeBitmap(32, 64, [](int x, int) { return x ? GLASS : RGB(1, 2, 3); });
    HRGN region = RegionFromBitmap(bitmap, BLACK);
    ASSERT_NE(region, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), SIMPLEREGION);
    EXPECT_EQ(box.left, 0);
    EXPECT_EQ(box.top, 0);
    EXPECT_EQ(box.right, 32);
    EXPECT_EQ(box.bottom, 64);
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, AllKeyGivesAnEmptyRegionNotNull)
{
    HBITMAP bitmap = MakeBitmap(32, 64, [](int, int) { return BLACK; });
    HRGN region = RegionFromBitmap(bitmap, (COLORREF)-1);
    ASSERT_NE(region, nullptr);
    RECT box;
    EXPECT_EQ(GetRgnBox(region, &box), NULLREGION);
    DeleteObject(region);
    DeleteObject(bitmap);
}

// Checkered runs (black at the bottom left): every row of a 32 x 25 picture holds 8 one-pixel runs, 200
// rectangles in all, which fill exactly one batch before the empty last one.
TEST(RegionFromBitmap, ExactlyOneFullBatchGivesTheWholeShape)
{
    auto drawn = [](int x, int y) { return (x + y + 1) % 4 == 0; };
    HBITMAP bitmap = MakeBitmap(32, 25, [&](int x, int y) { return drawn(x, y) ? GLASS : BLACK; });
    HRGN region = RegionFromBitmap(bitmap, (COLORREF)-1);
    ASSERT_NE(region, nullptr);
    EXPECT_EQ(Rectangles(region).size(), 200u);
    ExpectCovers(region, 32, 25, drawn);
    DeleteObject(region);
    DeleteObject(bitmap);
}

// Many batches (16 runs in each of 64 rows, 1024 rectangles) merge into one region.
TEST(RegionFromBitmap, ManyBatchesMergeIntoTheWholeShape)
{
    auto drawn = [](int x, int y) { return (x + y) % 2 == 0; };
    HBITMAP bitmap = MakeBitmap(32, 64, [&](int x, int y) { return drawn(x, y) ? GLASS : BLACK; });
    HRGN region = RegionFromBitmap(bitmap, (COLORREF)-1);
    ASSERT_NE(region, nullptr);
    ExpectCovers(region, 32, 64, drawn);
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, RunReachingTheRightEdgeEndsAtTheWidth)
{
    HBITMAP bitmap = MakeBitmap(20, 3, [](int x, int) { return x >= 13 ? GLASS : BLACK; });
    HRGN region = RegionFromBitmap(bitmap, (COLORREF)-1);
    ASSERT_NE(region, nullptr);
    RECT box;
    GetRgnBox(region, &box);
    EXPECT_EQ(box.left, 13);
    EXPECT_EQ(box.right, 20);
    EXPECT_EQ(box.bottom, 3);
    DeleteObject(region);
    DeleteObject(bitmap);
}

// An explicit key in COLORREF layout cuts that colour, not its byte-swapped twin.
TEST(RegionFromBitmap, ExplicitKeyCutsThatColour)
{
    const COLORREF red = RGB(200, 10, 20), blue = RGB(20, 10, 200);
    HBITMAP bitmap = MakeBitmap(16, 16, [&](int x, int y) { return x < 8 ? red : (y < 8 ? blue : BLACK); });
    HRGN region = RegionFromBitmap(bitmap, red);
    ASSERT_NE(region, nullptr);
    ExpectCovers(region, 16, 16, [](int x, int) { return x >= 8; });
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(RegionFromBitmap, DefaultKeyIsTheBottomLeftColourWhateverItIs)
{
    const COLORREF pink = RGB(242, 104, 166);
    auto colour = [&](int x, int y) { return (x == 0 && y == 15) || x > 10 ? pink : (x == 5 ? BLACK : GLASS); };
    HBITMAP bitmap = MakeBitmap(16, 16, colour);
    HRGN region = RegionFromBitmap(bitmap, (COLORREF)-1);
    ASSERT_NE(region, nullptr);
    ExpectCovers(region, 16, 16, [&](int x, int y) { return colour(x, y) != pink; });
    DeleteObject(region);
    DeleteObject(bitmap);
}

TEST(GaugeLevel, RowsOfElevenPercentFromTheTop)
{
    EXPECT_EQ(GaugeLevel(-5), -1);
    EXPECT_EQ(GaugeLevel(0), -1);
    EXPECT_EQ(GaugeLevel(11), -1);
    EXPECT_EQ(GaugeLevel(12), 7);
    EXPECT_EQ(GaugeLevel(22), 7);
    EXPECT_EQ(GaugeLevel(23), 6);
    EXPECT_EQ(GaugeLevel(33), 6);
    EXPECT_EQ(GaugeLevel(34), 5);
    EXPECT_EQ(GaugeLevel(55), 4);
    EXPECT_EQ(GaugeLevel(56), 3);
    EXPECT_EQ(GaugeLevel(77), 2);
    EXPECT_EQ(GaugeLevel(78), 1);
    EXPECT_EQ(GaugeLevel(88), 1);
    EXPECT_EQ(GaugeLevel(89), 0);
    EXPECT_EQ(GaugeLevel(100), 0);
}

} // namespace

namespace {

// The window gets a copy of the pose's region when the pose changes, and the
// property "region" names the copy.
TEST(ApplyPoseRegion, AppliesOnTheFirstCallThenOnlyOnAChange)
{
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP, 0, 0, 32, 64, NULL, NULL, NULL, NULL);
    ASSERT_NE(window, nullptr);
    for (int p = 0; p < POSES; p++)
        poseRegions[p] = CreateRectRgn(p, 0, p + 10, 64);

    pose = 0;
    EXPECT_EQ(ApplyPoseRegion(window), 1) << "the first call applies pose 0 too";
    EXPECT_EQ(ApplyPoseRegion(window), 0);
    pose = 3;
    EXPECT_EQ(ApplyPoseRegion(window), 1);
    EXPECT_EQ(ApplyPoseRegion(window), 0);

    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    ASSERT_NE(GetWindowRgn(window, shape), ERROR);
    EXPECT_TRUE(EqualRgn(shape, poseRegions[3]));
    HRGN given = (HRGN)GetPropA(window, REGION_PROPERTY);
    EXPECT_NE(given, nullptr);
    EXPECT_NE(given, poseRegions[3]) << "the pose region itself is never handed over";
    DeleteObject(shape);
    DestroyWindow(window);
    for (HRGN &region : poseRegions) {
        DeleteObject(region);
        region = NULL;
    }
    pose = 0;
}

} // namespace
