// The wind model: swing state, random generator and memory meter. It decides
// what the chime does and tells the chime window what to show; it touches no
// window and no shell.
#ifndef QUILLET_WIND_H
#define QUILLET_WIND_H

#include <windows.h>

// Swing state: the pose shown (0 to 5), the step of a swing (0 at rest), the
// meter reading at the memory wind's last gust, and which tray icon the swing
// shows: it flips at every step after the gust's own.
extern int pose;
extern int swing_step;
extern unsigned long long gust_reference;
extern bool alternativeTrayIcon;

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

// What brings a step of the wind.
#define CAUSE_ANIMATION 0
#define CAUSE_FAN 1

// What one step of the wind changed besides the swing state, for the chime
// window to show.
struct WindStep {
    bool iconFlipped; // the tray icon flipped: the shell is told at once
    bool meterRead; // at rest the meter was read: the tip follows memoryUsage
};

// A wind kind (win_str): the random wind gusts when a number from 1 to the
// range divides gustDivisor; a swing step rings when RandomBelow(ringBelow)
// is below 7, ringBelow first raised by RandomBelow(ringSpread) if that is set.
struct WindKind {
    BYTE win_str;
    unsigned gustDivisor, ringBelow, ringSpread;
};
// Null for a kind the program does not know: it never gusts and always rings.
const WindKind *FindWindKind(BYTE win_str);

WindStep WindTick(int cause);
// The ring of one step of a swing, through the sound mode in use.
void Ring(int cause);

// Reads the meter and tells whether a gust starts a swing.
BOOL GustCheck(void);

unsigned RandomBelow(unsigned n);
void SeedRandom(unsigned value);

void DetectPlatformFamily(void);
// Sets up the meter. Outside the NT family without the Resource Meter, the
// meter is unavailable and the result says what to tell the user; otherwise
// it is null.
const char *OpenMemoryMeter(void);
void ReadMemoryMeter(void);

// 100 minus the available share in whole per cent, as a double computes it.
int UsageFromMemory(unsigned long long available, unsigned long long total);

#endif
