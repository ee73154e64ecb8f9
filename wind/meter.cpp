// The memory meter: physical memory in the NT family, the Resource Meter's
// free system resources on the Windows 95/98/Me family.
#include <windows.h>
#include <float.h>

#include "wind.h"

BYTE platformFamily = FAMILY_NT;
int memoryUsage;
unsigned long long meterReading;
int meterUnavailable;

typedef int(WINAPI *FreeResourcesEntry)(int);
typedef BOOL(WINAPI *MemoryStatusExEntry)(LPMEMORYSTATUSEX);

static const char METER_ENTRY[] = "_MyGetFreeSystemResources32@4";
static HMODULE meterLibrary;

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

const char *OpenMemoryMeter(void)
{
    if (platformFamily == FAMILY_NT)
        return NULL;
    const char *missing = NULL;
    meterLibrary = LoadLibraryA("RSRC32.DLL");
    if (!meterLibrary)
        missing = "RSRC32.DLLが見つかりません、短冊は正しく機能出来ません。\r\n"
                  "Windows95/98/Meの方は、標準のリソースモニタをインストールしてみてください。";
    else if (!GetProcAddress(meterLibrary, METER_ENTRY))
        missing = "_MyGetFreeSystemResources32@4が見つかりません。";
    meterUnavailable = missing != NULL;
    memoryUsage = 0;
    meterReading = 0;
    return missing;
}

int UsageFromMemory(unsigned long long available, unsigned long long total)
{
    if (total == 0)
        return 0;
#if defined(__i386__)
    // The x87 unit would keep the quotient in extended precision (29 of 100
    // would give 29 instead of 28); round every step to double as SSE does.
    unsigned int saved = _control87(0, 0);
    _control87(_PC_53, _MCW_PC);
#endif
    volatile double share = (double)available / (double)total;
    volatile double percent = share * 100.0;
    int usage = 100 - (int)percent;
#if defined(__i386__)
    _control87(saved, _MCW_PC);
#endif
    return usage;
}

// GlobalMemoryStatus caps both figures at 2 GiB in a 32-bit program, which
// reads 0 % on any machine with more memory; the Ex form, where the system
// has it, gives the true 64-bit figures.
static void ReadPhysicalMemory(unsigned long long *available, unsigned long long *total)
{
    MemoryStatusExEntry statusEx =
        (MemoryStatusExEntry)(void *)GetProcAddress(GetModuleHandleA("kernel32.dll"), "GlobalMemoryStatusEx");
    if (statusEx) {
        MEMORYSTATUSEX status;
        status.dwLength = sizeof status;
        if (statusEx(&status)) {
            *available = status.ullAvailPhys;
            *total = status.ullTotalPhys;
            return;
        }
    }
    MEMORYSTATUS status;
    status.dwLength = sizeof status;
    GlobalMemoryStatus(&status);
    *available = status.dwAvailPhys;
    *total = status.dwTotalPhys;
}

void ReadMemoryMeter(void)
{
    if (platformFamily == FAMILY_NT) {
        unsigned long long available, total;
        ReadPhysicalMemory(&available, &total);
        meterReading = available;
        memoryUsage = UsageFromMemory(available, total);
        return;
    }
    if (meterUnavailable)
        return;
    FreeResourcesEntry freeResources = (FreeResourcesEntry)(void *)GetProcAddress(meterLibrary, METER_ENTRY);
    if (!freeResources) {
        memoryUsage = 0;
        meterReading = 0;
        return;
    }
    memoryUsage = 100 - freeResources(0);
    meterReading = (unsigned long long)memoryUsage;
}
