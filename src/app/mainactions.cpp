#include "app/mainactions.h"

#include "classlib/menus.h"
#include "classlib/screen.h"

namespace app {

TAppAction::TAppAction(classlib::TComponent* owner, const TActionDef& def)
    : wide::TWideAction(owner), HelpKeyword(def.Caption), FDef(def) {
    SetName(def.Name);
    Category = def.Category;
    SetCaption(def.Caption);
    SetHint(def.Caption);
    SetShortCut(def.ShortCut);
    SetImageIndex(def.ImageIndex);
    SetTag(def.Tag);
}

TMainActionList::TMainActionList(classlib::TComponent* owner) : wide::TWideActionList(owner) {
    FActions.reserve(app::ActionCount);
    for (const TActionDef& def : ActionDefs()) {
        // Owned by the list, which they join.
        FActions.push_back(new TAppAction(this, def));
    }
}

bool TMainActionList::IsShortCut(WORD key, classlib::TShiftState shift) {
    if (ShortCutsAllowed && !ShortCutsAllowed()) return false;
    if (UpdateStates) UpdateStates();
    return wide::TWideActionList::IsShortCut(key, shift);
}

bool MainFormIsActive(const classlib::TForm* mainForm) {
    return mainForm && classlib::Screen && classlib::Screen->ActiveForm() == mainForm;
}

void LoadHotKeys(TMainActionList& actions, const settings::TVxMemIniFile& hotKeys) {
    for (int i = 0; i < ActionCount; ++i) {
        TAppAction* action = actions.Action(static_cast<TActionId>(i));
        if (action->Tag() != 0) continue;
        const std::wstring text =
            hotKeys.ReadString(action->Category, action->HelpKeyword, classlib::ShortCutToText(action->ShortCut()));
        const classlib::TShortCut shortCut = classlib::TextToShortCut(text);
        if (!options::IsTypingShortCut(shortCut)) action->SetShortCut(shortCut);
    }
}

std::vector<TGestureBinding> ReadGestureTable(const TMainActionList& actions,
                                              const settings::TVxMemIniFile& gestures) {
    std::vector<TGestureBinding> table;
    table.reserve(ActionCount);
    for (int i = 0; i < ActionCount; ++i) {
        TAppAction* action = actions.Action(static_cast<TActionId>(i));
        table.push_back({gestures.ReadString(action->Category, action->HelpKeyword, L""), action});
    }
    return table;
}

}  // namespace app
