// The support log and the reader's debugger messages.
#include <stdarg.h>
#include <stdio.h>

#ifdef _WIN32
#include <windows.h>
#endif

#include "diagnostics.h"
#include "file_io.h"
#include "sound.h"

#define ENGINE_TEXT_BYTES 128
#define WAVE_TEXT_BYTES 256

#ifndef _WIN32
// The portable path, for the fuzz build on Linux: there is no debugger to
// tell, so the text goes to standard error.
static void OutputDebugStringA(const char *text)
{
    fputs(text, stderr);
}
#endif

// Set once the first write of the run has started the log afresh.
static int logStarted = 0;

void WriteSupportLog(const char *format, ...)
{
    FILE *log = fopen("supinfo.txt", logStarted ? "at" : "w");
    if (log) {
        va_list args;
        va_start(args, format);
        vfprintf(log, format, args);
        va_end(args);
        fclose(log);
    }
    logStarted = 1;
}

int ReportEngineError(const char *format, ...)
{
    char text[ENGINE_TEXT_BYTES];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    StopEngine();
    // The text is an argument, never a format: a '%' in it stays as it is.
    WriteSupportLog("%s\n", text);
    return 0;
}

int ReportWaveError(int file, const char *format, ...)
{
    char text[WAVE_TEXT_BYTES];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    OutputDebugStringA(text);
    if (file != -1)
        CloseFile(file);
    return 0;
}
