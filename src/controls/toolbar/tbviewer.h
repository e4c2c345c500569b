// Item viewers: one item as one view shows it.
//
// A view (TBarView) keeps one viewer per item of the level it shows. The viewer knows where
// the item stands in the view's window (set by the view's layout), how big the item wants
// to be, how it paints, what its hint says and how it reacts to the mouse. Each item class
// chooses its viewer class (TBarCustomItem::GetItemViewerClass); the themed layers derive
// their viewers from these and replace the sizing and painting. The painting here is the
// plain one used when no theme takes over: enough to show every state, nothing more.
//
// Lifetime: a viewer is owned by its view and never outlives it or its item (the view
// frees a viewer before the item goes). A click queued for a viewer that is freed first
// does nothing. Main thread only.
#pragma once

#include "classlib/control.h"
#include "classlib/graphics.h"
#include "controls/toolbar/tbitem.h"

#include <windows.h>

#include <memory>
#include <string>

namespace classlib {
class TImageList;
}

namespace toolbar {

class TBarView;
class TBarCustomAccObject;  // tbacc.h

// State bits of a viewer.
constexpr unsigned char tbvsInvalidated = 0x01;    // the next paint draws its background first
constexpr unsigned char tbvsLineSeparator = 0x02;  // a separator where a toolbar line wrapped

// Accessible roles a viewer reports.
constexpr int RoleClient = 10, RoleMenuItem = 12, RoleSeparator = 21, RolePushButton = 43, RoleButtonMenu = 57;

// Width of the arrow part of a split button in toolbar style.
constexpr int SplitArrowWidth = 11;

class TBarItemViewer : public TBarClickQueueClient {
public:
    TBarItemViewer(TBarView* view, TBarCustomItem* item, int groupLevel);
    ~TBarItemViewer() override;
    TBarItemViewer(const TBarItemViewer&) = delete;
    TBarItemViewer& operator=(const TBarItemViewer&) = delete;

    TBarView* View() const { return FView; }
    TBarCustomItem* Item() const { return FItem; }
    // Embedding depth: 0 for the view's own items, n for an embedded group n levels down.
    int GroupLevel() const { return FGroupLevel; }

    // Set by the view's layout: the place in the window's client area, whether the item is
    // shown, hidden behind the chevron, or hidden by a scroll arrow band.
    RECT BoundsRect{};
    bool Show = false;
    bool BeyondChevron = false;
    bool ScrolledOut = false;
    unsigned char State = 0;

    // --- sizing and look
    // The natural size of the item on `canvas` (which carries the view's font).
    virtual void CalcSize(classlib::TCanvas& canvas, int& width, int& height);
    virtual void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
                       bool disabledShadow);
    virtual void DrawCaptionText(classlib::TCanvas& canvas, RECT rect, UINT format, bool disabledShadow,
                                 const std::wstring& text);
    // The caption up to the first TAB.
    virtual std::wstring GetCaptionText();
    // Measured as a toolbar button: the view is a toolbar or the item has tboToolbarSize.
    virtual bool UsesToolbarSize();
    // Painted as a toolbar button: the view is a toolbar or the item has tboToolbarStyle.
    virtual bool UsesToolbarStyle();
    virtual bool UsesSameWidth();
    virtual bool ShowsCaption();
    // The mouse may select (hot-track and press) the viewer although its item is not
    // selectable; the keyboard still passes it by. False here.
    virtual bool MouseSelectable() { return false; }
    bool ShowsImage();
    // The item's own images, else the nearest sub-menu images of the views above.
    classlib::TImageList* FindImageList();
    bool DrawsRotated();
    // Whether (x, y), relative to the viewer, presses the button rather than opening the
    // sub-menu (the arrow part of a split button, or any sub-menu item).
    virtual bool PointInButtonPart(int x, int y);
    // The text of the item's tooltip: the short hint, else the caption without its
    // accelerator mark and trailing ":" or "...", with the shortcut after it.
    std::wstring BuildHint();

    // --- input, called by the view and the menu loop
    virtual void MouseDown(classlib::TShiftState shift, int x, int y, bool& mouseDownOnMenu);
    virtual void MouseMove(int x, int y);
    virtual void MouseUp(int x, int y, bool mouseWasDownOnMenu);
    virtual void MouseWheel(int delta, int x, int y, bool& handled);
    virtual void KeyDown(WORD& key, classlib::TShiftState shift);
    // A cursor for the point (relative to the viewer); leave it null for the arrow.
    virtual void QueryCursor(POINT point, HCURSOR& cursor);
    virtual void CaptureLost();
    // Selection: the item's OnSelect hears of both.
    virtual void NotifyEntering(TBarItemViewer* previous);
    virtual void NotifyLeaving();

    // --- executing
    // Records a click of this item as the done action of the root view (the click runs
    // after the menu loop has closed its windows). True when recorded.
    virtual bool RequestExecute();
    // RequestExecute; with `givePriority` the viewer also moves to the front of its view's
    // priority list.
    void Execute(bool givePriority);

    // --- accessibility
    virtual int GetAccessibleRole();
    virtual bool GetAccessibleValue(std::wstring& value);
    // Shown, behind the chevron or scrolled out: reachable by assistive tools.
    bool IsAccessible() const { return Show || BeyondChevron || ScrolledOut; }
    // Selects the viewer in its view (as the keyboard does); with `execute` the view
    // executes it when its menu loop runs.
    virtual void AccessibleSelect(bool execute);
    // The same, later: queued in the deferred click queue.
    void PostAccessibleSelect(bool execute);
    void DeferredClick(WPARAM argument) override;
    // The viewer's accessibility object while one exists (tbacc.h makes it and clears
    // this when it goes); detached when the viewer goes first.
    TBarCustomAccObject* AccObject = nullptr;

    // --- geometry
    int GetIndex() const;
    POINT ScreenToViewer(POINT screen) const;

protected:
    bool IsPopupOrMenuBarView() const;
    void DrawArrow(classlib::TCanvas& canvas, const RECT& area, bool vertical, COLORREF color);
    void DrawImage(classlib::TCanvas& canvas, const RECT& area, bool enabled);
    void PaintToolbarStyle(classlib::TCanvas& canvas, const RECT& rect, bool selected, bool pushed,
                           bool disabledShadow, UINT format);
    void PaintMenuStyle(classlib::TCanvas& canvas, const RECT& rect, bool selected, bool pushed,
                        bool disabledShadow, UINT format);
    UINT CaptionFormat();

private:
    TBarView* FView;
    TBarCustomItem* FItem;
    int FGroupLevel;
};

class TBarSeparatorItemViewer : public TBarItemViewer {
public:
    using TBarItemViewer::TBarItemViewer;
    void CalcSize(classlib::TCanvas& canvas, int& width, int& height) override;
    void Paint(classlib::TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
               bool disabledShadow) override;
    bool UsesSameWidth() override { return false; }
};

// The class reference of a viewer class V, for GetItemViewerClass.
template <class V>
std::unique_ptr<TBarItemViewer> NewItemViewer(TBarView* view, TBarCustomItem* item, int groupLevel) {
    return std::make_unique<V>(view, item, groupLevel);
}

}  // namespace toolbar
