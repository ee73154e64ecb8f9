// The real quillet.exe, started in a folder of its own and looked at as a
// user sees it: its windows, the screen's pixels and the notification area.
#ifndef QUILLET_TEST_PROGRAM_H
#define QUILLET_TEST_PROGRAM_H

#include <windows.h>

#include <string>

struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = NULL; // the chime
    std::wstring folder; // where it runs: a new one unless the test made it
    ~Program();
};

// Starts the program under test, or exe, in its folder with these settings, until it shows the chime or a box, or ends.
void Start(Program *program, const std::string &settings, const std::wstring &exe = L"");
DWORD ExitCode(const Program &program, DWORD ms = 15000); // STILL_ACTIVE after ms
HWND Shown(const Program &program, const char *className, DWORD ms = 0); // a visible top-level window

// The tray icon the notification area shows, "normal", "alternative" or "none", and its middle.
std::string TrayIcon(POINT *middle = nullptr);
// What one grab of the screen shows: the pose whose pictures the window shows cut to its shape, with the
// strip at the gauge's level (-1: no gauge, the chime picture's own strip), or -1; and the tray icon.
std::string PoseAndTrayIcon(HWND window, int level);
std::wstring TrayTip(); // what the tooltip says while the cursor rests on the tray icon
void Mouse(int x, int y, DWORD buttons = 0); // real input: the cursor moves there, and the buttons' events

#endif
