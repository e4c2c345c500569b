// The action table lives in the options library, beside the option table, so that the
// settings dialog can list the commands without the main window. The program's code names
// it in its own namespace.
#pragma once

#include "options/actiontable.h"

namespace app {

using options::ActionCount;
using options::ActionDef;
using options::ActionDefs;
using options::AddressBoxActionTag;
using options::FindActionDef;
using options::FindMenuDef;
using options::GenericActionDefs;
using options::MenuBarDefs;
using options::OtherMenuDefs;
using options::TActionDef;
using options::TActionId;
using options::TGenericActionDef;
using options::TMenuDef;
using options::TMenuEntry;
using options::TMenuEntryKind;

}  // namespace app
