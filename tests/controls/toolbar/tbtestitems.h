// Items for the menu and toolbar tests.
#pragma once

#include "controls/toolbar/tbitem.h"

#include <string>

// A new last sub-item of `parent` with `caption` (owned by the parent); with `submenu` it
// opens its own sub-items.
inline toolbar::TBarCustomItem* NewItem(toolbar::TBarCustomItem* parent, const std::wstring& caption,
                                        bool submenu = false) {
    auto* item = new toolbar::TBarCustomItem(parent);
    item->SetCaption(caption);
    if (submenu) item->SetItemStyle(item->ItemStyle() | toolbar::tbstSubmenu);
    parent->Add(item);
    return item;
}
