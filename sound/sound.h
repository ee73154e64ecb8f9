// The sound library's operations, in the order of its entry table.
#ifndef QUILLET_SOUND_H
#define QUILLET_SOUND_H

// Silences every voice and lets the sound device go; safe at any time.
void StopEngine(void);
int PlaySample(unsigned sample, int loop);
int SetSamplePan(unsigned sample, int pan);
int SetSampleVolume(unsigned sample, int volume);
int GetSamplePosition(unsigned sample);

#endif
