// The wind model: swing state, random generator and memory meter.
#ifndef QUILLET_WIND_H
#define QUILLET_WIND_H

#include <windows.h>

// Swing state: the pose shown (0 to 5), the step of a swing (0 at rest), and
// the meter reading at the memory wind's last gust.
extern int pose;
extern int swing_step;
extern unsigned long long gust_reference;

// Platform families: the memory meter and the settings defaults differ.
#define FAMILY_NT 0
#define FAMILY_WIN9X 1
#define FAMILY_OTHER 2
extern BYTE platformFamily;

// Memory figures: the usage percentage (0 to 100) that the gauge, the tip and
// the About box show, and the reading the memory wind compares from tick to
// tick: available physical bytes in the NT family, the usage otherwise.
extern int memoryUsage;
extern unsigned long long meterReading;
extern int meterUnavailable;

// One step of the wind: cause 0 for an animation tick, 1 for a fan stroke.
void WindTick(int cause, HWND window);

// Reads the meter, refreshes the tip, and tells whether a gust starts a swing.
BOOL GustCheck(void);

unsigned RandomBelow(unsigned n);
void SeedRandom(unsigned value);

void DetectPlatformFamily(void);
void OpenMemoryMeter(void);
void ReadMemoryMeter(void);
void RefreshTrayTip(void);

// 100 minus the available share in whole per cent, as a double computes it.
int UsageFromMemory(unsigned long long available, unsigned long long total);

#endif
