#include "harness.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

std::wstring FreshFolder()
{
    static int made = 0;
    const char *test = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    std::wstring root = _wgetenv(L"QUILLET_SCRATCH") ? _wgetenv(L"QUILLET_SCRATCH") : L".";
    std::wstring folder = root + L"\\" + std::wstring(test, test + strlen(test)) + L"." +
                          std::to_wstring(GetTickCount()) + L"." + std::to_wstring(made++);
    CreateDirectoryW(root.c_str(), NULL);
    CreateDirectoryW(folder.c_str(), NULL);
    return folder;
}

std::string ReadFileBytes(const std::wstring &path)
{
    std::ifstream file(path.c_str(), std::ios::binary);
    std::stringstream bytes;
    bytes << file.rdbuf();
    return file ? bytes.str() : "<missing>";
}

bool WriteFileBytes(const std::wstring &path, const std::string &bytes)
{
    return std::ofstream(path.c_str(), std::ios::binary).write(bytes.data(), bytes.size()).good();
}

std::string Utf8(const std::wstring &text)
{
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(WideCharToMultiByte(CP_UTF8, 0, text.data(), (int)text.size(), &bytes[0], (int)bytes.size(), NULL,
                                     NULL));
    return bytes;
}

bool WaitFor(const std::function<bool()> &condition, DWORD ms)
{
    for (DWORD start = GetTickCount(); !condition(); Sleep(10)) {
        if (GetTickCount() - start >= ms)
            return false;
        MSG msg;
        while (PeekMessageW(&msg, NULL, 0, 0, PM_REMOVE))
            DispatchMessageW(&msg);
    }
    return true;
}

void Pause(DWORD ms) { WaitFor([] { return false; }, ms); }
