#include "files.h"

#include <gtest/gtest.h>
#include <windows.h>

std::wstring FreshFolderUnder(const std::wstring &root)
{
    const ::testing::TestInfo *test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(test->test_suite_name()) + "." + test->name();
    std::wstring folder = root + L"\\" + std::wstring(name.begin(), name.end());
    CreateDirectoryW(root.c_str(), NULL);
    CreateDirectoryW(folder.c_str(), NULL);
    EmptyFolder(folder);
    return folder;
}

namespace {
// Calls visit(path, isFolder) for every entry of the folder, children first.
template <typename Visit> void WalkFolder(const std::wstring &folder, Visit visit)
{
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        std::wstring path = folder + L"\\" + name;
        bool isFolder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (isFolder)
            WalkFolder(path, visit);
        visit(path, isFolder);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}
} // namespace

void EmptyFolder(const std::wstring &folder)
{
    WalkFolder(folder, [](const std::wstring &path, bool isFolder) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        if (isFolder)
            RemoveDirectoryW(path.c_str());
        else
            DeleteFileW(path.c_str());
    });
}

int CountFiles(const std::wstring &folder)
{
    int count = 0;
    WalkFolder(folder, [&count](const std::wstring &, bool isFolder) { count += !isFolder; });
    return count;
}

std::wstring MakeFolderOfLength(const std::wstring &base, size_t length)
{
    std::wstring path = base;
    while (path.size() < length) {
        size_t room = length - path.size() - 1;
        size_t part = room < 100 ? room : 100;
        // Never leave room for a separator alone.
        if (room - part == 1)
            part--;
        if (part == 0)
            return L"";
        path += L"\\" + std::wstring(part, L'd');
        if (!CreateDirectoryW(path.c_str(), NULL) && GetLastError() != ERROR_ALREADY_EXISTS)
            return L"";
    }
    return path.size() == length ? path : L"";
}

std::string FileText(const std::wstring &path)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, NULL, OPEN_EXISTING, 0,
                              NULL);
    if (file == INVALID_HANDLE_VALUE)
        return "<missing>";
    std::string text(GetFileSize(file, NULL), '\0');
    DWORD done = 0;
    if (!text.empty() && !ReadFile(file, &text[0], (DWORD)text.size(), &done, NULL))
        text = "<unreadable>";
    CloseHandle(file);
    return text;
}

bool WriteFileText(const std::wstring &path, const std::string &bytes)
{
    HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD done = 0;
    bool ok = WriteFile(file, bytes.data(), (DWORD)bytes.size(), &done, NULL) && done == bytes.size();
    CloseHandle(file);
    return ok;
}

std::string BinaryJunk(size_t size)
{
    std::string junk;
    unsigned state = 12345;
    while (junk.size() < size) {
        state = state * 1103515245u + 12345u;
        junk += (char)(state >> 16);
    }
    return junk;
}

std::string FillerLines(size_t size)
{
    std::string filler;
    const std::string line = std::string(200, 'x') + " a line of filler without an equals sign\r\n";
    while (filler.size() < size)
        filler += line;
    return filler;
}
