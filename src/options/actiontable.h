// The commands of the main window as data: every action with its name, category, caption,
// default shortcut, image and tag in list order, and the item order of the menus, the main
// toolbar and the popup menus. The forms build their actions, menus and toolbars from these
// tables, and the settings dialog its shortcut and gesture rows, so a name, caption or
// order lives in one place.
//
// The category and the caption an action has when the main window is created name the
// action in "HotKey.db" and "Gesture.db" (section = category, key = caption). The order of
// the list matters for shortcuts: the first matching action that can run takes the key, so
// the address-box actions (tag 1) stand first.
//
// Plain constant data; any thread.
#pragma once

#include "classlib/actions.h"

#include <cstddef>
#include <span>
#include <string>
#include <string_view>

namespace options {

// A key that types a character (a letter, a digit, Space, the keypad's digits and signs,
// the punctuation keys) pressed without Ctrl and without Alt: such a shortcut would take the
// key from the address box and from every editor, so no command gets one (the settings
// dialog refuses it, and the reader of "HotKey.db" ignores it).
bool IsTypingShortCut(classlib::TShortCut shortCut);

// The actions in list order; the value is the index in ActionDefs().
enum class TActionId : int {
    aacComoUndo, aacComboCut, aacComboDelete, aacComboCopy, aacComboSelectAll, aacComboPaste,
    aacComboEnter, aacListCopy, aacNewWindow, aacEdit, aacNewKey, aacNewSZ, aacNewExSZ,
    aacNewMultiSZ, aacNewDWORD, aacNewQWord, aacNewBin, aacNewCustomBin, aacUndo, aacFindReplace,
    aacNewFavorite, aacViewMenu, aacACLEdit, aacClose, aacViewHelp, aacNewAcWindow, aacExport,
    aacRegImport, aacLoadHive, aacUnLoadHive, aacExit, aacCopy, aacCut, aacPaste, aacDelete,
    aacRename, aacSelectAll, aacBinEdit, aacCopyName, aacFullCopy, aacNewFavoriteRegScript,
    aacEditFavorite, aacRegSizeView, aacUpdateReg, aacAllUpdate, aacAllAllUpdate, aacExpandAllKey,
    aacWinReg, aacOption, aacAllClose, aacNonActiveAllClose, aacVertWindow, aacHorzWindow,
    aacCascadeWindow, aacNextWindow, aacPrevWindow, aacPlovikPage, aacVerInfo, aacInfomation,
    aacTreeCopy, aacListCut, aacListPaste, aacListDelete, aacTreeCut, aacTreePaste, aacTreeDelete,
    aacTreeRename, aacListRename, aacExecuteUndo, aacExecuteUndoListUp, aacUndoClear,
    aacUndoDelete, aacExecuteClipKey, aacDeleteClipKey, aacClearClipKey, aacExecuteClipValue,
    aacDeleteClipValue, aacClearClipValue, aacValueCopy, aacTreeNameCopy, aacTreeFullPathCopy,
    aacListNameCopy, aacListFullPathCopy, aacTreeExecuteFind, aacViewMainToolBar, aacViewAddr,
    aacViewToolBox, aacViewFavorite, aacFindAllDelete, aacFindAllReplace, aacClearHistory,
    aacCustomToolbar, aacSaveTab, aacLoadTab,
};
constexpr int ActionCount = static_cast<int>(TActionId::aacLoadTab) + 1;

// Tag of the address-box actions: their shortcuts are fixed (not read from "HotKey.db").
constexpr int AddressBoxActionTag = 1;

struct TActionDef {
    TActionId Id;
    const wchar_t* Name;      // component name, "aac..."
    const wchar_t* Category;  // section of "HotKey.db" / "Gesture.db"; empty for none
    const wchar_t* Caption;   // caption at creation; also hint and file key
    classlib::TShortCut ShortCut;
    int ImageIndex;           // picture in the toolbar image strip, -1 for none
    int Tag;
};

// Every action, in list order (ActionDefs()[i].Id == TActionId(i)).
std::span<const TActionDef> ActionDefs();
const TActionDef& ActionDef(TActionId id);
// The action of that component name (exact match), or null.
const TActionDef* FindActionDef(std::wstring_view name);

// --- Menus and toolbars --------------------------------------------------------------

enum class TMenuEntryKind {
    Action,     // Name: an action
    Separator,  // a line (on toolbars a gap)
    SubMenu,    // Name: a menu of MenuDefs() linked here; Caption: the item's own caption
    Generated,  // Name: what the program appends at run time (open windows, favorites)
};

struct TMenuEntry {
    TMenuEntryKind Kind;
    const wchar_t* Name;
    const wchar_t* Caption = L"";
};

// One menu, toolbar or popup: its component name, caption and items in order.
struct TMenuDef {
    const wchar_t* Name;
    const wchar_t* Caption;
    std::span<const TMenuEntry> Items;
};

// The submenus of the menu bar in bar order ("ファイル(&F)" ... "ヘルプ(&H)").
std::span<const TMenuDef> MenuBarDefs();
// The other menus and bars: "MenuNewValue", "MainToolBar", "TreeMenu", "ListMenu",
// "ToolMenuPopup".
std::span<const TMenuDef> OtherMenuDefs();
// A menu of either list by name, or null.
const TMenuDef* FindMenuDef(std::wstring_view name);

// The generic edit commands and their twins with the captions they take: the key twin's
// when the key tree has the focus, the value twin's otherwise.
struct TGenericActionDef {
    TActionId Generic;
    TActionId KeyTwin;
    const wchar_t* KeyCaption;
    TActionId ValueTwin;
    const wchar_t* ValueCaption;
};
std::span<const TGenericActionDef> GenericActionDefs();

}  // namespace options
