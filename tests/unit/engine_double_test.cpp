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
#include "tests/common/waves.h"

namespace {

HMODULE const FAKE_WINMM = (HMODULE)0x1000;
HMODULE const FAKE_DSOUND = (HMODULE)0x2000;
const BYTE UNWRITTEN = 0xEE;
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
    UINT timerId = 77; // 0: timeSetEvent fails
};

// What a buffer's Unlock gave back: the bytes written from the locked offset.
struct Fill {
    DWORD offset;
    std::string bytes;
    bool operator==(const Fill &other) const { return offset == other.offset && bytes == other.bytes; }
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
    std::vector<Fill> fills;
    std::vector<DWORD> plays; // the flags of each Play
    int stops = 0;
    LPTIMECALLBACK timerCallback = NULL;
    UINT timerDelay = 0, timerResolution = 0, timerFlags = 0;
    std::vector<UINT> timersKilled;
};

Behaviour behaviour;
Seen seen;

// A buffer's memory, handed out by Lock in two regions, as a ring buffer
// gives them when the lock wraps around its end.
struct FakeBuffer final : IDirectSoundBuffer {
    std::vector<BYTE> head, tail;
    DWORD cursor = 0, locked = 0;

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
    STDMETHOD(Lock)(DWORD offset, DWORD bytes, LPVOID *first, LPDWORD firstBytes, LPVOID *second,
                    LPDWORD secondBytes, DWORD) override
    {
        if (behaviour.lockResult != DS_OK)
            return behaviour.lockResult;
        locked = offset;
        // Bytes no writer leaves, so that a byte left unwritten shows.
        head.assign(bytes / 3, UNWRITTEN);
        tail.assign(bytes - bytes / 3, UNWRITTEN);
        *first = head.data();
        *firstBytes = (DWORD)head.size();
        *second = tail.data();
        *secondBytes = (DWORD)tail.size();
        return DS_OK;
    }
    STDMETHOD(Play)(DWORD, DWORD, DWORD flags) override
    {
        seen.plays.push_back(flags);
        return DS_OK;
    }
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
    STDMETHOD(Stop)() override
    {
        seen.stops++;
        return DS_OK;
    }
    STDMETHOD(Unlock)(LPVOID, DWORD, LPVOID, DWORD) override
    {
        std::string bytes(head.begin(), head.end());
        seen.fills.push_back({locked, bytes.append(tail.begin(), tail.end())});
        return DS_OK;
    }
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
MMRESULT WINAPI FakeTimeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK callback, DWORD_PTR, UINT flags)
{
    seen.timerCallback = callback;
    seen.timerDelay = delay;
    seen.timerResolution = resolution;
    seen.timerFlags = flags;
    return behaviour.timerId;
}
MMRESULT WINAPI FakeTimeKillEvent(UINT timer)
{
    seen.timersKilled.push_back(timer);
    return TIMERR_NOERROR;
}
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

// A stream through the stand-in: the cursor is the test's to move, and each
// tick of the refill timer is the test calling the timer's callback.
class StandInStream : public StandInSamples {
protected:
    // 200 ms of the chime's format, 22050 Hz 16-bit mono, in halves of:
    static const DWORD HALF = 4410;
    std::string data;
    int files = 0;

    // Opens a stream on a new file of the format whose data is bytes long.
    int Open(unsigned bits, size_t bytes, unsigned milliseconds = 200)
    {
        data = BinaryJunk(bytes);
        std::string name = "stream" + std::to_string(++files) + ".wav";
        EXPECT_TRUE(WriteFileText(std::wstring(name.begin(), name.end()), PcmWave(22050, bits, 1, data)));
        return OpenStream(name.c_str(), milliseconds);
    }
    std::string Data(size_t from, size_t bytes) const { return data.substr(from, bytes); }
    void Tick(DWORD cursor, UINT timer = 77)
    {
        lastSample->cursor = cursor;
        seen.timerCallback(timer, 0, 0, 0, 0);
    }
    // The fills since the last call.
    std::vector<Fill> Fills()
    {
        std::vector<Fill> fills = seen.fills;
        seen.fills.clear();
        return fills;
    }
};

TEST_F(StandInStream, TheBufferHoldsWholeFramesInEachHalfFromFiftyMilliseconds)
{
    EXPECT_EQ(Open(16, 2 * 2205, 49), 0);
    EXPECT_EQ(seen.bufferRefs, 1) << "only the primary buffer";
    ASSERT_EQ(Open(16, 2 * 2205, 50), 1);
    EXPECT_EQ(seen.sampleDesc.dwFlags, 0x100E8u);
    EXPECT_EQ(seen.sampleDesc.dwBufferBytes, 2204u) << "2205.0001 bytes, halves of whole frames";
    EXPECT_EQ(seen.sampleFormat.nSamplesPerSec, 22050u);
    EXPECT_EQ(seen.sampleFormat.wBitsPerSample, 16);
    EXPECT_EQ(Open(16, 4 * HALF - 1), 0) << "a second stream";
    CloseStream();
    EXPECT_EQ(Open(16, 4 * HALF - 1), 0) << "less than two buffers of data";
    ASSERT_EQ(Open(16, 4 * HALF), 1);
    EXPECT_EQ(seen.sampleDesc.dwBufferBytes, 2 * HALF);
    CloseStream();
    EXPECT_EQ(seen.bufferRefs, 1);
    ASSERT_EQ(SetGlobalFocus(1), 1);
    ASSERT_EQ(Open(24, 6 * HALF), 1);
    EXPECT_EQ(seen.sampleDesc.dwFlags, 0x180E8u);
    EXPECT_EQ(seen.sampleDesc.dwBufferBytes, 3 * HALF) << "200 ms of 24-bit samples";
}

TEST_F(StandInStream, PlayFillsTheFirstHalfAndEachTickRefillsTheHalfTheCursorLeft)
{
    ASSERT_EQ(Open(16, 5 * HALF), 1);
    ASSERT_EQ(PlayStream(0), 1);
    EXPECT_EQ(seen.positionsSet, (std::vector<DWORD>{HALF, 0})) << "primed from the second half";
    EXPECT_EQ(Fills(), (std::vector<Fill>{{0, Data(0, HALF)}}));
    EXPECT_EQ(seen.timerDelay, 10u);
    EXPECT_EQ(seen.timerResolution, 3u) << "the engine's period";
    EXPECT_EQ(seen.timerFlags, (UINT)TIME_PERIODIC);
    EXPECT_EQ(seen.plays, std::vector<DWORD>{DSBPLAY_LOOPING});

    Tick(0);
    Tick(HALF - 1);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{HALF, Data(HALF, HALF)}})) << "once per pass";
    Tick(HALF);
    Tick(2 * HALF - 1);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{0, Data(2 * HALF, HALF)}}));
    ASSERT_EQ(PlayStream(1), 1);
    EXPECT_TRUE(Fills().empty()) << "a playing stream only takes the loop flag";
    EXPECT_EQ(seen.plays.size(), 1u);
    EXPECT_EQ(seen.positionsSet.size(), 2u);
    Tick(10);
    Tick(HALF);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{HALF, Data(3 * HALF, HALF)}, {0, Data(4 * HALF, HALF)}}));
    Tick(0);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{HALF, Data(0, HALF)}})) << "looping from the data's start";
}

TEST_F(StandInStream, TheDataEndIsPaddedWithSilenceAndTheBufferPlaysOut)
{
    for (unsigned bits : {8u, 16u, 24u}) {
        SCOPED_TRACE(bits);
        DWORD half = HALF * bits / 16;
        std::string silence(half - 10, bits == 8 ? '\x80' : '\0');
        ASSERT_EQ(Open(bits, 4 * half + 10), 1);
        ASSERT_EQ(PlayStream(0), 1);
        for (DWORD cursor : std::vector<DWORD>{0, half, 0, half, half + 10})
            Tick(cursor);
        EXPECT_EQ(Fills().back(), (Fill{0, Data(4 * half, 10) + silence}));
        EXPECT_TRUE(seen.timersKilled.empty()) << "the data is still playing";
        Tick(0);
        EXPECT_EQ(Fills(), (std::vector<Fill>{{half, std::string(half, silence[0])}}));
        EXPECT_EQ(seen.plays.back(), 0u) << "to the buffer's end, once";
        EXPECT_EQ(seen.timersKilled, std::vector<UINT>{77});
        Tick(half);
        EXPECT_TRUE(Fills().empty()) << "a tick of the killed timer";

        lastSample->cursor = 0; // where a buffer stops by itself
        ASSERT_EQ(PlayStream(0), 1);
        EXPECT_EQ(Fills(), (std::vector<Fill>{{0, Data(0, half)}})) << "the file is back at the data's start";
        CloseStream();
        seen.timersKilled.clear();
    }
}

TEST_F(StandInStream, LoopingWrapsToTheDataStartInsideAHalf)
{
    ASSERT_EQ(Open(16, 4 * HALF + 10), 1);
    ASSERT_EQ(PlayStream(1), 1);
    for (DWORD cursor : std::vector<DWORD>{0, HALF, 0, HALF, 0})
        Tick(cursor);
    std::vector<Fill> fills = Fills();
    ASSERT_EQ(fills.size(), 6u);
    EXPECT_EQ(fills[4], (Fill{0, Data(4 * HALF, 10) + Data(0, HALF - 10)}));
    EXPECT_EQ(fills[5], (Fill{HALF, Data(HALF - 10, HALF)}));
    EXPECT_TRUE(seen.timersKilled.empty());
}

TEST_F(StandInStream, StopKeepsTheBufferWhereItIsAndRereadsTheFileFromTheStart)
{
    ASSERT_EQ(Open(16, 6 * HALF), 1);
    ASSERT_EQ(PlayStream(0), 1);
    Tick(0);
    Tick(HALF + 100);
    ASSERT_EQ(PauseStream(), 1);
    EXPECT_EQ(seen.stops, 1);
    EXPECT_EQ(seen.timersKilled, std::vector<UINT>{77});
    Fills();
    seen.positionsSet.clear();
    ASSERT_EQ(PlayStream(0), 1);
    Tick(HALF + 200);
    Tick(100);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{HALF, Data(3 * HALF, HALF)}})) << "paused: the file goes on";

    ASSERT_EQ(StopStream(), 1);
    EXPECT_EQ(seen.stops, 2);
    ASSERT_EQ(PlayStream(0), 1);
    EXPECT_TRUE(seen.positionsSet.empty()) << "the buffer resumes where it stood";
    Tick(150);
    Tick(HALF);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{0, Data(0, HALF)}})) << "stopped: the file starts over";
}

TEST_F(StandInStream, WithoutATimerNothingStartsAndAFailedLockWaitsForTheNextTick)
{
    ASSERT_EQ(Open(16, 4 * HALF), 1);
    behaviour.timerId = 0;
    EXPECT_EQ(PlayStream(0), 0);
    EXPECT_TRUE(seen.plays.empty()) << "a buffer without refills would loop its first half";
    Fills();
    behaviour.timerId = 78;
    ASSERT_EQ(PlayStream(0), 1);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{0, Data(0, HALF)}})) << "the file went back";

    behaviour.lockResult = DSERR_BUFFERLOST;
    Tick(0, 78);
    behaviour.lockResult = DS_OK;
    EXPECT_TRUE(Fills().empty());
    Tick(0, 78);
    EXPECT_EQ(Fills(), (std::vector<Fill>{{HALF, Data(HALF, HALF)}})) << "the same half, a tick later";
}

TEST_F(StandInStream, ClosingFromAnyWayLeavesTheTicksNothingToDo)
{
    EXPECT_EQ(PlayStream(0), 0);
    EXPECT_EQ(PauseStream(), 0);
    EXPECT_EQ(StopStream(), 0);
    ASSERT_EQ(Open(16, 4 * HALF), 1);
    ASSERT_EQ(PlayStream(0), 1);
    CloseStream();
    EXPECT_EQ(seen.timersKilled, std::vector<UINT>{77});
    EXPECT_EQ(seen.bufferRefs, 1) << "the stream's buffer is released";
    seen.timerCallback(77, 0, 0, 0, 0);
    EXPECT_EQ(PlayStream(0), 0);
    EXPECT_EQ(StopStream(), 0);

    ASSERT_EQ(Open(16, 4 * HALF), 1);
    ASSERT_EQ(PlayStream(0), 1);
    ASSERT_EQ(SetGlobalFocus(0), 1);
    EXPECT_EQ(seen.bufferRefs, 1);
    ASSERT_EQ(Open(16, 4 * HALF), 1);
    ASSERT_EQ(PlayStream(0), 1);
    StopEngine();
    EXPECT_EQ(seen.timersKilled, (std::vector<UINT>{77, 77, 77}));
    seen.timerCallback(77, 0, 0, 0, 0);
    EXPECT_EQ(Fills().size(), 3u) << "one priming each, no tick after closing";
}

} // namespace
