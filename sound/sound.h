// The sound library's operations, in the order of its entry table. Sample
// operations give 1 when done and 0 when refused, unless noted; refused means
// no loaded sample at that index. A value the device will not take (a volume
// above 0, say) still counts as done: the device's answer is not looked at.
#ifndef QUILLET_SOUND_H
#define QUILLET_SOUND_H

#ifdef _WIN32
#include <windows.h>
#else
// The fuzz build on Linux compiles the support log alone and needs only the names.
typedef struct HWND__ *HWND;
typedef const char *LPCSTR;
#endif

#define SOUND_API_REVISION 355
#define SOUND_API_ENTRIES 27
// What GetSamplePan gives when it is refused: no pan is this far left.
#define SOUND_NO_PAN ((int)0x80000000)

int GetApiRevision(void);
// Opens the default device at the given primary format with room for slots
// samples. On failure the reason goes to the support log and all is stopped.
int StartEngine(HWND owner, unsigned samplesPerSecond, unsigned bitsPerSample, unsigned channels,
                unsigned slots);
// Silences every voice and lets the sound device go; safe at any time.
void StopEngine(void);
// name: a WAVE resource of the program, or else the path of a WAVE file.
int LoadSample(unsigned sample, LPCSTR name);
int UnloadSample(unsigned sample);
void UnloadAllSamples(void);
int OpenStream(LPCSTR path, unsigned milliseconds);
void CloseStream(void);
int PlaySample(unsigned sample, int loop);
int StopSample(unsigned sample);
int RewindSample(unsigned sample);
int PlayStream(int loop);
int PauseStream(void);
int StopStream(void);
// SOUND_NO_PAN when refused.
int GetSamplePan(unsigned sample);
int SetSamplePan(unsigned sample, int pan);
// Hz; 0 when refused.
unsigned GetSampleFrequency(unsigned sample);
int SetSampleFrequency(unsigned sample, unsigned hz);
// Hundredths of a decibel, 0 or below; 1 when refused.
int GetSampleVolume(unsigned sample);
int SetSampleVolume(unsigned sample, int volume);
// 1 when there is no primary buffer.
int GetMasterVolume(void);
int SetMasterVolume(int volume);
// Milliseconds from the start; 0 when refused.
int GetSamplePosition(unsigned sample);
int SetSamplePosition(unsigned sample, int milliseconds);
// Milliseconds; 0 when refused.
int GetSampleLength(unsigned sample);
// Samples made after this keep sounding while other programs have the focus.
// Unloads every sample. 0 when the engine is not running.
int SetGlobalFocus(int global);
// Writes printf-style text to supinfo.txt in the current folder, in text
// mode: the first call of the run replaces the file, later calls append.
void WriteSupportLog(const char *format, ...);

// The operations as data, in the order above.
struct SoundApiTable {
    int (*getApiRevision)(void);
    int (*startEngine)(HWND, unsigned, unsigned, unsigned, unsigned);
    void (*stopEngine)(void);
    int (*loadSample)(unsigned, LPCSTR);
    int (*unloadSample)(unsigned);
    void (*unloadAllSamples)(void);
    int (*openStream)(LPCSTR, unsigned);
    void (*closeStream)(void);
    int (*playSample)(unsigned, int);
    int (*stopSample)(unsigned);
    int (*rewindSample)(unsigned);
    int (*playStream)(int);
    int (*pauseStream)(void);
    int (*stopStream)(void);
    int (*getSamplePan)(unsigned);
    int (*setSamplePan)(unsigned, int);
    unsigned (*getSampleFrequency)(unsigned);
    int (*setSampleFrequency)(unsigned, unsigned);
    int (*getSampleVolume)(unsigned);
    int (*setSampleVolume)(unsigned, int);
    int (*getMasterVolume)(void);
    int (*setMasterVolume)(int);
    int (*getSamplePosition)(unsigned);
    int (*setSamplePosition)(unsigned, int);
    int (*getSampleLength)(unsigned);
    int (*setGlobalFocus)(int);
    void (*writeSupportLog)(const char *, ...);
};

extern const SoundApiTable SoundApi;

#endif
