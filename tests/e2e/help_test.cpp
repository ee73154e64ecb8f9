// The Help command on the running program: the shell opens the page in the
// help folder of the current folder.
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

// A copy of the program in a folder of its own, started from there, as
// Explorer starts it; with its help folder beside it or without.
TEST_F(Help, OpensThePageBesideTheProgramStartedFromItsFolder)
{
    std::wstring folder = FreshFolder(), exe = QuilletExePath();
    std::wstring built = exe.substr(0, exe.find_last_of(L'\\') + 1) + L"help\\quillet.html";
    ASSERT_TRUE(CopyFileW(exe.c_str(), (folder + L"\\quillet.exe").c_str(), FALSE));
    ASSERT_TRUE(CreateDirectoryW((folder + L"\\help").c_str(), NULL));
    ASSERT_TRUE(CopyFileW(built.c_str(), (folder + L"\\help\\quillet.html").c_str(), FALSE))
        << "the build puts the page beside the program";
    chime = StartQuillet(folder, folder + L"\\quillet.exe");
    HWND window = WaitForChimeWindow(chime);
    ASSERT_NE(window, nullptr);
    std::wstring before = OpenedSoFar();
    SendMessageW(window, WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ(WaitForOpened(before), L"\"" + folder + L"\\help\\quillet.html\"\n");
}

// A copy of the program without its help folder: the shell, which looks in
// the current folder and the program's, opens nothing, nothing is shown, and
// the chime runs on.
TEST_F(Help, WithoutThePageNothingHappens)
{
    std::wstring folder = FreshFolder(), exe = folder + L"\\quillet.exe";
    ASSERT_TRUE(CopyFileW(QuilletExePath().c_str(), exe.c_str(), FALSE));
    chime = StartQuillet(folder, exe);
    HWND window = WaitForChimeWindow(chime);
    ASSERT_NE(window, nullptr);
    std::wstring before = OpenedSoFar();
    PostMessageW(window, WM_COMMAND, IDM_HELP, 0);
    EXPECT_EQ(WaitForMessageBox(chime.process.dwProcessId, 1500), nullptr);
    EXPECT_EQ(OpenedSoFar(), before) << "nothing was opened";
    EXPECT_EQ(WaitForExit(chime, 0), (DWORD)STILL_ACTIVE);
    EXPECT_TRUE(IsWindowVisible(window));
}

} // namespace
