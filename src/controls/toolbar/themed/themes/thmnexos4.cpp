#include "controls/toolbar/themed/themes/thmnexos4.h"

#include "controls/toolbar/themed/thmregistry.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

TThmNexosTheme::TOptions Nexos4Options() {
    TThmNexosTheme::TOptions o;
    o.MenuBarItemsAsButtons = false;
    o.SolidToolbarEdges = true;
    o.GradientCaptions = false;
    o.CaptionTextHalo = false;
    o.DottedSizeGrip = false;
    o.HotCheckedGradient = true;
    o.GradientPushedFaces = true;
    o.BaseColor = 0xF6DAC9;
    o.NeutralColor = 0xC0C0C0;
    return o;
}

}  // namespace

TThmNexos4Theme::TThmNexos4Theme(std::wstring name)
    : TThmNexos4Theme(std::move(name), Nexos4Options(), SharedThemeResource<TThmGlyphList, TThmNexos4Theme>()) {}

TThmNexos4Theme::TThmNexos4Theme(std::wstring name, const TOptions& options, std::shared_ptr<TThmGlyphList> glyphs)
    : TThmNexosTheme(std::move(name), options, std::move(glyphs)),
      CheckedHotColor(ColorBlendPercent(options.BaseColor, options.NeutralColor, 90)) {}

std::unique_ptr<TThmTheme> CreateNexos4Theme(const std::wstring& name) { return std::make_unique<TThmNexos4Theme>(name); }

void TThmNexos4Theme::AdjustColors() {
    auto& item = States.Item;
    item[4][scText] = 0x000000;
    item[6][scText] = Contrasted(0xFFFFFF, item[6][scFill], 180);
    States.Popup[2][scText] = 0x000000;
}

int TThmNexos4Theme::GetIntMetric(int index) {
    switch (index) {
    case tmMenuImageGap: return 0;
    case tmMenuCaptionGap: return 8;
    default: return TThmNexosTheme::GetIntMetric(index);
    }
}

void TThmNexos4Theme::PaintPressedFace(HDC dc, const RECT& inner) {
    PaintGlossBitmap(dc, inner, 0xFFFFFF, Options.NeutralColor, true);
}

void TThmNexos4Theme::PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const TThmItemInfo& item) {
    const RECT inner = Deflated(r, 1, 1);
    if ((item.Pushed || item.Checked) && item.Enabled) {
        TColor pen;
        if (!item.Pushed && item.HotState == hsNone) {
            PaintRectFill(dc, inner, 0xFFFFFF);
            pen = 0xA0A0A0;
        } else {
            PaintPressedFace(dc, inner);
            pen = States.Item[2][scFrame];
        }
        if (item.Checked && item.Pushed) {
            PaintRampGradient(dc, inner, 0xFFFFFF, Options.NeutralColor, true);
        } else if (item.Checked && item.HotState != hsNone) {
            PaintGlossBitmap(dc, inner, CheckedHotColor, 0xFFFFFF, true);
            pen = BaseColor;
        }
        PaintOctagonOutline(dc, r, lc, rc, pen);
    } else if (IsActiveItem(item) || (item.ItemFlags & ifDesigning)) {
        PaintGlossBitmap(dc, inner, ButtonStateColor(item, scFill), 0xFFFFFF, true);
        PaintOctagonOutline(dc, r, lc, rc, ButtonStateColor(item, scFrame));
    }
}

void TThmNexos4Theme::PaintPopupCheckFace(HDC dc, const RECT& box, const TThmItemInfo& item) {
    const RECT k = Deflated(box, 1, 1);
    PaintRectFill(dc, Deflated(k, 1, 1), 0xFFFFFF);
    const bool resting = !item.Pushed && item.HotState == hsNone;
    PaintOctagonOutline(dc, k, 2, 2, resting ? TColor(0xA0A0A0) : PopupCheckActiveOutline());
}

void TThmNexos4Theme::PaintGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    TColor dot[3][3];
    GripDotColors(dc, GripFaceColor, GripDarkColor, GripLightColor, dot, false);
    PaintGripDots(dc, strip, frame, size, TGripLayout{0, 4, 2}, dot);
}

void TThmNexos4Theme::PaintEditBoxButton(TCanvas& canvas, const RECT& rect, const TThmItemInfo& itemIn,
                                         const TThmEditButtonInfo& button) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    TThmItemInfo item = itemIn;  // each spin half is painted with its own Pushed
    RECT r = rect;
    ++r.left;
    const bool disabled = button.ButtonState & 1, hot = button.ButtonState & 2;
    const bool opaque = HasOpaqueItems(item.ViewKind);
    const TColor neutral = Options.NeutralColor;
    if (button.ButtonKind == 1) {
        const bool pushed = button.ButtonState & 4;
        if (disabled) {
            RECT outline = r;
            PaintRectFrame(dc, outline, States.Item[1][scFrame], false);
        } else if (!pushed) {
            PaintEditButtonFace(dc, r, false, hot, opaque, ToolbarFill, EditFrame);
        } else if (Options.GradientPushedFaces) {
            PaintGlossBitmap(dc, r, 0xFFFFFF, neutral, true);
        } else {
            PaintCheckerRect(dc, r, clWindow, 0xFFF0F0);
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
        if (!disabled) {
            if (halfPushed)
                PaintGlossBitmap(dc, q, 0xFFFFFF, neutral, true);
            else if (hot)
                PaintGlossBitmap(dc, q, States.Item[4][scFill], 0xFFFFFF, true);
            PaintEditButtonFace(dc, q, halfPushed, hot, opaque, ToolbarFill, EditFrame);
        }
        const TColor arrow = ItemStateColor(item, scText);
        PaintSpinArrow(dc, q, upper, arrow);
    }
}

}  // namespace themes
