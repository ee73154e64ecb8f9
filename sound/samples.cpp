// The sample library. Until the engine has started there are no slots, and
// every sample operation is refused.
#include "sound.h"

int PlaySample(unsigned, int)
{
    return 0;
}

int SetSamplePan(unsigned, int)
{
    return 0;
}

int SetSampleVolume(unsigned, int)
{
    return 0;
}

int GetSamplePosition(unsigned)
{
    return 0;
}
