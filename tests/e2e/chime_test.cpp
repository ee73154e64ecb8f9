// The real program as a user meets it: what the screen and the notification area show, where the
// chime hangs and what presses do, the About box, the files after a run and the ways it ends. The
// menu's marks are the unit tests'; the sound heard is tests/desktop/desktop-test's.
#include <gtest/gtest.h>
#include <windows.h>
#include <shellapi.h>

#include <algorithm>
#include <tuple>
#include <vector>

#include "resources/resource.h"
#include "tests/common/harness.h"
#include "tests/e2e/program.h"

namespace {
const char FREE_AT_300_200[] = "[Winpos]\r\nXpos=300\r\nYpos=200\r\n[Runsts]\r\nposmode=1\r\n";
const int BELL_X = 16, BELL_Y = 20; // a pixel of the bell, which every pose draws alike

std::tuple<int, int> Place(HWND window)
{
    RECT r = {};
    return GetWindowRect(window, &r), std::make_tuple((int)r.left, (int)r.top);
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
    MEMORYSTATUSEX status = {sizeof status, 0, 0, 0, 0, 0, 0, 0, 0};
    GlobalMemoryStatusEx(&status);
    return 100 - (int)(status.ullAvailPhys * 100 / status.ullTotalPhys);
}

// Whether the text is the pattern with a share in use that the system counted from the reading given until now.
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
class RealChime : public testing::Test {
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
TEST_F(RealChime, ItsFileHoldsEachGroupFromTheFirstStartAndAllWhenTheSessionEndsAndAtExit)
{
    ASSERT_TRUE(Run(""));
    EXPECT_EQ(ReadFileBytes(Ini()), "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n");
    DeleteFileW(Ini().c_str());
    SendMessageW(chime.window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(ReadFileBytes(Ini()), "<missing>") << "the session goes on";
    auto [left, top] = Place(chime.window); // where it hangs, beside the window in front
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

// One swing after another: in one grab of the screen, each pose's pictures, the window cut to them, and the tray
// icon of the pose, flipped by each step after the gust's. A copy as on Windows 98 beside the stand-in meter: 37 %
// in use, the gauge's level 5; then 5 %, no gauge, where the chime picture shows its own strip.
TEST_F(RealChime, SwingsPaintedAndShapedAsEachPoseWhileItsTrayIconFlips)
{
    std::wstring folder = FreshFolder(), exe = _wgetenv(L"QUILLET_EXE"), copy = folder + L"\\quillet98.exe";
    ASSERT_TRUE(CopyFileW(exe.c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(CopyFileW((exe.substr(0, exe.rfind(L'\\')) + L"\\rsrc32\\rsrc32.DLL").c_str(),
                          (folder + L"\\RSRC32.DLL").c_str(), FALSE));
    ASSERT_TRUE(Run(std::string(FREE_AT_300_200) + "win_obj=1\r\nsnd_vol=0\r\n[Kand]\r\nrandom1=1\r\n", copy));
    const std::vector<std::string> expected = {"0 normal", "1 normal", "2 alternative", "3 normal", "4 alternative",
                                               "5 normal"}; // a gust at every tick at rest
    for (int level : {5, -1}) {
        ASSERT_TRUE(level >= 0 || WriteFileBytes(chime.folder + L"\\meter.ini", "[Meter]\r\nfree=95\r\n"));
        std::vector<std::string> seen(6);
        WaitFor([&] {
            std::string now = PoseAndTrayIcon(chime.window, level);
            for (int pose = 0; pose < 6; pose++)
                seen[pose] = now == expected[pose] ? now : seen[pose];
            return seen == expected;
        }, 20000);
        EXPECT_EQ(seen, expected) << "each pose's pictures and its tray icon, at the gauge's level " << level;
    }
}

// A shell that starts anew (after Explorer crashed, say) holds no icons and tells every window so.
TEST_F(RealChime, ItsTipAndAboutBoxShowTheMemoryInUseAndTheTipComesBackWhenTheShellStartsAnew)
{
    int before = Usage();
    ASSERT_TRUE(Run(std::string(FREE_AT_300_200) + "win_obj=5\r\n")); // no gusts: the icon stays the normal one
    EXPECT_TRUE(ShowsUsage(TrayTip(), L"Quillet [メモリ使用率：%d％]", before));
    NOTIFYICONDATAW icon = {};
    icon.cbSize = NOTIFYICONDATAW_V1_SIZE, icon.hWnd = chime.window, icon.uID = 1;
    Shell_NotifyIconW(NIM_DELETE, &icon);
    ASSERT_TRUE(WaitFor([] { return TrayIcon() == "none"; }, 3000)) << "the test bed's shell kept a deleted icon";
    PostMessageW(chime.window, RegisterWindowMessageW(L"TaskbarCreated"), 0, 0);
    EXPECT_TRUE(WaitFor([] { return TrayIcon() == "normal"; }, 3000)) << "no icon in the new shell";
    // The About box, centred, shows the same figure while the chime hides.
    PostMessageW(chime.window, WM_COMMAND, IDM_ABOUT, 0);
    HWND box = Shown(chime, "#32770", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(chime.window));
    RECT r;
    GetWindowRect(box, &r);
    LONG x = GetSystemMetrics(SM_CXSCREEN) - r.right + r.left, y = GetSystemMetrics(SM_CYSCREEN) - r.bottom + r.top;
    EXPECT_EQ(Place(box), std::make_tuple((int)x / 2, (int)y / 2)) << "centred on the screen";
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

// Started hung freely in front of all, as the file says; where a menu choice hangs it is the unit tests'.
TEST_F(RealChime, PressesOnTheTrayIconOrTheChimeOpenTheMenuAndTheLeftButtonDragsAFreeChimeInFront)
{
    ASSERT_TRUE(Run("[Winpos]\r\nXpos=300\r\nYpos=200\r\n[Runsts]\r\nposmode=2\r\nsnd_vol=0\r\n"));
    EXPECT_TRUE(InFront(chime.window)) << "started hung freely in front of all";
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
    auto [left, top] = Place(chime.window); // where the hand holds the bell
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
TEST_F(RealChime, ASecondCopySaysThatOneIsRunningAndEscapeEndsTheFirstLeavingTheFileAsItWas)
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

// Without its menu nothing could be chosen: a copy whose menu cannot load (an unknown template) ends at once.
TEST_F(RealChime, ACopyWithoutItsMenuEndsWithCodeMinus3)
{
    std::wstring copy = FreshFolder() + L"\\quillet.exe";
    ASSERT_TRUE(CopyFileW(_wgetenv(L"QUILLET_EXE"), copy.c_str(), FALSE));
    HANDLE update = BeginUpdateResourceW(copy.c_str(), FALSE);
    char unknown[4] = {5, 0, 0, 0};
    ASSERT_TRUE(UpdateResourceW(update, MAKEINTRESOURCEW(4), MAKEINTRESOURCEW(IDR_CHIME_MENU), 0x411, unknown, 4) &&
                EndUpdateResourceW(update, FALSE));
    EXPECT_FALSE(Run("", copy));
    EXPECT_EQ(ExitCode(chime), (DWORD)-3);
}

} // namespace
