// The sound library on the stand-in system: the engine's start-up and its failures, the samples, the
// streaming voice (the refill timer's ticks given by hand), and the WAVE readers and what they tell.
#include <functional>
#include <numeric>

#include "sound/diagnostics.h"
#include "sound/wave.h"
#include "tests/unit/standin.h"

namespace {
HWND const OWNER = (HWND)0x4242;

void ExpectNothingHeld(const char *when)
{
    StopEngine();
    EXPECT_EQ(Values(standIn.holds, standIn.devices, standIn.buffers, standIn.periods), "0 0 0 0")
        << "libraries, devices, buffers and timer periods held " << when;
}

// A WAVE file of the samples, by its name in the current folder.
const char *Wave(const char *name, const std::string &samples, unsigned rate = 22050, unsigned bits = 16)
{
    EXPECT_TRUE(WriteFileBytes(std::wstring(name, name + strlen(name)), PcmWave(rate, bits, 1, samples)));
    return name;
}

struct Sound : FreshFolderAndStandIn {
    void TearDown() override { ExpectNothingHeld("at the end"); }
};

TEST_F(Sound, EveryFailedStartSaysWhyInTheLogAndHoldsNothing)
{
    const struct { const char *logged; std::function<void()> arrange; } faults[] = {
        {"GetFunction Failed (WINMM.DLL)", [] { standIn.missing = "joyGetPosEx"; }},
        {"LoadLibrary Failed (DSOUND.DLL)", [] { standIn.missing = "dsound.dll"; }},
        {"GetProcAddress Failed (DSOUND.DLL - DirectSoundEnumerate)",
         [] { standIn.missing = "DirectSoundEnumerateA"; }},
        {"Enumerate Driver Failed", [] { standIn.enumerations = {DSERR_GENERIC, DSERR_INVALIDPARAM}; }},
        {"Enumerate Driver Failed", [] { standIn.enumerations.assign(4, DSERR_GENERIC); }},
        {"GetProcAddress Failed (DSOUND.DLL - DirectSoundCreate)", [] { standIn.missing = "DirectSoundCreate"; }},
        {"DirectSoundCreate Failed", [] { standIn.create = DSERR_NODRIVER; }},
        {"DirectSoundCreate Failed", [] { standIn.nullDevice = true; }},
        {"Set CooperativeLevel Failed", [] { standIn.cooperate = DSERR_INVALIDPARAM; }},
        {"Create PrimaryBuffer Failed", [] { standIn.primary = DSERR_OUTOFMEMORY; }},
        {"Create PrimaryBuffer Failed", [] { standIn.nullPrimary = true; }},
        {"Create PrimaryBuffer Failed", [] { standIn.format = DSERR_BADFORMAT; }},
        {"Get TIMECAPS Failed", [] { standIn.caps = TIMERR_NOCANDO; }},
        {"Set TimerResolution Failed", [] { standIn.period = TIMERR_NOCANDO; }},
    };
    for (const auto &fault : faults) {
        ResetStandIn();
        fault.arrange();
        EXPECT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 0) << fault.logged;
        EXPECT_EQ(LastLogLine(), fault.logged);
        ExpectNothingHeld(fault.logged);
    }
    ResetStandIn();
    standIn.enumerations.assign(3, DSERR_GENERIC);
    EXPECT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 1) << "three failed enumerations are tried again";
    // A report's text is written as it is, never read as a format, and cut to 127 characters.
    ReportEngineError("%s%s", "100%s%n", std::string(200, 'x').c_str());
    EXPECT_EQ(LastLogLine(), "100%s%n" + std::string(120, 'x'));
}

TEST_F(Sound, StartsTheDefaultDeviceInTheChimesFormatAndRestartsCleanly)
{
    ASSERT_EQ(StartDirectSound(OWNER), 0);
    EXPECT_TRUE(IsEqualGUID(standIn.opened, GUID_NULL) && standIn.cooperation == DSSCL_PRIORITY)
        << "the primary driver's entry, the default device, at the priority level";
    // Sample k holds chime sound k of the table, with global focus.
    const DWORD bytes[] = {190200, 165970, 91800, 90544, 76200, 82748, 86878};
    for (int k = 0; k < 7; k++)
        EXPECT_EQ(Values(standIn.made[k]->desc.dwBufferBytes, standIn.made[k]->desc.dwFlags), Values(bytes[k], 0x180E8))
            << "sample " << k << ": bytes, flags";
    // Positions and lengths convert through the single-precision millisecond.
    standIn.made[0]->cursor = 4410;
    EXPECT_EQ(Values(GetSampleLength(0), GetSamplePosition(0)), "4312 99") << "190200 bytes long, at 4410";
    standIn.made[0]->cursor = 4411;
    EXPECT_EQ(GetSamplePosition(0), 100);
    EXPECT_EQ(SetSamplePosition(0, 100), 1);
    EXPECT_EQ(standIn.made[0]->cursor, 4410u);
    standIn.frequency = DSERR_GENERIC;
    EXPECT_EQ(Values(GetSamplePosition(0), GetSampleLength(0), SetSamplePosition(0, 1)), "0 0 0") << "no frequency";
    // Slowed below a byte a millisecond, a millisecond back is no byte back.
    ResetStandIn();
    standIn.hz = 500;
    ASSERT_EQ(StartEngine(OWNER, 22050, 16, 1, 1), 1);
    ASSERT_EQ(LoadSample(0, Wave("slow.wav", std::string(3000000, 'x'), 8000, 8)), 1);
    standIn.made[0]->cursor = 40;
    EXPECT_EQ(SetSamplePosition(0, -1), 1);
    EXPECT_EQ(standIn.made[0]->cursor, 0u);
    standIn.hz = 1, standIn.made[0]->cursor = 3000000;
    EXPECT_EQ(Values(GetSamplePosition(0), GetSampleLength(0)), Values(INT_MAX, INT_MAX))
        << "at 1 Hz, 3000000 bytes last longer than an int counts";
    ASSERT_EQ(StartEngine(OWNER, 44100, 8, 2, 1), 1) << "a second start stops the first";
    EXPECT_EQ(Values(standIn.devices, standIn.buffers, standIn.periods), "1 1 1") << "devices, buffers, periods";
}

TEST_F(Sound, SamplesAreCopiedWholeIntoBuffersOfTheirOwn)
{
    ASSERT_EQ(StartEngine(OWNER, 22050, 16, 1, 3), 1);
    const char *file = Wave("sound.wav", "abcdefghijkl", 22050, 24);
    standIn.splitLocks = true;
    standIn.lockSlack = 6; // regions longer than the data: the rest stays silent, 0 for 24 bits
    ASSERT_EQ(LoadSample(0, file), 1);
    EXPECT_EQ(standIn.made[0]->desc.dwFlags, 0x100E8u) << "without global focus";
    EXPECT_EQ(std::string(standIn.made[0]->memory.begin(), standIn.made[0]->memory.end()),
              std::string("abcdefghijkl") + std::string(6, '\0'));
    EXPECT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 0) << "the slot holds a sample";
    for (bool refused : {true, false}) {
        standIn.lock = refused ? DSERR_INVALIDCALL : DS_OK, standIn.nullRegion = !refused;
        EXPECT_EQ(LoadSample(1, file), 0);
        EXPECT_EQ(standIn.buffers, 2) << "the buffer of a failed lock is released";
    }
    standIn.lock = DS_OK, standIn.nullRegion = false;
    EXPECT_EQ(LoadSample(1, MAKEINTRESOURCEA(999)), 0) << "no such resource";
    // The setters, and the master volume's, report the call, not the device's answer.
    standIn.setting = DSERR_INVALIDPARAM;
    EXPECT_EQ(Values(SetSampleVolume(0, 100), SetSamplePan(0, 20000), SetSampleFrequency(0, 1), SetMasterVolume(100)),
              "1 1 1 1");
}

// 100 bytes, none of them silence. At 1000 Hz, 50 ms of 8-bit mono are 50
// bytes: a buffer of two halves of 25, and the data fills two buffers.
const std::string DATA = [] { std::string data(100, ' '); return std::iota(data.begin(), data.end(), '!'), data; }();

TEST_F(Sound, AStreamOpensOnlyAFileOfTwoBuffersAndEachTickRefillsTheHalfTheCursorLeft)
{
    // Its header claims the most data there can be: the file's end is the data's.
    WriteFileBytes(L"voice.wav", PcmWave(1000, 8, 1, DATA).replace(40, 4, Dword(0xFFFFFFFF)));
    Wave("wide.wav", DATA + DATA, 1000, 16);
    Wave("short.wav", DATA.substr(0, 99), 1000, 8);
    ASSERT_EQ(StartEngine(OWNER, 22050, 16, 1, 1), 1);
    standIn.splitLocks = true; // each half comes in two regions, as a mixer may hand it out
    auto Tick = [](DWORD cursor) { // with the play cursor at the byte: what the buffer then holds
        standIn.made.back()->cursor = cursor;
        standIn.refill(standIn.timer, 0, 0, 0, 0);
        return std::string(standIn.made.back()->memory.begin(), standIn.made.back()->memory.end());
    };
    EXPECT_EQ(OpenStream("voice.wav", 49), 0) << "below 50 ms";
    EXPECT_EQ(OpenStream("short.wav", 50), 0) << "less than two buffers of data";
    EXPECT_EQ(Values(OpenStream(NULL, 50), OpenStream(MAKEINTRESOURCEA(152), 50)), "0 0") << "no file names";
    ASSERT_EQ(OpenStream("wide.wav", 51), 1);
    EXPECT_EQ(standIn.made.back()->memory.size(), 100u) << "whole frames in each half";
    EXPECT_EQ(OpenStream("voice.wav", 50), 0) << "one stream at a time";
    CloseStream();
    ASSERT_EQ(OpenStream("voice.wav", 50), 1);
    standIn.lock = DSERR_BUFFERLOST;
    EXPECT_EQ(PlayStream(0), 0) << "a first half that cannot be filled is never played";
    standIn.lock = DS_OK, standIn.timer = 0;
    EXPECT_EQ(PlayStream(0), 0) << "without a timer";
    EXPECT_EQ(standIn.made.back()->played, 99u) << "without a timer nothing starts";
    standIn.timer = 7;
    ASSERT_EQ(PlayStream(1), 1);
    EXPECT_EQ(Values(standIn.delay, standIn.resolution), "10 3") << "every 10 ms at the finest period";
    EXPECT_EQ(Tick(0), DATA.substr(0, 50)) << "the first half filled before playing, the second once left";
    EXPECT_EQ(Tick(10), DATA.substr(0, 50)) << "once a pass";
    for (bool refused : {true, false}) {
        standIn.lock = refused ? DSERR_BUFFERLOST : DS_OK, standIn.nullRegion = !refused;
        Tick(30);
    }
    EXPECT_EQ(standIn.locks, 0) << "a lock that gave no region to write is let go";
    standIn.nullRegion = false;
    EXPECT_EQ(Tick(30), DATA.substr(50, 25) + DATA.substr(25, 25)) << "a half not locked comes at the next tick";
    Tick(0);
    EXPECT_EQ(Tick(30), DATA.substr(0, 25) + DATA.substr(75, 25)) << "looping back to the data's start";
    ASSERT_EQ(PlayStream(0), 1) << "a playing stream only takes the loop flag";
    for (DWORD cursor : {0, 30, 0})
        Tick(cursor);
    EXPECT_EQ(Tick(30), std::string(25, '\x80') + DATA.substr(75, 25)) << "silence after the data";
    EXPECT_EQ(Tick(0), std::string(50, '\x80'));
    EXPECT_EQ(Values(standIn.made.back()->played, standIn.killed), "0 7") << "played out once, the timer killed";
    CloseStream();
    standIn.timer = 8; // the next stream's timer: a late tick of the killed one must leave its stream alone
    ASSERT_EQ(OpenStream("voice.wav", 50) + PlayStream(0), 2);
    const std::vector<BYTE> primed = standIn.made.back()->memory;
    standIn.refill(7, 0, 0, 0, 0);
    EXPECT_EQ(standIn.made.back()->memory, primed) << "a tick of the killed timer refilled the next stream";
}

std::string told; // what the readers said to the debugger

LONG CALLBACK CatchDebuggerText(EXCEPTION_POINTERS *caught)
{
    const EXCEPTION_RECORD *record = caught->ExceptionRecord;
    if (record->ExceptionCode == DBG_PRINTEXCEPTION_C && record->NumberParameters >= 2)
        told += (const char *)record->ExceptionInformation[1];
    return EXCEPTION_CONTINUE_SEARCH;
}

// Mono, 16 bits, 22050 a second, and what a longer chunk adds.
std::string Format(unsigned tag = 1, const std::string &more = "")
{
    return Chunk("fmt ", Word(tag) + Word(1) + Dword(22050) + Dword(44100) + Word(2) + Word(16) + more);
}
const std::string FOUR = Chunk("data", "abcd"), JUNK = Chunk("LIST", std::string(30, 'x'));

TEST_F(Sound, WaveReadersReadOrRefuseEachSoundAlike)
{
    const struct { std::string bytes; const char *image, *file; } sounds[] = { // each reader's report, or its samples
        {Riff(Format() + FOUR), "abcd", "abcd"},
        {Riff(Chunk("LIST", "INFOx") + Format(1, Word(22) + std::string(22, 'x')) + JUNK + FOUR), "abcd", "abcd"},
        {Riff(Format() + FOUR).substr(0, 19), "Bad Wave Resource\n", "Only a PCM Format is Supported\n"},
        {Riff(Format() + FOUR, "AVI "), "WAVE Header Reading Error\n", "WAVE Header Reading Error\n"},
        {Riff(JUNK + FOUR), "Format Chunk Reading Error\n", "Format Chunk Reading Error\n"},
        {Riff(Format(3) + FOUR), "Only a PCM Format is Supported\n", "Only a PCM Format is Supported\n"},
        {Riff(Format() + "data" + Dword(100) + "abcd"), "abcd", "Could not read Wave Data\n"},
    };
    PVOID catcher = AddVectoredExceptionHandler(1, CatchDebuggerText);
    for (const auto &sound : sounds) {
        WaveInfo image = {}, whole = {};
        told.clear();
        if (ReadWaveImage(sound.bytes.data(), (uint32_t)sound.bytes.size(), &image))
            told = std::string((const char *)image.data, image.dataSize) + (image.fromResource ? "" : " (a copy)");
        EXPECT_EQ(told, sound.image) << sound.image;
        ASSERT_TRUE(WriteFileBytes(L"sound.wav", sound.bytes));
        told.clear();
        if (ReadWaveFile("sound.wav", &whole))
            told = std::string((const char *)whole.data, whole.dataSize) +
                   (whole.samplesPerSecond == 22050 ? "" : " (format?)");
        EXPECT_EQ(told, sound.file) << sound.file;
        ReleaseWaveData(&whole);
    }
    // A format chunk shorter than its fields leaves the rest zero.
    WaveInfo info;
    ASSERT_TRUE(WriteFileBytes(L"sound.wav", Riff(Chunk("fmt ", Word(1) + Word(1) + Dword(8000)) + FOUR)));
    ASSERT_EQ(ReadWaveFileHeader("sound.wav", &info), 1);
    EXPECT_EQ(Values(info.samplesPerSecond, info.blockAlign, info.bitsPerSample), "8000 0 0") << "rate, align, bits";
    // Ids are found wherever the 16384-byte blocks of the search cut them;
    // the search for the data begins after the 36 bytes of the format.
    for (size_t at : {16415u, 16416u, 16417u}) {
        ASSERT_TRUE(WriteFileBytes(L"sound.wav", Riff(Format() + Chunk("JUNK", std::string(at - 44, 'x')) + FOUR)));
        EXPECT_EQ(ReadWaveFileHeader("sound.wav", &info), 1) << at;
        EXPECT_EQ(info.dataOffset, at + 8);
    }
    // The program's own sound, in its image; no resource and no file.
    ASSERT_EQ(ReadWaveResource(GetModuleHandleA(NULL), MAKEINTRESOURCEA(152), &info), 1);
    EXPECT_EQ(Values(info.dataSize, info.fromResource), "190200 1") << "bytes, in the resource";
    told.clear();
    EXPECT_EQ(ReadWaveResource(GetModuleHandleA(NULL), MAKEINTRESOURCEA(151), &info), 0);
    EXPECT_EQ(told, "Resource Reading Error\n");
    RemoveVectoredExceptionHandler(catcher);
}
} // namespace
