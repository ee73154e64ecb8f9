// Where the chime hangs: on the foreground window, its left edge on that
// window's right edge, its top on its top, followed at every animation tick;
// or freely, where the user puts it.
#include <windows.h>

#include "window.h"
#include "../handles/handles.h"

// When the chime itself is in front (just clicked, or its menu is up) it
// keeps its host; a host that has gone is replaced by the window just below
// the chime, or by the chime itself when there is none.
static HWND RememberedHost(HWND window)
{
    if (!(hostWindow && IsWindow(hostWindow))) {
        HWND below = GetWindow(window, GW_HWNDNEXT);
        hostWindow = below ? below : window;
    }
    return hostWindow;
}

void HangOnForegroundWindow(HWND window, const RECT &own)
{
    RECT host;
    int x = own.left, y = own.top;
    HWND candidate = GetForegroundWindow();
    if (candidate == window)
        candidate = RememberedHost(window);
    if (candidate && candidate != window && GetWindowRect(candidate, &host)) {
        hostWindow = candidate;
        x = host.right;
        y = host.top;
    }
    SetWindowPos(window, HWND_TOPMOST, x, y, CHIME_WIDTH, CHIME_HEIGHT, SWP_SHOWWINDOW | SWP_NOACTIVATE);
}

// A free chime more than half beyond an edge of the screen comes back to
// its centre; otherwise, or when its place cannot be read, only its band in
// the Z order changes.
void PlaceFreely(HWND window, HWND band)
{
    SetForegroundWindow(window);
    RECT r;
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    bool offScreen = GetWindowRect(window, &r) &&
                     (r.left + CHIME_WIDTH / 2 < 0 || r.right - CHIME_WIDTH / 2 > width ||
                      r.top + CHIME_HEIGHT / 2 < 0 || r.bottom - CHIME_HEIGHT / 2 > height);
    if (offScreen)
        SetWindowPos(window, band, (width - CHIME_WIDTH) / 2, (height - CHIME_HEIGHT) / 2, CHIME_WIDTH, CHIME_HEIGHT,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
        SetWindowPos(window, band, 0, 0, CHIME_WIDTH, CHIME_HEIGHT, SWP_NOMOVE);
}
