// The streaming voice: one long WAVE file played through a short looping
// buffer of two halves. A periodic multimedia timer refills the half the play
// cursor has just left with the next stretch of the file; at the data's end
// the file wraps to its start, or the rest is silence and the buffer plays
// out and stops.
#include <string.h>

#include "engine.h"
#include "file_io.h"
#include "sound.h"

#define SHORTEST_BUFFER_MS 50
#define REFILL_EVERY_MS 10

static struct {
    IDirectSoundBuffer *buffer; // null: no stream
    int file;
    DWORD bufferBytes;
    WaveInfo wave; // the header only
    int64_t dataEnd; // the file position where the data stops
    UINT timer; // 0 while no refills run
    int filledHalf; // 1 once the second half is refilled, 0 once the first is
    int loop;
    int ended; // the data ran out: the next refill lets the buffer play out
} stream;

// The refill runs on the timer's thread: this keeps it and the caller's
// thread from working on the stream at the same time. Made before main, so
// that it is ready on every thread.
static CRITICAL_SECTION streamLock;
static const bool streamLockMade = (InitializeCriticalSection(&streamLock), true);

static void Silence(BYTE *region, DWORD bytes)
{
    if (bytes)
        memset(region, SilenceByte(stream.wave.bitsPerSample), bytes);
}

// Reads up to bytes of the data at the file's position, never past its end.
// Returns how many arrived.
static DWORD ReadData(BYTE *region, DWORD bytes)
{
    int64_t at = SeekFile(stream.file, 0, SEEK_CUR);
    if (at < 0 || at >= stream.dataEnd || !bytes)
        return 0;
    if (stream.dataEnd - at < bytes)
        bytes = (DWORD)(stream.dataEnd - at);
    int got = ReadBytes(stream.file, region, bytes);
    return got > 0 ? (DWORD)got : 0;
}

// Fills a locked region from the file, going back to the data's start where
// it ends. Without looping the rest is silence and the result 0. A file that
// ends before its data does counts as the data's end.
static int FillRegion(BYTE *region, DWORD bytes)
{
    DWORD done = ReadData(region, bytes);
    while (done < bytes) {
        SeekFile(stream.file, stream.wave.dataOffset, SEEK_SET);
        DWORD more = stream.loop ? ReadData(region + done, bytes - done) : 0;
        if (!more) {
            Silence(region + done, bytes - done);
            return stream.loop;
        }
        done += more;
    }
    return 1;
}

static void KillRefills(void)
{
    if (stream.timer) {
        Winmm()->timeKillEvent(stream.timer);
        stream.timer = 0;
    }
}

// Refills the half the cursor has left, once per pass of the cursor. A half
// that cannot be locked keeps its turn for the next tick.
static void RefillHalf(void)
{
    DWORD half = stream.bufferBytes / 2, cursor;
    stream.buffer->Restore();
    if (stream.buffer->GetCurrentPosition(&cursor, NULL) != DS_OK)
        return;
    int inSecond = cursor >= half;
    if (stream.filledHalf != inSecond)
        return;
    void *first, *second;
    DWORD firstBytes, secondBytes;
    if (!LockRegions(stream.buffer, inSecond ? 0 : half, half, &first, &firstBytes, &second, &secondBytes))
        return;
    stream.filledHalf = !inSecond;
    if (stream.ended) {
        // The last data is in the other half: play on to the buffer's end.
        Silence((BYTE *)first, firstBytes);
        Silence((BYTE *)second, secondBytes);
        stream.buffer->Unlock(first, firstBytes, second, secondBytes);
        stream.buffer->Play(0, 0, 0);
        stream.ended = 0;
        KillRefills();
        return;
    }
    int more = FillRegion((BYTE *)first, firstBytes);
    if (more)
        more = FillRegion((BYTE *)second, secondBytes);
    else
        Silence((BYTE *)second, secondBytes);
    stream.buffer->Unlock(first, firstBytes, second, secondBytes);
    stream.ended = !more;
}

// The timer's callback. A tick of a timer that has just been killed may still
// come: it finds no stream, or another timer.
static void CALLBACK RefillStream(UINT timer, UINT, DWORD_PTR, DWORD_PTR, DWORD_PTR)
{
    EnterCriticalSection(&streamLock);
    if (stream.buffer && timer == stream.timer)
        RefillHalf();
    LeaveCriticalSection(&streamLock);
}

// The buffer's bytes for the milliseconds, 0 when none fit. Each half holds
// whole frames: halves that split a frame would shift the samples by a byte
// at every pass.
static DWORD StreamBufferBytes(const WaveInfo *wave, unsigned milliseconds)
{
    long double exact = MillisecondBytes(wave->blockAlign, wave->samplesPerSecond) * milliseconds;
    DWORD pair = 2u * wave->blockAlign;
    if (!pair || exact >= BUFFER_BYTES_LIMIT)
        return 0;
    DWORD bytes = (DWORD)exact;
    return bytes - bytes % pair;
}

static int Open(LPCSTR path, unsigned milliseconds)
{
    WaveInfo wave;
    if (!ReadWaveFileHeader(path, &wave))
        return 0;
    DWORD bytes = StreamBufferBytes(&wave, milliseconds);
    // The file must hold two buffers of data.
    if (!bytes || wave.dataSize / 2 < bytes)
        return 0;
    IDirectSoundBuffer *buffer = CreateVoiceBuffer(&wave, bytes);
    if (!buffer)
        return 0;
    int file = OpenForReading(path);
    if (file == -1) {
        buffer->Release();
        return 0;
    }
    SeekFile(file, wave.dataOffset, SEEK_SET);
    memset(&stream, 0, sizeof stream);
    stream.buffer = buffer;
    stream.file = file;
    stream.bufferBytes = bytes;
    stream.wave = wave;
    stream.dataEnd = (int64_t)wave.dataOffset + wave.dataSize;
    return 1;
}

// A null name or a resource number names no file.
int OpenStream(LPCSTR path, unsigned milliseconds)
{
    if (IS_INTRESOURCE(path))
        return 0;
    EnterCriticalSection(&streamLock);
    int opened = !stream.buffer && EngineDevice() && milliseconds >= SHORTEST_BUFFER_MS && Open(path, milliseconds);
    LeaveCriticalSection(&streamLock);
    return opened;
}

// Starts the refills and the buffer. A fresh stream (cursor 0) first gets its
// first half filled. Nothing starts when that half cannot be filled, which
// would play what the buffer held, nor without a timer, since the buffer
// would loop its first half for ever; the file then goes back to where it was.
static int Start(void)
{
    DWORD cursor = 0;
    stream.buffer->GetCurrentPosition(&cursor, NULL);
    int64_t position = SeekFile(stream.file, 0, SEEK_CUR);
    int primed = 1;
    if (cursor == 0) {
        // With the cursor in the second half, the refill fills the first.
        stream.filledHalf = 1;
        stream.buffer->SetCurrentPosition(stream.bufferBytes / 2);
        RefillHalf();
        stream.buffer->SetCurrentPosition(0);
        primed = stream.filledHalf == 0;
    }
    stream.timer = primed ? Winmm()->timeSetEvent(REFILL_EVERY_MS, EnginePeriod(), RefillStream, 0, TIME_PERIODIC) : 0;
    if (!stream.timer) {
        SeekFile(stream.file, position, SEEK_SET);
        return 0;
    }
    stream.buffer->Play(0, 0, DSBPLAY_LOOPING);
    return 1;
}

// A playing stream only takes the loop flag, at its next end of data.
int PlayStream(int loop)
{
    EnterCriticalSection(&streamLock);
    int played = 0;
    if (stream.buffer) {
        stream.loop = loop;
        played = stream.timer || Start();
    }
    LeaveCriticalSection(&streamLock);
    return played;
}

// Runs the step on the open stream under the lock; 0 when there is none.
static int WithStream(void (*step)(void))
{
    EnterCriticalSection(&streamLock);
    int open = stream.buffer != NULL;
    if (open)
        step();
    LeaveCriticalSection(&streamLock);
    return open;
}

static void Halt(void)
{
    stream.buffer->Stop();
    KillRefills();
}

// The buffer keeps its place and its halves; the file starts over.
static void HaltAndRewind(void)
{
    Halt();
    SeekFile(stream.file, stream.wave.dataOffset, SEEK_SET);
}

static void Close(void)
{
    Halt();
    stream.buffer->Release();
    CloseFile(stream.file);
    memset(&stream, 0, sizeof stream);
}

int PauseStream(void)
{
    return WithStream(Halt);
}

int StopStream(void)
{
    return WithStream(HaltAndRewind);
}

void CloseStream(void)
{
    WithStream(Close);
}
