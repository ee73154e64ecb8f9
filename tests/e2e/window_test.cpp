// The chime window as the user meets it: its shape under the mouse, hanging
// on the foreground window, and the menu from the chime and the tray.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/common/pe_resources.h"
#include "tests/common/win_helpers.h"
#include "tests/e2e/driver.h"

namespace {

const UINT WM_TRAYICON = WM_APP + 100;
// Long enough for two animation ticks of 192 ms.
const DWORD TICKS = 500;

class ChimeWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        chime = StartQuillet(FreshFolder());
        window = WaitForChimeWindow(chime);
        ASSERT_NE(window, nullptr);
    }
    void TearDown() override
    {
        if (host)
            DestroyWindow(host);
        Dispose(chime);
    }

    HWND MakeHost(int x, int y, int width, int height)
    {
        host = MakeHostWindow(x, y, width, height);
        PumpFor(TICKS);
        return host;
    }

    RECT ChimeRect()
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    }

    void ExpectBeside(HWND target)
    {
        RECT t, c = ChimeRect();
        ASSERT_TRUE(GetWindowRect(target, &t));
        EXPECT_EQ(c.left, t.right);
        EXPECT_EQ(c.top, t.top);
        EXPECT_EQ(c.right - c.left, 32);
        EXPECT_EQ(c.bottom - c.top, 64);
    }

    // A pixel of the bell, drawn whatever the pose, in screen coordinates.
    POINT OnTheBell()
    {
        std::vector<Picture> poses = ChimePictures(QuilletExePath());
        RECT c = ChimeRect();
        for (int y = 16; y < 32; y++)
            for (int x = 8; x < 24; x++)
                if (poses.size() == 6 && DrawnInEveryPose(poses, x, y))
                    return {c.left + x, c.top + y};
        ADD_FAILURE() << "no pixel drawn in every pose";
        return {c.left, c.top};
    }

    bool MenuShown(DWORD waitMs) { return ::MenuShown(chime, waitMs); }

    void CloseMenu() { ASSERT_TRUE(::CloseMenu(chime)) << "the menu did not close"; }

    Chime chime;
    HWND window = NULL, host = NULL;
};

// Only the chime's own pixels take the mouse; around them the window below does.
TEST_F(ChimeWindow, TakesMouseInputOnlyOnItsPicture)
{
    std::vector<Picture> poses = ChimePictures(QuilletExePath());
    ASSERT_EQ(poses.size(), 6u);
    RECT c = ChimeRect();
    int inside = 0, outside = 0;
    // Pixels that the swing never changes; a pose change that is just giving
    // the window its new shape gets a moment to finish.
    auto hits = [&](POINT p, bool wanted) {
        for (int attempt = 0; attempt < 5; attempt++) {
            if ((WindowFromPoint(p) == window) == wanted)
                return true;
            Sleep(20);
        }
        return false;
    };
    for (int y = 0; y < 64; y++)
        for (int x = 0; x < 32; x++) {
            POINT p = {c.left + x, c.top + y};
            if (DrawnInEveryPose(poses, x, y)) {
                EXPECT_TRUE(hits(p, true)) << x << "," << y;
                inside++;
            } else if (DrawnInNoPose(poses, x, y)) {
                EXPECT_TRUE(hits(p, false)) << x << "," << y;
                outside++;
            }
        }
    EXPECT_GT(inside, 10);
    EXPECT_GT(outside, 10);
}

TEST_F(ChimeWindow, HangsBesideTheForegroundWindowAndFollowsIt)
{
    MakeHost(100, 120, 400, 300);
    ExpectBeside(host);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    SetWindowPos(host, NULL, 250, 90, 300, 200, SWP_NOZORDER | SWP_NOACTIVATE);
    PumpFor(TICKS);
    ExpectBeside(host);
}

// Clicking the chime makes it the foreground window (under Wine a fan click
// does not activate it, the menu's right click does); it stays on its host,
// and when that host goes it hangs on the window just below it.
TEST_F(ChimeWindow, KeepsItsHostWhenClickedAndTakesTheWindowBelowWhenItCloses)
{
    MakeHost(120, 100, 300, 250);
    ExpectBeside(host);
    POINT bell = OnTheBell();
    Click(bell.x, bell.y, true);
    ASSERT_TRUE(MenuShown(2000));
    CloseMenu();
    PumpFor(TICKS);
    ASSERT_EQ(GetForegroundWindow(), window);
    ExpectBeside(host);

    DestroyWindow(host);
    host = NULL;
    PumpFor(TICKS);
    HWND below = GetWindow(window, GW_HWNDNEXT);
    ASSERT_NE(below, nullptr);
    ExpectBeside(below);
}

TEST_F(ChimeWindow, RightPressOnTheChimeAndTrayPressesOpenTheMenu)
{
    POINT bell = OnTheBell();
    Click(bell.x, bell.y, true);
    ASSERT_TRUE(MenuShown(2000)) << "right press on the chime";
    CloseMenu();

    for (LPARAM press : {WM_LBUTTONDOWN, WM_RBUTTONDOWN}) {
        PostMessageW(window, WM_TRAYICON, 1, press);
        ASSERT_TRUE(MenuShown(2000)) << "tray press " << press;
        CloseMenu();
    }
    for (LPARAM other : {WM_LBUTTONUP, WM_RBUTTONUP, WM_LBUTTONDBLCLK, WM_MOUSEMOVE}) {
        PostMessageW(window, WM_TRAYICON, 1, other);
        EXPECT_FALSE(MenuShown(300)) << "tray message " << other;
    }
    PostMessageW(window, WM_TRAYICON, 2, WM_LBUTTONDOWN);
    EXPECT_FALSE(MenuShown(300)) << "another icon id";
}

// A real click on the icon in the virtual desktop's task bar.
TEST_F(ChimeWindow, ClickOnTheTrayIconOpensTheMenu)
{
    std::vector<POINT> icons = FindChimeTrayIcons();
    ASSERT_EQ(icons.size(), 1u);
    Click(icons[0].x + 8, icons[0].y + 8);
    EXPECT_TRUE(MenuShown(2000));
    CloseMenu();
}

} // namespace
