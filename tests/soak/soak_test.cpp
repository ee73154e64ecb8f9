// A long run of the real program in a typhoon at high sensitivity with sound,
// driven from outside by fan clicks, menu commands, the menu itself and the
// About box, while the process's objects are counted at every sample: none of
// the counts may grow, and the settings file ends with every change.
//   QUILLET_SOAK_SECONDS   how long to drive it (default 90)
//   QUILLET_SOAK_SAMPLE    seconds between samples (default 15)
#include <windows.h>
#include <psapi.h>
#include <winternl.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/common/win_helpers.h"
#include "tests/e2e/driver.h"
#include "tests/support/probe.h"
#include "app/app.h"

namespace {

struct Counts {
    long gdi, windows, handles, privateKb;
};

const char *const COUNT_NAMES[] = {"GDI objects", "windows", "handles", "private KB"};
// What a count may rise above its first sample before it is called growth:
// the heap keeps some of what a busy minute freed.
const long GROWTH_ALLOWED[] = {0, 0, 0, 512};

long Field(const Counts &c, int i)
{
    const long fields[] = {c.gdi, c.windows, c.handles, c.privateKb};
    return fields[i];
}

// GDI objects, counted by the probe inside the process of the window.
long CountGdiObjects(HWND window)
{
    DWORD count;
    return AskProbe(window, PROBE_GDI_OBJECTS, 0, &count) ? (long)count : -1;
}

struct HandleEntry {
    ULONG processId;
    BYTE type, flags;
    USHORT value;
    PVOID object;
    ACCESS_MASK access;
};

// GetProcessHandleCount is a stub under Wine too; the system's handle list is not.
long CountHandles(DWORD processId)
{
    const SYSTEM_INFORMATION_CLASS SYSTEM_HANDLE_INFORMATION = (SYSTEM_INFORMATION_CLASS)16;
    std::vector<BYTE> buffer(1 << 20);
    NTSTATUS status;
    while ((status = NtQuerySystemInformation(SYSTEM_HANDLE_INFORMATION, buffer.data(), (ULONG)buffer.size(),
                                              NULL)) == (NTSTATUS)0xC0000004L)
        buffer.resize(buffer.size() * 2);
    if (status != 0)
        return -1;
    ULONG total = *(ULONG *)buffer.data();
    const HandleEntry *handle = (const HandleEntry *)(buffer.data() + sizeof(void *));
    long owned = 0;
    for (ULONG i = 0; i < total; i++)
        owned += handle[i].processId == processId;
    return owned;
}

BOOL CALLBACK CountOwnWindow(HWND window, LPARAM param)
{
    auto *search = (std::pair<DWORD, long> *)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == search->first) {
        search->second++;
        EnumChildWindows(window, CountOwnWindow, param);
    }
    return TRUE;
}

// Top-level windows and their children: the USER objects that can be seen
// from outside (the count behind GetGuiResources is not kept under Wine).
long CountWindows(DWORD processId)
{
    std::pair<DWORD, long> search(processId, 0);
    EnumWindows(CountOwnWindow, (LPARAM)&search);
    return search.second;
}

// Private bytes: the committed memory of the process's own (Wine fills
// PagefileUsage, which Windows keeps equal to PrivateUsage).
long PrivateKb(HANDLE process)
{
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof counters;
    if (!GetProcessMemoryInfo(process, &counters, sizeof counters))
        return -1;
    return (long)(counters.PagefileUsage / 1024);
}

// The least of several readings, so that a paint or a sound thread caught
// in passing does not count as growth.
Counts Sample(const PROCESS_INFORMATION &process, HWND window)
{
    Counts least = {LONG_MAX, LONG_MAX, LONG_MAX, LONG_MAX};
    for (int i = 0; i < 5; i++) {
        Counts now = {CountGdiObjects(window), CountWindows(process.dwProcessId),
                      CountHandles(process.dwProcessId), PrivateKb(process.hProcess)};
        least = {std::min(least.gdi, now.gdi), std::min(least.windows, now.windows),
                 std::min(least.handles, now.handles), std::min(least.privateKb, now.privateKb)};
        PumpFor(100);
    }
    return least;
}

long Setting(const std::wstring &file, const wchar_t *section, const wchar_t *key)
{
    return (long)GetPrivateProfileIntW(section, key, -1000, file.c_str());
}

// The settings file's key of each command group, and the value each command sets.
struct Command {
    UINT id;
    const wchar_t *key;
    long value;
};

// Ends each round in the random typhoon at high sensitivity, with sound,
// placed freely so that the chime stays where the test left it.
const Command ROUND[] = {
    {IDM_WIND_MEMORY, L"win_obj", 0}, {IDM_BREEZE, L"win_str", 1},     {IDM_SENS_LOW, L"frn_kan", 0},
    {IDM_VOL_OFF, L"snd_vol", 0},     {IDM_VOL_LOUDER, L"snd_vol", 1}, {IDM_HANG_FRONT, L"posmode", 2},
    {IDM_FITFUL, L"win_str", 3},      {IDM_VOL_QUIETER, L"snd_vol", 3}, {IDM_SENS_MEDIUM, L"frn_kan", 1},
    {IDM_HANG_WINDOW, L"posmode", 0}, {IDM_VOL_RANDOM, L"snd_vol", 4}, {IDM_WIND_RANDOM, L"win_obj", 1},
    {IDM_TYPHOON, L"win_str", 2},     {IDM_SENS_HIGH, L"frn_kan", 2},  {IDM_VOL_NORMAL, L"snd_vol", 2},
    {IDM_HANG_FREE, L"posmode", 1},
};

DWORD SecondsFromEnvironment(const char *name, DWORD fallback)
{
    const char *text = getenv(name);
    return text && atoi(text) > 0 ? (DWORD)atoi(text) : fallback;
}

// The counters themselves, on this process: each sees one more of its kind.
TEST(SoakCounters, SeeObjectsComeAndGo)
{
    PROCESS_INFORMATION self = {GetCurrentProcess(), GetCurrentThread(), GetCurrentProcessId(), 0};
    Counts before = {}, during = {};
    // The thread's input-method window comes with its first window; let it stay.
    HWND first = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
    // The first round loads what the platform keeps for later; the second is measured.
    for (int round = 0; round < 2; round++) {
        before = Sample(self, first);
        HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
        HWND window = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, NULL, NULL, NULL, NULL);
        HANDLE event = CreateEventA(NULL, FALSE, FALSE, NULL);
        const size_t size = 4 << 20;
        void *block = VirtualAlloc(NULL, size, MEM_COMMIT, PAGE_READWRITE);
        ASSERT_TRUE(pen && window && event && block);
        FillMemory(block, size, 1);
        during = Sample(self, first);
        VirtualFree(block, 0, MEM_RELEASE);
        CloseHandle(event);
        DestroyWindow(window);
        DeleteObject(pen);
    }
    Counts after = Sample(self, first);
    DestroyWindow(first);
    EXPECT_EQ(during.gdi, before.gdi + 1);
    EXPECT_EQ(during.windows, before.windows + 1);
    EXPECT_EQ(during.handles, before.handles + 1);
    EXPECT_GE(during.privateKb, before.privateKb + 4096);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.handles, before.handles);
}

class Soak : public ::testing::Test {
protected:
    void SetUp() override
    {
        folder = FreshFolder();
        ASSERT_TRUE(WriteFileText(folder + L"\\quillet.ini", "[Winpos]\r\nXpos=400\r\nYpos=300\r\n[Runsts]\r\n"
                                                              "win_obj=1\r\nwin_str=2\r\nfrn_kan=2\r\nposmode=1\r\n"
                                                              "snd_vol=2\r\n"));
        chime = StartQuillet(folder);
        window = WaitForChimeWindow(chime);
        ASSERT_NE(window, nullptr);
        poses = ChimePictures(QuilletExePath());
    }
    void TearDown() override { Dispose(chime); }

    // A press on the paper strip, which every pose draws below the bell.
    void FanClick()
    {
        RECT r;
        GetWindowRect(window, &r);
        for (int y = 40; y < 64; y++)
            for (int x = 0; x < 32; x++)
                if (DrawnInEveryPose(poses, x, y)) {
                    PostMessageW(window, WM_NCLBUTTONDOWN, HTCAPTION, MAKELPARAM(r.left + x, r.top + y));
                    return;
                }
        ADD_FAILURE() << "no point of the strip in every pose";
    }

    HWND ShownWindow(const char *className, DWORD waitMs)
    {
        DWORD start = GetTickCount();
        do {
            HWND found = FindProcessWindow(chime.process.dwProcessId, className);
            if (found && IsWindowVisible(found))
                return found;
            PumpFor(20);
        } while (GetTickCount() - start < waitMs);
        return NULL;
    }

    void OpenAndCloseMenu()
    {
        PostMessageW(window, WM_TRAYICON, 1, WM_RBUTTONDOWN);
        ASSERT_NE(ShownWindow("#32768", 3000), nullptr) << "the menu did not open";
        PressKey(VK_ESCAPE);
        for (int i = 0; i < 100 && ShownWindow("#32768", 0); i++)
            PumpFor(20);
        ASSERT_EQ(ShownWindow("#32768", 0), nullptr) << "the menu did not close";
    }

    void OpenAndCloseAbout()
    {
        PostMessageW(window, WM_COMMAND, IDM_ABOUT, 0);
        HWND about = ShownWindow("#32770", 5000);
        ASSERT_NE(about, nullptr) << "the About box did not open";
        PumpFor(300);
        PostMessageW(about, WM_COMMAND, IDOK, 0);
        for (int i = 0; i < 100 && !IsWindowVisible(window); i++)
            PumpFor(20);
        ASSERT_TRUE(IsWindowVisible(window)) << "the chime did not come back";
    }

    // One round: every command once, with fan clicks, the menu and the About
    // box between them. Keeps the value each key was last set to.
    void DriveOneRound(std::map<std::wstring, long> &last)
    {
        for (const Command &command : ROUND) {
            PostMessageW(window, WM_COMMAND, command.id, 0);
            last[command.key] = command.value;
            FanClick();
            PumpFor(700);
        }
        OpenAndCloseMenu();
        OpenAndCloseAbout();
    }

    std::wstring folder;
    Chime chime;
    HWND window = NULL;
    std::vector<Picture> poses;
};

TEST_F(Soak, CountsDoNotGrowAndTheFileKeepsEveryChange)
{
    const DWORD seconds = SecondsFromEnvironment("QUILLET_SOAK_SECONDS", 90),
                every = SecondsFromEnvironment("QUILLET_SOAK_SAMPLE", 15);
    std::map<std::wstring, long> last;
    DriveOneRound(last); // everything has been loaded and shown once
    ASSERT_FALSE(HasFatalFailure());
    // Each sample is shown as it is taken: a long soak tells as it goes.
    std::vector<Counts> samples;
    auto take = [&] {
        samples.push_back(Sample(chime.process, window));
        const Counts &c = samples.back();
        printf("%8zu %12ld %8ld %8ld %11ld\n", samples.size() - 1, c.gdi, c.windows, c.handles, c.privateKb);
        fflush(stdout);
    };
    printf("%8s %12s %8s %8s %11s\n", "sample", COUNT_NAMES[0], COUNT_NAMES[1], COUNT_NAMES[2], COUNT_NAMES[3]);
    take();
    for (int i = 0; i < 4; i++)
        ASSERT_GE(Field(samples[0], i), 0) << COUNT_NAMES[i] << " cannot be read";

    DWORD start = GetTickCount(), nextSample = every * 1000;
    while (GetTickCount() - start < seconds * 1000) {
        DriveOneRound(last);
        ASSERT_FALSE(HasFatalFailure());
        if (GetTickCount() - start >= nextSample) {
            take();
            nextSample += every * 1000;
        }
    }
    take();
    for (int i = 0; i < 4; i++)
        EXPECT_LE(Field(samples.back(), i), Field(samples[0], i) + GROWTH_ALLOWED[i]) << COUNT_NAMES[i] << " grew";

    RECT r;
    GetWindowRect(window, &r);
    PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
    ASSERT_EQ(WaitForExit(chime), 0u);
    std::wstring file = folder + L"\\quillet.ini";
    for (const auto &key : last)
        EXPECT_EQ(Setting(file, L"Runsts", key.first.c_str()), key.second) << "key " << key.first;
    EXPECT_EQ(Setting(file, L"Winpos", L"Xpos"), r.left);
    EXPECT_EQ(Setting(file, L"Winpos", L"Ypos"), r.top);
}

} // namespace
