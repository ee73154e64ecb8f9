// Hanging on the foreground window: the chime's left edge on its right edge,
// its top on its top, followed at every animation tick.
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
