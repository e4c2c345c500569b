// The drag manager of a grid tree: the tree window's OLE drop target and the drop source of
// the drags the tree starts, with the system's drop-image service when it works.
//
// The tree creates it on demand (`GetDragManager`), registers it for its window and keeps
// its first reference; when the tree goes it revokes the registration and calls Detach().
// Afterwards every method answers E_FAIL (the system may still hold references a while).
// Main thread only.
#pragma once

#include <windows.h>
#include <ole2.h>
#include <shlobj.h>

#include "classlib/comobject.h"

namespace gridtree {

class TBaseGridTree;

// What a tree and its drop target need of a drag manager (the application may supply its
// own through OnCreateDragManager).
struct IGTDragManager : public IUnknown {
    // Tells the system's image service that the cursor left (drops its picture).
    virtual void STDMETHODCALLTYPE CancelTargetFeedback() = 0;
    // The data object of the current drag, or a new one for the tree; one reference for
    // the caller.
    virtual IDataObject* STDMETHODCALLTYPE DataObjectOfDrag() = 0;
    // The tree the current drag comes from (this process only), or null.
    virtual TBaseGridTree* STDMETHODCALLTYPE DragSourceTree() = 0;
    // True when the system's image service draws the drag picture over the target.
    virtual BOOL STDMETHODCALLTYPE DropHelperAvailable() = 0;
    // True between the drop target's DragEnter and its DragLeave or Drop.
    virtual BOOL STDMETHODCALLTYPE InDropTarget() = 0;
    // Forgets the drag (after the system's drag loop ended).
    virtual void STDMETHODCALLTYPE ForceDragLeave() = 0;
};

}  // namespace gridtree

__CRT_UUID_DECL(gridtree::IGTDragManager, 0xC4B25559, 0x14DA, 0x446B, 0x89, 0x01, 0x0C, 0x87, 0x90, 0x00, 0xEB, 0x16)

namespace gridtree {

class TGTDragManager
    : public classlib::TComOwnedObject<TBaseGridTree, IGTDragManager, IDropTarget, IDropSource> {
public:
    explicit TGTDragManager(TBaseGridTree* Tree) : TComOwnedObject(Tree) {}

    // IGTDragManager
    void STDMETHODCALLTYPE CancelTargetFeedback() override;
    IDataObject* STDMETHODCALLTYPE DataObjectOfDrag() override;
    TBaseGridTree* STDMETHODCALLTYPE DragSourceTree() override;
    BOOL STDMETHODCALLTYPE DropHelperAvailable() override { return FDropHelperWorks; }
    BOOL STDMETHODCALLTYPE InDropTarget() override { return FIsDropTarget; }
    void STDMETHODCALLTYPE ForceDragLeave() override;

    // IDropTarget (points in screen coordinates)
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD KeyState, POINTL Pt, DWORD* Effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* DataObject, DWORD KeyState, POINTL Pt, DWORD* Effect) override;

    // IDropSource
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL EscapePressed, DWORD KeyState) override;
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD Effect) override;

private:
    ~TGTDragManager() override = default;
    bool UseDropHelper() const { return FDropHelperWorks && FFullDragging; }

    classlib::TComPtr<IDataObject> FDataObject;
    TBaseGridTree* FDragSource = nullptr;
    bool FIsDropTarget = false;
    bool FFullDragging = false;
    // The system's image service: asked for at the first drag enter; it counts as working
    // only when its DragEnter succeeded (it may be missing or a stub).
    classlib::TComPtr<IDropTargetHelper> FDropTargetHelper;
    bool FHelperAsked = false;
    bool FDropHelperWorks = false;
};

}  // namespace gridtree
