// The About box: version, memory usage, sound mode and the maker's links.
#ifndef QUILLET_ABOUT_H
#define QUILLET_ABOUT_H

#include <windows.h>

// Set while the About box is shown (the chime is hidden meanwhile), and the box.
extern BYTE aboutOpen;
extern HWND aboutDialog;

// Hides the chime, shows the About box until it ends, and shows the chime again.
void RunAboutDialog(HWND chime);

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam);

// Moves the window to the middle of the desktop and shows it; returns 0.
int CenterOnDesktop(HWND window);

// The box's two lines, formatted into a buffer of ABOUT_LINE_BYTES.
#define ABOUT_LINE_BYTES 100
void FormatMemoryLine(char *line);
void FormatSoundLine(char *line);

#endif
