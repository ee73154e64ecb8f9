// The settings file around a real run: read at start-up, written in full when
// the window is closed.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "tests/common/files.h"
#include "tests/e2e/driver.h"

namespace {


// What the first menu apply at start-up writes into a missing file.
const std::string FIRST_APPLY = "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n";

// Every key as a run without a file saves it, the window's left and top as
// the position, into the file that the first apply made.
std::string DefaultSave(const RECT &window)
{
    char text[512];
    snprintf(text, sizeof text,
             "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n"
             "[Winpos]\r\nXpos=%ld\r\nYpos=%ld\r\n"
             "[Kand]\r\nmemory0=1048576\r\nmemory1=524288\r\nmemory2=262144\r\nrandom0=160\r\nrandom1=80\r\nrandom2=40\r\n"
             "[Debug]\r\nsw=0\r\n",
             window.left, window.top);
    return text;
}

class SettingsRun : public ::testing::Test {
protected:
    void TearDown() override { Dispose(chime); }

    // Starts the program in the folder; its chime window, and where it is.
    HWND Start(const std::wstring &folder)
    {
        chime = StartQuillet(folder);
        HWND window = WaitForChimeWindow(chime);
        if (window)
            GetWindowRect(window, &placed);
        return window;
    }

    // Closes the window as the user would; its destruction saves.
    DWORD Close(HWND window)
    {
        GetWindowRect(window, &closing);
        PostMessageA(window, WM_CLOSE, 0, 0);
        return WaitForExit(chime, 30000);
    }

    Chime chime;
    RECT placed = {}, closing = {};
};

// The platform under test is of the NT family, so its memory figures are the
// defaults. Hang mode 0 moves the chime onto the foreground window at the
// first tick, so the saved position is where the close finds it.
TEST_F(SettingsRun, WithoutAFileTheCloseSavesEveryKeyInOrder)
{
    std::wstring folder = FreshFolder();
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(FileText(folder + L"\\quillet.ini"), FIRST_APPLY);

    ASSERT_EQ(Close(window), 0u);
    EXPECT_EQ(FileText(folder + L"\\quillet.ini"), DefaultSave(closing));
}

// Hang mode 1 leaves the window where the file puts it.
TEST_F(SettingsRun, WindowStartsWhereTheFileSaysAndItsNewPlaceIsSaved)
{
    std::wstring folder = FreshFolder();
    ASSERT_TRUE(WriteFileText(folder + L"\\quillet.ini",
                              "[Winpos]\r\nXpos=100\r\nYpos=200\r\n[Runsts]\r\nposmode=1\r\nwin_str=259\r\nsnd_kbn=7\r\n"));
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(placed.left, 100);
    EXPECT_EQ(placed.top, 200);

    ASSERT_TRUE(SetWindowPos(window, NULL, 300, 150, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE));
    ASSERT_EQ(Close(window), 0u);
    EXPECT_EQ(FileText(folder + L"\\quillet.ini"),
              "[Winpos]\r\nXpos=300\r\nYpos=150\r\n"
              "[Runsts]\r\nposmode=1\r\nwin_str=3\r\nsnd_kbn=7\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\n"
              "[Kand]\r\nmemory0=1048576\r\nmemory1=524288\r\nmemory2=262144\r\nrandom0=160\r\nrandom1=80\r\nrandom2=40\r\n"
              "[Debug]\r\nsw=0\r\n");
}

TEST_F(SettingsRun, JunkBeforeTheKeysStillStartsWithThem)
{
    std::wstring folder = FreshFolder();
    ASSERT_TRUE(WriteFileText(folder + L"\\quillet.ini", "[Junk]\r\n" + BinaryJunk(4096) +
                                                             "\r\n[Winpos]\r\nXpos=100\r\nYpos=200\r\n[Runsts]\r\nposmode=1\r\n"));
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(placed.left, 100);
    EXPECT_EQ(placed.top, 200);
    ASSERT_EQ(Close(window), 0u);
    EXPECT_NE(FileText(folder + L"\\quillet.ini").find("[Winpos]\r\nXpos=100\r\nYpos=200\r\n"), std::string::npos);
}

TEST_F(SettingsRun, TenMegabyteFileIsReadToItsEndAndSavedInto)
{
    std::wstring folder = FreshFolder();
    ASSERT_TRUE(WriteFileText(folder + L"\\quillet.ini", "[Filler]\r\n" + FillerLines(10 << 20) +
                                                             "[Winpos]\r\nXpos=100\r\nYpos=200\r\n[Runsts]\r\nposmode=1\r\n"));
    HWND window = Start(folder);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(placed.left, 100);
    EXPECT_EQ(placed.top, 200);
    ASSERT_EQ(Close(window), 0u);
    std::string text = FileText(folder + L"\\quillet.ini");
    EXPECT_GT(text.size(), 10u << 20);
    const std::string tail = "random2=40\r\n[Debug]\r\nsw=0\r\n";
    EXPECT_EQ(text.substr(text.size() - tail.size()), tail);
}

// A folder too long for "\quillet.ini" to follow in the 256-byte name: the
// program runs on its defaults and writes nothing.
TEST_F(SettingsRun, OverlongFolderRunsOnDefaultsAndMakesNoFile)
{
    std::wstring folder = FreshFolder();
    std::wstring deep = MakeFolderOfLength(folder, 250);
    ASSERT_FALSE(deep.empty());
    HWND window = Start(deep);
    ASSERT_NE(window, nullptr);
    ASSERT_EQ(Close(window), 0u);
    EXPECT_EQ(CountFiles(folder), 0);
}

} // namespace
