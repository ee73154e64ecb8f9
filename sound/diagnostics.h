// The sound library's reports: the support log and the debugger messages.
// Internal to the library.
#ifndef QUILLET_SOUND_DIAGNOSTICS_H
#define QUILLET_SOUND_DIAGNOSTICS_H

#include "sound.h"

// Stops the engine and logs the text, cut to 127 characters, as one line.
// Returns 0, the engine's failure result.
int ReportEngineError(const char *format, ...);

// Sends the text, cut to 255 characters, to the debugger, and closes file
// unless it is -1. Returns 0, the readers' failure result.
int ReportWaveError(int file, const char *format, ...);

#endif
