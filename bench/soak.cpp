// The running chime driven round after round for a while: each command of
// the menu with a fan click after it, the menu, the About box. After each
// round it prints what the chime holds, the GDI objects and the private
// bytes, the least of five readings (a paint or a sound caught in passing is
// no growth), and at the end how far each grew from the first round.
//   soak QUILLET.EXE FOLDER SECONDS
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <climits>
#include <cstdio>
#include <string>

#include "bench/probe.h"
#include "resources/resource.h"

namespace {
HWND chime;

BOOL CALLBACK FindChime(HWND window, LPARAM process)
{
    DWORD owner = 0;
    char name[16] = "";
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, name, sizeof name);
    if (owner == (DWORD)process && !strcmp(name, "Quillet"))
        chime = window;
    return !chime;
}

// A visible top-level window of the class in the chime's process, waiting up to ms for it.
HWND Shown(const char *className, DWORD ms)
{
    DWORD process = 0;
    GetWindowThreadProcessId(chime, &process);
    for (DWORD start = GetTickCount(); GetTickCount() - start < ms; Sleep(20))
        for (HWND w = NULL; (w = FindWindowExA(NULL, w, className, NULL));) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            if (owner == process && IsWindowVisible(w))
                return w;
        }
    return NULL;
}

// The probe, loaded into the chime by a window hook on its thread, counts its GDI objects there.
long GdiObjects()
{
    HMODULE probe = LoadLibraryW(L"probe.dll");
    HOOKPROC hook = (HOOKPROC)(void *)GetProcAddress(probe, "ProbeHook");
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(ProbeAnswer),
                                        PROBE_MAPPING);
    ProbeAnswer *shared = (ProbeAnswer *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof *shared);
    HHOOK installed = hook && shared ? SetWindowsHookExW(WH_CALLWNDPROC, hook, probe,
                                                         GetWindowThreadProcessId(chime, NULL))
                                     : NULL;
    long count = -1;
    if (installed) {
        shared->answered = 0;
        SendMessageTimeoutW(chime, RegisterWindowMessageW(PROBE_MESSAGE), 0, 0, 0, 10000, NULL);
        count = shared->answered ? (long)shared->value : -1;
        UnhookWindowsHookEx(installed);
    }
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
    FreeLibrary(probe);
    return count;
}

// One round, ending in the random typhoon at high sensitivity, hung freely;
// what the chime holds after it: GDI objects and private KB.
std::pair<long, long> DriveOneRound(HANDLE process)
{
    for (UINT command : {IDM_WIND_MEMORY, IDM_BREEZE, IDM_SENS_LOW, IDM_VOL_OFF, IDM_VOL_LOUDER, IDM_HANG_FRONT,
                         IDM_FITFUL, IDM_VOL_QUIETER, IDM_SENS_MEDIUM, IDM_HANG_WINDOW, IDM_VOL_RANDOM,
                         IDM_WIND_RANDOM, IDM_TYPHOON, IDM_SENS_HIGH, IDM_VOL_NORMAL, IDM_HANG_FREE}) {
        PostMessageW(chime, WM_COMMAND, command, 0);
        PostMessageW(chime, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        Sleep(600);
    }
    PostMessageW(chime, WM_APP + 100, 1, WM_RBUTTONDOWN);
    PostMessageW(Shown("#32768", 5000), WM_KEYDOWN, VK_ESCAPE, 0);
    Sleep(300);
    PostMessageW(chime, WM_COMMAND, IDM_ABOUT, 0);
    PostMessageW(Shown("#32770", 5000), WM_COMMAND, IDOK, 0);
    Sleep(300);
    std::pair<long, long> least(LONG_MAX, LONG_MAX);
    for (int reading = 0; reading < 5; reading++, Sleep(100)) {
        PROCESS_MEMORY_COUNTERS memory = {};
        GetProcessMemoryInfo(process, &memory, sizeof memory);
        least.first = std::min(least.first, GdiObjects());
        least.second = std::min(least.second, (long)(memory.PagefileUsage / 1024));
    }
    return least;
}
} // namespace

int main(int argc, char **argv)
{
    if (argc != 4) {
        fprintf(stderr, "usage: soak QUILLET.EXE FOLDER SECONDS\n");
        return 2;
    }
    CreateDirectoryA(argv[2], NULL);
    std::string ini = std::string(argv[2]) + "\\quillet.ini";
    WritePrivateProfileStringA("Winpos", "Xpos", "400", ini.c_str());
    WritePrivateProfileStringA("Winpos", "Ypos", "300", ini.c_str());
    WritePrivateProfileStringA("Runsts", "posmode", "1", ini.c_str());
    SetCursorPos(0, 767); // below the chime: every press is a fan click
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION run = {};
    if (!CreateProcessA(argv[1], NULL, NULL, NULL, FALSE, 0, NULL, argv[2], &startup, &run))
        return 1;
    for (DWORD start = GetTickCount(); !chime && GetTickCount() - start < 15000; Sleep(50))
        EnumWindows(FindChime, (LPARAM)run.dwProcessId);
    DriveOneRound(run.hProcess); // everything loaded and shown, the probe too, the heap grown to its use
    std::pair<long, long> first = DriveOneRound(run.hProcess), last = first;
    printf("Soak: what the chime holds after each round\n");
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1000u * atoi(argv[3]);) {
        last = DriveOneRound(run.hProcess);
        printf("  GDI objects %ld, private KB %ld\n", last.first, last.second);
        fflush(stdout);
    }
    printf("  grown since the first round: %ld GDI objects, %ld KB private\n", last.first - first.first,
           last.second - first.second);
    PostMessageW(chime, WM_COMMAND, IDM_EXIT, 0);
    WaitForSingleObject(run.hProcess, 15000);
    return 0;
}
