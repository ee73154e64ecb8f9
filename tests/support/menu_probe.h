// The items whose state the menu probe reports, in the order of its bits.
#ifndef QUILLET_TEST_MENU_PROBE_H
#define QUILLET_TEST_MENU_PROBE_H

#include "resources/resource.h"

static const unsigned MENU_PROBE_ITEMS[] = {
    IDM_WIND_MEMORY, IDM_WIND_RANDOM, IDM_BREEZE,      IDM_TYPHOON,     IDM_FITFUL,    IDM_VOL_LOUDER,
    IDM_VOL_NORMAL,  IDM_VOL_QUIETER, IDM_VOL_RANDOM,  IDM_VOL_OFF,     IDM_SENS_HIGH, IDM_SENS_MEDIUM,
    IDM_SENS_LOW,    IDM_HANG_WINDOW, IDM_HANG_FREE,   IDM_HANG_FRONT,
};
#define MENU_PROBE_COUNT 16
// An item the menu lacks; every item checked and grayed, which no test sets up.
#define MENU_PROBE_FAILED 0xFFFFFFFFu

#endif
