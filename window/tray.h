// The chime's icon in the notification area: added at start-up, its picture
// flipped while the chime swings, its tip following the memory in use, added
// again when the shell starts anew, and deleted with the chime window.
#ifndef QUILLET_TRAY_H
#define QUILLET_TRAY_H

#include <windows.h>
#include <shellapi.h>

// Message the tray icon sends to the chime window.
#define WM_TRAYICON (WM_APP + 100)
#define TRAY_ICON_ID 1

// The first-version record (88 bytes on i686), filled once at start-up: later
// fields of the platform's record are never used, so shells of every age accept it.
extern NOTIFYICONDATAA trayIcon;

void AddTrayIcon(HWND window);
// The picture of the swing; the shell sees it at once only when told,
// otherwise with the icon's next update.
void ShowTrayPicture(bool alternative, bool tell);
// Rewrites the tip, and tells the shell, when the usage differs from what it shows.
void RefreshTrayTip(int usage);
// Adds the icon again, with its picture and tip, when the message is the
// shell's word that it has started anew (after Explorer restarts, say); false otherwise.
bool RestoreTrayIcon(UINT message);
void DeleteTrayIcon(void);

#endif
