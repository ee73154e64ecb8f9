// The sound library on Wine's real DirectSound, played into the test bed's
// null audio sink: start-up, the chime's samples, playing and the cursor in
// milliseconds, refusals, and start-ups that fail for want of DirectSound or
// of an audio device.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "sound/chime_sound.h"
#include "sound/engine.h"
#include "sound/sound.h"
#include "tests/common/files.h"
#include "tests/common/pe_resources.h"

namespace {

const int CHIME_SLOTS = 7;
// Chime sound 152 (sample 0) holds 190200 bytes at 44.1 bytes a millisecond.
const int FIRST_CHIME_MS = 4312;

HWND TestWindow()
{
    static HWND window = CreateWindowA("STATIC", "sound test", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL,
                                       GetModuleHandleA(NULL), NULL);
    return window;
}

std::wstring Scratch()
{
    char root[MAX_PATH] = "";
    GetEnvironmentVariableA("QUILLET_SCRATCH", root, MAX_PATH);
    std::string text(root);
    return FreshFolderUnder(std::wstring(text.begin(), text.end()));
}

// Every operation on a sample refuses the index with its marker.
void ExpectSampleRefused(unsigned sample)
{
    EXPECT_EQ(PlaySample(sample, 0), 0) << sample;
    EXPECT_EQ(StopSample(sample), 0) << sample;
    EXPECT_EQ(RewindSample(sample), 0) << sample;
    EXPECT_EQ(GetSamplePan(sample), SOUND_NO_PAN) << sample;
    EXPECT_EQ(SetSamplePan(sample, 0), 0) << sample;
    EXPECT_EQ(GetSampleFrequency(sample), 0u) << sample;
    EXPECT_EQ(SetSampleFrequency(sample, 22050), 0) << sample;
    EXPECT_EQ(GetSampleVolume(sample), 1) << sample;
    EXPECT_EQ(SetSampleVolume(sample, 0), 0) << sample;
    EXPECT_EQ(GetSamplePosition(sample), 0) << sample;
    EXPECT_EQ(SetSamplePosition(sample, 0), 0) << sample;
    EXPECT_EQ(GetSampleLength(sample), 0) << sample;
    EXPECT_EQ(UnloadSample(sample), 0) << sample;
}

void ExpectEngineStopped()
{
    EXPECT_EQ(EngineDevice(), nullptr);
    EXPECT_EQ(EngineSlot(0), nullptr);
    EXPECT_EQ(GetMasterVolume(), 1) << "no primary buffer";
    EXPECT_EQ(SetMasterVolume(0), 0);
    EXPECT_EQ(SetGlobalFocus(1), 0);
    EXPECT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 0);
    ExpectSampleRefused(0);
}

// Waits up to the time for the sample's position to read 0 again.
bool BackAtStartWithin(unsigned sample, DWORD milliseconds)
{
    for (DWORD start = GetTickCount(); GetTickCount() - start < milliseconds; Sleep(20))
        if (GetSamplePosition(sample) == 0)
            return true;
    return false;
}

class Engine : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_EQ(StartDirectSound(TestWindow()), 0) << "DirectSound with the seven chimes";
    }
    void TearDown() override
    {
        StopEngine();
    }
};

TEST_F(Engine, ChimeSamplesComeFromTheProgramsResources)
{
    EXPECT_EQ(GetApiRevision(), 355);
    EXPECT_EQ(SoundApi.getApiRevision(), 355);
    EXPECT_EQ(EngineGlobalFocus(), 1);
    for (int k = 0; k < CHIME_SLOTS; k++) {
        SampleSlot *slot = EngineSlot(k);
        ASSERT_NE(slot, nullptr);
        ASSERT_NE(slot->buffer, nullptr) << k;
        EXPECT_EQ(slot->path, nullptr) << "a resource has no path";
        EXPECT_EQ(slot->wave.dataSize, chimeDataBytes.at(chimeSounds[k])) << k;
        DSBCAPS caps = {sizeof caps, 0, 0, 0, 0};
        ASSERT_EQ(slot->buffer->GetCaps(&caps), DS_OK);
        EXPECT_EQ(caps.dwBufferBytes, slot->wave.dataSize);
        EXPECT_EQ(caps.dwFlags & DSBCAPS_GLOBALFOCUS, (DWORD)DSBCAPS_GLOBALFOCUS) << k;
        // The samples as the chime file holds them: 44.1 bytes a millisecond.
        EXPECT_EQ(GetSampleLength(k), (int)(slot->wave.dataSize * 10 / 441)) << k;
        EXPECT_EQ(GetSampleFrequency(k), 22050u);
        EXPECT_EQ(GetSampleVolume(k), 0);
        EXPECT_EQ(GetSamplePan(k), 0);
        EXPECT_EQ(GetSamplePosition(k), 0);
    }
    EXPECT_EQ(GetSampleLength(0), FIRST_CHIME_MS);
    EXPECT_EQ(EngineSlot(CHIME_SLOTS), nullptr);
    EXPECT_LE(GetMasterVolume(), 0);
}

// A loaded sample's setters report 1 whether or not DirectSound takes the
// value; one it refuses leaves the sample as it was.
TEST_F(Engine, SettersReachTheBufferAndValuesOutOfRangeChangeNothing)
{
    EXPECT_EQ(SetSampleVolume(2, -2100), 1);
    EXPECT_EQ(GetSampleVolume(2), -2100);
    EXPECT_EQ(SetSampleVolume(2, 1), 1) << "above full volume";
    EXPECT_EQ(GetSampleVolume(2), -2100);
    EXPECT_EQ(SetSamplePan(2, -2000), 1);
    EXPECT_EQ(GetSamplePan(2), -2000);
    EXPECT_EQ(SetSamplePan(2, 10001), 1);
    EXPECT_EQ(GetSamplePan(2), -2000);
    EXPECT_EQ(SetSampleFrequency(2, 300000), 1);
    EXPECT_EQ(GetSampleFrequency(2), 22050u);
    EXPECT_EQ(SetSampleFrequency(2, 11025), 1);
    EXPECT_EQ(GetSampleFrequency(2), 11025u);
    EXPECT_EQ(GetSampleLength(2), (int)(chimeDataBytes.at(chimeSounds[2]) * 100 / 2205)) << "half speed";
    int master = GetMasterVolume();
    EXPECT_EQ(SetMasterVolume(-600), 1);
    EXPECT_EQ(GetMasterVolume(), -600);
    EXPECT_EQ(SetMasterVolume(master), 1);
}

TEST_F(Engine, MillisecondsTruncateBothWays)
{
    IDirectSoundBuffer *buffer = EngineSlot(0)->buffer;
    DWORD played = 1, written;
    ASSERT_EQ(SetSamplePosition(0, 100), 1);
    ASSERT_EQ(buffer->GetCurrentPosition(&played, &written), DS_OK);
    EXPECT_EQ(played, 4410u) << "100 ms is 4410.0002 bytes";
    EXPECT_EQ(GetSamplePosition(0), 99) << "4410 bytes are 99.99999 ms";
    ASSERT_EQ(buffer->SetCurrentPosition(4412), DS_OK);
    EXPECT_EQ(GetSamplePosition(0), 100);

    ASSERT_EQ(SetSamplePosition(0, 0), 1);
    ASSERT_EQ(buffer->GetCurrentPosition(&played, &written), DS_OK);
    EXPECT_EQ(played, 0u);
    EXPECT_EQ(SetSamplePosition(0, 4000000000u), 0) << "beyond any buffer";
    ASSERT_EQ(buffer->GetCurrentPosition(&played, &written), DS_OK);
    EXPECT_EQ(played, 0u) << "a refused position moves nothing";
}

TEST_F(Engine, ANonLoopingSampleStopsByItselfBackAtTheStart)
{
    // Start near the end, so the test need not wait out the whole chime.
    ASSERT_EQ(SetSamplePosition(0, FIRST_CHIME_MS - 300), 1);
    ASSERT_EQ(PlaySample(0, 0), 1);
    Sleep(100);
    EXPECT_GE(GetSamplePosition(0), FIRST_CHIME_MS - 300);
    DWORD status = 0;
    EngineSlot(0)->buffer->GetStatus(&status);
    EXPECT_TRUE(status & DSBSTATUS_PLAYING);
    EXPECT_TRUE(BackAtStartWithin(0, 2000));
    EngineSlot(0)->buffer->GetStatus(&status);
    EXPECT_FALSE(status & DSBSTATUS_PLAYING);
}

TEST_F(Engine, TwoSamplesPlayTogetherAndPlayDoesNotRestartAPlayingOne)
{
    ASSERT_EQ(PlaySample(0, 0), 1);
    ASSERT_EQ(PlaySample(1, 1), 1);
    Sleep(300);
    int first = GetSamplePosition(0), second = GetSamplePosition(1);
    EXPECT_GT(first, 100);
    EXPECT_GT(second, 100);
    ASSERT_EQ(PlaySample(0, 0), 1);
    Sleep(100);
    EXPECT_GT(GetSamplePosition(0), first) << "still going from where it was";
    EXPECT_GT(GetSamplePosition(1), second);

    ASSERT_EQ(StopSample(1), 1);
    int stopped = GetSamplePosition(1);
    Sleep(100);
    EXPECT_EQ(GetSamplePosition(1), stopped) << "a stopped sample keeps its place";
    ASSERT_EQ(RewindSample(0), 1);
    Sleep(50);
    EXPECT_EQ(GetSamplePosition(0), 0) << "rewound and stopped";
}

TEST_F(Engine, RefusalsOnEmptyAndMissingSlots)
{
    ExpectSampleRefused(CHIME_SLOTS);
    ExpectSampleRefused(0xFFFFFFFFu);
    EXPECT_EQ(LoadSample(CHIME_SLOTS, MAKEINTRESOURCEA(152)), 0);
    EXPECT_EQ(LoadSample(3, MAKEINTRESOURCEA(152)), 0) << "slot 3 is taken";

    ASSERT_EQ(UnloadSample(3), 1);
    EXPECT_EQ(EngineSlot(3)->buffer, nullptr);
    ExpectSampleRefused(3);
    EXPECT_EQ(LoadSample(3, MAKEINTRESOURCEA(999)), 0) << "no such WAVE resource, and a number is no path";
    EXPECT_EQ(LoadSample(3, MAKEINTRESOURCEA(128)), 0) << "a bitmap";
    EXPECT_EQ(LoadSample(3, "Z:\\no\\such\\chime.wav"), 0);
    EXPECT_EQ(EngineSlot(3)->buffer, nullptr);
    EXPECT_EQ(LoadSample(3, MAKEINTRESOURCEA(158)), 1);
}

TEST_F(Engine, FileSamplesKeepACopyOfTheirPath)
{
    char sounds[MAX_PATH] = "";
    ASSERT_NE(GetEnvironmentVariableA("QUILLET_SOUNDS", sounds, MAX_PATH), 0u);
    std::string path = std::string(sounds) + "\\chime152.wav";
    ASSERT_EQ(UnloadSample(6), 1);
    ASSERT_EQ(LoadSample(6, path.c_str()), 1);
    ASSERT_NE(EngineSlot(6)->path, nullptr);
    EXPECT_NE(EngineSlot(6)->path, path.c_str());
    EXPECT_EQ(std::string(EngineSlot(6)->path), path);
    EXPECT_EQ(EngineSlot(6)->wave.data, nullptr) << "the file's data went into the buffer";
    EXPECT_EQ(GetSampleLength(6), FIRST_CHIME_MS);
    ASSERT_EQ(UnloadSample(6), 1);
    EXPECT_EQ(EngineSlot(6)->path, nullptr);
}

// Formats that no buffer can play, a block align of 0 or no channels, are
// refused by DirectSound: the sample is not loaded and its slot stays empty.
TEST_F(Engine, SoundsWithoutBlockAlignOrChannelsAreNotLoaded)
{
    std::wstring folder = Scratch();
    std::string samples(4410, '\0');
    const char *formats[] = {
        "\x01\x00\x01\x00\x22\x56\x00\x00\x44\xac\x00\x00\x00\x00\x10\x00", // block align 0
        "\x01\x00\x00\x00\x22\x56\x00\x00\x44\xac\x00\x00\x02\x00\x10\x00", // no channels
    };
    ASSERT_EQ(UnloadSample(6), 1);
    for (const char *format : formats) {
        std::string wave = std::string("RIFF") + std::string("\x00\x00\x00\x00WAVEfmt \x10\x00\x00\x00", 16) +
                           std::string(format, 16) + "data" + std::string("\x3a\x11\x00\x00", 4) + samples;
        std::wstring path = folder + L"\\format.wav";
        ASSERT_TRUE(WriteFileText(path, wave));
        std::string narrow(path.begin(), path.end());
        EXPECT_EQ(LoadSample(6, narrow.c_str()), 0);
        EXPECT_EQ(EngineSlot(6)->buffer, nullptr);
        EXPECT_EQ(EngineSlot(6)->path, nullptr);
        ExpectSampleRefused(6);
    }
    EXPECT_EQ(LoadSample(6, MAKEINTRESOURCEA(155)), 1);
}

TEST_F(Engine, GlobalFocusUnloadsAndStoppingTwiceIsSafe)
{
    ASSERT_EQ(PlaySample(0, 1), 1);
    ASSERT_EQ(SetGlobalFocus(0), 1);
    EXPECT_EQ(EngineGlobalFocus(), 0);
    ExpectSampleRefused(0);
    ASSERT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 1);
    DSBCAPS caps = {sizeof caps, 0, 0, 0, 0};
    ASSERT_EQ(EngineSlot(0)->buffer->GetCaps(&caps), DS_OK);
    EXPECT_EQ(caps.dwFlags & DSBCAPS_GLOBALFOCUS, 0u);

    StopEngine();
    ExpectEngineStopped();
    StopEngine();
    ExpectEngineStopped();
    ASSERT_EQ(StartEngine(TestWindow(), 22050, 16, 1, 2), 1) << "starts again after stopping";
    EXPECT_EQ(LoadSample(1, MAKEINTRESOURCEA(155)), 1);
    EXPECT_EQ(LoadSample(2, MAKEINTRESOURCEA(155)), 0);
}

// Run by CTest in processes of their own, without DirectSound or without an
// audio device. The first report of a run replaces the log, later ones append.
void ExpectFailedStartLogs(const char *text)
{
    std::wstring folder = Scratch();
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
    ASSERT_TRUE(WriteFileText(L"supinfo.txt", "an earlier run\r\n"));
    EXPECT_EQ(StartEngine(TestWindow(), 22050, 16, 1, 7), 0);
    EXPECT_EQ(FileText(L"supinfo.txt"), std::string(text) + "\r\n");
    ExpectEngineStopped();
    EXPECT_EQ(StartDirectSound(TestWindow()), 1);
    EXPECT_EQ(FileText(L"supinfo.txt"), std::string(text) + "\r\n" + text + "\r\n");
    ExpectEngineStopped();
}

TEST(EngineFailure, WithoutDirectSound)
{
    ExpectFailedStartLogs("LoadLibrary Failed (DSOUND.DLL)");
}

TEST(EngineFailure, WithoutAnAudioDevice)
{
    ExpectFailedStartLogs("DirectSoundCreate Failed");
}

} // namespace
