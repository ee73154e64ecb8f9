// The chime window: a 32 by 64 popup cut to the picture of the chime, its
// messages, its timers, and what its creation and destruction hold and free.
#include <windows.h>

#include "window.h"
#include "tray.h"
#include "../about/about.h"
#include "../handles/handles.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../sound/chime_sound.h"
#include "../sound/sound.h"

#define ANIMATION_TIMER 1
#define ANIMATION_PERIOD 192
#define FAN_TIMER 3

BYTE interactionState = FAN_PHASE_ONE;

static_assert(sizeof(void *) != 4 || sizeof(WNDCLASSEXA) == 48, "extended class record");

ATOM RegisterChimeClass(void)
{
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ChimeWindowProc;
    wc.hInstance = appInstance;
    wc.hIcon = normalIcon;
    wc.hCursor = LoadCursorA(NULL, (LPCSTR)IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_INACTIVECAPTION + 1);
    wc.lpszClassName = PRODUCT_NAME;
    return RegisterClassExA(&wc);
}

static void OnCreate(HWND window)
{
    LoadChimePictures();
    // The window always gets a copy: a region handed over belongs to the window system.
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    CombineRgn(shape, poseRegions[0], NULL, RGN_COPY);
    SetWindowRgn(window, shape, FALSE);
    SetPropA(window, REGION_PROPERTY, shape);
    // The first menu apply at start-up decides the sound mode from its own start.
    StartDirectSound(window);
    SetTimer(window, ANIMATION_TIMER, ANIMATION_PERIOD, NULL);
}

// The whole window acts as a caption, so presses arrive as non-client messages.
static LRESULT OnNcHitTest(HWND window, WPARAM wParam, LPARAM lParam)
{
    LRESULT hit = DefWindowProcA(window, WM_NCHITTEST, wParam, lParam);
    return hit == HTCLIENT ? HTCAPTION : hit;
}

// Escape quits at once, without the clean-up of the window's destruction.
static void OnKeyDown(WPARAM key)
{
    if (key == VK_ESCAPE) {
        ShowCursor(TRUE);
        PostQuitMessage(0);
    }
}

static LRESULT OnCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    WORD id = LOWORD(wParam);
    if (IsMenuCommand(id))
        return OnMenuCommand(window, id);
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}

// The tray hears of a step first, as the wind read the memory or flipped the
// icon; the window then takes the pose's shape, and repaints when it changed.
void ShowWindStep(HWND window, const WindStep &step)
{
    ShowTrayPicture(alternativeTrayIcon, step.iconFlipped);
    if (step.meterRead)
        RefreshTrayTip(memoryUsage);
    if (ApplyPoseRegion(window))
        InvalidateRect(window, NULL, FALSE);
}

// While the menu is up the wind stands still, but the chime keeps hanging.
static void OnTimer(HWND window)
{
    RECT own;
    if (settings.posmode == HANG_ON_WINDOW && !aboutOpen && GetWindowRect(window, &own))
        HangOnForegroundWindow(window, own);
    if (interactionState != MENU_OPEN) {
        Sleep(0);
        ShowWindStep(window, WindTick(CAUSE_ANIMATION));
    }
}

// The saved position takes the window's left and top; the rest of the
// rectangle is read into a local so it cannot spill over other settings.
static void StorePosition(HWND window)
{
    RECT rect;
    if (GetWindowRect(window, &rect)) {
        settings.Xpos = rect.left;
        settings.Ypos = rect.top;
    }
}

// Where the chime hangs and the whole of the settings go to the file when the
// program ends, whether by Exit or with the Windows session.
static void SaveAtEnd(HWND window)
{
    StorePosition(window);
    SaveSettings();
}

// Windows ends the process after this without destroying the window.
static void OnEndSession(HWND window, WPARAM ending)
{
    if (ending)
        SaveAtEnd(window);
}

static void OnDestroy(HWND window)
{
    StopEngine();
    SaveAtEnd(window);
    FreeChimePictures();
    // The region itself belongs to the window and goes with it.
    if (GetPropA(window, REGION_PROPERTY))
        RemovePropA(window, REGION_PROPERTY);
    DeleteTrayIcon();
    KillTimer(window, ANIMATION_TIMER);
    KillTimer(window, FAN_TIMER);
    PostQuitMessage(0);
}

LRESULT CALLBACK ChimeWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_CREATE:
        OnCreate(window);
        return 0;
    case WM_PAINT:
        PaintChime(window);
        return 0;
    case WM_SETCURSOR:
        return OnSetCursor(window);
    case WM_NCHITTEST:
        return OnNcHitTest(window, wParam, lParam);
    case WM_NCLBUTTONDOWN:
    case WM_NCMBUTTONDOWN:
        return OnNcButtonDown(window, message, wParam, lParam);
    case WM_NCRBUTTONDOWN:
        ShowChimeMenu(window);
        return 0;
    case WM_EXITMENULOOP:
        interactionState = FAN_PHASE_ONE;
        return 0;
    case WM_TRAYICON:
        OnTrayIcon(window, wParam, lParam);
        return 0;
    case WM_KEYDOWN:
        OnKeyDown(wParam);
        return 0;
    case WM_COMMAND:
        return OnCommand(window, wParam, lParam);
    case WM_TIMER:
        OnTimer(window);
        return 0;
    case WM_ENDSESSION:
        OnEndSession(window, wParam);
        return 0;
    case WM_DESTROY:
        OnDestroy(window);
        return 0;
    }
    if (RestoreTrayIcon(message))
        return 0;
    return DefWindowProcA(window, message, wParam, lParam);
}
