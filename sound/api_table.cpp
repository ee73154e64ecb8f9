// The library's entry table.
#include "sound.h"

static_assert(sizeof(SoundApiTable) == SOUND_API_ENTRIES * sizeof(void (*)(void)), "one entry per operation");

const SoundApiTable SoundApi = {
    GetApiRevision, StartEngine, StopEngine, LoadSample, UnloadSample, UnloadAllSamples, OpenStream,
    CloseStream, PlaySample, StopSample, RewindSample, PlayStream, PauseStream, StopStream, GetSamplePan,
    SetSamplePan, GetSampleFrequency, SetSampleFrequency, GetSampleVolume, SetSampleVolume,
    GetMasterVolume, SetMasterVolume, GetSamplePosition, SetSamplePosition, GetSampleLength,
    SetGlobalFocus, WriteSupportLog,
};
