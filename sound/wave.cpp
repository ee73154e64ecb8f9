// Reading WAVE sounds: from a resource image in memory, or from a file
// through the runtime's low-level calls. The chunk sizes are not trusted:
// the chunk ids are searched for byte by byte.
#include <stdlib.h>
#include <string.h>

#include "diagnostics.h"
#include "file_io.h"
#include "wave.h"

#define PCM_FORMAT_TAG 1
// The format fields a read keeps: tag to bits per sample.
#define FORMAT_FIELD_BYTES 16
// A file's format chunk is read into this much; a longer one is skipped past.
#define FORMAT_AREA_BYTES 20
#define SEARCH_BLOCK_BYTES 16384
// A read's result is an int: larger data is read in pieces.
#define READ_PIECE_BYTES 0x40000000u

static_assert(FORMAT_FIELD_BYTES == offsetof(WaveInfo, extraSize), "the fields a read copies");

static uint16_t Word(const uint8_t *at)
{
    uint16_t value;
    memcpy(&value, at, sizeof value);
    return value;
}

static uint32_t Dword(const uint8_t *at)
{
    uint32_t value;
    memcpy(&value, at, sizeof value);
    return value;
}

// The first position from which the id starts with at least span bytes of
// the image there; size when there is none.
static uint32_t FindImageId(const uint8_t *bytes, uint32_t size, uint32_t from, uint32_t span, const char *id)
{
    for (uint32_t at = from; at < size && size - at >= span; at++)
        if (!memcmp(bytes + at, id, 4))
            return at;
    return size;
}

int ReadWaveImage(const void *image, uint32_t size, WaveInfo *info)
{
    if (size < 20)
        return ReportWaveError(-1, "Bad Wave Resource\n");
    if (!image)
        return ReportWaveError(-1, "Lock Resource Failed\n");
    const uint8_t *bytes = (const uint8_t *)image;
    if (memcmp(bytes, "RIFF", 4))
        return ReportWaveError(-1, "RIFF Chunk Reading Error\n");
    if (memcmp(bytes + 8, "WAVE", 4))
        return ReportWaveError(-1, "WAVE Header Reading Error\n");
    uint32_t format = FindImageId(bytes, size, 12, 27, "fmt ");
    if (format == size)
        return ReportWaveError(-1, "Format Chunk Reading Error\n");
    const uint8_t *fields = bytes + format + 8;
    if (Word(fields) != PCM_FORMAT_TAG)
        return ReportWaveError(-1, "Only a PCM Format is Supported\n");
    uint32_t data = FindImageId(bytes, size, format + 8, 8, "data");
    if (data == size)
        return ReportWaveError(-1, "Format Chunk Reading Error\n");

    uint32_t start = data + 8;
    uint32_t dataSize = Dword(bytes + data + 4);
    // Nothing beyond the image may be read: a longer claim is cut.
    if (dataSize > size - start)
        dataSize = size - start;
    memcpy(info, fields, FORMAT_FIELD_BYTES);
    info->extraSize = 0;
    info->dataOffset = start;
    info->dataSize = dataSize;
    info->fromResource = 1;
    info->data = bytes + start;
    return 1;
}

#ifdef _WIN32
int ReadWaveResource(HMODULE module, const char *name, WaveInfo *info)
{
    if (!name || !info)
        return 0;
    memset(info, 0, sizeof *info);
    HRSRC found = FindResourceA(module, name, "WAVE");
    HGLOBAL loaded = found ? LoadResource(module, found) : NULL;
    if (!loaded)
        return ReportWaveError(-1, "Resource Reading Error\n");
    DWORD size = SizeofResource(module, found);
    return ReadWaveImage(LockResource(loaded), size, info);
}
#endif

int FindFileChunk(int file, const char *id, ChunkHeader *header)
{
    int64_t start = SeekFile(file, 0, SEEK_CUR);
    uint8_t block[SEARCH_BLOCK_BYTES];
    unsigned wanted = sizeof block;
    for (;;) {
        int got = ReadBytes(file, block, wanted);
        for (int i = 0; i + 4 < got; i++)
            if (!memcmp(block + i, id, 4)) {
                SeekFile(file, (int64_t)i - got, SEEK_CUR);
                // Header bytes the file lacks read as zero.
                memset(header, 0, sizeof *header);
                ReadBytes(file, header, sizeof *header);
                return 1;
            }
        // An id cut by the end of the block lies whole in the next one. Each
        // round moves on by at least 5 bytes, so the search ends at the end
        // of the file.
        SeekFile(file, -4, SEEK_CUR);
        if (got <= 8)
            break;
        wanted = (unsigned)got;
    }
    SeekFile(file, start, SEEK_SET);
    return 0;
}

int ReadWaveFileHeader(const char *path, WaveInfo *info)
{
    int file = OpenForReading(path);
    if (file == -1)
        return 0;
    memset(info, 0, sizeof *info);
    // Bytes the file lacks stay zero and so do not match.
    uint8_t riff[12] = {0};
    ReadBytes(file, riff, sizeof riff);
    if (memcmp(riff, "RIFF", 4))
        return ReportWaveError(file, "RIFF Chunk Reading Error\n");
    if (memcmp(riff + 8, "WAVE", 4))
        return ReportWaveError(file, "WAVE Header Reading Error\n");
    ChunkHeader chunk;
    if (!FindFileChunk(file, "fmt ", &chunk))
        return ReportWaveError(file, "Format Chunk Reading Error\n");

    // A shorter chunk leaves the fields it lacks zero; the rest of a longer
    // one is skipped, so the data search starts after it.
    uint8_t format[FORMAT_AREA_BYTES] = {0};
    unsigned taken = chunk.size < sizeof format ? chunk.size : sizeof format;
    ReadBytes(file, format, taken);
    SeekFile(file, (int64_t)chunk.size - taken, SEEK_CUR);
    if (Word(format) != PCM_FORMAT_TAG)
        return ReportWaveError(file, "Only a PCM Format is Supported\n");
    if (!FindFileChunk(file, "data", &chunk))
        return ReportWaveError(file, "Format Chunk Reading Error\n");

    memcpy(info, format, FORMAT_FIELD_BYTES);
    info->dataSize = chunk.size;
    info->dataOffset = (uint32_t)SeekFile(file, 0, SEEK_CUR);
    CloseFile(file);
    return 1;
}

// Reads up to count bytes; fewer only at the end of the file or on an error.
static uint32_t ReadUpTo(int file, uint8_t *buffer, uint32_t count)
{
    uint32_t done = 0;
    while (done < count) {
        uint32_t piece = count - done < READ_PIECE_BYTES ? count - done : READ_PIECE_BYTES;
        int got = ReadBytes(file, buffer + done, piece);
        if (got <= 0)
            break;
        done += (uint32_t)got;
    }
    return done;
}

int ReadWaveFile(const char *path, WaveInfo *info)
{
    if (!ReadWaveFileHeader(path, info))
        return 0;
    int file = OpenForReading(path);
    if (file == -1)
        return 0;
    // Near 4 GiB a 32-bit process gets no block: malloc says so with null.
    uint8_t *block = (uint8_t *)malloc(info->dataSize);
    if (!block)
        return ReportWaveError(file, "Get WaveMemory Failed\n");
    SeekFile(file, info->dataOffset, SEEK_SET);
    if (ReadUpTo(file, block, info->dataSize) < info->dataSize) {
        free(block);
        return ReportWaveError(file, "Could not read Wave Data\n");
    }
    CloseFile(file);
    info->data = block;
    info->fromResource = 0;
    return 1;
}

void ReleaseWaveData(WaveInfo *info)
{
    if (!info->fromResource && info->data) {
        free((void *)info->data);
        info->data = NULL;
    }
}
