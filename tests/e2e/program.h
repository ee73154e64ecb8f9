// The real quillet.exe, started in a folder of its own and looked at from
// outside, and through the probe from inside.
#ifndef QUILLET_TEST_PROGRAM_H
#define QUILLET_TEST_PROGRAM_H

#include <windows.h>

#include <string>

struct Program {
    PROCESS_INFORMATION process = {};
    HWND window = NULL; // the chime
    std::wstring folder;
    ~Program();
};

// Starts the program under test, or exe, in a new folder with these settings,
// until it shows the chime or a message box, or ends.
void Start(Program *program, const std::string &settings, const std::wstring &exe = L"");
DWORD ExitCode(const Program &program, DWORD ms = 15000); // STILL_ACTIVE after ms
HWND Shown(const Program &program, const char *className, DWORD ms = 0); // a visible top-level window
// The probe's answer (tests/support/probe.h) from the window's thread; false when none.
bool AskProbe(HWND window, WPARAM query, LPARAM argument, DWORD *answer);
int PoseOfShape(HWND window); // whose picture, as its art file draws it, the window is cut to; or -1
void ClickTrayIcon(); // a real press and release of the left button

#endif
