#include "controls/toolbar/themed/themes/thmnexos2.h"

#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

TThmNexos2Theme::TOptions TThmNexos2Theme::Nexos2Options() {
    TOptions o;
    o.MenuBarItemsAsButtons = false;
    o.SolidToolbarEdges = true;
    o.GradientCaptions = true;
    o.CaptionTextHalo = false;
    o.DottedSizeGrip = true;
    o.HotCheckedGradient = true;
    o.GradientPushedFaces = true;
    o.BaseColor = 0x30C8A8;
    o.NeutralColor = 0xC0C0C0;
    return o;
}

TThmNexos2Theme::TThmNexos2Theme(std::wstring name)
    : TThmNexos2Theme(std::move(name), Nexos2Options(), SharedThemeResource<TThmGlyphList, TThmNexos2Theme>()) {}

TThmNexos2Theme::TThmNexos2Theme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmNexosTheme(std::move(name), options, std::move(glyphs)) {}

std::unique_ptr<TThmTheme> CreateNexos2Theme(const std::wstring& name) { return std::make_unique<TThmNexos2Theme>(name); }

void TThmNexos2Theme::PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const TThmItemInfo& item) {
    const RECT inner = Deflated(r, 1, 1);
    const TColor neutral = Options.NeutralColor;
    if (item.Enabled && (item.Checked || item.Pushed)) {
        if (item.Pushed) {
            PaintRampGradient(dc, inner, 0xFFFFFF, neutral, true);
            PaintCutCornerFrame(dc, r, lc, rc, 0x787878, 0xA8A8A8, 0xC0C0C0);
        } else if (item.HotState != hsNone) {
            PaintGlossBitmap(dc, inner, BaseColor, 0xFFFFFF, true);
            PaintCutCornerFrame(dc, r, lc, rc, 0x484848, 0x888888, 0xC0C0C0);
        } else {
            PaintGlossBitmap(dc, inner, 0xFFFFFF, neutral, true);
            PaintCutCornerFrame(dc, r, lc, rc, 0x787878, 0xA8A8A8, 0xC0C0C0);
        }
    } else if (IsActiveItem(item) || (item.ItemFlags & ifDesigning)) {
        PaintGlossBitmap(dc, inner, ButtonStateColor(item, scFill), 0xFFFFFF, true);
        PaintOctagonOutline(dc, r, lc, rc, ButtonStateColor(item, scFrame));
    }
}

TColor TThmNexos2Theme::CaptionColor(const TThmItemInfo& item, TColor) const {
    if (ViewKindIs(item.ViewKind, vkMenuBar) && item.HotState != hsNone && !Options.MenuBarItemsAsButtons)
        return States.Popup[2][scText];
    if (item.SplitPart == spSplitButton && item.PopupOpen) return 0x000000;
    return ItemStateColor(item, scText);
}

TColor TThmNexos2Theme::DropArrowPairColor(const TThmItemInfo& item) const {
    if (item.SplitPart == spWithArrow || (!item.Pushed && item.HotState == hsNone)) return ItemStateColor(item, scText);
    return 0xFFFFFF;
}

TColor TThmNexos2Theme::ItemFramePen(const TThmItemInfo& item) const {
    return item.Pushed ? BaseColor : ItemStateColor(item, scFrame);
}

void TThmNexos2Theme::PaintPopupCheckFace(HDC dc, const RECT& box, const TThmItemInfo& item) {
    TThmPopupCheckFaceStyle style;
    style.GradientFaces = Options.GradientPushedFaces;
    style.RestingStart = 0xFFFFFF;
    style.RestingEnd = Options.NeutralColor;
    style.ActiveFill = States.Item[4][scFill];
    style.ActiveOutline = BaseColor;
    themes::PaintPopupCheckFace(dc, box, item, style);
}

void TThmNexos2Theme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                         const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    TThmItemInfo item = itemIn;  // each spin half is painted with its own Pushed
    RECT r = rect;
    ++r.left;
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind);
    const TColor neutral = Options.NeutralColor;
    const TColor pushedDark = ColorBlendPercent(BaseColor, 0x000000, 95), pushedLight = ColorBlendPercent(BaseColor, 0xFFFFFF, 10);
    auto restingFace = [&](const RECT& q, bool halfPushed) {
        PaintEditButtonFace(dc, q, halfPushed, hot, opaque, ToolbarFill, EditFrame);
    };
    if (button.ButtonKind == 1) {
        const bool pushed = button.ButtonState & 4;
        if (disabled) {
            PaintRectFrame(dc, r, States.Item[1][scFrame], true);
        } else {
            if (!pushed)
                restingFace(r, false);
            else if (Options.GradientPushedFaces)
                PaintGlossBitmap(dc, r, pushedDark, pushedLight, true);
            else
                PaintCheckerRect(dc, r, clWindow, 0xFFF0F0);
            // A hot or pushed button's divider takes the edit frame's outline colour.
            const TColor pen = !pushed && !hot ? neutral : ItemFramePen(itemIn);
            PaintLine(dc, r.left, r.top, r.left, r.bottom, pen);
        }
        PaintDropArrow(canvas, r, item);
        return;
    }
    if (button.ButtonKind != 2) return;
    for (int half = 0; half < 2; ++half) {
        const bool upper = half == 0;
        const RECT q = SpinHalf(r, upper);
        const bool halfPushed = button.ButtonState & (upper ? 4 : 8);
        item.Pushed = halfPushed;
        TColor pen = ItemFramePen(itemIn);
        if (!disabled) {
            if (hot || halfPushed || opaque) {
                if (halfPushed)
                    PaintGlossBitmap(dc, q, pushedDark, pushedLight, true);
                else if (hot)
                    PaintGlossBitmap(dc, q, States.Item[4][scFill], 0xFFFFFF, true);
                if (!upper && (halfPushed || hot)) pen = BaseColor;
            }
            restingFace(q, halfPushed);
        }
        if (!halfPushed && !hot) pen = neutral;
        if (upper) {
            PaintLine(dc, q.left, q.top, q.left, q.bottom, pen);
        } else {
            const POINT corner[3] = {{q.left, q.bottom - 1}, {q.left, q.top}, {q.right, q.top}};
            PaintPolyline(dc, corner, 2, pen);
        }
        const TColor arrow = !halfPushed && !hot ? ItemStateColor(item, scText) : 0xFFFFFF;
        PaintSpinArrow(dc, q, upper, arrow);
    }
}

}  // namespace themes
