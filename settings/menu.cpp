// The popup menu's commands.
#include <windows.h>

#include "settings.h"
#include "../resources/resource.h"

static const WORD MENU_COMMANDS[] = {
    IDM_WIND_MEMORY, IDM_WIND_RANDOM, IDM_SENS_LOW,    IDM_SENS_MEDIUM, IDM_SENS_HIGH,  IDM_BREEZE,
    IDM_TYPHOON,     IDM_FITFUL,      IDM_VOL_LOUDER,  IDM_VOL_NORMAL,  IDM_VOL_QUIETER, IDM_VOL_RANDOM,
    IDM_VOL_OFF,     IDM_HANG_WINDOW, IDM_HANG_FREE,   IDM_HANG_FRONT,  IDM_ABOUT,       IDM_HELP,
    IDM_EXIT,
};

BOOL IsMenuCommand(WORD id)
{
    for (WORD command : MENU_COMMANDS)
        if (command == id)
            return TRUE;
    return FALSE;
}

void ApplyMenuState(HWND)
{
}

LRESULT OnMenuCommand(HWND window, WORD id)
{
    if (id == IDM_EXIT) {
        // The window's destruction saves everything and ends the loop.
        Sleep(3);
        DestroyWindow(window);
    }
    return 0;
}
