#include "controls/wide/widehotkey.h"

#include "classlib/menus.h"

#include <commctrl.h>

namespace wide {

using namespace classlib;

namespace {

// Keys the keyboard sends with the extended flag; the control names them by it.
bool IsExtendedKey(WORD key) {
    switch (key) {
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
    case VK_INSERT:
    case VK_DELETE:
    case VK_DIVIDE:
    case VK_NUMLOCK:
    case VK_LWIN:
    case VK_RWIN:
    case VK_APPS: return true;
    default: return false;
    }
}

}  // namespace

TShortCut HotKeyValueToShortCut(WORD value) {
    const BYTE modifiers = HIBYTE(value);
    TShortCut shortCut = LOBYTE(value);
    if (shortCut == 0) return 0;
    if (modifiers & HOTKEYF_SHIFT) shortCut |= scShift;
    if (modifiers & HOTKEYF_CONTROL) shortCut |= scCtrl;
    if (modifiers & HOTKEYF_ALT) shortCut |= scAlt;
    return shortCut;
}

WORD ShortCutToHotKeyValue(TShortCut shortCut) {
    const WORD key = shortCut & 0xFF;
    if (key == 0) return 0;
    BYTE modifiers = 0;
    if (shortCut & scShift) modifiers |= HOTKEYF_SHIFT;
    if (shortCut & scCtrl) modifiers |= HOTKEYF_CONTROL;
    if (shortCut & scAlt) modifiers |= HOTKEYF_ALT;
    if (IsExtendedKey(key)) modifiers |= HOTKEYF_EXT;
    return MAKEWORD(key, modifiers);
}

THotKey::THotKey(TComponent* owner) : TWinControl(owner) {
    FTabStop = true;
    FWidth = 121;
    FHeight = 19;
}

void THotKey::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = HOTKEY_CLASSW;
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void THotKey::CreateWnd() {
    TWinControl::CreateWnd();
    // No combination is refused or changed by the control.
    SendMessageW(FHandle, HKM_SETRULES, 0, 0);
    SendMessageW(FHandle, HKM_SETHOTKEY, ShortCutToHotKeyValue(FHotKey), 0);
}

void THotKey::WMDestroy(TMessage& m) {
    FHotKey = HotKeyValueToShortCut(static_cast<WORD>(SendMessageW(FHandle, HKM_GETHOTKEY, 0, 0)));
    TWinControl::WMDestroy(m);
}

TShortCut THotKey::HotKey() {
    if (!HandleAllocated()) return FHotKey;
    return HotKeyValueToShortCut(static_cast<WORD>(SendMessageW(FHandle, HKM_GETHOTKEY, 0, 0)));
}

void THotKey::SetHotKey(TShortCut value) {
    FHotKey = value;
    if (HandleAllocated()) SendMessageW(FHandle, HKM_SETHOTKEY, ShortCutToHotKeyValue(value), 0);
}

void THotKey::CNCommand(TMessage& m) {
    if (HIWORD(m.WParam) == EN_CHANGE) Change();
    m.Result = 0;
}

void THotKey::Change() {
    if (OnChange) OnChange(this);
}

}  // namespace wide
