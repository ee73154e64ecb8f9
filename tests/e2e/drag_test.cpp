// Dragging the chime with the real mouse in the free hang modes, and where
// the dragged position reaches the settings file.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/e2e/driver.h"

namespace {

class Drag : public ::testing::Test {
protected:
    void TearDown() override { Dispose(chime); }

    void Start(int posmode)
    {
        folder = FreshFolder();
        char text[128];
        wsprintfA(text, "[Winpos]\r\nXpos=300\r\nYpos=300\r\n[Runsts]\r\nposmode=%d\r\n", posmode);
        ASSERT_TRUE(WriteFileText(Ini(), text));
        chime = StartQuillet(folder);
        window = WaitForChimeWindow(chime);
        ASSERT_NE(window, nullptr);
        poses = ChimePictures(QuilletExePath());
        ASSERT_EQ(poses.size(), 6u);
    }

    std::wstring Ini() { return folder + L"\\quillet.ini"; }

    // A pixel of the given window row that every pose draws, in screen coordinates.
    POINT OnRow(int row)
    {
        RECT r;
        GetWindowRect(window, &r);
        for (int x = 0; x < 32; x++)
            if (DrawnInEveryPose(poses, x, row))
                return {r.left + x, r.top + row};
        ADD_FAILURE() << "no drawn pixel on row " << row;
        return {r.left, r.top + row};
    }

    // Press, move in steps, release: the system's move loop needs the moves.
    void DragBy(POINT from, int dx, int dy)
    {
        MoveMouse(from.x, from.y);
        INPUT input = {};
        input.type = INPUT_MOUSE;
        input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
        SendInput(1, &input, sizeof input);
        PumpFor(100);
        for (int i = 1; i <= 10; i++)
            MoveMouse(from.x + dx * i / 10, from.y + dy * i / 10);
        input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
        SendInput(1, &input, sizeof input);
        PumpFor(300);
    }

    RECT Rect()
    {
        RECT r;
        GetWindowRect(window, &r);
        return r;
    }

    Chime chime;
    HWND window = NULL;
    std::wstring folder;
    std::vector<Picture> poses;
};

// The grab puts the hand cursor's hold (a third of the cursor width right,
// 7 pixels down) on the press; the move loop then follows the mouse.
TEST_F(Drag, PressOnTheBellDragsAndRestingOnItWritesThePosition)
{
    Start(1);
    POINT press = OnRow(31);
    DragBy(press, 120, 60);
    RECT r = Rect();
    int third = GetSystemMetrics(SM_CXCURSOR) / 3;
    EXPECT_EQ(r.left, press.x + 120 - third);
    EXPECT_EQ(r.top, press.y + 60 - 7);
    EXPECT_EQ(r.right - r.left, 32);

    // Over the strip nothing is written; over the bell at once.
    std::string before = FileText(Ini());
    MoveMouse(r.left + 15, r.top + 50);
    MoveMouse(r.left + 16, r.top + 52);
    EXPECT_EQ(FileText(Ini()), before);
    POINT bell = OnRow(20);
    MoveMouse(bell.x, bell.y);
    MoveMouse(bell.x, bell.y + 1);
    char expected[64];
    wsprintfA(expected, "[Winpos]\r\nXpos=%ld\r\nYpos=%ld\r\n", r.left, r.top);
    EXPECT_EQ(FileText(Ini()).find(expected), 0u) << FileText(Ini());
}

TEST_F(Drag, PressOnTheStripIsAFanClickThatMovesNothing)
{
    Start(2);
    RECT before = Rect();
    DragBy(OnRow(32), 120, 60);
    RECT after = Rect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(Drag, HangingOnAWindowItCannotBeDragged)
{
    Start(0);
    PumpFor(500);
    RECT before = Rect();
    DragBy(OnRow(31), 120, 60);
    RECT after = Rect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

} // namespace
