// The settings file on a real file system, through the platform's profile functions.
#include <gtest/gtest.h>
#include <windows.h>

#include <climits>
#include <cstring>
#include <string>

#include "settings/settings.h"
#include "tests/common/files.h"
#include "wind/wind.h"

namespace {

const std::string MISSING = "<missing>";

// Every test works in a fresh temporary folder of its own, made the current
// folder, with the record filled with garbage so that every field must be loaded.
class SettingsFile : public ::testing::Test {
protected:
    void SetUp() override
    {
        wchar_t path[MAX_PATH];
        GetCurrentDirectoryW(MAX_PATH, path);
        startFolder = path;
        GetTempPathW(MAX_PATH, path);
        folder = FreshFolderUnder(std::wstring(path) + L"quillet-settings");
        ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
        savedFamily = platformFamily;
        platformFamily = FAMILY_NT;
        memset(&settings, 0x5a, sizeof settings);
    }

    void TearDown() override
    {
        SetCurrentDirectoryW(startFolder.c_str());
        platformFamily = savedFamily;
    }

    // Writes a settings file of this text into a new subfolder, makes that the
    // current folder and loads. A new folder each time: the profile functions
    // cache a file by name and write time, which a quick rewrite may not change.
    std::wstring LoadFrom(const std::string &text)
    {
        std::wstring sub = folder + L"\\" + std::to_wstring(++loads);
        CreateDirectoryW(sub.c_str(), NULL);
        std::wstring ini = sub + L"\\quillet.ini";
        EXPECT_TRUE(WriteFileText(ini, text));
        EXPECT_TRUE(SetCurrentDirectoryW(sub.c_str()));
        LoadSettings();
        return ini;
    }

    std::wstring folder, startFolder;
    BYTE savedFamily = FAMILY_NT;
    int loads = 0;
};

std::string Utf16(const std::string &ascii)
{
    std::string wide = "\xFF\xFE";
    for (char c : ascii) {
        wide += c;
        wide += '\0';
    }
    return wide;
}

// What a save writes for the keys a test leaves at their defaults.
const std::string DEFAULT_RUNSTS = "[Runsts]\r\nwin_obj=1\r\nwin_str=3\r\nfrn_kan=1\r\nposmode=0\r\nsnd_vol=2\r\n";
const std::string DEFAULT_KAND = "[Kand]\r\nmemory0=1048576\r\nmemory1=524288\r\nmemory2=262144\r\n"
                                 "random0=160\r\nrandom1=80\r\nrandom2=40\r\n";

// The file's first bytes, as many as expected has.
std::string Head(const std::wstring &path, const std::string &expected)
{
    return FileText(path).substr(0, expected.size());
}

// Halving truncates toward zero, also on a screen narrower than the chime.
TEST(SettingsDefaults, CentreTheChimeOnTheScreen)
{
    EXPECT_EQ(CentredOrigin(1024, 32), 496);
    EXPECT_EQ(CentredOrigin(768, 64), 352);
    EXPECT_EQ(CentredOrigin(1023, 32), 495);
    EXPECT_EQ(CentredOrigin(31, 32), 0);
    EXPECT_EQ(CentredOrigin(29, 32), -1);
}

// The test bed's virtual desktop is 1024 by 768.
TEST_F(SettingsFile, WithoutAFileEveryKeyTakesItsDefaultAndNoFileIsMade)
{
    LoadSettings();
    EXPECT_EQ(settings.Xpos, 496);
    EXPECT_EQ(settings.Ypos, 352);
    EXPECT_EQ(settings.win_obj, 1);
    EXPECT_EQ(settings.win_str, 3);
    EXPECT_EQ(settings.frn_kan, 1);
    EXPECT_EQ(settings.posmode, 0);
    EXPECT_EQ(settings.snd_vol, 2);
    EXPECT_EQ(settings.snd_kbn, 2);
    EXPECT_EQ(settings.memory0, 1048576);
    EXPECT_EQ(settings.memory1, 524288);
    EXPECT_EQ(settings.memory2, 262144);
    EXPECT_EQ(settings.random0, 160);
    EXPECT_EQ(settings.random1, 80);
    EXPECT_EQ(settings.random2, 40);
    EXPECT_EQ(settings.sw, 0);
    EXPECT_EQ(CountFiles(folder), 0);
}

TEST_F(SettingsFile, ByteFieldsHoldTheLowEightBitsAndAreWrittenUnsigned)
{
    std::wstring ini = LoadFrom("[Runsts]\r\nwin_obj=0\r\nwin_str=259\r\nfrn_kan=-1\r\nposmode=7\r\n"
                                "snd_vol=258\r\nsnd_kbn=513\r\n[Debug]\r\nsw=256\r\n");
    EXPECT_EQ(settings.win_obj, 0);
    EXPECT_EQ(settings.win_str, 3);
    EXPECT_EQ(settings.frn_kan, 255);
    EXPECT_EQ(settings.posmode, 7);
    EXPECT_EQ(settings.snd_vol, 2);
    EXPECT_EQ(settings.snd_kbn, 1);
    EXPECT_EQ(settings.sw, 0);

    SaveSettings();
    EXPECT_EQ(FileText(ini), "[Runsts]\r\nwin_obj=0\r\nwin_str=3\r\nfrn_kan=255\r\nposmode=7\r\n"
                             "snd_vol=2\r\nsnd_kbn=513\r\n[Debug]\r\nsw=0\r\n"
                             "[Winpos]\r\nXpos=496\r\nYpos=352\r\n" +
                                 DEFAULT_KAND);
}

TEST_F(SettingsFile, RandomFiguresAreTakenAsTheyAre)
{
    LoadFrom("[Kand]\r\nrandom0=1\r\nrandom1=0\r\nrandom2=-40\r\n");
    EXPECT_EQ(settings.random0, 1);
    EXPECT_EQ(settings.random1, 0);
    EXPECT_EQ(settings.random2, -40);
}

TEST_F(SettingsFile, NegativePositionKeepsItsMinusSign)
{
    LoadSettings();
    settings.Xpos = -40;
    settings.Ypos = INT_MIN;
    SaveSettings();
    const std::string head = "[Winpos]\r\nXpos=-40\r\nYpos=-2147483648\r\n[Runsts]";
    EXPECT_EQ(Head(folder + L"\\quillet.ini", head), head);

    settings.Xpos = settings.Ypos = 0;
    LoadSettings();
    EXPECT_EQ(settings.Xpos, -40);
    EXPECT_EQ(settings.Ypos, INT_MIN);
}

// Only memory0 is tested, against 100, in the direction of the family.
TEST_F(SettingsFile, MemoryFiguresGoBackToTheFamilyDefaultsOnlyByMemoryZero)
{
    struct Case {
        BYTE family;
        const char *kand;
        int memory0, memory1, memory2;
    } cases[] = {
        {FAMILY_NT, "", 1048576, 524288, 262144},
        {FAMILY_NT, "memory0=50\r\nmemory1=7\r\nmemory2=9\r\n", 1048576, 524288, 262144},
        {FAMILY_NT, "memory0=99\r\n", 1048576, 524288, 262144},
        {FAMILY_NT, "memory0=100\r\nmemory1=7\r\n", 100, 7, 262144},
        {FAMILY_NT, "memory1=7\r\nmemory2=-3\r\n", 1048576, 7, -3},
        {FAMILY_WIN9X, "", 3, 2, 1},
        {FAMILY_WIN9X, "memory0=101\r\nmemory1=7\r\n", 3, 2, 1},
        {FAMILY_WIN9X, "memory0=100\r\nmemory1=7\r\nmemory2=9\r\n", 100, 7, 9},
        {FAMILY_WIN9X, "memory0=-5\r\nmemory1=5000\r\n", -5, 5000, 1},
        {FAMILY_OTHER, "", 3, 2, 1},
        {FAMILY_OTHER, "memory0=1048576\r\nmemory1=524288\r\n", 3, 2, 1},
    };
    for (const Case &c : cases) {
        SCOPED_TRACE(std::string("family ") + std::to_string(c.family) + ": " + c.kand);
        platformFamily = c.family;
        LoadFrom(std::string("[Kand]\r\n") + c.kand);
        EXPECT_EQ(settings.memory0, c.memory0);
        EXPECT_EQ(settings.memory1, c.memory1);
        EXPECT_EQ(settings.memory2, c.memory2);
    }
}

TEST_F(SettingsFile, FullSaveIntoAFreshFileWritesEveryKeyInOrder)
{
    LoadSettings();
    settings = {-5, 700, 11, 12, 13, 14, 15, 16, 1000, 2000, 3000, 170, 90, 50, 1};
    SaveSettings();
    EXPECT_EQ(FileText(folder + L"\\quillet.ini"),
              "[Winpos]\r\nXpos=-5\r\nYpos=700\r\n"
              "[Runsts]\r\nwin_obj=11\r\nwin_str=12\r\nfrn_kan=13\r\nposmode=14\r\nsnd_vol=15\r\n"
              "[Kand]\r\nmemory0=1000\r\nmemory1=2000\r\nmemory2=3000\r\nrandom0=170\r\nrandom1=90\r\nrandom2=50\r\n"
              "[Debug]\r\nsw=1\r\n");
}

TEST_F(SettingsFile, FullSaveLeavesTheSndKbnLineAsItWas)
{
    std::wstring ini = LoadFrom("[Runsts]\r\nsnd_kbn=7\r\nsnd_vol=1\r\n");
    EXPECT_EQ(settings.snd_kbn, 7);
    settings.snd_kbn = 4;
    settings.snd_vol = 3;
    SaveSettings();
    EXPECT_EQ(FileText(ini), "[Runsts]\r\nsnd_kbn=7\r\nsnd_vol=3\r\nwin_obj=1\r\nwin_str=3\r\nfrn_kan=1\r\nposmode=0\r\n"
                             "[Winpos]\r\nXpos=496\r\nYpos=352\r\n" +
                                 DEFAULT_KAND + "[Debug]\r\nsw=0\r\n");
}

TEST_F(SettingsFile, SavesIntoTheFileOfTheFolderCurrentAtLoad)
{
    std::wstring ini = LoadFrom("[Debug]\r\nsw=1\r\n");
    std::wstring other = folder + L"\\other";
    ASSERT_TRUE(CreateDirectoryW(other.c_str(), NULL));
    ASSERT_TRUE(SetCurrentDirectoryW(other.c_str()));
    settings.sw = 9;
    SaveSettings();
    EXPECT_EQ(FileText(other + L"\\quillet.ini"), MISSING);
    EXPECT_NE(FileText(ini).find("[Debug]\r\nsw=9\r\n"), std::string::npos);
}

// A folder of up to 243 characters and "\quillet.ini" fill the 256-byte name
// exactly. Longer folders, including those too long for the folder query
// itself, leave the settings in memory only: defaults, and nothing written anywhere.
TEST_F(SettingsFile, LongFolderNamesKeepTheSettingsInMemoryOnly)
{
    std::wstring fits = MakeFolderOfLength(folder, 243);
    ASSERT_FALSE(fits.empty());
    ASSERT_TRUE(SetCurrentDirectoryW(fits.c_str()));
    LoadSettings();
    SaveSettings();
    EXPECT_NE(FileText(fits + L"\\quillet.ini").find("sw=0"), std::string::npos);

    char windowsFolder[MAX_PATH];
    GetWindowsDirectoryA(windowsFolder, MAX_PATH);
    std::string stray = std::string(windowsFolder) + "\\quillet.ini";
    const std::string lying = "[Winpos]\r\nXpos=5\r\n";
    for (size_t length : {244, 254, 255, 258}) {
        SCOPED_TRACE(length);
        ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
        EmptyFolder(folder);
        std::wstring deep = MakeFolderOfLength(folder, length);
        ASSERT_FALSE(deep.empty());
        ASSERT_TRUE(WriteFileText(deep + L"\\quillet.ini", lying));
        ASSERT_TRUE(SetCurrentDirectoryW(deep.c_str()));

        LoadSettings();
        EXPECT_EQ(settings.Xpos, 496);
        settings.Xpos = 7;
        SaveSettings();
        WriteSetting("Debug", "sw", 1);
        EXPECT_EQ(settings.Xpos, 7);
        EXPECT_EQ(FileText(deep + L"\\quillet.ini"), lying);
        EXPECT_EQ(CountFiles(folder), 1);
        EXPECT_EQ(GetFileAttributesA(stray.c_str()), INVALID_FILE_ATTRIBUTES);
        EXPECT_EQ(GetProfileIntA("Winpos", "Xpos", 12345), 12345u) << "written into win.ini";
    }
}

TEST_F(SettingsFile, BinaryJunkHidesOnlyTheLinesItCovers)
{
    LoadFrom("[Winpos]\r\nXpos=5\r\n" + BinaryJunk(4096) + "\r\n[Debug]\r\nsw=1\r\n");
    EXPECT_EQ(settings.Xpos, 5);
    EXPECT_EQ(settings.Ypos, 352);
    EXPECT_EQ(settings.win_str, 3);
    EXPECT_EQ(settings.sw, 1);
}

TEST_F(SettingsFile, Utf8ByteOrderMarkIsReadOverAndKept)
{
    std::wstring ini = LoadFrom("\xEF\xBB\xBF[Winpos]\r\nXpos=100\r\n[Debug]\r\nsw=1\r\n");
    EXPECT_EQ(settings.Xpos, 100);
    EXPECT_EQ(settings.sw, 1);
    settings.Ypos = 9;
    SaveSettings();
    EXPECT_EQ(FileText(ini),
              "\xEF\xBB\xBF[Winpos]\r\nXpos=100\r\nYpos=9\r\n[Debug]\r\nsw=1\r\n" + DEFAULT_RUNSTS + DEFAULT_KAND);
}

TEST_F(SettingsFile, Utf16FileIsReadAndStaysUtf16)
{
    std::wstring ini = LoadFrom(Utf16("[Winpos]\r\nXpos=100\r\n[Debug]\r\nsw=1\r\n"));
    EXPECT_EQ(settings.Xpos, 100);
    EXPECT_EQ(settings.sw, 1);
    settings.Ypos = 9;
    SaveSettings();
    EXPECT_EQ(FileText(ini),
              Utf16("[Winpos]\r\nXpos=100\r\nYpos=9\r\n[Debug]\r\nsw=1\r\n" + DEFAULT_RUNSTS + DEFAULT_KAND));
}

// A line without "=" is no key; a value without digits reads as 0.
TEST_F(SettingsFile, LinesWithoutEqualsSignsAreNoKeys)
{
    LoadFrom("[Runsts]\r\nwin_obj\r\nwin_str=0\r\njust some words\r\nfrn_kan 5\r\nposmode=1\r\nsnd_vol=abc\r\n");
    EXPECT_EQ(settings.win_obj, 1);
    EXPECT_EQ(settings.win_str, 0);
    EXPECT_EQ(settings.frn_kan, 1);
    EXPECT_EQ(settings.posmode, 1);
    EXPECT_EQ(settings.snd_vol, 0);
}

// The profile functions keep the low 32 bits of a longer number.
TEST_F(SettingsFile, NumbersBeyondThirtyTwoBitsWrapAround)
{
    LoadFrom("[Winpos]\r\nXpos=4294967298\r\nYpos=-4294967297\r\n[Runsts]\r\nwin_str=4294967555\r\n"
             "[Kand]\r\nmemory0=4294967396\r\nrandom0=2147483648\r\nrandom1=99999999999999999999\r\n");
    EXPECT_EQ(settings.Xpos, 2);
    EXPECT_EQ(settings.Ypos, -1);
    EXPECT_EQ(settings.win_str, 3);
    EXPECT_EQ(settings.memory0, 100);
    EXPECT_EQ(settings.random0, INT_MIN);
    EXPECT_EQ(settings.random1, 1661992959);
}

TEST_F(SettingsFile, TenMegabyteFileIsReadToItsEnd)
{
    LoadFrom("[Winpos]\r\nXpos=100\r\n[Filler]\r\n" + FillerLines(10 << 20) + "[Debug]\r\nsw=1\r\n");
    EXPECT_EQ(settings.Xpos, 100);
    EXPECT_EQ(settings.Ypos, 352);
    EXPECT_EQ(settings.sw, 1);
}

// Tests run as root, whom permission bits do not stop; a handle that shares
// nothing makes every write fail instead.
TEST_F(SettingsFile, WritesToALockedFileFailSilentlyAndMemoryKeepsTheValues)
{
    const std::string original = "[Winpos]\r\nXpos=100\r\nYpos=200\r\n";
    std::wstring ini = LoadFrom(original);
    HANDLE lock = CreateFileW(ini.c_str(), GENERIC_READ | GENERIC_WRITE, 0, NULL, OPEN_EXISTING, 0, NULL);
    ASSERT_NE(lock, INVALID_HANDLE_VALUE);
    settings.Xpos = 300;
    settings.sw = 1;
    SaveSettings();
    WriteSetting("Debug", "sw", 2);
    CloseHandle(lock);
    EXPECT_EQ(settings.Xpos, 300);
    EXPECT_EQ(settings.sw, 1);
    EXPECT_EQ(FileText(ini), original);

    // With the file free again the next save writes what memory held.
    SaveSettings();
    const std::string head = "[Winpos]\r\nXpos=300\r\nYpos=200\r\n";
    EXPECT_EQ(Head(ini, head), head);
}

} // namespace
