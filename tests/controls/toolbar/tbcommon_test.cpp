#include "controls/toolbar/tbcommon.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

using namespace toolbar;

using MemoryBitmap = testsupport::MemoryDib;

TEST(TBCommon, IntegerHelpers) {
    struct Case {
        int A, B, Min, Max, Div;
    };
    const Case cases[] = {
        {-1, 1, -1, 1, -1},  // signed comparison; -1/1 has no remainder
        {7, 3, 3, 7, 3},     {6, 3, 3, 6, 2}, {-7, 3, -7, 3, -3},
        {1, 3, 1, 3, 1},     {-1, 3, -1, 3, -1},  // a zero quotient is rounded away from zero too
        {INT32_MIN, INT32_MAX, INT32_MIN, INT32_MAX, -2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.A << ", " << c.B);
        EXPECT_EQ(IntMin(c.A, c.B), c.Min);
        EXPECT_EQ(IntMax(c.A, c.B), c.Max);
        EXPECT_EQ(DivideRoundingAway(c.A, c.B), c.Div);
    }
}

TEST(TBCommon, AcceleratorTextHelpers) {
    struct Case {
        const wchar_t* Text;
        const wchar_t* Removed;
        const wchar_t* Doubled;
        wchar_t Accel;
    };
    const Case cases[] = {
        {L"A&&B&C", L"A&BC", L"A&&&&B&&C", L'C'},
        {L"&File &Edit", L"File Edit", L"&&File &&Edit", L'E'},
        {L"A&&B", L"A&B", L"A&&&&B", 0},
        {L"Trail&", L"Trail", L"Trail&&", 0},
        {L"&&&X", L"&X", L"&&&&&&X", L'X'},
        {L"ファイル(&F)", L"ファイル(F)", L"ファイル(&&F)", L'F'},
        {L"", L"", L"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.Text));
        EXPECT_EQ(RemoveAccelMarks(c.Text), c.Removed);
        EXPECT_EQ(DoubleAccelMarks(c.Text), c.Doubled);
        EXPECT_EQ(RemoveAccelMarks(DoubleAccelMarks(c.Text)), c.Text);
        EXPECT_EQ(AcceleratorCharOf(c.Text), c.Accel);
    }
}

TEST(TBCommon, TrimCaptionSuffix) {
    const std::pair<const wchar_t*, const wchar_t*> cases[] = {
        {L"Open...", L"Open"}, {L"Name:", L"Name"}, {L":", L":"},     {L"...", L"..."},
        {L"A...", L"A"},       {L"Name", L"Name"},  {L"a:...", L"a:"}, {L"", L""},
    };
    for (const auto& [in, out] : cases) EXPECT_EQ(TrimCaptionSuffix(in), out) << testsupport::Narrow(in);
}

TEST(TBCommon, SortListWithDataPassesDataAndSorts) {
    std::vector<int> values{5, 3, 9, 1, 5, 0, 7, 2, 8, 4, 6};
    std::vector<void*> list;
    for (int& v : values) list.push_back(&v);
    int calls = 0;
    SortListWithData(
        list,
        [](void* a, void* b, void* data) {
            ++*static_cast<int*>(data);
            return *static_cast<int*>(a) - *static_cast<int*>(b);
        },
        &calls);
    std::vector<int> sorted;
    for (void* p : list) sorted.push_back(*static_cast<int*>(p));
    EXPECT_EQ(sorted, (std::vector<int>{0, 1, 2, 3, 4, 5, 5, 6, 7, 8, 9}));
    EXPECT_GT(calls, 0);

    std::vector<void*> one{&values[0]};
    calls = 0;
    SortListWithData(list = one, [](void*, void*, void* d) { ++*static_cast<int*>(d); return 0; }, &calls);
    EXPECT_EQ(calls, 0);
}

TEST(TBCommon, LazyListsComeAndGo) {
    std::vector<void*>* list = nullptr;
    int a = 0, b = 0;
    RemoveFromLazyList(list, &a);
    EXPECT_EQ(list, nullptr);
    EXPECT_TRUE(AddToLazyList(list, &a));
    ASSERT_NE(list, nullptr);
    EXPECT_FALSE(AddToLazyList(list, &a));
    EXPECT_TRUE(InsertFirstInLazyList(list, &b));
    EXPECT_EQ(*list, (std::vector<void*>{&b, &a}));
    RemoveFromLazyList(list, &a);
    RemoveFromLazyList(list, &a);
    EXPECT_EQ(list->size(), 1u);
    RemoveFromLazyList(list, &b);
    EXPECT_EQ(list, nullptr);
}

TEST(TBCommon, MenuDelayFromTheRegistry) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    const wchar_t* path = key.Path().c_str();
    EXPECT_EQ(ReadMenuDelayFromKey(HKEY_CURRENT_USER, (key.Path() + L"\\Missing").c_str()), 400);
    EXPECT_EQ(ReadMenuDelayFromKey(HKEY_CURRENT_USER, path), 400);  // value missing

    auto setText = [&](const std::wstring& text) {
        RegSetValueExW(key.Handle(), L"MenuShowDelay", 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                       static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    };
    const std::pair<const wchar_t*, int> texts[] = {
        {L"250", 250}, {L"0", 0}, {L"abc", 0}, {L"", 0}, {L"12x", 0}, {L"-5", -5},
        {L"123456789012345678901234567890", 0},  // longer than the buffer
    };
    for (const auto& [text, want] : texts) {
        setText(text);
        EXPECT_EQ(ReadMenuDelayFromKey(HKEY_CURRENT_USER, path), want) << testsupport::Narrow(text);
    }
    DWORD number = 100;
    RegSetValueExW(key.Handle(), L"MenuShowDelay", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number), 4);
    EXPECT_EQ(ReadMenuDelayFromKey(HKEY_CURRENT_USER, path), 0);  // wrong type

    EXPECT_GE(QueryMenuShowDelay(), 0);
}

// Registry texts are read through a bounded buffer, and only as far as the read reached:
// no terminator is needed, an odd last byte is no character, and a NUL ends the text.
TEST(TBCommon, RegistryTextsAreReadWithinBoundsAndSize) {
    testsupport::ScratchKey key(testsupport::CurrentTestName());
    auto setRaw = [&](const wchar_t* name, DWORD type, const std::wstring& chars, DWORD extraBytes = 0) {
        std::vector<BYTE> data(chars.size() * sizeof(wchar_t) + extraBytes, 0x35);
        memcpy(data.data(), chars.data(), chars.size() * sizeof(wchar_t));
        RegSetValueExW(key.Handle(), name, 0, type, data.data(), static_cast<DWORD>(data.size()));
    };
    const wchar_t* path = key.Path().c_str();
    struct Case {
        std::wstring Chars;
        DWORD Extra;
        int Delay;
    } delays[] = {
        {L"250", 0, 250},                        // no terminator stored
        {L"25", 1, 25},                          // an odd byte is not a "5"
        {std::wstring(L"30\0" L"99", 5), 0, 30},  // the text ends at the NUL
        {std::wstring(16, L'7'), 0, 0},          // 16 digits fill the buffer: too big a number
        {std::wstring(17, L'7'), 0, 0},          // longer than the buffer
    };
    for (const auto& c : delays) {
        setRaw(L"MenuShowDelay", REG_SZ, c.Chars, c.Extra);
        EXPECT_EQ(ReadMenuDelayFromKey(HKEY_CURRENT_USER, path), c.Delay) << testsupport::Narrow(c.Chars);
    }

    struct SoundCase {
        DWORD Type;
        std::wstring Chars;
        DWORD Extra;
        bool Sound;
    } sounds[] = {
        {REG_SZ, L"", 0, false},          // no data at all
        {REG_SZ, std::wstring(1, L'\0'), 0, false},
        {REG_SZ, L"", 1, false},          // one byte: no character
        {REG_SZ, L"a", 0, true},
        {REG_EXPAND_SZ, L"%SystemRoot%\\Media\\ding.wav", 0, true},  // longer than the buffer
        {REG_DWORD, L"\x0101\x0101", 0, false},                        // not a file name
    };
    for (const auto& c : sounds) {
        setRaw(nullptr, c.Type, c.Chars, c.Extra);
        EXPECT_EQ(SoundSchemeKeyHasSound(HKEY_CURRENT_USER, key.Path()), c.Sound) << testsupport::Narrow(c.Chars);
    }
    EXPECT_FALSE(SoundSchemeKeyHasSound(HKEY_CURRENT_USER, key.Path() + L"\\Missing"));
}

TEST(TBCommon, DragFrameInvertsOnlyWhatChanges) {
    MemoryBitmap bmp(40, 40, RGB(255, 255, 255));
    const auto blank = bmp.Pixels();
    RECT r{5, 5, 30, 30};
    SIZE s{3, 3};

    PaintDragFrame(bmp.DC, &r, &r, s, s);
    EXPECT_EQ(bmp.Pixels(), blank);

    PaintDragFrame(bmp.DC, &r, nullptr, s, s);
    const auto drawn = bmp.Pixels();
    EXPECT_NE(drawn, blank);
    // Inside the frame's interior and outside the rectangle nothing changed.
    EXPECT_EQ(bmp.At(15, 15), blank[15 * 40 + 15]);
    EXPECT_EQ(bmp.At(2, 2), blank[2 * 40 + 2]);
    EXPECT_EQ(bmp.At(31, 31), blank[31 * 40 + 31]);
    // The halftone pattern: of two neighbours on the frame exactly one is inverted.
    EXPECT_NE(bmp.At(5, 10) == blank[0], bmp.At(6, 10) == blank[0]);

    // Moving the frame and then erasing it restores the picture.
    RECT moved{8, 8, 33, 33};
    PaintDragFrame(bmp.DC, &moved, &r, s, s);
    PaintDragFrame(bmp.DC, nullptr, &moved, s, s);
    EXPECT_EQ(bmp.Pixels(), blank);
}

TEST(TBCommon, VerticalTextStaysInsideItsRectangle) {
    MemoryBitmap bmp(60, 120, RGB(255, 255, 255));
    HFONT font = CreateFontW(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"Arial");
    HGDIOBJ old = SelectObject(bmp.DC, font);
    SetTextColor(bmp.DC, RGB(0, 0, 0));
    SetBkMode(bmp.DC, TRANSPARENT);
    const auto blank = bmp.Pixels();

    DrawVerticalText(bmp.DC, L"", RECT{0, 0, 60, 120}, 0);
    EXPECT_EQ(bmp.Pixels(), blank);

    RECT r{20, 10, 40, 60};
    DrawVerticalText(bmp.DC, L"&Long caption text that does not fit", r, DT_END_ELLIPSIS);
    const auto px = bmp.Pixels();
    bool inside = false, outside = false;
    for (int y = 0; y < 120; ++y)
        for (int x = 0; x < 60; ++x) {
            bool changed = px[y * 60 + x] != blank[y * 60 + x];
            bool in = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
            (in ? inside : outside) |= changed;
        }
    EXPECT_TRUE(inside);
    EXPECT_FALSE(outside);

    // Very small rectangle: still no crash and nothing outside it.
    MemoryBitmap small(30, 30, RGB(255, 255, 255));
    SelectObject(small.DC, font);
    DrawVerticalText(small.DC, L"Abc", RECT{10, 10, 20, 12}, DT_END_ELLIPSIS);
    EXPECT_EQ(small.At(5, 5), small.At(0, 0));
    SelectObject(small.DC, GetStockObject(SYSTEM_FONT));

    SelectObject(bmp.DC, old);
    DeleteObject(font);
}

namespace {
int NCPaintCalls = 0;
void CountNCPaint(HWND, HDC, LPARAM) { ++NCPaintCalls; }
}  // namespace

TEST(TBCommon, PrintMessageOfAHiddenWindowDrawsNothing) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"x", WS_POPUP, 0, 0, 50, 50, nullptr, nullptr,
                               GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(wnd, nullptr);
    MemoryBitmap bmp(50, 50, RGB(1, 2, 3));
    NCPaintCalls = 0;
    const auto blank = bmp.Pixels();
    EXPECT_EQ(HandlePrintMessage(wnd, reinterpret_cast<WPARAM>(bmp.DC), PRF_CHECKVISIBLE | PRF_NONCLIENT | PRF_CLIENT,
                                 CountNCPaint, 0),
              1);
    EXPECT_EQ(NCPaintCalls, 0);
    EXPECT_EQ(bmp.Pixels(), blank);
    // Without the visibility check the non-client painter runs.
    EXPECT_EQ(HandlePrintMessage(wnd, reinterpret_cast<WPARAM>(bmp.DC), PRF_NONCLIENT, CountNCPaint, 0), 1);
    EXPECT_EQ(NCPaintCalls, 1);
    DestroyWindow(wnd);
}

TEST(TBCommon, MessageQueueHelpersRepostQuit) {
    HWND wnd = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(wnd, nullptr);
    PostMessageW(wnd, WM_USER + 5, 0, 0);
    PostMessageW(wnd, WM_USER + 6, 0, 0);
    PostMessageW(wnd, WM_USER + 20, 0, 0);
    DiscardMessageRange(WM_USER + 5, WM_USER + 10);
    MSG msg;
    EXPECT_FALSE(PeekMessageW(&msg, wnd, WM_USER + 5, WM_USER + 10, PM_NOREMOVE));
    EXPECT_TRUE(PeekMessageW(&msg, wnd, WM_USER + 20, WM_USER + 20, PM_REMOVE));

    PostQuitMessage(7);
    DiscardMessageRange(0, 0xFFFF);
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
    DestroyWindow(wnd);
}

namespace {
class PaintedControl : public classlib::TWinControl {
public:
    using classlib::TWinControl::TWinControl;
    int Paints = 0;

protected:
    void PaintWindow(HDC dc) override {
        ++Paints;
        // Leaves a changed DC state behind: the helper must restore it.
        SetTextColor(dc, RGB(1, 2, 3));
        RECT r{0, 0, 4, 4};
        FillRect(dc, &r, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    }
};
}  // namespace

TEST(TBCommon, PrintClientRunsTheControlsPaintOnTheGivenDC) {
    PaintedControl control(nullptr);
    MemoryBitmap bmp(10, 10, RGB(255, 255, 255));
    SetTextColor(bmp.DC, RGB(9, 9, 9));
    EXPECT_EQ(HandlePrintClientMessage(&control, reinterpret_cast<WPARAM>(bmp.DC)), 0);
    EXPECT_EQ(control.Paints, 1);
    EXPECT_EQ(bmp.At(1, 1) & 0xFFFFFF, 0u);
    EXPECT_EQ(bmp.At(8, 8) & 0xFFFFFF, 0xFFFFFFu);
    EXPECT_EQ(GetTextColor(bmp.DC), RGB(9, 9, 9));
}
