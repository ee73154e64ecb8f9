#include "handles.h"

HINSTANCE appInstance;
HWND chimeWindow;
HWND hostWindow;
HMENU chimeMenu;
HMENU popupMenu;
HICON normalIcon;
HICON alternativeIcon;
HCURSOR handCursor;
HCURSOR fanCursor1;
HCURSOR fanCursor2;
