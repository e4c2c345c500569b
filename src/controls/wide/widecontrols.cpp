#include "controls/wide/widecontrols.h"

#include "classlib/actions.h"
#include "classlib/application.h"
#include "controls/wide/widemenus.h"

namespace wide {

using namespace classlib;

std::wstring GetWideControlText(TControl* c) { return c ? c->GetText() : std::wstring(); }

void SetWideControlText(TControl* c, const std::wstring& v) {
    if (c) c->SetText(v);
}

std::wstring GetWideControlHint(TControl* c) { return c ? c->Hint() : std::wstring(); }

void SetWideControlHint(TControl* c, const std::wstring& v) {
    if (c) c->SetHint(v);
}

bool WideControlIsCaptionStored(TControl* c) {
    return !(c && c->ActionLink() && c->ActionLink()->IsCaptionLinked());
}

bool WideControlIsHintStored(TControl* c) { return !(c && c->ActionLink() && c->ActionLink()->IsHintLinked()); }

std::wstring GetInheritedWideHint(TControl* c) { return GetInheritedHint(c); }

std::wstring WideShortHintPart(const std::wstring& hint) { return GetShortHint(hint); }

std::wstring WideLongHintPart(const std::wstring& hint) { return GetLongHint(hint); }

std::wstring WideHintTextOf(TControl* c) {
    std::wstring w = WideShortHintPart(GetInheritedWideHint(c));
    if (w.empty() || !c) return w;
    if (Application && Application->HintShortCuts) {
        if (auto* a = dynamic_cast<TCustomAction*>(c->Action()); a && a->ShortCut())
            return w + L" (" + WideShortCutToText(a->ShortCut()) + L")";
    }
    return w;
}

void PrepareWideHintInfo(THintInfo& info) { info.HintStr = WideHintTextOf(info.HintControl); }

}  // namespace wide
