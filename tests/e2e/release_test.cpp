// The unpacked release zip, run by tests/dist/dist-test: the program starts
// in its own folder as Explorer starts it, Help finds the page beside it, and
// Exit saves the settings there.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "resources/resource.h"
#include "tests/common/files.h"
#include "tests/e2e/driver.h"
#include "tests/e2e/inspect.h"

namespace {

TEST(Release, RunsFromItsFolderWhereHelpFindsThePage)
{
    const wchar_t *unpacked = _wgetenv(L"QUILLET_RELEASE");
    ASSERT_NE(unpacked, nullptr) << "run through tests/dist/dist-test";
    std::wstring folder = unpacked;
    RegisterOpener();
    Chime chime = StartQuillet(folder, folder + L"\\quillet.exe");
    HWND window = WaitForChimeWindow(chime);
    EXPECT_NE(window, nullptr);
    if (window) {
        std::wstring before = OpenedSoFar();
        SendMessageW(window, WM_COMMAND, IDM_HELP, 0);
        EXPECT_EQ(WaitForOpened(before), L"\"" + folder + L"\\help\\quillet.html\"\n");
        PostMessageW(window, WM_COMMAND, IDM_EXIT, 0);
        EXPECT_EQ(WaitForExit(chime), 0u);
        EXPECT_NE(FileText(folder + L"\\quillet.ini").find("[Runsts]"), std::string::npos);
    }
    Dispose(chime);
    RestoreHandlers();
}

} // namespace
