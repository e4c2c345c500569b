// Every registered theme, the default one included, against the rules all themes keep: each
// operation over item states, view kinds, rectangles from empty to toolbar-sized and values
// out of range throws nothing, makes or leaks no GDI object, leaves the DC and the canvas as
// it found them and paints nothing outside its rectangle grown by one pixel; unknown metrics
// answer -1 and false; colour answers are colours; and only the rebuild notice changes an
// answer.
#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "classlib/imagelist.h"
#include "controls/toolbar/themed/thmnames.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmthemetable.h"
#include "thmtestkit.h"

namespace {

using namespace themed;
using namespace themetest;
using classlib::TCanvas;
using classlib::TColor;

constexpr COLORREF kGround = RGB(0x13, 0x57, 0x9B);
// Logical (0, 0) lies this far into the sheet, so that painting at negative coordinates shows.
constexpr int kOrigin = 24;

const RECT kRects[] = {{0, 0, 0, 0}, {0, 0, 1, 1}, {0, 0, 1, 20}, {0, 0, 20, 1},
                       {0, 0, 3, 3}, {0, 0, 13, 13}, {0, 0, 100, 24}};

const int kViewKinds[] = {vkToolbarBar,        vkMenuBar,         vkToolWindow,       vkToolbarBar | vkOpaqueItems,
                          vkToolbarBar | vkFloating | vkResizable, vkPopupMenu, vkListPopup, vkToolBoxPopup,
                          vkChevronPopup,      vkDockPanelDocked, vkDockPanelFloating, vkStatusBar, 0, 0x7FFF0000};

// Item states: enabled / pushed / hot / checked / popup open / split part / flags.
std::vector<TThmItemInfo> ItemStates(int viewKind) {
    std::vector<TThmItemInfo> states;
    auto add = [&](bool enabled, bool pushed, BYTE hot, bool checked, bool open, BYTE split, int flags) {
        TThmItemInfo item = Item(viewKind, flags, enabled);
        item.Pushed = pushed;
        item.HotState = hot;
        item.Checked = checked;
        item.PopupOpen = open;
        item.SplitPart = split;
        item.ImageShown = true;
        item.ImageWidth = item.ImageHeight = 16;
        item.ImageColumnWidth = 22;
        states.push_back(item);
    };
    add(true, false, hsNone, false, false, spPlain, ifToolbarStyle);
    add(false, false, hsNone, true, false, spPlain, ifToolbarStyle);
    add(false, false, hsKeyboardSelected, false, false, spPlain, 0);
    add(true, true, hsSelected, false, false, spSplitArrow, ifToolbarStyle | ifSplitItem);
    add(true, false, hsSelected, true, false, spSplitButton, ifSubmenu | ifSplitItem);
    add(true, true, hsSelected, true, true, spWithArrow, ifToolbarStyle | ifDesigning | ifAppActive);
    add(true, false, hsNone, true, false, spPlain, ifRadioItem);
    add(true, false, hsNone, false, false, 7, 0x7FFFFFFF);  // out of range
    TThmItemInfo vertical = states[3];
    vertical.Vertical = vertical.ViewVertical = true;
    states.push_back(vertical);
    // A hot split button of a vertical toolbar: split items never say Vertical, only their view.
    TThmItemInfo splitInColumn = Item(viewKind, ifToolbarStyle | ifSplitItem);
    splitInColumn.HotState = hsSelected;
    splitInColumn.SplitPart = spSplitButton;
    splitInColumn.ViewVertical = true;
    states.push_back(splitInColumn);
    return states;
}

struct DcState {
    HGDIOBJ Pen, Brush, Font, Bitmap;
    COLORREF BkColor, TextColor;
    int BkMode, Rop2, StretchMode, PolyFill;
    UINT TextAlign;
    POINT BrushOrigin, ViewportOrigin;
    RECT ClipBox;
    TColor CanvasPen, CanvasBrush, CanvasFont;
    int CanvasBrushStyle;

    static DcState Of(HDC dc, TCanvas& canvas) {
        DcState s{};
        s.Pen = GetCurrentObject(dc, OBJ_PEN);
        s.Brush = GetCurrentObject(dc, OBJ_BRUSH);
        s.Font = GetCurrentObject(dc, OBJ_FONT);
        s.Bitmap = GetCurrentObject(dc, OBJ_BITMAP);
        s.BkColor = GetBkColor(dc);
        s.TextColor = GetTextColor(dc);
        s.BkMode = GetBkMode(dc);
        s.Rop2 = GetROP2(dc);
        s.StretchMode = GetStretchBltMode(dc);
        s.PolyFill = GetPolyFillMode(dc);
        s.TextAlign = GetTextAlign(dc);
        GetBrushOrgEx(dc, &s.BrushOrigin);
        GetViewportOrgEx(dc, &s.ViewportOrigin);
        GetClipBox(dc, &s.ClipBox);
        s.CanvasPen = canvas.Pen().Color();
        s.CanvasBrush = canvas.Brush().Color();
        s.CanvasFont = canvas.Font().Color();
        s.CanvasBrushStyle = static_cast<int>(canvas.Brush().Style());
        return s;
    }
    std::string Differences(const DcState& o) const {
        std::string d;
        auto check = [&](bool same, const char* what) {
            if (!same) d += std::string(" ") + what;
        };
        check(Pen == o.Pen, "pen");
        check(Brush == o.Brush, "brush");
        check(Font == o.Font, "font");
        check(Bitmap == o.Bitmap, "bitmap");
        check(BkColor == o.BkColor, "bk-colour");
        check(TextColor == o.TextColor, "text-colour");
        check(BkMode == o.BkMode, "bk-mode");
        check(Rop2 == o.Rop2, "rop2");
        check(StretchMode == o.StretchMode, "stretch-mode");
        check(PolyFill == o.PolyFill, "fill-mode");
        check(TextAlign == o.TextAlign, "text-align");
        check(BrushOrigin.x == o.BrushOrigin.x && BrushOrigin.y == o.BrushOrigin.y, "brush-origin");
        check(ViewportOrigin.x == o.ViewportOrigin.x && ViewportOrigin.y == o.ViewportOrigin.y, "viewport");
        check(EqualRect(&ClipBox, &o.ClipBox) != FALSE, "clip");
        check(CanvasPen == o.CanvasPen, "canvas-pen");
        check(CanvasBrush == o.CanvasBrush && CanvasBrushStyle == o.CanvasBrushStyle, "canvas-brush");
        check(CanvasFont == o.CanvasFont, "canvas-font");
        return d;
    }
};

using Operation = std::function<void(TThmTheme&, TCanvas&, const RECT&, const TThmItemInfo&)>;

struct NamedOperation {
    const char* Name;
    Operation Run;
    TColor FontColor = classlib::clWindowText;  // the canvas font colour the caller sets
};

classlib::TImageList& TestImages() {
    static classlib::TImageList* images = [] {
        auto* list = new classlib::TImageList(nullptr, 16, 16);
        classlib::TBitmap image;
        image.SetSize(16, 16);
        image.Canvas().Brush().SetColor(0xFFFFFF);
        image.Canvas().FillRect(RECT{0, 0, 16, 16});
        image.Canvas().Brush().SetColor(0x204080);
        image.Canvas().FillRect(RECT{3, 3, 13, 13});
        list->AddMasked(image, 0xFFFFFF);
        return list;
    }();
    return *images;
}

std::vector<NamedOperation> Operations() {
    std::vector<NamedOperation> ops = {
        {"PaintItemButton", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) { t.PaintItemButton(c, r, i); }},
        {"PaintItemCaption",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             t.PaintItemCaption(c, r, i, L"&File", DT_SINGLELINE | DT_VCENTER, false);
             t.PaintItemCaption(c, r, i, L"", DT_SINGLELINE, i.Vertical);
             t.PaintItemCaption(c, r, i, L"Caption", DT_SINGLELINE, true);
         },
         classlib::clNone},
        {"PaintItemCaption", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             t.PaintItemCaption(c, r, i, L"&Caption", DT_SINGLELINE, i.Vertical);
         }},
        {"PaintCheckGlyph", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) { t.PaintCheckGlyph(c, r, i); }},
        {"PaintChevronButton", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) { t.PaintChevronButton(c, r, i); }},
        {"PaintEditBox",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             TThmEditBoxInfo none{};
             t.PaintEditBox(c, r, i, none);
             TThmEditBoxInfo withButton{};
             withButton.RightButtonWidth = 11;
             withButton.RightButton = {1, 2};
             t.PaintEditBox(c, r, i, withButton);
         }},
        {"PaintEditBoxButton",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             for (int kind : {1, 2, 0, 7})
                 for (int state : {0, 1, 2, 4, 8, 6, 10, 15}) t.PaintEditBoxButton(c, r, i, TThmEditButtonInfo{kind, state});
         }},
        {"PaintDropArrow", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) { t.PaintDropArrow(c, r, i); }},
        {"PaintItemFrame", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) { t.PaintItemFrame(c, r, i); }},
        {"PaintItemImage",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             t.PaintItemImage(c, r, i, &TestImages(), 0);
             t.PaintItemImage(c, r, i, &TestImages(), 5);
             t.PaintItemImage(c, r, i, nullptr, 0);
         }},
        {"PaintMDICaptionButton",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             for (int kind : {0, 1, 2, 3, -1, 4}) t.PaintMDICaptionButton(c, r, i, kind);
         }},
        {"PaintPopupItem", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) { t.PaintPopupItem(c, r, i); }},
        {"PaintPopupItemFrame", [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) { t.PaintPopupItemFrame(c, r, i); }},
        {"PaintItemSeparator",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             t.PaintItemSeparator(c, r, i, true, false);
             t.PaintItemSeparator(c, r, i, false, true);
         }},
        {"PaintViewBackground",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             RECT clip = r;
             if (clip.bottom - clip.top > 4) clip.top += 2;  // a partial repaint
             t.PaintViewBackground(c, r, r, clip, 0x808080, false, i.ViewKind);
             t.PaintViewBackground(c, r, r, r, classlib::clNone, false, i.ViewKind);
             t.PaintViewBackground(c, r, r, r, 0x808080, true, i.ViewKind);
         }},
        {"PaintScrollArrowButton",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             for (int direction : {1, 2, 3, 4, 0, 5, -1}) t.PaintScrollArrowButton(c, r, direction, i.HotState != hsNone);
         }},
        {"PaintPopupFrame",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             TThmPopupFrameInfo frame{};
             frame.ViewKind = i.ViewKind;
             t.GetViewBorderSize(i.ViewKind, frame.BorderSize);
             t.PaintPopupFrame(c, r, frame);
             frame.ParentRect = RECT{r.left + 2, r.top - 20, r.left + 30, r.top + 1};
             t.PaintPopupFrame(c, r, frame);
             frame.ParentRect = RECT{r.left - 20, r.top + 1, r.left + 1, r.top + 10};
             t.PaintPopupFrame(c, r, frame);
         }},
        {"PaintToolbarFrame",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             TThmToolbarFrameInfo frame{};
             frame.ViewKind = i.ViewKind;
             frame.Vertical = i.Vertical;
             frame.AllowDrag = true;
             frame.BorderStyle = 1;
             t.GetViewBorderSize(i.ViewKind, frame.BorderSize);
             frame.ClientWidth = r.right - r.left;
             frame.ClientHeight = r.bottom - r.top;
             frame.EffectiveColor = 0xC0C0C0;
             c.Brush().SetColor(0xC0C0C0);
             for (int style : {dhDouble, dhNone, dhSingle, 9})
                 for (int close : {0, cbsShown, cbsShown | cbsHot, cbsShown | cbsPressed}) {
                     frame.DragHandleStyle = style;
                     frame.CloseButtonState = close;
                     t.PaintToolbarFrame(c, r, frame);
                 }
             frame.BorderStyle = 0;
             frame.AllowDrag = false;
             t.PaintToolbarFrame(c, r, frame);
         }},
        {"PaintDockPanelFrame",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             TThmDockPanelFrameInfo frame{};
             frame.ViewKind = vkDockPanelDocked;
             frame.CaptionHorizontal = !i.Vertical;
             frame.AllowDrag = true;
             frame.BorderSize = POINT{2, 2};
             frame.ClientWidth = r.right - r.left;
             frame.ClientHeight = r.bottom - r.top;
             frame.CaptionShown = true;
             frame.EffectiveColor = 0xC0C0C0;
             c.Brush().SetColor(0xC0C0C0);
             for (int close : {0, cbsShown, cbsShown | cbsHot, cbsShown | cbsPressed}) {
                 frame.CloseButtonState = close;
                 frame.Caption = nullptr;  // the extended panels leave it null
                 t.PaintDockPanelFrame(c, r, frame);
                 frame.Caption = L"パネル";
                 t.PaintDockPanelFrame(c, r, frame);
             }
         }},
        {"PaintFloatingFrame",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo& i) {
             TThmFloatingFrameInfo frame{};
             frame.ViewKind = i.ViewKind | vkFloating;
             t.GetViewBorderSize(frame.ViewKind, frame.BorderSize);
             frame.ClientWidth = std::max<int>(0, r.right - r.left - 2 * frame.BorderSize.x);
             frame.ClientHeight = std::max<int>(0, r.bottom - r.top - 2 * frame.BorderSize.y);
             frame.CaptionShown = frame.ClientHeight >= GetSystemMetrics(SM_CYSMCAPTION);
             frame.RedrawParts = rpBorder | rpCaption | rpCloseButton;
             frame.EffectiveColor = 0xC0C0C0;
             c.Brush().SetColor(0xC0C0C0);
             for (bool active : {true, false})
                 for (int close : {0, cbsShown | cbsHot, cbsShown | cbsPressed}) {
                     frame.Active = active;
                     frame.CloseButtonState = close;
                     frame.Caption = nullptr;
                     t.PaintFloatingFrame(c, r, frame);
                     frame.Caption = L"ツール";
                     t.PaintFloatingFrame(c, r, frame);
                 }
         }},
        {"PaintDockBackground",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo&) {
             for (int position : {1, 2, 3, 4, 0, 9}) t.PaintDockBackground(c, r, r, position);
         }},
        {"PaintCheckControl",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo&) {
             for (int kind : {1, 2, 0, 3})
                 for (int state : {0, 1, 2, 3, 4, 5, 8, 9, 0x10, 0x11, 0x18, 0x19, 0x20, 0x21, 0xA, 0xFF})
                     t.PaintCheckControl(c, r, kind, state, 0);
         }},
        {"PaintStatusBarPart",
         [](TThmTheme& t, TCanvas& c, const RECT& r, const TThmItemInfo&) {
             for (int part : {0, 1, 2, 3, 4, -1}) t.PaintStatusBarPart(c, r, part);
         }},
    };
    return ops;
}

// Painting allowed further out than one pixel, by theme and operation, with the reason.
struct Allowance {
    const wchar_t* Theme;
    const char* Operation;
    int Margin;
    const char* Reason;
};
const Allowance kAllowances[] = {
    // The button part of a split button on a vertical bar shades on through its arrow part (the
    // split-arrow width, 12, beyond the part), which then adds no shade of its own. The sweep
    // hands split records to every painter that draws a button face.
    {L"OfficeC", "PaintItemButton", 12, "split button shade reaches through its arrow part"},
    {L"OfficeC", "PaintChevronButton", 12, "split button shade reaches through its arrow part"},
    {L"OfficeC", "PaintMDICaptionButton", 12, "split button shade reaches through its arrow part"},
    // A hot image's second shadow lies two pixels down and right; the bars hand these themes
    // the image rectangle already moved one pixel up and left (GetItemImageShift).
    {kThemeNexos3, "PaintItemImage", 2, "hot image shadow at (2, 2)"},
    {kThemeNexosX, "PaintItemImage", 2, "hot image shadow at (2, 2)"},
};

int MarginFor(const std::wstring& theme, const char* op) {
    int margin = 1;
    for (const Allowance& a : kAllowances)
        if (theme == a.Theme && std::string(a.Operation) == op) margin = std::max(margin, a.Margin);
    return margin;
}

// The program's theme table (registered by each case through ThemeHolder).
std::vector<std::wstring> RegisteredThemes() {
    std::vector<std::wstring> names;
    for (const TThmThemeEntry& entry : themes::ToolbarThemeTable()) names.push_back(entry.Name);
    return names;
}

class ThemeConformance : public ::testing::TestWithParam<std::wstring> {};

TEST_P(ThemeConformance, OperationsStayInsideAndLeaveTheCanvasAsFound) {
    ThemeHolder theme(GetParam());
    ASSERT_NE(theme.Get(), nullptr);
    Sheet sheet(220, 90, kGround);
    HDC dc = sheet.Dib.DC;
    SetViewportOrgEx(dc, kOrigin, kOrigin, nullptr);
    sheet.Canvas.Brush().SetColor(0xC0C0C0);
    sheet.Canvas.Pen().SetColor(0x000000);
    sheet.Canvas.Font().SetColor(classlib::clWindowText);
    const std::string themeName = testing::PrintToString(GetParam());
    sheet.Dib.Fill(kGround);
    const uint32_t ground = sheet.Dib.At(0, 0);  // the ground as the DIB stores it
    for (const NamedOperation& op : Operations()) {
        const int margin = MarginFor(GetParam(), op.Name);
        bool reported = false;  // one pixel fault per operation is enough to read
        auto sweep = [&](bool checkPixels) {
            for (const RECT& rect : kRects)
                for (int viewKind : kViewKinds)
                    for (const TThmItemInfo& item : ItemStates(viewKind)) {
                        sheet.Dib.Fill(kGround);
                        sheet.Canvas.Brush().SetColor(0xC0C0C0);
                        sheet.Canvas.Brush().SetStyle(classlib::bsSolid);
                        sheet.Canvas.Font().SetColor(op.FontColor);
                        // The canvas selects its own objects on first use; that is not the theme's doing.
                        sheet.Canvas.PrepareText();
                        const DcState before = DcState::Of(dc, sheet.Canvas);
                        EXPECT_NO_THROW(op.Run(*theme, sheet.Canvas, rect, item)) << themeName << " " << op.Name;
                        const DcState after = DcState::Of(dc, sheet.Canvas);
                        const std::string changed = before.Differences(after);
                        if (!changed.empty()) {
                            ADD_FAILURE() << themeName << " " << op.Name << " changed:" << changed << " rect "
                                          << rect.right << "x" << rect.bottom << " view 0x" << std::hex << viewKind;
                            return;
                        }
                        if (!checkPixels || reported) continue;
                        const RECT allowed{kOrigin + rect.left - margin, kOrigin + rect.top - margin,
                                           kOrigin + rect.right + margin, kOrigin + rect.bottom + margin};
                        for (int y = 0; y < sheet.Dib.Height; ++y) {
                            const uint32_t* row = sheet.Dib.Bits + static_cast<size_t>(y) * sheet.Dib.Width;
                            const bool rowInside = y >= allowed.top && y < allowed.bottom;
                            for (int x = 0; x < sheet.Dib.Width; ++x) {
                                if ((row[x] & 0xFFFFFF) == (ground & 0xFFFFFF) ||
                                    (rowInside && x >= allowed.left && x < allowed.right))
                                    continue;
                                ADD_FAILURE() << themeName << " " << op.Name << " painted (" << x - kOrigin << ","
                                              << y - kOrigin << ") outside " << rect.right << "x" << rect.bottom
                                              << " view 0x" << std::hex << viewKind << " flags 0x" << item.ItemFlags
                                              << std::dec << " enabled " << item.Enabled << " pushed " << item.Pushed
                                              << " hot " << int(item.HotState) << " checked " << item.Checked
                                              << " split " << int(item.SplitPart);
                                reported = true;
                                y = sheet.Dib.Height;
                                break;
                            }
                        }
                    }
        };
        sweep(true);  // the first round also fills the caches the theme keeps
        const DWORD objects = testsupport::GdiObjectCount();
        sweep(false);
        EXPECT_EQ(testsupport::GdiObjectCount(), objects) << themeName << " " << op.Name << " leaves GDI objects";
    }
}

TEST_P(ThemeConformance, UnknownMetricsAndColourAnswers) {
    ThemeHolder theme(GetParam());
    ASSERT_NE(theme.Get(), nullptr);
    const std::set<int> known = {10, 20, 21, 32, 33, 34, 35, 36, 37, 50, 60, 61, 62, 65, 66};
    for (int index = -2; index <= 120; ++index) {
        if (!known.count(index)) EXPECT_EQ(theme->GetIntMetric(index), -1) << "index " << index;
        if (index < 1 || index > 7) EXPECT_FALSE(theme->GetBoolMetric(index)) << "index " << index;
    }
    auto valid = [](TColor c) {
        const DWORD v = static_cast<DWORD>(c);
        return c == classlib::clNone || (v & 0xFF000000u) == 0 || ((v & 0xFF000000u) == 0xFF000000u && (v & 0xFFFFFF) < 31);
    };
    for (int viewKind : kViewKinds) {
        EXPECT_TRUE(valid(theme->GetViewFillColor(viewKind))) << std::hex << viewKind;
        for (const TThmItemInfo& item : ItemStates(viewKind)) {
            EXPECT_TRUE(valid(theme->GetItemFillColor(item))) << std::hex << viewKind;
            EXPECT_TRUE(valid(theme->GetItemTextColor(item))) << std::hex << viewKind;
            EXPECT_TRUE(valid(theme->GetItemImageBackColor(item))) << std::hex << viewKind;
        }
    }
}

// The answers a theme gives, for comparing before and after a notice.
std::vector<long long> Answers(TThmTheme& theme) {
    std::vector<long long> a;
    for (int viewKind : kViewKinds) {
        a.push_back(theme.GetViewFillColor(viewKind));
        POINT border{};
        theme.GetViewBorderSize(viewKind, border);
        a.push_back(border.x * 1000 + border.y);
        for (const TThmItemInfo& item : ItemStates(viewKind)) {
            a.push_back(theme.GetItemFillColor(item));
            a.push_back(theme.GetItemTextColor(item));
            a.push_back(theme.GetItemImageBackColor(item));
        }
    }
    for (int index = 0; index < 70; ++index) {
        a.push_back(theme.GetIntMetric(index));
        a.push_back(theme.GetBoolMetric(index));
    }
    a.push_back(theme.GetShadowKind());
    return a;
}

TEST_P(ThemeConformance, OnlyTheRebuildNoticeRebuilds) {
    ThemeHolder theme(GetParam());
    ASSERT_NE(theme.Get(), nullptr);
    const std::vector<long long> before = Answers(*theme);
    for (int notice : {tnBeginChange, tnEndChange, tnAppActivated, tnAppDeactivated, 0, 99}) {
        theme->HandleThemeNotice(notice);
        EXPECT_EQ(Answers(*theme), before) << "notice " << notice;
    }
    theme->HandleThemeNotice(tnRebuildColors);
    EXPECT_EQ(Answers(*theme), before) << "a rebuild with nothing changed";
}

INSTANTIATE_TEST_SUITE_P(Registered, ThemeConformance, ::testing::ValuesIn(RegisteredThemes()),
                         [](const testing::TestParamInfo<std::wstring>& info) {
                             return testsupport::Narrow(info.param);
                         });

}  // namespace
