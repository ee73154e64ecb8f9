// Whether a step of the swing rings the chime, and which sound at which
// volume and pan: draws of the one generator, in a fixed order.
#include <windows.h>

#include "wind.h"
#include "../settings/settings.h"
#include "../sound/chime_sound.h"
#include "../sound/sound.h"

// Attenuation in hundredths of a decibel; entry 0 is 1, not 0.
static const int ATTENUATION[8] = {1, 300, 600, 900, 1200, 1500, 1800, 2100};

// The chime rings when the draw is below 7; it also picks the sample.
static unsigned RingDraw(int cause)
{
    if (cause == CAUSE_FAN)
        return RandomBelow(6);
    const WindKind *kind = FindWindKind(settings.win_str);
    if (!kind)
        return 0;
    return RandomBelow(kind->ringSpread ? RandomBelow(kind->ringSpread) + kind->ringBelow : kind->ringBelow);
}

// The attenuation entry for the chime volume, or -1 for none.
static int VolumeDraw(void)
{
    switch (settings.snd_vol) {
    case VOLUME_LOUDER:
        return (int)RandomBelow(2);
    case VOLUME_NORMAL:
        return 3 + (int)RandomBelow(2);
    case VOLUME_QUIETER:
        return 6 + (int)RandomBelow(2);
    case VOLUME_RANDOM:
        return (int)RandomBelow(8);
    default:
        return -1;
    }
}

static int PanDraw(unsigned sample, int cause)
{
    switch (sample) {
    case 0:
        return -(int)RandomBelow(200);
    case 1:
        return 0;
    case 2:
        return (int)RandomBelow(200);
    default:
        return cause;
    }
}

// A sample still sounding keeps its volume and only gets a new pan.
static void RingSample(unsigned sample, int cause)
{
    if (GetSamplePosition(sample) == 0) {
        int entry = VolumeDraw();
        if (entry >= 0)
            SetSampleVolume(sample, -ATTENUATION[entry]);
    }
    SetSamplePan(sample, PanDraw(sample, cause));
    PlaySample(sample, 0);
}

void Ring(int cause)
{
    if (settings.snd_vol == VOLUME_OFF)
        return;
    unsigned r = RingDraw(cause);
    if (r >= 7)
        return;
    if (settings.snd_kbn == SOUND_SNDPLAY)
        PlayChimeResource(chimeSounds[RandomBelow(CHIME_SOUNDS)]);
    else if (settings.snd_kbn == SOUND_DIRECT)
        RingSample(r, cause);
}
