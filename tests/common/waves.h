// WAVE files that the tests and the benchmarks make: little-endian fields and
// a canonical PCM file of the samples.
#ifndef QUILLET_TEST_WAVES_H
#define QUILLET_TEST_WAVES_H

#include <string>

inline std::string Word(unsigned value) { return {char(value & 0xff), char(value >> 8 & 0xff)}; }
inline std::string Dword(unsigned value) { return Word(value & 0xffff) + Word(value >> 16); }

inline std::string PcmWave(unsigned rate, unsigned bits, unsigned channels, const std::string &samples)
{
    unsigned align = bits / 8 * channels;
    std::string format = Word(1) + Word(channels) + Dword(rate) + Dword(rate * align) + Word(align) + Word(bits);
    return "RIFF" + Dword(36 + (unsigned)samples.size()) + "WAVEfmt " + Dword(16) + format + "data" +
           Dword((unsigned)samples.size()) + samples;
}

#endif
