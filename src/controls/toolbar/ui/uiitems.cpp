#include "controls/toolbar/ui/uiitems.h"

#include <algorithm>
#include <utility>

#include "classlib/application.h"
#include "classlib/form.h"
#include "classlib/imagelist.h"
#include "classlib/screen.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmitemstate.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/ui/uihint.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uistatusbar.h"
#include "controls/toolbar/ui/uitext.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"
#include "controls/toolbar/ui/uitoolbar.h"

namespace ui {

using namespace classlib;
using namespace toolbar;
using namespace themed;

namespace {

int SizeMetric(TThmTheme& theme, int index) { return std::max(0, theme.GetIntMetric(index)); }
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

RECT CentredIn(const RECT& area, SIZE size) {
    const int left = area.left + (Width(area) - size.cx) / 2;
    const int top = area.top + (Height(area) - size.cy) / 2;
    return {left, top, left + size.cx, top + size.cy};
}

TUiToolbar* UiToolbarOf(TBarView* view) { return view ? dynamic_cast<TUiToolbar*>(view->Window()) : nullptr; }

}  // namespace

// --- TUiCustomItem ------------------------------------------------------------------------------

TUiCustomItem::TUiCustomItem(TComponent* owner) : TThmCustomItem(owner) {
    SetStretch(true);
}

void TUiCustomItem::SetCaptionGlow(TUiGlowDirection value) {
    if (value == FCaptionGlow) return;
    FCaptionGlow = value;
    Change(false);
}

void TUiCustomItem::SetCaptionGlowColor(TColor value) {
    if (value == FCaptionGlowColor) return;
    FCaptionGlowColor = value;
    Change(false);
}

void TUiCustomItem::SetAlignment(wide::TAlignment value) {
    if (value == FAlignment) return;
    FAlignment = value;
    Change(false);
}

void TUiCustomItem::SetWrapping(TTextWrapping value) {
    if (value == FWrapping) return;
    FWrapping = value;
    Change(false);
}

void TUiCustomItem::SetCustomWidth(int value) {
    value = std::max(value, -1);
    if (value == FCustomWidth) return;
    FCustomWidth = value;
    Change(true);
}

void TUiCustomItem::SetCustomHeight(int value) {
    value = std::max(value, -1);
    if (value == FCustomHeight) return;
    FCustomHeight = value;
    Change(true);
}

void TUiCustomItem::SetMargins(int value) {
    value = std::max(value, 0);
    if (value == FMargins) return;
    FMargins = value;
    Change(true);
}

void TUiCustomItem::SetControl(TControl* value) {
    FControl = value;
    SyncControlState();
}

UINT TUiCustomItem::WrappingFlags() const {
    switch (FWrapping) {
    case twEndEllipsis: return DT_END_ELLIPSIS | DT_SINGLELINE;
    case twPathEllipsis: return DT_PATH_ELLIPSIS | DT_SINGLELINE;
    case twWrap: return DT_WORDBREAK;
    default: return 0;
    }
}

bool TUiCustomItem::DialogChar(wchar_t) { return false; }

void TUiCustomItem::DoAdjustFont(TFont&, int) {}

void TUiCustomItem::DoDrawHint(TBitmap& hintBitmap, std::wstring& hint, bool& paintDefault) {
    if (OnDrawHint) OnDrawHint(this, hintBitmap, hint, paintDefault);
}

void TUiCustomItem::DoDrawItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& info, TUiPaintStage stage,
                               bool& paintDefault) {
    if (OnDrawItem) OnDrawItem(this, canvas, rect, info, stage, paintDefault);
}

void TUiCustomItem::DoDrawCaption(TCanvas& canvas, const RECT& clientAreaRect, TUiPaintStage stage,
                                  std::wstring& caption, RECT& captionRect, UINT& format, bool isTextRotated,
                                  bool& paintDefault) {
    if (OnDrawCaption)
        OnDrawCaption(this, canvas, clientAreaRect, caption, captionRect, format, isTextRotated, stage, paintDefault);
}

void TUiCustomItem::DoDrawImage(TCanvas& canvas, const TThmItemInfo& info, TUiPaintStage stage, TImageList*& images,
                                int& imageIndex, RECT& rect, bool& paintDefault) {
    if (OnDrawImage) OnDrawImage(this, canvas, info, stage, images, imageIndex, rect, paintDefault);
}

void TUiCustomItem::ToggleControl() {
    if (FControl) FControl->SetVisible(!FControl->Visible());
}

void TUiCustomItem::SyncControlState() {
    if (!FControl || (ComponentState() & (csLoading | csDestroying))) return;
    SetChecked(FControl->Visible());
}

TBarItemViewerClass TUiCustomItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TUiItemViewer>; }

TBarPopupWindowClass TUiCustomItem::GetPopupWindowClass() { return NewUiPopupWindow; }

void TUiCustomItem::Click() {
    if (FControl) ToggleControl();
    TThmCustomItem::Click();
}

void TUiCustomItem::InitiateAction() {
    TThmCustomItem::InitiateAction();
    SyncControlState();
}

// --- item classes -------------------------------------------------------------------------------

TUiSubmenuItem::TUiSubmenuItem(TComponent* owner) : TUiItem(owner) {
    SetItemStyle(static_cast<TBarItemStyle>(ItemStyle() | tbstSubmenu | tbstNoLineBreak));
}

void TUiSubmenuItem::SetDropdownCombo(bool value) {
    if (value == DropdownCombo()) return;
    SetItemStyle(static_cast<TBarItemStyle>(value ? ItemStyle() | tbstSplitButton : ItemStyle() & ~tbstSplitButton));
    Change(true);
}

TUiCustomLabelItem::TUiCustomLabelItem(TComponent* owner) : TUiCustomItem(owner) {
    SetItemStyle(static_cast<TBarItemStyle>(
        (ItemStyle() & ~(tbstSelectable | tbstRedrawOnSelChange | tbstRedrawOnMouseOverChange)) |
        tbstClicksTransparent));
    SetAlignment(wide::taLeftJustify);
    SetStretch(false);
    SetDisplayMode(nbdmImageAndText);
}

bool TUiCustomLabelItem::DialogChar(wchar_t) {
    auto* control = dynamic_cast<TWinControl*>(Control());
    if (!control || !control->CanFocus()) return false;
    control->SetFocus();
    return true;
}

void TUiCustomLabelItem::DoDrawItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& info, TUiPaintStage stage,
                                    bool& paintDefault) {
    TUiCustomItem::DoDrawItem(canvas, rect, info, stage, paintDefault);
    paintDefault = false;  // a label never has a face
}

TBarItemViewerClass TUiCustomLabelItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TUiLabelItemViewer>; }

TBarItemViewerClass TUiSeparatorItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TUiSeparatorItemViewer>; }

// --- TUiItemViewer: size ------------------------------------------------------------------------

TUiCustomItem* TUiItemViewer::UiItem() const { return dynamic_cast<TUiCustomItem*>(Item()); }

std::wstring TUiItemViewer::GetWideCaptionText() { return CutAtTab(Item()->Caption()); }

void TUiItemViewer::CalcSize(TCanvas& canvas, int& width, int& height) {
    TThmItemViewer::CalcSize(canvas, width, height);
    TUiCustomItem* item = UiItem();
    if (!item) return;
    const bool rotated = CaptionRotated();
    int& length = rotated ? height : width;
    int& thickness = rotated ? width : height;
    length += item->Margins();
    if (item->CustomWidth() != -1) length = item->CustomWidth();
    if (item->CustomHeight() != -1) thickness = item->CustomHeight();
    if (UsesToolbarStyle() && item->Anchored()) length += AnchorExtra;
    length = std::max(length, item->MinWidth());
    thickness = std::max(thickness, item->MinHeight());
    if (auto* view = dynamic_cast<TUiToolbarView*>(View()); view && view->MaxItemHeight() >= 0)
        thickness = std::min(thickness, view->MaxItemHeight());
}

void TUiLabelItemViewer::CalcSize(TCanvas& canvas, int& width, int& height) {
    TUiItemViewer::CalcSize(canvas, width, height);
    TUiCustomItem* item = UiItem();
    if (UsesToolbarStyle() || !item || item->Caption().empty() || item->CustomHeight() != -1) return;
    canvas.Font().Assign(View()->QueryFont());
    canvas.PrepareText();
    TEXTMETRICW tm{};
    GetTextMetricsW(canvas.Handle(), &tm);
    height = tm.tmHeight;
}

bool TUiItemViewer::ShowsCaption() {
    if (TUiToolbar* bar = UiToolbarOf(View())) {
        switch (bar->DisplayMode()) {
        case tbdmImageOnly: return !IsImageShown();
        case tbdmTextOnly: return true;
        default: break;
        }
    }
    return TThmItemViewer::ShowsCaption();
}

bool TUiItemViewer::IsImageShown() {
    TUiToolbar* bar = UiToolbarOf(View());
    if (bar && bar->DisplayMode() == tbdmTextOnly) return false;
    return TThmItemViewer::IsImageShown();
}

void TUiItemViewer::DoAdjustFont(TFont& font, int drawState) {
    if (TUiCustomItem* item = UiItem()) item->DoAdjustFont(font, drawState);
    TThmItemViewer::DoAdjustFont(font, drawState);
}

void TUiItemViewer::NotifyEntering(TBarItemViewer* previous) {
    TThmItemViewer::NotifyEntering(previous);
    if (View()->IsPopup() && Application) Application->SetHint(Item()->Hint());
}

// --- TUiItemViewer: painting --------------------------------------------------------------------

void TUiItemViewer::DoDrawItem(TCanvas& canvas, const RECT& rect, const TThmItemInfo& info, TUiPaintStage stage,
                               bool& paintDefault) {
    if (TUiCustomItem* item = UiItem()) item->DoDrawItem(canvas, rect, info, stage, paintDefault);
}

void TUiItemViewer::DoDrawCaption(TCanvas& canvas, const RECT& clientAreaRect, TUiPaintStage stage,
                                  std::wstring& caption, RECT& captionRect, UINT& format, bool isTextRotated,
                                  bool& paintDefault) {
    if (TUiCustomItem* item = UiItem())
        item->DoDrawCaption(canvas, clientAreaRect, stage, caption, captionRect, format, isTextRotated, paintDefault);
}

void TUiItemViewer::DoDrawImage(TCanvas& canvas, const TThmItemInfo& info, TUiPaintStage stage, TImageList*& images,
                                int& imageIndex, RECT& rect, bool& paintDefault) {
    if (TUiCustomItem* item = UiItem()) item->DoDrawImage(canvas, info, stage, images, imageIndex, rect, paintDefault);
}

void TUiItemViewer::DrawCaptionEvented(TCanvas& canvas, const RECT& clientRect, std::wstring text, RECT rect,
                                       UINT format, bool rotated) {
    const TColor color = canvas.Font().Color();
    bool paintDefault = true;
    DoDrawCaption(canvas, clientRect, pstPrePaint, text, rect, format, rotated, paintDefault);
    if (paintDefault) {
        TUiCustomItem* item = UiItem();
        canvas.Font().SetColor(color);
        DrawWideText(canvas, text, rect, format, item ? item->CaptionGlow() : gldNone,
                     item ? item->CaptionGlowColor() : clNone, rotated ? 2 : 0);
        // The theme's own caption painting does not run for these items.
        paintDefault = false;
    }
    DoDrawCaption(canvas, clientRect, pstPostPaint, text, rect, format, rotated, paintDefault);
}

void TUiItemViewer::DrawItemImage(TCanvas& canvas, const RECT& imageRect, const TThmItemInfo& info) {
    TImageList* images = FindImageList();
    int index = Item()->ImageIndex();
    RECT rect = imageRect;
    bool paintDefault = true;
    DoDrawImage(canvas, info, pstPrePaint, images, index, rect, paintDefault);
    if (paintDefault && images && index >= 0 && index < images->Count())
        ActiveToolbarTheme().PaintItemImage(canvas, rect, info, images, index);
    DoDrawImage(canvas, info, pstPostPaint, images, index, rect, paintDefault);
}

void TUiItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed, bool) {
    TThmTheme& theme = ActiveToolbarTheme();
    TBarView* view = View();
    TBarCustomItem* item = Item();
    TUiCustomItem* ui = UiItem();
    const TBarItemStyle style = item->ItemStyle();
    const TBarItemOptions options = item->EffectiveOptions();
    const bool toolbarStyle = UsesToolbarStyle();
    const bool vertical = view->Orientation() == tbvoVertical;
    const bool submenu = (style & tbstSubmenu) != 0;
    const bool split = (style & tbstSplitButton) != 0;
    // A split button shown pushed while no button is held has its popup open: the arrow part
    // is the pressed one.
    const bool arrowPressed = toolbarStyle && split && pushed && !view->MouseTracking();
    if (arrowPressed) pushed = false;
    const SIZE image = ImageSize();
    const bool imageShown = image.cx > 0 && image.cy > 0 && IsImageShown();
    TThmItemInfo info = FillItemInfo(selected, pushed, arrowPressed, imageShown);
    const TThmItemLayout layout = EffectiveLayout();
    const bool glyphAbove = layout == thmlGlyphTop;
    const bool hasArrow = submenu && (split || (options & tboDropdownArrow));

    TFont& font = canvas.Font();
    font.Assign(view->QueryFont());
    font.SetColor(theme.GetItemTextColor(info));
    DoAdjustFont(font, ItemInfoToDrawState(info));
    const TColor textColor = font.Color();

    UINT format = GetTextFlags() | DT_VCENTER | (ui ? ui->WrappingFlags() : DT_WORDBREAK);
    const bool captionShown = ShowsCaption();
    std::wstring caption;
    bool rotated = false;
    SIZE text{};
    if (captionShown) {
        caption = GetWideCaptionText();
        rotated = CaptionRotated();
        if (rotated || !toolbarStyle) format |= DT_SINGLELINE;
        const bool fitted = (format & (DT_WORDBREAK | DT_END_ELLIPSIS | DT_PATH_ELLIPSIS)) != 0;
        RECT measure{0, 0, fitted ? Width(clientRect) : 1, 0};
        DrawWideText(canvas, caption, measure, format | DT_CALCRECT, gldNone, clNone, rotated ? 2 : 0);
        text = {Width(measure), Height(measure)};
    }

    RECT content = clientRect;
    RECT itemRect = clientRect;
    const bool arrowBesideGlyph =
        toolbarStyle && hasArrow && !split && glyphAbove && imageShown && captionShown && !rotated;
    TThmMargins margins{};
    if (toolbarStyle) {
        const int dropArrow = SizeMetric(theme, tmDropArrowWidth);
        RECT arrow{};
        if (split) {
            info.SplitPart = spSplitButton;
            arrow = {itemRect.right - SizeMetric(theme, tmSplitArrowWidth), itemRect.top, itemRect.right,
                     itemRect.bottom};
            itemRect.right = arrow.left;
        } else if (hasArrow) {
            info.SplitPart = spWithArrow;
            if (arrowBesideGlyph) {
                const int right = (itemRect.left + itemRect.right + image.cx + 4 + dropArrow) / 2;
                const int top = (itemRect.top + itemRect.bottom - image.cy - text.cy - 2) / 2;
                arrow = {right - dropArrow, top, right, top + image.cy};
            } else if (vertical) {
                const int margin = SizeMetric(theme, tmDropArrowMargin);
                arrow = {itemRect.left, itemRect.bottom - margin - dropArrow, itemRect.right, itemRect.bottom - margin};
            } else {
                const int margin = SizeMetric(theme, tmDropArrowMargin);
                arrow = {itemRect.right - margin - dropArrow, itemRect.top, itemRect.right - margin, itemRect.bottom};
            }
        }
        bool paintDefault = true;
        DoDrawItem(canvas, itemRect, info, pstPrePaint, paintDefault);
        if (paintDefault) theme.PaintItemButton(canvas, itemRect, info);
        DoDrawItem(canvas, itemRect, info, pstPostPaint, paintDefault);
        content = itemRect;
        if (split) {
            if (paintDefault) PaintSplitArrowPart(theme, canvas, arrow, info, arrowPressed);
        } else if (hasArrow) {
            theme.PaintDropArrow(canvas, arrow, info);
            if (!arrowBesideGlyph) (vertical ? content.bottom : content.right) -= dropArrow;
        }
        InflateRect(&content, -2, -2);
    } else {
        theme.GetMarginSet(mkPopupItem, margins);
        bool paintDefault = true;
        DoDrawItem(canvas, clientRect, info, pstPrePaint, paintDefault);
        // The sub-menu arrow is drawn here, in the caption's colour, not by the theme.
        const bool ownArrow = submenu && !split;
        const int flags = info.ItemFlags;
        if (ownArrow) info.ItemFlags &= ~ifSubmenu;
        if (paintDefault) theme.PaintPopupItem(canvas, clientRect, info);
        info.ItemFlags = flags;
        DoDrawItem(canvas, clientRect, info, pstPostPaint, paintDefault);
        if (paintDefault && ownArrow)
            PaintTriangleArrow(canvas.Handle(), clientRect.right - 10, (clientRect.top + clientRect.bottom) / 2,
                               textColor, false, 3);
        if (!(style & tbstClicksTransparent)) {
            content.left += margins.LeftWidth;
            content.right -= margins.RightWidth;
            content.top += margins.TopHeight;
            content.bottom -= margins.BottomHeight;
        }
    }

    // The caption.
    RECT textRect{}, glyphRect{};
    const wide::TAlignment alignment = ui ? ui->Alignment() : wide::taCenter;
    if (toolbarStyle) {
        format &= ~DT_VCENTER;
        if (alignment == wide::taRightJustify) format |= DT_RIGHT;
        if (alignment == wide::taCenter && glyphAbove) format |= DT_CENTER;
        LayoutGlyphAndText(canvas, content, captionShown ? caption : std::wstring(), alignment, format,
                           imageShown ? image.cx : 0, imageShown ? image.cy : 0, glyphAbove, false, textRect,
                           glyphRect, rotated ? 2 : 0);
        format = CaptionLayoutFormat(alignment, format);
        if (pushed && ActiveThemeHasQuirk(uqSystemLook)) OffsetRect(&textRect, 1, 1);
    } else if (style & tbstClicksTransparent) {
        textRect = clientRect;
        format |= DT_CENTER | DT_VCENTER | DT_SINGLELINE;
    } else {
        canvas.PrepareText();
        TEXTMETRICW tm{};
        GetTextMetricsW(canvas.Handle(), &tm);
        const int left = content.left + SizeMetric(theme, tmMenuImageGap) + info.ImageColumnWidth +
                         SizeMetric(theme, tmMenuCaptionGap);
        textRect = {left, content.top + tm.tmExternalLeading, left + text.cx, content.bottom};
        if (Height(textRect) - text.cy == margins.BottomHeight) --textRect.bottom;
    }
    if (captionShown) {
        font.SetColor(textColor);
        DrawCaptionEvented(canvas, clientRect, caption, textRect, format, rotated);
    }

    // The shortcut text of a menu item, right-aligned one row height left of the edge.
    if (!toolbarStyle) {
        const std::wstring shortcut = item->GetShortCutText();
        if (!shortcut.empty()) {
            canvas.PrepareText();
            SIZE s{};
            MeasureWideText(canvas.Handle(), shortcut, true, s);
            const int right = content.right - Height(clientRect);
            const RECT shortcutRect{right - s.cx, textRect.top, right, textRect.bottom};
            font.SetColor(textColor);
            DrawCaptionEvented(canvas, clientRect, shortcut, shortcutRect, GetTextFlags() | DT_SINGLELINE | DT_VCENTER,
                               false);
        }
    }

    // The image, or the check mark of a menu item without one.
    if (imageShown) {
        RECT area;
        if (toolbarStyle) {
            area = IsRectEmpty(&glyphRect) ? content : glyphRect;
            if (arrowBesideGlyph) OffsetRect(&area, -(SizeMetric(theme, tmDropArrowWidth) - 1) / 2, 0);
        } else {
            area = {content.left, content.top, content.left + info.ImageColumnWidth, content.bottom};
        }
        DrawItemImage(canvas, CentredIn(area, image), info);
    } else if (!toolbarStyle && item->Checked()) {
        TThmItemInfo check = info;
        if (item->RadioItem()) check.ItemFlags |= ifRadioItem;
        theme.PaintCheckGlyph(canvas, RECT{content.left, clientRect.top, content.left + info.ImageColumnWidth,
                                           clientRect.bottom},
                              check);
    }
}

// --- separators ---------------------------------------------------------------------------------

void TUiSeparatorItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed,
                                   bool disabledShadow) {
    if (auto* status = dynamic_cast<TUiStatusToolbar*>(View()->Window()); status && status->DrawsOwnSeparators())
        return;
    TThmSeparatorItemViewer::Paint(canvas, clientRect, selected, pushed, disabledShadow);
}

// --- hints --------------------------------------------------------------------------------------

std::wstring BuildWideHint(TBarItemViewer* viewer) {
    TBarCustomItem* item = viewer->Item();
    std::wstring hint = item->Hint().substr(0, item->Hint().find(L'|'));
    const TBarItemStyle style = item->ItemStyle();
    const bool submenuShowingCaption = (style & tbstSubmenu) && !(style & tbstSplitButton) && viewer->ShowsCaption();
    if (hint.empty() && !(item->EffectiveOptions() & tboNoAutoHint) && !submenuShowingCaption)
        hint = StripAmpersands(StripTrailingEllipsisOrColon(CutAtTab(item->Caption())));
    if (!hint.empty() && Application && Application->HintShortCuts && item->ShortCut() != 0)
        hint += L" (" + ShortCutToText(item->ShortCut()) + L")";
    return hint;
}

void TUiItemViewer::DoHintShow(THintInfo& info) {
    std::wstring hint = BuildWideHint(this);
    info.HintStr = hint;
    info.CursorRect = BoundsRect;
    info.HideTimeout = 60000;
    info.HintWindowClass = [] { return new TBitmapHint(nullptr); };
    TBitmap& bitmap = UiHintBitmap();
    TCanvas& canvas = bitmap.Canvas();
    canvas.Font().Assign(Screen->HintFont());
    canvas.Font().SetColor(clInfoText);
    canvas.Pen().SetColor(clBlack);
    canvas.Brush().SetColor(clInfoBk);
    canvas.Brush().SetStyle(bsSolid);
    RECT measure{0, 0, 0, 0};
    DrawWideText(canvas, hint, measure, DT_CALCRECT | DT_NOPREFIX);
    bitmap.SetSize(Width(measure) + 8, Height(measure) + 4);
    bool paintDefault = true;
    if (TUiCustomItem* item = UiItem()) item->DoDrawHint(bitmap, hint, paintDefault);
    if (paintDefault) {
        canvas.FillRect(RECT{0, 0, bitmap.Width(), bitmap.Height()});
        RECT r{2, 2, bitmap.Width(), bitmap.Height()};
        DrawWideText(canvas, hint, r, DT_NOPREFIX);
    }
    info.HintData = &bitmap;
}

// --- item positions -----------------------------------------------------------------------------

std::wstring TUiItemCache::Name() const { return Item ? Item->Name() : StoredName; }

TUiItemCache& TUiItemCacheCollection::Add() { return FItems.emplace_back(); }

int TUiItemCacheCollection::AddItem(TBarCustomItem* item, const RECT& rect) {
    TUiItemCache& entry = Add();
    entry.Item = item;
    entry.Left = rect.left;
    entry.Top = rect.top;
    entry.Width = rect.right - rect.left;
    entry.Height = rect.bottom - rect.top;
    return Count() - 1;
}

int TUiItemCacheCollection::IndexOf(const TBarCustomItem* item) const {
    if (!item) return -1;
    for (size_t i = 0; i < FItems.size(); ++i)
        if (FItems[i].Item == item) return static_cast<int>(i);
    return -1;
}

void TUiItemCacheCollection::Delete(int index) {
    if (index >= 0 && index < Count()) FItems.erase(FItems.begin() + index);
}

}  // namespace ui
