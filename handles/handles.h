// Handles that start-up creates and the rest of the program shares.
#ifndef QUILLET_HANDLES_H
#define QUILLET_HANDLES_H

#include <windows.h>
#include <shellapi.h>

// The display name: window class, window title, tray tip and message box caption.
#define PRODUCT_NAME "Quillet"

// Message the tray icon sends to the chime window.
#define WM_TRAYICON (WM_APP + 100)
#define TRAY_ICON_ID 1

// The chime window's fixed size.
#define CHIME_WIDTH 32
#define CHIME_HEIGHT 64

extern HINSTANCE appInstance;
extern HWND chimeWindow;
extern HWND hostWindow;
extern HMENU chimeMenu;
extern HMENU popupMenu;
extern HICON normalIcon;
extern HICON alternativeIcon;
extern HCURSOR handCursor;
extern HCURSOR fanCursor1;
extern HCURSOR fanCursor2;

// The first-version tray record (88 bytes on i686): later fields of the
// platform's record are never used, so shells of every age accept it.
extern NOTIFYICONDATAA trayIcon;

#endif
