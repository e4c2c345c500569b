#include "controls/toolbar/ui/uidockpanels.h"

#include <windowsx.h>

#include <optional>

#include "classlib/dragdrop.h"
#include "classlib/errors.h"
#include "classlib/form.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbfloating.h"
#include "controls/toolbar/themed/thmnexus.h"
#include "controls/toolbar/ui/uipaint.h"
#include "controls/toolbar/ui/uitext.h"
#include "controls/toolbar/ui/uitheme.h"
#include "controls/wide/widecontrols.h"

namespace ui {

using namespace classlib;
using toolbar::TBarCustomDockableWindow;
using toolbar::TBarDock;

namespace {

// The hit code that starts dragging a dockable window.
constexpr WPARAM HTDRAGHANDLE = 2000;

// Sets a flag for the life of the guard.
struct TFlagGuard {
    explicit TFlagGuard(bool& flag) : Flag(flag) { Flag = true; }
    ~TFlagGuard() { Flag = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;
    bool& Flag;
};

}  // namespace

// --- the multi-dock -----------------------------------------------------------------------------

TUiMultiDock::TUiMultiDock(TComponent* owner) : themed::TThmMultiDock(owner) {
    TBarDock::OnRequestDock = [this](TBarDock*, TBarCustomDockableWindow* bar, bool& accept) {
        // A dock that fills the client area takes only drops inside it.
        if (FPosition == dpxClient && HandleAllocated()) {
            POINT p{};
            GetCursorPos(&p);
            RECT r;
            GetWindowRect(Handle(), &r);
            InflateRect(&r, -1, -1);
            accept = PtInRect(&r, p) != FALSE;
        }
        if (OnRequestDock) OnRequestDock(this, bar, accept);
    };
}

void TUiMultiDock::SetPosition(TUiDockPosition value) {
    if (value == FPosition) return;
    if (ControlCount() > 0) throw EInvalidOperation(toolbar::STBDockCannotChangePosition);
    FPosition = value;
    static constexpr toolbar::TBarDockPosition positions[] = {toolbar::dpLeft, toolbar::dpTop, toolbar::dpRight,
                                                              toolbar::dpBottom, toolbar::dpRight};
    TBarDock::SetPosition(positions[value]);
    if (value == dpxClient) SetAlign(alClient);
    if (HandleAllocated()) ArrangeWindows();
}

void TUiMultiDock::ArrangeWindows() {
    if (FPosition == dpxClient) {
        // Every panel is as wide as the dock.
        for (int i = 0; i < GetVisibleWindowCount(); ++i) {
            auto* panel = dynamic_cast<themed::TThmCustomDockablePanel*>(GetVisibleWindow(i));
            if (!panel) continue;
            int ncWidth = 0, ncHeight = 0;
            panel->GetDockedNCAreaSize(ncWidth, ncHeight);
            const int width = ClientWidth() - ncWidth;
            if (width > 0 && panel->DockedWidth() != width) panel->SetDockedWidth(width);
        }
    }
    themed::TThmMultiDock::ArrangeWindows();
}

bool TUiMultiDock::DoDockedResizing(bool vertical, int& newSize) {
    bool allow = true;
    if (OnDockedResizing) OnDockedResizing(this, vertical, newSize, themed::rsResizing, allow);
    return allow;
}

// --- button options -----------------------------------------------------------------------------

TUiDockablePanelButtonOptions::TUiDockablePanelButtonOptions(TUiDockablePanel* panel, TUiToolbar* toolbar)
    : TUiButtonOptions(panel, toolbar), FPanel(panel) {
    SetMaximize(false);
    SetMinimize(false);
    SetButtonBorders(true);
    SetTitleBarSize(15);
}

void TUiDockablePanelButtonOptions::SetupButton(TUiCustomItem* item) {
    TUiButtonOptions::SetupButton(item);
    item->SetCustomWidth(CustomWidth);
}

void TUiDockablePanelButtonOptions::SetupButtons() {
    TUiButtonOptions::SetupButtons();
    SetCaptionText(FPanel->GetCaption());
}

void TUiDockablePanelButtonOptions::ButtonClick(TUiCustomItem* sender) {
    if (sender == MinimizeItem())
        FPanel->ToggleMinimize();
    else if (sender == MaximizeItem())
        FPanel->ToggleMaximize();
    else if (sender == CloseItem())
        FPanel->Close();
}

bool TUiDockablePanelButtonOptions::IsRestoreButton(TUiCustomItem* item) {
    if (!item) return false;
    if (item == MinimizeItem()) return FPanel->Minimized();
    if (item == MaximizeItem()) return FPanel->Maximized();
    return false;
}

// --- the caption toolbar ------------------------------------------------------------------------

TUiDockablePanelToolbar::TUiDockablePanelToolbar(TComponent* owner) : TUiToolbar(owner) {
    SetOptions(static_cast<toolbar::TBarItemOptions>(Options() | toolbar::tboNoAutoHint));
}

bool TUiDockablePanelToolbar::CanItemClick(toolbar::TBarCustomItem* item, TMouseButton button, TShiftState shift,
                                           int x, int y) {
    auto* bar = dynamic_cast<TUiDockablePanelCaptionBar*>(Owner());
    TUiDockablePanel* panel = bar ? bar->Panel() : nullptr;
    const bool onCaption = !item || (item->ItemStyle() & toolbar::tbstClicksTransparent);
    if (!panel || button != mbLeft || !onCaption || !panel->CanBeDragged())
        return TUiToolbar::CanItemClick(item, button, shift, x, y);
    if (shift & ssDouble) {
        panel->ToggleDockedFloating();
    } else if (panel->HandleAllocated()) {
        // Dragging by the caption is dragging by the drag handle.
        ReleaseCapture();
        const POINT screen = ClientToScreen(POINT{x, y});
        SendMessageW(panel->Handle(), WM_NCLBUTTONDOWN, HTDRAGHANDLE, MAKELPARAM(screen.x, screen.y));
    }
    return false;
}

// --- the caption bar ----------------------------------------------------------------------------

namespace {
TUiToolbar* NewDockablePanelToolbar(TComponent* owner) { return new TUiDockablePanelToolbar(owner); }
}  // namespace

TUiDockablePanelCaptionBar::TUiDockablePanelCaptionBar(TUiDockablePanel* panel)
    : TUiCompoundBar(panel, NewUiDock, NewDockablePanelToolbar), FPanel(panel) {
    SetAlign(alTop);
}

void TUiDockablePanelCaptionBar::DoDrawDockBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                                      bool& paintDefault) {
    TUiCompoundBar::DoDrawDockBackground(canvas, rect, stage, paintDefault);
    FPanel->DrawCaptionBackground(canvas, rect, stage, paintDefault);
}

// --- the panel: life ----------------------------------------------------------------------------

TUiDockablePanel::TUiDockablePanel(TComponent* owner)
    : themed::TThmDockablePanel(owner), FCaptionBitmap(std::make_unique<TBitmap>()) {
    FState.DockedWidth = FState.FloatingWidth = Width();
    FState.DockedHeight = FState.FloatingHeight = Height();
    FCaptionBar = new TUiDockablePanelCaptionBar(this);
    FOptions = std::make_unique<TUiDockablePanelButtonOptions>(this, FCaptionBar->Toolbar());
    FOptions->CreateButtons();
    FOptions->SetupButtons();
    SetMinClientHeight(8);
    SetMinClientWidth(8);
    // The caption bar replaces the caption drawn in the frame.
    toolbar::TBarCustomDockableWindow::SetShowCaption(false);
    themed::TThmDockablePanel::SetShowCaptionWhenDocked(false);
    themed::TThmDockablePanel::SetCaptionRotation(themed::dpcrAlwaysHorz);
}

TUiDockablePanel::~TUiDockablePanel() = default;

void TUiDockablePanel::TearDown() {
    // The caption bar takes its toolbar and the buttons with it; the options that set them
    // up go after them.
    delete FCaptionBar;
    FCaptionBar = nullptr;
    FOptions.reset();
    themed::TThmDockablePanel::TearDown();
}

void TUiDockablePanel::CreateHandle() {
    themed::TThmDockablePanel::CreateHandle();
    if (FCaptionBar && FCaptionBar->Parent() != this) FCaptionBar->SetParent(this);
}

toolbar::TBarRootItem* TUiDockablePanel::Items() const { return FCaptionBar ? FCaptionBar->Items() : nullptr; }

TImageList* TUiDockablePanel::Images() const { return FCaptionBar ? FCaptionBar->Images() : nullptr; }

void TUiDockablePanel::SetImages(TImageList* value) {
    if (FCaptionBar) FCaptionBar->SetImages(value);
}

std::wstring TUiDockablePanel::GetCaption() { return wide::GetWideControlText(this); }
void TUiDockablePanel::SetCaption(const std::wstring& value) { wide::SetWideControlText(this, value); }
std::wstring TUiDockablePanel::GetHint() { return wide::GetWideControlHint(this); }
void TUiDockablePanel::SetHint(const std::wstring& value) { wide::SetWideControlHint(this, value); }

void TUiDockablePanel::CMTextChanged(TMessage& message) {
    themed::TThmDockablePanel::CMTextChanged(message);
    if (!FOptions) return;
    const std::wstring caption = GetCaption();
    if (caption != FOptions->CaptionText()) FOptions->SetCaptionText(caption);
}

void TUiDockablePanel::Loaded() {
    themed::TThmDockablePanel::Loaded();
    // Controls streamed as items of the caption toolbar go onto it.
    if (toolbar::TBarRootItem* items = Items())
        for (int i = 0; i < items->Count(); ++i)
            if (auto* item = dynamic_cast<toolbar::TBarControlItem*>(items->Items(i));
                item && item->Control() && item->Control()->Parent() != CaptionToolbar())
                item->Control()->SetParent(CaptionToolbar());
    ApplyCaptionVisibility();
    if (FOptions) FOptions->SetupButtons();
    UpdateButtons();
    InvalidateCaption(false);
}

void TUiDockablePanel::HandleThemeChange(int change, bool themeSwitched) {
    if (change == themed::tnEndChange) InvalidateCaption(true);
    themed::TThmDockablePanel::HandleThemeChange(change, themeSwitched);
}

toolbar::TBarFloatingWindowParentClass TUiDockablePanel::FloatingParentClass() {
    return []() -> toolbar::TBarFloatingWindowParent* { return new TUiFloatingWindowParent(nullptr); };
}

// --- the panel: caption -------------------------------------------------------------------------

bool TUiDockablePanel::CaptionVisible() { return Floating() ? FShowCaption : FShowCaptionWhenDocked; }

void TUiDockablePanel::ApplyCaptionVisibility() {
    if (FCaptionBar) FCaptionBar->SetVisible(CaptionVisible());
}

void TUiDockablePanel::SetShowCaption(bool value) {
    if (value == FShowCaption) return;
    FShowCaption = value;
    ApplyCaptionVisibility();
}

void TUiDockablePanel::SetShowCaptionWhenDocked(bool value) {
    if (value == FShowCaptionWhenDocked) return;
    FShowCaptionWhenDocked = value;
    ApplyCaptionVisibility();
    if (!Floating() && HandleAllocated()) RedrawWithFrame();
}

void TUiDockablePanel::UpdateButtons() {
    if (!FOptions) return;
    FOptions->UpdateButtonImage(FOptions->MinimizeItem());
    FOptions->UpdateButtonImage(FOptions->MaximizeItem());
}

SIZE TUiDockablePanel::CaptionAreaSize() {
    const int bar = CaptionToolbar() ? CaptionToolbar()->Height() : 0;
    if (Floating()) return {Width() + 4, bar + 4};
    return {Width(), bar + 2};
}

int TUiDockablePanel::CaptionHeight() {
    const int bar = FCaptionBar ? FCaptionBar->Height() : 0;
    if (Floating()) return bar;
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    return bar + ncHeight;
}

void TUiDockablePanel::DrawCaptionBackground(TCanvas& canvas, const RECT& rect, TUiPaintStage stage,
                                             bool& paintDefault) {
    if (stage != pstPrePaint) return;
    paintDefault = false;
    // The bitmap starts at the panel's window origin, the frame's width before its client area.
    if (!Floating())
        PaintCaptionBitmap(canvas, rect.left - 2, rect.top - 2);
    else if (rect.top != 0)
        PaintCaptionBitmap(canvas, -3, -3);
    else
        PaintCaptionBitmap(canvas, -1, -1);
}

void TUiDockablePanel::DoDrawCaptionPanel(TCanvas& canvas, const RECT& rect, TUiPaintStage stage, bool& paintDefault) {
    if (OnDrawCaptionPanel) OnDrawCaptionPanel(this, canvas, rect, stage, paintDefault);
}

void TUiDockablePanel::InvalidateCaption(bool withChildren) {
    FCaptionBitmap->SetSize(1, 1);
    if (!HandleAllocated()) return;
    RedrawWindow(Handle(), nullptr, nullptr,
                 RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | (withChildren ? RDW_ALLCHILDREN : 0));
}

void TUiDockablePanel::PaintCaptionBitmap(TCanvas& canvas, int x, int y) {
    if (!Parent()) return;
    SIZE size = CaptionAreaSize();
    if (Floating()) {
        size.cx -= 2;
        size.cy -= 3;
    }
    if (size.cx <= 0 || size.cy <= 0) return;
    TCanvas& target = FCaptionBitmap->Canvas();
    target.Lock();
    auto unlock = ScopeExit([&target] { target.Unlock(); });
    if (FCaptionBitmap->Width() != size.cx || FCaptionBitmap->Height() != size.cy) {
        FCaptionBitmap->SetSize(size.cx, size.cy);
        HWND window = Floating() && FloatingParent() ? FloatingParent()->Handle() : Handle();
        PaintPanelCaption(window, target, 0, 0, size.cx, size.cy, true);
        const RECT all{0, 0, size.cx, size.cy};
        bool paintDefault = true;
        DoDrawCaptionPanel(target, all, pstPrePaint, paintDefault);
        paintDefault = true;
        DoDrawCaptionPanel(target, all, pstPostPaint, paintDefault);
    }
    canvas.Draw(x, y, *FCaptionBitmap);
}

void TUiDockablePanel::GetPanelInfo(themed::TThmDockPanelFrameInfo& info) {
    themed::TThmDockablePanel::GetPanelInfo(info);
    info.CaptionHorizontal = CurrentDock() == nullptr;
    info.CaptionShown = false;
    info.CloseButtonState = 0;
}

void TUiDockablePanel::DrawNCArea(bool drawToDC, HDC dc, HRGN region) {
    themed::TThmDockablePanel::DrawNCArea(drawToDC, dc, region);
    if (!Docked() || !HandleAllocated() || !CaptionVisible()) return;
    std::optional<TWindowDC> windowDC;
    if (!drawToDC) {
        windowDC.emplace(Handle(), GetWindowDC(Handle()));
        dc = windowDC->Handle();
    }
    if (!dc) return;
    // The caption background continues under the frame beside the caption bar.
    const SIZE area = CaptionAreaSize();
    TSavedDC saved(dc);
    IntersectClipRect(dc, 0, 0, area.cx, area.cy);
    ExcludeClipRect(dc, 2, 2, area.cx - 2, area.cy - 2);
    TCanvas canvas;
    TCanvasDCScope scope(canvas, dc);
    PaintCaptionBitmap(canvas, 0, 0);
}

// --- the panel: sizes ---------------------------------------------------------------------------

bool TUiDockablePanel::OnSideDock() const {
    TBarDock* dock = CurrentDock();
    return dock && !Floating() && dock->Vertical();
}

bool TUiDockablePanel::OnEndDock() const {
    TBarDock* dock = CurrentDock();
    return dock && !Floating() && !dock->Vertical();
}

void TUiDockablePanel::GetContentSize(SIZE& size) {
    themed::TThmDockablePanel::GetContentSize(size);
    TBarDock* dock = CurrentDock();
    if (!FParentChanging || Floating() || !dock) return;
    const int shown = dock->GetVisibleWindowCount();
    const bool alone = shown == 0 || (shown == 1 && dock->GetVisibleWindow(0) == this);
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    if (!alone) {
        // The dock's thickness comes from the panels already there.
        (dock->Vertical() ? size.cx : size.cy) = 10;
    } else if (dock->Vertical()) {
        size.cx = FDefaultDockedWidth;
    } else {
        size.cy = Minimized() ? Height() - ncHeight : FDefaultDockedHeight;
    }
}

void TUiDockablePanel::ConstrainedResize(int& minWidth, int& minHeight, int& maxWidth, int& maxHeight) {
    themed::TThmDockablePanel::ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
    if (FUpdatingState || Floating()) return;
    if (FixedDockedSize) {
        minHeight = maxHeight = Height();
        return;
    }
    minHeight = CaptionHeight();
    if (Minimized()) maxHeight = CaptionHeight();
}

void TUiDockablePanel::GetClientSizeLimits(int& minWidth, int& minHeight, int& maxHeight, int& maxWidth) {
    themed::TThmDockablePanel::GetClientSizeLimits(minWidth, minHeight, maxHeight, maxWidth);
    // A minimized floating panel keeps the height of its caption bar.
    if (Floating() && FState.FloatingMinimized) minHeight = maxHeight = CaptionHeight();
}

bool TUiDockablePanel::ConstrainDockedSize(bool vertical, int& newSize) {
    const bool own = themed::TThmDockablePanel::ConstrainDockedSize(vertical, newSize);
    if (auto* dock = dynamic_cast<TUiMultiDock*>(CurrentDock())) return dock->DoDockedResizing(vertical, newSize);
    return own;
}

// --- the panel: states --------------------------------------------------------------------------

bool TUiDockablePanel::Minimized() const { return Floating() ? FState.FloatingMinimized : FState.DockedMinimized; }

bool TUiDockablePanel::Maximized() const { return !Floating() && FState.Maximized; }

TUiDockablePanel::TPanelCount TUiDockablePanel::CountPanels() {
    TPanelCount count;
    TBarDock* dock = CurrentDock();
    if (!dock) return count;
    for (int i = 0; i < dock->GetVisibleWindowCount(); ++i) {
        TBarCustomDockableWindow* w = dock->GetVisibleWindow(i);
        if (w == this) continue;
        ++count.Others;
        auto* panel = dynamic_cast<TUiDockablePanel*>(w);
        if (!panel) continue;
        if (panel->Minimized()) {
            ++count.MinimizedCount;
            if (!count.FirstMinimized) count.FirstMinimized = panel;
        }
        if (panel->Maximized() && !count.FirstMaximized) count.FirstMaximized = panel;
    }
    return count;
}

TUiDockablePanel* TUiDockablePanel::FindNeighbour() {
    auto* dock = dynamic_cast<themed::TThmMultiDock*>(CurrentDock());
    if (!OnSideDock() || !dock || dock->GetVisibleWindowCount() < 2) return nullptr;
    const std::vector<themed::TThmCustomDockablePanel*> panels = dock->PanelsByPosition();
    int at = -1;
    for (size_t i = 0; i < panels.size(); ++i)
        if (panels[i] == this) at = static_cast<int>(i);
    if (at < 0) return nullptr;
    const auto fits = [this](themed::TThmCustomDockablePanel* p) {
        auto* panel = dynamic_cast<TUiDockablePanel*>(p);
        if (!panel || panel->SplitHeight() <= SplitHeight()) return false;
        int minWidth = 0, minHeight = 0, maxWidth = 0, maxHeight = 0;
        panel->ConstrainedResize(minWidth, minHeight, maxWidth, maxHeight);
        return minHeight != maxHeight;
    };
    for (size_t i = static_cast<size_t>(at) + 1; i < panels.size(); ++i)
        if (fits(panels[i])) return static_cast<TUiDockablePanel*>(panels[i]);
    for (int i = at - 1; i >= 0; --i)
        if (fits(panels[static_cast<size_t>(i)])) return static_cast<TUiDockablePanel*>(panels[static_cast<size_t>(i)]);
    return nullptr;
}

bool TUiDockablePanel::SetPanelSize(int value, bool distribute) {
    if (Floating()) {
        SetFloatingHeight(value);
        return true;
    }
    TBarDock* dock = CurrentDock();
    if (!dock || !dock->HasVisibleWindows()) return false;
    const int oldHeight = Height();
    const int count = dock->GetVisibleWindowCount();
    {
        dock->BeginUpdate();
        auto end = ScopeExit([dock] { dock->EndUpdate(); });
        for (int i = 0; i < count; ++i)
            if (auto* p = dynamic_cast<themed::TThmCustomDockablePanel*>(dock->GetVisibleWindow(i)))
                p->SetSplitHeight(p->Height());
        SetSplitHeight(value);
        if (distribute) {
            // The others share what this panel leaves (only when there are others).
            if (count > 1) {
                const int share = (dock->ClientHeight() - value) / (count - 1);
                for (int i = 0; i < count; ++i)
                    if (auto* p = dynamic_cast<themed::TThmCustomDockablePanel*>(dock->GetVisibleWindow(i));
                        p && p != this)
                        p->SetSplitHeight(share);
            }
        } else if (TUiDockablePanel* neighbour = FindNeighbour()) {
            neighbour->SetSplitHeight(neighbour->Height() + oldHeight - value);
        }
    }
    if (dock->Vertical()) {
        SetSplitHeight(Height());
    } else {
        int ncWidth = 0, ncHeight = 0;
        GetDockedNCAreaSize(ncWidth, ncHeight);
        SetDockedHeight(value - ncHeight);
        SetHeight(value);
    }
    return true;
}

bool TUiDockablePanel::Minimize(bool distribute) {
    TFlagGuard updating(FUpdatingState);
    if (Floating()) {
        if (FState.FloatingMinimized) return false;
        FState.FloatingHeight = FloatingHeight();
        const bool done = SetPanelSize(CaptionHeight(), false);
        FState.FloatingMinimized = done;
        UpdateButtons();
        return done;
    }
    if (Minimized() || !Docked()) return false;
    const TPanelCount count = CountPanels();
    if (OnEndDock() && count.Others != 0) return false;
    if (OnSideDock() && count.Others - count.MinimizedCount < 1) return false;
    if (Height() > CaptionHeight()) FState.DockedHeight = Height();
    const bool done = SetPanelSize(CaptionHeight(), distribute);
    FState.DockedMinimized = done;
    if (done) FState.Maximized = false;
    UpdateButtons();
    return done;
}

bool TUiDockablePanel::Maximize() {
    if (Maximized() || !Docked() || CountPanels().Others == 0) return false;
    FState.Maximized = true;
    const bool done = MaximizeInDock(false);
    FState.Maximized = done;
    if (done) FState.DockedMinimized = false;
    UpdateButtons();
    return done;
}

bool TUiDockablePanel::MaximizeInDock(bool restore) {
    TBarDock* dock = CurrentDock();
    if (!OnSideDock() || !dock->HasVisibleWindows()) return false;
    std::vector<TUiDockablePanel*> touched{this};
    for (TUiDockablePanel* p : touched) p->FUpdatingState = true;
    auto clear = ScopeExit([&touched] {
        for (TUiDockablePanel* p : touched) {
            p->FUpdatingState = false;
            p->UpdateButtons();
        }
    });
    dock->BeginUpdate();
    auto end = ScopeExit([dock] { dock->EndUpdate(); });
    const int count = dock->GetVisibleWindowCount();
    for (int i = 0; i < count; ++i)
        if (auto* p = dynamic_cast<themed::TThmCustomDockablePanel*>(dock->GetVisibleWindow(i)))
            p->SetSplitHeight(p->Height());
    int others = 0;
    for (int i = 0; i < count; ++i) {
        auto* p = dynamic_cast<themed::TThmCustomDockablePanel*>(dock->GetVisibleWindow(i));
        if (!p || p == this) continue;
        if (auto* other = dynamic_cast<TUiDockablePanel*>(p)) {
            other->FUpdatingState = true;
            touched.push_back(other);
            if (restore) {
                if (other->Minimized()) {
                    other->FState.DockedMinimized = false;
                    other->SetSplitHeight(other->FState.DockedHeight);
                }
            } else if (!other->Minimized()) {
                if (other->FState.Maximized)
                    other->FState.Maximized = false;
                else
                    other->FState.DockedHeight = other->Height();
                other->FState.DockedMinimized = true;
                other->SetSplitHeight(other->CaptionHeight());
            }
        }
        others += p->SplitHeight();
    }
    const int rest = dock->ClientHeight() - others;
    if (rest == Height()) {
        SetSplitHeight(FState.DockedHeight);
    } else {
        FState.DockedHeight = Height();
        SetSplitHeight(rest);
    }
    return true;
}

bool TUiDockablePanel::Restore(bool distribute) {
    bool done = false;
    if (Floating() && FState.FloatingMinimized) {
        FState.FloatingMinimized = false;
        done = SetPanelSize(FState.FloatingHeight, false);
        if (!done) FState.FloatingMinimized = true;
    } else if (Maximized()) {
        done = MaximizeInDock(true);
        if (done) FState.Maximized = false;
    } else if (Minimized()) {
        TFlagGuard updating(FUpdatingState);
        FState.DockedMinimized = false;
        done = SetPanelSize(FState.DockedHeight, distribute);
        if (!done) {
            FState.DockedMinimized = true;
        } else if (TUiDockablePanel* maximized = CountPanels().FirstMaximized) {
            maximized->FState.Maximized = false;
            if (maximized->Options().Maximize()) maximized->UpdateButtons();
        }
    }
    UpdateButtons();
    return done;
}

void TUiDockablePanel::ToggleState(bool maximize) {
    if ((Minimized() && !maximize) || (Maximized() && maximize))
        Restore();
    else if (maximize)
        Maximize();
    else
        Minimize();
}

void TUiDockablePanel::RestoreAll() {
    TBarDock* dock = CurrentDock();
    if (Floating() || !dock) return;
    std::vector<TUiDockablePanel*> panels;
    for (int i = 0; i < dock->GetVisibleWindowCount(); ++i)
        if (auto* p = dynamic_cast<TUiDockablePanel*>(dock->GetVisibleWindow(i))) panels.push_back(p);
    for (TUiDockablePanel* p : panels) p->Restore();
}

// --- the panel: docking -------------------------------------------------------------------------

void TUiDockablePanel::SetParent(TWinControl* parent) {
    const bool destroying = (ComponentState() & csDestroying) != 0;
    if (parent != Parent() && !destroying) {
        TFlagGuard changing(FParentChanging);
        themed::TThmDockablePanel::SetParent(parent);
    } else {
        themed::TThmDockablePanel::SetParent(parent);
    }
    if (!Parent() || destroying) return;
    ApplyCaptionVisibility();
    if (Floating()) {
        if (FloatingHeight() < 18) SetFloatingHeight(FState.FloatingHeight);
        FState.FloatingMinimized = false;
    }
    ApplyDockingRules();
    UpdateButtons();
    InvalidateCaption(true);
}

void TUiDockablePanel::ApplyDockingRules() {
    TBarDock* dock = CurrentDock();
    if (!dock || Floating()) return;
    TUiDockablePanel* noted = FSnapshot.Panel;
    const auto handleNoted = [noted] {
        // The panel left behind among minimized ones fills its dock, or else all come back.
        if (noted && !noted->Maximize()) noted->RestoreAll();
    };
    if (FSnapshot.Dock && FSnapshot.Dock == dock) {
        FState = FSnapshot;
        if (noted) noted->Minimize();
        return;
    }
    const TPanelCount count = CountPanels();
    if (Maximized()) {
        if (count.FirstMaximized) {
            FState.Maximized = false;
            Minimize();
        } else {
            FState.Maximized = false;
            SetPanelSize(FState.DockedHeight, false);
        }
        handleNoted();
    } else if (count.FirstMaximized) {
        Minimize();
    } else {
        handleNoted();
        if (OnEndDock()) {
            if (count.Others == 0) {
                if (FSnapshot.DockedMinimized) Minimize();
            } else {
                RestoreAll();
            }
        } else if (OnSideDock() && Minimized() && count.Others == 0) {
            Restore();
        }
    }
}

// --- the panel: messages ------------------------------------------------------------------------

void TUiDockablePanel::Dispatch(TMessage& message) {
    switch (message.Msg) {
    case WM_NCHITTEST: {
        themed::TThmDockablePanel::Dispatch(message);
        if (message.Result == HTNOWHERE && HandleAllocated()) {
            RECT r;
            GetWindowRect(Handle(), &r);
            const POINT p{GET_X_LPARAM(message.LParam), GET_Y_LPARAM(message.LParam)};
            if (PtInRect(&r, p)) message.Result = HTTRANSPARENT;
        }
        return;
    }
    case WM_NCLBUTTONDOWN: {
        auto* dock = dynamic_cast<TUiMultiDock*>(CurrentDock());
        if (dock && message.WParam == HTLEFT && dock->Position() == dpxClient) {
            // The left edge of a client-filling dock resizes the left dock's panel beside it.
            const POINT p{GET_X_LPARAM(message.LParam) - 20, GET_Y_LPARAM(message.LParam)};
            for (TControl* c = FindDragTarget(p, true); c; c = c->Parent()) {
                auto* panel = dynamic_cast<themed::TThmDockablePanel*>(c);
                auto* left = panel ? dynamic_cast<themed::TThmMultiDock*>(panel->Parent()) : nullptr;
                if (!left) continue;
                if (left->Position() == toolbar::dpLeft && panel->HandleAllocated()) {
                    SendMessageW(panel->Handle(), WM_NCLBUTTONDOWN, HTRIGHT, message.LParam);
                    message.Result = 0;
                    return;
                }
                break;
            }
        }
        if (message.WParam == HTDRAGHANDLE) {
            FSnapshot = FState;
            FSnapshot.Dock = CurrentDock();
            FSnapshot.Panel = nullptr;
            const TPanelCount count = CountPanels();
            if (OnSideDock() && count.Others > 0 && count.MinimizedCount == count.Others)
                FSnapshot.Panel = count.FirstMinimized;
        }
        break;
    }
    case WM_CAPTURECHANGED:
        themed::TThmDockablePanel::Dispatch(message);
        if (!Dragging()) {
            FSnapshot.Dock = nullptr;
            FSnapshot.Panel = nullptr;
        }
        return;
    case WM_SIZE:
        themed::TThmDockablePanel::Dispatch(message);
        if (HandleAllocated()) RedrawWindow(Handle(), nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
        return;
    default: break;
    }
    themed::TThmDockablePanel::Dispatch(message);
}

}  // namespace ui
