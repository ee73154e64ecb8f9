// Loaded into the running program by the end-to-end tests: the menu's marks
// and grayed items can only be read inside the process that owns the menu.
#include <windows.h>

#include "tests/support/menu_probe.h"

// Two bits for each item of MENU_PROBE_ITEMS: checked, then grayed.
extern "C" __declspec(dllexport) DWORD WINAPI ProbeMenu(LPVOID menu)
{
    DWORD states = 0;
    for (int i = 0; i < MENU_PROBE_COUNT; i++) {
        UINT state = GetMenuState((HMENU)menu, MENU_PROBE_ITEMS[i], MF_BYCOMMAND);
        if (state == (UINT)-1)
            return MENU_PROBE_FAILED;
        if (state & MF_CHECKED)
            states |= 1u << (2 * i);
        if (state & MF_GRAYED)
            states |= 2u << (2 * i);
    }
    return states;
}
