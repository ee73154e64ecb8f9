#include "chime_sound.h"

#include <mmsystem.h>

int StartDirectSound(HWND)
{
    return 1;
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
