#include "app/toolpages.h"

#include "app/keycommands.h"
#include "app/mainactions.h"
#include "app/toolpanes.h"
#include "app/valuecommands.h"
#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/toolbar/ui/uipanels.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "undo/undoprovider.h"

namespace app {

using classlib::TComponent;
using enum TActionId;

namespace {

// The cell texts and column-0 images of a pane showing `list` (an accessor, so that the pane
// always reads the provider's current list).
template <class List, class Text>
void BindPaneCells(gridtree::TGridStringTree& pane, List list, Text text, int image) {
    pane.OnGetText = [list, text](gridtree::TBaseGridTree*, gridtree::PGridNode node, gridtree::TColumnIndex column,
                                  gridtree::TGSTTextType, std::wstring& cell) {
        const auto& items = list();
        cell = node && node->Index < items.size() ? text(*items[node->Index], column) : std::wstring();
    };
    pane.OnGetImageIndex = [image](gridtree::TBaseGridTree*, gridtree::PGridNode, gridtree::TGTImageKind kind,
                                   gridtree::TColumnIndex column, bool&, int& index) {
        if (kind == gridtree::ikNormal || kind == gridtree::ikSelected) index = PaneImageIndex(image, column);
    };
}

// Binds `run` to an action: it runs as every command does.
void BindCommand(TMainActionList& actions, TToolPaneHost& host, TActionId id, std::function<void()> run) {
    actions.Action(id)->OnExecute = [&host, run = std::move(run)](TComponent*) { host.RunCommand(run); };
}

}  // namespace

gridtree::TGridStringTree* NewPane(const TFeatureContext& context, classlib::TWinControl* parent,
                                   std::span<const wchar_t* const> headers) {
    auto* pane = new gridtree::TGridStringTree(&context.Form);
    pane->SetParent(parent);
    pane->SetAlign(classlib::alClient);
    for (const wchar_t* header : headers) {
        gridtree::TGridTreeColumn* column = pane->Header().Columns().Add();
        column->SetText(header);
        column->SetWidth(120);
    }
    gridtree::TCustomGridTreeOptions& options = pane->TreeOptions();
    options.SetSelectionOptions(options.SelectionOptions() | gridtree::toFullRowSelect | gridtree::toMultiSelect |
                                gridtree::toRightClickSelect);
    // A flat list: no root lines.
    options.SetPaintOptions(options.PaintOptions() & ~(gridtree::toShowRoot | gridtree::toShowTreeLines));
    pane->Header().SetOptions(pane->Header().Options() | gridtree::hoVisible);
    pane->SetImages(context.RegObjectImages);
    return pane;
}

ui::TUiPopupMenu* NewPanePopup(const TFeatureContext& context, gridtree::TGridStringTree& pane,
                               std::initializer_list<std::optional<TActionId>> items) {
    auto* menu = new ui::TUiPopupMenu(&context.Form);
    menu->SetImages(context.ToolBarImages);
    for (const std::optional<TActionId>& id : items) {
        if (!id) {
            menu->Items()->Add(new ui::TUiSeparatorItem(menu));
            continue;
        }
        auto* item = new ui::TUiItem(menu);
        item->SetAction(context.Actions.Action(*id));
        menu->Items()->Add(item);
    }
    pane.OnGetPopupMenu = [menu](gridtree::TBaseGridTree*, gridtree::PGridNode, gridtree::TColumnIndex, POINT,
                                 bool& askParent, classlib::TPopupMenu*& popup) {
        askParent = false;
        popup = menu;
    };
    return menu;
}

std::vector<int> SelectedRows(gridtree::TGridStringTree* pane) {
    std::vector<int> rows;
    if (!pane) return rows;
    for (gridtree::PGridNode node = pane->GetFirstSelected(); node; node = pane->GetNextSelected(node))
        rows.push_back(static_cast<int>(node->Index));
    return rows;
}

void SetPaneRows(gridtree::TGridStringTree* pane, size_t count) {
    if (!pane) return;
    pane->SetRootNodeCount(static_cast<uint32_t>(count));
    pane->Invalidate();
}

// --- Undo page ---------------------------------------------------------------------------

TUndoPage::TUndoPage(const TFeatureContext& context, TToolPanel& panel, TToolPaneHost& host,
                     undo::TVxRegClipUndoProvider& provider)
    : TProviderPage(context, panel, provider) {
    const auto onRows = [this, &host](void (*command)(const TCommandContext&, const std::vector<int>&)) {
        return [this, &host, command] { command(host.CommandContext(), SelectedRows(FPane)); };
    };
    BindCommand(FContext.Actions, host, aacExecuteUndo, onRows(UndoRowCommand));
    BindCommand(FContext.Actions, host, aacExecuteUndoListUp, onRows(UndoRowsBottomUpCommand));
    BindCommand(FContext.Actions, host, aacUndoDelete, onRows(DeleteUndoRowsCommand));
    BindCommand(FContext.Actions, host, aacUndoClear, [this] { FProvider.ClearUndoList(); });
    FProvider.OnChange = [this](TComponent*) { SetPaneRows(FPane, FProvider.UndoList().size()); };
    FPanel.SetPage(UndoToolPage, this);
}

TUndoPage::~TUndoPage() {
    FProvider.OnChange = nullptr;
    delete FMenu;
    delete FPane;
    FPanel.SetPage(UndoToolPage, nullptr);
}

void TUndoPage::CreateControls(classlib::TWinControl& page) {
    FPane = NewPane(FContext, &page, UndoPaneHeaders);
    BindPaneCells(*FPane, [this]() -> const auto& { return FProvider.UndoList(); }, UndoPaneText, UndoPaneImage);
    FMenu = NewPanePopup(FContext, *FPane, {aacExecuteUndo, aacExecuteUndoListUp, aacUndoClear, aacUndoDelete});
    SetPaneRows(FPane, FProvider.UndoList().size());
}

// --- Clipboard page ----------------------------------------------------------------------

TClipboardPage::TClipboardPage(const TFeatureContext& context, TToolPanel& panel, TToolPaneHost& host,
                               undo::TVxRegClipUndoProvider& provider)
    : TProviderPage(context, panel, provider) {
    const auto onRows = [this, &host](gridtree::TGridStringTree* const& pane,
                                      void (*command)(const TCommandContext&, const std::vector<int>&)) {
        return [&host, &pane, command] { command(host.CommandContext(), SelectedRows(pane)); };
    };
    // Pasting the selected entries into the selected key (nothing without a key).
    BindCommand(FContext.Actions, host, aacExecuteClipKey, [this, &host] {
        const std::optional<registry::TVxRegKeyClass> key = host.SelectedKey();
        PasteKeysCommand(host.CommandContext(), key ? &*key : nullptr, SelectedRows(FKeyPane));
    });
    BindCommand(FContext.Actions, host, aacExecuteClipValue, [this, &host] {
        const std::optional<registry::TVxRegKeyClass> key = host.SelectedKey();
        PasteValuesCommand(host.CommandContext(), key ? &*key : nullptr, SelectedRows(FValuePane));
    });
    BindCommand(FContext.Actions, host, aacDeleteClipKey, onRows(FKeyPane, DeleteKeyClipRowsCommand));
    BindCommand(FContext.Actions, host, aacDeleteClipValue, onRows(FValuePane, DeleteValueClipRowsCommand));
    BindCommand(FContext.Actions, host, aacClearClipKey, [this] { FProvider.ClearKeyClipboard(); });
    BindCommand(FContext.Actions, host, aacClearClipValue, [this] { FProvider.ClearValueClipboard(); });
    FProvider.OnChangeClipBord = [this](TComponent*) {
        SetPaneRows(FKeyPane, FProvider.KeyClipList().size());
        SetPaneRows(FValuePane, FProvider.ValueClipList().size());
    };
    FPanel.SetPage(ClipboardToolPage, this);
}

TClipboardPage::~TClipboardPage() {
    FProvider.OnChangeClipBord = nullptr;
    delete FKeyMenu;
    delete FValueMenu;
    delete FKeyArea;  // with its pane
    delete FValueArea;
    FPanel.SetPage(ClipboardToolPage, nullptr);
}

void TClipboardPage::CreateControls(classlib::TWinControl& page) {
    FKeyArea = NewToolArea(&FContext.Form, &page, classlib::alLeft);
    FValueArea = NewToolArea(&FContext.Form, &page, classlib::alClient);
    for (auto [area, title] : {std::pair{FKeyArea, L"キー"}, std::pair{FValueArea, L"値"}}) {
        auto* label = new ui::TUiLabel(&FContext.Form);
        label->SetParent(area);
        label->SetAlign(classlib::alTop);
        label->SetCaption(title);
    }
    FKeyPane = NewPane(FContext, FKeyArea, KeyClipPaneHeaders);
    BindPaneCells(*FKeyPane, [this]() -> const auto& { return FProvider.KeyClipList(); }, KeyClipPaneText,
                  KeyClipPaneImage);
    FValuePane = NewPane(FContext, FValueArea, ValueClipPaneHeaders);
    BindPaneCells(*FValuePane, [this]() -> const auto& { return FProvider.ValueClipList(); }, ValueClipPaneText,
                  ValueClipPaneImage);
    FKeyMenu = NewPanePopup(FContext, *FKeyPane, {aacExecuteClipKey, std::nullopt, aacDeleteClipKey, aacClearClipKey});
    FValueMenu =
        NewPanePopup(FContext, *FValuePane, {aacExecuteClipValue, std::nullopt, aacDeleteClipValue, aacClearClipValue});
    SetPaneRows(FKeyPane, FProvider.KeyClipList().size());
    SetPaneRows(FValuePane, FProvider.ValueClipList().size());
}

void TClipboardPage::PanelResized(int panelWidth) {
    if (FKeyArea) FKeyArea->SetWidth(ClipKeyPaneWidth(panelWidth));
}

}  // namespace app
