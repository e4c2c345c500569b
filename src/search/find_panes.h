// The two lists that show search hits, each a string tree bound here to its data: the main
// window's result pane (row i is hit i of the search session) and the bulk replace
// dialog's preview (row i is shown hit i). Neither tree stores a text: every cell is
// derived from its hit when it is painted, so a pane with 100,000 hits paints like one
// with a screenful, and the matched text is highlighted with one TMatchHighlighter per
// pane.
//
// The owner creates and places the tree, sets its image list (the main window's images of
// registry objects) and keeps the binding alive as long as the tree. Main thread only.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "controls/gridtree/stringtree.h"
#include "registry/regrecords.h"
#include "search/bulk_ops.h"
#include "search/find_session.h"
#include "search/match_paint.h"

namespace search {

// --- Cells (pure) ---------------------------------------------------------------------

// Result pane: column 0 the kind ("キーの名前", "値の名前", "値"), 1 nothing (painted),
// 2 the full path, 3 the type name for value hits and "キー" for key hits.
std::wstring FindResultText(const registry::TVxRegFindClass& hit, int column);
// Result pane, column 0: key 2, value name 3, data 1 for string types and 0 for others.
int FindResultImage(const registry::TVxRegFindClass& hit);
// Replace preview, column 0: "キー", "値の名前", or the data's type name.
std::wstring ReplaceKindText(const registry::TVxRegFindClass& hit);
// Replace preview, column 0: key 2, value name 3, data 1.
int ReplaceImage(const registry::TVxRegFindClass& hit);

// --- The result pane ---------------------------------------------------------------------

class TFindResultPane {
public:
    // Sets the columns ("種類", "ヒットデータ", "フルパス", "タイプ"), full-row and multiple
    // selection, and takes over the session's OnRowCount.
    TFindResultPane(gridtree::TCustomGridStringTree& tree, TFindSession& session);
    ~TFindResultPane();
    TFindResultPane(const TFindResultPane&) = delete;
    TFindResultPane& operator=(const TFindResultPane&) = delete;

    // The hit of a row (null for a row out of range).
    const registry::TVxRegFindClass* HitOf(gridtree::PGridNode node) const;
    // A double click on a row: the owner jumps to the hit's full path.
    std::function<void(const registry::TVxRegFindClass& hit)> OnJump;
    // "このアイテムを検索結果から除去する": allowed while hits exist and no search runs.
    bool CanRemoveSelected() const { return FSession.CanChangeHits(); }
    // Frees the hits of the selected rows; the others keep their order.
    void RemoveSelected();

private:
    gridtree::TCustomGridStringTree& FTree;
    TFindSession& FSession;
    TMatchHighlighter FHighlighter;
};

// --- The replace preview -----------------------------------------------------------------

class TReplacePreviewPane {
public:
    // Sets the columns ("種類" 120, "置換対象" 150, "置換後" 120, "フルパス" 300), a visible
    // header, full-row and multiple selection with right-click selection. Matches are
    // highlighted by the replacer's search record; `replacer` must outlive the pane.
    TReplacePreviewPane(gridtree::TCustomGridStringTree& tree, TBulkReplacer& replacer);
    ~TReplacePreviewPane();
    TReplacePreviewPane(const TReplacePreviewPane&) = delete;
    TReplacePreviewPane& operator=(const TReplacePreviewPane&) = delete;

    // The hits shown (FilterResults): one row each; every preview is computed anew.
    void SetShown(std::vector<const registry::TVxRegFindClass*> shown);
    const std::vector<const registry::TVxRegFindClass*>& Shown() const { return FShown; }
    // The replacement text: the previews follow.
    void SetReplacement(const std::wstring& replacement);
    const std::wstring& Replacement() const { return FReplacement; }

private:
    gridtree::TCustomGridStringTree& FTree;
    TBulkReplacer& FReplacer;
    TMatchHighlighter FHighlighter;
    std::vector<const registry::TVxRegFindClass*> FShown;
    std::wstring FReplacement;
};

}  // namespace search
