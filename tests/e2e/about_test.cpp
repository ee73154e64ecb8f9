// The About box of the running program: where it opens, its two lines in
// each sound mode and platform family, its buttons and the three ways it
// ends, and the chime that it hides meanwhile.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/common/win_helpers.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/inspect.h"

namespace {

const UINT WM_TRAYICON = WM_APP + 100;

class About : public ::testing::Test {
protected:
    void SetUp() override { RegisterOpener(); }
    void TearDown() override
    {
        if (host)
            DestroyWindow(host);
        Dispose(chime);
        RestoreHandlers();
    }

    HWND Start(const std::wstring &folder, const std::string &ini, const std::wstring &exe = L"")
    {
        if (!ini.empty()) {
            EXPECT_TRUE(WriteFileText(folder + L"\\quillet.ini", ini));
        }
        chime = StartQuillet(folder, exe);
        window = WaitForChimeWindow(chime);
        return window;
    }

    // Opens the box from the menu command; the chime is hidden by then.
    HWND Open()
    {
        PostMessageW(window, WM_COMMAND, IDM_ABOUT, 0);
        HWND box = WaitForAboutBox(chime);
        PumpFor(200);
        return box;
    }

    // The box has ended and the chime is back where it was.
    void ExpectEndedAt(const RECT &where)
    {
        ASSERT_TRUE(WaitForAboutBoxGone(chime)) << "the box is still open";
        PumpFor(100);
        EXPECT_TRUE(IsWindowVisible(window));
        RECT now;
        GetWindowRect(window, &now);
        EXPECT_EQ(now.left, where.left);
        EXPECT_EQ(now.top, where.top);
    }

    bool Topmost() { return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST; }

    void MakeHost()
    {
        host = MakeHostWindow(40, 40, 200, 150);
        PumpFor(200);
    }

    Chime chime;
    HWND window = NULL, host = NULL;
};

// The NT line: ideographic spaces at both ends around the usage in per cent.
void ExpectPhysicalMemoryLine(const std::wstring &line)
{
    const std::wstring head = L"　物理メモリ使用率：", tail = L"％　";
    ASSERT_GT(line.size(), head.size() + tail.size()) << "line: " << testing::PrintToString(line);
    EXPECT_EQ(line.substr(0, head.size()), head);
    EXPECT_EQ(line.substr(line.size() - tail.size()), tail);
    std::wstring figure = line.substr(head.size(), line.size() - head.size() - tail.size());
    EXPECT_EQ(figure.find_first_not_of(L"0123456789"), std::wstring::npos);
    EXPECT_LE(_wtoi(figure.c_str()), 100);
}

TEST_F(About, OpensCentredOverTheHiddenChimeAndEndsThreeWays)
{
    ASSERT_NE(Start(FreshFolder(), "[Winpos]\r\nXpos=200\r\nYpos=150\r\n[Runsts]\r\nposmode=1\r\n[Debug]\r\nsw=1\r\n"),
              nullptr);
    RECT placed;
    GetWindowRect(window, &placed);
    HWND box = Open();
    ASSERT_NE(box, nullptr);
    EXPECT_FALSE(IsWindowVisible(window)) << "the chime hides while the box is open";
    wchar_t caption[64];
    GetWindowTextW(box, caption, 64);
    EXPECT_STREQ(caption, L"Quilletについて");
    RECT desktop, r;
    GetWindowRect(GetDesktopWindow(), &desktop);
    GetWindowRect(box, &r);
    EXPECT_EQ(r.left, (desktop.right - (r.right - r.left)) / 2);
    EXPECT_EQ(r.top, (desktop.bottom - (r.bottom - r.top)) / 2);
    ExpectPhysicalMemoryLine(ItemText(box, IDC_MEMORY_LINE));
    EXPECT_EQ(ItemText(box, IDC_SOUND_LINE), L"    Sound   ：  Direct(DBG)");

    // The maker's buttons hand their addresses to the shell and leave the box open.
    std::wstring before = OpenedSoFar();
    ClickControl(box, IDC_HOMEPAGE);
    EXPECT_EQ(WaitForOpened(before), L"\"https://example.org/\"\n");
    before = OpenedSoFar();
    ClickControl(box, IDC_MAIL);
    EXPECT_EQ(WaitForOpened(before), L"\"mailto:quillet@example.org?subject=Quilletに関して\"\n");
    PumpFor(300);
    EXPECT_TRUE(IsWindow(box) && IsWindowVisible(box));
    EXPECT_FALSE(IsWindowVisible(window));

    // A tray press brings the box forward and opens no menu.
    MakeHost();
    ASSERT_EQ(GetForegroundWindow(), host);
    PostMessageW(window, WM_TRAYICON, 1, WM_LBUTTONDOWN);
    PumpFor(300);
    EXPECT_EQ(GetForegroundWindow(), box);
    EXPECT_FALSE(MenuShown(chime, 300));

    ClickControl(box, IDOK);
    ExpectEndedAt(placed);
    EXPECT_FALSE(Topmost()) << "hang mode 1";

    box = Open();
    ASSERT_NE(box, nullptr);
    SetForegroundWindow(box);
    PumpFor(100);
    PressKey(VK_RETURN);
    ExpectEndedAt(placed);

    // Always in front: the chime comes back topmost.
    SendMessageW(window, WM_COMMAND, IDM_HANG_FRONT, 0);
    box = Open();
    ASSERT_NE(box, nullptr);
    POINT close;
    ASSERT_TRUE(FindHitArea(box, HTCLOSE, &close));
    Click(close.x, close.y);
    ExpectEndedAt(placed);
    EXPECT_TRUE(Topmost()) << "hang mode 2";
}

// Windows 98, as Wine shows it to a copy named quillet98.exe: the system
// resources' line, from the meter library or unknown without it.
TEST_F(About, ShowsTheSystemResourcesOnWindows98)
{
    std::wstring folder = FreshFolder(), exe = folder + L"\\quillet98.exe";
    ASSERT_TRUE(CopyFileW(QuilletExePath().c_str(), exe.c_str(), FALSE));
    chime = StartQuillet(folder, exe);
    HWND message = WaitForMessageBox(chime.process.dwProcessId);
    ASSERT_NE(message, nullptr) << "the missing meter library is told first";
    PostMessageW(message, WM_COMMAND, IDOK, 0);
    window = WaitForChimeWindow(chime);
    ASSERT_NE(window, nullptr);
    HWND box = Open();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ItemText(box, IDC_MEMORY_LINE), L"ステムメモリ使用率：不明　");
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitForAboutBoxGone(chime));
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(WaitForExit(chime), 0u);
    Dispose(chime);

    // The test's meter library answers 63 % free.
    std::wstring library = QuilletExePath();
    library = library.substr(0, library.find_last_of(L'\\') + 1) + L"rsrc32_meter.dll";
    ASSERT_TRUE(CopyFileW(library.c_str(), (folder + L"\\RSRC32.DLL").c_str(), FALSE));
    ASSERT_NE(Start(folder, "", exe), nullptr);
    box = Open();
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ItemText(box, IDC_MEMORY_LINE), L"システムメモリ使用率：37％　");
    EXPECT_EQ(ItemText(box, IDC_SOUND_LINE), L"    Sound   ：  Direct");
}

// A copy whose dialog resource is gone: the box cannot be made, and the
// chime must not stay hidden behind a flag that nothing clears.
TEST_F(About, ABoxThatCannotBeMadeLeavesTheChimeShownAndItsMenuReachable)
{
    std::wstring folder = FreshFolder(), exe = folder + L"\\nodialog.exe";
    ASSERT_TRUE(CopyFileW(QuilletExePath().c_str(), exe.c_str(), FALSE));
    ASSERT_TRUE(RenumberResource(exe, RT_DIALOG, IDD_ABOUT, IDD_ABOUT + 1));
    ASSERT_NE(Start(folder, "[Runsts]\r\nposmode=1\r\n", exe), nullptr);
    SendMessageW(window, WM_COMMAND, IDM_ABOUT, 0);
    EXPECT_EQ(FindProcessWindow(chime.process.dwProcessId, "#32770"), nullptr);
    EXPECT_TRUE(IsWindowVisible(window));
    PostMessageW(window, WM_TRAYICON, 1, WM_LBUTTONDOWN);
    EXPECT_TRUE(MenuShown(chime, 3000)) << "a tray press opens the menu again";
    PressKey(VK_ESCAPE);
}

} // namespace
