// The main window's chrome: the docks, the menu bar with its submenus, the main toolbar, the
// address bar (its list is the address history's: historyfeature.h), the popup menu of the
// bars, the status bar with the hint and the gesture being drawn, the view commands, and the
// bars' part of "ToolBar.db".
#include "app/mainform.h"

#include "app/gesturefeedback.h"
#include "app/layoutfile.h"
#include "app/menubuilder.h"
#include "app/regedform.h"
#include "classlib/application.h"
#include "classlib/errors.h"
#include "controls/toolbar/themed/thmtoolbar.h"
#include "controls/toolbar/ui/uibuttons.h"
#include "controls/toolbar/ui/uidockpanels.h"
#include "controls/toolbar/ui/uilists.h"
#include "controls/toolbar/ui/uistatusbar.h"
#include "controls/toolbar/ui/uitoolbar.h"
#include "settings/inifile.h"
#include "settings/settingsfiles.h"
#include "views/regtreeview.h"
#include "widgets/mousegestures.h"
#include "widgets/vstab.h"

#include <array>
#include <memory>
#include <string_view>
#include <utility>

namespace app {

using settings::GetSettingsFilePath;

namespace {

constexpr int AddressBarHeight = 21;
constexpr int AddressBarWidth = 480;
constexpr int AddressButtonWidth = 40;
constexpr int StatusLabelHeight = 22;

template <class TDock, class TPosition>
TDock* NewDock(classlib::TWinControl* form, const wchar_t* name, TPosition position) {
    auto* dock = new TDock(form);
    dock->SetName(name);
    dock->SetPosition(position);
    dock->SetParent(form);
    return dock;
}

ui::TUiToolbar* NewBar(TMainForm* form, ui::TUiDock* dock, const wchar_t* name, const wchar_t* caption, int row) {
    auto* bar = new ui::TUiToolbar(form);
    bar->SetName(name);
    bar->SetCaption(caption);
    bar->SetDockRow(row);
    bar->SetCurrentDock(dock);
    return bar;
}

}  // namespace

void TMainForm::ListWindowsInMenu(toolbar::TBarCustomItem& menu) {
    // The items of the last opening carry their window in the tag; the fixed ones carry 0.
    for (int i = menu.Count() - 1; i >= 0; --i)
        if (menu.Items(i)->Tag() != 0) delete menu.Items(i);
    for (int i = 0; i < MDIChildCount(); ++i) {
        classlib::TForm* child = MDIChildren(i);
        auto* item = new ui::TUiItem(this);
        item->SetTag(reinterpret_cast<intptr_t>(child));
        item->SetCaption(child->Caption());
        item->SetChecked(child == ActiveMDIChild());
        item->SetOnClick([this, tag = item->Tag()](classlib::TComponent*) {
            // The window may have gone since the menu opened.
            for (int j = 0; j < MDIChildCount(); ++j)
                if (reinterpret_cast<intptr_t>(MDIChildren(j)) == tag) MDIChildren(j)->Show();
        });
        menu.Add(item);
    }
}

void TMainForm::CreateChrome() {
    MainDock = NewDock<ui::TUiDock>(this, L"MainDock", toolbar::dpTop);
    UiMultiDock2 = NewDock<ui::TUiMultiDock>(this, L"UiMultiDock2", ui::dpxTop);
    UiMultiDock3 = NewDock<ui::TUiMultiDock>(this, L"UiMultiDock3", ui::dpxLeft);
    UiMultiDock4 = NewDock<ui::TUiMultiDock>(this, L"UiMultiDock4", ui::dpxRight);
    UiDock1 = NewDock<ui::TUiDock>(this, L"UiDock1", toolbar::dpLeft);
    UiDock2 = NewDock<ui::TUiDock>(this, L"UiDock2", toolbar::dpRight);
    UiDock3 = NewDock<ui::TUiDock>(this, L"UiDock3", toolbar::dpBottom);

    // "新規値": one submenu that the edit menu, the toolbar's drop-down and the popups link.
    auto* newValue = new ui::TUiSubmenuItem(this);
    newValue->SetName(L"MenuNewValue");
    newValue->SetCaption(L"新規値");
    BuildBarItems(*newValue, this, L"MenuNewValue", *FActions);
    MenuNewValue = newValue;
    const TSubmenuLink link = [this](const std::wstring& name) -> toolbar::TBarCustomItem* {
        return name == L"MenuNewValue" ? MenuNewValue : nullptr;
    };

    ToolMenuHide = NewBar(this, MainDock, L"ToolMenuHide", L"メニューバー", 0);
    ToolMenuHide->SetCustomizable(false);
    ToolMenuHide->SetVisible(false);
    ToolMenu = NewBar(this, MainDock, L"ToolMenu", L"メインメニュー", 0);
    ToolMenu->SetMenuBar(true);
    ToolMenu->SetProcessShortCuts(true);
    ToolMenu->SetShrinkMode(toolbar::tbsmWrap);
    ToolMenu->SetStretch(true);
    ToolMenu->SetCloseButton(false);
    for (const TMenuDef& def : MenuBarDefs()) {
        auto* submenu = new ui::TUiSubmenuItem(this);
        submenu->SetName(def.Name);
        submenu->SetCaption(def.Caption);
        BuildBarItems(*submenu, this, def.Name, *FActions, link);
        ToolMenuHide->Items()->Add(submenu);
        if (std::wstring_view(def.Name) == L"MenuWindow")
            submenu->OnPopup = [this, submenu](toolbar::TBarCustomItem*, bool) { ListWindowsInMenu(*submenu); };
        auto* top = new ui::TUiSubmenuItem(this);
        top->SetCaption(def.Caption);
        top->SetLinkSubitems(submenu);
        ToolMenu->Items()->Add(top);
    }

    MainToolBar = NewBar(this, MainDock, L"MainToolBar", L"メインツールバー", 1);
    MainToolBar->SetShrinkMode(toolbar::tbsmWrap);
    BuildBarItems(*MainToolBar->Items(), this, L"MainToolBar", *FActions, link);

    AddrToolbar = new themed::TThmToolWindow(this);
    AddrToolbar->SetName(L"AddrToolbar");
    AddrToolbar->SetCaption(L"アドレスバー");
    AddrToolbar->SetDockableTo(toolbar::DockableToBit(toolbar::dpTop) | toolbar::DockableToBit(toolbar::dpBottom));
    AddrToolbar->SetMinClientHeight(AddressBarHeight);
    AddrToolbar->SetMaxClientHeight(AddressBarHeight);
    AddrToolbar->SetClientAreaWidth(AddressBarWidth);
    AddrToolbar->SetClientAreaHeight(AddressBarHeight);
    AddrToolbar->SetCloseButton(false);
    AddrToolbar->SetDockRow(2);
    AddrToolbar->SetCurrentDock(MainDock);
    // Right-aligned from the far end; the buttons take no part in the Tab order.
    const auto addButton = [this](const wchar_t* name, const wchar_t* caption, int fromRight, auto click) {
        auto* button = new ui::TUiButton(this);
        button->SetName(name);
        button->SetCaption(caption);
        button->SetParent(AddrToolbar);
        button->SetBounds(AddressBarWidth - fromRight * AddressButtonWidth, 0, AddressButtonWidth, AddressBarHeight);
        button->SetAlign(classlib::alRight);
        button->SetTabStop(false);
        button->OnClick = [this, click](classlib::TComponent*) { (this->*click)(); };
        return button;
    };
    UiButton1 = addButton(L"UiButton1", L"新規", 1, &TMainForm::UiButton1Click);
    RegMoveButton = addButton(L"RegMoveButton", L"移動", 2, &TMainForm::RegMoveButtonClick);
    AddressBox = new ui::TUiComboBox(this);
    AddressBox->SetName(L"AddressBox");
    AddressBox->AutoComplete = false;
    AddressBox->AutoDropDown = true;
    AddressBox->SetParent(AddrToolbar);
    AddressBox->SetAlign(classlib::alClient);
    for (const TActionDef& def : ActionDefs())
        if (IsAddressBoxAction(def.Id))
            FActions->Action(def.Id)->OnExecute = [this, id = def.Id](classlib::TComponent*) {
                ExecuteAddressBoxAction(id, AddressBox->EditHandle(), [this] { RegMoveButtonClick(); });
            };

    ToolMenuPopup = new ui::TUiPopupMenu(this);
    ToolMenuPopup->SetName(L"ToolMenuPopup");
    BuildBarItems(*ToolMenuPopup->Items(), ToolMenuPopup, L"ToolMenuPopup", *FActions);
    for (classlib::TControl* control : {static_cast<classlib::TControl*>(MainDock), static_cast<classlib::TControl*>(ToolMenu),
                                        static_cast<classlib::TControl*>(MainToolBar),
                                        static_cast<classlib::TControl*>(AddrToolbar)})
        control->SetPopupMenu(ToolMenuPopup);

    // The bars stand above the tab strip: top-aligned controls line up in the order they
    // joined the form.
    VxVSTab->SetParent(nullptr);
    VxVSTab->SetParent(this);

    UiStatusBar2 = new ui::TUiStatusBar(this);
    UiStatusBar2->SetName(L"UiStatusBar2");
    UiStatusBar2->SetParent(this);
    UiStatusBar2->SetAlign(classlib::alBottom);
    // Below the bottom docks (the panels' dock joined the form earlier): bottom-aligned
    // controls stack upwards in the order they stand among the form's controls.
    UiStatusBar2->SendToBack();
    UiStatusBar2->SetPopupMenu(ToolMenuPopup);
    HintLabel = new ui::TUiLabelItem(UiStatusBar2);
    HintLabel->SetName(L"HintLabel");
    HintLabel->SetCustomHeight(StatusLabelHeight);
    HintLabel->SetAlignment(wide::taLeftJustify);
    UiStatusBar2->Items()->Add(HintLabel);
    UiStatusBar2->Items()->Add(new ui::TUiRightAlignSpacerItem(UiStatusBar2));
    GestureLabel = new ui::TUiLabelItem(UiStatusBar2);
    GestureLabel->SetName(L"GestureLabel");
    GestureLabel->SetCustomHeight(StatusLabelHeight);
    UiStatusBar2->Items()->Add(GestureLabel);

    for (const TViewToggleDef& def : ViewToggleDefs)
        FActions->Action(def.Action)->OnExecute = [this, id = def.Action](classlib::TComponent*) { ToggleView(id); };

    if (classlib::Application) {
        // The status bar may go before the application's last hint.
        auto label = std::make_shared<classlib::TComponentRef<ui::TUiLabelItem>>();
        label->Set(HintLabel);
        classlib::Application->OnHint = [label](classlib::TComponent*) {
            if (ui::TUiLabelItem* hint = label->Get()) hint->SetCaption(classlib::Application->Hint());
        };
    }
    FGestures->OnGestureStart = [this](classlib::TComponent*, bool& cancel) {
        const HWND active = GetActiveWindow();
        const TActiveFormKind kind = !active ? TActiveFormKind::None
                                     : MainFormIsActive(this) ? TActiveFormKind::MainWindow
                                                              : TActiveFormKind::Other;
        if (!GestureMayStart(kind)) cancel = true;
    };
    FGestures->OnGestureProgress = [this](classlib::TComponent*, const std::wstring& marks, const std::wstring& caption) {
        if (std::optional<std::wstring> text = GestureLabelText(marks, caption)) GestureLabel->SetCaption(*text);
    };
    FGestures->OnGestureEnd = [this](classlib::TComponent*) { GestureLabel->SetCaption(L""); };
    FGestures->OnGestureExec = [this](classlib::TComponent*) { UpdateActionStates(); };

}

void TMainForm::WriteChromeLayout(settings::TVxMemIniFile& file) { WriteBarsLayout(file, *this); }

bool TMainForm::UpdateChromeStates() {
    for (const TViewToggleDef& def : ViewToggleDefs) {
        auto* control = dynamic_cast<classlib::TControl*>(FindComponent(def.Component));
        FActions->Action(def.Action)->SetChecked(control && control->Visible());
    }
    if (!AddressBox) return false;
    const HWND focus = GetFocus();
    const bool boxFocused = focus && (focus == AddressBox->EditHandle() || focus == AddressBox->Handle());
    // The box follows the active window's key, but not under the user's typing: a change
    // that comes meanwhile shows once the box has lost the focus.
    const TRegEdForm* window = ActiveRegEdForm();
    const std::wstring path = window ? window->ShownPath() : L"";
    if (path != FShownAddress && !boxFocused) {
        FShownAddress = path;
        AddressBox->SetText(path);
    }
    // Once the focus is in a registry window, a bar control the frame remembers would take it
    // back when the program is activated again (after a dialog): the frame forgets it, and its
    // activation hands the focus to the active registry window.
    if (classlib::TForm* child = ActiveMDIChild(); focus && ActiveControl() && child && child->HandleAllocated() &&
                                                 IsChild(child->Handle(), focus))
        SetActiveControl(nullptr);
    return boxFocused;
}

void TMainForm::RegMoveButtonClick() {
    const std::wstring path = AddressBox->Text();
    if (TRegEdForm* window = ActiveRegEdForm()) {
        AddHistory(path);
        window->VxRegTreeView->JumpToPath(path);
    } else {
        OpenWindow(path);
    }
}

void TMainForm::UiButton1Click() { OpenWindow(AddressBox->Text()); }

void TMainForm::ToggleView(TActionId id) {
    const wchar_t* name = ViewToggleComponent(id);
    if (auto* control = name ? dynamic_cast<classlib::TControl*>(FindComponent(name)) : nullptr)
        control->SetVisible(!control->Visible());
}

}  // namespace app
