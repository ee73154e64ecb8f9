// The real program as Windows 98 shows it: Wine reports platform id 1 for a
// copy named quillet98.exe.
#include <gtest/gtest.h>
#include <windows.h>

#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/e2e/driver.h"

namespace {

class Win98 : public ::testing::Test {
protected:
    void TearDown() override { Dispose(chime); }
    // A copy of the program under the Windows 98 name in a fresh folder.
    std::wstring Copy(std::wstring *folder)
    {
        *folder = FreshFolder();
        std::wstring copy = *folder + L"\\quillet98.exe";
        EXPECT_TRUE(CopyFileW(QuilletExePath().c_str(), copy.c_str(), FALSE));
        return copy;
    }
    Chime chime;
};

TEST_F(Win98, WithoutTheMeterLibraryTellsBeforeAnyWindowThenRuns)
{
    std::wstring folder, exe = Copy(&folder);
    chime = StartQuillet(folder, exe);
    HWND box = WaitForMessageBox(chime.process.dwProcessId);
    ASSERT_NE(box, nullptr);
    wchar_t text[512];
    GetWindowTextW(box, text, 512);
    EXPECT_STREQ(text, L"Quillet");
    GetDlgItemTextW(box, 0xFFFF, text, 512);
    EXPECT_STREQ(text, L"RSRC32.DLLが見つかりません、短冊は正しく機能出来ません。\r\n"
                       L"Windows95/98/Meの方は、標準のリソースモニタをインストールしてみてください。");
    EXPECT_EQ(WaitForProcessWindow(chime.process.dwProcessId, "Quillet", 0), nullptr) << "no window before the box";

    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_NE(WaitForChimeWindow(chime), nullptr) << "start-up goes on after the box";
}

// The library the tests build beside the program, as RSRC32.DLL in the folder.
bool PutMeterLibrary(const std::wstring &folder)
{
    std::wstring exe = QuilletExePath();
    std::wstring library = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"rsrc32_meter.dll";
    return CopyFileW(library.c_str(), (folder + L"\\RSRC32.DLL").c_str(), FALSE) != 0;
}

// On this family the memory thresholds are percentage points: 3, 2 and 1 by
// default, and a memory0 above 100 (a figure in bytes) takes all three back.
TEST_F(Win98, SavesTheFamilysMemoryThresholds)
{
    struct Case {
        const char *file;
        const char *saved;
    } cases[] = {
        {"", "memory0=3\r\nmemory1=2\r\nmemory2=1\r\n"},
        {"[Kand]\r\nmemory0=101\r\nmemory1=9\r\nmemory2=8\r\n", "memory0=3\r\nmemory1=2\r\nmemory2=1\r\n"},
        {"[Kand]\r\nmemory0=100\r\nmemory1=9\r\nmemory2=8\r\n", "memory0=100\r\nmemory1=9\r\nmemory2=8\r\n"},
    };
    for (const Case &c : cases) {
        std::wstring folder, exe = Copy(&folder);
        ASSERT_TRUE(PutMeterLibrary(folder));
        if (*c.file) {
            ASSERT_TRUE(WriteFileText(folder + L"\\quillet.ini", c.file));
        }
        chime = StartQuillet(folder, exe);
        HWND window = WaitForChimeWindow(chime);
        ASSERT_NE(window, nullptr) << c.file;
        EXPECT_EQ(WaitForProcessWindow(chime.process.dwProcessId, "#32770", 0), nullptr) << "no message box";
        PostMessageA(window, WM_CLOSE, 0, 0);
        ASSERT_EQ(WaitForExit(chime), 0u);
        Dispose(chime);
        EXPECT_NE(FileText(folder + L"\\quillet.ini").find(c.saved), std::string::npos) << c.file;
    }
}

} // namespace
