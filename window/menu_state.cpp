// The popup menu's state: the check marks and grayed items follow the
// settings, each changed group is written at once, and a change of the
// volume decides the sound mode.
#include <windows.h>

#include "window.h"
#include "../handles/handles.h"
#include "../resources/resource.h"
#include "../settings/settings.h"
#include "../sound/chime_sound.h"
#include "../sound/sound.h"

#define GROUPS 5

// Items of each group, indexed by the setting's value (0 where no item).
static const UINT WIND_SOURCE_ITEMS[] = {IDM_WIND_MEMORY, IDM_WIND_RANDOM};
static const UINT SENSITIVITY_ITEMS[] = {IDM_SENS_LOW, IDM_SENS_MEDIUM, IDM_SENS_HIGH};
static const UINT VOLUME_ITEMS[] = {IDM_VOL_OFF, IDM_VOL_LOUDER, IDM_VOL_NORMAL, IDM_VOL_QUIETER, IDM_VOL_RANDOM};
static const UINT WIND_KIND_ITEMS[] = {0, IDM_BREEZE, IDM_TYPHOON, IDM_FITFUL};
static const UINT HANG_MODE_ITEMS[] = {IDM_HANG_WINDOW, IDM_HANG_FREE, IDM_HANG_FRONT};

// What DirectSound alone can offer: the other volumes and the steadier winds.
static const UINT DIRECT_ONLY_ITEMS[] = {IDM_VOL_LOUDER, IDM_VOL_QUIETER, IDM_VOL_RANDOM, IDM_BREEZE, IDM_TYPHOON};

// The value each group applied last; -1 is no setting value, so the first
// apply runs every group.
static int applied[GROUPS] = {-1, -1, -1, -1, -1};

// Checks the item of the value and unchecks the rest; a value with no item
// leaves the marks as they are.
static void MarkGroup(const UINT *items, int count, int value)
{
    if (value < 0 || value >= count || !items[value])
        return;
    for (int i = 0; i < count; i++)
        if (items[i])
            CheckMenuItem(chimeMenu, items[i], MF_BYCOMMAND | (i == value ? MF_CHECKED : MF_UNCHECKED));
}

static void EnableDirectOnlyItems(UINT enable)
{
    for (UINT item : DIRECT_ONLY_ITEMS)
        EnableMenuItem(chimeMenu, item, MF_BYCOMMAND | enable);
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
}

// Whether a group's setting changed since the group last ran; notes the new value.
static bool Changed(int group, BYTE value)
{
    if (applied[group] == value)
        return false;
    applied[group] = value;
    return true;
}

// A group without side effects: its marks, then its key under "Runsts".
static void ApplyGroup(int group, const UINT *items, int count, BYTE value, const char *key)
{
    if (!Changed(group, value))
        return;
    MarkGroup(items, count, value);
    WriteSetting("Runsts", key, value);
}

void ApplyMenuState(HWND window)
{
    ApplyGroup(0, WIND_SOURCE_ITEMS, ARRAYSIZE(WIND_SOURCE_ITEMS), settings.win_obj, "win_obj");
    ApplyGroup(1, SENSITIVITY_ITEMS, ARRAYSIZE(SENSITIVITY_ITEMS), settings.frn_kan, "frn_kan");
    // The record keeps the volume from before a fallback changes it, so the
    // next apply tries DirectSound again.
    if (Changed(2, settings.snd_vol)) {
        DecideSoundMode(window);
        MarkGroup(VOLUME_ITEMS, ARRAYSIZE(VOLUME_ITEMS), settings.snd_vol);
        if (settings.snd_vol == VOLUME_OFF)
            settings.snd_kbn = SOUND_OFF;
        WriteSetting("RunSts", "snd_vol", settings.snd_vol);
    }
    ApplyGroup(3, WIND_KIND_ITEMS, ARRAYSIZE(WIND_KIND_ITEMS), settings.win_str, "win_str");
    ApplyGroup(4, HANG_MODE_ITEMS, ARRAYSIZE(HANG_MODE_ITEMS), settings.posmode, "posmode");
}

void TellMeterMissing(const char *why)
{
    MessageBoxA(NULL, why, PRODUCT_NAME, MB_OK);
    ModifyMenuA(popupMenu, IDM_WIND_MEMORY, MF_BYCOMMAND | MF_STRING | MF_GRAYED, IDM_WIND_MEMORY, "メモリ");
}
