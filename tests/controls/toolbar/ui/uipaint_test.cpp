#include "controls/toolbar/ui/uipaint.h"

#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/graphics.h"
#include "common/test_support.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uitheme.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ui;
using namespace classlib;
using namespace themed;
using testsupport::MemoryDib;

namespace {

constexpr COLORREF kWhite = RGB(255, 255, 255);

// One call of the theme as a painter made it.
struct Call {
    std::string Name;
    RECT Rect{};
    TThmItemInfo Item{};
    int A = 0, B = 0;  // the call's small numbers (position, kind, state, part, parts)
    int ClientWidth = 0, ClientHeight = 0;
    int ViewKind = 0;
};

// The default look, with every call the painters make recorded.
class RecordingTheme : public TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    std::vector<Call> Calls;

    void PaintItemButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override {
        Calls.push_back({"ItemButton", rect, item});
        TThmDefaultTheme::PaintItemButton(canvas, rect, item);
    }
    void PaintItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override {
        Calls.push_back({"ItemFrame", rect, item});
        TThmDefaultTheme::PaintItemFrame(canvas, rect, item);
    }
    void PaintPopupItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override {
        Calls.push_back({"PopupItem", rect, item});
        TThmDefaultTheme::PaintPopupItem(canvas, rect, item);
    }
    void PaintDockBackground(TCanvas& canvas, const RECT& clientRect, const RECT& paintRect, int position) override {
        Calls.push_back({"DockBackground", paintRect, {}, position});
        TThmDefaultTheme::PaintDockBackground(canvas, clientRect, paintRect, position);
    }
    void PaintCheckControl(TCanvas& canvas, const RECT& rect, int kind, int state, int reserved) override {
        Calls.push_back({"CheckControl", rect, {}, kind, state});
        TThmDefaultTheme::PaintCheckControl(canvas, rect, kind, state, reserved);
    }
    void PaintEditBox(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item,
                      const TThmEditBoxInfo& box) override {
        Calls.push_back({"EditBox", rect, item});
        TThmDefaultTheme::PaintEditBox(canvas, rect, item, box);
    }
    void PaintStatusBarPart(TCanvas& canvas, const RECT& rect, int part) override {
        Calls.push_back({"StatusBarPart", rect, {}, part});
        TThmDefaultTheme::PaintStatusBarPart(canvas, rect, part);
    }
    void PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) override {
        Call call{"FloatingFrame", rect, {}, frame.RedrawParts};
        call.ClientWidth = frame.ClientWidth;
        call.ClientHeight = frame.ClientHeight;
        call.ViewKind = frame.ViewKind;
        Calls.push_back(call);
        TThmDefaultTheme::PaintFloatingFrame(canvas, rect, frame);
    }
    void PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) override {
        Call call{"DockPanelFrame", rect, {}, frame.CaptionHorizontal, frame.BorderStyle};
        call.ClientWidth = frame.ClientWidth;
        call.ClientHeight = frame.ClientHeight;
        call.ViewKind = frame.ViewKind;
        Calls.push_back(call);
        TThmDefaultTheme::PaintDockPanelFrame(canvas, rect, frame);
    }
};

std::vector<std::string> Names(const std::vector<Call>& calls) {
    std::vector<std::string> names;
    for (const Call& c : calls) names.push_back(c.Name);
    return names;
}

// The classic look (visual styles off) with the named theme current; "Plain" stands for any
// theme without looks of its own.
class UiPainters : public ::testing::Test {
protected:
    void SetUp() override {
        ThemeNexus();
        for (const wchar_t* name : {L"Plain", L"Aluminum", L"OfficeXP", L"Athen", L"Dream", L"SentimoX", L"Stripes"})
            if (!IsToolbarThemeRegistered(name))
                RegisterToolbarTheme(name, [](const std::wstring& n) { return std::make_unique<RecordingTheme>(n); });
        FStyles = ThemeManager().VisualStylesEnabled();
        ThemeManager().SetVisualStylesEnabled(false);
    }
    void TearDown() override {
        SelectTheme(L"Default");
        ThemeManager().SetVisualStylesEnabled(FStyles);
    }
    RecordingTheme& Use(const wchar_t* name) {
        EXPECT_TRUE(SelectTheme(name));
        auto* theme = dynamic_cast<RecordingTheme*>(&ActiveToolbarTheme());
        EXPECT_NE(theme, nullptr);
        return *theme;
    }
    bool FStyles = true;
};

// A canvas on a memory DIB filled with `fill`.
struct Surface {
    Surface(int width, int height, COLORREF fill = kWhite) : Dib(width, height, fill), Scope(Canvas, Dib.DC) {}
    MemoryDib Dib;
    TCanvas Canvas;
    TCanvasDCScope Scope;
};

COLORREF Sys(int index) { return GetSysColor(index); }

// --- buttons ----------------------------------------------------------------------------------

TEST_F(UiPainters, ToolbarThemeButtonFaces) {
    struct Row {
        const char* Name;
        const wchar_t* Theme;
        int Kind;
        bool Pushed, Hot, Checked;
        const char* Call;
        int ViewKind;
        bool ItemPushed;
        BYTE HotState;
        bool ItemChecked;
    };
    const Row rows[] = {
        // A toolbar-theme push button always shows the hot frame; pushed or checked it is both.
        {"idle", L"Plain", 0, false, false, false, "ItemButton", 0x1001, false, hsSelected, false},
        {"pushed", L"Plain", 0, true, false, false, "ItemButton", 0x1001, true, hsSelected, true},
        {"checked", L"Plain", 0, false, false, true, "ItemButton", 0x1001, true, hsSelected, true},
        {"kind 1 opaque", L"Plain", 1, true, true, false, "ItemButton", 0x1200, true, hsSelected, false},
        {"kind 2 pushed not hot", L"Plain", 2, true, false, true, "ItemButton", 0x1001, false, hsNone, true},
        {"office idle is opaque", L"OfficeXP", 0, false, false, false, "ItemButton", 0x1201, false, hsNone, false},
        {"office pushed", L"OfficeXP", 0, true, false, false, "ItemButton", 0x1001, true, hsSelected, true},
        {"athen idle is a frame", L"Athen", 0, false, false, false, "ItemFrame", 0x2000, false, hsSelected, false},
        {"dream checked and hot", L"Dream", 0, false, true, true, "ItemButton", 0x1001, false, hsSelected, true},
        {"dream checked", L"Dream", 0, false, false, true, "ItemButton", 0x1001, false, hsNone, true},
        {"dream pushed", L"Dream", 0, true, false, false, "ItemButton", 0x1001, true, hsSelected, true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.Name);
        RecordingTheme& theme = Use(row.Theme);
        theme.Calls.clear();
        Surface s(40, 24);
        const RECT r{2, 2, 38, 22};
        PaintThemedButton(s.Canvas, r, true, row.Pushed, row.Hot, row.Checked, false, false, thtThm, row.Kind);
        ASSERT_EQ(theme.Calls.size(), 1u);
        const Call& c = theme.Calls[0];
        EXPECT_EQ(c.Name, row.Call);
        EXPECT_TRUE(EqualRect(&c.Rect, &r));
        EXPECT_EQ(c.Item.ViewKind, row.ViewKind);
        EXPECT_EQ(c.Item.ItemFlags, ifToolbarStyle | ifAppActive);
        EXPECT_TRUE(c.Item.Enabled);
        EXPECT_EQ(c.Item.Pushed, row.ItemPushed);
        EXPECT_EQ(c.Item.HotState, row.HotState);
        EXPECT_EQ(c.Item.Checked, row.ItemChecked);
    }
    // Kind 3 is the theme's dock background.
    RecordingTheme& theme = Use(L"Plain");
    theme.Calls.clear();
    Surface s(40, 24);
    PaintThemedButton(s.Canvas, RECT{0, 0, 40, 24}, true, false, false, false, false, false, thtNone, 3);
    ASSERT_EQ(Names(theme.Calls), std::vector<std::string>{"DockBackground"});
    EXPECT_EQ(theme.Calls[0].A, 1);
}

TEST_F(UiPainters, HotToolbarThemeButtonIsItsFaceLightened) {
    for (const wchar_t* name : {L"Aluminum", L"Plain"}) {
        SCOPED_TRACE(testing::Message() << testsupport::Narrow(name));
        RecordingTheme& theme = Use(name);
        const RECT r{3, 2, 43, 26};
        // The face the hot button is made from: hot, not pushed, on the same ground.
        Surface face(48, 28, RGB(40, 90, 160));
        PaintThmButtonFace(face.Canvas, r, FillButtonItemInfo(true, false, true, false), true, false);
        theme.Calls.clear();
        Surface hot(48, 28, RGB(40, 90, 160));
        PaintThemedButton(hot.Canvas, r, true, false, true, false, false, false, thtThm, 0);
        if (std::wstring(name) == L"Aluminum") {
            EXPECT_TRUE(theme.Calls.empty());  // its own face, not the theme's button
        } else {
            ASSERT_EQ(theme.Calls.size(), 1u);
            EXPECT_EQ(theme.Calls[0].Rect.left, 0);  // painted on a bitmap of its own
        }
        int wrong = 0;
        for (int y = 0; y < 28; ++y) {
            for (int x = 0; x < 48; ++x) {
                const bool inside = x >= r.left && x < r.right && y >= r.top && y < r.bottom;
                const uint32_t p = face.Dib.At(x, y);
                uint32_t expected = p;
                if (inside) {
                    expected = 0;
                    for (int shift = 0; shift <= 16; shift += 8)
                        expected |= ((255 * 75 + ((p >> shift) & 0xFF) * 180) / 256) << shift;
                }
                if ((hot.Dib.At(x, y) & 0xFFFFFF) != (expected & 0xFFFFFF)) ++wrong;
            }
        }
        EXPECT_EQ(wrong, 0);
    }
}

TEST_F(UiPainters, AluminumFaceRunsLightToDarkAndTheOtherWayWhenPushed) {
    Use(L"Aluminum");
    for (bool pushed : {false, true}) {
        Surface s(40, 40);
        PaintAluminumButton(s.Canvas, RECT{0, 0, 40, 40}, pushed, 0xDFDFDF);
        const int top = GetRValue(s.Dib.Pixel(20, 5)), bottom = GetRValue(s.Dib.Pixel(20, 34));
        if (pushed)
            EXPECT_LT(top, bottom);
        else
            EXPECT_GT(top, bottom);
        EXPECT_EQ(s.Dib.Pixel(0, 20), kWhite);  // two pixels of the ground stay
        EXPECT_EQ(s.Dib.Pixel(1, 20), kWhite);
        EXPECT_EQ(s.Dib.Pixel(2, 20), RGB(0x9F, 0x9F, 0x9F));  // the outline, 64 darker
    }
}

TEST_F(UiPainters, ClassicButton) {
    const COLORREF face = Sys(COLOR_BTNFACE), frame = Sys(COLOR_WINDOWFRAME), shadow = Sys(COLOR_BTNSHADOW);
    // Under "Default" a toolbar-theme button without visual styles is the classic one.
    for (TUiThemeType type : {thtNone, thtThm}) {
        SCOPED_TRACE(testing::Message() << "type " << int(type));
        ASSERT_TRUE(SelectTheme(L"Default"));
        Surface pushed(30, 20);
        PaintThemedButton(pushed.Canvas, RECT{0, 0, 30, 20}, true, true, false, false, false, true, type, 0);
        // Default: a window-frame ring; pushed: a shadow ring inside it; the rest the face.
        for (int x = 0; x < 30; ++x) {
            EXPECT_EQ(pushed.Dib.Pixel(x, 0), frame);
            EXPECT_EQ(pushed.Dib.Pixel(x, 19), frame);
        }
        for (int x = 1; x < 29; ++x) {
            EXPECT_EQ(pushed.Dib.Pixel(x, 1), shadow);
            EXPECT_EQ(pushed.Dib.Pixel(x, 18), shadow);
        }
        EXPECT_EQ(pushed.Dib.Pixel(15, 10), face);

        Surface raised(30, 20), reference(30, 20);
        PaintThemedButton(raised.Canvas, RECT{0, 0, 30, 20}, true, false, false, false, false, false, type, 0);
        RECT r{0, 0, 30, 20};
        PaintRectFill(reference.Dib.DC, r, clBtnFace);
        DrawFrameControl(reference.Dib.DC, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
        EXPECT_EQ(raised.Dib.Pixels(), reference.Dib.Pixels());
    }
}

TEST_F(UiPainters, FocusedButtonGetsAFocusRectangleThreePixelsIn) {
    Surface focused(30, 20), plain(30, 20);
    PaintThemedButton(focused.Canvas, RECT{0, 0, 30, 20}, true, false, false, false, true, false, thtNone, 0);
    PaintThemedButton(plain.Canvas, RECT{0, 0, 30, 20}, true, false, false, false, false, true, thtNone, 0);
    // Focused draws the default ring too; only the dotted rectangle at inset 3 differs.
    int differing = 0;
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 30; ++x)
            if (focused.Dib.Pixel(x, y) != plain.Dib.Pixel(x, y)) {
                ++differing;
                EXPECT_TRUE(x == 3 || x == 26 || y == 3 || y == 16) << x << "," << y;
            }
    EXPECT_GT(differing, 10);
    // An empty rectangle gets no focus rectangle.
    Surface empty(10, 10);
    PaintFocusRect(empty.Canvas, RECT{5, 5, 5, 9});
    EXPECT_EQ(empty.Dib.Count(kWhite), 100);
}

TEST_F(UiPainters, EditButtonFaceIsFramedWithSoftenedCorners) {
    Surface s(20, 16);
    PaintEditButtonFace(s.Canvas, RECT{0, 0, 20, 16}, true, false, false, false, false, false, thtNone, 0, clRed);
    for (int x = 0; x < 20; ++x) EXPECT_EQ(s.Dib.Pixel(x, 0), RGB(255, 0, 0));
    for (int y = 0; y < 16; ++y) EXPECT_EQ(s.Dib.Pixel(19, y), RGB(255, 0, 0));
    EXPECT_EQ(s.Dib.Pixel(1, 1), s.Dib.Pixel(2, 1));
    EXPECT_EQ(s.Dib.Pixel(18, 1), s.Dib.Pixel(17, 1));
    EXPECT_EQ(s.Dib.Pixel(1, 14), s.Dib.Pixel(2, 14));
    EXPECT_EQ(s.Dib.Pixel(18, 14), s.Dib.Pixel(17, 14));
    // Without a frame colour the frame takes the colour painted at (left + 4, top).
    Surface t(20, 16);
    PaintEditButtonFace(t.Canvas, RECT{0, 0, 20, 16}, true, false, false, false, false, false, thtNone, 0, clNone);
    Surface face(20, 16);
    PaintThemedButton(face.Canvas, RECT{0, 0, 20, 16}, true, false, false, false, false, false, thtNone, 0);
    for (int y = 0; y < 16; ++y) EXPECT_EQ(t.Dib.Pixel(0, y), face.Dib.Pixel(4, 0));
}

// --- check boxes and radio buttons ------------------------------------------------------------

TEST_F(UiPainters, ToolbarThemeCheckControlStates) {
    struct Row {
        bool Radio, Enabled;
        int State;  // check box: 0 unchecked, 1 checked, 2 grey; radio: checked when 1
        bool Hot, Pushed, Focused;
        int Bits;
    };
    const Row rows[] = {
        {false, true, 0, false, false, false, 0},
        {false, true, 1, true, false, false, 1 | 8},
        {false, true, 2, false, true, true, 2 | 0x10 | 0x20},
        // Disabled: no hot, pushed or focus bits, but the check state stays visible.
        {false, false, 1, true, true, true, 1 | 4},
        {false, false, 2, false, false, false, 2 | 4},
        {true, true, 1, true, true, true, 1 | 8 | 0x10 | 0x20},
        {true, true, 0, false, false, false, 0},
        {true, false, 1, true, false, false, 1 | 4},
    };
    RecordingTheme& theme = Use(L"Plain");
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << (row.Radio ? "radio" : "check") << " enabled " << row.Enabled << " state "
                                        << row.State);
        theme.Calls.clear();
        Surface s(16, 16);
        const RECT r{1, 1, 14, 14};
        if (row.Radio)
            PaintThemedRadioButton(s.Canvas, r, row.Enabled, row.State == 1, row.Hot, row.Pushed, row.Focused, thtThm);
        else
            PaintThemedCheckBox(s.Canvas, r, row.Enabled, wide::TCheckBoxState(row.State), row.Hot, row.Pushed,
                                row.Focused, thtThm);
        ASSERT_EQ(Names(theme.Calls), std::vector<std::string>{"CheckControl"});
        EXPECT_EQ(theme.Calls[0].A, row.Radio ? 2 : 1);
        EXPECT_EQ(theme.Calls[0].B, row.Bits);
        EXPECT_TRUE(EqualRect(&theme.Calls[0].Rect, &r));
    }
}

TEST_F(UiPainters, ClassicCheckControlFlags) {
    struct Row {
        bool Radio, Enabled;
        int State;
        bool Pushed;
        UINT Flags;
    };
    const Row rows[] = {
        {false, true, 2, false, DFCS_BUTTONCHECK | DFCS_BUTTON3STATE | DFCS_CHECKED},
        {false, false, 1, true, DFCS_BUTTONCHECK | DFCS_CHECKED | DFCS_INACTIVE | DFCS_PUSHED},
        {true, true, 1, false, DFCS_BUTTONRADIO | DFCS_CHECKED},
        {true, false, 0, true, DFCS_BUTTONRADIO | DFCS_INACTIVE | DFCS_PUSHED},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << std::hex << row.Flags);
        Surface painted(16, 16), reference(16, 16);
        const RECT r{1, 1, 14, 14};
        if (row.Radio)
            PaintThemedRadioButton(painted.Canvas, r, row.Enabled, row.State == 1, false, row.Pushed, false, thtNone);
        else
            PaintThemedCheckBox(painted.Canvas, r, row.Enabled, wide::TCheckBoxState(row.State), false, row.Pushed,
                                false, thtNone);
        RECT rr = r;
        DrawFrameControl(reference.Dib.DC, &rr, DFC_BUTTON, row.Flags);
        EXPECT_EQ(painted.Dib.Pixels(), reference.Dib.Pixels());
    }
}

// --- frames, list items, status bars ----------------------------------------------------------

TEST_F(UiPainters, EditFrameLeavesTheInsideAndTheCallersClipping) {
    RecordingTheme& theme = Use(L"Plain");
    for (bool hot : {false, true}) {
        SCOPED_TRACE(hot ? "hot" : "not hot");
        theme.Calls.clear();
        Surface s(40, 20, RGB(1, 2, 3));
        // The caller keeps the right part of the DC to itself.
        HRGN clip = CreateRectRgn(0, 0, 30, 20);
        SelectClipRgn(s.Dib.DC, clip);
        DeleteObject(clip);
        // The default theme's edit box fills everything it frames.
        PaintThemedEditFrame(s.Canvas, RECT{0, 0, 40, 20}, true, hot, thtThm, true);
        ASSERT_FALSE(theme.Calls.empty());
        EXPECT_EQ(theme.Calls[0].Name, "EditBox");
        EXPECT_EQ(theme.Calls[0].Item.HotState, hot ? hsSelected : hsNone);
        EXPECT_FALSE(theme.Calls[0].Item.Pushed);
        const int inset = hot ? 1 : 2;
        for (int y = inset; y < 20 - inset; ++y)
            for (int x = inset; x < 30; ++x) EXPECT_EQ(s.Dib.Pixel(x, y), RGB(1, 2, 3)) << x << "," << y;
        for (int y = 0; y < 20; ++y) EXPECT_EQ(s.Dib.Pixel(35, y), RGB(1, 2, 3));
        EXPECT_NE(s.Dib.Pixel(0, 0), RGB(1, 2, 3));
        // Afterwards the caller's clipping holds, and only it.
        PaintRectFill(s.Dib.DC, RECT{0, 0, 40, 20}, clBlack);
        EXPECT_EQ(s.Dib.Pixel(10, 10), RGB(0, 0, 0));
        EXPECT_EQ(s.Dib.Pixel(35, 10), RGB(1, 2, 3));
    }
    // The classic look has no edit frame of its own.
    SelectTheme(L"Default");
    Surface s(40, 20);
    PaintThemedEditFrame(s.Canvas, RECT{0, 0, 40, 20}, true, true, thtThm, false);
    EXPECT_EQ(s.Dib.Count(kWhite), 800);
}

TEST_F(UiPainters, ListItems) {
    // Not the toolbar theme: selection in the highlight colours, a focus rectangle.
    Surface s(40, 16);
    s.Canvas.Brush().SetColor(clWindow);
    PaintThemedListItem(s.Canvas, RECT{0, 0, 40, 16}, true, false, true, thtNone);
    EXPECT_EQ(s.Dib.Pixel(20, 8), Sys(COLOR_HIGHLIGHT));
    EXPECT_EQ(s.Canvas.Font().Color(), clHighlightText);
    int dotted = 0;  // the focus rectangle along the top row
    for (int x = 0; x < 40; ++x) dotted += s.Dib.Pixel(x, 0) != Sys(COLOR_HIGHLIGHT);
    EXPECT_GE(dotted, 15);
    Surface idle(40, 16);
    idle.Canvas.Brush().SetColor(clRed);
    PaintThemedListItem(idle.Canvas, RECT{0, 0, 40, 16}, false, false, false, thtWindows);
    EXPECT_EQ(idle.Dib.Count(RGB(255, 0, 0)), 40 * 16);

    // The toolbar theme: the canvas brush, then the theme's face for a selected item, a popup
    // item's in the themes that draw list selections so.
    struct Row {
        const wchar_t* Theme;
        const char* Call;
    };
    for (const Row& row : {Row{L"Plain", "ItemButton"}, Row{L"Dream", "PopupItem"}, Row{L"SentimoX", "PopupItem"}}) {
        SCOPED_TRACE(testing::Message() << testsupport::Narrow(row.Theme));
        RecordingTheme& theme = Use(row.Theme);
        theme.Calls.clear();
        Surface t(40, 16);
        t.Canvas.Brush().SetColor(clRed);
        PaintThemedListItem(t.Canvas, RECT{0, 0, 40, 16}, false, false, false, thtThm);
        EXPECT_TRUE(theme.Calls.empty());
        EXPECT_EQ(t.Dib.Count(RGB(255, 0, 0)), 40 * 16);
        PaintThemedListItem(t.Canvas, RECT{0, 0, 40, 16}, true, true, false, thtThm);
        ASSERT_EQ(Names(theme.Calls), std::vector<std::string>{row.Call});
        const TThmItemInfo& item = theme.Calls[0].Item;
        EXPECT_TRUE(item.Pushed);
        EXPECT_EQ(item.HotState, hsSelected);
        EXPECT_EQ(t.Canvas.Font().Color(), theme.GetItemTextColor(item));
    }
}

TEST_F(UiPainters, StatusBarGripOnlyWhenItHasARectangle) {
    const RECT bar{0, 0, 120, 22}, grip{104, 0, 120, 22}, none{};
    // Toolbar theme: the background part, and the grip part only for a grip rectangle.
    RecordingTheme& theme = Use(L"Plain");
    for (bool withGrip : {false, true}) {
        theme.Calls.clear();
        Surface s(120, 22);
        PaintThemedStatusBar(s.Canvas, bar, withGrip ? grip : none, false, thtThm);
        ASSERT_EQ(theme.Calls.size(), withGrip ? 2u : 1u);
        EXPECT_EQ(theme.Calls[0].A, 0);
        if (withGrip) {
            EXPECT_EQ(theme.Calls[1].A, 3);
            EXPECT_TRUE(EqualRect(&theme.Calls[1].Rect, &grip));
        }
    }
    // Office style: a plain face in a light frame instead of the theme's background.
    theme.Calls.clear();
    Surface office(120, 22);
    PaintThemedStatusBar(office.Canvas, bar, none, true, thtThm);
    EXPECT_TRUE(theme.Calls.empty());
    EXPECT_EQ(office.Dib.Pixel(0, 0), Sys(COLOR_WINDOW));
    EXPECT_EQ(office.Dib.Pixel(60, 11), Sys(COLOR_BTNFACE));

    // Every way: an empty grip rectangle paints exactly what no grip paints.
    ThemeManager().SetVisualStylesEnabled(FStyles);
    for (TUiThemeType type : {thtNone, thtWindows, thtThm}) {
        SCOPED_TRACE(testing::Message() << "type " << int(type));
        Surface without(120, 22), empty(120, 22), with(120, 22);
        PaintThemedStatusBar(without.Canvas, bar, none, false, type);
        PaintThemedStatusBar(empty.Canvas, bar, RECT{110, 5, 110, 20}, false, type);
        EXPECT_EQ(empty.Dib.Pixels(), without.Dib.Pixels());
        if (type == thtWindows && !VisualStylesActive()) continue;
        PaintThemedStatusBar(with.Canvas, bar, grip, false, type);
        EXPECT_NE(with.Dib.Pixels(), without.Dib.Pixels());
    }
    // Classic: the face with a sunken 3-D edge.
    ThemeManager().SetVisualStylesEnabled(false);
    Surface classic(120, 22);
    PaintThemedStatusBar(classic.Canvas, bar, none, false, thtNone);
    EXPECT_EQ(classic.Dib.Pixel(0, 10), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(classic.Dib.Pixel(119, 10), Sys(COLOR_WINDOW));
    EXPECT_EQ(classic.Dib.Pixel(60, 10), Sys(COLOR_BTNFACE));
}

// --- title bars and panel captions ------------------------------------------------------------

TEST_F(UiPainters, TitleBarFrame) {
    struct Row {
        const wchar_t* Theme;
        bool DockBackground;
        std::vector<std::string> Calls;
    };
    const Row rows[] = {
        {L"Plain", true, {"DockBackground", "FloatingFrame", "FloatingFrame"}},
        {L"Plain", false, {"FloatingFrame", "FloatingFrame"}},
        {L"Stripes", true, {"DockBackground", "FloatingFrame"}},  // a gradient strip of its own
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(testing::Message() << testsupport::Narrow(row.Theme) << " dock background "
                                        << row.DockBackground);
        RecordingTheme& theme = Use(row.Theme);
        theme.Calls.clear();
        Surface s(110, 50);
        s.Canvas.Brush().SetColor(clBtnFace);
        PaintTitleBarFrame(nullptr, s.Canvas, RECT{5, 0, 105, 50}, 80, 18, row.DockBackground);
        ASSERT_EQ(Names(theme.Calls), row.Calls);
        for (const Call& c : theme.Calls) {
            if (c.Name != "FloatingFrame") continue;
            EXPECT_EQ(c.ViewKind, 0x1C01);
            EXPECT_EQ(c.ClientWidth, 100);
        }
        const Call& border = theme.Calls[row.DockBackground ? 1 : 0];
        EXPECT_EQ(border.A, rpBorder);
        EXPECT_EQ(border.ClientHeight, 50);
        if (row.Calls.size() == 3 || (!row.DockBackground && row.Calls.size() == 2)) {
            const Call& caption = theme.Calls.back();
            EXPECT_EQ(caption.A, rpBorder | rpCaption);
            EXPECT_EQ(caption.ClientHeight, 150);
        }
        EXPECT_EQ(s.Dib.Pixel(2, 20), kWhite);  // drawn at the rectangle only
    }
    // The gradient strip: lighter at its top, a shadow line along its bottom.
    Use(L"Stripes");
    Surface s(100, 50);
    PaintTitleBarFrame(nullptr, s.Canvas, RECT{0, 0, 100, 50}, 80, 18, false);
    EXPECT_GT(GetRValue(s.Dib.Pixel(40, 0)), GetRValue(s.Dib.Pixel(40, 16)));
    EXPECT_EQ(s.Dib.Pixel(40, 17), Sys(COLOR_BTNSHADOW));
    // "Default" has no dock background under a title bar.
    SelectTheme(L"Default");
    Surface d(100, 50);
    PaintTitleBarFrame(nullptr, d.Canvas, RECT{0, 0, 100, 50}, 0, 0, true);
    Surface e(100, 50);
    PaintTitleBarFrame(nullptr, e.Canvas, RECT{0, 0, 100, 50}, 0, 0, false);
    EXPECT_EQ(d.Dib.Pixels(), e.Dib.Pixels());
}

TEST_F(UiPainters, PanelCaption) {
    RecordingTheme& plain = Use(L"Plain");
    plain.Calls.clear();
    Surface s(100, 40);
    PaintPanelCaption(nullptr, s.Canvas, 10, 5, 80, 20, true);
    ASSERT_EQ(Names(plain.Calls), std::vector<std::string>{"DockPanelFrame"});
    EXPECT_EQ(plain.Calls[0].ViewKind, 0x4401);
    EXPECT_EQ(plain.Calls[0].A, 1);  // caption across the top
    EXPECT_EQ(plain.Calls[0].B, 1);  // single border
    EXPECT_EQ(plain.Calls[0].ClientWidth, 80);
    EXPECT_EQ(plain.Calls[0].ClientHeight, 120);
    EXPECT_EQ(s.Dib.Pixel(5, 10), kWhite);
    EXPECT_EQ(s.Dib.Pixel(10, 26), kWhite);

    // "Dream" draws its panel captions as title bars.
    RecordingTheme& dream = Use(L"Dream");
    dream.Calls.clear();
    Surface t(100, 40);
    PaintPanelCaption(nullptr, t.Canvas, 10, 5, 80, 20, true);
    EXPECT_EQ(Names(dream.Calls), (std::vector<std::string>{"DockBackground", "FloatingFrame"}));

    // "Default" and the gradient themes: a face frame, a gradient and a raised edge.
    for (const wchar_t* name : {L"Default", L"Stripes"}) {
        SelectTheme(name);
        Surface u(100, 40);
        PaintPanelCaption(nullptr, u.Canvas, 10, 5, 80, 20, true);
        EXPECT_EQ(u.Dib.Pixel(10, 15), Sys(COLOR_BTNFACE));
        EXPECT_EQ(u.Dib.Pixel(11, 15), Sys(COLOR_BTNHIGHLIGHT));
        EXPECT_EQ(u.Dib.Pixel(9, 15), kWhite);
    }
}

// --- helpers ----------------------------------------------------------------------------------

TEST_F(UiPainters, TriangleArrows) {
    Surface s(30, 30);
    PaintTriangleArrow(s.Dib.DC, 10, 10, clRed, true, 4);
    const COLORREF red = RGB(255, 0, 0);
    EXPECT_EQ(s.Dib.Pixel(10, 11), red);
    EXPECT_EQ(s.Dib.Pixel(7, 10), red);
    EXPECT_EQ(s.Dib.Pixel(10, 9), kWhite);  // nothing above the base
    EXPECT_EQ(s.Dib.Pixel(10, 15), kWhite);
    EXPECT_EQ(s.Dib.Pixel(6, 12), kWhite);
    Surface v(30, 30);
    PaintTriangleArrow(v.Dib.DC, 10, 10, clRed, false, 4);
    EXPECT_EQ(v.Dib.Pixel(11, 10), red);
    EXPECT_EQ(v.Dib.Pixel(10, 7), red);
    EXPECT_EQ(v.Dib.Pixel(9, 10), kWhite);  // nothing left of the base
    EXPECT_EQ(v.Dib.Pixel(15, 10), kWhite);
}

TEST_F(UiPainters, BackgroundFromParent) {
    // Without a parent: the button face.
    TForm loose(nullptr);
    Surface s(20, 20);
    PaintBackgroundFromParent(&loose, s.Dib.DC, RECT{0, 0, 20, 20}, 0, 0);
    EXPECT_EQ(s.Dib.Count(Sys(COLOR_BTNFACE)), 400);

    // A parent that erases: its background lands under the control's own coordinates.
    class Striped : public TForm {
    public:
        using TForm::TForm;
        void WndProc(TMessage& m) override {
            if (m.Msg == WM_ERASEBKGND) {
                HDC dc = reinterpret_cast<HDC>(m.WParam);
                PaintRectFill(dc, RECT{0, 0, 1000, 1000}, clBlue);
                PaintRectFill(dc, RECT{0, 50, 1000, 51}, clRed);  // one red row at y 50
                m.Result = 1;
                return;
            }
            TForm::WndProc(m);
        }
    };
    Striped parent(nullptr);
    parent.SetBounds(100, 100, 200, 200);
    TWinControl child(&parent);
    child.SetParent(&parent);
    child.SetBounds(10, 40, 50, 30);
    parent.HandleNeeded();
    Surface c(50, 30);
    PaintBackgroundFromParent(&child, c.Dib.DC, RECT{0, 0, 50, 30}, 0, 0);
    EXPECT_EQ(c.Dib.Pixel(5, 10), RGB(255, 0, 0));  // parent row 50 is child row 10
    EXPECT_EQ(c.Dib.Pixel(5, 9), RGB(0, 0, 255));
    EXPECT_EQ(c.Dib.Pixel(5, 11), RGB(0, 0, 255));

    // A parent that does not erase: its colour.
    TForm plainParent(nullptr);
    plainParent.SetColor(clLime);
    TWinControl other(&plainParent);
    other.SetParent(&plainParent);
    Surface d(20, 20);
    PaintBackgroundFromParent(&other, d.Dib.DC, RECT{0, 0, 20, 20}, 0, 0);
    EXPECT_EQ(d.Dib.Count(RGB(0, 255, 0)), 400);
}

}  // namespace
