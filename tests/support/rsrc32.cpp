// A stand-in for the Resource Meter library of Windows 95/98/Me, for tests:
// built once with its entry point (always 63 % free) and once without.
#include <windows.h>

#ifdef WITH_METER_ENTRY
extern "C" __declspec(dllexport) int WINAPI FreeSystemResources(int)
{
    return 63;
}
#else
extern "C" __declspec(dllexport) int WINAPI SomethingElse(int)
{
    return 0;
}
#endif
