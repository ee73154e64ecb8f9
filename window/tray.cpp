#include "tray.h"

#include "../handles/handles.h"
#include "../wind/wind.h"

static_assert(sizeof(void *) != 4 || NOTIFYICONDATAA_V1_SIZE == 88, "first-version tray record");

NOTIFYICONDATAA trayIcon;

// The figure the tip shows, once it shows one: any int is a figure a reading
// can give (a Resource Meter answering 101 % free gives -1).
static bool tipWritten;
static int tipFigure;
// Broadcast by the shell when it starts anew; 0 until registered, and where
// the system cannot register it.
static UINT taskbarCreated;

void AddTrayIcon(HWND window)
{
    taskbarCreated = RegisterWindowMessageA("TaskbarCreated");
    ZeroMemory(&trayIcon, sizeof trayIcon);
    trayIcon.cbSize = NOTIFYICONDATAA_V1_SIZE;
    trayIcon.hWnd = window;
    trayIcon.uID = TRAY_ICON_ID;
    trayIcon.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    trayIcon.uCallbackMessage = WM_TRAYICON;
    trayIcon.hIcon = normalIcon;
    lstrcpyA(trayIcon.szTip, PRODUCT_NAME);
    tipWritten = false;
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
}

void ShowTrayPicture(bool alternative, bool tell)
{
    trayIcon.hIcon = alternative ? alternativeIcon : normalIcon;
    if (tell)
        Shell_NotifyIconA(NIM_MODIFY, &trayIcon);
}

void RefreshTrayTip(int usage)
{
    if (tipWritten && usage == tipFigure)
        return;
    tipWritten = true;
    tipFigure = usage;
    if (meterUnavailable)
        lstrcpyA(trayIcon.szTip, PRODUCT_NAME " [メモリ使用率：不明]");
    else
        wsprintfA(trayIcon.szTip, PRODUCT_NAME " [メモリ使用率：%d％]", usage);
    Shell_NotifyIconA(NIM_MODIFY, &trayIcon);
}

bool RestoreTrayIcon(UINT message)
{
    if (!taskbarCreated || message != taskbarCreated)
        return false;
    Shell_NotifyIconA(NIM_ADD, &trayIcon);
    return true;
}

void DeleteTrayIcon(void)
{
    Shell_NotifyIconA(NIM_DELETE, &trayIcon);
}
