// libFuzzer target for the WAVE readers, built natively on Linux: each input
// is parsed as a resource image, then read as a file, header and whole. The
// file is an in-memory one, reached by its /proc path.
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include <sanitizer/asan_interface.h>

#include "sound/sound.h"
#include "sound/wave.h"

// The engine drives DirectSound and is not part of this build; the readers
// never stop it.
void StopEngine(void)
{
}

// Standard output, since the bounded run drops the readers' standard error.
static void Require(bool condition, const char *what)
{
    if (!condition) {
        printf("broken: %s\n", what);
        fflush(stdout);
        abort();
    }
}

// The lowest free descriptor: it moves if a reader leaves a file open.
static int FreeDescriptor(void)
{
    int probe = dup(0);
    close(probe);
    return probe;
}

static void FuzzImage(const uint8_t *input, uint32_t size)
{
    // A copy of exactly the input's size, so a read past it is caught.
    uint8_t *image = (uint8_t *)malloc(size ? size : 1);
    memcpy(image, input, size);
    WaveInfo info;
    if (ReadWaveImage(image, size, &info)) {
        // After the RIFF header and the two chunk headers at the least.
        Require(info.dataOffset >= 28 && info.dataOffset <= size, "image data offset outside the image");
        Require(info.data == image + info.dataOffset, "image data pointer");
        Require(info.dataSize <= size - info.dataOffset, "image data past the end");
        Require(!__asan_region_is_poisoned((void *)info.data, info.dataSize), "image data in a red zone");
        Require(info.fromResource == 1 && info.extraSize == 0, "image record flags");
        ReleaseWaveData(&info);
        Require(info.data != NULL, "an image record released");
    }
    free(image);
}

static void FuzzFile(const uint8_t *input, uint32_t size)
{
    static int memory = -1;
    static char path[64];
    if (memory == -1) {
        memory = memfd_create("wave", 0);
        Require(memory != -1, "memfd_create");
        snprintf(path, sizeof path, "/proc/self/fd/%d", memory);
    }
    Require(ftruncate(memory, 0) == 0 && pwrite(memory, input, size, 0) == (ssize_t)size, "writing the input");

    int lowest = FreeDescriptor();
    WaveInfo header, whole;
    int headerRead = ReadWaveFileHeader(path, &header);
    Require(FreeDescriptor() == lowest, "the header reader left a file open");
    if (headerRead) {
        Require(header.dataOffset <= size, "data offset past the end of the file");
        Require(header.fromResource == 0 && header.data == NULL && header.extraSize == 0, "header record");
    }
    int wholeRead = ReadWaveFile(path, &whole);
    Require(FreeDescriptor() == lowest, "the file reader left a file open");
    Require(wholeRead <= headerRead, "data read without a header");
    if (wholeRead) {
        Require(memcmp(&whole, &header, offsetof(WaveInfo, data)) == 0, "the header read differently");
        Require(header.dataSize <= size - header.dataOffset, "more data read than the file holds");
        Require(memcmp(whole.data, input + header.dataOffset, header.dataSize) == 0, "data differs from the file");
        ReleaseWaveData(&whole);
        Require(whole.data == NULL, "data not released");
    } else if (headerRead) {
        Require(whole.data == NULL, "a block kept after a failure");
    }
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    if (size > UINT32_MAX)
        return 0;
    FuzzImage(input, (uint32_t)size);
    FuzzFile(input, (uint32_t)size);
    return 0;
}

// Before fuzzing: the file named by $WAVE_TRUNCATIONS cut short at every
// length, each length through the same checks.
extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    const char *path = getenv("WAVE_TRUNCATIONS");
    if (!path)
        return 0;
    FILE *file = fopen(path, "rb");
    Require(file != NULL, "opening $WAVE_TRUNCATIONS");
    static uint8_t bytes[1 << 20];
    size_t size = fread(bytes, 1, sizeof bytes, file);
    fclose(file);
    for (size_t length = 0; length <= size; length++)
        LLVMFuzzerTestOneInput(bytes, length);
    printf("every truncation of %s read: %zu lengths\n", path, size + 1);
    return 0;
}
