// The Unicode tree view over the common control "SysTreeView32".
//
// The nodes live in our own model (TWideTreeNodes); the window shows them and asks for
// their texts (so a text of any length and any characters shows as it is). The model
// exists without a window; a window made later, or made again (RecreateWnd, style
// changes), shows the same nodes in the same order with the same expanded state.
// Nodes are made by OnCreateNodeClass's factory when one is set (derived node classes);
// keys typed into the in-place editor reach the tree view's key events first.
//
// Lifetime: nodes belong to their collection; a node pointer stays valid until the node
// (or an ancestor) is deleted or the collection cleared. Main thread only.
//
// Depth: no operation recurses over the nodes (deleting, clearing, destroying, copying,
// writing the node stream, expanding, sorting, showing in a window), so a chain of any depth
// is handled without exhausting the stack; walking siblings and the depth-first order is
// linear over a whole level or tree. Reading the node stream refuses nesting deeper than
// 512 levels (EReadError).
#pragma once

#include "classlib/control.h"
#include "controls/wide/wideeditview.h"
#include "classlib/imagelist.h"
#include "classlib/streams.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace wide {

class TWideTreeNodes;
class TWideCustomTreeView;

// Where TWideTreeNode::MoveTo puts a node, relative to its destination: as the last or the
// first node of the destination's level (naAdd, naAddFirst), as the destination's last or
// first child (naAddChild, naAddChildFirst), or just before it (naInsert). A null
// destination stands for the top level.
enum TNodeAttachMode { naAdd, naAddFirst, naAddChild, naAddChildFirst, naInsert };

class TWideTreeNode {
public:
    TWideTreeNode(const TWideTreeNode&) = delete;
    TWideTreeNode& operator=(const TWideTreeNode&) = delete;
    virtual ~TWideTreeNode();

    const std::wstring& Text() const { return FText; }
    // With SortType stText or stBoth the node takes its place among its siblings.
    void SetText(const std::wstring& value);
    void* Data() const { return FData; }
    // With SortType stData or stBoth and an OnCompare handler the node takes its place
    // among its siblings.
    void SetData(void* value);
    int ImageIndex() const { return FImageIndex; }
    void SetImageIndex(int value);
    int SelectedIndex() const { return FSelectedIndex; }
    void SetSelectedIndex(int value);
    int StateIndex() const { return FStateIndex; }
    void SetStateIndex(int value);
    int OverlayIndex() const { return FOverlayIndex; }
    void SetOverlayIndex(int value);

    TWideTreeNode* GetParent() const { return FParent; }
    int Count() const { return static_cast<int>(FChildren.size()); }
    bool HasChildren() const { return !FChildren.empty(); }
    TWideTreeNode* GetItem(int index) const;
    TWideTreeNode* GetFirstChild() const { return FChildren.empty() ? nullptr : FChildren.front().get(); }
    TWideTreeNode* GetLastChild() const { return FChildren.empty() ? nullptr : FChildren.back().get(); }
    TWideTreeNode* GetNextSibling() const;
    TWideTreeNode* GetPrevSibling() const;
    // The next node in depth-first order (null after the last).
    TWideTreeNode* GetNext() const;
    // Position among the siblings: constant time while the level is unchanged; the first
    // query after an insertion or removal in the middle of a level renumbers that level.
    int Index() const;
    // Depth (0 for a top-level node): walks up to the top, so a walk over a deep tree
    // tracks the depth itself instead.
    int Level() const;
    // Index in depth-first order over the whole collection.
    int AbsoluteIndex() const;
    TWideTreeNodes* Owner() const { return FOwner; }
    TWideCustomTreeView* TreeView() const;
    HTREEITEM ItemId() const { return FItemId; }

    bool Expanded() const { return FExpanded; }
    void SetExpanded(bool value);
    void Expand(bool recurse);
    void Collapse(bool recurse);
    bool Selected() const;
    void SetSelected(bool value);
    void MakeVisible();
    // Starts editing the text in place (the tree view must have a window).
    bool EditText();
    void EndEdit(bool cancel);
    // Deletes the node with its children.
    void Delete();
    // Moves the node with its whole subtree, in order, to the place `mode` names; texts,
    // data, images, states and expansion go with the nodes, no deletion events fire, and a
    // selection on one of the nodes stays on it. False, and nothing moves, when the
    // destination is the node itself or one of its descendants (or belongs to another tree).
    // Linear in the subtree's size and the levels it leaves and joins, without recursion.
    bool MoveTo(TWideTreeNode* destination, TNodeAttachMode mode);
    // Copies text, data and indexes (not the children).
    void Assign(const TWideTreeNode& source);

protected:
    // Derived node classes are made by a tree view's OnCreateNodeClass factory; the
    // collection places the node.
    explicit TWideTreeNode(TWideTreeNodes* owner) : FOwner(owner) {}

private:
    friend class TWideTreeNodes;
    friend class TWideCustomTreeView;
    void UpdateItem(UINT mask);

    TWideTreeNodes* FOwner;
    TWideTreeNode* FParent = nullptr;
    std::vector<std::unique_ptr<TWideTreeNode>> FChildren;
    // Where the node last stood among its siblings (checked before it is trusted).
    mutable size_t FIndexHint = 0;
    std::wstring FText;
    void* FData = nullptr;
    int FImageIndex = -1, FSelectedIndex = -1, FStateIndex = -1, FOverlayIndex = -1;
    bool FExpanded = false;
    HTREEITEM FItemId = nullptr;
};

class TWideTreeNodes {
public:
    explicit TWideTreeNodes(TWideCustomTreeView* owner);
    ~TWideTreeNodes();
    TWideTreeNodes(const TWideTreeNodes&) = delete;
    TWideTreeNodes& operator=(const TWideTreeNodes&) = delete;

    // Last at the sibling's level (top level when null).
    TWideTreeNode* Add(TWideTreeNode* sibling, const std::wstring& s) { return AddObject(sibling, s, nullptr); }
    TWideTreeNode* AddObject(TWideTreeNode* sibling, const std::wstring& s, void* data);
    TWideTreeNode* AddFirst(TWideTreeNode* sibling, const std::wstring& s);
    // Last child (top level when null).
    TWideTreeNode* AddChild(TWideTreeNode* parent, const std::wstring& s) { return AddChildObject(parent, s, nullptr); }
    TWideTreeNode* AddChildObject(TWideTreeNode* parent, const std::wstring& s, void* data);
    // First child (top level when null).
    TWideTreeNode* AddChildFirst(TWideTreeNode* parent, const std::wstring& s) { return AddChildObjectFirst(parent, s, nullptr); }
    TWideTreeNode* AddChildObjectFirst(TWideTreeNode* parent, const std::wstring& s, void* data);
    // Before the sibling (last at the top level when null).
    TWideTreeNode* Insert(TWideTreeNode* sibling, const std::wstring& s) { return InsertObject(sibling, s, nullptr); }
    TWideTreeNode* InsertObject(TWideTreeNode* sibling, const std::wstring& s, void* data);

    TWideTreeNode* GetFirstNode() const { return FRoots.empty() ? nullptr : FRoots.front().get(); }
    // The total number of nodes.
    int Count() const;
    // The node at `index` in depth-first order; null when out of range.
    TWideTreeNode* Item(int index) const;
    TWideTreeNode* GetNode(HTREEITEM item) const;
    void Delete(TWideTreeNode* node);
    void Clear();
    // Replaces the nodes by copies of `source`'s (texts of any length, data, indexes,
    // shape and expanded state).
    void Assign(const TWideTreeNodes& source);
    void BeginUpdate();
    void EndUpdate();
    TWideCustomTreeView* Owner() const { return FOwner; }

    // The form-resource node stream ("Utf8Data"): a record per node, texts as UTF-8 of at
    // most 252 bytes. Reading replaces the nodes; a malformed stream raises EReadError and
    // leaves the nodes read so far.
    void WriteUtf8Data(classlib::TStream& stream) const;
    void ReadUtf8Data(classlib::TStream& stream);

private:
    friend class TWideTreeNode;
    friend class TWideCustomTreeView;
    using NodeList = std::vector<std::unique_ptr<TWideTreeNode>>;
    NodeList& ListOf(TWideTreeNode* parent) { return parent ? parent->FChildren : FRoots; }
    // Takes a node out of its level (deletion events first, then the window's items) and
    // hands it over; null when it is not this list's.
    std::unique_ptr<TWideTreeNode> Detach(TWideTreeNode* node);
    bool Move(TWideTreeNode* node, TWideTreeNode* destination, TNodeAttachMode mode);
    TWideTreeNode* InsertAt(TWideTreeNode* parent, size_t pos, const std::wstring& s, void* data);
    void InsertIntoWindow(TWideTreeNode* node);
    void InsertAllIntoWindow();
    // Removes the node's subtree from the window in pieces of bounded depth, deepest first,
    // so the window never recurses deeply; the node's own item goes last unless
    // `keepTop` (then only items below it are removed).
    void RemoveFromWindow(TWideTreeNode* node, bool keepTop);
    void ForgetWindow();
    void ReadNode(classlib::TStream& stream, TWideTreeNode* parent);

    TWideCustomTreeView* FOwner;
    NodeList FRoots;
    int FUpdateCount = 0;
};

enum TSortType { stNone, stData, stText, stBoth };

using TTVChangedEvent = std::function<void(classlib::TComponent* sender, TWideTreeNode* node)>;
using TTVChangingEvent = std::function<void(classlib::TComponent* sender, TWideTreeNode* node, bool& allow)>;
using TWideTVEditedEvent = std::function<void(classlib::TComponent* sender, TWideTreeNode* node, std::wstring& s)>;
using TTVCompareEvent = std::function<void(classlib::TComponent* sender, TWideTreeNode* node1, TWideTreeNode* node2, int data, int& compare)>;
// The class of new nodes: a factory that makes a node (of TWideTreeNode or a class derived
// from it) for the given collection.
using TWideTreeNodeClass = std::function<std::unique_ptr<TWideTreeNode>(TWideTreeNodes* owner)>;
// Offered the default class before each node is made; a handler may replace it.
using TTVCreateNodeClassEvent = std::function<void(TWideCustomTreeView* sender, TWideTreeNodeClass& nodeClass)>;

class TWideCustomTreeView : public TWideEditingView {
public:
    explicit TWideCustomTreeView(classlib::TComponent* owner);
    ~TWideCustomTreeView() override;

    TWideTreeNodes& Items() { return *FNodes; }
    TWideTreeNodes& GetItems() { return *FNodes; }
    void SetItems(const TWideTreeNodes& value) { FNodes->Assign(value); }
    TWideTreeNode* Selected();
    TWideTreeNode* GetSelected() { return Selected(); }
    void SetSelected(TWideTreeNode* node);
    // The node at a client point, or null.
    TWideTreeNode* GetNodeAt(int x, int y);
    TWideTreeNode* TopItem();
    void SetTopItem(TWideTreeNode* node);
    // Sorts every level by OnCompare, or by lstrcmpW of the texts without it.
    void AlphaSort(bool recurse = true);
    bool IsEditing();
    void FullExpand();
    void FullCollapse();

    // Style properties take effect when the window is (re-)created (RecreateWnd).
    bool ReadOnly = false;
    bool ShowLines = true;
    bool ShowRoot = true;
    bool ShowButtons = true;
    bool HideSelection = true;
    bool RowSelect = false;
    bool ToolTips = true;
    // stText / stBoth keep every level ordered by text as nodes are added or renamed;
    // stData / stBoth with an OnCompare handler also when data changes. Setting a sort
    // type that sorts orders the whole tree at once.
    TSortType SortType() const { return FSortType; }
    void SetSortType(TSortType value);
    void SetImages(classlib::TImageList* images);
    void SetStateImages(classlib::TImageList* images);

    TTVChangedEvent OnChange, OnExpanded, OnCollapsed, OnDeletion, OnCancelEdit;
    // Asked whenever the window draws a node: a handler may set the node's ImageIndex /
    // SelectedIndex, which the window then shows.
    TTVChangedEvent OnGetImageIndex, OnGetSelectedIndex;
    TTVChangingEvent OnChanging, OnExpanding, OnCollapsing, OnEditing;
    TWideTVEditedEvent OnEdited;
    TTVCompareEvent OnCompare;
    TTVCreateNodeClassEvent OnCreateNodeClass;

protected:
    friend class TWideTreeNodes;
    friend class TWideTreeNode;
    void CreateParams(classlib::TCreateParams& params) override;
    void CreateWnd() override;
    void WMDestroy(classlib::TMessage& m) override;
    void CNNotify(classlib::TMessage& m) override;
    // The window tells when a press becomes a drag (TVN_BEGINDRAGW): an automatic drag starts then.
    bool DetectsDrags() const override { return true; }
    // Keys typed into the in-place editor reach this control's key events (and the form's
    // key preview) first; a key they consume goes no further.
    void HookEditor();
    virtual bool CanEdit(TWideTreeNode* node);
    virtual void Edit(const TVITEMW& item);
    int CompareNodes(TWideTreeNode* a, TWideTreeNode* b);
    void SortList(TWideTreeNodes::NodeList& list, HTREEITEM parentItem, bool recurse);
    // Makes a node through OnCreateNodeClass; a factory that makes none raises
    // EWideInternalError.
    virtual std::unique_ptr<TWideTreeNode> CreateNode();
    bool SortsByText() const { return FSortType == stText || FSortType == stBoth; }
    bool SortsByData() const { return (FSortType == stData || FSortType == stBoth) && OnCompare; }
    // Puts `node` in order among its siblings.
    void SortSiblings(TWideTreeNode* node);
    TSortType FSortType = stNone;

    std::unique_ptr<TWideTreeNodes> FNodes;
    classlib::TComponentRef<classlib::TImageList> FImages{[this] { SetImages(nullptr); }};
    classlib::TComponentRef<classlib::TImageList> FStateImages{[this] { SetStateImages(nullptr); }};
    bool FRebuilding = false;
    TWideTreeNode* FEditing = nullptr;
};

class TWideTreeView : public TWideCustomTreeView {
public:
    using TWideCustomTreeView::TWideCustomTreeView;
};

}  // namespace wide
