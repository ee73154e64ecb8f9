// The floor: the platform work the chime does at rest, and nothing of its own
// (no wind, no settings file, no menu, no gauge). What quillet.exe costs
// beyond this program is the chime's; what this costs beyond the minimal
// window program is the platform's. "floor off" never starts DirectSound: with
// the sound OFF the chime does not keep it running.
#include <windows.h>
#include <shellapi.h>

#include "resources/resource.h"
#include "sound/chime_sound.h"
#include "sound/sound.h"

namespace {

const int WIDTH = 32, HEIGHT = 64, POSES = 6, GAUGE_LEVELS = 8;
// The chime's animation timer.
const UINT TIMER = 1, TIMER_PERIOD = 192;
// At rest the first tick starts a swing whose next four ticks may each ring;
// the floor rings at all four, and never again.
const int FIRST_RING_TICK = 2, RINGS = 4;

HBITMAP chimes[POSES];
HBITMAP strips[GAUGE_LEVELS][POSES];
NOTIFYICONDATAA tray;
bool sound;
int ticks;

// The chime loads its pictures and starts DirectSound as its window is made,
// before the first paint.
void Create(HWND window, HINSTANCE instance)
{
    for (int p = 0; p < POSES; p++) {
        chimes[p] = LoadBitmapA(instance, MAKEINTRESOURCEA(IDB_CHIME_FIRST + p));
        for (int k = 0; k < GAUGE_LEVELS; k++)
            strips[k][p] = LoadBitmapA(instance, MAKEINTRESOURCEA(200 + 10 * (p + 1) + k));
    }
    if (sound)
        StartDirectSound(window);
    SetTimer(window, TIMER, TIMER_PERIOD, NULL);
}

void Paint(HWND window)
{
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(window, &ps);
    HDC memory = CreateCompatibleDC(dc);
    HGDIOBJ previous = SelectObject(memory, chimes[0]);
    BitBlt(dc, 0, 0, WIDTH, WIDTH, memory, 0, 0, SRCCOPY);
    // The lower half shows a strip, as when the chime shows a gauge.
    SelectObject(memory, strips[0][0]);
    BitBlt(dc, 0, WIDTH, WIDTH, WIDTH, memory, 0, 0, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    EndPaint(window, &ps);
}

void Destroy(HWND window)
{
    KillTimer(window, TIMER);
    StopEngine();
    Shell_NotifyIconA(NIM_DELETE, &tray);
    DestroyIcon(tray.hIcon);
    for (int p = 0; p < POSES; p++) {
        DeleteObject(chimes[p]);
        for (int k = 0; k < GAUGE_LEVELS; k++)
            DeleteObject(strips[k][p]);
    }
    PostQuitMessage(0);
}

LRESULT CALLBACK FloorProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        Create(window, ((CREATESTRUCTA *)lParam)->hInstance);
        return 0;
    case WM_PAINT:
        Paint(window);
        return 0;
    case WM_TIMER:
        // Refused, and so free, where DirectSound is not running.
        if (++ticks >= FIRST_RING_TICK && ticks < FIRST_RING_TICK + RINGS)
            PlaySample(ticks - FIRST_RING_TICK, 0);
        return 0;
    case WM_DESTROY:
        Destroy(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

} // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int)
{
    sound = lstrcmpiA(commandLine, "off") != 0;
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FloorProc;
    wc.hInstance = instance;
    wc.lpszClassName = "QuilletFloor";
    RegisterClassA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "QuilletFloor", "QuilletFloor", WS_POPUP, 160, 100, WIDTH, HEIGHT,
                                  NULL, NULL, instance, NULL);
    if (!window)
        return 1;
    ShowWindow(window, SW_SHOWNORMAL);
    UpdateWindow(window);

    tray.cbSize = NOTIFYICONDATAA_V1_SIZE;
    tray.hWnd = window;
    tray.uID = 1;
    tray.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    tray.uCallbackMessage = WM_APP + 100;
    tray.hIcon = (HICON)LoadImageA(instance, MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    lstrcpyA(tray.szTip, "QuilletFloor");
    Shell_NotifyIconA(NIM_ADD, &tray);
    // And once more in its first menu apply, which stops and starts it again.
    if (sound)
        StartDirectSound(window);

    MSG msg;
    while (GetMessageA(&msg, NULL, 0, 0) > 0)
        DispatchMessageA(&msg);
    return 0;
}
