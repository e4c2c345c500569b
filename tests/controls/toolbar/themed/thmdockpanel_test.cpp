#include "controls/toolbar/themed/thmdockpanel.h"

#include "classlib/errors.h"
#include "classlib/form.h"
#include "classlib/scopeguard.h"
#include "common/test_support.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmfloating.h"
#include "controls/toolbar/themed/thmmultidock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace themed;
using namespace toolbar;
using namespace classlib;
using testsupport::PumpMessages;

namespace {

std::vector<int> Sizes(const std::vector<TThmDockLength>& lengths) {
    std::vector<int> sizes;
    for (const TThmDockLength& l : lengths) sizes.push_back(l.Size);
    return sizes;
}

// Counts the arrangements that really run.
class CountingMultiDock : public TThmMultiDock {
public:
    using TThmMultiDock::TThmMultiDock;
    int Arrangements = 0;
    void ArrangeWindows() override {
        if (UpdateCount() == 0) ++Arrangements;
        TThmMultiDock::ArrangeWindows();
    }
};

// Records what the theme is asked to paint of a docked panel's frame.
class FrameRecorder : public TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    void PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) override {
        if (Fail) throw EInvalidOperation(L"frame painting failed");
        Frames.push_back(frame);
        Captions.push_back(frame.Caption ? frame.Caption : L"");
        TThmDefaultTheme::PaintDockPanelFrame(canvas, rect, frame);
    }
    std::vector<TThmDockPanelFrameInfo> Frames;
    std::vector<std::wstring> Captions;
    bool Fail = false;
};

class DockPanels : public ::testing::Test {
protected:
    void SetUp() override {
        Form = new TForm(nullptr);
        Form->SetPosition(poDesigned);
        Form->SetBounds(50, 50, 700, 500);
        for (TBarDockPosition p : {dpTop, dpBottom, dpLeft, dpRight}) {
            auto* dock = new CountingMultiDock(Form);
            dock->SetPosition(p);
            dock->SetParent(Form);
            Docks[p] = dock;
        }
        Form->Show();
        PumpMessages();
    }
    void TearDown() override {
        delete Form;
        PumpMessages();
    }
    TThmDockablePanel* NewPanel(TBarDock* dock, int split = 0, int pos = -1) {
        auto* panel = new TThmDockablePanel(Form);
        panel->SetHideWhenInactive(false);
        panel->BeginUpdate();
        panel->SetDockPos(pos);
        if (dock->Vertical())
            panel->SetSplitHeight(split);
        else
            panel->SetSplitWidth(split);
        panel->SetCurrentDock(dock);
        panel->EndUpdate();
        PumpMessages();
        return panel;
    }
    // The hit code at a point of the panel's window rectangle (negative: from the far edge).
    static LRESULT HitAt(TWinControl* control, int x, int y) {
        RECT r;
        GetWindowRect(control->Handle(), &r);
        const int px = x >= 0 ? r.left + x : r.right + x, py = y >= 0 ? r.top + y : r.bottom + y;
        return SendMessageW(control->Handle(), WM_NCHITTEST, 0, MAKELPARAM(px, py));
    }
    static POINT ScreenOf(TWinControl* control, int x, int y) {
        RECT r;
        GetWindowRect(control->Handle(), &r);
        return {x >= 0 ? r.left + x : r.right + x, y >= 0 ? r.top + y : r.bottom + y};
    }
    // Plays a resize: each point is posted as a mouse move with the cursor there, then the
    // ending message; the loop starts at `start` with the hit code.
    static void Resize(TWinControl* control, LRESULT code, POINT start, const std::vector<POINT>& moves,
                       UINT endMessage = WM_LBUTTONUP, WPARAM endParam = 0) {
        HWND wnd = control->Handle();
        for (POINT p : moves) {
            SetCursorPos(p.x, p.y);
            POINT c = p;
            ScreenToClient(wnd, &c);
            PostMessageW(wnd, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(c.x, c.y));
        }
        PostMessageW(wnd, endMessage, endParam, 0);
        SetCursorPos(start.x, start.y);
        SendMessageW(wnd, WM_NCLBUTTONDOWN, static_cast<WPARAM>(code), MAKELPARAM(start.x, start.y));
        PumpMessages();
    }
    TForm* Form = nullptr;
    CountingMultiDock* Docks[4] = {};
};

}  // namespace

// --- lengths --------------------------------------------------------------------------------------

TEST(MultiDockLengths, DistributionTable) {
    struct Case {
        const char* Name;
        std::vector<TThmDockLength> Panels;
        int Length;
        std::vector<int> Expected;
    } cases[] = {
        {"the extra pixel by the rounded running total", {{100, 0, 999}, {100, 0, 999}, {100, 0, 999}}, 301, {100, 101, 100}},
        {"two extra pixels", {{100, 0, 999}, {100, 0, 999}, {100, 0, 999}}, 302, {101, 100, 101}},
        {"shrinking", {{100, 0, 999}, {100, 0, 999}, {100, 0, 999}}, 299, {100, 99, 100}},
        {"a single panel takes the length", {{40, 10, 999}}, 250, {250}},
        {"minima above the length", {{100, 80, 999}, {100, 90, 999}}, 120, {80, 90}},
        {"maxima below the length", {{10, 0, 50}, {10, 0, 60}}, 500, {50, 60}},
        {"a panel at its limit leaves the rest to the others", {{100, 0, 110}, {100, 0, 999}}, 300, {110, 190}},
        {"a panel at its minimum", {{100, 95, 999}, {100, 0, 999}}, 150, {95, 55}},
        {"already fitting", {{70, 0, 999}, {30, 0, 999}}, 100, {70, 30}},
    };
    for (Case& c : cases) {
        DistributeDockLength(c.Panels, c.Length);
        EXPECT_EQ(Sizes(c.Panels), c.Expected) << c.Name;
    }
}

TEST(MultiDockLengths, LimitsAsTheArrangementTakesThem) {
    // A maximum below the minimum means none: the available length, or the minimum.
    const TThmDockLength open = MakeDockLength(500, 40, 0, 300);
    EXPECT_EQ(open.Max, 300);
    EXPECT_EQ(open.Size, 300);
    const TThmDockLength tight = MakeDockLength(5, 40, 0, 20);
    EXPECT_EQ(tight.Max, 40);
    EXPECT_EQ(tight.Size, 40);
}

TEST(MultiDockLengths, SplitTable) {
    const std::vector<TThmDockLength> three{{100, 40, 500}, {100, 40, 500}, {100, 40, 500}};
    struct Case {
        const char* Name;
        int Splitter, Movement;
        std::vector<int> Expected;
    } cases[] = {
        {"the neighbours trade", 0, 30, {130, 70, 100}},
        {"backwards", 1, -20, {100, 80, 120}},
        {"the far side gives what its neighbour cannot", 0, 90, {190, 40, 70}},
        {"stops where nobody can give more", 0, 200, {220, 40, 40}},
        {"the near side passes what it cannot give to the one before", 1, -90, {70, 40, 190}},
        {"no movement", 1, 0, {100, 100, 100}},
    };
    for (const Case& c : cases) EXPECT_EQ(SplitDockLengths(three, c.Splitter, c.Movement), c.Expected) << c.Name;
    const std::vector<TThmDockLength> limited{{100, 40, 120}, {100, 40, 500}};
    EXPECT_EQ(SplitDockLengths(limited, 0, 50), (std::vector<int>{120, 80})) << "the growing side's maximum";
}

// --- the panel ------------------------------------------------------------------------------------

TEST_F(DockPanels, SettersClampAndArrangeOnlyWhereTheyApply) {
    TThmDockablePanel* panel = NewPanel(Docks[dpTop], 120);
    auto* dock = Docks[dpTop];
    dock->Arrangements = 0;
    panel->SetSplitHeight(50);
    EXPECT_EQ(dock->Arrangements, 0) << "the height is no share of a top dock's length";
    panel->SetSplitHeight(-5);
    EXPECT_EQ(panel->SplitHeight(), 0);
    panel->SetSplitWidth(200);
    EXPECT_EQ(dock->Arrangements, 1);
    panel->SetMinClientWidth(2);
    EXPECT_EQ(panel->MinClientWidth(), 8);
    panel->SetMinClientWidth(32);
    panel->SetFloatingWidth(3);
    EXPECT_EQ(panel->FloatingWidth(), 3) << "docked: stored as given";
    panel->SetSnapDistance(-4);
    EXPECT_EQ(panel->SnapDistance(), 0);
    panel->SetFloating(true);
    PumpMessages();
    panel->SetFloatingWidth(3);
    EXPECT_EQ(panel->FloatingWidth(), 32);
    EXPECT_EQ(panel->ClientWidth(), 32);
    EXPECT_EQ(panel->ThemeViewKind(), vkDockPanelFloating | vkResizable);
}

TEST_F(DockPanels, CaptionRunsAlongTheDockAndSizesFollowTheState) {
    TThmDockablePanel* bottom = NewPanel(Docks[dpBottom]);
    TThmDockablePanel* left = NewPanel(Docks[dpLeft]);
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    EXPECT_TRUE(bottom->IsVertCaption());
    EXPECT_FALSE(left->IsVertCaption());
    int w = 0, h = 0;
    bottom->GetDockedNCAreaSize(w, h);
    EXPECT_EQ(w, 4 + caption);
    EXPECT_EQ(h, 4);
    RECT window;
    GetWindowRect(bottom->Handle(), &window);
    POINT origin{0, 0};
    ClientToScreen(bottom->Handle(), &origin);
    EXPECT_EQ(origin.x - window.left, 2 + caption);
    EXPECT_EQ(origin.y - window.top, 2);
    // The docked sizes across the dock: 128 by default, the dock as thick as the panel.
    EXPECT_EQ(bottom->ClientHeight(), 128);
    EXPECT_EQ(Docks[dpBottom]->Height(), 128 + 4);
    EXPECT_EQ(left->ClientWidth(), 128);
    left->SetDockedWidth(150);
    EXPECT_EQ(Docks[dpLeft]->Width(), 150 + 4);
    bottom->SetCaptionRotation(dpcrAlwaysHorz);
    EXPECT_FALSE(bottom->IsVertCaption());
    // Floating, the size starts from the docked one.
    left->SetFloating(true);
    PumpMessages();
    EXPECT_EQ(left->FloatingWidth(), 150);
    EXPECT_EQ(left->ClientWidth(), 150);
    EXPECT_FALSE(left->IsVertCaption());
    EXPECT_EQ(Docks[dpLeft]->Width(), 0);
}

TEST_F(DockPanels, MultiDockSharesItsLength) {
    auto* dock = Docks[dpTop];
    TThmDockablePanel* a = NewPanel(dock, 100, 0);
    EXPECT_EQ(a->Width(), dock->ClientWidth()) << "one panel takes the whole length";
    TThmDockablePanel* b = NewPanel(dock, 100, 1);
    TThmDockablePanel* c = NewPanel(dock, 100, 2);
    const int length = dock->ClientWidth();
    EXPECT_EQ(a->Width() + b->Width() + c->Width(), length);
    EXPECT_EQ(b->Left(), a->Width());
    EXPECT_EQ(c->Left(), a->Width() + b->Width());
    EXPECT_EQ(a->Height(), b->Height());
    // A hidden panel keeps its share and takes no length.
    const int bShare = b->SplitWidth();
    b->Hide();
    PumpMessages();
    EXPECT_EQ(b->SplitWidth(), bShare);
    EXPECT_EQ(a->Width() + c->Width(), length);
    // The thickest panel sets the dock's thickness.
    c->SetDockedHeight(200);
    EXPECT_EQ(dock->Height(), 204);
    EXPECT_EQ(a->Height(), 204);
}

TEST_F(DockPanels, MultiDockTakesOnlyPanels) {
    auto* other = new TCustomControl(Form);
    try {
        other->SetParent(Docks[dpTop]);
        FAIL() << "no error";
    } catch (const EInvalidOperation& e) {
        EXPECT_EQ(std::wstring(e.Message()), L"Cannot insert TCustomControl into TThmMultiDock");
    }
    EXPECT_EQ(other->Parent(), nullptr);
    auto* panel = new TThmDockablePanel(Form);
    EXPECT_TRUE(Docks[dpTop]->AcceptsWindow(panel));
    panel->SetSupportedDocks(dkStandardDock);
    EXPECT_FALSE(panel->AcceptsDock(Docks[dpTop]));
}

TEST_F(DockPanels, FrameRecordAndCaption) {
    if (!IsToolbarThemeRegistered(L"FrameRecorder"))
        RegisterToolbarTheme(L"FrameRecorder", [](const std::wstring& name) { return std::make_unique<FrameRecorder>(name); });
    ASSERT_TRUE(SelectTheme(L"FrameRecorder"));
    auto restore = ScopeExit([] { SelectTheme(L"Default"); });
    TThmDockablePanel* panel = NewPanel(Docks[dpLeft]);
    panel->SetCaption(L"お気に入り");
    auto* theme = dynamic_cast<FrameRecorder*>(&ActiveToolbarTheme());
    theme->Frames.clear();
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_FALSE(theme->Frames.empty());
    const TThmDockPanelFrameInfo& f = theme->Frames.back();
    EXPECT_EQ(theme->Captions.back(), L"お気に入り");
    EXPECT_TRUE(f.CaptionHorizontal);
    EXPECT_TRUE(f.CaptionShown);
    EXPECT_EQ(f.CloseButtonState, cbsShown);
    EXPECT_EQ(f.ViewKind, vkDockPanelDocked | vkResizable);
    EXPECT_EQ(f.ClientWidth, panel->ClientWidth());
    EXPECT_EQ(f.EffectiveColor, ActiveToolbarTheme().GetViewFillColor(vkDockPanelDocked | vkResizable));
    EXPECT_EQ(panel->EffectiveColor(), f.EffectiveColor);
    // A frame that cannot be painted is reported, not asked for again and again: the
    // messages run out.
    theme->Fail = true;
    RedrawWindow(panel->Handle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    PumpMessages();
    RECT pending;
    EXPECT_FALSE(GetUpdateRect(panel->Handle(), &pending, FALSE));
}

// --- hit tests and resizing -----------------------------------------------------------------------

TEST_F(DockPanels, HitTestsOfEdgesSplitsCaptionAndCloseButton) {
    auto* top = Docks[dpTop];
    TThmDockablePanel* first = NewPanel(top, 100, 0);
    TThmDockablePanel* middle = NewPanel(top, 100, 1);
    TThmDockablePanel* last = NewPanel(top, 100, 2);
    // The edge away from a top dock resizes; split edges only between two panels.
    EXPECT_EQ(HitAt(middle, 50, -1), HTBOTTOM);
    EXPECT_EQ(HitAt(middle, 0, 50), HTSPLITLEFT);
    EXPECT_EQ(HitAt(middle, -1, 50), HTSPLITRIGHT);
    EXPECT_NE(HitAt(first, 0, 50), HTSPLITLEFT);
    EXPECT_EQ(HitAt(first, -1, 50), HTSPLITRIGHT);
    EXPECT_NE(HitAt(last, -1, 50), HTSPLITRIGHT);
    EXPECT_FALSE(first->HasSplitEdge(sideLeft));
    EXPECT_FALSE(middle->HasSplitEdge(sideTop));
    // The caption runs down the left edge on a top dock: the close button at its foot.
    EXPECT_EQ(HitAt(middle, 5, 20), HTBARDRAG);
    EXPECT_EQ(HitAt(middle, 5, -6), HTBARCLOSE);
    EXPECT_EQ(HitAt(middle, 40, 40), HTCLIENT);
    // Without a resizable frame the edge is the panel's caption or nothing.
    middle->SetResizable(false);
    EXPECT_NE(HitAt(middle, 50, -1), HTBOTTOM);
    // On a left dock, where the resize edge meets the split edge to the panel below, the
    // resize edge wins.
    TThmDockablePanel* upper = NewPanel(Docks[dpLeft], 100, 0);
    NewPanel(Docks[dpLeft], 100, 1);
    EXPECT_EQ(HitAt(upper, -1, -1), HTRIGHT);
    EXPECT_EQ(HitAt(upper, 50, -1), HTSPLITBOTTOM);
    EXPECT_EQ(HitAt(upper, -6, 6), HTBARCLOSE);
}

TEST_F(DockPanels, ConstrainedSizesKeepToTheFormAndTheLimits) {
    TThmDockablePanel* panel = NewPanel(Docks[dpLeft]);
    int nc = 0, ncHeight = 0;
    panel->GetDockedNCAreaSize(nc, ncHeight);
    struct Case {
        int Asked, Expected;
    } cases[] = {
        {nc + 10, nc + 32},                                             // the minimum client width
        {nc + 200, nc + 200},
        {100000, Form->ClientWidth() + panel->Width() - 32},           // room left on the form
    };
    for (const Case& c : cases) {
        int size = c.Asked;
        EXPECT_TRUE(panel->ConstrainDockedSize(false, size));
        EXPECT_EQ(size, c.Expected) << c.Asked;
    }
    panel->SetMaxClientWidth(150);
    int size = nc + 200;
    panel->ConstrainDockedSize(false, size);
    EXPECT_EQ(size, nc + 150);
    std::vector<TThmResizingStage> stages;
    panel->OnDockedResizing = [&](TComponent*, bool, int&, TThmResizingStage stage, bool& allow) {
        stages.push_back(stage);
        allow = stage != rsResizing;
    };
    EXPECT_FALSE(panel->ConstrainDockedSize(false, size));
    EXPECT_TRUE(panel->BeginDockedResizing(false));
    EXPECT_EQ(stages, (std::vector<TThmResizingStage>{rsResizing, rsBeginResizing}));
}

TEST_F(DockPanels, EdgeResizeGrowsByTheMovement) {
    // The left edge of a panel on a right dock: 10 pixels out give 11 more.
    TThmDockablePanel* right = NewPanel(Docks[dpRight]);
    const int rightWidth = right->Width();
    const POINT edge = ScreenOf(right, 0, 60);
    Resize(right, HTLEFT, edge, {{edge.x - 4, edge.y}, {edge.x - 10, edge.y}});
    EXPECT_EQ(right->Width(), rightWidth + 11);
    EXPECT_EQ(right->DockedWidth(), rightWidth + 11 - 4);
    EXPECT_EQ(Docks[dpRight]->Width(), rightWidth + 11);
    EXPECT_FALSE(right->ResizedAtEdge());
    // The right edge of a panel on a left dock: 10 pixels give 10.
    TThmDockablePanel* left = NewPanel(Docks[dpLeft]);
    const int leftWidth = left->Width();
    const POINT leftEdge = ScreenOf(left, -1, 60);
    Resize(left, HTRIGHT, leftEdge, {{leftEdge.x + 10, leftEdge.y}});
    EXPECT_EQ(left->Width(), leftWidth + 10);
    EXPECT_EQ(GetCapture(), nullptr);
}

TEST_F(DockPanels, LineModeAppliesAtEscAndRefusalsKeepTheSize) {
    TThmDockablePanel* panel = NewPanel(Docks[dpBottom]);
    panel->SetSmoothDockedResize(false);
    const int height = panel->Height();
    const POINT edge = ScreenOf(panel, 60, 0);
    // The line moves; the panel keeps its size until the loop ends, Esc ending it alike.
    int heightDuringLoop = -1;
    panel->OnDockedResizing = [&](TComponent*, bool, int&, TThmResizingStage stage, bool&) {
        if (stage == rsResizing) heightDuringLoop = panel->Height();
    };
    Resize(panel, HTTOP, edge, {{edge.x, edge.y - 20}}, WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(heightDuringLoop, height);
    EXPECT_EQ(panel->Height(), height + 21);
    // A handler that refuses every step keeps the start size in live mode.
    panel->SetSmoothDockedResize(true);
    const int start = panel->Height();
    panel->OnDockedResizing = [](TComponent*, bool, int&, TThmResizingStage stage, bool& allow) {
        if (stage == rsResizing) allow = false;
    };
    const POINT top = ScreenOf(panel, 60, 0);
    Resize(panel, HTTOP, top, {{top.x, top.y - 15}, {top.x, top.y - 30}});
    EXPECT_EQ(panel->Height(), start);
    // A refused end takes a live resize back.
    panel->OnDockedResizing = [](TComponent*, bool, int&, TThmResizingStage stage, bool& allow) {
        if (stage == rsEndResizing) allow = false;
    };
    Resize(panel, HTTOP, top, {{top.x, top.y - 15}});
    EXPECT_EQ(panel->Height(), start);
}

TEST_F(DockPanels, SplitDragStopsAtTheNeighboursLimits) {
    auto* dock = Docks[dpTop];
    TThmDockablePanel* a = NewPanel(dock, 200, 0);
    TThmDockablePanel* b = NewPanel(dock, 200, 1);
    TThmDockablePanel* c = NewPanel(dock, 200, 2);
    const int length = dock->ClientWidth();
    int nc = 0, ncHeight = 0;
    b->GetDockedNCAreaSize(nc, ncHeight);
    const int aStart = a->Width();
    const POINT splitter = ScreenOf(a, -1, 50);
    Resize(a, HTSPLITRIGHT, splitter, {{splitter.x + 30, splitter.y}});
    EXPECT_EQ(a->Width(), aStart + 30);
    EXPECT_EQ(a->SplitWidth(), aStart + 30);
    EXPECT_EQ(a->Width() + b->Width() + c->Width(), length);
    // Far further than both neighbours can give: they stop at their minimum.
    const POINT again = ScreenOf(a, -1, 50);
    Resize(a, HTSPLITRIGHT, again, {{again.x + 2000, again.y}});
    EXPECT_EQ(b->Width(), 32 + nc);
    EXPECT_EQ(c->Width(), 32 + nc);
    EXPECT_EQ(a->Width(), length - 2 * (32 + nc));
    EXPECT_FALSE(a->SplitResizing());
}

// --- floating -------------------------------------------------------------------------------------

TEST(ThemedFloating, SnapTable) {
    const RECT work{0, 0, 1000, 700};
    struct Case {
        const char* Name;
        RECT Bounds;
        int Distance;
        RECT Expected;
    } cases[] = {
        {"near the right edge", {880, 100, 995, 200}, 10, {885, 100, 1000, 200}},
        {"just too far", {875, 100, 990, 200}, 10, {875, 100, 990, 200}},
        {"into the top left corner", {5, 3, 105, 103}, 10, {0, 0, 100, 100}},
        {"past the bottom edge", {300, 604, 400, 704}, 10, {300, 600, 400, 700}},
        {"the left edge wins over the right", {-5, 0, 1003, 50}, 10, {0, 0, 1008, 50}},
        {"no distance", {5, 3, 105, 103}, 0, {5, 3, 105, 103}},
    };
    for (const Case& c : cases) {
        const RECT r = SnapToWorkArea(c.Bounds, work, c.Distance);
        EXPECT_TRUE(EqualRect(&r, &c.Expected)) << c.Name << ": " << r.left << "," << r.top << "," << r.right << ","
                                                << r.bottom;
    }
}

TEST_F(DockPanels, FloatingPanelSnapsWhenMovedButNotWhenResized) {
    TThmDockablePanel* panel = NewPanel(Docks[dpLeft]);
    panel->SetSnapDistance(20);
    panel->SetFloating(true);
    PumpMessages();
    auto* host = dynamic_cast<TThmFloatingWindowParent*>(panel->FloatingParent());
    ASSERT_NE(host, nullptr);
    EXPECT_EQ(host->SnapDistance(), 20);
    const RECT work = GetMonitorRectFromRect(host->BoundsRect(), true);
    const int width = host->Width(), height = host->Height();
    host->SetBounds(work.right - width - 8, work.top + 100, width, height);
    EXPECT_EQ(host->Left() + host->Width(), work.right);
    // Resizing towards the edge keeps the left edge where it is.
    const int left = host->Left() - 100;
    host->SetBounds(left, host->Top(), width, height);
    host->SetBounds(left, host->Top(), work.right - left - 8, height);
    EXPECT_EQ(host->Left(), left);
    EXPECT_EQ(host->Left() + host->Width(), work.right - 8);
}
