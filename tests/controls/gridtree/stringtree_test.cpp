// The string tree: texts asked from the owner, the cached width of the main column, the
// static text, shortening and the painted text.
#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "classlib/form.h"
#include "controls/gridtree/stringtree.h"
#include "tree_test_support.h"

using namespace gridtree;
using testsupport::MemoryDib;

namespace {

class TTestStringTree : public TCustomGridStringTree {
public:
    using TCustomGridStringTree::DoGetNodeWidth;
    // Lengths of the texts measured.
    std::vector<size_t> Measured;

protected:
    int DoTextMeasuring(HDC DC, PGridNode Node, TColumnIndex Column, const std::wstring& Text) override {
        Measured.push_back(Text.size());
        return TCustomGridStringTree::DoTextMeasuring(DC, Node, Column, Text);
    }
};

constexpr COLORREF Paper = RGB(255, 255, 255);

// A string tree on a hidden form: white, no themes, no lines or buttons; black text.
struct TStringTreeOnForm {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TTestStringTree* Tree = nullptr;

    TStringTreeOnForm() {
        Form->SetBounds(10, 10, 400, 300);
        Tree = new TTestStringTree();
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 300, 120);
        Tree->HandleNeeded();
        Tree->SetColor(classlib::TColor(Paper));
        Tree->Font().SetColor(classlib::TColor(RGB(0, 0, 0)));
        TCustomGridTreeOptions& o = Tree->TreeOptions();
        o.SetPaintOptions(o.PaintOptions() & ~(toThemeAware | toShowTreeLines | toShowButtons | toShowRoot));
    }
    std::unique_ptr<MemoryDib> Print() {
        auto dib = std::make_unique<MemoryDib>(Tree->ClientWidth(), Tree->ClientHeight(), RGB(1, 2, 3));
        SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib->DC), PRF_CLIENT);
        return dib;
    }
};

// Pixels other than the paper in [X0, X1) x [Y0, Y1), and the leftmost one's x (-1: none).
struct TInk {
    int Count = 0;
    int Left = -1;
};
TInk InkIn(const MemoryDib& Dib, int X0, int Y0, int X1, int Y1) {
    TInk ink;
    for (int x = X0; x < X1; ++x)
        for (int y = Y0; y < Y1; ++y)
            if (Dib.Pixel(x, y) != Paper) {
                ++ink.Count;
                if (ink.Left < 0) ink.Left = x;
            }
    return ink;
}

}  // namespace

TEST(GridStringTree, TextsComeFromTheOwnerStartingAtTheDefault) {
    TTestStringTree tree;
    tree.SetRootNodeCount(2);
    PGridNode node = tree.GetFirst();
    EXPECT_EQ(L"Node", tree.DefaultText());
    EXPECT_EQ(L"Node", tree.Text(node, NoColumn));  // no handler: the default text
    tree.SetDefaultText(L"?");
    std::vector<TGSTTextType> asked;
    tree.OnGetText = [&](TBaseGridTree*, PGridNode Node, TColumnIndex Column, TGSTTextType Type, std::wstring& Text) {
        asked.push_back(Type);
        Text += L"/" + std::to_wstring(uint32_t(Node->Index)) + L"/" + std::to_wstring(Column);
    };
    EXPECT_EQ(L"?/1/2", tree.Text(tree.GetNextSibling(node), 2));
    EXPECT_EQ(std::vector<TGSTTextType>{ttNormal}, asked);
    EXPECT_THROW(tree.Text(nullptr, 0), EGridTreeAssertion);
    try {
        tree.Text(nullptr, 0);
    } catch (const EGridTreeAssertion& e) {
        EXPECT_EQ(L"Node must not be nil.", e.Message());
    }

    std::wstring received;
    tree.OnNewText = [&](TBaseGridTree*, PGridNode, TColumnIndex, const std::wstring& Text) { received = Text; };
    tree.SetText(node, 0, L"new");
    EXPECT_EQ(L"new", received);

    // A cell is empty when its text is.
    EXPECT_FALSE(tree.ColumnIsEmpty(node, 0));
    tree.OnGetText = [](TBaseGridTree*, PGridNode, TColumnIndex, TGSTTextType, std::wstring& Text) { Text.clear(); };
    EXPECT_TRUE(tree.ColumnIsEmpty(node, 0));
}

// Only the main column's width is kept, and only until the node, the font or the main
// column changes.
TEST(GridStringTree, MainColumnWidthIsCachedUntilSomethingChanges) {
    TTestStringTree tree;
    tree.Header().Columns().Add();
    tree.Header().Columns().Add();
    tree.SetRootNodeCount(2);
    PGridNode node = tree.GetFirst(), other = tree.GetNextSibling(node);
    int asked = 0;
    tree.OnGetText = [&](TBaseGridTree*, PGridNode, TColumnIndex, TGSTTextType, std::wstring& Text) {
        ++asked;
        Text = L"some text";
    };
    auto askedFor = [&](const std::function<void()>& Do) {
        asked = 0;
        Do();
        return asked;
    };
    const int width = tree.DoGetNodeWidth(node, 0);
    EXPECT_GT(width, 2 * tree.TextMargin());
    EXPECT_EQ(0, askedFor([&] { EXPECT_EQ(width, tree.DoGetNodeWidth(node, 0)); }));
    EXPECT_EQ(1, askedFor([&] { tree.DoGetNodeWidth(node, 1); }));  // never cached
    EXPECT_EQ(1, askedFor([&] { tree.DoGetNodeWidth(node, 1); }));
    tree.DoGetNodeWidth(other, 0);

    tree.InvalidateNode(node);  // this node only
    EXPECT_EQ(1, askedFor([&] { tree.DoGetNodeWidth(node, 0); }));
    EXPECT_EQ(0, askedFor([&] { tree.DoGetNodeWidth(other, 0); }));

    tree.Font().SetSize(tree.Font().Size() + 8);  // every node
    EXPECT_EQ(1, askedFor([&] { EXPECT_GT(tree.DoGetNodeWidth(other, 0), width); }));

    tree.DoGetNodeWidth(node, 0);
    tree.Header().SetMainColumn(1);  // every node
    EXPECT_EQ(1, askedFor([&] { tree.DoGetNodeWidth(node, 1); }));
    EXPECT_EQ(0, askedFor([&] { tree.DoGetNodeWidth(node, 1); }));
}

// A handler that makes the font bold makes the cell's width the bold text's.
TEST(GridStringTree, PaintTextHandlerDecidesTheMeasuringFont) {
    TTestStringTree tree;
    tree.Header().Columns().Add();
    tree.Header().Columns().Add();
    tree.SetRootNodeCount(1);
    PGridNode node = tree.GetFirst();
    tree.OnGetText = [](TBaseGridTree*, PGridNode, TColumnIndex, TGSTTextType, std::wstring& Text) {
        Text = L"WWWWWWWWWWWWWWWWWWWW";
    };
    const int plain = tree.DoGetNodeWidth(node, 1);
    tree.OnPaintText = [](TBaseGridTree*, classlib::TCanvas& Canvas, PGridNode, TColumnIndex, TGSTTextType) {
        Canvas.Font().SetStyle(classlib::fsBold);
    };
    EXPECT_GT(tree.DoGetNodeWidth(node, 1), plain);
}

TEST(GridStringTree, StaticTextOnlyForSingleLineNodesOfAnUncentredTree) {
    struct Case {
        const char* What;
        TAlignment Alignment;
        bool Multiline;
        bool Option;
        bool Asked;
    };
    const Case cases[] = {
        {"left aligned", taLeftJustify, false, true, true},
        {"right aligned", taRightJustify, false, true, true},
        {"centred tree", taCenter, false, true, false},
        {"multi-line node", taLeftJustify, true, true, false},
        {"option off", taLeftJustify, false, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.What);
        TStringTreeOnForm f;
        TTestStringTree& tree = *f.Tree;
        tree.SetAlignment(c.Alignment);
        if (c.Option) tree.TreeOptions().SetStringOptions(tree.TreeOptions().StringOptions() | toShowStaticText);
        if (c.Multiline)
            tree.OnInitNode = [](TBaseGridTree*, PGridNode, PGridNode, TGridNodeInitStates& States) {
                States |= ivsMultiline;
            };
        int staticAsked = 0;
        tree.OnGetText = [&](TBaseGridTree*, PGridNode, TColumnIndex, TGSTTextType Type, std::wstring& Text) {
            if (Type == ttStatic) ++staticAsked;
            Text = Type == ttStatic ? L"static" : L"text";
        };
        tree.SetRootNodeCount(1);
        f.Print();
        EXPECT_EQ(c.Asked, staticAsked > 0);
    }
}

// Every cell of the same text shows the same pixels: each cell draws in the tree's font,
// also after the cells before it.
TEST(GridStringTree, EveryCellDrawsInTheTreeFont) {
    TStringTreeOnForm f;
    TTestStringTree& tree = *f.Tree;
    for (int i = 0; i < 3; ++i) tree.Header().Columns().Add()->SetWidth(80);
    tree.Font().SetName(L"Arial");
    tree.Font().SetSize(14);
    tree.OnGetText = [](TBaseGridTree*, PGridNode, TColumnIndex, TGSTTextType, std::wstring& Text) { Text = L"Wg"; };
    tree.SetRootNodeCount(4);
    auto dib = f.Print();
    const int rowHeight = int(tree.DefaultNodeHeight());
    const TInk first = InkIn(*dib, 0, 0, 80, rowHeight);
    ASSERT_GT(first.Count, 0);
    for (int row = 0; row < 4; ++row)
        for (int column = 0; column < 3; ++column) {
            SCOPED_TRACE(testing::Message() << "row " << row << ", column " << column);
            TInk ink = InkIn(*dib, column * 80, row * rowHeight, column * 80 + 80, row * rowHeight + rowHeight);
            EXPECT_EQ(first.Count, ink.Count);
            EXPECT_EQ(first.Left + column * 80, ink.Left);
        }
}

// A text too wide for its cell is shortened from the text the cell can show: a huge value
// is cut before anything measures or shortens it. A centred cell shows a shortened text
// from the left.
TEST(GridStringTree, WideTextsAreCutForDisplayBeforeMeasuring) {
    TStringTreeOnForm f;
    TTestStringTree& tree = *f.Tree;
    TGridTreeColumns& columns = tree.Header().Columns();
    columns.Add()->SetWidth(60);
    columns.Add()->SetWidth(100);
    columns[1]->SetAlignment(taCenter);
    const std::wstring huge(1 << 20, L'W');
    tree.OnGetText = [&](TBaseGridTree*, PGridNode Node, TColumnIndex Column, TGSTTextType, std::wstring& Text) {
        if (Column == 0) Text = L"x";
        else Text = Node->Index == 0 ? huge : L"i";
    };
    size_t longestShortened = 0;
    int shortenings = 0;
    tree.OnShortenString = [&](TBaseGridTree*, HDC, PGridNode, TColumnIndex, const std::wstring& S, int, bool,
                               std::wstring&, bool&) {
        ++shortenings;
        longestShortened = std::max(longestShortened, S.size());
    };
    tree.SetRootNodeCount(2);
    auto dib = f.Print();
    EXPECT_EQ(1, shortenings);
    EXPECT_LE(longestShortened, 10000u);
    ASSERT_FALSE(tree.Measured.empty());
    EXPECT_LE(*std::max_element(tree.Measured.begin(), tree.Measured.end()), 10000u);

    // Column 1 spans x 60 to 160: the shortened text starts at the cell's left (margin
    // and text margin), the short one in the middle.
    const int rowHeight = int(tree.DefaultNodeHeight());
    const TInk shortened = InkIn(*dib, 60, 0, 160, rowHeight);
    const TInk centred = InkIn(*dib, 60, rowHeight, 160, 2 * rowHeight);
    EXPECT_EQ(60 + tree.Margin() + tree.TextMargin(), shortened.Left);
    EXPECT_GT(centred.Left, 100);
    EXPECT_LT(centred.Left, 120);
}

// The height a text needs when wrapped into its cell; with spanning, empty cells to its
// right widen the cell first.
TEST(GridStringTree, NodeHeightWrapsIntoTheCellAndItsEmptyNeighbours) {
    TTestStringTree tree;
    tree.Header().Columns().Add()->SetWidth(60);
    tree.Header().Columns().Add()->SetWidth(300);
    tree.SetRootNodeCount(1);
    PGridNode node = tree.GetFirst();
    tree.OnGetText = [](TBaseGridTree*, PGridNode, TColumnIndex Column, TGSTTextType, std::wstring& Text) {
        Text = Column == 0 ? L"one two three four five six" : L"";
    };
    const int line = tree.ComputeNodeHeight(node, 0, nullptr);
    const std::wstring single = L"one";
    EXPECT_GT(line, tree.ComputeNodeHeight(node, 0, &single));  // wrapped into several lines
    tree.TreeOptions().SetAutoOptions(tree.TreeOptions().AutoOptions() | toAutoSpanColumns);
    EXPECT_EQ(tree.ComputeNodeHeight(node, 0, &single), tree.ComputeNodeHeight(node, 0, nullptr));
}
