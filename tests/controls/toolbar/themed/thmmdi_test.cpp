// The controls of a maximised MDI child on the menu bar: when they show, what they paint, and
// what their commands do to the child.
#include "controls/toolbar/themed/thmmdi.h"

#include "classlib/application.h"
#include "classlib/form.h"
#include "common/test_support.h"
#include "controls/toolbar/tbinputscript.h"
#include "controls/toolbar/themed/thmdefault.h"
#include "controls/toolbar/themed/thmdock.h"
#include "controls/toolbar/themed/thmtoolbar.h"
#include "thmtesttheme.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace themed;
using namespace toolbar;
using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

struct CaptionButton {
    int Kind;
    TThmItemInfo Info;
};

class MDITheme : public TThmDefaultTheme {
public:
    using TThmDefaultTheme::TThmDefaultTheme;
    std::vector<CaptionButton> Buttons;
    void PaintMDICaptionButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, int kind) override {
        Buttons.push_back({kind, item});
        TThmDefaultTheme::PaintMDICaptionButton(canvas, rect, item, kind);
    }
};

class MDIButtons : public ::testing::Test {
protected:
    void SetUp() override {
        Theme = SelectTestTheme<MDITheme>(L"MDIRecorder");
        ASSERT_NE(Theme, nullptr);
        Frame = new TForm(nullptr);
        Frame->SetFormStyle(fsMDIForm);
        Frame->SetPosition(poDesigned);
        Frame->SetBounds(60, 60, 700, 480);
        Application->SetMainForm(Frame);
        auto* dock = new TThmDock(Frame);
        dock->SetParent(Frame);
        Bar = new TThmToolbar(Frame);
        Bar->SetHideWhenInactive(false);
        Bar->SetMenuBar(true);
        for (const wchar_t* caption : {L"ファイル(&F)", L"編集(&E)"}) {
            auto* item = new TThmCustomItem(Bar);
            item->SetCaption(caption);
            item->SetItemStyle(item->ItemStyle() | tbstSubmenu);
            Bar->Items()->Add(item);
        }
        Bar->SetCurrentDock(dock);
        Handler = new TThmMDIHandler(Frame);
        Handler->SetToolbar(Bar);
        Frame->Show();
        PumpMessages();
    }
    void TearDown() override {
        Application->SetMainForm(nullptr);
        delete Frame;
        PumpMessages();
        SelectTheme(L"Default");
    }
    TForm* NewChild() {
        auto* child = new TForm(Frame);
        child->SetFormStyle(fsMDIChild);
        child->SetText(L"子ウィンドウ");
        child->Show();
        PumpMessages();
        return child;
    }
    TBarItemViewer* ViewerOf(TBarCustomItem* item) { return Bar->View()->ViewerOfItem(item); }
    // The system-menu item and the three buttons are shown (all or none).
    bool Shown() {
        Bar->View()->EnsurePositionsValid();
        TThmMDIButtonsItem* b = Handler->ButtonsItem();
        int shown = 0;
        for (TBarCustomItem* item : {static_cast<TBarCustomItem*>(Handler->SystemMenuItem()),
                                     static_cast<TBarCustomItem*>(b->MinimizeButton()),
                                     static_cast<TBarCustomItem*>(b->RestoreButton()),
                                     static_cast<TBarCustomItem*>(b->CloseButton())})
            if (ViewerOf(item)->Show) ++shown;
        EXPECT_TRUE(shown == 0 || shown == 4) << shown << " of the four are shown";
        return shown == 4;
    }

    MDITheme* Theme = nullptr;
    TForm* Frame = nullptr;
    TThmToolbar* Bar = nullptr;
    TThmMDIHandler* Handler = nullptr;
};

}  // namespace

TEST_F(MDIButtons, ShownExactlyWhileAChildIsMaximised) {
    EXPECT_FALSE(Shown());
    TForm* child = NewChild();
    EXPECT_FALSE(Shown());
    struct Step {
        const char* Name;
        int Command;
        bool Shown;
    } steps[] = {
        {"maximised", SW_SHOWMAXIMIZED, true},
        {"restored", SW_RESTORE, false},
        {"maximised again", SW_SHOWMAXIMIZED, true},
        {"minimised", SW_MINIMIZE, false},
        {"restored from minimised: maximised as before", SW_RESTORE, true},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.Name);
        ShowWindow(child->Handle(), s.Command);
        PumpMessages();
        EXPECT_EQ(Shown(), s.Shown);
    }
    // Maximised: the icon at the start of the bar, the buttons at its far end in their order.
    TThmMDIButtonsItem* b = Handler->ButtonsItem();
    const RECT icon = ViewerOf(Handler->SystemMenuItem())->BoundsRect;
    const RECT min = ViewerOf(b->MinimizeButton())->BoundsRect, restore = ViewerOf(b->RestoreButton())->BoundsRect,
               close = ViewerOf(b->CloseButton())->BoundsRect;
    EXPECT_LT(icon.right, ViewerOf(Bar->Items()->GetItem(0))->BoundsRect.left + 1);
    EXPECT_LT(min.right, restore.left + 1);
    EXPECT_LT(restore.right, close.left);
    EXPECT_GT(close.right, Bar->ClientWidth() - 12);
    EXPECT_TRUE(b->MinimizeButton()->Enabled());

    // The theme paints the buttons as caption buttons of a toolbar: minimise, restore, close.
    Theme->Buttons.clear();
    RedrawWindow(Bar->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_EQ(Theme->Buttons.size(), 3u);
    EXPECT_EQ(Theme->Buttons[0].Kind, 1);
    EXPECT_EQ(Theme->Buttons[1].Kind, 3);
    EXPECT_EQ(Theme->Buttons[2].Kind, 0);
    EXPECT_EQ(Theme->Buttons[0].Info.ViewKind, vkToolbarBar);
    EXPECT_EQ(Theme->Buttons[0].Info.ItemFlags, ifToolbarStyle);
    EXPECT_TRUE(Theme->Buttons[0].Info.Enabled);

    // Closing the maximised child takes them away.
    delete child;
    PumpMessages();
    EXPECT_FALSE(Shown());
}

TEST_F(MDIButtons, MinimiseButtonIsDisabledWithoutAMinimiseBox) {
    TForm* child = NewChild();
    // (The MDI client gives its children a minimise box of its own accord.)
    const LONG_PTR style = GetWindowLongPtrW(child->Handle(), GWL_STYLE);
    SetWindowLongPtrW(child->Handle(), GWL_STYLE, style & ~static_cast<LONG_PTR>(WS_MINIMIZEBOX));
    ShowWindow(child->Handle(), SW_SHOWMAXIMIZED);
    PumpMessages();
    ASSERT_TRUE(Shown());
    TThmMDIButtonsItem* b = Handler->ButtonsItem();
    EXPECT_FALSE(b->MinimizeButton()->Enabled());
    EXPECT_TRUE(b->RestoreButton()->Enabled());
    EXPECT_TRUE(b->CloseButton()->Enabled());
}

TEST_F(MDIButtons, ButtonsReachTheChildByMouseButNotByKeys) {
    TForm* child = NewChild();
    ShowWindow(child->Handle(), SW_SHOWMAXIMIZED);
    PumpMessages();
    ASSERT_TRUE(Shown());
    TThmMDIButtonsItem* b = Handler->ButtonsItem();
    // The keyboard never stops on a button.
    TBarView* view = Bar->View();
    TBarItemViewer* v = nullptr;
    for (int i = 0; i < view->ViewerCount(); ++i) {
        v = view->NextSelectableViewer(v, true);
        ASSERT_NE(v, nullptr);
        EXPECT_EQ(dynamic_cast<TThmMDIButtonItemViewer*>(v), nullptr);
    }
    // A click on the minimise button minimises the child, one on the restore button (after
    // restoring it maximised) restores it.
    b->MinimizeButton()->Click();
    EXPECT_TRUE(IsIconic(child->Handle()));
    EXPECT_FALSE(Shown());
    ShowWindow(child->Handle(), SW_RESTORE);
    PumpMessages();
    ASSERT_TRUE(Shown());
    // Pressed and released with the mouse.
    const RECT r = ViewerOf(b->RestoreButton())->BoundsRect;
    POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    POINT screen = centre;
    ClientToScreen(Bar->Handle(), &screen);
    InputScript script(Bar->Handle());
    script.MoveTo(screen).Release();
    script.Start();
    SetCursorPos(screen.x, screen.y);
    SendMessageW(Bar->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(centre.x, centre.y));
    ASSERT_TRUE(PumpUntil([&] { return !IsZoomed(child->Handle()); }));
    EXPECT_FALSE(Shown());
}

TEST_F(MDIButtons, SystemMenuMirrorsTheChildsMenuInUTF16) {
    TForm* child = NewChild();
    // An entry in a script the system code page cannot hold.
    constexpr UINT kOwnCommand = 0x0110;
    HMENU system = GetSystemMenu(child->Handle(), FALSE);
    ASSERT_NE(system, nullptr);
    AppendMenuW(system, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(system, MF_STRING, kOwnCommand, L"한국어 항목");
    AppendMenuW(system, MF_STRING | MF_GRAYED, kOwnCommand + 0x10, L"灰色");
    ShowWindow(child->Handle(), SW_SHOWMAXIMIZED);
    PumpMessages();
    TThmMDISystemMenuItem* item = Handler->SystemMenuItem();
    EXPECT_EQ(item->Caption(), L"&-");
    item->Click();  // as opening its sub-menu does
    ASSERT_EQ(item->Count(), GetMenuItemCount(system));
    const auto find = [&](UINT command) -> TBarCustomItem* {
        for (int i = 0; i < item->Count(); ++i)
            if ((static_cast<UINT>(item->GetItem(i)->Tag()) & 0xFFF0) == command) return item->GetItem(i);
        return nullptr;
    };
    int separators = 0;
    for (int i = 0; i < item->Count(); ++i)
        if (dynamic_cast<TThmSeparatorItem*>(item->GetItem(i))) ++separators;
    EXPECT_GE(separators, 1);
    TBarCustomItem* own = find(kOwnCommand);
    ASSERT_NE(own, nullptr);
    EXPECT_EQ(own->Caption(), L"한국어 항목");
    EXPECT_EQ(own->ImageIndex(), -1);
    EXPECT_TRUE(own->Enabled());
    ASSERT_NE(find(kOwnCommand + 0x10), nullptr);
    EXPECT_FALSE(find(kOwnCommand + 0x10)->Enabled()) << "a greyed entry is disabled";
    TBarCustomItem* close = find(SC_CLOSE);
    ASSERT_NE(close, nullptr);
    EXPECT_EQ(close->ImageIndex(), 0);
    EXPECT_TRUE(close->Options() & tboDefault) << "the close entry is drawn bold";
    TBarCustomItem* maximize = find(SC_MAXIMIZE);
    ASSERT_NE(maximize, nullptr);
    EXPECT_EQ(maximize->ImageIndex(), 1);
    TBarCustomItem* restore = find(SC_RESTORE);
    ASSERT_NE(restore, nullptr);
    EXPECT_EQ(restore->ImageIndex(), 3);
    EXPECT_TRUE(restore->Enabled());
    EXPECT_EQ(find(SC_MINIMIZE)->ImageIndex(), 2);
    // An entry sends its command to the child.
    restore->Click();
    PumpMessages();
    EXPECT_FALSE(IsZoomed(child->Handle()));
    EXPECT_FALSE(Shown());
}

TEST_F(MDIButtons, HandlerAttachesToOneToolbarAtATime) {
    TBarView* view = Bar->View();
    EXPECT_EQ(view->LeadingSpecialCount(), 1);
    EXPECT_EQ(view->Viewers(0)->Item(), Handler->SystemMenuItem());
    auto* other = new TThmToolbar(Frame);
    Handler->SetToolbar(other);
    EXPECT_EQ(Bar->MDIButtonsItem, nullptr);
    EXPECT_EQ(Bar->MDISystemMenuItem, nullptr);
    EXPECT_EQ(view->LeadingSpecialCount(), 0);
    EXPECT_EQ(other->MDIButtonsItem, Handler->ButtonsItem());
    // A toolbar freed first leaves the handler without one; a handler freed first detaches.
    delete other;
    EXPECT_EQ(Handler->Toolbar(), nullptr);
    Handler->SetToolbar(Bar);
    delete Handler;
    EXPECT_EQ(Bar->MDIButtonsItem, nullptr);
    EXPECT_EQ(view->LeadingSpecialCount(), 0);
}
