// The chime's own code in this process: the wind from fixed seeds, the chime
// window's procedure, the menu's commands and marks with the sound mode each
// volume brings, the settings file's load (its save is the end-to-end
// test's), the About box's lines and the memory meter.
#include "about/about.h"
#include "tests/unit/standin.h"

namespace {
struct Gusts {
    const char *what;
    BYTE win_obj, win_str, frn_kan, snd_vol, snd_kbn;
    int random1; // random0 is 160 and random2 40
    unsigned seed;
    const char *steps; // t an animation tick, f a fan stroke; s first: every sample is still sounding
    const char *trace; // per step: the sample calls, * while the tray shows the other icon
    int pose, next; // the pose at the end, and the draw that follows, RandomBelow(1000)
};

const Gusts GUSTS[] = {
    {"a typhoon rings every step", 1, 2, 1, 2, 2, 1, 1, "tttttt",
     "|2:v-1200 2:p83 2:play0 *|3:v-1200 3:p0 3:play0 |2:v-1200 2:p180 2:play0 *|2:v-1200 2:p167 2:play0 ||", 0, 84},
    {"a sample still sounding keeps its volume", 1, 2, 1, 2, 2, 1, 1, "stt", "|2:p113 2:play0 *|", 2, 283},
    {"a breeze", 1, 1, 1, 1, 2, 1, 5, "tttttt", "|5:v-1 5:p0 5:play0 *||1:v-1 1:p0 1:play0 *|||", 0, 435},
    {"a fitful wind at random volume", 1, 3, 1, 4, 2, 1, 9, "tttttt",
     "|*|6:v-1800 6:p0 6:play0 |6:v-1500 6:p0 6:play0 *|3:v-300 3:p0 3:play0 ||", 0, 479},
    {"the range's draw decides the gust", 1, 2, 2, 3, 2, 40, 3, "tttttttttt",
     "|||||3:v-2100 3:p0 3:play0 *|2:v-2100 2:p33 2:play0 |1:v-1800 1:p0 1:play0 *|0:v-1800 0:p-19 0:play0 ||", 0,
     608},
    {"a sensitivity beyond the table is medium", 1, 2, 7, 2, 2, 1, 3, "tt", "|3:v-1200 3:p0 3:play0 *|", 2, 80},
    {"a range below 1 counts as 1", 1, 2, 1, 2, 2, 0, 11, "tt", "|0:v-1200 0:p-68 0:play0 *|", 2, 672},
    {"an unknown kind never gusts but always rings", 1, 9, 1, 2, 2, 1, 2, "ttftt",
     "||3:v-1200 3:p1 3:play0 *|0:v-900 0:p-65 0:play0 |0:v-900 0:p-99 0:play0 *|", 3, 5},
    {"fan strokes at rest and swinging", 1, 2, 1, 2, 2, 1000, 4, "ftff",
     "5:v-900 5:p1 5:play0 *|3:v-1200 3:p0 3:play0 |1:v-900 1:p0 1:play0 *|4:v-1200 4:p1 4:play0 |", 4, 250},
    {"a fan stroke at the last pose stays there", 1, 2, 1, 2, 2, 1, 6, "ttttff",
     "|3:v-900 3:p0 3:play0 *|0:v-900 0:p-33 0:play0 |1:v-1200 1:p0 1:play0 *|1:v-900 1:p0 1:play0 |"
     "3:v-1200 3:p1 3:play0 *|",
     5, 974},
    {"with the volume off nothing is drawn to ring", 1, 2, 1, 0, 9, 1, 1, "tttttt", "|*||*|||", 0, 526},
    {"another sound mode draws but plays nothing", 1, 2, 1, 2, 0, 1, 1, "tttttt", "|*||*|||", 0, 395},
};

// The program's chime window, its timer stopped: the test sends the ticks. One
// menu for all, as the record of the groups applied lasts as long as the process.
class Chime : public InFolder {
protected:
    static void SetUpTestSuite()
    {
        appInstance = GetModuleHandleA(NULL);
        chimeMenu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_CHIME_MENU));
        handCursor = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDCUR_HAND));
        fanCursor1 = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDCUR_FAN1));
        normalIcon = (HICON)1;
        alternativeIcon = (HICON)2;
        RegisterChimeClass();
    }
    void SetUp() override
    {
        InFolder::SetUp();
        LoadSettings();
        settings.win_str = 2;
        settings.random1 = 1; // a gust at every tick at rest
        chimeWindow = CreateWindowExA(0, "Quillet", "", WS_POPUP | WS_VISIBLE, 300, 200, 32, 64, 0, 0, appInstance, 0);
        ASSERT_NE(chimeWindow, nullptr);
        KillTimer(chimeWindow, 1);
        pose = swing_step = 0;
        interactionState = FAN_PHASE_ONE;
    }
    void TearDown() override
    {
        DestroyWindow(chimeWindow);
        MSG quit;
        PeekMessageA(&quit, NULL, WM_QUIT, WM_QUIT, PM_REMOVE);
        InFolder::TearDown();
    }

    // A middle press with the cursor, resting at (316, 400), on the row:
    // grabbed, fanned or nothing.
    const char *Press(int row)
    {
        SetWindowPos(chimeWindow, NULL, 300, 400 - row, 32, 64, SWP_NOZORDER);
        BYTE phase = interactionState;
        SendMessageA(chimeWindow, WM_NCMBUTTONDOWN, HTCAPTION, 0);
        RECT r;
        GetWindowRect(chimeWindow, &r);
        if (r.left == 316 - GetSystemMetrics(SM_CXCURSOR) / 3 && r.top == 393)
            return "grabbed";
        return interactionState != phase ? "fanned" : "nothing";
    }
};

// The checked items of each group by their places in it, then a g for each grayed item.
std::string Marks()
{
    const UINT groups[][5] = {{IDM_WIND_MEMORY, IDM_WIND_RANDOM},
                              {IDM_SENS_LOW, IDM_SENS_MEDIUM, IDM_SENS_HIGH},
                              {IDM_VOL_OFF, IDM_VOL_LOUDER, IDM_VOL_NORMAL, IDM_VOL_QUIETER, IDM_VOL_RANDOM},
                              {IDM_BREEZE, IDM_TYPHOON, IDM_FITFUL},
                              {IDM_HANG_WINDOW, IDM_HANG_FREE, IDM_HANG_FRONT}};
    std::string marks, grayed;
    for (const auto &group : groups) {
        for (int i = 0; i < 5 && group[i]; i++) {
            UINT state = GetMenuState(chimeMenu, group[i], MF_BYCOMMAND);
            marks += state & MF_CHECKED ? std::to_string(i) : "";
            grayed += state & MF_GRAYED ? "g" : "";
        }
        marks += " ";
    }
    return marks + grayed;
}

// The first apply and the first report of the process: the record of the
// groups applied starts empty once, and the log is replaced once.
TEST_F(Chime, AFirstApplyMarksEveryKnownValueAndWritesEachGroup)
{
    settings.posmode = 7;
    settings.snd_vol = 1;
    standIn.missing = "dsound.dll";
    ASSERT_TRUE(WriteFileBytes(L"supinfo.txt", "an earlier run's report\r\n"));
    ApplyMenuState(chimeWindow);
    EXPECT_EQ(Marks(), "1 1 2 2 0 ggggg") << "without DirectSound: normal volume, fitful wind";
    EXPECT_EQ(settings.snd_kbn, SOUND_SNDPLAY);
    EXPECT_EQ(File(), "[Runsts]\r\nwin_obj=1\r\nfrn_kan=1\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=7\r\n");
    EXPECT_EQ(File(L"supinfo.txt"), "LoadLibrary Failed (DSOUND.DLL)\r\n") << "the run's first report replaces the log";
    standIn.missing.clear();
    OnMenuCommand(chimeWindow, IDM_SENS_HIGH);
    EXPECT_EQ(Marks(), "1 2 2 2 0 ") << "the volume applied was from before the fallback: DirectSound again";
    EXPECT_EQ(settings.snd_kbn, SOUND_DIRECT);
}

TEST_F(Chime, FromFixedSeedsEachWindGustsAndRingsInItsOrder)
{
    settings.random0 = 160;
    settings.random2 = 40;
    for (const Gusts &g : GUSTS) {
        settings.win_obj = g.win_obj;
        settings.win_str = g.win_str;
        settings.frn_kan = g.frn_kan;
        settings.snd_vol = g.snd_vol;
        settings.snd_kbn = g.snd_kbn;
        settings.random1 = g.random1;
        for (Voice *sample : standIn.made)
            sample->cursor = g.steps[0] == 's' ? 4410 : 0;
        pose = swing_step = 0;
        trayIcon.hIcon = normalIcon;
        SeedRandom(g.seed);
        std::string trace;
        for (const char *step = g.steps + (g.steps[0] == 's'); *step; step++) {
            standIn.trace.clear();
            WindTick(*step == 'f', chimeWindow);
            trace += standIn.trace + (trayIcon.hIcon == alternativeIcon ? "*|" : "|");
        }
        EXPECT_EQ(trace, g.trace) << g.what;
        EXPECT_EQ(pose * 1000 + (int)RandomBelow(1000), g.pose * 1000 + g.next) << g.what;
    }
    // Every one of the 16 bits the draws take from the state.
    SeedRandom(1);
    EXPECT_EQ(RandomBelow(65536) * 100000 + RandomBelow(65536), 1683838526u);
    // The memory wind, its readings beyond 4 GB held where the test puts them on a
    // Windows 98 family without the Resource Meter, gusts beyond the
    // threshold only; with no idle flicker at the seventh tick.
    platformFamily = FAMILY_WIN9X;
    meterUnavailable = 1;
    settings.win_obj = settings.snd_vol = gust_reference = pose = swing_step = 0;
    settings.memory1 = 3;
    settings.frn_kan = 5; // medium
    SeedRandom(1);
    std::string poses;
    for (int reading : {4, 4, 4, 4, 4, 4, 7, 8}) {
        meterReading = reading + (1ULL << 32);
        WindTick(0, chimeWindow);
        poses += (char)('0' + pose);
    }
    EXPECT_EQ(poses + std::to_string(gust_reference), "12345001" "4294967304");
    platformFamily = FAMILY_NT;
    meterUnavailable = 0;
}

TEST_F(Chime, PressesGrabOnlyAFreeChimeByItsBellAndOtherwiseFanIt)
{
    const struct { BYTE posmode; const char *bell; bool hand; } modes[] = {
        {0, "fanned", false}, {1, "grabbed", true}, {2, "grabbed", true}, {7, "fanned", false}};
    SetCursorPos(316, 400); // where it rests: the chime moves under it
    ASSERT_TRUE(WaitFor([] { POINT at; return GetCursorPos(&at) && at.x == 316 && at.y == 400; }, 2000));
    for (const auto &mode : modes) {
        settings.posmode = mode.posmode;
        EXPECT_STREQ(Press(31), mode.bell) << "hang mode " << (int)mode.posmode;
        EXPECT_STREQ(Press(32), "fanned") << "hang mode " << (int)mode.posmode;
        // Resting on the bell shows the hand and writes the moved position.
        SetWindowPos(chimeWindow, NULL, 306, 368, 32, 64, SWP_NOZORDER);
        settings.Xpos = settings.Ypos = 0; // as a press may have stored them
        SendMessageA(chimeWindow, WM_SETCURSOR, (WPARAM)chimeWindow, 0);
        EXPECT_EQ(GetCursor() == handCursor, mode.hand) << "hang mode " << (int)mode.posmode;
        EXPECT_EQ(File(), mode.hand ? "[Winpos]\r\nXpos=306\r\nYpos=368\r\n" : "<missing>");
        DeleteFileW((folder + L"\\quillet.ini").c_str());
    }
    SetWindowPos(chimeWindow, NULL, 306, 367, 32, 64, SWP_NOZORDER);
    interactionState = FAN_PHASE_ONE;
    SendMessageA(chimeWindow, WM_SETCURSOR, (WPARAM)chimeWindow, 0);
    EXPECT_EQ(GetCursor(), fanCursor1) << "the strip shows the fan";
    // A window whose rectangle cannot be read gives no position.
    settings.posmode = 1;
    HWND gone = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    DestroyWindow(gone);
    OnSetCursor(gone);
    OnNcButtonDown(gone, WM_NCMBUTTONDOWN, HTCAPTION, 0);
    EXPECT_EQ(settings.Xpos * 1000 + settings.Ypos, 0);
    EXPECT_EQ(File(), "<missing>");
    // A fan click gives one stroke after the last press (hung on a window: no move loop).
    settings.snd_vol = settings.posmode = 0;
    EXPECT_EQ(SendMessageA(chimeWindow, WM_NCHITTEST, 0, MAKELPARAM(322, 377)), HTCAPTION);
    SendMessageA(chimeWindow, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    Pause(200);
    SendMessageA(chimeWindow, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    EXPECT_TRUE(WaitFor([] { return pose == 1; }, 2000)) << "one stroke";
    Pause(1000);
    EXPECT_EQ(pose, 1) << "and no more";
    // While the menu is open only fan strokes move the strip, not the wind.
    interactionState = MENU_OPEN;
    SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    EXPECT_EQ(pose, 1);
    SendMessageA(chimeWindow, WM_EXITMENULOOP, 0, 0);
    SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    EXPECT_EQ(pose, 2);
}

TEST_F(Chime, HangsOnTheForegroundWindowOrFreelyBackOnTheScreen)
{
    EXPECT_EQ(GetClassLongPtrA(chimeWindow, GCLP_HBRBACKGROUND), 4u) << "the class's background";
    HWND host = CreateWindowA("STATIC", "host", WS_POPUP | WS_VISIBLE, 100, 120, 300, 200, NULL, NULL, NULL, NULL);
    SetForegroundWindow(host);
    ASSERT_TRUE(WaitFor([host] { return GetForegroundWindow() == host; }, 2000));
    SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    RECT r;
    GetWindowRect(chimeWindow, &r);
    EXPECT_EQ(r.left * 1000 + r.top, 400120);
    EXPECT_TRUE(GetWindowLongA(chimeWindow, GWL_EXSTYLE) & WS_EX_TOPMOST);
    DestroyWindow(host);
    // A chime hung freely more than half beyond the screen comes back to its middle.
    for (int left : {-16, -17, 1008, 1009}) {
        SetWindowPos(chimeWindow, NULL, left, 300, 32, 64, SWP_NOZORDER);
        OnMenuCommand(chimeWindow, left % 2 ? IDM_HANG_FREE : IDM_HANG_FRONT);
        GetWindowRect(chimeWindow, &r);
        EXPECT_EQ(r.left * 1000 + r.top, left % 2 ? 496352 : left * 1000 + 300) << "from " << left;
    }
}

TEST_F(Chime, EachCommandSetsItsGroupAndWritesItOnce)
{
    const struct {
        UINT id;
        const char *marks, *written;
    } commands[] = {
        {IDM_WIND_MEMORY, "0 1 1 2 0 ", "win_obj=0"}, {IDM_SENS_LOW, "0 0 1 2 0 ", "frn_kan=0"},
        {IDM_SENS_LOW, "0 0 1 2 0 ", ""},             {IDM_TYPHOON, "0 0 1 1 0 ", "win_str=2"},
        {IDM_BREEZE, "0 0 1 0 0 ", "win_str=1"},      {IDM_VOL_QUIETER, "0 0 3 0 0 ", "snd_vol=3"},
        {IDM_VOL_OFF, "0 0 0 0 0 ", "snd_vol=0"},     {IDM_VOL_RANDOM, "0 0 4 0 0 ", "snd_vol=4"},
        {IDM_HANG_FRONT, "0 0 4 0 2 ", "posmode=2"},  {IDM_WIND_RANDOM, "1 0 4 0 2 ", "win_obj=1"},
    };
    settings.win_str = 3;
    OnMenuCommand(chimeWindow, IDM_VOL_LOUDER);
    for (const auto &command : commands) {
        DeleteFileW((folder + L"\\quillet.ini").c_str());
        EXPECT_EQ(OnMenuCommand(chimeWindow, command.id), 0);
        EXPECT_EQ(Marks(), command.marks) << command.id;
        // The volume's key is written under its own spelling of the section's name.
        std::string section = command.written[0] == 's' ? "[RunSts]\r\n" : "[Runsts]\r\n";
        EXPECT_EQ(File(), *command.written ? section + command.written + "\r\n" : "<missing>") << command.id;
        EXPECT_EQ(settings.snd_kbn, command.id == IDM_VOL_OFF ? SOUND_OFF : SOUND_DIRECT) << command.id;
    }
    EXPECT_EQ(standIn.devices, 1) << "DirectSound runs again after OFF";
    EXPECT_FALSE(IsMenuCommand(40007) || IsMenuCommand(40035));
    // Without its dialog the About box leaves the chime shown.
    appInstance = GetModuleHandleA("kernel32.dll");
    OnMenuCommand(chimeWindow, IDM_ABOUT);
    appInstance = GetModuleHandleA(NULL);
    EXPECT_EQ(aboutOpen * 10 + IsWindowVisible(chimeWindow), 1);
}

TEST(SettingsFile, EachKeyTakesItsValueOrItsDefault)
{
    const struct {
        const char *file;
        BYTE family;
        const char *loaded; // Xpos Ypos win_obj win_str frn_kan posmode snd_vol memory0-2 random0-2 sw
    } loads[] = {
        {"", FAMILY_WIN9X, "496 352 1 3 1 0 2 3 2 1 160 80 40 0"},
        {"[Winpos]\nXpos=-20\nYpos=7x\n[runsts]\nwin_str=259\nposmode=7\nsnd_kbn=0\n[Kand]\nrandom1=0\n[Debug]\nsw=1",
         FAMILY_NT, "-20 7 1 3 1 7 2 1048576 524288 262144 160 0 40 1"},
        {"[Kand]\nmemory0=50\nmemory1=7", FAMILY_NT, "496 352 1 3 1 0 2 1048576 524288 262144 160 80 40 0"},
        {"[Kand]\nmemory0=100\nmemory1=7", FAMILY_NT, "496 352 1 3 1 0 2 100 7 262144 160 80 40 0"},
        {"[Kand]\nmemory0=101\nmemory1=7", FAMILY_OTHER, "496 352 1 3 1 0 2 3 2 1 160 80 40 0"},
        {"[Kand]\nmemory0=100\nmemory1=7", FAMILY_WIN9X, "496 352 1 3 1 0 2 100 7 1 160 80 40 0"},
    };
    for (const auto &load : loads) {
        ASSERT_TRUE(SetCurrentDirectoryW(FreshFolder().c_str()));
        ASSERT_TRUE(!*load.file || WriteFileBytes(L"quillet.ini", load.file));
        platformFamily = load.family;
        LoadSettings();
        const Settings &s = settings;
        std::string loaded;
        for (int field : {s.Xpos, s.Ypos, (int)s.win_obj, (int)s.win_str, (int)s.frn_kan, (int)s.posmode,
                          (int)s.snd_vol, s.memory0, s.memory1, s.memory2, s.random0, s.random1, s.random2, (int)s.sw})
            loaded += (loaded.empty() ? "" : " ") + std::to_string(field);
        EXPECT_EQ(loaded, load.loaded) << load.file;
    }
    platformFamily = FAMILY_NT;
    std::wstring deep = FreshFolder() + L"\\";
    deep.resize(246, L'd'); // a folder whose name leaves no room for the file's
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), NULL) && SetCurrentDirectoryW(deep.c_str()));
    ASSERT_TRUE(WriteFileBytes(L"quillet.ini", "[Winpos]\nXpos=-20"));
    LoadSettings();
    EXPECT_EQ(settings.Xpos, 496) << "the settings live in memory only";
}

LRESULT CALLBACK RefuseWindows(int code, WPARAM, LPARAM) { return code == HCBT_CREATEWND; }

// The memory usage in the tip, the strip's gauge and the About box's lines.
// The NT family's line and the Direct mode's are the end-to-end test's.
TEST(Meter, TheUsedShareAndWhereItShows)
{
    const int levels[][2] = {{-5, -1}, {11, -1}, {12, 7}, {22, 7}, {23, 6}, {55, 4}, {88, 1}, {89, 0}, {100, 0}};
    for (const auto &level : levels)
        EXPECT_EQ(GaugeLevel(level[0]), level[1]) << level[0] << " %";
    const struct {
        BYTE family;
        int unavailable, usage;
        BYTE mode, sw;
        const char *lines;
    } abouts[] = {
        {FAMILY_WIN9X, 0, 37, SOUND_SNDPLAY, 2, "システムメモリ使用率：37％　|    Sound   ：  sndPlay"},
        {FAMILY_OTHER, 1, 0, SOUND_OFF, 1, "ステムメモリ使用率：不明　|    Sound   ：  OFF(DBG)"},
    };
    for (const auto &about : abouts) {
        platformFamily = about.family;
        meterUnavailable = about.unavailable;
        memoryUsage = about.usage;
        settings.snd_kbn = about.mode;
        settings.sw = about.sw;
        char memory[ABOUT_LINE_BYTES], sound[ABOUT_LINE_BYTES];
        FormatMemoryLine(memory);
        FormatSoundLine(sound);
        EXPECT_EQ(std::string(memory) + "|" + sound, about.lines);
    }
    EXPECT_EQ(UsageFromMemory(29, 100) * 1000 + UsageFromMemory(5, 0), 72000)
        << "the quotient and the product each in double precision; nothing of nothing";
    const struct {
        int usage, unavailable;
        const char *tip;
    } tips[] = {{-2, 0, "Quillet [メモリ使用率：-2％]"}, {-2, 1, "Quillet [メモリ使用率：-2％]"},
                {0, 1, "Quillet [メモリ使用率：不明]"}};
    for (const auto &tip : tips) {
        memoryUsage = tip.usage;
        meterUnavailable = tip.unavailable;
        RefreshTrayTip();
        EXPECT_STREQ(trayIcon.szTip, tip.tip) << "the tip changes with the figure only";
    }
    // The Windows 98 family's meter: without the Resource Meter, a box says so (refused here, as it would
    // wait for a click) and the memory wind is greyed; then on a stand-in of it.
    platformFamily = FAMILY_WIN9X;
    popupMenu = GetSubMenu(LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_CHIME_MENU)), 0);
    HHOOK noBox = SetWindowsHookExA(WH_CBT, RefuseWindows, NULL, GetCurrentThreadId());
    OpenMemoryMeter();
    UnhookWindowsHookEx(noBox);
    EXPECT_EQ(meterUnavailable * 10 + !!(GetMenuState(popupMenu, IDM_WIND_MEMORY, MF_BYCOMMAND) & MF_GRAYED), 11);
    meterUnavailable = 0;
    SetDllDirectoryW(BesideTests(L"rsrc32").c_str());
    OpenMemoryMeter();
    ReadMemoryMeter();
    EXPECT_EQ(memoryUsage * 1000 + (int)meterReading, 37037) << "63 % free";
    SetDllDirectoryW(NULL);
    platformFamily = FAMILY_NT;
}

} // namespace
