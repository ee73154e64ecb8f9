// Fan strokes on the running program for tests/e2e/fan-heard, which records
// the audio server's null sink meanwhile and tells what was heard: here the
// stroke is made and seen on the strip, there it is listened to.
#include <gtest/gtest.h>
#include <windows.h>

#include "resources/resource.h"
#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/e2e/driver.h"

namespace {

class Recorded : public ::testing::Test {
protected:
    void TearDown() override { Dispose(chime); }

    // A chime without wind (no source), free on the screen: one fan click on
    // its strip, the swing it starts, and Exit once the sound has faded.
    void FanOnce(const char *ini)
    {
        HWND window = StartWithSettings(&chime, ini);
        ASSERT_NE(window, nullptr);
        std::vector<Picture> poses = ChimePictures(QuilletExePath());
        RECT r;
        GetWindowRect(window, &r);
        PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left + 15, r.top + 50));
        bool swung = false;
        for (DWORD start = GetTickCount(); !swung && GetTickCount() - start < 2000; Sleep(5))
            swung = PoseOfWindowShape(window, poses) >= 2;
        EXPECT_TRUE(swung) << "the fan stroke did not start a swing";
        PumpFor(2000);
        PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
        EXPECT_EQ(WaitForExit(chime), 0u);
    }

    static bool DirectSoundLoads()
    {
        HMODULE dsound = LoadLibraryA("dsound.dll");
        if (dsound)
            FreeLibrary(dsound);
        return dsound != NULL;
    }

    Chime chime;
};

TEST_F(Recorded, FanStrokeWithTheSimpleSound)
{
    ASSERT_FALSE(DirectSoundLoads()) << "dsound.dll must be switched off for this case";
    FanOnce("[Runsts]\r\nwin_obj=5\r\nposmode=1\r\n");
}

TEST_F(Recorded, FanStrokeWithTheVolumeOff)
{
    ASSERT_TRUE(DirectSoundLoads());
    FanOnce("[Runsts]\r\nwin_obj=5\r\nposmode=1\r\nsnd_vol=0\r\n");
}

} // namespace
