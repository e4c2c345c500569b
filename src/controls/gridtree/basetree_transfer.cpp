// Node transfer: moving nodes inside a tree and between trees, the OLE clipboard (copy, cut,
// paste) and the rendering of the tree's own clipboard format.
#include <algorithm>
#include <cstring>

#include "classlib/processsetup.h"
#include "classlib/scopeguard.h"
#include "controls/gridtree/basetree.h"
#include "controls/gridtree/transfer_p.h"

namespace gridtree {

// --- the transfer state ----------------------------------------------------------------

detail::TTransferData::TTransferData(TBaseGridTree* ATree) : Tree(ATree), ClipboardFormats(ATree) {
    RegisterLiveTree(ATree);
}

detail::TTransferData::~TTransferData() {
    UnregisterLiveTree(Tree);
    if (RegisteredWindow) RevokeDragDrop(RegisteredWindow);
    if (OwnDragManager) OwnDragManager->Detach();
    else if (DragManager) DragManager->Release();
}

detail::TTransferData& TBaseGridTree::Transfer() {
    if (!FTransfer) FTransfer = std::make_unique<detail::TTransferData>(this);
    return *FTransfer;
}

TClipboardFormats& TBaseGridTree::ClipboardFormats() { return Transfer().ClipboardFormats; }

void TBaseGridTree::GetNativeClipboardFormats(std::vector<FORMATETC>& Formats) {
    Formats = FormatsForClass(*this, &ClipboardFormats());
    DoGetUserClipboardFormats(Formats);
}

void TBaseGridTree::DoGetUserClipboardFormats(std::vector<FORMATETC>& Formats) {
    if (OnGetUserClipboardFormats) OnGetUserClipboardFormats(this, Formats);
}

IDataObject* TBaseGridTree::DoCreateDataObject() {
    IDataObject* result = nullptr;
    if (OnCreateDataObject) OnCreateDataObject(this, result);
    return result;
}

IGTDragManager* TBaseGridTree::DoCreateDragManager() {
    IGTDragManager* result = nullptr;
    if (OnCreateDragManager) OnCreateDragManager(this, result);
    return result;
}

HRESULT TBaseGridTree::DoRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    HRESULT result = E_FAIL;
    if (OnRenderOLEData) OnRenderOLEData(this, FormatEtcIn, Medium, ForClipboard, result);
    return result;
}

IGTDragManager* TBaseGridTree::GetDragManager() {
    auto& t = Transfer();
    if (!t.DragManager) {
        t.DragManager = DoCreateDragManager();
        if (!t.DragManager) {
            t.OwnDragManager = new TGTDragManager(this);
            t.DragManager = t.OwnDragManager;
        }
    }
    return t.DragManager;
}

void TBaseGridTree::UpdateDropTargetRegistration() {
    const bool want = HasControlWindow() && HasOption(toAcceptOLEDrop) && !IsDestroying() &&
                      classlib::TProcessSetup::OleInitialized();
    if (!want && !FTransfer) return;
    auto& t = Transfer();
    if (t.RegisteredWindow && (!want || t.RegisteredWindow != FHandle)) {
        RevokeDragDrop(t.RegisteredWindow);
        t.RegisteredWindow = nullptr;
    }
    if (!want || t.RegisteredWindow) return;
    classlib::TComPtr<IDropTarget> target;
    if (SUCCEEDED(GetDragManager()->QueryInterface(IID_IDropTarget, reinterpret_cast<void**>(target.Put()))) &&
        SUCCEEDED(RegisterDragDrop(FHandle, target.Get())))
        t.RegisteredWindow = FHandle;
}

bool TBaseGridTree::TransferWindowProc(classlib::TMessage& Message) {
    switch (Message.Msg) {
        case WM_COPY:
            CopyToClipboard();
            Message.Result = 0;
            return true;
        case WM_CUT:
            CutToClipboard();
            Message.Result = 0;
            return true;
        case WM_PASTE:
            PasteFromClipboard();
            Message.Result = 0;
            return true;
        case WM_TIMER:
            if (Message.WParam != ExpandTimer) return false;
            DoDragExpand();
            Message.Result = 0;
            return true;
        case WM_DESTROY:
            // The registration goes with this window (a new one registers again).
            if (FTransfer && FTransfer->RegisteredWindow == FHandle) {
                RevokeDragDrop(FHandle);
                FTransfer->RegisteredWindow = nullptr;
            }
            return false;
        default:
            return false;
    }
}

// --- moving ----------------------------------------------------------------------------

void TBaseGridTree::MoveTo(PGridNode Source, PGridNode Target, TGTNodeAttachMode Mode, bool ChildrenOnly) {
    if (!Source || Source == FRoot || Mode == amNoWhere || HasOption(toReadOnly)) return;
    if (OwningTree(Source) != this) throw EGridTreeAssertion(L"The source tree must contain the source node.");
    const bool allowed0 =
        Source != Target || (ChildrenOnly && (Mode == amInsertBefore || Mode == amInsertAfter));
    if (!allowed0) return;
    if (!Target) {
        Target = FRoot;
        Mode = amAddChildFirst;
    }
    TBaseGridTree* targetTree = OwningTree(Target);
    if (Target == targetTree->FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    } else {
        if (!(Target->States & vsInitialized)) targetTree->InitNode(Target);
        if ((Target->States & vsHasChildren) && Target->ChildCount == 0) targetTree->InitChildren(Target);
    }
    const bool allowed = DoNodeMoving(Source, Target == targetTree->FRoot ? nullptr : Target);
    if (!allowed) return;
    PGridNode reported = Source;
    if (targetTree == this) {
        if (Source != Target && HasAsParent(Target, Source))
            RaiseTreeError(L"Target node cannot be a child node of the node to be moved.", 2001);
        InterruptValidation();
        if (!ChildrenOnly) {
            InternalDisconnectNode(Source, true, true);
            InternalConnectNode(Source, Target, Mode);
            DoNodeMoved(Source);
        } else {
            // Each child goes to the same place: taken from the last, the ones placed first
            // and after the target keep their order.
            const bool backwards = Mode == amAddChildFirst || Mode == amInsertAfter;
            for (PGridNode run = backwards ? Source->LastChildNode : Source->FirstChildNode; run;) {
                PGridNode next = backwards ? run->PrevSiblingNode : run->NextSiblingNode;
                InternalDisconnectNode(run, true, false);
                InternalConnectNode(run, Target, Mode);
                DoNodeMoved(run);
                run = next;
            }
        }
    } else {
        classlib::TMemoryStream stream;
        uint32_t written = 0;
        if (ChildrenOnly) {
            // Read back one by one to the same place: written in the order that keeps theirs.
            const bool backwards = Mode == amAddChildFirst || Mode == amInsertAfter;
            for (PGridNode run = backwards ? Source->LastChildNode : Source->FirstChildNode; run;
                 run = backwards ? run->PrevSiblingNode : run->NextSiblingNode, ++written)
                WriteNode(stream, run);
        } else {
            WriteNode(stream, Source);
            written = 1;
        }
        stream.SetPosition(0);
        {
            targetTree->BeginUpdate();
            auto endTarget = classlib::ScopeExit([&] { targetTree->EndUpdate(); });
            for (uint32_t i = 0; i < written && stream.Position() < stream.Size(); ++i) {
                PGridNode node = targetTree->MakeNewNode();
                targetTree->InternalConnectNode(node, Target, Mode);
                targetTree->InternalAddFromStream(stream, 2, node);
                targetTree->DoNodeMoved(node);
            }
        }
        BeginUpdate();
        auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
        if (ChildrenOnly) {
            DeleteChildren(Source, true);
        } else {
            // The node is gone afterwards: its parent is what changed here.
            reported = Source->Parent == FRoot ? nullptr : Source->Parent;
            DeleteNode(Source, true);
        }
    }
    InvalidateCache();
    if (FUpdateCount == 0) {
        ValidateCache();
        UpdateScrollBars(true);
        Invalidate();
        if (targetTree != this) targetTree->Invalidate();
    }
    StructureChange(reported, crNodeMoved);
}

// --- clipboard -------------------------------------------------------------------------

void TBaseGridTree::MarkCutCopyNodes() {
    for (PGridNode node : GetSortedSelection(false))
        if (!(node->States & vsDisabled)) node->States |= vsCutOrCopy;
}

void TBaseGridTree::CancelCutOrCopy() {
    if (!HasState(tsCutPending | tsCopyPending)) return;
    for (PGridNode run = GetFirstNoInit(); run; run = GetNextNoInit(run)) run->States &= ~vsCutOrCopy;
    DoStateChange(0, tsCutPending | tsCopyPending);
    Invalidate();
}

void TBaseGridTree::FinishCutOrCopy() {
    if (!HasState(tsCutPending)) return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    for (PGridNode run = GetFirstNoInit(); run;) {
        if (run->States & vsCutOrCopy) {
            // The next node after this one's subtree, taken before it goes.
            PGridNode next = run;
            while (next && next != FRoot && !next->NextSiblingNode) next = next->Parent;
            next = next && next != FRoot ? next->NextSiblingNode : nullptr;
            DeleteNode(run, true);
            run = next;
        } else {
            run = GetNextNoInit(run);
        }
    }
    DoStateChange(0, tsCutPending);
}

namespace {
// Puts a new data object for the tree's clipboard on the system clipboard.
bool PutOnClipboard(TBaseGridTree* Tree) {
    classlib::TComPtr<IDataObject> data = classlib::TComPtr<IDataObject>::Adopt(new TGTDataObject(Tree, true));
    return OleSetClipboard(data.Get()) == S_OK;
}
}  // namespace

void TBaseGridTree::CopyToClipboard() {
    if (FSelectionCount == 0) return;
    if (!PutOnClipboard(this)) return;
    MarkCutCopyNodes();
    DoStateChange(tsCopyPending, 0);
    Invalidate();
}

void TBaseGridTree::CutToClipboard() {
    if (FSelectionCount == 0 || HasOption(toReadOnly)) return;
    if (!PutOnClipboard(this)) return;
    MarkCutCopyNodes();
    DoStateChange(tsCutPending, tsCopyPending);
    Invalidate();
}

bool TBaseGridTree::PasteFromClipboard() {
    if (HasOption(toReadOnly)) return false;
    classlib::TComPtr<IDataObject> data;
    if (OleGetClipboard(data.Put()) != S_OK || !data) RaiseTreeError(L"Clipboard operation failed.", 2007);
    TBaseGridTree* source = GetTreeFromDataObject(data.Get());
    const bool result = ProcessOLEData(source, data.Get(), FFocusedNode, FDefaultPasteMode,
                                       source && source->HasState(tsCutPending));
    if (source == this) DoStateChange(0, tsCutPending);
    else if (source) source->FinishCutOrCopy();
    return result;
}

HRESULT TBaseGridTree::RenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    Medium = STGMEDIUM{};
    if (FormatEtcIn.cfFormat != TreeDataClipboardFormat() || !(FormatEtcIn.tymed & (TYMED_ISTREAM | TYMED_HGLOBAL)))
        return DoRenderOLEData(FormatEtcIn, Medium, ForClipboard);
    const TNodeArray nodes = ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true);
    if (FormatEtcIn.tymed & TYMED_ISTREAM) {
        classlib::TComPtr<IStream> stream;
        if (FAILED(CreateStreamOnHGlobal(nullptr, TRUE, stream.Put()))) return E_OUTOFMEMORY;
        TOLEStream writer(stream.Get());
        for (PGridNode node : nodes) WriteNode(writer, node);
        writer.SetPosition(0);
        Medium.tymed = TYMED_ISTREAM;
        Medium.pstm = stream.Detach();
        return S_OK;
    }
    classlib::TMemoryStream stream;
    for (PGridNode node : nodes) WriteNode(stream, node);
    const size_t size = size_t(stream.Size());
    if (size == 0 || size > UINT32_MAX - 4) return E_FAIL;
    HGLOBAL block = GlobalAlloc(GMEM_DDESHARE | GMEM_ZEROINIT | GMEM_MOVEABLE, size + 4);
    if (!block) return E_OUTOFMEMORY;
    auto* p = static_cast<uint8_t*>(GlobalLock(block));
    if (!p) {
        GlobalFree(block);
        return E_OUTOFMEMORY;
    }
    const uint32_t count = uint32_t(size);
    std::memcpy(p, &count, 4);
    std::memcpy(p + 4, stream.Memory(), size);
    GlobalUnlock(block);
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = block;
    return S_OK;
}

bool TBaseGridTree::ProcessOLEData(TBaseGridTree* Source, IDataObject* DataObject, PGridNode TargetNode,
                                   TGTNodeAttachMode Mode, bool Optimized) {
    if (!DataObject || HasOption(toReadOnly)) return false;
    FORMATETC format{static_cast<CLIPFORMAT>(TreeDataClipboardFormat()), nullptr, DVASPECT_CONTENT, -1,
                     TYMED_ISTREAM | TYMED_HGLOBAL};
    if (DataObject->QueryGetData(&format) != S_OK) return false;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    if (!TargetNode) TargetNode = FRoot;
    if (TargetNode == FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    if (Optimized && Source) {
        const TNodeArray nodes = Source->HasState(tsOLEDragging) ? Source->FDragSelection
                                                                  : Source->GetSortedCutCopySet(true);
        auto move = [&](PGridNode node) {
            if (node == TargetNode || HasAsParent(TargetNode, node)) return;
            // A moved node is done with: the source's drag must not delete it afterwards.
            auto& dragged = Source->FDragSelection;
            dragged.erase(std::remove(dragged.begin(), dragged.end(), node), dragged.end());
            Source->MoveTo(node, TargetNode, Mode, false);
        };
        if (Mode == amInsertBefore || Mode == amAddChildLast) std::for_each(nodes.begin(), nodes.end(), move);
        else std::for_each(nodes.rbegin(), nodes.rend(), move);
        return true;
    }
    const TChangeReason reason = Source == this ? crNodeCopied : crNodeAdded;
    STGMEDIUM medium{};
    if (DataObject->GetData(&format, &medium) != S_OK) return false;
    auto release = classlib::ScopeExit([&] { ReleaseStgMedium(&medium); });
    auto insertAll = [&](classlib::TStream& stream) {
        const int64_t end = stream.Size();
        PGridNode target = TargetNode == FRoot ? nullptr : TargetNode;
        while (stream.Position() < end) {
            PGridNode node = MakeNewNode();
            InternalConnectNode(node, TargetNode, Mode);
            InternalAddFromStream(stream, 2, node);
            if (DoNodeCopying(node, target)) {
                DoNodeCopied(node);
                StructureChange(node, reason);
            } else {
                PGridNode parent = node->Parent;
                DeleteNode(node, true);
                StructureChange(parent == FRoot ? nullptr : parent, reason);
            }
        }
    };
    if (medium.tymed == TYMED_ISTREAM && medium.pstm) {
        TOLEStream stream(medium.pstm);
        insertAll(stream);
    } else if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal) {
        // The block comes from anywhere: its byte count must fit in it.
        const SIZE_T size = GlobalSize(medium.hGlobal);
        const auto* p = static_cast<const uint8_t*>(GlobalLock(medium.hGlobal));
        if (!p) return false;
        auto unlock = classlib::ScopeExit([&] { GlobalUnlock(medium.hGlobal); });
        if (size < 4) return false;
        uint32_t count;
        std::memcpy(&count, p, 4);
        if (count > size - 4) return false;
        TOLEMemoryStream stream(p + 4, count);
        insertAll(stream);
    } else {
        return false;
    }
    return true;
}

}  // namespace gridtree
