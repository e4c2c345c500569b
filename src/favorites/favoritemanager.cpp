#include "favorites/favoritemanager.h"

#include "controls/toolbar/ui/uiedits.h"
#include "controls/toolbar/ui/uiforms.h"
#include "controls/toolbar/ui/uistatusbar.h"
#include "controls/wide/wideedit.h"
#include "controls/wide/widefiles.h"
#include "registry/files.h"

namespace favorites {

using namespace classlib;
using namespace ui;
using wide::TWideTreeNode;

namespace {

constexpr int kButtonPanelWidth = 200;
constexpr int kStatusLabelHeight = 22;

}  // namespace

std::optional<TVxRegFavoriteObj> FavoriteFromImport(const TScriptImportFields& fields, std::wstring& error) {
    TVxRegFavoriteObj favorite;
    favorite.FCaption = fields.Caption;
    favorite.FTarget = fields.FullPath;
    favorite.FComment = fields.Comment;
    favorite.FJumpKey = fields.AfterMoveKey;
    favorite.FKind = fkScript;
    if (fields.FullPath.empty() || !wide::WideFileExists(fields.FullPath)) return favorite;
    if (!registry::FileHasExt(fields.FullPath, L".reg")) {
        favorite.FKind = fkShellOpen;
        return favorite;
    }
    std::wstring script;
    if (!ReadScriptFile(fields.FullPath, script, error)) return std::nullopt;
    favorite.FScript = FavoriteScriptToHex(script);
    return favorite;
}

// --- the model -------------------------------------------------------------------------------

TFavoriteManagerModel::TFavoriteManagerModel(TFavoritesTreeView& tree, TFavoritesFile& file)
    : FTree(tree), FFile(file) {}

bool TFavoriteManagerModel::Save() { return FFile.Save(FTree); }

TWideTreeNode* TFavoriteManagerModel::Add(std::unique_ptr<TVxRegFavoriteObj> favorite, TWideTreeNode* selected) {
    if (!favorite || !FFile.MayChange()) return nullptr;
    TWideTreeNode* node = FTree.Items().AddObject(selected, favorite->FCaption, favorite.get());
    favorite.release();
    SetNodeIcon(node);
    Save();
    return node;
}

bool TFavoriteManagerModel::Moved(TWideTreeNode* node, TWideTreeNode* destination, wide::TNodeAttachMode mode) {
    if (!FFile.MayChange() || !node->MoveTo(destination, mode)) return false;
    Save();
    return true;
}

bool TFavoriteManagerModel::Up(TWideTreeNode* node) {
    TWideTreeNode* previous = node ? node->GetPrevSibling() : nullptr;
    return previous && Moved(node, previous, wide::naInsert);
}

bool TFavoriteManagerModel::Down(TWideTreeNode* node) {
    TWideTreeNode* next = node ? node->GetNextSibling() : nullptr;
    return next && Moved(next, node, wide::naInsert);
}

bool TFavoriteManagerModel::Right(TWideTreeNode* node) {
    TWideTreeNode* previous = node ? node->GetPrevSibling() : nullptr;
    const TVxRegFavoriteObj* folder = FavoriteOf(previous);
    return folder && folder->FKind == fkFolder && Moved(node, previous, wide::naAddChild);
}

bool TFavoriteManagerModel::Left(TWideTreeNode* node) {
    TWideTreeNode* parent = node ? node->GetParent() : nullptr;
    const TVxRegFavoriteObj* folder = FavoriteOf(parent);
    return folder && folder->FKind == fkFolder && Moved(node, parent, wide::naAdd);
}

TWideTreeNode* TFavoriteManagerModel::Drop(TWideTreeNode* dragged, TWideTreeNode* target) {
    if (!CanDropFavorite(dragged, target) || !FFile.MayChange()) return nullptr;
    TWideTreeNode* moved = MoveFavoriteSubtree(dragged, target);
    if (!moved) return nullptr;
    moved->Expand(false);
    if (FTree.HandleAllocated()) FTree.SetSelected(moved);
    Save();
    return moved;
}

bool TFavoriteManagerModel::Delete(TWideTreeNode* node) {
    if (!node || !FFile.MayChange()) return false;
    FTree.Items().BeginUpdate();
    node->Delete();
    FTree.Items().EndUpdate();
    Save();
    return true;
}

bool TFavoriteManagerModel::Change(const std::function<void()>& change) {
    if (!FFile.MayChange()) return false;
    change();
    Save();
    return true;
}

void TFavoriteManagerModel::Unchanged() {
    if (!FFile.Damaged()) Save();
}

// --- the window ------------------------------------------------------------------------------

TFavoriteManagerForm::TFavoriteManagerForm(TComponent* owner, TFavoritesFile& file,
                                           const TFavoriteManagerContext& context)
    : wide::TWideForm(owner), FFile(file), FContext(context) {
    constexpr int width = 560, height = 400;
    SetUpDialog(*this, {L"お気に入りマネージャ", width, height, true, poScreenCenter,
                        biSystemMenu | biMinimize | biMaximize});
    const TPlacer at(this, this);

    StatusBar = new TUiStatusBar(this);
    StatusBar->SetParent(this);
    StatusBar->SetAlign(alBottom);
    auto* label = new TUiLabelItem(StatusBar);
    label->SetCustomHeight(kStatusLabelHeight);
    label->SetAlignment(wide::taLeftJustify);
    label->SetCaption(L"お気に入りの保存はアイテムを操作するたびに自動で行われます");
    StatusBar->Items()->Add(label);

    TUiPanel* buttons = at.Panel({width - kButtonPanelWidth, 0, kButtonPanelWidth, height}, alRight);
    ButtonGroup = at.On(buttons).Add<TUiGroupBox>(L"操作ボタン", {4, 4, kButtonPanelWidth - 12, 310});
    const TPlacer inGroup = at.On(ButtonGroup);
    TRows rows(12, 22, kButtonPanelWidth - 36, 25, 31);
    AddKeyValButton = inGroup.Button(L"キーと値の追加", rows.Next(), mrNone, [this] { AddKeyFavorite(L"", L""); });
    AddRegScriptButton =
        inGroup.Button(L"レジストリスクリプトの追加", rows.Next(), mrNone, [this] { AddScriptFromFile(); });
    AddFolderButton = inGroup.Button(L"フォルダの追加", rows.Next(), mrNone, [this] { AddFolder(); });
    EditButton = inGroup.Button(L"アイテムの編集", rows.Next(), mrNone, [this] { EditSelected(); });
    UpButton = inGroup.Button(L"上へ移動", rows.Next(), mrNone, [this] { FModel->Up(WideTreeView->Selected()); });
    DownButton = inGroup.Button(L"下へ移動", rows.Next(), mrNone, [this] { FModel->Down(WideTreeView->Selected()); });
    RightButton = inGroup.Button(L"右へ移動", rows.Next(), mrNone, [this] { FModel->Right(WideTreeView->Selected()); });
    LeftButton = inGroup.Button(L"左へ移動", rows.Next(), mrNone, [this] { FModel->Left(WideTreeView->Selected()); });
    DeleteButton = inGroup.Button(L"削除", rows.Next(), mrNone, [this] { DeleteSelected(); });
    for (TUiButton* button : {EditButton, UpButton, DownButton, RightButton, LeftButton, DeleteButton})
        button->SetEnabled(false);

    WideTreeView = at.Add<TFavoritesTreeView>({0, 0, width - kButtonPanelWidth, height});
    WideTreeView->SetAlign(alClient);
    WideTreeView->SetImages(FContext.Images);
    WideTreeView->OnDblClick = [this](TComponent*) { EditSelected(); };
    WideTreeView->OnDragOver = [this](TComponent*, TComponent* source, int x, int y, int, bool& accept) {
        accept = source == WideTreeView && CanDropFavorite(WideTreeView->Selected(), WideTreeView->GetNodeAt(x, y));
    };
    WideTreeView->OnDragDrop = [this](TComponent*, TComponent* source, int x, int y) {
        if (source == WideTreeView) FModel->Drop(WideTreeView->Selected(), WideTreeView->GetNodeAt(x, y));
    };
    FModel = std::make_unique<TFavoriteManagerModel>(*WideTreeView, FFile);
    FFile.Load(*WideTreeView);
    SetActiveControl(WideTreeView);
}

TFavoriteManagerForm::~TFavoriteManagerForm() = default;

void TFavoriteManagerForm::UpdateActions() {
    wide::TWideForm::UpdateActions();
    const bool selected = WideTreeView->Selected() != nullptr;
    for (TUiButton* button : {EditButton, UpButton, DownButton, RightButton, LeftButton, DeleteButton})
        button->SetEnabled(selected);
}

void TFavoriteManagerForm::Add(TVxRegFavoriteObj favorite) {
    FModel->Add(std::make_unique<TVxRegFavoriteObj>(std::move(favorite)), WideTreeView->Selected());
}

void TFavoriteManagerForm::AddKeyFavorite(const std::wstring& caption, const std::wstring& fullPath) {
    TVxRegFavoriteObj favorite;
    favorite.FKind = fkKey;
    const TModalResult result = ShowModalForm<TAddFavoriteKeyForm>(
        this,
        [&](TAddFavoriteKeyForm& dialog) {
            dialog.CaptionBox->SetText(caption);
            dialog.FullPathBox->SetText(fullPath);
        },
        [&](TAddFavoriteKeyForm& dialog) {
            favorite.FCaption = dialog.CaptionBox->GetText();
            favorite.FTarget = dialog.FullPathBox->GetText();
            favorite.FComment = dialog.CommentBox->GetText();
        },
        FContext.Dialogs);
    if (result == mrOk) Add(std::move(favorite));
}

void TFavoriteManagerForm::AddScriptFavorite(const std::wstring& script, const std::wstring& jumpKey) {
    TVxRegFavoriteObj favorite;
    favorite.FKind = fkScript;
    const TModalResult result = ShowModalForm<TRegScriptEditorForm>(
        this,
        [&](TRegScriptEditorForm& dialog) {
            dialog.SetCaption(L"レジストリスクリプトの追加");
            dialog.SetScriptText(script);
            dialog.AfterMoveKey->SetText(jumpKey);
        },
        [&](TRegScriptEditorForm& dialog) {
            favorite.FCaption = dialog.CaptionBox->GetText();
            favorite.FComment = dialog.CommentBox->GetText();
            favorite.FJumpKey = dialog.AfterMoveKey->GetText();
            favorite.FScript = FavoriteScriptToHex(dialog.ScriptText());
        },
        FContext.Dialogs);
    if (result == mrOk) Add(std::move(favorite));
}

void TFavoriteManagerForm::AddScriptFromFile() {
    TScriptImportFields fields;
    const TModalResult result = ShowModalForm<TRegistryScriptImportForm>(
        this, {},
        [&](TRegistryScriptImportForm& dialog) {
            fields = {dialog.CaptionBox->GetText(), dialog.FullPathBox->GetText(), dialog.CommentBox->GetText(),
                      dialog.AfterMoveKey->GetText()};
        },
        FContext.Dialogs);
    if (result != mrOk) return;
    std::wstring error;
    std::optional<TVxRegFavoriteObj> favorite = FavoriteFromImport(fields, error);
    if (!favorite) {
        FFile.Questions().ShowMessage(error);
        return;
    }
    Add(std::move(*favorite));
}

void TFavoriteManagerForm::AddFolder() {
    std::wstring name;
    if (!FFile.Questions().InputText(L"フォルダの追加", L"追加するフォルダの名前を指定してください。", name) ||
        name.empty())
        return;
    TVxRegFavoriteObj folder;
    folder.FCaption = name;
    folder.FKind = fkFolder;
    Add(std::move(folder));
}

void TFavoriteManagerForm::DeleteSelected() {
    if (!WideTreeView->Selected() || !FFile.Questions().AskYesNo(L"本当に削除してよろしいですか？")) return;
    FModel->Delete(WideTreeView->Selected());
}

void TFavoriteManagerForm::EditSelected() {
    TWideTreeNode* node = WideTreeView->Selected();
    if (!node) return;
    const TVxRegFavoriteObj* favorite = FavoriteOf(node);
    if (!favorite) return FModel->Unchanged();
    // Each edit works on a copy while its dialog is open and writes it back afterwards.
    TVxRegFavoriteObj edited = *favorite;
    bool changed = false;
    switch (edited.FKind) {
    case fkKey: changed = EditKey(edited); break;
    case fkScript: changed = EditScript(edited); break;
    case fkFolder: changed = EditFolder(edited); break;
    case fkShellOpen: changed = EditShellOpen(edited); break;
    default: break;
    }
    if (!changed) return FModel->Unchanged();
    // The dialogs were modal: the selection is where it was.
    node = WideTreeView->Selected();
    if (!FavoriteOf(node)) return;
    FModel->Change([&] {
        node->SetText(edited.FCaption);
        *FavoriteOf(node) = std::move(edited);
    });
}

bool TFavoriteManagerForm::EditKey(TVxRegFavoriteObj& edited) {
    const TModalResult result = ShowModalForm<TAddFavoriteKeyForm>(
        this,
        [&](TAddFavoriteKeyForm& dialog) {
            dialog.FullPathBox->SetText(edited.FTarget);
            dialog.CaptionBox->SetText(edited.FCaption);
            dialog.CommentBox->SetText(edited.FComment);
        },
        [&](TAddFavoriteKeyForm& dialog) {
            edited.FTarget = dialog.FullPathBox->GetText();
            edited.FCaption = dialog.CaptionBox->GetText();
            edited.FComment = dialog.CommentBox->GetText();
        },
        FContext.Dialogs);
    return result == mrOk;
}

bool TFavoriteManagerForm::EditScript(TVxRegFavoriteObj& edited) {
    std::wstring script;
    if (!DecodeFavoriteScript(edited.FScript, script)) {
        FFile.Questions().ShowMessage(L"このお気に入りのレジストリスクリプトは壊れているため、編集できません。");
        return false;
    }
    const TModalResult result = ShowModalForm<TRegScriptEditorForm>(
        this,
        [&](TRegScriptEditorForm& dialog) {
            dialog.SetScriptText(script);
            dialog.CaptionBox->SetText(edited.FCaption);
            dialog.CommentBox->SetText(edited.FComment);
            dialog.AfterMoveKey->SetText(edited.FJumpKey);
        },
        [&](TRegScriptEditorForm& dialog) {
            edited.FScript = FavoriteScriptToHex(dialog.ScriptText());
            edited.FCaption = dialog.CaptionBox->GetText();
            edited.FComment = dialog.CommentBox->GetText();
            edited.FJumpKey = dialog.AfterMoveKey->GetText();
        },
        FContext.Dialogs);
    return result == mrOk;
}

bool TFavoriteManagerForm::EditFolder(TVxRegFavoriteObj& edited) {
    std::wstring name = edited.FCaption;
    if (!FFile.Questions().InputText(L"フォルダの名前の変更", L"このフォルダの新しい名前を指定してください。", name) ||
        name.empty() || name == edited.FCaption)
        return false;
    edited.FCaption = name;
    return true;
}

bool TFavoriteManagerForm::EditShellOpen(TVxRegFavoriteObj& edited) {
    const TModalResult result = ShowModalForm<TRegistryScriptImportForm>(
        this,
        [&](TRegistryScriptImportForm& dialog) {
            dialog.CaptionBox->SetText(edited.FCaption);
            dialog.FullPathBox->SetText(edited.FTarget);
            dialog.CommentBox->SetText(edited.FComment);
            dialog.AfterMoveKey->SetText(edited.FJumpKey);
        },
        [&](TRegistryScriptImportForm& dialog) {
            edited.FCaption = dialog.CaptionBox->GetText();
            edited.FTarget = dialog.FullPathBox->GetText();
            edited.FComment = dialog.CommentBox->GetText();
            edited.FJumpKey = dialog.AfterMoveKey->GetText();
        },
        FContext.Dialogs);
    return result == mrOk;
}

}  // namespace favorites
