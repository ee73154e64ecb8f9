// A stand-in for the Resource Meter library of Windows 95/98/Me: 63 % free.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI FreeSystemResources(int)
{
    return 63;
}
