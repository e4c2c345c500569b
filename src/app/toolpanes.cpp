#include "app/toolpanes.h"

#include "registry/regtext.h"

#include <algorithm>

namespace app {

using undo::TRegClipBordItem;
using undo::TRegUndoItem;

const std::array<const wchar_t*, 4> ToolPageCaptions = {L"検索", L"アンドゥ", L"クリップボード",
                                                        L"履歴"};
const std::array<const wchar_t*, 6> UndoPaneHeaders = {
    L"種類", L"処理", L"名前", L"ヒットデータ(バイナリ)", L"フルパス", L"タイプ"};
const std::array<const wchar_t*, 3> KeyClipPaneHeaders = {L"種類", L"名前", L"フルパス"};
const std::array<const wchar_t*, 4> ValueClipPaneHeaders = {L"種類", L"名前", L"クリップ時の値",
                                                            L"フルパス"};

namespace {

const wchar_t* ClipKindText(const TRegClipBordItem& entry) {
    return entry.FCut ? L"切り取り" : L"コピー";
}

}  // namespace

std::wstring UndoOperationText(uint8_t operation) {
    switch (operation) {
        case undo::uoCreated: return L"作成の取り消し";
        case undo::uoChanged: return L"変更の取り消し";
        case undo::uoRenamed: return L"名前の変更の取り消し";
        case undo::uoDeleted: return L"削除の取り消し";
        default: return {};
    }
}

std::wstring UndoPaneText(const TRegUndoItem& item, int column) {
    const bool value = item.FKind == undo::ukValue;
    switch (column) {
        case 0: return value ? L"値のアンドゥ" : L"キーのアンドゥ";
        case 1: return UndoOperationText(item.FOperation);
        case 2: return item.FDisplayName;
        case 3: return item.FPayload;
        case 4: return item.FFullPath;
        case 5: return value ? registry::RegTypeToName(item.FValueType) : L"キー";
        default: return {};
    }
}

std::wstring KeyClipPaneText(const TRegClipBordItem& entry, int column) {
    switch (column) {
        case 0: return ClipKindText(entry);
        case 1: return entry.FDisplayName;
        case 2: return entry.FFullPath;
        default: return {};
    }
}

std::wstring ValueClipPaneText(const TRegClipBordItem& entry, int column) {
    switch (column) {
        case 0: return ClipKindText(entry);
        case 1: return entry.FDisplayName;
        case 2: return entry.FDataText;
        case 3: return entry.FFullPath;
        default: return {};
    }
}

std::wstring UndoQuestion(const TRegUndoItem& item) {
    return L"以下の仕様のアンドゥを実行します。よろしいですか？\r\n\r\nキーフルパス：" +
           item.FFullPath + L"\r\n" + L"値名：" + item.FValueName + L"\r\n" + L"値の種類：" +
           (item.FKind == undo::ukValue ? L"値" : L"キー") + L"\r\n" + L"アンドゥ操作：" +
           UndoOperationText(item.FOperation) + L"\r\n";
}

void UndoNewestCommand(const TCommandContext& c) {
    const auto& list = c.Undo.UndoList();
    if (list.empty()) return;
    const int newest = static_cast<int>(list.size()) - 1;
    if (!c.NoAllMessage && !c.Host.AskYesNo(UndoQuestion(*list.back()))) return;
    c.Undo.UndoAt(newest);
    c.Host.RefreshAllWindows();
}

void UndoRowCommand(const TCommandContext& c, const std::vector<int>& rows) {
    if (rows.empty()) return;
    c.Undo.UndoAt(*std::min_element(rows.begin(), rows.end()));
    c.Host.RefreshAllWindows();
}

void UndoRowsBottomUpCommand(const TCommandContext& c, const std::vector<int>& rows) {
    for (int row : RowsBottomUp(rows)) c.Undo.UndoAt(row);
    c.Host.RefreshAllWindows();
}

void DeleteUndoRowsCommand(const TCommandContext& c, const std::vector<int>& rows) {
    for (int row : RowsBottomUp(rows)) c.Undo.DeleteUndoEntry(row);
}

void DeleteKeyClipRowsCommand(const TCommandContext& c, const std::vector<int>& rows) {
    for (int row : RowsBottomUp(rows)) c.Undo.DeleteKeyClipEntry(row);
}

void DeleteValueClipRowsCommand(const TCommandContext& c, const std::vector<int>& rows) {
    for (int row : RowsBottomUp(rows)) c.Undo.DeleteValueClipEntry(row);
}

}  // namespace app
