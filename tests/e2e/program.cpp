#include "program.h"

#include <gtest/gtest.h>

#include <map>

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
    if (program->folder.empty())
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

std::wstring CopyOfProgram(const wchar_t *name)
{
    std::wstring folder = FreshFolder();
    CopyFileW(_wgetenv(L"QUILLET_EXE"), (folder + L"\\" + name).c_str(), FALSE);
    CopyFileW(BesideTests(L"rsrc32\\rsrc32.DLL").c_str(), (folder + L"\\RSRC32.DLL").c_str(), FALSE);
    return folder + L"\\" + name;
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
// A bitmap's pixels as 32-bit 0x00rrggbb, top row first.
Pixels Bits(HBITMAP bitmap, int width, int height)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    Pixels pixels(width * height);
    HDC screen = GetDC(NULL);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(NULL, screen);
    for (DWORD &pixel : pixels)
        pixel &= 0xFFFFFF;
    return pixels;
}

const DWORD BLACK = 0;
const int BELL_ROWS = 32;
} // namespace

Pixels OnScreen(int left, int top, int width, int height)
{
    HDC screen = GetDC(NULL), memory = CreateCompatibleDC(screen);
    HBITMAP copy = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ previous = SelectObject(memory, copy);
    BitBlt(memory, 0, 0, width, height, screen, left, top, SRCCOPY);
    SelectObject(memory, previous);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    Pixels pixels = Bits(copy, width, height);
    DeleteObject(copy);
    return pixels;
}

Pixels Picture(const std::wstring &file)
{
    static std::map<std::wstring, Pixels> loaded;
    Pixels &pixels = loaded[file];
    if (!pixels.empty())
        return pixels;
    std::wstring path = _wgetenv(L"QUILLET_IMAGES") + (L"\\" + file);
    if (file.find(L".ico") == std::wstring::npos) {
        HBITMAP bitmap = (HBITMAP)LoadImageW(NULL, path.c_str(), IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE);
        BITMAP size = {};
        GetObjectW(bitmap, sizeof size, &size);
        pixels = Bits(bitmap, size.bmWidth, size.bmHeight);
        DeleteObject(bitmap);
        return pixels;
    }
    HICON icon = (HICON)LoadImageW(NULL, path.c_str(), IMAGE_ICON, 16, 16, LR_LOADFROMFILE);
    ICONINFO parts = {};
    GetIconInfo(icon, &parts);
    pixels = Bits(parts.hbmColor, 16, 16);
    Pixels mask = Bits(parts.hbmMask, 16, 16);
    for (size_t i = 0; i < pixels.size(); i++)
        pixels[i] = mask[i] ? NO_PIXEL : pixels[i];
    DeleteObject(parts.hbmColor);
    DeleteObject(parts.hbmMask);
    DestroyIcon(icon);
    return pixels;
}

int PoseShown(HWND window, int level)
{
    RECT r = {};
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    int shown = GetWindowRect(window, &r) && GetWindowRgn(window, shape) != ERROR ? 5 : -1;
    Pixels screen = OnScreen(r.left, r.top, 32, 64);
    for (bool same = false; shown >= 0 && !same; shown -= !same) {
        Pixels chime = Picture(L"chime" + std::to_wstring(128 + shown) + L".bmp"),
               strip = Picture(L"strip" + std::to_wstring(200 + 10 * (shown + 1) + level) + L".bmp");
        same = true;
        for (int i = 0; i < 32 * 64 && same; i++) {
            bool inside = PtInRegion(shape, i % 32, i / 32);
            same = inside == (chime[i] != BLACK) &&
                   (!inside || screen[i] == (i / 32 < BELL_ROWS ? chime[i] : strip[i - 32 * BELL_ROWS]));
        }
    }
    DeleteObject(shape);
    return shown;
}

// The icon is looked for wherever it is drawn in the task bar's right end.
std::string TrayIcon(POINT *middle)
{
    HWND bar = FindWindowA("Shell_TrayWnd", NULL);
    RECT r;
    if (!IsWindowVisible(bar) || !GetWindowRect(bar, &r))
        return "none";
    const int width = 96, height = r.bottom - r.top;
    Pixels area = OnScreen(r.right - width, r.top, width, height);
    for (const char *name : {"normal", "alternative"}) {
        Pixels icon = Picture(name[0] == 'n' ? L"icon125.ico" : L"icon127.ico");
        for (int y = 0; y + 16 <= height; y++)
            for (int x = 0; x + 16 <= width; x++) {
                bool same = true;
                for (int i = 0; i < 16 * 16 && same; i++)
                    same = icon[i] == NO_PIXEL || icon[i] == area[(y + i / 16) * width + x + i % 16];
                if (same && middle)
                    *middle = {r.right - width + x + 8, r.top + y + 8};
                if (same)
                    return name;
            }
    }
    return "none";
}

std::wstring TrayTip()
{
    POINT icon;
    if (TrayIcon(&icon) == "none")
        return L"<no tray icon>";
    wchar_t text[128] = L"";
    Mouse(icon.x, icon.y);
    Mouse(icon.x + 1, icon.y);
    WaitFor([&text] {
        for (HWND tip = NULL; (tip = FindWindowExA(NULL, tip, "tooltips_class32", NULL));)
            if (IsWindowVisible(tip) && SendMessageTimeoutW(tip, WM_GETTEXT, 128, (LPARAM)text, 0, 1000, NULL))
                return text[0] != 0;
        return false;
    }, 5000);
    Mouse(0, 0);
    return text;
}

void Mouse(int x, int y, DWORD buttons)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons;
    SendInput(1, &input, sizeof input);
    Pause(50);
}
