#include "app/menubuilder.h"

#include "app/mainactions.h"
#include "classlib/menus.h"

namespace app {

namespace {

void AddItems(classlib::TMenuItem& parent, classlib::TComponent* owner, const TMenuDef& def,
              TMainActionList& actions) {
    for (const TMenuEntry& entry : def.Items) {
        auto* item = new classlib::TMenuItem(owner);
        switch (entry.Kind) {
        case TMenuEntryKind::Action:
            if (const TActionDef* action = FindActionDef(entry.Name)) item->SetAction(actions.Action(action->Id));
            break;
        case TMenuEntryKind::Separator: item->SetCaption(L"-"); break;
        case TMenuEntryKind::SubMenu:
            item->SetCaption(entry.Caption);
            if (const TMenuDef* sub = FindMenuDef(entry.Name)) AddItems(*item, owner, *sub, actions);
            break;
        case TMenuEntryKind::Generated: delete item; continue;
        }
        parent.Add(item);
    }
}

}  // namespace

void BuildPopupMenu(classlib::TPopupMenu& menu, const std::wstring& name, TMainActionList& actions) {
    if (const TMenuDef* def = FindMenuDef(name)) AddItems(*menu.Items(), &menu, *def, actions);
}

}  // namespace app
