// The real program as a user meets it: what the screen and the notification area show, where the
// chime hangs and what presses do, the About box, the files after a run and the ways it ends; and
// the runs whose sound tests/sound/heard-test records. The menu's marks are the unit tests'.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <tuple>

#include "resources/resource.h"
#include "tests/common/harness.h"
#include "tests/e2e/program.h"

namespace {
const char FREE_AT_300_200[] = "[Winpos]\r\nXpos=300\r\nYpos=200\r\n[Runsts]\r\nposmode=1\r\n";
const int BELL_X = 16, BELL_Y = 20; // a pixel of the bell, which every pose draws alike

std::tuple<int, int> Place(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return std::make_tuple((int)r.left, (int)r.top);
}

bool InFront(HWND window) { return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST; }

// Whether a menu opens, which is then closed.
bool MenuOpens(const Program &chime)
{
    HWND menu = Shown(chime, "#32768", 5000);
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitFor([&chime] { return !Shown(chime, "#32768"); }, 5000);
    return menu != NULL;
}

// The used share of physical memory as the system counts it, in whole per cent.
int Usage()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return 100 - (int)(status.ullAvailPhys * 100 / status.ullTotalPhys);
}

// Whether the text is the pattern with the share in use in it, as the system
// counted it from the reading given until now.
testing::AssertionResult ShowsUsage(const std::wstring &text, const wchar_t *pattern, int reading)
{
    int now = Usage(), figure = -1;
    wchar_t expected[128] = L"";
    swscanf(text.c_str(), pattern, &figure);
    swprintf(expected, 128, pattern, figure);
    if (text == expected && std::min(reading, now) <= figure && figure <= std::max(reading, now))
        return testing::AssertionSuccess();
    return testing::AssertionFailure() << Utf8(text) << ", while " << reading << " to " << now << " % were in use";
}

// One run of the program under test, or of a copy, in a folder of its own.
class Chime : public testing::Test {
protected:
    Program chime;
    bool Run(const std::string &settings, const std::wstring &exe = L"")
    {
        Start(&chime, settings, exe);
        return chime.window != NULL;
    }
    std::wstring Ini() { return chime.folder + L"\\quillet.ini"; }
};

// The menu's marks that follow the file are the unit tests'.
TEST_F(Chime, ItsFileHoldsEachGroupFromTheFirstStartAndAllWhenTheSessionEndsAndAtExit)
{
    ASSERT_TRUE(Run(""));
    EXPECT_EQ(ReadFileBytes(Ini()), "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n");
    DeleteFileW(Ini().c_str());
    SendMessageW(chime.window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(ReadFileBytes(Ini()), "<missing>") << "the session goes on";
    int left, top;
    std::tie(left, top) = Place(chime.window); // where it hangs, beside the window in front
    const std::string all = "[Winpos]\r\nXpos=" + std::to_string(left) + "\r\nYpos=" + std::to_string(top) +
                            "\r\n[Runsts]\r\nwin_obj=1\r\nwin_str=3\r\nfrn_kan=1\r\nposmode=0\r\nsnd_vol=2\r\n[Kand]\r\n"
                            "memory0=1048576\r\nmemory1=524288\r\nmemory2=262144\r\nrandom0=160\r\nrandom1=80\r\n"
                            "random2=40\r\n[Debug]\r\nsw=0\r\n";
    SendMessageW(chime.window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ReadFileBytes(Ini()), all) << "the session ends";
    DeleteFileW(Ini().c_str());
    PostMessageW(chime.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
    EXPECT_EQ(ReadFileBytes(Ini()), all) << "Exit";
}

// One swing after another: each pose's picture, the window cut to it, and the tray icon, flipped by
// each step after the gust's own. As on Windows 98, with the stand-in meter: 37 %, the gauge's level 5.
TEST_F(Chime, SwingsPaintedAndShapedAsEachPoseWhileItsTrayIconFlips)
{
    ASSERT_TRUE(Run(std::string(FREE_AT_300_200) + "win_obj=1\r\nsnd_vol=0\r\n[Kand]\r\nrandom1=1\r\n",
                    CopyOfProgram(L"quillet98.exe"))); // a gust at every tick at rest
    const char *const icons[6] = {"normal", "normal", "alternative", "normal", "alternative", "normal"};
    bool shown[6] = {}, flipped[6] = {};
    WaitFor([&] {
        int pose = PoseShown(chime.window, 5);
        if (pose >= 0 && (shown[pose] = true))
            flipped[pose] |= TrayIcon() == icons[pose];
        return std::count(shown, shown + 6, true) + std::count(flipped, flipped + 6, true) == 12;
    }, 20000);
    std::string seen;
    for (int pose = 0; pose < 6; pose++)
        seen += std::to_string(pose) + (shown[pose] ? " shown " : " not shown ") + (flipped[pose] ? icons[pose] : "?") + "; ";
    EXPECT_EQ(seen, "0 shown normal; 1 shown normal; 2 shown alternative; 3 shown normal; 4 shown alternative; "
                    "5 shown normal; ")
        << "each pose as its pictures draw it, and the tray icon beside it";
}

// A shell that starts anew (after Explorer crashed, say) holds no icons and tells every window so.
TEST_F(Chime, ItsTipAndAboutBoxShowTheMemoryInUseAndTheTipComesBackWhenTheShellStartsAnew)
{
    int before = Usage();
    ASSERT_TRUE(Run(std::string(FREE_AT_300_200) + "win_obj=5\r\n")); // no gusts: the icon stays the normal one
    EXPECT_TRUE(ShowsUsage(TrayTip(), L"Quillet [メモリ使用率：%d％]", before));
    NOTIFYICONDATAW icon = {};
    icon.cbSize = NOTIFYICONDATAW_V1_SIZE;
    icon.hWnd = chime.window;
    icon.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &icon);
    EXPECT_TRUE(WaitFor([] { return TrayIcon() == "none"; }, 3000)) << "the shell still shows the icon";
    PostMessageW(chime.window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([] { return TrayIcon() == "normal"; }, 3000)) << "no icon in the new shell";
    EXPECT_TRUE(ShowsUsage(TrayTip(), L"Quillet [メモリ使用率：%d％]", before)) << "with its tip";
    // The About box, centred, shows the same figure while the chime hides.
    PostMessageW(chime.window, WM_COMMAND, IDM_ABOUT, 0);
    HWND box = Shown(chime, "#32770", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(chime.window));
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(Place(box), std::make_tuple((1024 - (r.right - r.left)) / 2, (768 - (r.bottom - r.top)) / 2))
        << "centred on the screen";
    wchar_t memory[64] = L"", sound[64] = L"";
    GetDlgItemTextW(box, IDC_MEMORY_LINE, memory, 64);
    GetDlgItemTextW(box, IDC_SOUND_LINE, sound, 64);
    EXPECT_TRUE(ShowsUsage(memory, L"　物理メモリ使用率：%d％　", before));
    EXPECT_EQ(Utf8(sound), u8"    Sound   ：  Direct");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([this] { return IsWindowVisible(chime.window); }, 5000)) << "the chime stays hidden";
    EXPECT_EQ(Place(chime.window), std::make_tuple(300, 200)) << "where it was";
    EXPECT_FALSE(InFront(chime.window)) << "hung freely, not in front of all";
}

TEST_F(Chime, HangsInTheBandItsMenuSaysOrOnTheWindowInFrontWhereverItGoes)
{
    ASSERT_TRUE(Run("[Winpos]\r\nXpos=200\r\nYpos=150\r\n[Runsts]\r\nposmode=2\r\nsnd_vol=0\r\n"));
    EXPECT_TRUE(InFront(chime.window)) << "started hung freely in front of all";
    PostMessageW(chime.window, WM_COMMAND, IDM_HANG_FREE, 0);
    EXPECT_TRUE(WaitFor([this] { return !InFront(chime.window); }, 3000)) << "hung freely";
    PostMessageW(chime.window, WM_COMMAND, IDM_HANG_FRONT, 0);
    EXPECT_TRUE(WaitFor([this] { return InFront(chime.window); }, 3000)) << "hung freely in front of all";
    HWND host = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 300, 200, NULL, NULL,
                              NULL, NULL);
    SetForegroundWindow(host);
    PostMessageW(chime.window, WM_COMMAND, IDM_HANG_WINDOW, 0);
    for (int left : {100, 250}) {
        SetWindowPos(host, NULL, left, left + 20, 300, 200, SWP_NOZORDER);
        WaitFor([&] { return Place(chime.window) == std::make_tuple(left + 300, left + 20); }, 3000);
        EXPECT_EQ(Place(chime.window), std::make_tuple(left + 300, left + 20)) << "on the window in front's top right";
    }
    DestroyWindow(host);
}

TEST_F(Chime, PressesOnTheTrayIconOrTheChimeOpenTheMenuAndTheLeftButtonDragsAFreeChime)
{
    ASSERT_TRUE(Run(std::string(FREE_AT_300_200) + "snd_vol=0\r\n"));
    POINT icon;
    ASSERT_NE(TrayIcon(&icon), "none");
    int x = 300 + BELL_X, y = 200 + BELL_Y;
    for (DWORD buttons : {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP})
        Mouse(icon.x, icon.y, buttons);
    EXPECT_TRUE(MenuOpens(chime)) << "a click on the tray icon";
    for (DWORD buttons : {0, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP})
        Mouse(x, y, buttons);
    EXPECT_TRUE(MenuOpens(chime)) << "a right click on the chime";
    Mouse(x, y, MOUSEEVENTF_LEFTDOWN);
    int left, top;
    std::tie(left, top) = Place(chime.window); // where the hand holds the bell
    for (int step = 1; step <= 10; step++)
        Mouse(x + 5 * step, y + 3 * step);
    Mouse(x + 50, y + 30, MOUSEEVENTF_LEFTUP);
    Mouse(x + 51, y + 30); // resting on the bell
    EXPECT_EQ(Place(chime.window), std::make_tuple(left + 50, top + 30));
    std::string place = "Xpos=" + std::to_string(left + 50) + "\r\nYpos=" + std::to_string(top + 30);
    EXPECT_NE(ReadFileBytes(Ini()).find(place), std::string::npos) << "the place in the file";
    Mouse(0, 0);
}

// Only one copy runs; Escape ends it at once, without the clean-up of Exit.
TEST_F(Chime, ASecondCopySaysThatOneIsRunningAndEscapeEndsTheFirstLeavingTheFileAsItWas)
{
    ASSERT_TRUE(Run(""));
    Program second;
    Start(&second, "");
    HWND box = Shown(second, "#32770");
    wchar_t caption[16] = L"", text[128] = L"";
    GetWindowTextW(box, caption, 16);
    GetDlgItemTextW(box, 0xFFFF, text, 128);
    EXPECT_EQ(Utf8(caption) + "|" + Utf8(text),
              u8"Quillet|既に 『Quillet』 が起動しています、\r\n『Quillet』 は同時に一つだけ起動できます。");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ExitCode(second), 0u);
    EXPECT_EQ(second.window, nullptr) << "a second chime";
    std::string written = ReadFileBytes(Ini());
    PostMessageW(chime.window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
    EXPECT_EQ(ReadFileBytes(Ini()), written) << "after Escape";
}

// Run by tests/sound/heard-test, which records the null sink meanwhile, with the settings in
// $QUILLET_HEARD. Where DirectSound cannot start, the run's first report starts the log afresh.
using Heard = Chime;
TEST_F(Heard, SixFanClicks)
{
    if (!getenv("QUILLET_HEARD"))
        GTEST_SKIP() << "run by tests/sound/heard-test";
    chime.folder = FreshFolder();
    const std::wstring log = chime.folder + L"\\supinfo.txt";
    const std::string earlier = "an earlier run's report\r\n";
    ASSERT_TRUE(WriteFileBytes(log, earlier));
    ASSERT_TRUE(Run(std::string("[Runsts]\r\nwin_obj=5\r\nposmode=0\r\n") + getenv("QUILLET_HEARD") + "\r\n"));
    for (int click = 0; click < 6; click++, Pause(500))
        PostMessageW(chime.window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    Pause(1000);
    PostMessageW(chime.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
    std::string reports = ReadFileBytes(log);
    EXPECT_TRUE(reports == earlier || reports.find(earlier) == std::string::npos) << reports;
}
} // namespace
