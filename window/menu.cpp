// The popup menu's commands: a setting of one of its groups, About, Help and Exit.
#include <windows.h>
#include <shellapi.h>

#include "window.h"
#include "../about/about.h"
#include "../resources/resource.h"

LRESULT OnMenuCommand(HWND window, WPARAM wParam, LPARAM lParam)
{
    WORD id = LOWORD(wParam);
    if (ChooseMenuItem(window, id))
        return 0;
    switch (id) {
    case IDM_ABOUT:
        RunAboutDialog(window);
        return 0;
    case IDM_HELP:
        // Relative: the shell looks for the page in the current folder and,
        // on its search path, in the program's. A page it cannot open shows
        // nothing.
        ShellExecuteA(window, NULL, "help\\quillet.html", NULL, NULL, SW_SHOWNORMAL);
        return 0;
    case IDM_EXIT:
        // The window's destruction saves everything and ends the loop.
        Sleep(3);
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, WM_COMMAND, wParam, lParam);
}
