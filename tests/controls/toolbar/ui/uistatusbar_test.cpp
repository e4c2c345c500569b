// The status bar (size grip, right-align margin, dividers) and the title bar (frame, caption
// buttons, resizing zones).
#include "controls/toolbar/ui/uistatusbar.h"

#include "classlib/gdiguards.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uitestbars.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uititlebar.h"
#include "controls/toolbar/ui/uiwindows.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <vector>

using namespace ui;
using namespace classlib;
using namespace toolbar;
using testsupport::MemoryDib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

class UiStatusBars : public uitest::UiBarTest {
protected:
    TUiStatusBar* NewStatusBar() {
        auto* bar = new TUiStatusBar(Form);
        bar->SetParent(Form);
        auto* label = new TUiLabelItem(bar->Toolbar());
        label->SetCaption(L"準備完了");
        bar->Items()->Add(label);
        PumpMessages();
        return bar;
    }
    static bool Empty(const RECT& r) { return IsRectEmpty(&r) != 0; }
};

// Keeps the WM_SYSCOMMAND codes a form gets and swallows them.
struct SysCommands {
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR, DWORD_PTR self) {
        if (msg == WM_SYSCOMMAND) {
            reinterpret_cast<SysCommands*>(self)->Codes.push_back(wp);
            return 0;
        }
        return DefSubclassProc(wnd, msg, wp, lp);
    }
    std::vector<WPARAM> Codes;
};

}  // namespace

TEST_F(UiStatusBars, GripRules) {
    TUiStatusBar* bar = NewStatusBar();
    TUiStatusToolbar* toolbar = bar->StatusToolbar();
    EXPECT_EQ(bar->Height(), bar->Dock()->Height());
    bar->SetHeight(80);
    EXPECT_EQ(bar->Height(), bar->Dock()->Height()) << "a status bar is as high as its dock";

    const RECT grip = toolbar->GripRect();
    const int dockWidth = bar->Dock()->ClientWidth();
    EXPECT_EQ(grip.right, dockWidth);
    EXPECT_EQ(grip.right - grip.left, GetSystemMetrics(SM_CXVSCROLL));
    EXPECT_EQ(grip.bottom, bar->Dock()->ClientHeight());
    EXPECT_EQ(toolbar->GetRightAlignMargin(), GetSystemMetrics(SM_CXVSCROLL));

    struct Case {
        const char* Name;
        std::function<void()> Set, Reset;
    } cases[] = {
        {"without SizeGrip", [&] { bar->SetSizeGrip(false); }, [&] { bar->SetSizeGrip(true); }},
        {"maximized", [&] { Form->SetWindowState(wsMaximized); }, [&] { Form->SetWindowState(wsNormal); }},
        {"a fixed border", [&] { Form->SetBorderStyle(bsSingle); }, [&] { Form->SetBorderStyle(bsSizeable); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        c.Set();
        PumpMessages();
        EXPECT_TRUE(Empty(toolbar->GripRect()));
        EXPECT_EQ(toolbar->GetRightAlignMargin(), 4) << "the right-aligned items keep 4 pixels free";
        c.Reset();
        PumpMessages();
        EXPECT_FALSE(Empty(toolbar->GripRect()));
    }
}

TEST_F(UiStatusBars, PressOnTheGripSizesTheForm) {
    TUiStatusBar* bar = NewStatusBar();
    TUiStatusToolbar* toolbar = bar->StatusToolbar();
    SysCommands commands;
    SetWindowSubclass(Form->Handle(), SysCommands::Proc, 1, reinterpret_cast<DWORD_PTR>(&commands));
    const RECT grip = toolbar->GripRect();
    const POINT inGrip = toolbar->ScreenToClient(
        bar->Dock()->ClientToScreen(POINT{(grip.left + grip.right) / 2, (grip.top + grip.bottom) / 2}));
    PostMessageW(toolbar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(inGrip.x, inGrip.y));
    PostMessageW(toolbar->Handle(), WM_LBUTTONUP, 0, MAKELPARAM(inGrip.x, inGrip.y));
    PumpMessages();
    RemoveWindowSubclass(Form->Handle(), SysCommands::Proc, 1);
    EXPECT_EQ(commands.Codes, std::vector<WPARAM>{SC_SIZE + 8});
}

TEST_F(UiStatusBars, OfficeStyleDrawsItsOwnDividers) {
    TUiStatusBar* bar = NewStatusBar();
    auto* separator = new TUiSeparatorItem(bar->Toolbar());
    bar->Items()->Add(separator);
    auto* more = new TUiLabelItem(bar->Toolbar());
    more->SetCaption(L"右");
    bar->Items()->Add(more);
    PumpMessages();
    EXPECT_FALSE(bar->StatusToolbar()->DrawsOwnSeparators());
    ASSERT_NE(uitest::SelectFaceTheme(L"OfficeXP"), nullptr);
    PumpMessages();
    EXPECT_TRUE(bar->StatusToolbar()->OfficeStyle());
    EXPECT_TRUE(bar->StatusToolbar()->DrawsOwnSeparators());

    const RECT s = Bounds(bar->Toolbar()->View(), separator);
    const int middle = (s.left + s.right) / 2;
    const COLORREF light = GetSysColor(COLOR_WINDOW), face = GetSysColor(COLOR_BTNFACE);
    MemoryDib dib(s.right + 10, 20, RGB(1, 2, 3));
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dib.DC);
    canvas.Brush().SetColor(clBtnFace);
    bar->PaintSeparators(canvas, RECT{0, 0, dib.Width, 20});
    for (int y : {0, 10, 19}) {
        EXPECT_EQ(dib.Pixel(middle - 2, y), light);
        EXPECT_EQ(dib.Pixel(middle - 1, y), face);
        EXPECT_EQ(dib.Pixel(middle, y), face);
        EXPECT_EQ(dib.Pixel(middle + 1, y), light);
        EXPECT_EQ(dib.Pixel(middle + 2, y), RGB(1, 2, 3));
    }
    // The separator item itself paints nothing there; a blank one gets no divider.
    separator->SetBlank(true);
    dib.Fill(RGB(1, 2, 3));
    bar->PaintSeparators(canvas, RECT{0, 0, dib.Width, 20});
    EXPECT_EQ(dib.Count(RGB(1, 2, 3)), dib.Width * dib.Height);
}

// --- title bar ----------------------------------------------------------------------------------

TEST_F(UiStatusBars, TitleBarTakesTheFrameAndGivesItBack) {
    const RECT before = Form->BoundsRect();
    auto* title = new TUiTitleBar(Form);
    title->SetParent(Form);
    PumpMessages();
    EXPECT_EQ(Form->BorderStyle(), bsNone);
    EXPECT_LT(Form->Height(), before.bottom - before.top);
    title->SetActive(false);
    PumpMessages();
    EXPECT_EQ(Form->BorderStyle(), bsSizeable);
    const RECT after = Form->BoundsRect();
    EXPECT_TRUE(EqualRect(&before, &after)) << "the outer size is as before";
    title->SetActive(true);
    title->SetActive(false);
    const RECT again = Form->BoundsRect();
    EXPECT_TRUE(EqualRect(&before, &again));
}

TEST_F(UiStatusBars, TitleBarButtonsAndZones) {
    auto* title = new TUiTitleBar(Form);
    title->SetParent(Form);
    PumpMessages();
    TUiTitleBarButtonOptions& options = title->Options();
    // Order: system menu, caption, minimize, maximize, close.
    TBarRootItem* items = title->Items();
    ASSERT_EQ(items->Count(), 5);
    EXPECT_EQ(items->GetItem(0), options.SystemMenuItem());
    EXPECT_EQ(items->GetItem(1), options.CaptionItem());
    EXPECT_EQ(items->GetItem(2), options.MinimizeItem());
    EXPECT_EQ(items->GetItem(3), options.MaximizeItem());
    EXPECT_EQ(items->GetItem(4), options.CloseItem());

    options.SetCloseImageIndex(-7);
    EXPECT_EQ(options.CloseImageIndex(), -1);
    EXPECT_EQ(options.CloseItem()->Images(), &UiGlyphImages());
    EXPECT_EQ(options.CloseItem()->ImageIndex(), ugClose);
    options.SetCloseImageIndex(3);
    EXPECT_EQ(options.CloseItem()->Images(), nullptr) << "the toolbar's images apply";
    EXPECT_EQ(options.CloseItem()->ImageIndex(), 3);
    EXPECT_EQ(options.MaximizeItem()->ImageIndex(), ugMaximize);
    options.SetClose(false);
    options.SetMaximize(false);
    options.SetMinimize(false);
    options.SetCaption(false);
    EXPECT_FALSE(options.CaptionItem()->Visible());
    options.SetCaption(true);
    EXPECT_TRUE(options.CaptionItem()->Visible());

    const int w = title->ClientWidth(), h = title->ClientHeight();
    struct Zone {
        POINT At;
        int Command;
    } zones[] = {
        {{2, 2}, SC_SIZE + 4},     {{w - 2, 2}, SC_SIZE + 5},     {{2, h - 2}, SC_SIZE + 7},
        {{w - 2, h - 2}, SC_SIZE + 8}, {{w / 2, 1}, SC_SIZE + 3}, {{w / 2, h - 1}, SC_SIZE + 6},
        {{1, h / 2}, SC_SIZE + 1}, {{w - 1, h / 2}, SC_SIZE + 2}, {{w / 2, h / 2}, 0},
    };
    for (const Zone& z : zones) {
        LPCWSTR cursor = nullptr;
        EXPECT_EQ(title->HitTest(z.At, cursor), z.Command) << z.At.x << "," << z.At.y;
    }
}
