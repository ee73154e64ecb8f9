// The chime window paints the bell of its pose and, below it, the strip row
// that the memory usage chooses. The window runs in this process with the
// program's own bitmaps, and is read back from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app.h"
#include "tests/common/pe_resources.h"
#include "wind/wind.h"
#include "window/window.h"

namespace {

Picture StripPicture(HMODULE module, int poseIndex, int level)
{
    std::vector<BYTE> bytes =
        ResourceBytes(module, (LPCWSTR)RT_BITMAP, MAKEINTRESOURCEW(200 + 10 * (poseIndex + 1) + level));
    return DecodeDib(bytes.data(), bytes.size(), false);
}

TEST(ChimePainting, ShowsTheGaugeRowOfTheMemoryUsage)
{
    HMODULE program = LoadAsData(QuilletExePath());
    ASSERT_NE(program, nullptr);
    appInstance = (HINSTANCE)program;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ChimeWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuilletPaintTest";
    ASSERT_TRUE(RegisterClassExA(&wc));
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "QuilletPaintTest", "", WS_POPUP, 300, 200, 32, 64,
                                  NULL, NULL, wc.hInstance, NULL);
    ASSERT_NE(window, nullptr);
    ShowWindow(window, SW_SHOWNOACTIVATE);

    pose = 0;
    Picture chime = ChimePicture(program, 0);
    ASSERT_EQ(chime.height, 64);
    // -1 stands for the chime bitmap's own lower half.
    const std::pair<int, int> rows[] = {{-20, -1}, {11, -1}, {12, 7}, {22, 7}, {23, 6},
                                        {50, 4},   {88, 1},  {89, 0}, {100, 0}};
    HDC screen = GetDC(NULL);
    for (auto [usage, level] : rows) {
        memoryUsage = usage;
        InvalidateRect(window, NULL, FALSE);
        UpdateWindow(window);
        GdiFlush();
        Picture strip = level < 0 ? Picture() : StripPicture(program, 0, level);
        int compared = 0;
        for (int y = 0; y < 64; y++)
            for (int x = 0; x < 32; x++) {
                if (chime.At(x, y) == RGB(0, 0, 0))
                    continue; // cut away by the shape
                COLORREF expected = y < 32 || level < 0 ? chime.At(x, y) : strip.At(x, y - 32);
                ASSERT_EQ(GetPixel(screen, 300 + x, 200 + y), expected)
                    << "usage " << usage << " at " << x << "," << y;
                compared++;
            }
        EXPECT_GT(compared, 200);
    }
    ReleaseDC(NULL, screen);
    DestroyWindow(window);
    memoryUsage = 0;
    FreeLibrary(program);
}

} // namespace
