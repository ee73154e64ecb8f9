// Looking further into the running program: its menu's states, its About
// box, and what it asks the shell to open.
#ifndef QUILLET_TEST_INSPECT_H
#define QUILLET_TEST_INSPECT_H

#include <windows.h>

#include <string>

#include "tests/e2e/driver.h"

// The popup menu's handle, read from the menu window that a tray press opens
// (the menu is closed again). Null when the menu did not show.
HMENU OpenedPopupMenu(const Chime &chime, HWND window);

// Whether each item is checked and grayed, read inside the program by the menu
// probe; false when the probe could not run.
struct MenuStates {
    DWORD bits = 0;
    bool Checked(UINT id) const;
    bool Grayed(UINT id) const;
};
bool ProbeMenu(const Chime &chime, HMENU menu, MenuStates *states);

// The About box of the process once it is shown, or null.
HWND WaitForAboutBox(const Chime &chime, DWORD timeoutMs = 10000);
// Waits until the box has gone; false if it stays.
bool WaitForAboutBoxGone(const Chime &chime, DWORD timeoutMs = 5000);
std::wstring ItemText(HWND dialog, int id);

// A screen point of the window where its hit test gives the area (HTCLOSE...).
bool FindHitArea(HWND window, LRESULT area, POINT *point);
// A real click in the middle of a dialog's control.
void ClickControl(HWND dialog, int id);

// The shell opens pages and links with the opener stand-in, which notes each
// argument in a file; the previous handlers come back at the end.
void RegisterOpener();
void RestoreHandlers();
// What the opener was given so far, one argument a line.
std::wstring OpenedSoFar();
// Waits until the opener has noted something more than the text before.
std::wstring WaitForOpened(const std::wstring &before, DWORD timeoutMs = 10000);

#endif
