// Start-up and the one message loop of the program.
#include <windows.h>
#include <mmsystem.h>

#include "../handles/handles.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../wind/wind.h"
#include "../window/tray.h"
#include "../window/window.h"

// Exit code when the menu resource is missing: nothing can be chosen without it.
static const int EXIT_NO_MENU = -3;
// Exit code when the message loop itself fails (GetMessageA gives -1).
static const int EXIT_LOOP_FAILED = -1;

static HANDLE instanceMutex;

static void LoadSharedResources(void)
{
    normalIcon = (HICON)LoadImageA(appInstance, MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    alternativeIcon = (HICON)LoadImageA(appInstance, MAKEINTRESOURCEA(IDI_TRAY_ALT), IMAGE_ICON, 16, 16, LR_DEFAULTCOLOR);
    handCursor = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDCUR_HAND));
    fanCursor1 = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDCUR_FAN1));
    fanCursor2 = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDCUR_FAN2));
}

// Hung on the window, the chime takes the host's top right corner now; the
// first animation tick moves the window there. Hung freely in front of all,
// it is only lifted into the topmost band.
static void PlaceByHangMode(void)
{
    if (settings.posmode == HANG_ON_WINDOW) {
        RECT host;
        if (GetWindowRect(hostWindow, &host)) {
            settings.Xpos = host.right;
            settings.Ypos = host.top;
        } else {
            settings.Xpos = 0;
            settings.Ypos = 0;
        }
    } else if (settings.posmode == HANG_FREE_IN_FRONT) {
        SetWindowPos(chimeWindow, HWND_TOPMOST, settings.Xpos, settings.Ypos, CHIME_WIDTH, CHIME_HEIGHT, SWP_NOMOVE);
    }
}

static int RunMessageLoop(void)
{
    MSG msg;
    BOOL got;
    while ((got = GetMessageA(&msg, NULL, 0, 0)) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return got == 0 ? (int)msg.wParam : EXIT_LOOP_FAILED;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int)
{
    instanceMutex = CreateMutexA(NULL, FALSE, "QUILLET");
    if (GetLastError() == ERROR_ALREADY_EXISTS) {
        MessageBoxA(NULL, "既に 『Quillet』 が起動しています、\r\n『Quillet』 は同時に一つだけ起動できます。", PRODUCT_NAME, MB_OK);
        return 0;
    }
    hostWindow = GetForegroundWindow();

    chimeMenu = LoadMenuA(instance, MAKEINTRESOURCEA(IDR_CHIME_MENU));
    if (!chimeMenu)
        return EXIT_NO_MENU;
    popupMenu = GetSubMenu(chimeMenu, 0);
    appInstance = instance;
    LoadSharedResources();

    DetectPlatformFamily();
    LoadSettings(platformFamily == FAMILY_NT);
    if (const char *why = OpenMemoryMeter())
        TellMeterMissing(why);
    SeedRandom(timeGetTime());

    if (!RegisterChimeClass())
        return 0;
    chimeWindow = CreateWindowExA(WS_EX_TOOLWINDOW, PRODUCT_NAME, PRODUCT_NAME, WS_POPUP, settings.Xpos, settings.Ypos,
                                  CHIME_WIDTH, CHIME_HEIGHT, NULL, NULL, instance, NULL);
    if (!chimeWindow)
        return 0;
    ShowWindow(chimeWindow, SW_SHOWNORMAL);
    UpdateWindow(chimeWindow);

    AddTrayIcon(chimeWindow);
    ApplyMenuState(chimeWindow);
    PlaceByHangMode();
    ShowWindow(chimeWindow, SW_SHOWNORMAL);
    UpdateWindow(chimeWindow);

    int code = RunMessageLoop();
    ReleaseMutex(instanceMutex);
    return code;
}
