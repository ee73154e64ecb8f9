// The chime's voice: the seven chime samples on DirectSound, or the simple
// sound call from the resource image.
#ifndef QUILLET_CHIME_SOUND_H
#define QUILLET_CHIME_SOUND_H

#include <windows.h>

#define CHIME_SOUNDS 7

// WAVE resource ids by sample index; sample k of the engine plays entry k.
extern const int chimeSounds[CHIME_SOUNDS];

// 0 when DirectSound is up with all seven chime samples, 1 on any failure.
int StartDirectSound(HWND owner);

// Plays a WAVE resource of the program with the simple sound call; a new
// call cuts off a sound still playing.
void PlayChimeResource(int id);

#endif
