// The engine against a stand-in system: a loader that hands out a winmm and a
// dsound of the test's own, whose device and buffers count their references.
// Every way start-up can fail, the device list, and the sample library's
// handling of buffers that misbehave.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "sound/chime_sound.h"
#include "sound/engine.h"
#include "sound/sound.h"
#include "tests/common/files.h"
#include "tests/common/pe_resources.h"

namespace {

HMODULE const FAKE_WINMM = (HMODULE)0x1000;
HMODULE const FAKE_DSOUND = (HMODULE)0x2000;
const GUID SOME_DEVICE = {0x12345678, 0x1234, 0x5678, {1, 2, 3, 4, 5, 6, 7, 8}};

// What the stand-in does and what it saw.
struct Behaviour {
    bool winmmLoads = true, dsoundLoads = true;
    std::string missingEntry;
    std::vector<HRESULT> enumerateResults; // one per call; DS_OK after the list
    int devicesOffered = 2;
    HRESULT createResult = DS_OK, cooperativeResult = DS_OK, primaryResult = DS_OK, setFormatResult = DS_OK;
    HRESULT sampleResult = DS_OK, lockResult = DS_OK, frequencyResult = DS_OK, settingResult = DS_OK;
    DWORD frequency = 22050;
    MMRESULT capsResult = TIMERR_NOERROR, beginResult = TIMERR_NOERROR;
};

struct Seen {
    int winmmHolds = 0, dsoundHolds = 0, deviceRefs = 0, bufferRefs = 0;
    int enumerateCalls = 0, beginPeriods = 0, endPeriods = 0, settings = 0;
    std::vector<BOOL> answers;
    GUID createdWith = SOME_DEVICE;
    HWND cooperativeWindow = NULL;
    DWORD cooperativeLevel = 0;
    DSBUFFERDESC primaryDesc = {}, sampleDesc = {};
    WAVEFORMATEX primaryFormat = {}, sampleFormat = {};
    std::vector<DWORD> positionsSet;
};

Behaviour behaviour;
Seen seen;

// A buffer's memory, handed out by Lock in two regions, as a ring buffer
// gives them when the lock wraps around its end.
struct FakeBuffer final : IDirectSoundBuffer {
    std::vector<BYTE> head, tail;
    DWORD cursor = 0;

    STDMETHOD_(HRESULT, QueryInterface)(REFIID, void **) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++seen.bufferRefs; }
    STDMETHOD_(ULONG, Release)() override
    {
        ULONG left = --seen.bufferRefs;
        delete this;
        return left;
    }
    STDMETHOD(GetCaps)(LPDSBCAPS) override { return DS_OK; }
    STDMETHOD(GetCurrentPosition)(LPDWORD play, LPDWORD write) override
    {
        *play = cursor;
        if (write)
            *write = cursor;
        return DS_OK;
    }
    STDMETHOD(GetFormat)(LPWAVEFORMATEX, DWORD, LPDWORD) override { return DS_OK; }
    STDMETHOD(GetVolume)(LPLONG volume) override
    {
        *volume = -100;
        return DS_OK;
    }
    STDMETHOD(GetPan)(LPLONG pan) override
    {
        *pan = 0;
        return DS_OK;
    }
    STDMETHOD(GetFrequency)(LPDWORD hz) override
    {
        if (behaviour.frequencyResult == DS_OK)
            *hz = behaviour.frequency;
        return behaviour.frequencyResult;
    }
    STDMETHOD(GetStatus)(LPDWORD) override { return DS_OK; }
    STDMETHOD(Initialize)(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return DS_OK; }
    STDMETHOD(Lock)(DWORD, DWORD bytes, LPVOID *first, LPDWORD firstBytes, LPVOID *second, LPDWORD secondBytes,
                    DWORD) override
    {
        if (behaviour.lockResult != DS_OK)
            return behaviour.lockResult;
        head.assign(bytes / 3, 0);
        tail.assign(bytes - bytes / 3, 0);
        *first = head.data();
        *firstBytes = (DWORD)head.size();
        *second = tail.data();
        *secondBytes = (DWORD)tail.size();
        return DS_OK;
    }
    STDMETHOD(Play)(DWORD, DWORD, DWORD) override { return DS_OK; }
    STDMETHOD(SetCurrentPosition)(DWORD position) override
    {
        seen.positionsSet.push_back(position);
        cursor = position;
        return DS_OK;
    }
    STDMETHOD(SetFormat)(LPCWAVEFORMATEX format) override
    {
        seen.primaryFormat = *format;
        return behaviour.setFormatResult;
    }
    STDMETHOD(SetVolume)(LONG) override { return Setting(); }
    STDMETHOD(SetPan)(LONG) override { return Setting(); }
    STDMETHOD(SetFrequency)(DWORD) override { return Setting(); }
    STDMETHOD(Stop)() override { return DS_OK; }
    STDMETHOD(Unlock)(LPVOID, DWORD, LPVOID, DWORD) override { return DS_OK; }
    STDMETHOD(Restore)() override { return DS_OK; }

    HRESULT Setting()
    {
        seen.settings++;
        return behaviour.settingResult;
    }
};

FakeBuffer *lastSample;

struct FakeDevice : IDirectSound {
    STDMETHOD_(HRESULT, QueryInterface)(REFIID, void **) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++seen.deviceRefs; }
    STDMETHOD_(ULONG, Release)() override { return --seen.deviceRefs; }
    STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC desc, LPLPDIRECTSOUNDBUFFER buffer, IUnknown *) override
    {
        bool primary = desc->dwFlags & DSBCAPS_PRIMARYBUFFER;
        (primary ? seen.primaryDesc : seen.sampleDesc) = *desc;
        if (!primary && desc->lpwfxFormat)
            seen.sampleFormat = *desc->lpwfxFormat;
        HRESULT result = primary ? behaviour.primaryResult : behaviour.sampleResult;
        if (result != DS_OK)
            return result;
        FakeBuffer *made = new FakeBuffer;
        made->AddRef();
        if (!primary)
            lastSample = made;
        *buffer = made;
        return DS_OK;
    }
    STDMETHOD(GetCaps)(LPDSCAPS) override { return DS_OK; }
    STDMETHOD(DuplicateSoundBuffer)(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override { return E_NOTIMPL; }
    STDMETHOD(SetCooperativeLevel)(HWND window, DWORD level) override
    {
        seen.cooperativeWindow = window;
        seen.cooperativeLevel = level;
        return behaviour.cooperativeResult;
    }
    STDMETHOD(Compact)() override { return DS_OK; }
    STDMETHOD(GetSpeakerConfig)(LPDWORD) override { return DS_OK; }
    STDMETHOD(SetSpeakerConfig)(DWORD) override { return DS_OK; }
    STDMETHOD(Initialize)(LPCGUID) override { return DS_OK; }
} device;

DWORD WINAPI FakeTimeGetTime(void) { return 0; }
MMRESULT WINAPI FakeTimeBeginPeriod(UINT period)
{
    EXPECT_EQ(period, 3u) << "the finest period the caps give";
    seen.beginPeriods += behaviour.beginResult == TIMERR_NOERROR;
    return behaviour.beginResult;
}
MMRESULT WINAPI FakeTimeEndPeriod(UINT period)
{
    EXPECT_EQ(period, 3u);
    seen.endPeriods++;
    return TIMERR_NOERROR;
}
MMRESULT WINAPI FakeTimeGetDevCaps(LPTIMECAPS caps, UINT bytes)
{
    EXPECT_EQ(bytes, 8u);
    caps->wPeriodMin = 3;
    caps->wPeriodMax = 1000000;
    return behaviour.capsResult;
}
MMRESULT WINAPI FakeTimeSetEvent(UINT, UINT, LPTIMECALLBACK, DWORD_PTR, UINT) { return 0; }
MMRESULT WINAPI FakeTimeKillEvent(UINT) { return 0; }
UINT WINAPI FakeJoyGetNumDevs(void) { return 0; }
MMRESULT WINAPI FakeJoyGetPos(UINT, LPJOYINFO) { return JOYERR_UNPLUGGED; }
MMRESULT WINAPI FakeJoyGetPosEx(UINT, LPJOYINFOEX) { return JOYERR_UNPLUGGED; }

HRESULT WINAPI FakeEnumerate(LPDSENUMCALLBACKA callback, LPVOID context)
{
    size_t call = seen.enumerateCalls++;
    if (call < behaviour.enumerateResults.size() && behaviour.enumerateResults[call] != DS_OK)
        return behaviour.enumerateResults[call];
    // The primary driver first, without a GUID, as DirectSound reports it.
    seen.answers.push_back(callback(NULL, "Primary Sound Driver", "", context));
    for (int k = 1; k < behaviour.devicesOffered; k++) {
        GUID guid = SOME_DEVICE;
        guid.Data1 += k;
        seen.answers.push_back(callback(&guid, std::string(300, 'd').c_str(), "fake.drv", context));
    }
    return DS_OK;
}

HRESULT WINAPI FakeCreate(LPCGUID guid, LPDIRECTSOUND *made, LPUNKNOWN)
{
    seen.createdWith = guid ? *guid : SOME_DEVICE;
    if (behaviour.createResult != DS_OK)
        return behaviour.createResult;
    device.AddRef();
    *made = &device;
    return DS_OK;
}

template <typename Entry> FARPROC AsProc(Entry entry)
{
    FARPROC proc;
    static_assert(sizeof proc == sizeof entry, "function pointers");
    memcpy(&proc, &entry, sizeof proc);
    return proc;
}

HMODULE WINAPI FakeLoadLibrary(LPCSTR name)
{
    if (!_stricmp(name, "winmm.dll") && behaviour.winmmLoads) {
        seen.winmmHolds++;
        return FAKE_WINMM;
    }
    if (!_stricmp(name, "dsound.dll") && behaviour.dsoundLoads) {
        seen.dsoundHolds++;
        return FAKE_DSOUND;
    }
    return NULL;
}

FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name)
{
    static const std::map<std::string, FARPROC> winmm = {
        {"timeGetTime", AsProc(FakeTimeGetTime)},     {"timeBeginPeriod", AsProc(FakeTimeBeginPeriod)},
        {"timeEndPeriod", AsProc(FakeTimeEndPeriod)}, {"timeGetDevCaps", AsProc(FakeTimeGetDevCaps)},
        {"timeSetEvent", AsProc(FakeTimeSetEvent)},   {"timeKillEvent", AsProc(FakeTimeKillEvent)},
        {"joyGetNumDevs", AsProc(FakeJoyGetNumDevs)}, {"joyGetPos", AsProc(FakeJoyGetPos)},
        {"joyGetPosEx", AsProc(FakeJoyGetPosEx)},
    };
    static const std::map<std::string, FARPROC> dsound = {
        {"DirectSoundEnumerateA", AsProc(FakeEnumerate)},
        {"DirectSoundCreate", AsProc(FakeCreate)},
    };
    const auto &entries = module == FAKE_WINMM ? winmm : dsound;
    auto found = entries.find(name);
    return found == entries.end() || name == behaviour.missingEntry ? NULL : found->second;
}

BOOL WINAPI FakeFreeLibrary(HMODULE module)
{
    (module == FAKE_WINMM ? seen.winmmHolds : seen.dsoundHolds)--;
    return TRUE;
}

const SystemLoader fakeLoader = {FakeLoadLibrary, FakeGetProcAddress, FakeFreeLibrary};

HWND const OWNER = (HWND)0x4242;

std::string LastLogLine()
{
    std::string text = FileText(L"supinfo.txt");
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n"))
        return "<unterminated: " + text + ">";
    text.resize(text.size() - 2);
    size_t start = text.rfind("\r\n");
    return start == std::string::npos ? text : text.substr(start + 2);
}

class StandIn : public ::testing::Test {
protected:
    void SetUp() override
    {
        behaviour = Behaviour();
        seen = Seen();
        UseSystemLoader(&fakeLoader);
        char root[MAX_PATH] = "";
        GetEnvironmentVariableA("QUILLET_SCRATCH", root, MAX_PATH);
        std::string text(root);
        ASSERT_TRUE(SetCurrentDirectoryW(FreshFolderUnder(std::wstring(text.begin(), text.end())).c_str()));
    }
    void TearDown() override
    {
        StopEngine();
        ExpectNothingHeld();
        UseSystemLoader(NULL);
    }
    static void ExpectNothingHeld()
    {
        EXPECT_EQ(seen.winmmHolds, 0);
        EXPECT_EQ(seen.dsoundHolds, 0);
        EXPECT_EQ(seen.deviceRefs, 0);
        EXPECT_EQ(seen.bufferRefs, 0);
        EXPECT_EQ(seen.endPeriods, seen.beginPeriods) << "every period begun is ended";
        EXPECT_EQ(EngineDevice(), nullptr);
        EXPECT_EQ(EngineSlot(0), nullptr);
        EXPECT_EQ(GetMasterVolume(), 1);
        // Holding winmm now loads it afresh: the engine's hold was given up.
        Behaviour arranged = behaviour;
        behaviour = Behaviour();
        EXPECT_EQ(AcquireWinmm(), 1u);
        EXPECT_EQ(seen.winmmHolds, 1);
        EXPECT_EQ(ReleaseWinmm(), 0u);
        EXPECT_EQ(seen.winmmHolds, 0);
        behaviour = arranged;
    }
};

TEST_F(StandIn, StartsTheDefaultDeviceWithThePrimaryFormatAndStopsEverything)
{
    ASSERT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 1);
    EXPECT_EQ(seen.winmmHolds, 1);
    EXPECT_EQ(seen.dsoundHolds, 1);
    EXPECT_EQ(seen.deviceRefs, 1);
    EXPECT_EQ(seen.bufferRefs, 1) << "the primary buffer";
    EXPECT_TRUE(IsEqualGUID(seen.createdWith, GUID_NULL)) << "the primary driver's entry opens the default device";
    EXPECT_EQ(seen.cooperativeWindow, OWNER);
    EXPECT_EQ(seen.cooperativeLevel, 2u);
    EXPECT_EQ(seen.primaryDesc.dwSize, sizeof(void *) == 4 ? 20u : 24u) << "the first version of the record";
    EXPECT_EQ(seen.primaryDesc.dwFlags, 0x81u);
    EXPECT_EQ(seen.primaryDesc.dwBufferBytes, 0u);
    EXPECT_EQ(seen.primaryDesc.lpwfxFormat, nullptr);
    EXPECT_EQ(seen.primaryFormat.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(seen.primaryFormat.nChannels, 1);
    EXPECT_EQ(seen.primaryFormat.nSamplesPerSec, 22050u);
    EXPECT_EQ(seen.primaryFormat.wBitsPerSample, 16);
    EXPECT_EQ(seen.primaryFormat.nBlockAlign, 2);
    EXPECT_EQ(seen.primaryFormat.nAvgBytesPerSec, 44100u);
    EXPECT_EQ(seen.beginPeriods, 1);
    EXPECT_EQ(GetMasterVolume(), -100);
    ASSERT_NE(EngineSlot(6), nullptr);
    EXPECT_EQ(EngineSlot(7), nullptr);

    ASSERT_EQ(StartEngine(OWNER, 44100, 8, 2, 1), 1) << "a second start stops the first";
    EXPECT_EQ(seen.winmmHolds, 1);
    EXPECT_EQ(seen.deviceRefs, 1);
    EXPECT_EQ(seen.bufferRefs, 1);
    EXPECT_EQ(seen.endPeriods, 1);
    EXPECT_EQ(seen.primaryFormat.nBlockAlign, 2);
    EXPECT_EQ(seen.primaryFormat.nAvgBytesPerSec, 88200u);
    EXPECT_EQ(EngineSlot(1), nullptr);
    StopEngine();
    ExpectNothingHeld();
    StopEngine();
}

TEST_F(StandIn, TheDeviceListHoldsTenEntriesForTheLifeOfTheProgram)
{
    behaviour.devicesOffered = 12;
    ASSERT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 1);
    ASSERT_EQ(seen.answers.size(), 12u);
    EXPECT_FALSE(seen.answers[10]) << "the list is full";
    EXPECT_FALSE(seen.answers[11]);
    EXPECT_TRUE(IsEqualGUID(seen.createdWith, GUID_NULL));
    StopEngine();
    seen.answers.clear();
    ASSERT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 1);
    EXPECT_EQ(seen.answers, std::vector<BOOL>(12, FALSE)) << "stopping keeps the list";
    EXPECT_TRUE(IsEqualGUID(seen.createdWith, GUID_NULL)) << "still the first entry";
}

TEST_F(StandIn, EnumerationIsTriedThreeMoreTimesUnlessAParameterIsBad)
{
    behaviour.enumerateResults = {DSERR_GENERIC, E_OUTOFMEMORY, DSERR_GENERIC};
    EXPECT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 1);
    EXPECT_EQ(seen.enumerateCalls, 4);
    StopEngine();

    seen.enumerateCalls = 0;
    behaviour.enumerateResults = std::vector<HRESULT>(5, DSERR_GENERIC);
    EXPECT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 0);
    EXPECT_EQ(seen.enumerateCalls, 4);
    EXPECT_EQ(LastLogLine(), "Enumerate Driver Failed");

    seen.enumerateCalls = 0;
    behaviour.enumerateResults = {DSERR_GENERIC, DSERR_INVALIDPARAM};
    EXPECT_EQ(StartEngine(OWNER, 22050, 16, 1, 7), 0);
    EXPECT_EQ(seen.enumerateCalls, 2);
    EXPECT_EQ(seen.deviceRefs, 0) << "no device was created";
}

struct Failure {
    const char *text;
    void (*arrange)();
    unsigned slots;
};

const Failure failures[] = {
    {"GetFunction Failed (WINMM.DLL)", [] { behaviour.winmmLoads = false; }, 7},
    {"GetFunction Failed (WINMM.DLL)", [] { behaviour.missingEntry = "joyGetPosEx"; }, 7},
    {"GetFunction Failed (WINMM.DLL)", [] { behaviour.missingEntry = "timeGetTime"; }, 7},
    {"LoadLibrary Failed (DSOUND.DLL)", [] { behaviour.dsoundLoads = false; }, 7},
    {"GetProcAddress Failed (DSOUND.DLL - DirectSoundEnumerate)",
     [] { behaviour.missingEntry = "DirectSoundEnumerateA"; }, 7},
    {"GetProcAddress Failed (DSOUND.DLL - DirectSoundCreate)", [] { behaviour.missingEntry = "DirectSoundCreate"; },
     7},
    {"Enumerate Driver Failed", [] { behaviour.enumerateResults = {DSERR_INVALIDPARAM}; }, 7},
    {"DirectSoundCreate Failed", [] { behaviour.createResult = DSERR_NODRIVER; }, 7},
    {"Set CooperativeLevel Failed", [] { behaviour.cooperativeResult = DSERR_INVALIDPARAM; }, 7},
    {"Create PrimaryBuffer Failed", [] { behaviour.primaryResult = DSERR_OUTOFMEMORY; }, 7},
    {"Create PrimaryBuffer Failed", [] { behaviour.setFormatResult = DSERR_BADFORMAT; }, 7},
    {"Get SampleLibraryMemory Failed", [] {}, 0xFFFFFFFFu},
    {"Get TIMECAPS Failed", [] { behaviour.capsResult = TIMERR_NOCANDO; }, 7},
    {"Set TimerResolution Failed", [] { behaviour.beginResult = TIMERR_NOCANDO; }, 7},
};

TEST_F(StandIn, EveryFailedStartLogsWhyAndLeavesNothingHeld)
{
    for (const Failure &failure : failures) {
        behaviour = Behaviour();
        seen = Seen();
        failure.arrange();
        EXPECT_EQ(StartEngine(OWNER, 22050, 16, 1, failure.slots), 0) << failure.text;
        EXPECT_EQ(LastLogLine(), failure.text);
        EXPECT_EQ(seen.endPeriods, 0) << "no period was in force: " << failure.text;
        ExpectNothingHeld();
        // The chime asks for its seven slots, which any heap has room for.
        if (failure.slots == 7) {
            seen.enumerateCalls = 0;
            EXPECT_EQ(StartDirectSound(OWNER), 1) << failure.text;
            ExpectNothingHeld();
        }
    }
}

class StandInSamples : public StandIn {
protected:
    void SetUp() override
    {
        StandIn::SetUp();
        ASSERT_EQ(StartEngine(OWNER, 22050, 16, 1, 2), 1);
    }
};

TEST_F(StandInSamples, BuffersGetTheSoundsFormatAndBothLockedRegions)
{
    ASSERT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 1);
    EXPECT_EQ(seen.sampleDesc.dwSize, seen.primaryDesc.dwSize);
    EXPECT_EQ(seen.sampleDesc.dwFlags, 0x100E8u);
    EXPECT_EQ(seen.sampleDesc.dwBufferBytes, 190200u);
    EXPECT_EQ(seen.sampleFormat.nSamplesPerSec, 22050u);
    EXPECT_EQ(seen.sampleFormat.nBlockAlign, 2);
    EXPECT_EQ(seen.sampleFormat.cbSize, 0);

    HRSRC found = FindResourceA(NULL, MAKEINTRESOURCEA(152), "WAVE");
    const BYTE *samples = (const BYTE *)LockResource(LoadResource(NULL, found)) + 44;
    std::vector<BYTE> copied = lastSample->head;
    copied.insert(copied.end(), lastSample->tail.begin(), lastSample->tail.end());
    ASSERT_EQ(copied.size(), 190200u);
    EXPECT_EQ(memcmp(copied.data(), samples, copied.size()), 0) << "the second region continues the first";

    ASSERT_EQ(SetGlobalFocus(1), 1);
    ASSERT_EQ(LoadSample(1, MAKEINTRESOURCEA(153)), 1);
    EXPECT_EQ(seen.sampleDesc.dwFlags, 0x180E8u);
    EXPECT_EQ(seen.bufferRefs, 2) << "the primary and the one sample; focus unloaded the other";
}

TEST_F(StandInSamples, MillisecondsAtTheChimesRate)
{
    ASSERT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 1);
    EXPECT_EQ(GetSampleLength(0), 4312);
    lastSample->cursor = 4410;
    EXPECT_EQ(GetSamplePosition(0), 99);
    lastSample->cursor = 4411;
    EXPECT_EQ(GetSamplePosition(0), 100);
    seen.positionsSet.clear();
    ASSERT_EQ(SetSamplePosition(0, 100), 1);
    EXPECT_EQ(seen.positionsSet, std::vector<DWORD>{4410});
}

TEST_F(StandInSamples, AnUnknownFrequencyConvertsNothing)
{
    ASSERT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 1);
    lastSample->cursor = 4410;
    seen.positionsSet.clear();
    for (HRESULT result : {(HRESULT)DS_OK, (HRESULT)DSERR_CONTROLUNAVAIL}) {
        behaviour.frequency = 0;
        behaviour.frequencyResult = result;
        EXPECT_EQ(GetSampleLength(0), 0);
        EXPECT_EQ(GetSamplePosition(0), 0);
        EXPECT_EQ(SetSamplePosition(0, 100), 0);
        EXPECT_TRUE(seen.positionsSet.empty()) << "nothing moved";
    }
    EngineSlot(0)->wave.blockAlign = 0;
    behaviour.frequencyResult = DS_OK;
    behaviour.frequency = 22050;
    EXPECT_EQ(GetSampleLength(0), 0);
    EXPECT_EQ(SetSamplePosition(0, 100), 0);
    EXPECT_TRUE(seen.positionsSet.empty());
}

TEST_F(StandInSamples, AFailedBufferOrLockLeavesTheSlotEmpty)
{
    behaviour.sampleResult = DSERR_OUTOFMEMORY;
    EXPECT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 0);
    behaviour.sampleResult = DS_OK;
    behaviour.lockResult = DSERR_BUFFERLOST;
    EXPECT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 0);
    EXPECT_EQ(EngineSlot(0)->buffer, nullptr);
    EXPECT_EQ(seen.bufferRefs, 1) << "only the primary buffer is left";
    behaviour.lockResult = DS_OK;
    EXPECT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 1);
}

// The setters tell whether the sample was there to ask, not what the device
// answered.
TEST_F(StandInSamples, SettersAskTheDeviceAndReportTheSampleNotItsAnswer)
{
    ASSERT_EQ(LoadSample(0, MAKEINTRESOURCEA(152)), 1);
    for (HRESULT answer : {(HRESULT)DS_OK, (HRESULT)DSERR_INVALIDPARAM, (HRESULT)DSERR_CONTROLUNAVAIL}) {
        behaviour.settingResult = answer;
        seen.settings = 0;
        EXPECT_EQ(SetSampleVolume(0, -600), 1) << answer;
        EXPECT_EQ(SetSamplePan(0, 300), 1) << answer;
        EXPECT_EQ(SetSampleFrequency(0, 44100), 1) << answer;
        EXPECT_EQ(seen.settings, 3);
        EXPECT_EQ(SetSampleVolume(1, -600), 0) << "an empty slot";
        EXPECT_EQ(SetSamplePan(2, 0), 0) << "beyond the library";
        EXPECT_EQ(SetSampleFrequency(1, 44100), 0);
        EXPECT_EQ(seen.settings, 3) << "nothing asked for a missing sample";
    }
}

} // namespace
