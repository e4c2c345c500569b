// The value list: rows and their texts, reading on demand, colours, sorting.
#include <map>
#include <set>

#include "views_fixture.h"

using views::TVxRegListView;
using Rows_t = std::vector<std::vector<std::wstring>>;

namespace {

std::vector<BYTE> Utf16(const std::wstring& text) {
    const BYTE* p = reinterpret_cast<const BYTE*>(text.data());
    return std::vector<BYTE>(p, p + text.size() * 2);
}

// The value names of the rows, top to bottom.
std::vector<std::wstring> Names(TVxRegListView& List) {
    std::vector<std::wstring> names;
    for (uint32_t i = 0; i < List.ValueCount(); ++i) names.push_back(List.GetValueAt(i)->FValueName);
    return names;
}

std::set<std::wstring> SelectedNames(TVxRegListView& List) {
    std::set<std::wstring> names;
    for (gridtree::PGridNode n = List.GetFirstSelected(); n; n = List.GetNextSelected(n))
        names.insert(List.GetValueNameOfNode(n));
    return names;
}

gridtree::PGridNode RowOf(TVxRegListView& List, const std::wstring& Name) {
    for (gridtree::PGridNode n = List.GetFirstChild(nullptr); n; n = List.GetNextSibling(n))
        if (List.GetValueNameOfNode(n) == Name) return n;
    return nullptr;
}

}  // namespace

TEST_F(ViewsTest, ListRowsStartWithTheDefaultValue) {
    MakeKey(P(L"Empty"));
    const auto empty = K(L"Empty");
    List->ShowKey(&empty);
    EXPECT_EQ(Rows(), (Rows_t{{L"(既定)", L"", L"REG_SZ"}}));
    EXPECT_EQ(L"", List->GetValueAt(0)->FValueName);
    EXPECT_EQ(Full(L"Empty") + L"\\", List->GetValueAt(0)->FFullPath);

    // A set default value is its own row, first; the others follow by name, case ignored.
    SetSz(P(L"Full"), L"beta", L"2");
    SetSz(P(L"Full"), L"Alpha", L"1");
    SetDword(P(L"Full"), L"", 7);
    const auto full = K(L"Full");
    List->ShowKey(&full);
    EXPECT_EQ(Rows(), (Rows_t{{L"(既定)", L"0x00000007(7)", L"REG_DWORD"},
                              {L"Alpha", L"1", L"REG_SZ"},
                              {L"beta", L"2", L"REG_SZ"}}));

    // A key that cannot be read shows the placeholder only; nothing shows nothing.
    const auto missing = K(L"Missing");
    List->ShowKey(&missing);
    EXPECT_EQ(Rows(), (Rows_t{{L"(既定)", L"", L"REG_SZ"}}));
    List->ShowKey(nullptr);
    EXPECT_EQ(0u, List->RootNodeCount());
    EXPECT_EQ(nullptr, List->GetSelectedValue());
}

// Every row's data, type text and image. The type cell is asked first: whether a number
// has the wrong length must not depend on the data cell having been shown before.
TEST_F(ViewsTest, ListDataTypeTextsAndImages) {
    struct Case {
        const wchar_t* Name;
        DWORD Type;
        std::vector<BYTE> Data;
        const wchar_t* DataText;
        const wchar_t* TypeText;
        bool StringImage;
    };
    const Case cases[] = {
        {L"sz", REG_SZ, Utf16(std::wstring(L"テキスト\0", 5)), L"テキスト", L"REG_SZ", true},
        {L"expand", REG_EXPAND_SZ, Utf16(std::wstring(L"%TEMP%\0", 7)), L"%TEMP%", L"REG_EXPAND_SZ", true},
        {L"multi", REG_MULTI_SZ, Utf16(std::wstring(L"a\0b\0\0", 5)), L"a b ", L"REG_MULTI_SZ", true},
        {L"dword", REG_DWORD, Bytes({3, 0, 0, 0}), L"0x00000003(3)", L"REG_DWORD", false},
        {L"dword3", REG_DWORD, Bytes({1, 2, 3}), L"01 02 03 ", L"破損した数値", false},
        {L"big", REG_DWORD_BIG_ENDIAN, Bytes({0, 0, 1, 0}), L"0x00000100(256)", L"REG_DWORD_BIG_ENDIAN", false},
        {L"qword", REG_QWORD, Bytes({2, 0, 0, 0, 0, 0, 0, 0}), L"0x0000000000000002(2)", L"REG_QWORD", false},
        {L"qword4", REG_QWORD, Bytes({2, 0, 0, 0}), L"02 00 00 00 ", L"破損した数値", false},
        {L"odd", 0x20, Bytes({0xAB}), L"AB ", L"不明", false},
        {L"nodata", REG_BINARY, {}, L"", L"REG_BINARY", false},
    };
    for (const Case& c : cases) SetRaw(P(L"Types"), c.Name, c.Type, c.Data);
    List->SetStringItemImage(7);
    List->SetBinItemImage(3);
    const auto key = K(L"Types");
    List->ShowKey(&key);
    std::map<std::wstring, gridtree::PGridNode> rows;
    for (gridtree::PGridNode n = List->GetFirstChild(nullptr); n; n = List->GetNextSibling(n))
        rows[List->GetValueNameOfNode(n)] = n;
    for (const Case& c : cases) {
        SCOPED_TRACE(testsupport::Narrow(c.Name));
        gridtree::PGridNode row = rows[c.Name];
        ASSERT_NE(nullptr, row);
        EXPECT_EQ(c.TypeText, List->Text(row, 2));
        EXPECT_EQ(c.DataText, List->Text(row, 1));
        bool ghosted = false;
        int index = 99;
        List->DoGetImageIndex(row, gridtree::ikSelected, 0, ghosted, index);
        EXPECT_EQ(c.StringImage ? 7 : 3, index);
        List->DoGetImageIndex(row, gridtree::ikNormal, 1, ghosted, index);
        EXPECT_EQ(-1, index);
    }
}

TEST_F(ViewsTest, ListReadsDataWhenARowIsFirstShownAndKeepsIt) {
    for (int i = 0; i < 100; ++i) SetSz(P(L"Many"), L"v" + std::to_wstring(1000 + i), L"old");
    const auto key = K(L"Many");
    List->ShowKey(&key);
    auto cached = [&] {
        uint32_t count = 0;
        for (uint32_t i = 0; i < List->ValueCount(); ++i) count += List->GetValueAt(i)->FDataTextCached;
        return count;
    };
    EXPECT_EQ(1u, cached()) << "only the placeholder row needs no read";
    Print(*List);
    // The rows on screen (and no others) were read: the first ones.
    const uint32_t shown = cached();
    EXPECT_GT(shown, 5u);
    EXPECT_LT(shown, 40u);
    for (uint32_t i = 0; i < shown; ++i) EXPECT_TRUE(List->GetValueAt(i)->FDataTextCached) << i;

    // A shown row keeps its text until the list is filled again.
    SetSz(P(L"Many"), L"v1000", L"new");
    Print(*List);
    EXPECT_EQ(L"old", List->Text(RowOf(*List, L"v1000"), 1));
    // A value gone before its row is shown gets the error text, read again next time.
    ASSERT_EQ(ERROR_SUCCESS, RegDeleteKeyValueW(HKEY_CURRENT_USER, P(L"Many").c_str(), L"v1099"));
    gridtree::PGridNode last = RowOf(*List, L"v1099");
    EXPECT_EQ(views::ValueReadErrorText, List->Text(last, 1));
    EXPECT_FALSE(List->ValueOfNode(last)->FDataTextCached);
    SetSz(P(L"Many"), L"v1099", L"back");
    EXPECT_EQ(L"back", List->Text(last, 1));
    List->ShowKey(&key);
    EXPECT_EQ(L"new", List->Text(RowOf(*List, L"v1000"), 1));
}

TEST_F(ViewsTest, ListHeaderClicksSortAndTheSelectionStaysOnItsValues) {
    SetSz(P(L"Sort"), L"", L"m");
    SetDword(P(L"Sort"), L"a", 5);
    SetSz(P(L"Sort"), L"B", L"zeta", REG_EXPAND_SZ);
    SetRaw(P(L"Sort"), L"c", REG_BINARY, Bytes({1}));
    SetRaw(P(L"Sort"), L"d", REG_QWORD, Bytes({2, 0, 0, 0, 0, 0, 0, 0}));
    const auto key = K(L"Sort");
    List->ShowKey(&key);
    ASSERT_EQ(Names(*List), (std::vector<std::wstring>{L"", L"a", L"B", L"c", L"d"}));
    List->AddToSelection(RowOf(*List, L"a"));
    List->AddToSelection(RowOf(*List, L"c"));
    List->SetFocusedNode(RowOf(*List, L"c"));
    gridtree::TGridTreeColumns& columns = List->Header().Columns();
    auto columnColours = [&] {
        std::vector<classlib::TColor> colours;
        for (int i = 0; i < columns.Count(); ++i) colours.push_back(columns[i]->Color());
        return colours;
    };
    const classlib::TColor plain = List->Color(), sorted = List->SortColumnColor();

    struct Step {
        const char* What;
        gridtree::TColumnIndex Column;
        classlib::TMouseButton Button;
        std::vector<std::wstring> Order;
        std::vector<classlib::TColor> Colours;
    };
    const Step steps[] = {
        {"type, first click: highest first", 2, classlib::mbLeft, {L"d", L"a", L"c", L"B", L""},
         {plain, plain, sorted}},
        {"type, second click", 2, classlib::mbLeft, {L"", L"B", L"c", L"a", L"d"}, {plain, plain, sorted}},
        // No row was shown: sorting by data reads every row's data first.
        {"data", 1, classlib::mbLeft, {L"B", L"", L"a", L"d", L"c"}, {plain, sorted, plain}},
        {"right click: no sorting, no colour", 0, classlib::mbRight, {L"B", L"", L"a", L"d", L"c"},
         {plain, plain, plain}},
        {"name", 0, classlib::mbLeft, {L"d", L"c", L"B", L"a", L""}, {sorted, plain, plain}},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.What);
        List->DoHeaderClick(s.Column, s.Button, 0, 0, 0);
        EXPECT_EQ(s.Order, Names(*List));
        EXPECT_EQ(s.Colours, columnColours());
        EXPECT_EQ((std::set<std::wstring>{L"a", L"c"}), SelectedNames(*List));
        EXPECT_EQ(L"c", List->GetValueNameOfNode(List->FocusedNode()));
    }
    EXPECT_EQ(0, List->Header().SortColumn());
    EXPECT_EQ(gridtree::sdDescending, List->Header().SortDirection());
    // Filling again restores the name order and drops the sort column.
    List->ShowKey(&key);
    EXPECT_EQ(Names(*List), (std::vector<std::wstring>{L"", L"a", L"B", L"c", L"d"}));
    EXPECT_EQ(gridtree::NoColumn, List->Header().SortColumn());
}

TEST_F(ViewsTest, ListOfAReadOnlyKeyTakesItsColourInEveryColumn) {
    SetSz(P(L"Key"), L"x", L"1");
    auto key = K(L"Key");
    List->SetReadOnlyColor(classlib::TColor(RGB(0xA0, 0xB0, 0x30)));
    key.FReadOnly = true;
    List->ShowKey(&key);
    EXPECT_EQ(List->ReadOnlyColor(), List->Color());
    auto dib = Print(*List);
    // Below the rows, inside each column.
    int left = 0;
    const int y = List->ClientHeight() - 4;
    for (int i = 0; i < 3; ++i) {
        const int width = List->Header().Columns()[i]->Width();
        SCOPED_TRACE(i);
        EXPECT_EQ(List->ReadOnlyColor(), classlib::TColor(List->Header().Columns()[i]->Color()));
        EXPECT_EQ(COLORREF(List->ReadOnlyColor()), dib->Pixel(left + width / 2, y));
        left += width;
    }
    key.FReadOnly = false;
    List->ShowKey(&key);
    EXPECT_EQ(List->DefaultColor(), List->Color());
}

TEST_F(ViewsTest, ListShowsTheKeyOfOneOfItsOwnRows) {
    SetSz(P(L"Own"), L"x", L"1");
    SetSz(P(L"Own"), L"y", L"2");
    const auto key = K(L"Own");
    List->ShowKey(&key);
    List->SetSelected(RowOf(*List, L"y"), true);
    List->ShowKey(List->GetSelectedValue());
    EXPECT_EQ(Rows(), (Rows_t{{L"(既定)", L"", L"REG_SZ"}, {L"x", L"1", L"REG_SZ"}, {L"y", L"2", L"REG_SZ"}}));
    EXPECT_EQ(Full(L"Own") + L"\\y", List->GetValueAt(2)->FFullPath);
}
