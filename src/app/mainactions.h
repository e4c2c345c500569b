// The main window's actions built from the action table, the shortcut and gesture tables
// read from "HotKey.db" and "Gesture.db", and the rule of when shortcuts may run.
//
// Main thread only.
#pragma once

#include "app/actiontable.h"
#include "classlib/form.h"
#include "controls/wide/wideactions.h"
#include "settings/inifile.h"

#include <functional>
#include <string>
#include <vector>

namespace app {

// One command of the main window, made from its entry of the action table.
class TAppAction : public wide::TWideAction {
public:
    TAppAction(classlib::TComponent* owner, const TActionDef& def);
    TActionId Id() const { return FDef.Id; }
    const TActionDef& Def() const { return FDef; }
    // The caption the action had when it was made: its key in "HotKey.db" and
    // "Gesture.db", which a later change of caption (the generic edit commands) keeps.
    const std::wstring HelpKeyword;

private:
    const TActionDef& FDef;
};

// The action list of the main window: every action of ActionDefs(), in list order, with
// hint and help keyword set to its caption.
class TMainActionList : public wide::TWideActionList {
public:
    explicit TMainActionList(classlib::TComponent* owner);
    TAppAction* Action(TActionId id) const { return FActions[static_cast<size_t>(id)]; }

    // Shortcuts run only while this answers true (the main window sets it to "the main
    // window or one of its registry windows is active"); unset, they always may. Keys
    // that arrive while another window is active (a value editor, a dialog) are left to it.
    std::function<bool()> ShortCutsAllowed;
    // Brings the actions' states up to date before a shortcut looks for its action: a key
    // may come before the first idle pass after a change (a window just opened).
    std::function<void()> UpdateStates;
    // The first action whose shortcut matches and that is enabled after its update runs.
    bool IsShortCut(WORD key, classlib::TShiftState shift) override;

private:
    std::vector<TAppAction*> FActions;
};

// True while `mainForm` is the active form: it is, or owns, the active window (a registry
// window is an MDI child of it; a modal dialog is a form of its own).
bool MainFormIsActive(const classlib::TForm* mainForm);

// Gives every action of tag 0 the shortcut stored in `hotKeys` under its category and
// help keyword (default: its current shortcut); a text that is no shortcut gives none, and
// a key that types a character without Ctrl or Alt (IsTypingShortCut) is ignored. The
// address-box actions keep theirs.
void LoadHotKeys(TMainActionList& actions, const settings::TVxMemIniFile& hotKeys);

// One gesture of "Gesture.db" and the action it runs.
struct TGestureBinding {
    std::wstring Gesture;
    TAppAction* Action;
};
// The gesture of every action (key = help keyword in section = category; default empty),
// in list order, empty ones included (the recogniser ignores them).
std::vector<TGestureBinding> ReadGestureTable(const TMainActionList& actions,
                                              const settings::TVxMemIniFile& gestures);

}  // namespace app
