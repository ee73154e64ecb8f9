#include "chime_sound.h"

int StartDirectSound(HWND)
{
    return 1;
}
