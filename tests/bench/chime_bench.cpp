// The chime's own costs, measured in this process with the program's bitmaps:
// building the six pose regions, one animation tick at rest, one pose change.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "app/app.h"
#include "settings/settings.h"
#include "tests/common/pe_resources.h"
#include "wind/wind.h"
#include "window/window.h"

namespace {

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) / double(frequency.QuadPart);
}

void Report(const char *what, std::vector<double> seconds, const char *unit, double scale)
{
    std::sort(seconds.begin(), seconds.end());
    printf("  %-34s %9.1f %s  (%.1f to %.1f)\n", what, seconds[seconds.size() / 2] * scale, unit,
           seconds.front() * scale, seconds.back() * scale);
}

} // namespace

int main()
{
    HMODULE program = LoadAsData(QuilletExePath());
    if (!program) {
        fprintf(stderr, "cannot map QUILLET_EXE\n");
        return 1;
    }
    appInstance = (HINSTANCE)program;

    HBITMAP chimes[POSES];
    for (int p = 0; p < POSES; p++)
        chimes[p] = LoadBitmapA(appInstance, MAKEINTRESOURCEA(128 + p));
    std::vector<double> regions;
    for (int run = 0; run < 30; run++) {
        double start = Now();
        for (int p = 0; p < POSES; p++)
            DeleteObject(RegionFromBitmap(chimes[p], (COLORREF)-1));
        regions.push_back(Now() - start);
    }

    // The real window procedure, with no wind source: ticks at rest.
    settings.win_obj = 5;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ChimeWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuilletBench";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "QuilletBench", "", WS_POPUP | WS_VISIBLE, 400, 300, 32, 64, NULL,
                                  NULL, wc.hInstance, NULL);
    std::vector<double> ticks, changes;
    for (int run = 0; run < 400; run++) {
        int before = pose;
        double start = Now();
        WindTick(0, window);
        UpdateWindow(window);
        (pose == before ? ticks : changes).push_back(Now() - start);
    }
    for (int run = 0; run < 100; run++) {
        double start = Now();
        pose = run % 2;
        if (ApplyPoseRegion(window))
            InvalidateRect(window, NULL, FALSE);
        UpdateWindow(window);
        changes.push_back(Now() - start);
    }
    DestroyWindow(window);

    printf("The chime's own work (median, with the range):\n");
    Report("six pose regions", regions, "ms", 1e3);
    Report("one animation tick at rest", ticks, "us", 1e6);
    Report("one pose change with its repaint", changes, "us", 1e6);
    for (HBITMAP bitmap : chimes)
        DeleteObject(bitmap);
    FreeLibrary(program);
    return 0;
}
