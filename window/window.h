// The chime window and its shape.
#ifndef QUILLET_WINDOW_H
#define QUILLET_WINDOW_H

#include <windows.h>

LRESULT CALLBACK ChimeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Region of every pixel of the bitmap that differs from the key colour
// (COLORREF layout; -1 takes the key from the bottom-left pixel). Null on failure.
HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key);

// Gauge row of the strip for a memory usage percentage: -1 for the chime
// bitmap's own lower half, otherwise the gauge level 0 to 7.
int GaugeLevel(int usage);

#endif
