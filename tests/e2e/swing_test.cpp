// The wind moving the real program: the window's shape follows the pose.
#include <gtest/gtest.h>
#include <windows.h>

#include <vector>

#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/e2e/driver.h"

namespace {

struct PoseChange {
    DWORD at;
    int pose;
};

class Swing : public ::testing::Test {
protected:
    void TearDown() override { Dispose(chime); }

    // Starts the program with these settings and watches its shape for a while.
    std::vector<PoseChange> Watch(const char *ini, DWORD ms)
    {
        std::wstring folder = FreshFolder();
        EXPECT_TRUE(WriteFileText(folder + L"\\quillet.ini", ini));
        chime = StartQuillet(folder);
        HWND window = WaitForChimeWindow(chime);
        std::vector<PoseChange> changes;
        if (!window)
            return changes;
        std::vector<Picture> poses = ChimePictures(QuilletExePath());
        DWORD start = GetTickCount();
        while (GetTickCount() - start < ms) {
            int pose = PoseOfWindowShape(window, poses);
            EXPECT_GE(pose, 0) << "a shape that is no pose";
            if (changes.empty() || changes.back().pose != pose)
                changes.push_back({GetTickCount(), pose});
            Sleep(5);
        }
        return changes;
    }
    Chime chime;
};

// Random wind, typhoon, high sensitivity: gusts come often, and each sends the
// strip through poses 2 to 5 and back to 0, one animation tick (192 ms) a step.
TEST_F(Swing, GustStepsThroughThePosesOneTickAStep)
{
    std::vector<PoseChange> changes =
        Watch("[Runsts]\r\nwin_obj=1\r\nwin_str=2\r\nfrn_kan=2\r\nposmode=1\r\n", 8000);
    int swings = 0;
    for (size_t i = 1; i + 4 < changes.size(); i++) {
        if (changes[i].pose != 2)
            continue;
        EXPECT_EQ(changes[i - 1].pose, 1) << "a swing starts from pose 1";
        for (int step = 1; step <= 4; step++) {
            EXPECT_EQ(changes[i + step].pose, step == 4 ? 0 : 2 + step);
            DWORD gap = changes[i + step].at - changes[i + step - 1].at;
            EXPECT_GT(gap, 120u);
            EXPECT_LT(gap, 400u);
        }
        swings++;
        i += 4;
    }
    EXPECT_GE(swings, 2) << "gusts at high sensitivity in 8 seconds";
}

// With no wind source (a value of neither list) the strip only flickers
// between poses 0 and 1 now and then.
TEST_F(Swing, AtRestOnlyFlickersBetweenTheFirstTwoPoses)
{
    std::vector<PoseChange> changes = Watch("[Runsts]\r\nwin_obj=5\r\nposmode=1\r\n", 5000);
    ASSERT_FALSE(changes.empty());
    for (const PoseChange &c : changes)
        EXPECT_LE(c.pose, 1);
    // About one tick in ten over 26 ticks.
    EXPECT_GE(changes.size(), 2u);
    EXPECT_LE(changes.size(), 20u);
}

} // namespace
