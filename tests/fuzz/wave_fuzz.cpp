// libFuzzer target for the WAVE readers, built natively on Linux: each input
// is read as a resource image and as a file.
#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/mman.h>
#include <unistd.h>

#include "sound/sound.h"
#include "sound/wave.h"

// The readers never stop the engine, which this build leaves out.
void StopEngine(void) {}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *input, size_t size)
{
    // A copy of exactly the input's size: the sanitizer catches a read past it.
    uint8_t *image = (uint8_t *)malloc(size + !size);
    memcpy(image, input, size);
    WaveInfo info, whole;
    if (ReadWaveImage(image, (uint32_t)size, &info) && info.data + info.dataSize > image + size)
        abort();
    free(image);
    static int memory = memfd_create("wave", 0);
    static char path[64];
    snprintf(path, sizeof path, "/proc/self/fd/%d", memory);
    if (ftruncate(memory, 0) || pwrite(memory, input, size, 0) != (ssize_t)size)
        abort();
    int lowest = dup(0); // the lowest free descriptor, taken by a file a reader leaves open
    close(lowest);
    if (ReadWaveFile(path, &whole)) {
        // No more than the file holds, and its own bytes.
        if (whole.dataOffset + (uint64_t)whole.dataSize > size ||
            memcmp(whole.data, input + whole.dataOffset, whole.dataSize))
            abort();
        ReleaseWaveData(&whole);
    }
    if (fcntl(lowest, F_GETFD) != -1)
        abort();
    return 0;
}
