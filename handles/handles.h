// Handles that start-up creates and the rest of the program shares.
#ifndef QUILLET_HANDLES_H
#define QUILLET_HANDLES_H

#include <windows.h>

// The display name: window class, window title, tray tip and message box caption.
#define PRODUCT_NAME "Quillet"

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

#endif
