#include "controls/toolbar/themed/thmtheme.h"

#include "classlib/control.h"
#include "classlib/form.h"

namespace themed {

using namespace classlib;

TColor GetEffectiveColor(TControl* control) {
    if (!control) return clBtnFace;
    TMessage m{TBM_GETEFFECTIVECOLOR, 0, 0, 0};
    control->WndProc(m);
    if (m.Result != 0) return static_cast<TColor>(m.WParam);
    auto* form = dynamic_cast<TForm*>(control);
    if (form && form->FormStyle() == fsMDIForm) return clBtnFace;
    return control->Color();
}

int GetViewType(TControl* control) {
    if (!control) return 0;
    TMessage m{TBM_GETVIEWTYPE, 0, 0, 0};
    control->WndProc(m);
    return static_cast<int>(m.Result);
}

}  // namespace themed
