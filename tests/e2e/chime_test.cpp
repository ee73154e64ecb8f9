// The real program as a user meets it: its window and shape, its tray icon,
// its menu's marks, the About box, the settings file after a run, the ways
// it ends; and the runs whose sound tests/sound/heard-test records.
#include <gtest/gtest.h>

#include "resources/resource.h"
#include "tests/common/harness.h"
#include "tests/e2e/program.h"

namespace {
const UINT WM_TRAYICON = WM_APP + 100;

// Opens the popup menu as a press on the tray icon does, reads the marks of
// the items by the probe (v checked, g grayed, - neither), and closes it.
std::string Marks(const Program &chime, std::initializer_list<UINT> items)
{
    PostMessageW(chime.window, WM_TRAYICON, 1, WM_RBUTTONDOWN);
    HWND menu = Shown(chime, "#32768", 5000);
    std::string marks;
    for (UINT item : items) {
        DWORD state = MF_CHECKED | MF_GRAYED;
        AskProbe(chime.window, item, SendMessageW(menu, MN_GETHMENU, 0, 0), &state);
        marks += state & MF_CHECKED ? state & MF_GRAYED ? "?" : "v" : state & MF_GRAYED ? "g" : "-";
    }
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_TRUE(WaitFor([&chime] { return !Shown(chime, "#32768"); }, 5000));
    return marks;
}

TEST(Chime, FromItsFirstStartToExit)
{
    Program chime;
    Start(&chime, "");
    ASSERT_NE(chime.window, nullptr);
    char name[16], title[16];
    GetClassNameA(chime.window, name, sizeof name);
    GetWindowTextA(chime.window, title, sizeof title);
    EXPECT_EQ(std::string(name) + " " + title, "Quillet Quillet");
    EXPECT_EQ(GetWindowLongW(chime.window, GWL_STYLE) & (WS_POPUP | WS_CAPTION | WS_THICKFRAME), WS_POPUP);
    EXPECT_TRUE(GetWindowLongW(chime.window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT r;
    GetWindowRect(chime.window, &r);
    EXPECT_EQ((r.right - r.left) * 100 + r.bottom - r.top, 3264);
    EXPECT_GE(PoseOfShape(chime.window), 0) << "the window is cut to a picture of the chime";
    EXPECT_EQ(Marks(chime, {IDM_WIND_MEMORY, IDM_WIND_RANDOM, IDM_BREEZE, IDM_TYPHOON, IDM_FITFUL, IDM_VOL_LOUDER,
                            IDM_VOL_NORMAL, IDM_VOL_QUIETER, IDM_VOL_RANDOM, IDM_VOL_OFF, IDM_SENS_HIGH,
                            IDM_SENS_MEDIUM, IDM_SENS_LOW, IDM_HANG_WINDOW, IDM_HANG_FREE, IDM_HANG_FRONT}),
              "-v--v-v----v-v--");
    std::wstring ini = chime.folder + L"\\quillet.ini";
    const std::string first = "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n";
    EXPECT_EQ(ReadFileBytes(ini), first);
    ClickTrayIcon();
    HWND menu = Shown(chime, "#32768", 5000);
    EXPECT_NE(menu, nullptr) << "no menu from the tray icon";
    PostMessageW(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    WaitFor([&chime] { return !Shown(chime, "#32768"); }, 5000);
    // The end of the session saves every setting, as the end of the run does.
    GetWindowRect(chime.window, &r);
    const std::string winpos = "[Winpos]\r\nXpos=" + std::to_string(r.left) + "\r\nYpos=" + std::to_string(r.top),
                      kand = "\r\n[Kand]\r\nmemory0=1048576\r\nmemory1=524288\r\nmemory2=262144\r\nrandom0=160\r\n"
                             "random1=80\r\nrandom2=40\r\n[Debug]\r\nsw=0\r\n";
    SendMessageW(chime.window, WM_ENDSESSION, FALSE, 0);
    EXPECT_EQ(ReadFileBytes(ini), first) << "the session goes on";
    SendMessageW(chime.window, WM_ENDSESSION, TRUE, 0);
    EXPECT_EQ(ReadFileBytes(ini), first + winpos + kand);
    DeleteFileW(ini.c_str());
    PostMessageW(chime.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
    EXPECT_EQ(ReadFileBytes(ini), winpos + "\r\n[Runsts]\r\nwin_obj=1\r\nwin_str=3\r\nfrn_kan=1\r\nposmode=0\r\n"
                                           "snd_vol=2" + kand);
}

TEST(Chime, RunsOnceShowsTheAboutBoxAndEndsWithItsCodes)
{
    Program first, second, menuless;
    Start(&first, "[Winpos]\r\nXpos=200\r\nYpos=150\r\n[Runsts]\r\nposmode=2\r\n");
    ASSERT_NE(first.window, nullptr);
    EXPECT_TRUE(GetWindowLongW(first.window, GWL_EXSTYLE) & WS_EX_TOPMOST) << "hung in front of all";
    Start(&second, "");
    HWND box = Shown(second, "#32770");
    wchar_t told[128] = L"";
    GetWindowTextW(box, told, 16);
    GetDlgItemTextW(box, 0xFFFF, told + wcslen(told), 100);
    EXPECT_STREQ(told, L"Quillet"
                       L"既に 『Quillet』 が起動しています、\r\n『Quillet』 は同時に一つだけ起動できます。");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(ExitCode(second), 0u);
    // The About box, centred while the chime hides; a tray press opens no menu over it.
    PostMessageW(first.window, WM_COMMAND, IDM_HANG_FREE, 0);
    PostMessageW(first.window, WM_COMMAND, IDM_ABOUT, 0);
    box = Shown(first, "#32770", 5000);
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(first.window));
    RECT r;
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left * 1000 + r.top, (1024 - (r.right - r.left)) / 2 * 1000 + (768 - (r.bottom - r.top)) / 2);
    wchar_t memory[64] = L"", sound[64] = L"";
    GetDlgItemTextW(box, 1002, memory, 11);
    GetDlgItemTextW(box, 1003, sound, 64);
    EXPECT_EQ(std::wstring(memory) + L"|" + sound, L"　物理メモリ使用率：|    Sound   ：  Direct");
    PostMessageW(first.window, WM_TRAYICON, 1, WM_LBUTTONDOWN);
    EXPECT_EQ(Shown(first, "#32768", 1000), nullptr);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&first] { return IsWindowVisible(first.window); }, 5000));
    GetWindowRect(first.window, &r);
    EXPECT_EQ(r.left * 1000 + r.top, 200150) << "where it was";
    EXPECT_FALSE(GetWindowLongW(first.window, GWL_EXSTYLE) & WS_EX_TOPMOST) << "now hung freely";
    // Escape ends it at once, without saving.
    std::string written = ReadFileBytes(first.folder + L"\\quillet.ini");
    PostMessageW(first.window, WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_EQ(ExitCode(first), 0u);
    EXPECT_EQ(ReadFileBytes(first.folder + L"\\quillet.ini"), written);
    // A copy whose menu cannot be loaded: its template's version is unknown.
    std::string exe = ReadFileBytes(_wgetenv(L"QUILLET_EXE"));
    size_t popup = exe.find(std::string((const char *)L"メニュー", 8));
    ASSERT_NE(popup, std::string::npos);
    exe[popup - 6] = 7;
    std::wstring copy = FreshFolder() + L"\\quillet.exe";
    ASSERT_TRUE(WriteFileBytes(copy, exe));
    Start(&menuless, "", copy);
    EXPECT_EQ(ExitCode(menuless) * 10 + (menuless.window != NULL), (DWORD)-30);
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
