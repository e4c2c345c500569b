#include "controls/toolbar/tbtoolbar.h"

#include "classlib/application.h"
#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbacc.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbfloating.h"
#include "controls/toolbar/tbhook.h"
#include "controls/toolbar/tbpopup.h"

#include <algorithm>
#include <cstdlib>

namespace toolbar {

using namespace classlib;

const wchar_t* const STBChevronHint = L"More Buttons|";

namespace {

constexpr int ChevronSize = 12;

std::vector<TBarCustomToolbar*> gShortCutToolbars;
const char gShortCutHookKey = 0;

TBarCustomToolbar* RequireToolbar(TComponent* owner, const wchar_t* what) {
    auto* toolbar = dynamic_cast<TBarCustomToolbar*>(owner);
    if (!toolbar) throw EInvalidCast(std::wstring(what) + L" needs a toolbar as its owner");
    return toolbar;
}

TForm* ActiveFormOfThread() { return dynamic_cast<TForm*>(FindControl(GetActiveWindow())); }

// The form a toolbar belongs to: through its floating form when it floats.
TForm* OwnerFormOf(TBarCustomToolbar* toolbar) {
    TControl* c = toolbar;
    if (toolbar->Floating() && toolbar->FloatingParent()) {
        for (TComponent* o = toolbar->Owner(); o; o = o->Owner())
            if (auto* f = dynamic_cast<TForm*>(o)) return f;
        return nullptr;
    }
    return GetParentForm(c);
}

bool FormShortCut(TForm* form, TMessage& message) {
    if (!form || !form->HandleAllocated() || !IsWindowEnabled(form->Handle())) return false;
    for (TBarCustomToolbar* toolbar : std::vector<TBarCustomToolbar*>(gShortCutToolbars)) {
        if (std::find(gShortCutToolbars.begin(), gShortCutToolbars.end(), toolbar) == gShortCutToolbars.end()) continue;
        if (OwnerFormOf(toolbar) != form) continue;
        bool handled = false;
        if (toolbar->OnShortCut) toolbar->OnShortCut(message, handled);
        if (!handled)
            handled = toolbar->Items()->ProcessShortCut(static_cast<WORD>(message.WParam), message.LParam);
        if (handled) {
            message.Result = 1;
            return true;
        }
    }
    return false;
}

bool SysCommandToChildren(TWinControl* parent, TMessage& message) {
    for (int i = 0; i < parent->ControlCount(); ++i) {
        auto* child = dynamic_cast<TWinControl*>(parent->Controls(i));
        if (!child || !child->Visible() || !child->Enabled()) continue;
        const bool candidate = (dynamic_cast<TBarDock*>(child) || dynamic_cast<TBarCustomToolbar*>(child)) &&
                               (child->ControlStyle() & csMenuEvents);
        if (candidate && child->Perform(WM_SYSCOMMAND, message.WParam, message.LParam) != 0) return true;
        if (SysCommandToChildren(child, message)) return true;
    }
    return false;
}

bool ShortCutHook(TMessage& message) {
    TForm* active = ActiveFormOfThread();
    if (!active) return false;
    if (message.Msg == CM_APPKEYDOWN) {
        if (active->FormStyle() == fsMDIForm)
            if (TForm* child = active->ActiveMDIChild(); child && FormShortCut(child, message)) return true;
        if (FormShortCut(active, message)) return true;
        if (Application && Application->MainForm() && active != Application->MainForm())
            return FormShortCut(Application->MainForm(), message);
        return false;
    }
    if (message.Msg == CM_APPSYSCOMMAND) {
        if (!active->Enabled() || !active->Visible()) return false;
        if (SysCommandToChildren(active, message)) {
            message.Result = 1;
            return true;
        }
    }
    return false;
}

}  // namespace

const std::vector<TBarCustomToolbar*>& ShortCutToolbars() { return gShortCutToolbars; }

// --- the view ----------------------------------------------------------------------------

TBarToolbarView::TBarToolbarView(TComponent* owner, TBarView* parentView, TBarCustomItem* parentItem,
                                 TWinControl* window, bool isToolbar, bool customizing, bool usePriorityList)
    : TBarView(owner, parentView, parentItem, window, isToolbar, customizing, usePriorityList),
      FToolbar(RequireToolbar(owner, L"TBarToolbarView")) {}

void TBarToolbarView::ResizeWindow(int width, int height) {
    FToolbar->FBaseSize = BaseSize();
    if (FToolbar->FSelfSizing == 0 && FToolbar->AutoSizeWanted()) FToolbar->ResizeToContent(width, height);
}

void TBarToolbarView::DoRecalcPositions(SIZE& totalSize) {
    TBarCustomToolbar* t = FToolbar;
    if (TBarDock* dock = t->CurrentDock()) {
        // The toolbar takes the thickness of its row.
        const int across = dock->GetRowThicknessOfOthers(t->ArrangedRow(), t);
        if (dock->Vertical())
            totalSize.cx = std::max<LONG>(totalSize.cx, across);
        else
            totalSize.cy = std::max<LONG>(totalSize.cy, across);
    }
    if (t->FullSize()) {
        if (Orientation() == tbvoVertical)
            totalSize.cy = std::max<LONG>(totalSize.cy, WrapOffset());
        else
            totalSize.cx = std::max<LONG>(totalSize.cx, WrapOffset());
    }
    ++t->FLayoutCount;
    auto lower = ScopeExit([t] { --t->FLayoutCount; });
    TBarView::DoRecalcPositions(totalSize);
}

TBarCustomItem* TBarToolbarView::QueryChevronItem() { return FToolbar->FChevronItem; }
TBarCustomItem* TBarToolbarView::QueryMDIButtonsItem() { return FToolbar->MDIButtonsItem; }
TBarCustomItem* TBarToolbarView::QueryMDISystemMenuItem() { return FToolbar->MDISystemMenuItem; }

TFont& TBarToolbarView::QueryFont() { return FToolbar->SystemFont() ? MenuFont() : FToolbar->Font(); }

// --- the chevron -------------------------------------------------------------------------

TBarChevronItem::TBarChevronItem(TComponent* owner)
    : TBarCustomItem(owner), FToolbar(RequireToolbar(owner, L"TBarChevronItem")) {
    FItemStyle = static_cast<TBarItemStyle>(FItemStyle | tbstSubmenu | tbstNoAutoOpen);
    SetHint(STBChevronHint);
    SetCaption(DoubleAccelMarks(GetShortHint(STBChevronHint)));
}

TBarView* TBarChevronItem::ChevronSourceView() { return FToolbar->View(); }

TBarItemViewerClass TBarChevronItem::GetItemViewerClass(TBarView*) { return NewItemViewer<TBarChevronItemViewer>; }

void TBarChevronItemViewer::Paint(TCanvas& canvas, const RECT& clientRect, bool selected, bool pushed, bool) {
    const HDC dc = canvas.Handle();
    const bool enabled = Item()->Enabled();
    const bool designing = View()->Customizing();
    RECT r = clientRect;
    if (enabled) {
        if (pushed)
            DrawEdge(dc, &r, BDR_SUNKENOUTER, BF_RECT);
        else if (selected && !designing)
            DrawEdge(dc, &r, BDR_RAISEDINNER, BF_RECT);
    }
    static const unsigned char horizontal[5] = {0xCC, 0x66, 0x33, 0x66, 0xCC};
    static const unsigned char vertical[8] = {0x88, 0xD8, 0x70, 0x20, 0x88, 0xD8, 0x70, 0x20};
    const bool isVertical = View()->Orientation() == tbvoVertical;
    const unsigned char* rows = isVertical ? vertical : horizontal;
    const int rowCount = isVertical ? 8 : 5;
    const int width = isVertical ? 5 : 8;
    POINT origin = isVertical ? POINT{clientRect.right - 9, clientRect.top + 2} : POINT{clientRect.left + 2, 4};
    if (pushed) {
        ++origin.x;
        ++origin.y;
    }
    const auto glyph = [&](POINT at, int colorIndex) {
        const HBRUSH brush = GetSysColorBrush(colorIndex);
        for (int y = 0; y < rowCount; ++y)
            for (int x = 0; x < width; ++x)
                if (rows[y] & (0x80 >> x)) {
                    RECT dot{at.x + x, at.y + y, at.x + x + 1, at.y + y + 1};
                    FillRect(dc, &dot, brush);
                }
    };
    if (enabled) {
        glyph(origin, COLOR_BTNTEXT);
    } else {
        glyph({origin.x + 1, origin.y + 1}, COLOR_BTNHIGHLIGHT);
        glyph(origin, COLOR_BTNSHADOW);
    }
}

// --- floating resize ---------------------------------------------------------------------

TBarFloatingResize::TBarFloatingResize(int edge, std::vector<SIZE> outerSizes, RECT start, int clientOffsetX,
                                       POINT origin)
    : FEdge(edge), FSizes(std::move(outerSizes)), FStart(start), FClientOffsetX(clientOffsetX), FOrigin(origin) {
    std::stable_sort(FSizes.begin(), FSizes.end(), [this](const SIZE& a, const SIZE& b) { return Axis(a) < Axis(b); });
    const SIZE current{start.right - start.left, start.bottom - start.top};
    for (size_t i = 0; i < FSizes.size(); ++i) {
        if (Axis(FSizes[i]) != Axis(current)) continue;
        if (i > 0) FSnap = std::min(FSnap, Axis(FSizes[i]) - Axis(FSizes[i - 1]) - 1);
        if (i + 1 < FSizes.size()) FSnap = std::min(FSnap, Axis(FSizes[i + 1]) - Axis(FSizes[i]) - 1);
        break;
    }
    FSnap = std::max(FSnap, 0);
}

int TBarFloatingResize::Track(RECT& rect, POINT cursor) {
    rect = FStart;
    if (FSizes.empty()) return 0;
    const int startSize = Vertical() ? FStart.bottom - FStart.top : FStart.right - FStart.left;
    int delta = Vertical() ? cursor.y - FOrigin.y : cursor.x - FOrigin.x;
    if (FEdge == 0 || FEdge == 2) delta = -delta;  // the left or top edge moves backwards
    const bool crossed = FFirst || (delta < 0) != (FLastDelta < 0);
    FFirst = false;
    FLastDelta = delta;
    if (crossed && std::abs(delta) <= FSnap) delta = 0;
    const int wanted = startSize + delta;
    const bool growing = wanted >= startSize;
    size_t pick;
    if (growing) {
        pick = FSizes.size() - 1;
        for (size_t i = 0; i < FSizes.size(); ++i)
            if (Axis(FSizes[i]) >= wanted) {
                pick = i;
                break;
            }
    } else {
        pick = 0;
        for (size_t i = FSizes.size(); i-- > 0;)
            if (Axis(FSizes[i]) <= wanted) {
                pick = i;
                break;
            }
    }
    const SIZE s = FSizes[pick];
    switch (FEdge) {
    case 0: rect.left = rect.right - s.cx; rect.bottom = rect.top + s.cy; break;
    case 2: rect.top = rect.bottom - s.cy; rect.right = rect.left + s.cx; break;
    case 5: rect.bottom = rect.top + s.cy; rect.right = rect.left + s.cx; break;
    default: rect.right = rect.left + s.cx; rect.bottom = rect.top + s.cy; break;
    }
    FChanged = !EqualRect(&rect, &FStart);
    // The widest size is the one line without wrapping.
    int widest = 0;
    for (const SIZE& z : FSizes) widest = std::max<int>(widest, z.cx);
    return s.cx >= widest ? 0 : s.cx - 2 * FClientOffsetX;
}

// --- the toolbar -------------------------------------------------------------------------

namespace {
TBarChevronItem* NewChevronItem(TComponent* owner) { return new TBarChevronItem(owner); }
TBarToolbarView* NewToolbarView(TBarCustomToolbar* toolbar, TBarCustomItem* root) {
    return new TBarToolbarView(toolbar, nullptr, root, toolbar, true, false, true);
}
}  // namespace

TBarCustomToolbar::TBarCustomToolbar(TComponent* owner) : TBarCustomToolbar(owner, NewChevronItem, NewToolbarView) {}

TBarCustomToolbar::TBarCustomToolbar(TComponent* owner, TChevronItemClass chevronItemClass,
                                     TToolbarViewClass viewClass)
    : TBarCustomDockableWindow(owner) {
    FControlStyle = (FControlStyle | csAcceptsControls) & ~csCaptureMouse;
    SetResizeOptions(0);
    FItems = new TBarRootItem(this);
    FItems->SetRootParentComponent(this);
    FChevronItem = chevronItemClass(this);
    FChevronItem->SetLinkSubitems(FItems);
    FView = viewClass(this, FItems);
    // Built again now that the chevron is reachable through the view's override.
    FView->RebuildViewers();
    FView->BackgroundColor = clBtnFace;
    SetColor(clBtnFace);
    SetBounds(Left(), Top(), 23, 22);
}

TBarCustomToolbar::~TBarCustomToolbar() {
    FProcessShortCuts = false;
    FMenuBar = false;
    UpdateShortCutRegistration();
    UpdateMenuBarHook();
    delete FView;
    FView = nullptr;
    delete FChevronItem;
    FChevronItem = nullptr;
    delete FItems;
    FItems = nullptr;
}

void TBarCustomToolbar::SetMenuBar(bool value) {
    if (value == FMenuBar) return;
    FMenuBar = value;
    if (value)
        FControlStyle |= csMenuEvents;
    else
        FControlStyle &= ~csMenuEvents;
    const unsigned bits = tbvstMenuBar | tbvstHiddenAccels;
    FView->SetStyle(value ? FView->Style() | bits : FView->Style() & ~bits);
    if (!(ComponentState() & csLoading)) {
        SetFullSize(value);
        SetShrinkMode(value ? tbsmWrap : tbsmChevron);
        SetCloseButton(!value);
        SetProcessShortCuts(value);
    }
    UpdateMenuBarHook();
    UpdateShortCutRegistration();
}

void TBarCustomToolbar::SetProcessShortCuts(bool value) {
    if (value == FProcessShortCuts) return;
    FProcessShortCuts = value;
    UpdateShortCutRegistration();
}

void TBarCustomToolbar::SetSystemFont(bool value) {
    if (value == FSystemFont) return;
    FSystemFont = value;
    FView->InvalidatePositions();
    Rearrange();
}

void TBarCustomToolbar::SetShrinkMode(TBarShrinkMode value) {
    if (value == FShrinkMode) return;
    FShrinkMode = value;
    if (Docked())
        CurrentDock()->ArrangeWindows();
    else if (!Floating())
        Rearrange();
}

void TBarCustomToolbar::SetChevronMoveItems(bool value) {
    if (value == FChevronMoveItems) return;
    FChevronMoveItems = value;
    FView->SetUsePriorityList(value);
}

void TBarCustomToolbar::SetChevronPriorityForNewItems(TBarChevronPriorityForNewItems value) {
    FChevronPriority = value;
    FView->NewViewersGetHighestPriority = value == tbcpHighest;
}

void TBarCustomToolbar::SetChevronHint(const std::wstring& value) {
    FChevronItem->SetHint(value);
    FChevronItem->SetCaption(DoubleAccelMarks(GetShortHint(value)));
}

void TBarCustomToolbar::SetFloatingRightX(int value) {
    if (value == FFloatingRightX) return;
    FFloatingRightX = value;
    if (Floating()) {
        UpdateViewOffsets();
        Rearrange();
    }
}

void TBarCustomToolbar::UpdateShortCutRegistration() {
    const bool wanted = (FProcessShortCuts || FMenuBar) && !(ComponentState() & csDestroying) && FView;
    if (wanted == FShortCutsRegistered) return;
    FShortCutsRegistered = wanted;
    if (wanted) {
        gShortCutToolbars.push_back(this);
        if (gShortCutToolbars.size() == 1 && Application) Application->HookMainWindow(&gShortCutHookKey, ShortCutHook);
    } else {
        std::erase(gShortCutToolbars, this);
        if (gShortCutToolbars.empty() && Application) Application->UnhookMainWindow(&gShortCutHookKey);
    }
}

void TBarCustomToolbar::UpdateMenuBarHook() {
    const bool wanted = FMenuBar && FView;
    if (wanted == FMenuBarHooked) return;
    FMenuBarHooked = wanted;
    if (wanted)
        RegisterHookCallback(this, MenuBarHookCallback, HookKindBit(hkMessageRetrieved));
    else
        UnregisterHookCallback(this, MenuBarHookCallback);
}

void TBarCustomToolbar::MenuBarHookCallback(TBarHookKind kind, HWND, WPARAM wParam, LPARAM lParam) {
    // Alt+letter (and Alt+-) typed anywhere in the main form or its MDI children belongs to the
    // frame's menu bar.
    if (kind != hkMessageRetrieved || wParam != PM_REMOVE || !lParam || !Application) return;
    MSG* msg = reinterpret_cast<MSG*>(lParam);
    if (msg->message != WM_SYSCHAR || GetCapture()) return;
    TForm* main = Application->MainForm();
    if (!main || !main->HandleAllocated()) return;
    const HWND client = main->ClientHandle();
    if (!client) return;
    // A control of the frame or of a child window would hand the key to the system's menu
    // tracking, which never asks the frame: the frame gets it and so its menu bar.
    if (msg->hwnd == client || IsChild(main->Handle(), msg->hwnd)) msg->hwnd = main->Handle();
}

// --- layout ------------------------------------------------------------------------------

void TBarCustomToolbar::ComputeOffsets(TBarDock* dock, bool floating, TBarViewOrientation& orientation,
                                       int& wrapOffset, int& chevronOffset) {
    const TBarDockKind kind = GetDockKind(dock, floating);
    orientation = kind == dkFloating ? tbvoFloating : kind == dkVertical ? tbvoVertical : tbvoHorizontal;
    wrapOffset = chevronOffset = 0;
    if (floating) {
        wrapOffset = FFloatingRightX;
        return;
    }
    if (dock) {
        const SIZE frame = DockedFrameSizeFor(dock);
        const bool vertical = dock->Vertical();
        if (FShrinkMode == tbsmWrap) {
            wrapOffset = vertical ? dock->Height() - dock->NonClientHeight() - frame.cy
                                  : dock->Width() - dock->NonClientWidth() - frame.cx;
        }
        if (FShrinkMode == tbsmChevron && dock == CurrentDock() && ShrunkLength() > 0)
            chevronOffset = std::max<int>(0, ShrunkLength() - (vertical ? frame.cy : frame.cx));
        return;
    }
    const TAnchors a = Anchors();
    if (AutoResize() && !((a & akLeft) && (a & akRight))) return;
    const int room = Width() - (Width() - ClientWidth());
    if (FShrinkMode == tbsmChevron) chevronOffset = room;
    if (FShrinkMode == tbsmWrap) wrapOffset = room;
}

void TBarCustomToolbar::UpdateViewOffsets() {
    TBarViewOrientation orientation;
    int wrap, chevron;
    ComputeOffsets(CurrentDock(), Floating(), orientation, wrap, chevron);
    FView->SetOrientation(orientation);
    FView->SetChevronSize(ChevronSize);
    FView->SetWrapOffset(wrap);
    FView->SetChevronOffset(chevron);
}

void TBarCustomToolbar::LayoutContent(bool applyCurrent, TBarDockKind, bool targetFloating, TBarDock* targetDock,
                                      SIZE& size) {
    ++FSelfSizing;
    auto lower = ScopeExit([this] { --FSelfSizing; });
    if (applyCurrent) {
        UpdateViewOffsets();
        FView->RecalcPositions(size);
        return;
    }
    TBarViewOrientation orientation;
    int wrap, chevron;
    ComputeOffsets(targetDock, targetFloating, orientation, wrap, chevron);
    TBarLayoutResult result;
    FView->CalculatePositions(false, orientation, wrap, chevron, ChevronSize, result);
    size = result.TotalSize;
    FLastWrappedLines = result.WrappedLines;
}

void TBarCustomToolbar::GetContentSize(SIZE& size) {
    ++FSelfSizing;
    auto lower = ScopeExit([this] { --FSelfSizing; });
    FView->EnsurePositionsValid();
    size = FBaseSize;
}

void TBarCustomToolbar::GetMinRowLength(int& length) {
    const bool vertical = CurrentDock() && CurrentDock()->Vertical();
    int viewer = 0;
    {
        ++FSelfSizing;
        auto lower = ScopeExit([this] { --FSelfSizing; });
        if (TBarItemViewer* v = FView->HighestPriorityViewer())
            viewer = vertical ? v->BoundsRect.bottom - v->BoundsRect.top : v->BoundsRect.right - v->BoundsRect.left;
    }
    int ncWidth = 0, ncHeight = 0;
    GetDockedNCAreaSize(ncWidth, ncHeight);
    length = viewer + (vertical ? ncHeight : ncWidth) + ChevronSize;
}

void TBarCustomToolbar::GetFloatingSizes(std::vector<TBarFloatingSize>& list) {
    list.clear();
    RECT margins{};
    FView->QueryMargins(tbvoFloating, margins);
    const int minWidth = margins.left + margins.right;
    struct TEntry {
        SIZE Size;
        int Lines;
    };
    std::vector<TEntry> found;
    const auto trial = [&](int rightX, TEntry& e) {
        TBarLayoutResult result;
        FView->CalculatePositions(false, tbvoFloating, rightX, 0, ChevronSize, result);
        e = {result.TotalSize, result.WrappedLines};
    };
    TEntry whole{};
    trial(0, whole);
    found.push_back(whole);
    for (int i = whole.Size.cx - 1; i >= minWidth;) {
        TEntry e{};
        trial(i, e);
        if (e.Size.cx > i) break;
        if (e.Size.cx == i) {
            if (e.Lines == found.back().Lines)
                found.back() = e;
            else
                found.push_back(e);
            --i;
        } else {
            i = e.Size.cx;
        }
    }
    for (const TEntry& e : found)
        list.push_back({static_cast<std::int16_t>(e.Size.cx), static_cast<std::int16_t>(e.Size.cy)});
}

void TBarCustomToolbar::ReadExtraLayout(const TBarLayoutReadProc& reader) {
    if (reader) SetFloatingRightX(reader(Name(), L"FloatRightX", 0));
}

void TBarCustomToolbar::WriteExtraLayout(const TBarLayoutWriteProc& writer) {
    if (writer) writer(Name(), L"FloatRightX", FFloatingRightX);
}

void TBarCustomToolbar::SizingStarted(int edge) {
    TBarFloatingWindowParent* parent = FloatingParent();
    if (!parent) return;
    std::vector<TBarFloatingSize> sizes;
    GetFloatingSizes(sizes);
    const int dx = parent->Width() - ClientWidth(), dy = parent->Height() - ClientHeight();
    std::vector<SIZE> outer;
    for (const TBarFloatingSize& s : sizes) outer.push_back({s.Width + dx, s.Height + dy});
    POINT clientOrigin{0, 0};
    if (HandleAllocated()) ::ClientToScreen(Handle(), &clientOrigin);
    POINT cursor;
    GetCursorPos(&cursor);
    FResizeCandidate = FFloatingRightX;
    FResize = std::make_unique<TBarFloatingResize>(edge, std::move(outer), parent->BoundsRect(),
                                                   clientOrigin.x - parent->Left(), cursor);
}

void TBarCustomToolbar::SizingTracked(RECT& newRect, const RECT&) {
    if (!FResize) return;
    POINT cursor;
    GetCursorPos(&cursor);
    FResizeCandidate = FResize->Track(newRect, cursor);
}

void TBarCustomToolbar::SizingAccepted() {
    if (FResize) SetFloatingRightX(FResizeCandidate);
}

void TBarCustomToolbar::SizingFinished() { FResize.reset(); }

void TBarCustomToolbar::AlignControls(TControl* control, RECT& rect) {
    if (FLayoutCount > 0) return;
    TBarCustomDockableWindow::AlignControls(control, rect);
    if (!(ComponentState() & (csLoading | csDestroying)) && FView) Rearrange();
}

void TBarCustomToolbar::InitiateAction() {
    TBarCustomDockableWindow::InitiateAction();
    if (!UpdateActions || !FView) return;
    std::vector<TBarCustomItem*> items;
    for (int i = 0; i < FView->ViewerCount(); ++i) items.push_back(FView->Viewers(i)->Item());
    for (TBarCustomItem* item : items) item->InitiateAction();
}

// --- control items -----------------------------------------------------------------------

bool TBarCustomToolbar::HasControlItem(TControl* control) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (auto* ci = dynamic_cast<TBarControlItem*>(FItems->GetItem(i)); ci && ci->Control() == control) return true;
    return false;
}

void TBarCustomToolbar::AddControlItem(TControl* control) {
    auto* item = new TBarControlItem(Owner(), control);
    FItems->Add(item);
}

void TBarCustomToolbar::Loaded() {
    for (int i = 0; i < ControlCount(); ++i)
        if (!HasControlItem(Controls(i))) AddControlItem(Controls(i));
    TBarCustomDockableWindow::Loaded();
}

void TBarCustomToolbar::InsertControl(TControl* control) {
    TBarCustomDockableWindow::InsertControl(control);
    if (!FItems || (ComponentState() & (csLoading | csDestroying)) || FView->UpdateCount() > 0) return;
    if (dynamic_cast<TBarFloatingWindowParent*>(control)) return;
    if (!HasControlItem(control)) AddControlItem(control);
}

void TBarCustomToolbar::RemoveControl(TControl* control) {
    const bool reparenting = (control->ControlState() & csReparenting) != 0;
    TBarCustomDockableWindow::RemoveControl(control);
    if (!FItems || reparenting || (ComponentState() & csDestroying)) return;
    for (int i = FItems->Count(); i-- > 0;) {
        auto* ci = dynamic_cast<TBarControlItem*>(FItems->GetItem(i));
        if (!ci || ci->Control() != control) continue;
        ci->DontFreeControl = true;
        delete ci;
    }
}

// --- mouse -------------------------------------------------------------------------------

void TBarCustomToolbar::PointOverChildControl(POINT point, bool& found) {
    TBarCustomDockableWindow::PointOverChildControl(point, found);
    if (found) return;
    if (TBarItemViewer* v = FView->ViewerAtPoint(point)) {
        const TBarItemStyle style = v->Item()->ItemStyle();
        if (((style & tbstSelectable) || v->MouseSelectable()) && !(style & tbstClicksTransparent)) found = true;
    }
}

void TBarCustomToolbar::ClearHotTracking() {
    if (!GetCapture() && FView) FView->UpdateSelection(nullptr, true);
}

void TBarCustomToolbar::MouseMove(TShiftState shift, int x, int y) {
    TBarCustomDockableWindow::MouseMove(shift, x, y);
    POINT p = ClientToScreen(POINT{x, y});
    FView->UpdateSelection(&p, true);
    std::wstring hint;
    if (TBarItemViewer* s = FView->Selected())
        if (!(s->Item()->EffectiveOptions() & tboLongHintInMenuOnly)) hint = s->Item()->Hint();
    SetHint(hint);
    if (HandleAllocated()) RequestMouseTracking(Handle(), TME_LEAVE);
}

void TBarCustomToolbar::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TWinControl* parent = Parent();
    TBarCustomDockableWindow::MouseDown(button, shift, x, y);
    if (Parent() != parent || button != mbLeft) return;
    POINT p = ClientToScreen(POINT{x, y});
    FView->UpdateSelection(&p, true);
    TBarItemViewer* s = FView->Selected();
    if (!s || (s->Item()->ItemStyle() & tbstClicksTransparent)) return;
    FInMouseLoop = true;
    auto done = ScopeExit([this] { FInMouseLoop = false; });
    FView->EnterToolbarLoop(tbloMouseDown);
}

void TBarCustomToolbar::DoContextPopup(POINT point, bool& handled) {
    ClearHotTracking();
    TBarCustomDockableWindow::DoContextPopup(point, handled);
}

// --- keyboard ----------------------------------------------------------------------------

bool TBarCustomToolbar::KeyboardOpen(wchar_t key, bool requirePrimary) {
    FView->SetAccelsVisibility(true);
    unsigned options = 0;
    if (key == 0) {
        TBarItemViewer* first = FView->FirstSelectable();
        if (!first) return false;
        FView->Select(first, false);
    } else {
        bool onlyOne = false;
        TBarItemViewer* hit = FView->NextSelectableWithAccel(nullptr, key, requirePrimary, onlyOne);
        if (!hit || !hit->Item()->Enabled()) return false;
        if (onlyOne) {
            options = tbloExecuteSelected;
        } else if (!FMenuBar) {
            return false;
        }
        FView->Select(hit, false);
    }
    FView->EnterToolbarLoop(options);
    return true;
}

bool TBarCustomToolbar::HandleSysCommand(TMessage& m) {
    if (!FMenuBar || !Enabled() || !Showing() || (m.WParam & 0xFFF0) != SC_KEYMENU || GetCapture()) return false;
    // The key as the window received it: a UTF-16 character, never narrowed to a code page.
    const wchar_t key = static_cast<wchar_t>(LOWORD(m.LParam));
    if (key == L' ') return false;
    if (KeyboardOpen(key, false)) {
        m.Result = 1;
        return true;
    }
    if (key == L'-') return false;  // the system opens the active child's window menu
    MessageBeep(0);
    m.Result = 1;
    return true;
}

// --- messages ----------------------------------------------------------------------------

void TBarCustomToolbar::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_SYSCOMMAND:
        if (HandleSysCommand(m)) return;
        m.Result = 0;
        if (FMenuBar) return;
        break;
    case CM_DIALOGKEY:
        if (m.WParam == VK_MENU && FMenuBar) FView->SetAccelsVisibility(true);
        break;
    case CM_DIALOGCHAR:
        if (!FMenuBar && Enabled() && Showing() && m.WParam != 0) {
            if (KeyboardOpen(static_cast<wchar_t>(m.WParam), true)) {
                m.Result = 1;
                return;
            }
        }
        break;
    case WM_MOUSELEAVE:
        if (!FInMouseLoop) ClearHotTracking();
        break;
    case CM_MOUSELEAVE:
        ClearHotTracking();
        break;
    case WM_NCMOUSEMOVE:
        SetHint(L"");
        ClearHotTracking();
        break;
    case WM_CANCELMODE:
        if (FView->State() & tbvsModal) FView->CancelMode();
        break;
    case WM_SETCURSOR:
        if (LOWORD(m.LParam) == HTCLIENT) {
            POINT p;
            GetCursorPos(&p);
            FView->UpdateSelection(&p, true);
            if (TBarItemViewer* s = FView->Selected()) {
                HCURSOR cursor = nullptr;
                s->QueryCursor(s->ScreenToViewer(p), cursor);
                if (cursor) {
                    ::SetCursor(cursor);
                    m.Result = 1;
                    return;
                }
            }
        }
        break;
    case CM_HINTSHOW: {
        auto* info = reinterpret_cast<THintInfo*>(m.LParam);
        if (info) {
            TBarItemViewer* v = FView->ViewerAtPoint(info->CursorPos);
            if (v && !IsRectEmpty(&v->BoundsRect)) {
                info->HintStr = v->BuildHint();
                info->CursorRect = v->BoundsRect;
                m.Result = 0;
                return;
            }
        }
        break;
    }
    case CM_SHOWHINTCHANGED:
        FView->SetStyle(ShowHint() ? FView->Style() | tbvstItemHints : FView->Style() & ~tbvstItemHints);
        break;
    case WM_GETOBJECT: {
        LRESULT result = 0;
        if (HandleViewWMGetObject(FView, m.WParam, m.LParam, result)) {
            m.Result = result;
            return;
        }
        break;
    }
    case CM_COLORCHANGED:
        FView->BackgroundColor = Color();
        break;
    case CM_FONTCHANGED:
        if (!FSystemFont) {
            FView->InvalidatePositions();
            Rearrange();
        }
        break;
    case WM_SETTINGCHANGE:
        if (m.WParam == SPI_SETNONCLIENTMETRICS) {
            RefreshMenuFont();
            FView->InvalidatePositions();
            Rearrange();
        }
        break;
    default: break;
    }
    TBarCustomDockableWindow::Dispatch(m);
}

void TBarCustomToolbar::CMFormShowing(TMessage& m) {
    if (FView && Visible()) FView->ValidatePositionsBeforeShowing();
    TBarCustomDockableWindow::CMFormShowing(m);
}

void TBarCustomToolbar::Paint() {
    if (FView) FView->DrawSubitems(Canvas());
}

}  // namespace toolbar
