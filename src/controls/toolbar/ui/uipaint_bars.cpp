// Status bars, caption bars, title-bar frames and panel captions, and the small helpers:
// the parent's background, focus rectangles and triangle arrows.
#include "controls/toolbar/ui/uipaint.h"

#include <vssym32.h>

#include "classlib/control.h"
#include "classlib/gdiguards.h"
#include "controls/toolbar/themed/thmgradients.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uipaint_p.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"

namespace ui {

using namespace classlib;
using namespace themed;
using namespace ui::detail;

namespace {

// A bitmap whose canvas brush holds `color`, filled with it.
void PrepareBitmap(TBitmap& bitmap, int width, int height, TColor color) {
    bitmap.SetSize(width, height);
    bitmap.Canvas().Brush().SetColor(color);
    bitmap.Canvas().FillRect(RECT{0, 0, width, height});
}

// The floating frame record of a title bar painted on a bitmap of the given size.
TThmFloatingFrameInfo TitleFrameInfo(HWND window, int width, int height, int redrawParts, TColor color) {
    TThmFloatingFrameInfo frame{};
    frame.WindowHandle = window;
    frame.ClientHandle = window;
    frame.ViewKind = vkToolbarBar | vkResizable | vkFloating;
    frame.ClientWidth = width;
    frame.ClientHeight = height;
    frame.CaptionShown = true;
    frame.BorderSize = POINT{GetSystemMetrics(SM_CXFRAME), GetSystemMetrics(SM_CYFRAME)};
    frame.RedrawParts = redrawParts;
    frame.EffectiveColor = color;
    frame.Active = true;
    return frame;
}

// A gradient from the button face 12 levels lighter at the top to 12 darker at the bottom.
void PaintFaceGradient(HDC dc, const RECT& rect) {
    PaintGradientRect(dc, rect, ColorShiftLevel(clBtnFace, 12), ColorShiftLevel(clBtnFace, -12), true);
}

}  // namespace

void PaintThemedStatusBar(TCanvas& canvas, const RECT& rect, const RECT& gripRect, bool officeStyle,
                          TUiThemeType themeType) {
    HDC dc = canvas.Handle();
    const bool grip = !IsRectEmpty(&gripRect);
    switch (ResolveThemeType(themeType)) {
    case thtWindows: {
        HTHEME data = StyleData(vscStatus);
        DrawStyle(dc, data, 0, 0, rect);
        if (grip) DrawStyle(dc, data, SP_GRIPPER, 0, gripRect);
        break;
    }
    case thtThm: {
        TThmTheme& theme = ActiveToolbarTheme();
        if (officeStyle) {
            RECT r = rect;
            PaintRectFill(dc, r, clBtnFace);
            PaintRectFrame(dc, r, clWindow, false);
        } else {
            theme.PaintStatusBarPart(canvas, rect, 0);
        }
        if (grip) theme.PaintStatusBarPart(canvas, gripRect, 3);
        break;
    }
    case thtNone: {
        RECT r = rect;
        PaintRectFill(dc, r, clBtnFace);
        PaintEdgeLines(dc, r, clBtnShadow, clWindow, false);
        if (grip) {
            RECT g = Deflated(gripRect, 0, 1);
            DrawFrameControl(dc, &g, DFC_SCROLL, DFCS_SCROLLSIZEGRIP);
        }
        break;
    }
    }
}

void PaintCaptionBar(TCanvas& canvas, const RECT& rect, bool active) {
    BOOL gradient = FALSE;
    if (!SystemParametersInfoW(SPI_GETGRADIENTCAPTIONS, 0, &gradient, 0)) gradient = FALSE;
    UINT flags = DC_TEXT;
    if (active) flags |= DC_ACTIVE;
    if (gradient) flags |= DC_GRADIENT;
    canvas.Lock();
    RECT r = rect;
    DrawCaption(GetDesktopWindow(), canvas.Handle(), &r, flags);
    canvas.Unlock();
}

void PaintTitleBarFrame(HWND window, TCanvas& canvas, const RECT& rect, int captionWidth, int captionHeight,
                        bool dockBackground) {
    const int width = Width(rect), height = Height(rect);
    if (width <= 0 || height <= 0) return;
    const TColor color = canvas.Brush().Color();
    const std::wstring theme = CurrentThemeName();
    TThmTheme& painter = ActiveToolbarTheme();
    TBitmap bitmap;
    PrepareBitmap(bitmap, width, height, color);
    TCanvas& target = bitmap.Canvas();
    const RECT whole{0, 0, width, height};

    if (dockBackground && !ThemeHasQuirk(theme, uqSystemLook))
        PaintThemedButton(target, Deflated(whole, -3, -3), true, false, false, false, false, false, thtThm, 3);
    if (captionHeight < height)
        painter.PaintFloatingFrame(target, whole, TitleFrameInfo(window, width, height, rpBorder, color));
    if (captionWidth > 0 && captionHeight > 0) {
        const RECT strip{0, 0, captionWidth, captionHeight};
        HDC dc = target.Handle();
        if (ThemeHasQuirk(theme, uqGradientCaptionStrip)) {
            PaintFaceGradient(dc, strip);
            PaintLine(dc, strip.left, strip.bottom - 1, strip.right, strip.bottom - 1, clBtnShadow);
        } else {
            // The theme's caption bar of a floating frame, its top rows stretched over the strip.
            const int frameHeight = height + 100;
            TBitmap frame;
            PrepareBitmap(frame, width, frameHeight, color);
            painter.PaintFloatingFrame(frame.Canvas(), RECT{0, 0, width, frameHeight},
                                       TitleFrameInfo(window, width, frameHeight, rpBorder | rpCaption, color));
            StretchBlt(dc, strip.left, strip.top, captionWidth, captionHeight, frame.Canvas().Handle(), 0, 0, width,
                       GetSystemMetrics(SM_CYSMCAPTION) - 1, SRCCOPY);
        }
    }
    canvas.Draw(rect.left, rect.top, bitmap);
}

void PaintPanelCaption(HWND window, TCanvas& canvas, int x, int y, int width, int height, bool) {
    if (width <= 0 || height <= 0) return;
    const TColor color = canvas.Brush().Color();
    const std::wstring theme = CurrentThemeName();
    TBitmap bitmap;
    if (ThemeHasQuirk(theme, uqTitleFrameCaption)) {
        PrepareBitmap(bitmap, width, height, color);
        PaintTitleBarFrame(window, bitmap.Canvas(), RECT{0, 0, width, height}, width, height, true);
    } else if (ThemeHasQuirk(theme, uqSystemLook) || ThemeHasQuirk(theme, uqGradientCaptionStrip)) {
        PrepareBitmap(bitmap, width, height, color);
        HDC dc = bitmap.Canvas().Handle();
        RECT r{0, 0, width, height};
        PaintRectFrame(dc, r, clBtnFace, false);
        r = Deflated(r, 1, 0);
        PaintFaceGradient(dc, r);
        DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    } else {
        // The theme's docked panel frame, its caption rows stretched over the caption.
        TThmTheme& painter = ActiveToolbarTheme();
        const int frameHeight = height + 100;
        PrepareBitmap(bitmap, width, frameHeight, color);
        TThmDockPanelFrameInfo frame{};
        frame.WindowHandle = window;
        frame.ViewKind = vkDockPanelDocked | vkResizable;
        frame.CaptionHorizontal = true;
        frame.BorderStyle = 1;
        painter.GetViewBorderSize(frame.ViewKind, frame.BorderSize);
        frame.ClientWidth = width;
        frame.ClientHeight = frameHeight;
        frame.CaptionShown = true;
        frame.EffectiveColor = color;
        painter.PaintDockPanelFrame(bitmap.Canvas(), RECT{0, 0, width, frameHeight}, frame);
        HDC dc = canvas.Handle();
        TSavedDC saved(dc);
        SetStretchBltMode(dc, HALFTONE);
        SetBrushOrgEx(dc, 0, 0, nullptr);
        StretchBlt(dc, x, y, width, height, bitmap.Canvas().Handle(), 0, 0, width,
                   GetSystemMetrics(SM_CYSMCAPTION) + 1, SRCCOPY);
        return;
    }
    canvas.Draw(x, y, bitmap);
}

void PaintBackgroundFromParent(TControl* control, HDC dc, const RECT& rect, int x, int y) {
    TWinControl* parent = control ? control->Parent() : nullptr;
    if (!parent) {
        PaintRectFill(dc, rect, clBtnFace);
        return;
    }
    LRESULT erased = 0;
    if (parent->HandleAllocated()) {
        const POINT offset = parent->ScreenToClient(control->ClientToScreen(POINT{x, y}));
        TSavedDC saved(dc);
        POINT origin;
        OffsetWindowOrgEx(dc, offset.x, offset.y, nullptr);
        GetBrushOrgEx(dc, &origin);
        SetBrushOrgEx(dc, origin.x - offset.x, origin.y - offset.y, nullptr);
        erased = SendMessageW(parent->Handle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    }
    if (!erased && parent->Color() != clNone) PaintRectFill(dc, rect, parent->Color());
}

void PaintFocusRect(TCanvas& canvas, const RECT& rect) {
    if (IsRectEmpty(&rect)) return;
    HDC dc = canvas.Handle();
    const COLORREF text = SetTextColor(dc, RGB(0, 0, 0));
    const COLORREF back = SetBkColor(dc, RGB(255, 255, 255));
    ::DrawFocusRect(dc, &rect);
    SetTextColor(dc, text);
    SetBkColor(dc, back);
}

void PaintTriangleArrow(HDC dc, int x, int y, TColor color, bool horizontal, int size) {
    if (horizontal) {
        const POINT points[3] = {{x - size, y}, {x + size, y}, {x, y + size}};
        PaintPolygon(dc, points, 2, color, color);
    } else {
        const POINT points[3] = {{x, y - size}, {x, y + size}, {x + size, y}};
        PaintPolygon(dc, points, 2, color, color);
    }
}

}  // namespace ui
