#include "controls/wide/wideforms.h"

#include "classlib/menus.h"
#include "classlib/runtime.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/widemenus.h"
#include "controls/wide/wideutils.h"

namespace wide {

using namespace classlib;

namespace {
// Holds nothing: every call reaches the application object, so nothing runs for it before
// the application exists.
constinit TWideApplication gWideApplication;
}

TWideApplication* const WideApplication = &gWideApplication;

std::wstring TWideApplication::GetHint() const { return Application ? Application->Hint() : std::wstring(); }

void TWideApplication::SetHint(const std::wstring& v) {
    if (Application) Application->SetHint(v);
}

std::wstring TWideApplication::GetTitle() const { return Application ? Application->Title() : std::wstring(); }

std::wstring TWideApplication::GetExeName() const { return WideGetModuleFileName(nullptr); }

void TWideApplication::RefreshWideHint() {
    if (Application) SetHint(WideLongHintPart(GetInheritedWideHint(Application->MouseControl())));
}

void TWideForm::CreateParams(TCreateParams& p) {
    TForm::CreateParams(p);
    if (!WindowClassName.empty()) p.WinClassName = WindowClassName;
}

void TWideForm::UpdateActions() {
    TForm::UpdateActions();
    WideApplication->RefreshWideHint();
}

void TWideForm::Dispatch(TMessage& m) {
    if (m.Msg == WM_MENUSELECT) {
        WMMenuSelect(m);
        return;
    }
    TForm::Dispatch(m);
}

void TWideForm::WMMenuSelect(TMessage& m) {
    DefaultHandler(m);
    if (!Menu()) return;
    UINT flags = HIWORD(m.WParam), item = LOWORD(m.WParam);
    HMENU menu = reinterpret_cast<HMENU>(m.LParam);
    TMenuItem* found = nullptr;
    if (!(flags == 0xFFFF && menu == nullptr)) {
        if (flags & MF_POPUP)
            found = Menu()->Items()->FindByHandle(GetSubMenu(menu, static_cast<int>(item)));
        else
            found = Menu()->FindItem(item);
    }
    WideApplication->SetHint(found ? WideLongHintPart(MenuItemWideHint(found)) : std::wstring());
}

}  // namespace wide
