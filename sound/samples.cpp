// The sample library: a DirectSound buffer per slot, filled from a WAVE
// resource of the program or a WAVE file.
#include <limits.h>
#include <math.h>
#include <stdlib.h>
#include <string.h>

#include "diagnostics.h"
#include "engine.h"
#include "sound.h"

#define SAMPLE_BUFFER_FLAGS \
    (DSBCAPS_CTRLFREQUENCY | DSBCAPS_CTRLPAN | DSBCAPS_CTRLVOLUME | DSBCAPS_LOCSOFTWARE | DSBCAPS_GETCURRENTPOSITION2)

// The buffer of a loaded sample, or null.
static IDirectSoundBuffer *SampleBuffer(unsigned sample)
{
    SampleSlot *slot = EngineSlot(sample);
    return slot ? slot->buffer : NULL;
}

IDirectSoundBuffer *CreateVoiceBuffer(const WaveInfo *wave, DWORD bytes)
{
    DSBUFFERDESC desc;
    memset(&desc, 0, sizeof desc);
    desc.dwSize = BUFFER_DESC_BYTES;
    desc.dwFlags = SAMPLE_BUFFER_FLAGS | (EngineGlobalFocus() ? DSBCAPS_GLOBALFOCUS : 0);
    desc.dwBufferBytes = bytes;
    desc.lpwfxFormat = (LPWAVEFORMATEX)wave;
    IDirectSoundBuffer *buffer = NULL;
    if (EngineDevice()->CreateSoundBuffer(&desc, &buffer, NULL) != DS_OK)
        return NULL;
    return buffer;
}

// Fills a locked region with the sound's data from the offset on, and with
// silence where the data ends. Returns the data bytes it took.
static DWORD CopyOrSilence(BYTE *region, DWORD bytes, const WaveInfo *wave, DWORD offset)
{
    DWORD left = offset < wave->dataSize ? wave->dataSize - offset : 0;
    DWORD taken = bytes < left ? bytes : left;
    memcpy(region, wave->data + offset, taken);
    memset(region + taken, SilenceByte(wave->bitsPerSample), bytes - taken);
    return taken;
}

// Copies the sound into a new buffer of its own size. Null on failure, with
// nothing left behind.
static IDirectSoundBuffer *CreateSampleBuffer(const WaveInfo *wave)
{
    IDirectSoundBuffer *buffer = CreateVoiceBuffer(wave, wave->dataSize);
    if (!buffer)
        return NULL;
    buffer->Restore();
    void *first, *second;
    DWORD firstBytes, secondBytes;
    if (!LockRegions(buffer, 0, wave->dataSize, &first, &firstBytes, &second, &secondBytes)) {
        buffer->Release();
        return NULL;
    }
    // A mixer may hand out regions longer than asked: they get the data and
    // then silence, and nothing is read beyond the data.
    DWORD taken = CopyOrSilence((BYTE *)first, firstBytes, wave, 0);
    if (second)
        CopyOrSilence((BYTE *)second, secondBytes, wave, taken);
    buffer->Unlock(first, firstBytes, second, secondBytes);
    return buffer;
}

int LoadSample(unsigned sample, LPCSTR name)
{
    SampleSlot *slot = EngineSlot(sample);
    if (!slot || slot->buffer)
        return 0;
    HMODULE program = GetModuleHandleA(NULL);
    int fromResource = FindResourceA(program, name, "WAVE") != NULL;
    WaveInfo wave;
    if (fromResource) {
        if (!ReadWaveResource(program, name, &wave))
            return 0;
    } else if (IS_INTRESOURCE(name)) {
        // A number names no file.
        return ReportWaveError(-1, "Resource Reading Error\n");
    } else if (!ReadWaveFile(name, &wave)) {
        return 0;
    }
    IDirectSoundBuffer *buffer = wave.dataSize ? CreateSampleBuffer(&wave) : NULL;
    ReleaseWaveData(&wave);
    if (!buffer)
        return 0;
    slot->wave = wave;
    slot->buffer = buffer;
    if (fromResource)
        return 1;
    size_t bytes = strlen(name) + 1;
    slot->path = (char *)malloc(bytes);
    if (!slot->path) {
        UnloadSample(sample);
        return 0;
    }
    memcpy(slot->path, name, bytes);
    return 1;
}

int UnloadSample(unsigned sample)
{
    SampleSlot *slot = EngineSlot(sample);
    if (!slot || !slot->buffer)
        return 0;
    RewindSample(sample);
    free(slot->path);
    slot->buffer->Release();
    memset(slot, 0, sizeof *slot);
    return 1;
}

void UnloadAllSamples(void)
{
    for (unsigned sample = 0; EngineSlot(sample); sample++)
        UnloadSample(sample);
}

int PlaySample(unsigned sample, int loop)
{
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (!buffer)
        return 0;
    buffer->Play(0, 0, loop ? DSBPLAY_LOOPING : 0);
    return 1;
}

int StopSample(unsigned sample)
{
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (!buffer)
        return 0;
    buffer->Stop();
    return 1;
}

int RewindSample(unsigned sample)
{
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (!buffer)
        return 0;
    buffer->Stop();
    buffer->SetCurrentPosition(0);
    return 1;
}

int GetSamplePan(unsigned sample)
{
    LONG pan = SOUND_NO_PAN;
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (buffer)
        buffer->GetPan(&pan);
    return pan;
}

int SetSamplePan(unsigned sample, int pan)
{
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (!buffer)
        return 0;
    buffer->SetPan(pan);
    return 1;
}

unsigned GetSampleFrequency(unsigned sample)
{
    DWORD hz = 0;
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (buffer)
        buffer->GetFrequency(&hz);
    return hz;
}

int SetSampleFrequency(unsigned sample, unsigned hz)
{
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (!buffer)
        return 0;
    buffer->SetFrequency(hz);
    return 1;
}

int GetSampleVolume(unsigned sample)
{
    LONG volume = 1;
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (buffer)
        buffer->GetVolume(&volume);
    return volume;
}

int SetSampleVolume(unsigned sample, int volume)
{
    IDirectSoundBuffer *buffer = SampleBuffer(sample);
    if (!buffer)
        return 0;
    buffer->SetVolume(volume);
    return 1;
}

// Buffer bytes per millisecond at the sample's current frequency; 0 when
// unknown.
static long double BytesPerMillisecond(const SampleSlot *slot)
{
    DWORD hz = 0;
    if (!slot || !slot->buffer || !slot->wave.blockAlign || slot->buffer->GetFrequency(&hz) != DS_OK || !hz)
        return 0;
    return MillisecondBytes(slot->wave.blockAlign, hz);
}

// A long sound slowed far down lasts more milliseconds than an int counts.
static int Milliseconds(DWORD bytes, long double perMillisecond)
{
    long double milliseconds = bytes / perMillisecond;
    return milliseconds >= INT_MAX ? INT_MAX : (int)milliseconds;
}

int GetSamplePosition(unsigned sample)
{
    SampleSlot *slot = EngineSlot(sample);
    long double perMillisecond = BytesPerMillisecond(slot);
    DWORD played;
    if (perMillisecond == 0 || slot->buffer->GetCurrentPosition(&played, NULL) != DS_OK)
        return 0;
    return Milliseconds(played, perMillisecond);
}

// Bytes are truncated toward zero: a millisecond back from the start is no
// byte back where a millisecond is less than a byte.
int SetSamplePosition(unsigned sample, int milliseconds)
{
    SampleSlot *slot = EngineSlot(sample);
    long double perMillisecond = BytesPerMillisecond(slot);
    long double bytes = truncl(perMillisecond * milliseconds);
    if (perMillisecond == 0 || bytes < 0 || bytes >= BUFFER_BYTES_LIMIT)
        return 0;
    return slot->buffer->SetCurrentPosition((DWORD)bytes) == DS_OK;
}

int GetSampleLength(unsigned sample)
{
    SampleSlot *slot = EngineSlot(sample);
    long double perMillisecond = BytesPerMillisecond(slot);
    if (perMillisecond == 0)
        return 0;
    return Milliseconds(slot->wave.dataSize, perMillisecond);
}
