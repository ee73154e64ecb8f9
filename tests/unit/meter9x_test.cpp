// The memory meter on the Windows 95/98/Me family. This program runs with Wine
// set to report Windows 98, one case per process (the meter library, once
// loaded, stays loaded), in a folder that holds the library under test or none.
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app.h"
#include "resources/resource.h"
#include "tests/common/pe_resources.h"
#include "tests/common/win_helpers.h"
#include "wind/wind.h"

namespace {

const wchar_t NO_LIBRARY[] =
    L"RSRC32.DLLが見つかりません、短冊は正しく機能出来ません。\r\n"
    L"Windows95/98/Meの方は、標準のリソースモニタをインストールしてみてください。";
const wchar_t NO_ENTRY[] = L"_MyGetFreeSystemResources32@4が見つかりません。";

class Win9xMeter : public ::testing::Test {
protected:
    // A fresh current folder holding `library` as RSRC32.DLL (none if empty),
    // and the program's own menu.
    void Prepare(const wchar_t *library)
    {
        wchar_t temp[MAX_PATH];
        GetTempPathW(MAX_PATH, temp);
        std::wstring folder = std::wstring(temp) + L"quillet-meter9x";
        CreateDirectoryW(folder.c_str(), NULL);
        ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
        DeleteFileW((folder + L"\\RSRC32.DLL").c_str());
        if (*library) {
            wchar_t exe[MAX_PATH];
            GetModuleFileNameW(NULL, exe, MAX_PATH);
            std::wstring source = exe;
            source = source.substr(0, source.find_last_of(L'\\') + 1) + library;
            ASSERT_TRUE(CopyFileW(source.c_str(), (folder + L"\\RSRC32.DLL").c_str(), FALSE)) << "no " << library;
        }
        HMODULE program = LoadAsData(QuilletExePath());
        ASSERT_NE(program, nullptr);
        chimeMenu = LoadMenuW(program, MAKEINTRESOURCEW(IDR_CHIME_MENU));
        popupMenu = GetSubMenu(chimeMenu, 0);
        ASSERT_NE(popupMenu, nullptr);
        DetectPlatformFamily();
        ASSERT_EQ(platformFamily, FAMILY_WIN9X) << "Wine does not report Windows 98 for this program";
    }

    void ExpectMemoryItemGrayed()
    {
        EXPECT_TRUE(GetMenuState(popupMenu, IDM_WIND_MEMORY, MF_BYCOMMAND) & MF_GRAYED);
        wchar_t text[32];
        GetMenuStringW(popupMenu, IDM_WIND_MEMORY, text, 32, MF_BYCOMMAND);
        EXPECT_STREQ(text, L"メモリ");
    }

    std::wstring TipText()
    {
        wchar_t text[64];
        MultiByteToWideChar(932, 0, trayIcon.szTip, -1, text, 64);
        return text;
    }
};

TEST_F(Win9xMeter, WithoutTheLibraryTellsOnceAndShowsUnknown)
{
    Prepare(L"");
    std::vector<SeenBox> boxes = RunAnsweringBoxes(OpenMemoryMeter);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Quillet");
    EXPECT_EQ(boxes[0].text, NO_LIBRARY);
    EXPECT_EQ(meterUnavailable, 1);
    ExpectMemoryItemGrayed();

    ReadMemoryMeter();
    EXPECT_EQ(memoryUsage, 0);
    EXPECT_EQ(meterReading, 0u);
    RefreshTrayTip();
    EXPECT_EQ(TipText(), L"Quillet [メモリ使用率：不明]");
}

TEST_F(Win9xMeter, ReadsTheUsedShareOfTheSystemResources)
{
    Prepare(L"rsrc32_meter.dll");
    std::vector<SeenBox> boxes = RunAnsweringBoxes(OpenMemoryMeter);
    EXPECT_TRUE(boxes.empty());
    EXPECT_EQ(meterUnavailable, 0);
    EXPECT_FALSE(GetMenuState(popupMenu, IDM_WIND_MEMORY, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_EQ(memoryUsage, 0) << "nothing is read before the first tick";

    ReadMemoryMeter(); // the library answers 63 % free
    EXPECT_EQ(memoryUsage, 37);
    EXPECT_EQ(meterReading, 37u);
    RefreshTrayTip();
    EXPECT_EQ(TipText(), L"Quillet [メモリ使用率：37％]");
}

TEST_F(Win9xMeter, WithoutTheEntryPointTellsAndKeepsTheLibrary)
{
    Prepare(L"rsrc32_noentry.dll");
    std::vector<SeenBox> boxes = RunAnsweringBoxes(OpenMemoryMeter);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].caption, L"Quillet");
    EXPECT_EQ(boxes[0].text, NO_ENTRY);
    EXPECT_EQ(meterUnavailable, 1);
    ExpectMemoryItemGrayed();
    EXPECT_NE(GetModuleHandleW(L"RSRC32.DLL"), nullptr) << "the library stays loaded";
    ReadMemoryMeter();
    EXPECT_EQ(memoryUsage, 0);
}

} // namespace
