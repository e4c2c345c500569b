#include "controls/toolbar/themed/themes/thmnexosx.h"

#include <algorithm>

#include "controls/toolbar/themed/thmregistry.h"
#include "controls/toolbar/themed/themes/thmgradienthelpers.h"

namespace themes {

using namespace classlib;
using namespace themed;

namespace {

TThmNexosTheme::TOptions NexosXOptions() {
    TThmNexosTheme::TOptions o;
    o.MenuBarItemsAsButtons = false;
    o.SolidToolbarEdges = true;
    o.CaptionTextHalo = false;
    o.DottedSizeGrip = false;
    o.BaseColor = 0xD09020;
    o.NeutralColor = 0xC0C0C0;
    return o;
}

// The ridge's offset from the strip's edge: [close button shown][drag-handle style].
constexpr int kGripRidgeOffsets[2][3] = {{2, 0, 1}, {5, 0, 5}};

}  // namespace

TThmNexosXTheme::TThmNexosXTheme(std::wstring name)
    : TThmNexos3Theme(std::move(name), NexosXOptions(), SharedThemeResource<TThmGlyphList, TThmNexosXTheme>()) {}

std::unique_ptr<TThmTheme> CreateNexosXTheme(const std::wstring& name) { return std::make_unique<TThmNexosXTheme>(name); }

void TThmNexosXTheme::AdjustColors() { States.Item[4][scText] = 0x000000; }

void TThmNexosXTheme::PaintButtonFace(HDC dc, const RECT& r, int lc, int rc, const TThmItemInfo& item) {
    const RECT inner = Deflated(r, 1, 1);
    // A line along the row under the top edge, between the corner cuts.
    auto topLine = [&](int left, int right, TColor c) { PaintLine(dc, left, r.top + 1, right, r.top + 1, c); };
    if (item.Enabled && item.Pushed) {
        PaintGlossBitmap(dc, inner, 0xD0D0D0, 0xB0B0B0, true);
        PaintCutCornerFrame(dc, r, lc, rc, 0x484848, 0x888888, 0xCDCDCD);
        topLine(r.left + lc, r.right - rc, 0xE6E6E6);
    } else if (item.Enabled && item.Checked && item.HotState == hsNone) {
        PaintGlossBitmap(dc, inner, Options.NeutralColor, 0xB0B0B0, true);
        PaintCutCornerFrame(dc, r, lc, rc, 0x484848, 0x888888, 0xA0A0A0);
        topLine(r.left + lc, r.right - rc, 0x969696);
    } else if (item.Enabled && item.Checked) {
        PaintGlossBitmap(dc, inner, 0xFFFFFF, Options.NeutralColor, true);
        topLine(inner.left, inner.right, 0xE6E6E6);
        PaintCutCornerFrame(dc, r, lc, rc, 0x808080, clNone, 0xA0A0A0);
    } else if (IsActiveItem(item) || (item.ItemFlags & ifDesigning)) {
        PaintGlossBitmap(dc, inner, 0xFFFFFF, 0xE0E0E0, true);
        if (lc == 2)
            PaintOctagonOutline(dc, r, 1, 1, 0xD0D0D0);
        else
            PaintOctagonOutline(dc, r, 0, 0, 0xE8E8E8);
        topLine(inner.left, inner.right, 0xF6F6F6);
        PaintOctagonOutline(dc, r, lc, rc, 0xB0B0B0);
    }
}

TColor TThmNexosXTheme::ItemFramePen(const TThmItemInfo& item) const {
    return item.Pushed ? BaseColor : ItemStateColor(item, scFrame);
}

void TThmNexosXTheme::PaintItemFrameFace(HDC dc, const RECT& rect, const TThmItemInfo& item) {
    PaintBandedButtonNormal(dc, Deflated(rect, 1, 1), true, true);
    PaintOctagonOutline(dc, rect, 1, 1, ItemFramePen(item));
}

void TThmNexosXTheme::PaintPopupCheckFace(HDC dc, const RECT& box, const TThmItemInfo& item) {
    const RECT inner = Deflated(box, 1, 1);
    if (!item.Pushed && item.HotState == hsNone) {
        PaintGlossBitmap(dc, inner, Options.NeutralColor, 0xA0A0A0, true);
        PaintOctagonOutline(dc, box, 1, 1, 0xA6A6A6);
        PaintOctagonOutline(dc, box, 2, 2, 0x484848);
        const POINT shade[4] = {{box.left + 2, box.bottom - 1}, {box.right - 3, box.bottom - 1},
                                {box.right - 1, box.bottom - 3}, {box.right - 1, box.top + 1}};
        PaintPolyline(dc, shade, 3, 0x888888);
        PaintLine(dc, inner.left + 1, inner.top, inner.right - 1, inner.top, 0x969696);
    } else {
        PaintGlossBitmap(dc, inner, 0xFFFFFF, Options.NeutralColor, true);
        PaintOctagonOutline(dc, box, 1, 1, 0xA0A0A0);
        PaintLine(dc, inner.left, inner.top, inner.right, inner.top, 0xE6E6E6);
        PaintOctagonOutline(dc, box, 2, 2, 0x808080);
    }
}

void TThmNexosXTheme::PaintItemSeparator(TCanvas& canvas, const RECT& rect, const TThmItemInfo& item, bool horizontal,
                                         bool lineSeparator) {
    if (item.Enabled) TThmNexosTheme::PaintItemSeparator(canvas, rect, item, horizontal, lineSeparator);
}

// --- frames -------------------------------------------------------------------------------------

bool TThmNexosXTheme::FrameHasEdges(int viewKind) const {
    return viewKind == vkToolbar || TThmNexosTheme::FrameHasEdges(viewKind);
}

void TThmNexosXTheme::PaintToolbarFrame(TCanvas& canvas, const RECT& rect, const TThmToolbarFrameInfo& frame) {
    TThmNexosTheme::PaintToolbarFrame(canvas, rect, frame);
}

void TThmNexosXTheme::PaintGrip(HDC dc, const RECT& strip, const TThmToolbarFrameInfo& frame, int size) {
    const COLORREF a = 0x999999, b = 0xA6A6A6, c = 0xB0B0B0, w = 0xFCFCFC, e = 0xD8E0E4;
    const bool close = frame.CloseButtonState & cbsShown;
    const int offset = kGripRidgeOffsets[close ? 1 : 0][std::clamp(frame.DragHandleStyle, 0, 2)];
    RECT g = strip;
    // Pairs of rows (columns) shaded across the strip, closed by a shaded end and a ridge line
    // along the outer side; a strip too short for one pair gets nothing.
    if (!frame.Vertical) {
        g.left += offset;
        if (close) g.top += size - 2;
        int y = g.top + 2;
        if (y >= g.bottom - 5) return;
        for (; y < g.bottom - 5; y += 2) {
            SetPixelV(dc, g.left, y, a), SetPixelV(dc, g.left + 1, y, b), SetPixelV(dc, g.left + 2, y, c);
            SetPixelV(dc, g.left, y + 1, w), SetPixelV(dc, g.left + 1, y + 1, e), SetPixelV(dc, g.left + 2, y + 1, e);
        }
        SetPixelV(dc, g.left, y, a), SetPixelV(dc, g.left + 1, y, b), SetPixelV(dc, g.left + 2, y, c);
        PaintLine(dc, g.left, g.top + 2, g.left, y, b);
    } else {
        g.top += offset;
        if (close) g.right -= size - 2;
        int x = g.left + 2;
        if (x >= g.right - 5) return;
        for (; x < g.right - 5; x += 2) {
            SetPixelV(dc, x, g.top, a), SetPixelV(dc, x, g.top + 1, b), SetPixelV(dc, x, g.top + 2, c);
            SetPixelV(dc, x + 1, g.top, w), SetPixelV(dc, x + 1, g.top + 1, e), SetPixelV(dc, x + 1, g.top + 2, e);
        }
        SetPixelV(dc, x, g.top, a), SetPixelV(dc, x, g.top + 1, b), SetPixelV(dc, x, g.top + 2, c);
        PaintLine(dc, g.left + 2, g.top, x, g.top, b);
    }
}

void TThmNexosXTheme::PaintToolbarCloseButton(HDC dc, const RECT& square, int state) {
    RECT r = square;
    ++r.left;
    if (state & cbsPressed) {
        PaintLinearGradient(dc, r, 0xFFFFFF, 0xC0C0C0, true);
        PaintRectFrame(dc, r, 0xD0D0D0, true);
    } else if (state & cbsHot) {
        PaintRectFrame(dc, r, States.Item[4][scFrame], true);
        PaintBandedButtonNormal(dc, r, true, true);
    } else {
        PaintRectFrame(dc, r, States.Item[0][scFrame], true);
    }
    PaintSmallCloseCross(dc, r, 0x000000);
}

void TThmNexosXTheme::PaintDockPanelFrame(TCanvas& canvas, const RECT& rect, const TThmDockPanelFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const bool across = frame.CaptionHorizontal;
    PaintPanelBorder(dc, rect, canvas.Brush().Color(), across, 0xE0E0E0, 0xE0E0E0, true);
    const RECT r = Deflated(rect, frame.BorderSize.x, frame.BorderSize.y);
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    const RECT band = across ? RECT{r.left, r.top, r.right, r.top + h} : RECT{r.left, r.top, r.left + h, r.bottom};
    PaintRampGradient(dc, band, 0xD0D0D0, 0xF0F0F0, across);
    if (across)
        PaintLine(dc, band.left, band.bottom - 1, band.right, band.bottom - 1, EdgeColor);
    else
        PaintLine(dc, band.right - 1, band.top, band.right - 1, band.bottom, EdgeColor);
    RECT text = across ? RECT{band.left, band.top, band.right, band.bottom - 1}
                       : RECT{band.left, band.top, band.right - 1, band.bottom};
    if (frame.CloseButtonState & cbsShown) {
        RECT square = SplitCloseSquare(text, across, h);
        const RECT in = Deflated(square, 1, 1);
        if (frame.CloseButtonState & cbsPressed) {
            PaintRampGradient(dc, in, 0xF0F0F0, 0xD0D0D0, true);
            PaintOctagonOutline(dc, in, 1, 1, 0xC0C0C0);
            PaintSmallCloseCross(dc, in, 0xFFFFFF);
        } else if (frame.CloseButtonState & cbsHot) {
            PaintBandedButtonNormal(dc, in, true, true);
            PaintOctagonOutline(dc, in, 1, 1, States.Item[4][scFrame]);
            PaintSmallCloseCross(dc, in, 0x000000);
        } else {
            PaintRectFrame(dc, square, States.Item[0][scFrame], true);
            PaintSmallCloseCross(dc, square, 0x000000);
        }
    }
    if (frame.Caption)
        DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, CaptionTextPlace(text, across),
                               DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS | DT_HIDEPREFIX, 0x000000, !across);
}

void TThmNexosXTheme::PaintFloatingFrame(TCanvas& canvas, const RECT& rect, const TThmFloatingFrameInfo& frame) {
    HDC dc = canvas.Handle();
    TThmClipGuard clip(dc, rect);
    const TColor entry = canvas.Brush().Color();
    if (frame.RedrawParts & rpBorder) PaintFloatingBorder(dc, rect, frame, entry, true);
    if (!frame.CaptionShown) return;
    const int h = GetSystemMetrics(SM_CYSMCAPTION);
    RECT caption{0, 0, frame.ClientWidth, h - 1};
    OffsetRect(&caption, frame.BorderSize.x, frame.BorderSize.y);
    const bool close = frame.CloseButtonState & cbsShown;
    if (frame.RedrawParts & rpCaption) {
        RECT k = caption;
        PaintLine(dc, k.left, k.bottom, k.right, k.bottom, entry);
        if (close && (frame.RedrawParts & rpCloseButton)) k.right -= h - 1;
        PaintRampGradient(dc, k, 0xD0D0D0, 0xF0F0F0, true);
        PaintLine(dc, k.left, k.bottom - 1, k.right, k.bottom - 1, EdgeColor);
        k = RECT{k.left + 2, k.top, k.right - 2, k.bottom - 1};
        if (frame.Caption)
            DrawThemeCaptionInFont(canvas, SmallCaptionFont(), frame.Caption, k,
                                   DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS, 0x000000, false);
    }
    if (!close) return;
    // The button's square sits one row above the caption bar (inside the border band).
    RECT q{caption.right - (h - 1), caption.top - 1, caption.right, caption.bottom - 1};
    PaintRampGradient(dc, RECT{q.left, q.top + 1, q.right, q.bottom}, 0xD0D0D0, 0xF0F0F0, true);
    PaintLine(dc, q.left - 1, q.bottom, q.right, q.bottom, EdgeColor);
    const int s = !frame.Active                              ? 1
                  : (frame.CloseButtonState & cbsPressed) ? 3
                  : (frame.CloseButtonState & cbsHot)     ? 4
                                                          : 0;
    if (s == 4 || s == 3) {
        q = Deflated(q, 1, 1);
        if (s == 4)
            PaintBandedButtonNormal(dc, q, true, true);
        else
            PaintRampGradient(dc, q, 0xF0F0F0, 0xD0D0D0, true);
        PaintOctagonOutline(dc, q, 1, 1, s == 4 ? States.Item[4][scFrame] : TColor(0xC0C0C0));
    } else {
        PaintRectFrame(dc, q, States.Item[s][scFrame], true);
        PaintRectFill(dc, q, States.Item[s][scFill]);
    }
    PaintSmallCloseCross(dc, q, 0x000000);
}

}  // namespace themes
