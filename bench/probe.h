// The probe, a library a window hook loads into the running chime: the soak
// makes the mapping PROBE_MAPPING and sends the chime window the registered
// message PROBE_MESSAGE; the probe writes the GDI objects the chime holds
// into the mapping.
#ifndef QUILLET_BENCH_PROBE_H
#define QUILLET_BENCH_PROBE_H

#define PROBE_MESSAGE L"QuilletProbeQuery"
#define PROBE_MAPPING L"QuilletProbeAnswer"

struct ProbeAnswer {
    long answered;
    unsigned long value;
};

#endif
