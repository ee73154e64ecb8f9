// The engine's parts that the rest of the sound library shares. Internal to
// the library.
#ifndef QUILLET_SOUND_ENGINE_H
#define QUILLET_SOUND_ENGINE_H

#include <windows.h>
#include <dsound.h>
#include <mmsystem.h>

#include "wave.h"

// Bytes of the first version of DSBUFFERDESC, which every DirectSound takes;
// the headers' record is longer.
#define BUFFER_DESC_BYTES offsetof(DSBUFFERDESC, guid3DAlgorithm)
// Conversions to buffer bytes beyond this cannot be positions or lengths.
#define BUFFER_BYTES_LIMIT 4294967296.0L

// A sample: its buffer, the copy of its file path (null for a resource) and
// the format and size it was read with. Empty while buffer is null.
struct SampleSlot {
    IDirectSoundBuffer *buffer;
    char *path;
    WaveInfo wave;
};

// The engine's device, null while it is stopped.
IDirectSound *EngineDevice(void);

// The slot of a sample, or null when the index is beyond the library.
SampleSlot *EngineSlot(unsigned sample);

// 1 when samples are to keep sounding without the focus.
int EngineGlobalFocus(void);

// The timer period in force while the engine runs, in milliseconds.
UINT EnginePeriod(void);

// Buffer bytes per millisecond of a format: 0.001 is taken in single
// precision and the product in extended precision, as the library has always
// converted.
inline long double MillisecondBytes(unsigned blockAlign, unsigned hz)
{
    return (long double)blockAlign * hz * 0.001f;
}

// The byte of silence: 8-bit samples are unsigned, wider ones signed.
inline BYTE SilenceByte(unsigned bitsPerSample)
{
    return bitsPerSample <= 8 ? 0x80 : 0x00;
}

// Locks bytes of the buffer from offset, in one region or two. A device may
// say yes and hand out no region to write: that counts as a refusal, once
// what it locked is unlocked again, and a missing second region as an empty one.
inline bool LockRegions(IDirectSoundBuffer *buffer, DWORD offset, DWORD bytes, void **first, DWORD *firstBytes,
                        void **second, DWORD *secondBytes)
{
    if (buffer->Lock(offset, bytes, first, firstBytes, second, secondBytes, 0) != DS_OK)
        return false;
    if (!*first && *firstBytes) {
        buffer->Unlock(*first, *firstBytes, *second, *secondBytes);
        return false;
    }
    if (!*second)
        *secondBytes = 0;
    return true;
}

// A secondary buffer of the bytes in the sound's format, with the controls of
// a sample and the engine's focus setting; null when the device refuses it.
IDirectSoundBuffer *CreateVoiceBuffer(const WaveInfo *wave, DWORD bytes);

// How the library loads system DLLs and finds their entries. A test may put
// a stand-in system in place with UseSystemLoader; null restores the real one.
struct SystemLoader {
    HMODULE(WINAPI *loadLibrary)(LPCSTR name);
    FARPROC(WINAPI *getProcAddress)(HMODULE module, LPCSTR name);
    BOOL(WINAPI *freeLibrary)(HMODULE module);
};

void UseSystemLoader(const SystemLoader *loader);

// The entries of winmm.dll the library uses, in the order they are looked up.
struct WinmmEntries {
    DWORD(WINAPI *timeGetTime)(void);
    MMRESULT(WINAPI *timeBeginPeriod)(UINT period);
    MMRESULT(WINAPI *timeEndPeriod)(UINT period);
    MMRESULT(WINAPI *timeGetDevCaps)(LPTIMECAPS caps, UINT bytes);
    MMRESULT(WINAPI *timeSetEvent)(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags);
    MMRESULT(WINAPI *timeKillEvent)(UINT timer);
    UINT(WINAPI *joyGetNumDevs)(void);
    MMRESULT(WINAPI *joyGetPos)(UINT joystick, LPJOYINFO info);
    MMRESULT(WINAPI *joyGetPosEx)(UINT joystick, LPJOYINFOEX info);
};

// Loads winmm.dll with all its entries on the first hold. Returns the number
// of holds, or 0 when the DLL or one of the entries is missing.
unsigned AcquireWinmm(void);

// Gives up a hold; the DLL is freed with the last one. Returns the holds left.
unsigned ReleaseWinmm(void);

// The entries, valid while winmm is held.
const WinmmEntries *Winmm(void);

#endif
