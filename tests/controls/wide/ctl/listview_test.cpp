// List view: texts in the window, sub-items beyond the count, sorting, re-creation,
// in-place editing and owner data.
#include <gtest/gtest.h>

#include "ctl_support.h"
#include "controls/wide/widelistview.h"

#include <algorithm>
#include <vector>

using namespace wide;
using namespace ctltest;

namespace {

class ListViewTest : public ::testing::Test, public FormFixture {
public:
    TWideListView* MakeReport() {
        auto* lv = Add<TWideListView>(8, 8, 400, 300);
        lv->SetViewStyle(vsReport);
        for (const wchar_t* c : {L"名前", L"種類", L"データ"}) lv->Columns().Add()->SetCaption(c);
        return lv;
    }
};

std::wstring CellText(TWideListView* lv, int index, int sub) {
    wchar_t buffer[300] = {};
    LVITEMW item{};
    item.iSubItem = sub;
    item.pszText = buffer;
    item.cchTextMax = 300;
    SendMessageW(lv->Handle(), LVM_GETITEMTEXTW, index, reinterpret_cast<LPARAM>(&item));
    return buffer;
}

std::wstring HeaderText(TWideListView* lv, int index) {
    wchar_t buffer[100] = {};
    LVCOLUMNW col{};
    col.mask = LVCF_TEXT;
    col.pszText = buffer;
    col.cchTextMax = 100;
    SendMessageW(lv->Handle(), LVM_GETCOLUMNW, index, reinterpret_cast<LPARAM>(&col));
    return buffer;
}

}  // namespace

TEST_F(ListViewTest, TextsShowAndSurviveRecreation) {
    TWideListView* lv = MakeReport();
    TWideListItem* a = lv->Items().Add();
    a->SetCaption(kJapanese);
    a->SubItems().Add(L"文字列");
    a->SubItems().Add(kSurrogate);
    TWideListItem* b = lv->Items().Add();
    b->SetCaption(L"b");
    b->SubItems().Add(L"一つだけ");
    struct {
        int index, sub;
        std::wstring text;
    } cases[] = {
        {0, 0, kJapanese}, {0, 1, L"文字列"}, {0, 2, kSurrogate}, {1, 1, L"一つだけ"}, {1, 2, L""},
    };
    for (const auto& c : cases) EXPECT_EQ(CellText(lv, c.index, c.sub), c.text) << c.index << "/" << c.sub;
    EXPECT_EQ(HeaderText(lv, 2), L"データ");

    b->SubItems().Put(0, L"変更" + kSurrogate);
    EXPECT_EQ(CellText(lv, 1, 1), L"変更" + kSurrogate);
    lv->Columns().Items(0)->SetCaption(kSurrogate + L"列");
    EXPECT_EQ(HeaderText(lv, 0), kSurrogate + L"列");
    lv->SetSelected(b);

    lv->SetViewStyle(vsList);
    lv->SetViewStyle(vsReport);
    for (const auto& c : cases)
        if (!(c.index == 1 && c.sub == 1)) {
            EXPECT_EQ(CellText(lv, c.index, c.sub), c.text);
        }
    EXPECT_EQ(HeaderText(lv, 0), kSurrogate + L"列");
    EXPECT_EQ(lv->Selected(), b);
}

TEST_F(ListViewTest, AlphaSortByLstrcmpWOrOnCompare) {
    TWideListView* lv = MakeReport();
    std::vector<std::wstring> captions = {L"ウ", L"b", L"あ", L"B", L"a", kSurrogate, L"イ"};
    for (const auto& c : captions) lv->Items().Add()->SetCaption(c);
    lv->AlphaSort();
    std::vector<std::wstring> expected = captions;
    std::stable_sort(expected.begin(), expected.end(), [](const auto& x, const auto& y) { return lstrcmpW(x.c_str(), y.c_str()) < 0; });
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(lv->Items().Item(static_cast<int>(i))->Caption(), expected[i]);
        EXPECT_EQ(CellText(lv, static_cast<int>(i), 0), expected[i]);
    }
    lv->OnCompare = [](classlib::TComponent*, TWideListItem* x, TWideListItem* y, int, int& c) {
        c = lstrcmpW(y->Caption().c_str(), x->Caption().c_str());
    };
    lv->AlphaSort();
    EXPECT_EQ(lv->Items().Item(0)->Caption(), expected.back());
    EXPECT_EQ(CellText(lv, 0, 0), expected.back());
}

TEST_F(ListViewTest, InPlaceEditingPassesWideText) {
    TWideListView* lv = MakeReport();
    TWideListItem* item = lv->Items().Add();
    item->SetCaption(L"旧");
    Show();
    std::wstring received;
    lv->OnEdited = [&](classlib::TComponent*, TWideListItem* it, std::wstring& s) {
        EXPECT_EQ(it, item);
        received = s;
    };
    ASSERT_TRUE(item->EditCaption());
    HWND edit = reinterpret_cast<HWND>(SendMessageW(lv->Handle(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"");
    TypeText(edit, kJapanese + kSurrogate);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(received, kJapanese + kSurrogate);
    EXPECT_EQ(item->Caption(), kJapanese + kSurrogate);
}

TEST_F(ListViewTest, OwnerDataTexts) {
    TWideListView* lv = MakeReport();
    lv->SetOwnerData(true);
    lv->OnData = [](classlib::TComponent*, TWideListItem* item) {
        item->SetCaption(L"項目" + std::to_wstring(item->Index()));
        if (item->Index() % 2 == 0) item->SubItems().Add(kSurrogate);
    };
    lv->SetItemCount(1000);
    EXPECT_EQ(lv->Items().Count(), 1000);
    EXPECT_EQ(CellText(lv, 998, 0), L"項目998");
    EXPECT_EQ(CellText(lv, 998, 1), kSurrogate);
    EXPECT_EQ(CellText(lv, 999, 1), L"");
    EXPECT_EQ(lv->Items().Item(5)->Caption(), L"項目5");
}
