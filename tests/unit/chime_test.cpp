// The chime's own code in this process: the wind from fixed seeds, the chime window's procedure, the
// menu's commands and marks with the sound mode each volume brings, the settings file's load (its save
// is the end-to-end test's), the About box's lines and the memory meter.
#include "about/about.h"
#include "tests/unit/standin.h"

namespace {
// The checked items of the menu, then the grayed ones, by their captions in the order of their commands.
std::string Marks(HMENU menu = chimeMenu)
{
    std::string checked, grayed;
    for (UINT id = IDM_WIND_MEMORY; id <= IDM_VOL_OFF; id++) {
        UINT state = GetMenuState(menu, id, MF_BYCOMMAND);
        wchar_t caption[32] = L"";
        GetMenuStringW(menu, id, caption, 32, MF_BYCOMMAND);
        checked += state != (UINT)-1 && state & MF_CHECKED ? " " + Utf8(caption) : "";
        grayed += state != (UINT)-1 && state & MF_GRAYED ? " " + Utf8(caption) : "";
    }
    return "checked:" + checked + (grayed.empty() ? "" : "; grayed:" + grayed);
}

// steps: t an animation tick, f a fan stroke; s first: every sample is still sounding. trace: per step, what
// rang (k:v-1200 sample k's volume set to -1200, k:p37 its pan to 37, k:play0 it played; wave155 the simple
// call played resource 155), the pose, * while the tray holds the other icon, and |; then RandomBelow(1000).
struct Gusts {
    const char *what;
    BYTE win_obj, win_str, frn_kan, snd_vol, snd_kbn;
    int random0, random1, random2;
    unsigned seed;
    const char *steps, *trace;
};

const Gusts GUSTS[] = {
    {"a typhoon rings every step", 1, 2, 1, 2, 2, 160, 1, 40, 1, "tttttt",
     "1|2:v-1200 2:p83 2:play0 2*|3:v-1200 3:p0 3:play0 3|2:v-1200 2:p180 2:play0 4*|2:v-1200 2:p167 2:play0 5|0|84"},
    {"a sample still sounding keeps its volume", 1, 2, 1, 2, 2, 160, 1, 40, 1, "stt", "1|2:p113 2:play0 2*|283"},
    {"a breeze", 1, 1, 1, 1, 2, 160, 1, 40, 5, "tttttt", "1|5:v-1 5:p0 5:play0 2*|3|1:v-1 1:p0 1:play0 4*|5|0|435"},
    {"a fitful wind at random volume", 1, 3, 1, 4, 2, 160, 1, 40, 9, "tttttt",
     "1|2*|6:v-1800 6:p0 6:play0 3|6:v-1500 6:p0 6:play0 4*|3:v-300 3:p0 3:play0 5|0|479"},
    {"the range's draw decides the gust", 1, 2, 2, 3, 2, 160, 40, 40, 3, "tttttttttt",
     "0|1|1|1|1|3:v-2100 3:p0 3:play0 2*|2:v-2100 2:p33 2:play0 3|1:v-1800 1:p0 1:play0 4*|"
     "0:v-1800 0:p-19 0:play0 5|0|608"},
    {"a sensitivity beyond the table is medium", 1, 2, 7, 2, 2, 160, 1, 40, 3, "tt", "1|3:v-1200 3:p0 3:play0 2*|80"},
    {"a range below 1 counts as 1", 1, 2, 1, 2, 2, 160, 0, 40, 11, "tt", "1|0:v-1200 0:p-68 0:play0 2*|672"},
    {"an unknown kind never gusts but always rings", 1, 9, 1, 2, 2, 160, 1, 40, 2, "ttftt",
     "0|0|3:v-1200 3:p1 3:play0 1*|0:v-900 0:p-65 0:play0 2|0:v-900 0:p-99 0:play0 3*|5"},
    {"fan strokes at rest and swinging", 1, 2, 1, 2, 2, 160, 1000, 40, 4, "ftff",
     "5:v-900 5:p1 5:play0 1*|3:v-1200 3:p0 3:play0 2|1:v-900 1:p0 1:play0 3*|4:v-1200 4:p1 4:play0 4|250"},
    {"a fan stroke at the last pose stays there", 1, 2, 1, 2, 2, 160, 1, 40, 6, "ttttff",
     "1|3:v-900 3:p0 3:play0 2*|0:v-900 0:p-33 0:play0 3|1:v-1200 1:p0 1:play0 4*|1:v-900 1:p0 1:play0 5|"
     "3:v-1200 3:p1 3:play0 5*|974"},
    {"with the volume off nothing is drawn to ring", 1, 2, 1, 0, 9, 160, 1, 40, 1, "tttttt", "1|2*|3|4*|5|0|526"},
    {"another sound mode draws but plays nothing", 1, 2, 1, 2, 0, 160, 1, 40, 1, "tttttt", "1|2*|3|4*|5|0|395"},
    {"the simple call plays a voice drawn at each ring", 1, 2, 1, 2, 1, 160, 1, 40, 2, "tttttt",
     "1|wave155 2*|wave153 3|wave154 4*|wave158 5|0|299"},
    // The odds of a gust: a number drawn from 1 to the range that divides the kind's divisor, at each
    // sensitivity and for each kind that a random wind can blow; the other ranges would gust at once.
    {"a breeze at low sensitivity", 1, 1, 0, 0, 2, 160, 1, 1, 267, "tttttttttttt", "0|0|1|2*|3|4*|5|0|1|1|1|2*|459"},
    {"a breeze at high sensitivity", 1, 1, 2, 0, 2, 1, 1, 40, 240, "tttttttttttt", "0|0|0|0|1|2*|3|4*|5|0|0|1|327"},
    {"a fitful wind at medium sensitivity", 1, 3, 1, 0, 2, 1, 80, 1, 230, "tttttttttttt", "0|0|0|1|2*|3|4*|5|0|0|0|0|986"},
    {"at rest the strip stirs on one tick in ten", 5, 2, 1, 0, 2, 1, 1, 1, 3, "tttttttttttt", "0|0|0|1|0|0|0|0|1|1|1|1|933"},
};

// The chime window, its timer stopped: the test sends the ticks. One menu for all, as the groups' record lasts.
class ChimeInProcess : public FreshFolderAndStandIn {
protected:
    static void SetUpTestSuite()
    {
        appInstance = GetModuleHandleA(NULL);
        chimeMenu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_CHIME_MENU));
        handCursor = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDCUR_HAND));
        fanCursor1 = LoadCursorA(appInstance, MAKEINTRESOURCEA(IDCUR_FAN1));
        RegisterChimeClass();
    }
    void SetUp() override
    {
        FreshFolderAndStandIn::SetUp();
        LoadSettings(true);
        settings.win_str = 2;
        settings.random1 = 1; // a gust at every tick at rest
        chimeWindow = CreateWindowExA(0, "Quillet", "", WS_POPUP | WS_VISIBLE, 300, 200, 32, 64, 0, 0, appInstance, 0);
        ASSERT_NE(chimeWindow, nullptr);
        ASSERT_EQ(GetClassLongPtrA(chimeWindow, GCLP_HBRBACKGROUND), 4u) << "the inactive caption's colour";
        KillTimer(chimeWindow, 1);
        pose = swing_step = interactionState = 0;
    }
    void TearDown() override
    {
        DestroyWindow(chimeWindow);
        MSG left; // its quit message, and what a test posted
        while (PeekMessageA(&left, NULL, 0, 0, PM_REMOVE)) {}
        FreshFolderAndStandIn::TearDown();
    }
    // Each group applied twice, whatever came before: random, typhoon, louder, medium, on a window.
    void ApplyEachGroup()
    {
        for (UINT id : {IDM_WIND_MEMORY, IDM_WIND_RANDOM, IDM_SENS_LOW, IDM_SENS_MEDIUM, IDM_BREEZE, IDM_TYPHOON,
                        IDM_VOL_NORMAL, IDM_VOL_LOUDER, IDM_HANG_FREE, IDM_HANG_WINDOW})
            OnMenuCommand(chimeWindow, id, 0);
    }
    // A press on the row, the cursor resting at (316, 400): grabbed, fanned or nothing. The middle button presses
    // as the left does, but the default procedure starts no move loop for it, which would wait for a release.
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

// The wind on its own, with the seven samples on the stand-in device.
using Wind = FreshFolderAndStandIn;
TEST_F(Wind, FromFixedSeedsEachWindGustsAndRingsInItsOrder)
{
    ASSERT_EQ(StartDirectSound(NULL), 0);
    for (const Gusts &g : GUSTS) {
        Settings &s = settings;
        s.win_obj = g.win_obj, s.win_str = g.win_str, s.frn_kan = g.frn_kan, s.snd_vol = g.snd_vol;
        s.snd_kbn = g.snd_kbn, s.random0 = g.random0, s.random1 = g.random1, s.random2 = g.random2;
        for (Voice *sample : standIn.made)
            sample->cursor = g.steps[0] == 's' ? 4410 : 0;
        pose = swing_step = alternativeTrayIcon = 0;
        SeedRandom(g.seed);
        std::string trace;
        for (const char *step = g.steps + (g.steps[0] == 's'); *step; step++) {
            standIn.trace.clear();
            WindTick(*step == 'f' ? CAUSE_FAN : CAUSE_ANIMATION);
            trace += standIn.trace + std::to_string(pose) + (alternativeTrayIcon ? "*|" : "|");
        }
        EXPECT_EQ(trace + std::to_string(RandomBelow(1000)), g.trace) << g.what;
    }
    // The memory wind, its readings beyond 4 GB held where the test puts them (Windows 98 without the
    // Resource Meter), gusts only beyond the threshold of the medium sensitivity, as one beyond the table.
    platformFamily = FAMILY_WIN9X, meterUnavailable = 1;
    settings.win_obj = settings.snd_vol = gust_reference = pose = swing_step = 0;
    settings.memory1 = 3, settings.frn_kan = 5;
    SeedRandom(1);
    std::string poses;
    for (int reading : {4, 4, 4, 4, 4, 4, 7, 8}) {
        meterReading = reading + (1ULL << 32);
        WindTick(CAUSE_ANIMATION);
        poses += (char)('0' + pose);
    }
    EXPECT_EQ(poses + " gust at " + std::to_string(gust_reference), "12345001 gust at 4294967304");
    platformFamily = FAMILY_NT, meterUnavailable = 0;
}

// A free chime's bell is grabbed, showing the hand; elsewhere a press fans. The drag's file is end to end.
TEST_F(ChimeInProcess, PressesGrabOnlyAFreeChimeByItsBellAndOtherwiseFanIt)
{
    SetCursorPos(316, 400); // where it rests: the chime moves under it
    ASSERT_TRUE(WaitFor([] { POINT at; return GetCursorPos(&at) && at.x == 316 && at.y == 400; }, 2000));
    for (BYTE mode : {0, 1, 2, 7}) {
        settings.posmode = mode;
        bool free = mode == 1 || mode == 2;
        EXPECT_EQ(std::string(Press(31)) + " " + Press(32), free ? "grabbed fanned" : "fanned fanned") << (int)mode;
        SetWindowPos(chimeWindow, NULL, 306, 368, 32, 64, SWP_NOZORDER);
        settings.Xpos = settings.Ypos = 0; // as a press may have stored them
        SendMessageA(chimeWindow, WM_SETCURSOR, (WPARAM)chimeWindow, 0);
        EXPECT_EQ(GetCursor() == handCursor, free) << "hang mode " << (int)mode;
    }
    // A window whose rectangle cannot be read gives no position.
    DeleteFileW((folder + L"\\quillet.ini").c_str());
    HWND gone = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    DestroyWindow(gone);
    OnSetCursor(gone);
    OnNcButtonDown(gone, WM_NCMBUTTONDOWN, HTCAPTION, 0);
    EXPECT_EQ(Values(settings.Xpos, settings.Ypos) + File(), "0 0<missing>");
}

BOOL WINAPI CursorUnknown(LPPOINT) { return FALSE; }
void CALLBACK EndAnyMenu(HWND, UINT, UINT_PTR, DWORD) { EndMenu(); }

// On Windows the cursor cannot be read while another desktop has the input.
TEST_F(ChimeInProcess, WhereTheCursorCannotBeReadPressesAndARestingCursorChangeNothing)
{
    settings.posmode = 0;
    SetCursor(NULL);
    UINT_PTR ender = SetTimer(NULL, 0, 200, EndAnyMenu); // a menu shown all the same would wait for a click
    PostMessageA(chimeWindow, WM_RBUTTONUP, 0, 0); // and the default procedure, for the button's release
    void *real = ReplaceImport("user32.dll", "GetCursorPos", (void *)CursorUnknown);
    ASSERT_NE(real, nullptr);
    for (UINT press : {WM_SETCURSOR, WM_NCLBUTTONDOWN, WM_NCRBUTTONDOWN})
        SendMessageA(chimeWindow, press, press == WM_SETCURSOR ? (WPARAM)chimeWindow : HTCAPTION, 0);
    ReplaceImport("user32.dll", "GetCursorPos", real);
    KillTimer(NULL, ender);
    EXPECT_EQ(GetCursor(), nullptr) << "the cursor changed";
    EXPECT_EQ(interactionState, FAN_PHASE_ONE) << "fanned, or a menu opened";
}

TEST_F(ChimeInProcess, AFanClickGivesOneStrokeAndOnlyStrokesMoveTheStripWhileTheMenuIsOpen)
{
    settings.snd_vol = settings.posmode = 0; // hung on a window: no move loop
    SendMessageA(chimeWindow, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    Pause(200);
    SendMessageA(chimeWindow, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    EXPECT_EQ(standIn.timers, "1 192 3 384 3 384 ") << "timer, milliseconds: the tick's, then each click's stroke's";
    EXPECT_TRUE(WaitFor([] { return pose == 1; }, 2000)) << "one stroke after the last click";
    Pause(1000);
    EXPECT_EQ(pose, 1) << "and no more";
    interactionState = MENU_OPEN;
    SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    EXPECT_EQ(pose, 1) << "the wind blows while the menu is open";
    SendMessageA(chimeWindow, WM_EXITMENULOOP, 0, 0);
    SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    EXPECT_EQ(pose, 2);
    popupMenu = NULL; // a menu that cannot be shown
    ShowChimeMenu(chimeWindow);
    SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    EXPECT_EQ(pose, 3) << "the wind stays still after a menu that never showed";
    standIn.noShapes = true;
    SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    RECT box;
    EXPECT_NE(GetWindowRgnBox(chimeWindow, &box), ERROR) << "a shape that cannot be made removed the shape";
}

// The memory DCs and shapes of the swings' paints are all let go, whatever the menu's choices.
TEST_F(ChimeInProcess, SwingsAndMenuChoicesGiveBackEveryGdiObjectTheyTake)
{
    for (UINT id : {IDM_VOL_OFF, IDM_VOL_LOUDER, IDM_HANG_FREE, IDM_HANG_WINDOW})
        OnMenuCommand(chimeWindow, id, 0);
    for (int tick = 0; tick < 12; tick++, UpdateWindow(chimeWindow))
        SendMessageA(chimeWindow, WM_TIMER, 1, 0);
    EXPECT_EQ(standIn.gdi, 0) << "memory DCs and shapes made, less those deleted or handed to the window";
}

// A free chime more than half beyond the screen comes back to its middle; one hung on a window follows it.
TEST_F(ChimeInProcess, EachHangModePutsTheChimeInItsBandAndPlace)
{
    const struct { int left; UINT command; const char *place; } moves[] = {
        {-16, IDM_HANG_FRONT, "-16 300 in front"}, {-17, IDM_HANG_FREE, "496 352"},
        {1008, IDM_HANG_FRONT, "1008 300 in front"}, {1009, IDM_HANG_FREE, "496 352"}};
    for (const auto &move : moves) {
        SetWindowPos(chimeWindow, NULL, move.left, 300, 32, 64, SWP_NOZORDER);
        OnMenuCommand(chimeWindow, move.command, 0);
        RECT r;
        GetWindowRect(chimeWindow, &r);
        bool front = GetWindowLongW(chimeWindow, GWL_EXSTYLE) & WS_EX_TOPMOST;
        EXPECT_EQ(Values(r.left, r.top) + (front ? " in front" : ""), move.place) << "from " << move.left;
    }
    HWND host = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 100, 120, 300, 200, 0, 0, 0, 0);
    SetForegroundWindow(host);
    OnMenuCommand(chimeWindow, IDM_HANG_WINDOW, 0);
    for (int left : {100, 250}) {
        SetWindowPos(host, NULL, left, left + 20, 300, 200, SWP_NOZORDER);
        SendMessageA(chimeWindow, WM_TIMER, 1, 0);
        RECT r;
        GetWindowRect(chimeWindow, &r);
        EXPECT_EQ(Values(r.left, r.top), Values(left + 300, left + 20)) << "on the window in front's top right";
    }
    DestroyWindow(host);
}

std::string SoundState()
{
    return (settings.snd_kbn == SOUND_DIRECT ? "Direct" : settings.snd_kbn == SOUND_OFF ? "OFF" : "other") +
           std::string(standIn.devices ? ", device open" : ", no device");
}

TEST_F(ChimeInProcess, EachCommandSetsItsGroupAndWritesItOnce)
{
    // The marks in the order of the commands: wind source, sensitivity, hang mode, wind kind, volume.
    const struct { UINT id; const char *marks, *written, *sound; } commands[] = {
        {IDM_WIND_MEMORY, u8"メモリ 中 窓に吊るす 台風 大きめ", "[Runsts]\r\nwin_obj=0\r\n", "Direct"},
        {IDM_SENS_LOW, u8"メモリ 低 窓に吊るす 台風 大きめ", "[Runsts]\r\nfrn_kan=0\r\n", "Direct"},
        {IDM_SENS_LOW, u8"メモリ 低 窓に吊るす 台風 大きめ", "<missing>", "Direct"},
        {IDM_BREEZE, u8"メモリ 低 窓に吊るす そよ風 大きめ", "[Runsts]\r\nwin_str=1\r\n", "Direct"},
        {IDM_VOL_QUIETER, u8"メモリ 低 窓に吊るす そよ風 小さめ", "[RunSts]\r\nsnd_vol=3\r\n", "Direct"},
        {IDM_VOL_OFF, u8"メモリ 低 窓に吊るす そよ風 OFF", "[RunSts]\r\nsnd_vol=0\r\n", "OFF, no device"},
        {IDM_VOL_RANDOM, u8"メモリ 低 窓に吊るす そよ風 ランダム", "[RunSts]\r\nsnd_vol=4\r\n", "Direct"},
        {IDM_HANG_FRONT, u8"メモリ 低 常に前面に自由に吊るす そよ風 ランダム", "[Runsts]\r\nposmode=2\r\n", "Direct"},
        {IDM_WIND_RANDOM, u8"ランダム 低 常に前面に自由に吊るす そよ風 ランダム", "[Runsts]\r\nwin_obj=1\r\n", "Direct"},
    };
    ApplyEachGroup();
    for (const auto &command : commands) {
        DeleteFileW((folder + L"\\quillet.ini").c_str());
        OnMenuCommand(chimeWindow, command.id, 0);
        EXPECT_EQ(Marks() + " | " + File() + " | " + SoundState(),
                  "checked: " + std::string(command.marks) + " | " + command.written + " | " + command.sound +
                      (command.id == IDM_VOL_OFF ? "" : ", device open"))
            << "after command " << command.id;
    }
    // Without its dialog the About box leaves the chime shown.
    appInstance = GetModuleHandleA("kernel32.dll");
    OnMenuCommand(chimeWindow, IDM_ABOUT, 0);
    appInstance = GetModuleHandleA(NULL);
    EXPECT_TRUE(IsWindowVisible(chimeWindow));
}

// Without DirectSound the menu offers only what the simple sound call plays; the next choice, whatever
// it is, tries DirectSound again. A hang mode it does not know leaves the menu's own mark.
TEST_F(ChimeInProcess, WithoutDirectSoundTheMenuOffersTheNormalVolumeAndTheFitfulWind)
{
    ApplyEachGroup();
    chimeMenu = LoadMenuA(appInstance, MAKEINTRESOURCEA(IDR_CHIME_MENU));
    settings.win_obj = 0, settings.frn_kan = 2, settings.snd_vol = 3, settings.posmode = 7;
    standIn.missing = "dsound.dll";
    DeleteFileW((folder + L"\\quillet.ini").c_str());
    ApplyMenuState(chimeWindow);
    EXPECT_EQ(Marks(), u8"checked: メモリ 高 窓に吊るす 気まぐれ風 普通; grayed: そよ風 台風 大きめ 小さめ ランダム");
    EXPECT_EQ(settings.snd_kbn, SOUND_SNDPLAY);
    EXPECT_EQ(File(), "[Runsts]\r\nwin_obj=0\r\nfrn_kan=2\r\nsnd_vol=2\r\nwin_str=3\r\nposmode=7\r\n");
    standIn.missing.clear();
    OnMenuCommand(chimeWindow, IDM_SENS_MEDIUM, 0);
    EXPECT_EQ(Marks() + " | " + SoundState(), u8"checked: メモリ 中 窓に吊るす 気まぐれ風 普通 | Direct, device open");
}

TEST(SettingsFile, EachKeyTakesItsValueOrItsDefault)
{
    // loaded: Xpos Ypos win_obj win_str frn_kan posmode snd_vol memory0-2 random0-2 sw
    const struct { const char *file; BYTE family; const char *loaded; } loads[] = {
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
        LoadSettings(load.family == FAMILY_NT);
        const Settings &s = settings;
        EXPECT_EQ(Values(s.Xpos, s.Ypos, s.win_obj, s.win_str, s.frn_kan, s.posmode, s.snd_vol, s.memory0, s.memory1,
                         s.memory2, s.random0, s.random1, s.random2, s.sw),
                  load.loaded)
            << load.file;
    }
    std::wstring deep = FreshFolder() + L"\\";
    deep.resize(246, L'd'); // a folder whose name leaves no room for the file's
    ASSERT_TRUE(CreateDirectoryW(deep.c_str(), NULL) && SetCurrentDirectoryW(deep.c_str()));
    ASSERT_TRUE(WriteFileBytes(L"quillet.ini", "[Winpos]\nXpos=-20"));
    LoadSettings(true);
    EXPECT_EQ(settings.Xpos, 496) << "the settings live in memory only";
}

// The usage in the strip's gauge, the About box's lines and the tip; the meters' own figures are end to end.
TEST(Meter, TheShareInUseIsReckonedInDoublePrecisionAndTheGaugeFallsAsItRises)
{
    EXPECT_EQ(Values(UsageFromMemory(29, 100), UsageFromMemory(5, 0)), "72 0") << "each step in double; 0 of 0";
    const int levels[][2] = {{-5, -1}, {11, -1}, {12, 7}, {22, 7}, {23, 6}, {55, 4}, {88, 1}, {89, 0}, {100, 0}};
    for (const auto &level : levels)
        EXPECT_EQ(GaugeLevel(level[0]), level[1]) << level[0] << " %";
}

// The tip changes with the figure only; an icon added anew shows its figure, whatever it is.
TEST(Meter, TheAboutBoxAndTheTipShowTheShareInUse)
{
    const struct { BYTE family; int unavailable, usage; BYTE mode, sw; const char *lines; } abouts[] = {
        {FAMILY_WIN9X, 0, 37, SOUND_SNDPLAY, 2, "システムメモリ使用率：37％　|    Sound   ：  sndPlay"},
        {FAMILY_OTHER, 1, 0, SOUND_OFF, 1, "ステムメモリ使用率：不明　|    Sound   ：  OFF(DBG)"},
    };
    for (const auto &about : abouts) {
        platformFamily = about.family, meterUnavailable = about.unavailable, memoryUsage = about.usage;
        settings.snd_kbn = about.mode, settings.sw = about.sw;
        char memory[ABOUT_LINE_BYTES], sound[ABOUT_LINE_BYTES];
        FormatMemoryLine(memory);
        FormatSoundLine(sound);
        EXPECT_EQ(std::string(memory) + "|" + sound, about.lines);
    }
    const struct { int usage, unavailable; bool added; const char *tip; } tips[] = {
        {-2, 0, false, "Quillet [メモリ使用率：-2％]"}, {-2, 1, false, "Quillet [メモリ使用率：-2％]"},
        {0, 1, false, "Quillet [メモリ使用率：不明]"}, {-1, 0, false, "Quillet [メモリ使用率：-1％]"},
        {-1, 0, true, "Quillet [メモリ使用率：-1％]"}};
    for (const auto &tip : tips) {
        meterUnavailable = tip.unavailable;
        if (tip.added)
            AddTrayIcon(NULL);
        RefreshTrayTip(tip.usage);
        EXPECT_STREQ(trayIcon.szTip, tip.tip) << tip.usage << (tip.added ? " anew" : "");
    }
    platformFamily = FAMILY_NT, meterUnavailable = 0;
}

LRESULT CALLBACK RefuseWindows(int code, WPARAM, LPARAM) { return code == HCBT_CREATEWND; }

// A box says so (refused here: it would wait for a click) and the memory wind is greyed.
TEST(Meter, Windows98WithoutTheResourceMeterCannotBlowTheMemoryWind)
{
    platformFamily = FAMILY_WIN9X;
    popupMenu = GetSubMenu(LoadMenuA(GetModuleHandleA(NULL), MAKEINTRESOURCEA(IDR_CHIME_MENU)), 0);
    HHOOK noBox = SetWindowsHookExA(WH_CBT, RefuseWindows, NULL, GetCurrentThreadId());
    TellMeterMissing(OpenMemoryMeter());
    UnhookWindowsHookEx(noBox);
    EXPECT_TRUE(meterUnavailable);
    EXPECT_EQ(Marks(popupMenu), u8"checked: 中 窓に吊るす そよ風 普通; grayed: メモリ");
    platformFamily = FAMILY_NT, meterUnavailable = 0;
}

} // namespace
