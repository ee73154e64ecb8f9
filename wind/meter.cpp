#include "wind.h"

int memoryUsage;

void DetectPlatformFamily(void)
{
}

void OpenMemoryMeter(void)
{
}
