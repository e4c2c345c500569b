// The themed toolbar, tool window, dock and popups: view kinds and effective colours, what the
// theme is asked to paint, shadows, placement below a rectangle, snapping, theme switches and
// painting that fails.
#include "controls/toolbar/themed/thmdock.h"
#include "controls/toolbar/themed/thmpopup.h"
#include "controls/toolbar/themed/thmtoolbar.h"

#include "classlib/application.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbinputscript.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmfloating.h"
#include "controls/toolbar/themed/thmitems.h"
#include "controls/toolbar/themed/thmutils.h"
#include "thmtesttheme.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

using namespace themed;
using namespace toolbar;
using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

// A fill colour of its own for every view kind.
TColor FillOf(int kind) { return RGB(kind & 0xFF, (kind >> 8) & 0xFF, 0x40); }

struct Background {
    int ViewKind;
    TColor Color;
    bool Transparent;
    RECT Outer;
};

// A default-looking theme with fill colours, paddings and borders of its own that records
// the frames and backgrounds it paints, and can be made to fail.
class BarTheme : public TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    int ShadowKind = 1;
    bool OverlapOpener = false;
    bool DockBackground = false;
    bool Fail = false;
    std::vector<int> PaddingKinds;
    std::vector<TThmToolbarFrameInfo> ToolbarFrames;
    std::vector<TThmPopupFrameInfo> PopupFrames;
    std::vector<Background> Backgrounds;
    std::vector<RECT> DockBackgrounds;
    std::vector<RECT> ScrollBands;

    void Check() {
        if (Fail) throw Exception(L"テーマの描画に失敗");
    }
    int GetShadowKind() override { return ShadowKind; }
    bool GetBoolMetric(int index) override {
        if (index == tbPopupOverlapsOpener) return OverlapOpener;
        if (index == tbPaintDockBackground) return DockBackground;
        return false;
    }
    TColor GetViewFillColor(int kind) override { return FillOf(kind); }
    void GetViewPadding(int kind, TThmMargins& padding) override {
        PaddingKinds.push_back(kind);
        padding = (kind & vkFloating) ? TThmMargins{5, 6, 7, 8} : TThmMargins{1, 2, 3, 4};
    }
    void GetViewBorderSize(int kind, POINT& size) override {
        if (ViewKindIs(kind, vkPopup))
            size = {4, 5};
        else if (kind & vkFloating)
            size = {6, 7};
        else
            TThmDefaultTheme::GetViewBorderSize(kind, size);
    }
    void PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) override {
        Check();
        ToolbarFrames.push_back(frame);
        TThmDefaultTheme::PaintToolbarFrame(canvas, rect, frame);
    }
    void PaintPopupFrame(TCanvas& canvas, const RECT& rect, const TThmPopupFrameInfo& frame) override {
        Check();
        PopupFrames.push_back(frame);
        TThmDefaultTheme::PaintPopupFrame(canvas, rect, frame);
    }
    void PaintViewBackground(TCanvas& canvas, const RECT& outer, const RECT& paint, const RECT& clip, TColor color,
                             bool transparent, int kind) override {
        Check();
        Backgrounds.push_back({kind, color, transparent, outer});
        TThmDefaultTheme::PaintViewBackground(canvas, outer, paint, clip, color, transparent, kind);
    }
    void PaintDockBackground(TCanvas& canvas, const RECT& client, const RECT& paint, int position) override {
        Check();
        DockBackgrounds.push_back(client);
        PaintRectFill(canvas.Handle(), paint, RGB(0, 128, 0));
    }
    void PaintPopupItemFrame(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item) override {
        if (item.ViewKind == vkPopupMenu && item.Enabled && item.HotState == hsNone) ScrollBands.push_back(rect);
        TThmDefaultTheme::PaintPopupItemFrame(canvas, rect, item);
    }
};

std::wstring ClassOf(HWND wnd) {
    wchar_t name[64] = {};
    GetClassNameW(wnd, name, 64);
    return name;
}

bool SameRect(const RECT& a, const RECT& b) { return EqualRect(&a, &b) != 0; }

RECT WindowRect(HWND wnd) {
    RECT r;
    GetWindowRect(wnd, &r);
    return r;
}

class ThemedBars : public ::testing::Test {
protected:
    void SetUp() override {
        Theme = SelectTestTheme<BarTheme>(L"BarRecorder");
        ASSERT_NE(Theme, nullptr);
        Form = new TForm(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(80, 80, 640, 420);
        Form->SetColor(RGB(10, 20, 30));
        for (TBarDockPosition p : {dpTop, dpLeft}) {
            Docks[p] = new TThmDock(Form);
            Docks[p]->SetPosition(p);
            Docks[p]->SetParent(Form);
        }
        Form->Show();
        PumpMessages();
    }
    void TearDown() override {
        delete Form;
        PumpMessages();
        SelectTheme(L"Default");
    }
    // A toolbar with two items and a child control; docked on `dock`, else on the form.
    TThmToolbar* NewToolbar(TBarDock* dock) {
        auto* bar = new TThmToolbar(Form);
        bar->SetHideWhenInactive(false);
        for (const wchar_t* caption : {L"&One", L"&Two"}) {
            auto* item = new TThmCustomItem(bar);
            item->SetCaption(caption);
            bar->Items()->Add(item);
        }
        Child = new TCustomControl(Form);
        Child->SetBounds(0, 0, 30, 16);
        Child->SetParent(bar);
        if (dock)
            bar->SetCurrentDock(dock);
        else
            bar->SetParent(Form);
        PumpMessages();
        return bar;
    }
    // A themed item with sub-items, opened as a popup at a point (the caller owns the window).
    TThmPopupWindow* OpenPopup(int count = 3, bool toolBox = false) {
        Opener = new TThmCustomItem(Form);
        Opener->SetToolBoxPopup(toolBox);
        Opener->SetAlwaysSelectFirst(toolBox);
        for (int i = 0; i < count; ++i) {
            auto* sub = new TThmCustomItem(Opener);
            sub->SetCaption(L"項目 " + std::to_wstring(i));
            Opener->Add(sub);
        }
        auto* popup = dynamic_cast<TThmPopupWindow*>(
            Opener->CreatePopup(nullptr, nullptr, false, false, false, POINT{200, 150}, tbpaLeft));
        EXPECT_NE(popup, nullptr);
        PumpMessages();
        return popup;
    }

    BarTheme* Theme = nullptr;
    TForm* Form = nullptr;
    TThmDock* Docks[4] = {};
    TCustomControl* Child = nullptr;
    TThmCustomItem* Opener = nullptr;
};

}  // namespace

// --- view kinds and colours -----------------------------------------------------------------------

TEST_F(ThemedBars, ToolbarViewKindAndColourFollowItsPlace) {
    TThmToolbar* bar = NewToolbar(nullptr);
    const TColor form = RGB(10, 20, 30);
    struct Case {
        const char* Name;
        std::function<void()> Place;
        TThmItemTransparency Transparency;
        int Kind;
        TColor Color;
    } cases[] = {
        {"on the form: opaque items, the form's colour", [] {}, itAuto, 0x1201, form},
        {"on the form, transparent items", [] {}, itEnable, 0x1001, form},
        {"docked", [&] { bar->SetCurrentDock(Docks[dpTop]); }, itAuto, 0x1001, FillOf(0x1001)},
        {"docked, opaque items", [] {}, itDisable, 0x1201, FillOf(0x1201)},
        {"floating, resizable", [&] { bar->SetFloating(true); }, itAuto, 0x1C01, FillOf(0x1C01)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Place();
        bar->SetItemTransparency(c.Transparency);
        PumpMessages();
        EXPECT_EQ(GetViewType(bar), c.Kind);
        EXPECT_EQ(GetEffectiveColor(bar), c.Color);
        EXPECT_EQ(Child->Color(), c.Color) << "the child takes the toolbar's colour";
    }
    bar->SetMenuBar(true);
    EXPECT_EQ(GetViewType(bar), 0x1C02);
    bar->SetMenuBar(false);
    bar->SetResizable(false);
    EXPECT_EQ(GetViewType(bar), 0x1801);
    // An own colour wins everywhere; clNone gives the place's colour back.
    bar->SetColor(RGB(200, 0, 0));
    EXPECT_EQ(bar->EffectiveColor(), RGB(200, 0, 0));
    EXPECT_EQ(Child->Color(), RGB(200, 0, 0));
    bar->SetColor(clNone);
    EXPECT_EQ(bar->EffectiveColor(), FillOf(0x1801));

    // Back on the form, the toolbar follows the form's colour.
    bar->SetFloating(false);
    bar->SetParent(Form);
    EXPECT_EQ(bar->EffectiveColor(), form);
    Form->SetColor(RGB(40, 50, 60));
    EXPECT_EQ(bar->EffectiveColor(), RGB(40, 50, 60));
    EXPECT_EQ(Child->Color(), RGB(40, 50, 60));
}

TEST_F(ThemedBars, ToolWindowAndDockColours) {
    auto* window = new TThmToolWindow(Form);
    window->SetHideWhenInactive(false);
    auto* child = new TCustomControl(Form);
    child->SetParent(window);
    window->SetCurrentDock(Docks[dpTop]);
    PumpMessages();
    EXPECT_EQ(GetViewType(window), vkToolWindow);
    EXPECT_EQ(GetEffectiveColor(window), FillOf(vkToolWindow));
    EXPECT_EQ(child->Color(), FillOf(vkToolWindow));
    window->SetFloating(true);
    PumpMessages();
    EXPECT_EQ(GetViewType(window), vkToolWindow | vkFloating | vkResizable);
    EXPECT_EQ(GetEffectiveColor(window), FillOf(0x1C04));
    EXPECT_FALSE(window->DblClickUndock());

    // A dock without a colour answers its parent's.
    EXPECT_EQ(Docks[dpTop]->Color(), clNone);
    EXPECT_EQ(GetEffectiveColor(Docks[dpTop]), RGB(10, 20, 30));
    Docks[dpTop]->SetColor(RGB(1, 2, 3));
    EXPECT_EQ(GetEffectiveColor(Docks[dpTop]), RGB(1, 2, 3));
}

TEST_F(ThemedBars, MarginsAndBordersComeFromTheTheme) {
    TThmToolbar* bar = NewToolbar(Docks[dpTop]);
    RECT margins{};
    Theme->PaddingKinds.clear();
    bar->View()->QueryMargins(tbvoHorizontal, margins);
    EXPECT_TRUE(SameRect(margins, RECT{1, 3, 2, 4}));
    bar->View()->QueryMargins(tbvoFloating, margins);
    EXPECT_TRUE(SameRect(margins, RECT{5, 7, 6, 8}));
    // The floating bit follows the orientation asked for, not the toolbar's state.
    EXPECT_EQ(Theme->PaddingKinds, (std::vector<int>{0x1001, 0x1801}));

    bar->SetFloating(true);
    PumpMessages();
    SIZE border{};
    bar->GetFloatingFrameSize(border);
    EXPECT_EQ(border.cx, 6);
    EXPECT_EQ(border.cy, 7);
    auto* host = dynamic_cast<TThmFloatingWindowParent*>(bar->FloatingParent());
    ASSERT_NE(host, nullptr);
    // The host's client area is the toolbar: the frame is the theme's border (and caption).
    RECT window = WindowRect(host->Handle()), client = WindowRect(bar->Handle());
    EXPECT_EQ(client.left - window.left, 6);
    EXPECT_EQ(window.bottom - client.bottom, 7);
}

TEST_F(ThemedBars, DockedFrameAndBackgroundThroughTheTheme) {
    Theme->DockBackground = true;
    TThmToolbar* bar = NewToolbar(Docks[dpLeft]);
    bar->SetCloseButtonWhenDocked(true);
    bar->SetDragHandleStyle(toolbar::dhDouble);
    Theme->ToolbarFrames.clear();
    Theme->Backgrounds.clear();
    Theme->DockBackgrounds.clear();
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_FALSE(Theme->ToolbarFrames.empty());
    const TThmToolbarFrameInfo f = Theme->ToolbarFrames.back();
    EXPECT_EQ(f.WindowHandle, bar->Handle());
    EXPECT_EQ(f.ViewKind, vkToolbarBar);
    EXPECT_TRUE(f.Vertical);
    EXPECT_TRUE(f.AllowDrag);
    EXPECT_EQ(f.BorderStyle, 1);
    EXPECT_EQ(f.BorderSize.x, 2);
    EXPECT_EQ(f.ClientWidth, bar->ClientWidth());
    EXPECT_EQ(f.ClientHeight, bar->ClientHeight());
    EXPECT_EQ(f.DragHandleStyle, themed::dhDouble);
    EXPECT_EQ(f.CloseButtonState, cbsShown);
    EXPECT_EQ(f.EffectiveColor, FillOf(vkToolbarBar));

    // The close button is where the theme draws it, and answers its hit code there.
    RECT button{};
    bar->GetCloseButtonRect(true, button);
    const RECT drawn = GetToolbarCloseButtonRect(f);
    EXPECT_TRUE(SameRect(button, drawn));
    const RECT w = WindowRect(bar->Handle());
    const POINT centre{w.left + (button.left + button.right) / 2, w.top + (button.top + button.bottom) / 2};
    EXPECT_EQ(SendMessageW(bar->Handle(), WM_NCHITTEST, 0, MAKELPARAM(centre.x, centre.y)), HTBARCLOSE);

    // The dock's background shows through the toolbar: painted with the dock's client area
    // at its place in the toolbar, and the view background is transparent over it.
    ASSERT_FALSE(Theme->Backgrounds.empty());
    const Background& b = Theme->Backgrounds.back();
    EXPECT_EQ(b.ViewKind, vkToolbarBar);
    EXPECT_TRUE(b.Transparent);
    POINT dockOrigin{0, 0};
    ClientToScreen(Docks[dpLeft]->Handle(), &dockOrigin);
    ScreenToClient(bar->Handle(), &dockOrigin);
    const RECT expected{dockOrigin.x, dockOrigin.y, dockOrigin.x + Docks[dpLeft]->ClientWidth(),
                        dockOrigin.y + Docks[dpLeft]->ClientHeight()};
    EXPECT_TRUE(SameRect(b.Outer, expected));
    ASSERT_FALSE(Theme->DockBackgrounds.empty());
    EXPECT_TRUE(std::any_of(Theme->DockBackgrounds.begin(), Theme->DockBackgrounds.end(),
                            [&](const RECT& r) { return SameRect(r, expected); }));
    // Without the dock's background the view is painted opaque in the toolbar's colour.
    Theme->DockBackground = false;
    RedrawWindow(bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    EXPECT_FALSE(Theme->Backgrounds.back().Transparent);
    EXPECT_EQ(Theme->Backgrounds.back().Color, FillOf(vkToolbarBar));
}

// (How the floating form snaps is tested with the dockable panel, which floats in the same form.)
TEST_F(ThemedBars, FloatingToolbarHandsItsSnapDistanceToItsForm) {
    TThmToolbar* bar = NewToolbar(Docks[dpTop]);
    bar->SetSnapDistance(-5);
    EXPECT_EQ(bar->SnapDistance(), 0);
    bar->SetSnapDistance(15);
    bar->SetFloating(true);
    PumpMessages();
    auto* host = dynamic_cast<TThmFloatingWindowParent*>(bar->FloatingParent());
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->SnapDistance(), 15) << "when it floats";
    bar->SetSnapDistance(3);
    EXPECT_EQ(host->SnapDistance(), 3) << "when it changes";
}

TEST_F(ThemedBars, ThemeSwitchRecoloursAndLaysOutAgain) {
    TThmToolbar* bar = NewToolbar(Docks[dpTop]);
    ASSERT_EQ(bar->EffectiveColor(), FillOf(vkToolbarBar));
    ASSERT_TRUE(SelectTheme(L"Default"));
    PumpMessages();
    const TColor fill = ActiveToolbarTheme().GetViewFillColor(vkToolbarBar);
    EXPECT_EQ(bar->EffectiveColor(), fill);
    EXPECT_EQ(Child->Color(), fill);
    EXPECT_EQ(bar->View()->UpdateCount(), 0) << "the update the switch began has ended";
    EXPECT_TRUE(bar->View()->PositionsValid());
}

// --- popups ---------------------------------------------------------------------------------------

TEST_F(ThemedBars, PopupClassAndShadowFollowTheShadowKind) {
    // Kind 1: the system's shadow, through a window class of its own; no shadow windows.
    Theme->ShadowKind = 1;
    TThmPopupWindow* popup = OpenPopup();
    EXPECT_EQ(ClassOf(popup->Handle()), L"TThmPopupWindowS");
    EXPECT_TRUE(GetClassLongPtrW(popup->Handle(), GCL_STYLE) & CS_DROPSHADOW);
    EXPECT_EQ(popup->Shadows(), nullptr);
    EXPECT_EQ(popup->View()->Selected(), nullptr) << "opened by the mouse";
    delete popup;

    // Kind 2: shadow windows of its own once the popup shows.
    Theme->ShadowKind = 2;
    popup = OpenPopup();
    EXPECT_EQ(ClassOf(popup->Handle()), L"TThmPopupWindow");
    EXPECT_FALSE(GetClassLongPtrW(popup->Handle(), GCL_STYLE) & CS_DROPSHADOW);
    ASSERT_TRUE(PumpUntil([&] { return popup->Shadows() != nullptr; }));
    TShadows* made = popup->Shadows();
    EXPECT_TRUE(SameRect(made->PopupBounds(), WindowRect(popup->Handle())));
    // Raising the popup keeps its shadow; moving it makes a new one at the new place.
    SetWindowPos(popup->Handle(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(popup->Shadows(), made);
    popup->SetBounds(popup->Left() + 40, popup->Top() + 30, popup->Width(), popup->Height());
    ASSERT_NE(popup->Shadows(), nullptr);
    EXPECT_TRUE(SameRect(popup->Shadows()->PopupBounds(), WindowRect(popup->Handle())));
    // Hiding takes the shadow away.
    popup->SetVisible(false);
    EXPECT_EQ(popup->Shadows(), nullptr);
    delete popup;

    // A tool-box popup is a view kind of its own; AlwaysSelectFirst selects in any popup.
    popup = OpenPopup(2, true);
    EXPECT_EQ(GetViewType(popup), vkToolBoxPopup);
    ASSERT_NE(popup->View()->Selected(), nullptr);
    EXPECT_EQ(popup->View()->Selected()->Item(), Opener->GetItem(0));
    delete popup;
}

TEST_F(ThemedBars, PopupFrameBackgroundAndScrollBands) {
    Theme->PopupFrames.clear();
    Theme->Backgrounds.clear();
    TThmPopupWindow* popup = OpenPopup();
    RedrawWindow(popup->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    ASSERT_FALSE(Theme->PopupFrames.empty());
    const TThmPopupFrameInfo f = Theme->PopupFrames.back();
    EXPECT_EQ(f.WindowHandle, popup->Handle());
    EXPECT_EQ(f.ViewKind, vkPopupMenu);
    EXPECT_EQ(f.BorderSize.x, 4);
    EXPECT_EQ(f.BorderSize.y, 5);
    EXPECT_TRUE(IsRectEmpty(&f.ParentRect)) << "opened at a point: no opener";
    // The theme's border is the non-client area.
    const RECT w = WindowRect(popup->Handle());
    EXPECT_EQ(popup->ClientWidth(), (w.right - w.left) - 8);
    EXPECT_EQ(popup->ClientHeight(), (w.bottom - w.top) - 10);
    ASSERT_FALSE(Theme->Backgrounds.empty());
    EXPECT_EQ(Theme->Backgrounds.back().ViewKind, vkPopupMenu);
    EXPECT_EQ(Theme->Backgrounds.back().Color, FillOf(vkPopupMenu));
    EXPECT_FALSE(Theme->Backgrounds.back().Transparent);
    delete popup;

    // A popup taller than the screen: the band behind its scroll arrow is the theme's.
    Theme->ScrollBands.clear();
    popup = OpenPopup(200);
    ASSERT_TRUE(popup->View()->ShowDownArrow());
    RedrawWindow(popup->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(Theme->ScrollBands.empty());
    EXPECT_EQ(Theme->ScrollBands.back().bottom, popup->ClientHeight());
    delete popup;
}

TEST(ThemedPopupPlacement, BelowARectangle) {
    const RECT monitor{0, 0, 1000, 800};
    struct Case {
        const char* Name;
        RECT Control;
        SIZE Size;
        TBarPopupAlignment Alignment;
        POINT Expected;
        unsigned Direction;
    } cases[] = {
        {"below", {100, 50, 180, 70}, {200, 300}, tbpaLeft, {100, 70}, tbpdDown},
        {"above when it fits only there", {100, 600, 180, 620}, {200, 300}, tbpaLeft, {100, 300}, tbpdUp},
        {"inside the work area when it fits nowhere", {100, 300, 180, 320}, {200, 700}, tbpaLeft, {100, 100}, tbpdDown},
        {"right-aligned ends at the right edge", {300, 50, 380, 70}, {200, 300}, tbpaRight, {180, 70}, tbpdDown},
        {"kept inside horizontally", {950, 50, 990, 70}, {200, 300}, tbpaLeft, {800, 70}, tbpdDown},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TBarPopupPositionRec rec;
        rec.MonitorRect = monitor;
        rec.Alignment = c.Alignment;
        rec.X = c.Control.left;
        rec.Y = c.Control.bottom;
        rec.W = c.Size.cx;
        rec.H = c.Size.cy;
        PlacePopupBelowRect(rec, c.Control);
        EXPECT_EQ(rec.X, c.Expected.x);
        EXPECT_EQ(rec.Y, c.Expected.y);
        EXPECT_EQ(rec.AnimDir, c.Direction);
    }
}

TEST_F(ThemedBars, PopupBelowRectKeepsItsOpener) {
    Theme->OverlapOpener = true;
    Theme->PopupFrames.clear();
    TThmRootItem root(nullptr);
    for (const wchar_t* caption : {L"&A", L"&B"}) {
        auto* item = new TThmCustomItem(&root);
        item->SetCaption(caption);
        root.Add(item);
    }
    const RECT control{300, 200, 380, 222};
    std::unique_ptr<TBarPopupWindow> window(root.PopupBelowRect(false, control, tbpaLeft));
    auto* popup = dynamic_cast<TThmPopupWindow*>(window.get());
    ASSERT_NE(popup, nullptr);
    EXPECT_TRUE(SameRect(popup->OpenerRect(), control));
    EXPECT_TRUE(IsRectEmpty(&root.PopupControlRect())) << "kept only for the call";
    // The theme overlaps the opener by one pixel; the popup keeps its size.
    const RECT w = WindowRect(popup->Handle());
    EXPECT_EQ(w.left, control.left);
    EXPECT_EQ(w.top, control.bottom - 1);
    SIZE total{};
    popup->View()->RecalcPositions(total);
    EXPECT_EQ(w.bottom - w.top, total.cy + 10);
    // The frame is told where the opener is, in the popup's coordinates.
    RedrawWindow(popup->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(Theme->PopupFrames.empty());
    const RECT parent = Theme->PopupFrames.back().ParentRect;
    EXPECT_TRUE(SameRect(parent, RECT{0, control.top - w.top, control.right - control.left, control.bottom - w.top}));
}

TEST_F(ThemedBars, PopupMenuBelowRectRunsTheMenu) {
    TThmPopupMenu menu(nullptr);
    for (const wchar_t* caption : {L"&Open", L"&Save"}) {
        auto* item = new TThmCustomItem(&menu);
        item->SetCaption(caption);
        menu.Items()->Add(item);
    }
    EXPECT_EQ(GetViewType(&menu), vkPopupMenu);
    const RECT control{150, 120, 230, 140};
    RECT shown{};
    InputScript script(Form->Handle());
    script.Run([&] {
              if (HWND w = FindWindowExW(nullptr, nullptr, L"TThmPopupWindowS", nullptr)) shown = WindowRect(w);
          })
        .Key(WM_KEYDOWN, VK_DOWN)
        .Key(WM_KEYDOWN, VK_DOWN)
        .Key(WM_KEYDOWN, VK_RETURN);
    script.Start();
    TBarCustomItem* chosen = PopupMenuBelowRect(&menu, control, true);
    ASSERT_NE(chosen, nullptr);
    EXPECT_EQ(chosen->Caption(), L"&Save");
    EXPECT_EQ(menu.PopupPoint.x, control.left);
    EXPECT_EQ(menu.PopupPoint.y, control.bottom);
    EXPECT_EQ(shown.left, control.left);
    EXPECT_EQ(shown.top, control.bottom);
}

TEST_F(ThemedBars, ChevronPopupAndPainting) {
    TThmToolbar* bar = NewToolbar(Docks[dpTop]);
    TBarCustomItem* chevron = bar->ChevronItem();
    TBarItemViewer* viewer = bar->View()->ViewerOfItem(chevron);
    EXPECT_NE(dynamic_cast<TThmChevronItemViewer*>(viewer), nullptr);
    std::unique_ptr<TBarPopupWindow> popup(
        chevron->CreatePopup(nullptr, nullptr, false, false, false, POINT{300, 200}, tbpaLeft));
    EXPECT_EQ(GetViewType(popup.get()), vkChevronPopup);
    EXPECT_EQ(ClassOf(popup->Handle()), L"TThmChevronPopupWindowS");
}

// --- failures ---------------------------------------------------------------------------------------

TEST_F(ThemedBars, PaintingThatFailsIsReportedAndLeavesNothingToRepaint) {
    Theme->DockBackground = true;
    TThmToolbar* bar = NewToolbar(Docks[dpTop]);
    auto* window = new TThmToolWindow(Form);
    window->SetHideWhenInactive(false);
    window->SetCurrentDock(Docks[dpLeft]);
    TThmPopupWindow* popup = OpenPopup();
    PumpMessages();
    std::vector<std::wstring> reports;
    const auto saved = Application->OnException;
    Application->OnException = [&](TComponent*, const Exception& e) { reports.push_back(e.Message()); };
    DiscardQueuedExceptions();
    Theme->Fail = true;
    for (HWND wnd : {Form->Handle(), popup->Handle()})
        RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    PumpMessages();
    // Reported, and nothing asks to be painted again: a second round finds nothing to do.
    EXPECT_FALSE(reports.empty());
    for (const std::wstring& r : reports) EXPECT_EQ(r, L"テーマの描画に失敗");
    RECT pending;
    for (HWND wnd : {bar->Handle(), window->Handle(), Docks[dpTop]->Handle(), popup->Handle()})
        EXPECT_FALSE(GetUpdateRect(wnd, &pending, FALSE)) << testsupport::Narrow(ClassOf(wnd));
    reports.clear();
    PumpMessages();
    EXPECT_TRUE(reports.empty());
    Theme->Fail = false;
    Application->OnException = saved;
    delete popup;
}
