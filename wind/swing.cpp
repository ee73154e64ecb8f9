// The swing of the strip.
#include "wind.h"
#include "../window/window.h"

int pose;

void WindTick(int, HWND window)
{
    if (ApplyPoseRegion(window))
        InvalidateRect(window, NULL, FALSE);
}
