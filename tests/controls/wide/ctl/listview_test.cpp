// List view: texts in the window, sub-items beyond the count, sorting, re-creation,
// in-place editing and owner data.
#include <gtest/gtest.h>

#include "common/test_support.h"
#include "ctl_support.h"
#include "controls/wide/widecontrols.h"
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

TEST_F(ListViewTest, OwnerDataFindGetsTheWideRequest) {
    TWideListView* lv = MakeReport();
    lv->SetOwnerData(true);
    lv->SetItemCount(50);
    struct Seen {
        TItemFind find;
        std::wstring text;
        void* data;
        int start;
        TSearchDirection direction;
        bool wrap;
    } seen{};
    int calls = 0;
    lv->OnDataFind = [&](classlib::TComponent*, TItemFind find, const std::wstring& text, const POINT&, void* data, int start,
                         TSearchDirection direction, bool wrap, int& index) {
        ++calls;
        seen = {find, text, data, start, direction, wrap};
        EXPECT_EQ(index, -1);
        if (text == kJapanese + kSurrogate || data == reinterpret_cast<void*>(7)) index = 42;
    };
    // Finds reach the handler however the request is made: LVM_FINDITEMW of the window, or
    // the control's own notification (type-ahead).
    auto findVia = [&](UINT flags, const wchar_t* text, LPARAM data, int start, UINT vk) {
        LVFINDINFOW fi{};
        fi.flags = flags;
        fi.psz = text;
        fi.lParam = data;
        fi.vkDirection = vk;
        return static_cast<int>(SendMessageW(lv->Handle(), LVM_FINDITEMW, start, reinterpret_cast<LPARAM>(&fi)));
    };
    const std::wstring wanted = kJapanese + kSurrogate;
    EXPECT_EQ(findVia(LVFI_STRING, wanted.c_str(), 0, -1, 0), 42);
    ASSERT_EQ(calls, 1);
    EXPECT_EQ(seen.find, ifExactString);
    EXPECT_EQ(seen.text, wanted);

    NMLVFINDITEMW nm{};
    nm.hdr.hwndFrom = lv->Handle();
    nm.hdr.idFrom = 0;
    nm.hdr.code = LVN_ODFINDITEMW;
    struct {
        UINT flags;
        const wchar_t* text;
        LPARAM data;
        UINT vk;
        int expected;
        TItemFind find;
        TSearchDirection direction;
        bool wrap;
    } cases[] = {
        {LVFI_PARTIAL | LVFI_STRING | LVFI_WRAP, L"レジ", 0, 0, -1, ifPartialString, sdAll, true},
        {LVFI_PARAM, nullptr, 7, VK_DOWN, 42, ifData, sdBelow, false},
        {LVFI_NEARESTXY, nullptr, 0, VK_LEFT, -1, ifNearest, sdLeft, false},
        {LVFI_STRING, wanted.c_str(), 0, VK_UP, 42, ifExactString, sdAbove, false},
    };
    for (const auto& c : cases) {
        nm.iStart = 3;
        nm.lvfi.flags = c.flags;
        nm.lvfi.psz = c.text;
        nm.lvfi.lParam = c.data;
        nm.lvfi.vkDirection = c.vk;
        LRESULT r = SendMessageW(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
        EXPECT_EQ(r, c.expected) << c.flags;
        EXPECT_EQ(seen.find, c.find) << c.flags;
        EXPECT_EQ(seen.text, c.text ? std::wstring(c.text) : std::wstring()) << c.flags;
        EXPECT_EQ(seen.start, 3);
        EXPECT_EQ(seen.direction, c.direction) << c.flags;
        EXPECT_EQ(seen.wrap, c.wrap) << c.flags;
    }
    // No handler: nothing found.
    lv->OnDataFind = nullptr;
    EXPECT_EQ(findVia(LVFI_STRING, wanted.c_str(), 0, -1, 0), -1);
}

namespace {

class TaggedItem : public TWideListItem {
public:
    explicit TaggedItem(TWideListItems* owner) : TWideListItem(owner) { ++Made; }
    ~TaggedItem() override { ++Freed; }
    static inline int Made = 0, Freed = 0;
};

}  // namespace

TEST_F(ListViewTest, CreateItemClassMakesDerivedItems) {
    TaggedItem::Made = TaggedItem::Freed = 0;
    {
        TWideListView* lv = MakeReport();
        lv->OnCreateItemClass = [](TWideCustomListView*, TWideListItemClass& itemClass) {
            itemClass = [](TWideListItems* owner) { return std::make_unique<TaggedItem>(owner); };
        };
        TWideListItem* a = lv->Items().Add();
        lv->AddItem(kJapanese, nullptr);
        EXPECT_NE(dynamic_cast<TaggedItem*>(a), nullptr);
        EXPECT_NE(dynamic_cast<TaggedItem*>(lv->Items().Item(1)), nullptr);
        EXPECT_EQ(CellText(lv, 1, 0), kJapanese);
        lv->Items().Delete(0);
        EXPECT_EQ(TaggedItem::Freed, 1);  // through the base, as the derived class
        // The temporary item of owner data comes from the same factory.
        lv->SetOwnerData(true);
        lv->SetItemCount(3);
        EXPECT_NE(dynamic_cast<TaggedItem*>(lv->Items().Item(2)), nullptr);

        // A factory that makes nothing, or an item of another list, is a programming error.
        TWideListView* other = MakeReport();
        other->OnCreateItemClass = [](TWideCustomListView*, TWideListItemClass& itemClass) { itemClass = nullptr; };
        EXPECT_THROW(other->Items().Add(), EWideInternalError);
        other->OnCreateItemClass = [lv](TWideCustomListView*, TWideListItemClass& itemClass) {
            itemClass = [lv](TWideListItems*) { return std::make_unique<TaggedItem>(&lv->Items()); };
        };
        EXPECT_THROW(other->Items().Add(), EWideInternalError);
        EXPECT_EQ(other->Items().Count(), 0);
        delete other;
        delete lv;
    }
    EXPECT_EQ(TaggedItem::Made, TaggedItem::Freed);
}

TEST_F(ListViewTest, HeaderTrackingKeepsColumnLimits) {
    TWideListView* lv = MakeReport();
    TWideListColumn* col = lv->Columns().Items(1);
    col->MinWidth = 40;
    col->MaxWidth = 120;
    HWND header = reinterpret_cast<HWND>(SendMessageW(lv->Handle(), LVM_GETHEADER, 0, 0));
    ASSERT_NE(header, nullptr);
    struct {
        UINT code;
        int dragged, expected;
    } cases[] = {
        {HDN_ENDTRACKA, 300, 120},
        {HDN_ENDTRACKW, 77, 77},
        {HDN_DIVIDERDBLCLICKW, 10, -1},  // the control sizes the column to fit, within the limits
        {HDN_ENDTRACKW, 5, 40},
    };
    for (const auto& c : cases) {
        // The user's drag has given the column its width; the header then reports the end.
        SendMessageW(lv->Handle(), LVM_SETCOLUMNWIDTH, 1, c.dragged);
        HDITEMW item{};
        item.mask = HDI_WIDTH;
        item.cxy = c.dragged;
        NMHEADERW nm{};
        nm.hdr.hwndFrom = header;
        nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(header));
        nm.hdr.code = c.code;
        nm.iItem = 1;
        nm.pitem = &item;
        SendMessageW(lv->Handle(), WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
        int width = static_cast<int>(SendMessageW(lv->Handle(), LVM_GETCOLUMNWIDTH, 1, 0));
        if (c.expected < 0) {
            EXPECT_GE(width, 40);
            EXPECT_LE(width, 120);
        } else {
            EXPECT_EQ(item.cxy, c.expected) << c.dragged;
            EXPECT_EQ(width, c.expected) << c.dragged;
        }
        EXPECT_EQ(col->Width(), width);
    }
    // The width survives a new window.
    lv->SetViewStyle(vsList);
    EXPECT_EQ(col->Width(), 40);
    lv->SetViewStyle(vsReport);
    EXPECT_EQ(SendMessageW(lv->Handle(), LVM_GETCOLUMNWIDTH, 1, 0), 40);
}

TEST_F(ListViewTest, EditorKeysAndInfoTipsReachTheEvents) {
    TWideListView* lv = MakeReport();
    TWideListItem* item = lv->Items().Add();
    item->SetCaption(L"旧");
    Show();
    std::wstring received;
    lv->OnEdited = [&](classlib::TComponent*, TWideListItem*, std::wstring& s) { received = s; };
    std::vector<WORD> downs;
    lv->OnKeyDown = [&](classlib::TComponent*, WORD& key, classlib::TShiftState) {
        downs.push_back(key);
        if (key == VK_ESCAPE) key = 0;  // swallowed: editing goes on
    };
    lv->OnKeyPress = [](classlib::TComponent*, wchar_t& key) {
        if (key == L'x') key = 0;
        if (key == L'a') key = L'字';
    };
    ASSERT_TRUE(item->EditCaption());
    HWND edit = reinterpret_cast<HWND>(SendMessageW(lv->Handle(), LVM_GETEDITCONTROL, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"");
    TypeText(edit, L"xa" + kSurrogate);
    SendMessageW(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_NE(SendMessageW(lv->Handle(), LVM_GETEDITCONTROL, 0, 0), 0);
    SendMessageW(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(received, L"字" + kSurrogate);
    EXPECT_EQ(downs, (std::vector<WORD>{VK_ESCAPE, VK_RETURN}));

    // Info tips: the handler sees the offered text and its answer is cut to the buffer.
    wchar_t buffer[8] = L"旧";
    NMLVGETINFOTIPW tip{};
    tip.hdr.hwndFrom = lv->Handle();
    tip.hdr.code = LVN_GETINFOTIPW;
    tip.pszText = buffer;
    tip.cchTextMax = 8;
    tip.iItem = 0;
    std::wstring offered;
    lv->OnInfoTip = [&](classlib::TComponent*, TWideListItem* it, std::wstring& s) {
        EXPECT_EQ(it, item);
        offered = s;
        s = kJapanese + kSurrogate;  // 9 code units
    };
    SendMessageW(Form->Handle(), WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
    EXPECT_EQ(offered, L"旧");
    EXPECT_EQ(std::wstring(buffer), kJapanese);
}

TEST_F(ListViewTest, CheckBoxListKeepsTipAndSubItemImageStyles) {
    TWideListView* lv = MakeReport();
    lv->SetCheckboxes(true);
    SendMessageW(lv->Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES);
    auto ex = static_cast<DWORD>(SendMessageW(lv->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(ex & (LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP),
              static_cast<DWORD>(LVS_EX_CHECKBOXES | LVS_EX_GRIDLINES | LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP));
    lv->SetCheckboxes(false);
    SendMessageW(lv->Handle(), LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_GRIDLINES);
    ex = static_cast<DWORD>(SendMessageW(lv->Handle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    EXPECT_EQ(ex & (LVS_EX_SUBITEMIMAGES | LVS_EX_INFOTIP), 0u);
}

TEST_F(ListViewTest, ItemIndexesShowAndAssignCopiesThem) {
    TWideListView* lv = MakeReport();
    TWideListItem* a = lv->Items().Add();
    a->SetCaption(kJapanese);
    a->SubItems().Add(kSurrogate);
    a->SetData(reinterpret_cast<void*>(9));
    a->SetImageIndex(2);
    a->SetOverlayIndex(1);
    a->SetStateIndex(0);
    a->SetIndent(3);
    auto windowItem = [&](int index) {
        LVITEMW item{};
        item.mask = LVIF_STATE | LVIF_INDENT | LVIF_IMAGE;
        item.stateMask = LVIS_OVERLAYMASK | LVIS_STATEIMAGEMASK;
        item.iItem = index;
        SendMessageW(lv->Handle(), LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
        return item;
    };
    LVITEMW shown = windowItem(0);
    EXPECT_EQ(shown.state & LVIS_OVERLAYMASK, INDEXTOOVERLAYMASK(1));
    EXPECT_EQ(shown.state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(shown.iIndent, 3);

    TWideListItem* b = lv->Items().Add();
    b->Assign(*a);
    EXPECT_EQ(b->Caption(), kJapanese);
    EXPECT_EQ(b->SubItems().Get(0), kSurrogate);
    EXPECT_EQ(b->Data(), reinterpret_cast<void*>(9));
    EXPECT_EQ(b->ImageIndex(), 2);
    EXPECT_EQ(b->OverlayIndex(), 1);
    EXPECT_EQ(b->StateIndex(), 0);
    EXPECT_EQ(b->Indent(), 3);
    // A new window shows the same.
    lv->RecreateWnd();
    shown = windowItem(1);
    EXPECT_EQ(shown.state & LVIS_OVERLAYMASK, INDEXTOOVERLAYMASK(1));
    EXPECT_EQ(shown.state & LVIS_STATEIMAGEMASK, INDEXTOSTATEIMAGEMASK(1));
    EXPECT_EQ(shown.iIndent, 3);
    EXPECT_EQ(shown.iImage, 2);
}

TEST_F(ListViewTest, OwnerDrawnItemsDrawThroughTheHandlerOrTheCaption) {
    TWideListView* lv = MakeReport();
    lv->OwnerDraw = true;
    lv->RecreateWnd();
    EXPECT_TRUE(GetWindowLongW(lv->Handle(), GWL_STYLE) & LVS_OWNERDRAWFIXED);
    TWideListItem* item = lv->Items().Add();
    item->SetCaption(kJapanese);

    // A 200x20 memory bitmap, white, standing in for the window's DC.
    testsupport::MemoryDib dib(200, 20, RGB(255, 255, 255));
    const HDC dc = dib.DC;
    const uint32_t* bits = dib.Bits;
    auto draw = [&](UINT state) {
        dib.Fill(RGB(255, 255, 255));
        DRAWITEMSTRUCT dis{};
        dis.CtlType = ODT_LISTVIEW;
        dis.hwndItem = lv->Handle();
        dis.itemID = 0;
        dis.itemState = state;
        dis.hDC = dc;
        dis.rcItem = {0, 0, 200, 20};
        dis.itemData = reinterpret_cast<ULONG_PTR>(item);
        SendMessageW(Form->Handle(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&dis));
        GdiFlush();
    };
    TWideListItem* drawn = nullptr;
    TOwnerDrawState drawnState = 0;
    lv->OnDrawItem = [&](TWideCustomListView*, TWideListItem* it, RECT, TOwnerDrawState state) {
        drawn = it;
        drawnState = state;
    };
    draw(ODS_SELECTED);
    EXPECT_EQ(drawn, item);
    EXPECT_EQ(drawnState, odSelected);
    EXPECT_EQ(bits[0] & 0xFFFFFF, 0xFFFFFFu);  // the handler drew nothing

    lv->OnDrawItem = nullptr;
    draw(0);
    COLORREF window = GetSysColor(COLOR_WINDOW);
    DWORD fill = (GetRValue(window) << 16) | (GetGValue(window) << 8) | GetBValue(window);
    EXPECT_EQ(bits[0] & 0xFFFFFF, fill);          // filled with the list's colour
    int inked = 0;                                 // and the caption drawn from x = 2 on
    for (int y = 0; y < 20; ++y)
        for (int x = 0; x < 200; ++x)
            if ((bits[y * 200 + x] & 0xFFFFFF) != fill) {
                ++inked;
                EXPECT_GE(x, 2);
            }
    EXPECT_GT(inked, 10);
}

TEST_F(ListViewTest, OneImageListInBothRolesStaysWatchedAfterTheOtherChanges) {
    // The same list as small and large images; the small one then changes. When the shared
    // list goes, the view must not keep it as its large images.
    TWideListView* lv = MakeReport();
    HWND wnd = lv->Handle();
    auto* shared = new classlib::TImageList(nullptr);
    classlib::TImageList other(nullptr);
    lv->SetSmallImages(shared);
    lv->SetLargeImages(shared);
    lv->SetSmallImages(&other);
    EXPECT_EQ(SendMessageW(wnd, LVM_GETIMAGELIST, LVSIL_NORMAL, 0), reinterpret_cast<LRESULT>(shared->Handle()));
    delete shared;
    EXPECT_EQ(SendMessageW(wnd, LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
    EXPECT_EQ(SendMessageW(wnd, LVM_GETIMAGELIST, LVSIL_SMALL, 0), reinterpret_cast<LRESULT>(other.Handle()));
    // A new window takes the lists the view still holds: the freed one is not among them.
    lv->SetViewStyle(vsIcon);
    EXPECT_EQ(SendMessageW(lv->Handle(), LVM_GETIMAGELIST, LVSIL_NORMAL, 0), 0);
    lv->SetSmallImages(nullptr);
}
