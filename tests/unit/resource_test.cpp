// The resources of the built program, read back from the exe itself.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "tests/common/pe_resources.h"

namespace {

const COLORREF BLACK = RGB(0, 0, 0);

class Resources : public ::testing::Test {
protected:
    static void SetUpTestSuite() { module = LoadAsData(QuilletExePath()); }
    static void TearDownTestSuite() { FreeLibrary(module); }
    void SetUp() override { ASSERT_NE(module, nullptr) << "cannot map QUILLET_EXE as data"; }
    static HMODULE module;
};
HMODULE Resources::module;

std::vector<int> StripIds()
{
    std::vector<int> ids;
    for (int p = 0; p < 6; p++)
        for (int k = 0; k < 8; k++)
            ids.push_back(200 + 10 * (p + 1) + k);
    return ids;
}

BOOL CALLBACK CollectName(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR out)
{
    if (IS_INTRESOURCE(name))
        ((std::set<int> *)out)->insert((int)(ULONG_PTR)name);
    else
        ((std::set<int> *)out)->insert(-1); // a named resource is never expected
    return TRUE;
}

std::set<int> NamesOf(HMODULE module, LPCWSTR type)
{
    std::set<int> names;
    EnumResourceNamesW(module, type, CollectName, (LONG_PTR)&names);
    return names;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR out)
{
    ((std::set<WORD> *)out)->insert(language);
    return TRUE;
}

// The black pixels must be exactly those that reach the border through black:
// no black inside the drawn chime, where the shape would get holes.
bool BlackOnlyOutside(const Picture &p)
{
    std::vector<bool> seen(p.pixels.size());
    std::vector<std::pair<int, int>> todo;
    for (int x = 0; x < p.width; x++) {
        todo.push_back({x, 0});
        todo.push_back({x, p.height - 1});
    }
    for (int y = 0; y < p.height; y++) {
        todo.push_back({0, y});
        todo.push_back({p.width - 1, y});
    }
    while (!todo.empty()) {
        auto [x, y] = todo.back();
        todo.pop_back();
        if (x < 0 || y < 0 || x >= p.width || y >= p.height)
            continue;
        size_t i = (size_t)y * p.width + x;
        if (seen[i] || p.pixels[i] != BLACK)
            continue;
        seen[i] = true;
        todo.insert(todo.end(), {{x + 1, y}, {x - 1, y}, {x, y + 1}, {x, y - 1}});
    }
    for (size_t i = 0; i < p.pixels.size(); i++)
        if (p.pixels[i] == BLACK && !seen[i])
            return false;
    return true;
}

TEST_F(Resources, HoldExactlyTheIdsOfEachTypeAllJapanese)
{
    std::set<int> bitmaps = {128, 129, 130, 131, 132, 133};
    for (int id : StripIds())
        bitmaps.insert(id);
    std::map<LPCWSTR, std::set<int>> expected = {
        {(LPCWSTR)RT_BITMAP, bitmaps},        {(LPCWSTR)RT_GROUP_ICON, {103, 125, 127}},
        {(LPCWSTR)RT_GROUP_CURSOR, {142, 143, 145}}, {L"WAVE", {152, 153, 154, 155, 156, 157, 158}},
        {(LPCWSTR)RT_MENU, {111}},            {(LPCWSTR)RT_DIALOG, {150}},
        {(LPCWSTR)RT_VERSION, {1}},
    };
    for (auto &[type, ids] : expected) {
        EXPECT_EQ(NamesOf(module, type), ids);
        for (int id : ids) {
            std::set<WORD> languages;
            EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(id), CollectLanguage, (LONG_PTR)&languages);
            EXPECT_EQ(languages, std::set<WORD>{0x0411}) << "resource " << id;
        }
    }
    EXPECT_EQ(ResourceBytes(module, (LPCWSTR)RT_BITMAP, MAKEINTRESOURCEW(218)).size(), 0u);
}

TEST_F(Resources, ChimeBitmapsAreFourBitWithBlackOnlyAroundTheChime)
{
    for (int pose = 0; pose < 6; pose++) {
        Picture chime = ChimePicture(module, pose);
        ASSERT_EQ(chime.width, 32) << "pose " << pose;
        ASSERT_EQ(chime.height, 64);
        EXPECT_EQ(chime.bits, 4);
        EXPECT_EQ(chime.At(0, 63), BLACK);
        EXPECT_TRUE(BlackOnlyOutside(chime)) << "black inside the chime of pose " << pose;
        size_t drawn = 0;
        for (COLORREF c : chime.pixels)
            drawn += c != BLACK;
        EXPECT_GT(drawn, 200u) << "pose " << pose << " is nearly empty";
    }
}

// Each pose has a shape of its own, so the window's shape tells the pose.
TEST_F(Resources, EveryPoseHasItsOwnShape)
{
    for (int a = 0; a < 6; a++)
        for (int b = a + 1; b < 6; b++) {
            Picture pa = ChimePicture(module, a), pb = ChimePicture(module, b);
            ASSERT_EQ(pa.pixels.size(), pb.pixels.size());
            bool same = true;
            for (size_t i = 0; i < pa.pixels.size() && same; i++)
                same = (pa.pixels[i] == BLACK) == (pb.pixels[i] == BLACK);
            EXPECT_FALSE(same) << "poses " << a << " and " << b;
        }
}

// A strip bitmap replaces the lower half of its pose: same outline, and the
// gauge fill shrinks from level 0 (almost all pink) to level 7 (a thin band).
TEST_F(Resources, StripBitmapsMatchTheirPoseAndShrinkWithTheLevel)
{
    for (int pose = 0; pose < 6; pose++) {
        Picture chime = ChimePicture(module, pose);
        ASSERT_EQ(chime.height, 64);
        size_t previousFill = SIZE_MAX;
        for (int level = 0; level < 8; level++) {
            int id = 200 + 10 * (pose + 1) + level;
            std::vector<BYTE> bytes = ResourceBytes(module, (LPCWSTR)RT_BITMAP, MAKEINTRESOURCEW(id));
            Picture strip = DecodeDib(bytes.data(), bytes.size(), false);
            ASSERT_EQ(strip.width, 32) << id;
            ASSERT_EQ(strip.height, 32) << id;
            EXPECT_EQ(strip.bits, 4) << id;
            EXPECT_EQ(strip.At(0, 31), BLACK) << id;
            size_t fill = 0;
            for (int y = 0; y < 32; y++)
                for (int x = 0; x < 32; x++) {
                    COLORREF own = chime.At(x, y + 32);
                    ASSERT_EQ(strip.At(x, y) == BLACK, own == BLACK) << id << " at " << x << "," << y;
                    fill += strip.At(x, y) != own;
                }
            EXPECT_GT(fill, 0u) << id;
            EXPECT_LT(fill, previousFill) << id;
            previousFill = fill;
        }
    }
}

struct IconExpectation {
    int id, size, bits;
};

// Icon and cursor groups: one image each, of the size and depth given.
TEST_F(Resources, IconsAreSixteenColourImagesOfTheirSize)
{
    for (IconExpectation e : {IconExpectation{103, 32, 4}, {125, 16, 4}, {127, 16, 4}}) {
        std::vector<BYTE> group = ResourceBytes(module, (LPCWSTR)RT_GROUP_ICON, MAKEINTRESOURCEW(e.id));
        ASSERT_GE(group.size(), 6u + 14u) << e.id;
        EXPECT_EQ(*(WORD *)&group[4], 1) << "images in icon " << e.id;
        const BYTE *entry = &group[6];
        EXPECT_EQ(entry[0], e.size);
        EXPECT_EQ(entry[1], e.size);
        EXPECT_EQ(entry[2], 16) << "colour count of icon " << e.id;
        WORD image = *(WORD *)(entry + 12);
        std::vector<BYTE> bytes = ResourceBytes(module, (LPCWSTR)RT_ICON, MAKEINTRESOURCEW(image));
        Picture icon = DecodeDib(bytes.data(), bytes.size(), true);
        EXPECT_EQ(icon.width, e.size);
        EXPECT_EQ(icon.height, e.size);
        EXPECT_EQ(icon.bits, e.bits);
    }
}

struct CursorExpectation {
    int id, bits, hotX, hotY;
};

TEST_F(Resources, CursorsHaveTheirDepthAndHotSpot)
{
    for (CursorExpectation e : {CursorExpectation{142, 4, 5, 5}, {143, 4, 5, 5}, {145, 8, 4, 30}}) {
        std::vector<BYTE> group = ResourceBytes(module, (LPCWSTR)RT_GROUP_CURSOR, MAKEINTRESOURCEW(e.id));
        ASSERT_GE(group.size(), 6u + 14u) << e.id;
        EXPECT_EQ(*(WORD *)&group[4], 1) << "images in cursor " << e.id;
        WORD image = *(WORD *)&group[6 + 12];
        std::vector<BYTE> bytes = ResourceBytes(module, (LPCWSTR)RT_CURSOR, MAKEINTRESOURCEW(image));
        ASSERT_GT(bytes.size(), 4u);
        EXPECT_EQ(*(WORD *)&bytes[0], e.hotX) << e.id;
        EXPECT_EQ(*(WORD *)&bytes[2], e.hotY) << e.id;
        Picture cursor = DecodeDib(bytes.data() + 4, bytes.size() - 4, true);
        EXPECT_EQ(cursor.width, 32) << e.id;
        EXPECT_EQ(cursor.height, 32) << e.id;
        EXPECT_EQ(cursor.bits, e.bits) << e.id;
    }
}

TEST_F(Resources, SoundsAreCanonicalMonoWavesOfTheirLength)
{
    for (auto [id, size] : chimeDataBytes) {
        std::vector<BYTE> wave = ResourceBytes(module, L"WAVE", MAKEINTRESOURCEW(id));
        ASSERT_EQ(wave.size(), 44 + size) << id;
        auto dword = [&](size_t at) { return *(DWORD *)&wave[at]; };
        auto word = [&](size_t at) { return *(WORD *)&wave[at]; };
        EXPECT_EQ(memcmp(&wave[0], "RIFF", 4), 0);
        EXPECT_EQ(dword(4), 36 + size);
        EXPECT_EQ(memcmp(&wave[8], "WAVEfmt ", 8), 0);
        EXPECT_EQ(dword(16), 16u);
        EXPECT_EQ(word(20), WAVE_FORMAT_PCM);
        EXPECT_EQ(word(22), 1) << "channels";
        EXPECT_EQ(dword(24), 22050u);
        EXPECT_EQ(dword(28), 44100u);
        EXPECT_EQ(word(32), 2) << "block align";
        EXPECT_EQ(word(34), 16) << "bits";
        EXPECT_EQ(memcmp(&wave[36], "data", 4), 0);
        EXPECT_EQ(dword(40), size);
    }
}

struct MenuEntry {
    int depth;
    UINT id; // 0 for a separator or a submenu
    const wchar_t *caption;
    bool checked;
};

void Flatten(HMENU menu, int depth, std::vector<MenuEntry> &out, std::vector<std::wstring> &texts)
{
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
        wchar_t text[128] = L"";
        GetMenuStringW(menu, i, text, 128, MF_BYPOSITION);
        texts.push_back(text);
        UINT state = GetMenuState(menu, i, MF_BYPOSITION);
        if (!(state & MF_SEPARATOR)) {
            EXPECT_FALSE(state & (MF_GRAYED | MF_DISABLED)) << "item " << i << " at depth " << depth;
        }
        HMENU sub = GetSubMenu(menu, i);
        UINT id = sub ? 0 : GetMenuItemID(menu, i);
        out.push_back({depth, id, nullptr, (state & MF_CHECKED) != 0});
        if (sub)
            Flatten(sub, depth + 1, out, texts);
    }
}

TEST_F(Resources, MenuHoldsEveryItemInOrderWithItsMark)
{
    const std::vector<MenuEntry> expected = {
        {0, 0, L"メニュー", false},
        {1, 0, L"風の対象", false},         {2, 40009, L"メモリ", true},       {2, 40010, L"ランダム", false},
        {1, 0, L"風の種類", false},         {2, 40026, L"そよ風", true},       {2, 40027, L"台風", false},
        {2, 40028, L"気まぐれ風", false},   {1, 0, L"風鈴の音量", false},     {2, 40030, L"大きめ", false},
        {2, 40031, L"普通", true},          {2, 40032, L"小さめ", false},     {2, 40033, L"ランダム", false},
        {2, 0, L"", false},                 {2, 40034, L"OFF", false},         {1, 0, L"風鈴の感度", false},
        {2, 40014, L"高", false},           {2, 40013, L"中", true},           {2, 40012, L"低", false},
        {1, 0, L"風鈴の位置", false},       {2, 40017, L"窓に吊るす", true},   {2, 40018, L"自由に吊るす", false},
        {2, 40025, L"常に前面に自由に吊るす", false},
        {1, 0, L"", false},                 {1, 40016, L"ヘルプ", false},      {1, 40015, L"Quilletについて...", false},
        {1, 0, L"", false},                 {1, 40006, L"終了", false},
    };
    HMENU menu = LoadMenuW(module, MAKEINTRESOURCEW(111));
    ASSERT_NE(menu, nullptr);
    std::vector<MenuEntry> actual;
    std::vector<std::wstring> texts;
    Flatten(menu, 0, actual, texts);
    DestroyMenu(menu);
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); i++) {
        EXPECT_EQ(actual[i].depth, expected[i].depth) << i;
        EXPECT_EQ(actual[i].id, expected[i].id) << i;
        EXPECT_EQ(texts[i], expected[i].caption) << i;
        EXPECT_EQ(actual[i].checked, expected[i].checked) << i;
    }
}

// Reads the extended dialog template word by word.
struct TemplateReader {
    const BYTE *p, *end;
    WORD Word() { WORD w = *(const WORD *)p; p += 2; return w; }
    DWORD Dword() { DWORD d = *(const DWORD *)p; p += 4; return d; }
    short Short() { return (short)Word(); }
    std::wstring String()
    {
        std::wstring s;
        for (WORD c; (c = Word()) != 0;)
            s += (wchar_t)c;
        return s;
    }
    // A class or text: an ordinal (0xFFFF, n) or a string.
    std::wstring NameOrOrdinal()
    {
        if (*(const WORD *)p == 0xFFFF) {
            p += 2;
            return L"#" + std::to_wstring(Word());
        }
        return String();
    }
    // The predefined classes may be stored by name or by their ordinal.
    std::wstring ClassName()
    {
        std::wstring name = NameOrOrdinal();
        CharUpperW(&name[0]);
        return name == L"#128" ? L"BUTTON" : name == L"#130" ? L"STATIC" : name;
    }
    void Align() { p = (const BYTE *)(((ULONG_PTR)p + 3) & ~(ULONG_PTR)3); }
};

struct Control {
    DWORD exStyle, style;
    short x, y, cx, cy;
    int id;
    std::wstring cls, text;
};

TEST_F(Resources, AboutDialogTemplateHasItsControlsInOrder)
{
    std::vector<BYTE> bytes = ResourceBytes(module, (LPCWSTR)RT_DIALOG, MAKEINTRESOURCEW(150));
    ASSERT_GT(bytes.size(), 26u);
    TemplateReader r{bytes.data(), bytes.data() + bytes.size()};
    EXPECT_EQ(r.Word(), 1) << "version";
    EXPECT_EQ(r.Word(), 0xFFFF) << "extended template";
    r.Dword();
    EXPECT_EQ(r.Dword(), 0u) << "extended style";
    EXPECT_EQ(r.Dword(), (DWORD)(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
    WORD count = r.Word();
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 0);
    EXPECT_EQ(r.Short(), 179);
    EXPECT_EQ(r.Short(), 97);
    EXPECT_EQ(r.NameOrOrdinal(), L"") << "menu";
    EXPECT_EQ(r.NameOrOrdinal(), L"") << "class";
    EXPECT_EQ(r.String(), L"Quilletについて");
    EXPECT_EQ(r.Word(), 9) << "point size";
    EXPECT_EQ(r.Word(), FW_NORMAL);
    EXPECT_EQ(*r.p++, 0) << "italic";
    EXPECT_EQ(*r.p++, DEFAULT_CHARSET);
    EXPECT_EQ(r.String(), L"ＭＳ Ｐゴシック");

    const DWORD child = WS_CHILD | WS_VISIBLE;
    const std::vector<Control> expected = {
        {0, child | BS_DEFPUSHBUTTON | WS_TABSTOP, 122, 6, 50, 14, 1, L"BUTTON", L"OK"},
        {0, child | SS_ICON | SS_SUNKEN, 7, 6, 20, 20, -1, L"STATIC", L"#103"},
        {0, child | SS_CENTER | WS_GROUP, 35, 10, 85, 10, -1, L"STATIC", L"Quillet　Version 1.03"},
        {0, child | SS_LEFT | WS_GROUP, 35, 25, 112, 8, -1, L"STATIC", L""},
        {0, child | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP, 16, 59, 147, 14, 1000, L"BUTTON",
         L"作者ホームページへ　：　" L"" MAKER_HOMEPAGE L" "},
        {0, child | BS_PUSHBUTTON | BS_CENTER | BS_VCENTER | WS_TABSTOP, 16, 41, 147, 14, 1001, L"BUTTON",
         L"作者へE-mail　 ：　" L"" MAKER_MAIL},
        {WS_EX_STATICEDGE, child | SS_LEFT | SS_CENTERIMAGE | WS_GROUP, 7, 80, 86, 11, 1002, L"STATIC",
         L"システムメモリ使用率：100％"},
        {WS_EX_STATICEDGE, child | SS_LEFT | SS_CENTERIMAGE | WS_GROUP, 86, 80, 86, 11, 1003, L"STATIC",
         L"    Sound   ： sndPlay"},
    };
    ASSERT_EQ(count, expected.size());
    for (const Control &e : expected) {
        r.Align();
        Control c;
        r.Dword(); // help id
        c.exStyle = r.Dword();
        c.style = r.Dword();
        c.x = r.Short();
        c.y = r.Short();
        c.cx = r.Short();
        c.cy = r.Short();
        c.id = (int)r.Dword();
        c.cls = r.ClassName();
        c.text = r.NameOrOrdinal();
        r.p += r.Word(); // creation data
        ASSERT_LE(r.p, r.end);
        EXPECT_EQ(c.exStyle, e.exStyle) << e.id;
        EXPECT_EQ(c.style, e.style) << e.id;
        EXPECT_EQ(c.x, e.x) << e.id;
        EXPECT_EQ(c.y, e.y) << e.id;
        EXPECT_EQ(c.cx, e.cx) << e.id;
        EXPECT_EQ(c.cy, e.cy) << e.id;
        EXPECT_EQ(c.id, e.id);
        EXPECT_EQ(c.cls, e.cls) << e.id;
        if (!e.text.empty())
            EXPECT_EQ(c.text, e.text) << e.id;
        else
            EXPECT_FALSE(c.text.empty()) << "the notice line has a text";
    }
}

TEST_F(Resources, VersionRecordIsOneZeroThreeZeroInJapanese)
{
    std::wstring path = QuilletExePath();
    DWORD size = GetFileVersionInfoSizeW(path.c_str(), NULL);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> info(size);
    ASSERT_TRUE(GetFileVersionInfoW(path.c_str(), 0, size, info.data()));
    VS_FIXEDFILEINFO *fixed;
    UINT length;
    ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", (void **)&fixed, &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00030000u);
    EXPECT_EQ(fixed->dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwProductVersionLS, 0x00030000u);
    EXPECT_EQ(fixed->dwFileType, (DWORD)VFT_APP);
    const std::map<std::wstring, std::wstring> strings = {
        {L"FileVersion", L"1, 0, 3, 0"}, {L"ProductVersion", L"1, 0, 3, 0"},
        {L"Comments", L"Quillet"},       {L"ProductName", L"Quillet"},
        {L"LegalTrademarks", L"Quillet"}, {L"FileDescription", L"Quillet　for Windows"},
        {L"InternalName", L"quillet"},   {L"OriginalFilename", L"quillet.exe"},
    };
    for (auto &[key, value] : strings) {
        wchar_t *text;
        std::wstring query = L"\\StringFileInfo\\041104b0\\" + key;
        ASSERT_TRUE(VerQueryValueW(info.data(), query.c_str(), (void **)&text, &length)) << query;
        EXPECT_EQ(std::wstring(text), value);
    }
}

} // namespace
