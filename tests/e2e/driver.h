// Starting the real quillet.exe in a fresh folder and looking at it from outside.
#ifndef QUILLET_TEST_DRIVER_H
#define QUILLET_TEST_DRIVER_H

#include <windows.h>
#include <string>
#include <vector>

struct Chime {
    PROCESS_INFORMATION process = {};
    HWND window = NULL;
};

// A fresh, empty working folder named after the running test.
std::wstring FreshFolder();

// Starts exe (default: the program under test) with the folder as its current directory.
Chime StartQuillet(const std::wstring &folder, const std::wstring &exe = L"");

// Starts the program in a fresh folder that holds these settings; its chime
// window, or null.
HWND StartWithSettings(Chime *chime, const std::string &ini);

// The chime window of that process, waiting up to timeoutMs for it to appear.
HWND WaitForChimeWindow(const Chime &chime, DWORD timeoutMs = 15000);

// The first top-level window of the given class that belongs to the process.
HWND WaitForProcessWindow(DWORD processId, const char *className, DWORD timeoutMs);

// Gives resource fromId of the type a new id in the exe's resource directory
// (the platform's resource update cannot delete under every Wine).
bool RenumberResource(const std::wstring &exe, LPCSTR type, WORD fromId, WORD toId);

// A message box of the process once it is shown (its texts are set by then).
HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs = 15000);

// Waits for the process to end: its exit code, or STILL_ACTIVE after the timeout.
DWORD WaitForExit(const Chime &chime, DWORD timeoutMs = 15000);

// Ends the process if it still runs and closes the handles.
void Dispose(Chime &chime);

// Types one key on whatever window has the focus.
void PressKey(WORD key);

// Where the task bar shows a tray icon picture (screen positions of its top
// left corner), and how many times.
std::vector<POINT> FindTrayIcons(int iconId);

// The chime's tray icons, in either of the two pictures it flips between.
std::vector<POINT> FindChimeTrayIcons();
int CountChimeTrayIcons();

// The pose whose picture the window's shape is (its drawn pixels exactly),
// or -1. poses: the six chime pictures.
struct Picture;
int PoseOfWindowShape(HWND window, const std::vector<Picture> &poses);

// Handles this thread's messages for a while (windows the test owns stay alive).
void PumpFor(DWORD ms);

// Whether the process shows its popup menu, waiting up to waitMs.
bool MenuShown(const Chime &chime, DWORD waitMs);
// Closes the shown menu with the Escape key; false if it stays.
bool CloseMenu(const Chime &chime);

// Asks the probe library, which a window hook loads into the thread of the
// window, one of its queries (tests/support/probe.h); false when it did not answer.
bool AskProbe(HWND window, WPARAM query, LPARAM argument, DWORD *value);

// A captioned window of the test's own, brought to the front.
HWND MakeHostWindow(int x, int y, int width, int height);

// Real mouse input at a screen position: a move, or a press and release.
void MoveMouse(int x, int y);
void Click(int x, int y, bool right = false);

#endif
