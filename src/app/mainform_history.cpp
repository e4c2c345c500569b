// The history page of the tool panel: one row per line of the address history, newest first,
// without columns or header. A double click on a row goes to its path as the "移動" button
// does; the page's menu (made with the other panes' menus) clears the history. The page
// reads the history itself, so its row count only has to follow the history's changes.
#include "app/mainform.h"

#include "classlib/errors.h"
#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uipanels.h"

namespace app {

namespace {

// The history row's picture in the registry-object image list.
constexpr int HistoryImage = 6;

}  // namespace

void TMainForm::CreateHistoryPage() {
    HistoryTree = new gridtree::TGridStringTree(this);
    HistoryTree->SetName(L"HistoryTree");
    HistoryTree->SetParent(NoteBookPages[3]);
    HistoryTree->SetAlign(classlib::alClient);
    gridtree::TCustomGridTreeOptions& options = HistoryTree->TreeOptions();
    options.SetSelectionOptions(options.SelectionOptions() | gridtree::toRightClickSelect);
    // A flat list: no root lines.
    options.SetPaintOptions(options.PaintOptions() & ~(gridtree::toShowRoot | gridtree::toShowTreeLines));
    HistoryTree->OnGetText = [this](gridtree::TBaseGridTree*, gridtree::PGridNode node, gridtree::TColumnIndex,
                                    gridtree::TGSTTextType, std::wstring& cell) {
        const bool listed = FHistory && node && static_cast<int>(node->Index) < FHistory->Lines().Count();
        cell = listed ? FHistory->Lines().Get(static_cast<int>(node->Index)) : std::wstring();
    };
    HistoryTree->OnGetImageIndex = [](gridtree::TBaseGridTree*, gridtree::PGridNode, gridtree::TGTImageKind kind,
                                      gridtree::TColumnIndex column, bool&, int& index) {
        if ((kind == gridtree::ikNormal || kind == gridtree::ikSelected) && column <= 0) index = HistoryImage;
    };
    HistoryTree->OnDblClick = [this](classlib::TComponent*) { HistoryTreeDblClick(); };

    FActions->Action(TActionId::aacClearHistory)->OnExecute = [this](classlib::TComponent*) { ClearHistory(); };
}

void TMainForm::HistoryChanged() {
    if (!HistoryTree) return;
    HistoryTree->SetRootNodeCount(FHistory ? static_cast<uint32_t>(FHistory->Lines().Count()) : 0);
    HistoryTree->Invalidate();
}

void TMainForm::HistoryTreeDblClick() {
    const gridtree::PGridNode node = HistoryTree->GetFirstSelected();
    if (!node || !FHistory || static_cast<int>(node->Index) >= FHistory->Lines().Count()) return;
    AddressBox->SetText(FHistory->Lines().Get(static_cast<int>(node->Index)));
    RegMoveButtonClick();
}

void TMainForm::ClearHistory() {
    if (!FHistory) return;
    // The address box's list keeps its items until the next path is added.
    try {
        FHistory->Clear();
    } catch (...) {
        classlib::HandleCurrentException(nullptr);
    }
    HistoryChanged();
}

}  // namespace app
