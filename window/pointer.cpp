// The mouse on the chime and on its tray icon: cursors, dragging, fan clicks
// and the popup menu.
#include <windows.h>

#include "window.h"
#include "tray.h"
#include "../about/about.h"
#include "../handles/handles.h"
#include "../settings/settings.h"

#define FAN_DELAY 384
// Rows 0 to 31 are the bell, which a free chime is dragged by.
#define BELL_ROWS 32

static void ShowArrow(void)
{
    SetCursor(LoadCursorA(NULL, (LPCSTR)IDC_ARROW));
}

// A flip shows the phase being left; the next cursor message shows the new one.
void FlipFan(void)
{
    if (interactionState == FAN_PHASE_ONE) {
        SetCursor(fanCursor1);
        interactionState = FAN_PHASE_TWO;
    } else {
        SetCursor(fanCursor2);
        interactionState = FAN_PHASE_ONE;
    }
}

// Only the free hang modes are dragged by the bell.
static bool HangsFreely(void)
{
    return settings.posmode == HANG_FREE || settings.posmode == HANG_FREE_IN_FRONT;
}

// The only place where a dragged position reaches the file before the end:
// as soon as the cursor rests on the bell.
static void WriteMovedPosition(const RECT &rect)
{
    if (rect.left != settings.Xpos) {
        settings.Xpos = rect.left;
        WriteSetting(&settings.Xpos);
    }
    if (rect.top != settings.Ypos) {
        settings.Ypos = rect.top;
        WriteSetting(&settings.Ypos);
    }
}

// Where the cursor is cannot always be read (on Windows, while another desktop
// has the input): a press, a resting cursor or the menu then does nothing.
static bool ReadCursor(POINT *cursor)
{
    return GetCursorPos(cursor) != 0;
}

LRESULT OnSetCursor(HWND window)
{
    POINT cursor;
    if (!ReadCursor(&cursor))
        return 0;
    // With the menu open, or without its rectangle, the window shows the
    // arrow and stores nothing.
    RECT rect;
    if (interactionState == MENU_OPEN || !GetWindowRect(window, &rect)) {
        ShowArrow();
    } else if (cursor.y - rect.top > BELL_ROWS) {
        SetCursor(interactionState == FAN_PHASE_ONE ? fanCursor1 : fanCursor2);
    } else if (!HangsFreely()) {
        ShowArrow();
    } else {
        SetCursor(handCursor);
        WriteMovedPosition(rect);
    }
    return 0;
}

LRESULT OnNcButtonDown(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    POINT cursor;
    if (!ReadCursor(&cursor))
        return 0;
    RECT rect;
    if (HangsFreely() && GetWindowRect(window, &rect)) {
        settings.Xpos = rect.left;
        settings.Ypos = rect.top;
        if (cursor.y < settings.Ypos + BELL_ROWS) {
            // Grab the bell where the hand cursor holds it, then let the
            // system's move loop drag the window.
            int third = GetSystemMetrics(SM_CXCURSOR) / 3;
            MoveWindow(window, cursor.x - third, cursor.y - 7, CHIME_WIDTH, CHIME_HEIGHT, TRUE);
            LRESULT result = DefWindowProcA(window, message, wParam, lParam);
            return result == HTCLIENT ? HTCAPTION : result;
        }
    }
    // A fan click: a new click replaces a pending stroke, so fast clicks give one.
    FlipFan();
    SetTimer(window, FAN_TIMER, FAN_DELAY, NULL);
    return 0;
}

// The wind stands still until the menu loop ends.
void ShowChimeMenu(HWND window)
{
    POINT cursor;
    if (!ReadCursor(&cursor))
        return;
    BYTE before = interactionState;
    interactionState = MENU_OPEN;
    SetCursor(handCursor);
    SetForegroundWindow(window);
    // A menu that cannot be shown has no loop whose end would set the state back.
    if (!TrackPopupMenu(popupMenu, TPM_BOTTOMALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, window, NULL))
        interactionState = before;
}

// Presses on the tray icon open the menu, or only bring the About box forward.
void OnTrayIcon(HWND window, WPARAM id, LPARAM mouseMessage)
{
    if (id != TRAY_ICON_ID || (mouseMessage != WM_LBUTTONDOWN && mouseMessage != WM_RBUTTONDOWN))
        return;
    if (aboutOpen)
        SetForegroundWindow(aboutDialog);
    else
        ShowChimeMenu(window);
}
