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

void LoadSettings(void);
void SaveSettings(void);
void WriteSetting(const char *section, const char *key, int value);

void ApplyMenuState(HWND window);

// Whether the id is one of the popup menu's commands, and running one.
BOOL IsMenuCommand(WORD id);
LRESULT OnMenuCommand(HWND window, WORD id);

#endif
