#include "controls/toolbar/themed/thmtheme.h"

#include "classlib/control.h"
#include "classlib/form.h"
#include "controls/toolbar/themed/thmregistry.h"

namespace themed {

using namespace classlib;

TThmTheme::~TThmTheme() {
    if (FListening) ThemeManagerRemoveListener(this);
}

void TThmTheme::Init() {
    if (!FListening) {
        ThemeManagerAddListener(this);
        FListening = true;
    }
    RebuildColorCache();
}

void TThmTheme::HandleThemeNotice(int notice) {
    if (notice == tnRebuildColors) RebuildColorCache();
}

TColor GetEffectiveColor(TControl* control) {
    if (!control) return clBtnFace;
    if (auto* host = dynamic_cast<TThmColorHost*>(control)) return host->ThemeEffectiveColor();
    auto* form = dynamic_cast<TForm*>(control);
    if (form && form->FormStyle() == fsMDIForm) return clBtnFace;
    return control->Color();
}

void BroadcastEffectiveColor(TWinControl* parent, TColor color) {
    for (int i = 0; i < parent->ControlCount(); ++i)
        parent->Controls(i)->Perform(CM_PARENTCOLORCHANGED, 1, static_cast<LPARAM>(color));
}

int GetViewType(TComponent* component) {
    if (auto* host = dynamic_cast<TThmViewHost*>(component)) return host->ThemeViewKind();
    return 0;
}

}  // namespace themed
