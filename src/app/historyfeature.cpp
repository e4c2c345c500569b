#include "app/historyfeature.h"

#include "app/mainactions.h"
#include "app/toolpages.h"
#include "classlib/application.h"
#include "classlib/errors.h"
#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uitoolbar.h"

namespace app {

using classlib::TComponent;

namespace {

// The history row's picture in the registry-object image list.
constexpr int HistoryImage = 6;

}  // namespace

THistoryFeature::THistoryFeature(const TFeatureContext& context, TToolPanel& panel, THistoryHost& host,
                                 std::wstring fileName)
    : FContext(context), FPanel(panel), FHost(host), FHistory(std::move(fileName)) {
    try {
        FHistory.Load();
    } catch (...) {
        classlib::HandleCurrentException(nullptr);
    }
    ui::TUiComboBox& box = FHost.AddressBox();
    // The box takes the focus for a moment when the window first shows, before the registry
    // window takes it: the list is filled once the box still has it after the messages
    // waiting (posted calls come before the keys typed next).
    box.OnEnter = [this](TComponent*) {
        if (classlib::Application)
            classlib::Application->QueueCall([this] { if (AddressBoxFocused()) FillAddressBox(); }, this);
    };
    box.OnDropDown = [this](TComponent*) { FillAddressBox(); };
    FContext.Actions.Action(TActionId::aacClearHistory)->OnExecute = [this](TComponent*) { Clear(); };
    FPanel.SetPage(HistoryToolPage, this);
}

THistoryFeature::~THistoryFeature() {
    if (classlib::Application) classlib::Application->CancelQueuedCalls(this);
    ui::TUiComboBox& box = FHost.AddressBox();
    box.OnEnter = nullptr;
    box.OnDropDown = nullptr;
    delete FMenu;
    delete FTree;
    FPanel.SetPage(HistoryToolPage, nullptr);
}

bool THistoryFeature::AddressBoxFocused() {
    ui::TUiComboBox& box = FHost.AddressBox();
    const HWND focus = GetFocus();
    return focus && box.HandleAllocated() && (focus == box.Handle() || focus == box.EditHandle());
}

void THistoryFeature::FillAddressBox() {
    if (FBoxFilled) return;
    ui::TUiComboBox& box = FHost.AddressBox();
    const std::wstring text = box.Text();
    box.Items().Assign(FHistory.Lines());
    box.SetText(text);
    FBoxFilled = true;
}

void THistoryFeature::Add(const std::wstring& path) {
    if (path.empty()) return;
    int from = -1;
    bool saved = true;
    try {
        from = FHistory.Add(path);
    } catch (...) {
        saved = false;
        classlib::HandleCurrentException(nullptr);
    }
    if (FBoxFilled) {
        ui::TUiComboBox& box = FHost.AddressBox();
        const std::wstring text = box.Text();
        wide::TWideStrings& items = box.Items();
        if (FBoxStale || !saved) {
            // After a clear (or an add that did not say where the path came from) the list
            // starts again from the history.
            items.Assign(FHistory.Lines());
            FBoxStale = false;
        } else {
            if (from >= 0 && from < items.Count()) items.Delete(from);
            items.Insert(0, path);
        }
        box.SetText(text);
    }
    RowsChanged();
}

void THistoryFeature::Clear() {
    // The address box keeps the list it shows until the next path is added.
    FillAddressBox();
    FBoxStale = true;
    try {
        FHistory.Clear();
    } catch (...) {
        classlib::HandleCurrentException(nullptr);
    }
    RowsChanged();
}

void THistoryFeature::RowsChanged() {
    if (!FTree) return;
    FTree->SetRootNodeCount(static_cast<uint32_t>(FHistory.Lines().Count()));
    FTree->Invalidate();
}

void THistoryFeature::CreateControls(classlib::TWinControl& page) {
    FTree = new gridtree::TGridStringTree(&FContext.Form);
    FTree->SetName(L"HistoryTree");
    FTree->SetParent(&page);
    FTree->SetAlign(classlib::alClient);
    FTree->SetImages(FContext.RegObjectImages);
    gridtree::TCustomGridTreeOptions& options = FTree->TreeOptions();
    options.SetSelectionOptions(options.SelectionOptions() | gridtree::toRightClickSelect);
    // A flat list: no root lines.
    options.SetPaintOptions(options.PaintOptions() & ~(gridtree::toShowRoot | gridtree::toShowTreeLines));
    FTree->OnGetText = [this](gridtree::TBaseGridTree*, gridtree::PGridNode node, gridtree::TColumnIndex,
                              gridtree::TGSTTextType, std::wstring& cell) {
        const bool listed = node && static_cast<int>(node->Index) < FHistory.Lines().Count();
        cell = listed ? FHistory.Lines().Get(static_cast<int>(node->Index)) : std::wstring();
    };
    FTree->OnGetImageIndex = [](gridtree::TBaseGridTree*, gridtree::PGridNode, gridtree::TGTImageKind kind,
                                gridtree::TColumnIndex column, bool&, int& index) {
        if ((kind == gridtree::ikNormal || kind == gridtree::ikSelected) && column <= 0) index = HistoryImage;
    };
    FTree->OnDblClick = [this](TComponent*) { TreeDoubleClicked(); };
    FMenu = NewPanePopup(FContext, *FTree, {TActionId::aacClearHistory});
    RowsChanged();
}

void THistoryFeature::TreeDoubleClicked() {
    const gridtree::PGridNode node = FTree->GetFirstSelected();
    if (!node || static_cast<int>(node->Index) >= FHistory.Lines().Count()) return;
    FHost.AddressBox().SetText(FHistory.Lines().Get(static_cast<int>(node->Index)));
    FHost.GoToAddress();
}

}  // namespace app
