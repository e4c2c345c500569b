// Whether each registry command may run, and the captions of the generic edit commands,
// computed from a description of the active registry window. The main window runs it
// whenever the message queue is empty and right before a gesture runs its command.
//
// Pure functions and a small helper for the address box's edit window; main thread for the
// latter.
#pragma once

#include "app/actiontable.h"
#include "registry/regrecords.h"

#include <windows.h>

#include <array>
#include <functional>
#include <optional>

namespace app {

class TMainActionList;

// The active registry window as the action states see it.
struct TRegWindowState {
    bool TabLocked = false;
    bool HasKey = false;             // a key is selected (not the computer node)
    bool KeyReadOnly = false;        // the key could not be opened for writing
    bool KeyIsRoot = false;          // the key is a hive root (its path is empty)
    bool KeyIsHiveLoadTarget = false;  // HKEY_LOCAL_MACHINE or HKEY_USERS itself
    bool KeyIsLoadedHive = false;    // a direct child of those two roots
    int SelectedValues = 0;          // value rows selected (the first one exists when > 0)
    bool TreeFocused = false;        // the key tree has the keyboard focus
};

// The key fields of TRegWindowState for `key` (null: the computer node or nothing).
void DescribeSelectedKey(const registry::TVxRegKeyClass* key, TRegWindowState& state);

struct TActionStateInput {
    bool HelpFileExists = false;
    bool UndoListEmpty = true;
    bool KeyClipboardEmpty = true;
    bool ValueClipboardEmpty = true;
    bool AddressBoxFocused = false;  // the address box's edit window has the focus
    bool FindHitsChangeable = false;  // search hits exist and no search runs
    std::optional<TRegWindowState> Window;  // none: no registry window is active
};

// Enabled state of every action, and the caption to give it (null: leave it).
struct TActionStates {
    std::array<bool, ActionCount> Enabled{};
    std::array<const wchar_t*, ActionCount> Caption{};

    bool operator[](TActionId id) const { return Enabled[static_cast<size_t>(id)]; }
    bool& operator[](TActionId id) { return Enabled[static_cast<size_t>(id)]; }
};

// Updates `states` for `input`. States the rules leave alone keep their previous value
// (the value commands while the computer node is selected); captions are reset to null
// and set only for the generic edit commands while a registry window is active.
void ComputeActionStates(const TActionStateInput& input, TActionStates& states);

// The enabled states of the actions now, to compute from; and the result put back.
TActionStates ReadActionStates(const TMainActionList& actions);
void ApplyActionStates(const TActionStates& states, TMainActionList& actions);

// --- Address box ---------------------------------------------------------------------

// True for the seven address-box actions (tag 1).
bool IsAddressBoxAction(TActionId id);
// Runs an address-box action on the box's edit window: undo, cut, delete, copy and paste
// are the edit messages, select-all selects the whole text, enter calls `jump` (the move
// button). False for any other action or a missing window.
bool ExecuteAddressBoxAction(TActionId id, HWND edit, const std::function<void()>& jump);

}  // namespace app
