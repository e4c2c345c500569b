// Push buttons, edit buttons, check boxes, radio buttons, edit and list-box frames and list
// items.
#include "controls/toolbar/ui/uipaint.h"

#include <vssym32.h>

#include "classlib/control.h"
#include "classlib/gdiguards.h"
#include "controls/toolbar/themed/thmgradients.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/themed/thmuxtheme.h"
#include "controls/toolbar/ui/uipaint_p.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"

namespace ui {

using namespace classlib;
using namespace themed;
using namespace ui::detail;

namespace detail {

std::wstring CurrentThemeName() { return GetActiveToolbarThemeName(); }

HTHEME StyleData(TThmVisualStyleClass which) {
    return VisualStylesOpen ? ThemeManager().VisualStyleData(which) : nullptr;
}

bool DrawStyle(HDC dc, HTHEME data, int part, int state, const RECT& rect) {
    auto draw = VisualStyleApi().DrawThemeBackground;
    if (!data || !draw) return false;
    draw(data, dc, part, state, &rect, nullptr);
    return true;
}

}  // namespace detail

namespace {

// The state bits of a theme-drawn check box or radio button: the check state (1 checked, 2
// mixed), then 4 disabled, or 8 hot, 0x10 pushed, 0x20 focused while enabled.
int CheckControlBits(int checkBits, bool enabled, bool hotTrack, bool pushed, bool focused) {
    if (!enabled) return checkBits | 4;
    return checkBits | (hotTrack ? 8 : 0) | (pushed ? 0x10 : 0) | (focused ? 0x20 : 0);
}

// Every pixel of a 32-bit bitmap mixed with white, the bitmap's own colour weighing
// opacity/255 (the arithmetic of the theme layer's tinted images).
void LightenBitmap(TBitmap& bitmap, int opacity) {
    for (int y = 0; y < bitmap.Height(); ++y) {
        auto* row = static_cast<DWORD*>(bitmap.ScanLine(y));
        for (int x = 0; x < bitmap.Width(); ++x) {
            DWORD p = row[x], out = 0;
            for (int shift = 0; shift <= 16; shift += 8) {
                const int channel = static_cast<int>((p >> shift) & 0xFF);
                out |= static_cast<DWORD>((255 * (255 - opacity) + channel * opacity) / 256) << shift;
            }
            row[x] = out;
        }
    }
}

}  // namespace

TThmItemInfo FillButtonItemInfo(bool enabled, bool pushed, bool hotTrack, bool selected) {
    TThmItemInfo item{};
    item.ViewKind = vkToolbarBar;
    item.ItemFlags = ifToolbarStyle | ifAppActive;
    item.Enabled = enabled;
    item.Pushed = pushed && hotTrack;
    item.HotState = hotTrack ? hsSelected : hsNone;
    item.Checked = selected;
    return item;
}

void PaintThmButtonFace(TCanvas& canvas, const RECT& rect, TThmItemInfo item, bool hotTrack, bool checked) {
    const std::wstring theme = CurrentThemeName();
    TThmTheme& painter = ActiveToolbarTheme();
    if (ThemeHasQuirk(theme, uqMetalButtonFace)) {
        PaintAluminumButton(canvas, rect, item.Pushed, 0xDFDFDF);
        return;
    }
    if (ThemeHasQuirk(theme, uqOpaqueRestingButton)) {
        if (!item.Pushed && !hotTrack && !checked) {
            item.ViewKind |= vkOpaqueItems;
            item.HotState = hsNone;
        }
    } else if (ThemeHasQuirk(theme, uqPopupFrameRestingButton)) {
        if (!item.Pushed && !hotTrack && !checked) {
            item.ViewKind = vkPopup;
            painter.PaintItemFrame(canvas, rect, item);
            return;
        }
        if (checked) {
            item.Checked = true;
            item.Pushed = false;
            item.HotState = hotTrack ? hsSelected : hsNone;
        }
    }
    painter.PaintItemButton(canvas, rect, item);
}

void PaintAluminumButton(TCanvas& canvas, const RECT& rect, bool pushed, TColor baseColor) {
    HDC dc = canvas.Handle();
    const TColor light = ColorShiftLevel(baseColor, 16), dark = ColorShiftLevel(baseColor, -16);
    const TColor edgeLight = ColorShiftLevel(baseColor, 24), edgeDark = ColorShiftLevel(baseColor, -24);
    const RECT face = Deflated(rect, 2, 2);
    PaintGradientRect(dc, face, pushed ? dark : light, pushed ? light : dark, true);
    RECT edge = Deflated(face, 1, 1);
    PaintEdgeLines(dc, edge, pushed ? edgeDark : edgeLight, pushed ? edgeLight : edgeDark, true);
    // The outline takes the face's outer ring, so the edge lies right inside it.
    PaintRoundRectInRect(dc, face, 2, 2, ColorShiftLevel(baseColor, -64), clNone);
}

void PaintThemedButton(TCanvas& canvas, const RECT& rect, bool enabled, bool pushed, bool hotTrack,
                       bool checked, bool focused, bool isDefault, TUiThemeType themeType, int kind) {
    if (kind == 1 || kind == 2) {
        TThmItemInfo item = FillButtonItemInfo(enabled, pushed, hotTrack, checked);
        if (kind == 1) item.ViewKind = vkToolbar | vkOpaqueItems;
        ActiveToolbarTheme().PaintItemButton(canvas, rect, item);
    } else if (kind == 3) {
        ActiveToolbarTheme().PaintDockBackground(canvas, rect, rect, 1);
    } else {
        HDC dc = canvas.Handle();
        switch (ResolveThemeType(themeType)) {
        case thtNone: {
            RECT r = rect;
            PaintRectFill(dc, r, clBtnFace);
            if (isDefault || focused) PaintRectFrame(dc, r, clWindowFrame, true);
            if (pushed || checked) {
                PaintRectFrame(dc, r, clBtnShadow, false);
            } else {
                DrawFrameControl(dc, &r, DFC_BUTTON, DFCS_BUTTONPUSH);
            }
            break;
        }
        case thtWindows: {
            int state = PBS_NORMAL;
            if (!enabled) state = PBS_DISABLED;
            else if (pushed || checked) state = PBS_PRESSED;
            else if (hotTrack) state = PBS_HOT;
            else if (isDefault || focused) state = PBS_DEFAULTED;
            DrawStyle(dc, StyleData(vscButton), BP_PUSHBUTTON, state, rect);
            break;
        }
        case thtThm:
            if (hotTrack && !pushed && !checked) {
                // The hot face, paler: drawn on a copy of what lies under the button.
                const int w = Width(rect), h = Height(rect);
                if (w <= 0 || h <= 0) break;
                TBitmap face(w, h, pf32bit);
                BitBlt(face.Canvas().Handle(), 0, 0, w, h, dc, rect.left, rect.top, SRCCOPY);
                PaintThmButtonFace(face.Canvas(), RECT{0, 0, w, h}, FillButtonItemInfo(enabled, false, true, false),
                                   true, false);
                LightenBitmap(face, 180);
                BitBlt(dc, rect.left, rect.top, w, h, face.Canvas().Handle(), 0, 0, SRCCOPY);
            } else {
                // A toolbar-theme push button always shows the hot frame.
                const bool down = pushed || checked;
                PaintThmButtonFace(canvas, rect, FillButtonItemInfo(enabled, down, true, down), hotTrack, checked);
            }
            break;
        }
    }
    if (focused) PaintFocusRect(canvas, Deflated(rect, 3, 3));
}

void PaintEditButtonFace(TCanvas& canvas, const RECT& rect, bool enabled, bool pushed, bool hotTrack,
                         bool checked, bool focused, bool isDefault, TUiThemeType themeType, int kind,
                         TColor frameColor) {
    PaintThemedButton(canvas, rect, enabled, pushed, hotTrack, checked, focused, isDefault, themeType, kind);
    HDC dc = canvas.Handle();
    if (frameColor == clNone) frameColor = static_cast<TColor>(GetPixel(dc, rect.left + 4, rect.top));
    RECT frame = rect;
    PaintRectFrame(dc, frame, frameColor, false);
    const int l = rect.left, t = rect.top, r = rect.right, b = rect.bottom;
    ::SetPixel(dc, l + 1, t + 1, GetPixel(dc, l + 2, t + 1));
    ::SetPixel(dc, r - 2, t + 1, GetPixel(dc, r - 3, t + 1));
    ::SetPixel(dc, l + 1, b - 2, GetPixel(dc, l + 2, b - 2));
    ::SetPixel(dc, r - 2, b - 2, GetPixel(dc, r - 3, b - 2));
}

void PaintThemedCheckBox(TCanvas& canvas, const RECT& rect, bool enabled, wide::TCheckBoxState state,
                         bool hotTrack, bool pushed, bool focused, TUiThemeType themeType) {
    HDC dc = canvas.Handle();
    switch (ResolveThemeType(themeType)) {
    case thtNone: {
        UINT flags = DFCS_BUTTONCHECK;
        if (state == wide::cbChecked) flags |= DFCS_CHECKED;
        if (state == wide::cbGrayed) flags |= DFCS_BUTTON3STATE | DFCS_CHECKED;
        if (!enabled) flags |= DFCS_INACTIVE;
        if (pushed) flags |= DFCS_PUSHED;
        RECT r = rect;
        DrawFrameControl(dc, &r, DFC_BUTTON, flags);
        break;
    }
    case thtWindows: {
        const int base = state == wide::cbChecked ? CBS_CHECKEDNORMAL
                         : state == wide::cbGrayed ? CBS_MIXEDNORMAL
                                                   : CBS_UNCHECKEDNORMAL;
        const int offset = !enabled ? 3 : pushed ? 2 : hotTrack ? 1 : 0;
        DrawStyle(dc, StyleData(vscButton), BP_CHECKBOX, base + offset, rect);
        break;
    }
    case thtThm: {
        // A disabled box still shows its check state.
        const int bits = state == wide::cbChecked ? 1 : state == wide::cbGrayed ? 2 : 0;
        ActiveToolbarTheme().PaintCheckControl(canvas, rect, 1, CheckControlBits(bits, enabled, hotTrack, pushed, focused), 0);
        break;
    }
    }
}

void PaintThemedRadioButton(TCanvas& canvas, const RECT& rect, bool enabled, bool checked, bool hotTrack,
                            bool pushed, bool focused, TUiThemeType themeType) {
    HDC dc = canvas.Handle();
    switch (ResolveThemeType(themeType)) {
    case thtNone: {
        UINT flags = DFCS_BUTTONRADIO;
        if (checked) flags |= DFCS_CHECKED;
        if (!enabled) flags |= DFCS_INACTIVE;
        if (pushed) flags |= DFCS_PUSHED;
        RECT r = rect;
        DrawFrameControl(dc, &r, DFC_BUTTON, flags);
        break;
    }
    case thtWindows: {
        const int base = checked ? RBS_CHECKEDNORMAL : RBS_UNCHECKEDNORMAL;
        const int offset = !enabled ? 3 : pushed ? 2 : hotTrack ? 1 : 0;
        DrawStyle(dc, StyleData(vscButton), BP_RADIOBUTTON, base + offset, rect);
        break;
    }
    case thtThm: {
        ActiveToolbarTheme().PaintCheckControl(canvas, rect, 2,
                                               CheckControlBits(checked ? 1 : 0, enabled, hotTrack, pushed, focused), 0);
        break;
    }
    }
}

void PaintThemedEditFrame(TCanvas& canvas, const RECT& rect, bool enabled, bool hotTrack, TUiThemeType themeType,
                          bool excludeInner) {
    const TUiThemeType resolved = ResolveThemeType(themeType);
    if (resolved == thtNone) return;
    HDC dc = canvas.Handle();
    TSavedDC saved(dc);
    if (excludeInner) {
        const RECT inner = Deflated(rect, hotTrack ? 1 : 2, hotTrack ? 1 : 2);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
    }
    if (resolved == thtWindows) {
        DrawStyle(dc, StyleData(vscComboBox), 0, 0, rect);
    } else {
        const TThmEditBoxInfo editBox{};
        ActiveToolbarTheme().PaintEditBox(canvas, rect, FillButtonItemInfo(enabled, false, hotTrack, false), editBox);
    }
}

void PaintListBoxFrame(TWinControl* listBox, bool hotTrack, TUiThemeType themeType) {
    if (!listBox || !listBox->HandleAllocated()) return;
    HWND window = listBox->Handle();
    TWindowDC dc(window, GetWindowDC(window));
    if (!dc.Handle()) return;
    RECT bounds;
    GetWindowRect(window, &bounds);
    OffsetRect(&bounds, -bounds.left, -bounds.top);
    const RECT client = Deflated(bounds, 2, 2);
    ExcludeClipRect(dc.Handle(), client.left, client.top, client.right, client.bottom);
    PaintBackgroundFromParent(listBox, dc.Handle(), bounds, 0, 0);
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc.Handle());
    PaintThemedEditFrame(canvas, bounds, listBox->Enabled(), hotTrack, themeType, true);
}

void PaintThemedListItem(TCanvas& canvas, const RECT& rect, bool selected, bool pushed, bool focused,
                         TUiThemeType themeType) {
    if (themeType != thtThm) {
        if (selected) {
            canvas.Brush().SetColor(clHighlight);
            canvas.Font().SetColor(clHighlightText);
        }
        canvas.FillRect(rect);
        if (focused) PaintFocusRect(canvas, rect);
        return;
    }
    canvas.FillRect(rect);
    if (!selected) return;
    const TThmItemInfo item = FillButtonItemInfo(true, pushed, true, false);
    TThmTheme& theme = ActiveToolbarTheme();
    canvas.Font().SetColor(theme.GetItemTextColor(item));
    if (ActiveThemeHasQuirk(uqPopupItemSelection))
        theme.PaintPopupItem(canvas, rect, item);
    else
        theme.PaintItemButton(canvas, rect, item);
}

}  // namespace ui
