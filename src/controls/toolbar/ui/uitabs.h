#pragma once
// Tabs: the tab item (a checkable item of group 7777 that paints itself as a tab and shows
// its linked control, the tab sheet, while it is the active tab) and the tab toolbar, the row
// of tabs of a tab set (uitabset.h). The tab toolbar keeps the active tab's index, hides the
// tabs that do not fit and brings them back (or, with TabAutofit, narrows every tab so that
// all fit), paints the page border under the tabs with the active tab drawn over it, and lets
// the user reorder tabs by dragging.
//
// Four looks (TUiTabThemeType): the system's visual style, the current toolbar theme, a plain
// and a flat one; tabs stand above (ttpTop) or below (ttpBottom) the pages.
//
// Main thread only.

#include <windows.h>

#include <memory>

#include "controls/toolbar/ui/uitoolbar.h"

namespace ui {

class TUiCustomTabSet;
class TUiTabToolbar;

enum TUiTabPosition { ttpTop, ttpBottom };

// Where a tab stands in its row, for the visual style's edge parts.
constexpr int tabEdgeMiddle = 0, tabEdgeLeft = 1, tabEdgeRight = 2;

// One tab of `themeType` (resolved here) in `rect`, drawn on a bitmap and copied upside down
// for bottom tabs (for the toolbar theme: for the themes that draw tabs upside down, wherever
// the tabs stand). An unchecked tab of the plain look draws nothing; the plain and flat looks
// draw a checked tab in the canvas brush's colour with a frame. A checked, focused tab gets a
// focus rectangle 3 pixels inside.
void PaintTab(classlib::TCanvas& canvas, const RECT& rect, bool enabled, bool checked, bool hotTrack, bool focused,
              bool bottom, TUiTabThemeType themeType, int edge);
// The page under the tabs: the visual style's pane (upside down for bottom tabs), a checked
// toolbar-theme button on white, or `color` framed as a checked plain or flat tab.
void PaintTabBackground(classlib::TCanvas& canvas, const RECT& rect, classlib::TColor color, TUiTabThemeType themeType,
                        bool bottom);
// Whether the current toolbar theme draws its tabs upside down.
bool ThemeDrawsTabsFlipped();
// How far the active tab reaches into the page border: 2 pixels for the toolbar-theme tabs
// of some themes and for plain tabs at the bottom, else 1.
int ActiveTabReach(TUiTabThemeType themeType, bool bottom);

class TUiTabItem : public TUiCustomItem {
public:
    // Image and text, group 7777, the caption cut with an ellipsis, margins 4, at the top, in
    // the visual-style look.
    explicit TUiTabItem(classlib::TComponent* owner);

    // On a tab toolbar these are the toolbar's (setting them does nothing there); elsewhere
    // the item's own, and a change repaints it.
    TUiTabPosition TabPosition();
    void SetTabPosition(TUiTabPosition value);
    TUiTabThemeType ThemeType();
    void SetThemeType(TUiTabThemeType value);
    // The tab toolbar's TabColor, the button face without one.
    classlib::TColor TabColor();
    // The tab toolbar the item stands on, or null.
    TUiTabToolbar* TabToolbar() const;

    // Draws the tab (or, with isSeparator, the line between two inactive tabs).
    virtual void DrawTab(classlib::TCanvas& canvas, const RECT& rect, bool enabled, bool checked, bool hotTrack,
                         TUiTabPosition position, bool isSeparator, int edge);

    // Nothing for a checked or disabled tab; on a tab toolbar the tab set may refuse the
    // change; then the item's own click (OnClick, action).
    void Click() override;
    // The caption colour is the button text unless disabled or drawn by the toolbar theme.
    void DoAdjustFont(classlib::TFont& font, int stateFlags) override;
    void DoDrawItem(classlib::TCanvas& canvas, const RECT& rect, const themed::TThmItemInfo& info, TUiPaintStage stage,
                    bool& paintDefault) override;
    void DoDrawCaption(classlib::TCanvas& canvas, const RECT& clientAreaRect, TUiPaintStage stage,
                       std::wstring& caption, RECT& captionRect, UINT& format, bool isTextRotated,
                       bool& paintDefault) override;
    void DoDrawImage(classlib::TCanvas& canvas, const themed::TThmItemInfo& info, TUiPaintStage stage,
                     classlib::TImageList*& images, int& imageIndex, RECT& rect, bool& paintDefault) override;
    void ToggleControl() override {}
    // Leaves its toolbar while still whole, so that the tab set sees a tab being deleted.
    void BeforeDestruction() override;

private:
    TUiTabPosition FTabPosition = ttpTop;
    TUiTabThemeType FThemeType = tttWindows;
};

class TUiTabToolbar : public TUiToolbar {
public:
    explicit TUiTabToolbar(classlib::TComponent* owner);
    ~TUiTabToolbar() override;

    TUiTabThemeType ThemeType() const { return FThemeType; }
    void SetThemeType(TUiTabThemeType value);
    // Narrow every tab so that all fit, instead of hiding the ones that do not.
    bool TabAutofit() const { return FTabAutofit; }
    void SetTabAutofit(bool value);
    int TabAutofitMaxSize() const { return FTabAutofitMaxSize; }
    void SetTabAutofitMaxSize(int value);
    classlib::TColor TabColor() const { return FTabColor; }
    void SetTabColor(classlib::TColor value);
    TUiTabPosition TabPosition() const { return FTabPosition; }
    void SetTabPosition(TUiTabPosition value) { FTabPosition = value; }
    bool TabDragReorder() const { return FTabDragReorder; }
    void SetTabDragReorder(bool value) { FTabDragReorder = value; }
    // The tabs hidden because they did not fit, with their bounds.
    TUiItemCacheCollection& HiddenTabs() { return FHiddenTabs; }
    // The tab set that hears of the tab changes (the owner when it is one).
    TUiCustomTabSet* TabSet() const { return FTabSet; }
    void SetTabSet(TUiCustomTabSet* value);
    bool Fitting() const { return FFitting; }

    // The index of the checked tab among the root item's sub-items (-1: none).
    int ActiveTabIndex() const { return FActiveTabIndex; }
    // Only with a tab set: an index outside the items (or of an item being destroyed) means
    // none; one of an item that is not a tab keeps the current tab. The tab set may refuse;
    // otherwise the old tab is unchecked and its sheet hidden, the new one checked, its sheet
    // shown in front and the tab scrolled into view, and the tab set is told.
    void SetActiveTabIndex(int value);
    // Stores the index without any of that (the tab set keeps it right while tabs come and go).
    void SetActiveTabIndexField(int value) { FActiveTabIndex = value; }
    TUiTabItem* ActiveTab() const;

    // Brings hidden tabs back in view: the nearest hidden tab before the first shown one comes
    // back and the last shown one before the spacer is hidden (left), or the other way round.
    void ScrollTabsLeft();
    void ScrollTabsRight();
    void MakeTabVisible(TUiTabItem* tab);
    // Narrows the visible tabs so that all fit the dock (at most TabAutofitMaxSize each).
    void AutofitTabs();
    // The index a tab dragged to the client point goes to, or -1 (no move).
    int GetTabDropIndex(POINT point);
    // Moves the dragged tab to `index` (the tab set may refuse); the active tab moves with it.
    bool MoveDraggedTab(int index);

    // Hides the tabs that do not fit and brings back the ones that fit again.
    void RightAlignItems() override;
    // A press on an inactive tab activates it; on the active tab it starts a reordering drag.
    bool DoCustomizeMouseDown(classlib::TMouseButton button, classlib::TShiftState shift, int x, int y) override;
    void ToolbarItemNotification(toolbar::TBarCustomItem* ancestor, bool relayed,
                                 toolbar::TBarItemChangedAction action, int index,
                                 toolbar::TBarCustomItem* item) override;
    // The page border under the tabs and the active tab over it.
    void DrawNCArea(bool drawToDC, HDC dc, HRGN region) override;
    void RedrawFrame();

protected:
    void DoStartDrag() override;
    void DragOver(classlib::TComponent* source, int x, int y, int state, bool& accept) override;
    void DoEndDrag(classlib::TComponent* target, int x, int y) override;

private:
    bool Vertical() const;
    int FirstSelectableIndex() const;
    int LastSelectableBeforeSpacer() const;
    int SpacerViewerIndex() const;
    void HideViewer(toolbar::TBarItemViewer* viewer);
    void ShowCached(int cacheIndex);
    void AfterScroll();
    void DrawActiveTabOverlay(HDC dc, RECT rect);

    TUiTabThemeType FThemeType = tttWindows;
    bool FFitting = false;
    bool FTabAutofit = false;
    int FTabAutofitMaxSize = 200;
    classlib::TColor FTabColor = classlib::clBtnFace;
    TUiTabPosition FTabPosition = ttpTop;
    bool FTabDragReorder = false;
    TUiItemCacheCollection FHiddenTabs;
    int FActiveTabIndex = -1;
    TUiCustomTabSet* FTabSet = nullptr;
    std::unique_ptr<TUiCustomDragObject> FDragObject;
};

// What a tab toolbar drags: a tab, with the default cursor whether accepted or not.
class TUiTabItemDragObject : public TUiCustomDragObject {
public:
    TUiTabItemDragObject(TUiToolbar* sourceToolbar, toolbar::TBarCustomItem* item);
};

}  // namespace ui
