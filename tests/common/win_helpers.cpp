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

namespace {
struct BoxWatch {
    std::vector<SeenBox> seen;
    volatile LONG done;
};

DWORD WINAPI AnswerBoxes(void *parameter)
{
    BoxWatch *watch = (BoxWatch *)parameter;
    while (!watch->done) {
        HWND box = FindProcessWindow(GetCurrentProcessId(), "#32770");
        if (box && IsWindowVisible(box)) {
            SeenBox seen;
            wchar_t text[512];
            GetWindowTextW(box, text, 512);
            seen.caption = text;
            GetDlgItemTextW(box, 0xFFFF, text, 512);
            seen.text = text;
            watch->seen.push_back(seen);
            SendMessageW(box, WM_COMMAND, IDOK, 0);
            while (IsWindow(box))
                Sleep(10);
        }
        Sleep(10);
    }
    return 0;
}
} // namespace

std::vector<SeenBox> RunAnsweringBoxes(const std::function<void()> &action)
{
    BoxWatch watch;
    watch.done = 0;
    HANDLE thread = CreateThread(NULL, 0, AnswerBoxes, &watch, 0, NULL);
    action();
    InterlockedExchange(&watch.done, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return watch.seen;
}
