#include "controls/toolbar/ui/uilists.h"

#include "controls/toolbar/ui/uiedits.h"
#include "uicontrols_fixture.h"

#include <map>

using namespace ui;
using namespace classlib;
using testsupport::PumpMessages;
using testsupport::PumpUntil;

// A list box is owner-drawn whatever style it is given, and draws its items through the
// themed background and then the text, one pixel in; a check list leaves room for the check
// box except on header items.
TEST_F(UiControls, ListBoxesAreAlwaysOwnerDrawn) {
    auto* list = Add<TUiListBox>(Form, 10, 10, 150, 120);
    list->SetStyle(wide::lbStandard);
    list->Items().Add(L"一");
    list->Items().Add(L"二");
    list->SetItemIndex(1);
    std::map<int, wide::TOwnerDrawState> backgrounds;
    std::map<int, int> textLeft;
    list->OnDrawItemBackground = [&](TWinControl*, int index, RECT, wide::TOwnerDrawState state) {
        backgrounds[index] = state;
    };
    list->OnDrawItem = [&](TWinControl*, int index, RECT rect, wide::TOwnerDrawState) { textLeft[index] = rect.left; };
    EXPECT_TRUE(GetWindowLongW(list->Handle(), GWL_STYLE) & LBS_OWNERDRAWFIXED);
    RedrawWindow(list->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(PumpUntil([&] { return textLeft.size() == 2; }));
    EXPECT_EQ(textLeft[0], 1);
    EXPECT_FALSE(backgrounds[0] & wide::odSelected);
    EXPECT_TRUE(backgrounds[1] & wide::odSelected);

    auto* checks = Add<TUiCheckListBox>(Form, 200, 10, 150, 120);
    checks->Items().Add(L"見出し");
    checks->Items().Add(L"項目");
    checks->SetHeader(0, true);
    std::map<int, int> checkTextLeft;
    checks->OnDrawItem = [&](TWinControl*, int index, RECT rect, wide::TOwnerDrawState) {
        checkTextLeft[index] = rect.left;
    };
    RedrawWindow(checks->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    ASSERT_TRUE(PumpUntil([&] { return checkTextLeft.size() == 2; }));
    EXPECT_EQ(checkTextLeft[0], 1) << "a header has no check box";
    EXPECT_EQ(checkTextLeft[1], GetSystemMetrics(SM_CXMENUCHECK) + 2 + 1);
}

// With HotTrack a combo box is hot while it has the focus, wherever the mouse is; without it a
// box under the toolbar theme is drawn hot only while its list is dropped down.
TEST_F(UiControls, ComboHotState) {
    UsePlainTheme();
    auto* combo = Add<TUiComboBox>(Form, 10, 10, 150, 24);
    combo->Items().Add(L"HKEY_CURRENT_USER");
    auto* other = Add<TUiEdit>(Form, 10, 50, 150, 21);
    PumpMessages();
    combo->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return combo->Hot(); }));
    EXPECT_TRUE(combo->DrawnHot());
    other->SetFocus();
    ASSERT_TRUE(PumpUntil([&] { return !combo->Hot(); }));

    // The hover message sets the hot state only when the cursor really is inside.
    const POINT outside = Form->ClientToScreen({400, 300});
    SetCursorPos(outside.x, outside.y);
    SendMessageW(combo->Handle(), CM_UICOMBOHOVER, 1, 0);
    EXPECT_FALSE(combo->Hot());
    const POINT inside = combo->ClientToScreen({5, 5});
    SetCursorPos(inside.x, inside.y);
    SendMessageW(combo->Handle(), CM_UICOMBOHOVER, 1, 0);
    EXPECT_TRUE(combo->Hot());
    SendMessageW(combo->Handle(), CM_UICOMBOHOVER, 0, 0);
    EXPECT_TRUE(combo->Hot()) << "leaving while the cursor is still inside changes nothing";

    combo->SetHotTrack(false);
    EXPECT_FALSE(combo->DrawnHot());
    combo->SetDroppedDown(true);
    ASSERT_TRUE(PumpUntil([&] { return combo->DroppedDown(); }));
    EXPECT_TRUE(combo->DrawnHot());
    combo->SetDroppedDown(false);
    PumpMessages();
    EXPECT_FALSE(combo->DrawnHot());
}
