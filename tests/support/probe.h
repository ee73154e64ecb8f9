// The probe, a library a window hook loads into the running program: the test
// makes the mapping PROBE_MAPPING and sends the chime window the registered
// message PROBE_MESSAGE; the probe writes its answer into the mapping:
//   wParam 0: the GDI objects the process holds;
//   wParam a menu item's id, lParam the menu: the item's state (GetMenuState).
#ifndef QUILLET_TEST_PROBE_H
#define QUILLET_TEST_PROBE_H

#define PROBE_MESSAGE L"QuilletProbeQuery"
#define PROBE_MAPPING L"QuilletProbeAnswer"

struct ProbeAnswer {
    long answered;
    unsigned long value;
};

#endif
