// The themed items: size rules, the caption and shortcut split of menu rows, faces and the
// custom-draw events, linked controls, and the items' tooltips.
#include "controls/toolbar/ui/uiitems.h"

#include "classlib/application.h"
#include "classlib/menus.h"
#include "common/test_support.h"
#include "controls/toolbar/ui/uihint.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/toolbar/ui/uitestbars.h"
#include "uihintcheck.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace ui;
using namespace classlib;
using namespace toolbar;
using namespace themed;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

namespace {

class UiItems : public uitest::UiBarTest {
protected:
    // The viewer's size as its view measures it.
    SIZE Measure(TUiToolbar* bar, TBarCustomItem* item) {
        TBitmap scratch;
        scratch.SetSize(8, 8);
        int w = 0, h = 0;
        bar->View()->ViewerOfItem(item)->CalcSize(scratch.Canvas(), w, h);
        return {w, h};
    }
    // Paints the whole toolbar window now.
    static void Repaint(TWinControl* window) {
        RedrawWindow(window->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    }
};

}  // namespace

TEST_F(UiItems, SizeRulesAndClamping) {
    TUiToolbar* bar = NewToolbar();
    TUiItem* item = AddItem(bar, L"保存する");
    const SIZE natural = Measure(bar, item);
    ASSERT_GT(natural.cx, 0);

    item->SetCustomWidth(-5);
    EXPECT_EQ(item->CustomWidth(), -1);
    item->SetCustomHeight(-9);
    EXPECT_EQ(item->CustomHeight(), -1);
    item->SetMargins(-3);
    EXPECT_EQ(item->Margins(), 0);
    EXPECT_EQ(Measure(bar, item).cx, natural.cx);

    struct Case {
        const char* Name;
        int CustomWidth, CustomHeight, Margins, MinWidth, MaxItemHeight;
        int Width, Height;  // -1: the natural value
    } cases[] = {
        {"margins lengthen", -1, -1, 10, 0, -1, natural.cx + 10, -1},
        {"a fixed width replaces the length, margins and all", 80, -1, 10, 0, -1, 80, -1},
        {"a fixed height", -1, 40, 0, 0, -1, -1, 40},
        {"the minimum width wins over a smaller fixed width", 30, -1, 0, 50, -1, 50, -1},
        {"the view caps the thickness", -1, 40, 0, 0, 12, -1, 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        item->SetCustomWidth(c.CustomWidth);
        item->SetCustomHeight(c.CustomHeight);
        item->SetMargins(c.Margins);
        item->SetMinWidth(c.MinWidth);
        bar->UiView()->SetMaxItemHeight(c.MaxItemHeight);
        const SIZE s = Measure(bar, item);
        EXPECT_EQ(s.cx, c.Width < 0 ? natural.cx : c.Width);
        EXPECT_EQ(s.cy, c.Height < 0 ? natural.cy : c.Height);
    }
}

TEST_F(UiItems, MenuRowSplitsCaptionAndShortcutAtTheTab) {
    TUiSubmenuItem* opener = AddItem<TUiSubmenuItem>(NewToolbar(), L"ファイル");
    struct Row {
        std::wstring Caption;
        TShortCut ShortCut;
        std::wstring Shown, ShortcutShown;
    } rows[] = {
        {L"開く\tCtrl+O", ShortCut(L'S', ssCtrl), L"開く", L"Ctrl+O"},
        {L"保存\t", ShortCut(L'S', ssCtrl), L"保存", ShortCutToText(ShortCut(L'S', ssCtrl))},
        {L"閉じる", 0, L"閉じる", L""},
    };
    std::vector<std::wstring> drawn;
    for (const Row& r : rows) {
        auto* item = new TUiItem(opener);
        item->SetCaption(r.Caption);
        item->SetShortCut(r.ShortCut);
        item->OnDrawCaption = [&drawn](TComponent*, TCanvas&, const RECT&, std::wstring& caption, RECT&, UINT&,
                                       bool, TUiPaintStage stage, bool&) {
            if (stage == pstPrePaint) drawn.push_back(caption);
        };
        opener->Add(item);
    }
    std::unique_ptr<TBarPopupWindow> popup(
        opener->CreatePopup(nullptr, nullptr, false, false, false, POINT{200, 150}, tbpaLeft));
    ASSERT_NE(popup, nullptr);
    EXPECT_NE(dynamic_cast<TUiPopupWindow*>(popup.get()), nullptr);
    PumpMessages();
    drawn.clear();
    Repaint(popup.get());
    std::vector<std::wstring> expected;
    for (const Row& r : rows) {
        expected.push_back(r.Shown);
        if (!r.ShortcutShown.empty()) expected.push_back(r.ShortcutShown);
    }
    EXPECT_EQ(drawn, expected);
}

TEST_F(UiItems, FacesAndTheCaptionEvent) {
    TUiToolbar* bar = NewToolbar();
    TUiItem* button = AddItem(bar, L"ボタン");
    TUiLabelItem* label = AddItem<TUiLabelItem>(bar, L"ずっと長いラベル");
    int labelEvents = 0;
    label->OnDrawItem = [&](TUiCustomItem*, TCanvas&, const RECT&, const TThmItemInfo&, TUiPaintStage,
                            bool& paintDefault) {
        ++labelEvents;
        paintDefault = true;  // asks for the face: a label still gets none
    };
    PumpMessages();
    Theme->Buttons.clear();
    Repaint(bar);
    EXPECT_EQ(labelEvents, 2) << "once before and once after the default painting";
    // The viewers paint at their own origin: compare sizes, not places.
    const RECT b = Bounds(bar->View(), button), l = Bounds(bar->View(), label);
    int buttonFaces = 0, labelFaces = 0;
    for (const RECT& r : Theme->Buttons) {
        buttonFaces += r.right - r.left == b.right - b.left;
        labelFaces += r.right - r.left == l.right - l.left;
    }
    EXPECT_EQ(buttonFaces, 1);
    EXPECT_EQ(labelFaces, 0);
    EXPECT_FALSE(dynamic_cast<TUiLabelItemViewer*>(bar->View()->ViewerOfItem(label))->RequestExecute());

    // A caption handler that declines the default painting leaves no text drawn.
    auto textPixels = [&] {
        Repaint(bar);
        HDC dc = GetDC(bar->Handle());
        int count = 0;
        const COLORREF text = GetSysColor(COLOR_BTNTEXT);
        for (int y = b.top; y < b.bottom; ++y)
            for (int x = b.left; x < b.right; ++x) count += GetPixel(dc, x, y) == text;
        ReleaseDC(bar->Handle(), dc);
        return count;
    };
    const int withCaption = textPixels();
    EXPECT_GT(withCaption, 0);
    std::vector<bool> postDefaults;
    button->OnDrawCaption = [&](TComponent*, TCanvas&, const RECT&, std::wstring&, RECT&, UINT&, bool,
                                TUiPaintStage stage, bool& paintDefault) {
        if (stage == pstPrePaint)
            paintDefault = false;
        else
            postDefaults.push_back(paintDefault);
    };
    EXPECT_EQ(textPixels(), 0);
    ASSERT_FALSE(postDefaults.empty());
    EXPECT_FALSE(postDefaults.back());
}

TEST_F(UiItems, LinkedControlFollowsTheItem) {
    TUiToolbar* bar = NewToolbar();
    TUiItem* item = AddItem(bar, L"パネル");
    auto* panel = new TCustomControl(Form);
    panel->SetParent(Form);
    item->SetControl(panel);
    EXPECT_TRUE(item->Checked()) << "the check mark takes the control's visibility at once";
    item->Click();
    EXPECT_FALSE(panel->Visible());
    item->Click();
    EXPECT_TRUE(panel->Visible());
    panel->Hide();
    item->InitiateAction();
    EXPECT_FALSE(item->Checked()) << "the next action update brings the check mark in line";
    delete panel;
    EXPECT_EQ(item->Control(), nullptr);
    item->Click();  // nothing to toggle any more
}

TEST_F(UiItems, TooltipText) {
    TUiToolbar* bar = NewToolbar();
    const TShortCut ctrlO = ShortCut(L'O', ssCtrl);
    const std::wstring withKey = L" (" + ShortCutToText(ctrlO) + L")";
    struct Case {
        const char* Name;
        bool Submenu;
        std::wstring Caption, Hint;
        TShortCut Key;
        TBarItemOptions Options;
        std::wstring Expected;
    } cases[] = {
        {"the short hint", false, L"開く", L"短い|長い説明", 0, 0, L"短い"},
        {"the caption without its mark and ellipsis", false, L"開く(&O)...", L"", 0, 0, L"開く(O)"},
        {"a trailing colon goes", false, L"名前:", L"", 0, 0, L"名前"},
        {"the shortcut follows", false, L"開く", L"", ctrlO, 0, L"開く" + withKey},
        {"no automatic hint", false, L"開く", L"", ctrlO, tboNoAutoHint, L""},
        {"a sub-menu that shows its caption", true, L"表示", L"", 0, 0, L""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.Name);
        TUiCustomItem* item = c.Submenu ? AddItem<TUiSubmenuItem>(bar, c.Caption) : AddItem(bar, c.Caption);
        item->SetHint(c.Hint);
        item->SetShortCut(c.Key);
        item->SetOptions(c.Options);
        PumpMessages();
        EXPECT_EQ(BuildWideHint(bar->View()->ViewerOfItem(item)), c.Expected);
    }
}

TEST_F(UiItems, HintIsABitmapTheItemMayDrawItself) {
    TUiToolbar* bar = NewToolbar();
    TUiItem* item = AddItem(bar, L"印刷");
    item->SetHint(L"印刷します|ファイルを印刷します");
    bool asked = false;
    item->OnDrawHint = [&](TComponent*, TBitmap& bitmap, std::wstring& hint, bool&) {
        asked = true;
        EXPECT_EQ(hint, L"印刷します");
        EXPECT_GT(bitmap.Width(), 8);
    };
    PumpMessages();
    auto* viewer = dynamic_cast<TUiItemViewer*>(bar->View()->ViewerOfItem(item));
    ASSERT_NE(viewer, nullptr);
    THintInfo info;
    viewer->DoHintShow(info);
    EXPECT_TRUE(asked);
    EXPECT_EQ(info.HintStr, L"印刷します");
    EXPECT_EQ(info.HideTimeout, 60000);
    EXPECT_TRUE(EqualRect(&info.CursorRect, &viewer->BoundsRect));
    uitest::ExpectWholeBitmapHint(info);
}
