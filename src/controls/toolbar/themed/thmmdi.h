#pragma once
// The controls of a maximised MDI child on the menu bar. A maximised child of the main form
// loses its caption, so the menu bar (a toolbar) shows what the caption had: the child's
// icon at the start of the bar, whose sub-menu mirrors the child's system menu, and its
// minimise, restore and close buttons at the end. A TThmMDIHandler attaches both to a
// toolbar; a thread hook shows them exactly while some child of the main form is maximised.
//
// Commands go to the main form's active MDI child as WM_SYSCOMMAND with the current message
// position, as the child's own caption would send them.
//
// Lifetime: the handler owns its items and detaches them from the toolbar before it goes;
// a toolbar freed first simply leaves the handler without one. One WH_CBT hook of the thread
// exists while at least one buttons item does. Main thread only.

#include <windows.h>

#include <memory>

#include "classlib/component.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/tbtoolbar.h"
#include "controls/toolbar/themed/thmitems.h"

namespace themed {

class TThmMDIHandler;

// The child's icon; its sub-menu is rebuilt from the active child's system menu each time it
// opens (opening runs Click). Captions come from the system menu as UTF-16 text.
class TThmMDISystemMenuItem : public TThmCustomItem {
public:
    explicit TThmMDISystemMenuItem(classlib::TComponent* owner);
    ~TThmMDISystemMenuItem() override;
    void Click() override;
    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;

private:
    std::unique_ptr<classlib::TImageList> FImages;
};

// Paints the active child's small icon (else the application's, else the system's).
class TThmMDISystemMenuItemViewer : public TThmItemViewer {
public:
    using TThmItemViewer::TThmItemViewer;
    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
};

enum TThmMDIButtonKind : BYTE { mbkMinimize, mbkRestore, mbkClose };

// One caption button. It is not selectable: the keyboard passes it by, the mouse presses it.
class TThmMDIButtonItem : public toolbar::TBarCustomItem {
public:
    TThmMDIButtonItem(classlib::TComponent* owner, TThmMDIButtonKind kind);
    TThmMDIButtonKind ButtonKind() const { return FKind; }
    // After the inherited click: minimises, restores or closes the active child.
    void Click() override;
    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;

private:
    TThmMDIButtonKind FKind;
};

class TThmMDIButtonItemViewer : public toolbar::TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    // The system's menu-bar button size less the theme's metrics 36 and 37.
    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    // The theme's caption button: close 0, minimise 1, restore 3.
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
    bool MouseSelectable() override { return true; }
};

// A blank gap of 2 pixels beside the buttons.
class TThmMDISepItem : public toolbar::TBarSeparatorItem {
public:
    explicit TThmMDISepItem(classlib::TComponent* owner);
    toolbar::TBarItemViewerClass GetItemViewerClass(toolbar::TBarView* view) override;
};

class TThmMDISepItemViewer : public toolbar::TBarSeparatorItemViewer {
public:
    using TBarSeparatorItemViewer::TBarSeparatorItemViewer;
    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    void Paint(classlib::TCanvas&, const RECT&, bool, bool, bool) override {}
};

// The group at the end of the bar: a separator that pushes it to the far end, minimise,
// restore, a separator, close.
class TThmMDIButtonsItem : public toolbar::TBarCustomItem {
public:
    TThmMDIButtonsItem(classlib::TComponent* owner, TThmMDIHandler* handler);
    ~TThmMDIButtonsItem() override;

    TThmMDIHandler* Handler() const { return FHandler; }
    TThmMDIButtonItem* MinimizeButton() const { return FMinimize; }
    TThmMDIButtonItem* RestoreButton() const { return FRestore; }
    TThmMDIButtonItem* CloseButton() const { return FClose; }

    // Shows the buttons and the system-menu item while some child of the main form is
    // maximised: `window` while it is being maximised (with `maximising`), or another child
    // that is (`window` may be null, or a child being restored or destroyed). The minimise
    // button is enabled only for an active child with a minimise box.
    void UpdateState(HWND window, bool maximising);

private:
    TThmMDIHandler* FHandler;
    TThmMDISepItem* FFirstSeparator;
    TThmMDIButtonItem* FMinimize;
    TThmMDIButtonItem* FRestore;
    TThmMDISepItem* FSecondSeparator;
    TThmMDIButtonItem* FClose;
};

class TThmMDIHandler : public classlib::TComponent {
public:
    explicit TThmMDIHandler(classlib::TComponent* owner);
    ~TThmMDIHandler() override;

    TThmMDIButtonsItem* ButtonsItem() const { return FButtonsItem; }
    TThmMDISystemMenuItem* SystemMenuItem() const { return FSystemMenuItem; }

    // The toolbar (the menu bar) that shows the items; a change rebuilds the viewers of the
    // old and the new toolbar.
    toolbar::TBarCustomToolbar* Toolbar() const { return FToolbar; }
    void SetToolbar(toolbar::TBarCustomToolbar* value);
    // The buttons take the whole thickness of the line.
    bool StretchButtons() const { return FStretchButtons; }
    void SetStretchButtons(bool value);

private:
    TThmMDIButtonsItem* FButtonsItem;
    TThmMDISystemMenuItem* FSystemMenuItem;
    classlib::TComponentRef<toolbar::TBarCustomToolbar> FToolbar;
    bool FStretchButtons = false;
};

}  // namespace themed
