// The real program as Windows 98 shows it: Wine reports platform id 1 for a
// copy named quillet98.exe.
#include <gtest/gtest.h>
#include <windows.h>

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

} // namespace
