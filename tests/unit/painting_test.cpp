// The chime window paints the bell of its pose and, below it, the strip row
// that the memory usage chooses, and repaints only when the pose changes. The
// window runs in this process with the program's own bitmaps, and is read
// back from the screen.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app.h"
#include "settings/settings.h"
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

// The chime window of the program, shown, with the program's own pictures.
HWND ShowChimeWindow(HMODULE program)
{
    appInstance = (HINSTANCE)program;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ChimeWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuilletPaintTest";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "QuilletPaintTest", "", WS_POPUP, 300, 200, 32, 64,
                                  NULL, NULL, wc.hInstance, NULL);
    ShowWindow(window, SW_SHOWNOACTIVATE);
    return window;
}

TEST(ChimePainting, ShowsTheGaugeRowOfTheMemoryUsage)
{
    HMODULE program = LoadAsData(QuilletExePath());
    ASSERT_NE(program, nullptr);
    HWND window = ShowChimeWindow(program);
    ASSERT_NE(window, nullptr);

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

WNDPROC chimeProcedure;
int paints;

LRESULT CALLBACK CountingPaints(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    paints += message == WM_PAINT;
    return CallWindowProcA(chimeProcedure, window, message, wParam, lParam);
}

// Animation ticks at rest, through the window's own timer message: a tick
// that flips the strip between poses 0 and 1 repaints once, every other tick
// leaves the window alone.
TEST(ChimePainting, AtRestOnlyATickThatChangesThePoseRepaints)
{
    HMODULE program = LoadAsData(QuilletExePath());
    ASSERT_NE(program, nullptr);
    settings.win_obj = 5; // no wind source: the idle flicker alone
    settings.posmode = 1; // hanging free, so no tick moves the window
    pose = swing_step = 0;
    HWND window = ShowChimeWindow(program);
    ASSERT_NE(window, nullptr);
    KillTimer(window, 1); // the test gives the ticks
    ApplyPoseRegion(window); // other tests of this process left the shape of another pose
    // The window system's own repaints of a window just shown come first.
    for (DWORD shown = GetTickCount(); GetTickCount() - shown < 500; Sleep(10)) {
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        UpdateWindow(window);
    }
    chimeProcedure = (WNDPROC)SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)CountingPaints);
    SeedRandom(4711);
    int changes = 0, still = 0;
    for (int tick = 0; tick < 300; tick++) {
        int before = pose;
        paints = 0;
        SendMessageA(window, WM_TIMER, 1, 0);
        MSG msg;
        while (PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageA(&msg);
        UpdateWindow(window);
        ASSERT_EQ(swing_step, 0);
        ASSERT_EQ(paints, pose != before ? 1 : 0) << "tick " << tick << " from pose " << before << " to " << pose;
        (pose != before ? changes : still)++;
    }
    EXPECT_GT(changes, 10) << "the strip flickers on about one tick in ten";
    EXPECT_GT(still, 200);
    DestroyWindow(window);
    FreeLibrary(program);
}

} // namespace
