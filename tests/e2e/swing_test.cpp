// The wind moving the real program: the window's shape follows the pose.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
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
        Watch("[Runsts]\r\nwin_obj=1\r\nwin_str=2\r\nfrn_kan=2\r\nposmode=1\r\n", 15000);
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
    // A gust comes on one tick in ten at rest: 15 seconds hold many.
    EXPECT_GE(swings, 1) << "no whole swing seen in 15 seconds";
}

// With no wind source (a value of neither list) the strip only flickers
// between poses 0 and 1 now and then.
TEST_F(Swing, AtRestOnlyFlickersBetweenTheFirstTwoPoses)
{
    std::vector<PoseChange> changes = Watch("[Runsts]\r\nwin_obj=5\r\nposmode=1\r\n", 10000);
    ASSERT_FALSE(changes.empty());
    for (const PoseChange &c : changes)
        EXPECT_LE(c.pose, 1);
    // About one tick in ten over 52 ticks.
    EXPECT_GE(changes.size(), 2u);
    EXPECT_LE(changes.size(), 25u);
}

// Two fan clicks 300 ms apart: the second replaces the first's pending stroke,
// so one stroke comes, 384 ms after the second click, and the strip then
// steps on to pose 5 and back to rest. The idle flicker can fall into the
// window of the test; such an attempt is tried again.
TEST_F(Swing, TwoQuickFanClicksGiveOneStrokeAfterTheSecond)
{
    HWND window = StartWithSettings(&chime, "[Runsts]\r\nwin_obj=5\r\nposmode=1\r\n");
    ASSERT_NE(window, nullptr);
    std::vector<Picture> poses = ChimePictures(QuilletExePath());
    RECT r;
    GetWindowRect(window, &r);
    POINT strip[2] = {{-1, -1}, {-1, -1}};
    for (int i = 0; i < 2; i++)
        for (int y = 34 + 6 * i; y < 64 && strip[i].x < 0; y++)
            for (int x = 0; x < 32 && strip[i].x < 0; x++)
                if (DrawnInEveryPose(poses, x, y))
                    strip[i] = {r.left + x, r.top + y};
    ASSERT_GE(strip[0].x, 0);
    ASSERT_GE(strip[1].x, 0);
    ASSERT_GT(strip[1].y - strip[0].y, GetSystemMetrics(SM_CYDOUBLECLK) / 2) << "beyond the double-click distance";

    bool clean = false;
    for (int attempt = 0; attempt < 4 && !clean; attempt++) {
        MoveMouse(strip[0].x, strip[0].y);
        int before = PoseOfWindowShape(window, poses);
        std::vector<PoseChange> changes;
        auto record = [&](DWORD until) {
            while (GetTickCount() < until) {
                int pose = PoseOfWindowShape(window, poses);
                if ((changes.empty() ? before : changes.back().pose) != pose)
                    changes.push_back({GetTickCount(), pose});
                Sleep(3);
            }
        };
        // The two press messages themselves: a real click may meet the window
        // just while it takes a new shape, and then goes to the window below.
        DWORD first = GetTickCount();
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(strip[0].x, strip[0].y));
        record(first + 240);
        MoveMouse(strip[1].x, strip[1].y);
        record(first + 300);
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(strip[1].x, strip[1].y));
        DWORD second = GetTickCount();
        record(second + 2500);

        // The stroke is the start of the run of single steps up to pose 5.
        size_t top = 0;
        while (top < changes.size() && changes[top].pose != 5)
            top++;
        size_t run = top;
        while (run > 0 && run < changes.size() && changes[run - 1].pose == changes[run].pose - 1)
            run--;
        std::string seen;
        for (const PoseChange &c : changes)
            seen += std::to_string(c.pose) + "@" + std::to_string((long)(c.at - second)) + " ";
        printf("attempt %d from pose %d: %s\n", attempt, before, seen.c_str());
        bool flickered = !changes.empty() && (long)(changes[0].at - second) < 0;
        if (before > 1 || flickered || top == changes.size() || run != 0 || changes[0].pose != before + 1)
            continue; // the idle flicker got in
        clean = true;
        long delay = (long)(changes[0].at - second);
        // The first click's stroke would have come 84 ms after the second.
        EXPECT_GT(delay, 250) << "the stroke comes 384 ms after the second click";
        EXPECT_LT(delay, 700);
        ASSERT_LT(top + 1, changes.size());
        EXPECT_EQ(changes[top + 1].pose, 0) << "then the swing ends";
    }
    EXPECT_TRUE(clean) << "no attempt free of the idle flicker";
}

} // namespace
