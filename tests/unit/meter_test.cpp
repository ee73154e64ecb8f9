// The memory meter and the tray tip in the NT family (the family Wine reports
// by default).
#include <gtest/gtest.h>
#include <windows.h>

#include "app/app.h"
#include "wind/wind.h"

namespace {

std::wstring TipText()
{
    wchar_t text[64];
    int n = MultiByteToWideChar(932, 0, trayIcon.szTip, -1, text, 64);
    return std::wstring(text, n > 0 ? n - 1 : 0);
}

// 0.29 * 100 is 28.999999999999996 in double precision, so 29 % free is 72 % used.
TEST(UsageFromMemory, TruncatesTheDoubleProduct)
{
    EXPECT_EQ(UsageFromMemory(29, 100), 72);
    EXPECT_EQ(UsageFromMemory(2900, 10000), 72);
    EXPECT_EQ(UsageFromMemory(50, 100), 50);
    EXPECT_EQ(UsageFromMemory(0, 100), 100);
    EXPECT_EQ(UsageFromMemory(100, 100), 0);
    EXPECT_EQ(UsageFromMemory(0, 0), 0) << "no total, no usage";
}

// Beyond 4 GiB the figures no longer fit 32 bits and still give the usage.
TEST(UsageFromMemory, WorksWithSixtyFourBitFigures)
{
    const unsigned long long GiB = 1ull << 30;
    EXPECT_EQ(UsageFromMemory(6 * GiB, 24 * GiB), 75);
    EXPECT_EQ(UsageFromMemory(24 * GiB - 1, 24 * GiB), 1);
}

TEST(MemoryMeter, ReadsTheTrueAvailableMemory)
{
    DetectPlatformFamily();
    ASSERT_EQ(platformFamily, FAMILY_NT);
    OpenMemoryMeter();
    EXPECT_EQ(meterUnavailable, 0);
    MEMORYSTATUSEX status;
    status.dwLength = sizeof status;
    ASSERT_TRUE(GlobalMemoryStatusEx(&status));
    ReadMemoryMeter();
    // The figures move a little between the two reads.
    long long drift = (long long)meterReading - (long long)status.ullAvailPhys;
    EXPECT_LT(llabs(drift), 256ll << 20);
    EXPECT_NEAR(memoryUsage, UsageFromMemory(status.ullAvailPhys, status.ullTotalPhys), 1);
    if (status.ullTotalPhys > 0xffffffffull) {
        EXPECT_GT(meterReading + status.ullTotalPhys, 0xffffffffull) << "figures are not capped at 32 bits";
    }
}

// The shell hears of the tip only when the shown figure changes: a marker left
// in the record survives a refresh with the same figure.
TEST(TrayTip, WrittenAtTheFirstRefreshThenOnlyWhenTheFigureChanges)
{
    meterUnavailable = 0;
    memoryUsage = 37;
    RefreshTrayTip();
    EXPECT_EQ(TipText(), L"Quillet [メモリ使用率：37％]");
    lstrcpyA(trayIcon.szTip, "marker");
    RefreshTrayTip();
    EXPECT_STREQ(trayIcon.szTip, "marker");
    memoryUsage = 38;
    RefreshTrayTip();
    EXPECT_EQ(TipText(), L"Quillet [メモリ使用率：38％]");
    memoryUsage = 100;
    RefreshTrayTip();
    EXPECT_EQ(TipText(), L"Quillet [メモリ使用率：100％]");
}

TEST(TrayTip, SaysUnknownWithoutAMeter)
{
    meterUnavailable = 1;
    memoryUsage = 0;
    RefreshTrayTip();
    EXPECT_EQ(TipText(), L"Quillet [メモリ使用率：不明]");
    meterUnavailable = 0;
}

} // namespace
