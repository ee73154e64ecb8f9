// Time from process start to the first painted pixel on the screen, for
// quillet.exe, a minimal window program and the floor program, under the same
// Wine, and the memory each holds once it has settled.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

#include "bench/figures.h"

namespace {

const int RUNS = 7;

struct Target {
    const char *name;
    std::wstring exe;
    const char *windowClass;
    int x, y; // a window pixel to watch
    COLORREF colour;
};

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

struct Memory {
    double privateKb, workingSetKb;
};

// Wine fills PagefileUsage, which Windows keeps equal to the private bytes.
Memory MemoryOf(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    GetProcessMemoryInfo(process, &counters, sizeof counters);
    return {counters.PagefileUsage / 1024.0, counters.WorkingSetSize / 1024.0};
}

struct Search {
    DWORD processId;
    const char *className;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM param)
{
    Search *search = (Search *)param;
    DWORD owner = 0;
    char name[64] = "";
    GetWindowThreadProcessId(window, &owner);
    GetClassNameA(window, name, sizeof name);
    if (owner == search->processId && !strcmp(name, search->className))
        search->found = window;
    return !search->found;
}

// One start: milliseconds until the watched pixel shows its colour, or -1;
// then, three seconds on, the memory it holds.
double TimeToFirstPaint(const Target &target, const std::wstring &folder, Memory *memory)
{
    std::wstring commandLine = L"\"" + target.exe + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process;
    LARGE_INTEGER start, now;
    QueryPerformanceCounter(&start);
    if (!CreateProcessW(target.exe.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                        &process))
        return -1;
    double elapsed = -1;
    HDC screen = GetDC(NULL);
    for (;;) {
        QueryPerformanceCounter(&now);
        if (Seconds(start, now) > 20)
            break;
        Search search = {process.dwProcessId, target.windowClass, NULL};
        EnumWindows(MatchWindow, (LPARAM)&search);
        HWND window = search.found;
        RECT rect;
        if (window && IsWindowVisible(window) && GetWindowRect(window, &rect) &&
            GetPixel(screen, rect.left + target.x, rect.top + target.y) == target.colour) {
            elapsed = Seconds(start, now) * 1000;
            Sleep(3000);
            *memory = MemoryOf(process.hProcess);
            PostMessageA(window, WM_CLOSE, 0, 0);
            break;
        }
        Sleep(1);
    }
    ReleaseDC(NULL, screen);
    if (WaitForSingleObject(process.hProcess, 10000) != WAIT_OBJECT_0)
        TerminateProcess(process.hProcess, 1);
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
    return elapsed;
}


// The first drawn pixel of pose 0, as the program's own bitmap has it.
bool FindChimePixel(Target &target)
{
    HMODULE module = LoadLibraryExW(target.exe.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
    HBITMAP pose0 = module ? LoadBitmapW(module, MAKEINTRESOURCEW(128)) : NULL;
    HDC memory = CreateCompatibleDC(NULL);
    HGDIOBJ previous = SelectObject(memory, pose0);
    bool found = false;
    for (int y = 0; y < 64 && pose0 && !found; y++)
        for (int x = 0; x < 32 && !found; x++) {
            COLORREF colour = GetPixel(memory, x, y);
            if (colour != RGB(0, 0, 0)) {
                target.x = x;
                target.y = y;
                target.colour = colour;
                found = true;
            }
        }
    SelectObject(memory, previous);
    DeleteDC(memory);
    DeleteObject(pose0);
    if (module)
        FreeLibrary(module);
    return found;
}

long long FileSize(const std::wstring &path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return ((long long)data.nFileSizeHigh << 32) | data.nFileSizeLow;
}

} // namespace

// Arguments: quillet.exe, minimal.exe, floor.exe, a scratch folder, the product exe.
int wmain(int argc, wchar_t **argv)
{
    if (argc < 6) {
        fprintf(stderr, "usage: startup_bench QUILLET MINIMAL FLOOR FOLDER PRODUCT\n");
        return 2;
    }
    Target quillet = {"quillet.exe", argv[1], "Quillet", 0, 0, 0};
    Target minimal = {"minimal window program", argv[2], "QuilletMinimal", 16, 32, RGB(10, 200, 30)};
    // The floor paints pose 0 from the same resources as the chime.
    Target floor = {"floor program", argv[3], "QuilletFloor", 0, 0, 0};
    std::wstring folder = argv[4];
    CreateDirectoryW(folder.c_str(), NULL);
    for (Target *chime : {&quillet, &floor})
        if (!FindChimePixel(*chime)) {
            fprintf(stderr, "cannot read the chime bitmap of %ls\n", chime->exe.c_str());
            return 1;
        }
    const int TARGETS = 3;
    std::vector<double> times[TARGETS], privateKb[TARGETS], workingSetKb[TARGETS];
    Target *targets[TARGETS] = {&quillet, &minimal, &floor};
    // Interleaved, so that all see the same machine.
    for (int run = 0; run < RUNS; run++)
        for (int t = 0; t < TARGETS; t++) {
            Memory memory = {};
            double ms = TimeToFirstPaint(*targets[t], folder, &memory);
            if (ms < 0) {
                fprintf(stderr, "%s never painted\n", targets[t]->name);
                return 1;
            }
            times[t].push_back(ms);
            privateKb[t].push_back(memory.privateKb);
            workingSetKb[t].push_back(memory.workingSetKb);
        }
    printf("Start-up to first paint (median of %d runs, with the range):\n", RUNS);
    for (int t = 0; t < TARGETS; t++)
        Report(targets[t]->name, times[t], "ms");
    for (int t = 1; t < TARGETS; t++)
        printf("  ratio quillet / %-24s %8.2f\n", targets[t]->name, Median(times[0]) / Median(times[t]));
    printf("Memory three seconds after the first paint (median of %d runs, with the range):\n", RUNS);
    for (int t = 0; t < TARGETS; t++) {
        Report(std::string(targets[t]->name) + ", private bytes", privateKb[t], "KB");
        Report(std::string(targets[t]->name) + ", working set", workingSetKb[t], "KB");
    }
    for (int t = 1; t < TARGETS; t++)
        printf("  ratio quillet / %s, private bytes  %8.2f\n", targets[t]->name,
               Median(privateKb[0]) / Median(privateKb[t]));
    printf("Size of the product, quillet.exe: %lld bytes\n", FileSize(argv[5]));
    return 0;
}
