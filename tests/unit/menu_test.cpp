// The menu apply and the settings commands, in a process where DirectSound
// cannot start (dsound.dll is switched off for it), with the program's own menu.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "tests/common/files.h"
#include "tests/common/pe_resources.h"

namespace {

class Menu : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        HMODULE program = LoadAsData(QuilletExePath());
        chimeMenu = LoadMenuW(program, MAKEINTRESOURCEW(IDR_CHIME_MENU));
        popupMenu = GetSubMenu(chimeMenu, 0);
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        folder = std::wstring(temp) + L"quillet-menu";
        CreateDirectoryW(folder.c_str(), NULL);
        EmptyFolder(folder);
        SetCurrentDirectoryW(folder.c_str());
    }
    void SetUp() override { ASSERT_NE(chimeMenu, nullptr); }

    static bool Checked(UINT id) { return GetMenuState(chimeMenu, id, MF_BYCOMMAND) & MF_CHECKED; }
    static bool Grayed(UINT id) { return GetMenuState(chimeMenu, id, MF_BYCOMMAND) & MF_GRAYED; }
    static std::string Ini() { return FileText(folder + L"\\quillet.ini"); }

    static std::wstring folder;
};
std::wstring Menu::folder;

// The tests share the applied record, as one run of the program does, so
// they run in this order.
TEST_F(Menu, FirstApplyMarksEveryGroupAndFallsBackToTheSimpleSound)
{
    LoadSettings();
    settings.snd_vol = 1;
    ApplyMenuState(NULL);
    EXPECT_TRUE(Checked(IDM_WIND_RANDOM));
    EXPECT_FALSE(Checked(IDM_WIND_MEMORY));
    EXPECT_TRUE(Checked(IDM_SENS_MEDIUM));
    EXPECT_TRUE(Checked(IDM_FITFUL));
    EXPECT_FALSE(Checked(IDM_BREEZE)) << "the resource's mark is taken off";
    EXPECT_TRUE(Checked(IDM_HANG_WINDOW));
    // Louder is not to be had without DirectSound: normal it is.
    EXPECT_EQ(settings.snd_vol, 2);
    EXPECT_TRUE(Checked(IDM_VOL_NORMAL));
    EXPECT_EQ(settings.snd_kbn, SOUND_SNDPLAY);
    for (UINT id : {IDM_VOL_LOUDER, IDM_VOL_QUIETER, IDM_VOL_RANDOM, IDM_BREEZE, IDM_TYPHOON})
        EXPECT_TRUE(Grayed(id)) << id;
    for (UINT id : {IDM_VOL_NORMAL, IDM_VOL_OFF, IDM_FITFUL, IDM_WIND_MEMORY})
        EXPECT_FALSE(Grayed(id)) << id;
    EXPECT_EQ(Ini(), "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n");
}

TEST_F(Menu, ChoosingTheCheckedItemWritesNothing)
{
    DeleteFileW((folder + L"\\quillet.ini").c_str());
    // The record still holds the volume from before the fallback (louder), so
    // this apply tries DirectSound once more and writes the volume again.
    OnMenuCommand(NULL, IDM_SENS_MEDIUM);
    EXPECT_EQ(Ini(), "[RunSts]\r\nsnd_vol=2\r\n");
    DeleteFileW((folder + L"\\quillet.ini").c_str());
    OnMenuCommand(NULL, IDM_SENS_MEDIUM);
    EXPECT_EQ(Ini(), "<missing>");
}

TEST_F(Menu, EachCommandSetsItsGroupAndWritesIt)
{
    OnMenuCommand(NULL, IDM_SENS_HIGH);
    EXPECT_EQ(settings.frn_kan, 2);
    EXPECT_TRUE(Checked(IDM_SENS_HIGH));
    EXPECT_FALSE(Checked(IDM_SENS_MEDIUM));
    OnMenuCommand(NULL, IDM_WIND_MEMORY);
    EXPECT_EQ(settings.win_obj, 0);
    EXPECT_TRUE(Checked(IDM_WIND_MEMORY));
    OnMenuCommand(NULL, IDM_VOL_OFF);
    EXPECT_EQ(settings.snd_vol, 0);
    EXPECT_EQ(settings.snd_kbn, SOUND_OFF);
    EXPECT_TRUE(Checked(IDM_VOL_OFF));
    EXPECT_FALSE(Checked(IDM_VOL_NORMAL));
    EXPECT_NE(Ini().find("frn_kan=2\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("win_obj=0\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("snd_vol=0\r\n"), std::string::npos);
}

// A hang mode outside the list leaves the marks and is written back as it is.
TEST_F(Menu, UnknownHangModeKeepsTheMarks)
{
    settings.posmode = 7;
    ApplyMenuState(NULL);
    EXPECT_TRUE(Checked(IDM_HANG_WINDOW));
    EXPECT_NE(Ini().find("posmode=7\r\n"), std::string::npos);
}

// More than half beyond an edge of the screen brings a free chime back to
// the centre; up to half it stays.
TEST_F(Menu, FreePlacementBringsBackAChimeMostlyOffTheScreen)
{
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, -16, 100, 32, 64, NULL, NULL,
                                  NULL, NULL);
    ASSERT_NE(window, nullptr);
    RECT r;
    OnMenuCommand(window, IDM_HANG_FREE);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, -16);
    EXPECT_FALSE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);

    SetWindowPos(window, NULL, -17, 100, 32, 64, SWP_NOZORDER | SWP_NOACTIVATE);
    OnMenuCommand(window, IDM_HANG_FRONT);
    GetWindowRect(window, &r);
    EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 32) / 2);
    EXPECT_EQ(r.top, (GetSystemMetrics(SM_CYSCREEN) - 64) / 2);
    EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST);
    EXPECT_EQ(settings.posmode, 2);
    DestroyWindow(window);
}

} // namespace
