#include "controls/toolbar/ui/uipanels.h"

#include <vsstyle.h>

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/themed/thmuxtheme.h"
#include "controls/toolbar/themed/thmutils.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uipaint_p.h"
#include "controls/toolbar/ui/uitext.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/toolbar/ui/uithemequirks.h"
#include "controls/toolbar/ui/uiwindows.h"
#include "controls/wide/widecontrols.h"
#include "controls/wide/widelabel.h"

namespace ui {

using namespace classlib;
using namespace detail;

// --- border painters ----------------------------------------------------------------------------

void PaintPanelBorder(TCanvas& canvas, const RECT& rect, bool enabled, bool thmStyle, TUiThemeType themeType,
                      TUiPanelBorder borderType) {
    HDC dc = canvas.Handle();
    switch (ResolveThemeType(themeType)) {
    case thtNone: {
        if (borderType == pbrFramed) {
            canvas.Brush().SetColor(clBtnFace);
            canvas.FrameRect(rect);
            return;
        }
        static constexpr UINT edges[] = {BDR_RAISEDINNER, EDGE_RAISED, BDR_SUNKENOUTER, EDGE_SUNKEN, EDGE_BUMP,
                                         EDGE_ETCHED};
        RECT r = rect;
        DrawEdge(dc, &r, edges[borderType], BF_RECT);
        return;
    }
    case thtWindows:
        DrawStyle(dc, StyleData(themed::vscButton), BP_GROUPBOX, enabled ? GBS_NORMAL : GBS_DISABLED, rect);
        return;
    case thtThm: {
        themed::TThmTheme& theme = themed::ActiveToolbarTheme();
        if (thmStyle && !ActiveThemeHasQuirk(uqSystemLook)) {
            theme.PaintItemButton(canvas, rect, FillButtonItemInfo(enabled, false, false, true));
            return;
        }
        TSavedDC saved(dc);
        const RECT inner = Deflated(rect, 2, 2);
        ExcludeClipRect(dc, inner.left, inner.top, inner.right, inner.bottom);
        theme.PaintItemFrame(canvas, rect, FillButtonItemInfo(enabled, true, true, false));
        return;
    }
    }
}

void PaintGroupBoxFrame(TCanvas& canvas, const RECT& rect, const std::wstring& caption, TUiThemeType themeType,
                        bool thmStyle, bool enabled, UINT flags) {
    const TUiThemeType resolved = ResolveThemeType(themeType);
    const auto& api = themed::VisualStyleApi();
    HTHEME button = resolved == thtWindows ? StyleData(themed::vscButton) : nullptr;
    const int state = enabled ? GBS_NORMAL : GBS_DISABLED;
    HDC dc = canvas.Handle();
    RECT captionRect{};
    if (!caption.empty()) {
        if (button && api.GetThemeTextExtent) {
            api.GetThemeTextExtent(button, dc, BP_GROUPBOX, state, caption.c_str(), static_cast<int>(caption.size()),
                                   flags, nullptr, &captionRect);
        } else {
            captionRect = {0, 0, 0, 0};
            DrawWideText(canvas, caption, captionRect, flags | DT_CALCRECT);
        }
        const int width = Width(captionRect), height = Height(captionRect);
        const int x = (flags & DT_RTLREADING) ? Width(rect) - 8 - width : 8;
        captionRect = {rect.left + x, rect.top, rect.left + x + width, rect.top + height};
    }
    RECT frame = rect;
    frame.top += Height(captionRect) / 2;
    {
        TSavedDC saved(dc);
        if (!caption.empty())
            ExcludeClipRect(dc, captionRect.left, captionRect.top, captionRect.right, captionRect.bottom);
        PaintPanelBorder(canvas, frame, enabled, thmStyle, themeType, pbrEtched);
    }
    if (caption.empty()) return;
    if (button && api.DrawThemeText) {
        api.DrawThemeText(button, dc, BP_GROUPBOX, state, caption.c_str(), static_cast<int>(caption.size()), flags, 0,
                          &captionRect);
    } else {
        DrawWideText(canvas, caption, captionRect, flags);
    }
}

// --- the panel ----------------------------------------------------------------------------------

TUiCustomPanel::TUiCustomPanel(TComponent* owner) : TCustomControl(owner), FCache(std::make_unique<TBitmap>()) {
    FControlStyle |= csAcceptsControls;
    FMargins.OnChange = [this] {
        Realign();
        Invalidate();
    };
    FParentColor = false;
    FColor = clNone;
    themed::RegisterThemeClient(this);
}

TUiCustomPanel::~TUiCustomPanel() {
    if (!FReleased) themed::UnregisterThemeClient(this);
}

void TUiCustomPanel::TearDown() {
    FReleased = true;
    themed::UnregisterThemeClient(this);
    TCustomControl::TearDown();
}

std::wstring TUiCustomPanel::GetCaption() { return wide::GetWideControlText(this); }
void TUiCustomPanel::SetCaption(const std::wstring& value) { wide::SetWideControlText(this, value); }
std::wstring TUiCustomPanel::GetHint() { return wide::GetWideControlHint(this); }
void TUiCustomPanel::SetHint(const std::wstring& value) { wide::SetWideControlHint(this, value); }

void TUiCustomPanel::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = L"TUiCustomPanel";
    params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

void TUiCustomPanel::SetBorders(bool value) {
    if (value == FBorders) return;
    FBorders = value;
    InvalidateBackground(true);
}

void TUiCustomPanel::SetBorderType(TUiPanelBorder value) {
    if (value == FBorderType) return;
    FBorderType = value;
    InvalidateBackground(true);
}

void TUiCustomPanel::SetThmStyleBackground(bool value) {
    if (value == FThmStyleBackground) return;
    FThmStyleBackground = value;
    InvalidateBackground(true);
}

void TUiCustomPanel::SetThemeType(TUiThemeType value) {
    if (value == FThemeType) return;
    FThemeType = value;
    InvalidateBackground(false);
}

void TUiCustomPanel::AdjustClientRect(RECT& rect) {
    TCustomControl::AdjustClientRect(rect);
    InflateRect(&rect, -1, -1);
    rect.left += FMargins.Left();
    rect.top += FMargins.Top();
    rect.right -= FMargins.Right();
    rect.bottom -= FMargins.Bottom();
}

void TUiCustomPanel::InvalidateBackground(bool repaint) {
    FCacheValid = false;
    if (!HandleAllocated()) return;
    InvalidateRect(Handle(), nullptr, TRUE);
    if (!repaint) return;
    for (int i = 0; i < ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(Controls(i));
        if (!child || !child->HandleAllocated()) continue;
        if (dynamic_cast<themed::TThmPanelObject*>(child))
            RedrawWindow(child->Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME);
        else
            PostMessageW(child->Handle(), CM_UIBACKGROUNDCHANGED, static_cast<WPARAM>(child->Width()),
                         static_cast<LPARAM>(child->Height()));
    }
}

void TUiCustomPanel::HandleThemeChange(int change, bool) {
    if (change == themed::tnEndChange) InvalidateBackground(true);
}

void TUiCustomPanel::DoDrawBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawBackground) OnDrawBackground(this, canvas, rect, stage, paintDefault);
}

void TUiCustomPanel::DrawBorder(TCanvas& canvas, const RECT& rect) {
    PaintPanelBorder(canvas, rect, true, FThmStyleBackground, FThemeType, FBorderType);
}

void TUiCustomPanel::RebuildBackground(TCanvas& target, const RECT& rect) {
    if ((ComponentState() & csDestroying) || IsRectEmpty(&rect)) return;
    TBitmap bitmap(detail::Width(rect), detail::Height(rect));
    TCanvas& canvas = bitmap.Canvas();
    canvas.Lock();
    auto unlock = ScopeExit([&canvas] { canvas.Unlock(); });
    const RECT local{0, 0, detail::Width(rect), detail::Height(rect)};
    if (Color() == clNone) {
        themed::PaintRectFill(canvas.Handle(), local, clWhite);
        PaintBackgroundFromParent(this, canvas.Handle(), local, rect.left, rect.top);
    } else {
        themed::PaintRectFill(canvas.Handle(), local, Color());
    }
    canvas.Font().Assign(Font());
    canvas.Brush().SetColor(Color() == clNone ? clBtnFace : Color());
    bool paintDefault = true;
    DoDrawBackground(canvas, local, pstPrePaint, paintDefault);
    if (paintDefault) {
        RECT border = local;
        // Without borders only the inner part of the border style shows.
        if (!FBorders) InflateRect(&border, 3, 3);
        DrawBorder(canvas, border);
    }
    paintDefault = true;
    DoDrawBackground(canvas, local, pstPostPaint, paintDefault);
    target.Draw(rect.left, rect.top, bitmap);
}

void TUiCustomPanel::WMEraseBkgnd(TMessage& message) {
    message.Result = 1;
    const bool fromBufferedPaint = message.WParam == static_cast<WPARAM>(message.LParam);
    if (DoubleBuffered && !fromBufferedPaint) return;
    const RECT client = ClientRect();
    if (!FCacheValid) {
        FCache->SetSize(detail::Width(client), detail::Height(client));
        RebuildBackground(FCache->Canvas(), client);
        FCacheValid = true;
    }
    BitBlt(reinterpret_cast<HDC>(message.WParam), 0, 0, FCache->Width(), FCache->Height(), FCache->Canvas().Handle(), 0,
           0, SRCCOPY);
}

void TUiCustomPanel::CMTextChanged(TMessage& message) {
    TCustomControl::CMTextChanged(message);
    InvalidateBackground(false);
    Realign();
}

void TUiCustomPanel::CMEnabledChanged(TMessage& message) {
    TCustomControl::CMEnabledChanged(message);
    InvalidateBackground(false);
}

void TUiCustomPanel::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case CM_UIBACKGROUNDCHANGED:
        InvalidateBackground(true);
        message.Result = 1;
        return;
    case WM_WINDOWPOSCHANGED: {
        TCustomControl::Dispatch(message);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(message.LParam);
        if (pos && (pos->flags & (SWP_NOSIZE | SWP_NOMOVE)) != (SWP_NOSIZE | SWP_NOMOVE)) InvalidateBackground(true);
        return;
    }
    default: break;
    }
    TCustomControl::Dispatch(message);
}

// --- the panel with hot tracking ----------------------------------------------------------------

void TUiPanel::SetHotTrack(bool value) {
    if (value == FHotTrack) return;
    FHotTrack = value;
    InvalidateBackground(false);
}

void TUiPanel::SetHot(bool value) {
    if (ResolveThemeType(ThemeType()) == thtWindows || value == FHot) return;
    FHot = value;
    InvalidateBackground(false);
}

void TUiPanel::AdjustClientRect(RECT& rect) {
    TUiCustomPanel::AdjustClientRect(rect);
    InflateRect(&rect, -1, -1);
}

void TUiPanel::DrawBorder(TCanvas& canvas, const RECT& rect) {
    if (ResolveThemeType(ThemeType()) != thtNone && !ThmStyleBackground() && FHotTrack) {
        PaintThemedEditFrame(canvas, rect, Enabled(), FHot, ThemeType(), true);
        return;
    }
    TUiCustomPanel::DrawBorder(canvas, rect);
}

void TUiPanel::CMMouseEnter(TMessage& message) {
    TUiCustomPanel::CMMouseEnter(message);
    if (FHotTrack) SetHot(true);
}

void TUiPanel::CMMouseLeave(TMessage& message) {
    TUiCustomPanel::CMMouseLeave(message);
    if (FHotTrack && !FChildFocused) SetHot(false);
}

void TUiPanel::CMFocusChanged(TMessage& message) {
    TUiCustomPanel::CMFocusChanged(message);
    if (!FHotTrack) return;
    auto* focused = reinterpret_cast<TWinControl*>(message.LParam);
    FChildFocused = focused && focused->Parent() == this;
    SetHot(FChildFocused);
}

// --- the group box ------------------------------------------------------------------------------

TUiGroupBox::TUiGroupBox(TComponent* owner) : TUiCustomPanel(owner) {
    FControlStyle |= csSetCaption;
    SetBounds(Left(), Top(), 185, 105);
}

void TUiGroupBox::DrawBorder(TCanvas& canvas, const RECT& rect) {
    PaintGroupBoxFrame(canvas, rect, GetCaption(), ThemeType(), ThmStyleBackground(), Enabled(), DT_SINGLELINE);
}

void TUiGroupBox::AdjustClientRect(RECT& rect) {
    TUiCustomPanel::AdjustClientRect(rect);
    TCanvas& canvas = themed::NearestColorBitmap().Canvas();
    canvas.Font().Assign(Font());
    RECT text{0, 0, 0, 0};
    DrawWideText(canvas, L"0", text, DT_CALCRECT | DT_SINGLELINE);
    rect.top += detail::Height(text);
    InflateRect(&rect, -2, -2);
}

void TUiGroupBox::CMDialogChar(TMessage& message) {
    if (wide::IsWideCharAccel(static_cast<wchar_t>(message.WParam), GetCaption()) && CanFocusControl(this)) {
        FocusFirstChild(this);
        message.Result = 1;
        return;
    }
    TUiCustomPanel::CMDialogChar(message);
}

}  // namespace ui
