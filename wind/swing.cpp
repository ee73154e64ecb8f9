// The swing of the strip: gusts start it, each step may ring the chime, and
// the tray icon flips while it lasts. Every random choice comes from the one
// generator, in a fixed order, so the order of the draws is the behaviour.
#include <windows.h>
#include <stdlib.h>

#include "wind.h"
#include "../settings/settings.h"

#define LAST_POSE 5

int pose;
int swing_step;
unsigned long long gust_reference;
bool alternativeTrayIcon;

// Sensitivities beyond the three table entries count as medium.
static int Sensitivity(void)
{
    return settings.frn_kan > SENSITIVITY_HIGH ? SENSITIVITY_MEDIUM : settings.frn_kan;
}

static BOOL MemoryGust(void)
{
    const int thresholds[3] = {settings.memory0, settings.memory1, settings.memory2};
    long long difference = (long long)(gust_reference - meterReading);
    if (llabs(difference) > thresholds[Sensitivity()]) {
        gust_reference = meterReading;
        return TRUE;
    }
    return FALSE;
}

// A gust when a number from 1 to the range divides the wind kind's divisor;
// the number is drawn whatever the kind.
static BOOL RandomGust(void)
{
    const int ranges[3] = {settings.random0, settings.random1, settings.random2};
    int range = ranges[Sensitivity()];
    unsigned m = RandomBelow(range < 1 ? 1u : (unsigned)range) + 1;
    const WindKind *kind = FindWindKind(settings.win_str);
    return kind && kind->gustDivisor % m == 0;
}

BOOL GustCheck(void)
{
    ReadMemoryMeter();
    switch (settings.win_obj) {
    case WIND_FROM_MEMORY:
        return MemoryGust();
    case WIND_AT_RANDOM:
        return RandomGust();
    default:
        return FALSE;
    }
}

// A fan stroke at the last pose rings and flips but stays there; the next
// tick ends the swing.
static void Advance(WindStep *step)
{
    if (pose < LAST_POSE)
        pose++;
    swing_step = pose;
    alternativeTrayIcon = !alternativeTrayIcon;
    step->iconFlipped = true;
}

WindStep WindTick(int cause)
{
    WindStep step = {};
    if (cause == CAUSE_FAN) {
        swing_step = 1;
        Ring(cause);
        Advance(&step);
    } else if (swing_step == 0) {
        step.meterRead = true;
        if (GustCheck()) {
            pose = 1;
            swing_step = 1;
        } else if (RandomBelow(10) == 0) {
            pose = pose == 0 ? 1 : 0;
        }
    } else if (swing_step >= LAST_POSE) {
        // The normal icon shows with the tray's next update.
        pose = 0;
        swing_step = 0;
        alternativeTrayIcon = false;
    } else {
        Ring(cause);
        Advance(&step);
    }
    return step;
}
