#include "options/actiontable.h"

#include "classlib/menus.h"

#include <array>

namespace options {

namespace {

using classlib::scCtrl;
using classlib::scShift;
using enum TActionId;

constexpr classlib::TShortCut Ctrl(wchar_t key) { return static_cast<classlib::TShortCut>(scCtrl | key); }

// Category names: the sections of "HotKey.db" and "Gesture.db".
constexpr const wchar_t* File = L"ファイル";
constexpr const wchar_t* Edit = L"編集";
constexpr const wchar_t* Find = L"検索";
constexpr const wchar_t* Favorite = L"お気に入り";
constexpr const wchar_t* View = L"表示";
constexpr const wchar_t* Tool = L"ツール";
constexpr const wchar_t* Window = L"ウインドウ";
constexpr const wchar_t* Help = L"ヘルプ";
constexpr const wchar_t* TreeMenu = L"ツリーメニュー";
constexpr const wchar_t* ListMenu = L"リストメニュー";
constexpr const wchar_t* UndoPane = L"アンドゥ処理";
constexpr const wchar_t* KeyClip = L"クリップボード処理_キー";
constexpr const wchar_t* ValueClip = L"クリップボード処理_値";
constexpr const wchar_t* History = L"履歴処理";

constexpr int A = AddressBoxActionTag;

// Pictures in the command strip: the main toolbar's commands first, in its order, then the
// value types, file, view, tool, window and help commands; the menus' twins of a command
// share its picture.
constexpr std::array<TActionDef, ActionCount> kActions{{
    {aacComoUndo, L"aacComoUndo", L"", L"aacComoUndo", Ctrl(L'Z'), -1, A},
    {aacComboCut, L"aacComboCut", L"", L"aacComboCut", Ctrl(L'X'), -1, A},
    {aacComboDelete, L"aacComboDelete", L"", L"aacComboDelete", VK_DELETE, -1, A},
    {aacComboCopy, L"aacComboCopy", L"", L"aacComboCopy", Ctrl(L'C'), -1, A},
    {aacComboSelectAll, L"aacComboSelectAll", L"", L"aacComboSelectAll", Ctrl(L'A'), -1, A},
    {aacComboPaste, L"aacComboPaste", L"", L"aacComboPaste", Ctrl(L'V'), -1, A},
    {aacComboEnter, L"aacComboEnter", L"", L"aacComboEnter", VK_RETURN, -1, A},
    {aacListCopy, L"aacListCopy", ListMenu, L"コピー", 0, 4, 0},
    {aacNewWindow, L"aacNewWindow", File, L"新規ウインドウ", 0, 36, 0},
    {aacEdit, L"aacEdit", Edit, L"値の修正...", VK_RETURN, 1, 0},
    {aacNewKey, L"aacNewKey", Edit, L"新規キー...", 0, 2, 0},
    {aacNewSZ, L"aacNewSZ", Edit, L"新規文字列...", 0, 15, 0},
    {aacNewExSZ, L"aacNewExSZ", Edit, L"新規展開可能文字列...", 0, 19, 0},
    {aacNewMultiSZ, L"aacNewMultiSZ", Edit, L"新規複数行文字列...", 0, 20, 0},
    {aacNewDWORD, L"aacNewDWORD", Edit, L"新規DWORD値(32bit数値)...", 0, 16, 0},
    {aacNewQWord, L"aacNewQWord", Edit, L"新規QWORD値(64bit数値)...", 0, 17, 0},
    {aacNewBin, L"aacNewBin", Edit, L"新規バイナリ...", 0, 18, 0},
    {aacNewCustomBin, L"aacNewCustomBin", Edit, L"値の形式を指定して作成...", 0, 21, 0},
    {aacUndo, L"aacUndo", Edit, L"元に戻す...", Ctrl(L'Z'), 3, 0},
    {aacFindReplace, L"aacFindReplace", Find, L"検索...", Ctrl(L'F'), 10, 0},
    {aacNewFavorite, L"aacNewFavorite", Favorite, L"現在のキーをお気に入りに追加...", 0, 12, 0},
    {aacViewMenu, L"aacViewMenu", View, L"メニューバーの表示", 0, -1, 0},
    {aacACLEdit, L"aacACLEdit", Tool, L"ACLエディタ(永久人柱版)...", 0, -1, 0},
    {aacClose, L"aacClose", Window, L"現在のウインドウを閉じる", 0, 43, 0},
    {aacViewHelp, L"aacViewHelp", Help, L"ヘルプを開く", VK_F1, 27, 0},
    {aacNewAcWindow, L"aacNewAcWindow", File, L"今開いているキーを別ウインドウで開く", Ctrl(L'N'), 0, 0},
    {aacExport, L"aacExport", File, L"レジストリキーのエクスポート...", 0, 23, 0},
    {aacRegImport, L"aacRegImport", File, L"レジストリスクリプトのインポート...", 0, 24, 0},
    {aacLoadHive, L"aacLoadHive", File, L"ハイブファイルのロード...", 0, 37, 0},
    {aacUnLoadHive, L"aacUnLoadHive", File, L"ハイブのアンロード...", 0, 38, 0},
    {aacExit, L"aacExit", File, L"終了", 0, 28, 0},
    {aacCopy, L"aacCopy", Edit, L"コピー", Ctrl(L'C'), 4, 0},
    {aacCut, L"aacCut", Edit, L"切り取り", Ctrl(L'X'), 5, 0},
    {aacPaste, L"aacPaste", Edit, L"貼り付け", Ctrl(L'V'), 6, 0},
    {aacDelete, L"aacDelete", Edit, L"削除...", VK_DELETE, 8, 0},
    {aacRename, L"aacRename", Edit, L"名前の変更...", VK_F2, 7, 0},
    {aacSelectAll, L"aacSelectAll", Edit, L"全て選択", Ctrl(L'A'), 9, 0},
    {aacBinEdit, L"aacBinEdit", Edit, L"値をバイナリエディタで直接編集...",
     static_cast<classlib::TShortCut>(scShift | VK_RETURN), 22, 0},
    {aacCopyName, L"aacCopyName", Edit, L"名前だけコピー", 0, -1, 0},
    {aacFullCopy, L"aacFullCopy", Edit, L"フルパスをコピー", 0, -1, 0},
    {aacNewFavoriteRegScript, L"aacNewFavoriteRegScript", Favorite,
     L"現在のキーのレジストリスクリプトを追加する...", 0, 13, 0},
    {aacEditFavorite, L"aacEditFavorite", Favorite, L"お気に入りマネージャ...", 0, 11, 0},
    {aacRegSizeView, L"aacRegSizeView", Tool, L"簡易レジストリサイズ表示ツール...", 0, -1, 0},
    {aacUpdateReg, L"aacUpdateReg", Tool, L"現在のキーを更新", 0, 25, 0},
    {aacAllUpdate, L"aacAllUpdate", Tool, L"全てのキーを最新の情報に更新", 0, 25, 0},
    {aacAllAllUpdate, L"aacAllAllUpdate", Tool, L"全ウインドウの全キーを更新", 0, 25, 0},
    {aacExpandAllKey, L"aacExpandAllKey", Tool, L"このキー以下を全て展開する", VK_F4, 39, 0},
    {aacWinReg, L"aacWinReg", Tool, L"Windows標準のレジストリエディタを起動...", VK_F3, -1, 0},
    {aacOption, L"aacOption", Tool, L"設定...", 0, 26, 0},
    {aacAllClose, L"aacAllClose", Window, L"全てのウインドウを閉じる", 0, 42, 0},
    {aacNonActiveAllClose, L"aacNonActiveAllClose", Window, L"現在のウインドウ以外を全て閉じる", 0, -1, 0},
    {aacVertWindow, L"aacVertWindow", Window, L"縦に並べて表示", 0, 29, 0},
    {aacHorzWindow, L"aacHorzWindow", Window, L"横に並べて表示", 0, 30, 0},
    {aacCascadeWindow, L"aacCascadeWindow", Window, L"重ねて表示", 0, 35, 0},
    {aacNextWindow, L"aacNextWindow", Window, L"次のウインドウ", 0, -1, 0},
    {aacPrevWindow, L"aacPrevWindow", Window, L"前のウインドウ", 0, -1, 0},
    {aacPlovikPage, L"aacPlovikPage", Help, L"作者のサイトを開く", 0, 14, 0},
    {aacVerInfo, L"aacVerInfo", Help, L"バージョン情報...", 0, 40, 0},
    {aacInfomation, L"aacInfomation", Help, L"ライセンス条項...", 0, -1, 0},
    {aacTreeCopy, L"aacTreeCopy", TreeMenu, L"コピー", 0, 4, 0},
    {aacListCut, L"aacListCut", ListMenu, L"切り取り", 0, 5, 0},
    {aacListPaste, L"aacListPaste", ListMenu, L"貼り付け", 0, 6, 0},
    {aacListDelete, L"aacListDelete", ListMenu, L"削除...", 0, 8, 0},
    {aacTreeCut, L"aacTreeCut", TreeMenu, L"切り取り", 0, 5, 0},
    {aacTreePaste, L"aacTreePaste", TreeMenu, L"貼り付け", 0, 6, 0},
    {aacTreeDelete, L"aacTreeDelete", TreeMenu, L"削除...", 0, 8, 0},
    {aacTreeRename, L"aacTreeRename", TreeMenu, L"名前の変更...", 0, 7, 0},
    {aacListRename, L"aacListRename", ListMenu, L"名前の変更...", 0, 7, 0},
    {aacExecuteUndo, L"aacExecuteUndo", UndoPane, L"このアンドゥを実行", 0, 3, 0},
    {aacExecuteUndoListUp, L"aacExecuteUndoListUp", UndoPane, L"選択範囲のアンドゥを下から順番に全て実行", 0, -1, 0},
    {aacUndoClear, L"aacUndoClear", UndoPane, L"アンドゥ情報の全削除", 0, -1, 0},
    {aacUndoDelete, L"aacUndoDelete", UndoPane, L"選択範囲のアンドゥ情報の削除", 0, -1, 0},
    {aacExecuteClipKey, L"aacExecuteClipKey", KeyClip, L"選択範囲のデータを今のキーに貼り付け", 0, -1, 0},
    {aacDeleteClipKey, L"aacDeleteClipKey", KeyClip, L"選択範囲のデータを削除", 0, -1, 0},
    {aacClearClipKey, L"aacClearClipKey", KeyClip, L"キークリップボードの値をクリア", 0, -1, 0},
    {aacExecuteClipValue, L"aacExecuteClipValue", ValueClip, L"選択範囲のデータを今のキーに貼り付け", 0, -1, 0},
    {aacDeleteClipValue, L"aacDeleteClipValue", ValueClip, L"選択範囲のデータを削除", 0, -1, 0},
    {aacClearClipValue, L"aacClearClipValue", ValueClip, L"値クリップボードの値をクリア", 0, -1, 0},
    {aacValueCopy, L"aacValueCopy", ListMenu, L"表示されている値のコピー", 0, -1, 0},
    {aacTreeNameCopy, L"aacTreeNameCopy", TreeMenu, L"名前のコピー", 0, -1, 0},
    {aacTreeFullPathCopy, L"aacTreeFullPathCopy", TreeMenu, L"フルパスのコピー", 0, -1, 0},
    {aacListNameCopy, L"aacListNameCopy", ListMenu, L"名前のコピー", 0, -1, 0},
    {aacListFullPathCopy, L"aacListFullPathCopy", ListMenu, L"フルパスのコピー", 0, -1, 0},
    {aacTreeExecuteFind, L"aacTreeExecuteFind", TreeMenu, L"検索と置換...", 0, 10, 0},
    {aacViewMainToolBar, L"aacViewMainToolBar", View, L"メインツールバーの表示", 0, -1, 0},
    {aacViewAddr, L"aacViewAddr", View, L"アドレスバーの表示", 0, -1, 0},
    {aacViewToolBox, L"aacViewToolBox", View, L"ツールウインドウの表示", 0, -1, 0},
    {aacViewFavorite, L"aacViewFavorite", View, L"お気に入りウインドウの表示", 0, -1, 0},
    {aacFindAllDelete, L"aacFindAllDelete", Find, L"検索結果を用いた一括削除...", 0, -1, 0},
    {aacFindAllReplace, L"aacFindAllReplace", Find, L"検索結果を用いた一括置換...", 0, -1, 0},
    {aacClearHistory, L"aacClearHistory", History, L"履歴のクリア", 0, 41, 0},
    {aacCustomToolbar, L"aacCustomToolbar", Tool, L"ツールバーのカスタマイズ...", 0, -1, 0},
    {aacSaveTab, L"aacSaveTab", Tool, L"現在開いているタブを保存する...", 0, -1, 0},
    {aacLoadTab, L"aacLoadTab", Tool, L"保存したタブを開く...", 0, -1, 0},
}};

constexpr TMenuEntry Act(const wchar_t* name) { return {TMenuEntryKind::Action, name}; }
constexpr TMenuEntry Sep{TMenuEntryKind::Separator, L""};
constexpr TMenuEntry NewValue{TMenuEntryKind::SubMenu, L"MenuNewValue", L"新規値"};

constexpr TMenuEntry kFileMenu[] = {
    Act(L"aacNewWindow"), Act(L"aacNewAcWindow"), Sep, Act(L"aacExport"), Act(L"aacRegImport"), Sep,
    Act(L"aacLoadHive"), Act(L"aacUnLoadHive"), Sep, Act(L"aacExit")};
constexpr TMenuEntry kEditMenu[] = {
    Act(L"aacEdit"), Sep, Act(L"aacNewKey"), NewValue, Sep, Act(L"aacUndo"), Sep, Act(L"aacCopy"),
    Act(L"aacCut"), Act(L"aacPaste"), Act(L"aacRename"), Sep, Act(L"aacDelete"), Sep,
    Act(L"aacSelectAll"), Sep, Act(L"aacBinEdit"), Sep, Act(L"aacCopyName"), Act(L"aacFullCopy"),
    Act(L"aacValueCopy")};
constexpr TMenuEntry kSearchMenu[] = {
    Act(L"aacFindReplace"), Sep, Act(L"aacFindAllDelete"), Act(L"aacFindAllReplace")};
constexpr TMenuEntry kFavoriteMenu[] = {
    Act(L"aacEditFavorite"), Sep, Act(L"aacNewFavorite"), Act(L"aacNewFavoriteRegScript"), Sep,
    {TMenuEntryKind::Generated, L"Favorites"}};
constexpr TMenuEntry kViewMenu[] = {
    Act(L"aacViewMenu"), Act(L"aacViewMainToolBar"), Act(L"aacViewAddr"), Sep,
    Act(L"aacViewToolBox"), Act(L"aacViewFavorite")};
constexpr TMenuEntry kToolMenu[] = {
    Act(L"aacACLEdit"), Act(L"aacRegSizeView"), Sep, Act(L"aacUpdateReg"), Act(L"aacAllUpdate"),
    Act(L"aacAllAllUpdate"), Sep, Act(L"aacExpandAllKey"), Sep, Act(L"aacWinReg"), Sep,
    Act(L"aacSaveTab"), Act(L"aacLoadTab"), Sep, Act(L"aacCustomToolbar"), Act(L"aacOption")};
constexpr TMenuEntry kWindowMenu[] = {
    Act(L"aacNonActiveAllClose"), Act(L"aacAllClose"), Act(L"aacClose"), Sep,
    Act(L"aacVertWindow"), Act(L"aacHorzWindow"), Act(L"aacCascadeWindow"), Sep,
    Act(L"aacNextWindow"), Act(L"aacPrevWindow"), Sep, {TMenuEntryKind::Generated, L"Windows"}};
constexpr TMenuEntry kHelpMenu[] = {
    Act(L"aacViewHelp"), Sep, Act(L"aacInfomation"), Act(L"aacPlovikPage"), Sep, Act(L"aacVerInfo")};

constexpr TMenuEntry kNewValueMenu[] = {
    Act(L"aacNewSZ"), Act(L"aacNewDWORD"), Act(L"aacNewQWord"), Act(L"aacNewBin"), Sep,
    Act(L"aacNewExSZ"), Act(L"aacNewMultiSZ"), Sep, Act(L"aacNewCustomBin")};
constexpr TMenuEntry kMainToolBar[] = {
    Act(L"aacNewAcWindow"), Sep, Act(L"aacEdit"), Sep, Act(L"aacNewKey"), NewValue, Sep,
    Act(L"aacUndo"), Sep, Act(L"aacCopy"), Act(L"aacCut"), Act(L"aacPaste"), Act(L"aacRename"), Sep,
    Act(L"aacDelete"), Sep, Act(L"aacSelectAll"), Sep, Act(L"aacFindReplace"), Sep,
    Act(L"aacEditFavorite"), Sep, Act(L"aacNewFavorite"), Act(L"aacNewFavoriteRegScript"), Sep,
    Act(L"aacPlovikPage")};
constexpr TMenuEntry kTreeMenu[] = {
    Act(L"aacNewKey"), Sep, Act(L"aacNewAcWindow"), Sep, Act(L"aacTreeExecuteFind"), Sep,
    Act(L"aacTreeCopy"), Act(L"aacTreeCut"), Act(L"aacTreePaste"), Sep, Act(L"aacTreeDelete"), Sep,
    Act(L"aacTreeRename"), Sep, Act(L"aacExport"), Sep, Act(L"aacNewFavorite"),
    Act(L"aacNewFavoriteRegScript"), Sep, Act(L"aacUpdateReg"), Sep, Act(L"aacTreeNameCopy"),
    Act(L"aacTreeFullPathCopy"), Sep, Act(L"aacLoadHive"), Act(L"aacUnLoadHive"), Sep,
    Act(L"aacACLEdit")};
constexpr TMenuEntry kListMenu[] = {
    Act(L"aacEdit"), NewValue, Sep, Act(L"aacListCopy"), Act(L"aacListCut"), Act(L"aacListPaste"),
    Act(L"aacListRename"), Sep, Act(L"aacSelectAll"), Sep, Act(L"aacListNameCopy"),
    Act(L"aacListFullPathCopy"), Act(L"aacValueCopy"), Sep, Act(L"aacListDelete"), Sep,
    Act(L"aacBinEdit")};
constexpr TMenuEntry kToolMenuPopup[] = {
    Act(L"aacCustomToolbar"), Sep, Act(L"aacViewMenu"), Act(L"aacViewMainToolBar"),
    Act(L"aacViewAddr"), Sep, Act(L"aacViewToolBox"), Act(L"aacViewFavorite")};

constexpr TMenuDef kMenuBar[] = {
    {L"MenuFile", L"ファイル(&F)", kFileMenu},
    {L"MenuEdit", L"編集(&E)", kEditMenu},
    {L"MenuSearch", L"検索(&S)", kSearchMenu},
    {L"MenuFavorite", L"お気に入り(&O)", kFavoriteMenu},
    {L"MenuView", L"表示(&V)", kViewMenu},
    {L"MenuTool", L"ツール(&T)", kToolMenu},
    {L"MenuWindow", L"ウインドウ(&W)", kWindowMenu},
    {L"MenuHelp", L"ヘルプ(&H)", kHelpMenu},
};
constexpr TMenuDef kOtherMenus[] = {
    {L"MenuNewValue", L"新規値", kNewValueMenu},
    {L"MainToolBar", L"メインツールバー", kMainToolBar},
    {L"TreeMenu", L"", kTreeMenu},
    {L"ListMenu", L"", kListMenu},
    {L"ToolMenuPopup", L"", kToolMenuPopup},
};

constexpr TGenericActionDef kGenerics[] = {
    {aacCopy, aacTreeCopy, L"キーのコピー", aacListCopy, L"値のコピー"},
    {aacCut, aacTreeCut, L"キーの切り取り", aacListCut, L"値の切り取り"},
    {aacPaste, aacTreePaste, L"キーの貼り付け", aacListPaste, L"値の貼り付け"},
    {aacDelete, aacTreeDelete, L"キーの削除", aacListDelete, L"値の削除"},
    {aacRename, aacTreeRename, L"キーの名前の変更", aacListRename, L"値の名前の変更"},
    {aacCopyName, aacTreeNameCopy, L"キーの名前のコピー", aacListNameCopy, L"値の名前のコピー"},
    {aacFullCopy, aacTreeFullPathCopy, L"キーのフルパスのコピー", aacListFullPathCopy,
     L"値のフルパスのコピー"},
};

}  // namespace

std::span<const TActionDef> ActionDefs() { return kActions; }

const TActionDef& ActionDef(TActionId id) { return kActions[static_cast<size_t>(id)]; }

const TActionDef* FindActionDef(std::wstring_view name) {
    for (const TActionDef& def : kActions)
        if (name == def.Name) return &def;
    return nullptr;
}

std::span<const TMenuDef> MenuBarDefs() { return kMenuBar; }
std::span<const TMenuDef> OtherMenuDefs() { return kOtherMenus; }

const TMenuDef* FindMenuDef(std::wstring_view name) {
    for (auto list : {MenuBarDefs(), OtherMenuDefs()})
        for (const TMenuDef& def : list)
            if (name == def.Name) return &def;
    return nullptr;
}

std::span<const TGenericActionDef> GenericActionDefs() { return kGenerics; }

bool IsTypingShortCut(classlib::TShortCut shortCut) {
    if (shortCut & (classlib::scCtrl | classlib::scAlt)) return false;
    const WORD key = shortCut & 0xFF;
    return (key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || key == VK_SPACE ||
           (key >= VK_NUMPAD0 && key <= VK_DIVIDE) || (key >= VK_OEM_1 && key <= VK_OEM_3) ||
           (key >= VK_OEM_4 && key <= VK_OEM_8) || key == VK_OEM_102;
}

}  // namespace options
