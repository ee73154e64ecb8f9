// The stream's refill under load: a minute of a looping file streamed through
// a 200 ms buffer while two threads keep both cores busy, every tick of the
// refill timer timed. stream_bench.exe FOLDER (where the file is written).
#include <windows.h>

#include <math.h>
#include <string.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "sound/engine.h"
#include "sound/sound.h"
#include "tests/common/waves.h"

namespace {

const int SECONDS = 60;
const unsigned BUFFER_MS = 200;

LARGE_INTEGER frequency;
LPTIMECALLBACK refill;
MMRESULT(WINAPI *setEvent)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT);
// Room for every tick is made beforehand: the timer thread only appends, and
// only while the cores are busy.
std::vector<double> ticks;
volatile LONG busy = 1;

void CALLBACK TimedRefill(UINT timer, UINT message, DWORD_PTR user, DWORD_PTR first, DWORD_PTR second)
{
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    refill(timer, message, user, first, second);
    QueryPerformanceCounter(&end);
    if (busy && ticks.size() < ticks.capacity())
        ticks.push_back(double(end.QuadPart - start.QuadPart) / double(frequency.QuadPart));
}

MMRESULT WINAPI TimedSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR user, UINT flags)
{
    refill = callback;
    return setEvent(delay, resolution, TimedRefill, user, flags);
}

// The real system, but the library's refill timer goes through TimedRefill.
FARPROC WINAPI LookUpTimed(HMODULE module, LPCSTR name)
{
    FARPROC found = GetProcAddress(module, name);
    if (!found || IS_INTRESOURCE(name) || strcmp(name, "timeSetEvent"))
        return found;
    memcpy(&setEvent, &found, sizeof found);
    MMRESULT(WINAPI * timed)(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) = TimedSetEvent;
    memcpy(&found, &timed, sizeof found);
    return found;
}

const SystemLoader timedLoader = {LoadLibraryA, LookUpTimed, FreeLibrary};

DWORD WINAPI Spin(LPVOID)
{
    while (busy) {
    }
    return 0;
}

// Five seconds of a 440 Hz tone, 44100 Hz 16-bit stereo.
std::string Tone()
{
    std::string samples;
    for (int n = 0; n < 5 * 44100; n++) {
        short value = (short)(8000 * sin(n * 2 * 3.14159265358979 * 440 / 44100));
        for (int channel = 0; channel < 2; channel++)
            samples.append((const char *)&value, sizeof value);
    }
    return PcmWave(44100, 16, 2, samples);
}

double Microseconds(double seconds)
{
    return seconds * 1e6;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    std::string path = std::string(argv[1]) + "\\stream-bench.wav", tone = Tone();
    FILE *file = fopen(path.c_str(), "wb");
    if (!file || fwrite(tone.data(), 1, tone.size(), file) != tone.size() || fclose(file)) {
        fprintf(stderr, "cannot write %s\n", path.c_str());
        return 1;
    }
    QueryPerformanceFrequency(&frequency);
    ticks.reserve(SECONDS * 200);
    UseSystemLoader(&timedLoader);
    HWND window = CreateWindowA("STATIC", "stream bench", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    if (!StartEngine(window, 44100, 16, 2, 1) || !OpenStream(path.c_str(), BUFFER_MS) || !PlayStream(1)) {
        fprintf(stderr, "the stream did not start\n");
        return 1;
    }
    HANDLE spinners[2];
    for (HANDLE &spinner : spinners)
        spinner = CreateThread(NULL, 0, Spin, NULL, 0, NULL);
    Sleep(SECONDS * 1000);
    busy = 0;
    WaitForMultipleObjects(2, spinners, TRUE, INFINITE);
    for (HANDLE spinner : spinners)
        CloseHandle(spinner);
    CloseStream();
    StopEngine();
    DestroyWindow(window);

    std::vector<double> sorted = ticks;
    std::sort(sorted.begin(), sorted.end());
    if (sorted.empty()) {
        fprintf(stderr, "no refill ran\n");
        return 1;
    }
    printf("Stream refill, %u ms buffer, %d s with both cores busy (%zu ticks of 10 ms):\n", BUFFER_MS, SECONDS,
           sorted.size());
    // A half plays for ten ticks, so about one tick in ten fills one: the
    // slowest tenth. The others find nothing to do.
    printf("  median refill                    %9.1f us\n", Microseconds(sorted[sorted.size() / 2]));
    printf("  median of the slowest tenth      %9.1f us  (the ticks that fill a half)\n",
           Microseconds(sorted[sorted.size() * 19 / 20]));
    printf("  longest refill                   %9.1f us  (half a buffer plays %u ms)\n",
           Microseconds(sorted.back()), BUFFER_MS / 2);
    return 0;
}
