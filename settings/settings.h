// The settings record, the settings file and the popup menu's commands.
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

// Sound modes (snd_kbn), decided by the menu apply from DirectSound's start.
#define SOUND_MCI 0
#define SOUND_SNDPLAY 1
#define SOUND_DIRECT 2
#define SOUND_OFF 9

// The left (or top) that centres a window of the given size on the screen.
int CentredOrigin(int screenSize, int windowSize);

// Reads quillet.ini in the current folder; keys it lacks take their defaults.
void LoadSettings(void);
// Writes every saved key back to the file that LoadSettings found.
void SaveSettings(void);
// Writes one key as a decimal number into that file (never when the settings
// live in memory only).
void WriteSetting(const char *section, const char *key, int value);

void ApplyMenuState(HWND window);

// Whether the id is one of the popup menu's commands, and running one.
BOOL IsMenuCommand(WORD id);
LRESULT OnMenuCommand(HWND window, WORD id);

#endif
