#pragma once
// The dialog kit: what every dialog of the program is built from. A dialog's constructor
// sets its frame (SetUpDialog), puts its controls on their parents through a TPlacer (a
// control with its caption, a label with its field, buttons, groups, panels, pages), adds
// its OK/Cancel pair (AddOkCancel) and fills its menus (AddMenuItem). Places are the
// dialog's own numbers; TRows and ButtonRow work them out for rows and button rows.
//
// Ownership of dialogs, the one rule: a dialog has exactly one holder.
// - A dialog shown once is made by ShowModalForm, which holds it for the call and destroys
//   it before returning. Its owner (the form it opens over, which also centres it; or none)
//   only places it: a component destroyed early leaves its owner.
// - A dialog kept between showings is made once with `new` and its owner, shown with
//   ShowModal as often as needed, and goes with its owner; nothing else deletes it.
// - No std::unique_ptr holds a dialog that has an owner; one made without an owner outside
//   ShowModalForm (a test's) is held by a std::unique_ptr.
//
// Tab order: the controls of a parent take the focus in the order they were put there.
// Main thread only.

#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "classlib/form.h"
#include "classlib/menus.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uicaptions.h"
#include "controls/toolbar/ui/uiitems.h"
#include "controls/toolbar/ui/uipanels.h"
#include "controls/toolbar/ui/uitabset.h"

namespace classlib {
class TAction;
}
namespace wide {
class TWideCustomEdit;
}

namespace ui {

// --- modal dialogs ----------------------------------------------------------------------------

// Makes a T with `owner` (and `args`), lets `prepare` fill it, shows it modally and, when it
// closes with mrOk, lets `accept` read it back; answers the modal result. The dialog is
// destroyed before the call returns, also when a step throws. Either step may be empty.
template <class T, class... Args>
classlib::TModalResult ShowModalForm(classlib::TComponent* owner, const std::function<void(T&)>& prepare,
                                     const std::function<void(T&)>& accept, Args&&... args) {
    T* dialog = new T(owner, std::forward<Args>(args)...);
    const auto destroy = classlib::ScopeExit([dialog] { delete dialog; });
    if (prepare) prepare(*dialog);
    const classlib::TModalResult result = dialog->ShowModal();
    if (result == classlib::mrOk && accept) accept(*dialog);
    return result;
}

// --- the frame ------------------------------------------------------------------------------

struct TDialogFrame {
    std::wstring Caption;
    int ClientWidth = 0;
    int ClientHeight = 0;
    // A sizeable frame; else the fixed dialog frame.
    bool Sizeable = false;
    classlib::TPosition Position = classlib::poOwnerFormCenter;
    // The caption bar's buttons (the fixed frame shows only the close box whatever this holds).
    classlib::TBorderIcons Icons = classlib::biSystemMenu;
};
void SetUpDialog(classlib::TForm& form, const TDialogFrame& frame);

// --- places -----------------------------------------------------------------------------------

// Where a control goes, in its parent's client coordinates. Without Width and Height (both
// 0) the control keeps its own size. Caption controls (labels, check boxes, radio buttons)
// take the size of their caption once they have a window: for them only Left and Top stay
// as given.
struct TPlace {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
};

// Rows one below the other: each Next() is `step` pixels below the one before, starting at
// `top`. An indent moves a row to the right (its width stays).
class TRows {
public:
    TRows(int left, int top, int width, int height, int step)
        : FLeft(left), FTop(top), FWidth(width), FHeight(height), FStep(step) {}
    TPlace Next(int indent = 0) {
        const TPlace place{FLeft + indent, FTop, FWidth, FHeight};
        FTop += FStep;
        return place;
    }

private:
    int FLeft, FTop, FWidth, FHeight, FStep;
};

// The places of buttons side by side, `gap` apart, the last one ending at `right`; `widths`
// from left to right.
std::vector<TPlace> ButtonRow(int right, int top, std::initializer_list<int> widths, int gap = 8, int height = 25);

// --- putting controls on a parent ----------------------------------------------------------

// Puts controls on one parent, each made with the placer's owner (the dialog). On() gives a
// placer for another parent (a group, a panel, a page) with the same owner.
class TPlacer {
public:
    TPlacer(classlib::TComponent* owner, classlib::TWinControl* parent) : FOwner(owner), FParent(parent) {}
    TPlacer On(classlib::TWinControl* parent) const { return TPlacer(FOwner, parent); }
    classlib::TComponent* Owner() const { return FOwner; }
    classlib::TWinControl* Parent() const { return FParent; }

    // Any control: an edit, a combo box, a spin edit, a list or tree view, a hex editor.
    // `setUp` runs before the control goes on its parent, for what is part of its window's
    // style (a list's selection mode).
    template <class T>
    T* Add(TPlace place, const std::function<void(T&)>& setUp = {}) const {
        auto* control = new T(FOwner);
        if (setUp) setUp(*control);
        Put(*control, place);
        return control;
    }
    // A caption control: a label, a check box, a radio button, a group box, a button.
    template <class T>
    T* Add(const std::wstring& caption, TPlace place) const {
        T* control = Add<T>(place);
        control->SetCaption(caption);
        return control;
    }
    TUiLabel* Label(const std::wstring& caption, TPlace place, classlib::TWinControl* focus = nullptr) const;
    // A label and the field it names: the label comes first and focuses the field on its
    // accelerator.
    template <class T>
    T* Labeled(const std::wstring& caption, TPlace label, TPlace field) const {
        TUiLabel* name = Label(caption, label);
        T* control = Add<T>(field);
        name->SetFocusControl(control);
        return control;
    }
    TUiCheckBox* Check(const std::wstring& caption, TPlace place, bool checked = false) const;
    // Radio buttons exclude each other per parent (and group index).
    TUiRadioButton* Radio(const std::wstring& caption, TPlace place, bool checked = false) const;
    // A push button closing the dialog with `result` (mrNone: it does not close it).
    TUiButton* Button(const std::wstring& caption, TPlace place, classlib::TModalResult result = classlib::mrNone,
                      std::function<void()> onClick = {}) const;
    // A panel without borders, aligned as given (alNone: at its place).
    TUiPanel* Panel(TPlace place, classlib::TAlign align = classlib::alNone, bool borders = false) const;

private:
    void Put(classlib::TControl& control, TPlace place) const;
    classlib::TComponent* FOwner;
    classlib::TWinControl* FParent;
};

// The same room on all four sides.
void SetMargins(themed::TThmControlMargins& margins, int room);

// An edit that only shows a text: read-only, in the colour of the dialog's face.
void ShowReadOnly(wide::TWideCustomEdit& edit);

// --- the OK/Cancel pair -----------------------------------------------------------------------

extern const wchar_t* const kOkCaption;      // "OK(&O)"
extern const wchar_t* const kCancelCaption;  // "キャンセル"

struct TOkCancel {
    TUiButton* Ok = nullptr;
    TUiButton* Cancel = nullptr;
};
struct TOkCancelPlaces {
    TPlace Ok;
    TPlace Cancel;
    // Cancel goes on the parent first (and so comes first in the tab order).
    bool CancelFirst = false;
    std::wstring OkCaption = kOkCaption;
    // Both buttons keep these edges of their parent.
    classlib::TAnchors Anchors = classlib::akLeft | classlib::akTop;
};
// The dialog's default button (Enter) and its cancel button (Esc, modal result mrCancel).
// OK closes with mrOk; with `accept` it runs that first and closes only when it answers true
// (a dialog that refuses has told the user why).
TOkCancel AddOkCancel(const TPlacer& at, const TOkCancelPlaces& places, std::function<bool()> accept = {});

// --- pages ------------------------------------------------------------------------------------

// Pages that the dialog switches itself (from a tab strip or a list of its own): a notebook
// panel holding one borderless panel per page, each filling it; Show(i) shows page i alone.
struct TNotebookPages {
    TUiPanel* Notebook = nullptr;
    std::vector<TUiPanel*> Pages;
    void Show(int index) const;
};
TNotebookPages AddNotebook(const TPlacer& at, TPlace place, classlib::TAlign align, int pageCount);

// Pages behind tabs: a tab control with one tab (and its sheet) per caption, the first one
// active. The sheets belong to the placer's owner.
struct TTabPages {
    TUiTabControl* Tabs = nullptr;
    std::vector<TUiTabSheet*> Sheets;
};
TTabPages AddTabPages(const TPlacer& at, TPlace place, std::initializer_list<std::wstring> captions);

// --- menus ------------------------------------------------------------------------------------

// An item of a themed menu (a TUiPopupMenu or a submenu item) with its image and its click;
// "-" adds a separator line and answers null. Item may be TUiSubmenuItem.
template <class Item = TUiItem>
Item* AddMenuItem(classlib::TComponent* owner, toolbar::TBarCustomItem* parent, const std::wstring& caption,
                  int imageIndex = -1, classlib::TNotifyEvent onClick = {}) {
    if (caption == L"-") {
        parent->Add(new TUiSeparatorItem(owner));
        return nullptr;
    }
    auto* item = new Item(owner);
    item->SetCaption(caption);
    item->SetImageIndex(imageIndex);
    if (onClick) item->SetOnClick(std::move(onClick));
    parent->Add(item);
    return item;
}
// An item of a menu bar or a standard popup menu: a caption ("-": a separator line) with its
// click, or an action (its caption, shortcut, state and command).
classlib::TMenuItem* AddMenuItem(classlib::TComponent* owner, classlib::TMenuItem* parent, const std::wstring& caption,
                                 std::function<void()> onClick = {});
classlib::TMenuItem* AddMenuItem(classlib::TComponent* owner, classlib::TMenuItem* parent, classlib::TAction* action);

}  // namespace ui
