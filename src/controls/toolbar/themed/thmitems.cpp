#include "controls/toolbar/themed/thmitems.h"

#include <algorithm>

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/imagelist.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/themed/thmitemstate.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmpopup.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

TThmCustomItem* AsThemed(TBarCustomItem* item) { return dynamic_cast<TThmCustomItem*>(item); }

bool IsVerticalView(TBarView* view) { return view->Orientation() == tbvoVertical; }

// A size metric of the theme; an index the theme does not know (-1) counts as 0.
int SizeMetric(TThmTheme& theme, int index) { return std::max(0, theme.GetIntMetric(index)); }

// A rectangle of `size` centred in `area` (it may stick out of a smaller area on both sides).
RECT CentredIn(const RECT& area, SIZE size) {
    const int left = area.left + (area.right - area.left - size.cx) / 2;
    const int top = area.top + (area.bottom - area.top - size.cy) / 2;
    return {left, top, left + size.cx, top + size.cy};
}

TEXTMETRICW CanvasMetrics(TCanvas& canvas) {
    canvas.PrepareText();
    TEXTMETRICW tm{};
    GetTextMetricsW(canvas.Handle(), &tm);
    return tm;
}

// Where the caption and the image go inside a toolbar button's content rectangle.
struct TToolbarContent {
    RECT Caption{};
    UINT CaptionFormat = 0;  // added to the caption's own flags
    RECT ImageArea{};        // the image is centred in it
};

// With `besideArrow` (its width) the drop-down arrow stands 2 pixels right of an image above
// the caption, and image and arrow are centred across the button together.
TToolbarContent LayoutToolbarContent(const RECT& content, TThmItemLayout layout, bool imageShown, SIZE image,
                                     bool captionShown, SIZE text, bool rotated, int besideArrow) {
    TToolbarContent c;
    if (imageShown && captionShown) {
        if (layout == thmlGlyphLeft) {
            // The image column (image width + 2) and the caption 3 pixels after the image,
            // the pair centred across the button.
            const int block = image.cx + 3 + text.cx;
            const int left = content.left + std::max<LONG>(0, (content.right - content.left - block) / 2);
            c.ImageArea = {left, content.top, left + image.cx + 2, content.bottom};
            const int top = content.top + (content.bottom - content.top - text.cy) / 2;
            c.Caption = {left + image.cx + 3, top, content.right, top + text.cy};
            c.CaptionFormat = DT_VCENTER;
        } else {
            // The image above the caption (1 pixel between, 3 more for a rotated caption),
            // the pair centred down the button.
            const int gap = rotated ? 4 : 1;
            const int block = image.cy + gap + text.cy;
            const int top = content.top + std::max<LONG>(0, (content.bottom - content.top - block) / 2);
            if (besideArrow > 0) {
                const int pair = image.cx + 2 + besideArrow;
                const int left = content.left + (content.right - content.left - pair) / 2;
                c.ImageArea = {left, top, left + image.cx, top + image.cy};
            } else {
                c.ImageArea = {content.left, top, content.right, top + image.cy};
            }
            c.Caption = {content.left, top + image.cy + gap, content.right, top + image.cy + gap + text.cy};
            c.CaptionFormat = DT_CENTER;
        }
    } else if (captionShown) {
        c.Caption = CentredIn(content, text);
        c.CaptionFormat = DT_CENTER | DT_VCENTER;
    } else {
        c.ImageArea = content;
    }
    return c;
}

}  // namespace

int GetViewType(TBarView* view) {
    if (!view || !view->Window()) return 0;
    return GetViewType(static_cast<TComponent*>(view->Window()));
}

BYTE ItemHotState(TBarView* view, bool selected, bool enabled) {
    if (!selected) return hsNone;
    if (enabled) return hsSelected;
    return view->MouseOverSelected() ? hsNone : hsKeyboardSelected;
}

// --- font settings -------------------------------------------------------------------------------

void TFontSettings::Assign(const TFontSettings& source) {
    if (&source == this) return;
    const bool differs = FBold != source.FBold || FItalic != source.FItalic || FUnderline != source.FUnderline ||
                         FStrikeOut != source.FStrikeOut || FSize != source.FSize || FColor != source.FColor ||
                         FName != source.FName;
    if (!differs) return;
    FBold = source.FBold;
    FItalic = source.FItalic;
    FUnderline = source.FUnderline;
    FStrikeOut = source.FStrikeOut;
    FSize = source.FSize;
    FColor = source.FColor;
    FName = source.FName;
    if (OnChange) OnChange();
}

void TFontSettings::Apply(TFont& font) const {
    if (FSize != 100) font.SetSize((font.Size() * FSize + 50) / 100);
    if (FColor != clNone) font.SetColor(FColor);
    if (!FName.empty()) font.SetName(FName);
    TFontStyles style = font.Style();
    const struct {
        TTriState State;
        TFontStyles Bit;
    } flags[] = {{FBold, fsBold}, {FItalic, fsItalic}, {FUnderline, fsUnderline}, {FStrikeOut, fsStrikeOut}};
    for (const auto& f : flags) {
        if (f.State == tsTrue) style |= f.Bit;
        if (f.State == tsFalse) style &= ~f.Bit;
    }
    font.SetStyle(style);
}

// --- the themed item -----------------------------------------------------------------------------

TThmCustomItem::TThmCustomItem(TComponent* owner) : TBarCustomItem(owner) {
    FFontSettings.OnChange = [this] { Change(true); };
}

void TThmCustomItem::SetLayout(TThmItemLayout value) {
    if (value == FLayout) return;
    FLayout = value;
    Change(true);
}

void TThmCustomItem::SetMinHeight(int value) {
    if (value == FMinHeight) return;
    FMinHeight = value;
    Change(true);
}

void TThmCustomItem::SetMinWidth(int value) {
    if (value == FMinWidth) return;
    FMinWidth = value;
    Change(true);
}

void TThmCustomItem::SetStretch(bool value) {
    if (value == Stretch()) return;
    SetItemStyle(static_cast<TBarItemStyle>(value ? ItemStyle() | tbstStretch : ItemStyle() & ~tbstStretch));
    Change(true);
}

TBarItemViewerClass TThmCustomItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TThmItemViewer>; }

TBarPopupWindowClass TThmCustomItem::GetPopupWindowClass() { return NewPopupWindow<TThmPopupWindow>; }

TBarPopupWindow* TThmCustomItem::CreatePopup(TBarView* parentView, TBarItemViewer* parentViewer,
                                             bool positionAsSubmenu, bool selectFirstItem, bool customizing,
                                             POINT popupPoint, TBarPopupAlignment alignment) {
    return TBarCustomItem::CreatePopup(parentView, parentViewer, positionAsSubmenu,
                                       selectFirstItem || FAlwaysSelectFirst, customizing, popupPoint, alignment);
}

void TThmCustomItem::AdjustPopupPosition(TBarView* parentView, TBarPopupWindow* window, TBarPopupPositionRec& rec) {
    PlaceThemedPopup(rec, [&] { TBarCustomItem::AdjustPopupPosition(parentView, window, rec); });
}

// --- the themed viewer: questions ---------------------------------------------------------------

bool TThmItemViewer::UsesToolbarSize() {
    return TBarItemViewer::UsesToolbarSize() || ViewKindIs(GetViewType(View()), vkToolBoxPopup);
}

bool TThmItemViewer::UsesToolbarStyle() {
    return TBarItemViewer::UsesToolbarStyle() || ViewKindIs(GetViewType(View()), vkToolBoxPopup);
}

int TThmItemViewer::GetAccessibleRole() {
    TThmCustomItem* item = AsThemed(Item());
    if (item && item->ToolBoxPopup() && (item->ItemStyle() & tbstSubmenu)) return RoleDropDownGridButton;
    return TBarItemViewer::GetAccessibleRole();
}

bool TThmItemViewer::PointInButtonPart(int x, int) {
    const TBarItemStyle style = Item()->ItemStyle();
    if (style & tbstSplitButton) {
        const int arrow =
            UsesToolbarStyle() ? SizeMetric(ActiveToolbarTheme(), tmSplitArrowWidth) : GetSystemMetrics(SM_CXMENUCHECK);
        return x < (BoundsRect.right - BoundsRect.left) - arrow;
    }
    return !(style & tbstSubmenu);
}

void TThmItemViewer::MouseUp(int x, int y, bool mouseWasDownOnMenu) {
    TBarItemViewer::MouseUp(x, y, mouseWasDownOnMenu);
    TBarView* view = View();
    TBarCustomItem* item = Item();
    const TBarItemStyle style = item->ItemStyle();
    if (item->Enabled() && !(style & tbstClicksTransparent) && view->Selected() == this && view->MouseOverSelected() &&
        (!(style & tbstSubmenu) || PointInButtonPart(x, y)))
        RequestExecute();
}

bool TThmItemViewer::IsImageShown() { return ShowsImage(); }

void TThmItemViewer::GetImageSize(int& width, int& height) {
    TImageList* images = FindImageList();
    width = images ? images->Width() : 0;
    height = images ? images->Height() : 0;
}

UINT TThmItemViewer::GetTextFlags() {
    TBarView* view = View();
    if (!KeyboardCuesShown() && (view->Style() & tbvstHiddenAccels) && !(view->State() & tbvsAccelsShown))
        return DT_HIDEPREFIX;
    return 0;
}

void TThmItemViewer::GetTextSize(TCanvas& canvas, const std::wstring& text, SIZE& size, int drawState,
                                 bool rotated, UINT flags) {
    size = {0, 0};
    if (text.empty()) return;
    canvas.Font().Assign(View()->QueryFont());
    DoAdjustFont(canvas.Font(), drawState);
    canvas.PrepareText();
    const HDC dc = canvas.Handle();
    if (rotated) {
        TGdiObject<HFONT> vertical(CreateVerticalFont(dc));
        TSelectedObject selected(dc, vertical.Handle() ? vertical.Handle() : GetCurrentObject(dc, OBJ_FONT));
        TEXTMETRICW tm{};
        GetTextMetricsW(dc, &tm);
        size = {tm.tmHeight, MeasureTextWidth(dc, text, true)};
        return;
    }
    RECT r{0, 0, 1, 0};
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &r, flags | DT_CALCRECT);
    size = {r.right, r.bottom};
}

void TThmItemViewer::DoAdjustFont(TFont& font, int drawState) {
    if (Item()->EffectiveOptions() & tboDefault) font.SetStyle(font.Style() | fsBold);
    if (TThmCustomItem* item = AsThemed(Item())) {
        item->FontSettings().Apply(font);
        if (item->OnAdjustFont) item->OnAdjustFont(item, this, font, drawState);
    }
}

SIZE TThmItemViewer::ImageSize() {
    int width = 0, height = 0;
    GetImageSize(width, height);
    return {width, height};
}

void TThmItemViewer::DoPaintCaption(TCanvas&, const RECT&, RECT&, bool, bool&) {}

TThmItemLayout TThmItemViewer::EffectiveLayout() {
    TThmCustomItem* item = AsThemed(Item());
    if (item && item->Layout() != thmlAuto) return item->Layout();
    if ((Item()->EffectiveOptions() & tboImageAboveCaption) || IsVerticalView(View())) return thmlGlyphTop;
    return thmlGlyphLeft;
}

bool TThmItemViewer::CaptionRotated() {
    TThmCustomItem* item = AsThemed(Item());
    if (item && item->Layout() != thmlAuto) return false;
    return IsVerticalView(View()) && UsesToolbarStyle() &&
           !(Item()->EffectiveOptions() & (tboImageAboveCaption | tboNoRotation));
}

// --- the themed viewer: size --------------------------------------------------------------------

void TThmItemViewer::CalcSize(TCanvas& canvas, int& width, int& height) {
    // The view measures every item on one canvas: leave its font as it came.
    TFont callersFont;
    callersFont.Assign(canvas.Font());
    auto restoreFont = ScopeExit([&] { canvas.Font().Assign(callersFont); });

    TThmTheme& theme = ActiveToolbarTheme();
    TBarCustomItem* item = Item();
    TBarView* view = View();
    const TBarItemStyle style = item->ItemStyle();
    const bool toolbarStyle = UsesToolbarStyle();
    const bool vertical = IsVerticalView(view);
    const TThmItemLayout layout = EffectiveLayout();
    // Measured in the item's resting state.
    TThmItemInfo resting{};
    resting.Enabled = item->Enabled() || view->Customizing();
    resting.Checked = item->Checked();
    const int drawState = ItemInfoToDrawState(resting);

    SIZE image = ImageSize();
    if (image.cx <= 0 || image.cy <= 0) image = {0, 0};
    const bool imageShown = image.cx > 0 && IsImageShown();
    const bool captionShown = ShowsCaption();
    const bool rotated = CaptionRotated();
    SIZE text{};
    if (captionShown)
        GetTextSize(canvas, GetCaptionText(), text, drawState, rotated, rotated || !toolbarStyle ? DT_SINGLELINE : 0);

    if (toolbarStyle) {
        width = height = 6;
        if (captionShown) {
            width += text.cx;
            height += text.cy;
            (rotated ? height : width) += 4;
        }
        if (imageShown) {
            if (layout == thmlGlyphLeft) {
                width += image.cx + 1;
                height = std::max<int>(height, image.cy + 6);
            } else {
                height += image.cy;
                width = std::max<int>(width, image.cx + 7);
            }
        }
        if (style & tbstSubmenu) {
            if (style & tbstSplitButton) {
                width += SizeMetric(theme, tmSplitArrowWidth);
            } else if (item->EffectiveOptions() & tboDropdownArrow) {
                const int arrow = SizeMetric(theme, tmDropArrowWidth);
                if (layout == thmlGlyphTop && imageShown && captionShown && !rotated)
                    width = std::max<int>(width, arrow + image.cx + 9);  // the arrow beside the image
                else
                    (vertical ? height : width) += arrow;
            }
        }
    } else {
        canvas.Font().Assign(view->QueryFont());
        DoAdjustFont(canvas.Font(), drawState);
        const TEXTMETRICW tm = CanvasMetrics(canvas);
        TThmMargins margins{};
        theme.GetMarginSet(mkPopupItem, margins);
        height = std::max<int>(text.cy + tm.tmExternalLeading, image.cy > 0 ? image.cy : 16) +
                 margins.TopHeight + margins.BottomHeight;
        width = text.cx + margins.LeftWidth + margins.RightWidth + SizeMetric(theme, tmMenuImageGap) +
                GetPopupImageColumnWidth(this) + SizeMetric(theme, tmMenuCaptionGap) +
                SizeMetric(theme, tmMenuCaptionEndGap);
        const std::wstring shortcut = item->GetShortCutText();
        if (!shortcut.empty()) {
            SIZE s{};
            GetTextSize(canvas, shortcut, s, drawState, false, DT_SINGLELINE);
            width += s.cx + height - 6;
        }
        width += height;  // room for the sub-menu arrow
    }
    if (TThmCustomItem* themed = AsThemed(item)) {
        width = std::max(width, themed->MinWidth());
        height = std::max(height, themed->MinHeight());
    }
}

// --- the themed viewer: painting ----------------------------------------------------------------

void TThmItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed, bool) {
    TThmTheme& theme = ActiveToolbarTheme();
    TBarView* view = View();
    TBarCustomItem* item = Item();
    const TBarItemStyle style = item->ItemStyle();
    const bool toolbarStyle = UsesToolbarStyle();
    const bool vertical = IsVerticalView(view);
    const bool submenu = (style & tbstSubmenu) != 0;
    const bool split = (style & tbstSplitButton) != 0;
    // A split item shown pushed while no button is held has its popup open: its arrow part
    // is the pressed one.
    const bool arrowPressed = split && pushed && !view->MouseTracking();
    if (arrowPressed) pushed = false;
    const SIZE image = ImageSize();
    const bool imageSized = image.cx > 0 && image.cy > 0;
    const bool imageShown = imageSized && IsImageShown();
    const TThmItemLayout layout = EffectiveLayout();
    const bool hasArrow = submenu && (split || (item->EffectiveOptions() & tboDropdownArrow));

    TThmItemInfo info = FillItemInfo(selected, pushed, arrowPressed, imageShown);

    const int drawState = ItemInfoToDrawState(info);
    TFont& font = canvas.Font();
    font.Assign(view->QueryFont());
    font.SetColor(theme.GetItemTextColor(info));
    DoAdjustFont(font, drawState);
    const TColor textColor = font.Color();

    const bool captionShown = ShowsCaption();
    const bool rotated = CaptionRotated();
    std::wstring caption;
    UINT format = 0;
    SIZE text{};
    if (captionShown) {
        caption = GetCaptionText();
        format = GetTextFlags() | (rotated || !toolbarStyle ? DT_SINGLELINE : 0);
        GetTextSize(canvas, caption, text, drawState, rotated, format);
    }
    const TEXTMETRICW tm = CanvasMetrics(canvas);

    RECT r = clientRect;
    RECT captionRect{}, imageArea{};
    if (toolbarStyle) {
        const bool arrowBesideImage =
            hasArrow && !split && layout == thmlGlyphTop && imageShown && captionShown && !rotated;
        const int dropArrow = SizeMetric(theme, tmDropArrowWidth);
        RECT arrow{};
        if (hasArrow) info.SplitPart = spWithArrow;
        if (split) {
            info.SplitPart = spSplitButton;
            arrow = {r.right - SizeMetric(theme, tmSplitArrowWidth), r.top, r.right, r.bottom};
            r.right = arrow.left;
        } else if (hasArrow && !arrowBesideImage) {
            const int margin = SizeMetric(theme, tmDropArrowMargin);
            if (vertical)
                arrow = {r.left, r.bottom - margin - dropArrow, r.right, r.bottom - margin};
            else
                arrow = {r.right - margin - dropArrow, r.top, r.right - margin, r.bottom};
        }
        // The content: the button less the split arrow part and a drop-down strip, deflated by 2.
        RECT content = r;
        if (hasArrow && !split && !arrowBesideImage) (vertical ? content.bottom : content.right) -= dropArrow;
        InflateRect(&content, -2, -2);
        const TToolbarContent placed = LayoutToolbarContent(content, layout, imageShown, image, captionShown, text,
                                                            rotated, arrowBesideImage ? dropArrow : 0);
        captionRect = placed.Caption;
        format |= placed.CaptionFormat;
        imageArea = placed.ImageArea;
        if (arrowBesideImage)
            arrow = {imageArea.right + 2, imageArea.top, imageArea.right + 2 + dropArrow, imageArea.bottom};

        theme.PaintItemButton(canvas, r, info);
        if (split) {
            PaintSplitArrowPart(theme, canvas, arrow, info, arrowPressed);
        } else if (hasArrow) {
            theme.PaintDropArrow(canvas, arrow, info);
        }
    } else {
        theme.PaintPopupItem(canvas, r, info);
        TThmMargins margins{};
        theme.GetMarginSet(mkPopupItem, margins);
        r.left += margins.LeftWidth;
        r.right -= margins.RightWidth;
        r.top += margins.TopHeight;
        r.bottom -= margins.BottomHeight;
        const int left = r.left + SizeMetric(theme, tmMenuImageGap) + info.ImageColumnWidth +
                         SizeMetric(theme, tmMenuCaptionGap);
        captionRect = {left, r.top + tm.tmExternalLeading, left + text.cx, r.bottom};
        if (captionRect.bottom - captionRect.top - text.cy == margins.BottomHeight) --captionRect.bottom;
        format |= DT_VCENTER;
        imageArea = {r.left, clientRect.top, r.left + info.ImageColumnWidth, clientRect.bottom};
    }

    if (captionShown) {
        font.SetColor(textColor);
        bool paintIt = true;
        DoPaintCaption(canvas, clientRect, captionRect, rotated, paintIt);
        if (paintIt) theme.PaintItemCaption(canvas, captionRect, info, caption, format, rotated);
    }

    if (!toolbarStyle) {
        const std::wstring shortcut = item->GetShortCutText();
        if (!shortcut.empty()) {
            // Right-aligned, leaving a square as high as the row free at the right.
            const int rowHeight = clientRect.bottom - clientRect.top;
            RECT shortcutRect{captionRect.left, captionRect.top, r.right - rowHeight, captionRect.bottom};
            const UINT shortcutFormat = GetTextFlags() | DT_SINGLELINE | DT_VCENTER | DT_RIGHT;
            font.SetColor(textColor);
            bool paintIt = true;
            DoPaintCaption(canvas, clientRect, shortcutRect, false, paintIt);
            if (paintIt) theme.PaintItemCaption(canvas, shortcutRect, info, shortcut, shortcutFormat, false);
        }
    }

    if (imageShown) {
        DrawItemImage(canvas, CentredIn(imageArea, image), info);
    } else if (!toolbarStyle && info.Checked) {
        TThmItemInfo check = info;
        if (item->RadioItem()) check.ItemFlags |= ifRadioItem;
        theme.PaintCheckGlyph(canvas, imageArea, check);
    }
}

TThmItemInfo TThmItemViewer::FillItemInfo(bool selected, bool pushed, bool arrowPressed, bool imageShown) {
    TBarView* view = View();
    TBarCustomItem* item = Item();
    const TBarItemStyle style = item->ItemStyle();
    const bool toolbarStyle = UsesToolbarStyle();
    const bool submenu = (style & tbstSubmenu) != 0;
    const bool split = (style & tbstSplitButton) != 0;
    const SIZE image = ImageSize();
    TThmItemInfo info{};
    info.ViewKind = GetViewType(view);
    info.ItemFlags = (toolbarStyle ? ifToolbarStyle : 0) | (split ? ifSplitItem : 0) | (submenu ? ifSubmenu : 0) |
                     (Application && Application->Active() ? ifAppActive : 0);
    info.Enabled = item->Enabled() || view->Customizing();
    info.Pushed = pushed;
    info.HotState = ItemHotState(view, selected, info.Enabled);
    info.Checked = item->Checked();
    info.ImageShown = imageShown;
    if (image.cx > 0 && image.cy > 0) {
        info.ImageWidth = image.cx;
        info.ImageHeight = image.cy;
    }
    info.Vertical = IsVerticalView(view) && !split;
    info.ViewVertical = IsVerticalView(view);
    const bool menuOpen = (view->State() & tbvsModal) && view->OpenViewer();
    info.PopupOpen = toolbarStyle && (menuOpen || submenu) && (split ? arrowPressed : pushed);
    info.ImageColumnWidth = GetPopupImageColumnWidth(this);
    return info;
}

void TThmItemViewer::DrawItemImage(TCanvas& canvas, const RECT& imageRect, const TThmItemInfo& info) {
    TImageList* images = FindImageList();
    const int index = Item()->ImageIndex();
    if (!images || index < 0 || index >= images->Count()) return;
    TThmTheme& theme = ActiveToolbarTheme();
    theme.PaintItemImage(canvas, imageRect, info, images, index);
    TThmCustomItem* item = AsThemed(Item());
    if (item && item->OnImageDrawn) {
        const POINT shift = theme.GetItemImageShift(canvas, info, images);
        item->OnImageDrawn(item, this, canvas, imageRect, shift, ItemInfoToDrawState(info));
    }
}

// --- helpers for popups and themed controls ------------------------------------------------------

int GetPopupImageColumnWidth(TBarItemViewer* viewer) {
    int width = 0, height = 0;
    if (auto* themed = dynamic_cast<TThmItemViewer*>(viewer)) {
        themed->GetImageSize(width, height);
    } else if (TImageList* images = viewer->FindImageList()) {
        width = images->Width();
        height = images->Height();
    }
    if (width <= 0 || height <= 0) width = height = 16;
    TCanvas& canvas = NearestColorBitmap().Canvas();
    TFont& popupFont = viewer->View()->QueryFont();
    if (!canvas.Font().Equals(popupFont)) canvas.Font().Assign(popupFont);
    const TEXTMETRICW tm = CanvasMetrics(canvas);
    TThmMargins margins{};
    ActiveToolbarTheme().GetMarginSet(mkPopupItem, margins);
    const int m = margins.TopHeight + margins.BottomHeight;
    const int rowForText = tm.tmHeight + tm.tmExternalLeading + m;
    const int rowForImage = std::max(1, height + m);
    return std::max(rowForText, rowForImage) * (m + width) / rowForImage;
}

// --- separators -----------------------------------------------------------------------------------

void TThmSeparatorItem::SetSize(int value) {
    value = std::max(value, -1);
    if (value == FSize) return;
    FSize = value;
    Change(true);
}

TBarItemViewerClass TThmSeparatorItem::GetItemViewerClass(TBarView*) {
    return NewItemViewer<TThmSeparatorItemViewer>;
}

void TThmSeparatorItemViewer::CalcSize(TCanvas& canvas, int& width, int& height) {
    const bool toolbarStyle = UsesToolbarStyle();
    auto* separator = dynamic_cast<TThmSeparatorItem*>(Item());
    int size = separator ? separator->Size() : -1;
    if (size < 0)
        size = ActiveToolbarTheme().GetIntMetric(toolbarStyle ? tmToolbarSeparatorSize : tmMenuSeparatorSize);
    if (size < 0) {
        TBarSeparatorItemViewer::CalcSize(canvas, width, height);
        return;
    }
    width = toolbarStyle ? size : 0;
    height = size;
}

void TThmSeparatorItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool, bool pushed, bool) {
    auto* separator = dynamic_cast<TThmSeparatorItem*>(Item());
    if (separator && separator->Size() == 0) return;
    TBarView* view = View();
    const bool toolbarStyle = UsesToolbarStyle();
    const bool vertical = IsVerticalView(view);
    auto* plain = dynamic_cast<TBarSeparatorItem*>(Item());
    TThmItemInfo info{};
    info.ViewKind = GetViewType(view);
    info.ItemFlags = toolbarStyle ? ifToolbarStyle : 0;
    info.Enabled = !(plain && plain->Blank());
    info.Pushed = pushed;
    info.Vertical = vertical;
    if (!toolbarStyle) info.ImageColumnWidth = GetPopupImageColumnWidth(this);
    // A line runs across a row break, and down between the items of a line; items in a
    // popup stand one under the other, so its separators run across.
    const bool lineSeparator = (State & tbvsLineSeparator) != 0;
    const bool horizontal = lineSeparator != vertical || !toolbarStyle;
    ActiveToolbarTheme().PaintItemSeparator(canvas, clientRect, info, horizontal, lineSeparator);
}

}  // namespace themed
