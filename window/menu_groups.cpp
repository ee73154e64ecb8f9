// The popup menu's setting groups, one table from which the choices, the check
// marks, the grayed items and the writes all come. A change of the volume
// decides the sound mode.
#include <windows.h>
#include <mmsystem.h>

#include "window.h"
#include "../handles/handles.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../sound/chime_sound.h"
#include "../sound/sound.h"

#define MOST_ITEMS 5
#define DIRECT_ONLY true

struct MenuItem {
    UINT id; // 0 where the value has no item
    bool directOnly = false; // offered only while DirectSound plays
    void (*chosen)(HWND window) = NULL; // what choosing it does besides setting its value
};

struct MenuGroup {
    BYTE *setting;
    MenuItem items[MOST_ITEMS]; // by the setting's value
    void (*changed)(HWND window) = NULL; // what a change does before the marks and the write
};

static void Reseed(HWND) { SeedRandom(timeGetTime()); }
static void HangFreely(HWND window) { PlaceFreely(window, HWND_NOTOPMOST); }
static void HangFreelyInFront(HWND window) { PlaceFreely(window, HWND_TOPMOST); }
static void DecideSoundMode(HWND window);

// In the order an apply runs them: the volume's fallback to the fitful wind
// is shown and written in the same apply.
static const MenuGroup GROUPS[] = {
    {&settings.win_obj, {{IDM_WIND_MEMORY}, {IDM_WIND_RANDOM, false, Reseed}}},
    {&settings.frn_kan, {{IDM_SENS_LOW}, {IDM_SENS_MEDIUM}, {IDM_SENS_HIGH}}},
    {&settings.snd_vol,
     {{IDM_VOL_OFF}, {IDM_VOL_LOUDER, DIRECT_ONLY}, {IDM_VOL_NORMAL}, {IDM_VOL_QUIETER, DIRECT_ONLY},
      {IDM_VOL_RANDOM, DIRECT_ONLY}},
     DecideSoundMode},
    {&settings.win_str, {{0}, {IDM_BREEZE, DIRECT_ONLY}, {IDM_TYPHOON, DIRECT_ONLY}, {IDM_FITFUL}}},
    {&settings.posmode,
     {{IDM_HANG_WINDOW}, {IDM_HANG_FREE, false, HangFreely}, {IDM_HANG_FRONT, false, HangFreelyInFront}}},
};

// The value each group applied last, plus one; 0, no value, until the first
// apply, which so runs every group.
static int applied[ARRAYSIZE(GROUPS)];

// Checks the item of the value and unchecks the rest; a value with no item
// leaves the marks as they are.
static void MarkGroup(const MenuGroup &group, BYTE value)
{
    if (value >= MOST_ITEMS || !group.items[value].id)
        return;
    for (int i = 0; i < MOST_ITEMS; i++)
        if (group.items[i].id)
            CheckMenuItem(chimeMenu, group.items[i].id, MF_BYCOMMAND | (i == value ? MF_CHECKED : MF_UNCHECKED));
}

static void EnableDirectOnlyItems(UINT enable)
{
    for (const MenuGroup &group : GROUPS)
        for (const MenuItem &item : group.items)
            if (item.directOnly)
                EnableMenuItem(chimeMenu, item.id, MF_BYCOMMAND | enable);
}

// Every change of the volume tries DirectSound again; without it the simple
// sound call plays, at the normal volume and in the fitful wind only.
static void DecideSoundMode(HWND window)
{
    if (StartDirectSound(window) == 0) {
        settings.snd_kbn = SOUND_DIRECT;
        EnableDirectOnlyItems(MF_ENABLED);
        // OFF lets the device go, and with it the mixing it does even in silence.
        if (settings.snd_vol == VOLUME_OFF)
            StopEngine();
    } else {
        StopEngine();
        settings.snd_kbn = SOUND_SNDPLAY;
        EnableDirectOnlyItems(MF_GRAYED);
        settings.win_str = WIND_FITFUL;
        if (settings.snd_vol != VOLUME_OFF)
            settings.snd_vol = VOLUME_NORMAL;
    }
    if (settings.snd_vol == VOLUME_OFF)
        settings.snd_kbn = SOUND_OFF;
}

// The record keeps a group's value from before its change runs, so that a
// volume the fallback changed tries DirectSound again at the next apply.
void ApplyMenuState(HWND window)
{
    for (size_t g = 0; g < ARRAYSIZE(GROUPS); g++) {
        const MenuGroup &group = GROUPS[g];
        if (applied[g] == *group.setting + 1)
            continue;
        applied[g] = *group.setting + 1;
        if (group.changed)
            group.changed(window);
        MarkGroup(group, *group.setting);
        WriteSetting(group.setting);
    }
}

bool ChooseMenuItem(HWND window, WORD id)
{
    for (const MenuGroup &group : GROUPS)
        for (BYTE value = 0; value < MOST_ITEMS; value++)
            if (id && group.items[value].id == id) {
                *group.setting = value;
                if (group.items[value].chosen)
                    group.items[value].chosen(window);
                ApplyMenuState(window);
                return true;
            }
    return false;
}

void TellMeterMissing(const char *why)
{
    MessageBoxA(NULL, why, PRODUCT_NAME, MB_OK);
    ModifyMenuA(popupMenu, IDM_WIND_MEMORY, MF_BYCOMMAND | MF_STRING | MF_GRAYED, IDM_WIND_MEMORY, "メモリ");
}
