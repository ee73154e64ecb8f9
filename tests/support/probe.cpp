// The probe's library. A thread-specific window hook is the one way into the
// program that both of Wine's loaders, the 32-bit and the 64-bit, take alike:
// the system loads the library into the program to call the hook there.
#include <windows.h>

#include "tests/support/probe.h"

static DWORD MenuStates(HMENU menu)
{
    DWORD states = 0;
    for (int i = 0; i < MENU_PROBE_COUNT; i++) {
        UINT state = GetMenuState(menu, MENU_PROBE_ITEMS[i], MF_BYCOMMAND);
        if (state == (UINT)-1)
            return MENU_PROBE_FAILED;
        if (state & MF_CHECKED)
            states |= 1u << (2 * i);
        if (state & MF_GRAYED)
            states |= 2u << (2 * i);
    }
    return states;
}

// Wine keeps no count for GetGuiResources. There the low word of a GDI
// handle indexes the process's object table, and names a live object by
// itself: asking the type of every index counts them, without reading the
// table's layout.
static DWORD GdiObjects(void)
{
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count)
        return count;
    for (ULONG_PTR index = 1; index < 0x10000; index++)
        count += GetObjectType((HGDIOBJ)index) != 0;
    return count;
}

static void Answer(WPARAM query, LPARAM argument)
{
    HANDLE mapping = OpenFileMappingW(FILE_MAP_WRITE, FALSE, PROBE_MAPPING);
    if (!mapping)
        return;
    ProbeAnswer *answer = (ProbeAnswer *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ProbeAnswer));
    if (answer) {
        answer->value = query == PROBE_MENU_STATES ? MenuStates((HMENU)argument) : GdiObjects();
        answer->answered = 1;
        UnmapViewOfFile(answer);
    }
    CloseHandle(mapping);
}

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
    if (code == HC_ACTION && sent->message == RegisterWindowMessageW(PROBE_MESSAGE))
        Answer(sent->wParam, sent->lParam);
    return CallNextHookEx(NULL, code, wParam, lParam);
}
