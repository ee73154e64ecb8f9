// Start-up, single instance and the ways the program ends, on the real program.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/e2e/driver.h"

namespace {


class Startup : public ::testing::Test {
protected:
    void TearDown() override
    {
        Dispose(first);
        Dispose(second);
    }
    Chime first, second;
};

TEST_F(Startup, RunsUnderTheJapaneseCodePage)
{
    EXPECT_EQ(GetACP(), 932u);
}

TEST_F(Startup, ShowsOneChimeWindowCutToItsPicture)
{
    first = StartQuillet(FreshFolder());
    HWND window = WaitForChimeWindow(first);
    ASSERT_NE(window, nullptr);

    char text[64];
    GetClassNameA(window, text, sizeof text);
    EXPECT_STREQ(text, "Quillet");
    GetWindowTextA(window, text, sizeof text);
    EXPECT_STREQ(text, "Quillet");
    LONG style = GetWindowLongA(window, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_FALSE(style & (WS_CAPTION | WS_THICKFRAME | WS_CHILD));
    EXPECT_TRUE(style & WS_VISIBLE);
    EXPECT_TRUE(GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    RECT rect;
    GetWindowRect(window, &rect);
    EXPECT_EQ(rect.right - rect.left, 32);
    EXPECT_EQ(rect.bottom - rect.top, 64);

    // The wind may have moved the strip already: the shape is one pose's
    // picture, and the screen shows that pose (read again if it moved meanwhile).
    std::vector<Picture> poses = ChimePictures(QuilletExePath());
    ASSERT_EQ(poses.size(), 6u);
    int pose = -1, matching = 0, drawn = 0;
    for (int attempt = 0; attempt < 10; attempt++) {
        pose = PoseOfWindowShape(window, poses);
        ASSERT_GE(pose, 0) << "the shape is no pose's picture";
        HDC screen = GetDC(NULL);
        matching = drawn = 0;
        for (int y = 0; y < 64; y++)
            for (int x = 0; x < 32; x++)
                if (poses[pose].At(x, y) != RGB(0, 0, 0)) {
                    drawn++;
                    matching += GetPixel(screen, rect.left + x, rect.top + y) == poses[pose].At(x, y);
                }
        ReleaseDC(NULL, screen);
        if (matching == drawn && PoseOfWindowShape(window, poses) == pose)
            break;
    }
    EXPECT_EQ(matching, drawn) << "pixels of pose " << pose << " on the screen";
    EXPECT_EQ(CountChimeTrayIcons(), 1);
}

TEST_F(Startup, SecondCopyShowsItsMessageAndLeavesTheFirstAlone)
{
    std::wstring folder = FreshFolder();
    first = StartQuillet(folder);
    HWND window = WaitForChimeWindow(first);
    ASSERT_NE(window, nullptr);

    second = StartQuillet(folder);
    HWND box = WaitForMessageBox(second.process.dwProcessId);
    ASSERT_NE(box, nullptr) << "no message box from the second copy";
    wchar_t text[256];
    GetWindowTextW(box, text, 256);
    EXPECT_STREQ(text, L"Quillet");
    GetDlgItemTextW(box, 0xFFFF, text, 256);
    EXPECT_STREQ(text, L"既に 『Quillet』 が起動しています、\r\n『Quillet』 は同時に一つだけ起動できます。");
    EXPECT_EQ(WaitForProcessWindow(second.process.dwProcessId, "Quillet", 0), nullptr);

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForExit(second), 0u);
    EXPECT_EQ(WaitForExit(first, 0), (DWORD)STILL_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(window));
    EXPECT_EQ(CountChimeTrayIcons(), 1);
}

// Escape ends the loop without the window's clean-up: no full save.
TEST_F(Startup, EscapeEndsWithCodeZeroWithoutSaving)
{
    std::wstring folder = FreshFolder();
    first = StartQuillet(folder);
    HWND window = WaitForChimeWindow(first);
    ASSERT_NE(window, nullptr);
    SetForegroundWindow(window);
    SetFocus(window);
    Sleep(200);
    PressKey(VK_ESCAPE);
    EXPECT_EQ(WaitForExit(first), 0u);
    EXPECT_EQ(FileText(folder + L"\\quillet.ini").find("Xpos"), std::string::npos);
}

TEST_F(Startup, ClosingTheWindowRemovesTheTrayIconAndEndsWithCodeZero)
{
    first = StartQuillet(FreshFolder());
    HWND window = WaitForChimeWindow(first);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(CountChimeTrayIcons(), 1);
    PostMessageA(window, WM_CLOSE, 0, 0);
    EXPECT_EQ(WaitForExit(first), 0u);
    Sleep(300);
    EXPECT_EQ(CountChimeTrayIcons(), 0);
}

// A copy of the program whose menu resource has been taken out.
TEST_F(Startup, WithoutItsMenuEndsWithMinusThreeBeforeAnyWindow)
{
    std::wstring folder = FreshFolder();
    std::wstring copy = folder + L"\\nomenu.exe";
    ASSERT_TRUE(CopyFileW(QuilletExePath().c_str(), copy.c_str(), FALSE));
    ASSERT_TRUE(RenumberResource(copy, RT_MENU, 111, 112));

    first = StartQuillet(folder, copy);
    bool windowSeen = false;
    for (int i = 0; i < 1000 && WaitForExit(first, 10) == STILL_ACTIVE; i++)
        windowSeen |= WaitForProcessWindow(first.process.dwProcessId, "Quillet", 0) != NULL;
    EXPECT_EQ((int)WaitForExit(first), -3);
    EXPECT_FALSE(windowSeen);
    EXPECT_EQ(CountChimeTrayIcons(), 0);
}

} // namespace
