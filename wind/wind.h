// The wind model: swing state, random generator and memory meter.
#ifndef QUILLET_WIND_H
#define QUILLET_WIND_H

#include <windows.h>

// Swing state: the pose shown (0 to 5).
extern int pose;

// Platform families: the memory meter and the settings defaults differ.
#define FAMILY_NT 0
#define FAMILY_WIN9X 1
#define FAMILY_OTHER 2
extern BYTE platformFamily;

// Memory figures: usage percentage 0 to 100.
extern int memoryUsage;

unsigned RandomBelow(unsigned n);
void SeedRandom(unsigned value);

void DetectPlatformFamily(void);
void OpenMemoryMeter(void);

#endif
