// Turning a bitmap into a window region by cutting away one key colour.
#include <windows.h>

#include <algorithm>

#include "window.h"

HRGN poseRegions[POSES];

// The pose whose region the window got last; 128 is no pose, so the first
// call always applies one.
static int appliedPose = 128;

// One region call never receives more rectangles than this.
#define BATCH_RECTS 200
#define BATCH_BYTES (sizeof(RGNDATAHEADER) + BATCH_RECTS * sizeof(RECT))

static_assert(BATCH_BYTES == 3232, "region batch layout");

static void EmptyBatch(RGNDATA *batch)
{
    batch->rdh.nCount = 0;
    SetRect(&batch->rdh.rcBound, 0x7fffffff, 0x7fffffff, 0, 0);
}

static void AddRun(RGNDATA *batch, LONG x0, LONG x1, LONG y)
{
    RECT *rects = (RECT *)batch->Buffer;
    RECT *bound = &batch->rdh.rcBound;
    SetRect(&rects[batch->rdh.nCount], x0, y, x1, y + 1);
    SetRect(bound, std::min(bound->left, x0), std::min(bound->top, y), std::max(bound->right, x1),
            std::max(bound->bottom, y + 1));
    batch->rdh.nCount++;
}

// Merges the batch into *gathered and empties it. On failure *gathered is
// deleted and set to null.
static BOOL FlushBatch(RGNDATA *batch, HRGN *gathered)
{
    HRGN part = ExtCreateRegion(NULL, BATCH_BYTES, batch);
    if (!part) {
        if (*gathered)
            DeleteObject(*gathered);
        *gathered = NULL;
        return FALSE;
    }
    if (*gathered) {
        CombineRgn(*gathered, *gathered, part, RGN_OR);
        DeleteObject(part);
    } else {
        *gathered = part;
    }
    EmptyBatch(batch);
    return TRUE;
}

// A 32-bit top-down copy is not used on purpose: rows lie bottom-up, so the
// first pixel in memory is the bottom-left one that gives the default key.
static HBITMAP CopyToSection(HBITMAP bitmap, int width, int height, DWORD **pixels)
{
    HDC memory = CreateCompatibleDC(NULL);
    if (!memory)
        return NULL;
    BITMAPINFOHEADER header;
    ZeroMemory(&header, sizeof header);
    header.biSize = sizeof header;
    header.biWidth = width;
    header.biHeight = height;
    header.biPlanes = 1;
    header.biBitCount = 32;
    header.biCompression = BI_RGB;
    void *bits = NULL;
    HBITMAP section = CreateDIBSection(memory, (BITMAPINFO *)&header, DIB_RGB_COLORS, &bits, NULL, 0);
    BOOL copied = FALSE;
    if (section) {
        HGDIOBJ oldSection = SelectObject(memory, section);
        HDC source = CreateCompatibleDC(memory);
        if (source) {
            HGDIOBJ oldBitmap = SelectObject(source, bitmap);
            copied = BitBlt(memory, 0, 0, width, height, source, 0, 0, SRCCOPY);
            SelectObject(source, oldBitmap);
            DeleteDC(source);
        } else {
            copied = TRUE; // scan the section as it was created
        }
        SelectObject(memory, oldSection);
    }
    DeleteDC(memory);
    if (section && !copied) {
        DeleteObject(section);
        return NULL;
    }
    *pixels = (DWORD *)bits;
    return section;
}

HRGN RegionFromBitmap(HBITMAP bitmap, COLORREF key)
{
    if (!bitmap)
        return NULL;
    // COLORREF is 0x00bbggrr, a 32-bit DIB pixel 0x00rrggbb.
    DWORD pixelKey = (key & 0xff00ff00u) | ((key & 0xffu) << 16) | ((key >> 16) & 0xffu);
    BITMAP info;
    if (!GetObjectA(bitmap, sizeof info, &info))
        return NULL;
    int width = info.bmWidth, height = info.bmHeight;
    DWORD *pixels = NULL;
    HBITMAP section = CopyToSection(bitmap, width, height, &pixels);
    if (!section)
        return NULL;

    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, BATCH_BYTES);
    if (!block) {
        DeleteObject(section);
        return NULL;
    }
    RGNDATA *batch = (RGNDATA *)GlobalLock(block);
    if (!batch) {
        GlobalFree(block);
        DeleteObject(section);
        return NULL;
    }
    batch->rdh.dwSize = sizeof(RGNDATAHEADER);
    batch->rdh.iType = RDH_RECTANGLES;
    batch->rdh.nRgnSize = 0;
    EmptyBatch(batch);

    if (pixelKey == 0xffffffffu)
        pixelKey = pixels[0];

    HRGN gathered = NULL;
    BOOL ok = TRUE;
    for (int y = 0; y < height && ok; y++) {
        const DWORD *row = pixels + (size_t)(height - 1 - y) * width;
        for (int x = 0; x < width && ok; x++) {
            if (row[x] == pixelKey)
                continue;
            int x0 = x;
            while (x < width && row[x] != pixelKey)
                x++;
            AddRun(batch, x0, x, y);
            if (batch->rdh.nCount == BATCH_RECTS)
                ok = FlushBatch(batch, &gathered);
        }
    }
    if (ok)
        FlushBatch(batch, &gathered);

    GlobalUnlock(block);
    GlobalFree(block);
    DeleteObject(section);
    return gathered;
}

// The window always gets a copy: a region handed over belongs to the window
// system. A copy that cannot be made (GDI exhausted) leaves the current shape.
BOOL GivePoseShape(HWND window, int p, BOOL redraw)
{
    HRGN shape = CreateRectRgn(0, 0, 0, 0);
    if (!shape)
        return FALSE;
    CombineRgn(shape, poseRegions[p], NULL, RGN_COPY);
    SetWindowRgn(window, shape, redraw);
    SetPropA(window, REGION_PROPERTY, shape);
    return TRUE;
}

// A pose whose shape cannot be given keeps the current shape and picture
// until a later call can give it.
int ApplyPoseRegion(HWND window)
{
    if (pose == appliedPose || !GivePoseShape(window, pose, TRUE))
        return 0;
    appliedPose = pose;
    return 1;
}
