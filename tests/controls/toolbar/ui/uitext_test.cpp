#include "controls/toolbar/ui/uitext.h"

#include "classlib/gdiguards.h"
#include "classlib/graphics.h"
#include "common/test_support.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <utility>
#include <vector>

using namespace ui;
using namespace classlib;
using testsupport::MemoryDib;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);
constexpr COLORREF kRed = RGB(255, 0, 0);

using PixelSet = std::set<std::pair<int, int>>;

PixelSet Marked(const MemoryDib& dib, COLORREF background = kWhite) {
    PixelSet set;
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x)
            if (dib.Pixel(x, y) != background) set.insert({x, y});
    return set;
}

// A canvas on a white memory DIB, in black text.
struct Surface {
    Surface(int width, int height) : Dib(width, height, kWhite), Scope(Canvas, Dib.DC) {
        Canvas.Font().SetColor(clBlack);
    }
    MemoryDib Dib;
    TCanvas Canvas;
    TCanvasDCScope Scope;
};

// --- strings ----------------------------------------------------------------------------------

TEST(UiStrings, Helpers) {
    struct Row {
        std::function<std::wstring(const std::wstring&)> Fn;
        const wchar_t* Name;
        std::wstring In, Out;
    };
    const Row rows[] = {
        {StripAmpersands, L"strip", L"&File", L"File"},
        {StripAmpersands, L"strip", L"Save && Exit", L"Save & Exit"},
        {StripAmpersands, L"strip", L"a&&&b", L"a&b"},
        {StripAmpersands, L"strip", L"end&", L"end"},
        {StripAmpersands, L"strip", L"開く(&O)", L"開く(O)"},
        {CutAtTab, L"cut", L"閉じる(&C)\tAlt+F4", L"閉じる(&C)"},
        {CutAtTab, L"cut", L"\tCtrl+S", L""},
        {CutAtTab, L"cut", L"no tab", L"no tab"},
        {StripTrailingEllipsisOrColon, L"trail", L"Name:", L"Name"},
        {StripTrailingEllipsisOrColon, L"trail", L"::", L":"},  // one colon only
        {StripTrailingEllipsisOrColon, L"trail", L":", L":"},
        {StripTrailingEllipsisOrColon, L"trail", L"Open...", L"Open"},
        {StripTrailingEllipsisOrColon, L"trail", L"...", L"..."},
        {StripTrailingEllipsisOrColon, L"trail", L"a...:", L"a..."},  // the colon goes first
        {StripTrailingEllipsisOrColon, L"trail", L"設定...", L"設定"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(row.Fn(row.In), row.Out) << testsupport::Narrow(row.Name) << " of " << testsupport::Narrow(row.In);
}

TEST(UiStrings, Utf8Captions) {
    auto bytes = [](const char* utf8) {
        std::wstring s;
        for (const char* p = utf8; *p; ++p) s += static_cast<wchar_t>(static_cast<unsigned char>(*p));
        return s;
    };
    const std::pair<std::wstring, std::wstring> rows[] = {
        {L"utf8=" + bytes("\xE6\x97\xA5\xE6\x9C\xAC"), L"日本"},
        {L"utf8=plain", L"plain"},
        {L"utf8=", L""},
        // Bytes that are not UTF-8 become U+FFFD and the rest is kept.
        {L"utf8=a" + bytes("\xFF") + L"b" + bytes("\xE6\x97"), L"a\uFFFDb\uFFFD"},
        // A character that cannot be a byte stands for itself.
        {L"utf8=日" + bytes("\xE6\x9C\xAC"), L"日本"},
        // Only the prefix at the start counts.
        {L"xutf8=abc", L"xutf8=abc"},
        {L"UTF8=abc", L"UTF8=abc"},
        {L"utf8", L"utf8"},
    };
    for (const auto& [in, out] : rows) EXPECT_EQ(DecodeUtf8Caption(in), out) << testsupport::Narrow(in);
}

// --- DrawWideText -----------------------------------------------------------------------------

TEST(UiDrawWideText, Utf8CaptionShowsTheDecodedText) {
    Surface decoded(120, 30), encoded(120, 30), literal(120, 30);
    RECT r{2, 2, 118, 28};
    DrawWideText(decoded.Canvas, L"日本abc", r, DT_SINGLELINE);
    r = RECT{2, 2, 118, 28};
    DrawWideText(encoded.Canvas, L"utf8=\u00E6\u0097\u00A5\u00E6\u009C\u00ACabc", r, DT_SINGLELINE);
    EXPECT_FALSE(Marked(decoded.Dib).empty());
    EXPECT_EQ(encoded.Dib.Pixels(), decoded.Dib.Pixels());
    // Elsewhere in the text the prefix is text.
    Surface shown(120, 30);
    r = RECT{2, 2, 118, 28};
    DrawWideText(shown.Canvas, L"xutf8=a", r, DT_SINGLELINE);
    r = RECT{2, 2, 118, 28};
    literal.Canvas.PrepareText();
    DrawTextW(literal.Canvas.Handle(), L"xutf8=a", -1, &r, DT_SINGLELINE);
    EXPECT_EQ(shown.Dib.Pixels(), literal.Dib.Pixels());
}

TEST(UiDrawWideText, GlowLiesUnderTheTextMovedByOnePixel) {
    const RECT where{10, 10, 90, 40};
    Surface plain(100, 50);
    RECT r = where;
    DrawWideText(plain.Canvas, L"HW", r, DT_SINGLELINE);
    const PixelSet text = Marked(plain.Dib);
    ASSERT_FALSE(text.empty());

    struct Row {
        TUiGlowDirection Glow;
        std::vector<POINT> Offsets;
    };
    const Row rows[] = {
        {gldAll, {{0, -1}, {0, 1}, {-1, 0}, {1, 0}}},
        {gldTopLeft, {{-1, -1}}},
        {gldBottomRight, {{1, 1}}},
        {gldNone, {}},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << "glow " << row.Glow);
        Surface s(100, 50);
        s.Canvas.Brush().SetColor(clLime);
        r = where;
        DrawWideText(s.Canvas, L"HW", r, DT_SINGLELINE, row.Glow, clRed);
        EXPECT_EQ(s.Canvas.Brush().Color(), clLime);  // the brush is as before
        EXPECT_EQ(s.Canvas.Brush().Style(), bsSolid);
        int wrong = 0;
        for (int y = 0; y < s.Dib.Height; ++y) {
            for (int x = 0; x < s.Dib.Width; ++x) {
                bool glow = false;
                for (POINT o : row.Offsets) glow = glow || text.count({x - o.x, y - o.y});
                const COLORREF expected = text.count({x, y}) ? kBlack : glow ? kRed : kWhite;
                if (s.Dib.Pixel(x, y) != expected) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST(UiDrawWideText, MeasuringDrawsNothingAndWidensItalicText) {
    for (bool italic : {false, true}) {
        SCOPED_TRACE(italic ? "italic" : "upright");
        Surface s(200, 40);
        s.Canvas.Font().SetStyle(italic ? fsItalic : 0);
        RECT measured{0, 0, 1, 1};
        const int height = DrawWideText(s.Canvas, L"Wendlar", measured, DT_SINGLELINE | DT_CALCRECT, gldAll, clRed);
        EXPECT_TRUE(Marked(s.Dib).empty());
        RECT plain{0, 0, 1, 1};
        s.Canvas.PrepareText();
        const int plainHeight = DrawTextW(s.Canvas.Handle(), L"Wendlar", -1, &plain, DT_SINGLELINE | DT_CALCRECT);
        EXPECT_EQ(height, plainHeight);
        const int extra = italic ? s.Canvas.Font().Size() / 8 * 2 + 1 : 0;
        EXPECT_EQ(measured.right, plain.right + extra);
        EXPECT_EQ(measured.bottom, plain.bottom);
    }
    Surface s(50, 20);
    RECT empty{0, 0, 1, 1};
    EXPECT_EQ(DrawWideText(s.Canvas, L"", empty, DT_SINGLELINE | DT_CALCRECT), 0);
}

// --- DrawRotatedText --------------------------------------------------------------------------

TEST(UiRotatedText, EmptyTextDrawsNothing) {
    for (int orientation : {1, 2}) {
        Surface s(40, 80);
        s.Canvas.PrepareText();
        RECT r{0, 0, 40, 80};
        EXPECT_EQ(DrawRotatedText(s.Canvas.Handle(), L"", r, orientation, 0), 0);
        EXPECT_TRUE(Marked(s.Dib).empty());
        EXPECT_EQ(r.bottom, 80);
    }
}

TEST(UiRotatedText, RunsDownAColumnCentredAcrossTheRectangle) {
    for (int orientation : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "orientation " << orientation);
        Surface s(60, 200);
        s.Canvas.PrepareText();
        HDC dc = s.Canvas.Handle();
        RECT calc{10, 20, 50, 190};
        const int line = DrawRotatedText(dc, L"Registry", calc, orientation, DT_CALCRECT);
        ASSERT_GT(line, 0);
        EXPECT_EQ(calc.left, 10);
        EXPECT_EQ(calc.top, 20);
        EXPECT_EQ(calc.right - calc.left, line);
        const int length = calc.bottom - calc.top;
        EXPECT_GT(length, line);  // turned: longer than thick
        EXPECT_TRUE(Marked(s.Dib).empty());

        RECT r{10, 20, 50, 190};
        EXPECT_EQ(DrawRotatedText(dc, L"Registry", r, orientation, 0), line);
        const PixelSet ink = Marked(s.Dib);
        ASSERT_FALSE(ink.empty());
        const int column = 10 + (40 - line) / 2;
        for (auto [x, y] : ink) {
            EXPECT_GE(x, column);
            EXPECT_LT(x, column + line);
            EXPECT_GE(y, 20);
            EXPECT_LE(y, 20 + length);
        }
    }
}

TEST(UiRotatedText, LongTextEndsInAnEllipsisThatFits) {
    Surface s(40, 200);
    s.Canvas.PrepareText();
    HDC dc = s.Canvas.Handle();
    const std::wstring text = L"A caption far too long for the column it has";
    RECT full{0, 0, 40, 1000};
    DrawRotatedText(dc, text, full, 2, DT_CALCRECT);
    ASSERT_GT(full.bottom, 60);
    RECT r{0, 10, 40, 60};
    DrawRotatedText(dc, text, r, 2, DT_END_ELLIPSIS | DT_NOCLIP);
    const PixelSet ink = Marked(s.Dib);
    ASSERT_FALSE(ink.empty());
    for (auto [x, y] : ink) EXPECT_LT(y, 60);  // shortened, not clipped (DT_NOCLIP)
    RECT calc{0, 10, 40, 60};
    DrawRotatedText(dc, text, calc, 2, DT_END_ELLIPSIS | DT_CALCRECT);
    EXPECT_LE(calc.bottom, 60);
}

TEST(UiRotatedText, AcceleratorIsUnderlinedAlongTheText) {
    for (int orientation : {1, 2}) {
        SCOPED_TRACE(testing::Message() << "orientation " << orientation);
        Surface marked(40, 120), hidden(40, 120), plain(40, 120);
        RECT r{0, 0, 40, 120};
        marked.Canvas.PrepareText();
        DrawRotatedText(marked.Canvas.Handle(), L"&File", r, orientation, 0);
        hidden.Canvas.PrepareText();
        DrawRotatedText(hidden.Canvas.Handle(), L"&File", r, orientation, DT_HIDEPREFIX);
        plain.Canvas.PrepareText();
        DrawRotatedText(plain.Canvas.Handle(), L"File", r, orientation, DT_NOPREFIX);
        EXPECT_EQ(hidden.Dib.Pixels(), plain.Dib.Pixels());
        // The underline: pixels added in one column, a run as long as about one letter.
        PixelSet added;
        for (auto p : Marked(marked.Dib))
            if (!Marked(plain.Dib).count(p)) added.insert(p);
        ASSERT_FALSE(added.empty());
        std::set<int> columns;
        for (auto [x, y] : added) columns.insert(x);
        EXPECT_EQ(columns.size(), 1u);
        EXPECT_LT(added.size(), 12u);
        // It lies under the first letter: at the start of the text, which is the bottom of
        // text read upwards and the top of text read downwards.
        RECT calc{0, 0, 40, 120};
        DrawRotatedText(plain.Canvas.Handle(), L"File", calc, orientation, DT_CALCRECT);
        const int y = added.begin()->second;
        if (orientation == 1)
            EXPECT_GT(y, calc.bottom - 12);
        else
            EXPECT_LT(y, 12);
    }
}

// --- LayoutGlyphAndText -----------------------------------------------------------------------

TEST(UiLayoutGlyphAndText, Rectangles) {
    Surface s(10, 10);
    const std::wstring caption = L"Caption";
    RECT measured{0, 0, 1, 1};
    s.Canvas.PrepareText();
    const int th0 = DrawTextW(s.Canvas.Handle(), caption.c_str(), -1, &measured, DT_SINGLELINE | DT_CALCRECT);
    const int tw = measured.right, th = measured.bottom;
    ASSERT_EQ(th0, th);
    const RECT area{10, 20, 210, 80};  // centre (110, 50)
    auto at = [](int l, int t, int w, int h) { return RECT{l, t, l + w, t + h}; };

    struct Row {
        const char* Name;
        wide::TAlignment Alignment;
        std::wstring Caption;
        int GlyphW, GlyphH;
        bool Above, Pushed;
        RECT Text, Glyph;
        int Height;
    };
    const int ty = (100 - th) / 2;  // caption top when centred vertically
    const int left16 = 10, right16 = 210 - 16;
    const int centred16 = (220 - 16 - tw - 4) / 2;
    const int blockTop = (100 - (16 + 1 + th)) / 2;
    const Row rows[] = {
        {"left, caption only", wide::taLeftJustify, caption, 0, 0, false, false, at(10, ty, tw, th), {}, th},
        {"right, caption only", wide::taRightJustify, caption, 0, 0, false, false, at(210 - tw, ty, tw, th), {}, th},
        {"centre, caption only", wide::taCenter, caption, 0, 0, false, false, at((220 - tw) / 2, ty, tw, th), {}, th},
        {"left, glyph", wide::taLeftJustify, caption, 16, 16, false, false, at(left16 + 16 + 4, ty, tw, th),
         at(left16, 42, 16, 16), th},
        {"right, glyph", wide::taRightJustify, caption, 16, 16, false, false, at(210 - tw - 16 - 4, ty, tw, th),
         at(right16, 42, 16, 16), th},
        {"centre, glyph", wide::taCenter, caption, 16, 16, false, false, at(centred16 + 16 + 4, ty, tw, th),
         at(centred16, 42, 16, 16), th},
        {"centre, glyph above", wide::taCenter, caption, 16, 16, true, false,
         at((220 - tw) / 2, blockTop + 16 + 1, tw, th), at(102, blockTop, 16, 16), th},
        {"left, glyph, pushed", wide::taLeftJustify, caption, 16, 16, false, true, at(left16 + 21, ty + 1, tw, th),
         at(left16 + 1, 43, 16, 16), th},
        {"glyph only", wide::taCenter, L"", 16, 16, false, false, {}, at(102, 42, 16, 16), 0},
        {"glyph only, left", wide::taLeftJustify, L"", 16, 16, false, false, {}, at(10, 42, 16, 16), 0},
        {"no glyph without both sizes", wide::taLeftJustify, caption, 16, 0, false, false, at(10, ty, tw, th), {}, th},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        RECT text{1, 1, 1, 1}, glyph{1, 1, 1, 1};
        const int height = LayoutGlyphAndText(s.Canvas, area, row.Caption, row.Alignment, DT_SINGLELINE | DT_VCENTER,
                                              row.GlyphW, row.GlyphH, row.Above, row.Pushed, text, glyph);
        EXPECT_EQ(height, row.Height);
        EXPECT_TRUE(EqualRect(&text, &row.Text)) << text.left << "," << text.top << "," << text.right << ","
                                                 << text.bottom;
        EXPECT_TRUE(EqualRect(&glyph, &row.Glyph)) << glyph.left << "," << glyph.top << "," << glyph.right << ","
                                                   << glyph.bottom;
    }
}

TEST(UiLayoutGlyphAndText, TurnedCaptionKeepsFourPixelsBelowTheGlyph) {
    Surface s(10, 10);
    RECT text, glyph;
    const RECT area{0, 0, 40, 200};
    LayoutGlyphAndText(s.Canvas, area, L"Turned", wide::taCenter, DT_SINGLELINE, 16, 16, true, false, text, glyph, 1);
    EXPECT_EQ(text.top - glyph.bottom, 4);
    // The turned caption is as wide as one line and as long as its text.
    EXPECT_LT(text.right - text.left, text.bottom - text.top);
    // Glyph and caption are centred down the rectangle as one block.
    EXPECT_LE(std::abs((glyph.top - area.top) - (area.bottom - text.bottom)), 1);
}

TEST(UiLayoutGlyphAndText, EllipsisKeepsTheCaptionBesideTheGlyph) {
    Surface s(10, 10);
    RECT text, glyph;
    const RECT area{0, 0, 80, 24};
    LayoutGlyphAndText(s.Canvas, area, L"A caption much wider than the button it sits on", wide::taLeftJustify,
                       DT_SINGLELINE | DT_END_ELLIPSIS, 16, 16, false, false, text, glyph);
    EXPECT_EQ(glyph.left, 0);
    EXPECT_EQ(text.left, 20);
    EXPECT_LE(text.right, 80);
    // Bold text is measured by its extent when it fits, with its marks left out.
    s.Canvas.Font().SetStyle(fsBold);
    LayoutGlyphAndText(s.Canvas, area, L"&Ok", wide::taLeftJustify, DT_SINGLELINE | DT_END_ELLIPSIS, 16, 16, false,
                       false, text, glyph);
    SIZE size;
    s.Canvas.PrepareText();
    GetTextExtentPoint32W(s.Canvas.Handle(), L"Ok", 2, &size);
    EXPECT_EQ(text.right - text.left, size.cx);
}

TEST(UiDrawGlyphAndText, DrawsCaptionAndGlyphWhereTheLayoutPutsThem) {
    TBitmap glyph(8, 6);
    glyph.Canvas().Brush().SetColor(clRed);
    glyph.Canvas().FillRect(RECT{0, 0, 8, 6});
    Surface s(120, 40);
    RECT text, where;
    const RECT area{0, 0, 120, 40};
    const int height = DrawGlyphAndText(s.Canvas, area, L"Go", wide::taLeftJustify, DT_SINGLELINE, &glyph, false,
                                        false, text, where, 0, false, clNone, gldNone);
    EXPECT_GT(height, 0);
    EXPECT_EQ(where.right - where.left, 8);
    EXPECT_EQ(s.Dib.Pixel(where.left, where.top), kRed);
    EXPECT_EQ(s.Dib.Pixel(where.right - 1, where.bottom - 1), kRed);
    bool inked = false;
    for (auto [x, y] : Marked(s.Dib))
        if (x >= text.left && x < text.right && y >= text.top && y < text.bottom) inked = true;
    EXPECT_TRUE(inked);
    // Measuring only places and draws nothing.
    Surface calc(120, 40);
    RECT text2, where2;
    DrawGlyphAndText(calc.Canvas, area, L"Go", wide::taLeftJustify, DT_SINGLELINE, &glyph, false, false, text2,
                     where2, 0, true, clNone, gldNone);
    EXPECT_TRUE(Marked(calc.Dib).empty());
    EXPECT_TRUE(EqualRect(&text, &text2));
    EXPECT_TRUE(EqualRect(&where, &where2));
}

}  // namespace
