// The settings file: quillet.ini in the folder the program starts in, read
// and written key by key through the platform's profile functions.
#include "settings.h"
#include "../handles/handles.h"

Settings settings;

static const char FILE_NAME[] = "\\quillet.ini";

// Markers in the default column for what the machine decides, in the order
// LoadSettings reckons them: the screen's middle, and the memory wind's
// thresholds in the meter's unit.
enum { MIDDLE_X = -1, MIDDLE_Y = -2, THRESHOLD_0 = -3, THRESHOLD_1 = -4, THRESHOLD_2 = -5 };

static const int NT_MEMORY[3] = {1048576, 524288, 262144};
static const int SMALL_MEMORY[3] = {3, 2, 1};

// A key of the file, named after its field, which is a number or a byte; a
// byte keeps the low 8 bits of the number the file holds.
struct Key {
    const char *section, *name;
    int *number;
    BYTE *byte;
    int fallback;
    bool saved;
};
#define NUMBER_KEY(section, field, fallback) {section, #field, &settings.field, NULL, fallback, true}
#define BYTE_KEY(section, field, fallback) {section, #field, NULL, &settings.field, fallback, true}

// Every key, in the order of a full save. snd_vol is written under this
// spelling of its section: names match regardless of case, so it lands in the
// one [Runsts] section, which keeps the spelling it was created with.
static const Key KEYS[] = {
    NUMBER_KEY("Winpos", Xpos, MIDDLE_X),
    NUMBER_KEY("Winpos", Ypos, MIDDLE_Y),
    BYTE_KEY("Runsts", win_obj, WIND_AT_RANDOM),
    BYTE_KEY("Runsts", win_str, WIND_FITFUL),
    BYTE_KEY("Runsts", frn_kan, SENSITIVITY_MEDIUM),
    BYTE_KEY("Runsts", posmode, HANG_ON_WINDOW),
    BYTE_KEY("RunSts", snd_vol, VOLUME_NORMAL),
    // Read but never written: a line of it in the file stays as it was.
    {"Runsts", "snd_kbn", NULL, &settings.snd_kbn, SOUND_DIRECT, false},
    NUMBER_KEY("Kand", memory0, THRESHOLD_0),
    NUMBER_KEY("Kand", memory1, THRESHOLD_1),
    NUMBER_KEY("Kand", memory2, THRESHOLD_2),
    NUMBER_KEY("Kand", random0, 160),
    NUMBER_KEY("Kand", random1, 80),
    NUMBER_KEY("Kand", random2, 40),
    BYTE_KEY("Debug", sw, 0),
};

// Taken once at load and kept for the whole run, so a later change of the
// current folder does not move the file. Empty when the folder's name cannot
// be had or leaves no room for the file name: the settings then live in memory only.
static char settingsPath[256];

static void TakeFileName(void)
{
    DWORD length = GetCurrentDirectoryA(255, settingsPath);
    if (length == 0 || length + sizeof FILE_NAME > sizeof settingsPath) {
        settingsPath[0] = '\0';
        return;
    }
    CopyMemory(settingsPath + length, FILE_NAME, sizeof FILE_NAME);
}

// Only memory0 is looked at: a figure on the wrong side of 100 for this
// family belongs to the other one, and all three go back to the defaults.
void LoadSettings(bool memoryInBytes)
{
    TakeFileName();
    const int *thresholds = memoryInBytes ? NT_MEMORY : SMALL_MEMORY;
    const int machine[] = {(GetSystemMetrics(SM_CXSCREEN) - CHIME_WIDTH) / 2,
                           (GetSystemMetrics(SM_CYSCREEN) - CHIME_HEIGHT) / 2, thresholds[0], thresholds[1], thresholds[2]};
    for (const Key &key : KEYS) {
        int value = key.fallback < 0 ? machine[-1 - key.fallback] : key.fallback;
        if (settingsPath[0])
            value = (int)GetPrivateProfileIntA(key.section, key.name, value, settingsPath);
        if (key.number)
            *key.number = value;
        else
            *key.byte = (BYTE)value;
    }
    if (memoryInBytes ? settings.memory0 < 100 : settings.memory0 > 100)
        settings.memory0 = thresholds[0], settings.memory1 = thresholds[1], settings.memory2 = thresholds[2];
}

// A failed write (read-only or locked file, full disk) is let go: the value in
// memory stays and the next save tries again.
static void WriteKey(const Key &key)
{
    if (!settingsPath[0] || !key.saved)
        return;
    char text[12];
    wsprintfA(text, "%d", key.number ? *key.number : *key.byte);
    WritePrivateProfileStringA(key.section, key.name, text, settingsPath);
}

void SaveSettings(void)
{
    for (const Key &key : KEYS)
        WriteKey(key);
}

void WriteSetting(const void *field)
{
    for (const Key &key : KEYS)
        if (key.number == field || key.byte == field)
            WriteKey(key);
}
