// The header layout stream: a saved header reads back as it was, older layouts are read
// with their rules, and a damaged stream changes nothing.
#include <cstring>
#include <string>
#include <vector>

#include "classlib/errors.h"
#include "classlib/streams.h"
#include "tree_test_support.h"

using namespace gridtree;

namespace {

using TBytes = std::vector<unsigned char>;

TBytes Saved(TGTHeader& Header) {
    classlib::TMemoryStream stream;
    Header.SaveHeader(stream);
    const auto* data = static_cast<const unsigned char*>(stream.Memory());
    return TBytes(data, data + stream.Size());
}

void Load(TGTHeader& Header, const TBytes& Bytes) {
    classlib::TMemoryStream stream;
    if (!Bytes.empty()) stream.Write(Bytes.data(), Bytes.size());
    stream.SetPosition(0);
    Header.LoadHeader(stream);
}

// Builds a stream of 32-bit integers and UTF-16 texts by hand.
struct TWriter {
    TBytes Bytes;
    TWriter& Int(int32_t V) {
        const auto* p = reinterpret_cast<const unsigned char*>(&V);
        Bytes.insert(Bytes.end(), p, p + 4);
        return *this;
    }
    TWriter& Text(const std::wstring& S) {
        Int(int32_t(S.size()));
        const auto* p = reinterpret_cast<const unsigned char*>(S.data());
        Bytes.insert(Bytes.end(), p, p + S.size() * 2);
        return *this;
    }
    TWriter& Ansi(const std::string& S) {
        Int(int32_t(S.size()));
        Bytes.insert(Bytes.end(), S.begin(), S.end());
        return *this;
    }
};

// A header with three columns that differ in every stored property.
void Configure(TTestTree& Tree) {
    TGTHeader& header = Tree.Header();
    TGridTreeColumns& columns = header.Columns();
    for (int i = 0; i < 3; ++i) {
        TGridTreeColumn* c = columns.Add();
        c->SetText(i == 1 ? L"名前" : L"Column " + std::to_wstring(i));
        c->SetHint(L"hint " + std::to_wstring(i));
        c->SetMaxWidth(500 + i);
        c->SetMinWidth(20 + i);
        c->SetWidth(70 + 10 * i);
        c->SetImageIndex(i - 1);
        c->SetLayout(TGTHeaderColumnLayout(i));
        c->SetMargin(3 + i);
        c->SetSpacing(5 + i);
        c->SetTag(100 * i - 7);
        c->SetAlignment(TAlignment(i));
    }
    columns[2]->SetStyle(vsOwnerDraw);
    columns[1]->SetBiDiMode(bdRightToLeft);
    columns[0]->SetColor(0x123456);
    columns[2]->SetOptions(columns[2]->Options() | coAutoSpring | coFixed);
    columns[0]->SetPosition(2);
    header.SetAutoSizeIndex(1);
    header.SetBackground(0x00FF8000);
    header.SetHeight(23);
    header.SetStyle(hsXPStyle);
    header.Font().SetName(L"Arial");
    header.Font().SetHeight(-15);
    header.Font().SetColor(0x0000FF);
    header.Font().SetStyle(classlib::fsBold | classlib::fsItalic);
    header.SetMainColumn(2);
    header.SetSortColumn(1);
    header.SetSortDirection(sdDescending);
    header.SetOptions(hoColumnResize | hoDrag | hoShowSortGlyphs | hoAutoSpring);
}

}  // namespace

TEST(GridTreeHeaderStream, SavedHeaderReadsBackAsItWas) {
    TTestTree source, target;
    Configure(source);
    const TBytes bytes = Saved(source.Header());
    int resized = 0;
    target.OnColumnResize = [&](TGTHeader*, TColumnIndex Column) {
        EXPECT_EQ(NoColumn, Column);
        ++resized;
    };
    Load(target.Header(), bytes);
    EXPECT_EQ(1, resized);
    EXPECT_EQ(bytes, Saved(target.Header()));

    TGTHeader& header = target.Header();
    TGridTreeColumns& columns = header.Columns();
    ASSERT_EQ(3, columns.Count());
    EXPECT_EQ((TIndexArray{1, 2, 0}), columns.PositionMap());
    EXPECT_EQ(L"名前", columns[1]->Text());
    EXPECT_EQ(L"hint 2", columns[2]->Hint());
    EXPECT_EQ(90, columns[2]->Width());
    EXPECT_EQ(TGTColumnOptions(columns[2]->Options() & (coAutoSpring | coFixed)), TGTColumnOptions(coAutoSpring | coFixed));
    EXPECT_EQ(0x123456, columns[0]->Color());
    EXPECT_EQ(193, columns[2]->Tag());
    EXPECT_EQ(0, columns[1]->ColumnLeft());  // left edges follow the positions
    EXPECT_EQ(80, columns[2]->ColumnLeft());
    EXPECT_EQ(170, columns[0]->ColumnLeft());
    EXPECT_EQ(2, header.MainColumn());
    EXPECT_EQ(1, header.SortColumn());
    EXPECT_EQ(sdDescending, header.SortDirection());
    EXPECT_EQ(23, header.Height());
    EXPECT_EQ(L"Arial", header.Font().Name());
    EXPECT_EQ(TGTHeaderOptions(hoColumnResize | hoDrag | hoShowSortGlyphs | hoAutoSpring), header.Options());
    EXPECT_FALSE(header.States() & hstLoading);
}

TEST(GridTreeHeaderStream, DamagedStreamsChangeNothing) {
    TTestTree source;
    Configure(source);
    const TBytes good = Saved(source.Header());
    // Offsets in the good stream: marker 0, version 4, count 8, the first column's text
    // length 12.
    auto patched = [&](size_t Offset, int32_t Value) {
        TBytes b = good;
        std::memcpy(&b[Offset], &Value, 4);
        return b;
    };
    // The first column: text "Column 0" from 16, hint length at 32, hint "hint 0", its
    // width at 48 and the style at 60. After the three columns: the position map, then
    // 5 header integers, the font (colour, height, name length, "Arial", pitch, style)
    // and main column, sort column and direction.
    const size_t hint = 32, style = 60;
    const size_t map = good.size() - 16 * 4 - 5, headerOptions = map + 3 * 4 + 3 * 4;
    struct Case {
        const char* What;
        TBytes Bytes;
    };
    std::vector<Case> cases = {
        {"empty", TBytes{}},
        {"negative count", patched(8, -3)},
        {"huge count", patched(8, 0x7FFFFFFF)},
        {"text longer than the stream", patched(12, 0x40000000)},
        {"negative text length", patched(12, -1)},
        {"hint past the end", patched(hint, int32_t(good.size()))},
        {"unknown column style", patched(style, 7)},
        {"position map names a column twice", patched(map + 4, 1)},
        {"position map names no column", patched(map, 3)},
        {"negative position", patched(map, -1)},
        {"header options beyond 16 bits", patched(headerOptions, 0x10000)},
        {"font name longer than the stream", patched(map + 40, 200)},
    };
    for (size_t length : {size_t(3), size_t(4), size_t(13), hint + 2, map, good.size() - 1})
        cases.push_back({"cut short", TBytes(good.begin(), good.begin() + long(length))});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TTestTree target;
        target.Header().Columns().Add()->SetText(L"kept");
        target.Header().Columns().Add()->SetWidth(77);
        target.Header().SetSortColumn(1);
        const TBytes before = Saved(target.Header());
        int resized = 0;
        target.OnColumnResize = [&](TGTHeader*, TColumnIndex) { ++resized; };
        EXPECT_THROW(Load(target.Header(), c.Bytes), classlib::EReadError);
        EXPECT_EQ(before, Saved(target.Header()));
        EXPECT_EQ(1, resized);  // the notification still fires
        EXPECT_FALSE(target.Header().States() & hstLoading);
    }
    // Every shorter stream is refused the same way.
    TTestTree target;
    const TBytes before = Saved(target.Header());
    for (size_t length = 0; length < good.size(); ++length) {
        TBytes cut(good.begin(), good.begin() + long(length));
        ASSERT_THROW(Load(target.Header(), cut), classlib::EReadError) << length;
        ASSERT_EQ(before, Saved(target.Header())) << length;
    }
}

// The oldest layout has no marker: the count comes first, the version counts as -1, and
// columns have no tag, alignment or colour; their options gain coParentColor's bit 4.
// Version 2 keeps the low 8 bits of the options.
TEST(GridTreeHeaderStream, OlderLayoutsAreReadByTheirRules) {
    auto column = [](TWriter& W, int32_t Options) {
        W.Text(L"old").Text(L"").Int(60).Int(10).Int(10000).Int(vsText).Int(-1).Int(blGlyphLeft).Int(4).Int(4)
            .Int(bdLeftToRight).Int(Options);
    };
    auto header = [](TWriter& W) {
        W.Int(0).Int(0x00C0C0C0).Int(19).Int(hoColumnResize | hoVisible).Int(hsFlatButtons)
            .Int(0).Int(-11).Ansi("Arial").Int(0).Int(0);
    };
    {
        TWriter w;
        w.Int(1);  // no marker: the column count
        column(w, 0x1F | 0x40);  // bits 0-4 and 6
        w.Int(0);                 // position map
        header(w);
        TTestTree tree;
        tree.SetColor(0x00ABCDEF);
        tree.Header().SetMainColumn(0);
        Load(tree.Header(), w.Bytes);
        ASSERT_EQ(1, tree.Header().Columns().Count());
        TGridTreeColumn* c = tree.Header().Columns()[0];
        // 0-3 stay, 4 moves to 5 and 6 to 7; bit 4 (coParentColor) is clear.
        EXPECT_EQ(TGTColumnOptions(0x0F | 0x20 | 0x80), c->Options());
        EXPECT_EQ(0, c->Tag());
        EXPECT_EQ(taLeftJustify, c->Alignment());
        EXPECT_EQ(0x00ABCDEF, c->Color());  // the tree's
        EXPECT_EQ(L"old", c->Text());
        EXPECT_EQ(19, tree.Header().Height());
        EXPECT_EQ(0, tree.Header().MainColumn());
    }
    {
        TWriter w;
        w.Int(-1).Int(2).Int(1);
        column(w, 0x3FF);
        w.Int(5).Int(taRightJustify).Int(0x00112233);  // tag, alignment, colour
        w.Int(0);
        header(w);
        w.Int(0).Int(0).Int(sdDescending);  // main column, sort column, direction
        TTestTree tree;
        Load(tree.Header(), w.Bytes);
        TGridTreeColumn* c = tree.Header().Columns()[0];
        EXPECT_EQ(TGTColumnOptions(0xFF), c->Options());
        EXPECT_EQ(5, c->Tag());
        EXPECT_EQ(taRightJustify, c->Alignment());
        EXPECT_EQ(0, tree.Header().SortColumn());
        EXPECT_EQ(sdDescending, tree.Header().SortDirection());
    }
}
