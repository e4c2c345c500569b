#include "tools/uicustomize.h"

#include "classlib/actions.h"
#include "classlib/errors.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uipanels.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "controls/wide/widelistview.h"
#include "controls/wide/widetreeview.h"

#include <algorithm>

namespace tools {

using namespace classlib;
using namespace ui;

namespace {

constexpr int kClientWidth = 549, kClientHeight = 405;
constexpr int kGroupTop = 38, kGroupHeight = 244;

bool SameTextIgnoringCase(const std::wstring& a, const std::wstring& b) {
    return CompareStringOrdinal(a.data(), static_cast<int>(a.size()), b.data(), static_cast<int>(b.size()), TRUE) ==
           CSTR_EQUAL;
}

// The items the command list shows a row for.
bool HasRow(toolbar::TBarCustomItem* item) {
    return dynamic_cast<TUiSeparatorItem*>(item) || dynamic_cast<TUiItem*>(item);
}

toolbar::TBarCustomItem* ItemOfRow(const wide::TWideListItem* row) {
    return row ? static_cast<toolbar::TBarCustomItem*>(row->Data()) : nullptr;
}

}  // namespace

TVxUiCustomizeForm::TVxUiCustomizeForm(TComponent* owner, IUiCustomizeHost& host)
    : wide::TWideForm(owner), FHost(host) {
    SetUpDialog(*this, {L"ツールバーの編集", kClientWidth, kClientHeight, false, poScreenCenter});
    const TPlacer at(this, this);

    const TTabPages pages = AddTabPages(at, {16, 16, 513, 321}, {L"ツールバー", L"ツールバーコマンド"});
    UiTabControl1 = pages.Tabs;

    // Tab "ツールバー": the toolbars, each checked while it shows.
    const TPlacer bars = at.On(pages.Sheets[0]);
    auto* barGroup = bars.Add<TUiGroupBox>(L"ツールバー一覧", {8, 8, 495, kGroupHeight + 30});
    const TPlacer inBarGroup = bars.On(barGroup);
    ToolBarList = inBarGroup.Add<TUiCheckListBox>({12, 20, 362, kGroupHeight});
    ToolBarList->OnClickCheck = [this](TComponent*) { ToolBarListClickCheck(); };
    ToolBarList->OnClick = [this](TComponent*) { ApplicationEventsIdle(); };
    ButtonNew = inBarGroup.Button(L"新規作成", {386, 20, 97, 25}, mrNone, [this] { ButtonNewClick(); });
    ButtonRename = inBarGroup.Button(L"名前の変更", {386, 52, 97, 25}, mrNone, [this] { ButtonRenameClick(); });
    ButtonDelete = inBarGroup.Button(L"削除", {386, 84, 97, 25}, mrNone, [this] { ButtonDeleteClick(); });

    // Tab "ツールバーコマンド": every command and submenu, and the chosen toolbar's items.
    const TPlacer commands = at.On(pages.Sheets[1]);
    ToolBarCommandComBox = commands.Labeled<TUiComboBox>(L"編集するツールバー：", {8, 12}, {130, 8, 250, 21});
    ToolBarCommandComBox->SetStyle(wide::csDropDownList);
    ToolBarCommandComBox->OnChange = [this](TComponent*) { ToolBarCommandComBoxChange(); };

    auto* allGroup = commands.Add<TUiGroupBox>(L"すべてのコマンド", {8, kGroupTop, 210, kGroupHeight});
    AllCommandTree = commands.On(allGroup).Add<wide::TWideTreeView>({8, 18, 194, kGroupHeight - 26}, [](auto& tree) {
        tree.ReadOnly = true;
        tree.HideSelection = false;
        tree.DragMode = TControl::dmAutomatic;
    });
    AllCommandTree->OnChange = [this](TComponent*, wide::TWideTreeNode*) { ApplicationEventsIdle(); };
    // A drag takes the node it starts on: the press selects it (the system's tree would
    // select it only when the button comes up without a drag).
    AllCommandTree->OnMouseDown = [this](TComponent*, TMouseButton button, TShiftState, int x, int y) {
        if (button != mbLeft) return;
        if (wide::TWideTreeNode* node = AllCommandTree->GetNodeAt(x, y)) AllCommandTree->SetSelected(node);
    };
    AllCommandTree->OnDragOver = [this](TComponent*, TComponent* source, int, int, int, bool& accept) {
        accept = AllCommandTreeDragOver(source);
    };
    AllCommandTree->OnDragDrop = [this](TComponent*, TComponent* source, int, int) { AllCommandTreeDragDrop(source); };

    CommandAdd = commands.Button(L"追加>>", {226, 90, 68, 25}, mrNone, [this] { CommandAddClick(); });
    CommandDelete = commands.Button(L"削除<<", {226, 122, 68, 25}, mrNone, [this] { CommandDeleteClick(); });
    UpButton = commands.Button(L"上へ", {226, 170, 68, 25}, mrNone, [this] { UpButtonClick(); });
    DownButton = commands.Button(L"下へ", {226, 202, 68, 25}, mrNone, [this] { DownButtonClick(); });

    auto* currentGroup = commands.Add<TUiGroupBox>(L"現在のコマンド", {302, kGroupTop, 203, kGroupHeight});
    const TPlacer inCurrent = commands.On(currentGroup);
    CurrentCommandList = inCurrent.Add<wide::TWideListView>({8, 18, 187, kGroupHeight - 58}, [](auto& list) {
        list.SetViewStyle(wide::vsReport);
        list.ReadOnly = true;
        list.RowSelect = true;
        list.MultiSelect = false;
        list.HideSelection = false;
        list.ShowColumnHeaders = false;
        list.DragMode = TControl::dmAutomatic;
        list.Columns().Add()->SetWidth(187 - GetSystemMetrics(SM_CXVSCROLL) - 4);
    });
    CurrentCommandList->OnSelectItem = [this](TComponent*, wide::TWideListItem*, bool) { ApplicationEventsIdle(); };
    CurrentCommandList->OnDragOver = [this](TComponent*, TComponent* source, int, int, int, bool& accept) {
        accept = CurrentCommandListDragOver(source);
    };
    CurrentCommandList->OnDragDrop = [this](TComponent*, TComponent* source, int x, int y) {
        CurrentCommandListDragDrop(source, x, y);
    };
    ButtonSep = inCurrent.Button(L"セパレータの追加", {8, kGroupHeight - 34, 187, 25}, mrNone, [this] { ButtonSepClick(); });

    // No Cancel: leaving the dialog in any way keeps and saves what was done (CloseQuery).
    ButtonOk = at.Button(L"閉じる(&O)", ButtonRow(529, 356, {90})[0], mrOk);
    ButtonOk->SetDefault(true);
    ApplicationEventsIdle();
}

// --- preparing --------------------------------------------------------------------------------

void TVxUiCustomizeForm::AddHiddenCategory(const std::wstring& category) { FHiddenCategories.push_back(category); }
void TVxUiCustomizeForm::AddExcludedToolbar(TUiToolbar* toolbar) { FExcludedToolbars.push_back(toolbar); }
void TVxUiCustomizeForm::AddFixedToolbar(TUiToolbar* toolbar) { FFixedToolbars.push_back(toolbar); }

void TVxUiCustomizeForm::Setup(TWinControl* toolbarOwner, TImageList* images, TActionList* actionList,
                               int submenuImageIndex, toolbar::TBarDock* dock, TPopupMenu* popupMenu) {
    FToolbarOwner = toolbarOwner;
    FImages = images;
    FActionList = actionList;
    FSubmenuImageIndex = submenuImageIndex;
    FNewToolbarDock = dock;
    FNewToolbarPopup = popupMenu;
    RefreshLists();
}

void TVxUiCustomizeForm::AddSubmenu(TUiSubmenuItem* item) {
    wide::TWideTreeNodes& nodes = AllCommandTree->Items();
    wide::TWideTreeNode* group = GroupNode(kSubmenuNode);
    wide::TWideTreeNode* node = nodes.AddChildObject(group, item->Caption(), static_cast<TComponent*>(item));
    node->SetImageIndex(-1);
    node->SetSelectedIndex(-1);
    group->Expand(true);
    AllCommandTree->SetTopItem(nodes.GetFirstNode());
}

// --- lists ------------------------------------------------------------------------------------

wide::TWideTreeNode* TVxUiCustomizeForm::GroupNode(const std::wstring& text) {
    wide::TWideTreeNodes& nodes = AllCommandTree->Items();
    for (wide::TWideTreeNode* node = nodes.GetFirstNode(); node; node = node->GetNextSibling())
        if (node->Text() == text) return node;
    wide::TWideTreeNode* group = nodes.Add(nullptr, text);
    group->SetImageIndex(FSubmenuImageIndex);
    group->SetSelectedIndex(FSubmenuImageIndex);
    return group;
}

bool TVxUiCustomizeForm::IsFixedToolbar(const TUiToolbar* toolbar) const {
    return std::find(FFixedToolbars.begin(), FFixedToolbars.end(), toolbar) != FFixedToolbars.end();
}

bool TVxUiCustomizeForm::IsExcludedToolbar(const TUiToolbar* toolbar) const {
    return std::find(FExcludedToolbars.begin(), FExcludedToolbars.end(), toolbar) != FExcludedToolbars.end();
}

void TVxUiCustomizeForm::RefreshLists() {
    ToolBarCommandComBox->Items().Clear();
    ToolBarList->Items().Clear();
    AllCommandTree->SetImages(FImages);
    CurrentCommandList->SetSmallImages(FImages);
    if (!FToolbarOwner) return;

    for (TUiToolbar* toolbar : OwnedToolbars(*FToolbarOwner, FExcludedToolbars)) {
        const int row = ToolBarList->Items().AddObject(toolbar->Caption(), toolbar);
        ToolBarList->SetChecked(row, toolbar->Visible());
    }
    ToolBarCommandComBox->Items().Assign(ToolBarList->Items());
    ToolBarCommandComBox->SetItemIndex(0);

    wide::TWideTreeNodes& nodes = AllCommandTree->Items();
    if (!nodes.GetFirstNode() && FActionList) {
        nodes.BeginUpdate();
        for (int i = 0; i < FActionList->ActionCount(); ++i) {
            auto* action = dynamic_cast<TCustomAction*>(FActionList->Actions(i));
            if (!action) continue;
            const std::wstring& category = action->Category;
            if (std::any_of(FHiddenCategories.begin(), FHiddenCategories.end(),
                            [&](const std::wstring& hidden) { return SameTextIgnoringCase(hidden, category); }))
                continue;
            wide::TWideTreeNode* node =
                nodes.AddChildObject(GroupNode(category), action->Caption(), static_cast<TComponent*>(action));
            node->SetImageIndex(action->ImageIndex());
            node->SetSelectedIndex(action->ImageIndex());
        }
        nodes.EndUpdate();
        AllCommandTree->FullExpand();
        AllCommandTree->SetTopItem(nodes.GetFirstNode());
    }
    ToolBarCommandComBoxChange();
}

void TVxUiCustomizeForm::ToolBarCommandComBoxChange() {
    CurrentCommandList->Items().Clear();
    const int index = ToolBarCommandComBox->ItemIndex();
    FCurrentToolbar =
        index >= 0 ? static_cast<TUiToolbar*>(ToolBarCommandComBox->Items().GetObject(index)) : nullptr;
    if (FCurrentToolbar) {
        CurrentCommandList->Items().BeginUpdate();
        toolbar::TBarCustomItem& items = *FCurrentToolbar->Items();
        for (int i = 0; i < items.Count(); ++i)
            if (HasRow(items.Items(i))) InsertRow(-1, items.Items(i));
        CurrentCommandList->Items().EndUpdate();
    }
    ApplicationEventsIdle();
}

wide::TWideListItem* TVxUiCustomizeForm::InsertRow(int index, toolbar::TBarCustomItem* item) {
    wide::TWideListItems& rows = CurrentCommandList->Items();
    wide::TWideListItem* row = rows.Insert(index < 0 ? rows.Count() : index);
    row->SetData(item);
    if (dynamic_cast<TUiSeparatorItem*>(item)) {
        row->SetCaption(kSeparatorRow);
        row->SetImageIndex(-1);
    } else {
        row->SetCaption(item->Caption());
        row->SetImageIndex(dynamic_cast<TUiSubmenuItem*>(item) ? -1 : item->ImageIndex());
    }
    return row;
}

int TVxUiCustomizeForm::ItemIndexOfRow(const wide::TWideListItem* row) const {
    toolbar::TBarCustomItem* item = ItemOfRow(row);
    return item && FCurrentToolbar ? FCurrentToolbar->Items()->IndexOf(item) : -1;
}

TUiToolbar* TVxUiCustomizeForm::SelectedToolbar() {
    const int index = ToolBarList->ItemIndex();
    return index >= 0 ? static_cast<TUiToolbar*>(ToolBarList->Items().GetObject(index)) : nullptr;
}

// --- toolbars ---------------------------------------------------------------------------------

void TVxUiCustomizeForm::ButtonNewClick() {
    std::wstring caption;
    if (!FToolbarOwner || !FHost.InputQuery(kCaptionQueryTitle, kCaptionQueryPrompt, caption) || caption.empty())
        return;
    NewUserToolbar({FToolbarOwner, FImages, FNewToolbarDock, FNewToolbarPopup},
                   NewToolbarName(*FToolbarOwner, FHost.LocalTime()), caption);
    RefreshLists();
}

void TVxUiCustomizeForm::ButtonRenameClick() {
    TUiToolbar* toolbar = SelectedToolbar();
    if (!toolbar) return;
    if (IsFixedToolbar(toolbar)) {
        FHost.ShowMessage(kRenameFixedRefused);
        return;
    }
    std::wstring caption = toolbar->Caption();
    if (!FHost.InputQuery(kCaptionQueryTitle, kCaptionQueryPrompt, caption) || caption.empty() ||
        caption == toolbar->Caption())
        return;
    toolbar->SetCaption(caption);
    RefreshLists();
}

void TVxUiCustomizeForm::ButtonDeleteClick() {
    TUiToolbar* toolbar = SelectedToolbar();
    if (!toolbar) return;
    if (IsFixedToolbar(toolbar)) {
        FHost.ShowMessage(kDeleteFixedRefused);
        return;
    }
    if (toolbar == FCurrentToolbar) {
        CurrentCommandList->Items().Clear();
        FCurrentToolbar = nullptr;
    }
    delete toolbar;
    RefreshLists();
}

void TVxUiCustomizeForm::ToolBarListClickCheck() {
    // Every row's toolbar follows its check mark (the toggled row need not be the selected one).
    for (int i = 0; i < ToolBarList->Items().Count(); ++i)
        static_cast<TUiToolbar*>(ToolBarList->Items().GetObject(i))->SetVisible(ToolBarList->Checked(i));
}

// --- commands ---------------------------------------------------------------------------------

void TVxUiCustomizeForm::InsertItem(toolbar::TBarCustomItem* item, wide::TWideListItem* before) {
    const int index = ItemIndexOfRow(before);
    if (index < 0) {
        FCurrentToolbar->Items()->Add(item);
        InsertRow(-1, item);
    } else {
        FCurrentToolbar->Items()->Insert(index, item);
        InsertRow(before->Index(), item);
    }
    ApplicationEventsIdle();
}

void TVxUiCustomizeForm::AddCommand(wide::TWideTreeNode* node, wide::TWideListItem* before) {
    if (!node || !node->GetParent() || !FCurrentToolbar) return;
    auto* source = static_cast<TComponent*>(node->Data());
    if (auto* action = dynamic_cast<TBasicAction*>(source)) {
        auto* item = new TUiItem(FCurrentToolbar);
        if (auto* custom = dynamic_cast<TCustomAction*>(action)) item->SetImageIndex(custom->ImageIndex());
        item->SetAction(action);
        InsertItem(item, before);
    } else if (auto* submenu = dynamic_cast<toolbar::TBarCustomItem*>(source)) {
        auto* item = new TUiSubmenuItem(FCurrentToolbar);
        item->SetCaption(submenu->Caption());
        item->SetLinkSubitems(submenu);
        item->SetImageIndex(-1);
        item->SetOptions(submenu->Options());
        InsertItem(item, before);
    }
}

void TVxUiCustomizeForm::CommandAddClick() { AddCommand(AllCommandTree->Selected(), CurrentCommandList->Selected()); }

void TVxUiCustomizeForm::ButtonSepClick() {
    if (!FCurrentToolbar) return;
    InsertItem(new TUiSeparatorItem(FCurrentToolbar), CurrentCommandList->Selected());
}

void TVxUiCustomizeForm::CommandDeleteClick() {
    wide::TWideListItems& rows = CurrentCommandList->Items();
    for (int i = rows.Count() - 1; i >= 0; --i) {
        wide::TWideListItem* row = rows.Item(i);
        if (!row->Selected()) continue;
        delete ItemOfRow(row);
        rows.Delete(i);
    }
    ApplicationEventsIdle();
}

void TVxUiCustomizeForm::MoveCommand(int fromIndex, int toIndex) {
    wide::TWideListItems& rows = CurrentCommandList->Items();
    wide::TWideListItem* from = rows.Item(fromIndex);
    wide::TWideListItem* to = rows.Item(toIndex);
    if (!from || !to || from == to || !FCurrentToolbar) return;
    toolbar::TBarCustomItem* item = ItemOfRow(from);
    FCurrentToolbar->Items()->Move(ItemIndexOfRow(from), ItemIndexOfRow(to));
    rows.Delete(fromIndex);
    wide::TWideListItem* moved = InsertRow(toIndex, item);
    CurrentCommandList->SetSelected(moved);
    moved->SetFocused(true);
    moved->MakeVisible();
    ApplicationEventsIdle();
}

void TVxUiCustomizeForm::UpButtonClick() {
    if (wide::TWideListItem* row = CurrentCommandList->Selected()) MoveCommand(row->Index(), row->Index() - 1);
}

void TVxUiCustomizeForm::DownButtonClick() {
    if (wide::TWideListItem* row = CurrentCommandList->Selected()) MoveCommand(row->Index(), row->Index() + 1);
}

// --- dragging ---------------------------------------------------------------------------------

bool TVxUiCustomizeForm::CurrentCommandListDragOver(TComponent* source) {
    if (source == CurrentCommandList) return true;
    if (source != AllCommandTree) return false;
    wide::TWideTreeNode* node = AllCommandTree->Selected();
    return node && node->GetParent();
}

void TVxUiCustomizeForm::CurrentCommandListDragDrop(TComponent* source, int x, int y) {
    wide::TWideListItem* target = CurrentCommandList->GetItemAt(x, y);
    if (source == CurrentCommandList) {
        wide::TWideListItem* dragged = CurrentCommandList->Selected();
        if (dragged && target && dragged != target) MoveCommand(dragged->Index(), target->Index());
    } else if (source == AllCommandTree) {
        AddCommand(AllCommandTree->Selected(), target);
    }
}

bool TVxUiCustomizeForm::AllCommandTreeDragOver(TComponent* source) { return source == CurrentCommandList; }

void TVxUiCustomizeForm::AllCommandTreeDragDrop(TComponent* source) {
    if (source == CurrentCommandList) CommandDeleteClick();
}

// --- states and closing -----------------------------------------------------------------------

void TVxUiCustomizeForm::ApplicationEventsIdle() {
    const bool barSelected = ToolBarList->ItemIndex() >= 0;
    ButtonRename->SetEnabled(barSelected);
    ButtonDelete->SetEnabled(barSelected);
    wide::TWideListItem* row = CurrentCommandList->Selected();
    const int last = CurrentCommandList->Items().Count() - 1;
    UpButton->SetEnabled(row && row->Index() > 0);
    DownButton->SetEnabled(row && row->Index() < last);
    CommandDelete->SetEnabled(row != nullptr);
    wide::TWideTreeNode* node = AllCommandTree->Selected();
    CommandAdd->SetEnabled(node && node->GetParent());
}

void TVxUiCustomizeForm::UpdateActions() {
    ApplicationEventsIdle();
    wide::TWideForm::UpdateActions();
}

void TVxUiCustomizeForm::ButtonOkClick() { SetModalResult(mrOk); }

void TVxUiCustomizeForm::SaveCustomToolbars(const std::wstring& folder) {
    if (!FToolbarOwner) return;
    tools::SaveCustomToolbars(folder, OwnedToolbars(*FToolbarOwner, FExcludedToolbars), FHost.References(), FKept);
}

bool TVxUiCustomizeForm::CloseQuery() {
    if (!wide::TWideForm::CloseQuery()) return false;
    // Once per showing, however the dialog is left; a failure is told and the dialog closes.
    if (!FSaved) {
        FSaved = true;
        try {
            SaveCustomToolbars(FHost.ToolbarFolder());
        } catch (const Exception& e) {
            FHost.ShowError(e.Message());
        }
    }
    return true;
}

}  // namespace tools
