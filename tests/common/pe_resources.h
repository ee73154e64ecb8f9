// Reading the resources of a built quillet.exe from outside: the file is
// mapped as data, so a 64-bit test can inspect the 32-bit program too.
#ifndef QUILLET_TEST_PE_RESOURCES_H
#define QUILLET_TEST_PE_RESOURCES_H

#include <windows.h>
#include <map>
#include <string>
#include <vector>

// The sample bytes of each chime sound the program carries, by resource id.
extern const std::map<int, DWORD> chimeDataBytes;

// The program under test: %QUILLET_EXE%.
std::wstring QuilletExePath();
HMODULE LoadAsData(const std::wstring &path);

// The raw bytes of one resource, empty when it is missing.
std::vector<BYTE> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name);

struct Picture {
    int width = 0, height = 0, bits = 0;
    std::vector<COLORREF> pixels; // top row first
    std::vector<bool> transparent; // from the AND mask of icons and cursors
    COLORREF At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

// Decodes a BITMAPINFOHEADER image with a palette (bitmap resources, and icon
// or cursor images when withMask is set: height doubled, AND mask after the colours).
Picture DecodeDib(const BYTE *data, size_t size, bool withMask);

// The chime bitmap of a pose as stored in the program, and all six.
Picture ChimePicture(HMODULE module, int pose);
std::vector<Picture> ChimePictures(const std::wstring &exe);

// Whether pixel (x, y) is drawn (not background) in every pose, or in none.
bool DrawnInEveryPose(const std::vector<Picture> &poses, int x, int y);
bool DrawnInNoPose(const std::vector<Picture> &poses, int x, int y);

#endif
