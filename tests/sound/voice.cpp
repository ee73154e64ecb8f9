// Rings the chime through the program's own code, for the test that listens
// to the null sink's recording. Prints the times that test needs, in
// milliseconds from the start of the scenario:
//   voice.exe fan      sample 6 as a marker at 0, then a fan click on the chime
//                      window: "click MS", and "tick MS" when the fan tick ran
//   voice.exe typhoon  a gust of the random wind in a typhoon and its swing,
//                      from a seed whose four rings are four different samples:
//                      "ring SAMPLE MS" for each ringing step
//   voice.exe seven    the seven samples started together
//   voice.exe sndplay  PlayChimeResource of 152, then of 154: "second MS"
// Exits with 1 when DirectSound does not start with the seven samples.
#include <windows.h>

#include <stdio.h>
#include <string.h>

#include "app/app.h"
#include "settings/settings.h"
#include "sound/chime_sound.h"
#include "sound/sound.h"
#include "wind/wind.h"
#include "window/window.h"

namespace {

const UINT_PTR ANIMATION_TIMER = 1, FAN_TIMER = 3;
const int MARKER_SAMPLE = 6; // a fan stroke rings samples 0 to 5 only

DWORD start;

DWORD Elapsed()
{
    return GetTickCount() - start;
}

// The chime window of the program, as start-up makes it: its creation starts
// DirectSound with the seven samples and the animation timer.
HWND MakeChimeWindow()
{
    appInstance = GetModuleHandleA(NULL);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ChimeWindowProc;
    wc.hInstance = appInstance;
    wc.lpszClassName = PRODUCT_NAME;
    RegisterClassExA(&wc);
    HWND window = CreateWindowExA(WS_EX_TOOLWINDOW, PRODUCT_NAME, PRODUCT_NAME, WS_POPUP | WS_VISIBLE, 400, 300,
                                  CHIME_WIDTH, CHIME_HEIGHT, NULL, NULL, appInstance, NULL);
    settings.snd_kbn = SOUND_DIRECT;
    return window;
}

// Handles the window's messages until the time; prints "name MS" after each
// dispatch of the timer with the given id.
void PumpUntil(DWORD until, UINT_PTR timer, const char *name)
{
    while (Elapsed() < until) {
        MSG msg;
        if (!PeekMessageA(&msg, NULL, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, NULL, FALSE, 5, QS_ALLINPUT);
            continue;
        }
        DispatchMessageA(&msg);
        if (msg.message == WM_TIMER && msg.wParam == timer)
            printf("%s %lu\n", name, Elapsed());
    }
}

bool Fan()
{
    settings.win_obj = 5; // no wind: only the fan rings
    settings.snd_vol = 1;
    HWND window = MakeChimeWindow();
    if (!GetSampleLength(MARKER_SAMPLE))
        return false;
    start = GetTickCount();
    PlaySample(MARKER_SAMPLE, 0);
    PumpUntil(500, 0, "");
    printf("click %lu\n", Elapsed());
    PostMessageA(window, WM_NCLBUTTONDOWN, HTCAPTION, 0);
    PumpUntil(1800, FAN_TIMER, "tick");
    return true;
}

unsigned Below(unsigned *state, unsigned n)
{
    *state = *state * 1103515245u + 12345u;
    return (*state >> 16) % n;
}

// A seed from which the first tick at rest gusts (a draw from 1 to 40 that
// divides the typhoon's 10) and the four steps ring four different samples,
// each drawing its volume (louder) and, for samples 0 and 2, its pan.
unsigned DistinctSwingSeed(unsigned rings[4])
{
    for (unsigned seed = 1;; seed++) {
        unsigned s = seed;
        if (10 % (Below(&s, 40) + 1))
            continue;
        bool distinct = true;
        for (int i = 0; i < 4 && distinct; i++) {
            rings[i] = Below(&s, 4);
            for (int j = 0; j < i; j++)
                distinct = distinct && rings[j] != rings[i];
            Below(&s, 2);
            if (rings[i] == 0 || rings[i] == 2)
                Below(&s, 200);
        }
        if (distinct)
            return seed;
    }
}

bool Typhoon()
{
    settings.win_obj = 1;
    settings.win_str = 2;
    settings.frn_kan = 2;
    settings.random2 = 40;
    settings.snd_vol = 1;
    MakeChimeWindow();
    if (!GetSampleLength(0))
        return false;
    unsigned rings[4];
    SeedRandom(DistinctSwingSeed(rings));
    start = GetTickCount();
    int ticks = 0;
    bool swung = false;
    while (Elapsed() < 2500 && ticks < 5) {
        MSG msg;
        if (!GetMessageA(&msg, NULL, 0, 0))
            break;
        DispatchMessageA(&msg);
        if (msg.message != WM_TIMER || msg.wParam != ANIMATION_TIMER)
            continue;
        // The first tick is the gust; each of the next four rings.
        if (ticks > 0)
            printf("ring %u %lu\n", rings[ticks - 1], Elapsed());
        ticks++;
        swung = pose == ticks;
    }
    PumpUntil(Elapsed() + 800, 0, "");
    return swung;
}

bool Seven()
{
    HWND window = CreateWindowA("STATIC", "voice", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    if (StartDirectSound(window) != 0)
        return false;
    for (int k = 0; k < CHIME_SOUNDS; k++)
        SetSampleVolume(k, -1500);
    for (int k = 0; k < CHIME_SOUNDS; k++)
        PlaySample(k, 0);
    Sleep(1200);
    return true;
}

bool SndPlay()
{
    start = GetTickCount();
    PlayChimeResource(152);
    // Time for the first call to open the output device and be heard.
    Sleep(1500);
    printf("second %lu\n", Elapsed());
    PlayChimeResource(154);
    Sleep(1000);
    return true;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2)
        return 2;
    setvbuf(stdout, NULL, _IONBF, 0);
    const struct {
        const char *name;
        bool (*run)();
    } scenarios[] = {{"fan", Fan}, {"typhoon", Typhoon}, {"seven", Seven}, {"sndplay", SndPlay}};
    for (const auto &scenario : scenarios)
        if (!strcmp(argv[1], scenario.name)) {
            bool done = scenario.run();
            StopEngine();
            return done ? 0 : 1;
        }
    return 2;
}
