// Actions of the Unicode layer. Captions and hints of classlib actions are UTF-16 already,
// so these are the classlib actions under the names the program uses; a change of caption
// reaches every linked control whose text still equals the old caption, also when both
// texts have no form in the system code page.
#pragma once

#include "classlib/actions.h"
#include "classlib/control.h"

#include <string>

namespace wide {

class TWideAction : public classlib::TAction {
public:
    using classlib::TAction::TAction;
};

class TWideActionList : public classlib::TActionList {
public:
    using classlib::TActionList::TActionList;
};

inline std::wstring GetActionWideCaption(classlib::TCustomAction* a) { return a ? a->Caption() : std::wstring(); }
inline std::wstring GetActionWideHint(classlib::TCustomAction* a) { return a ? a->Hint() : std::wstring(); }
inline void SetActionWideCaption(classlib::TCustomAction* a, const std::wstring& v) { a->SetCaption(v); }
inline void SetActionWideHint(classlib::TCustomAction* a, const std::wstring& v) { a->SetHint(v); }

// Takes caption, hint and the rest from the action (only defaults with checkDefaults).
inline void WideControlActionChange(classlib::TControl* c, classlib::TBasicAction* sender, bool checkDefaults) {
    c->ActionChange(sender, checkDefaults);
}

}  // namespace wide
