#include "controls/toolbar/tbviewer.h"

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "classlib/menus.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbview.h"

#include "common/test_support.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

using namespace toolbar;
using namespace classlib;

namespace {

// A toolbar (or popup) level with its view on a window that never needs a handle.
struct Level {
    explicit Level(bool toolbar, TBarViewOrientation orientation = tbvoHorizontal) {
        Bar.SetBounds(0, 0, 300, 40);
        View = std::make_unique<TBarView>(nullptr, nullptr, &Root, &Bar, toolbar, false, true);
        View->SetOrientation(orientation);
    }
    ~Level() { View.reset(); }
    template <class T = TBarCustomItem>
    T* Add(const std::wstring& caption = L"") {
        auto* item = new T(&Root);
        item->SetCaption(caption);
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
    // Text metrics of the view's font.
    int TextWidth(const std::wstring& text) {
        TWindowDC screen(nullptr);
        TSelectedObject font(screen.Handle(), View->QueryFont().Handle());
        return MeasureTextWidth(screen.Handle(), text, true);
    }
    TEXTMETRICW Metrics() {
        TWindowDC screen(nullptr);
        TSelectedObject font(screen.Handle(), View->QueryFont().Handle());
        TEXTMETRICW tm{};
        GetTextMetricsW(screen.Handle(), &tm);
        return tm;
    }

    TBarRootItem Root{nullptr};
    TCustomControl Bar{nullptr};
    TImageList Images{nullptr, 16, 16};
    std::unique_ptr<TBarView> View;
};

}  // namespace

TEST(ItemViewer, ToolbarSizes) {
    Level bar(true);
    auto* image = bar.Add();
    image->SetImages(&bar.Images);
    image->SetImageIndex(0);
    auto* text = bar.Add(L"&Abc");
    auto* split = bar.Add();
    split->SetImages(&bar.Images);
    split->SetImageIndex(0);
    split->SetItemStyle(split->ItemStyle() | tbstSubmenu | tbstSplitButton);
    auto* drop = bar.Add(L"Go");
    drop->SetItemStyle(drop->ItemStyle() | tbstSubmenu);
    drop->SetOptions(tboDropdownArrow);
    auto* separator = bar.Add<TBarSeparatorItem>();

    const int th = bar.Metrics().tmHeight;
    const struct {
        TBarCustomItem* Item;
        SIZE Size;
    } cases[] = {
        {image, {16 + 6 + 1, 16 + 6}},  // no caption shown: the image and the frame
        {text, {6 + bar.TextWidth(L"&Abc") + 6, 6 + th}},
        {split, {23 + SplitArrowWidth, 22}},
        {drop, {6 + bar.TextWidth(L"Go") + 6 + 8, 6 + th}},
        {separator, {6, 6}},
    };
    for (const auto& c : cases) {
        const SIZE s = bar.Measure(c.Item);
        EXPECT_EQ(s.cx, c.Size.cx) << testsupport::Narrow(c.Item->Caption());
        EXPECT_EQ(s.cy, c.Size.cy) << testsupport::Narrow(c.Item->Caption());
    }
}

TEST(ItemViewer, VerticalToolbarsRotateAndPutArrowsBelow) {
    Level bar(true, tbvoVertical);
    auto* drop = bar.Add();
    drop->SetImages(&bar.Images);
    drop->SetImageIndex(0);
    drop->SetItemStyle(drop->ItemStyle() | tbstSubmenu);
    drop->SetOptions(tboDropdownArrow);
    EXPECT_TRUE(bar.ViewerOf(drop)->DrawsRotated());
    const SIZE s = bar.Measure(drop);
    EXPECT_EQ(s.cx, 23);
    EXPECT_EQ(s.cy, 6 + 16 + 8);
    drop->SetOptions(tboDropdownArrow | tboNoRotation);
    EXPECT_FALSE(bar.ViewerOf(drop)->DrawsRotated());
}

TEST(ItemViewer, MenuSizes) {
    Level menu(false);
    auto* open = menu.Add(L"&Open");
    open->SetShortCut(ShortCut('O', ssCtrl));
    auto* plain = menu.Add(L"Plain");
    auto* separator = menu.Add<TBarSeparatorItem>();
    const TEXTMETRICW tm = menu.Metrics();
    const int h = tm.tmHeight + tm.tmExternalLeading + 4;
    const std::wstring shortcut = open->GetShortCutText();
    ASSERT_FALSE(shortcut.empty());

    SIZE s = menu.Measure(open);
    EXPECT_EQ(s.cy, h);
    EXPECT_EQ(s.cx, menu.TextWidth(L"&Open") + h + 6 + menu.TextWidth(shortcut) + h - 6 + h);
    s = menu.Measure(plain);
    EXPECT_EQ(s.cx, menu.TextWidth(L"Plain") + h + 6 + h);
    s = menu.Measure(separator);
    EXPECT_EQ(s.cx, 0);
    EXPECT_EQ(s.cy, DivideRoundingAway(2 * tm.tmHeight, 3));

    // Images widen the image column in proportion to the row.
    menu.Root.SetSubMenuImages(&menu.Images);
    const int rowWithImages = std::max(h, 16 + 3);
    s = menu.Measure(plain);
    EXPECT_EQ(s.cy, rowWithImages);
    EXPECT_EQ(s.cx, menu.TextWidth(L"Plain") + MulDiv(19, rowWithImages, 19) + 6 + rowWithImages);
}

TEST(ItemViewer, ASeparatorIn13PixelTextAddsNine) {
    Level menu(false);
    menu.Bar.Font().SetHeight(13);  // a cell 13 px high
    auto* separator = menu.Add<TBarSeparatorItem>();
    ASSERT_EQ(menu.Metrics().tmHeight, 13);
    EXPECT_EQ(menu.Measure(separator).cy, 9);
}

TEST(ItemViewer, ButtonPartOfSplitAndSubmenuItems) {
    Level bar(true), menu(false);
    auto* split = bar.Add(L"S");
    split->SetItemStyle(split->ItemStyle() | tbstSubmenu | tbstSplitButton);
    auto* sub = bar.Add(L"M");
    sub->SetItemStyle(sub->ItemStyle() | tbstSubmenu);
    auto* plain = bar.Add(L"P");
    auto* menuSplit = menu.Add(L"S");
    menuSplit->SetItemStyle(menuSplit->ItemStyle() | tbstSubmenu | tbstSplitButton);
    for (TBarItemViewer* v : {bar.ViewerOf(split), bar.ViewerOf(sub), bar.ViewerOf(plain), menu.ViewerOf(menuSplit)})
        v->BoundsRect = {100, 0, 140, 22};  // 40 wide
    const int check = GetSystemMetrics(SM_CXMENUCHECK);
    const struct {
        TBarItemViewer* Viewer;
        int X;
        bool Button;
    } cases[] = {
        {bar.ViewerOf(split), 0, true},         {bar.ViewerOf(split), 28, true},
        {bar.ViewerOf(split), 29, false},       {bar.ViewerOf(split), 39, false},
        {bar.ViewerOf(sub), 5, false},          {bar.ViewerOf(plain), 5, true},
        {menu.ViewerOf(menuSplit), 39 - check, true}, {menu.ViewerOf(menuSplit), 40 - check, false},
    };
    for (const auto& c : cases) EXPECT_EQ(c.Viewer->PointInButtonPart(c.X, 5), c.Button) << c.X;
}

TEST(ItemViewer, CaptionImageAndRole) {
    Level bar(true), menu(false);
    auto* above = bar.Add();
    above->SetOptions(tboImageAboveCaption);
    auto* imageOnly = bar.Add(L"Img");
    imageOnly->SetImageIndex(0);
    auto* both = bar.Add(L"Both");
    both->SetImageIndex(0);
    both->SetDisplayMode(nbdmImageAndText);
    auto* textOnly = bar.Add(L"Text");
    textOnly->SetImageIndex(0);
    textOnly->SetDisplayMode(nbdmTextOnly);
    auto* sub = bar.Add(L"Sub");
    sub->SetItemStyle(sub->ItemStyle() | tbstSubmenu);
    auto* separator = bar.Add<TBarSeparatorItem>();
    auto* menuItem = menu.Add(L"Item\tCtrl+Q");
    const struct {
        TBarItemViewer* Viewer;
        bool Caption, Image;
        int Role;
    } cases[] = {
        {bar.ViewerOf(above), true, false, RolePushButton},  // the image-above option shows it empty
        {bar.ViewerOf(imageOnly), false, true, RolePushButton},
        {bar.ViewerOf(both), true, true, RolePushButton},
        {bar.ViewerOf(textOnly), true, false, RolePushButton},
        {bar.ViewerOf(sub), true, false, RoleButtonMenu},
        {bar.ViewerOf(separator), false, false, RoleSeparator},
        {menu.ViewerOf(menuItem), true, false, RoleMenuItem},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.Viewer->ShowsCaption(), c.Caption) << testsupport::Narrow(c.Viewer->Item()->Caption());
        EXPECT_EQ(c.Viewer->ShowsImage(), c.Image) << testsupport::Narrow(c.Viewer->Item()->Caption());
        EXPECT_EQ(c.Viewer->GetAccessibleRole(), c.Role) << testsupport::Narrow(c.Viewer->Item()->Caption());
    }
    EXPECT_EQ(menu.ViewerOf(menuItem)->GetCaptionText(), L"Item");
    auto* control = new TBarControlItem(&bar.Root, new TCustomControl(nullptr));
    bar.Root.Add(control);
    EXPECT_EQ(bar.ViewerOf(control)->GetAccessibleRole(), RoleClient);
}

TEST(ItemViewer, HintsFromHintCaptionAndShortCut) {
    Level bar(true);
    const bool savedShortCuts = Application->HintShortCuts;
    const struct {
        const wchar_t* Hint;
        const wchar_t* Caption;
        TShortCut Key;
        TBarItemStyle Style;
        TBarItemOptions Options;
        bool ShortCuts;
        const wchar_t* Result;
    } cases[] = {
        {L"Save file|Saves the file", L"&Save", 0, 0, 0, true, L"Save file"},
        {L"Save|Long", L"&Save", ShortCut('S', ssCtrl), 0, 0, true, L"Save (Ctrl+S)"},
        {L"Save|Long", L"&Save", ShortCut('S', ssCtrl), 0, 0, false, L"Save"},
        {L"", L"&Open...", 0, 0, 0, true, L"Open"},
        {L"", L"Name:", 0, 0, 0, true, L"Name"},
        {L"", L"&Open...", 0, 0, tboNoAutoHint, true, L""},
        {L"", L"&File", 0, tbstSubmenu, 0, true, L""},               // a menu that shows its caption
        {L"", L"&Back", 0, tbstSubmenu | tbstSplitButton, 0, true, L"Back"},
    };
    for (const auto& c : cases) {
        auto* item = bar.Add(c.Caption);
        item->SetHint(c.Hint);
        item->SetShortCut(c.Key);
        item->SetItemStyle(item->ItemStyle() | c.Style);
        item->SetOptions(c.Options);
        Application->HintShortCuts = c.ShortCuts;
        std::wstring expected = c.Result;
        if (c.Key && c.ShortCuts) expected = L"Save (" + item->GetShortCutText() + L")";
        EXPECT_EQ(bar.ViewerOf(item)->BuildHint(), expected) << testsupport::Narrow(c.Caption);
    }

    // The item's action may reword the hint (the shortcut still follows) or refuse it.
    Application->HintShortCuts = true;
    TAction action(nullptr);
    action.SetCaption(L"&Copy");
    action.SetShortCut(ShortCut('C', ssCtrl));
    auto* linked = bar.Add();
    linked->SetAction(&action);
    std::wstring heard;
    action.OnHint = [&](std::wstring& hint, bool&) {
        heard = hint;
        hint = L"Copy the key";
    };
    EXPECT_EQ(bar.ViewerOf(linked)->BuildHint(), L"Copy the key (" + linked->GetShortCutText() + L")");
    EXPECT_EQ(heard, L"Copy");
    action.OnHint = [](std::wstring&, bool& canShow) { canShow = false; };
    EXPECT_EQ(bar.ViewerOf(linked)->BuildHint(), L"");
    linked->SetAction(nullptr);
    Application->HintShortCuts = savedShortCuts;
}

TEST(ItemViewer, ExecutingRecordsTheClickInTheRootViewAndGivesPriority) {
    Level bar(true);
    auto* first = bar.Add(L"First");
    auto* second = bar.Add(L"Second");
    // A popup level opened from the toolbar's first item.
    TBarRootItem subLevel(nullptr);
    auto* inner = new TBarCustomItem(&subLevel);
    subLevel.Add(inner);
    TCustomControl popupWindow(nullptr);
    TBarView popup(nullptr, bar.View.get(), &subLevel, &popupWindow, false, false, false);

    popup.ViewerOfItem(inner)->Execute(true);
    const TBarDoneActionData& done = bar.View->DoneAction;
    EXPECT_EQ(done.DoneAction, tbdaClickItem);
    EXPECT_EQ(done.ClickItem, inner);
    EXPECT_TRUE(done.Sound);  // chosen in a popup
    EXPECT_TRUE(popup.IsModalEnding());
    EXPECT_EQ(popup.DoneAction.DoneAction, tbdaNone);  // recorded in the root only

    bar.View->DoneAction = {};
    TBarItemViewer* v = bar.ViewerOf(first);
    ASSERT_EQ(bar.View->PriorityList().front(), bar.ViewerOf(second));  // new items come first
    v->Execute(true);
    EXPECT_EQ(done.ClickItem, first);
    EXPECT_FALSE(done.Sound);
    EXPECT_EQ(bar.View->PriorityList().front(), v);
}

TEST(ItemViewer, MousePressesOnAToolbar) {
    Level bar(true);
    auto* off = bar.Add(L"Off");
    off->SetEnabled(false);
    auto* on = bar.Add(L"On");
    bool onMenu = false;

    // A disabled item ends the loop of a top-level toolbar.
    bar.ViewerOf(off)->MouseDown(0, 2, 2, onMenu);
    EXPECT_EQ(bar.View->DoneAction.DoneAction, tbdaClose);

    // A button press in toolbar style tracks the button; a release away from it clicks
    // nothing and ends the loop.
    bar.View->DoneAction = {};
    bar.View->SetState(bar.View->State() | tbvsMenuMode);
    TBarItemViewer* v = bar.ViewerOf(on);
    bar.View->Select(v, true);
    v->MouseDown(0, 2, 2, onMenu);
    EXPECT_TRUE(bar.View->MouseTracking());
    EXPECT_FALSE(bar.View->State() & tbvsMenuMode);  // pressing a button leaves menu mode
    EXPECT_FALSE(onMenu);
    v->MouseUp(2, 2, false);
    EXPECT_FALSE(bar.View->MouseTracking());
    EXPECT_EQ(bar.View->DoneAction.DoneAction, tbdaClose);
}

TEST(ItemViewer, SelectionTellsTheItem) {
    Level menu(false);
    auto* a = menu.Add(L"A");
    auto* b = menu.Add(L"B");
    std::vector<std::string> log;
    for (TBarCustomItem* item : {a, b})
        item->OnSelect = [&log](TBarCustomItem* sender, TBarItemViewer*, bool selecting) {
            log.push_back(testsupport::Narrow(sender->Caption()) + (selecting ? "+" : "-"));
        };
    menu.View->Select(menu.ViewerOf(a), false);
    menu.View->Select(menu.ViewerOf(b), false);
    menu.View->Select(menu.ViewerOf(b), false);  // no change
    menu.View->Select(nullptr, false);
    EXPECT_EQ(log, (std::vector<std::string>{"A+", "A-", "B+", "B-"}));
}
