// The real program as a user meets it: what the screen and the notification
// area show, the menu's marks, where the chime hangs and what presses do, the
// About box, the files after a run and the ways it ends; and the runs whose
// sound tests/sound/heard-test records.
#include <gtest/gtest.h>

#include <algorithm>
#include <tuple>

#include "tests/common/harness.h"
#include "tests/common/menu_items.h"
#include "tests/e2e/program.h"

namespace {
const UINT WM_TRAYICON = WM_APP + 100;
const char FREE_AT_300_200[] = "[Winpos]\r\nXpos=300\r\nYpos=200\r\n[Runsts]\r\nposmode=1\r\n";
// A pixel of the bell, which every pose draws alike.
const POINT ON_THE_BELL = {16, 20};

std::wstring Ini(const Program &chime)
{
    return chime.folder + L"\\quillet.ini";
}

std::tuple<int, int> Place(HWND window)
{
    RECT r = {};
    GetWindowRect(window, &r);
    return std::make_tuple((int)r.left, (int)r.top);
}

bool InFront(HWND window)
{
    return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST;
}

void Click(int x, int y, DWORD down, DWORD up)
{
    Mouse(x, y);
    Mouse(x, y, down);
    Mouse(x, y, up);
}

// The open menu's marks, read by the probe on the chime's thread; then the menu is closed.
std::string MarksOfOpenMenu(const Program &chime)
{
    HWND menu = Shown(chime, "#32768", 5000);
    if (!menu)
        return "<no menu>";
    LPARAM handle = SendMessageW(menu, MN_GETHMENU, 0, 0);
    std::string marks = MarksOf([&](UINT id) {
        DWORD state = 0;
        return AskProbe(chime.window, id, handle, &state) ? (UINT)state : 0u;
    });
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitFor([&chime] { return !Shown(chime, "#32768"); }, 5000);
    return marks;
}

TEST(Chime, OnItsFirstStartChecksEachGroupAndWritesIt)
{
    Program chime;
    Start(&chime, "");
    ASSERT_NE(chime.window, nullptr);
    POINT icon;
    ASSERT_NE(TrayIcon(&icon), "none");
    Click(icon.x, icon.y, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP);
    EXPECT_EQ(MarksOfOpenMenu(chime), "checked: random, fitful, normal, medium, on a window");
    EXPECT_EQ(ReadFileBytes(Ini(chime)), "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n");
}

TEST(Chime, SavesEverySettingAndItsPlaceWhenTheSessionEndsAndAtExit)
{
    Program chime;
    Start(&chime, std::string(FREE_AT_300_200) + "[Kand]\r\nrandom0=7\r\n");
    ASSERT_NE(chime.window, nullptr);
    const std::string all = "[Winpos]\r\nXpos=300\r\nYpos=200\r\n[Runsts]\r\nwin_obj=1\r\nwin_str=3\r\nfrn_kan=1\r\n"
                            "posmode=1\r\nsnd_vol=2\r\n[Kand]\r\nmemory0=1048576\r\nmemory1=524288\r\nmemory2=262144\r\n"
                            "random0=7\r\nrandom1=80\r\nrandom2=40\r\n[Debug]\r\nsw=0\r\n";
    DeleteFileW(Ini(chime).c_str());
    SendMessageW(chime.window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(ReadFileBytes(Ini(chime)), "<missing>") << "the session goes on";
    SendMessageW(chime.window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ReadFileBytes(Ini(chime)), all) << "the session ends";
    DeleteFileW(Ini(chime).c_str());
    PostMessageW(chime.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
    EXPECT_EQ(ReadFileBytes(Ini(chime)), all) << "Exit";
}

// One swing after another, as a user sees them: each pose's picture with the
// strip's gauge, the window cut to it, and the tray icon, which each step
// after the gust's own flips. On the Windows 98 family with the stand-in
// Resource Meter, 37 % are used: the gauge's level 5.
TEST(Chime, SwingsPaintedAndShapedAsEachPoseWhileItsTrayIconFlips)
{
    Program chime;
    Start(&chime, std::string(FREE_AT_300_200) + "win_obj=1\r\nsnd_vol=0\r\n[Kand]\r\nrandom1=1\r\n",
          CopyOfProgram(L"quillet98.exe")); // a gust at every tick at rest
    ASSERT_NE(chime.window, nullptr);
    const char *const icons[6] = {"normal", "normal", "alternative", "normal", "alternative", "normal"};
    bool painted[6] = {}, flipped[6] = {};
    WaitFor([&] {
        int pose = PoseShown(chime.window, 5);
        if (pose >= 0) {
            painted[pose] = true;
            flipped[pose] |= TrayIcon() == icons[pose];
        }
        return std::count(painted, painted + 6, true) + std::count(flipped, flipped + 6, true) == 12;
    }, 20000);
    std::string seen, wanted;
    for (int pose = 0; pose < 6; pose++) {
        wanted += std::to_string(pose) + ": shown, " + icons[pose] + " icon; ";
        seen += std::to_string(pose) + ": " + (painted[pose] ? "shown, " : "never shown, ") +
                (flipped[pose] ? icons[pose] : "another") + " icon; ";
    }
    EXPECT_EQ(seen, wanted) << "each pose as its pictures draw it, and the tray icon beside it";
}

// The used share of physical memory as the system reports it, in whole per cent.
int SystemUsage()
{
    MEMORYSTATUSEX status = {};
    status.dwLength = sizeof status;
    GlobalMemoryStatusEx(&status);
    return 100 - (int)(status.ullAvailPhys * 100 / status.ullTotalPhys);
}

// Whether the text is the pattern with a figure from one reading to the other in it.
bool ShowsFigure(const std::wstring &text, const wchar_t *pattern, int reading, int later)
{
    for (int figure = std::min(reading, later); figure <= std::max(reading, later); figure++) {
        wchar_t expected[128];
        swprintf(expected, 128, pattern, figure);
        if (text == expected)
            return true;
    }
    return false;
}

TEST(Chime, ItsTipAndAboutBoxShowTheMemoryInUseAsTheSystemCountsIt)
{
    int before = SystemUsage();
    Program chime;
    Start(&chime, FREE_AT_300_200);
    ASSERT_NE(chime.window, nullptr);
    std::wstring tip = TrayTip();
    PostMessageW(chime.window, WM_COMMAND, IDM_ABOUT, 0);
    wchar_t line[64] = L"";
    GetDlgItemTextW(Shown(chime, "#32770", 5000), IDC_MEMORY_LINE, line, 64);
    int after = SystemUsage();
    EXPECT_TRUE(ShowsFigure(tip, L"Quillet [メモリ使用率：%d％]", before, after))
        << Utf8(tip) << ", while the system counted " << before << " % and then " << after << " %";
    EXPECT_TRUE(ShowsFigure(line, L"　物理メモリ使用率：%d％　", before, after))
        << Utf8(line) << ", while the system counted " << before << " % and then " << after << " %";
}

TEST(Chime, TheAboutBoxHidesTheChimeUntilItClosesAndOpensNoMenuOverIt)
{
    Program chime;
    Start(&chime, FREE_AT_300_200);
    ASSERT_NE(chime.window, nullptr);
    PostMessageW(chime.window, WM_COMMAND, IDM_ABOUT, 0);
    HWND box = Shown(chime, "#32770", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(chime.window));
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(Place(box), std::make_tuple((1024 - (r.right - r.left)) / 2, (768 - (r.bottom - r.top)) / 2))
        << "centred on the screen";
    wchar_t sound[64] = L"";
    GetDlgItemTextW(box, IDC_SOUND_LINE, sound, 64);
    EXPECT_EQ(Utf8(sound), u8"    Sound   ：  Direct");
    PostMessageW(chime.window, WM_TRAYICON, 1, WM_LBUTTONDOWN);
    EXPECT_EQ(Shown(chime, "#32768", 1000), nullptr) << "a menu over the About box";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&chime] { return IsWindowVisible(chime.window); }, 5000)) << "the chime stays hidden";
    EXPECT_EQ(Place(chime.window), std::make_tuple(300, 200)) << "where it was";
    EXPECT_FALSE(InFront(chime.window)) << "hung freely, not in front of all";
}

// Waits until the chime stands at the place, and says where it stands.
std::tuple<int, int> PlaceReached(HWND chime, const std::tuple<int, int> &place)
{
    WaitFor([&] { return Place(chime) == place; }, 3000);
    return Place(chime);
}

TEST(Chime, HangsInTheBandItsMenuSaysOrOnTheWindowInFrontWhereverItGoes)
{
    Program chime;
    Start(&chime, "[Winpos]\r\nXpos=200\r\nYpos=150\r\n[Runsts]\r\nposmode=2\r\nsnd_vol=0\r\n");
    ASSERT_NE(chime.window, nullptr);
    EXPECT_TRUE(InFront(chime.window)) << "started hung freely in front of all";
    PostMessageW(chime.window, WM_COMMAND, IDM_HANG_FREE, 0);
    EXPECT_TRUE(WaitFor([&chime] { return !InFront(chime.window); }, 3000)) << "hung freely";
    PostMessageW(chime.window, WM_COMMAND, IDM_HANG_FRONT, 0);
    EXPECT_TRUE(WaitFor([&chime] { return InFront(chime.window); }, 3000)) << "hung freely in front of all";
    EXPECT_EQ(Place(chime.window), std::make_tuple(200, 150));
    HWND host = CreateWindowW(L"STATIC", L"host", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 300, 200, NULL, NULL,
                              NULL, NULL);
    SetForegroundWindow(host);
    PostMessageW(chime.window, WM_COMMAND, IDM_HANG_WINDOW, 0);
    EXPECT_EQ(PlaceReached(chime.window, {400, 120}), std::make_tuple(400, 120)) << "on the host's top right";
    SetWindowPos(host, NULL, 250, 300, 300, 200, SWP_NOZORDER);
    EXPECT_EQ(PlaceReached(chime.window, {550, 300}), std::make_tuple(550, 300)) << "where the host went";
    DestroyWindow(host);
}

TEST(Chime, ARightClickOpensTheMenuAndTheLeftButtonDragsAFreeChimeByItsBell)
{
    Program chime;
    Start(&chime, std::string(FREE_AT_300_200) + "snd_vol=0\r\n");
    ASSERT_NE(chime.window, nullptr);
    int x = 300 + ON_THE_BELL.x, y = 200 + ON_THE_BELL.y;
    Click(x, y, MOUSEEVENTF_RIGHTDOWN, MOUSEEVENTF_RIGHTUP);
    EXPECT_NE(MarksOfOpenMenu(chime), "<no menu>");
    Mouse(x, y);
    Mouse(x, y, MOUSEEVENTF_LEFTDOWN);
    std::tuple<int, int> grabbed = Place(chime.window);
    for (int step = 1; step <= 10; step++)
        Mouse(x + 5 * step, y + 3 * step);
    Mouse(x + 50, y + 30, MOUSEEVENTF_LEFTUP);
    Mouse(x + 51, y + 30); // resting on the bell
    EXPECT_EQ(Place(chime.window), std::make_tuple(std::get<0>(grabbed) + 50, std::get<1>(grabbed) + 30));
    EXPECT_EQ(std::make_tuple((int)GetPrivateProfileIntW(L"Winpos", L"Xpos", -1, Ini(chime).c_str()),
                              (int)GetPrivateProfileIntW(L"Winpos", L"Ypos", -1, Ini(chime).c_str())),
              Place(chime.window))
        << "the place in the file";
    Mouse(0, 0);
}

TEST(Chime, EscapeEndsItAtOnceLeavingTheFileAsItWas)
{
    Program chime;
    Start(&chime, "");
    ASSERT_NE(chime.window, nullptr);
    std::string written = ReadFileBytes(Ini(chime));
    PostMessageW(chime.window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
    EXPECT_EQ(ReadFileBytes(Ini(chime)), written);
}

TEST(Chime, ASecondCopySaysThatOneIsRunningAndEnds)
{
    Program first, second;
    Start(&first, "");
    ASSERT_NE(first.window, nullptr);
    Start(&second, "");
    HWND box = Shown(second, "#32770");
    wchar_t caption[16] = L"", text[128] = L"";
    GetWindowTextW(box, caption, 16);
    GetDlgItemTextW(box, 0xFFFF, text, 128);
    EXPECT_EQ(Utf8(caption), u8"Quillet");
    EXPECT_EQ(Utf8(text), u8"既に 『Quillet』 が起動しています、\r\n『Quillet』 は同時に一つだけ起動できます。");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ExitCode(second), 0u);
    EXPECT_EQ(second.window, nullptr) << "a second chime";
}

TEST(Chime, ACopyWhoseMenuCannotBeLoadedEndsWithMinusThreeShowingNothing)
{
    std::string exe = ReadFileBytes(_wgetenv(L"QUILLET_EXE"));
    size_t popup = exe.find(std::string((const char *)L"メニュー", 8));
    ASSERT_NE(popup, std::string::npos);
    exe[popup - 6] = 7; // the menu template's version: one no system knows
    std::wstring copy = FreshFolder() + L"\\quillet.exe";
    ASSERT_TRUE(WriteFileBytes(copy, exe));
    Program menuless;
    Start(&menuless, "", copy);
    EXPECT_EQ(ExitCode(menuless), (DWORD)-3);
    EXPECT_EQ(menuless.window, nullptr);
}

TEST(Chime, WithoutDirectSoundItStartsTheRunsLogAfreshAndSaysWhy)
{
    Program chime;
    chime.folder = FreshFolder();
    ASSERT_TRUE(WriteFileBytes(chime.folder + L"\\supinfo.txt", "an earlier run's report\r\n"));
    Start(&chime, "", CopyOfProgram(L"quillet-nodsound.exe"));
    ASSERT_NE(chime.window, nullptr);
    // Once as the window is made, once more by the first apply of the menu.
    EXPECT_EQ(ReadFileBytes(chime.folder + L"\\supinfo.txt"),
              "LoadLibrary Failed (DSOUND.DLL)\r\nLoadLibrary Failed (DSOUND.DLL)\r\n");
}

// Run by tests/sound/heard-test, which records the null sink meanwhile: the
// settings come in $QUILLET_HEARD, and the chime is fanned six times.
TEST(Heard, SixFanClicks)
{
    if (!getenv("QUILLET_HEARD"))
        GTEST_SKIP() << "run by tests/sound/heard-test";
    Program chime;
    Start(&chime, std::string("[Runsts]\r\nwin_obj=5\r\nposmode=0\r\n") + getenv("QUILLET_HEARD") + "\r\n");
    for (int click = 0; click < 6; click++, Pause(500))
        PostMessageW(chime.window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    Pause(1000);
    PostMessageW(chime.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
}
} // namespace
