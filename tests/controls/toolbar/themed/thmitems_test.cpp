#include "controls/toolbar/themed/thmitems.h"

#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "classlib/menus.h"
#include "common/test_support.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnexus.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <stdexcept>
#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace themed;
using namespace toolbar;
using namespace classlib;
using testsupport::MemoryDib;

namespace {

// One call of the theme's item painting.
struct Call {
    std::string Name;
    RECT Rect;
    TThmItemInfo Info;
    std::wstring Text;
    UINT Format = 0;
    bool Flag1 = false;  // rotated (captions), horizontal (separators)
    bool Flag2 = false;  // line separator
};

// A theme with metrics of its own that records the item painting it is asked for.
class RecordingTheme : public TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    std::vector<Call> Calls;
    std::map<int, int> Metrics{{tmSplitArrowWidth, 13}, {tmDropArrowWidth, 9},      {tmDropArrowMargin, 4},
                               {tmMenuImageGap, 3},     {tmMenuCaptionGap, 5},      {tmMenuCaptionEndGap, 7},
                               {tmMenuSeparatorSize, 5}, {tmToolbarSeparatorSize, 8}};
    TThmMargins PopupMargins{1, 2, 3, 4};

    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Call& c : Calls) names.push_back(c.Name);
        return names;
    }
    const Call& Find(const std::string& name, int nth = 0) const {
        for (const Call& c : Calls)
            if (c.Name == name && nth-- == 0) return c;
        throw std::runtime_error("no call " + name);
    }

    int GetIntMetric(int index) override {
        auto it = Metrics.find(index);
        return it != Metrics.end() ? it->second : TThmDefaultTheme::GetIntMetric(index);
    }
    void GetMarginSet(int kind, TThmMargins& margins) override {
        if (kind == mkPopupItem)
            margins = PopupMargins;
        else
            TThmDefaultTheme::GetMarginSet(kind, margins);
    }
    void PaintItemButton(TCanvas&, const RECT& rect, const TThmItemInfo& item) override {
        Calls.push_back({"Button", rect, item});
    }
    void PaintDropArrow(TCanvas&, const RECT& rect, const TThmItemInfo& item) override {
        Calls.push_back({"Arrow", rect, item});
    }
    void PaintItemCaption(TCanvas&, const RECT& rect, const TThmItemInfo& item, const std::wstring& caption,
                          UINT format, bool rotated) override {
        Calls.push_back({"Caption", rect, item, caption, format, rotated});
    }
    void PaintItemImage(TCanvas&, const RECT& rect, const TThmItemInfo& item, TImageList*, int index) override {
        Calls.push_back({"Image", rect, item, std::to_wstring(index)});
    }
    void PaintCheckGlyph(TCanvas&, const RECT& rect, const TThmItemInfo& item) override {
        Calls.push_back({"Check", rect, item});
    }
    void PaintPopupItem(TCanvas&, const RECT& rect, const TThmItemInfo& item) override {
        Calls.push_back({"PopupItem", rect, item});
    }
    void PaintItemSeparator(TCanvas&, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                            bool lineSeparator) override {
        Calls.push_back({"Separator", rect, item, L"", 0, horizontal, lineSeparator});
    }
};

// The window a view paints in, answering its view kind as themed windows do.
class HostWindow : public TCustomControl, public TThmViewHost {
public:
    explicit HostWindow(int kind) : TCustomControl(nullptr), Kind(kind) {}
    int ThemeViewKind() override { return Kind; }
    int Kind;
};

// One level of themed items shown by a view (a toolbar or a popup) on a window that never
// needs a handle.
struct Level {
    explicit Level(bool toolbar, TBarViewOrientation orientation = tbvoHorizontal)
        : Window(toolbar ? vkToolbarBar : vkPopupMenu) {
        Window.SetBounds(0, 0, 300, 40);
        View = std::make_unique<TBarView>(nullptr, nullptr, &Root, &Window, toolbar, false, true);
        View->SetOrientation(orientation);
        TBitmap picture(16, 16);
        Images.Add(picture);
    }
    ~Level() { View.reset(); }
    template <class T = TThmCustomItem>
    T* Add(const std::wstring& caption = L"", int image = -1) {
        auto* item = new T(&Root);
        item->SetCaption(caption);
        if (image >= 0) {
            item->SetImages(&Images);
            item->SetImageIndex(image);
        }
        Root.Add(item);
        return item;
    }
    TBarItemViewer* ViewerOf(TBarCustomItem* item) { return View->ViewerOfItem(item); }
    SIZE Measure(TBarCustomItem* item) {
        TWindowDC screen(nullptr);
        TCanvas canvas;
        TCanvasDCScope scope(canvas, screen.Handle());
        canvas.Font().Assign(View->QueryFont());
        int w = 0, h = 0;
        ViewerOf(item)->CalcSize(canvas, w, h);
        return {w, h};
    }
    // Paints the item's viewer into a bitmap of the given size.
    void Paint(TBarCustomItem* item, SIZE size, bool selected, bool pushed) {
        MemoryDib dib(size.cx, size.cy, RGB(255, 255, 255));
        TCanvas canvas;
        TCanvasDCScope scope(canvas, dib.DC);
        ViewerOf(item)->Paint(canvas, {0, 0, size.cx, size.cy}, selected, pushed, false);
    }
    // DrawText's size of a caption in the view's font (the measure of unrotated captions).
    SIZE Text(const std::wstring& text, UINT flags = 0) {
        TWindowDC screen(nullptr);
        TSelectedObject font(screen.Handle(), View->QueryFont().Handle());
        RECT r{0, 0, 1, 0};
        DrawTextW(screen.Handle(), text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
        return {r.right, r.bottom};
    }
    TEXTMETRICW Metrics() {
        TWindowDC screen(nullptr);
        TSelectedObject font(screen.Handle(), View->QueryFont().Handle());
        TEXTMETRICW tm{};
        GetTextMetricsW(screen.Handle(), &tm);
        return tm;
    }

    TBarRootItem Root{nullptr};
    HostWindow Window;
    TImageList Images{nullptr, 16, 16};
    std::unique_ptr<TBarView> View;
};

// Runs each test with the recording theme as the current theme.
class ThemedItems : public ::testing::Test {
protected:
    void SetUp() override {
        if (!IsToolbarThemeRegistered(L"Recorder"))
            RegisterToolbarTheme(L"Recorder",
                                 [](const std::wstring& name) { return std::make_unique<RecordingTheme>(name); });
        ASSERT_TRUE(SelectTheme(L"Recorder"));
        Theme = dynamic_cast<RecordingTheme*>(&ActiveToolbarTheme());
        ASSERT_NE(Theme, nullptr);
    }
    void TearDown() override { SelectTheme(L"Default"); }
    RecordingTheme* Theme = nullptr;
};

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

std::string Show(const RECT& r) {
    return "{" + std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom) + "}";
}

// Records the changes an item reports to its parent's listeners.
struct ChangeLog : TBarItemChangeListener {
    void ItemChanged(TBarCustomItem*, bool, TBarItemChangedAction action, int, TBarCustomItem*) override {
        Actions.push_back(action);
    }
    std::vector<TBarItemChangedAction> Actions;
};

}  // namespace

TEST(ThemedItemState, DrawStateFromItemInfo) {
    const struct {
        bool Enabled, Pushed, Checked;
        BYTE Hot;
        int State;
    } cases[] = {
        {true, false, false, hsNone, 0},
        {false, false, false, hsNone, dstDisabled},
        {true, false, false, hsSelected, dstHot},
        {false, false, false, hsKeyboardSelected, dstDisabled},  // only the selected-and-enabled look is hot
        {true, true, true, hsSelected, dstHot | dstPushed | dstChecked},
    };
    for (const auto& c : cases) {
        TThmItemInfo info{};
        info.Enabled = c.Enabled;
        info.Pushed = c.Pushed;
        info.Checked = c.Checked;
        info.HotState = c.Hot;
        EXPECT_EQ(ItemInfoToDrawState(info), c.State) << c.Enabled << c.Pushed << c.Checked << int(c.Hot);
    }
}

TEST(ThemedItemState, FontSettingsChangeTheFontAndTellOnlyRealChanges) {
    TFontSettings settings;
    int changes = 0;
    settings.OnChange = [&changes] { ++changes; };
    settings.SetSize(100);  // the default: no change
    settings.SetBold(tsDefault);
    EXPECT_EQ(changes, 0);

    settings.SetSize(150);
    settings.SetBold(tsTrue);
    settings.SetItalic(tsFalse);
    settings.SetColor(clRed);
    settings.SetName(L"Arial");
    EXPECT_EQ(changes, 5);

    TFont font;
    font.SetSize(9);
    font.SetStyle(fsItalic | fsUnderline);
    font.SetColor(clBlue);
    settings.Apply(font);
    EXPECT_EQ(font.Size(), 14);  // (9 * 150 + 50) div 100
    EXPECT_EQ(font.Style(), fsBold | fsUnderline);
    EXPECT_EQ(font.Color(), clRed);
    EXPECT_EQ(font.Name(), L"Arial");

    // The keep values leave the font alone.
    TFontSettings keep;
    TFont plain;
    plain.SetSize(11);
    plain.SetStyle(fsStrikeOut);
    const std::wstring name = plain.Name();
    keep.Apply(plain);
    EXPECT_EQ(plain.Size(), 11);
    EXPECT_EQ(plain.Style(), fsStrikeOut);
    EXPECT_EQ(plain.Color(), clWindowText);
    EXPECT_EQ(plain.Name(), name);

    // Assign tells once, and only when a value differs.
    TFontSettings copy;
    int copyChanges = 0;
    copy.OnChange = [&copyChanges] { ++copyChanges; };
    copy.Assign(settings);
    EXPECT_EQ(copyChanges, 1);
    EXPECT_EQ(copy.Size(), 150);
    EXPECT_EQ(copy.Bold(), tsTrue);
    EXPECT_EQ(copy.Italic(), tsFalse);
    EXPECT_EQ(copy.Name(), L"Arial");
    copy.Assign(settings);
    EXPECT_EQ(copyChanges, 1);
}

TEST_F(ThemedItems, LookChangesResizeButInvalidateOnlyRepaints) {
    Level bar(true);
    auto* item = bar.Add(L"Item");
    ChangeLog log;
    bar.Root.AddChangeListener(&log);
    item->Invalidate();
    item->FontSettings().SetBold(tsTrue);
    item->SetLayout(thmlGlyphTop);
    item->SetMinWidth(40);
    item->SetMinHeight(30);
    item->SetStretch(true);
    item->SetStretch(true);  // unchanged: no notice
    TFontSettings big;
    big.SetSize(200);
    item->SetFontSettings(big);
    EXPECT_TRUE(item->ItemStyle() & tbstStretch);
    EXPECT_EQ(item->FontSettings().Size(), 200);
    EXPECT_EQ(item->FontSettings().Bold(), tsDefault);
    const std::vector<TBarItemChangedAction> expected = {
        tbicInvalidate,          tbicInvalidateAndResize, tbicInvalidateAndResize, tbicInvalidateAndResize,
        tbicInvalidateAndResize, tbicInvalidateAndResize, tbicInvalidateAndResize};
    EXPECT_EQ(log.Actions, expected);
    bar.Root.RemoveChangeListener(&log);
}

TEST_F(ThemedItems, ToolbarSizesUseTheThemeMetrics) {
    Level bar(true);
    const int th = bar.Metrics().tmHeight;
    const SIZE abc = bar.Text(L"&Abc"), a = bar.Text(L"A");
    auto* image = bar.Add(L"", 0);
    auto* text = bar.Add(L"&Abc");
    auto* left = bar.Add(L"&Abc", 0);
    left->SetDisplayMode(nbdmImageAndText);
    auto* top = bar.Add(L"&Abc", 0);
    top->SetDisplayMode(nbdmImageAndText);
    top->SetLayout(thmlGlyphTop);
    auto* split = bar.Add(L"", 0);
    split->SetItemStyle(split->ItemStyle() | tbstSubmenu | tbstSplitButton);
    auto* drop = bar.Add(L"&Abc");
    drop->SetItemStyle(drop->ItemStyle() | tbstSubmenu);
    drop->SetOptions(tboDropdownArrow);
    auto* dropTop = bar.Add(L"A", 0);  // the arrow goes beside the image
    dropTop->SetItemStyle(dropTop->ItemStyle() | tbstSubmenu);
    dropTop->SetOptions(tboDropdownArrow | tboImageAboveCaption);
    dropTop->SetDisplayMode(nbdmImageAndText);
    auto* least = bar.Add(L"A");
    least->SetMinWidth(60);
    least->SetMinHeight(40);
    auto* separator = bar.Add<TThmSeparatorItem>();

    const struct {
        const char* Name;
        TBarCustomItem* Item;
        SIZE Size;
    } cases[] = {
        {"image", image, {6 + 16 + 1, 16 + 6}},
        {"text", text, {6 + abc.cx + 4, 6 + abc.cy}},
        {"glyph left", left, {6 + abc.cx + 4 + 16 + 1, std::max<int>(6 + abc.cy, 22)}},
        {"glyph top", top, {std::max<int>(6 + abc.cx + 4, 16 + 7), 6 + abc.cy + 16}},
        {"split", split, {23 + 13, 22}},
        {"drop-down", drop, {6 + abc.cx + 4 + 9, 6 + abc.cy}},
        {"arrow beside image", dropTop, {std::max<int>(6 + a.cx + 4, 9 + 16 + 9), 6 + a.cy + 16}},
        {"minimum", least, {60, 40}},
        {"separator", separator, {8, 8}},
    };
    for (const auto& c : cases) {
        const SIZE s = bar.Measure(c.Item);
        EXPECT_EQ(s.cx, c.Size.cx) << c.Name;
        EXPECT_EQ(s.cy, c.Size.cy) << c.Name;
    }
    EXPECT_EQ(abc.cy, th);

    // A vertical toolbar turns captions and puts drop-down arrows below them.
    Level column(true, tbvoVertical);
    auto* turned = column.Add(L"&Abc");
    turned->SetItemStyle(turned->ItemStyle() | tbstSubmenu);
    turned->SetOptions(tboDropdownArrow);
    TWindowDC screen(nullptr);
    TSelectedObject font(screen.Handle(), column.View->QueryFont().Handle());
    TGdiObject<HFONT> verticalFont(CreateVerticalFont(screen.Handle()));
    TSelectedObject vertical(screen.Handle(), verticalFont.Handle());
    TEXTMETRICW tm{};
    GetTextMetricsW(screen.Handle(), &tm);
    const int length = MeasureTextWidth(screen.Handle(), L"&Abc", true);
    SIZE s = column.Measure(turned);
    EXPECT_EQ(s.cx, 6 + tm.tmHeight);
    EXPECT_EQ(s.cy, 6 + length + 4 + 9);
    turned->SetLayout(thmlGlyphLeft);  // a layout of its own keeps the caption level
    s = column.Measure(turned);
    EXPECT_EQ(s.cx, 6 + abc.cx + 4);
    EXPECT_EQ(s.cy, 6 + abc.cy + 9);
}

TEST_F(ThemedItems, PopupSizesAndImageColumn) {
    Level menu(false);
    const TEXTMETRICW tm = menu.Metrics();
    const int m = 3 + 4;  // the recording theme's top and bottom popup margins
    // The image column widens in proportion to the row the text needs.
    const int rowForText = tm.tmHeight + tm.tmExternalLeading + m;
    auto* open = menu.Add(L"&Open", 0);
    open->SetShortCut(ShortCut('O', ssCtrl));
    const int column = GetPopupImageColumnWidth(menu.ViewerOf(open));
    EXPECT_EQ(column, std::max(rowForText, 16 + m) * (m + 16) / (16 + m));
    TImageList wide(nullptr, 24, 16);
    auto* other = menu.Add(L"Wide");
    other->SetImages(&wide);
    EXPECT_EQ(GetPopupImageColumnWidth(menu.ViewerOf(other)), std::max(rowForText, 16 + m) * (m + 24) / (16 + m));

    const SIZE caption = menu.Text(L"&Open", DT_SINGLELINE);
    const SIZE shortcut = menu.Text(open->GetShortCutText(), DT_SINGLELINE);
    const int height = std::max<int>(caption.cy + tm.tmExternalLeading, 16) + m;
    const SIZE s = menu.Measure(open);
    EXPECT_EQ(s.cy, height);
    EXPECT_EQ(s.cx, caption.cx + 1 + 2 + 3 + column + 5 + 7 + shortcut.cx + height - 6 + height);

    // Separators: the theme's popup thickness, the item's own, or the core's without either.
    auto* separator = menu.Add<TThmSeparatorItem>();
    SIZE sep = menu.Measure(separator);
    EXPECT_EQ(sep.cx, 0);
    EXPECT_EQ(sep.cy, 5);
    separator->SetSize(3);
    EXPECT_EQ(menu.Measure(separator).cy, 3);
    separator->SetSize(-2);
    EXPECT_EQ(separator->Size(), -1);
    Theme->Metrics[tmMenuSeparatorSize] = -1;
    EXPECT_EQ(menu.Measure(separator).cy, DivideRoundingAway(2 * tm.tmHeight, 3));
}

TEST_F(ThemedItems, SplitButtonPaintsItsPartsSeparately) {
    Level bar(true);
    auto* split = bar.Add(L"Go", 0);
    split->SetItemStyle(split->ItemStyle() | tbstSubmenu | tbstSplitButton);
    split->SetDisplayMode(nbdmImageAndText);
    split->SetChecked(true);
    const SIZE size{50, 24};
    const RECT button{0, 0, 50 - 13, 24}, arrow{50 - 13, 0, 50, 24};

    // Pushed while no mouse button is held: the popup is open, so the arrow part is pressed.
    bar.Paint(split, size, true, true);
    ASSERT_EQ(Theme->Names(), (std::vector<std::string>{"Button", "Button", "Caption", "Image"}));
    const Call& first = Theme->Calls[0];
    const Call& second = Theme->Calls[1];
    EXPECT_TRUE(SameRect(first.Rect, button)) << Show(first.Rect);
    EXPECT_EQ(first.Info.SplitPart, spSplitButton);
    EXPECT_FALSE(first.Info.Pushed);
    EXPECT_TRUE(first.Info.Checked);
    EXPECT_TRUE(SameRect(second.Rect, arrow)) << Show(second.Rect);
    EXPECT_EQ(second.Info.SplitPart, spSplitArrow);
    EXPECT_TRUE(second.Info.Pushed);
    EXPECT_FALSE(second.Info.Checked);
    // The caption and image see the button part's values again.
    const Call& caption = Theme->Find("Caption");
    EXPECT_EQ(caption.Info.SplitPart, spSplitButton);
    EXPECT_TRUE(caption.Info.Checked);
    EXPECT_FALSE(caption.Info.Pushed);
    EXPECT_TRUE(caption.Info.PopupOpen);
    EXPECT_EQ(caption.Info.HotState, hsSelected);
    EXPECT_EQ(caption.Info.ItemFlags & (ifToolbarStyle | ifSplitItem | ifSubmenu),
              ifToolbarStyle | ifSplitItem | ifSubmenu);
    EXPECT_FALSE(caption.Info.Vertical);
    EXPECT_EQ(caption.Info.ViewKind, vkToolbarBar);

    // Held down on the button part: the button is pressed and the arrow part is not.
    Theme->Calls.clear();
    bar.View->SetCapture();
    bar.Paint(split, size, true, true);
    bar.View->CancelCapture();
    EXPECT_TRUE(Theme->Find("Button", 0).Info.Pushed);
    EXPECT_FALSE(Theme->Find("Button", 1).Info.Pushed);
    EXPECT_FALSE(Theme->Find("Caption").Info.PopupOpen);
}

TEST_F(ThemedItems, SplitButtonWithItsArrowPressedInTheDefaultTheme) {
    SelectTheme(L"Default");
    Level bar(true);
    auto* split = bar.Add(L"", 0);
    split->SetItemStyle(split->ItemStyle() | tbstSubmenu | tbstSplitButton);
    const int buttonWidth = 50 - ActiveToolbarTheme().GetIntMetric(tmSplitArrowWidth);
    // The pixels of the button part and of the arrow part of one painting.
    using Parts = std::pair<std::vector<COLORREF>, std::vector<COLORREF>>;
    auto paint = [&](bool pushed, bool tracking) {
        MemoryDib dib(50, 24, RGB(1, 2, 3));
        TCanvas canvas;
        TCanvasDCScope scope(canvas, dib.DC);
        if (tracking) bar.View->SetCapture();
        bar.ViewerOf(split)->Paint(canvas, {0, 0, 50, 24}, true, pushed, false);
        bar.View->CancelCapture();
        Parts parts;
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 50; ++x) (x < buttonWidth ? parts.first : parts.second).push_back(dib.Pixel(x, y));
        return parts;
    };
    const Parts hot = paint(false, false), arrowOpen = paint(true, false), buttonHeld = paint(true, true);
    // The open popup presses the arrow part only; a held button presses the button part only.
    EXPECT_EQ(arrowOpen.first, hot.first);
    EXPECT_NE(arrowOpen.second, hot.second);
    EXPECT_NE(buttonHeld.first, hot.first);
    EXPECT_EQ(buttonHeld.second, hot.second);
}

TEST_F(ThemedItems, DropDownArrowsAndCaptionPlaces) {
    Level bar(true), column(true, tbvoVertical);
    auto* drop = bar.Add(L"Go");
    drop->SetItemStyle(drop->ItemStyle() | tbstSubmenu);
    drop->SetOptions(tboDropdownArrow);
    bar.Paint(drop, {40, 22}, false, false);
    ASSERT_EQ(Theme->Names(), (std::vector<std::string>{"Button", "Arrow", "Caption"}));
    EXPECT_TRUE(SameRect(Theme->Calls[0].Rect, {0, 0, 40, 22})) << Show(Theme->Calls[0].Rect);
    EXPECT_EQ(Theme->Calls[0].Info.SplitPart, spWithArrow);
    EXPECT_TRUE(SameRect(Theme->Calls[1].Rect, {40 - 4 - 9, 0, 40 - 4, 22})) << Show(Theme->Calls[1].Rect);
    // The caption is centred in what is left after the arrow strip and a 2-pixel border.
    const SIZE go = bar.Text(L"Go");
    const RECT& caption = Theme->Calls[2].Rect;
    EXPECT_EQ(caption.right - caption.left, go.cx);
    EXPECT_EQ(caption.left, 2 + (40 - 9 - 4 - go.cx) / 2);
    EXPECT_FALSE(Theme->Calls[2].Flag1);

    // In a vertical view the strip lies at the bottom and the caption is turned.
    Theme->Calls.clear();
    auto* down = column.Add(L"Go");
    down->SetItemStyle(down->ItemStyle() | tbstSubmenu);
    down->SetOptions(tboDropdownArrow);
    column.Paint(down, {22, 40}, false, false);
    EXPECT_TRUE(SameRect(Theme->Find("Arrow").Rect, {0, 40 - 4 - 9, 22, 40 - 4})) << Show(Theme->Find("Arrow").Rect);
    EXPECT_TRUE(Theme->Find("Arrow").Info.Vertical);
    EXPECT_TRUE(Theme->Find("Caption").Flag1);

    // Image above the caption: the arrow sits beside the image, 2 pixels after it, the pair
    // centred across the button.
    Theme->Calls.clear();
    auto* beside = bar.Add(L"Go", 0);
    beside->SetItemStyle(beside->ItemStyle() | tbstSubmenu);
    beside->SetOptions(tboDropdownArrow);
    beside->SetLayout(thmlGlyphTop);
    beside->SetDisplayMode(nbdmImageAndText);
    bar.Paint(beside, {40, 40}, false, false);
    const RECT image = Theme->Find("Image").Rect, arrow = Theme->Find("Arrow").Rect;
    EXPECT_EQ(arrow.left, image.right + 2) << Show(image) << Show(arrow);
    EXPECT_EQ(arrow.right - arrow.left, 9);
    EXPECT_EQ(arrow.top, image.top);
    EXPECT_EQ(arrow.bottom, image.bottom);
    EXPECT_LE(std::abs((image.left + arrow.right) - 40), 1);
    EXPECT_GE(Theme->Find("Caption").Rect.top, image.bottom + 1);
}

TEST_F(ThemedItems, PopupRowsCheckGlyphsAndShortcuts) {
    Level menu(false);
    auto* check = menu.Add(L"Check\tF5");
    check->SetChecked(true);
    auto* radio = menu.Add(L"Radio");
    radio->SetChecked(true);
    radio->SetRadioItem(true);
    auto* pictured = menu.Add(L"Picture", 0);
    pictured->SetChecked(true);
    const SIZE row{200, 24};
    const int column = GetPopupImageColumnWidth(menu.ViewerOf(check));

    const struct {
        const char* Name;
        TBarCustomItem* Item;
        std::vector<std::string> Calls;
        bool Radio;
    } cases[] = {
        {"check", check, {"PopupItem", "Caption", "Caption", "Check"}, false},
        {"radio", radio, {"PopupItem", "Caption", "Check"}, true},
        {"image", pictured, {"PopupItem", "Caption", "Image"}, false},
    };
    for (const auto& c : cases) {
        Theme->Calls.clear();
        menu.Paint(c.Item, row, false, false);
        ASSERT_EQ(Theme->Names(), c.Calls) << c.Name;
        EXPECT_TRUE(SameRect(Theme->Calls[0].Rect, {0, 0, 200, 24})) << c.Name;
        EXPECT_EQ(Theme->Calls[0].Info.ImageColumnWidth, column) << c.Name;
        EXPECT_FALSE(Theme->Calls[0].Info.ItemFlags & ifToolbarStyle) << c.Name;
        // The caption starts after the left margin, the gap, the image column and the next gap.
        const Call& caption = Theme->Find("Caption");
        EXPECT_EQ(caption.Rect.left, 1 + 3 + column + 5) << c.Name;
        EXPECT_TRUE(caption.Format & DT_SINGLELINE) << c.Name;
        EXPECT_TRUE(caption.Format & DT_VCENTER) << c.Name;
        const Call& last = Theme->Calls.back();
        if (last.Name == "Check") {
            EXPECT_TRUE(SameRect(last.Rect, {1, 0, 1 + column, 24})) << c.Name << Show(last.Rect);
            EXPECT_EQ((last.Info.ItemFlags & ifRadioItem) != 0, c.Radio) << c.Name;
        } else {
            EXPECT_EQ(last.Rect.right - last.Rect.left, 16) << c.Name;  // centred in the column
            EXPECT_EQ(last.Rect.left, 1 + (column - 16) / 2) << c.Name;
        }
    }
    // The shortcut text stands right-aligned, a row-high square before the right margin.
    Theme->Calls.clear();
    menu.Paint(check, row, false, false);
    const Call& shortcut = Theme->Find("Caption", 1);
    EXPECT_EQ(shortcut.Text, L"F5");
    EXPECT_EQ(shortcut.Rect.right, 200 - 2 - 24);
    EXPECT_TRUE(shortcut.Format & DT_RIGHT);
    EXPECT_EQ(Theme->Find("Caption", 0).Text, L"Check");
}

TEST_F(ThemedItems, ItemInfoFollowsSelectionAndView) {
    Level bar(true);
    auto* off = bar.Add(L"Off");
    off->SetEnabled(false);
    auto* on = bar.Add(L"On");
    const struct {
        TBarCustomItem* Item;
        bool Selected;
        BYTE Hot;
        bool Enabled;
    } cases[] = {
        {on, false, hsNone, true},
        {on, true, hsSelected, true},
        {off, true, hsKeyboardSelected, false},  // selected without the mouse over it
        {off, false, hsNone, false},
    };
    for (const auto& c : cases) {
        Theme->Calls.clear();
        bar.Paint(c.Item, {30, 22}, c.Selected, false);
        const TThmItemInfo& info = Theme->Find("Button").Info;
        EXPECT_EQ(info.HotState, c.Hot);
        EXPECT_EQ(info.Enabled, c.Enabled);
    }
    // A tool-box popup paints its items as toolbar buttons.
    Level box(false);
    box.Window.Kind = vkToolBoxPopup;
    auto* tool = box.Add(L"Tool");
    tool->SetToolBoxPopup(true);
    tool->SetItemStyle(tool->ItemStyle() | tbstSubmenu);
    TBarItemViewer* viewer = box.ViewerOf(tool);
    EXPECT_TRUE(viewer->UsesToolbarStyle());
    EXPECT_TRUE(viewer->UsesToolbarSize());
    EXPECT_EQ(viewer->GetAccessibleRole(), RoleDropDownGridButton);
    Theme->Calls.clear();
    box.Paint(tool, {40, 22}, false, false);
    EXPECT_EQ(Theme->Find("Button").Info.ViewKind, vkToolBoxPopup);

    // The split arrow part is the theme's width on toolbars.
    auto* split = bar.Add(L"S");
    split->SetItemStyle(split->ItemStyle() | tbstSubmenu | tbstSplitButton);
    TBarItemViewer* v = bar.ViewerOf(split);
    v->BoundsRect = {100, 0, 140, 22};
    EXPECT_TRUE(v->PointInButtonPart(40 - 13 - 1, 5));
    EXPECT_FALSE(v->PointInButtonPart(40 - 13, 5));
}

TEST_F(ThemedItems, FontHooksAndImageEvent) {
    Level bar(true);
    auto* item = bar.Add(L"Item", 0);
    item->SetDisplayMode(nbdmImageAndText);
    item->FontSettings().SetColor(clRed);
    item->SetOptions(tboDefault);
    std::vector<int> fontStates;
    bool boldSeen = false;
    item->OnAdjustFont = [&](TThmCustomItem* sender, TThmItemViewer*, TFont& font, int state) {
        EXPECT_EQ(sender, item);
        EXPECT_EQ(font.Color(), clRed);  // the settings come first
        boldSeen = (font.Style() & fsBold) != 0;
        fontStates.push_back(state);
    };
    int drawn = 0;
    POINT offset{};
    RECT drawnRect{};
    item->OnImageDrawn = [&](TThmCustomItem*, TThmItemViewer*, TCanvas&, const RECT& rect, POINT shift, int) {
        ++drawn;
        drawnRect = rect;
        offset = shift;
    };
    bar.Paint(item, {60, 24}, true, false);
    EXPECT_TRUE(boldSeen);
    ASSERT_FALSE(fontStates.empty());
    EXPECT_EQ(fontStates.front(), dstHot);
    EXPECT_EQ(drawn, 1);
    EXPECT_TRUE(SameRect(drawnRect, Theme->Find("Image").Rect));
    EXPECT_EQ(offset.x, 0);  // the default painting shifts only pushed or checked images

    // An image index past the list draws nothing and tells nobody.
    Theme->Calls.clear();
    item->SetImageIndex(5);
    bar.Paint(item, {60, 24}, true, false);
    EXPECT_EQ(drawn, 1);
    for (const Call& c : Theme->Calls) EXPECT_NE(c.Name, "Image");
}

TEST_F(ThemedItems, SeparatorsPaintThroughTheTheme) {
    Level bar(true), column(true, tbvoVertical), menu(false);
    const struct {
        const char* Name;
        Level* Where;
        bool LineSeparator;
        bool Horizontal;
    } cases[] = {
        {"between buttons", &bar, false, false},
        {"at a row break", &bar, true, true},
        {"vertical toolbar", &column, false, true},
        {"vertical row break", &column, true, false},
        {"popup", &menu, false, true},
    };
    for (const auto& c : cases) {
        Theme->Calls.clear();
        auto* separator = c.Where->Add<TThmSeparatorItem>();
        TBarItemViewer* v = c.Where->ViewerOf(separator);
        if (c.LineSeparator) v->State |= tbvsLineSeparator;
        c.Where->Paint(separator, {20, 20}, false, false);
        ASSERT_EQ(Theme->Names(), std::vector<std::string>{"Separator"}) << c.Name;
        EXPECT_EQ(Theme->Calls[0].Flag1, c.Horizontal) << c.Name;
        EXPECT_EQ(Theme->Calls[0].Flag2, c.LineSeparator) << c.Name;
        EXPECT_TRUE(Theme->Calls[0].Info.Enabled) << c.Name;
    }
    // A blank separator is painted disabled (the theme draws nothing); size 0 is not painted.
    auto* blank = bar.Add<TThmSeparatorItem>();
    blank->SetBlank(true);
    Theme->Calls.clear();
    bar.Paint(blank, {8, 20}, false, false);
    EXPECT_FALSE(Theme->Find("Separator").Info.Enabled);
    blank->SetSize(0);
    Theme->Calls.clear();
    bar.Paint(blank, {8, 20}, false, false);
    EXPECT_TRUE(Theme->Calls.empty());
    EXPECT_EQ(bar.Measure(blank).cx, 0);
}

TEST_F(ThemedItems, ThemedImagesForControls) {
    TImageList images(nullptr, 16, 16);
    TBitmap picture(16, 16);
    images.Add(picture);
    MemoryDib dib(20, 20, RGB(255, 255, 255));
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dib.DC);
    const struct {
        int Flags;
        int Kind, ItemFlags;
        bool Enabled, Pushed, Checked;
        BYTE Hot;
    } cases[] = {
        {tifViewToolbar | dstDisabled, vkToolbar, ifToolbarStyle, false, false, false, hsNone},
        {tifViewDockPanel | dstHot, vkDockPanel, 0, true, false, false, hsSelected},
        {tifViewStatusBar | dstPushed | dstChecked, vkStatusBar, 0, true, true, true, hsNone},
    };
    for (const auto& c : cases) {
        Theme->Calls.clear();
        PaintThemedImage(canvas, {2, 2, 18, 18}, &images, 0, c.Flags);
        ASSERT_EQ(Theme->Names(), std::vector<std::string>{"Image"}) << c.Flags;
        const TThmItemInfo& info = Theme->Calls[0].Info;
        EXPECT_EQ(info.ViewKind, c.Kind) << c.Flags;
        EXPECT_EQ(info.ItemFlags, c.ItemFlags) << c.Flags;
        EXPECT_EQ(info.Enabled, c.Enabled) << c.Flags;
        EXPECT_EQ(info.Pushed, c.Pushed) << c.Flags;
        EXPECT_EQ(info.Checked, c.Checked) << c.Flags;
        EXPECT_EQ(info.HotState, c.Hot) << c.Flags;
    }
    Theme->Calls.clear();
    PaintThemedImage(canvas, {2, 2, 18, 18}, &images, 1, 0);
    PaintThemedImage(canvas, {2, 2, 18, 18}, nullptr, 0, 0);
    EXPECT_TRUE(Theme->Calls.empty());
}

TEST_F(ThemedItems, ButtonPartOfPlainSplitAndPopupItems) {
    Level bar(true);
    auto* plain = bar.Add(L"Plain");
    auto* menu = bar.Add(L"Menu");
    menu->SetItemStyle(menu->ItemStyle() | tbstSubmenu);
    // Items that are not split: all button without a sub-menu, none with one.
    EXPECT_TRUE(bar.ViewerOf(plain)->PointInButtonPart(1, 1));
    EXPECT_FALSE(bar.ViewerOf(menu)->PointInButtonPart(1, 1));
    // In a popup the arrow part of a split item is as wide as a menu check mark.
    Level popup(false);
    auto* split = popup.Add(L"Split");
    split->SetItemStyle(split->ItemStyle() | tbstSubmenu | tbstSplitButton);
    TBarItemViewer* viewer = popup.ViewerOf(split);
    viewer->BoundsRect = {0, 0, 120, 20};
    const int check = GetSystemMetrics(SM_CXMENUCHECK);
    EXPECT_TRUE(viewer->PointInButtonPart(120 - check - 1, 5));
    EXPECT_FALSE(viewer->PointInButtonPart(120 - check, 5));
}
