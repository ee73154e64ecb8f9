// The DirectSound engine: the device, its buffers and the voices.
#include "sound.h"

void StopEngine(void)
{
    // No device is opened yet, so there is nothing to stop.
}
