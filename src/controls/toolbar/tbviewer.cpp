#include "controls/toolbar/tbviewer.h"

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "controls/toolbar/tbacc.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbview.h"

#include <algorithm>

namespace toolbar {

using namespace classlib;

namespace {

// Width of the arrow part of a split button in a menu.
int MenuArrowPartWidth() { return GetSystemMetrics(SM_CXMENUCHECK); }

void Edge(TCanvas& canvas, RECT r, UINT edge, UINT flags) { DrawEdge(canvas.Handle(), &r, edge, flags); }

}  // namespace

TBarItemViewer::TBarItemViewer(TBarView* view, TBarCustomItem* item, int groupLevel)
    : FView(view), FItem(item), FGroupLevel(groupLevel) {}

TBarItemViewer::~TBarItemViewer() {
    ForgetQueuedObject(this);
    if (AccObject) AccObject->DetachClient();
}

// --- questions ---------------------------------------------------------------------------

std::wstring TBarItemViewer::GetCaptionText() {
    const std::wstring& c = FItem->Caption();
    const size_t tab = c.find(L'\t');
    return tab == std::wstring::npos ? c : c.substr(0, tab);
}

bool TBarItemViewer::UsesToolbarSize() {
    return FView->IsToolbar() || (FItem->EffectiveOptions() & tboToolbarSize);
}

bool TBarItemViewer::UsesToolbarStyle() {
    return FView->IsToolbar() || (FItem->EffectiveOptions() & tboToolbarStyle);
}

bool TBarItemViewer::UsesSameWidth() {
    const TBarItemOptions o = FItem->EffectiveOptions();
    return (o & tboImageAboveCaption) && (o & tboSameWidth) && UsesToolbarSize();
}

bool TBarItemViewer::ShowsCaption() {
    if (FItem->EffectiveOptions() & tboImageAboveCaption) return true;
    if (GetCaptionText().empty()) return false;
    const TBarItemDisplayMode m = FItem->DisplayMode();
    return !UsesToolbarSize() || FItem->ImageIndex() < 0 || m == nbdmTextOnly || m == nbdmImageAndText;
}

bool TBarItemViewer::ShowsImage() {
    if (FItem->ImageIndex() < 0) return false;
    const TBarItemDisplayMode m = FItem->DisplayMode();
    return m == nbdmDefault || m == nbdmImageAndText || (UsesToolbarStyle() && m == nbdmTextOnlyInMenus);
}

TImageList* TBarItemViewer::FindImageList() {
    if (TImageList* own = FItem->Images()) return own;
    for (TBarView* v = FView; v; v = v->ParentView()) {
        if (v->ShownItemLevel() && v->ShownItemLevel()->SubMenuImages()) return v->ShownItemLevel()->SubMenuImages();
        if (v->ParentItem() && v->ParentItem()->SubMenuImages()) return v->ParentItem()->SubMenuImages();
    }
    return nullptr;
}

bool TBarItemViewer::DrawsRotated() {
    return FView->Orientation() == tbvoVertical &&
           !(FItem->EffectiveOptions() & (tboNoRotation | tboImageAboveCaption));
}

bool TBarItemViewer::PointInButtonPart(int x, int) {
    if (FItem->ItemStyle() & tbstSplitButton) {
        const int arrow = UsesToolbarStyle() ? SplitArrowWidth : MenuArrowPartWidth();
        return x < (BoundsRect.right - BoundsRect.left) - arrow;
    }
    return !(FItem->ItemStyle() & tbstSubmenu);
}

int TBarItemViewer::GetIndex() const { return FView->IndexOfViewer(this); }

POINT TBarItemViewer::ScreenToViewer(POINT screen) const {
    POINT p = screen;
    if (FView->Window()) p = FView->Window()->ScreenToClient(screen);
    return {p.x - BoundsRect.left, p.y - BoundsRect.top};
}

bool TBarItemViewer::IsPopupOrMenuBarView() const {
    return FView->IsPopup() || (FView->Style() & tbvstMenuBar);
}

int TBarItemViewer::GetAccessibleRole() {
    if (dynamic_cast<TBarControlItem*>(FItem)) return RoleClient;
    if (FItem->ItemStyle() & tbstSeparator) return RoleSeparator;
    if (IsPopupOrMenuBarView()) return RoleMenuItem;
    if (FItem->ItemStyle() & tbstSubmenu) return RoleButtonMenu;
    return RolePushButton;
}

bool TBarItemViewer::GetAccessibleValue(std::wstring&) { return false; }

std::wstring TBarItemViewer::BuildHint() {
    std::wstring hint = GetShortHint(FItem->Hint());
    const TBarItemStyle style = FItem->ItemStyle();
    const bool plainSubmenuCaption = (style & tbstSubmenu) && !(style & tbstSplitButton) && ShowsCaption();
    if (hint.empty() && !(FItem->EffectiveOptions() & tboNoAutoHint) && !plainSubmenuCaption)
        hint = RemoveAccelMarks(TrimCaptionSuffix(GetCaptionText()));
    // The item's action may reword the hint, or refuse to show one.
    if (auto* action = dynamic_cast<TCustomAction*>(FItem->Action()); action && !action->DoHint(hint)) hint.clear();
    if (!hint.empty() && Application && Application->HintShortCuts) {
        const std::wstring shortcut = FItem->GetShortCutText();
        if (!shortcut.empty()) hint += L" (" + shortcut + L")";
    }
    return hint;
}

// --- size --------------------------------------------------------------------------------

void TBarItemViewer::CalcSize(TCanvas& canvas, int& width, int& height) {
    const bool toolbar = UsesToolbarStyle();
    TImageList* images = FindImageList();
    canvas.PrepareText();
    const HDC dc = canvas.Handle();
    TEXTMETRICW tm{};
    GetTextMetricsW(dc, &tm);
    const int textHeight = tm.tmHeight;
    const bool rotated = DrawsRotated();
    const std::wstring caption = GetCaptionText();

    width = height = toolbar ? 6 : 0;
    if (!toolbar || ShowsCaption()) {
        if (rotated) {
            TGdiObject<HFONT> vertical(CreateVerticalFont(dc));
            TSelectedObject selected(dc, vertical.Handle());
            width += textHeight;
            height += MeasureTextWidth(dc, caption, true) + (toolbar ? 6 : 0);
        } else {
            height += textHeight;
            width += MeasureTextWidth(dc, caption, true) + (toolbar ? 6 : 0);
        }
    }
    if (toolbar) {
        if (ShowsImage() && images) {
            if (rotated || (FItem->EffectiveOptions() & tboImageAboveCaption)) {
                height += images->Height();
                width = std::max(width, images->Width() + 7);
            } else {
                width += images->Width() + 1;
                height = std::max(height, images->Height() + 6);
            }
        }
        if (FItem->ItemStyle() & tbstSubmenu) {
            if (FItem->ItemStyle() & tbstSplitButton)
                width += SplitArrowWidth;
            else if (FItem->EffectiveOptions() & tboDropdownArrow)
                (FView->Orientation() == tbvoVertical ? height : width) += 8;
        }
        return;
    }
    height = textHeight + tm.tmExternalLeading + 4;
    int column;
    if (images) {
        height = std::max(height, images->Height() + 3);
        column = MulDiv(images->Width() + 3, height, images->Height() + 3);
    } else {
        column = height;
    }
    width += column + 6;
    const std::wstring shortcut = FItem->GetShortCutText();
    if (!shortcut.empty()) width += MeasureTextWidth(dc, shortcut, true) + height - 6;
    width += height;  // room for the sub-menu arrow
}

// --- input -------------------------------------------------------------------------------

void TBarItemViewer::MouseDown(TShiftState shift, int x, int y, bool& mouseDownOnMenu) {
    TBarView* view = FView;
    const bool topToolbar = view->IsToolbar() && !view->ParentView();
    if (!FItem->Enabled()) {
        if (topToolbar) view->EndModal();
        return;
    }
    if (!PointInButtonPart(x, y)) {
        const bool wasOpen = view->OpenViewer() == this;
        if (!view->OpenChildPopup(false)) return;
        if (wasOpen && topToolbar) mouseDownOnMenu = true;
        if ((shift & ssDouble) && !(FItem->ItemStyle() & tbstSplitButton))
            if (TBarView* open = view->OpenView())
                for (int i = 0; i < open->ViewerCount(); ++i) {
                    TBarItemViewer* v = open->Viewers(i);
                    TBarCustomItem* it = v->Item();
                    if ((it->EffectiveOptions() & tboDefault) && (it->ItemStyle() & tbstSelectable) && it->Enabled() &&
                        it->Visible()) {
                        v->Execute(true);
                        break;
                    }
                }
        return;
    }
    if (UsesToolbarStyle()) {
        view->CancelChildPopups();
        view->SetCapture();
        view->InvalidateViewer(this);
    }
}

void TBarItemViewer::MouseMove(int, int) {}

void TBarItemViewer::MouseUp(int x, int y, bool mouseWasDownOnMenu) {
    TBarView* view = FView;
    const bool wasPushed = view->MouseTracking() && view->MouseOverSelected();
    view->CancelCapture();
    const bool topToolbar = view->IsToolbar() && !view->ParentView();
    if (view->Selected() == this && view->MouseOverSelected() && FItem->Enabled() &&
        !(FItem->ItemStyle() & tbstClicksTransparent)) {
        if ((FItem->ItemStyle() & tbstSubmenu) && !PointInButtonPart(x, y)) {
            if (mouseWasDownOnMenu && topToolbar) view->EndModal();
        } else if (wasPushed || !UsesToolbarStyle()) {
            Execute(true);
        }
        return;
    }
    if (topToolbar) view->EndModal();
}

void TBarItemViewer::MouseWheel(int, int, int, bool&) {}

void TBarItemViewer::KeyDown(WORD&, TShiftState) {}

void TBarItemViewer::QueryCursor(POINT, HCURSOR&) {}

void TBarItemViewer::CaptureLost() { FView->InvalidateViewer(this); }

void TBarItemViewer::NotifyEntering(TBarItemViewer*) {
    if (FItem->OnSelect) FItem->OnSelect(FItem, this, true);
}

void TBarItemViewer::NotifyLeaving() {
    if (FItem->OnSelect) FItem->OnSelect(FItem, this, false);
}

// --- executing ---------------------------------------------------------------------------

bool TBarItemViewer::RequestExecute() {
    FView->EndModalWithClick(this);
    return true;
}

void TBarItemViewer::Execute(bool givePriority) {
    if (RequestExecute() && givePriority) FView->GivePriority(this);
}

void TBarItemViewer::AccessibleSelect(bool execute) { PerformAccessibleAction(this, execute); }

void TBarItemViewer::PostAccessibleSelect(bool execute) { QueueDeferredClick(this, execute ? 1 : 0); }

void TBarItemViewer::DeferredClick(WPARAM argument) { AccessibleSelect(argument != 0); }

// --- painting ----------------------------------------------------------------------------

UINT TBarItemViewer::CaptionFormat() {
    UINT format = DT_SINGLELINE | DT_VCENTER;
    if (UsesToolbarStyle()) format |= DT_CENTER;
    if (!KeyboardCuesShown() && (FView->Style() & tbvstHiddenAccels) && !(FView->State() & tbvsAccelsShown))
        format |= DT_HIDEPREFIX;
    return format;
}

void TBarItemViewer::DrawCaptionText(TCanvas& canvas, RECT rect, UINT format, bool disabledShadow,
                                     const std::wstring& text) {
    const bool rotated = DrawsRotated();
    auto draw = [&](RECT r) {
        if (rotated) {
            canvas.PrepareText();
            DrawVerticalText(canvas.Handle(), text, r, format);
        } else {
            canvas.DrawText(text, r, format);
        }
    };
    canvas.Brush().SetStyle(bsClear);
    if (disabledShadow) {
        const TColor color = canvas.Font().Color();
        canvas.Font().SetColor(clBtnHighlight);
        RECT shadow = rect;
        OffsetRect(&shadow, 1, 1);
        draw(shadow);
        canvas.Font().SetColor(clBtnShadow);
        draw(rect);
        canvas.Font().SetColor(color);
    } else {
        draw(rect);
    }
}

// A small filled triangle: pointing down (vertical) or right, centred in `area`.
void TBarItemViewer::DrawArrow(TCanvas& canvas, const RECT& area, bool vertical, COLORREF color) {
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    POINT p[3];
    if (vertical) {
        p[0] = {cx - 2, cy - 1};
        p[1] = {cx + 2, cy - 1};
        p[2] = {cx, cy + 1};
    } else {
        p[0] = {cx - 1, cy - 3};
        p[1] = {cx - 1, cy + 3};
        p[2] = {cx + 2, cy};
    }
    TGdiObject<HBRUSH> brush(CreateSolidBrush(color));
    TGdiObject<HPEN> pen(CreatePen(PS_SOLID, 1, color));
    const HDC dc = canvas.Handle();
    TSelectedObject b(dc, brush.Handle()), q(dc, pen.Handle());
    ::Polygon(dc, p, 3);
}

void TBarItemViewer::DrawImage(TCanvas& canvas, const RECT& area, bool enabled) {
    TImageList* images = FindImageList();
    if (!images || FItem->ImageIndex() < 0 || FItem->ImageIndex() >= images->Count()) return;
    const int x = area.left + (area.right - area.left - images->Width()) / 2;
    const int y = area.top + (area.bottom - area.top - images->Height()) / 2;
    images->Draw(canvas, x, y, FItem->ImageIndex(), enabled);
}

void TBarItemViewer::PaintToolbarStyle(TCanvas& canvas, const RECT& rect, bool selected, bool pushed,
                                       bool disabledShadow, UINT format) {
    const TBarItemStyle style = FItem->ItemStyle();
    const bool enabled = FItem->Enabled();
    const bool checked = FItem->Checked();
    const bool split = style & tbstSplitButton;
    const bool dropDown = !split && (style & tbstSubmenu) && (FItem->EffectiveOptions() & tboDropdownArrow);
    const bool vertical = FView->Orientation() == tbvoVertical;
    RECT button = rect, arrow{};
    if (split) {
        button.right = rect.right - SplitArrowWidth;
        arrow = {rect.right - SplitArrowWidth, rect.top, rect.right, rect.bottom};
    } else if (dropDown) {
        if (vertical) {
            arrow = {rect.left, rect.bottom - 11, rect.right, rect.bottom - 3};
            button.bottom = arrow.top;
        } else {
            arrow = {rect.right - 11, rect.top, rect.right - 3, rect.bottom};
            button.right = arrow.left;
        }
    }
    const bool arrowOpen = FView->OpenViewer() == this;
    if ((selected && enabled) || checked) {
        const RECT frame = split ? button : rect;
        Edge(canvas, frame, (pushed && !(split && arrowOpen)) || checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
        if (split) Edge(canvas, arrow, arrowOpen ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT);
    }
    if (checked && !selected) {
        RECT inner = split ? button : rect;
        InflateRect(&inner, -1, -1);
        FillRect(canvas.Handle(), &inner, AllocPatternBrush(clBtnFace, clBtnHighlight));
    }
    RECT content = button;
    if (pushed || checked) OffsetRect(&content, 1, 1);
    const std::wstring caption = GetCaptionText();
    const bool image = ShowsImage() && FindImageList();
    if (image) {
        TImageList* images = FindImageList();
        RECT area = content;
        if (DrawsRotated() || (FItem->EffectiveOptions() & tboImageAboveCaption)) {
            area.top += 3;
            area.bottom = area.top + images->Height();
            content.top = area.bottom;
        } else {
            area.left += 3;
            area.right = area.left + images->Width();
            content.left = area.right;
        }
        DrawImage(canvas, area, enabled);
    }
    if (ShowsCaption() && !caption.empty()) DrawCaptionText(canvas, content, format, disabledShadow, caption);
    if (split || dropDown) {
        RECT area = split ? RECT{rect.right - SplitArrowWidth, rect.top, rect.right - 2, rect.bottom} : arrow;
        if (pushed || checked) OffsetRect(&area, 1, 1);
        if (disabledShadow) {
            RECT lighter = area;
            OffsetRect(&lighter, 1, 1);
            DrawArrow(canvas, lighter, true, GetSysColor(COLOR_BTNHIGHLIGHT));
            DrawArrow(canvas, area, true, GetSysColor(COLOR_BTNSHADOW));
        } else {
            DrawArrow(canvas, area, true, ColorToRGB(canvas.Font().Color()));
        }
    }
}

void TBarItemViewer::PaintMenuStyle(TCanvas& canvas, const RECT& rect, bool selected, bool, bool disabledShadow,
                                    UINT format) {
    const TBarItemStyle style = FItem->ItemStyle();
    const bool enabled = FItem->Enabled();
    const bool checked = FItem->Checked();
    const int height = rect.bottom - rect.top;
    TImageList* images = FindImageList();
    const bool image = ShowsImage() && images;
    const int column = images ? MulDiv(images->Width() + 3, height, images->Height() + 3) : height;

    if (selected) {
        RECT fill = rect;
        if (image || checked) fill.left = column + 1;
        if ((style & tbstSplitButton) && enabled) fill.right -= MenuArrowPartWidth();
        canvas.FillRect(fill);
    }
    const RECT col{rect.left, rect.top, rect.left + column, rect.bottom};
    if ((selected && enabled && image) || checked)
        Edge(canvas, col, checked ? BDR_SUNKENOUTER : BDR_RAISEDINNER, BF_RECT | BF_MIDDLE);
    if (checked && !selected) {
        RECT inner = col;
        InflateRect(&inner, -1, -1);
        FillRect(canvas.Handle(), &inner, AllocPatternBrush(clBtnFace, clBtnHighlight));
    }
    if (image) {
        RECT area = col;
        if (checked && !selected) OffsetRect(&area, 1, 1);
        DrawImage(canvas, area, enabled);
    } else if (checked) {
        const int cx = (col.left + col.right) / 2 - 2, cy = (col.top + col.bottom) / 2 + 1;
        const HDC dc = canvas.Handle();
        if (FItem->RadioItem()) {
            TGdiObject<HBRUSH> brush(CreateSolidBrush(GetSysColor(COLOR_BTNTEXT)));
            TSelectedObject b(dc, brush.Handle()), p(dc, GetStockObject(NULL_PEN));
            ::Ellipse(dc, cx - 1, cy - 4, cx + 5, cy + 2);
        } else {
            // A check mark: its dark part, then its light edge.
            static const POINT mark[] = {{-2, -2}, {0, 0}, {4, -4}, {4, -3}, {0, 1}, {-2, -1}, {-2, -2},
                                         {-3, -2}, {-3, -1}, {0, 2}, {5, -3}, {5, -5}};
            POINT p[12];
            for (int i = 0; i < 12; ++i) p[i] = {mark[i].x + cx, mark[i].y + cy};
            TGdiObject<HPEN> dark(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNTEXT)));
            TGdiObject<HPEN> light(CreatePen(PS_SOLID, 1, GetSysColor(COLOR_BTNHIGHLIGHT)));
            {
                TSelectedObject s(dc, dark.Handle());
                ::Polyline(dc, p, 7);
            }
            TSelectedObject s(dc, light.Handle());
            ::Polyline(dc, p + 7, 5);
        }
    }
    RECT text{col.right + 3, rect.top, rect.right - height, rect.bottom};
    DrawCaptionText(canvas, text, format & ~static_cast<UINT>(DT_CENTER), disabledShadow, GetCaptionText());
    const std::wstring shortcut = FItem->GetShortCutText();
    if (!shortcut.empty()) {
        RECT r{text.left, rect.top, rect.right - height, rect.bottom};
        DrawCaptionText(canvas, r, DT_NOPREFIX | DT_SINGLELINE | DT_VCENTER | DT_RIGHT, disabledShadow, shortcut);
    }
    if (style & tbstSubmenu) {
        const int size = GetSystemMetrics(SM_CXMENUCHECK);
        RECT area{rect.right - size, rect.top + (height - size) / 2, rect.right, rect.top + (height + size) / 2};
        DrawArrow(canvas, area, false, ColorToRGB(canvas.Font().Color()));
        if (style & tbstSplitButton) {
            RECT part{rect.right - MenuArrowPartWidth(), rect.top, rect.right, rect.bottom};
            if (selected && enabled)
                Edge(canvas, part, BDR_SUNKENOUTER, BF_RECT | BF_MIDDLE);
            else
                Edge(canvas, part, selected ? BDR_SUNKENOUTER : EDGE_ETCHED, BF_LEFT);
        }
    }
}

void TBarItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed, bool disabledShadow) {
    TFont& font = canvas.Font();
    const TFontStyles style = font.Style();
    if (FItem->EffectiveOptions() & tboDefault) font.SetStyle(style | fsBold);
    const UINT format = CaptionFormat();
    if (UsesToolbarStyle())
        PaintToolbarStyle(canvas, clientRect, selected, pushed, disabledShadow, format);
    else
        PaintMenuStyle(canvas, clientRect, selected, pushed, disabledShadow, format);
    if (font.Style() != style) font.SetStyle(style);
}

// --- separators --------------------------------------------------------------------------

void TBarSeparatorItemViewer::CalcSize(TCanvas& canvas, int& width, int& height) {
    if (UsesToolbarStyle()) {
        width = height = 6;
        return;
    }
    canvas.PrepareText();
    height += DivideRoundingAway(2 * GetDCTextHeight(canvas.Handle()), 3);
}

void TBarSeparatorItemViewer::Paint(TCanvas& canvas, const RECT& r, bool, bool, bool) {
    auto* separator = dynamic_cast<TBarSeparatorItem*>(Item());
    if (separator && separator->Blank()) return;
    const bool toolbar = UsesToolbarStyle();
    const bool lineSeparator = State & tbvsLineSeparator;
    const bool vertical = View()->Orientation() == tbvoVertical;
    if ((!toolbar || vertical) == lineSeparator) {
        const int x = (r.right - r.left) / 2 - 1;
        RECT line{r.left + x, r.top, r.left + x + 2, r.bottom};
        if (lineSeparator) InflateRect(&line, 0, -4);
        Edge(canvas, line, EDGE_ETCHED, BF_LEFT);
    } else {
        const int y = (r.bottom - r.top) / 2 - 1;
        int inset = 0;
        if (!toolbar)
            inset = 12;
        else if (lineSeparator)
            inset = View()->Orientation() == tbvoFloating ? 1 : 4;
        RECT line{r.left + inset, r.top + y, r.right - inset, r.top + y + 2};
        Edge(canvas, line, EDGE_ETCHED, BF_TOP);
    }
}

}  // namespace toolbar
