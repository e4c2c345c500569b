#include "controls/gridtree/gridtree_dragmanager.h"

#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_dataobject.h"

namespace gridtree {

namespace {
POINT ToPoint(POINTL P) { return POINT{P.x, P.y}; }
}  // namespace

void TGTDragManager::CancelTargetFeedback() {
    if (UseDropHelper()) FDropTargetHelper->DragLeave();
}

IDataObject* TGTDragManager::DataObjectOfDrag() {
    if (FDataObject) {
        FDataObject->AddRef();
        return FDataObject.Get();
    }
    TBaseGridTree* tree = OwnerObject();
    if (!tree) return nullptr;
    try {
        if (IDataObject* supplied = tree->DoCreateDataObject()) return supplied;
        return new TGTDataObject(tree, false);
    } catch (...) {
        ReportLater();
        return nullptr;
    }
}

TBaseGridTree* TGTDragManager::DragSourceTree() { return FDragSource ? FindLiveTree(uint64_t(FDragSource)) : nullptr; }

void TGTDragManager::ForceDragLeave() {
    if (FIsDropTarget) DragLeave();
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.Reset();
}

HRESULT TGTDragManager::DragEnter(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) {
    if (!Effect) return E_INVALIDARG;
    return WithOwner([&](TBaseGridTree& tree) {
        if (DataObject) DataObject->AddRef();
        FDataObject = classlib::TComPtr<IDataObject>::Adopt(DataObject);
        FIsDropTarget = true;
        BOOL full = FALSE;
        SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &full, 0);
        FFullDragging = full != FALSE;
        if (!FFullDragging) LockWindowUpdate(nullptr);
        if (!FHelperAsked) {
            FHelperAsked = true;
            if (FAILED(CoCreateInstance(CLSID_DragDropHelper, nullptr, CLSCTX_INPROC_SERVER, IID_IDropTargetHelper,
                                        reinterpret_cast<void**>(FDropTargetHelper.Put()))))
                FDropTargetHelper.Reset();
        }
        // The service counts only when it accepted this drag.
        FDropHelperWorks = false;
        if (FDropTargetHelper && FFullDragging && tree.HandleAllocated()) {
            POINT p = ToPoint(Pt);
            FDropHelperWorks = SUCCEEDED(FDropTargetHelper->DragEnter(tree.Handle(), DataObject, &p, *Effect));
        }
        FDragSource = TBaseGridTree::GetTreeFromDataObject(DataObject);
        DWORD effect = *Effect;
        const HRESULT result = tree.DragEnter(KeyState, ToPoint(Pt), effect);
        *Effect = effect;
        return result;
    });
}

HRESULT TGTDragManager::DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) {
    if (!Effect) return E_INVALIDARG;
    return WithOwner([&](TBaseGridTree& tree) {
        if (UseDropHelper()) {
            POINT p = ToPoint(Pt);
            FDropTargetHelper->DragOver(&p, *Effect);
        }
        DWORD effect = *Effect;
        const HRESULT result = tree.DragOver(DragSourceTree(), KeyState, classlib::dsDragMove, ToPoint(Pt), effect);
        *Effect = effect;
        return result;
    });
}

HRESULT TGTDragManager::DragLeave() {
    const HRESULT result = WithOwner([&](TBaseGridTree& tree) {
        if (UseDropHelper()) FDropTargetHelper->DragLeave();
        tree.DragLeave();
        return S_OK;
    });
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.Reset();
    return result;
}

HRESULT TGTDragManager::Drop(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) {
    if (!Effect) return E_INVALIDARG;
    const HRESULT result = WithOwner([&](TBaseGridTree& tree) {
        if (UseDropHelper()) {
            POINT p = ToPoint(Pt);
            FDropTargetHelper->Drop(DataObject, &p, *Effect);
        }
        DWORD effect = *Effect;
        const HRESULT hr = tree.DragDrop(DataObject, KeyState, ToPoint(Pt), effect);
        *Effect = effect;
        return hr;
    });
    FIsDropTarget = false;
    FDragSource = nullptr;
    FDataObject.Reset();
    return result;
}

HRESULT TGTDragManager::QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) {
    const DWORD buttons = KeyState & (MK_LBUTTON | MK_RBUTTON);
    if (EscapePressed || buttons == (MK_LBUTTON | MK_RBUTTON)) return DRAGDROP_S_CANCEL;
    if (buttons == 0) return DRAGDROP_S_DROP;
    return S_OK;
}

HRESULT TGTDragManager::GiveFeedback(DWORD) { return DRAGDROP_S_USEDEFAULTCURSORS; }

}  // namespace gridtree
