// The DirectSound engine: the device, its primary buffer, the sample slots,
// the timer resolution, and the system DLLs it reaches at run time.
#include <stdlib.h>
#include <string.h>

#include "diagnostics.h"
#include "engine.h"
#include "sound.h"

#define DEVICE_LIST_ENTRIES 10
#define DEVICE_TEXT_BYTES 256
#define WINMM_ENTRIES (sizeof(WinmmEntries) / sizeof(FARPROC))
// Enumerations that fail with anything but a bad parameter are tried again.
#define ENUMERATE_RETRIES 3

static_assert(sizeof(WinmmEntries) == 9 * sizeof(FARPROC), "nine winmm entries");

typedef HRESULT(WINAPI *DirectSoundEnumerateEntry)(LPDSENUMCALLBACKA callback, LPVOID context);
typedef HRESULT(WINAPI *DirectSoundCreateEntry)(LPCGUID device, LPDIRECTSOUND *directSound, LPUNKNOWN outer);

struct DeviceEntry {
    GUID guid;
    char description[DEVICE_TEXT_BYTES];
};

static const SystemLoader realLoader = {LoadLibraryA, GetProcAddress, FreeLibrary};
static const SystemLoader *loader = &realLoader;

static struct {
    HMODULE module;
    unsigned holds;
    WinmmEntries entries;
} winmm;

static const char *const winmmNames[WINMM_ENTRIES] = {
    "timeGetTime", "timeBeginPeriod", "timeEndPeriod", "timeGetDevCaps", "timeSetEvent",
    "timeKillEvent", "joyGetNumDevs", "joyGetPos", "joyGetPosEx",
};

static HMODULE dsoundModule;
static IDirectSound *directSound;
static IDirectSoundBuffer *primaryBuffer;
static SampleSlot *slots;
static unsigned slotCount; // set only once start-up has fully succeeded
static int globalFocus;
static WAVEFORMATEX primaryFormat;
static TIMECAPS timerCaps; // wPeriodMin is non-zero while the period is in force
static int holdsWinmm;
// What the enumerations found; kept for the life of the program, so later
// starts add to it until it is full.
static DeviceEntry devices[DEVICE_LIST_ENTRIES];
static unsigned deviceCount;

void UseSystemLoader(const SystemLoader *replacement)
{
    loader = replacement ? replacement : &realLoader;
}

// Stores the entry's address in the typed pointer at *entry; 0 when missing.
static int LookUp(HMODULE module, const char *name, void *entry)
{
    FARPROC found = loader->getProcAddress(module, name);
    memcpy(entry, &found, sizeof found);
    return found != NULL;
}

unsigned AcquireWinmm(void)
{
    if (winmm.holds == 0) {
        winmm.module = loader->loadLibrary("winmm.dll");
        if (!winmm.module)
            return 0;
        FARPROC *entries = (FARPROC *)&winmm.entries;
        for (unsigned k = 0; k < WINMM_ENTRIES; k++)
            if (!LookUp(winmm.module, winmmNames[k], &entries[k])) {
                loader->freeLibrary(winmm.module);
                memset(&winmm, 0, sizeof winmm);
                return 0;
            }
    }
    return ++winmm.holds;
}

unsigned ReleaseWinmm(void)
{
    if (winmm.holds == 0)
        return 0;
    if (--winmm.holds == 0) {
        loader->freeLibrary(winmm.module);
        memset(&winmm, 0, sizeof winmm);
    }
    return winmm.holds;
}

const WinmmEntries *Winmm(void)
{
    return &winmm.entries;
}

IDirectSound *EngineDevice(void)
{
    return directSound;
}

SampleSlot *EngineSlot(unsigned sample)
{
    return sample < slotCount ? &slots[sample] : NULL;
}

int EngineGlobalFocus(void)
{
    return globalFocus;
}

UINT EnginePeriod(void)
{
    return timerCaps.wPeriodMin;
}

int GetApiRevision(void)
{
    return SOUND_API_REVISION;
}

static BOOL CALLBACK DeviceEnumCallback(LPGUID guid, LPCSTR description, LPCSTR, LPVOID)
{
    if (deviceCount == DEVICE_LIST_ENTRIES)
        return FALSE;
    DeviceEntry *entry = &devices[deviceCount];
    // The primary driver comes without a GUID: its entry keeps the zero one,
    // which opens the default device.
    if (guid)
        entry->guid = *guid;
    strncpy(entry->description, description ? description : "", DEVICE_TEXT_BYTES - 1);
    entry->description[DEVICE_TEXT_BYTES - 1] = '\0';
    deviceCount++;
    return TRUE;
}

// 1 once the device list is filled; a bad parameter is final, other errors
// get a few more tries.
static int EnumerateDevices(DirectSoundEnumerateEntry enumerate)
{
    for (int round = 0; round <= ENUMERATE_RETRIES; round++) {
        HRESULT result = enumerate(DeviceEnumCallback, NULL);
        if (result == DS_OK)
            return 1;
        if (result == DSERR_INVALIDPARAM)
            return 0;
    }
    return 0;
}

static int CreatePrimaryBuffer(void)
{
    if (primaryBuffer || !directSound)
        return 0;
    DSBUFFERDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = BUFFER_DESC_BYTES;
    desc.dwFlags = DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME;
    if (directSound->CreateSoundBuffer(&desc, &primaryBuffer, NULL) != DS_OK || !primaryBuffer) {
        primaryBuffer = NULL;
        return 0;
    }
    if (primaryBuffer->SetFormat(&primaryFormat) != DS_OK) {
        primaryBuffer->Release();
        primaryBuffer = NULL;
        return 0;
    }
    return 1;
}

int StartEngine(HWND owner, unsigned samplesPerSecond, unsigned bitsPerSample, unsigned channels, unsigned count)
{
    StopEngine();
    if (!AcquireWinmm())
        return ReportEngineError("GetFunction Failed (WINMM.DLL)");
    holdsWinmm = 1;
    dsoundModule = loader->loadLibrary("dsound.dll");
    if (!dsoundModule)
        return ReportEngineError("LoadLibrary Failed (DSOUND.DLL)");
    DirectSoundEnumerateEntry enumerate;
    if (!LookUp(dsoundModule, "DirectSoundEnumerateA", &enumerate))
        return ReportEngineError("GetProcAddress Failed (DSOUND.DLL - DirectSoundEnumerate)");
    if (!EnumerateDevices(enumerate))
        return ReportEngineError("Enumerate Driver Failed");
    DirectSoundCreateEntry create;
    if (!LookUp(dsoundModule, "DirectSoundCreate", &create))
        return ReportEngineError("GetProcAddress Failed (DSOUND.DLL - DirectSoundCreate)");
    // A device reported made but not handed over is no device.
    if (create(&devices[0].guid, &directSound, NULL) != DS_OK || !directSound) {
        directSound = NULL;
        return ReportEngineError("DirectSoundCreate Failed");
    }
    if (directSound->SetCooperativeLevel(owner, DSSCL_PRIORITY) != DS_OK)
        return ReportEngineError("Set CooperativeLevel Failed");

    primaryFormat.wFormatTag = WAVE_FORMAT_PCM;
    primaryFormat.nChannels = (WORD)channels;
    primaryFormat.nSamplesPerSec = samplesPerSecond;
    primaryFormat.wBitsPerSample = (WORD)bitsPerSample;
    primaryFormat.nBlockAlign = (WORD)(bitsPerSample * channels / 8);
    primaryFormat.nAvgBytesPerSec = samplesPerSecond * primaryFormat.nBlockAlign;
    primaryFormat.cbSize = 0;
    if (!CreatePrimaryBuffer())
        return ReportEngineError("Create PrimaryBuffer Failed");

    slots = (SampleSlot *)calloc(count, sizeof *slots);
    if (!slots)
        return ReportEngineError("Get SampleLibraryMemory Failed");
    TIMECAPS caps;
    if (Winmm()->timeGetDevCaps(&caps, sizeof caps) != TIMERR_NOERROR)
        return ReportEngineError("Get TIMECAPS Failed");
    // Kept only once the period is in force, since stopping ends it.
    if (Winmm()->timeBeginPeriod(caps.wPeriodMin) != TIMERR_NOERROR)
        return ReportEngineError("Set TimerResolution Failed");
    timerCaps = caps;
    slotCount = count;
    return 1;
}

void StopEngine(void)
{
    if (timerCaps.wPeriodMin) {
        Winmm()->timeEndPeriod(timerCaps.wPeriodMin);
        timerCaps.wPeriodMin = 0;
        timerCaps.wPeriodMax = 0;
    }
    CloseStream();
    UnloadAllSamples();
    free(slots);
    slots = NULL;
    slotCount = 0;
    globalFocus = 0;
    if (primaryBuffer) {
        primaryBuffer->Release();
        primaryBuffer = NULL;
    }
    if (directSound) {
        directSound->Release();
        directSound = NULL;
    }
    if (dsoundModule) {
        loader->freeLibrary(dsoundModule);
        dsoundModule = NULL;
    }
    if (holdsWinmm) {
        holdsWinmm = 0;
        ReleaseWinmm();
    }
}

int SetGlobalFocus(int global)
{
    if (!directSound)
        return 0;
    // Buffers keep the focus flags they were made with: the samples go.
    UnloadAllSamples();
    CloseStream();
    globalFocus = global;
    return 1;
}

int GetMasterVolume(void)
{
    LONG volume = 1;
    if (primaryBuffer)
        primaryBuffer->GetVolume(&volume);
    return volume;
}

// As the samples' setters: done whenever there is a buffer to ask.
int SetMasterVolume(int volume)
{
    if (!primaryBuffer)
        return 0;
    primaryBuffer->SetVolume(volume);
    return 1;
}
