#include "controls/toolbar/tbdock.h"

#include "classlib/gdiguards.h"
#include "classlib/scopeguard.h"
#include "controls/toolbar/tbcommon.h"
#include "controls/toolbar/tbdockable.h"

#include <algorithm>
#include <optional>

using namespace classlib;

namespace toolbar {

const wchar_t* const STBDockCannotChangePosition =
    L"Cannot change Position of a TBarDock if it already contains controls";
const wchar_t* const STBDockParentNotAllowed =
    L"A TBarDock control cannot be placed inside a tool window or another TBarDock";

TBarDockKind GetDockKind(TBarDock* dock, bool floating) {
    if (floating) return dkFloating;
    if (!dock) return dkNotDocked;
    return dock->Vertical() ? dkVertical : dkHorizontal;
}

namespace {

void DockNCPaint(HWND, HDC dc, LPARAM data) { reinterpret_cast<TBarDock*>(data)->DrawNCArea(true, dc, nullptr); }

// Sorts by DockRow, then DockPos, then the order the windows came in (windows added "at
// the end" all have DockPos -1 and must not change places).
void SortWindows(std::vector<TBarCustomDockableWindow*>& list) {
    SortDockWindows(list, [](const TBarCustomDockableWindow* x, const TBarCustomDockableWindow* y) {
        if (x->DockRow() != y->DockRow()) return x->DockRow() < y->DockRow();
        return x->DockPos() < y->DockPos();
    });
}

}  // namespace

void SortDockWindows(std::vector<TBarCustomDockableWindow*>& list, const TBarDockWindowOrder& before) {
    TBarCustomDockableWindow* kept = nullptr;
    size_t keptIndex = 0;
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i]->Dragging() && list[i]->KeepListOrder()) {
            kept = list[i];
            keptIndex = i;
        }
    std::stable_sort(list.begin(), list.end(), before);
    if (kept) {
        list.erase(std::find(list.begin(), list.end(), kept));
        list.insert(list.begin() + static_cast<std::ptrdiff_t>(keptIndex), kept);
    }
}

TBarDock::TBarDock(TComponent* owner) : TCustomControl(owner) {
    FControlStyle = (FControlStyle | csAcceptsControls | csMenuEvents) & ~(csCaptureMouse | csClickEvents | csOpaque);
    FColor = clBtnFace;
    FParentColor = false;
    FBrush.SetColor(clBtnFace);
    FWidth = 150;
    FHeight = 0;
    FAlign = alTop;
}

TBarDock::~TBarDock() {
    if (FBackground) FBackground->RemoveChangeListener(this);
}

void TBarDock::TearDown() {
    if (FBackground) FBackground->RemoveChangeListener(this);
    FBackground = nullptr;
    TCustomControl::TearDown();
}

void TBarDock::CreateParams(TCreateParams& params) {
    TCustomControl::CreateParams(params);
    params.WinClassName = L"TBarDock";
    params.WindowClass.style &= ~(CS_VREDRAW | CS_HREDRAW);
}

// --- properties ------------------------------------------------------------------------

void TBarDock::SetPosition(TBarDockPosition value) {
    if (value == FPosition) return;
    if (ControlCount() > 0) throw EInvalidOperation(STBDockCannotChangePosition);
    FPosition = value;
    static constexpr TAlign aligns[] = {alTop, alBottom, alLeft, alRight};
    SetAlign(aligns[value]);
}

void TBarDock::SetAllowDrag(bool value) {
    if (value == FAllowDrag) return;
    FAllowDrag = value;
    for (int i = 0; i < ControlCount(); ++i)
        if (auto* w = dynamic_cast<TBarCustomDockableWindow*>(Controls(i))) w->RefreshFrame();
    // The drag handles take or give back room along the rows.
    ArrangeWindows();
}

void TBarDock::RecalcNCArea() {
    FNonClientWidth = ((FBoundLines & blLeft) ? 1 : 0) + ((FBoundLines & blRight) ? 1 : 0);
    FNonClientHeight = ((FBoundLines & blTop) ? 1 : 0) + ((FBoundLines & blBottom) ? 1 : 0);
    if (HandleAllocated())
        SetWindowPos(Handle(), nullptr, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void TBarDock::SetBoundLines(TBarDockBoundLines value) {
    if (value == FBoundLines) return;
    FBoundLines = value;
    RecalcNCArea();
    // The lines add to the dock's thickness.
    ArrangeWindows();
}

void TBarDock::SetBackground(TBarBasicBackground* value) {
    if (value == FBackground) return;
    if (FBackground) FBackground->RemoveChangeListener(this);
    FBackground = value;
    if (value) value->AddChangeListener(this, [this] { RepaintWithBackground(); });
    RepaintWithBackground();
}

void TBarDock::BackgroundChanged() { RepaintWithBackground(); }

void TBarDock::SetBackgroundOnToolbars(bool value) {
    if (value == FBackgroundOnToolbars) return;
    FBackgroundOnToolbars = value;
    RepaintWithBackground();
}

void TBarDock::SetFixAlign(bool value) {
    if (value == FFixAlign) return;
    FFixAlign = value;
    ArrangeWindows();
}

void TBarDock::SetLimitToOneRow(bool value) {
    if (value == FLimitToOneRow) return;
    FLimitToOneRow = value;
    ArrangeWindows();
}

void TBarDock::SetParent(TWinControl* parent) {
    // Only the window the dock sits in directly counts: a dock on a plain control inside a
    // dockable window (the caption bar of a dockable panel) is allowed.
    if (dynamic_cast<TBarDock*>(parent) || dynamic_cast<TBarCustomDockableWindow*>(parent))
        throw EInvalidOperation(STBDockParentNotAllowed);
    TCustomControl::SetParent(parent);
}

void TBarDock::Loaded() {
    TCustomControl::Loaded();
    ArrangeWindows();
}

void TBarDock::AlignControls(TControl*, RECT&) { ArrangeWindows(); }

// --- lists -----------------------------------------------------------------------------

bool TBarDock::ListsWindow(const TBarCustomDockableWindow* window) const {
    return std::find(FWindowList.begin(), FWindowList.end(), window) != FWindowList.end();
}

bool TBarDock::IsShownOnDock(const TBarCustomDockableWindow* window) const {
    return std::find(FShownList.begin(), FShownList.end(), window) != FShownList.end();
}

bool TBarDock::WindowBelongsShown(TBarCustomDockableWindow* window) const {
    return window->Parent() == this && window->Visible() && !(window->ComponentState() & csDestroying);
}

void TBarDock::AlterWindowList(bool insert, TBarCustomDockableWindow* window) {
    if (insert) {
        if (!ListsWindow(window)) {
            FWindowList.push_back(window);
            FreeNotification(window);
        }
    } else {
        FWindowList.erase(std::remove(FWindowList.begin(), FWindowList.end(), window), FWindowList.end());
    }
    AlterShownList(window, false);
    if (!insert) ForgetUnlistedWindow(window);
}

void TBarDock::ForgetUnlistedWindow(TBarCustomDockableWindow* window) {
    // A window on neither list is no concern of the dock's: its end must not reach it.
    if (!ListsWindow(window) && !IsShownOnDock(window)) RemoveFreeNotification(window);
}

void TBarDock::AlterShownList(TBarCustomDockableWindow* window, bool forceRemove) {
    const bool belongs = !forceRemove && WindowBelongsShown(window);
    const bool shown = IsShownOnDock(window);
    if (belongs == shown) return;
    if (belongs) {
        FShownList.push_back(window);
        FreeNotification(window);
    } else {
        FShownList.erase(std::remove(FShownList.begin(), FShownList.end(), window), FShownList.end());
        ForgetUnlistedWindow(window);
    }
    ArrangeWindows();
    if (OnInsertRemoveBar) OnInsertRemoveBar(this, belongs, window);
}

void TBarDock::Notification(TComponent* component, TOperation operation) {
    TCustomControl::Notification(component, operation);
    if (operation != opRemove) return;
    bool listed = false;
    for (auto* list : {&FWindowList, &FShownList}) {
        for (auto it = list->begin(); it != list->end();) {
            if (static_cast<TComponent*>(*it) == component) {
                it = list->erase(it);
                listed = true;
            } else {
                ++it;
            }
        }
    }
    if (listed && !(ComponentState() & csDestroying)) ArrangeWindows();
}

void TBarDock::DropDestroyedWindows() {
    for (auto* list : {&FWindowList, &FShownList})
        for (size_t i = list->size(); i-- > 0;)
            if ((*list)[i]->ComponentState() & csDestroying) list->erase(list->begin() + static_cast<std::ptrdiff_t>(i));
}

bool TBarDock::AcceptsWindow(TBarCustomDockableWindow*) { return FAllowDrag; }

// --- rows ------------------------------------------------------------------------------

void TBarDock::CommitPositions() {
    for (TBarCustomDockableWindow* w : FShownList) {
        w->FDockRow = w->FArrangedRow;
        w->FDockPos = w->FArrangedPos;
    }
}

int TBarDock::GetRowThickness(int row, bool& hasFullSize) const {
    hasFullSize = false;
    if (row < 0) return 0;
    int thickness = 0;
    for (TBarCustomDockableWindow* w : FShownList) {
        if (w->ArrangedRow() != row) continue;
        thickness = std::max(thickness, Vertical() ? w->Width() : w->Height());
        if (w->FullSize()) hasFullSize = true;
    }
    return thickness;
}

int TBarDock::GetRowThicknessOfOthers(int row, const TBarCustomDockableWindow* except) const {
    if (row < 0) return 0;
    int thickness = 0;
    for (TBarCustomDockableWindow* w : FShownList)
        if (w != except && w->ArrangedRow() == row) thickness = std::max(thickness, w->Thickness());
    return thickness;
}

int TBarDock::RowAtOffset(int offset) const {
    const int highest = HighestRowIndex(true);
    int sum = 0;
    for (int r = 0; r <= highest; ++r) {
        bool fullSize;
        sum += GetRowThickness(r, fullSize);
        if (sum > offset) return r;
    }
    return highest + 1;
}

int TBarDock::HighestRowIndex(bool arranged) const {
    int highest = -1;
    for (TBarCustomDockableWindow* w : FWindowList) highest = std::max(highest, arranged ? w->ArrangedRow() : w->DockRow());
    return highest;
}

void TBarDock::ResizeFromAlignedEdge(int width, int height) {
    switch (Align()) {
    case alBottom: SetBounds(Left(), Top() + Height() - height, width, height); break;
    case alRight: SetBounds(Left() + Width() - width, Top(), width, height); break;
    case alClient: break;
    default: SetBounds(Left(), Top(), width, height); break;
    }
}

int TBarDock::AvailableLength() const {
    return std::max(0, Vertical() ? Height() - FNonClientHeight : Width() - FNonClientWidth);
}

// --- arranging -------------------------------------------------------------------------

void TBarDock::EndUpdate() {
    if (FUpdateCount <= 0) return;
    if (--FUpdateCount == 0 && FArrangePending) ArrangeWindows();
}

bool TBarDock::DeferArrangement() {
    if (ComponentState() & csDestroying) return true;
    if (FUpdateCount > 0 || (ComponentState() & csLoading)) {
        FArrangePending = true;
        return true;
    }
    return false;
}

void TBarDock::ArrangementDone() {
    FArrangePending = false;
    FCommitRequest = false;
}

void TBarDock::ArrangeWindows() {
    if (DeferArrangement()) return;
    ++FUpdateCount;
    auto done = ScopeExit([this] {
        --FUpdateCount;
        ArrangementDone();
    });
    DropDestroyedWindows();
    const bool vertical = Vertical();
    if (FShownList.empty()) {
        const int thickness = FFixAlign ? 1 : 0;
        if (vertical)
            ResizeFromAlignedEdge(thickness, Height());
        else
            ResizeFromAlignedEdge(Width(), thickness);
        return;
    }
    const int avail = AvailableLength();
    if (FLimitToOneRow)
        for (TBarCustomDockableWindow* w : FWindowList) w->FDockRow = 0;

    std::vector<TBarCustomDockableWindow*> sorted = FWindowList;
    SortWindows(sorted);
    SortWindows(FShownList);

    std::vector<TBarArrangeEntry> entries(sorted.size());
    for (size_t i = 0; i < sorted.size(); ++i) {
        TBarCustomDockableWindow* w = sorted[i];
        TBarArrangeEntry& e = entries[i];
        e.DockRow = w->DockRow();
        e.DockPos = w->DockPos();
        e.Shown = IsShownOnDock(w);
        e.NewRow = w->NewRowRequest();
        e.FullSize = w->FullSize();
        e.Stretch = w->Stretch();
        e.Dragged = w->Dragging();
        if (!e.Shown) continue;
        SIZE content{};
        w->GetContentSize(content);
        int ncWidth = 0, ncHeight = 0;
        w->GetDockedNCAreaSize(ncWidth, ncHeight);
        e.FullLength = vertical ? content.cy + ncHeight : content.cx + ncWidth;
        int minLength = 0;
        w->GetMinRowLength(minLength);
        e.MinLength = minLength;
        e.Shrink = w->QueryShrinkMode();
    }
    const TBarArrangeResult arranged = ArrangeRows(entries, avail, FLimitToOneRow);

    for (size_t i = 0; i < sorted.size(); ++i) {
        TBarCustomDockableWindow* w = sorted[i];
        const TBarArrangeEntry& e = entries[i];
        w->SetArranged(e.ShownRow, e.Shown ? e.Pos : w->ArrangedPos());
        // A dragged window that shares a crowded row may be dragged along it, row-locked.
        if (e.Overflow) w->SetRowOverflow(true);
        if (FCommitRequest) {
            w->FDockRow = e.Row;
            if (e.Shown) w->FDockPos = e.Pos;
        }
    }
    if (FCommitRequest) FWindowList = sorted;

    // Rows one after another across the dock.
    const TBarDockKind kind = vertical ? dkVertical : dkHorizontal;
    int offset = 0;
    for (int row = 0; row <= arranged.MaxRow; ++row) {
        std::vector<size_t> members;
        for (size_t i = 0; i < entries.size(); ++i)
            if (entries[i].ShownRow == row) members.push_back(i);
        if (members.empty()) continue;
        std::vector<bool> relaid(members.size(), false);
        int thickness = 0;
        for (size_t k = 0; k < members.size(); ++k) {
            TBarCustomDockableWindow* w = sorted[members[k]];
            const TBarArrangeEntry& e = entries[members[k]];
            const int shrunk = e.Length < e.FullLength ? e.Length : 0;
            SIZE size{};
            if (e.Shrink != tbsmNone && shrunk != w->ShrunkLength()) {
                w->SetShrunkLength(shrunk);
                w->LayoutContent(true, kind, false, this, size);
                relaid[k] = true;
            }
            if (e.Shrink == tbsmWrap && shrunk != 0) {
                if (!relaid[k]) size = {w->ClientWidth(), w->ClientHeight()};
            } else {
                w->GetContentSize(size);
            }
            const int across = vertical ? size.cx : size.cy;
            w->SetThickness(across);
            thickness = std::max(thickness, across);
        }
        if (thickness != 0) thickness += 4;
        for (size_t k = 0; k < members.size(); ++k) {
            TBarCustomDockableWindow* w = sorted[members[k]];
            const TBarArrangeEntry& e = entries[members[k]];
            ++w->FInternalResize;
            auto lower = ScopeExit([w] { --w->FInternalResize; });
            if (vertical)
                w->SetBounds(offset, e.Pos, thickness, e.Length);
            else
                w->SetBounds(e.Pos, offset, e.Length, thickness);
        }
        for (size_t k = 0; k < members.size(); ++k)
            if (relaid[k]) sorted[members[k]]->Rearrange();
        offset += thickness;
    }
    if (vertical)
        ResizeFromAlignedEdge(FNonClientWidth + offset, Height());
    else
        ResizeFromAlignedEdge(Width(), FNonClientHeight + offset);
}

// --- painting --------------------------------------------------------------------------

bool TBarDock::BackgroundInUse() { return FBackground && FBackground->IsPainting(); }

void TBarDock::PaintBackground(HDC dc, const RECT& rect) {
    if (FBackground) FBackground->RenderBackground(dc, rect);
}

void TBarDock::DrawNCArea(bool toDC, HDC dc, HRGN region) {
    if (!HandleAllocated()) return;
    std::optional<TWindowDC> windowDC;
    if (!toDC) {
        windowDC.emplace(Handle(), GetWindowDC(Handle()));
        dc = windowDC->Handle();
        if (!dc) return;
        ClipToNCUpdateRegion(Handle(), dc, region);
    }
    RECT wr;
    GetWindowRect(Handle(), &wr);
    OffsetRect(&wr, -wr.left, -wr.top);
    RECT rest = wr;
    if (FBoundLines && HasVisibleWindows()) {
        TGdiObject<HBRUSH> shadow(CreateSolidBrush(GetSysColor(COLOR_BTNSHADOW)));
        TGdiObject<HBRUSH> light(CreateSolidBrush(GetSysColor(COLOR_BTNHIGHLIGHT)));
        if (FBoundLines & blTop) {
            RECT r{wr.left, wr.top, wr.right, wr.top + 1};
            FillRect(dc, &r, shadow.Handle());
            rest.top += 1;
        }
        if (FBoundLines & blLeft) {
            RECT r{wr.left, wr.top, wr.left + 1, wr.bottom};
            FillRect(dc, &r, shadow.Handle());
            rest.left += 1;
        }
        if (FBoundLines & blBottom) {
            RECT r{wr.left, wr.bottom - 1, wr.right, wr.bottom};
            FillRect(dc, &r, light.Handle());
            rest.bottom -= 1;
        }
        if (FBoundLines & blRight) {
            RECT r{wr.right - 1, wr.top, wr.right, wr.bottom};
            FillRect(dc, &r, light.Handle());
            rest.right -= 1;
        }
    }
    // The rest of the non-client area (nothing more than the lines unless the client area
    // is smaller than they leave) in the dock's colour.
    RECT client;
    GetClientRect(Handle(), &client);
    POINT origin{0, 0};
    ::ClientToScreen(Handle(), &origin);
    RECT screen;
    GetWindowRect(Handle(), &screen);
    OffsetRect(&client, origin.x - screen.left, origin.y - screen.top);
    TSavedDC saved(dc);
    ExcludeClipRect(dc, client.left, client.top, client.right, client.bottom);
    TGdiObject<HBRUSH> face(CreateSolidBrush(ColorToRGB(Color())));
    FillRect(dc, &rest, face.Handle());
}

void TBarDock::RepaintWithBackground() {
    if (!HandleAllocated()) return;
    Invalidate();
    for (TBarCustomDockableWindow* w : FShownList)
        if (w->HandleAllocated())
            RedrawWindow(w->Handle(), nullptr, nullptr, RDW_FRAME | RDW_ERASE | RDW_INVALIDATE | RDW_NOCHILDREN);
}

LRESULT TBarDock::RelayToWindows(TMessage& message) {
    for (TBarCustomDockableWindow* w : std::vector<TBarCustomDockableWindow*>(FWindowList)) {
        if (!w->Floating() || !(w->ControlStyle() & csMenuEvents) || !w->Showing() || !w->Enabled()) continue;
        if (LRESULT r = w->Perform(message.Msg, message.WParam, message.LParam)) return r;
    }
    return 0;
}

void TBarDock::Dispatch(TMessage& m) {
    switch (m.Msg) {
    case WM_NCCALCSIZE: {
        auto* r = reinterpret_cast<RECT*>(m.LParam);
        if (FBoundLines & blTop) ++r->top;
        if (FBoundLines & blBottom) --r->bottom;
        if (FBoundLines & blLeft) ++r->left;
        if (FBoundLines & blRight) --r->right;
        if (r->bottom < r->top) r->bottom = r->top;
        if (r->right < r->left) r->right = r->left;
        m.Result = 0;
        return;
    }
    case WM_NCPAINT:
        DrawNCArea(false, nullptr, reinterpret_cast<HRGN>(m.WParam));
        m.Result = 0;
        return;
    case WM_PRINT:
        m.Result = HandlePrintMessage(Handle(), m.WParam, m.LParam, DockNCPaint, reinterpret_cast<LPARAM>(this));
        return;
    case WM_PRINTCLIENT:
        m.Result = HandlePrintClientMessage(this, m.WParam);
        return;
    case WM_ERASEBKGND:
        if (BackgroundInUse()) {
            RECT r;
            GetClientRect(Handle(), &r);
            // The background runs on across the parent: its origin is the parent's.
            POINT origin{0, 0};
            ::ClientToScreen(Handle(), &origin);
            RECT screen;
            GetWindowRect(Handle(), &screen);
            OffsetRect(&r, -Left() - (origin.x - screen.left), -Top() - (origin.y - screen.top));
            PaintBackground(reinterpret_cast<HDC>(m.WParam), r);
            m.Result = 1;
            return;
        }
        break;
    case WM_MOVE:
        if (BackgroundInUse()) RepaintWithBackground();
        break;
    case CM_SYSCOLORCHANGE:
        if (FBackground) FBackground->SystemColorsChanged();
        break;
    case WM_SYSCOMMAND:
        m.Result = RelayToWindows(m);
        return;
    case CM_DIALOGKEY:
    case CM_DIALOGCHAR:
        if ((m.Result = RelayToWindows(m)) != 0) return;
        break;
    default: break;
    }
    TCustomControl::Dispatch(m);
}

}  // namespace toolbar
