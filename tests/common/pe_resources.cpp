#include "pe_resources.h"

#include <cstdlib>

const std::map<int, DWORD> chimeDataBytes = {{152, 190200}, {153, 165970}, {154, 91800}, {155, 86878},
                                             {156, 76200},  {157, 82748},  {158, 90544}};

std::wstring QuilletExePath()
{
    const wchar_t *path = _wgetenv(L"QUILLET_EXE");
    return path ? path : L"";
}

HMODULE LoadAsData(const std::wstring &path)
{
    return LoadLibraryExW(path.c_str(), NULL, LOAD_LIBRARY_AS_DATAFILE);
}

std::vector<BYTE> ResourceBytes(HMODULE module, LPCWSTR type, LPCWSTR name)
{
    HRSRC found = FindResourceW(module, name, type);
    if (!found)
        return {};
    HGLOBAL loaded = LoadResource(module, found);
    const BYTE *bytes = (const BYTE *)LockResource(loaded);
    DWORD size = SizeofResource(module, found);
    if (!bytes)
        return {};
    return std::vector<BYTE>(bytes, bytes + size);
}

static int Stride(int width, int bits)
{
    return (width * bits + 31) / 32 * 4;
}

static int PixelAt(const BYTE *row, int x, int bits)
{
    switch (bits) {
    case 1:
        return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4:
        return x % 2 ? row[x / 2] & 15 : row[x / 2] >> 4;
    default:
        return row[x];
    }
}

Picture DecodeDib(const BYTE *data, size_t size, bool withMask)
{
    Picture picture;
    if (size < sizeof(BITMAPINFOHEADER))
        return picture;
    BITMAPINFOHEADER header;
    memcpy(&header, data, sizeof header);
    int bits = header.biBitCount;
    if (header.biSize != sizeof header || (bits != 1 && bits != 4 && bits != 8) || header.biCompression != BI_RGB)
        return picture;
    int width = header.biWidth, height = withMask ? header.biHeight / 2 : header.biHeight;
    size_t colours = header.biClrUsed ? header.biClrUsed : (size_t)1 << bits;
    const RGBQUAD *palette = (const RGBQUAD *)(data + header.biSize);
    const BYTE *colourBits = (const BYTE *)(palette + colours);
    const BYTE *maskBits = colourBits + (size_t)Stride(width, bits) * height;
    size_t needed = (size_t)(maskBits - data) + (withMask ? (size_t)Stride(width, 1) * height : 0);
    if (width <= 0 || height <= 0 || needed > size)
        return picture;

    picture.width = width;
    picture.height = height;
    picture.bits = bits;
    for (int y = 0; y < height; y++) {
        // Rows are stored bottom-up.
        const BYTE *row = colourBits + (size_t)Stride(width, bits) * (height - 1 - y);
        const BYTE *mask = maskBits + (size_t)Stride(width, 1) * (height - 1 - y);
        for (int x = 0; x < width; x++) {
            const RGBQUAD &c = palette[PixelAt(row, x, bits)];
            picture.pixels.push_back(RGB(c.rgbRed, c.rgbGreen, c.rgbBlue));
            picture.transparent.push_back(withMask && PixelAt(mask, x, 1));
        }
    }
    return picture;
}

Picture ChimePicture(HMODULE module, int pose)
{
    std::vector<BYTE> bytes = ResourceBytes(module, (LPCWSTR)RT_BITMAP, MAKEINTRESOURCEW(128 + pose));
    return DecodeDib(bytes.data(), bytes.size(), false);
}

std::vector<Picture> ChimePictures(const std::wstring &exe)
{
    HMODULE module = LoadAsData(exe);
    std::vector<Picture> poses;
    for (int pose = 0; module && pose < 6; pose++)
        poses.push_back(ChimePicture(module, pose));
    if (module)
        FreeLibrary(module);
    return poses;
}

static int PosesDrawing(const std::vector<Picture> &poses, int x, int y)
{
    int drawn = 0;
    for (const Picture &p : poses)
        drawn += p.At(x, y) != RGB(0, 0, 0);
    return drawn;
}

bool DrawnInEveryPose(const std::vector<Picture> &poses, int x, int y)
{
    return PosesDrawing(poses, x, y) == (int)poses.size();
}

bool DrawnInNoPose(const std::vector<Picture> &poses, int x, int y)
{
    return PosesDrawing(poses, x, y) == 0;
}
