// The favorites manager "お気に入りマネージャ": the window in which the user adds, edits,
// arranges and deletes favorites. Every change is written to "Favorite.db" at once (the
// window has no OK or Cancel; its status bar says so).
//
// TFavoriteManagerModel is what the buttons and the tree's drops do to the tree and the file,
// without windows: each change happens only when its condition holds and the file may be
// written (TFavoritesFile::MayChange: a damaged file is written over only after the user's
// yes), and is then saved; a change whose condition does not hold does nothing and writes
// nothing. Moves take a node's whole subtree along in order, whatever its kind.
//
// TFavoriteManagerForm is the window. The main window uses it in two ways: shown modally for
// its command that manages favorites, and made without being shown to add one favorite
// through AddKeyFavorite or AddScriptFavorite; after either it frees the window and reads
// the file again.
//
// Editing a favorite that opens a file (which the manager's add buttons make from an
// existing file other than a ".reg") uses the import dialog: caption, file or address,
// comment and jump key are written back; the favorite stays one that opens its target.
//
// Main thread only.
#pragma once

#include "controls/wide/wideforms.h"
#include "favorites/favoritedialogs.h"
#include "favorites/favorites.h"

#include <memory>
#include <optional>
#include <string>

namespace classlib {
class TImageList;
}
namespace ui {
class TUiButton;
class TUiGroupBox;
class TUiLabelItem;
class TUiStatusBar;
}

namespace favorites {

// The fields of the import dialog, as the manager reads them.
struct TScriptImportFields {
    std::wstring Caption;
    std::wstring FullPath;  // the file chosen or typed; may be empty
    std::wstring Comment;
    std::wstring AfterMoveKey;
};

// The favorite the import dialog's fields make: a script favorite with the text of an
// existing ".reg" file (the extension in any case); a favorite that opens any other existing
// file; a script favorite with an empty script for anything else (an empty path, a missing
// file). A ".reg" file that cannot be read as a script (ReadScriptFile) gives nothing, with
// `error` saying why.
std::optional<TVxRegFavoriteObj> FavoriteFromImport(const TScriptImportFields& fields, std::wstring& error);

class TFavoriteManagerModel {
public:
    // Both must outlive the model.
    TFavoriteManagerModel(TFavoritesTreeView& tree, TFavoritesFile& file);

    // Adds the favorite as the last sibling of `selected` (the last top-level node without
    // one), with its icon; the new node, or null when the file may not be written.
    wide::TWideTreeNode* Add(std::unique_ptr<TVxRegFavoriteObj> favorite, wide::TWideTreeNode* selected);
    // "上へ移動": before its previous sibling. "下へ移動": its next sibling goes before it.
    // "右へ移動": into its previous sibling, when that is a folder, as its last child.
    // "左へ移動": out of its parent, when that is a folder, after the parent's last sibling.
    // True when the node moved (and the file was written).
    bool Up(wide::TWideTreeNode* node);
    bool Down(wide::TWideTreeNode* node);
    bool Right(wide::TWideTreeNode* node);
    bool Left(wide::TWideTreeNode* node);
    // A drop of the dragged node on `target` (CanDropFavorite): onto a folder as its first
    // child, onto anything else just before it. The node is expanded one level and selected;
    // the node, or null when nothing moved.
    wide::TWideTreeNode* Drop(wide::TWideTreeNode* dragged, wide::TWideTreeNode* target);
    // Deletes the node with its subtree (and their favorites). The question before it is
    // the window's.
    bool Delete(wide::TWideTreeNode* node);
    // Runs `change` (an edit of a favorite and its node) and writes the file, when the file
    // may be written; false (nothing run) otherwise.
    bool Change(const std::function<void()>& change);
    // After an edit that changed nothing: the file is written again, unless it is damaged
    // (nothing changed that would be worth the user's question).
    void Unchanged();

private:
    bool Moved(wide::TWideTreeNode* node, wide::TWideTreeNode* destination, wide::TNodeAttachMode mode);
    bool Save();

    TFavoritesTreeView& FTree;
    TFavoritesFile& FFile;
};

// What the manager needs of the program.
struct TFavoriteManagerContext {
    // The favorites' pictures (the main window's toolbar pictures, 31 to 34); null for none.
    classlib::TImageList* Images = nullptr;
    TFavoriteDialogContext Dialogs;
};

class TFavoriteManagerForm : public wide::TWideForm {
public:
    // `file` (its questions answer the manager's) must outlive the window. The tree is read
    // from it at once.
    TFavoriteManagerForm(classlib::TComponent* owner, TFavoritesFile& file, const TFavoriteManagerContext& context);
    ~TFavoriteManagerForm() override;

    // The add-key dialog prefilled; on OK a key favorite is added and the file written.
    void AddKeyFavorite(const std::wstring& caption, const std::wstring& fullPath);
    // The script dialog, captioned "レジストリスクリプトの追加", with the script and the key to
    // show after it ran; on OK a script favorite is added and the file written.
    void AddScriptFavorite(const std::wstring& script, const std::wstring& jumpKey);

    TFavoritesTreeView* WideTreeView = nullptr;
    ui::TUiGroupBox* ButtonGroup = nullptr;  // "操作ボタン"
    ui::TUiButton* AddKeyValButton = nullptr;
    ui::TUiButton* AddRegScriptButton = nullptr;
    ui::TUiButton* AddFolderButton = nullptr;
    ui::TUiButton* EditButton = nullptr;
    ui::TUiButton* UpButton = nullptr;
    ui::TUiButton* DownButton = nullptr;
    ui::TUiButton* RightButton = nullptr;
    ui::TUiButton* LeftButton = nullptr;
    ui::TUiButton* DeleteButton = nullptr;
    ui::TUiStatusBar* StatusBar = nullptr;

    TFavoriteManagerModel& Model() { return *FModel; }

protected:
    // The buttons that act on a node need one selected.
    void UpdateActions() override;

private:
    void AddScriptFromFile();
    void AddFolder();
    void EditSelected();
    void DeleteSelected();
    // Each runs the dialog of its kind prefilled from `edited` and takes its answers into it;
    // true on OK (for a folder: a new name).
    bool EditKey(TVxRegFavoriteObj& edited);
    bool EditScript(TVxRegFavoriteObj& edited);
    bool EditFolder(TVxRegFavoriteObj& edited);
    bool EditShellOpen(TVxRegFavoriteObj& edited);
    void Add(TVxRegFavoriteObj favorite);

    TFavoritesFile& FFile;
    const TFavoriteManagerContext FContext;
    std::unique_ptr<TFavoriteManagerModel> FModel;
};

}  // namespace favorites
