// The one pseudo-random generator that every random choice shares, so the
// order of draws is part of the chime's behaviour.
#include "wind.h"

static unsigned randomState = 1;

void SeedRandom(unsigned value)
{
    randomState = value;
}

unsigned RandomBelow(unsigned n)
{
    randomState = randomState * 1103515245u + 12345u;
    return (randomState >> 16) % n;
}
