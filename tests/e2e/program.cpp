#include "program.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <vector>

#include "tests/common/harness.h"

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

namespace {
const DWORD BLACK = 0;
const int BELL_ROWS = 32;
// Pixels as 0x00rrggbb, row by row from the top; NO_PIXEL where an icon is transparent.
typedef std::vector<DWORD> Pixels;
const DWORD NO_PIXEL = 0xFFFFFFFF;

// What a drawing leaves on a 32-bit canvas, top row first; NO_PIXEL where it leaves the ground as it was.
Pixels Canvas(int width, int height, const std::function<void(HDC)> &draw)
{
    BITMAPINFO info = {};
    info.bmiHeader = {sizeof info.bmiHeader, width, -height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    DWORD *bits = NULL;
    HDC dc = CreateCompatibleDC(NULL);
    HBITMAP canvas = CreateDIBSection(dc, &info, DIB_RGB_COLORS, (void **)&bits, NULL, 0);
    HGDIOBJ previous = SelectObject(dc, canvas);
    std::fill_n(bits, width * height, NO_PIXEL);
    draw(dc);
    GdiFlush();
    Pixels pixels(bits, bits + width * height);
    for (DWORD &pixel : pixels)
        pixel = pixel == NO_PIXEL ? pixel : pixel & 0xFFFFFF;
    SelectObject(dc, previous);
    DeleteObject(canvas);
    DeleteDC(dc);
    return pixels;
}

// The whole screen in one grab, STRIDE pixels a row.
const int STRIDE = GetSystemMetrics(SM_CXSCREEN);
Pixels Screen()
{
    int height = GetSystemMetrics(SM_CYSCREEN);
    return Canvas(STRIDE, height, [&](HDC dc) {
        HDC screen = GetDC(NULL);
        BitBlt(dc, 0, 0, STRIDE, height, screen, 0, 0, SRCCOPY);
        ReleaseDC(NULL, screen);
    });
}

// One of resources/images, a bitmap or a 16 by 16 icon, which leaves the ground as it was where transparent.
Pixels Picture(const std::wstring &file)
{
    static std::map<std::wstring, Pixels> loaded;
    Pixels &pixels = loaded[file];
    bool icon = file.find(L".ico") != std::wstring::npos;
    std::wstring path = _wgetenv(L"QUILLET_IMAGES") + (L"\\" + file);
    HANDLE image = pixels.empty() ? LoadImageW(NULL, path.c_str(), icon ? IMAGE_ICON : IMAGE_BITMAP, 16 * icon,
                                               16 * icon, LR_LOADFROMFILE)
                                  : NULL;
    BITMAP size = {0, 16, 16, 0, 0, 0, NULL};
    if (image && (icon || GetObjectW(image, sizeof size, &size)))
        pixels = Canvas(size.bmWidth, size.bmHeight, [&](HDC dc) {
            DrawStateW(dc, NULL, NULL, (LPARAM)image, 0, 0, 0, 0, 0, icon ? DST_ICON : DST_BITMAP);
        });
    if (image)
        icon ? DestroyIcon((HICON)image) : DeleteObject(image);
    return pixels;
}

// The pose whose pictures, with the strip at the gauge's level, the window shows in the grab cut to its shape.
int PoseIn(const Pixels &screen, HWND window, int level)
{
    RECT r = {};
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    int shown = GetWindowRect(window, &r) && GetWindowRgn(window, shape) != ERROR ? 5 : -1;
    for (bool same = false; shown >= 0 && !same; shown -= !same) {
        Pixels chime = Picture(L"chime" + std::to_wstring(128 + shown) + L".bmp"),
               strip = Picture(L"strip" + std::to_wstring(200 + 10 * (shown + 1) + level) + L".bmp");
        same = true;
        for (int i = 0; i < 32 * 64 && same; i++) {
            bool inside = PtInRegion(shape, i % 32, i / 32), gauge = level >= 0 && i / 32 >= BELL_ROWS;
            same = inside == (chime[i] != BLACK) &&
                   (!inside || screen[(r.top + i / 32) * STRIDE + r.left + i % 32] ==
                                   (gauge ? strip[i - 32 * BELL_ROWS] : chime[i]));
        }
    }
    DeleteObject(shape);
    return shown;
}

// The icon is looked for wherever it is drawn in the task bar's right end.
std::string IconIn(const Pixels &screen, POINT *middle)
{
    HWND bar = FindWindowA("Shell_TrayWnd", NULL);
    RECT r;
    if (!IsWindowVisible(bar) || !GetWindowRect(bar, &r))
        return "none";
    for (const char *name : {"normal", "alternative"}) {
        Pixels icon = Picture(name[0] == 'n' ? L"icon125.ico" : L"icon127.ico");
        for (int y = r.top; y + 16 <= r.bottom; y++)
            for (int x = r.right - 96; x + 16 <= r.right; x++) {
                bool same = true;
                for (int i = 0; i < 16 * 16 && same; i++)
                    same = icon[i] == NO_PIXEL || icon[i] == screen[(y + i / 16) * STRIDE + x + i % 16];
                if (same && middle)
                    *middle = {x + 8, y + 8};
                if (same)
                    return name;
            }
    }
    return "none";
}
} // namespace

std::string PoseAndTrayIcon(HWND window, int level)
{
    Pixels screen = Screen();
    return std::to_string(PoseIn(screen, window, level)) + " " + IconIn(screen, NULL);
}

std::string TrayIcon(POINT *middle) { return IconIn(Screen(), middle); }

std::wstring TrayTip()
{
    POINT icon = {};
    TrayIcon(&icon);
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
    INPUT input = {INPUT_MOUSE, {}};
    input.mi = {MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1, MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1,
                0, MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons, 0, 0};
    SendInput(1, &input, sizeof input);
    Pause(50);
}
