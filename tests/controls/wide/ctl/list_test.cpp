// List box and combo box: items on the window, Put/Exchange, re-creation, virtual texts,
// auto-complete and type-ahead.
#include <gtest/gtest.h>

#include "ctl_support.h"
#include "common/test_support.h"
#include "classlib/errors.h"
#include "controls/wide/widechecklist.h"
#include "controls/wide/widecombo.h"
#include "controls/wide/widelistbox.h"

#include <vector>

using namespace wide;
using namespace ctltest;

namespace {

class ListTest : public ::testing::Test, public FormFixture {};

void* Obj(intptr_t n) { return reinterpret_cast<void*>(n); }

// A combo box whose clock the test moves.
class ClockCombo : public TWideComboBox {
public:
    using TWideComboBox::TWideComboBox;
    DWORD Now = 100000;

protected:
    DWORD TickCount() override { return Now; }
};

}  // namespace

TEST_F(ListTest, ListBoxItemsKeepDataAndSelection) {
    auto* list = Add<TWideListBox>(8, 8, 200, 200);
    TWideStrings& items = list->Items();
    items.AddObject(L"一", Obj(1));
    items.AddObject(kSurrogate, Obj(2));
    items.AddObject(L"三", Obj(3));
    EXPECT_EQ(items.Get(1), kSurrogate);
    EXPECT_EQ(items.IndexOf(kSurrogate), 1);
    list->SetItemIndex(1);
    items.Put(1, L"に");
    EXPECT_EQ(items.Get(1), L"に");
    EXPECT_EQ(items.GetObject(1), Obj(2));
    EXPECT_EQ(list->ItemIndex(), 1);

    struct {
        int a, b, selectedBefore, selectedAfter;
    } cases[] = {{1, 2, 1, 2}, {0, 2, 2, 0}, {0, 1, 2, 2}};
    for (const auto& c : cases) {
        list->SetItemIndex(c.selectedBefore);
        std::wstring ta = items.Get(c.a), tb = items.Get(c.b);
        void* da = items.GetObject(c.a);
        void* db = items.GetObject(c.b);
        items.Exchange(c.a, c.b);
        EXPECT_EQ(items.Get(c.a), tb);
        EXPECT_EQ(items.Get(c.b), ta);
        EXPECT_EQ(items.GetObject(c.a), db);
        EXPECT_EQ(items.GetObject(c.b), da);
        EXPECT_EQ(list->ItemIndex(), c.selectedAfter) << c.a << "<->" << c.b;
    }
    EXPECT_THROW(items.Get(7), classlib::EStringListError);
}

TEST_F(ListTest, ListBoxKeepsItemsAcrossRecreation) {
    auto* list = Add<TWideListBox>(8, 8, 200, 60);
    for (int i = 0; i < 30; ++i) list->Items().AddObject(kJapanese + std::to_wstring(i), Obj(i + 1));
    list->SetItemIndex(20);
    list->SetTopIndex(15);
    HWND before = list->Handle();
    list->RecreateWnd();
    EXPECT_NE(list->Handle(), before);
    ASSERT_EQ(list->Count(), 30);
    EXPECT_EQ(list->Items().Get(29), kJapanese + L"29");
    EXPECT_EQ(list->Items().GetObject(29), Obj(30));
    EXPECT_EQ(list->ItemIndex(), 20);
    EXPECT_EQ(list->TopIndex(), 15);
}

TEST_F(ListTest, VirtualListBoxTextsComeFromOnDataClipped) {
    auto* list = Add<TWideListBox>(8, 8, 200, 100);
    list->SetStyle(lbVirtual);
    std::wstring data = L"項目";
    list->OnData = [&](classlib::TWinControl*, int index, std::wstring& text) { text = data + std::to_wstring(index); };
    list->SetCount(3);
    EXPECT_EQ(list->Items().Get(2), L"項目2");
    HWND wnd = list->Handle();
    EXPECT_EQ(SendMessageW(wnd, LB_GETTEXTLEN, 3, 0), LB_ERR);
    EXPECT_EQ(SendMessageW(wnd, LB_GETTEXTLEN, -1, 0), LB_ERR);
    // The data grows between the length query and the text query: the copy stays within
    // the length reported.
    LRESULT len = SendMessageW(wnd, LB_GETTEXTLEN, 1, 0);
    ASSERT_EQ(len, 3);
    std::vector<wchar_t> buffer(static_cast<size_t>(len) + 1 + 8, L'#');
    data = L"ずっと長い項目";
    EXPECT_EQ(SendMessageW(wnd, LB_GETTEXT, 1, reinterpret_cast<LPARAM>(buffer.data())), 3);
    EXPECT_EQ(std::wstring(buffer.data()), L"ずっと");
    EXPECT_EQ(buffer[len + 1], L'#');
}

TEST_F(ListTest, ComboClearKeepsTextAndRecreationKeepsAll) {
    auto* combo = Add<TWideComboBox>(8, 8, 200, 24);
    combo->Items().AddObject(kJapanese, Obj(5));
    combo->Items().Add(kSurrogate);
    EXPECT_EQ(combo->Items().Get(1), kSurrogate);
    combo->SetItemIndex(1);
    combo->SetText(L"入力中");
    combo->Items().Clear();
    EXPECT_EQ(combo->Items().GetCount(), 0);
    EXPECT_EQ(combo->Text(), L"入力中");

    combo->Items().AddObject(kJapanese, Obj(5));
    combo->Items().Add(kSurrogate + L"字");
    combo->SetItemIndex(1);
    combo->RecreateWnd();
    ASSERT_EQ(combo->Items().GetCount(), 2);
    // A choice from the list (as the mouse makes it) sets the item's text.
    int selects = 0;
    combo->OnSelect = [&](classlib::TComponent*) { ++selects; };
    SendMessageW(combo->Handle(), CB_SETCURSEL, 0, 0);
    SendMessageW(Form->Handle(), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(combo->Handle()), CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(combo->Handle()));
    EXPECT_EQ(combo->Text(), kJapanese);
    EXPECT_EQ(selects, 1);
    combo->SetItemIndex(1);
    combo->SetText(kSurrogate + L"字");
    EXPECT_EQ(combo->Items().GetObject(0), Obj(5));
    EXPECT_EQ(combo->ItemIndex(), 1);
    EXPECT_EQ(combo->Text(), kSurrogate + L"字");
}

TEST_F(ListTest, ComboCompletesOnlyAtTheEnd) {
    auto* combo = Add<TWideComboBox>(8, 8, 200, 24);
    for (const wchar_t* s : {L"Apple", L"あいうえお", L"Banana", L"アイス"}) combo->Items().Add(s);
    Show();
    HWND edit = combo->EditHandle();
    ASSERT_NE(edit, nullptr);
    struct {
        const wchar_t* typed;
        const wchar_t* text;
        int selStart, selLength;
    } cases[] = {
        {L"ap", L"apple", 2, 3},     // typed letters stay as typed
        {L"あい", L"あいうえお", 2, 3},
        {L"x", L"x", 1, 0},
    };
    for (const auto& c : cases) {
        combo->SetText(L"");
        TypeText(edit, c.typed);
        EXPECT_EQ(combo->Text(), c.text) << testsupport::Narrow(c.typed);
        EXPECT_EQ(combo->SelStart(), c.selStart);
        EXPECT_EQ(combo->SelLength(), c.selLength);
    }
    // Typing in the middle does not complete.
    combo->SetText(L"Bxyz");
    combo->SetSelStart(1);
    combo->SetSelLength(0);
    TypeChar(edit, L'a');
    EXPECT_EQ(combo->Text(), L"Baxyz");
}

TEST_F(ListTest, ComboTypeAheadRestartsAfterPause) {
    auto* combo = Add<ClockCombo>(8, 8, 200, 24);
    combo->SetStyle(csDropDownList);
    for (const wchar_t* s : {L"abc", L"abd", L"bcd", L"アイス", L"アメ"}) combo->Items().Add(s);
    Show();
    HWND wnd = combo->Handle();
    TypeChar(wnd, L'A');
    combo->Now += 100;
    TypeChar(wnd, L'b');
    combo->Now += 100;
    TypeChar(wnd, L'd');
    EXPECT_EQ(combo->ItemIndex(), 1);
    combo->Now += 1250;
    TypeChar(wnd, L'b');
    EXPECT_EQ(combo->ItemIndex(), 2);
    combo->Now += 1300;
    TypeChar(wnd, L'ア');
    combo->Now += 1249;
    TypeChar(wnd, L'メ');
    EXPECT_EQ(combo->ItemIndex(), 4);
    EXPECT_EQ(combo->Text(), L"アメ");
}

TEST_F(ListTest, CheckListStatesFollowItemsAndRecreation) {
    auto* list = Add<TWideCheckListBox>(8, 8, 200, 120);
    for (const std::wstring& s : {L"一" + kSurrogate, std::wstring(L"二"), std::wstring(L"三"), std::wstring(L"見出し")})
        list->Items().Add(s);
    list->SetChecked(0, true);
    list->SetState(1, cbGrayed);
    list->SetItemEnabled(2, false);
    list->SetHeader(3, true);
    list->SetItemIndex(1);
    list->RecreateWnd();
    EXPECT_EQ(list->Items().Get(0), L"一" + kSurrogate);
    EXPECT_TRUE(list->Checked(0));
    EXPECT_EQ(list->State(1), cbGrayed);
    EXPECT_FALSE(list->ItemEnabled(2));
    EXPECT_TRUE(list->Header(3));
    EXPECT_EQ(list->ItemIndex(), 1);

    list->Items().Exchange(0, 1);
    EXPECT_EQ(list->State(0), cbGrayed);
    EXPECT_TRUE(list->Checked(1));
    EXPECT_EQ(list->ItemIndex(), 0);
    list->Items().Put(1, L"いち");
    EXPECT_TRUE(list->Checked(1));
    list->Items().Delete(0);
    EXPECT_TRUE(list->Checked(0));
    EXPECT_FALSE(list->ItemEnabled(1));

    // Clicks on the box toggle enabled items only; headers never.
    Show();
    int clicks = 0;
    list->OnClickCheck = [&](classlib::TComponent*) { ++clicks; };
    auto clickBox = [&](int index) {
        RECT r = list->ItemRect(index);
        LPARAM at = MAKELPARAM(r.left + 3, (r.top + r.bottom) / 2);
        SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
        SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
    };
    clickBox(0);
    EXPECT_FALSE(list->Checked(0));
    clickBox(1);
    clickBox(2);
    EXPECT_FALSE(list->Checked(1));
    EXPECT_FALSE(list->Checked(2));
    EXPECT_EQ(clicks, 1);
}

TEST_F(ListTest, VirtualCheckListKeepsStatesByIndex) {
    auto* list = Add<TWideCheckListBox>(8, 8, 200, 120);
    list->SetStyle(lbVirtual);
    list->OnData = [](classlib::TWinControl*, int index, std::wstring& data) { data = L"項目" + std::to_wstring(index); };
    list->SetCount(5);
    list->SetChecked(3, true);
    list->SetState(1, cbGrayed);
    list->SetItemEnabled(2, false);
    list->SetHeader(4, true);
    EXPECT_THROW(list->SetChecked(5, true), classlib::EStringListError);
    list->RecreateWnd();
    EXPECT_EQ(list->Count(), 5);
    EXPECT_EQ(list->Items().Get(3), L"項目3");
    EXPECT_EQ(list->State(0), cbUnchecked);
    EXPECT_EQ(list->State(1), cbGrayed);
    EXPECT_FALSE(list->ItemEnabled(2));
    EXPECT_TRUE(list->Checked(3));
    EXPECT_TRUE(list->Header(4));

    // Indexes dropped by a smaller count come back unchecked.
    list->SetCount(3);
    list->SetCount(5);
    EXPECT_EQ(list->State(1), cbGrayed);
    EXPECT_FALSE(list->Checked(3));
    EXPECT_FALSE(list->Header(4));

    // A click on the box toggles a virtual item like any other.
    Show();
    RECT r = list->ItemRect(0);
    LPARAM at = MAKELPARAM(r.left + 3, (r.top + r.bottom) / 2);
    SendMessageW(list->Handle(), WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageW(list->Handle(), WM_LBUTTONUP, 0, at);
    EXPECT_TRUE(list->Checked(0));
}

// A double click on an item as the system delivers it (press, release, the second press as
// WM_LBUTTONDBLCLK, release) runs the list's double click once: the list tells it with
// LBN_DBLCLK, and the message itself runs nothing more.
TEST_F(ListTest, DoubleClickOnAnItemRunsOnce) {
    auto* plain = Add<TWideListBox>(8, 8, 200, 100);
    auto* checks = Add<TWideCheckListBox>(220, 8, 200, 100);
    Show();
    for (TWideCustomListBox* list :
         {static_cast<TWideCustomListBox*>(plain), static_cast<TWideCustomListBox*>(checks)}) {
        list->Items().Add(L"一");
        list->Items().Add(L"二");
        int runs = 0;
        list->OnDblClick = [&](classlib::TComponent*) { ++runs; };
        const RECT r = list->ItemRect(1);
        // Right of a check list's box: the press selects, it does not toggle.
        const LPARAM at = MAKELPARAM(r.left + 40, (r.top + r.bottom) / 2);
        for (UINT message : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP})
            PostMessageW(list->Handle(), message, message == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
        testsupport::PumpMessages();
        EXPECT_EQ(runs, 1) << (list == plain ? "list box" : "check list box");
        EXPECT_EQ(list->ItemIndex(), 1);
    }
}
