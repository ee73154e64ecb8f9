#include "standin.h"

#include "sound/engine.h"

StandIn standIn;

namespace {
HMODULE const WINMM = (HMODULE)0x1000, DSOUND = (HMODULE)0x2000;
const UINT FINEST_PERIOD = 3;

struct FakeBuffer final : Voice, IDirectSoundBuffer {
    int index; // among the secondary buffers; -1 for the primary
    void Trace(const char *what, long value)
    {
        if (index >= 0)
            standIn.trace += std::to_string(index) + ":" + what + std::to_string(value) + " ";
    }
    STDMETHOD_(HRESULT, QueryInterface)(REFIID, void **) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return 1; }
    STDMETHOD_(ULONG, Release)() override
    {
        if (index >= 0)
            standIn.made[index] = NULL;
        standIn.buffers--;
        delete this;
        return 0;
    }
    STDMETHOD(GetCaps)(LPDSBCAPS) override { return DS_OK; }
    STDMETHOD(GetCurrentPosition)(LPDWORD play, LPDWORD) override { return *play = cursor, DS_OK; }
    STDMETHOD(GetFormat)(LPWAVEFORMATEX, DWORD, LPDWORD) override { return DS_OK; }
    STDMETHOD(GetVolume)(LPLONG volume) override { return *volume = -100, DS_OK; }
    STDMETHOD(GetPan)(LPLONG pan) override { return *pan = 100, DS_OK; }
    STDMETHOD(GetFrequency)(LPDWORD hz) override
    {
        if (standIn.frequency == DS_OK)
            *hz = standIn.hz;
        return standIn.frequency;
    }
    STDMETHOD(GetStatus)(LPDWORD) override { return DS_OK; }
    STDMETHOD(Initialize)(LPDIRECTSOUND, LPCDSBUFFERDESC) override { return DS_OK; }
    // A range in one region, or split in two; longer than asked by the slack.
    STDMETHOD(Lock)(DWORD at, DWORD bytes, LPVOID *first, LPDWORD firstBytes, LPVOID *second, LPDWORD secondBytes,
                    DWORD) override
    {
        DWORD head = standIn.splitLocks ? bytes / 3 : bytes + standIn.lockSlack;
        *first = standIn.nullRegion ? NULL : &memory[at];
        *firstBytes = head;
        *second = standIn.splitLocks ? &memory[at + head] : NULL;
        *secondBytes = standIn.splitLocks ? bytes - head + standIn.lockSlack : 0;
        return standIn.locks += standIn.lock == DS_OK, standIn.lock;
    }
    STDMETHOD(Play)(DWORD, DWORD, DWORD flags) override { return Trace("play", played = flags), DS_OK; }
    STDMETHOD(SetCurrentPosition)(DWORD at) override { return cursor = at, at <= memory.size() ? DS_OK : E_FAIL; }
    STDMETHOD(SetFormat)(LPCWAVEFORMATEX) override { return standIn.format; }
    STDMETHOD(SetVolume)(LONG volume) override { return Trace("v", volume), standIn.setting; }
    STDMETHOD(SetPan)(LONG pan) override { return Trace("p", pan), standIn.setting; }
    STDMETHOD(SetFrequency)(DWORD) override { return standIn.setting; }
    STDMETHOD(Stop)() override { return DS_OK; }
    STDMETHOD(Unlock)(LPVOID, DWORD, LPVOID, DWORD) override { return standIn.locks--, DS_OK; }
    STDMETHOD(Restore)() override { return DS_OK; }
};

struct FakeDevice : IDirectSound {
    STDMETHOD_(HRESULT, QueryInterface)(REFIID, void **) override { return E_NOINTERFACE; }
    STDMETHOD_(ULONG, AddRef)() override { return ++standIn.devices; }
    STDMETHOD_(ULONG, Release)() override { return --standIn.devices; }
    STDMETHOD(CreateSoundBuffer)(LPCDSBUFFERDESC desc, LPLPDIRECTSOUNDBUFFER made, IUnknown *) override
    {
        bool primary = desc->dwFlags & DSBCAPS_PRIMARYBUFFER;
        HRESULT result = primary ? standIn.primary : DS_OK;
        *made = NULL;
        if (result != DS_OK || (primary && standIn.nullPrimary))
            return result;
        FakeBuffer *buffer = new FakeBuffer;
        buffer->desc = *desc;
        buffer->index = primary ? -1 : (int)standIn.made.size();
        if (!primary) {
            buffer->memory.assign(desc->dwBufferBytes + standIn.lockSlack, 0xEE);
            standIn.made.push_back(buffer);
        }
        standIn.buffers++;
        *made = buffer;
        return DS_OK;
    }
    STDMETHOD(GetCaps)(LPDSCAPS) override { return DS_OK; }
    STDMETHOD(DuplicateSoundBuffer)(LPDIRECTSOUNDBUFFER, LPLPDIRECTSOUNDBUFFER) override { return E_NOTIMPL; }
    STDMETHOD(SetCooperativeLevel)(HWND, DWORD how) override { return standIn.cooperation = how, standIn.cooperate; }
    STDMETHOD(Compact)() override { return DS_OK; }
    STDMETHOD(GetSpeakerConfig)(LPDWORD) override { return DS_OK; }
    STDMETHOD(SetSpeakerConfig)(DWORD) override { return DS_OK; }
    STDMETHOD(Initialize)(LPCGUID) override { return DS_OK; }
} device;

DWORD WINAPI FakeNothing(void) { return 0; }
MMRESULT WINAPI FakeJoystick(UINT, LPVOID) { return JOYERR_UNPLUGGED; }
MMRESULT WINAPI FakeEndPeriod(UINT period) { return standIn.periods -= period == FINEST_PERIOD, TIMERR_NOERROR; }
MMRESULT WINAPI FakeKillEvent(UINT timer) { return standIn.killed = timer, TIMERR_NOERROR; }
MMRESULT WINAPI FakeBeginPeriod(UINT period)
{
    standIn.periods += standIn.period == TIMERR_NOERROR && period == FINEST_PERIOD;
    return standIn.period;
}
MMRESULT WINAPI FakeDevCaps(LPTIMECAPS caps, UINT bytes)
{
    caps->wPeriodMin = bytes == sizeof *caps ? FINEST_PERIOD : 0;
    return standIn.caps;
}
MMRESULT WINAPI FakeSetEvent(UINT delay, UINT resolution, LPTIMECALLBACK refill, DWORD_PTR, UINT flags)
{
    standIn.refill = flags == TIME_PERIODIC ? refill : NULL;
    standIn.delay = delay, standIn.resolution = resolution;
    return standIn.timer;
}

// The primary driver first, without a GUID, then one device more.
HRESULT WINAPI FakeEnumerate(LPDSENUMCALLBACKA callback, LPVOID context)
{
    standIn.enumerations.push_back(DS_OK);
    HRESULT result = standIn.enumerations.front();
    standIn.enumerations.erase(standIn.enumerations.begin());
    if (result != DS_OK)
        return result;
    GUID other = {0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    if (callback(NULL, "Primary Sound Driver", "", context))
        callback(&other, std::string(300, 'd').c_str(), "fake.drv", context);
    return DS_OK;
}

HRESULT WINAPI FakeCreate(LPCGUID guid, LPDIRECTSOUND *made, LPUNKNOWN)
{
    standIn.opened = *guid;
    *made = NULL;
    if (standIn.create == DS_OK && !standIn.nullDevice)
        *made = &device, device.AddRef();
    return standIn.create;
}

HMODULE WINAPI FakeLoadLibrary(LPCSTR name)
{
    if (standIn.missing == name)
        return NULL;
    standIn.holds++;
    return !strcmp(name, "dsound.dll") ? DSOUND : WINMM;
}

FARPROC WINAPI FakeGetProcAddress(HMODULE module, LPCSTR name)
{
    static const struct {
        HMODULE module;
        const char *name;
        void *entry;
    } entries[] = {
        {WINMM, "timeGetTime", (void *)FakeNothing},     {WINMM, "timeBeginPeriod", (void *)FakeBeginPeriod},
        {WINMM, "timeEndPeriod", (void *)FakeEndPeriod}, {WINMM, "timeGetDevCaps", (void *)FakeDevCaps},
        {WINMM, "timeSetEvent", (void *)FakeSetEvent},   {WINMM, "timeKillEvent", (void *)FakeKillEvent},
        {WINMM, "joyGetNumDevs", (void *)FakeNothing},   {WINMM, "joyGetPos", (void *)FakeJoystick},
        {WINMM, "joyGetPosEx", (void *)FakeJoystick},    {DSOUND, "DirectSoundEnumerateA", (void *)FakeEnumerate},
        {DSOUND, "DirectSoundCreate", (void *)FakeCreate},
    };
    for (const auto &entry : entries)
        if (entry.module == module && !strcmp(entry.name, name) && standIn.missing != name)
            return (FARPROC)entry.entry;
    return NULL;
}

BOOL WINAPI FakeFreeLibrary(HMODULE) { return standIn.holds--, TRUE; }

// The system's own entry of user32 or gdi32, behind the stand-in for the program's import of it.
template <typename Entry> Entry System(Entry, const char *name)
{
    FARPROC found = GetProcAddress(GetModuleHandleA("user32.dll"), name);
    return (Entry)(void *)(found ? found : GetProcAddress(GetModuleHandleA("gdi32.dll"), name));
}
#define SYSTEM(entry) System(&entry, #entry)

// The window timers, noted and set.
UINT_PTR WINAPI FakeSetTimer(HWND window, UINT_PTR id, UINT ms, TIMERPROC proc)
{
    standIn.timers += Values(id, ms) + " ";
    return SYSTEM(SetTimer)(window, id, ms, proc);
}

// The GDI objects a swing makes, counted as they come and go.
HDC WINAPI FakeCreateDc(HDC dc) { return standIn.gdi++, SYSTEM(CreateCompatibleDC)(dc); }
BOOL WINAPI FakeDeleteDc(HDC dc) { return standIn.gdi--, SYSTEM(DeleteDC)(dc); }
HRGN WINAPI FakeRegion(int l, int t, int r, int b)
{
    return standIn.noShapes ? NULL : (standIn.gdi++, SYSTEM(CreateRectRgn)(l, t, r, b));
}
int WINAPI FakeShape(HWND w, HRGN r, BOOL redraw) { return standIn.gdi -= !!r, SYSTEM(SetWindowRgn)(w, r, redraw); }

// The simple sound call, which is imported, not looked up: the voice it is given, by its resource id.
BOOL WINAPI FakeSndPlay(LPCSTR image, UINT)
{
    for (int id : chimeSounds)
        if (image == LockResource(LoadResource(NULL, FindResourceA(NULL, MAKEINTRESOURCEA(id), "WAVE"))))
            standIn.trace += "wave" + std::to_string(id) + " ";
    return TRUE;
}

const SystemLoader loader = {FakeLoadLibrary, FakeGetProcAddress, FakeFreeLibrary};
} // namespace

void ResetStandIn()
{
    StopEngine();
    standIn = StandIn();
    UseSystemLoader(&loader);
    ReplaceImport("winmm.dll", "sndPlaySoundA", (void *)FakeSndPlay);
    ReplaceImport("user32.dll", "SetTimer", (void *)FakeSetTimer);
    ReplaceImport("gdi32.dll", "CreateCompatibleDC", (void *)FakeCreateDc);
    ReplaceImport("gdi32.dll", "DeleteDC", (void *)FakeDeleteDc);
    ReplaceImport("gdi32.dll", "CreateRectRgn", (void *)FakeRegion);
    ReplaceImport("user32.dll", "SetWindowRgn", (void *)FakeShape);
}

void FreshFolderAndStandIn::SetUp()
{
    ResetStandIn();
    folder = FreshFolder();
    ASSERT_TRUE(SetCurrentDirectoryW(folder.c_str()));
}

std::string LastLogLine()
{
    std::string text = ReadFileBytes(L"supinfo.txt");
    if (text.size() < 2 || text.compare(text.size() - 2, 2, "\r\n"))
        return "<unterminated: " + text + ">";
    text.resize(text.size() - 2);
    return text.substr(text.rfind('\n') + 1); // from the start when there is one line
}

void *ReplaceImport(const char *dll, const char *entry, void *replacement)
{
    BYTE *base = (BYTE *)GetModuleHandleA(NULL);
    const IMAGE_NT_HEADERS *headers = (IMAGE_NT_HEADERS *)(base + ((IMAGE_DOS_HEADER *)base)->e_lfanew);
    DWORD imports = headers->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (const IMAGE_IMPORT_DESCRIPTOR *from = (IMAGE_IMPORT_DESCRIPTOR *)(base + imports); from->Name; from++) {
        if (lstrcmpiA((const char *)base + from->Name, dll))
            continue;
        IMAGE_THUNK_DATA *name = (IMAGE_THUNK_DATA *)(base + from->OriginalFirstThunk);
        IMAGE_THUNK_DATA *slot = (IMAGE_THUNK_DATA *)(base + from->FirstThunk);
        for (; name->u1.AddressOfData; name++, slot++) {
            if (IMAGE_SNAP_BY_ORDINAL(name->u1.Ordinal) ||
                strcmp((const char *)((IMAGE_IMPORT_BY_NAME *)(base + name->u1.AddressOfData))->Name, entry))
                continue;
            DWORD access;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, PAGE_READWRITE, &access);
            void *replaced = (void *)slot->u1.Function;
            slot->u1.Function = (ULONG_PTR)replacement;
            VirtualProtect(&slot->u1.Function, sizeof slot->u1.Function, access, &access);
            return replaced;
        }
    }
    return NULL;
}
