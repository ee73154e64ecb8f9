#include "chime_sound.h"

#include <mmsystem.h>

#include "sound.h"

// The chime's sounds: 22050 samples a second, 16 bits, mono.
#define CHIME_RATE 22050
#define CHIME_BITS 16
#define CHIME_CHANNELS 1

int StartDirectSound(HWND owner)
{
    if (!StartEngine(owner, CHIME_RATE, CHIME_BITS, CHIME_CHANNELS, CHIME_SOUNDS))
        return 1;
    if (!SetGlobalFocus(1))
        return 1;
    // A sample that does not load ends the loading; those before it stay.
    for (int k = 0; k < CHIME_SOUNDS; k++)
        if (!LoadSample(k, MAKEINTRESOURCEA(chimeSounds[k])))
            return 1;
    return 0;
}

// The resource image is a whole RIFF WAVE file in memory; it stays mapped for
// the life of the program, so the asynchronous call may keep reading it.
void PlayChimeResource(int id)
{
    HMODULE program = GetModuleHandleA(NULL);
    HRSRC found = FindResourceA(program, MAKEINTRESOURCEA(id), "WAVE");
    HGLOBAL loaded = found ? LoadResource(program, found) : NULL;
    void *image = loaded ? LockResource(loaded) : NULL;
    if (image)
        sndPlaySoundA((LPCSTR)image, SND_ASYNC | SND_MEMORY);
}
