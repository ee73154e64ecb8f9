// The chime's own costs, measured in this process with the program's bitmaps
// and sounds: building the six pose regions, one animation tick at rest, one
// pose change, one tick that rings a sample in the Direct mode, starting
// DirectSound with the seven samples, and the WAVE reader's throughput.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "handles/handles.h"
#include "settings/settings.h"
#include "sound/chime_sound.h"
#include "sound/sound.h"
#include "sound/wave.h"
#include "bench/figures.h"
#include "wind/wind.h"
#include "window/window.h"

namespace {

double Now()
{
    LARGE_INTEGER count, frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return double(count.QuadPart) / double(frequency.QuadPart);
}


// A canonical WAVE file of the chime's format with this many sample bytes.
bool WriteLargeWave(const std::string &path, DWORD samples)
{
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, NULL, CREATE_ALWAYS, 0, NULL);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const DWORD header[] = {0x46464952, 36 + samples, 0x45564157, 0x20746d66, 16, 0x00010001, 22050, 44100,
                            0x00100002, 0x61746164, samples};
    DWORD written = 0;
    bool ok = WriteFile(file, header, sizeof header, &written, NULL) != 0;
    std::vector<BYTE> block(1 << 20, 0x11);
    for (DWORD left = samples; ok && left > 0; left -= written)
        ok = WriteFile(file, block.data(), std::min<DWORD>(left, (DWORD)block.size()), &written, NULL) != 0;
    CloseHandle(file);
    return ok;
}

// Seconds for each whole read of a large file into memory.
std::vector<double> WaveReads(DWORD samples)
{
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string path = std::string(temp) + "quillet-bench.wav";
    std::vector<double> reads;
    if (!WriteLargeWave(path, samples))
        return reads;
    for (int run = 0; run < 7; run++) {
        WaveInfo info;
        double start = Now();
        int read = ReadWaveFile(path.c_str(), &info);
        reads.push_back(Now() - start);
        if (read)
            ReleaseWaveData(&info);
    }
    DeleteFileA(path.c_str());
    return reads;
}

} // namespace

int main()
{
    // The program's resources are this benchmark's own.
    appInstance = GetModuleHandleA(NULL);

    HBITMAP chimes[POSES];
    for (int p = 0; p < POSES; p++)
        chimes[p] = LoadBitmapA(appInstance, MAKEINTRESOURCEA(128 + p));
    std::vector<double> regions;
    for (int run = 0; run < 30; run++) {
        double start = Now();
        for (int p = 0; p < POSES; p++)
            DeleteObject(RegionFromBitmap(chimes[p], (COLORREF)-1));
        regions.push_back(Now() - start);
    }

    // The real window procedure, with no wind source: ticks at rest.
    settings.win_obj = 5;
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ChimeWindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = "QuilletBench";
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, "QuilletBench", "", WS_POPUP | WS_VISIBLE, 400, 300, 32, 64, NULL,
                                  NULL, wc.hInstance, NULL);
    std::vector<double> ticks, changes;
    for (int run = 0; run < 400; run++) {
        int before = pose;
        double start = Now();
        ShowWindStep(window, WindTick(CAUSE_ANIMATION));
        UpdateWindow(window);
        (pose == before ? ticks : changes).push_back(Now() - start);
    }
    for (int run = 0; run < 100; run++) {
        double start = Now();
        pose = run % 2;
        if (ApplyPoseRegion(window))
            InvalidateRect(window, NULL, FALSE);
        UpdateWindow(window);
        changes.push_back(Now() - start);
    }

    // Typhoon steps in the Direct mode: every one rings a sample.
    settings.snd_kbn = SOUND_DIRECT;
    settings.snd_vol = VOLUME_NORMAL;
    settings.win_str = WIND_TYPHOON;
    std::vector<double> rings;
    bool direct = GetSampleLength(0) > 0;
    for (int run = 0; direct && run < 200; run++) {
        pose = swing_step = 1;
        double start = Now();
        ShowWindStep(window, WindTick(CAUSE_ANIMATION));
        rings.push_back(Now() - start);
        UpdateWindow(window);
    }
    std::vector<double> starts;
    for (int run = 0; run < 10; run++) {
        double start = Now();
        direct = StartDirectSound(window) == 0;
        starts.push_back(Now() - start);
    }
    DestroyWindow(window);

    const DWORD readBytes = 64 << 20;
    std::vector<double> reads = WaveReads(readBytes);

    printf("The chime's own work (median, with the range):\n");
    Report("six pose regions", regions, "ms", 1e3);
    Report("one animation tick at rest", ticks, "us", 1e6);
    Report("one pose change with its repaint", changes, "us", 1e6);
    if (direct) {
        Report("one typhoon tick ringing a sample", rings, "us", 1e6);
        Report("DirectSound with the seven samples", starts, "ms", 1e3);
    } else {
        printf("  DirectSound did not start: no ringing tick, no engine start measured\n");
    }
    if (!reads.empty()) {
        for (double &seconds : reads)
            seconds = readBytes / seconds / (1 << 20);
        Report("WAVE file read, 64 MiB", reads, "MiB/s", 1);
    }
    for (HBITMAP bitmap : chimes)
        DeleteObject(bitmap);
    return 0;
}
