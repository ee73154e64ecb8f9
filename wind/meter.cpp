#include "wind.h"

BYTE platformFamily = FAMILY_NT;
int memoryUsage;

void DetectPlatformFamily(void)
{
    OSVERSIONINFOA version;
    ZeroMemory(&version, sizeof version);
    version.dwOSVersionInfoSize = sizeof version;
    if (!GetVersionExA(&version))
        return;
    switch (version.dwPlatformId) {
    case VER_PLATFORM_WIN32_WINDOWS:
        platformFamily = FAMILY_WIN9X;
        break;
    case VER_PLATFORM_WIN32_NT:
        platformFamily = FAMILY_NT;
        break;
    default:
        platformFamily = FAMILY_OTHER;
    }
}

void OpenMemoryMeter(void)
{
}
