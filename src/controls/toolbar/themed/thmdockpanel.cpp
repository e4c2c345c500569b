#include "controls/toolbar/themed/thmdockpanel.h"

#include <algorithm>
#include <optional>

#include "classlib/gdiguards.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbfloating.h"
#include "controls/toolbar/themed/thmbars_p.h"
#include "controls/toolbar/themed/thmfloating.h"
#include "controls/toolbar/themed/thmmultidock.h"
#include "controls/toolbar/themed/thmutils.h"

namespace themed {

using namespace classlib;
using namespace toolbar;

namespace {

constexpr int MinClientFloor = 8;

bool IsVerticalDock(TBarDock* dock) { return dock && dock->Vertical(); }

}  // namespace

// --- life -----------------------------------------------------------------------------------------

TThmCustomDockablePanel::TThmCustomDockablePanel(TComponent* owner) : TBarCustomDockableWindow(owner) {
    SetCloseButtonWhenDocked(true);
    SetDblClickUndock(false);
    Guarded([this] { SetBounds(Left(), Top(), 128, 128); });
    SetFullSize(true);
    FColor = clNone;
    FParentColor = false;
    RegisterThemeClient(this);
    RecomputeEffectiveColor();
}

TThmCustomDockablePanel::~TThmCustomDockablePanel() {
    if (!FReleased) UnregisterThemeClient(this);
}

void TThmCustomDockablePanel::TearDown() {
    FReleased = true;
    UnregisterThemeClient(this);
    TBarCustomDockableWindow::TearDown();
}

// --- properties -----------------------------------------------------------------------------------

bool TThmCustomDockablePanel::DockIsVertical() const { return IsVerticalDock(CurrentDock()); }

void TThmCustomDockablePanel::SetBorderSize(int value) {
    if (value == FBorderSize) return;
    FBorderSize = value;
    Realign();
}

void TThmCustomDockablePanel::RedrawOwnFrame() {
    if (Docked() && HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TThmCustomDockablePanel::SetCaptionRotation(TDPCaptionRotation value) {
    FCaptionRotation = value;
    RedrawOwnFrame();
}

void TThmCustomDockablePanel::SetShowCaptionWhenDocked(bool value) {
    FShowCaptionWhenDocked = value;
    RedrawOwnFrame();
}

void TThmCustomDockablePanel::ApplyDockedSize(bool vertical, int client) {
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    Guarded([&] {
        if (vertical)
            SetBounds(Left(), Top(), Width(), client + ncHeight);
        else
            SetBounds(Left(), Top(), client + ncWidth, Height());
    });
}

void TThmCustomDockablePanel::SetDockedWidth(int value) {
    value = std::max(value, FMinClientWidth);
    if (value == FDockedWidth) return;
    FDockedWidth = value;
    if (DockIsVertical()) ApplyDockedSize(false, value);
}

void TThmCustomDockablePanel::SetDockedHeight(int value) {
    value = std::max(value, FMinClientHeight);
    if (value == FDockedHeight) return;
    FDockedHeight = value;
    if (Docked() && !DockIsVertical()) ApplyDockedSize(true, value);
}

void TThmCustomDockablePanel::SetFloatingWidth(int value) {
    value = std::max(value, 0);
    if (!Docked()) value = std::max(value, FMinClientWidth);
    if (value == FFloatingWidth) return;
    FFloatingWidth = value;
    if (!Docked()) ApplyDockedSize(false, value);
}

void TThmCustomDockablePanel::SetFloatingHeight(int value) {
    value = std::max(value, 0);
    if (!Docked()) value = std::max(value, FMinClientHeight);
    if (value == FFloatingHeight) return;
    FFloatingHeight = value;
    if (!Docked()) ApplyDockedSize(true, value);
}

void TThmCustomDockablePanel::SetSplitWidth(int value) {
    value = std::max(value, 0);
    if (value == FSplitWidth) return;
    FSplitWidth = value;
    if (auto* dock = dynamic_cast<TThmMultiDock*>(CurrentDock()); dock && !dock->Vertical()) dock->ArrangeWindows();
}

void TThmCustomDockablePanel::SetSplitHeight(int value) {
    value = std::max(value, 0);
    if (value == FSplitHeight) return;
    FSplitHeight = value;
    if (auto* dock = dynamic_cast<TThmMultiDock*>(CurrentDock()); dock && dock->Vertical()) dock->ArrangeWindows();
}

void TThmCustomDockablePanel::SetMinClientWidth(int value) { FMinClientWidth = std::max(value, MinClientFloor); }

void TThmCustomDockablePanel::SetMinClientHeight(int value) { FMinClientHeight = std::max(value, MinClientFloor); }

void TThmCustomDockablePanel::SetSnapDistance(int value) {
    FSnapDistance = std::max(value, 0);
    PassSnapDistance(*this, FSnapDistance);
}

TBarFloatingWindowParentClass TThmCustomDockablePanel::FloatingParentClass() { return NewThemedFloatingWindowParent; }

void TThmCustomDockablePanel::SetParent(TWinControl* parent) {
    TBarCustomDockableWindow::SetParent(parent);
    PassSnapDistance(*this, FSnapDistance);
}

// --- sizes ----------------------------------------------------------------------------------------

bool TThmCustomDockablePanel::IsVertCaption() {
    switch (FCaptionRotation) {
    case dpcrAlwaysHorz: return false;
    case dpcrAlwaysVert: return Docked();
    default: return Docked() && !DockIsVertical();
    }
}

void TThmCustomDockablePanel::GetDockedNCAreaSize(int& width, int& height) {
    if (!Docked()) {
        width = height = 0;
        return;
    }
    width = height = 4;
    if (FShowCaptionWhenDocked) (IsVertCaption() ? width : height) += GetSystemMetrics(SM_CYSMCAPTION);
}

SIZE TThmCustomDockablePanel::CalcSizeForDock(TBarDock* dock) {
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    if (dock) {
        const RECT client = dock->ClientRect();
        if (dock->Vertical()) return {FDockedWidth, client.bottom - client.top - ncHeight};
        return {client.right - client.left - ncWidth, FDockedHeight};
    }
    TBarDock* current = CurrentDock();
    if (FFloatingWidth == 0)
        FFloatingWidth = current && !current->Vertical() ? Width() - ncWidth : FDockedWidth;
    if (FFloatingHeight == 0)
        FFloatingHeight = current && current->Vertical() ? Height() - ncHeight : FDockedHeight;
    return {FFloatingWidth, FFloatingHeight};
}

void TThmCustomDockablePanel::LayoutContent(bool, TBarDockKind, bool targetFloating, TBarDock* targetDock, SIZE& size) {
    size = CalcSizeForDock(targetFloating ? nullptr : targetDock);
}

void TThmCustomDockablePanel::GetContentSize(SIZE& size) { size = CalcSizeForDock(CurrentDock()); }

void TThmCustomDockablePanel::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    minWidth = FMinClientWidth > 0 ? FMinClientWidth + ncWidth : 0;
    minHeight = FMinClientHeight > 0 ? FMinClientHeight + ncHeight : 0;
    maxWidth = FMaxClientWidth > FMinClientWidth ? FMaxClientWidth + ncWidth : 0;
    maxHeight = FMaxClientHeight > FMinClientHeight ? FMaxClientHeight + ncHeight : 0;
}

void TThmCustomDockablePanel::GetClientSizeLimits(int& minWidth, int& minHeight, int& maxHeight, int& maxWidth) {
    minWidth = FMinClientWidth;
    minHeight = FMinClientHeight;
    maxHeight = FMaxClientHeight;
    maxWidth = FMaxClientWidth;
}

void TThmCustomDockablePanel::BeforeSizeChange(int width, int height) {
    if (FSizeGuard > 0) return;
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    TBarDock* dock = CurrentDock();
    if (dock && dock->Vertical())
        FDockedWidth = std::max(width - ncWidth, FMinClientWidth);
    else if (Floating())
        FFloatingWidth = std::max(width - ncWidth, 0);
    if (dock && !dock->Vertical())
        FDockedHeight = std::max(height - ncHeight, FMinClientHeight);
    else if (Floating())
        FFloatingHeight = std::max(height - ncHeight, 0);
}

void TThmCustomDockablePanel::GetFloatingFrameSize(SIZE& size) {
    POINT border{};
    ActiveToolbarTheme().GetViewBorderSize(ThemeViewKind() | vkFloating, border);
    size = {border.x, border.y};
}

void TThmCustomDockablePanel::GetCloseButtonRect(bool, RECT& rect) {
    // Where the theme draws it: at the end of the caption bar.
    const int caption = GetSystemMetrics(SM_CYSMCAPTION);
    const int side = caption - 1;
    RECT client = ClientRect();
    if (!IsVertCaption()) {
        const int x = client.right - caption + 3;
        rect = {x, 2, x + side, 2 + side};
    } else {
        const int y = client.bottom - caption + 3;
        rect = {2, y, 2 + side, y + side};
    }
}

bool TThmCustomDockablePanel::AcceptsDock(TBarDock* dock) {
    if (!TBarCustomDockableWindow::AcceptsDock(dock)) return false;
    const TDockKinds kind = dynamic_cast<TThmMultiDock*>(dock) ? dkMultiDock : dkStandardDock;
    return (FSupportedDocks & kind) != 0;
}

void TThmCustomDockablePanel::ReadExtraLayout(const TBarLayoutReadProc& reader) {
    if (!reader) return;
    const std::wstring& name = Name();
    SetDockedWidth(reader(name, L"DPDockedWidth", FDockedWidth));
    SetDockedHeight(reader(name, L"DPDockedHeight", FDockedHeight));
    SetFloatingWidth(reader(name, L"DPFloatingWidth", FFloatingWidth));
    SetFloatingHeight(reader(name, L"DPFloatingHeight", FFloatingHeight));
    SetSplitWidth(reader(name, L"DPSplitWidth", FSplitWidth));
    SetSplitHeight(reader(name, L"DPSplitHeight", FSplitHeight));
}

void TThmCustomDockablePanel::WriteExtraLayout(const TBarLayoutWriteProc& writer) {
    if (!writer) return;
    const std::wstring& name = Name();
    writer(name, L"DPDockedWidth", FDockedWidth);
    writer(name, L"DPDockedHeight", FDockedHeight);
    writer(name, L"DPFloatingWidth", FFloatingWidth);
    writer(name, L"DPFloatingHeight", FFloatingHeight);
    writer(name, L"DPSplitWidth", FSplitWidth);
    writer(name, L"DPSplitHeight", FSplitHeight);
}

void TThmCustomDockablePanel::AdjustClientRect(RECT& rect) {
    TBarCustomDockableWindow::AdjustClientRect(rect);
    InflateRect(&rect, -FBorderSize, -FBorderSize);
}

void TThmCustomDockablePanel::Loaded() {
    TBarCustomDockableWindow::Loaded();
    BroadcastColor();
}

// --- colour and theme -----------------------------------------------------------------------------

int TThmCustomDockablePanel::ThemeViewKind() {
    return (Floating() ? vkDockPanelFloating : vkDockPanelDocked) | (Resizable() ? vkResizable : 0);
}

void TThmCustomDockablePanel::RecomputeEffectiveColor() {
    FEffectiveColor = FColor != clNone ? FColor : ActiveToolbarTheme().GetViewFillColor(ThemeViewKind());
}

void TThmCustomDockablePanel::BroadcastColor() { BroadcastEffectiveColor(this, FEffectiveColor); }

void TThmCustomDockablePanel::InsertControl(TControl* control) {
    TBarCustomDockableWindow::InsertControl(control);
    if (FColor == clNone) control->Perform(CM_PARENTCOLORCHANGED, 1, static_cast<LPARAM>(FEffectiveColor));
}

void TThmCustomDockablePanel::CMColorChanged(TMessage& message) {
    TBarCustomDockableWindow::CMColorChanged(message);
    RecomputeEffectiveColor();
    Brush().SetColor(FEffectiveColor);
    RepaintWithColor(*this, FEffectiveColor);
}

void TThmCustomDockablePanel::CMTextChanged(TMessage& message) {
    TBarCustomDockableWindow::CMTextChanged(message);
    RedrawCaptionFrame(*this);
}

void TThmCustomDockablePanel::HandleThemeChange(int change, bool) {
    if (change == tnBeginChange) {
        BeginUpdate();
    } else if (change == tnEndChange) {
        EndUpdate();
        RecomputeEffectiveColor();
        ReframeDockable(*this);
        Invalidate();
        BroadcastColor();
    }
}

// --- painting -------------------------------------------------------------------------------------

void TThmCustomDockablePanel::GetPanelInfo(TThmDockPanelFrameInfo& info) {
    info = {};
    info.WindowHandle = HandleAllocated() ? Handle() : nullptr;
    info.ViewKind = ThemeViewKind();
    TBarDock* dock = CurrentDock();
    info.CaptionHorizontal = dock && !IsVertCaption();
    info.AllowDrag = dock && dock->AllowDrag();
    info.BorderStyle = BorderStyle() == bsNone ? 0 : 1;
    ActiveToolbarTheme().GetViewBorderSize(info.ViewKind, info.BorderSize);
    const RECT client = ClientRect();
    info.ClientWidth = client.right - client.left;
    info.ClientHeight = client.bottom - client.top;
    info.CaptionShown = FShowCaptionWhenDocked;
    if (FShowCaptionWhenDocked && CloseButtonWhenDocked())
        info.CloseButtonState =
            cbsShown | (CloseButtonPushed() ? cbsPressed : 0) | (CloseButtonHot() ? cbsHot : 0);
    info.EffectiveColor = FEffectiveColor;
}

void TThmCustomDockablePanel::DrawNCArea(bool drawToDC, HDC dc, HRGN region) {
    if (!Docked() || !HandleAllocated()) return;
    std::optional<TWindowDC> windowDC;
    if (!drawToDC) {
        windowDC.emplace(Handle(), GetWindowDC(Handle()));
        dc = windowDC->Handle();
        if (!dc) return;
    }
    TThmDockPanelFrameInfo info{};
    GetPanelInfo(info);
    RECT window;
    GetWindowRect(Handle(), &window);
    OffsetRect(&window, -window.left, -window.top);
    TSavedDC saved(dc);
    if (!drawToDC) {
        ClipToNCUpdateRegion(Handle(), dc, region);
        RECT client = window;
        InflateRect(&client, -info.BorderSize.x, -info.BorderSize.y);
        if (info.CaptionShown) (info.CaptionHorizontal ? client.top : client.left) += GetSystemMetrics(SM_CYSMCAPTION);
        ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    }
    const std::wstring caption = Caption();
    info.Caption = caption.c_str();
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc);
    canvas.Brush().SetColor(FEffectiveColor);
    ActiveToolbarTheme().PaintDockPanelFrame(canvas, window, info);
}

// --- messages -------------------------------------------------------------------------------------

void TThmCustomDockablePanel::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_ERASEBKGND: {
        RECT r = ClientRect();
        PaintRectFill(reinterpret_cast<HDC>(m.WParam), r, FEffectiveColor);
        m.Result = 1;
        return;
    }
    case WM_WINDOWPOSCHANGED: {
        TBarCustomDockableWindow::Dispatch(m);
        const auto* pos = reinterpret_cast<const WINDOWPOS*>(m.LParam);
        if (!pos) return;
        if (!(pos->flags & SWP_NOSIZE)) {
            Realign();
            Update();
        }
        if (pos->flags & SWP_SHOWWINDOW) {
            RecomputeEffectiveColor();
            BroadcastColor();
        }
        return;
    }
    case WM_NCCALCSIZE:
        if (Docked()) {
            WMNCCalcSizePanel(m);
            return;
        }
        break;
    case WM_NCHITTEST:
        if (Docked()) {
            WMNCHitTestPanel(m);
            return;
        }
        break;
    case WM_SETCURSOR:
        if (WMSetCursorPanel(m)) return;
        break;
    case WM_NCLBUTTONDOWN:
        if (WMNCLButtonDownPanel(m)) return;
        break;
    default: break;
    }
    TBarCustomDockableWindow::Dispatch(m);
}

// --- the frame of any window ----------------------------------------------------------------------

void RecalcFrame(TWinControl* window) {
    if (!window || !window->HandleAllocated()) return;
    HWND wnd = window->Handle();
    RECT before;
    GetClientRect(wnd, &before);
    SetWindowPos(wnd, nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    RECT after;
    GetClientRect(wnd, &after);
    const int dw = (before.right - before.left) - (after.right - after.left);
    const int dh = (before.bottom - before.top) - (after.bottom - after.top);
    if (dw != 0 || dh != 0) {
        const RECT b = window->BoundsRect();
        window->SetBounds(b.left - dw / 2, b.top - dh / 2, (b.right - b.left) + dw, (b.bottom - b.top) + dh);
    }
    RedrawWindow(wnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

}  // namespace themed
