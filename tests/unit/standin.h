// A stand-in for the system under the program, in place for every unit test: winmm's timer entries, a DirectSound
// and a few imports that do what the test arranges and keep what they are asked. With what every unit test includes.
#ifndef QUILLET_TEST_STANDIN_H
#define QUILLET_TEST_STANDIN_H

#include <gtest/gtest.h>
#include <windows.h>
#include <mmsystem.h>
#include <dsound.h>

#include <cstring>
#include <string>
#include <vector>

#include "handles/handles.h"
#include "resources/resource.h"
#include "settings/settings.h"
#include "sound/chime_sound.h"
#include "sound/sound.h"
#include "tests/common/harness.h"
#include "wind/wind.h"
#include "window/tray.h"
#include "window/window.h"

struct Voice { // a secondary buffer as the stand-in keeps it
    DSBUFFERDESC desc;
    std::vector<BYTE> memory;
    DWORD cursor = 0, played = 99; // played: the last Play's flags, 99 before any
};

struct StandIn {
    // Arranged by the test.
    std::string missing; // a DLL or an entry that is not there
    std::vector<HRESULT> enumerations; // the first calls' results; DS_OK after them
    HRESULT create = DS_OK, cooperate = DS_OK, primary = DS_OK, format = DS_OK, lock = DS_OK, frequency = DS_OK;
    HRESULT setting = DS_OK;
    bool nullDevice = false, nullPrimary = false; // reported made, but none comes
    bool nullRegion = false; // Lock says yes, but hands out no first region
    bool noShapes = false; // CreateRectRgn fails, as where GDI is exhausted
    bool splitLocks = false; // Lock hands a range out in two regions
    DWORD lockSlack = 0; // and its regions are this much longer than asked
    MMRESULT caps = TIMERR_NOERROR, period = TIMERR_NOERROR;
    UINT timer = 7; // what timeSetEvent gives
    DWORD hz = 22050;
    int holds = 0, devices = 0, buffers = 0, periods = 0, locks = 0; // seen from here on
    GUID opened = {};
    DWORD cooperation = 0;
    std::vector<Voice *> made;
    std::string trace; // samples' volumes, pans and plays, "k:v-900 k:p37 k:play0 "; the simple call's, "wave155 "
    std::string timers; // the window timers set, as "id ms "
    int gdi = 0; // memory DCs and rectangle regions made, less those deleted or handed to a window
    LPTIMECALLBACK refill = NULL;
    UINT delay = 0, resolution = 0, killed = 0;
};
extern StandIn standIn;

void ResetStandIn(); // the engine stopped, and a fresh stand-in in place, with the imports it counts

// A test in a new folder of its own, the current one, with a fresh stand-in.
class FreshFolderAndStandIn : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override { ResetStandIn(); }
    std::string File(const wchar_t *name = L"quillet.ini") { return ReadFileBytes(folder + L"\\" + name); }
    std::wstring folder;
};

std::string LastLogLine(); // of supinfo.txt in the current folder, without its line end

// Points this program's import of a system entry at a stand-in, for the calls
// the program makes from here on; returns the entry it replaced.
void *ReplaceImport(const char *dll, const char *entry, void *replacement);

#endif
