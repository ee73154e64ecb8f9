// Plays one chime sample the way the chime starts its voice, for the
// recording test: player.exe SAMPLE VOLUME PAN MILLISECONDS. Exits with 0
// when every call succeeded, 1 otherwise.
#include <windows.h>

#include <stdlib.h>

#include "sound/chime_sound.h"
#include "sound/sound.h"

int main(int argc, char **argv)
{
    if (argc != 5)
        return 2;
    unsigned sample = (unsigned)atoi(argv[1]);
    int volume = atoi(argv[2]), pan = atoi(argv[3]);
    DWORD milliseconds = (DWORD)atoi(argv[4]);
    HWND window = CreateWindowA("STATIC", "player", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    int done = StartDirectSound(window) == 0 && SetSampleVolume(sample, volume) && SetSamplePan(sample, pan) &&
               PlaySample(sample, 0);
    Sleep(milliseconds);
    done = done && StopSample(sample);
    StopEngine();
    DestroyWindow(window);
    return done ? 0 : 1;
}
