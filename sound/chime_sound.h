// The chime's voice: the seven chime samples on DirectSound, or the simple
// sound call from the resource image.
#ifndef QUILLET_CHIME_SOUND_H
#define QUILLET_CHIME_SOUND_H

#include <windows.h>

// 0 when DirectSound is up with all seven chime samples, 1 on any failure.
int StartDirectSound(HWND owner);

#endif
