#include "inspect.h"

#include <gtest/gtest.h>

#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/common/win_helpers.h"
#include "tests/support/probe.h"

namespace {
const UINT WM_TRAYICON = WM_APP + 100;

// A file beside the program under test (the tests' own helpers live there).
std::wstring BesideProgram(const wchar_t *name)
{
    std::wstring exe = QuilletExePath();
    return exe.substr(0, exe.find_last_of(L'\\') + 1) + name;
}

// What the shell opens pages and links with (a fresh Wine prefix may know no
// page type at all), and what the tests put there.
struct Handler {
    const wchar_t *key;
    std::wstring value; // empty: the opener
    std::wstring saved;
    bool existed;
};
Handler handlers[] = {
    {L"Software\\Classes\\.html", L"htmlfile", L"", false},
    {L"Software\\Classes\\htmlfile\\shell\\open\\command", L"", L"", false},
    {L"Software\\Classes\\http\\shell\\open\\command", L"", L"", false},
    {L"Software\\Classes\\https\\shell\\open\\command", L"", L"", false},
    {L"Software\\Classes\\mailto\\shell\\open\\command", L"", L"", false},
};
// Wine's own handler, in place of an opener that an interrupted run left.
const wchar_t WINE_HANDLER[] = L"\"C:\\windows\\system32\\winebrowser.exe\" \"%1\"";

bool SetDefaultValue(const wchar_t *key, const std::wstring &value)
{
    return RegSetKeyValueW(HKEY_LOCAL_MACHINE, key, NULL, REG_SZ, value.c_str(),
                           (DWORD)((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring OpenedFile()
{
    return BesideProgram(L"opened.txt");
}
} // namespace

// One of the item's two bits: 1 checked, 2 grayed.
static bool ItemBit(DWORD bits, UINT id, DWORD bit)
{
    for (int i = 0; i < MENU_PROBE_COUNT; i++)
        if (MENU_PROBE_ITEMS[i] == id)
            return bits & (bit << (2 * i));
    ADD_FAILURE() << "item " << id << " is not probed";
    return false;
}

bool MenuStates::Checked(UINT id) const
{
    return ItemBit(bits, id, 1);
}

bool MenuStates::Grayed(UINT id) const
{
    return ItemBit(bits, id, 2);
}

HMENU OpenedPopupMenu(const Chime &chime, HWND window)
{
    PostMessageW(window, WM_TRAYICON, 1, WM_RBUTTONDOWN);
    if (!MenuShown(chime, 3000))
        return NULL;
    HWND menuWindow = FindProcessWindow(chime.process.dwProcessId, "#32768");
    HMENU menu = (HMENU)SendMessageW(menuWindow, MN_GETHMENU, 0, 0);
    EXPECT_TRUE(CloseMenu(chime)) << "the menu did not close";
    return menu;
}

bool ProbeMenu(const Chime &chime, HMENU menu, MenuStates *states)
{
    HWND window = FindProcessWindow(chime.process.dwProcessId, "Quillet");
    return AskProbe(window, PROBE_MENU_STATES, (LPARAM)menu, &states->bits) && states->bits != MENU_PROBE_FAILED;
}

HWND WaitForAboutBox(const Chime &chime, DWORD timeoutMs)
{
    return WaitForMessageBox(chime.process.dwProcessId, timeoutMs);
}

bool WaitForAboutBoxGone(const Chime &chime, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    do {
        if (!FindProcessWindow(chime.process.dwProcessId, "#32770"))
            return true;
        PumpFor(20);
    } while (GetTickCount() - start < timeoutMs);
    return false;
}

std::wstring ItemText(HWND dialog, int id)
{
    wchar_t text[256] = L"";
    GetDlgItemTextW(dialog, id, text, 256);
    return text;
}

bool FindHitArea(HWND window, LRESULT area, POINT *point)
{
    RECT r;
    GetWindowRect(window, &r);
    for (int y = r.top; y < r.top + 40 && y < r.bottom; y++)
        for (int x = r.right - 1; x >= r.left; x--)
            if (SendMessageW(window, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == area) {
                *point = {x, y};
                return true;
            }
    return false;
}

void ClickControl(HWND dialog, int id)
{
    RECT r;
    GetWindowRect(GetDlgItem(dialog, id), &r);
    Click((r.left + r.right) / 2, (r.top + r.bottom) / 2);
}

// Wine's classes root reads the machine's classes only: the handlers are
// replaced there and put back afterwards.
void RegisterOpener()
{
    std::wstring opener = L"\"" + BesideProgram(L"opener.exe") + L"\" \"%1\"";
    for (Handler &handler : handlers) {
        wchar_t previous[MAX_PATH] = L"";
        DWORD bytes = sizeof previous;
        handler.existed = RegGetValueW(HKEY_LOCAL_MACHINE, handler.key, NULL, RRF_RT_REG_SZ, NULL, previous,
                                       &bytes) == ERROR_SUCCESS;
        handler.saved = wcsstr(previous, L"opener.exe") ? WINE_HANDLER : previous;
        EXPECT_TRUE(SetDefaultValue(handler.key, handler.value.empty() ? opener : handler.value));
    }
    DeleteFileW(OpenedFile().c_str());
    SetEnvironmentVariableW(L"QUILLET_OPENED", OpenedFile().c_str());
}

void RestoreHandlers()
{
    for (const Handler &handler : handlers)
        if (handler.existed)
            EXPECT_TRUE(SetDefaultValue(handler.key, handler.saved));
        else
            RegDeleteKeyW(HKEY_LOCAL_MACHINE, handler.key);
    SetEnvironmentVariableW(L"QUILLET_OPENED", NULL);
}

std::wstring OpenedSoFar()
{
    std::string bytes = FileText(OpenedFile());
    if (bytes == "<missing>")
        return L"";
    return std::wstring((const wchar_t *)bytes.data(), bytes.size() / sizeof(wchar_t));
}

std::wstring WaitForOpened(const std::wstring &before, DWORD timeoutMs)
{
    DWORD start = GetTickCount();
    std::wstring now;
    do {
        now = OpenedSoFar();
        if (now.size() > before.size() && now.back() == L'\n')
            return now.substr(before.size());
        PumpFor(50);
    } while (GetTickCount() - start < timeoutMs);
    return L"";
}
