// The WAVE readers on the program's own sounds and on crafted files and
// images, with the texts they send to the debugger; and the support log.
#include <gtest/gtest.h>
#include <windows.h>

#include <io.h>
#include <fcntl.h>
#include <malloc.h>

#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "sound/diagnostics.h"
#include "sound/wave.h"
#include "tests/common/pe_resources.h"

namespace {

std::string U16(unsigned value)
{
    return {char(value & 0xff), char(value >> 8 & 0xff)};
}

std::string U32(unsigned value)
{
    return U16(value & 0xffff) + U16(value >> 16);
}

std::string Chunk(const char *id, const std::string &body)
{
    return id + U32((unsigned)body.size()) + body;
}

// The 16 bytes of a format chunk: mono, 16 bits, 22050 samples a second.
std::string FormatFields(unsigned tag = 1)
{
    return U16(tag) + U16(1) + U32(22050) + U32(44100) + U16(2) + U16(16);
}

std::string Riff(const std::string &chunks)
{
    return "RIFF" + U32(4 + (unsigned)chunks.size()) + "WAVE" + chunks;
}

std::string CanonicalWave(const std::string &samples, unsigned tag = 1)
{
    return Riff(Chunk("fmt ", FormatFields(tag)) + Chunk("data", samples));
}

void ExpectChimeFormat(const WaveInfo &info)
{
    EXPECT_EQ(info.formatTag, 1);
    EXPECT_EQ(info.channels, 1);
    EXPECT_EQ(info.samplesPerSecond, 22050u);
    EXPECT_EQ(info.averageBytesPerSecond, 44100u);
    EXPECT_EQ(info.blockAlign, 2);
    EXPECT_EQ(info.bitsPerSample, 16);
    EXPECT_EQ(info.extraSize, 0);
}

// A record of recognisable junk, to see what a reader writes or leaves.
WaveInfo Scribbled()
{
    WaveInfo info;
    memset(&info, 0xab, sizeof info);
    return info;
}

bool Untouched(const WaveInfo &info)
{
    WaveInfo junk = Scribbled();
    return memcmp(&info, &junk, sizeof info) == 0;
}

bool Cleared(const WaveInfo &info)
{
    WaveInfo zero;
    memset(&zero, 0, sizeof zero);
    return memcmp(&info, &zero, sizeof info) == 0;
}

// Bytes in use in the C runtime's heap, where the readers' blocks live.
size_t HeapBytesInUse()
{
    _HEAPINFO entry = {};
    size_t used = 0;
    while (_heapwalk(&entry) == _HEAPOK)
        if (entry._useflag == _USEDENTRY)
            used += entry._size;
    return used;
}

std::string MakeScratchFolder()
{
    static int count = 0;
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "quillet-wave-" + std::to_string(GetCurrentProcessId()) + "-" +
                         std::to_string(count++);
    CreateDirectoryA(folder.c_str(), NULL);
    return folder;
}

std::string FileBytes(const std::string &path)
{
    std::ifstream in(path, std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The debugger's side of OutputDebugStringA: two events and a shared buffer
// holding the process id and the text. They exist only while the channel
// does, since while they do every debugger text, GoogleTest's failure reports
// too, waits for the buffer.
struct DebuggerChannel {
    HANDLE bufferReady = CreateEventA(NULL, FALSE, TRUE, "DBWIN_BUFFER_READY");
    HANDLE dataReady = CreateEventA(NULL, FALSE, FALSE, "DBWIN_DATA_READY");
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, NULL, PAGE_READWRITE, 0, 4096, "DBWIN_BUFFER");
    const BYTE *view = (const BYTE *)MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 4096);

    bool Open() const { return bufferReady && dataReady && view; }

    // The text sent since the last call, "" for none; the buffer is then free again.
    std::string Take()
    {
        if (!view || WaitForSingleObject(dataReady, 0) != WAIT_OBJECT_0)
            return "";
        DWORD pid;
        memcpy(&pid, view, sizeof pid);
        std::string text = (const char *)view + sizeof pid;
        SetEvent(bufferReady);
        return pid == GetCurrentProcessId() ? text : "<from process " + std::to_string(pid) + ">";
    }

    ~DebuggerChannel()
    {
        UnmapViewOfFile(view);
        CloseHandle(mapping);
        CloseHandle(dataReady);
        CloseHandle(bufferReady);
    }
};

// What call sent to the debugger, "" for nothing.
std::string DebuggerTextOf(const std::function<void()> &call)
{
    bool open;
    std::string text;
    {
        DebuggerChannel channel;
        open = channel.Open();
        call();
        text = channel.Take();
    }
    EXPECT_TRUE(open) << "no debugger channel";
    return text;
}

// A scratch folder for crafted files.
class WaveReader : public ::testing::Test {
protected:
    void SetUp() override { folder = MakeScratchFolder(); }

    void TearDown() override
    {
        for (const std::string &path : files)
            DeleteFileA(path.c_str());
        RemoveDirectoryA(folder.c_str());
    }

    std::string File(const std::string &name, const std::string &bytes)
    {
        std::string path = folder + "\\" + name;
        std::ofstream(path, std::ios::binary) << bytes;
        files.push_back(path);
        return path;
    }

    // A file that a reader still holds open cannot be deleted.
    static bool Released(const std::string &path) { return DeleteFileA(path.c_str()) != 0; }

    std::string folder;
    std::vector<std::string> files;
};

// The channel itself: a text reaches the debugger whole and a long one is cut
// to the 256-byte buffer; a file handed to the report is closed.
TEST_F(WaveReader, ReportsReachTheDebuggerCutToTheirBuffer)
{
    int result = -1;
    EXPECT_EQ(DebuggerTextOf([&] { result = ReportWaveError(-1, "Voice %d: %s\n", 7, "gone"); }),
              "Voice 7: gone\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(DebuggerTextOf([] {}), "");
    EXPECT_EQ(DebuggerTextOf([] { ReportWaveError(-1, "%s", std::string(300, 'x').c_str()); }),
              std::string(255, 'x'));

    std::string path = File("open.wav", "RIFF");
    int file = _open(path.c_str(), _O_RDONLY | _O_BINARY);
    ASSERT_NE(file, -1);
    ASSERT_FALSE(Released(path)) << "an open file was deleted: the checks of closing would prove nothing";
    EXPECT_EQ(DebuggerTextOf([&] { ReportWaveError(file, "closing\n"); }), "closing\n");
    EXPECT_TRUE(Released(path));
}

TEST_F(WaveReader, ChimeResourcesAreMonoSixteenBitSoundsInTheImage)
{
    HMODULE module = LoadAsData(QuilletExePath());
    ASSERT_TRUE(module) << "cannot load %QUILLET_EXE%";
    for (auto [id, size] : chimeDataBytes) {
        WaveInfo info = Scribbled();
        int result = 0;
        EXPECT_EQ(DebuggerTextOf([&] { result = ReadWaveResource(module, MAKEINTRESOURCEA(id), &info); }), "");
        ASSERT_EQ(result, 1) << id;
        ExpectChimeFormat(info);
        EXPECT_EQ(info.dataOffset, 44u) << id;
        EXPECT_EQ(info.dataSize, size) << id;
        EXPECT_EQ(info.fromResource, 1u);
        HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(id), "WAVE");
        const BYTE *image = (const BYTE *)LockResource(LoadResource(module, found));
        EXPECT_EQ(info.data, image + 44) << "the samples are read in place";

        // The record owns nothing, so releasing it frees nothing.
        size_t heap = HeapBytesInUse();
        ReleaseWaveData(&info);
        EXPECT_EQ(info.data, image + 44);
        EXPECT_EQ(HeapBytesInUse(), heap);
    }
    FreeLibrary(module);
}

TEST_F(WaveReader, ChimeFilesReadLikeTheirResourcesIntoOwnedBlocks)
{
    HMODULE module = LoadAsData(QuilletExePath());
    ASSERT_TRUE(module) << "cannot load %QUILLET_EXE%";
    for (auto [id, size] : chimeDataBytes) {
        std::vector<BYTE> bytes = ResourceBytes(module, L"WAVE", MAKEINTRESOURCEW(id));
        std::string path = File("chime" + std::to_string(id) + ".wav", std::string(bytes.begin(), bytes.end()));
        WaveInfo resource, header = Scribbled(), whole = Scribbled();
        ASSERT_EQ(ReadWaveResource(module, MAKEINTRESOURCEA(id), &resource), 1);

        ASSERT_EQ(ReadWaveFileHeader(path.c_str(), &header), 1) << id;
        EXPECT_EQ(memcmp(&header, &resource, sizeof(WAVEFORMATEX)), 0) << "format of " << id;
        EXPECT_EQ(header.dataOffset, 44u);
        EXPECT_EQ(header.dataSize, size);
        EXPECT_EQ(header.fromResource, 0u);
        EXPECT_EQ(header.data, nullptr);

        size_t heap = HeapBytesInUse();
        int result = 0;
        EXPECT_EQ(DebuggerTextOf([&] { result = ReadWaveFile(path.c_str(), &whole); }), "");
        ASSERT_EQ(result, 1) << id;
        EXPECT_EQ(memcmp(&whole, &header, sizeof(WAVEFORMATEX)), 0) << "format of " << id;
        EXPECT_EQ(whole.dataOffset, 44u);
        EXPECT_EQ(whole.dataSize, size);
        EXPECT_EQ(whole.fromResource, 0u);
        ASSERT_NE(whole.data, nullptr);
        EXPECT_EQ(_msize((void *)whole.data), size) << "a heap block of the data's size";
        EXPECT_GE(HeapBytesInUse(), heap + size);
        EXPECT_EQ(memcmp(whole.data, resource.data, size), 0) << "samples of " << id;
        ReleaseWaveData(&whole);
        EXPECT_EQ(whole.data, nullptr);
        EXPECT_EQ(HeapBytesInUse(), heap) << "the block is freed";
        EXPECT_TRUE(Released(path));
    }
    FreeLibrary(module);
}

TEST_F(WaveReader, ResourceLookupRefusals)
{
    HMODULE module = LoadAsData(QuilletExePath());
    ASSERT_TRUE(module) << "cannot load %QUILLET_EXE%";
    WaveInfo info = Scribbled();
    int unnamed = -1, unrecorded = -1, missing = -1;
    EXPECT_EQ(DebuggerTextOf([&] {
                  unnamed = ReadWaveResource(module, NULL, &info);
                  unrecorded = ReadWaveResource(module, MAKEINTRESOURCEA(152), NULL);
              }),
              "")
        << "null arguments are refused silently";
    EXPECT_EQ(unnamed, 0);
    EXPECT_EQ(unrecorded, 0);
    EXPECT_TRUE(Untouched(info));

    EXPECT_EQ(DebuggerTextOf([&] { missing = ReadWaveResource(module, MAKEINTRESOURCEA(159), &info); }),
              "Resource Reading Error\n");
    EXPECT_EQ(missing, 0);
    EXPECT_TRUE(Cleared(info));
    FreeLibrary(module);
}

struct Refusal {
    const char *what;
    std::string bytes;
    const char *text;
};

TEST_F(WaveReader, ImageRefusals)
{
    std::string wave = CanonicalWave(std::string(10, '\x55'));
    std::string noData = Riff(Chunk("fmt ", FormatFields()) + Chunk("LIST", std::string(20, 'x')));
    const Refusal refusals[] = {
        {"19 bytes", wave.substr(0, 19), "Bad Wave Resource\n"},
        {"no RIFF", "RIFX" + wave.substr(4), "RIFF Chunk Reading Error\n"},
        {"no WAVE", wave.substr(0, 8) + "AVI " + wave.substr(12), "WAVE Header Reading Error\n"},
        {"20 bytes, no room for a format", wave.substr(0, 20), "Format Chunk Reading Error\n"},
        {"no format chunk", Riff(Chunk("data", std::string(40, 'y'))), "Format Chunk Reading Error\n"},
        {"floating point", CanonicalWave(std::string(10, '\x55'), 3), "Only a PCM Format is Supported\n"},
        {"no data chunk", noData, "Format Chunk Reading Error\n"},
        {"data without room for its size", noData + "data123", "Format Chunk Reading Error\n"},
    };
    for (const Refusal &r : refusals) {
        WaveInfo info = Scribbled();
        int result = -1;
        EXPECT_EQ(DebuggerTextOf([&] { result = ReadWaveImage(r.bytes.data(), (uint32_t)r.bytes.size(), &info); }),
                  r.text)
            << r.what;
        EXPECT_EQ(result, 0) << r.what;
        EXPECT_TRUE(Untouched(info)) << r.what;
    }
    WaveInfo info = Scribbled();
    EXPECT_EQ(DebuggerTextOf([&] { ReadWaveImage(nullptr, (uint32_t)wave.size(), &info); }),
              "Lock Resource Failed\n");
    EXPECT_EQ(DebuggerTextOf([&] { ReadWaveImage(nullptr, 19, &info); }), "Bad Wave Resource\n")
        << "the size is looked at before the lock";
    EXPECT_TRUE(Untouched(info));
}

// The format id is looked for no later than 27 bytes before the end; the data
// search starts at the format fields, so here it finds "data" among them.
TEST_F(WaveReader, ImageFormatSearchStopsTwentySevenBytesBeforeTheEnd)
{
    std::string image = "RIFF" + U32(31) + "WAVE" + "fmt " + U32(16) + U16(1) + U16(1) + "data" + U32(7) +
                        std::string(7, '\x66');
    ASSERT_EQ(image.size(), 39u);
    WaveInfo info;
    ASSERT_EQ(ReadWaveImage(image.data(), 39, &info), 1);
    EXPECT_EQ(info.dataOffset, 32u);
    EXPECT_EQ(info.dataSize, 7u);
    EXPECT_EQ(info.data, (const uint8_t *)image.data() + 32);

    image.pop_back();
    int result = -1;
    EXPECT_EQ(DebuggerTextOf([&] { result = ReadWaveImage(image.data(), 38, &info); }),
              "Format Chunk Reading Error\n");
    EXPECT_EQ(result, 0);
}

TEST_F(WaveReader, ImageFindsChunksAfterOthersAndCutsDataToTheImage)
{
    std::string list = Chunk("LIST", "INFOISFT" + U32(6) + "chime");
    std::string image = Riff(list + Chunk("fmt ", FormatFields()) + "data" + U32(1000) + std::string(10, 'z'));
    WaveInfo info;
    ASSERT_EQ(ReadWaveImage(image.data(), (uint32_t)image.size(), &info), 1);
    ExpectChimeFormat(info);
    EXPECT_EQ(info.dataOffset, 44 + list.size());
    EXPECT_EQ(info.dataSize, 10u) << "a claim of 1000 bytes is cut to the 10 present";
    EXPECT_EQ(info.data, (const uint8_t *)image.data() + image.size() - 10);
}

TEST_F(WaveReader, FileRefusals)
{
    std::string pcm = Chunk("fmt ", FormatFields());
    const Refusal refusals[] = {
        {"empty", "", "RIFF Chunk Reading Error\n"},
        {"RIFF alone", "RIFF", "WAVE Header Reading Error\n"},
        {"no WAVE", "RIFF" + U32(4) + "AVI ", "WAVE Header Reading Error\n"},
        {"no format chunk", Riff(Chunk("data", std::string(40, 'y'))), "Format Chunk Reading Error\n"},
        {"floating point", CanonicalWave("1234", 3), "Only a PCM Format is Supported\n"},
        {"no data chunk", Riff(pcm + Chunk("LIST", std::string(20, 'x'))), "Format Chunk Reading Error\n"},
        {"data in the last four bytes", Riff(pcm + "data"), "Format Chunk Reading Error\n"},
        // Skipping nearly 4 GiB goes past the end, not around to the start.
        {"format chunk claiming 4 GiB", Riff("fmt " + U32(0xfffffff0) + FormatFields() + Chunk("data", "12")),
         "Format Chunk Reading Error\n"},
    };
    for (const Refusal &r : refusals) {
        std::string path = File("refused.wav", r.bytes);
        WaveInfo info = Scribbled();
        int result = -1;
        EXPECT_EQ(DebuggerTextOf([&] { result = ReadWaveFileHeader(path.c_str(), &info); }), r.text) << r.what;
        EXPECT_EQ(result, 0) << r.what;
        EXPECT_TRUE(Cleared(info)) << r.what;
        info = Scribbled();
        EXPECT_EQ(DebuggerTextOf([&] { result = ReadWaveFile(path.c_str(), &info); }), r.text) << r.what;
        EXPECT_EQ(result, 0) << r.what;
        EXPECT_EQ(info.data, nullptr) << r.what;
        EXPECT_TRUE(Released(path)) << r.what;
    }
}

TEST_F(WaveReader, UnopenableFileIsRefusedSilently)
{
    std::string path = folder + "\\missing.wav";
    WaveInfo info = Scribbled();
    int header = -1, whole = -1;
    EXPECT_EQ(DebuggerTextOf([&] {
                  header = ReadWaveFileHeader(path.c_str(), &info);
                  whole = ReadWaveFile(path.c_str(), &info);
              }),
              "");
    EXPECT_EQ(header, 0);
    EXPECT_EQ(whole, 0);
    EXPECT_TRUE(Untouched(info));
}

TEST_F(WaveReader, FileDataShorterThanItsChunkSaysIsNotRead)
{
    std::string path = File("short.wav", Riff(Chunk("fmt ", FormatFields())) + "data" + U32(2000) +
                                             std::string(100, 'q'));
    WaveInfo info;
    ASSERT_EQ(ReadWaveFileHeader(path.c_str(), &info), 1);
    EXPECT_EQ(info.dataSize, 2000u);
    EXPECT_EQ(info.dataOffset, 44u);

    size_t heap = HeapBytesInUse();
    int result = -1;
    EXPECT_EQ(DebuggerTextOf([&] { result = ReadWaveFile(path.c_str(), &info); }), "Could not read Wave Data\n");
    EXPECT_EQ(result, 0);
    EXPECT_EQ(info.data, nullptr);
    EXPECT_EQ(HeapBytesInUse(), heap) << "the block is freed";
    EXPECT_TRUE(Released(path));
}

TEST_F(WaveReader, FileFormatAfterAListChunk)
{
    std::string list = Chunk("LIST", "INFOISFT" + U32(6) + "chime");
    std::string path = File("list.wav", Riff(list + Chunk("fmt ", FormatFields()) + Chunk("data", "abcdef")));
    WaveInfo info;
    ASSERT_EQ(ReadWaveFile(path.c_str(), &info), 1);
    ExpectChimeFormat(info);
    EXPECT_EQ(info.dataOffset, 44 + list.size());
    ASSERT_EQ(info.dataSize, 6u);
    EXPECT_EQ(memcmp(info.data, "abcdef", 6), 0);
    ReleaseWaveData(&info);
}

// A PCM format written in the 40-byte extensible layout: the fields past the
// first 16 bytes are not taken, and a "data" among them is not mistaken for
// the data chunk.
TEST_F(WaveReader, FileLongFormatChunkIsSkippedPastAfterItsFields)
{
    std::string tail = U16(22) + U16(16) + "data" + U32(4) + std::string(12, '\x01');
    ASSERT_EQ(tail.size(), 24u);
    std::string path = File("long.wav", Riff(Chunk("fmt ", FormatFields() + tail) + Chunk("data", "real")));
    WaveInfo info;
    ASSERT_EQ(ReadWaveFile(path.c_str(), &info), 1);
    ExpectChimeFormat(info);
    EXPECT_EQ(info.dataOffset, 12 + 48 + 8u);
    ASSERT_EQ(info.dataSize, 4u);
    EXPECT_EQ(memcmp(info.data, "real", 4), 0);
    ReleaseWaveData(&info);
}

TEST_F(WaveReader, FileShortFormatChunkLeavesMissingFieldsZero)
{
    std::string path = File("short.wav", Riff(Chunk("fmt ", FormatFields().substr(0, 14)) + Chunk("data", "pcm!")));
    WaveInfo info;
    ASSERT_EQ(ReadWaveFileHeader(path.c_str(), &info), 1);
    EXPECT_EQ(info.formatTag, 1);
    EXPECT_EQ(info.samplesPerSecond, 22050u);
    EXPECT_EQ(info.blockAlign, 2);
    EXPECT_EQ(info.bitsPerSample, 0) << "not in the chunk";
    EXPECT_EQ(info.dataOffset, 12 + 22 + 8u);
    EXPECT_EQ(info.dataSize, 4u);
}

// Sizes of the format chunk that trusted readers have been bitten by. An
// empty chunk and the extensible layout are not PCM to either reader; the
// image reader takes 16 bytes of fields where the chunk stands, whatever its
// size says, and both find the real data chunk after it.
TEST_F(WaveReader, FormatChunksOfNoSizeAShortSizeOrTheExtensibleLayout)
{
    std::string data = Chunk("data", std::string(16, 'p'));
    std::string extensible = U16(0xFFFE) + FormatFields().substr(2) + U16(22) + U16(16) + U32(4) +
                             std::string("\x01\x00\x00\x00\x00\x00\x10\x00\x80\x00\x00\xaa\x00\x38\x9b\x71", 16);
    ASSERT_EQ(extensible.size(), 40u);
    for (const std::string &wave : {Riff(Chunk("fmt ", "") + data), Riff(Chunk("fmt ", extensible) + data)}) {
        std::string path = File("format.wav", wave);
        WaveInfo info;
        int image = -1, header = -1, whole = -1;
        EXPECT_EQ(DebuggerTextOf([&] { image = ReadWaveImage(wave.data(), (uint32_t)wave.size(), &info); }),
                  "Only a PCM Format is Supported\n");
        EXPECT_EQ(DebuggerTextOf([&] { header = ReadWaveFileHeader(path.c_str(), &info); }),
                  "Only a PCM Format is Supported\n");
        EXPECT_EQ(DebuggerTextOf([&] { whole = ReadWaveFile(path.c_str(), &info); }),
                  "Only a PCM Format is Supported\n");
        EXPECT_EQ(image + header + whole, 0);
        EXPECT_TRUE(Released(path));
    }

    const std::pair<std::string, unsigned> formats[] = {{FormatFields().substr(0, 14), 12 + 22 + 8},
                                                        {FormatFields() + std::string(24, '\0'), 12 + 48 + 8}};
    for (auto [fields, offset] : formats) {
        std::string wave = Riff(Chunk("fmt ", fields) + data);
        WaveInfo info;
        ASSERT_EQ(ReadWaveImage(wave.data(), (uint32_t)wave.size(), &info), 1) << fields.size();
        EXPECT_EQ(info.formatTag, 1);
        EXPECT_EQ(info.blockAlign, 2);
        EXPECT_EQ(info.extraSize, 0);
        EXPECT_EQ(info.dataOffset, offset) << fields.size();
        EXPECT_EQ(info.dataSize, 16u);
    }
}

// A data size of 0xFFFFFFFF: the image reader cuts it to what is there; the
// file header passes it on, and the whole read fails without keeping a block
// (a 32-bit heap has no such block; a larger one runs out of file).
TEST_F(WaveReader, DataSizeOfAllOnes)
{
    std::string wave = Riff(Chunk("fmt ", FormatFields())) + "data" + U32(0xFFFFFFFF) + "abcdefgh";
    WaveInfo info;
    ASSERT_EQ(ReadWaveImage(wave.data(), (uint32_t)wave.size(), &info), 1);
    EXPECT_EQ(info.dataSize, 8u);

    std::string path = File("huge.wav", wave);
    ASSERT_EQ(ReadWaveFileHeader(path.c_str(), &info), 1);
    EXPECT_EQ(info.dataSize, 0xFFFFFFFFu);
    EXPECT_EQ(info.dataOffset, 44u);
    size_t heap = 0, after = 0;
    int result = -1;
    std::string text = DebuggerTextOf([&] {
        heap = HeapBytesInUse();
        result = ReadWaveFile(path.c_str(), &info);
        after = HeapBytesInUse();
    });
    if (sizeof(void *) == 4 || text != "Could not read Wave Data\n") {
        EXPECT_EQ(text, "Get WaveMemory Failed\n");
    }
    EXPECT_EQ(result, 0);
    EXPECT_EQ(info.data, nullptr);
    EXPECT_EQ(after, heap);
    EXPECT_TRUE(Released(path));
}

// The format fields are not judged: a block align or a channel count of 0
// reaches the record as it stands, for the sample library to cope with.
TEST_F(WaveReader, ZeroBlockAlignAndZeroChannelsAreReadAsTheyStand)
{
    std::string zeroAlign = U16(1) + U16(1) + U32(22050) + U32(44100) + U16(0) + U16(16);
    std::string zeroChannels = U16(1) + U16(0) + U32(22050) + U32(44100) + U16(2) + U16(16);
    for (const std::string &fields : {zeroAlign, zeroChannels}) {
        std::string wave = Riff(Chunk("fmt ", fields) + Chunk("data", "abcd"));
        std::string path = File("zero.wav", wave);
        WaveInfo image, whole;
        ASSERT_EQ(ReadWaveImage(wave.data(), (uint32_t)wave.size(), &image), 1);
        ASSERT_EQ(ReadWaveFile(path.c_str(), &whole), 1);
        EXPECT_EQ(memcmp(&image, fields.data(), 16), 0);
        EXPECT_EQ(memcmp(&whole, fields.data(), 16), 0);
        EXPECT_EQ(image.dataSize, 4u);
        EXPECT_EQ(whole.dataSize, 4u);
        ReleaseWaveData(&whole);
    }
}

// Chunks of odd size are followed by a pad byte that their size does not
// count: the chunks after them are still found, and an odd data chunk gives
// exactly its own bytes.
TEST_F(WaveReader, OddChunkSizesWithTheirPadBytes)
{
    std::string wave = Riff(Chunk("LIST", "INFOa") + '\0' + Chunk("fmt ", FormatFields()) +
                            Chunk("data", "1234567") + '\0' + Chunk("note", "x") + '\0');
    const unsigned offset = 12 + 13 + 1 + 24 + 8;
    std::string path = File("odd.wav", wave);
    WaveInfo image, whole;
    ASSERT_EQ(ReadWaveImage(wave.data(), (uint32_t)wave.size(), &image), 1);
    ASSERT_EQ(ReadWaveFile(path.c_str(), &whole), 1);
    for (const WaveInfo *info : {&image, &whole}) {
        ExpectChimeFormat(*info);
        EXPECT_EQ(info->dataOffset, offset);
        ASSERT_EQ(info->dataSize, 7u);
        EXPECT_EQ(memcmp(info->data, "1234567", 7), 0);
    }
    ReleaseWaveData(&whole);
}

// A chime file cut short at every length, read as an image, and as a file
// header and a whole file at every length of its header and its first
// samples and then at lengths spread over the rest. (The native fuzz run
// reads every length as a file too.) Each reader refuses what it cannot use
// with its text, and nothing but the whole file reads completely.
TEST_F(WaveReader, EveryTruncationOfAChimeFile)
{
    HMODULE module = LoadAsData(QuilletExePath());
    ASSERT_TRUE(module) << "cannot load %QUILLET_EXE%";
    const int id = 156; // the shortest chime
    std::vector<BYTE> bytes = ResourceBytes(module, L"WAVE", MAKEINTRESOURCEW(id));
    FreeLibrary(module);
    const uint32_t whole = (uint32_t)bytes.size();
    ASSERT_EQ(whole, 44 + chimeDataBytes.at(id));

    // The image reader needs 20 bytes, the format id no later than 27 bytes
    // before the end, and the data id with its size.
    auto imageText = [](uint32_t size) {
        return size < 20 ? "Bad Wave Resource\n" : size < 44 ? "Format Chunk Reading Error\n" : "";
    };
    // The file readers need "RIFF", "WAVE", then ids followed by at least one
    // byte. At 20 bytes the format tag is cut off; from 21 its low byte, 1, is
    // there. From 41 the header reads, with the data size the file has room for.
    auto headerText = [](uint32_t size) {
        if (size < 4)
            return "RIFF Chunk Reading Error\n";
        if (size < 12)
            return "WAVE Header Reading Error\n";
        if (size < 17 || (size > 20 && size < 41))
            return "Format Chunk Reading Error\n";
        return size < 21 ? "Only a PCM Format is Supported\n" : "";
    };

    std::string path = folder + "\\cut.wav";
    files.push_back(path);
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              NULL, CREATE_ALWAYS, 0, NULL);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, bytes.data(), whole, &written, NULL));
    ASSERT_EQ(written, whole);

    // The first difference from what is expected, as text; nothing is
    // allocated for it while all goes as expected.
    std::string wrong;
    auto expect = [&](bool ok, const char *reader, uint32_t size, const std::string &text) {
        if (!ok && wrong.empty())
            wrong = std::string(reader) + " of " + std::to_string(size) + " bytes: \"" + text + "\"";
    };
    size_t heap = HeapBytesInUse();
    {
        DebuggerChannel channel;
        ASSERT_TRUE(channel.Open());
        for (uint32_t size = 0; size <= whole; size++) {
            WaveInfo info;
            int read = ReadWaveImage(bytes.data(), size, &info);
            std::string text = channel.Take();
            expect(text == imageText(size) && read == (size >= 44) && (!read || info.dataSize == size - 44), "image",
                   size, text);
        }
        for (uint32_t size = whole + 1; size-- > 0;) {
            if (size > 100 && size % 1009 && size + 3 < whole)
                continue;
            SetFilePointer(file, (LONG)size, NULL, FILE_BEGIN);
            SetEndOfFile(file);
            WaveInfo info;
            int read = ReadWaveFileHeader(path.c_str(), &info);
            std::string text = channel.Take();
            expect(text == headerText(size) && read == !*headerText(size), "file header", size, text);
            read = ReadWaveFile(path.c_str(), &info);
            text = channel.Take();
            const char *rest = *headerText(size) ? headerText(size) : size < whole ? "Could not read Wave Data\n" : "";
            expect(text == rest && read == (size == whole), "whole file", size, text);
            if (read)
                ReleaseWaveData(&info);
        }
    }
    CloseHandle(file);
    EXPECT_EQ(wrong, "");
    EXPECT_EQ(HeapBytesInUse(), heap) << "every block freed";
}

// The search reads 16384 bytes at a time from just after the RIFF header; the
// format id is put at and around the end of the first block.
TEST_F(WaveReader, FileChunkIdsAroundTheSearchBlockEndAreFound)
{
    for (unsigned at = 16376; at <= 16386; at++) {
        std::string junk = Chunk("JUNK", std::string(at - 8, '\0'));
        std::string path = File("block.wav", Riff(junk + Chunk("fmt ", FormatFields()) + Chunk("data", "xy")));
        WaveInfo info;
        ASSERT_EQ(ReadWaveFile(path.c_str(), &info), 1) << "format at " << at << " in the block";
        ExpectChimeFormat(info);
        EXPECT_EQ(info.dataOffset, 12 + at + 24 + 8) << at;
        ASSERT_EQ(info.dataSize, 2u);
        EXPECT_EQ(memcmp(info.data, "xy", 2), 0);
        ReleaseWaveData(&info);
        EXPECT_TRUE(Released(path));
    }
}

TEST_F(WaveReader, FindFileChunkLeavesTheFileAtTheBodyOrWhereItWas)
{
    std::string bytes = std::string(40000, '.') + Chunk("abcd", "body") + "wxyz";
    std::string path = File("chunks.bin", bytes);
    int file = _open(path.c_str(), _O_RDONLY | _O_BINARY);
    ASSERT_NE(file, -1);
    ChunkHeader header;
    _lseek(file, 12, SEEK_SET);
    EXPECT_EQ(FindFileChunk(file, "wxyz", &header), 0) << "an id in the last four bytes";
    EXPECT_EQ(_lseek(file, 0, SEEK_CUR), 12);
    ASSERT_EQ(FindFileChunk(file, "abcd", &header), 1);
    EXPECT_EQ(memcmp(header.id, "abcd", 4), 0);
    EXPECT_EQ(header.size, 4u);
    EXPECT_EQ(_lseek(file, 0, SEEK_CUR), 40008);
    _lseek(file, 40001, SEEK_SET);
    EXPECT_EQ(FindFileChunk(file, "abcd", &header), 0) << "the search starts at the file's position";
    EXPECT_EQ(_lseek(file, 0, SEEK_CUR), 40001);
    _close(file);
}

std::string CurrentFolder()
{
    char path[MAX_PATH];
    GetCurrentDirectoryA(MAX_PATH, path);
    return path;
}

// The log is started once per run, so this is the only test that writes it.
TEST(SupportLog, FirstReportReplacesTheLogAndLaterOnesAppendLines)
{
    std::string folder = MakeScratchFolder(), before = CurrentFolder();
    ASSERT_TRUE(SetCurrentDirectoryA(folder.c_str()));
    std::ofstream("supinfo.txt", std::ios::binary) << "an earlier run\r\n";

    EXPECT_EQ(ReportEngineError("voice %d: %s", 3, "no buffer"), 0);
    EXPECT_EQ(FileBytes("supinfo.txt"), "voice 3: no buffer\r\n");
    EXPECT_EQ(ReportEngineError("%s", "100% sure %n"), 0);
    WriteSupportLog("%s=%d\n", "volume", 80);
    EXPECT_EQ(FileBytes("supinfo.txt"), "voice 3: no buffer\r\n100% sure %n\r\nvolume=80\r\n");

    ReportEngineError("%s", std::string(200, 'y').c_str());
    EXPECT_EQ(FileBytes("supinfo.txt"), "voice 3: no buffer\r\n100% sure %n\r\nvolume=80\r\n" +
                                            std::string(127, 'y') + "\r\n")
        << "cut to the buffer";

    DeleteFileA("supinfo.txt");
    SetCurrentDirectoryA(before.c_str());
    RemoveDirectoryA(folder.c_str());
}

} // namespace
