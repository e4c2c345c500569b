#include "classlib/menus.h"

#include "classlib/application.h"
#include "classlib/form.h"

#include <algorithm>
#include <cwctype>

namespace classlib {

// --- shortcuts ---------------------------------------------------------------------------

TShortCut ShortCut(WORD key, TShiftState shift) {
    if (key & 0xFF00) return 0;
    TShortCut r = key;
    if (shift & ssShift) r |= scShift;
    if (shift & ssCtrl) r |= scCtrl;
    if (shift & ssAlt) r |= scAlt;
    return r;
}

void ShortCutToKey(TShortCut sc, WORD& key, TShiftState& shift) {
    key = sc & 0xFF;
    shift = 0;
    if (sc & scShift) shift |= ssShift;
    if (sc & scCtrl) shift |= ssCtrl;
    if (sc & scAlt) shift |= ssAlt;
}

namespace {

const wchar_t* FixedKeyName(WORD key) {
    switch (key) {
    case VK_BACK: return L"BkSp";
    case VK_TAB: return L"Tab";
    case VK_RETURN: return L"Enter";
    case VK_ESCAPE: return L"Esc";
    case VK_SPACE: return L"Space";
    case VK_PRIOR: return L"PgUp";
    case VK_NEXT: return L"PgDn";
    case VK_END: return L"End";
    case VK_HOME: return L"Home";
    case VK_LEFT: return L"Left";
    case VK_UP: return L"Up";
    case VK_RIGHT: return L"Right";
    case VK_DOWN: return L"Down";
    case VK_INSERT: return L"Ins";
    case VK_DELETE: return L"Del";
    default: return nullptr;
    }
}

// Each key's text in ShortCutToText, unique ignoring case, for the keyboard layout it was
// made for.
struct TKeyTexts {
    HKL Layout = nullptr;
    bool Made = false;
    std::wstring Text[256];
};

const TKeyTexts& KeyTexts() {
    thread_local TKeyTexts texts;
    const HKL layout = GetKeyboardLayout(0);
    if (texts.Made && texts.Layout == layout) return texts;
    texts = TKeyTexts{};
    texts.Layout = layout;
    auto taken = [&](const std::wstring& name) {
        for (const std::wstring& t : texts.Text)
            if (!t.empty() && _wcsicmp(t.c_str(), name.c_str()) == 0) return true;
        return false;
    };
    // The fixed names first, then the others by key number.
    for (WORD key = 1; key < 256; ++key)
        if (FixedKeyName(key) || (key >= VK_F1 && key <= VK_F24)) texts.Text[key] = KeyToText(key);
    for (WORD key = 1; key < 256; ++key) {
        if (!texts.Text[key].empty()) continue;
        std::wstring name = KeyToText(key);
        if (name.empty() || !taken(name)) {
            texts.Text[key] = name;
            continue;
        }
        if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) {
            name = L"Num " + std::to_wstring(key - VK_NUMPAD0);
            if (!taken(name)) {
                texts.Text[key] = name;
                continue;
            }
        }
        const wchar_t* digits = L"0123456789ABCDEF";
        texts.Text[key] = name + L" (" + digits[key >> 4] + digits[key & 0xF] + L")";
    }
    texts.Made = true;
    return texts;
}

}  // namespace

std::wstring KeyToText(WORD key) {
    if (const wchar_t* n = FixedKeyName(key)) return n;
    if (key >= VK_F1 && key <= VK_F24) return L"F" + std::to_wstring(key - VK_F1 + 1);
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z') || (key >= VK_NUMPAD0 && key <= VK_NUMPAD9)) {
        UINT ch = MapVirtualKeyW(key, MAPVK_VK_TO_CHAR) & 0xFFFF;
        if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9 && ch == 0) ch = L'0' + (key - VK_NUMPAD0);
        if (ch == 0 && key < VK_NUMPAD0) ch = key;
        return ch ? std::wstring(1, static_cast<wchar_t>(ch)) : std::wstring();
    }
    UINT scan = MapVirtualKeyW(key, MAPVK_VK_TO_VSC);
    if (scan == 0) return {};
    wchar_t buf[256] = {};
    int n = GetKeyNameTextW(static_cast<LONG>(scan << 16), buf, 255);
    return std::wstring(buf, n > 0 ? n : 0);
}

std::wstring ShortCutToText(TShortCut sc) {
    const WORD key = sc & 0xFF;
    if (key == 0) return {};
    const std::wstring& name = KeyTexts().Text[key];
    if (name.empty()) return {};
    std::wstring r;
    if (sc & scShift) r += L"Shift+";
    if (sc & scCtrl) r += L"Ctrl+";
    if (sc & scAlt) r += L"Alt+";
    return r + name;
}

TShortCut TextToShortCut(const std::wstring& text) {
    std::wstring t = text;
    TShortCut mods = 0;
    auto eat = [&](const wchar_t* prefix, TShortCut bit) {
        size_t n = wcslen(prefix);
        if (t.size() > n && _wcsnicmp(t.c_str(), prefix, n) == 0) {
            t.erase(0, n);
            mods |= bit;
            return true;
        }
        return false;
    };
    while (eat(L"Shift+", scShift) || eat(L"Ctrl+", scCtrl) || eat(L"Alt+", scAlt)) {
    }
    if (t.empty()) return 0;
    const TKeyTexts& texts = KeyTexts();
    for (WORD key = 1; key < 256; ++key) {
        const std::wstring& n = texts.Text[key];
        if (!n.empty() && _wcsicmp(n.c_str(), t.c_str()) == 0) return static_cast<TShortCut>(key | mods);
    }
    return 0;
}

// --- menu items --------------------------------------------------------------------------

namespace {
UINT gNextCommand = 1000;
}

bool TMenuActionLink::IsCaptionLinked() {
    auto* a = dynamic_cast<TCustomAction*>(FAction);
    return a && FClient->Caption() == a->Caption();
}
bool TMenuActionLink::IsHintLinked() {
    auto* a = dynamic_cast<TCustomAction*>(FAction);
    return a && FClient->Hint() == a->Hint();
}
void TMenuActionLink::SetCaption(const std::wstring& v) {
    if (IsCaptionLinked()) FClient->SetCaption(v);
}
void TMenuActionLink::SetHint(const std::wstring& v) {
    if (IsHintLinked()) FClient->SetHint(v);
}
void TMenuActionLink::SetEnabled(bool v) { FClient->SetEnabled(v); }
void TMenuActionLink::SetChecked(bool v) { FClient->SetChecked(v); }
void TMenuActionLink::SetVisible(bool v) { FClient->SetVisible(v); }
void TMenuActionLink::SetShortCut(TShortCut v) { FClient->SetShortCut(v); }

TMenuItem::TMenuItem(TComponent* owner) : TComponent(owner), FCommand(gNextCommand++) {}

TMenuItem::~TMenuItem() {
    Destroying();
    FActionLink.reset();
    for (TMenuItem* c : std::vector<TMenuItem*>(FItems)) {
        c->FParent = nullptr;
        if (!c->Owner()) delete c;
    }
    FItems.clear();
    if (FParent) FParent->Remove(this);
    if (FHandle) DestroyMenu(FHandle);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* i = this;
    while (i->FParent) i = i->FParent;
    return i->FMenu;
}

void TMenuItem::SetCaption(const std::wstring& v) {
    if (v == FCaption) return;
    FCaption = v;
    MenuChanged();
}
void TMenuItem::SetShortCut(TShortCut v) {
    if (v == FShortCut) return;
    FShortCut = v;
    MenuChanged();
}
void TMenuItem::SetEnabled(bool v) {
    if (v == FEnabled) return;
    FEnabled = v;
    MenuChanged();
}
void TMenuItem::SetChecked(bool v) {
    if (v == FChecked) return;
    FChecked = v;
    MenuChanged();
}
void TMenuItem::SetVisible(bool v) {
    if (v == FVisible) return;
    FVisible = v;
    MenuChanged();
}

void TMenuItem::Add(TMenuItem* item) { Insert(Count(), item); }

void TMenuItem::Insert(int index, TMenuItem* item) {
    if (item->FParent) item->FParent->Remove(item);
    index = std::clamp(index, 0, Count());
    FItems.insert(FItems.begin() + index, item);
    item->FParent = this;
    MenuChanged();
}

void TMenuItem::Remove(TMenuItem* item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), item), FItems.end());
    item->FParent = nullptr;
    if (!(ComponentState() & csDestroying)) MenuChanged();
}

HMENU TMenuItem::Handle() {
    if (!FHandle) RebuildHandle();
    return FHandle;
}

void TMenuItem::RebuildHandle() {
    if (FHandle) {
        // Detach submenus first: they are ours and rebuilt below.
        while (GetMenuItemCount(FHandle) > 0) RemoveMenu(FHandle, 0, MF_BYPOSITION);
    } else {
        bool bar = !FParent && FMenu && !FMenu->IsPopup();
        FHandle = bar ? CreateMenu() : CreatePopupMenu();
    }
    bool onBar = !FParent && FMenu && !FMenu->IsPopup();
    for (TMenuItem* i : FItems) {
        if (!i->FVisible) continue;
        MENUITEMINFOW mi{};
        mi.cbSize = sizeof(mi);
        if (i->IsLine()) {
            mi.fMask = MIIM_FTYPE;
            mi.fType = MFT_SEPARATOR;
        } else {
            std::wstring text = i->FCaption;
            if (i->FShortCut && i->FItems.empty() && !onBar) text += L"\t" + ShortCutToText(i->FShortCut);
            mi.fMask = MIIM_FTYPE | MIIM_STRING | MIIM_ID | MIIM_STATE;
            mi.fType = MFT_STRING | (i->RadioItem ? MFT_RADIOCHECK : 0);
            mi.dwTypeData = text.data();
            mi.wID = i->FCommand;
            mi.fState = (i->FEnabled ? 0 : MFS_DISABLED) | (i->FChecked ? MFS_CHECKED : 0) |
                        (i->Default ? MFS_DEFAULT : 0);
            if (!i->FItems.empty()) {
                mi.fMask |= MIIM_SUBMENU;
                i->RebuildHandle();
                mi.hSubMenu = i->FHandle;
            }
            InsertMenuItemW(FHandle, GetMenuItemCount(FHandle), TRUE, &mi);
            continue;
        }
        InsertMenuItemW(FHandle, GetMenuItemCount(FHandle), TRUE, &mi);
    }
}

void TMenuItem::MenuChanged() {
    TMenuItem* root = this;
    while (root->FParent) root = root->FParent;
    if (root->FHandle) root->RebuildHandle();
    if (root->FMenu) root->FMenu->Changed();
}

void TMenuItem::SetAction(TBasicAction* a) {
    if (!a) {
        FActionLink.reset();
        return;
    }
    if (!FActionLink) {
        FActionLink = std::make_unique<TMenuActionLink>(this);
        FActionLink->OnActionFreed = [this] { FActionLink.reset(); };
    }
    FActionLink->SetAction(a);
    ActionChange(a, false);
}

void TMenuItem::ActionChange(TBasicAction* sender, bool checkDefaults) {
    auto* a = dynamic_cast<TCustomAction*>(sender);
    if (!a) return;
    if (!checkDefaults || FCaption.empty()) SetCaption(a->Caption());
    if (!checkDefaults || FHint.empty()) SetHint(a->Hint());
    SetEnabled(a->Enabled());
    SetChecked(a->Checked());
    SetVisible(a->Visible());
    SetShortCut(a->ShortCut());
    ImageIndex = a->ImageIndex();
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (FActionLink && FActionLink->Action()) {
        FActionLink->Execute(this);
        return;
    }
    if (OnClick) OnClick(this);
}

TMenuItem* TMenuItem::FindByCommand(UINT cmd) {
    if (FCommand == cmd && FParent) return this;
    for (TMenuItem* i : FItems)
        if (TMenuItem* r = i->FindByCommand(cmd)) return r;
    return nullptr;
}

TMenuItem* TMenuItem::FindByHandle(HMENU h) {
    if (FHandle == h) return this;
    for (TMenuItem* i : FItems)
        if (TMenuItem* r = i->FindByHandle(h)) return r;
    return nullptr;
}

// --- menus -------------------------------------------------------------------------------

TMenu::TMenu(TComponent* owner) : TComponent(owner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() { delete FItems; }

bool TMenu::DispatchCommand(UINT cmd) {
    TMenuItem* i = FindItem(cmd);
    if (!i) return false;
    i->Click();
    return true;
}

bool TMenu::IsShortCut(WORD key, TShiftState shift) {
    TShortCut sc = ShortCut(key, shift);
    if (!sc) return false;
    std::function<TMenuItem*(TMenuItem*)> find = [&](TMenuItem* it) -> TMenuItem* {
        for (TMenuItem* c : it->FItems) {
            if (c->FShortCut == sc && c->FItems.empty()) return c;
            if (TMenuItem* r = find(c)) return r;
        }
        return nullptr;
    };
    TMenuItem* hit = find(FItems);
    if (!hit) return false;
    if (auto* a = dynamic_cast<TCustomAction*>(hit->Action())) a->Update();
    if (!hit->Enabled() || !hit->Visible()) return false;
    hit->Click();
    return true;
}

void TMainMenu::Changed() {
    if (FormOf && FormOf->HandleAllocated()) DrawMenuBar(FormOf->Handle());
}

void TPopupMenu::Popup(int x, int y) {
    if (OnPopup) OnPopup(this);
    FItems->RebuildHandle();
    // The window of the control the menu belongs to owns it, so the form stays active.
    HWND owner = nullptr;
    if (auto* c = dynamic_cast<TControl*>(PopupComponent)) owner = c->ParentWindowHandle();
    if (!owner) owner = GetActiveWindow();
    if (!owner && Application) owner = Application->Handle();
    SetForegroundWindow(GetAncestor(owner, GA_ROOT));
    UINT flags = TPM_RETURNCMD | TPM_RIGHTBUTTON |
                 (Alignment == paRight ? TPM_RIGHTALIGN : Alignment == paCenter ? TPM_CENTERALIGN : TPM_LEFTALIGN);
    UINT cmd = static_cast<UINT>(TrackPopupMenuEx(Handle(), flags, x, y, owner, nullptr));
    PostMessageW(owner, WM_NULL, 0, 0);
    // The item runs after the menu has closed.
    if (cmd) DispatchCommand(cmd);
}

}  // namespace classlib
