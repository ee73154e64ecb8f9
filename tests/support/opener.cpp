// Stands in for the browser and the mail program in the end-to-end tests:
// the shell starts it for the help page and the maker's links, and it adds
// the argument it was given as a line to the file named by QUILLET_OPENED.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR arguments, int)
{
    wchar_t path[MAX_PATH];
    if (!GetEnvironmentVariableW(L"QUILLET_OPENED", path, MAX_PATH))
        return 1;
    HANDLE file = CreateFileW(path, FILE_APPEND_DATA, FILE_SHARE_READ, NULL, OPEN_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return 1;
    DWORD written;
    WriteFile(file, arguments, lstrlenW(arguments) * sizeof(wchar_t), &written, NULL);
    WriteFile(file, L"\n", sizeof(wchar_t), &written, NULL);
    CloseHandle(file);
    return 0;
}
