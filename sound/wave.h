// Reading WAVE sounds from the program's resources and from files. Internal
// to the sound library. Everything but the resource lookup is portable, so
// the parsing also builds natively on Linux for fuzzing.
#ifndef QUILLET_SOUND_WAVE_H
#define QUILLET_SOUND_WAVE_H

#include <stddef.h>
#include <stdint.h>

#ifdef _WIN32
#include <windows.h>
#endif

// A sound's format and where its samples are. The first seven fields are laid
// out as WAVEFORMATEX: the record itself is handed to DirectSound as the
// format of a buffer.
struct WaveInfo {
    uint16_t formatTag;
    uint16_t channels;
    uint32_t samplesPerSecond;
    uint32_t averageBytesPerSecond;
    uint16_t blockAlign;
    uint16_t bitsPerSample;
    uint16_t extraSize; // always 0 after a read
    uint32_t dataOffset; // of the first sample byte, from the start of the RIFF data
    uint32_t dataSize;
    uint32_t fromResource; // 1: data points into a resource image we do not own
    const uint8_t *data; // null, the resource's samples, or our heap block
};

static_assert(offsetof(WaveInfo, channels) == 2 && offsetof(WaveInfo, samplesPerSecond) == 4 &&
                  offsetof(WaveInfo, averageBytesPerSecond) == 8 && offsetof(WaveInfo, blockAlign) == 12 &&
                  offsetof(WaveInfo, bitsPerSample) == 14 && offsetof(WaveInfo, extraSize) == 16,
              "the format fields are laid out as WAVEFORMATEX");
static_assert(offsetof(WaveInfo, dataOffset) == 20 && offsetof(WaveInfo, dataSize) == 24 &&
                  offsetof(WaveInfo, fromResource) == 28 && offsetof(WaveInfo, data) == 32,
              "the data fields follow the format");
#ifdef _WIN32
static_assert(sizeof(WAVEFORMATEX) == 18 && offsetof(WAVEFORMATEX, nSamplesPerSec) == 4 &&
                  offsetof(WAVEFORMATEX, wBitsPerSample) == 14 && offsetof(WAVEFORMATEX, cbSize) == 16,
              "WAVEFORMATEX as the record expects it");
#endif

// The eight bytes that open every RIFF chunk.
struct ChunkHeader {
    char id[4];
    uint32_t size;
};

static_assert(sizeof(ChunkHeader) == 8, "chunk header layout");

// Every reader returns 1 on success and 0 on failure; failures other than the
// silent ones are reported to the debugger.

// Parses a WAVE resource image as LockResource gave it (null when the lock
// failed). Fills *info only on success; the data then points into the image.
int ReadWaveImage(const void *image, uint32_t size, WaveInfo *info);

#ifdef _WIN32
// Reads the WAVE resource name of module. Silent when name or info is null.
int ReadWaveResource(HMODULE module, const char *name, WaveInfo *info);
#endif

// Reads the format and the place of the data of a WAVE file, not the data.
// Silent, leaving *info untouched, when the file cannot be opened.
int ReadWaveFileHeader(const char *path, WaveInfo *info);

// Reads a WAVE file with its data, into a heap block that *info owns.
int ReadWaveFile(const char *path, WaveInfo *info);

// Frees the data of a record that owns it.
void ReleaseWaveData(WaveInfo *info);

// Searches file from its position for the id, byte by byte, in blocks. Found:
// the header is read and the file is left at the chunk's body. Not found: the
// file is back where it was.
int FindFileChunk(int file, const char *id, ChunkHeader *header);

#endif
