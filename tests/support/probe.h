// The probe: a library that a window hook loads into the running program, so
// that a test can read what only the program's own thread can see. A test
// sends the chime window the registered message PROBE_MESSAGE with the query
// in wParam and its argument in lParam; the probe writes its answer into the
// named mapping PROBE_MAPPING, which the test has made.
#ifndef QUILLET_TEST_PROBE_H
#define QUILLET_TEST_PROBE_H

#include <windows.h>

#include "resources/resource.h"

#define PROBE_MESSAGE L"QuilletProbeQuery"
#define PROBE_MAPPING L"QuilletProbeAnswer"

// lParam: the popup menu. Answer: two bits for each of MENU_PROBE_ITEMS,
// checked then grayed, or MENU_PROBE_FAILED when the menu lacks an item.
#define PROBE_MENU_STATES 1
// Answer: the GDI objects the process holds.
#define PROBE_GDI_OBJECTS 2

struct ProbeAnswer {
    LONG answered;
    DWORD value;
};

static const unsigned MENU_PROBE_ITEMS[] = {
    IDM_WIND_MEMORY, IDM_WIND_RANDOM, IDM_BREEZE,      IDM_TYPHOON,     IDM_FITFUL,    IDM_VOL_LOUDER,
    IDM_VOL_NORMAL,  IDM_VOL_QUIETER, IDM_VOL_RANDOM,  IDM_VOL_OFF,     IDM_SENS_HIGH, IDM_SENS_MEDIUM,
    IDM_SENS_LOW,    IDM_HANG_WINDOW, IDM_HANG_FREE,   IDM_HANG_FRONT,
};
#define MENU_PROBE_COUNT 16
// Every item checked and grayed, which no test sets up.
#define MENU_PROBE_FAILED 0xFFFFFFFFu

#endif
