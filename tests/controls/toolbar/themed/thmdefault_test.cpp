#include "controls/toolbar/themed/thmdefault.h"

#include "classlib/gdiguards.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmutils.h"

#include <gtest/gtest.h>

#include <set>
#include <utility>
#include <vector>

using namespace themed;
using namespace classlib;
using testsupport::MemoryDib;

namespace {

using PixelSet = std::set<std::pair<int, int>>;

// The pixels of `dib` that are not `background`.
PixelSet Changed(const MemoryDib& dib, COLORREF background) {
    PixelSet set;
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x)
            if (dib.Pixel(x, y) != background) set.insert({x, y});
    return set;
}

PixelSet OfColor(const MemoryDib& dib, COLORREF color) {
    PixelSet set;
    for (int y = 0; y < dib.Height; ++y)
        for (int x = 0; x < dib.Width; ++x)
            if (dib.Pixel(x, y) == color) set.insert({x, y});
    return set;
}

// The set bits of an 8-row one-bit pattern (one byte a row here), width x height, at (x0, y0).
PixelSet PatternPixels(std::vector<BYTE> rows, int width, int x0, int y0) {
    PixelSet set;
    for (int y = 0; y < static_cast<int>(rows.size()); ++y)
        for (int x = 0; x < width; ++x)
            if (rows[y] & (0x80 >> x)) set.insert({x0 + x, y0 + y});
    return set;
}

PixelSet Shifted(const PixelSet& set, int dx, int dy) {
    PixelSet out;
    for (auto [x, y] : set) out.insert({x + dx, y + dy});
    return out;
}

TThmItemInfo Item(int viewKind, int flags, bool enabled = true) {
    TThmItemInfo item{};
    item.ViewKind = viewKind;
    item.ItemFlags = flags;
    item.Enabled = enabled;
    return item;
}

// The default theme on the classic path: visual styles switched off and the flat menu look
// refused, whatever the system says.
class DefaultTheme : public ::testing::Test {
protected:
    void SetUp() override {
        TThmThemeManager& manager = ThemeManager();
        FStyles = manager.VisualStylesEnabled();
        FFlat = manager.FlatMenuStyle();
        manager.SetVisualStylesEnabled(false);
        manager.SetFlatMenuStyle(fmsFlatOff);
        ASSERT_FALSE(VisualStylesOpen);
        ASSERT_FALSE(UseFlatMenus);
        Theme = std::make_unique<TThmDefaultTheme>(L"Default");
        Theme->Init();
    }
    void TearDown() override {
        Theme.reset();
        ThemeManager().SetVisualStylesEnabled(FStyles);
        ThemeManager().SetFlatMenuStyle(FFlat);
    }
    std::unique_ptr<TThmDefaultTheme> Theme;

private:
    bool FStyles = true;
    int FFlat = fmsAutomatic;
};

TEST_F(DefaultTheme, ColourCacheAndViewAnswers) {
    EXPECT_EQ(Theme->ToolbarFace, clBtnFace);
    EXPECT_EQ(Theme->ToolbarFaceText, clBtnText);
    EXPECT_EQ(Theme->StatusBarFace, clBtnFace);
    EXPECT_EQ(Theme->DockPanelFace, ColorMixNearest(clBtnFace, clWindow, 64));

    const POINT dlg{GetSystemMetrics(SM_CXDLGFRAME), GetSystemMetrics(SM_CYDLGFRAME)};
    const POINT sizing{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    struct Case {
        int viewKind;
        TColor fill;
        POINT border;
        TThmMargins padding;
    } cases[] = {
        {vkToolbarBar, clBtnFace, {2, 2}, {}},
        {vkToolbarBar | vkFloating, clBtnFace, dlg, {4, 4, 2, 1}},
        {vkToolWindow | vkFloating | vkResizable, clBtnFace, sizing, {4, 4, 2, 1}},
        {vkMenuBar, clBtnFace, {2, 2}, {}},
        {vkPopupMenu, PopupMenuColor, {3, 3}, {}},
        {vkChevronPopup, PopupMenuColor, {3, 3}, {}},
        {vkListPopup, clWindow, {1, 1}, {}},
        {vkToolBoxPopup, clBtnFace, {3, 3}, {}},
        {vkDockPanelDocked, Theme->DockPanelFace, {2, 2}, {}},
        {vkDockPanelFloating, Theme->DockPanelFace, dlg, {}},
        {vkStatusBar, clBtnFace, {0, 0}, {}},
        {0, clBtnFace, {0, 0}, {}},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.viewKind);
        EXPECT_EQ(Theme->GetViewFillColor(k.viewKind), k.fill);
        POINT border{-1, -1};
        Theme->GetViewBorderSize(k.viewKind, border);
        EXPECT_EQ(border.x, k.border.x);
        EXPECT_EQ(border.y, k.border.y);
        TThmMargins padding{9, 9, 9, 9};
        Theme->GetViewPadding(k.viewKind, padding);
        EXPECT_EQ(std::vector<int>({padding.LeftWidth, padding.RightWidth, padding.TopHeight, padding.BottomHeight}),
                  std::vector<int>({k.padding.LeftWidth, k.padding.RightWidth, k.padding.TopHeight, k.padding.BottomHeight}));
    }
    EXPECT_EQ(Theme->GetShadowKind(), 1);
}

TEST_F(DefaultTheme, MarginsAndMetrics) {
    struct MarginCase {
        int kind;
        TThmMargins expected;
    } margins[] = {{mkToolbarButton, {2, 2, 2, 2}}, {mkPopupItem, {0, 0, 2, 2}}, {mkEditBox, {1, 3, 1, 1}}, {7, {}}};
    for (const MarginCase& k : margins) {
        TThmMargins m{9, 9, 9, 9};
        Theme->GetMarginSet(k.kind, m);
        EXPECT_EQ(std::vector<int>({m.LeftWidth, m.RightWidth, m.TopHeight, m.BottomHeight}),
                  std::vector<int>({k.expected.LeftWidth, k.expected.RightWidth, k.expected.TopHeight,
                                    k.expected.BottomHeight}))
            << "kind " << k.kind;
    }
    // 35 (popup separators) is not answered: they keep the viewer's own size.
    const std::pair<int, int> metrics[] = {{10, 11}, {20, 8}, {21, 3}, {32, 1}, {33, 2}, {34, 2}, {35, -1},
                                           {36, 2},  {37, 4}, {50, 6}, {60, 2}, {61, 2}, {62, 1}, {65, 13},
                                           {66, 0},  {0, -1}, {99, -1}};
    for (auto [index, value] : metrics) EXPECT_EQ(Theme->GetIntMetric(index), value) << "metric " << index;
    for (int index : {0, 1, 5, 6, 7, 8}) EXPECT_FALSE(Theme->GetBoolMetric(index)) << "bool metric " << index;
}

TEST_F(DefaultTheme, ItemColours) {
    struct Case {
        const char* what;
        TThmItemInfo item;
        TColor text, fill;
    };
    auto hot = [](TThmItemInfo item, BYTE state) {
        item.HotState = state;
        return item;
    };
    const Case cases[] = {
        {"popup item", Item(vkPopupMenu, 0), PopupMenuTextColor, PopupMenuColor},
        {"hot popup item", hot(Item(vkPopupMenu, 0), hsSelected), clHighlightText, clHighlight},
        {"disabled popup item reached by keys", hot(Item(vkPopupMenu, 0, false), hsKeyboardSelected), clGrayText,
         clHighlight},
        {"toolbar button", Item(vkToolbarBar, ifToolbarStyle), clBtnText, clBtnFace},
        {"disabled toolbar button", Item(vkToolbarBar, ifToolbarStyle, false), clGrayText, clBtnFace},
        {"menu bar, application active", Item(vkMenuBar, ifToolbarStyle | ifAppActive), clBtnText, clBtnFace},
        {"menu bar, application inactive", Item(vkMenuBar, ifToolbarStyle), clGrayText, clBtnFace},
        {"button in a popup", Item(vkPopupMenu, ifToolbarStyle), clBtnText, PopupMenuColor},
    };
    for (const Case& k : cases) {
        EXPECT_EQ(Theme->GetItemTextColor(k.item), k.text) << k.what;
        EXPECT_EQ(Theme->GetItemFillColor(k.item), k.fill) << k.what;
    }
    TThmItemInfo pushed = Item(vkToolbarBar, ifToolbarStyle);
    TCanvas canvas;
    EXPECT_EQ(Theme->GetItemImageShift(canvas, pushed, nullptr).x, 0);
    pushed.Pushed = true;
    EXPECT_EQ(Theme->GetItemImageShift(canvas, pushed, nullptr).y, 1);
}

// A canvas drawing on a memory DIB for the length of a test.
struct DibCanvas {
    DibCanvas(int w, int h, COLORREF fill) : Dib(w, h, fill), Scope(Canvas, Dib.DC) {}
    MemoryDib Dib;
    TCanvas Canvas;
    TCanvasDCScope Scope;
};

TEST_F(DefaultTheme, CheckTickAndRadioDot) {
    const COLORREF back = RGB(10, 200, 10);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT), grey = GetSysColor(COLOR_GRAYTEXT),
                   light = GetSysColor(COLOR_BTNHIGHLIGHT);
    // The tick around the centre (8, 8) of a 16 x 16 rectangle: two pixels thick, seven wide.
    const PixelSet tick = Shifted({{-3, -1}, {-2, 0}, {-1, 1}, {0, 0}, {1, -1}, {2, -2}, {3, -3},
                                   {3, -2}, {2, -1}, {1, 0}, {0, 1}, {-1, 2}, {-2, 1}, {-3, 0}},
                                  8, 8);
    {
        DibCanvas d(16, 16, back);
        Theme->PaintCheckGlyph(d.Canvas, RECT{0, 0, 16, 16}, Item(vkPopupMenu, 0));
        EXPECT_EQ(Changed(d.Dib, back), tick);
        EXPECT_EQ(OfColor(d.Dib, text), tick);
    }
    {
        // Disabled: grey, with a highlight copy one pixel down and right drawn over it.
        DibCanvas d(16, 16, back);
        Theme->PaintCheckGlyph(d.Canvas, RECT{0, 0, 16, 16}, Item(vkPopupMenu, 0, false));
        const PixelSet lower = Shifted(tick, 1, 1);
        PixelSet greyPart;
        for (auto p : tick)
            if (!lower.count(p)) greyPart.insert(p);
        if (grey != light) {
            EXPECT_EQ(OfColor(d.Dib, light), lower);
            EXPECT_EQ(OfColor(d.Dib, grey), greyPart);
        }
    }
    {
        // A radio dot instead: inside the 7 x 7 box around the centre, solid in its middle.
        DibCanvas d(16, 16, back);
        Theme->PaintCheckGlyph(d.Canvas, RECT{0, 0, 16, 16}, Item(vkPopupMenu, ifRadioItem));
        for (auto [x, y] : Changed(d.Dib, back)) {
            EXPECT_GE(x, 5);
            EXPECT_LE(x, 11);
            EXPECT_GE(y, 5);
            EXPECT_LE(y, 11);
        }
        EXPECT_EQ(d.Dib.Pixel(8, 8), text);
        EXPECT_EQ(d.Dib.Pixel(8, 5), text);
    }
}

TEST_F(DefaultTheme, ChevronAndDropArrowGlyphs) {
    const COLORREF back = RGB(10, 200, 10);
    const COLORREF text = GetSysColor(COLOR_BTNTEXT);
    const PixelSet chevron = PatternPixels({0xCC, 0x66, 0x33, 0x66, 0xCC}, 8, 6, 4);
    const PixelSet chevronDown = PatternPixels({0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20}, 5, 7, 8);
    const PixelSet arrow = PatternPixels({0xF8, 0x70, 0x20}, 5, 2, 3);
    const PixelSet arrowRight = PatternPixels({0x80, 0xC0, 0xE0, 0xC0, 0x80}, 3, 3, 2);
    struct Case {
        const char* what;
        int w, h;
        bool vertical, pushed, chevron;
        BYTE splitPart;
        PixelSet expected;
    } cases[] = {
        {"chevron", 20, 16, false, false, true, spPlain, chevron},
        {"pushed chevron", 20, 16, false, true, true, spPlain, Shifted(chevron, 1, 1)},
        {"chevron of a vertical toolbar", 16, 24, true, false, true, spPlain, chevronDown},
        {"drop arrow", 9, 9, false, false, false, spWithArrow, arrow},
        {"pushed drop arrow", 9, 9, false, true, false, spWithArrow, Shifted(arrow, 1, 1)},
        {"vertical drop arrow", 9, 9, true, false, false, spWithArrow, arrowRight},
    };
    for (const Case& k : cases) {
        DibCanvas d(k.w, k.h, back);
        TThmItemInfo item = Item(vkToolbarBar, ifToolbarStyle);
        item.Vertical = k.vertical;
        item.Pushed = k.pushed;
        item.SplitPart = k.splitPart;
        const RECT r{0, 0, k.w, k.h};
        if (k.chevron)
            Theme->PaintChevronButton(d.Canvas, r, item);
        else
            Theme->PaintDropArrow(d.Canvas, r, item);
        EXPECT_EQ(OfColor(d.Dib, text), k.expected) << k.what;
        // A pushed button has its sunken edge as well; everything else is the glyph alone.
        if (!(k.chevron && k.pushed)) {
            EXPECT_EQ(Changed(d.Dib, back), k.expected) << k.what;
        }
    }
}

TEST_F(DefaultTheme, ToolbarCloseButtonGlyph) {
    const COLORREF face = GetSysColor(COLOR_BTNFACE), text = GetSysColor(COLOR_BTNTEXT);
    DibCanvas d(104, 26, RGB(10, 200, 10));
    d.Canvas.Brush().SetColor(clBtnFace);
    TThmToolbarFrameInfo frame{};
    frame.ViewKind = vkToolbarBar;
    frame.AllowDrag = true;
    frame.BorderSize = {2, 2};
    frame.ClientWidth = 100;
    frame.ClientHeight = 22;
    frame.DragHandleStyle = dhSingle;
    frame.CloseButtonState = cbsShown;
    Theme->PaintToolbarFrame(d.Canvas, RECT{0, 0, 104, 26}, frame);
    // The close button (2, 2)-(15, 15), two pixels smaller at the bottom and the outer side,
    // holds the 7 x 7 cross in its middle; the rest of the button is the brush colour.
    const PixelSet cross = PatternPixels({0x00, 0xCC, 0x78, 0x30, 0x78, 0xCC, 0x00}, 7, 6, 4);
    PixelSet inButton;
    for (int y = 2; y < 13; ++y)
        for (int x = 4; x < 15; ++x) {
            if (d.Dib.Pixel(x, y) == text) inButton.insert({x, y});
            else EXPECT_EQ(d.Dib.Pixel(x, y), face) << x << "," << y;
        }
    EXPECT_EQ(inButton, cross);
}

TEST_F(DefaultTheme, DisabledPopupItemReachedByKeysIsGreyOnTheHighlight) {
    const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT), light = GetSysColor(COLOR_BTNHIGHLIGHT),
                   grey = GetSysColor(COLOR_GRAYTEXT), shadow = GetSysColor(COLOR_BTNSHADOW);
    const COLORREF back = RGB(10, 200, 10);
    if (light == highlight) GTEST_SKIP() << "colours coincide";
    auto paint = [&](BYTE hotState) {
        auto d = std::make_unique<DibCanvas>(60, 24, back);
        d->Canvas.Font().SetHeight(-18);
        d->Canvas.Font().SetStyle(fsBold);
        d->Canvas.Font().SetColor(clNone);
        TThmItemInfo item = Item(vkPopupMenu, 0, false);
        item.HotState = hotState;
        Theme->PaintPopupItemFrame(d->Canvas, RECT{0, 0, 60, 24}, item);
        Theme->PaintItemCaption(d->Canvas, RECT{0, 0, 60, 24}, item, L"WM", DT_SINGLELINE | DT_CENTER | DT_VCENTER,
                                false);
        return d;
    };
    // Reached by the keys: the highlight, and grey text without the embossed copy.
    auto keyed = paint(hsKeyboardSelected);
    EXPECT_EQ(keyed->Dib.Pixel(0, 0), highlight);
    EXPECT_EQ(keyed->Dib.Count(back), 0);
    EXPECT_GT(keyed->Dib.Count(grey), 0);
    EXPECT_EQ(keyed->Dib.Count(light), 0) << "embossed";
    // Not selected: embossed (a highlight copy one pixel down and right, then the shadow) on
    // the untouched background.
    auto idle = paint(hsNone);
    EXPECT_EQ(idle->Dib.Count(highlight), 0);
    EXPECT_GT(idle->Dib.Count(light), 0);
    EXPECT_GT(idle->Dib.Count(shadow), 0);
}

}  // namespace

// The caption buttons of a maximised child draw their symbols: the minimise bar sits in the
// lower half of the face alone, the close cross reaches every quarter of it. (Without the
// symbol font the system draws the letters "0" and "r" instead, which fail both.)
TEST_F(DefaultTheme, MDICaptionButtonsDrawTheirSymbols) {
    const COLORREF ink = GetSysColor(COLOR_BTNTEXT);
    constexpr int W = 16, H = 14;
    const auto inkIn = [&](const MemoryDib& dib, int left, int top, int right, int bottom) {
        int count = 0;
        for (int y = top; y < bottom; ++y)
            for (int x = left; x < right; ++x) count += dib.Pixel(x, y) == ink;
        return count;
    };
    TThmItemInfo item{};
    item.Enabled = true;
    {
        DibCanvas d(W, H, RGB(10, 200, 10));
        Theme->PaintMDICaptionButton(d.Canvas, RECT{0, 0, W, H}, item, 1);  // minimise
        EXPECT_EQ(inkIn(d.Dib, 2, 2, W - 2, H / 2), 0);
        EXPECT_GT(inkIn(d.Dib, 2, H / 2, W - 2, H - 2), 0);
    }
    {
        DibCanvas d(W, H, RGB(10, 200, 10));
        Theme->PaintMDICaptionButton(d.Canvas, RECT{0, 0, W, H}, item, 0);  // close
        for (const auto& [x, y] : {std::pair{2, 2}, {W / 2, 2}, {2, H / 2}, {W / 2, H / 2}})
            EXPECT_GT(inkIn(d.Dib, x, y, x + W / 2 - 2, y + H / 2 - 2), 0) << "quarter at " << x << "," << y;
    }
}
