// The tree's streaming, transfer and drag state, made on first use (private to the folder).
#pragma once

#include <memory>

#include "controls/gridtree/basetree.h"
#include "controls/gridtree/gridtree_dataobject.h"
#include "controls/gridtree/gridtree_dragimage.h"
#include "controls/gridtree/gridtree_dragmanager.h"

namespace gridtree::detail {

struct TTransferData {
    explicit TTransferData(TBaseGridTree* Tree);
    // Forgets the tree among the living ones and detaches its drag manager (the system
    // may hold references to it for a while).
    ~TTransferData();
    TTransferData(const TTransferData&) = delete;
    TTransferData& operator=(const TTransferData&) = delete;

    TBaseGridTree* Tree;
    TClipboardFormats ClipboardFormats;
    // The drag manager with one reference; Own is set when it is the built-in one.
    IGTDragManager* DragManager = nullptr;
    TGTDragManager* OwnDragManager = nullptr;
    std::unique_ptr<TGTDragImage> DragImage;
    // The window registered as OLE drop target (with the drag manager's IDropTarget).
    HWND RegisteredWindow = nullptr;
    // The in-process drag's last target and effect, kept for the drop that follows.
    PGridNode SavedDropTarget = nullptr;
    DWORD SavedEffect = 0;
    // Bounds of the stream reader: the end of the enclosing chunk and the nesting depth.
    int64_t ReadEnd = 0;
    int ReadDepth = 0;
};

// The deepest nesting a tree stream may have (the reader recurses once per level).
constexpr int MaxStreamDepth = 1024;

}  // namespace gridtree::detail
