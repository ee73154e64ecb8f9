// The chime's pictures: the six poses of the whole chime, each also a window
// shape, and the strip of each pose at the eight levels of the gauge. The
// window owns them from its creation to its destruction.
#include <windows.h>

#include "window.h"
#include "../handles/handles.h"
#include "../resources/resource.h"

#define GAUGE_LEVELS 8

static HBITMAP chimeBitmaps[POSES];
static HBITMAP stripBitmaps[GAUGE_LEVELS][POSES];

static int StripBitmapId(int level, int poseIndex)
{
    return 200 + 10 * (poseIndex + 1) + level;
}

int GaugeLevel(int usage)
{
    if (usage <= 11)
        return -1;
    if (usage >= 89)
        return 0;
    // 12..22 is level 7, 23..33 level 6, ... 78..88 level 1.
    return 7 - (usage - 12) / 11;
}

void LoadChimePictures(void)
{
    for (int p = 0; p < POSES; p++) {
        chimeBitmaps[p] = LoadBitmapA(appInstance, MAKEINTRESOURCEA(IDB_CHIME_FIRST + p));
        poseRegions[p] = RegionFromBitmap(chimeBitmaps[p], (COLORREF)-1);
        for (int k = 0; k < GAUGE_LEVELS; k++)
            stripBitmaps[k][p] = LoadBitmapA(appInstance, MAKEINTRESOURCEA(StripBitmapId(k, p)));
    }
}

void FreeChimePictures(void)
{
    for (int p = 0; p < POSES; p++) {
        if (chimeBitmaps[p])
            DeleteObject(chimeBitmaps[p]);
        chimeBitmaps[p] = NULL;
        for (int k = 0; k < GAUGE_LEVELS; k++) {
            if (stripBitmaps[k][p])
                DeleteObject(stripBitmaps[k][p]);
            stripBitmaps[k][p] = NULL;
        }
        if (poseRegions[p])
            DeleteObject(poseRegions[p]);
        poseRegions[p] = NULL;
    }
}

// The bell of the pose above; below it the chime's own strip, or the strip
// whose pink fill shows the memory in use.
void PaintChime(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, chimeBitmaps[pose]);
    BitBlt(dc, 0, 0, CHIME_WIDTH, CHIME_WIDTH, memory, 0, 0, SRCCOPY);
    int level = GaugeLevel(memoryUsage);
    if (level < 0) {
        BitBlt(dc, 0, CHIME_WIDTH, CHIME_WIDTH, CHIME_WIDTH, memory, 0, CHIME_WIDTH, SRCCOPY);
    } else {
        SelectObject(memory, stripBitmaps[level][pose]);
        BitBlt(dc, 0, CHIME_WIDTH, CHIME_WIDTH, CHIME_WIDTH, memory, 0, 0, SRCCOPY);
    }
    SelectObject(memory, previous);
    EndPaint(window, &ps);
    DeleteDC(memory);
}
