// The swing and its draws, from fixed seeds. The sound, the meter and the
// window are stand-ins that record what the wind asks of them; a reference
// generator beside the test names every draw in the order the wind makes it.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "app/app.h"
#include "settings/settings.h"
#include "sound/chime_sound.h"
#include "sound/sound.h"
#include "wind/wind.h"
#include "window/window.h"

// Stand-ins ------------------------------------------------------------------
static std::vector<std::string> played;
static int samplePosition;
static unsigned long long nextReading;

static void Log(const char *what, long a, long b = 0)
{
    char text[64];
    wsprintfA(text, "%s %ld %ld", what, a, b);
    played.push_back(text);
}

BYTE platformFamily;
int memoryUsage;
unsigned long long meterReading;
int meterUnavailable;
void ReadMemoryMeter(void) { meterReading = nextReading; }
void RefreshTrayTip(void) {}
int ApplyPoseRegion(HWND) { return 0; }
void PlayChimeResource(int id) { Log("snd", id); }
int GetSamplePosition(unsigned sample)
{
    Log("pos", sample);
    return samplePosition;
}
int SetSampleVolume(unsigned sample, int volume)
{
    Log("vol", sample, volume);
    return 1;
}
int SetSamplePan(unsigned sample, int pan)
{
    Log("pan", sample, pan);
    return 1;
}
int PlaySample(unsigned sample, int loop)
{
    Log("play", sample, loop);
    return 1;
}

namespace {

// The generator's rule, written out again: s = s * 1103515245 + 12345, (s >> 16) mod n.
struct Reference {
    unsigned s;
    unsigned Below(unsigned n)
    {
        s = s * 1103515245u + 12345u;
        return (s >> 16) % n;
    }
};

const HICON NORMAL = (HICON)0x125, ALTERNATIVE = (HICON)0x127;
const int ATTENUATION[8] = {1, 300, 600, 900, 1200, 1500, 1800, 2100};

class Wind : public ::testing::Test {
protected:
    void SetUp() override
    {
        normalIcon = NORMAL;
        alternativeIcon = ALTERNATIVE;
        trayIcon.hIcon = NORMAL;
        pose = swing_step = 0;
        gust_reference = 0;
        played.clear();
        samplePosition = 0;
        nextReading = 0;
        settings = Settings();
        settings.win_obj = 1;
        settings.win_str = 2;
        settings.frn_kan = 2;
        settings.snd_vol = 2;
        settings.snd_kbn = 2;
        settings.memory0 = 1048576;
        settings.memory1 = 524288;
        settings.memory2 = 262144;
        settings.random0 = 160;
        settings.random1 = 80;
        settings.random2 = 40;
    }

    void Seed(unsigned seed)
    {
        SeedRandom(seed);
        ref.s = seed;
    }

    // A seed whose first draw from the range brings a gust for the divisor.
    unsigned GustSeed(unsigned range, unsigned divisor)
    {
        for (unsigned seed = 1;; seed++) {
            Reference r{seed};
            if (divisor % (r.Below(range) + 1) == 0)
                return seed;
        }
    }

    void Tick(int cause = 0) { WindTick(cause, NULL); }

    // What the Direct mode plays for a ring of sample k, its draws taken from ref.
    std::vector<std::string> DirectRing(unsigned k, int cause, int volumeBase, unsigned volumeRange)
    {
        std::vector<std::string> expected;
        char text[64];
        wsprintfA(text, "pos %u 0", k);
        expected.push_back(text);
        if (samplePosition == 0) {
            wsprintfA(text, "vol %u %d", k, -ATTENUATION[volumeBase + (int)ref.Below(volumeRange)]);
            expected.push_back(text);
        }
        int pan = k == 0 ? -(int)ref.Below(200) : k == 1 ? 0 : k == 2 ? (int)ref.Below(200) : cause;
        wsprintfA(text, "pan %u %d", k, pan);
        expected.push_back(text);
        wsprintfA(text, "play %u 0", k);
        expected.push_back(text);
        return expected;
    }

    Reference ref;
};

// Random wind, typhoon, high sensitivity: a gust, four rings of samples 0 to
// 3 at normal volume, each step flipping the tray icon, then rest.
TEST_F(Wind, TyphoonGustRingsOnEveryStep)
{
    Seed(GustSeed(40, 10));
    ref.Below(40);
    Tick();
    EXPECT_EQ(pose, 1);
    EXPECT_EQ(swing_step, 1);
    EXPECT_TRUE(played.empty()) << "the gust's own step does not ring";
    EXPECT_EQ(trayIcon.hIcon, NORMAL);

    for (int step = 2; step <= 5; step++) {
        played.clear();
        unsigned k = ref.Below(4);
        std::vector<std::string> expected = DirectRing(k, 0, 3, 2);
        Tick();
        EXPECT_EQ(played, expected) << "step " << step;
        EXPECT_LT(k, 4u);
        EXPECT_EQ(pose, step);
        EXPECT_EQ(swing_step, step);
        EXPECT_EQ(trayIcon.hIcon, step % 2 ? NORMAL : ALTERNATIVE);
    }
    Tick();
    EXPECT_EQ(pose, 0);
    EXPECT_EQ(swing_step, 0);
    EXPECT_EQ(trayIcon.hIcon, NORMAL);
}

// A gust from either source, in each wind kind, and the whole swing after it:
// poses 1 to 5 and back to 0, the tray icon flipping on each ringing step, and
// on each step the kind's ring draw, and for a ring below 7 that sample with
// its volume and pan.
TEST_F(Wind, EachSourceAndKindGustsAndSwingsWithItsRingDraws)
{
    for (BYTE source : {0, 1})
        for (BYTE kind : {1, 2, 3})
            for (unsigned seed : {5u, 77u, 901u}) {
                SetUp();
                settings.win_obj = source;
                settings.win_str = kind;
                const unsigned divisor = kind == 1 ? 50 : kind == 2 ? 10 : 30;
                std::string what = "source " + std::to_string(source) + " kind " + std::to_string(kind);
                if (source == 0) {
                    nextReading = 300000; // beyond the threshold of 262144
                    Seed(seed);
                } else {
                    unsigned gusty = seed;
                    while (divisor % (Reference{gusty}.Below(40) + 1) != 0)
                        gusty++;
                    Seed(gusty);
                    ref.Below(40);
                }
                Tick();
                ASSERT_EQ(pose, 1) << what;
                ASSERT_EQ(swing_step, 1) << what;
                EXPECT_TRUE(played.empty()) << what;
                EXPECT_EQ(trayIcon.hIcon, NORMAL) << what;
                for (int step = 2; step <= 5; step++) {
                    played.clear();
                    unsigned r = kind == 1 ? ref.Below(30) : kind == 2 ? ref.Below(4) : ref.Below(ref.Below(30) + 15);
                    std::vector<std::string> expected;
                    if (r < 7)
                        expected = DirectRing(r, 0, 3, 2);
                    Tick();
                    EXPECT_EQ(played, expected) << what << " step " << step;
                    EXPECT_EQ(pose, step);
                    EXPECT_EQ(swing_step, step);
                    EXPECT_EQ(trayIcon.hIcon, step % 2 ? NORMAL : ALTERNATIVE) << what;
                }
                played.clear();
                Tick();
                EXPECT_EQ(pose, 0) << what;
                EXPECT_EQ(swing_step, 0);
                EXPECT_EQ(trayIcon.hIcon, NORMAL);
                EXPECT_TRUE(played.empty());
                EXPECT_EQ(RandomBelow(65536), ref.Below(65536)) << "the same number of draws: " << what;
            }
}

// Each wind kind has its divisor; m is drawn from 1 to the range.
TEST_F(Wind, RandomGustWhenTheDrawDividesTheKindsDivisor)
{
    const std::pair<int, unsigned> kinds[] = {{1, 50}, {2, 10}, {3, 30}};
    for (auto [kind, divisor] : kinds) {
        SetUp();
        settings.win_str = (BYTE)kind;
        settings.frn_kan = 0;
        for (unsigned seed = 100; seed < 140; seed++) {
            pose = swing_step = 0;
            Seed(seed);
            bool gust = divisor % (ref.Below(160) + 1) == 0;
            Tick();
            EXPECT_EQ(swing_step == 1, gust) << "kind " << kind << " seed " << seed;
            if (!gust) {
                EXPECT_EQ(pose, ref.Below(10) == 0 ? 1 : 0) << "the idle flicker";
            }
        }
    }
}

// The reading against the reference of the last gust, strictly beyond the threshold.
TEST_F(Wind, MemoryGustBeyondTheThresholdOnly)
{
    settings.win_obj = 0;
    settings.frn_kan = 1; // 524288
    Seed(7);
    nextReading = 8ull << 30; // beyond 32 bits; the reference starts at 0
    Tick();
    EXPECT_EQ(swing_step, 1) << "the first tick at rest gusts";
    EXPECT_EQ(gust_reference, 8ull << 30);

    pose = swing_step = 0;
    nextReading = (8ull << 30) - 524288;
    Seed(3);
    Tick();
    EXPECT_EQ(swing_step, 0) << "exactly the threshold is no gust";
    EXPECT_EQ(gust_reference, 8ull << 30);
    nextReading = (8ull << 30) + 524289;
    Tick();
    EXPECT_EQ(swing_step, 1);
}

TEST_F(Wind, MemorySourceWithoutAMeterNeverGusts)
{
    settings.win_obj = 0;
    Seed(11);
    int expectedPose = 0;
    for (int i = 0; i < 50; i++) {
        Tick();
        EXPECT_EQ(swing_step, 0);
        if (ref.Below(10) == 0)
            expectedPose = 1 - expectedPose;
        EXPECT_EQ(pose, expectedPose) << "tick " << i;
    }
}

// A fan stroke rings with its own draw (samples 0 to 5) and moves one pose on.
TEST_F(Wind, FanStrokeAlwaysRingsAndMovesOnePoseOn)
{
    for (int start : {0, 1, 3}) {
        SetUp();
        pose = start;
        swing_step = start >= 2 ? start : 0;
        for (unsigned seed = 1; seed < 30; seed++) {
            pose = start;
            played.clear();
            Seed(seed);
            unsigned k = ref.Below(6);
            std::vector<std::string> expected = DirectRing(k, 1, 3, 2);
            Tick(1);
            EXPECT_EQ(played, expected);
            EXPECT_EQ(pose, start + 1);
            EXPECT_EQ(swing_step, start + 1);
        }
    }
}

// At the last pose a fan stroke rings and flips but does not pass pose 5.
TEST_F(Wind, FanStrokeAtTheLastPoseStaysThere)
{
    pose = swing_step = 5;
    Seed(5);
    Tick(1);
    EXPECT_EQ(pose, 5);
    EXPECT_EQ(swing_step, 5);
    EXPECT_FALSE(played.empty());
    EXPECT_EQ(trayIcon.hIcon, ALTERNATIVE);
    Tick();
    EXPECT_EQ(pose, 0);
}

TEST_F(Wind, VolumeOffMakesNoRingDrawButSwings)
{
    settings.snd_vol = 0;
    pose = swing_step = 2;
    Seed(9);
    Tick();
    EXPECT_TRUE(played.empty());
    EXPECT_EQ(pose, 3);
    EXPECT_EQ(trayIcon.hIcon, ALTERNATIVE);
    EXPECT_EQ(RandomBelow(65536), ref.Below(65536)) << "no draw was made";
}

TEST_F(Wind, OtherSoundModesDrawButPlayNothing)
{
    for (BYTE mode : {0, 9}) {
        settings.snd_kbn = mode;
        pose = swing_step = 1;
        played.clear();
        Seed(21);
        ref.Below(4);
        Tick();
        EXPECT_TRUE(played.empty());
        EXPECT_EQ(RandomBelow(65536), ref.Below(65536)) << "the ring draw was made";
    }
}

// The simple sound call picks any of the seven entries with a draw of its own.
TEST_F(Wind, SndPlayModePlaysARandomEntryOfTheTable)
{
    settings.snd_kbn = 1;
    const int table[7] = {152, 153, 154, 158, 156, 157, 155};
    for (unsigned seed = 1; seed < 40; seed++) {
        pose = swing_step = 1;
        played.clear();
        Seed(seed);
        ref.Below(4);
        char expected[32];
        wsprintfA(expected, "snd %d 0", table[ref.Below(7)]);
        Tick();
        EXPECT_EQ(played, std::vector<std::string>{expected});
    }
}

// A wind kind outside 1 to 3 rings sample 0 without a ring draw, and the
// random source's one draw at rest never brings a gust.
TEST_F(Wind, WindKindOutsideTheTableRingsSampleZeroWithoutADraw)
{
    settings.win_str = 7;
    pose = swing_step = 1;
    Seed(33);
    std::vector<std::string> expected = DirectRing(0, 0, 3, 2);
    Tick();
    EXPECT_EQ(played, expected);

    settings.random2 = 1; // m is always 1, which divides every divisor
    for (unsigned seed = 1; seed < 20; seed++) {
        pose = swing_step = 0;
        Seed(seed);
        ref.Below(1);
        int flicker = ref.Below(10) == 0;
        Tick();
        EXPECT_EQ(swing_step, 0) << seed;
        EXPECT_EQ(pose, flicker) << seed;
        EXPECT_EQ(RandomBelow(65536), ref.Below(65536)) << "the gust draw and the flicker draw: " << seed;
    }
}

// A sample still sounding gets a new pan and plays on, its volume untouched.
TEST_F(Wind, SoundingSampleKeepsItsVolume)
{
    samplePosition = 250;
    pose = swing_step = 1;
    Seed(12);
    unsigned k = ref.Below(4);
    std::vector<std::string> expected = DirectRing(k, 0, 3, 2);
    Tick();
    EXPECT_EQ(played, expected);
    for (const std::string &call : played)
        EXPECT_NE(call.rfind("vol", 0), 0u);
}

TEST_F(Wind, VolumeSettingsChooseTheirAttenuations)
{
    const std::pair<BYTE, std::pair<int, unsigned>> volumes[] = {{1, {0, 2}}, {3, {6, 2}}, {4, {0, 8}}};
    for (auto [volume, entries] : volumes) {
        settings.snd_vol = volume;
        pose = swing_step = 1;
        played.clear();
        Seed(44);
        unsigned k = ref.Below(4);
        std::vector<std::string> expected = DirectRing(k, 0, entries.first, entries.second);
        Tick();
        EXPECT_EQ(played, expected) << "volume " << (int)volume;
    }
}

// Stored ranges below 1 count as 1 (m is then always 1, which divides every
// divisor); sensitivities beyond 2 count as medium.
TEST_F(Wind, OutOfRangeSettingsAreUsedSafely)
{
    settings.random2 = 0;
    Seed(1);
    Tick();
    EXPECT_EQ(swing_step, 1);
    EXPECT_EQ(settings.random2, 0) << "the setting keeps its value";

    pose = swing_step = 0;
    settings.frn_kan = 9;
    settings.random1 = 1;
    settings.random0 = settings.random2 = 1000000;
    Seed(2);
    Tick();
    EXPECT_EQ(swing_step, 1) << "medium's range of 1 was used";
    EXPECT_EQ(settings.frn_kan, 9);
}

} // namespace
