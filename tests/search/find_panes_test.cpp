// The result pane and the replace preview bound to their string trees: rows follow the
// hits, cells come from the hits, removed rows keep the others in order, matches painted.
#include "search/find_panes.h"

#include <gtest/gtest.h>

#include <memory>

#include "classlib/form.h"
#include "common/test_support.h"
#include "session_window.h"

using namespace search;
using namespace gridtree;
using registry::TVxRegFindClass;
using searchtest::SessionWindow;
using testsupport::MemoryDib;
using testsupport::ScratchKey;

namespace {

// A string tree on a hidden form: white, black text.
struct TreeOnForm {
    std::unique_ptr<classlib::TForm> Form = std::make_unique<classlib::TForm>(nullptr);
    TGridStringTree* Tree = nullptr;
    TreeOnForm() {
        Form->SetBounds(10, 10, 900, 300);
        Tree = new TGridStringTree();
        Tree->SetParent(Form.get());
        Tree->SetBounds(0, 0, 880, 200);
        Tree->HandleNeeded();
        Tree->SetColor(classlib::TColor(RGB(255, 255, 255)));
        Tree->Font().SetColor(classlib::TColor(RGB(0, 0, 0)));
    }
    std::unique_ptr<MemoryDib> Print() {
        auto dib = std::make_unique<MemoryDib>(Tree->ClientWidth(), Tree->ClientHeight(), RGB(1, 2, 3));
        SendMessageW(Tree->Handle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(dib->DC), PRF_CLIENT);
        return dib;
    }
    std::vector<std::wstring> Column(int column) {
        std::vector<std::wstring> texts;
        for (PGridNode n = Tree->GetFirst(); n; n = Tree->GetNext(n)) texts.push_back(Tree->Text(n, column));
        return texts;
    }
};

TEST(FindPaneCells, TextsAndImagesPerKind) {
    struct Case {
        uint8_t Kind;
        DWORD Type;
        const wchar_t *Kind0, *Type3, *ReplaceKind;
        int Image, ReplaceImage;
    };
    const Case cases[] = {
        {0, 0, L"キーの名前", L"キー", L"キー", 2, 2},
        {1, REG_DWORD, L"値の名前", L"REG_DWORD", L"値の名前", 3, 3},
        {2, REG_SZ, L"値", L"REG_SZ", L"REG_SZ", 1, 1},
        {2, REG_MULTI_SZ, L"値", L"REG_MULTI_SZ", L"REG_MULTI_SZ", 1, 1},
        {2, REG_BINARY, L"値", L"REG_BINARY", L"REG_BINARY", 0, 1},
    };
    for (const auto& c : cases) {
        TVxRegFindClass hit;
        hit.FHitKind = c.Kind;
        hit.FValueType = c.Type;
        hit.FFullPath = L"HKEY_CURRENT_USER\\x";
        hit.FDataText = L"data";
        EXPECT_EQ(FindResultText(hit, 0), c.Kind0);
        EXPECT_EQ(FindResultText(hit, 1), L"");
        EXPECT_EQ(FindResultText(hit, 2), L"HKEY_CURRENT_USER\\x");
        EXPECT_EQ(FindResultText(hit, 3), c.Type3);
        EXPECT_EQ(FindResultImage(hit), c.Image);
        EXPECT_EQ(ReplaceKindText(hit), c.ReplaceKind);
        EXPECT_EQ(ReplaceImage(hit), c.ReplaceImage);
    }
}

class FindPanesTest : public testing::Test {
protected:
    FindPanesTest() : FKey(testsupport::CurrentTestName()), FWindow(FSession) {
        for (const wchar_t* name : {L"a Soft", L"b soft", L"c other", L"d SOFT"})
            RegSetValueExW(FKey.Handle(), name, 0, REG_SZ, reinterpret_cast<const BYTE*>(L"v"), 4);
    }
    void Search() {
        TWendlarFindRecord r;
        r.Keyword = L"soft";
        r.IgnoreCase = true;
        r.StartKeys = L"HKEY_CURRENT_USER\\" + FKey.Path();
        FWindow.Run(r);
    }
    ScratchKey FKey;
    TFindSession FSession;
    SessionWindow FWindow;
    TreeOnForm FForm;
};

TEST_F(FindPanesTest, ResultPaneRowsFollowTheHits) {
    TFindResultPane pane(*FForm.Tree, FSession);
    ASSERT_EQ(FForm.Tree->Header().Columns().Count(), 4);
    Search();
    ASSERT_EQ(FForm.Tree->RootNodeCount(), 3u);
    const std::wstring base = L"HKEY_CURRENT_USER\\" + FKey.Path() + L"\\";
    EXPECT_EQ(FForm.Column(2), (std::vector<std::wstring>{base + L"a Soft", base + L"b soft", base + L"d SOFT"}));
    EXPECT_EQ(FForm.Column(0), (std::vector<std::wstring>(3, L"値の名前")));

    // Every occurrence in the hit-data column is painted red.
    auto dib = FForm.Print();
    EXPECT_GT(dib->Count(RGB(255, 0, 0)), 0);

    // A double click on the selected row asks for the jump to its hit.
    std::wstring jumped;
    pane.OnJump = [&](const TVxRegFindClass& hit) { jumped = hit.FFullPath; };
    PGridNode second = FForm.Tree->GetNext(FForm.Tree->GetFirst());
    FForm.Tree->SetFocusedNode(second);
    FForm.Tree->SetSelected(second, true);
    FForm.Tree->OnDblClick(FForm.Tree);
    EXPECT_EQ(jumped, base + L"b soft");

    // Removing two selected rows leaves the third.
    FForm.Tree->SetSelected(FForm.Tree->GetFirst(), true);
    ASSERT_TRUE(pane.CanRemoveSelected());
    pane.RemoveSelected();
    EXPECT_EQ(FForm.Tree->RootNodeCount(), 1u);
    EXPECT_EQ(FForm.Column(2), (std::vector<std::wstring>{base + L"d SOFT"}));
    EXPECT_EQ(FForm.Tree->SelectionCount(), 0u);
}

TEST_F(FindPanesTest, ReplacePreviewFollowsOptionsAndReplacement) {
    Search();
    TBulkReplacer replacer(FSession.LastFind());
    TReplacePreviewPane pane(*FForm.Tree, replacer);
    pane.SetShown(FilterReplaceHits(FSession.Results(), TReplaceOptions{}));
    pane.SetReplacement(L"hard");
    ASSERT_EQ(FForm.Tree->RootNodeCount(), 3u);
    EXPECT_EQ(FForm.Column(2), (std::vector<std::wstring>{L"a hard", L"b hard", L"d hard"}));
    EXPECT_EQ(FForm.Column(0), (std::vector<std::wstring>(3, L"値の名前")));
    auto dib = FForm.Print();
    EXPECT_GT(dib->Count(RGB(255, 0, 0)), 0);
    TReplaceOptions noNames;
    noNames.ValueNames = false;
    pane.SetShown(FilterReplaceHits(FSession.Results(), noNames));
    EXPECT_EQ(FForm.Tree->RootNodeCount(), 0u);
}

}  // namespace
