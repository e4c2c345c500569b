// The main window's tool panel: a dockable panel at the bottom whose tab strip along its
// bottom edge turns four pages (search results, undo list, the two clipboards, address
// history). The undo and clipboard panes show the undo provider's lists row for row and
// follow its change events; their popup menus run the pane commands.
#include "app/mainform.h"

#include "app/toolpanes.h"
#include "controls/gridtree/stringtree.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uidockpanels.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/toolbar/ui/uipanels.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "undo/undoprovider.h"
#include "widgets/vstab.h"

#include <span>

namespace app {

using classlib::TComponent;
using enum TActionId;

namespace {

// A page or part of a page: a borderless panel filling what its parent leaves.
ui::TUiPanel* NewArea(TComponent* owner, classlib::TWinControl* parent, classlib::TAlign align) {
    auto* panel = new ui::TUiPanel(owner);
    panel->SetParent(parent);
    panel->SetBorders(false);
    panel->SetAlign(align);
    return panel;
}

// A pane of rows: full-row and multiple selection, a right click selects, the headers shown.
gridtree::TGridStringTree* NewPane(TComponent* owner, classlib::TWinControl* parent,
                                   std::span<const wchar_t* const> headers) {
    auto* pane = new gridtree::TGridStringTree(owner);
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
    return pane;
}

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

// Shows the row count of a list again (rows beyond it lose their selection).
void SetRows(gridtree::TGridStringTree& pane, size_t count) {
    pane.SetRootNodeCount(static_cast<uint32_t>(count));
    pane.Invalidate();
}

// A themed popup menu of actions (null: a separator line), opened by a right click on `pane`
// or the menu key. The pane asks for its menu, so a right click on a selected row keeps the
// other selected rows for the menu's commands.
ui::TUiPopupMenu* NewPanePopup(TComponent* owner, TMainActionList& actions, gridtree::TGridStringTree& pane,
                               std::initializer_list<std::optional<TActionId>> items) {
    auto* menu = new ui::TUiPopupMenu(owner);
    for (const std::optional<TActionId>& id : items) {
        if (!id) {
            menu->Items()->Add(new ui::TUiSeparatorItem(menu));
            continue;
        }
        auto* item = new ui::TUiItem(menu);
        item->SetAction(actions.Action(*id));
        menu->Items()->Add(item);
    }
    pane.OnGetPopupMenu = [menu](gridtree::TBaseGridTree*, gridtree::PGridNode, gridtree::TColumnIndex, POINT,
                                 bool& askParent, classlib::TPopupMenu*& popup) {
        askParent = false;
        popup = menu;
    };
    return menu;
}

}  // namespace

void TMainForm::CreateToolPanel() {
    CustomToolDock = new ui::TUiMultiDock(this);
    CustomToolDock->SetName(L"CustomToolDock");
    CustomToolDock->SetPosition(ui::dpxBottom);
    CustomToolDock->SetParent(this);

    CustomTools = new ui::TUiDockablePanel(this);
    CustomTools->SetName(L"CustomTools");
    CustomTools->SetCaption(ToolPageCaptions[0]);
    CustomTools->SetHideWhenInactive(false);
    CustomTools->SetDefaultDockedHeight(180);
    CustomTools->SetCurrentDock(CustomToolDock);
    CustomTools->SetVisible(false);

    VxVSTab1 = new widgets::TVxVSTab(this);
    VxVSTab1->SetParent(CustomTools);
    VxVSTab1->SetAlign(classlib::alBottom);
    VxVSTab1->SetReversing(true);
    VxVSTab1->SetEnableBuiltinDragDrop(false);
    VxVSTab1->SetMiddleClickClose(false);
    for (const wchar_t* caption : ToolPageCaptions) VxVSTab1->Tabs().Add(caption);

    NoteBook = NewArea(this, CustomTools, classlib::alClient);
    for (ui::TUiPanel*& page : NoteBookPages) page = NewArea(this, NoteBook, classlib::alClient);

    // Page 0 holds the search results; page 3 the address history.
    CreateFindPane();

    UndoBuffer = NewPane(this, NoteBookPages[1], UndoPaneHeaders);
    BindPaneCells(*UndoBuffer, [this]() -> const auto& { return FUndoProvider->UndoList(); }, UndoPaneText,
                  UndoPaneImage);

    ClipKeyPanel = NewArea(this, NoteBookPages[2], classlib::alLeft);
    ClipValuePanel = NewArea(this, NoteBookPages[2], classlib::alClient);
    const auto titled = [this](ui::TUiPanel* panel, const wchar_t* title) {
        auto* label = new ui::TUiLabel(this);
        label->SetParent(panel);
        label->SetAlign(classlib::alTop);
        label->SetCaption(title);
    };
    titled(ClipKeyPanel, L"キー");
    titled(ClipValuePanel, L"値");
    ClipBufferKey = NewPane(this, ClipKeyPanel, KeyClipPaneHeaders);
    BindPaneCells(*ClipBufferKey, [this]() -> const auto& { return FUndoProvider->KeyClipList(); }, KeyClipPaneText,
                  KeyClipPaneImage);
    ClipBufferValue = NewPane(this, ClipValuePanel, ValueClipPaneHeaders);
    BindPaneCells(*ClipBufferValue, [this]() -> const auto& { return FUndoProvider->ValueClipList(); },
                  ValueClipPaneText, ValueClipPaneImage);

    UndoPopup = NewPanePopup(this, *FActions, *UndoBuffer,
                             {aacExecuteUndo, aacExecuteUndoListUp, aacUndoClear, aacUndoDelete});
    KeyClipPopup = NewPanePopup(this, *FActions, *ClipBufferKey,
                                {aacExecuteClipKey, std::nullopt, aacDeleteClipKey, aacClearClipKey});
    ValueClipPopup = NewPanePopup(this, *FActions, *ClipBufferValue,
                                  {aacExecuteClipValue, std::nullopt, aacDeleteClipValue, aacClearClipValue});
    CreateHistoryPage();
    HistoryPopup = NewPanePopup(this, *FActions, *HistoryTree, {aacClearHistory});

    FUndoProvider->OnChange = [this](TComponent*) { SetRows(*UndoBuffer, FUndoProvider->UndoList().size()); };
    FUndoProvider->OnChangeClipBord = [this](TComponent*) {
        SetRows(*ClipBufferKey, FUndoProvider->KeyClipList().size());
        SetRows(*ClipBufferValue, FUndoProvider->ValueClipList().size());
    };
    SetRows(*UndoBuffer, FUndoProvider->UndoList().size());

    VxVSTab1->OnChange = [this](TComponent*) { ToolPageChanged(); };
    CustomTools->OnResize = [this](TComponent*) { ArrangeClipPanes(); };
    VxVSTab1->SetActiveTabIndex(0);
    ArrangeClipPanes();
}

void TMainForm::ToolPageChanged() {
    const int page = VxVSTab1->ActiveTabIndex();
    if (page < 0 || page >= static_cast<int>(NoteBookPages.size())) return;
    for (size_t i = 0; i < NoteBookPages.size(); ++i) NoteBookPages[i]->SetVisible(static_cast<int>(i) == page);
    CustomTools->SetCaption(ToolPageCaptions[static_cast<size_t>(page)]);
}

void TMainForm::ArrangeClipPanes() { ClipKeyPanel->SetWidth(ClipKeyPaneWidth(CustomTools->Width())); }

void TMainForm::ShowToolPage(int page) {
    if (!CustomTools->Visible()) {
        CustomTools->SetVisible(true);
        // The dock grew: the registry windows' area shrinks above it.
        Realign();
    }
    VxVSTab1->SetActiveTabIndex(page);
}

}  // namespace app
