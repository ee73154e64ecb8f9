// The settings record and the settings file.
#ifndef QUILLET_SETTINGS_H
#define QUILLET_SETTINGS_H

#include <windows.h>

// Fields are named after the keys of the settings file.
struct Settings {
    int Xpos, Ypos;
    BYTE win_obj, win_str, frn_kan, posmode, snd_vol, snd_kbn;
    int memory0, memory1, memory2;
    int random0, random1, random2;
    BYTE sw;
};

extern Settings settings;

// The values of the settings, as the file holds them. Other values may stand
// in the file too; each reader says what it makes of them.
// Wind sources (win_obj): what brings a gust.
#define WIND_FROM_MEMORY 0
#define WIND_AT_RANDOM 1
// Wind kinds (win_str): how often a swing rings, and how often the random wind gusts.
#define WIND_BREEZE 1
#define WIND_TYPHOON 2
#define WIND_FITFUL 3
// Sensitivities (frn_kan): which of memory0..2 and random0..2 applies.
#define SENSITIVITY_LOW 0
#define SENSITIVITY_MEDIUM 1
#define SENSITIVITY_HIGH 2
// Hang modes (posmode): beside the window in front, or where the user drags it.
#define HANG_ON_WINDOW 0
#define HANG_FREE 1
#define HANG_FREE_IN_FRONT 2
// Chime volumes (snd_vol).
#define VOLUME_OFF 0
#define VOLUME_LOUDER 1
#define VOLUME_NORMAL 2
#define VOLUME_QUIETER 3
#define VOLUME_RANDOM 4
// Sound modes (snd_kbn), decided by the menu apply from DirectSound's start.
#define SOUND_MCI 0
#define SOUND_SNDPLAY 1
#define SOUND_DIRECT 2
#define SOUND_OFF 9

// Reads quillet.ini in the current folder; keys it lacks take their defaults.
// The memory thresholds are bytes of memory where the meter reads them
// (memoryInBytes), and per cent of the system resources elsewhere.
void LoadSettings(bool memoryInBytes);
// Writes every saved key back to the file that LoadSettings found (snd_kbn is
// read but never written).
void SaveSettings(void);
// Writes the key of one field of settings (&settings.Xpos, say) as a decimal
// number into that file (never when the settings live in memory only).
void WriteSetting(const void *field);

#endif
