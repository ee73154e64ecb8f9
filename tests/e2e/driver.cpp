#include "driver.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/common/win_helpers.h"
#include "tests/support/probe.h"

std::wstring FreshFolder()
{
    const wchar_t *scratch = _wgetenv(L"QUILLET_SCRATCH");
    return FreshFolderUnder(scratch ? scratch : L".");
}

Chime StartQuillet(const std::wstring &folder, const std::wstring &exe)
{
    Chime chime;
    std::wstring program = exe.empty() ? QuilletExePath() : exe;
    std::wstring commandLine = L"\"" + program + L"\"";
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    if (!CreateProcessW(program.c_str(), &commandLine[0], NULL, NULL, FALSE, 0, NULL, folder.c_str(), &startup,
                        &chime.process))
        ADD_FAILURE() << "cannot start the program, error " << GetLastError();
    return chime;
}

HWND StartWithSettings(Chime *chime, const std::string &ini)
{
    std::wstring folder = FreshFolder();
    if (!WriteFileText(folder + L"\\quillet.ini", ini))
        return NULL;
    *chime = StartQuillet(folder);
    return WaitForChimeWindow(*chime);
}

HWND WaitForProcessWindow(DWORD processId, const char *className, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        if (HWND found = FindProcessWindow(processId, className))
            return found;
        Sleep(50);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

HWND WaitForMessageBox(DWORD processId, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        HWND box = FindProcessWindow(processId, "#32770");
        if (box && IsWindowVisible(box))
            return box;
        Sleep(20);
    } while (GetTickCount() - start < timeoutMs);
    return NULL;
}

HWND WaitForChimeWindow(const Chime &chime, DWORD timeoutMs)
{
    HWND window = WaitForProcessWindow(chime.process.dwProcessId, "Quillet", timeoutMs);
    // Give start-up time to finish painting and add its tray icon.
    if (window)
        Sleep(300);
    return window;
}

DWORD WaitForExit(const Chime &chime, DWORD timeoutMs)
{
    WaitForSingleObject(chime.process.hProcess, timeoutMs);
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(chime.process.hProcess, &code);
    return code;
}

void Dispose(Chime &chime)
{
    if (!chime.process.hProcess)
        return;
    if (WaitForSingleObject(chime.process.hProcess, 0) == WAIT_TIMEOUT) {
        TerminateProcess(chime.process.hProcess, 99);
        WaitForSingleObject(chime.process.hProcess, 5000);
    }
    CloseHandle(chime.process.hProcess);
    CloseHandle(chime.process.hThread);
    chime.process = {};
}

void PressKey(WORD key)
{
    INPUT input[2] = {};
    input[0].type = input[1].type = INPUT_KEYBOARD;
    input[0].ki.wVk = input[1].ki.wVk = key;
    input[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, input, sizeof(INPUT));
}

// The icon's opaque pixels, searched for in a screenshot of the task bar.
std::vector<POINT> FindTrayIcons(int iconId)
{
    HMODULE module = LoadAsData(QuilletExePath());
    std::vector<BYTE> group = ResourceBytes(module, (LPCWSTR)RT_GROUP_ICON, MAKEINTRESOURCEW(iconId));
    std::vector<BYTE> bytes;
    if (group.size() >= 20)
        bytes = ResourceBytes(module, (LPCWSTR)RT_ICON, MAKEINTRESOURCEW(*(WORD *)&group[18]));
    FreeLibrary(module);
    Picture icon = DecodeDib(bytes.data(), bytes.size(), true);
    HWND taskbar = FindWindowA("Shell_TrayWnd", NULL);
    RECT bar;
    std::vector<POINT> found;
    if (icon.width == 0 || !taskbar || !GetWindowRect(taskbar, &bar))
        return found;

    int width = bar.right - bar.left, height = bar.bottom - bar.top;
    HDC screen = GetDC(NULL);
    HDC memory = CreateCompatibleDC(screen);
    DWORD *pixels = NULL;
    HBITMAP shot = TopDownSection(width, height, &pixels);
    HGDIOBJ old = SelectObject(memory, shot);
    BitBlt(memory, 0, 0, width, height, screen, bar.left, bar.top, SRCCOPY);
    GdiFlush();
    for (int top = 0; top + icon.height <= height; top++)
        for (int left = 0; left + icon.width <= width; left++) {
            bool match = true;
            for (int y = 0; y < icon.height && match; y++)
                for (int x = 0; x < icon.width && match; x++) {
                    if (icon.transparent[(size_t)y * icon.width + x])
                        continue;
                    COLORREF c = icon.At(x, y);
                    DWORD want = (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c);
                    match = (pixels[(size_t)(top + y) * width + left + x] & 0xffffff) == want;
                }
            if (match)
                found.push_back({bar.left + left, bar.top + top});
        }
    SelectObject(memory, old);
    DeleteObject(shot);
    DeleteDC(memory);
    ReleaseDC(NULL, screen);
    return found;
}

std::vector<POINT> FindChimeTrayIcons()
{
    std::vector<POINT> icons = FindTrayIcons(125), alternative = FindTrayIcons(127);
    icons.insert(icons.end(), alternative.begin(), alternative.end());
    return icons;
}

int CountChimeTrayIcons()
{
    return (int)FindChimeTrayIcons().size();
}

void PumpFor(DWORD ms)
{
    DWORD start = GetTickCount();
    do {
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageW(&msg);
        }
        Sleep(10);
    } while (GetTickCount() - start < ms);
}

bool MenuShown(const Chime &chime, DWORD waitMs)
{
    DWORD start = GetTickCount();
    do {
        HWND menu = FindProcessWindow(chime.process.dwProcessId, "#32768");
        if (menu && IsWindowVisible(menu))
            return true;
        PumpFor(20);
    } while (GetTickCount() - start < waitMs);
    return false;
}

bool CloseMenu(const Chime &chime)
{
    PressKey(VK_ESCAPE);
    for (int i = 0; i < 100 && MenuShown(chime, 0); i++)
        PumpFor(20);
    return !MenuShown(chime, 0);
}

bool AskProbe(HWND window, WPARAM query, LPARAM argument, DWORD *value)
{
    std::wstring exe = QuilletExePath();
    std::wstring library = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"probe.dll";
    HMODULE probe = LoadLibraryW(library.c_str());
    HOOKPROC hook = probe ? (HOOKPROC)(void *)GetProcAddress(probe, "ProbeHook") : NULL;
    HANDLE mapping = CreateFileMappingW(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, sizeof(ProbeAnswer),
                                        PROBE_MAPPING);
    ProbeAnswer *answer = mapping ? (ProbeAnswer *)MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof *answer)
                                  : NULL;
    HHOOK installed = hook && answer ? SetWindowsHookExW(WH_CALLWNDPROC, hook, probe,
                                                         GetWindowThreadProcessId(window, NULL))
                                     : NULL;
    bool answered = false;
    if (installed) {
        answer->answered = 0;
        DWORD_PTR ignored;
        SendMessageTimeoutW(window, RegisterWindowMessageW(PROBE_MESSAGE), query, argument, SMTO_NORMAL, 10000,
                            &ignored);
        answered = answer->answered != 0;
        *value = answer->value;
        UnhookWindowsHookEx(installed);
    }
    if (answer)
        UnmapViewOfFile(answer);
    if (mapping)
        CloseHandle(mapping);
    if (probe)
        FreeLibrary(probe);
    return answered;
}

static LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcW(window, message, wParam, lParam);
}

HWND MakeHostWindow(int x, int y, int width, int height)
{
    WNDCLASSW wc = {};
    wc.lpfnWndProc = HostProc;
    wc.hInstance = GetModuleHandleW(NULL);
    wc.lpszClassName = L"QuilletTestHost";
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    RegisterClassW(&wc);
    HWND host = CreateWindowExW(0, L"QuilletTestHost", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, x, y, width, height,
                                NULL, NULL, GetModuleHandleW(NULL), NULL);
    SetForegroundWindow(host);
    return host;
}

static void SendMouse(int x, int y, DWORD flags)
{
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dx = MulDiv(x, 65536, GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = MulDiv(y, 65536, GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | flags;
    SendInput(1, &input, sizeof input);
}

void MoveMouse(int x, int y)
{
    SendMouse(x, y, 0);
    PumpFor(50);
}

void Click(int x, int y, bool right)
{
    MoveMouse(x, y);
    SendMouse(x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    PumpFor(30);
    SendMouse(x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    PumpFor(50);
}

namespace {
// File offset of a relative virtual address, through the section table.
DWORD OffsetOf(const IMAGE_SECTION_HEADER *sections, WORD count, DWORD rva)
{
    for (WORD i = 0; i < count; i++)
        if (rva >= sections[i].VirtualAddress && rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
            return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
    return 0;
}

IMAGE_RESOURCE_DIRECTORY_ENTRY *FindEntry(BYTE *root, DWORD directory, WORD id)
{
    IMAGE_RESOURCE_DIRECTORY *dir = (IMAGE_RESOURCE_DIRECTORY *)(root + directory);
    IMAGE_RESOURCE_DIRECTORY_ENTRY *entries = (IMAGE_RESOURCE_DIRECTORY_ENTRY *)(dir + 1);
    for (int i = 0; i < dir->NumberOfNamedEntries + dir->NumberOfIdEntries; i++)
        if (!entries[i].NameIsString && entries[i].Id == id)
            return &entries[i];
    return NULL;
}
} // namespace

bool RenumberResource(const std::wstring &exe, LPCSTR type, WORD fromId, WORD toId)
{
    HANDLE file = CreateFileW(exe.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD size = GetFileSize(file, NULL), done = 0;
    std::vector<BYTE> image(size);
    bool ok = ReadFile(file, image.data(), size, &done, NULL) && done == size;
    IMAGE_DOS_HEADER *dos = (IMAGE_DOS_HEADER *)image.data();
    IMAGE_NT_HEADERS32 *nt = (IMAGE_NT_HEADERS32 *)(image.data() + dos->e_lfanew);
    bool wide = nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR64_MAGIC;
    const IMAGE_DATA_DIRECTORY *directories = wide
        ? ((IMAGE_NT_HEADERS64 *)nt)->OptionalHeader.DataDirectory
        : nt->OptionalHeader.DataDirectory;
    IMAGE_SECTION_HEADER *sections = IMAGE_FIRST_SECTION(nt);
    DWORD rootOffset = OffsetOf(sections, nt->FileHeader.NumberOfSections,
                                directories[IMAGE_DIRECTORY_ENTRY_RESOURCE].VirtualAddress);
    IMAGE_RESOURCE_DIRECTORY_ENTRY *typeEntry =
        ok && rootOffset ? FindEntry(image.data() + rootOffset, 0, (WORD)(ULONG_PTR)type) : NULL;
    IMAGE_RESOURCE_DIRECTORY_ENTRY *nameEntry =
        typeEntry && typeEntry->DataIsDirectory
            ? FindEntry(image.data() + rootOffset, typeEntry->OffsetToDirectory, fromId)
            : NULL;
    ok = nameEntry != NULL;
    if (ok) {
        nameEntry->Id = toId;
        SetFilePointer(file, 0, NULL, FILE_BEGIN);
        ok = WriteFile(file, image.data(), size, &done, NULL) && done == size;
    }
    CloseHandle(file);
    return ok;
}

int PoseOfWindowShape(HWND window, const std::vector<Picture> &poses)
{
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    int found = -1;
    if (GetWindowRgn(window, shape) != ERROR) {
        for (size_t p = 0; p < poses.size() && found < 0; p++) {
            bool same = poses[p].height == 64;
            for (int y = 0; y < 64 && same; y++)
                for (int x = 0; x < 32 && same; x++)
                    same = (PtInRegion(shape, x, y) != 0) == (poses[p].At(x, y) != RGB(0, 0, 0));
            if (same)
                found = (int)p;
        }
    }
    DeleteObject(shape);
    return found;
}
