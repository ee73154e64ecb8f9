// WAVE files that the tests and the benchmarks make: little-endian fields, chunks
// in a RIFF form, and a canonical PCM file of the samples.
#ifndef QUILLET_TEST_WAVES_H
#define QUILLET_TEST_WAVES_H

#include <string>

inline std::string Word(unsigned value) { return {char(value & 0xff), char(value >> 8 & 0xff)}; }
inline std::string Dword(unsigned value) { return Word(value & 0xffff) + Word(value >> 16); }

inline std::string Chunk(const char *id, const std::string &body) { return id + Dword((unsigned)body.size()) + body; }
inline std::string Riff(const std::string &chunks, const char *form = "WAVE")
{
    return "RIFF" + Dword(4 + (unsigned)chunks.size()) + form + chunks;
}

inline std::string PcmWave(unsigned rate, unsigned bits, unsigned channels, const std::string &samples)
{
    unsigned align = bits / 8 * channels;
    return Riff(Chunk("fmt ", Word(1) + Word(channels) + Dword(rate) + Dword(rate * align) + Word(align) + Word(bits)) +
                Chunk("data", samples));
}

#endif
