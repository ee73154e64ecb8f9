#include "win_helpers.h"

HBITMAP TopDownSection(int width, int height, DWORD **pixels)
{
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = -height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    void *bits = NULL;
    HBITMAP section = CreateDIBSection(NULL, (BITMAPINFO *)&header, DIB_RGB_COLORS, &bits, NULL, 0);
    *pixels = (DWORD *)bits;
    return section;
}

namespace {
struct WindowSearch {
    DWORD processId;
    const char *className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam)
{
    WindowSearch *search = (WindowSearch *)lParam;
    DWORD owner = 0;
    char className[64];
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, className, sizeof className);
    if (owner == search->processId && lstrcmpA(className, search->className) == 0)
        search->found = window;
    return search->found == NULL;
}
} // namespace

HWND FindProcessWindow(DWORD processId, const char *className)
{
    WindowSearch search = {processId, className, NULL};
    EnumWindows(MatchWindow, (LPARAM)&search);
    return search.found;
}
