#include "search/find_panes.h"

#include "registry/regtext.h"

namespace search {

using namespace gridtree;
using registry::TVxRegFindClass;

namespace {

bool StringType(DWORD type) { return type == REG_SZ || type == REG_EXPAND_SZ || type == REG_MULTI_SZ; }

void AddColumn(TCustomGridStringTree& tree, const wchar_t* text, int width) {
    TGridTreeColumn* column = tree.Header().Columns().Add();
    column->SetText(text);
    column->SetWidth(width);
}

void SelectRows(TCustomGridStringTree& tree, TGTSelectionOptions extra) {
    TCustomGridTreeOptions& options = tree.TreeOptions();
    options.SetSelectionOptions(options.SelectionOptions() | toFullRowSelect | toMultiSelect | extra);
    tree.Header().SetOptions(tree.Header().Options() | hoVisible);
}

// The row of a node of a flat list (a root child).
size_t Row(PGridNode node) {
    const uint32_t index = node->Index;
    return index;
}

// Images in column 0 only, for the normal and the selected image.
void BindImages(TCustomGridStringTree& tree, std::function<const TVxRegFindClass*(PGridNode)> hitOf,
                int (*image)(const TVxRegFindClass&)) {
    tree.OnGetImageIndex = [hitOf = std::move(hitOf), image](TBaseGridTree*, PGridNode node, TGTImageKind kind,
                                                             TColumnIndex column, bool&, int& index) {
        if (column != 0 || (kind != ikNormal && kind != ikSelected)) return;
        if (const TVxRegFindClass* hit = hitOf(node)) index = image(*hit);
    };
}

}  // namespace

// --- Cells --------------------------------------------------------------------------

std::wstring FindResultText(const TVxRegFindClass& hit, int column) {
    switch (column) {
    case 0:
        return hit.FHitKind == 0 ? L"キーの名前" : hit.FHitKind == 1 ? L"値の名前" : L"値";
    case 2: return hit.FFullPath;
    case 3: return hit.FHitKind == 0 ? std::wstring(L"キー") : registry::RegTypeToName(hit.FValueType);
    default: return {};
    }
}

int FindResultImage(const TVxRegFindClass& hit) {
    switch (hit.FHitKind) {
    case 0: return 2;
    case 1: return 3;
    default: return StringType(hit.FValueType) ? 1 : 0;
    }
}

std::wstring ReplaceKindText(const TVxRegFindClass& hit) {
    if (hit.FHitKind == 0) return L"キー";
    if (hit.FHitKind == 1) return L"値の名前";
    return registry::RegTypeToName(hit.FValueType);
}

int ReplaceImage(const TVxRegFindClass& hit) { return hit.FHitKind == 0 ? 2 : hit.FHitKind == 1 ? 3 : 1; }

// --- The result pane ---------------------------------------------------------------------

TFindResultPane::TFindResultPane(TCustomGridStringTree& tree, TFindSession& session)
    : FTree(tree), FSession(session) {
    AddColumn(tree, L"種類", 100);
    AddColumn(tree, L"ヒットデータ", 250);
    AddColumn(tree, L"フルパス", 400);
    AddColumn(tree, L"タイプ", 120);
    SelectRows(tree, 0);
    tree.OnGetText = [this](TBaseGridTree*, PGridNode node, TColumnIndex column, TGSTTextType, std::wstring& text) {
        const TVxRegFindClass* hit = HitOf(node);
        text = hit ? FindResultText(*hit, column) : std::wstring();
    };
    BindImages(tree, [this](PGridNode node) { return HitOf(node); }, FindResultImage);
    tree.OnAfterCellPaint = [this](TBaseGridTree*, classlib::TCanvas& canvas, PGridNode node, TColumnIndex column,
                                   const RECT& cell) {
        const TVxRegFindClass* hit = HitOf(node);
        if (!hit || column != 1) return;
        FHighlighter.SetRecord(FSession.LastFind());
        FHighlighter.Paint(canvas, cell, hit->FDataText);
    };
    tree.OnDblClick = [this](classlib::TComponent*) {
        const TVxRegFindClass* hit = HitOf(FTree.FocusedNode());
        if (hit && FTree.Selected(FTree.FocusedNode()) && OnJump) OnJump(*hit);
    };
    session.OnRowCount = [this](size_t rows) { FTree.SetRootNodeCount(static_cast<uint32_t>(rows)); };
    tree.SetRootNodeCount(static_cast<uint32_t>(session.Results().size()));
}

TFindResultPane::~TFindResultPane() {
    FSession.OnRowCount = nullptr;
    FTree.OnGetText = nullptr;
    FTree.OnGetImageIndex = nullptr;
    FTree.OnAfterCellPaint = nullptr;
    FTree.OnDblClick = nullptr;
}

const TVxRegFindClass* TFindResultPane::HitOf(PGridNode node) const {
    if (!node) return nullptr;
    const size_t row = Row(node);
    return row < FSession.Results().size() ? FSession.Results()[row].get() : nullptr;
}

void TFindResultPane::RemoveSelected() {
    if (!CanRemoveSelected()) return;
    std::vector<size_t> rows;
    for (PGridNode n = FTree.GetFirstSelected(); n; n = FTree.GetNextSelected(n)) rows.push_back(Row(n));
    if (rows.empty()) return;
    // The rows that stay move up: no selection may stick to the wrong hit.
    FTree.ClearSelection();
    FSession.RemoveHits(std::move(rows));
    FTree.Invalidate();
}

// --- The replace preview -----------------------------------------------------------------

TReplacePreviewPane::TReplacePreviewPane(TCustomGridStringTree& tree, TBulkReplacer& replacer)
    : FTree(tree), FReplacer(replacer) {
    AddColumn(tree, L"種類", 120);
    AddColumn(tree, L"置換対象", 150);
    AddColumn(tree, L"置換後", 120);
    AddColumn(tree, L"フルパス", 300);
    SelectRows(tree, toRightClickSelect);
    FHighlighter.SetRecord(replacer.Record());
    auto hitOf = [this](PGridNode node) -> const TVxRegFindClass* {
        const size_t row = node ? Row(node) : FShown.size();
        return row < FShown.size() ? FShown[row] : nullptr;
    };
    tree.OnGetText = [this, hitOf](TBaseGridTree*, PGridNode node, TColumnIndex column, TGSTTextType,
                                   std::wstring& text) {
        const TVxRegFindClass* hit = hitOf(node);
        text.clear();
        if (!hit) return;
        if (column == 0) text = ReplaceKindText(*hit);
        else if (column == 2) text = FReplacer.Preview(*hit, FReplacement);
        else if (column == 3) text = hit->FFullPath;
    };
    BindImages(tree, hitOf, ReplaceImage);
    tree.OnAfterCellPaint = [this, hitOf](TBaseGridTree*, classlib::TCanvas& canvas, PGridNode node,
                                          TColumnIndex column, const RECT& cell) {
        const TVxRegFindClass* hit = hitOf(node);
        if (hit && column == 1) FHighlighter.Paint(canvas, cell, hit->FDataText);
    };
}

TReplacePreviewPane::~TReplacePreviewPane() {
    FTree.OnGetText = nullptr;
    FTree.OnGetImageIndex = nullptr;
    FTree.OnAfterCellPaint = nullptr;
}

void TReplacePreviewPane::SetShown(std::vector<const TVxRegFindClass*> shown) {
    FShown = std::move(shown);
    FTree.SetRootNodeCount(0);
    FTree.SetRootNodeCount(static_cast<uint32_t>(FShown.size()));
    FTree.Invalidate();
}

void TReplacePreviewPane::SetReplacement(const std::wstring& replacement) {
    FReplacement = replacement;
    FTree.Invalidate();
}

}  // namespace search
