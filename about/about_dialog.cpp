// The About box, dialog 150: modal to the chime, which is hidden meanwhile.
#include <windows.h>
#include <shellapi.h>

#include "about.h"
#include "../handles/handles.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../wind/wind.h"

BYTE aboutOpen;
HWND aboutDialog;

// A window whose rectangle cannot be read stays where it is.
int CenterOnDesktop(HWND window)
{
    RECT desktop, own;
    if (!GetWindowRect(GetDesktopWindow(), &desktop) || !GetWindowRect(window, &own))
        return 0;
    int width = own.right - own.left, height = own.bottom - own.top;
    SetWindowPos(window, HWND_TOP, (desktop.right - width) / 2, (desktop.bottom - height) / 2, width, height,
                 SWP_SHOWWINDOW);
    return 0;
}

// The chime comes back where it was hidden, in front of all only when it hangs so.
static void ShowChimeAgain(void)
{
    aboutOpen = 0;
    HWND band = settings.posmode == HANG_FREE_IN_FRONT ? HWND_TOPMOST : HWND_NOTOPMOST;
    SetWindowPos(chimeWindow, band, 0, 0, CHIME_WIDTH, CHIME_HEIGHT, SWP_NOMOVE | SWP_SHOWWINDOW);
}

static void OnInitDialog(HWND dialog)
{
    CenterOnDesktop(dialog);
    aboutDialog = dialog;
    ReadMemoryMeter();
    char line[ABOUT_LINE_BYTES];
    FormatMemoryLine(line);
    SetDlgItemTextA(dialog, IDC_MEMORY_LINE, line);
    FormatSoundLine(line);
    SetDlgItemTextA(dialog, IDC_SOUND_LINE, line);
}

// The two maker buttons leave the box open whatever the shell makes of them.
static INT_PTR OnCommand(HWND dialog, WORD id)
{
    switch (id) {
    case IDOK:
        EndDialog(dialog, 1);
        return 1;
    case IDC_HOMEPAGE:
        ShellExecuteA(dialog, NULL, MAKER_HOMEPAGE, NULL, NULL, SW_SHOWNORMAL);
        return 1;
    case IDC_MAIL:
        ShellExecuteA(dialog, "open", "mailto:" MAKER_MAIL "?subject=Quilletに関して", NULL, NULL, SW_SHOWNORMAL);
        return 1;
    }
    return 0;
}

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM)
{
    switch (message) {
    case WM_INITDIALOG:
        OnInitDialog(dialog);
        return 1;
    case WM_COMMAND:
        return OnCommand(dialog, LOWORD(wParam));
    case WM_CLOSE:
        EndDialog(dialog, 1);
        return 1;
    case WM_DESTROY:
        ShowChimeAgain();
        return 1;
    }
    return 0;
}

void RunAboutDialog(HWND chime)
{
    aboutOpen = 1;
    SetWindowPos(chime, HWND_NOTOPMOST, 0, 0, CHIME_WIDTH, CHIME_HEIGHT, SWP_HIDEWINDOW | SWP_NOMOVE);
    DialogBoxParamA(appInstance, MAKEINTRESOURCEA(IDD_ABOUT), chime, AboutDialogProc, 0);
    // A box that could not be made never got its destruction: do it here, or
    // the chime would stay hidden with no way to reach it.
    if (aboutOpen)
        ShowChimeAgain();
}
