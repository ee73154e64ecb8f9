// The settings file: quillet.ini in the folder the program starts in, read
// and written key by key through the platform's profile functions.
#include "settings.h"
#include "../handles/handles.h"

Settings settings;

static const char SECTION_WINPOS[] = "Winpos";
static const char SECTION_RUNSTS[] = "Runsts";
static const char SECTION_KAND[] = "Kand";
static const char SECTION_DEBUG[] = "Debug";

static const char FILE_NAME[] = "\\quillet.ini";

static const int NT_MEMORY[3] = {1048576, 524288, 262144};
static const int SMALL_MEMORY[3] = {3, 2, 1};

// Taken once at load and kept for the whole run, so a later change of the
// current folder does not move the file. Empty when the folder's name cannot
// be had or leaves no room for the file name: the settings then live in memory only.
static char settingsPath[256];

static int CentredOrigin(int screenSize, int windowSize)
{
    return (screenSize - windowSize) / 2;
}

static void TakeFileName(void)
{
    DWORD length = GetCurrentDirectoryA(255, settingsPath);
    if (length == 0 || length + sizeof FILE_NAME > sizeof settingsPath) {
        settingsPath[0] = '\0';
        return;
    }
    CopyMemory(settingsPath + length, FILE_NAME, sizeof FILE_NAME);
}

static int ReadSetting(const char *section, const char *key, int fallback)
{
    if (!settingsPath[0])
        return fallback;
    return (int)GetPrivateProfileIntA(section, key, fallback, settingsPath);
}

// Only memory0 is looked at: a figure on the wrong side of 100 for this
// family belongs to the other one, and all three go back to the defaults.
static void ReadMemorySettings(bool inBytes)
{
    const int *defaults = inBytes ? NT_MEMORY : SMALL_MEMORY;
    settings.memory0 = ReadSetting(SECTION_KAND, "memory0", defaults[0]);
    settings.memory1 = ReadSetting(SECTION_KAND, "memory1", defaults[1]);
    settings.memory2 = ReadSetting(SECTION_KAND, "memory2", defaults[2]);
    if (inBytes ? settings.memory0 < 100 : settings.memory0 > 100) {
        settings.memory0 = defaults[0];
        settings.memory1 = defaults[1];
        settings.memory2 = defaults[2];
    }
}

// Byte fields keep the low 8 bits of what the file holds.
void LoadSettings(bool memoryInBytes)
{
    TakeFileName();

    settings.Xpos = ReadSetting(SECTION_WINPOS, "Xpos", CentredOrigin(GetSystemMetrics(SM_CXSCREEN), CHIME_WIDTH));
    settings.Ypos = ReadSetting(SECTION_WINPOS, "Ypos", CentredOrigin(GetSystemMetrics(SM_CYSCREEN), CHIME_HEIGHT));

    settings.win_obj = (BYTE)ReadSetting(SECTION_RUNSTS, "win_obj", WIND_AT_RANDOM);
    settings.win_str = (BYTE)ReadSetting(SECTION_RUNSTS, "win_str", WIND_FITFUL);
    settings.frn_kan = (BYTE)ReadSetting(SECTION_RUNSTS, "frn_kan", SENSITIVITY_MEDIUM);
    settings.posmode = (BYTE)ReadSetting(SECTION_RUNSTS, "posmode", HANG_ON_WINDOW);
    settings.snd_vol = (BYTE)ReadSetting(SECTION_RUNSTS, "snd_vol", VOLUME_NORMAL);
    settings.snd_kbn = (BYTE)ReadSetting(SECTION_RUNSTS, "snd_kbn", SOUND_DIRECT);

    ReadMemorySettings(memoryInBytes);
    settings.random0 = ReadSetting(SECTION_KAND, "random0", 160);
    settings.random1 = ReadSetting(SECTION_KAND, "random1", 80);
    settings.random2 = ReadSetting(SECTION_KAND, "random2", 40);

    settings.sw = (BYTE)ReadSetting(SECTION_DEBUG, "sw", 0);
}

// snd_kbn is read but never saved: a line of it in the file stays as it was.
void SaveSettings(void)
{
    WriteSetting(SECTION_WINPOS, "Xpos", settings.Xpos);
    WriteSetting(SECTION_WINPOS, "Ypos", settings.Ypos);

    WriteSetting(SECTION_RUNSTS, "win_obj", settings.win_obj);
    WriteSetting(SECTION_RUNSTS, "win_str", settings.win_str);
    WriteSetting(SECTION_RUNSTS, "frn_kan", settings.frn_kan);
    WriteSetting(SECTION_RUNSTS, "posmode", settings.posmode);
    // snd_vol keeps this spelling of the section; names match regardless of
    // case, so it still lands in the one [Runsts] section.
    WriteSetting("RunSts", "snd_vol", settings.snd_vol);

    WriteSetting(SECTION_KAND, "memory0", settings.memory0);
    WriteSetting(SECTION_KAND, "memory1", settings.memory1);
    WriteSetting(SECTION_KAND, "memory2", settings.memory2);
    WriteSetting(SECTION_KAND, "random0", settings.random0);
    WriteSetting(SECTION_KAND, "random1", settings.random1);
    WriteSetting(SECTION_KAND, "random2", settings.random2);

    WriteSetting(SECTION_DEBUG, "sw", settings.sw);
}

// A failed write (read-only or locked file, full disk) is let go: the value in
// memory stays and the next save tries again.
void WriteSetting(const char *section, const char *key, int value)
{
    if (!settingsPath[0])
        return;
    char text[12];
    wsprintfA(text, "%d", value);
    WritePrivateProfileStringA(section, key, text, settingsPath);
}
