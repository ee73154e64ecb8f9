// WAVE files that the tests and benchmarks make for the sound library.
#ifndef QUILLET_TEST_WAVES_H
#define QUILLET_TEST_WAVES_H

#include <string>

// A canonical PCM WAVE file: the 44-byte header, then the samples.
std::string PcmWave(unsigned rate, unsigned bits, unsigned channels, const std::string &samples);

#endif
