#pragma once
// The tab set and the tab control: a compound control (uitoolbar.h) whose private toolbar is
// a tab toolbar (uitabs.h). The tab set keeps the active index right while tabs are inserted,
// deleted and moved, paints the page background and frame in the tab look and raises the four
// tab events; the tab control adds one tab sheet per tab item: adding a tab item makes its
// sheet, activating a tab shows its sheet, deleting a tab item frees its sheet.
//
// The tab control owns its empty page; the sheets are owned by the control's owner (the form)
// and kept in the page list. Main thread only.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "classlib/graphics.h"
#include "controls/toolbar/themed/thmpanels.h"
#include "controls/toolbar/ui/uitabs.h"

namespace ui {

class TUiTabSheet;

// Posted by a tab set to itself: activate the active tab afresh once the current change is
// over.
constexpr UINT TBM_REACTIVATETAB = 8801;

using TUiTabChangeEvent = std::function<void(classlib::TComponent* sender, int tabIndex)>;
using TUiTabChangingEvent =
    std::function<void(classlib::TComponent* sender, int tabIndex, int newTabIndex, bool& allow)>;

class TUiCustomTabSet : public TUiCompoundItemsControl, public themed::TThmColorHost {
public:
    explicit TUiCustomTabSet(classlib::TComponent* owner);
    ~TUiCustomTabSet() override;

    TUiTabToolbar* TabToolbar() const { return static_cast<TUiTabToolbar*>(Toolbar()); }

    // While the control is loading the index is kept and applied in Loaded.
    int ActiveTabIndex() const;
    void SetActiveTabIndex(int value);
    // The tab toolbar's active tab, or null.
    TUiTabItem* ActiveTab() const { return TabToolbar() ? TabToolbar()->ActiveTab() : nullptr; }
    TUiTabThemeType ThemeType() const;
    // Also the control's colour: the button face for the plain and flat looks, else none (the
    // look's own).
    void SetThemeType(TUiTabThemeType value);
    TUiTabPosition TabPosition() const;
    // Moves the tab row to the other side of the pages.
    void SetTabPosition(TUiTabPosition value);
    bool TabVisible() const { return FTabVisible; }
    void SetTabVisible(bool value);
    bool TabAutofit() const;
    void SetTabAutofit(bool value);
    int TabAutofitMaxSize() const;
    void SetTabAutofitMaxSize(int value);
    bool TabDragReorder() const;
    void SetTabDragReorder(bool value);
    classlib::TColor TabBackgroundColor() const;
    void SetTabBackgroundColor(classlib::TColor value);

    TUiDrawEvent OnDrawBackground;
    TUiTabChangeEvent OnActiveTabChange;
    TUiTabChangingEvent OnActiveTabChanging;
    TUiTabChangeEvent OnActiveTabReorder;
    TUiTabChangingEvent OnActiveTabReordering;

    virtual void DoDrawBackground(classlib::TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                  bool& paintDefault);
    // The control paints the page itself (true here).
    virtual bool PaintsOwnBackground();
    // OnActiveTabChanging with Allow starting true; always true while loading.
    virtual bool DoActiveTabChanging(int tabIndex, int newTabIndex);
    // OnActiveTabChange, not while loading.
    virtual void DoActiveTabChange(int tabIndex);
    virtual bool DoActiveTabReordering(int tabIndex, int newTabIndex);
    virtual void DoActiveTabReorder(int tabIndex);
    // The tab toolbar's root item's change listener.
    virtual void TabSetItemNotification(toolbar::TBarCustomItem* ancestor, bool relayed,
                                        toolbar::TBarItemChangedAction action, int index,
                                        toolbar::TBarCustomItem* item);
    // A new tab: the only tab is clicked.
    virtual void TabInserted(TUiTabItem* tab);
    // A deleted tab: the row scrolls one tab to the left.
    virtual void TabDeleted(TUiTabItem* tab, bool freeSheet);
    virtual void ClickTab(TUiTabItem* tab);

    // Paints the page background into dc at rect (through a cached bitmap); false when it
    // cannot (destroying, no dock, empty rectangle).
    bool PaintBackground(HDC dc, const RECT& rect);
    void InvalidateBackground() override { InvalidateBackground(false); }
    void InvalidateBackground(bool notifyChildren);
    // The button face while the current theme is "OfficeXP"; otherwise the control's colour
    // (or its parent's when it has none).
    classlib::TColor ThemeEffectiveColor() override;
    void Loaded() override;

protected:
    void Dispatch(classlib::TMessage& message) override;
    void TearDown() override;
    bool Busy() const { return FBusy; }

private:
    class TListener : public toolbar::TBarItemChangeListener {
    public:
        explicit TListener(TUiCustomTabSet* owner) : FOwner(owner) {}
        void ItemChanged(toolbar::TBarCustomItem* ancestor, bool relayed, toolbar::TBarItemChangedAction action,
                         int index, toolbar::TBarCustomItem* item) override {
            FOwner->TabSetItemNotification(ancestor, relayed, action, index, item);
        }

    private:
        TUiCustomTabSet* FOwner;
    };
    void ApplyColorRule();
    void ReactivateTab();

    bool FTabVisible = true;
    int FMoveState = 0;
    TUiTabItem* FMovedTab = nullptr;
    int FStreamedActiveIndex = -1;
    bool FBusy = false;
    std::unique_ptr<classlib::TBitmap> FBackground;
    TListener FListener{this};
};

class TUiCustomTabControl : public TUiCustomTabSet {
public:
    explicit TUiCustomTabControl(classlib::TComponent* owner);

    // Shown while no tab is active.
    TUiTabSheet* EmptyPage() const { return FEmptyPage; }
    // Space around every page; a change lays the pages out again.
    themed::TThmControlMargins& Margins() { return FMargins; }
    int PageCount() const { return static_cast<int>(FPages.size()); }
    TUiTabSheet* Pages(int index) const { return FPages[static_cast<size_t>(index)]; }
    void AddPage(TUiTabSheet* sheet);
    void RemovePage(TUiTabSheet* sheet);

    // No page, no toolbar, no active tab or an unchecked one: the control paints; else the
    // active page does.
    bool PaintsOwnBackground() override;
    // The empty page shows while no tab is active.
    void DoActiveTabChange(int tabIndex) override;
    // A tab without a page gets a new sheet "UiTabSheetN" (owned by the control's owner).
    void TabInserted(TUiTabItem* tab) override;
    // The deleted tab's sheet leaves the page list and is freed.
    void TabDeleted(TUiTabItem* tab, bool freeSheet) override;
    // Lays the pages out again after a theme change.
    void HandleThemeChange(int change, bool themeSwitched) override;
    // The empty page takes its place when the control first gets a parent.
    void SetParent(classlib::TWinControl* parent) override;

protected:
    void TearDown() override;

private:
    void RealignPages();
    TUiTabSheet* FEmptyPage = nullptr;
    themed::TThmControlMargins FMargins;
    std::vector<TUiTabSheet*> FPages;
};

class TUiTabControl : public TUiCustomTabControl {
public:
    using TUiCustomTabControl::TUiCustomTabControl;
};

class TUiTabSheet : public classlib::TCustomControl {
public:
    explicit TUiTabSheet(classlib::TComponent* owner);

    TUiCustomTabControl* TabControl() const { return FTabControl; }
    void SetTabControl(TUiCustomTabControl* value) { FTabControl = value; }
    TUiTabItem* TabItem() const { return FTabItem; }
    void SetTabItem(TUiTabItem* value) { FTabItem = value; }
    // The tab item's caption, image index and visibility ('', -1 and false without an item,
    // which cannot be set then).
    std::wstring Caption() const;
    void SetCaption(const std::wstring& value);
    int ImageIndex() const;
    void SetImageIndex(int value);
    bool TabVisible() const;
    void SetTabVisible(bool value);
    // The name of the tab item as kept from a stream, for linking later.
    const std::wstring& TabItemName() const { return FTabItemName; }
    void SetTabItemName(const std::wstring& value) { FTabItemName = value; }
    // Links the owner's tab item of the kept name when no item is linked yet.
    void LinkStoredTabItem();

    void SetVisible(bool value) override;
    void AdjustClientRect(RECT& rect) override;

protected:
    void Dispatch(classlib::TMessage& message) override;

private:
    classlib::TComponentRef<TUiCustomTabControl> FTabControl;
    classlib::TComponentRef<TUiTabItem> FTabItem;
    std::wstring FTabItemName;
    classlib::TComponentRef<classlib::TWinControl> FFocusedChild;
};

}  // namespace ui
