// The streaming voice on Wine's real DirectSound, played into the test bed's
// null audio sink: what it opens and refuses, and a thousand random steps of
// the caller's thread against the refill timer's.
#include <gtest/gtest.h>
#include <windows.h>

#include <random>
#include <string>

#include "sound/sound.h"
#include "tests/common/files.h"
#include "tests/common/waves.h"

namespace {

// 200 ms of 22050 Hz 16-bit mono.
const size_t BUFFER_BYTES = 8820;

class Stream : public ::testing::Test {
protected:
    HWND window = NULL;

    void SetUp() override
    {
        char root[MAX_PATH] = "";
        GetEnvironmentVariableA("QUILLET_SCRATCH", root, MAX_PATH);
        std::string text(root);
        ASSERT_TRUE(SetCurrentDirectoryW(FreshFolderUnder(std::wstring(text.begin(), text.end())).c_str()));
        window = CreateWindowA("STATIC", "stream test", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
        ASSERT_EQ(StartEngine(window, 22050, 16, 1, 1), 1);
    }
    void TearDown() override
    {
        StopEngine();
        DestroyWindow(window);
    }
    static void Write(const wchar_t *name, size_t dataBytes)
    {
        ASSERT_TRUE(WriteFileText(name, PcmWave(22050, 16, 1, BinaryJunk(dataBytes))));
    }
};

TEST_F(Stream, OpensOneStreamOfTwoBuffersOrMoreFromFiftyMilliseconds)
{
    Write(L"two.wav", 2 * BUFFER_BYTES);
    Write(L"short.wav", 2 * BUFFER_BYTES - 2);
    ASSERT_TRUE(WriteFileText(L"text.wav", std::string(4 * BUFFER_BYTES, 'x')));
    EXPECT_EQ(PlayStream(0), 0) << "no stream yet";
    EXPECT_EQ(PauseStream(), 0);
    EXPECT_EQ(StopStream(), 0);

    EXPECT_EQ(OpenStream("two.wav", 49), 0);
    ASSERT_EQ(OpenStream("two.wav", 50), 1);
    EXPECT_EQ(OpenStream("two.wav", 200), 0) << "one stream at a time";
    EXPECT_EQ(PlayStream(0), 1) << "the first stream is still there";
    Sleep(100);
    EXPECT_EQ(PlayStream(1), 1);
    EXPECT_EQ(PauseStream(), 1);
    EXPECT_EQ(StopStream(), 1);
    CloseStream();
    EXPECT_EQ(PlayStream(0), 0);
    CloseStream();

    EXPECT_EQ(OpenStream("short.wav", 200), 0) << "less than two buffers";
    EXPECT_EQ(OpenStream("text.wav", 200), 0);
    EXPECT_EQ(OpenStream("missing.wav", 200), 0);
    ASSERT_EQ(OpenStream("two.wav", 200), 1);
    StopEngine();
    EXPECT_EQ(PlayStream(0), 0) << "stopping the engine closed it";
    EXPECT_EQ(OpenStream("two.wav", 200), 0) << "no engine";
}

// Every step's result follows from the ones before; the refills run in the
// gaps. Nothing may crash or hang, and no handle may stay behind.
TEST_F(Stream, AThousandRandomStepsWhileTheRefillsRun)
{
    Write(L"stream.wav", 6 * BUFFER_BYTES);
    // Wine starts its audio and timer threads on first use, once.
    ASSERT_EQ(OpenStream("stream.wav", 200), 1);
    ASSERT_EQ(PlayStream(1), 1);
    Sleep(50);
    StopEngine();
    DWORD before = 0, after = 0;
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &before));

    std::mt19937 random(355);
    bool running = false, open = false;
    int plays = 0;
    for (int step = 0; step < 1000; step++) {
        switch (random() % 8) {
        case 0:
        case 1: {
            int opened = OpenStream("stream.wav", 50 + random() % 250);
            EXPECT_EQ(opened, running && !open) << step;
            open = open || opened;
            break;
        }
        case 2:
        case 3:
            EXPECT_EQ(PlayStream(random() % 2), open) << step;
            plays += open;
            break;
        case 4:
            EXPECT_EQ(PauseStream(), open) << step;
            break;
        case 5:
            EXPECT_EQ(StopStream(), open) << step;
            break;
        case 6:
            CloseStream();
            open = false;
            break;
        default:
            if (random() % 2) {
                StopEngine();
                running = false;
            } else {
                running = StartEngine(window, 22050, 16, 1, 1) == 1;
                EXPECT_TRUE(running) << step;
            }
            open = false;
        }
        Sleep(random() % 12);
    }
    StopEngine();
    EXPECT_GT(plays, 50) << "the refills ran";
    ASSERT_TRUE(GetProcessHandleCount(GetCurrentProcess(), &after));
    EXPECT_EQ(after, before);
}

} // namespace
