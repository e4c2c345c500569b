// The string tree's parts of user input: the incremental search's comparison and the
// default in-place editor.
#include "controls/gridtree/gridtree_edit.h"
#include "controls/gridtree/stringtree.h"

namespace gridtree {

int TCustomGridStringTree::DoIncrementalSearch(PGridNode Node, const std::wstring& Text) {
    if (OnIncrementalSearch) return TBaseGridTree::DoIncrementalSearch(Node, Text);
    const std::wstring cell = this->Text(Node, FocusedColumn());
    return cell.compare(0, Text.size(), Text) == 0 ? 0 : 1;
}

PGTEditLink TCustomGridStringTree::DoCreateEditor(PGridNode Node, TColumnIndex Column) {
    PGTEditLink link = TBaseGridTree::DoCreateEditor(Node, Column);
    if (!link) link = std::make_shared<TStringEditLink>();
    return link;
}

}  // namespace gridtree
