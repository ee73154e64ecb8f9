// The probe's library. A thread-specific window hook is the one way into the
// program that both of Wine's loaders, the 32-bit and the 64-bit, take alike:
// the system loads the library into the program to call the hook there.
#include <windows.h>

#include "bench/probe.h"

// Wine keeps no count for GetGuiResources. There the low word of a GDI
// handle indexes the process's object table and names a live object by
// itself: asking the type of every index counts them, without reading the
// table's layout. Window DCs are the window manager's cache, which grows in
// steps as windows come and go: each is left out with its region.
static DWORD GdiObjects(void)
{
    DWORD count = GetGuiResources(GetCurrentProcess(), GR_GDIOBJECTS);
    if (count)
        return count;
    for (ULONG_PTR index = 1; index < 0x10000; index++) {
        DWORD type = GetObjectType((HGDIOBJ)index);
        count += type == OBJ_DC ? -1 : type != 0;
    }
    return count;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK ProbeHook(int code, WPARAM wParam, LPARAM lParam)
{
    const CWPSTRUCT *sent = (const CWPSTRUCT *)lParam;
    HANDLE mapping = code == HC_ACTION && sent->message == RegisterWindowMessageW(PROBE_MESSAGE)
                         ? OpenFileMappingW(FILE_MAP_WRITE, FALSE, PROBE_MAPPING)
                         : NULL;
    ProbeAnswer *answer = mapping ? (ProbeAnswer *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0) : NULL;
    if (answer) {
        answer->value = GdiObjects();
        answer->answered = 1;
        UnmapViewOfFile(answer);
    }
    if (mapping)
        CloseHandle(mapping);
    return CallNextHookEx(NULL, code, wParam, lParam);
}
