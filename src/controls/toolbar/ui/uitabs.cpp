#include "controls/toolbar/ui/uitabs.h"

#include <algorithm>
#include <initializer_list>

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uipaint_p.h"
#include "controls/toolbar/ui/uitabset.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"

namespace ui {

using namespace classlib;
using namespace toolbar;
using namespace themed;

namespace {

// A 3-D frame of the plain and flat looks: the outer edge in light/dark, for the plain look a
// second one inside it.
void FrameTab(HDC dc, RECT r, TUiTabThemeType resolved, TColor brush) {
    if (resolved == tttFlat) {
        PaintEdgeLines(dc, r, clWindow, clBtnShadow, true);
        return;
    }
    PaintEdgeLines(dc, r, clWindow, clWindowFrame, true);
    PaintEdgeLines(dc, r, brush, clBtnShadow, true);
}

// Copies `source` (the size of `rect`) into `dest` at rect, upside down when `flip`.
void CopyBitmap(HDC dest, const RECT& rect, TBitmap& source, bool flip) {
    const int w = detail::Width(rect), h = detail::Height(rect);
    HDC src = source.Canvas().Handle();
    if (flip)
        StretchBlt(dest, rect.left, rect.top + h - 1, w, -h, src, 0, 0, w, h, SRCCOPY);
    else
        BitBlt(dest, rect.left, rect.top, w, h, src, 0, 0, SRCCOPY);
}

bool IsTabViewer(TBarItemViewer* v) { return v && dynamic_cast<TUiTabItem*>(v->Item()) != nullptr; }

}  // namespace

// --- painting -----------------------------------------------------------------------------------

bool ThemeDrawsTabsFlipped() {
    return ActiveThemeHasQuirk(uqFlippedTabs);
}

int ActiveTabReach(TUiTabThemeType themeType, bool bottom) {
    const TUiTabThemeType resolved = ResolveTabThemeType(themeType);
    if (bottom && resolved == tttNone) return 2;
    if (resolved == tttThm && ActiveThemeHasQuirk(uqDeepActiveTab)) return 2;
    return 1;
}

void PaintTab(TCanvas& canvas, const RECT& rect, bool enabled, bool checked, bool hotTrack, bool focused, bool bottom,
              TUiTabThemeType themeType, int edge) {
    const TUiTabThemeType resolved = ResolveTabThemeType(themeType);
    if ((resolved == tttNone && !checked) || IsRectEmpty(&rect)) return;
    const int w = detail::Width(rect), h = detail::Height(rect);
    TBitmap bitmap;
    bitmap.SetSize(w, h);
    HDC bdc = bitmap.Canvas().Handle();
    // What lies under the tab shows where the look leaves the bitmap unpainted.
    BitBlt(bdc, 0, 0, w, h, canvas.Handle(), rect.left, rect.top, SRCCOPY);
    const RECT local{0, 0, w, h};
    bool flip = bottom;
    const TColor brush = canvas.Brush().Color();
    switch (resolved) {
    case tttWindows: {
        const int part = edge == tabEdgeLeft ? 2 : edge == tabEdgeRight ? 3 : 1;
        const int state = !enabled ? 4 : checked ? 3 : hotTrack ? 2 : 1;
        detail::DrawStyle(bdc, UiThemeNexus().TabData(), part, state, local);
        break;
    }
    case tttThm:
        ActiveToolbarTheme().PaintItemButton(bitmap.Canvas(), local, FillButtonItemInfo(enabled, false, hotTrack, checked));
        flip = ThemeDrawsTabsFlipped();
        break;
    default:
        if (checked) {
            PaintRectFill(bdc, local, brush);
            FrameTab(bdc, local, resolved, brush);
        }
        flip = false;
        break;
    }
    if (checked && focused) {
        RECT focus = local;
        InflateRect(&focus, -3, -3);
        PaintFocusRect(bitmap.Canvas(), focus);
    }
    CopyBitmap(canvas.Handle(), rect, bitmap, flip);
}

void PaintTabBackground(TCanvas& canvas, const RECT& rect, TColor color, TUiTabThemeType themeType, bool bottom) {
    if (IsRectEmpty(&rect)) return;
    const TUiTabThemeType resolved = ResolveTabThemeType(themeType);
    const int w = detail::Width(rect), h = detail::Height(rect);
    TBitmap bitmap;
    bitmap.SetSize(w, h);
    HDC bdc = bitmap.Canvas().Handle();
    const RECT local{0, 0, w, h};
    switch (resolved) {
    case tttWindows:
        BitBlt(bdc, 0, 0, w, h, canvas.Handle(), rect.left, rect.top, SRCCOPY);
        detail::DrawStyle(bdc, UiThemeNexus().TabData(), 9, 0, local);
        break;
    case tttThm:
        PaintRectFill(bdc, local, clWhite);
        ActiveToolbarTheme().PaintItemButton(bitmap.Canvas(), local, FillButtonItemInfo(true, false, false, true));
        break;
    default:
        PaintRectFill(bdc, local, color);
        FrameTab(bdc, local, resolved, color);
        break;
    }
    CopyBitmap(canvas.Handle(), rect, bitmap, resolved == tttWindows && bottom);
}

// --- tab item -----------------------------------------------------------------------------------

TUiTabItem::TUiTabItem(TComponent* owner) : TUiCustomItem(owner) {
    SetDisplayMode(nbdmImageAndText);
    SetGroupIndex(7777);
    SetWrapping(twEndEllipsis);
    SetMargins(4);
}

void TUiTabItem::BeforeDestruction() {
    if (Parent()) Parent()->Remove(this);
    TUiCustomItem::BeforeDestruction();
}

TUiTabToolbar* TUiTabItem::TabToolbar() const {
    return Parent() ? dynamic_cast<TUiTabToolbar*>(Parent()->ParentComponent()) : nullptr;
}

TUiTabPosition TUiTabItem::TabPosition() {
    if (TUiTabToolbar* bar = TabToolbar()) FTabPosition = bar->TabPosition();
    return FTabPosition;
}

void TUiTabItem::SetTabPosition(TUiTabPosition value) {
    if (TabToolbar() || value == FTabPosition) return;
    FTabPosition = value;
    Change(false);
}

TUiTabThemeType TUiTabItem::ThemeType() {
    if (TUiTabToolbar* bar = TabToolbar()) FThemeType = bar->ThemeType();
    return FThemeType;
}

void TUiTabItem::SetThemeType(TUiTabThemeType value) {
    if (TabToolbar() || value == FThemeType) return;
    FThemeType = value;
    Change(false);
}

TColor TUiTabItem::TabColor() {
    TUiTabToolbar* bar = TabToolbar();
    return bar ? bar->TabColor() : clBtnFace;
}

void TUiTabItem::Click() {
    if (Checked() || !Enabled()) return;
    if (TUiTabToolbar* bar = TabToolbar()) {
        TUiCustomTabSet* set = bar->TabSet();
        if (!set || set->DoActiveTabChanging(bar->ActiveTabIndex(), bar->Items()->IndexOf(this))) SetChecked(true);
    }
    TUiCustomItem::Click();
}

void TUiTabItem::DoAdjustFont(TFont& font, int stateFlags) {
    TUiCustomItem::DoAdjustFont(font, stateFlags);
    if (!(stateFlags & dstDisabled) && ThemeType() != tttThm) font.SetColor(clBtnText);
}

void TUiTabItem::DrawTab(TCanvas& canvas, const RECT& rect, bool enabled, bool checked, bool hotTrack,
                         TUiTabPosition position, bool isSeparator, int edge) {
    if (!isSeparator) {
        const TColor saved = canvas.Brush().Color();
        canvas.Brush().SetColor(TabColor());
        TUiTabThemeType look = ThemeType();
        if (look == tttFlat && hotTrack && !checked) look = tttThm;
        PaintTab(canvas, rect, enabled, checked, hotTrack, false, position == ttpBottom, look, edge);
        canvas.Brush().SetColor(saved);
        return;
    }
    if (ThemeType() == tttThm && !ActiveThemeHasQuirk(uqSystemLook)) {
        TThmItemInfo info{};
        info.ViewKind = vkMenuBar;
        info.ItemFlags = ifToolbarStyle | ifDesigning | ifAppActive;
        info.Enabled = true;
        info.Vertical = true;
        ActiveToolbarTheme().PaintItemSeparator(canvas, RECT{0, rect.top + 3, 2 * (rect.right - 2), rect.bottom - 3},
                                                info, false, true);
        return;
    }
    const HDC dc = canvas.Handle();
    PaintLine(dc, rect.right - 2, rect.top + 3, rect.right - 2, rect.bottom - 3, clBtnShadow);
    PaintLine(dc, rect.right - 1, rect.top + 3, rect.right - 1, rect.bottom - 3, clBtnHighlight);
}

void TUiTabItem::DoDrawItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& info, TUiPaintStage stage,
                            bool& paintDefault) {
    TUiCustomItem::DoDrawItem(canvas, rect, info, stage, paintDefault);
    if (stage != pstPrePaint || !paintDefault) return;
    paintDefault = false;
    TUiTabToolbar* bar = TabToolbar();
    TBarItemViewer* self = nullptr;
    TBarItemViewer *previous = nullptr, *next = nullptr;
    bool firstViewer = true;
    if (bar) {
        TBarView* view = bar->View();
        const int count = view->ViewerCount();
        int index = -1;
        for (int i = 0; i < count && index < 0; ++i)
            if (view->Viewers(i)->Item() == this) index = i;
        if (index >= 0) {
            self = view->Viewers(index);
            for (int i = index - 1; i >= 0; --i)
                if (view->Viewers(i)->Show) {
                    previous = view->Viewers(i);
                    break;
                }
            for (int i = index + 1; i < count; ++i)
                if (view->Viewers(i)->Show) {
                    next = view->Viewers(i);
                    break;
                }
            firstViewer = previous == nullptr;
            if (!IsTabViewer(previous)) previous = nullptr;
            if (!IsTabViewer(next)) next = nullptr;
        }
    }
    (void)self;
    const TUiTabPosition position = TabPosition();
    const bool bottom = position == ttpBottom;
    const bool checked = Checked();
    const bool hot = info.HotState == hsSelected;
    const int edge = !previous ? tabEdgeLeft : !next ? tabEdgeRight : tabEdgeMiddle;
    RECT r = rect;
    (bottom ? r.top : r.bottom) += bottom ? -1 : 1;
    const TUiTabThemeType resolved = ResolveTabThemeType(ThemeType());
    if (resolved == tttWindows) {
        const RECT full = r;
        if (checked) {
            if (previous || firstViewer) r.left -= 2;
            if (next) r.right += 2;
        } else {
            (bottom ? r.bottom : r.top) += bottom ? -2 : 2;
        }
        DrawTab(canvas, r, info.Enabled, checked, hot, position, false, edge);
        if (!checked) {
            // The active neighbour's edge reaches over this tab.
            if (previous && previous->Item()->Checked())
                DrawTab(canvas, RECT{full.left - 8, full.top, full.left + 2, full.bottom}, previous->Item()->Enabled(),
                        true, false, position, false, tabEdgeMiddle);
            if (next && next->Item()->Checked())
                DrawTab(canvas, RECT{full.right - 2, full.top, full.right + 8, full.bottom}, next->Item()->Enabled(),
                        true, false, position, false, tabEdgeMiddle);
        }
        return;
    }
    const bool plainInactive = !checked && (!hot || resolved == tttNone ||
                                            (resolved == tttFlat && ActiveThemeHasQuirk(uqSystemLook)));
    if (plainInactive) {
        if (next && !next->Item()->Checked()) DrawTab(canvas, r, info.Enabled, false, hot, position, true, edge);
        return;
    }
    (bottom ? r.top : r.bottom) += bottom ? -5 : 5;
    DrawTab(canvas, r, info.Enabled, checked, hot, position, false, edge);
}

void TUiTabItem::DoDrawCaption(TCanvas& canvas, const RECT& clientAreaRect, TUiPaintStage stage, std::wstring& caption,
                               RECT& captionRect, UINT& format, bool isTextRotated, bool& paintDefault) {
    if (stage == pstPrePaint) {
        if (!Checked()) OffsetRect(&captionRect, 0, TabPosition() == ttpBottom ? -2 : 2);
        if (TUiTabToolbar* bar = TabToolbar(); bar && ActiveThemeHasQuirk(uqSystemLook)) {
            TBarItemViewer* selected = bar->View()->Selected();
            if (selected && selected->Item() == this) OffsetRect(&captionRect, -1, -1);
        }
    }
    TUiCustomItem::DoDrawCaption(canvas, clientAreaRect, stage, caption, captionRect, format, isTextRotated,
                                 paintDefault);
}

void TUiTabItem::DoDrawImage(TCanvas& canvas, const TThmItemInfo& info, TUiPaintStage stage, TImageList*& images,
                             int& imageIndex, RECT& rect, bool& paintDefault) {
    if (stage == pstPrePaint && !Checked()) OffsetRect(&rect, 0, TabPosition() == ttpBottom ? -2 : 2);
    TUiCustomItem::DoDrawImage(canvas, info, stage, images, imageIndex, rect, paintDefault);
}

// --- tab toolbar --------------------------------------------------------------------------------

TUiTabItemDragObject::TUiTabItemDragObject(TUiToolbar* sourceToolbar, TBarCustomItem* item)
    : TUiCustomDragObject(sourceToolbar, item) {
    AcceptedCursor = crDefault;
    RefusedCursor = crDefault;
}

TUiTabToolbar::TUiTabToolbar(TComponent* owner) : TUiToolbar(owner) {
    FTabSet = dynamic_cast<TUiCustomTabSet*>(owner);
}

TUiTabToolbar::~TUiTabToolbar() = default;

void TUiTabToolbar::SetTabSet(TUiCustomTabSet* value) { FTabSet = value; }

bool TUiTabToolbar::Vertical() const { return View()->Orientation() == tbvoVertical; }

void TUiTabToolbar::RedrawFrame() {
    if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE);
}

void TUiTabToolbar::SetThemeType(TUiTabThemeType value) {
    FThemeType = value;
    Invalidate();
    RedrawFrame();
}

void TUiTabToolbar::SetTabAutofit(bool value) {
    FTabAutofit = value;
    if (value) {
        AutofitTabs();
        RedrawFrame();
    }
}

void TUiTabToolbar::SetTabAutofitMaxSize(int value) {
    FTabAutofitMaxSize = value;
    if (FTabAutofit) AutofitTabs();
}

void TUiTabToolbar::SetTabColor(TColor value) {
    FTabColor = value;
    if (FThemeType != tttThm) {
        Invalidate();
        RedrawFrame();
    }
}

TUiTabItem* TUiTabToolbar::ActiveTab() const {
    if (FActiveTabIndex < 0 || FActiveTabIndex >= Items()->Count()) return nullptr;
    auto* tab = dynamic_cast<TUiTabItem*>(Items()->GetItem(FActiveTabIndex));
    if (!tab || !tab->Parent() || (tab->ComponentState() & csDestroying)) return nullptr;
    return tab;
}

void TUiTabToolbar::SetActiveTabIndex(int value) {
    if (!FTabSet) return;
    if (value < 0 || value >= Items()->Count() || (Items()->GetItem(value)->ComponentState() & csDestroying))
        value = -1;
    else if (!dynamic_cast<TUiTabItem*>(Items()->GetItem(value)))
        value = FActiveTabIndex;
    if (value == FActiveTabIndex) return;
    if (!FTabSet->DoActiveTabChanging(FActiveTabIndex, value)) return;
    TUiTabItem* old = ActiveTab();
    FActiveTabIndex = value;
    if (old) {
        old->SetChecked(false);
        if (TControl* sheet = old->Control()) sheet->SetVisible(false);
    }
    if (TUiTabItem* tab = ActiveTab()) {
        tab->SetChecked(true);
        if (TControl* sheet = tab->Control()) {
            sheet->SetVisible(true);
            sheet->BringToFront();
        }
        MakeTabVisible(tab);
    }
    FTabSet->DoActiveTabChange(value);
    RedrawFrame();
}

// --- hiding, fitting and scrolling --------------------------------------------------------------

int TUiTabToolbar::SpacerViewerIndex() const {
    TBarView* view = View();
    for (int i = 0; i < view->ViewerCount(); ++i)
        if (view->Viewers(i)->Show && dynamic_cast<TUiRightAlignSpacerItem*>(view->Viewers(i)->Item())) return i;
    return -1;
}

int TUiTabToolbar::FirstSelectableIndex() const {
    TBarView* view = View();
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->Viewers(i);
        if (v->Show && v->Item()->Visible() && (v->Item()->ItemStyle() & tbstSelectable)) return i;
    }
    return -1;
}

int TUiTabToolbar::LastSelectableBeforeSpacer() const {
    TBarView* view = View();
    const int spacer = SpacerViewerIndex();
    for (int i = (spacer >= 0 ? spacer : view->ViewerCount()) - 1; i >= 0; --i) {
        TBarItemViewer* v = view->Viewers(i);
        if (v->Show && v->Item()->Visible() && (v->Item()->ItemStyle() & tbstSelectable)) return i;
    }
    return -1;
}

void TUiTabToolbar::HideViewer(TBarItemViewer* viewer) {
    FHiddenTabs.AddItem(viewer->Item(), viewer->BoundsRect);
    viewer->Item()->SetVisible(false);
}

void TUiTabToolbar::ShowCached(int cacheIndex) {
    TBarCustomItem* item = FHiddenTabs.Items(cacheIndex).Item;
    FHiddenTabs.Delete(cacheIndex);
    if (item) item->SetVisible(true);
}

void TUiTabToolbar::RightAlignItems() {
    TBarDock* dock = CurrentDock();
    if (FFitting || (ComponentState() & csDestroying) || !dock || (dock->Width() == 0 && dock->Height() == 0) ||
        Items()->Count() == 0 || !Stretch() || ShrinkMode() != tbsmNone)
        return;
    if (FTabAutofit) {
        AutofitTabs();
        return;
    }
    TBarView* view = View();
    TUiLayoutStep step(FFitting, view);
    const bool vertical = Vertical();
    auto extent = [vertical](TBarItemViewer* v) {
        return vertical ? detail::Height(v->BoundsRect) : detail::Width(v->BoundsRect);
    };
    auto farEdge = [vertical](TBarItemViewer* v) { return vertical ? v->BoundsRect.bottom : v->BoundsRect.right; };
    const int dockLength = DockLength();
    const int spacerIndex = SpacerViewerIndex();
    int apart = 0, total = 0;
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->Viewers(i);
        if (!v->Show) continue;
        total += extent(v);
        if (spacerIndex >= 0 && i >= spacerIndex) apart += extent(v);
    }
    TUiRightAlignSpacerItem* spacer = nullptr;
    int limit = dockLength - 8, spacerWidth = 0;
    if (spacerIndex >= 0) {
        spacer = static_cast<TUiRightAlignSpacerItem*>(view->Viewers(spacerIndex)->Item());
        const int w = extent(view->Viewers(spacerIndex));
        limit = dockLength + w - apart - 8;
        spacerWidth = dockLength + w - total - 4;
        total -= w;
    }
    // Hidden tabs come back in order while they fit.
    const int first = FirstSelectableIndex();
    const int end = spacerIndex >= 0 ? spacerIndex : view->ViewerCount();
    for (int i = std::max(LastSelectableBeforeSpacer(), 0); i < end; ++i) {
        if (i == first) continue;
        const int cached = FHiddenTabs.IndexOf(view->Viewers(i)->Item());
        if (cached < 0) continue;
        const int width = vertical ? FHiddenTabs.Items(cached).Height : FHiddenTabs.Items(cached).Width;
        total += width;
        if (total >= dockLength - 8) break;
        spacerWidth -= width;
        ShowCached(cached);
    }
    // Shown items past the limit are hidden, last first; never the first one.
    for (int i = end - 1; i >= 0; --i) {
        TBarItemViewer* v = view->Viewers(i);
        if (!v->Show || !v->Item()->Visible() || i == first || farEdge(v) <= limit) continue;
        spacerWidth += extent(v);
        HideViewer(v);
    }
    if (spacer) spacer->SetCustomWidth(std::max(0, spacerWidth));
}

void TUiTabToolbar::AutofitTabs() {
    if (!FTabAutofit || FFitting || Items()->Count() == 0) return;
    FFitting = true;
    auto done = ScopeExit([this] { FFitting = false; });
    while (FHiddenTabs.Count() > 0) ShowCached(FHiddenTabs.Count() - 1);
    TBarView* view = View();
    view->EnsurePositionsValid();
    view->BeginUpdate();
    auto endUpdate = ScopeExit([view] { view->EndUpdate(); });
    int tabs = 0, spacers = 0, others = 0;
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarItemViewer* v = view->Viewers(i);
        if (!v->Item()->Visible()) continue;
        if (dynamic_cast<TUiTabItem*>(v->Item()))
            ++tabs;
        else if (dynamic_cast<TUiRightAlignSpacerItem*>(v->Item()))
            ++spacers;
        else if (v->Show)
            others += Vertical() ? detail::Height(v->BoundsRect) : detail::Width(v->BoundsRect);
    }
    // Without a visible tab there is nothing to share the room among.
    if (tabs == 0) return;
    const int dockLength = DockLength();
    const int width = std::max(0, std::min((dockLength - others - 20 * spacers - 4) / tabs, FTabAutofitMaxSize));
    for (int i = 0; i < view->ViewerCount(); ++i) {
        TBarCustomItem* item = view->Viewers(i)->Item();
        if (!item->Visible()) continue;
        if (auto* tab = dynamic_cast<TUiTabItem*>(item))
            tab->SetCustomWidth(width);
        else if (auto* spacer = dynamic_cast<TUiRightAlignSpacerItem*>(item))
            spacer->SetCustomWidth(std::max(0, dockLength - others - tabs * width - GetRightAlignMargin()));
    }
}

void TUiTabToolbar::AfterScroll() {
    if (SpacerViewerIndex() >= 0)
        RightAlignItems();
    else
        RedrawFrame();
}

void TUiTabToolbar::ScrollTabsLeft() {
    if (Items()->Count() < 2 || FTabAutofit) return;
    {
        TBarView* view = View();
        TUiLayoutStep step(FFitting, view);
        const int first = FirstSelectableIndex();
        bool shown = false;
        for (int i = (first >= 0 ? first : view->ViewerCount()) - 1; i >= 0 && !shown; --i) {
            const int cached = FHiddenTabs.IndexOf(view->Viewers(i)->Item());
            if (cached >= 0) {
                ShowCached(cached);
                shown = true;
            }
        }
        const int last = LastSelectableBeforeSpacer();
        if (shown && last >= 0 && last != first) HideViewer(view->Viewers(last));
    }
    AfterScroll();
}

void TUiTabToolbar::ScrollTabsRight() {
    if (Items()->Count() < 2 || FTabAutofit) return;
    {
        TBarView* view = View();
        TUiLayoutStep step(FFitting, view);
        const int first = FirstSelectableIndex();
        const int last = LastSelectableBeforeSpacer();
        const int spacer = SpacerViewerIndex();
        bool shown = false;
        for (int i = last + 1; i < (spacer >= 0 ? spacer : view->ViewerCount()) && !shown; ++i) {
            const int cached = FHiddenTabs.IndexOf(view->Viewers(i)->Item());
            if (cached >= 0) {
                ShowCached(cached);
                shown = true;
            }
        }
        if (shown && first >= 0 && first != last) HideViewer(view->Viewers(first));
    }
    AfterScroll();
}

void TUiTabToolbar::MakeTabVisible(TUiTabItem* tab) {
    if (!tab || tab->Visible() || Items()->Count() < 2) return;
    const bool after = Items()->IndexOf(tab) > [&] {
        const int first = FirstSelectableIndex();
        return first >= 0 ? Items()->IndexOf(View()->Viewers(first)->Item()) : -1;
    }();
    for (int tries = View()->ViewerCount(); tries > 0 && !tab->Visible(); --tries) after ? ScrollTabsRight() : ScrollTabsLeft();
}

// --- mouse and dragging -------------------------------------------------------------------------

bool TUiTabToolbar::DoCustomizeMouseDown(TMouseButton button, TShiftState, int x, int y) {
    SetDragViewer(nullptr);
    if (button != mbLeft) return false;
    TBarItemViewer* viewer = View()->ViewerAtPoint(POINT{x, y});
    auto* tab = viewer ? dynamic_cast<TUiTabItem*>(viewer->Item()) : nullptr;
    if (!tab || !tab->Enabled()) return false;
    if (!tab->Checked()) {
        tab->Click();
        return true;
    }
    if (!FTabDragReorder) return false;
    SetDragViewer(viewer);
    BeginDrag(false, 2);
    return true;
}

void TUiTabToolbar::DoStartDrag() {
    TUiToolbar::DoStartDrag();
    if (FTabDragReorder && DragViewer())
        FDragObject = std::make_unique<TUiTabItemDragObject>(this, DragViewer()->Item());
}

void TUiTabToolbar::DoEndDrag(TComponent* target, int x, int y) {
    FDragObject.reset();
    SetDragViewer(nullptr);
    TUiToolbar::DoEndDrag(target, x, y);
}

int TUiTabToolbar::GetTabDropIndex(POINT point) {
    TBarItemViewer* dragged = DragViewer();
    if (!dragged) return -1;
    const int draggedIndex = Items()->IndexOf(dragged->Item());
    TBarItemViewer* viewer = ViewerAtPointForDrop(Items(), View(), point);
    if (!viewer || viewer == dragged) return -1;
    int target = Items()->IndexOf(viewer->Item());
    if (target < 0) return -1;
    const RECT& r = viewer->BoundsRect;
    const bool pastMiddle = Vertical() ? point.y > (r.top + r.bottom) / 2 : point.x > (r.left + r.right) / 2;
    if (pastMiddle) {
        if (target != draggedIndex + 1) ++target;
    } else if (target == draggedIndex + 1) {
        --target;
    }
    if (target == draggedIndex || target < 0 || target >= Items()->Count()) return -1;
    for (int i = 0; i < Items()->Count() && i <= target; ++i)
        if (dynamic_cast<TUiRightAlignSpacerItem*>(Items()->GetItem(i))) return -1;
    return target;
}

bool TUiTabToolbar::MoveDraggedTab(int index) {
    TBarItemViewer* dragged = DragViewer();
    if (!dragged || index < 0) return false;
    const int from = Items()->IndexOf(dragged->Item());
    if (FTabSet && !FTabSet->DoActiveTabReordering(from, index)) return false;
    {
        BeginItemLock();
        auto unlock = ScopeExit([this] { EndItemLock(); });
        View()->BeginUpdate();
        auto endUpdate = ScopeExit([this] { View()->EndUpdate(); });
        TBarCustomItem* item = dragged->Item();
        FActiveTabIndex = index;
        Items()->Move(from, index);
        // The view made new viewers for the moved item: follow it.
        for (int i = 0; i < View()->ViewerCount(); ++i)
            if (View()->Viewers(i)->Item() == item) SetDragViewer(View()->Viewers(i));
        if (FTabSet) FTabSet->DoActiveTabReorder(index);
    }
    RedrawFrame();
    return true;
}

void TUiTabToolbar::DragOver(TComponent* source, int x, int y, int state, bool& accept) {
    TUiToolbar::DragOver(source, x, y, state, accept);
    if (!FTabDragReorder || source != this || !DragViewer() || DragViewer()->Item()->Parent() != Items()) return;
    accept = true;
    MoveDraggedTab(GetTabDropIndex(POINT{x, y}));
}

void TUiTabToolbar::ToolbarItemNotification(TBarCustomItem* ancestor, bool relayed, TBarItemChangedAction action,
                                            int index, TBarCustomItem* item) {
    TUiToolbar::ToolbarItemNotification(ancestor, relayed, action, index, item);
    if (action == tbicDeleting) FHiddenTabs.Delete(FHiddenTabs.IndexOf(item));
    if (!FFitting && !IsItemLocked() && action == tbicInvalidateAndResize) RedrawFrame();
}

// --- the page border ----------------------------------------------------------------------------

void TUiTabToolbar::DrawActiveTabOverlay(HDC dc, RECT rect) {
    TUiTabItem* tab = ActiveTab();
    if (!tab) return;
    const bool bottom = FTabPosition == ttpBottom;
    const int reach = ActiveTabReach(FThemeType, bottom);
    (bottom ? rect.top : rect.bottom) += bottom ? -reach : reach;
    TBarItemViewer* viewer = nullptr;
    for (int i = 0; i < View()->ViewerCount(); ++i)
        if (View()->Viewers(i)->Item() == tab) viewer = View()->Viewers(i);
    if (ResolveTabThemeType(FThemeType) == tttWindows && viewer) {
        const int index = View()->IndexOfViewer(viewer);
        const bool first = FirstSelectableIndex() == index;
        bool previous = false, next = false;
        for (int i = index - 1; i >= 0 && !previous; --i) previous = View()->Viewers(i)->Show && IsTabViewer(View()->Viewers(i));
        for (int i = index + 1; i < View()->ViewerCount() && !next; ++i) next = View()->Viewers(i)->Show && IsTabViewer(View()->Viewers(i));
        if (previous || first) rect.left -= 2;
        if (next) rect.right += 2;
    }
    const int w = detail::Width(rect), h = detail::Height(rect);
    if (w <= 0 || h <= 0) return;
    TBitmap bitmap;
    bitmap.SetSize(w, h + 4);
    BitBlt(bitmap.Canvas().Handle(), 0, 0, w, h + 4, dc, rect.left, rect.top - (bottom ? 2 : 0), SRCCOPY);
    bitmap.Canvas().Brush().SetColor(FTabColor);
    PaintTab(bitmap.Canvas(), RECT{0, 0, w, h + 4}, tab->Enabled(), true, false, false, bottom, FThemeType,
             tabEdgeMiddle);
    BitBlt(dc, rect.left, rect.top, w, h, bitmap.Canvas().Handle(), 0, bottom ? 2 : 0, SRCCOPY);
}

void TUiTabToolbar::DrawNCArea(bool drawToDC, HDC dc, HRGN region) {
    TUiToolbar::DrawNCArea(drawToDC, dc, region);
    if ((ComponentState() & csDestroying) || !CurrentDock() || !HandleAllocated() || !FTabSet) return;
    TUiNCPaintDC paint(*this, drawToDC, dc);
    const HDC target = paint.DC();
    const int w = detail::Width(paint.Window()), h = detail::Height(paint.Window());
    const RECT& client = paint.Client();
    const POINT offset{client.left, client.top};
    if (!drawToDC) ExcludeClipRect(target, client.left, client.top, client.right, client.bottom);
    const bool bottom = FTabPosition == ttpBottom;
    const RECT strip = bottom ? RECT{0, -4, w, 2} : RECT{0, h - 2, w, h + 4};
    TBitmap bitmap;
    bitmap.SetSize(w, 6);
    TCanvas& canvas = bitmap.Canvas();
    const RECT local{0, 0, w, 6};
    bool paintDefault = true;
    FTabSet->DoDrawBackground(canvas, local, pstPrePaint, paintDefault);
    if (paintDefault) PaintTabBackground(canvas, local, FTabColor, FThemeType, bottom);
    FTabSet->DoDrawBackground(canvas, local, pstPostPaint, paintDefault);
    BitBlt(target, strip.left, strip.top, w, 6, canvas.Handle(), 0, 0, SRCCOPY);
    if (TUiTabItem* tab = ActiveTab(); tab && tab->Visible()) {
        for (int i = 0; i < View()->ViewerCount(); ++i) {
            TBarItemViewer* v = View()->Viewers(i);
            if (v->Item() != tab || !v->Show) continue;
            RECT r = v->BoundsRect;
            OffsetRect(&r, offset.x, offset.y);
            DrawActiveTabOverlay(target, r);
            break;
        }
    }
}

}  // namespace ui
