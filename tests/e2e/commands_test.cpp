// The menu's commands on the running program: each one's effect, its check
// mark and its line in the settings file; the sound mode that the volume
// decides, with DirectSound and without it; Exit.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/common/files.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/inspect.h"
#include "tests/support/probe.h"

namespace {

// Long enough for two animation ticks of 192 ms.
const DWORD TICKS = 500;
const char DSOUND_FAILURE[] = "LoadLibrary Failed (DSOUND.DLL)";

// The five items that only DirectSound can offer.
const UINT DIRECT_ONLY[] = {IDM_VOL_LOUDER, IDM_VOL_QUIETER, IDM_VOL_RANDOM, IDM_BREEZE, IDM_TYPHOON};

struct Group {
    const char *key;
    std::vector<UINT> items;
};
const Group WIND_SOURCE = {"win_obj", {IDM_WIND_MEMORY, IDM_WIND_RANDOM}};
const Group WIND_KIND = {"win_str", {IDM_BREEZE, IDM_TYPHOON, IDM_FITFUL}};
const Group VOLUME = {"snd_vol", {IDM_VOL_LOUDER, IDM_VOL_NORMAL, IDM_VOL_QUIETER, IDM_VOL_RANDOM, IDM_VOL_OFF}};
const Group SENSITIVITY = {"frn_kan", {IDM_SENS_HIGH, IDM_SENS_MEDIUM, IDM_SENS_LOW}};
const Group HANG_MODE = {"posmode", {IDM_HANG_WINDOW, IDM_HANG_FREE, IDM_HANG_FRONT}};

class Commands : public ::testing::Test {
protected:
    void TearDown() override
    {
        if (host)
            DestroyWindow(host);
        Dispose(chime);
    }

    // Starts the program on these settings and reads its popup menu's handle.
    void Start(const std::string &ini)
    {
        folder = FreshFolder();
        if (!ini.empty()) {
            EXPECT_TRUE(WriteFileText(folder + L"\\quillet.ini", ini));
        }
        chime = StartQuillet(folder);
        window = WaitForChimeWindow(chime);
        ASSERT_NE(window, nullptr);
        menu = OpenedPopupMenu(chime, window);
        ASSERT_NE(menu, nullptr);
    }

    MenuStates States()
    {
        MenuStates states;
        EXPECT_TRUE(ProbeMenu(chime, menu, &states)) << "the menu probe did not run";
        return states;
    }

    // The checked item of the group is exactly the one given.
    void ExpectChecked(const Group &group, UINT checked)
    {
        MenuStates states = States();
        for (UINT item : group.items)
            EXPECT_EQ(states.Checked(item), item == checked) << group.key << " item " << item;
    }

    void ExpectDirectOnlyItemsGrayed(bool grayed)
    {
        MenuStates states = States();
        for (UINT item : DIRECT_ONLY)
            EXPECT_EQ(states.Grayed(item), grayed) << item;
    }

    // Chooses a menu item as the menu does, and waits until it has been handled.
    void Choose(WORD id) { SendMessageW(window, WM_COMMAND, id, 0); }

    // Chooses a settings item: it takes its mark, and its group's key is
    // written with the value.
    void ExpectChosen(const Group &group, UINT item, int value)
    {
        std::string before = Ini();
        Choose((WORD)item);
        ExpectChecked(group, item);
        char line[32];
        snprintf(line, sizeof line, "%s=%d\r\n", group.key, value);
        EXPECT_NE(Ini().find(line), std::string::npos) << line;
        EXPECT_NE(Ini(), before) << line;
    }

    std::string Ini() { return FileText(folder + L"\\quillet.ini"); }

    int SupportLogFailures()
    {
        std::string log = FileText(folder + L"\\supinfo.txt");
        int count = 0;
        for (size_t at = log.find(DSOUND_FAILURE); at != std::string::npos; at = log.find(DSOUND_FAILURE, at + 1))
            count++;
        return count;
    }

    // The sound line of the About box, which is then closed again.
    std::wstring SoundLine()
    {
        PostMessageW(window, WM_COMMAND, IDM_ABOUT, 0);
        HWND box = WaitForAboutBox(chime);
        if (!box)
            return L"<no About box>";
        std::wstring line = ItemText(box, IDC_SOUND_LINE);
        PostMessageW(box, WM_COMMAND, IDOK, 0);
        EXPECT_TRUE(WaitForAboutBoxGone(chime));
        return line;
    }

    RECT ChimeRect()
    {
        RECT rect;
        GetWindowRect(window, &rect);
        return rect;
    }

    bool Topmost() { return GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST; }

    void MakeHost(int x, int y, int width, int height)
    {
        host = MakeHostWindow(x, y, width, height);
        PumpFor(TICKS);
    }

    Chime chime;
    std::wstring folder;
    HWND window = NULL, host = NULL;
    HMENU menu = NULL;
};

// The first apply marks every group by the defaults, takes the resource's
// other marks off, grays nothing and writes the five keys in its order.
TEST_F(Commands, EveryCommandFromTheFirstStartToExit)
{
    Start("");
    EXPECT_EQ(Ini(), "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=0\r\n");
    ExpectChecked(WIND_SOURCE, IDM_WIND_RANDOM);
    ExpectChecked(WIND_KIND, IDM_FITFUL);
    ExpectChecked(VOLUME, IDM_VOL_NORMAL);
    ExpectChecked(SENSITIVITY, IDM_SENS_MEDIUM);
    ExpectChecked(HANG_MODE, IDM_HANG_WINDOW);
    MenuStates states = States();
    for (UINT item : MENU_PROBE_ITEMS)
        EXPECT_FALSE(states.Grayed(item)) << item;
    EXPECT_EQ(SoundLine(), L"    Sound   ：  Direct");
    EXPECT_EQ(SupportLogFailures(), 0);

    ExpectChosen(WIND_SOURCE, IDM_WIND_MEMORY, 0);
    ExpectChosen(WIND_SOURCE, IDM_WIND_RANDOM, 1);
    ExpectChosen(WIND_KIND, IDM_BREEZE, 1);
    ExpectChosen(WIND_KIND, IDM_TYPHOON, 2);
    ExpectChosen(WIND_KIND, IDM_FITFUL, 3);
    ExpectChosen(SENSITIVITY, IDM_SENS_HIGH, 2);
    ExpectChosen(SENSITIVITY, IDM_SENS_LOW, 0);
    ExpectChosen(SENSITIVITY, IDM_SENS_MEDIUM, 1);
    std::string before = Ini();
    Choose(IDM_SENS_MEDIUM);
    EXPECT_EQ(Ini(), before) << "choosing the checked item writes nothing";
    ExpectChecked(SENSITIVITY, IDM_SENS_MEDIUM);

    // Each volume restarts DirectSound; OFF starts it and stops it at once.
    ExpectChosen(VOLUME, IDM_VOL_LOUDER, 1);
    ExpectChosen(VOLUME, IDM_VOL_QUIETER, 3);
    ExpectChosen(VOLUME, IDM_VOL_RANDOM, 4);
    EXPECT_EQ(SoundLine(), L"    Sound   ：  Direct");
    ExpectChosen(VOLUME, IDM_VOL_OFF, 0);
    EXPECT_EQ(SoundLine(), L"    Sound   ：  OFF");
    ExpectChosen(VOLUME, IDM_VOL_NORMAL, 2);
    EXPECT_EQ(SoundLine(), L"    Sound   ：  Direct");
    ExpectDirectOnlyItemsGrayed(false);
    EXPECT_EQ(SupportLogFailures(), 0);

    // Free placement: up to half beyond the left edge stays, more comes back
    // to the centre of the screen.
    MakeHost(100, 120, 400, 300);
    ExpectChosen(HANG_MODE, IDM_HANG_FREE, 1);
    SetWindowPos(window, NULL, -16, 100, 32, 64, SWP_NOZORDER | SWP_NOACTIVATE);
    Choose(IDM_HANG_FREE);
    EXPECT_EQ(ChimeRect().left, -16);
    EXPECT_EQ(ChimeRect().top, 100);
    EXPECT_FALSE(Topmost());
    SetWindowPos(window, NULL, -17, 100, 32, 64, SWP_NOZORDER | SWP_NOACTIVATE);
    Choose(IDM_HANG_FREE);
    RECT centre = ChimeRect();
    EXPECT_EQ(centre.left, (GetSystemMetrics(SM_CXSCREEN) - 32) / 2);
    EXPECT_EQ(centre.top, (GetSystemMetrics(SM_CYSCREEN) - 64) / 2);
    EXPECT_FALSE(Topmost());
    PumpFor(TICKS);
    EXPECT_EQ(ChimeRect().left, centre.left) << "a free chime stays where it is";

    // Always in front: topmost and the foreground window, where it is.
    SetForegroundWindow(host);
    PumpFor(100);
    ExpectChosen(HANG_MODE, IDM_HANG_FRONT, 2);
    EXPECT_TRUE(Topmost());
    EXPECT_EQ(GetForegroundWindow(), window);
    EXPECT_EQ(ChimeRect().left, centre.left);
    EXPECT_EQ(ChimeRect().top, centre.top);

    // On the window: nothing moves until the next tick hangs it on its host.
    SetForegroundWindow(host);
    PumpFor(100);
    Choose(IDM_HANG_WINDOW);
    EXPECT_EQ(ChimeRect().left, centre.left);
    ExpectChecked(HANG_MODE, IDM_HANG_WINDOW);
    EXPECT_NE(Ini().find("posmode=0\r\n"), std::string::npos);
    PumpFor(TICKS);
    RECT hostRect;
    GetWindowRect(host, &hostRect);
    EXPECT_EQ(ChimeRect().left, hostRect.right);
    EXPECT_EQ(ChimeRect().top, hostRect.top);

    // Exit saves every key with the chime's last place and ends with 0.
    ExpectChosen(HANG_MODE, IDM_HANG_FREE, 1);
    RECT last = ChimeRect();
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(WaitForExit(chime), 0u);
    char saved[512];
    snprintf(saved, sizeof saved,
             "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=1\r\n"
             "[Winpos]\r\nXpos=%ld\r\nYpos=%ld\r\n"
             "[Kand]\r\nmemory0=1048576\r\nmemory1=524288\r\nmemory2=262144\r\nrandom0=160\r\nrandom1=80\r\nrandom2=40\r\n"
             "[Debug]\r\nsw=0\r\n",
             last.left, last.top);
    EXPECT_EQ(Ini(), saved);
}

// Run by a test program of its own whose environment switches dsound.dll off
// for Wine, for it and the program it starts.
class WithoutDirectSound : public Commands {
protected:
    void SetUp() override
    {
        HMODULE dsound = LoadLibraryA("dsound.dll");
        if (dsound)
            FreeLibrary(dsound);
        ASSERT_EQ(dsound, nullptr) << "dsound.dll must be switched off for this test";
    }
};

// Without dsound.dll: the five items that need it are grayed, the wind is
// fitful and a stored louder volume becomes normal. Every sound start is
// logged: the window's creation and the first apply, then each apply whose
// volume differs from the one it last applied.
TEST_F(WithoutDirectSound, TheSimpleSoundPlaysAtNormalVolume)
{
    Start("[Runsts]\r\nsnd_vol=1\r\nwin_str=2\r\n[Debug]\r\nsw=1\r\n");
    ExpectDirectOnlyItemsGrayed(true);
    ExpectChecked(VOLUME, IDM_VOL_NORMAL);
    ExpectChecked(WIND_KIND, IDM_FITFUL);
    EXPECT_NE(Ini().find("snd_vol=2\r\n"), std::string::npos);
    EXPECT_NE(Ini().find("win_str=3\r\n"), std::string::npos);
    EXPECT_EQ(SupportLogFailures(), 2);
    EXPECT_EQ(SoundLine(), L"    Sound   ：  sndPlay(DBG)");

    // The volume applied last is still the louder one: any settings command
    // tries DirectSound again, once.
    Choose(IDM_SENS_HIGH);
    EXPECT_EQ(SupportLogFailures(), 3);
    Choose(IDM_SENS_LOW);
    EXPECT_EQ(SupportLogFailures(), 3);
    ExpectChosen(VOLUME, IDM_VOL_OFF, 0);
    EXPECT_EQ(SupportLogFailures(), 4);
    EXPECT_EQ(SoundLine(), L"    Sound   ：  OFF(DBG)");
    ExpectChosen(VOLUME, IDM_VOL_NORMAL, 2);
    EXPECT_EQ(SupportLogFailures(), 5);
    EXPECT_EQ(SoundLine(), L"    Sound   ：  sndPlay(DBG)");
    ExpectDirectOnlyItemsGrayed(true);
}

TEST_F(WithoutDirectSound, AStoredOffStaysOff)
{
    Start("[Runsts]\r\nsnd_vol=0\r\n");
    ExpectDirectOnlyItemsGrayed(true);
    ExpectChecked(VOLUME, IDM_VOL_OFF);
    EXPECT_EQ(SoundLine(), L"    Sound   ：  OFF");
    EXPECT_EQ(Ini(), "[Runsts]\r\nsnd_vol=0\r\nwin_obj=1\r\nfrn_kan=1\r\nwin_str=3\r\nposmode=0\r\n");
}

} // namespace
