// The popup menu's commands: each setting, free placement, About, Help and Exit.
#include <windows.h>
#include <mmsystem.h>
#include <shellapi.h>

#include "window.h"
#include "../about/about.h"
#include "../handles/handles.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../wind/wind.h"

// A free chime more than half beyond an edge of the screen comes back to
// its centre; otherwise, or when its place cannot be read, only its band in
// the Z order changes.
static void PlaceFreely(HWND window, HWND band)
{
    SetForegroundWindow(window);
    RECT r;
    int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    bool offScreen = GetWindowRect(window, &r) &&
                     (r.left + CHIME_WIDTH / 2 < 0 || r.right - CHIME_WIDTH / 2 > width ||
                      r.top + CHIME_HEIGHT / 2 < 0 || r.bottom - CHIME_HEIGHT / 2 > height);
    if (offScreen)
        SetWindowPos(window, band, (width - CHIME_WIDTH) / 2, (height - CHIME_HEIGHT) / 2, CHIME_WIDTH, CHIME_HEIGHT,
                     SWP_NOACTIVATE | SWP_SHOWWINDOW);
    else
        SetWindowPos(window, band, 0, 0, CHIME_WIDTH, CHIME_HEIGHT, SWP_NOMOVE);
}

// The settings commands: the setting each sets and the value.
struct SettingCommand {
    WORD id;
    BYTE Settings::*field;
    BYTE value;
};

static const SettingCommand SETTING_COMMANDS[] = {
    {IDM_WIND_MEMORY, &Settings::win_obj, WIND_FROM_MEMORY},
    {IDM_WIND_RANDOM, &Settings::win_obj, WIND_AT_RANDOM},
    {IDM_SENS_LOW, &Settings::frn_kan, SENSITIVITY_LOW},
    {IDM_SENS_MEDIUM, &Settings::frn_kan, SENSITIVITY_MEDIUM},
    {IDM_SENS_HIGH, &Settings::frn_kan, SENSITIVITY_HIGH},
    {IDM_BREEZE, &Settings::win_str, WIND_BREEZE},
    {IDM_TYPHOON, &Settings::win_str, WIND_TYPHOON},
    {IDM_FITFUL, &Settings::win_str, WIND_FITFUL},
    {IDM_VOL_LOUDER, &Settings::snd_vol, VOLUME_LOUDER},
    {IDM_VOL_NORMAL, &Settings::snd_vol, VOLUME_NORMAL},
    {IDM_VOL_QUIETER, &Settings::snd_vol, VOLUME_QUIETER},
    {IDM_VOL_RANDOM, &Settings::snd_vol, VOLUME_RANDOM},
    {IDM_VOL_OFF, &Settings::snd_vol, VOLUME_OFF},
    {IDM_HANG_WINDOW, &Settings::posmode, HANG_ON_WINDOW},
    {IDM_HANG_FREE, &Settings::posmode, HANG_FREE},
    {IDM_HANG_FRONT, &Settings::posmode, HANG_FREE_IN_FRONT},
};

static const SettingCommand *FindSettingCommand(WORD id)
{
    for (const SettingCommand &command : SETTING_COMMANDS)
        if (command.id == id)
            return &command;
    return NULL;
}

BOOL IsMenuCommand(WORD id)
{
    return FindSettingCommand(id) || id == IDM_ABOUT || id == IDM_HELP || id == IDM_EXIT;
}

LRESULT OnMenuCommand(HWND window, WORD id)
{
    if (const SettingCommand *command = FindSettingCommand(id)) {
        settings.*command->field = command->value;
        if (id == IDM_WIND_RANDOM)
            SeedRandom(timeGetTime());
        else if (id == IDM_HANG_FREE)
            PlaceFreely(window, HWND_NOTOPMOST);
        else if (id == IDM_HANG_FRONT)
            PlaceFreely(window, HWND_TOPMOST);
        ApplyMenuState(window);
    } else if (id == IDM_ABOUT) {
        RunAboutDialog(window);
    } else if (id == IDM_HELP) {
        // Relative: the shell looks for the page in the current folder and,
        // on its search path, in the program's. A page it cannot open shows
        // nothing.
        ShellExecuteA(window, NULL, "help\\quillet.html", NULL, NULL, SW_SHOWNORMAL);
    } else if (id == IDM_EXIT) {
        // The window's destruction saves everything and ends the loop.
        Sleep(3);
        DestroyWindow(window);
    }
    return 0;
}
