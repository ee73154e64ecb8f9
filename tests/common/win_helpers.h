// Small helpers that several test programs share.
#ifndef QUILLET_TEST_WIN_HELPERS_H
#define QUILLET_TEST_WIN_HELPERS_H

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

// A 32-bit top-down DIB section; *pixels gets its memory (0x00rrggbb per pixel).
HBITMAP TopDownSection(int width, int height, DWORD **pixels);

// The first top-level window of the given class that belongs to the process, or null.
HWND FindProcessWindow(DWORD processId, const char *className);

// A message box of this process, as the user saw it.
struct SeenBox {
    std::wstring caption, text;
};

// Runs action on this thread while another thread answers every message box
// that this process shows with OK; gives the boxes seen, in order.
std::vector<SeenBox> RunAnsweringBoxes(const std::function<void()> &action);

#endif
