// The real program driven round after round, QUILLET_SOAK_SECONDS long (45 by
// default): its GDI objects may rise once, as a cache fills, but do not grow,
// and its private bytes stay within what the heap keeps.
#include <gtest/gtest.h>
#include <windows.h>

#include <psapi.h>

#include "resources/resource.h"
#include "tests/common/harness.h"
#include "tests/e2e/program.h"

namespace {
// One round: each command once, ending in the random typhoon at high
// sensitivity, hung freely, with a fan click after each; then the menu and
// the About box. What the chime holds after it, the least of five readings
// (a paint or a sound caught in passing is no growth): GDI objects and private KB.
std::pair<long, long> DriveOneRound(const Program &chime)
{
    for (UINT command : {IDM_WIND_MEMORY, IDM_BREEZE, IDM_SENS_LOW, IDM_VOL_OFF, IDM_VOL_LOUDER, IDM_HANG_FRONT,
                         IDM_FITFUL, IDM_VOL_QUIETER, IDM_SENS_MEDIUM, IDM_HANG_WINDOW, IDM_VOL_RANDOM,
                         IDM_WIND_RANDOM, IDM_TYPHOON, IDM_SENS_HIGH, IDM_VOL_NORMAL, IDM_HANG_FREE}) {
        PostMessageW(chime.window, WM_COMMAND, command, 0);
        PostMessageW(chime.window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
        Pause(600);
    }
    PostMessageW(chime.window, WM_APP + 100, 1, WM_RBUTTONDOWN);
    PostMessageW(Shown(chime, "#32768", 5000), WM_KEYDOWN, VK_ESCAPE, 0);
    WaitFor([&chime] { return !Shown(chime, "#32768"); }, 5000);
    PostMessageW(chime.window, WM_COMMAND, IDM_ABOUT, 0);
    PostMessageW(Shown(chime, "#32770", 5000), WM_COMMAND, IDOK, 0);
    WaitFor([&chime] { return IsWindowVisible(chime.window); }, 5000);
    std::pair<long, long> least(LONG_MAX, LONG_MAX);
    for (int reading = 0; reading < 5; reading++, Pause(100)) {
        DWORD gdi = 0;
        PROCESS_MEMORY_COUNTERS memory = {};
        GetProcessMemoryInfo(chime.process.hProcess, &memory, sizeof memory);
        least.first = std::min(least.first, AskProbe(chime.window, 0, 0, &gdi) ? (long)gdi : -1);
        least.second = std::min(least.second, (long)(memory.PagefileUsage / 1024));
    }
    printf("GDI objects %ld, private KB %ld\n", least.first, least.second);
    fflush(stdout);
    return least;
}

TEST(Soak, WhatTheChimeHoldsDoesNotGrow)
{
    const char *seconds = getenv("QUILLET_SOAK_SECONDS");
    SetCursorPos(0, 767); // below the chime: every press is a fan click
    Program chime;
    Start(&chime, "[Winpos]\r\nXpos=400\r\nYpos=300\r\n[Runsts]\r\nposmode=1\r\n");
    ASSERT_NE(chime.window, nullptr);
    DriveOneRound(chime); // everything loaded and shown, the probe too, and the heap grown to its use
    std::pair<long, long> first = DriveOneRound(chime), last = first;
    EXPECT_GT(first.first, 60) << "the 54 bitmaps and 6 shapes the chime holds are counted";
    long highest = first.first, rises = 0;
    for (DWORD start = GetTickCount(); GetTickCount() - start < 1000u * (seconds ? atoi(seconds) : 45);) {
        last = DriveOneRound(chime);
        rises += last.first > highest;
        highest = std::max(highest, last.first);
    }
    EXPECT_LE(rises, 1) << "GDI objects grew";
    EXPECT_LE(last.second, first.second + 512) << "private bytes grew beyond what the heap keeps of a busy round";
    PostMessageW(chime.window, WM_COMMAND, IDM_EXIT, 0);
    EXPECT_EQ(ExitCode(chime), 0u);
}
} // namespace
