// The Help command on the running program: the shell opens the page that
// ships beside the program, whatever the current folder.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "tests/common/files.h"
#include "tests/common/pe_resources.h"
#include "tests/common/win_helpers.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/inspect.h"

namespace {

class Help : public ::testing::Test {
protected:
    void SetUp() override { RegisterOpener(); }
    void TearDown() override
    {
        Dispose(chime);
        RestoreHandlers();
    }
    Chime chime;
};

TEST_F(Help, OpensThePageBesideTheProgram)
{
    chime = StartQuillet(FreshFolder());
    HWND window = WaitForChimeWindow(chime);
    ASSERT_NE(window, nullptr);
    std::wstring exe = QuilletExePath();
    std::wstring page = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"help\\quillet.html";
    ASSERT_NE(GetFileAttributesW(page.c_str()), INVALID_FILE_ATTRIBUTES) << "the build puts the page there";
    std::wstring before = OpenedSoFar();
    SendMessageW(window, WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ(WaitForOpened(before), L"\"" + page + L"\"\n");
}

// A copy of the program without the help folder beside it: the user is told
// where the page should be, and the chime runs on.
TEST_F(Help, WithoutThePageTellsWhereItShouldBe)
{
    std::wstring folder = FreshFolder(), exe = folder + L"\\quillet.exe";
    ASSERT_TRUE(CopyFileW(QuilletExePath().c_str(), exe.c_str(), FALSE));
    chime = StartQuillet(folder, exe);
    HWND window = WaitForChimeWindow(chime);
    ASSERT_NE(window, nullptr);
    std::wstring before = OpenedSoFar();
    PostMessageW(window, WM_COMMAND, IDM_HELP, 0);
    HWND box = WaitForMessageBox(chime.process.dwProcessId);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(ItemText(box, 0xFFFF), L"ヘルプのページを開けませんでした。\r\n" + folder + L"\\help\\quillet.html");
    EXPECT_EQ(OpenedSoFar(), before) << "nothing was opened";
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    PumpFor(300);
    EXPECT_EQ(WaitForExit(chime, 0), (DWORD)STILL_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(window));
}

} // namespace
