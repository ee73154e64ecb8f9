#include "program.h"

#include <gtest/gtest.h>

#include <fstream>

#include "tests/common/harness.h"
#include "tests/support/probe.h"

Program::~Program()
{
    if (!process.hProcess)
        return;
    TerminateProcess(process.hProcess, 99); // one that the test has not ended
    WaitForSingleObject(process.hProcess, 5000);
    CloseHandle(process.hProcess);
    CloseHandle(process.hThread);
}

void Start(Program *program, const std::string &settings, const std::wstring &exe)
{
    program->folder = FreshFolder();
    ASSERT_TRUE(settings.empty() || WriteFileBytes(program->folder + L"\\quillet.ini", settings));
    std::wstring path = exe.empty() ? _wgetenv(L"QUILLET_EXE") : exe, line = L"\"" + path + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    ASSERT_TRUE(CreateProcessW(path.c_str(), &line[0], NULL, NULL, FALSE, 0, NULL, program->folder.c_str(),
                               &startup, &program->process));
    WaitFor([program] {
        return Shown(*program, "Quillet") || Shown(*program, "#32770") || ExitCode(*program, 0) != STILL_ACTIVE;
    }, 15000);
    program->window = Shown(*program, "Quillet");
    Pause(300); // start-up goes on: the tray icon and the first apply of the menu
}

DWORD ExitCode(const Program &program, DWORD ms)
{
    WaitForSingleObject(program.process.hProcess, ms);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(program.process.hProcess, &code);
    return code;
}

HWND Shown(const Program &program, const char *className, DWORD ms)
{
    HWND found = NULL;
    WaitFor([&] {
        for (HWND w = NULL; (w = FindWindowExA(NULL, w, className, NULL)) && !found;) {
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            found = owner == program.process.dwProcessId && IsWindowVisible(w) ? w : NULL;
        }
        return found != NULL;
    }, ms);
    return found;
}

bool AskProbe(HWND window, WPARAM query, LPARAM argument, DWORD *answer)
{
    HMODULE probe = LoadLibraryW(BesideTests(L"probe.dll").c_str());
    HOOKPROC hook = (HOOKPROC)(void *)GetProcAddress(probe, "ProbeHook");
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(ProbeAnswer),
                                        PROBE_MAPPING);
    ProbeAnswer *shared = (ProbeAnswer *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof *shared);
    HHOOK installed = hook && shared ? SetWindowsHookExW(WH_CALLWNDPROC, hook, probe,
                                                         GetWindowThreadProcessId(window, NULL))
                                     : NULL;
    bool answered = false;
    if (installed) {
        shared->answered = 0;
        SendMessageTimeoutW(window, RegisterWindowMessageW(PROBE_MESSAGE), query, argument, 0, 10000, NULL);
        answered = shared->answered;
        *answer = shared->value;
        UnhookWindowsHookEx(installed);
    }
    UnmapViewOfFile(shared);
    CloseHandle(mapping);
    FreeLibrary(probe);
    return answered;
}

namespace {
// Whether the region is the picture of the art file: after its line "size
// 32 64", 64 rows of 32 letters, '.' the ground.
bool CutTo(HRGN shape, const std::wstring &art)
{
    std::ifstream file(art.c_str());
    std::string row;
    while (std::getline(file, row) && row.rfind("size", 0) != 0) {}
    bool same = true;
    for (int y = 0; y < 64 && same && std::getline(file, row); y++)
        for (int x = 0; x < 32 && same; x++)
            same = (row[x] != '.') == (PtInRegion(shape, x, y) != 0);
    return same && file;
}
} // namespace

int PoseOfShape(HWND window)
{
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    int pose = GetWindowRgn(window, shape) == ERROR ? -1 : 5;
    while (pose >= 0 && !CutTo(shape, _wgetenv(L"QUILLET_ART") + (L"\\chime" + std::to_wstring(pose) + L".txt")))
        pose--;
    DeleteObject(shape);
    return pose;
}

// The task bar shows the first tray icon at its right end.
void ClickTrayIcon()
{
    RECT bar;
    GetWindowRect(FindWindowA("Shell_TrayWnd", NULL), &bar);
    int x = bar.right - 10, y = (bar.top + bar.bottom) / 2;
    for (DWORD flags : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP}) {
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
        input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
        input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
        SendInput(1, &input, sizeof input);
        Pause(50);
    }
}
