#include "waves.h"

static std::string Little(unsigned value, int bytes)
{
    std::string text;
    for (int k = 0; k < bytes; k++)
        text += char(value >> 8 * k & 0xff);
    return text;
}

std::string PcmWave(unsigned rate, unsigned bits, unsigned channels, const std::string &samples)
{
    unsigned block = bits / 8 * channels;
    std::string format = Little(1, 2) + Little(channels, 2) + Little(rate, 4) + Little(rate * block, 4) +
                         Little(block, 2) + Little(bits, 2);
    return "RIFF" + Little(36 + (unsigned)samples.size(), 4) + "WAVEfmt " + Little(16, 4) + format + "data" +
           Little((unsigned)samples.size(), 4) + samples;
}

