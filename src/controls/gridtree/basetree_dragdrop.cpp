// The tree's side of drag and drop: starting and running an OLE drag, following the cursor
// as a drop target (drop node, drop mode, auto-scroll and auto-expand), the suggested
// effect, and the class library's in-process drag.
//
// The drop target methods are called by the drag manager inside the system's drag loop:
// they never let an exception reach the system (it is queued for the application's report
// and the method answers E_UNEXPECTED).
#include <algorithm>

#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_services.h"
#include "controls/gridtree/transfer_p.h"

namespace gridtree {

namespace {

// The modifier keys of an OLE key state.
classlib::TShiftState KeyShift(DWORD KeyState) {
    classlib::TShiftState shift = 0;
    if (KeyState & MK_SHIFT) shift |= classlib::ssShift;
    if (KeyState & MK_CONTROL) shift |= classlib::ssCtrl;
    if (KeyState & MK_ALT) shift |= classlib::ssAlt;
    return shift;
}

// The key state of the keyboard and mouse now, as OLE reports it.
DWORD CurrentKeyState() {
    DWORD state = 0;
    if (GetKeyState(VK_SHIFT) < 0) state |= MK_SHIFT;
    if (GetKeyState(VK_CONTROL) < 0) state |= MK_CONTROL;
    if (GetKeyState(VK_MENU) < 0) state |= MK_ALT;
    if (GetKeyState(VK_LBUTTON) < 0) state |= MK_LBUTTON;
    if (GetKeyState(VK_RBUTTON) < 0) state |= MK_RBUTTON;
    if (GetKeyState(VK_MBUTTON) < 0) state |= MK_MBUTTON;
    return state;
}

}  // namespace

TGTDragImage& TBaseGridTree::DragImage() {
    auto& t = Transfer();
    if (!t.DragImage) {
        t.DragImage = std::make_unique<TGTDragImage>(this);
        t.DragImage->SetOpacity(200);
        t.DragImage->SetRadialFade(true);
    }
    return *t.DragImage;
}

bool TBaseGridTree::Dragging() const {
    return HasState(tsOLEDragPending | tsOLEDragging) || TCustomControl::Dragging();
}

void TBaseGridTree::BeginDrag(bool Immediate, int Threshold) {
    if (FDragType == dtControl) {
        DoStateChange(tsControlDragPending, 0);
        TCustomControl::BeginDrag(Immediate, Threshold);
        return;
    }
    if (HasState(tsOLEDragPending | tsOLEDragging)) return;
    FDragThreshold = Threshold < 0 ? GetSystemMetrics(SM_CXDRAG) : Threshold;
    if (Immediate) DoDragging(FLastClickPos);
    else DoStateChange(tsOLEDragPending, 0);
}

bool TBaseGridTree::DoBeforeDrag(PGridNode Node, TColumnIndex Column) {
    bool allowed = false;
    if (OnDragAllowed) OnDragAllowed(this, Node, Column, allowed);
    return allowed;
}

bool TBaseGridTree::DoDragOver(classlib::TComponent* Source, classlib::TShiftState Shift, classlib::TDragState State,
                               POINT Pt, TGTDropMode Mode, DWORD& Effect) {
    bool accept = false;
    if (OnDragOver) OnDragOver(this, Source, Shift, State, Pt, Mode, Effect, accept);
    return accept;
}

void TBaseGridTree::DoDragDrop(classlib::TComponent* Source, IDataObject* DataObject,
                               const std::vector<CLIPFORMAT>& Formats, classlib::TShiftState Shift, POINT Pt,
                               DWORD& Effect, TGTDropMode Mode) {
    if (OnDragDrop) OnDragDrop(this, Source, DataObject, Formats, Shift, Pt, Effect, Mode);
}

void TBaseGridTree::DoDragging(POINT P) {
    if (IsEditing()) CancelEditNode();
    if (FHotNode) {
        InvalidateNode(FHotNode);
        FHotNode = nullptr;
    }
    if (FFocusedNode && !(FFocusedNode->States & vsSelected)) {
        InternalAddToSelection(FFocusedNode, false);
        InvalidateNode(FFocusedNode);
    }
    if (HasControlWindow()) UpdateWindow(FHandle);
    FDragSelection = GetSortedSelection(false);
    DoStateChange(tsOLEDragging, tsOLEDragPending | tsClearPending | tsToggleFocusedSelection);
    auto done = classlib::ScopeExit([&] {
        if (FTransfer && FTransfer->DragImage) FTransfer->DragImage->FinishPicture();
        DoStateChange(0, tsOLEDragging);
        FDragSelection.clear();
    });
    TCustomControl::DoStartDrag();

    IGTDragManager* manager = GetDragManager();
    classlib::TComPtr<IDataObject> data = classlib::TComPtr<IDataObject>::Adopt(manager->DataObjectOfDrag());
    classlib::TComPtr<IDropSource> source;
    manager->QueryInterface(IID_IDropSource, reinterpret_cast<void**>(source.Put()));
    if (!data || !source) return;
    PrepareDragImage(P, data.Get());
    FLastDropMode = dmOnNode;
    DWORD allowed = 0;
    if (FDragOperations & doCopy) allowed |= DROPEFFECT_COPY;
    if (FDragOperations & doMove) allowed |= DROPEFFECT_MOVE;
    if (FDragOperations & doLink) allowed |= DROPEFFECT_LINK;
    if (allowed == 0) allowed = DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK;
    DWORD effect = DROPEFFECT_NONE;
    // Only a drop counts; a cancelled drag may leave any value in the effect.
    if (::DoDragDrop(data.Get(), source.Get(), allowed, &effect) != DRAGDROP_S_DROP) effect = DROPEFFECT_NONE;
    manager->ForceDragLeave();

    POINT cursor{};
    GetCursorPos(&cursor);
    if (HasControlWindow()) ::ScreenToClient(FHandle, &cursor);
    TCustomControl::DoEndDrag(effect != DROPEFFECT_NONE ? this : nullptr, cursor.x, cursor.y);
    if (FTransfer && FTransfer->DragImage) FTransfer->DragImage->FinishPicture();

    if (effect == DROPEFFECT_MOVE && HasAutoOption(toAutoDeleteMovedNodes) && !HasOption(toReadOnly) &&
        !FDragSelection.empty()) {
        BeginUpdate();
        auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
        // Deleting a node takes it (and its descendants) out of the drag selection; nodes
        // the target moved already have left it.
        while (!FDragSelection.empty()) {
            PGridNode node = FDragSelection.back();
            DeleteNode(node, true);
            if (!FDragSelection.empty() && FDragSelection.back() == node) FDragSelection.pop_back();
        }
    }
}

DWORD TBaseGridTree::SuggestDropEffect(classlib::TComponent* Source, classlib::TShiftState Shift, POINT Pt,
                                       DWORD AllowedEffects) {
    (void)Pt;
    DWORD suggestion = AllowedEffects;
    if (Source == this) {
        if (AllowedEffects & DROPEFFECT_MOVE) suggestion = DROPEFFECT_MOVE;
    } else if (AllowedEffects & DROPEFFECT_COPY) {
        suggestion = DROPEFFECT_COPY;
    }
    const bool ctrl = Shift & classlib::ssCtrl, shift = Shift & classlib::ssShift, alt = Shift & classlib::ssAlt;
    auto prefer = [&](DWORD effect) { return (AllowedEffects & effect) ? effect : suggestion; };
    if (ctrl && shift) return prefer(DROPEFFECT_LINK);
    if (ctrl) return prefer(DROPEFFECT_COPY);
    if (shift) return prefer(DROPEFFECT_MOVE);
    if (alt) return prefer(DROPEFFECT_LINK);
    return suggestion;
}

void TBaseGridTree::PrepareDragImage(POINT HotSpot, IDataObject* DataObject) {
    if (!CanShowDragImage() || !HasControlWindow()) return;
    // The picture: DragWidth x DragHeight of the tree centred on the hot spot (tree
    // coordinates), cut at the tree's top and left edges.
    RECT window{HotSpot.x - FOffsetX - FDragWidth / 2, HotSpot.y - FOffsetY - FDragHeight / 2, 0, 0};
    window.left = std::max<LONG>(window.left, 0);
    window.top = std::max<LONG>(window.top, 0);
    window.right = window.left + FDragWidth;
    window.bottom = window.top + FDragHeight;
    const int width = window.right - window.left, height = window.bottom - window.top;
    if (width <= 0 || height <= 0) return;
    classlib::TBitmap picture(width, height, classlib::pf32bit);
    classlib::TCanvas& canvas = picture.Canvas();
    canvas.Brush().SetColor(Color());
    canvas.FillRect(RECT{0, 0, width, height});
    TGTInternalPaintOptions options = poDrawSelection | poSelectedOnly;
    if (FDragImageKind == diMainColumnOnly) options |= poMainOnly;
    PaintTree(canvas, window, POINT{0, 0}, options);
    GdiFlush();
    POINT imagePos{window.left + FOffsetX, window.top + FOffsetY};
    ::ClientToScreen(FHandle, &imagePos);
    POINT hot = HotSpot;
    ::ClientToScreen(FHandle, &hot);
    TGTDragImage& image = DragImage();
    image.SetKeyColor(Color());
    image.BeginPicture(picture.Handle(), imagePos, hot, DataObject);
}

void TBaseGridTree::UpdateWindowAndDragImage(TBaseGridTree* Tree, RECT TreeRect, bool UpdateNCArea,
                                             bool ReshowDragImage) {
    if (!HasControlWindow()) return;
    RECT client{0, 0, FClientWidth, FClientHeight};
    IntersectRect(&TreeRect, &TreeRect, &client);
    TGTDragImage* image = Tree && Tree->FTransfer ? Tree->FTransfer->DragImage.get() : nullptr;
    const bool shown = image && image->PictureVisible();
    // The picture must not be painted over, nor painted into the background it keeps: it
    // goes while the window repaints and comes back on the new pixels.
    if (shown) image->HidePicture();
    InvalidateRect(FHandle, &TreeRect, FALSE);
    if (UpdateNCArea) RedrawWindow(FHandle, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_NOCHILDREN);
    UpdateWindow(FHandle);
    if (shown && ReshowDragImage) image->ShowPicture();
}

// --- the drop target side --------------------------------------------------------------

HRESULT TBaseGridTree::DragEnter(DWORD KeyState, POINT Pt, DWORD& Effect) {
    try {
        IGTDragManager* manager = GetDragManager();
        TBaseGridTree* source = manager->DragSourceTree();
        FDragScrollStart = 0;
        classlib::TShiftState shift = KeyShift(KeyState);
        if (HasState(tsLeftButtonDown)) shift |= classlib::ssLeft;
        if (HasState(tsMiddleButtonDown)) shift |= classlib::ssMiddle;
        if (HasState(tsRightButtonDown)) shift |= classlib::ssRight;
        if (HandleAllocated()) ::ScreenToClient(FHandle, &Pt);
        Effect = SuggestDropEffect(source, shift, Pt, Effect);
        if (DoDragOver(source, shift, classlib::dsDragEnter, Pt, FLastDropMode, Effect)) {
            THitInfo hit;
            GetHitTestInfoAt(Pt.x, Pt.y, true, hit);
            if (hit.HitNode) {
                FDropTargetNode = hit.HitNode;
                if (hit.HitPositions & hiOnItemLabel) {
                    FLastDropMode = dmOnNode;
                } else {
                    RECT r = GetDisplayRect(hit.HitNode, MainColumn(), false);
                    FLastDropMode = Pt.y < (r.top + r.bottom) / 2 ? dmAbove : dmBelow;
                }
            } else {
                FLastDropMode = dmNowhere;
            }
        } else {
            Effect = DROPEFFECT_NONE;
        }
        if (!manager->DropHelperAvailable() && source) source->DragImage().ShowPicture();
        return S_OK;
    } catch (...) {
        ReportLater();
        return E_UNEXPECTED;
    }
}

HRESULT TBaseGridTree::DragOver(classlib::TComponent* Source, DWORD KeyState, classlib::TDragState DragState,
                                POINT Pt, DWORD& Effect) {
    try {
        const bool helper = GetDragManager()->DropHelperAvailable();
        auto* sourceTree = dynamic_cast<TBaseGridTree*>(Source);
        // A source tree draws its own picture: scrolling then moves only the frame, and the
        // rows are repainted around the picture.
        const bool ownImage = sourceTree && !helper;
        const TScrollUpdateOptions update = ownImage ? TScrollUpdateOptions(suoUpdateNCArea) : DefaultScrollUpdateOptions;
        POINT screen = Pt;
        if (HandleAllocated()) ::ScreenToClient(FHandle, &Pt);

        bool scrolled = false;
        FScrollDirections = DetermineScrollDirections(Pt.x, Pt.y);
        if (FScrollDirections) {
            int dx = 0, dy = 0;
            const int vertical = std::min<int>(ScrollBarOptions().VerticalIncrement, FClientHeight);
            if (FScrollDirections & sdUp) dy = vertical;
            if (FScrollDirections & sdDown) dy = -vertical;
            if (FScrollDirections & sdLeft) dx = ScrollBarOptions().HorizontalIncrement;
            if (FScrollDirections & sdRight) dx = -ScrollBarOptions().HorizontalIncrement;
            scrolled = DoSetOffsetXY(POINT{FOffsetX + dx, FOffsetY + dy}, update);
            if (FOffsetY == 0) FScrollDirections &= TScrollDirections(~sdUp);
            if (FClientHeight - FOffsetY >= FRangeY) FScrollDirections &= TScrollDirections(~sdDown);
            if (FOffsetX == 0) FScrollDirections &= TScrollDirections(~sdLeft);
            if (FClientWidth - FOffsetX >= FRangeX) FScrollDirections &= TScrollDirections(~sdRight);
        }

        classlib::TShiftState shift = KeyShift(KeyState);
        if (HasState(tsLeftButtonDown)) shift |= classlib::ssLeft;
        if (HasState(tsMiddleButtonDown)) shift |= classlib::ssMiddle;
        if (HasState(tsRightButtonDown)) shift |= classlib::ssRight;
        THitInfo hit;
        GetHitTestInfoAt(Pt.x, Pt.y, true, hit);
        const THitPositions onContent = hiOnItemLabel | hiOnNormalIcon | hiOnStateIcon;
        if (HasOption(toReportMode) && hit.HitNode &&
            (!(hit.HitPositions & onContent) || (hit.HitColumn != MainColumn() && hit.HitColumn != NoColumn)))
            hit.HitNode = nullptr;
        RECT r{};
        TGTDropMode mode = dmNowhere;
        if (hit.HitNode) {
            r = GetDisplayRect(hit.HitNode, NoColumn, false);
            mode = dmOnNode;
            if (!(hit.HitPositions & onContent) && HasPaintOption(toShowDropmark))
                mode = Pt.y < (r.top + r.bottom) / 2 ? dmAbove : dmBelow;
        }
        auto repaint = [&](RECT area) {
            if (ownImage) UpdateWindowAndDragImage(sourceTree, area, false, true);
            else if (HasControlWindow()) InvalidateRect(FHandle, &area, FALSE);
        };
        if (hit.HitNode != FDropTargetNode || mode != FLastDropMode) {
            FLastDropMode = mode;
            if (hit.HitNode == FDropTargetNode) {
                if (hit.HitNode) repaint(r);
            } else {
                StopTimer(ExpandTimer);
                if (FDropTargetNode && IsNodeOfTree(FDropTargetNode)) {
                    RECT old = GetDisplayRect(FDropTargetNode, NoColumn, false);
                    UnionRect(&r, &r, &old);
                }
                FDropTargetNode = hit.HitNode;
                if (FFocusedColumn == NoColumn && MainColumn() != NoColumn) FFocusedColumn = MainColumn();
                repaint(r);
                if (HasAutoOption(toAutoDropExpand) && FDropTargetNode &&
                    (FDropTargetNode->ChildCount > 0 || (FDropTargetNode->States & vsHasChildren)))
                    StartTimer(ExpandTimer, FAutoExpandDelay);
            }
        } else if (scrolled && ownImage) {
            UpdateWindowAndDragImage(sourceTree, RECT{0, 0, FClientWidth, FClientHeight}, false, true);
        }
        if (HasControlWindow()) UpdateWindow(FHandle);
        if (ownImage) sourceTree->DragImage().MovePicture(screen, false);

        Effect = SuggestDropEffect(Source, shift, Pt, Effect);
        if (!DoDragOver(Source, shift, DragState, Pt, FLastDropMode, Effect)) Effect = DROPEFFECT_NONE;
        if (scrolled) Effect |= DROPEFFECT_SCROLL;
        return S_OK;
    } catch (...) {
        ReportLater();
        return E_UNEXPECTED;
    }
}

void TBaseGridTree::DragLeave() {
    try {
        StopTimer(ExpandTimer);
        IGTDragManager* manager = GetDragManager();
        TBaseGridTree* source = manager->DragSourceTree();
        if (!manager->DropHelperAvailable() && source && source->FTransfer && source->FTransfer->DragImage)
            source->FTransfer->DragImage->HidePicture();
        if (FDropTargetNode) {
            if (IsNodeOfTree(FDropTargetNode)) InvalidateNode(FDropTargetNode);
            FDropTargetNode = nullptr;
        }
        if (HasControlWindow()) UpdateWindow(FHandle);
        DWORD effect = 0;
        DoDragOver(nullptr, 0, classlib::dsDragLeave, POINT{0, 0}, FLastDropMode, effect);
    } catch (...) {
        ReportLater();
    }
}

HRESULT TBaseGridTree::DragDrop(IDataObject* DataObject, DWORD KeyState, POINT Pt, DWORD& Effect) {
    auto forget = classlib::ScopeExit([&] {
        if (FDropTargetNode) {
            if (IsNodeOfTree(FDropTargetNode)) InvalidateNode(FDropTargetNode);
            FDropTargetNode = nullptr;
        }
    });
    try {
        StopTimer(ExpandTimer);
        StopTimer(ScrollTimer);
        DoStateChange(0, tsScrolling | tsScrollPending);
        TBaseGridTree* source = GetDragManager()->DragSourceTree();
        const HRESULT result = DragOver(source, KeyState, classlib::dsDragMove, Pt, Effect);
        Effect &= ~DWORD(DROPEFFECT_SCROLL);
        if (FAILED(result) || Effect == DROPEFFECT_NONE) return E_FAIL;
        if (HandleAllocated()) ::ScreenToClient(FHandle, &Pt);
        const std::vector<CLIPFORMAT> formats = ReadFormatList(DataObject);
        DoDragDrop(source, DataObject, formats, KeyShift(KeyState), Pt, Effect, FLastDropMode);
        return S_OK;
    } catch (...) {
        // Raising again would unwind through the system's drag loop: the report waits.
        ReportLater();
        return E_UNEXPECTED;
    }
}

void TBaseGridTree::DoDragExpand() {
    StopTimer(ExpandTimer);
    PGridNode node = FDropTargetNode;
    if (!node || !IsNodeOfTree(node) || (node->States & vsExpanded)) return;
    if (node->ChildCount == 0 && !(node->States & vsHasChildren)) return;
    IGTDragManager* manager = GetDragManager();
    TBaseGridTree* source = manager->DragSourceTree();
    TGTDragImage* image =
        !manager->DropHelperAvailable() && source && source->FTransfer ? source->FTransfer->DragImage.get() : nullptr;
    if (image) image->HidePicture();
    ToggleNode(node);
    if (HasControlWindow()) UpdateWindow(FHandle);
    if (image) image->ShowPicture();
}

TBaseGridTree* TBaseGridTree::GetTreeFromDataObject(IDataObject* DataObject) {
    if (!DataObject) return nullptr;
    FORMATETC format{static_cast<CLIPFORMAT>(TreeReferenceClipboardFormat()), nullptr, DVASPECT_CONTENT, -1,
                     TYMED_HGLOBAL};
    STGMEDIUM medium{};
    if (DataObject->GetData(&format, &medium) != S_OK) return nullptr;
    auto release = classlib::ScopeExit([&] { ReleaseStgMedium(&medium); });
    if (medium.tymed != TYMED_HGLOBAL || !medium.hGlobal) return nullptr;
    // Another program may answer anything: the block must be a whole reference of this
    // process, and the tree must be one that lives now.
    if (GlobalSize(medium.hGlobal) < sizeof(TTreeReferenceBlock)) return nullptr;
    const auto* reference = static_cast<const TTreeReferenceBlock*>(GlobalLock(medium.hGlobal));
    if (!reference) return nullptr;
    const TTreeReferenceBlock block = *reference;
    GlobalUnlock(medium.hGlobal);
    if (block.ProcessId != GetCurrentProcessId()) return nullptr;
    return FindLiveTree(block.Tree);
}

// --- the class library's in-process drag -----------------------------------------------

void TBaseGridTree::CMDrag(classlib::TMessage& Message) {
    auto* rec = reinterpret_cast<classlib::TDragRec*>(Message.LParam);
    if (!rec) return;
    classlib::TComponent* source = rec->Source;
    POINT screen = rec->Pos;
    if (HandleAllocated()) ::ClientToScreen(FHandle, &screen);
    auto& t = Transfer();
    switch (static_cast<classlib::TDragMessage>(Message.WParam)) {
        case classlib::dmDragEnter:
        case classlib::dmDragLeave:
        case classlib::dmDragMove: {
            const auto state = static_cast<classlib::TDragMessage>(Message.WParam);
            if (state == classlib::dmDragEnter) {
                if (HasState(tsControlDragPending))
                    DoStateChange(tsControlDragging, tsClearPending | tsEditPending | tsControlDragPending);
                else DoStateChange(tsControlDragging, 0);
            } else if (state == classlib::dmDragLeave) {
                DoStateChange(0, tsControlDragging);
            } else {
                DoAutoScroll(rec->Pos.x, rec->Pos.y);
            }
            DWORD effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
            DragOver(source, CurrentKeyState(), static_cast<classlib::TDragState>(state), screen, effect);
            Message.Result = LRESULT(effect);
            t.SavedDropTarget = FDropTargetNode;
            t.SavedEffect = effect;
            if (state == classlib::dmDragLeave && FDropTargetNode) {
                InvalidateNode(FDropTargetNode);
                FDropTargetNode = nullptr;
            }
            break;
        }
        case classlib::dmDragDrop: {
            if (FDropTargetNode) InvalidateNode(FDropTargetNode);
            FDropTargetNode = t.SavedDropTarget && IsNodeOfTree(t.SavedDropTarget) ? t.SavedDropTarget : nullptr;
            DWORD effect = t.SavedEffect;
            DoDragDrop(source, nullptr, {}, KeyShift(CurrentKeyState()), rec->Pos, effect, FLastDropMode);
            if (FDropTargetNode && IsNodeOfTree(FDropTargetNode)) InvalidateNode(FDropTargetNode);
            FDropTargetNode = nullptr;
            t.SavedDropTarget = nullptr;
            break;
        }
        default:
            TCustomControl::CMDrag(Message);
            break;
    }
}

void TBaseGridTree::DoStartDrag() { TCustomControl::DoStartDrag(); }

void TBaseGridTree::DoEndDrag(classlib::TComponent* Target, int X, int Y) {
    TCustomControl::DoEndDrag(Target, X, Y);
    if (!HasState(tsOLEDragging)) DragFinished();
}

void TBaseGridTree::DragFinished() {
    // The drag is over before the release is sent again, so that the release has its rules.
    DoStateChange(0, tsUserDragObject | tsControlDragging | tsControlDragPending);
    if (HandleAllocated()) {
        POINT p{};
        GetCursorPos(&p);
        ::ScreenToClient(FHandle, &p);
        const UINT msg = HasState(tsRightButtonDown)    ? WM_RBUTTONUP
                         : HasState(tsMiddleButtonDown) ? WM_MBUTTONUP
                                                        : WM_LBUTTONUP;
        Perform(msg, 0, MAKELPARAM(p.x, p.y));
    }
}

}  // namespace gridtree
