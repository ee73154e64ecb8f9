// What the rest of the program may call in the sound library.
#ifndef QUILLET_SOUND_H
#define QUILLET_SOUND_H

// Silences every voice and lets the sound device go.
void StopEngine(void);

#endif
