// The tool panel's undo pane and two clipboard panes: what their rows show, the undo of the
// newest record with its question, and the commands of their popup menus. The panes hold no
// data of their own: row i shows item i of the provider's list.
//
// Main thread only.
#pragma once

#include "app/commandhost.h"
#include "undo/undoitems.h"

#include <array>
#include <string>
#include <vector>

namespace app {

// Captions of the panel's tabs, in page order; the panel takes the caption of its page.
extern const std::array<const wchar_t*, 4> ToolPageCaptions;
// Width of the key clipboard pane: half the panel.
constexpr int ClipKeyPaneWidth(int panelWidth) { return panelWidth / 2; }

// Column headers of the panes.
extern const std::array<const wchar_t*, 6> UndoPaneHeaders;
extern const std::array<const wchar_t*, 3> KeyClipPaneHeaders;
extern const std::array<const wchar_t*, 4> ValueClipPaneHeaders;

// Images of column 0 (registry-object image list); the other columns have none.
constexpr int UndoPaneImage = 4;
constexpr int KeyClipPaneImage = 5;
constexpr int ValueClipPaneImage = 0;
constexpr int PaneImageIndex(int paneImage, int column) { return column == 0 ? paneImage : -1; }

// "作成の取り消し", "変更の取り消し", "名前の変更の取り消し", "削除の取り消し"; empty for
// an unknown operation.
std::wstring UndoOperationText(uint8_t operation);
// The cell texts; empty for a column the pane does not have.
std::wstring UndoPaneText(const undo::TRegUndoItem& item, int column);
std::wstring KeyClipPaneText(const undo::TRegClipBordItem& entry, int column);
std::wstring ValueClipPaneText(const undo::TRegClipBordItem& entry, int column);

// The question before undoing the newest record.
std::wstring UndoQuestion(const undo::TRegUndoItem& item);

// Undoes the newest record after the question (unless "SetNoAllMessage"), then refreshes
// every window. Nothing for an empty list.
void UndoNewestCommand(const TCommandContext& c);
// Undoes the record of the first selected row without a question.
void UndoRowCommand(const TCommandContext& c, const std::vector<int>& rows);
// Undoes the records of the selected rows from the lowest row up (so that the rows still
// to do keep their indexes), then refreshes every window once.
void UndoRowsBottomUpCommand(const TCommandContext& c, const std::vector<int>& rows);
// Drops the records of the selected rows without undoing them.
void DeleteUndoRowsCommand(const TCommandContext& c, const std::vector<int>& rows);
// Drops the selected entries of the key / value clipboard.
void DeleteKeyClipRowsCommand(const TCommandContext& c, const std::vector<int>& rows);
void DeleteValueClipRowsCommand(const TCommandContext& c, const std::vector<int>& rows);

}  // namespace app
