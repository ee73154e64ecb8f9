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

#define ANIMATION_PERIOD 192

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
    GivePoseShape(window, 0, FALSE);
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

// A fan click's stroke, which blows even while the menu is up.
static void OnFanStroke(HWND window)
{
    ShowWindStep(window, WindTick(CAUSE_FAN));
    FlipFan();
    KillTimer(window, FAN_TIMER); // one stroke a click
}

// While the menu is up the wind stands still, but the chime keeps hanging.
static void OnAnimationTick(HWND window)
{
    RECT own;
    if (settings.posmode == HANG_ON_WINDOW && !aboutOpen && GetWindowRect(window, &own))
        HangOnForegroundWindow(window, own);
    if (interactionState != MENU_OPEN) {
        Sleep(0);
        ShowWindStep(window, WindTick(CAUSE_ANIMATION));
    }
}

// The chime's place (read into a local, so the rest of the rectangle cannot
// spill over other settings) and all settings go to the file when the program
// ends, whether by Exit or with the Windows session.
static void SaveAtEnd(HWND window)
{
    RECT rect;
    if (GetWindowRect(window, &rect))
        settings.Xpos = rect.left, settings.Ypos = rect.top;
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
        return OnMenuCommand(window, wParam, lParam);
    case WM_TIMER:
        if (wParam == FAN_TIMER)
            OnFanStroke(window);
        else
            OnAnimationTick(window);
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
