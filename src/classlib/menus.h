// Shortcuts (key + Shift/Ctrl/Alt in one word, with their text) and native menus.
//
// TMenuItem trees are built in code; TMainMenu puts one on a form's menu bar, TPopupMenu
// opens one at a point. Commands come back as WM_COMMAND to the form (main menu) or to the
// application window (popup menus) and run the item's Click (its action when it has one).
#pragma once

#include "classlib/actions.h"
#include "classlib/component.h"
#include "classlib/control.h"

#include <windows.h>

#include <string>
#include <vector>

namespace classlib {

constexpr TShortCut scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000, scNone = 0;

TShortCut ShortCut(WORD key, TShiftState shift);
void ShortCutToKey(TShortCut shortCut, WORD& key, TShiftState& shift);
// The name of a key: the named keys (BkSp, Tab, Enter, Esc, Space, PgUp, PgDn, End, Home,
// Left, Up, Right, Down, Ins, Del, F1..F24) have fixed English names; letters, digits and
// the keypad's digits are the character they type; other keys take the name the keyboard
// layout gives them. Empty when the key has none. Two keys may share a name (a digit and
// the keypad's digit, the left and right Shift keys and Shift itself...).
std::wstring KeyToText(WORD key);
// "Shift+", "Ctrl+", "Alt+" (in that order) and the key's name (KeyToText), so that every
// text reads back as the same shortcut: a name that a key with a fixed name or a lower key
// number already has gets the key number in hexadecimal after it ("Shift (A0)"), the
// keypad's digits are "Num 0" to "Num 9". Empty when the key has no name.
std::wstring ShortCutToText(TShortCut shortCut);
// The reverse of ShortCutToText (case-insensitive); 0 when the text is no shortcut.
TShortCut TextToShortCut(const std::wstring& text);

class TMenu;
class TMenuItem;

class TMenuActionLink : public TActionLink {
public:
    explicit TMenuActionLink(TMenuItem* client) : FClient(client) {}
    bool IsCaptionLinked() override;
    bool IsHintLinked() override;
    void SetCaption(const std::wstring& value) override;
    void SetHint(const std::wstring& value) override;
    void SetEnabled(bool value) override;
    void SetChecked(bool value) override;
    void SetVisible(bool value) override;
    void SetShortCut(TShortCut value) override;

protected:
    TMenuItem* FClient;
};

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* owner);
    ~TMenuItem() override;

    const std::wstring& Caption() const { return FCaption; }
    virtual void SetCaption(const std::wstring& value);
    const std::wstring& Hint() const { return FHint; }
    virtual void SetHint(const std::wstring& value) { FHint = value; }
    TShortCut ShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut value);
    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool value);
    bool Checked() const { return FChecked; }
    void SetChecked(bool value);
    bool Visible() const { return FVisible; }
    void SetVisible(bool value);
    bool Default = false;
    bool RadioItem = false;
    int ImageIndex = -1;

    void Add(TMenuItem* item);
    void Insert(int index, TMenuItem* item);
    void Remove(TMenuItem* item);
    int Count() const { return static_cast<int>(FItems.size()); }
    TMenuItem* Items(int index) const { return FItems[index]; }
    TMenuItem* Parent() const { return FParent; }
    TMenu* GetParentMenu() const;
    UINT Command() const { return FCommand; }
    // The submenu handle (items with children).
    HMENU Handle();
    bool IsLine() const { return FCaption == L"-"; }

    TBasicAction* Action() const { return FActionLink ? FActionLink->Action() : nullptr; }
    void SetAction(TBasicAction* action);
    virtual void ActionChange(TBasicAction* sender, bool checkDefaults);
    virtual void Click();
    TNotifyEvent OnClick;

    TMenuItem* FindByCommand(UINT command);
    TMenuItem* FindByHandle(HMENU menu);
    // Rebuilds the native menu of this item's parent.
    void MenuChanged();

protected:
    friend class TMenu;
    friend class TPopupMenu;
    friend class TMenuActionLink;
    void RebuildHandle();
    std::wstring FCaption, FHint;
    TShortCut FShortCut = 0;
    bool FEnabled = true, FChecked = false, FVisible = true;
    std::vector<TMenuItem*> FItems;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;
    HMENU FHandle = nullptr;
    UINT FCommand;
    std::unique_ptr<TMenuActionLink> FActionLink;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* owner);
    ~TMenu() override;
    TMenuItem* Items() const { return FItems; }
    HMENU Handle() { return FItems->Handle(); }
    TMenuItem* FindItem(UINT command) { return FItems->FindByCommand(command); }
    // Clicks the item with that command. True when found.
    bool DispatchCommand(UINT command);
    // Runs the item whose shortcut matches. True when one ran.
    bool IsShortCut(WORD key, TShiftState shift);
    virtual void Changed() {}
    TImageList* Images = nullptr;

protected:
    virtual bool IsPopup() const = 0;
    friend class TMenuItem;
    TMenuItem* FItems;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* owner) : TMenu(owner) {}
    void Changed() override;
    TComponentRef<TForm> FormOf;  // the form whose menu bar shows it

protected:
    bool IsPopup() const override { return false; }
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* owner) : TMenu(owner) {}
    bool AutoPopup = true;
    TComponent* PopupComponent = nullptr;
    enum TPopupAlignment { paLeft, paRight, paCenter } Alignment = paLeft;
    TNotifyEvent OnPopup;
    // Shows the menu at a screen point and runs the chosen item after it closed.
    virtual void Popup(int x, int y);

protected:
    bool IsPopup() const override { return true; }
};

}  // namespace classlib
