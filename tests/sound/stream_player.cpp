// Streams the recording test's files in one of its scenes, through a 200 ms
// buffer: stream_player.exe SCENE FOLDER. Exits with 0 when every call gave
// what the scene expects, 1 otherwise.
#include <windows.h>

#include <string>

#include "sound/sound.h"

static const unsigned BUFFER_MS = 200;

static int Stream(const std::string &path)
{
    return OpenStream(path.c_str(), BUFFER_MS) && PlayStream(0);
}

int main(int argc, char **argv)
{
    if (argc != 3)
        return 2;
    std::string scene = argv[1], folder = argv[2];
    std::string longFile = folder + "\\long.wav", loopFile = folder + "\\loop.wav", tone = folder + "\\tone8.wav";
    HWND window = CreateWindowA("STATIC", "stream", WS_OVERLAPPED, 0, 0, 50, 50, NULL, NULL, NULL, NULL);
    int done = StartEngine(window, 44100, 16, 2, 1);
    if (scene == "once") {
        // The 10 s file ends by itself; a second stream is refused meanwhile.
        done = done && OpenStream(longFile.c_str(), BUFFER_MS) && !OpenStream(tone.c_str(), BUFFER_MS) &&
               PlayStream(0);
        Sleep(11000);
        done = done && PlayStream(0);
        Sleep(1000);
    } else if (scene == "loop") {
        done = done && Stream(loopFile);
        Sleep(300);
        done = done && PlayStream(1);
        Sleep(2400);
    } else if (scene == "resume") {
        done = done && Stream(longFile);
        Sleep(1000);
        done = done && StopStream();
        Sleep(400);
        done = done && PlayStream(0);
        Sleep(1000);
    } else if (scene == "eight") {
        done = done && Stream(tone);
        Sleep(1000);
    } else {
        done = 0;
    }
    done = done && StopStream();
    CloseStream();
    StopEngine();
    DestroyWindow(window);
    return done ? 0 : 1;
}
