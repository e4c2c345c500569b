#include "app/actionstates.h"

#include "app/mainactions.h"
#include "registry/reghive.h"

#include <initializer_list>

namespace app {

namespace {

using enum TActionId;
using TGroup = std::initializer_list<TActionId>;

// A: a key is selected.
constexpr TGroup kGroupA = {aacACLEdit, aacUpdateReg, aacAllUpdate, aacExpandAllKey};
// B: the key is writable.
constexpr TGroup kGroupB = {aacTreePaste, aacListPaste, aacNewKey, aacLoadHive, aacUnLoadHive,
                            aacNewSZ, aacNewExSZ, aacNewMultiSZ, aacNewDWORD, aacNewBin,
                            aacNewCustomBin, aacNewQWord};
// C: writable and not a root.
constexpr TGroup kGroupC = {aacTreeCopy, aacTreeCut, aacTreeDelete, aacTreeRename};
// D: any key.
constexpr TGroup kGroupD = {aacNewFavorite, aacNewFavoriteRegScript, aacNewAcWindow, aacExport,
                            aacSelectAll, aacTreeNameCopy, aacTreeFullPathCopy};
// E: value rows.
constexpr TGroup kGroupE = {aacEdit, aacBinEdit, aacListCopy, aacListCut, aacListDelete,
                            aacListRename, aacValueCopy};
constexpr TGroup kNewValues = {aacNewSZ, aacNewExSZ, aacNewMultiSZ, aacNewDWORD, aacNewBin,
                               aacNewCustomBin, aacNewQWord};

void Set(TActionStates& states, TGroup group, bool enabled) {
    for (TActionId id : group) states[id] = enabled;
}

}  // namespace

void DescribeSelectedKey(const registry::TVxRegKeyClass* key, TRegWindowState& state) {
    state.HasKey = key != nullptr;
    state.KeyReadOnly = key && key->FReadOnly;
    state.KeyIsRoot = key && key->FPath.empty();
    state.KeyIsHiveLoadTarget = key && registry::IsHiveLoadTarget(*key);
    state.KeyIsLoadedHive = key && registry::IsLoadedHiveKey(*key);
}

void ComputeActionStates(const TActionStateInput& input, TActionStates& states) {
    states.Caption.fill(nullptr);
    states[aacViewHelp] = input.HelpFileExists;
    states[aacUndo] = !input.UndoListEmpty;
    states[aacFindAllDelete] = states[aacFindAllReplace] = input.FindHitsChangeable;
    // Their keys (Enter, Ctrl+Z, Del, ...) belong to the commands behind them otherwise.
    for (int i = 0; i < ActionCount; ++i)
        if (IsAddressBoxAction(static_cast<TActionId>(i))) states.Enabled[i] = input.AddressBoxFocused;

    if (!input.Window) {
        for (TGroup group : {kGroupA, kGroupB, kGroupC, kGroupD, kGroupE}) Set(states, group, false);
        for (const TGenericActionDef& generic : GenericActionDefs()) states[generic.Generic] = false;
        Set(states, {aacListNameCopy, aacListFullPathCopy, aacClose}, false);
        return;
    }
    const TRegWindowState& w = *input.Window;
    states[aacClose] = !w.TabLocked;
    // They act on the one selected value: with none (or several) they would do nothing.
    Set(states, {aacListNameCopy, aacListFullPathCopy}, w.HasKey && !w.KeyReadOnly && w.SelectedValues == 1);

    if (!w.HasKey) {
        // The value commands keep what they had.
        for (TGroup group : {kGroupA, kGroupB, kGroupC, kGroupD}) Set(states, group, false);
    } else {
        Set(states, kGroupA, true);
        const bool hasValue = w.SelectedValues > 0;
        if (w.KeyReadOnly) {
            for (TGroup group : {kGroupB, kGroupC, kGroupE}) Set(states, group, false);
        } else {
            states[aacTreePaste] = !input.KeyClipboardEmpty;
            states[aacListPaste] = !input.ValueClipboardEmpty;
            states[aacNewKey] = true;
            states[aacLoadHive] = w.KeyIsHiveLoadTarget;
            states[aacUnLoadHive] = w.KeyIsLoadedHive;
            Set(states, kNewValues, true);
            Set(states, kGroupC, !w.KeyIsRoot);
            if (hasValue) {
                const bool one = w.SelectedValues == 1;
                Set(states, {aacEdit, aacBinEdit, aacListRename, aacValueCopy}, one);
                Set(states, {aacListCopy, aacListCut, aacListDelete}, true);
            } else {
                Set(states, kGroupE, false);
            }
        }
        Set(states, kGroupD, true);
    }

    for (const TGenericActionDef& generic : GenericActionDefs()) {
        const size_t index = static_cast<size_t>(generic.Generic);
        states.Enabled[index] = states[w.TreeFocused ? generic.KeyTwin : generic.ValueTwin];
        states.Caption[index] = w.TreeFocused ? generic.KeyCaption : generic.ValueCaption;
    }
}

TActionStates ReadActionStates(const TMainActionList& actions) {
    TActionStates states;
    for (int i = 0; i < ActionCount; ++i) states.Enabled[i] = actions.Action(static_cast<TActionId>(i))->Enabled();
    return states;
}

void ApplyActionStates(const TActionStates& states, TMainActionList& actions) {
    for (int i = 0; i < ActionCount; ++i) {
        TAppAction* action = actions.Action(static_cast<TActionId>(i));
        action->SetEnabled(states.Enabled[i]);
        if (states.Caption[i]) action->SetCaption(states.Caption[i]);
    }
}

bool IsAddressBoxAction(TActionId id) { return ActionDef(id).Tag == AddressBoxActionTag; }

bool ExecuteAddressBoxAction(TActionId id, HWND edit, const std::function<void()>& jump) {
    if (!IsAddressBoxAction(id) || !edit) return false;
    switch (id) {
    case aacComoUndo: SendMessageW(edit, WM_UNDO, 0, 0); break;
    case aacComboCut: SendMessageW(edit, WM_CUT, 0, 0); break;
    case aacComboDelete: SendMessageW(edit, WM_CLEAR, 0, 0); break;
    case aacComboCopy: SendMessageW(edit, WM_COPY, 0, 0); break;
    case aacComboPaste: SendMessageW(edit, WM_PASTE, 0, 0); break;
    case aacComboSelectAll: SendMessageW(edit, EM_SETSEL, 0, -1); break;
    case aacComboEnter:
        if (jump) jump();
        break;
    default: return false;
    }
    return true;
}

}  // namespace app
