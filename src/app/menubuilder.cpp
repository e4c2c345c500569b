#include "app/menubuilder.h"

#include "app/actiontable.h"
#include "app/mainactions.h"
#include "controls/toolbar/ui/uiitems.h"

namespace app {

void BuildBarItems(toolbar::TBarCustomItem& parent, classlib::TComponent* owner, const std::wstring& name,
                   TMainActionList& actions, const TSubmenuLink& link) {
    const TMenuDef* def = FindMenuDef(name);
    if (!def) return;
    for (const TMenuEntry& entry : def->Items) {
        switch (entry.Kind) {
        case TMenuEntryKind::Action:
            if (const TActionDef* action = FindActionDef(entry.Name)) {
                auto* item = new ui::TUiItem(owner);
                item->SetAction(actions.Action(action->Id));
                parent.Add(item);
            }
            break;
        case TMenuEntryKind::Separator: parent.Add(new ui::TUiSeparatorItem(owner)); break;
        case TMenuEntryKind::SubMenu: {
            auto* item = new ui::TUiSubmenuItem(owner);
            item->SetCaption(entry.Caption);
            if (toolbar::TBarCustomItem* target = link ? link(entry.Name) : nullptr)
                item->SetLinkSubitems(target);
            else
                BuildBarItems(*item, owner, entry.Name, actions, link);
            parent.Add(item);
            break;
        }
        case TMenuEntryKind::Generated: break;
        }
    }
}

}  // namespace app
