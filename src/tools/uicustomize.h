// "ツールバーの編集": the modal dialog in which the user edits the main window's toolbars:
// makes, renames, deletes, shows and hides toolbars, and puts commands, submenus and
// separators on them in any order. It works on the live toolbars of its toolbar owner, so
// every change shows at once; closing it, by "閉じる(&O)" or the close box alike, saves all
// listed toolbars (uicustomize_files.h), from which the next start restores them. A save
// that fails is shown (the message names the file) and the dialog closes all the same: the
// toolbars stay as edited.
//
// Preparing it, in this order: AddHiddenCategory, AddExcludedToolbar and AddFixedToolbar,
// then Setup (which fills the lists), then AddSubmenu for each offered submenu; then
// ShowModal. Fixed toolbars keep their caption and cannot be deleted; excluded ones are
// neither listed nor saved; commands of a hidden category get no node.
//
// The command list shows the items of the toolbar chosen in "編集するツールバー：", one
// row per separator or TUiItem (submenu items included); each row carries its item, so
// every operation keeps rows and items in step.
//
// Lifetime: a dialog shown once (ShowModalForm). It refers to the toolbars, items, actions
// and submenus of others, which must outlive it; toolbars and items it makes belong to the
// toolbar owner and the toolbars. Main thread only.
#pragma once

#include "controls/wide/wideforms.h"
#include "tools/uicustomize_files.h"

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace classlib {
class TActionList;
class TComponent;
class TImageList;
class TPopupMenu;
class TWinControl;
}
namespace toolbar {
class TBarCustomItem;
class TBarDock;
}
namespace wide {
class TWideListItem;
class TWideListView;
class TWideTreeNode;
class TWideTreeView;
}
namespace ui {
class TUiButton;
class TUiCheckListBox;
class TUiComboBox;
class TUiSubmenuItem;
class TUiTabControl;
class TUiToolbar;
}

namespace tools {

// What the dialog needs of the program that opens it.
class IUiCustomizeHost {
public:
    virtual ~IUiCustomizeHost() = default;
    // The program's message box with a notice (the refusals for fixed toolbars).
    virtual void ShowMessage(const std::wstring& text) = 0;
    // The program's message box with an error (a failed save).
    virtual void ShowError(const std::wstring& text) = 0;
    // The input box: true and `value` replaced on OK.
    virtual bool InputQuery(const std::wstring& caption, const std::wstring& prompt, std::wstring& value) = 0;
    // The local time now, which names new toolbars.
    virtual SYSTEMTIME LocalTime() = 0;
    // The folder the toolbars are saved in ("Settings\CustomToolBar" beside the program).
    virtual std::wstring ToolbarFolder() = 0;
    // How the files name commands and submenus.
    virtual const TToolbarReferences& References() = 0;
};

// The texts of the dialog that tell the user something.
inline constexpr const wchar_t* kRenameFixedRefused = L"デフォルトツールバーの名前は変更できません。";
inline constexpr const wchar_t* kDeleteFixedRefused = L"デフォルトツールバーは削除できません。";
inline constexpr const wchar_t* kCaptionQueryTitle = L"ツールバーのキャプション";
inline constexpr const wchar_t* kCaptionQueryPrompt = L"新しいツールバーのキャプションを指定してください。";
inline constexpr const wchar_t* kSeparatorRow = L"-----------------------";
inline constexpr const wchar_t* kSubmenuNode = L"サブメニュー";

class TVxUiCustomizeForm : public wide::TWideForm {
public:
    TVxUiCustomizeForm(classlib::TComponent* owner, IUiCustomizeHost& host);

    void AddHiddenCategory(const std::wstring& category);
    void AddExcludedToolbar(ui::TUiToolbar* toolbar);
    void AddFixedToolbar(ui::TUiToolbar* toolbar);
    // The toolbar owner (which owns new toolbars and is their parent), the images of the
    // commands and new toolbars, the commands offered, the image of category nodes, and
    // the dock and context menu of new toolbars; then RefreshLists.
    void Setup(classlib::TWinControl* toolbarOwner, classlib::TImageList* images, classlib::TActionList* actionList,
               int submenuImageIndex, toolbar::TBarDock* dock, classlib::TPopupMenu* popupMenu);
    // Offers a submenu under the node "サブメニュー" (made at the end of the top level when
    // missing).
    void AddSubmenu(ui::TUiSubmenuItem* item);

    // Sections of the index whose files did not load at start: the save keeps them.
    void KeepSections(std::vector<TKeptToolbar> kept) { FKept = std::move(kept); }
    // Saves the listed toolbars into `folder` (SaveCustomToolbars of uicustomize_files.h).
    void SaveCustomToolbars(const std::wstring& folder);

    // --- controls
    ui::TUiTabControl* UiTabControl1 = nullptr;
    ui::TUiCheckListBox* ToolBarList = nullptr;
    ui::TUiButton *ButtonNew = nullptr, *ButtonRename = nullptr, *ButtonDelete = nullptr;
    ui::TUiComboBox* ToolBarCommandComBox = nullptr;
    wide::TWideTreeView* AllCommandTree = nullptr;
    wide::TWideListView* CurrentCommandList = nullptr;
    ui::TUiButton *ButtonSep = nullptr, *CommandAdd = nullptr, *CommandDelete = nullptr;
    ui::TUiButton *UpButton = nullptr, *DownButton = nullptr;
    ui::TUiButton* ButtonOk = nullptr;

    // --- what the controls run (the buttons' clicks, the lists' events)
    void ButtonNewClick();
    void ButtonRenameClick();
    void ButtonDeleteClick();
    void ToolBarListClickCheck();
    void ToolBarCommandComBoxChange();
    void CommandAddClick();
    void CommandDeleteClick();
    void ButtonSepClick();
    void UpButtonClick();
    void DownButtonClick();
    // A drag over or onto a control of the dialog, at a client point of the target.
    bool AllCommandTreeDragOver(classlib::TComponent* source);
    void AllCommandTreeDragDrop(classlib::TComponent* source);
    bool CurrentCommandListDragOver(classlib::TComponent* source);
    void CurrentCommandListDragDrop(classlib::TComponent* source, int x, int y);
    // The buttons' enabled states from the selections.
    void ApplicationEventsIdle();
    void ButtonOkClick();

    // The toolbar whose items the command list shows.
    ui::TUiToolbar* CurrentToolbar() const { return FCurrentToolbar; }

    bool CloseQuery() override;
    void UpdateActions() override;

private:
    void RefreshLists();
    // The top-level node with exactly this text, made at the end of the top level when missing.
    wide::TWideTreeNode* GroupNode(const std::wstring& text);
    void AddCommand(wide::TWideTreeNode* node, wide::TWideListItem* before);
    void MoveCommand(int fromIndex, int toIndex);
    bool IsFixedToolbar(const ui::TUiToolbar* toolbar) const;
    bool IsExcludedToolbar(const ui::TUiToolbar* toolbar) const;
    // The toolbar of the selected check-list row, or null.
    ui::TUiToolbar* SelectedToolbar();
    // A row for `item` at `index` of the command list (at the end for -1).
    wide::TWideListItem* InsertRow(int index, toolbar::TBarCustomItem* item);
    // The index in the current toolbar of the item a row stands for.
    int ItemIndexOfRow(const wide::TWideListItem* row) const;
    // Puts `item` into the current toolbar before the item of `before` (at the end without
    // one) and gives it a row there.
    void InsertItem(toolbar::TBarCustomItem* item, wide::TWideListItem* before);

    IUiCustomizeHost& FHost;
    std::vector<ui::TUiToolbar*> FFixedToolbars;
    std::vector<const ui::TUiToolbar*> FExcludedToolbars;
    std::vector<std::wstring> FHiddenCategories;
    classlib::TWinControl* FToolbarOwner = nullptr;
    classlib::TImageList* FImages = nullptr;
    classlib::TActionList* FActionList = nullptr;
    int FSubmenuImageIndex = -1;
    toolbar::TBarDock* FNewToolbarDock = nullptr;
    classlib::TPopupMenu* FNewToolbarPopup = nullptr;
    ui::TUiToolbar* FCurrentToolbar = nullptr;
    std::vector<TKeptToolbar> FKept;
    bool FSaved = false;
};

}  // namespace tools
