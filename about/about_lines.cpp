// The About box's memory and sound lines.
#include <windows.h>

#include "about.h"
#include "../settings/settings.h"
#include "../wind/wind.h"

void FormatMemoryLine(char *line)
{
    if (platformFamily == FAMILY_NT)
        wsprintfA(line, "　物理メモリ使用率：%d％　", memoryUsage);
    else if (!meterUnavailable)
        wsprintfA(line, "システムメモリ使用率：%d％　", memoryUsage);
    else
        lstrcpyA(line, "ステムメモリ使用率：不明　");
}

static const char *SoundModeName(BYTE mode)
{
    switch (mode) {
    case SOUND_MCI:
        return "Mci";
    case SOUND_SNDPLAY:
        return "sndPlay";
    case SOUND_DIRECT:
        return "Direct";
    case SOUND_OFF:
        return "OFF";
    }
    return "";
}

// The debug marker shows straight after the mode's name.
void FormatSoundLine(char *line)
{
    wsprintfA(line, "    Sound   ：  %s%s", SoundModeName(settings.snd_kbn), settings.sw == 1 ? "(DBG)" : "");
}
