// A stand-in for the Resource Meter library of Windows 95/98/Me: 63 % free, or
// the share that meter.ini in the current folder names, read at each call.
#include <windows.h>

extern "C" __declspec(dllexport) int WINAPI FreeSystemResources(int)
{
    return GetPrivateProfileIntA("Meter", "free", 63, ".\\meter.ini");
}
