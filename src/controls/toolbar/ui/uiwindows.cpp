#include "controls/toolbar/ui/uiwindows.h"

#include <shellapi.h>

#include <memory>

#include "classlib/form.h"
#include "controls/toolbar/tbitem.h"
#include "controls/toolbar/ui/uitheme.h"

namespace ui {

using namespace classlib;
using toolbar::TBarCustomItem;

namespace {

enum class TMenuEntryKind { Plain, Submenu, Separator };

// The item an entry of a Windows menu becomes: it needs only caption, tag, state and, for an
// entry with a sub-menu, the sub-menu style.
TBarCustomItem* NewMenuEntryItem(TMenuEntryKind kind, TComponent* owner) {
    if (kind == TMenuEntryKind::Separator) return new toolbar::TBarSeparatorItem(owner);
    auto* item = new TBarCustomItem(owner);
    if (kind == TMenuEntryKind::Submenu) item->SetItemStyle(item->ItemStyle() | toolbar::tbstSubmenu);
    return item;
}

bool IsSystemCommand(intptr_t tag) { return tag >= SC_SIZE && tag <= SC_CONTEXTHELP; }

}  // namespace

// --- menus ------------------------------------------------------------------------------------

void GetMenuItemText(HMENU menu, int position, std::wstring& text) {
    wchar_t buffer[261] = {};
    const int length = GetMenuStringW(menu, static_cast<UINT>(position), buffer, 261, MF_BYPOSITION);
    text.assign(buffer, length > 0 ? std::min(length, 260) : 0);
}

bool CopyMenuToItems(HMENU menu, TBarCustomItem* root) {
    if (!root || !menu || !IsMenu(menu)) return false;
    const int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOW info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_ID | MIIM_SUBMENU;
        if (!GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info)) continue;
        const TMenuEntryKind kind = (info.fType & MFT_SEPARATOR) ? TMenuEntryKind::Separator
                                    : info.hSubMenu               ? TMenuEntryKind::Submenu
                                                                  : TMenuEntryKind::Plain;
        TBarCustomItem* item = NewMenuEntryItem(kind, root);
        std::wstring caption;
        GetMenuItemText(menu, i, caption);
        item->SetCaption(caption);
        item->SetTag(static_cast<intptr_t>(info.wID));
        if (info.fState & (MFS_DISABLED | MFS_GRAYED)) item->SetEnabled(false);
        if (info.fState & MFS_CHECKED) item->SetChecked(true);
        if (info.fState & MFS_DEFAULT) item->SetOptions(item->Options() | toolbar::tboDefault);
        root->Add(item);
    }
    return true;
}

bool FillSystemMenuItems(TForm* form, bool sizeable, bool minimizeVisible, TBarCustomItem* items, bool closeVisible,
                         bool maximizeVisible) {
    if (!form || !items || !form->HandleAllocated()) return false;
    if (!CopyMenuToItems(GetSystemMenu(form->Handle(), FALSE), items)) return false;
    items->SetSubMenuImages(&UiGlyphImages());
    const TWindowState state = form->WindowState();
    const bool maximized = state == wsMaximized;
    for (int i = 0; i < items->Count(); ++i) {
        TBarCustomItem* item = items->Items(i);
        item->SetEnabled(true);
        switch (item->Tag()) {
        case SC_SIZE:
            item->SetVisible(sizeable);
            item->SetEnabled(!maximized);
            break;
        case SC_MOVE:
            item->SetEnabled(!maximized);
            break;
        case SC_MINIMIZE:
            item->SetVisible(minimizeVisible);
            item->SetImageIndex(ugMinimize);
            break;
        case SC_MAXIMIZE:
            item->SetVisible(maximizeVisible);
            item->SetEnabled(!maximized);
            item->SetImageIndex(ugMaximize);
            break;
        case SC_CLOSE:
            item->SetVisible(closeVisible);
            item->SetOptions(item->Options() | toolbar::tboDefault);
            item->SetImageIndex(ugClose);
            break;
        case SC_RESTORE:
            item->SetVisible(maximizeVisible);
            item->SetEnabled(state != wsNormal);
            item->SetImageIndex(ugRestore);
            break;
        default:
            break;
        }
    }
    return true;
}

int ShowSystemMenuPopup(TForm* form, POINT screenPoint, bool sizeable, bool execute, const TUiPopupEvent& onInitPopup,
                        bool closeVisible, bool maximizeVisible, bool minimizeVisible,
                        const TUiMenuPopupRunner& runPopup) {
    ReleaseCapture();
    if (!form) return 0;
    int command = 0;
    {
        auto items = std::make_unique<toolbar::TBarRootItem>(form);
        if (FillSystemMenuItems(form, sizeable, minimizeVisible, items.get(), closeVisible, maximizeVisible) &&
            runPopup) {
            if (TBarCustomItem* chosen = runPopup(form, *items, screenPoint, onInitPopup)) {
                if (IsSystemCommand(chosen->Tag()))
                    command = static_cast<int>(chosen->Tag());
                else
                    chosen->Click();
            }
        }
    }
    if (execute && form->HandleAllocated()) {
        switch (command) {
        case SC_SIZE:
        case SC_MOVE:
        case SC_MINIMIZE:
        case SC_CLOSE:
            SendMessageW(form->Handle(), WM_SYSCOMMAND, static_cast<WPARAM>(command), 0);
            break;
        case SC_MAXIMIZE:
            form->SetWindowState(wsMaximized);
            break;
        case SC_RESTORE:
            form->SetWindowState(wsNormal);
            break;
        default:
            break;
        }
    }
    return command;
}

// --- focus --------------------------------------------------------------------------------------

namespace {

TForm* UsableForm(TWinControl* control) {
    TForm* form = control ? GetParentForm(control) : nullptr;
    return form && form->Enabled() && form->Visible() ? form : nullptr;
}

}  // namespace

bool CanFocusControl(TWinControl* control) {
    if (!control || control->Focused()) return false;
    return UsableForm(control) && control->CanFocus();
}

bool FindFocusedChild(TWinControl* control, TWinControl*& focused) {
    focused = nullptr;
    if (!control) return false;
    if (control->Focused()) return true;
    TForm* form = UsableForm(control);
    TWinControl* active = form ? form->ActiveControl() : nullptr;
    if (!active || !active->Focused() || !control->HandleAllocated()) return false;
    if (!IsChild(control->Handle(), active->Handle())) return false;
    focused = active;
    return true;
}

TWinControl* FocusFirstChild(TWinControl* control) {
    TForm* form = UsableForm(control);
    if (!form) return nullptr;
    TWinControl* first = control->FindNextControl(nullptr, true, true, false);
    if (!first) first = control->FindNextControl(nullptr, true, false, false);
    if (first) form->FocusControl(first);
    return form->ActiveControl();
}

int IndexOfChildControl(TWinControl* parent, TControl* child) {
    if (!parent || !child) return -1;
    for (int i = 0; i < parent->ControlCount(); ++i)
        if (parent->Controls(i) == child) return i;
    return -1;
}

// --- placement --------------------------------------------------------------------------------

int GetFormPlacement(TForm* form, RECT& normalBounds) {
    normalBounds = RECT{};
    if (!form || !form->HandleAllocated()) return fpNormal;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(form->Handle(), &placement)) return fpNormal;
    const RECT& r = placement.rcNormalPosition;
    normalBounds = RECT{r.left, r.top, r.right - r.left, r.bottom - r.top};
    switch (placement.showCmd) {
    case SW_SHOWMINIMIZED:
        return fpMinimized;
    case SW_SHOWMAXIMIZED:
        return fpMaximized;
    default:
        return fpNormal;
    }
}

void SetFormPlacement(TForm* form, int state, const RECT& normalBounds) {
    if (!form || !form->HandleAllocated()) return;
    WINDOWPLACEMENT placement{};
    placement.length = sizeof(placement);
    if (!GetWindowPlacement(form->Handle(), &placement)) return;
    placement.showCmd = state == fpMinimized ? SW_SHOWMINIMIZED : state == fpMaximized ? SW_SHOWMAXIMIZED : SW_SHOWNORMAL;
    // A normal form ends normal: a minimized form that was maximized before would go back to
    // maximized.
    if (state == fpNormal) placement.flags &= ~WPF_RESTORETOMAXIMIZED;
    // The bounds carry width and height in right and bottom: a left beyond the width is
    // still a real position.
    if (normalBounds.right > 0 && normalBounds.bottom > 0)
        placement.rcNormalPosition = RECT{normalBounds.left, normalBounds.top, normalBounds.left + normalBounds.right,
                                          normalBounds.top + normalBounds.bottom};
    SetWindowPlacement(form->Handle(), &placement);
    if (state == fpNormal && IsZoomed(form->Handle())) ShowWindow(form->Handle(), SW_RESTORE);
}

bool GetTaskbarInfo(UINT& state, UINT& edge, RECT& bounds) {
    state = 0;
    edge = 0;
    bounds = RECT{};
    HWND taskbar = FindWindowW(L"Shell_TrayWnd", nullptr);
    if (!taskbar) return false;
    APPBARDATA data{};
    data.cbSize = sizeof(data);
    data.hWnd = taskbar;
    if (!SHAppBarMessage(ABM_GETTASKBARPOS, &data)) return false;
    edge = data.uEdge;
    bounds = data.rc;
    state = static_cast<UINT>(SHAppBarMessage(ABM_GETSTATE, &data));
    return true;
}

}  // namespace ui
