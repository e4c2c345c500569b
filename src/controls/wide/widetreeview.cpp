#include "controls/wide/widetreeview.h"

#include "classlib/errors.h"
#include "classlib/scopeguard.h"
#include "controls/wide/conversions.h"
#include "controls/wide/widecontrols.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_map>

namespace wide {

using namespace classlib;

namespace {

// Node records of the stream: 24 bytes of fields, the text length byte, at most 255 bytes
// of text.
constexpr int32_t kRecordMin = 25;
constexpr int32_t kRecordMax = 24 + 1 + 255;
// Deeper nesting than this is not a tree any form holds; it guards the reader's stack.
constexpr int kMaxDepth = 512;
// The window's own item deletion recurses once per level: a subtree is taken out of it in
// pieces no deeper than this.
constexpr int kWindowDepthStep = 256;
// The most nodes a move puts back into the window while it keeps drawing.
constexpr size_t kMoveWithoutDrawing = 64;

// Visits `top` and its descendants, a node before its children, without recursion;
// `visit(node, depth)` gets the depth below `top` (0 for `top`). Children a visit adds to
// the node it was given are visited too.
template <class Node, class Visit>
void ForEachPreOrder(Node* top, Visit visit) {
    struct Frame {
        Node* node;
        int next;
    };
    visit(top, 0);
    std::vector<Frame> stack{{top, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next >= f.node->Count()) {
            stack.pop_back();
            continue;
        }
        Node* child = f.node->GetItem(f.next++);
        visit(child, static_cast<int>(stack.size()));
        stack.push_back({child, 0});
    }
}

// Visits `top` and its descendants, children (in order) before their node, without
// recursion; `visit(node, depth)` as above.
template <class Node, class Visit>
void ForEachPostOrder(Node* top, Visit visit) {
    struct Frame {
        Node* node;
        int next;
    };
    std::vector<Frame> stack{{top, 0}};
    while (!stack.empty()) {
        Frame& f = stack.back();
        if (f.next < f.node->Count()) {
            Node* child = f.node->GetItem(f.next++);
            stack.push_back({child, 0});
            continue;
        }
        Node* node = f.node;
        const int depth = static_cast<int>(stack.size()) - 1;
        stack.pop_back();
        visit(node, depth);
    }
}

// BeginUpdate for the lifetime of the object.
class TUpdateBracket {
public:
    explicit TUpdateBracket(TWideTreeNodes& nodes) : FNodes(nodes) { FNodes.BeginUpdate(); }
    ~TUpdateBracket() { FNodes.EndUpdate(); }
    TUpdateBracket(const TUpdateBracket&) = delete;
    TUpdateBracket& operator=(const TUpdateBracket&) = delete;

private:
    TWideTreeNodes& FNodes;
};

// While a node is being destroyed, the nodes below it wait here instead of being destroyed
// inside their parent's destructor, which would recurse once per level.
thread_local std::vector<std::unique_ptr<TWideTreeNode>>* tDismantling = nullptr;

}  // namespace

// --- TWideTreeNode ---------------------------------------------------------------------------

TWideTreeNode::~TWideTreeNode() {
    if (FChildren.empty()) return;
    if (tDismantling) {
        // An outer destructor is taking a subtree apart: hand the children to it.
        for (auto& c : FChildren) tDismantling->push_back(std::move(c));
        FChildren.clear();
        return;
    }
    std::vector<std::unique_ptr<TWideTreeNode>> pending = std::move(FChildren);
    FChildren.clear();
    tDismantling = &pending;
    while (!pending.empty()) {
        // Each node's destructor runs with its children still attached, then hands them over.
        std::unique_ptr<TWideTreeNode> node = std::move(pending.back());
        pending.pop_back();
        node.reset();
    }
    tDismantling = nullptr;
}

TWideCustomTreeView* TWideTreeNode::TreeView() const { return FOwner->FOwner; }

void TWideTreeNode::UpdateItem(UINT mask) {
    TWideCustomTreeView* tv = TreeView();
    if (!FItemId || !tv->HandleAllocated()) return;
    TVITEMW item{};
    item.mask = mask | TVIF_HANDLE;
    item.hItem = FItemId;
    item.lParam = reinterpret_cast<LPARAM>(this);
    item.pszText = LPSTR_TEXTCALLBACKW;
    item.iImage = I_IMAGECALLBACK;
    item.iSelectedImage = I_IMAGECALLBACK;
    item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK;
    item.state = INDEXTOSTATEIMAGEMASK(FStateIndex >= 0 ? FStateIndex : 0) |
                 INDEXTOOVERLAYMASK(FOverlayIndex >= 0 ? FOverlayIndex : 0);
    SendMessageW(tv->Handle(), TVM_SETITEMW, 0, reinterpret_cast<LPARAM>(&item));
}

void TWideTreeNode::SetText(const std::wstring& value) {
    FText = value;
    UpdateItem(TVIF_TEXT);
    if (TreeView()->SortsByText()) TreeView()->SortSiblings(this);
}

void TWideTreeNode::SetData(void* value) {
    FData = value;
    if (TreeView()->SortsByData()) TreeView()->SortSiblings(this);
}

void TWideTreeNode::SetImageIndex(int value) {
    FImageIndex = value;
    UpdateItem(TVIF_IMAGE);
}

void TWideTreeNode::SetSelectedIndex(int value) {
    FSelectedIndex = value;
    UpdateItem(TVIF_SELECTEDIMAGE);
}

void TWideTreeNode::SetStateIndex(int value) {
    FStateIndex = value;
    UpdateItem(TVIF_STATE);
}

void TWideTreeNode::SetOverlayIndex(int value) {
    FOverlayIndex = value;
    UpdateItem(TVIF_STATE);
}

TWideTreeNode* TWideTreeNode::GetItem(int index) const {
    if (index < 0 || index >= Count()) throw EListError(L"リストのインデックスが範囲を超えています (" + std::to_wstring(index) + L")");
    return FChildren[static_cast<size_t>(index)].get();
}

int TWideTreeNode::Index() const {
    const auto& list = FOwner->ListOf(FParent);
    if (FIndexHint < list.size() && list[FIndexHint].get() == this) return static_cast<int>(FIndexHint);
    // The level changed since: renumber all of it once, so the siblings' next queries are
    // constant time again.
    for (size_t i = 0; i < list.size(); ++i) list[i]->FIndexHint = i;
    return FIndexHint < list.size() && list[FIndexHint].get() == this ? static_cast<int>(FIndexHint) : -1;
}

TWideTreeNode* TWideTreeNode::GetNextSibling() const {
    const auto& list = FOwner->ListOf(FParent);
    int i = Index();
    return i >= 0 && i + 1 < static_cast<int>(list.size()) ? list[static_cast<size_t>(i) + 1].get() : nullptr;
}

TWideTreeNode* TWideTreeNode::GetPrevSibling() const {
    const auto& list = FOwner->ListOf(FParent);
    int i = Index();
    return i > 0 ? list[static_cast<size_t>(i) - 1].get() : nullptr;
}

TWideTreeNode* TWideTreeNode::GetNext() const {
    if (!FChildren.empty()) return FChildren.front().get();
    for (const TWideTreeNode* n = this; n; n = n->FParent)
        if (TWideTreeNode* s = n->GetNextSibling()) return s;
    return nullptr;
}

int TWideTreeNode::Level() const {
    int level = 0;
    for (TWideTreeNode* p = FParent; p; p = p->FParent) ++level;
    return level;
}

int TWideTreeNode::AbsoluteIndex() const {
    int i = 0;
    for (TWideTreeNode* n = FOwner->GetFirstNode(); n; n = n->GetNext(), ++i)
        if (n == this) return i;
    return -1;
}

void TWideTreeNode::SetExpanded(bool value) {
    if (value)
        Expand(false);
    else
        Collapse(false);
}

void TWideTreeNode::Expand(bool recurse) {
    if (recurse) {
        // The deepest nodes first: a window shows each expansion at once, and expanding a
        // node whose parent is still collapsed changes nothing visible. Children that a
        // node's expansion adds are expanded in turn.
        struct Frame {
            TWideTreeNode* node;
            int next;
            bool expanded;
        };
        TUpdateBracket bracket(*FOwner);
        std::vector<Frame> stack{{this, 0, false}};
        while (!stack.empty()) {
            Frame& f = stack.back();
            if (f.next < f.node->Count()) {
                TWideTreeNode* child = f.node->GetItem(f.next++);
                stack.push_back({child, 0, false});
            } else if (!f.expanded) {
                f.expanded = true;
                f.node->Expand(false);
            } else {
                stack.pop_back();
            }
        }
        return;
    }
    FExpanded = true;
    TWideCustomTreeView* tv = TreeView();
    if (FItemId && tv->HandleAllocated()) SendMessageW(tv->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(FItemId));
}

void TWideTreeNode::Collapse(bool recurse) {
    if (recurse) {
        TUpdateBracket bracket(*FOwner);
        ForEachPreOrder(this, [](TWideTreeNode* n, int) { n->Collapse(false); });
        return;
    }
    FExpanded = false;
    TWideCustomTreeView* tv = TreeView();
    if (FItemId && tv->HandleAllocated()) SendMessageW(tv->Handle(), TVM_EXPAND, TVE_COLLAPSE, reinterpret_cast<LPARAM>(FItemId));
}

bool TWideTreeNode::Selected() const { return TreeView()->Selected() == this; }

void TWideTreeNode::SetSelected(bool value) {
    if (value)
        TreeView()->SetSelected(this);
    else if (Selected())
        TreeView()->SetSelected(nullptr);
}

void TWideTreeNode::MakeVisible() {
    TWideCustomTreeView* tv = TreeView();
    if (tv->HandleAllocated() && FItemId) SendMessageW(tv->Handle(), TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(FItemId));
}

bool TWideTreeNode::EditText() {
    TWideCustomTreeView* tv = TreeView();
    if (!FItemId) tv->HandleNeeded();
    if (!FItemId) return false;
    SetFocus(tv->Handle());
    return SendMessageW(tv->Handle(), TVM_EDITLABELW, 0, reinterpret_cast<LPARAM>(FItemId)) != 0;
}

void TWideTreeNode::EndEdit(bool cancel) {
    TWideCustomTreeView* tv = TreeView();
    if (tv->HandleAllocated()) SendMessageW(tv->Handle(), TVM_ENDEDITLABELNOW, cancel, 0);
}

void TWideTreeNode::Delete() { FOwner->Delete(this); }

bool TWideTreeNode::MoveTo(TWideTreeNode* destination, TNodeAttachMode mode) {
    return FOwner->Move(this, destination, mode);
}

void TWideTreeNode::Assign(const TWideTreeNode& source) {
    SetText(source.FText);
    FData = source.FData;
    FImageIndex = source.FImageIndex;
    FSelectedIndex = source.FSelectedIndex;
    FStateIndex = source.FStateIndex;
    FOverlayIndex = source.FOverlayIndex;
    UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE);
}

// --- TWideTreeNodes --------------------------------------------------------------------------

TWideTreeNodes::TWideTreeNodes(TWideCustomTreeView* owner) : FOwner(owner) {}

TWideTreeNodes::~TWideTreeNodes() = default;

TWideTreeNode* TWideTreeNodes::InsertAt(TWideTreeNode* parent, size_t pos, const std::wstring& s, void* data) {
    NodeList& list = ListOf(parent);
    std::unique_ptr<TWideTreeNode> node = FOwner->CreateNode();
    node->FParent = parent;
    node->FText = s;
    node->FData = data;
    pos = std::min(pos, list.size());
    node->FIndexHint = pos;
    TWideTreeNode* result = node.get();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(pos), std::move(node));
    InsertIntoWindow(result);
    if (FOwner->SortsByText() || FOwner->SortsByData()) FOwner->SortSiblings(result);
    return result;
}

TWideTreeNode* TWideTreeNodes::AddObject(TWideTreeNode* sibling, const std::wstring& s, void* data) {
    TWideTreeNode* parent = sibling ? sibling->FParent : nullptr;
    return InsertAt(parent, ListOf(parent).size(), s, data);
}

TWideTreeNode* TWideTreeNodes::AddFirst(TWideTreeNode* sibling, const std::wstring& s) {
    return InsertAt(sibling ? sibling->FParent : nullptr, 0, s, nullptr);
}

TWideTreeNode* TWideTreeNodes::AddChildObject(TWideTreeNode* parent, const std::wstring& s, void* data) {
    return InsertAt(parent, ListOf(parent).size(), s, data);
}

TWideTreeNode* TWideTreeNodes::AddChildObjectFirst(TWideTreeNode* parent, const std::wstring& s, void* data) {
    return InsertAt(parent, 0, s, data);
}

TWideTreeNode* TWideTreeNodes::InsertObject(TWideTreeNode* sibling, const std::wstring& s, void* data) {
    if (!sibling) return AddObject(nullptr, s, data);
    return InsertAt(sibling->FParent, static_cast<size_t>(sibling->Index()), s, data);
}

int TWideTreeNodes::Count() const {
    int n = 0;
    for (TWideTreeNode* p = GetFirstNode(); p; p = p->GetNext()) ++n;
    return n;
}

TWideTreeNode* TWideTreeNodes::Item(int index) const {
    if (index < 0) return nullptr;
    TWideTreeNode* p = GetFirstNode();
    for (; p && index > 0; --index) p = p->GetNext();
    return p;
}

TWideTreeNode* TWideTreeNodes::GetNode(HTREEITEM item) const {
    if (!item || !FOwner->HandleAllocated()) return nullptr;
    TVITEMW tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!SendMessageW(FOwner->Handle(), TVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&tv))) return nullptr;
    return reinterpret_cast<TWideTreeNode*>(tv.lParam);
}

void TWideTreeNodes::Delete(TWideTreeNode* node) {
    // The level is whole again before the subtree is destroyed.
    std::unique_ptr<TWideTreeNode> doomed = Detach(node);
}

std::unique_ptr<TWideTreeNode> TWideTreeNodes::Detach(TWideTreeNode* node) {
    if (!node || node->FOwner != this) return nullptr;
    // Deletion events, children first.
    if (FOwner->OnDeletion) ForEachPostOrder(node, [this](TWideTreeNode* n, int) { FOwner->OnDeletion(FOwner, n); });
    if (FOwner->FEditing && (FOwner->FEditing == node || [&] {
            for (TWideTreeNode* p = FOwner->FEditing; p; p = p->FParent)
                if (p == node) return true;
            return false;
        }()))
        FOwner->FEditing = nullptr;
    RemoveFromWindow(node, false);
    NodeList& list = ListOf(node->FParent);
    const int index = node->Index();
    if (index < 0) return nullptr;
    std::unique_ptr<TWideTreeNode> detached = std::move(list[static_cast<size_t>(index)]);
    list.erase(list.begin() + index);
    return detached;
}

bool TWideTreeNodes::Move(TWideTreeNode* node, TWideTreeNode* destination, TNodeAttachMode mode) {
    if (!node || node->FOwner != this || (destination && destination->FOwner != this)) return false;
    for (const TWideTreeNode* p = destination; p; p = p->FParent)
        if (p == node) return false;
    // The new parent and the place among its children, as the level stands now.
    const bool child = mode == naAddChild || mode == naAddChildFirst;
    TWideTreeNode* parent = child ? destination : destination ? destination->FParent : nullptr;
    size_t pos = ListOf(parent).size();
    if (mode == naAddFirst || mode == naAddChildFirst) pos = 0;
    if (mode == naInsert && destination) pos = static_cast<size_t>(destination->Index());

    // A selected node of the subtree is selected again once the subtree is back.
    TWideTreeNode* selected = FOwner->Selected();
    bool keepSelection = false;
    for (const TWideTreeNode* p = selected; p && !keepSelection; p = p->FParent) keepSelection = p == node;

    // A leaf going just before a leaf neighbour (one place up or down among leaves): the two
    // window items trade nodes, where deleting and inserting one would cost the window a step
    // for every item below the place.
    if (mode == naInsert && destination == node->GetPrevSibling() && destination && node->FChildren.empty() &&
        destination->FChildren.empty() && node->FItemId && destination->FItemId && FOwner->HandleAllocated() &&
        !FOwner->SortsByText() && !FOwner->SortsByData()) {
        NodeList& level = ListOf(parent);
        const auto index = static_cast<size_t>(node->Index());
        std::swap(level[index - 1], level[index]);
        node->FIndexHint = index - 1;
        destination->FIndexHint = index;
        std::swap(node->FItemId, destination->FItemId);
        for (TWideTreeNode* n : {node, destination})
            n->UpdateItem(TVIF_PARAM | TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE);
        if (selected == node || selected == destination) FOwner->SetSelected(selected);
        return true;
    }

    // Drawing is held off only while a large subtree moves: turning it back on has the window
    // measure all its items again, which for a few nodes in a long tree costs far more than
    // drawing as they go.
    size_t moved = 0;
    ForEachPreOrder(node, [&](TWideTreeNode*, int) { ++moved; });
    std::optional<TUpdateBracket> bracket;
    if (moved > kMoveWithoutDrawing) bracket.emplace(*this);
    RemoveFromWindow(node, false);
    ForEachPreOrder(node, [](TWideTreeNode* n, int) { n->FItemId = nullptr; });
    NodeList& from = ListOf(node->FParent);
    const auto index = static_cast<size_t>(node->Index());
    std::unique_ptr<TWideTreeNode> moving = std::move(from[index]);
    from.erase(from.begin() + static_cast<std::ptrdiff_t>(index));
    NodeList& to = ListOf(parent);
    if (&to == &from && index < pos) --pos;
    pos = std::min(pos, to.size());
    moving->FParent = parent;
    moving->FIndexHint = pos;
    to.insert(to.begin() + static_cast<std::ptrdiff_t>(pos), std::move(moving));
    InsertIntoWindow(node);
    if (FOwner->SortsByText() || FOwner->SortsByData()) FOwner->SortSiblings(node);
    if (keepSelection && selected->FItemId) FOwner->SetSelected(selected);
    return true;
}

void TWideTreeNodes::Clear() {
    BeginUpdate();
    // The top nodes leave from the last (each leaves its level at constant cost) but are
    // destroyed from the first, in the order they were made: freeing the last made first
    // grows one free block at the end of the heap, which the allocator under Wine gives
    // back to the system piece by piece, at times taking hundreds of milliseconds for a
    // level of tens of thousands of nodes.
    NodeList doomed;
    doomed.reserve(FRoots.size());
    while (!FRoots.empty()) {
        std::unique_ptr<TWideTreeNode> node = Detach(FRoots.back().get());
        if (!node) break;
        doomed.push_back(std::move(node));
    }
    for (auto it = doomed.rbegin(); it != doomed.rend(); ++it) it->reset();
    EndUpdate();
}

void TWideTreeNodes::Assign(const TWideTreeNodes& source) {
    if (&source == this) return;
    BeginUpdate();
    Clear();
    // The copies of the ancestors of the node being copied, by depth.
    std::vector<TWideTreeNode*> parents;
    // Expanded once their children are there, the deepest first.
    std::vector<TWideTreeNode*> expanded;
    for (const auto& r : source.FRoots) {
        ForEachPreOrder(static_cast<const TWideTreeNode*>(r.get()), [&](const TWideTreeNode* from, int depth) {
            parents.resize(static_cast<size_t>(depth));
            TWideTreeNode* n = AddChildObject(depth > 0 ? parents.back() : nullptr, from->FText, from->FData);
            n->Assign(*from);
            parents.push_back(n);
            if (from->FExpanded) expanded.push_back(n);
        });
    }
    for (auto it = expanded.rbegin(); it != expanded.rend(); ++it) (*it)->Expand(false);
    EndUpdate();
}

void TWideTreeNodes::BeginUpdate() {
    if (FUpdateCount++ == 0 && FOwner->HandleAllocated()) SendMessageW(FOwner->Handle(), WM_SETREDRAW, FALSE, 0);
}

void TWideTreeNodes::EndUpdate() {
    if (FUpdateCount > 0 && --FUpdateCount == 0 && FOwner->HandleAllocated()) {
        SendMessageW(FOwner->Handle(), WM_SETREDRAW, TRUE, 0);
        FOwner->Invalidate();
    }
}

void TWideTreeNodes::InsertIntoWindow(TWideTreeNode* top) {
    if (!FOwner->HandleAllocated()) return;
    // Expanded once their children are in the window, the deepest first.
    std::vector<TWideTreeNode*> expanded;
    ForEachPreOrder(top, [&](TWideTreeNode* node, int) {
        TWideTreeNode* parent = node->FParent;
        if (parent && !parent->FItemId) return;
        TWideTreeNode* prev = node->GetPrevSibling();
        TVINSERTSTRUCTW ins{};
        ins.hParent = parent ? parent->FItemId : TVI_ROOT;
        ins.hInsertAfter = prev && prev->FItemId ? prev->FItemId : TVI_FIRST;
        ins.item.mask = TVIF_TEXT | TVIF_PARAM | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE;
        ins.item.pszText = LPSTR_TEXTCALLBACKW;
        ins.item.lParam = reinterpret_cast<LPARAM>(node);
        // The window asks for the indexes when it draws (OnGetImageIndex, OnGetSelectedIndex).
        ins.item.iImage = I_IMAGECALLBACK;
        ins.item.iSelectedImage = I_IMAGECALLBACK;
        ins.item.stateMask = TVIS_STATEIMAGEMASK | TVIS_OVERLAYMASK;
        ins.item.state = INDEXTOSTATEIMAGEMASK(node->FStateIndex >= 0 ? node->FStateIndex : 0) |
                         INDEXTOOVERLAYMASK(node->FOverlayIndex >= 0 ? node->FOverlayIndex : 0);
        node->FItemId = reinterpret_cast<HTREEITEM>(SendMessageW(FOwner->Handle(), TVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&ins)));
        if (node->FExpanded && !node->FChildren.empty()) expanded.push_back(node);
    });
    for (auto it = expanded.rbegin(); it != expanded.rend(); ++it)
        SendMessageW(FOwner->Handle(), TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>((*it)->FItemId));
}

void TWideTreeNodes::RemoveFromWindow(TWideTreeNode* node, bool keepTop) {
    if (!FOwner->HandleAllocated()) return;
    // Children before their node: every piece removed holds less than one step of levels,
    // since the items a step further down are gone already.
    ForEachPostOrder(node, [&](TWideTreeNode* n, int depth) {
        if (depth % kWindowDepthStep != 0 || (keepTop && depth == 0) || !n->FItemId) return;
        SendMessageW(FOwner->Handle(), TVM_DELETEITEM, 0, reinterpret_cast<LPARAM>(n->FItemId));
    });
}

void TWideTreeNodes::InsertAllIntoWindow() {
    for (auto& r : FRoots) InsertIntoWindow(r.get());
}

void TWideTreeNodes::ForgetWindow() {
    for (TWideTreeNode* n = GetFirstNode(); n; n = n->GetNext()) n->FItemId = nullptr;
}

// --- the node stream ---------------------------------------------------------------------------

namespace {

void WriteInt(TStream& s, int32_t v) { s.WriteBuffer(&v, 4); }

int32_t ReadInt(TStream& s) {
    int32_t v = 0;
    s.ReadBuffer(&v, 4);
    return v;
}

// EF BB BF and the UTF-8 form of the longest leading part of `text` that fits in 255 bytes.
std::string FitStreamText(const std::wstring& text) {
    size_t n = std::min<size_t>(text.size(), 255);
    for (;; --n) {
        // Never cut between the two halves of a surrogate pair.
        if (n > 0 && n < text.size() && IS_HIGH_SURROGATE(text[n - 1])) continue;
        std::string bytes = "\xEF\xBB\xBF" + WideStringToUTF8(text.substr(0, n));
        if (bytes.size() < 256 || n == 0) return bytes.size() < 256 ? bytes : std::string("\xEF\xBB\xBF");
    }
}

std::wstring AnsiToWide(const std::string& s) {
    int n = MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(std::max(n, 0)), L'\0');
    if (n > 0) MultiByteToWideChar(CP_ACP, 0, s.data(), static_cast<int>(s.size()), w.data(), n);
    return w;
}

// One node's record (its children follow it in the stream).
void WriteNode(TStream& s, const TWideTreeNode* node) {
    std::string text = FitStreamText(node->Text());
    auto data = reinterpret_cast<intptr_t>(node->Data());
    // The record has 32 bits for Data: a value that does not fit is refused, not cut.
    if (data < INT32_MIN || data > INT32_MAX) throw EWriteError(L"ノードのデータを書き込めません");
    WriteInt(s, 24 + 1 + static_cast<int32_t>(text.size()));
    WriteInt(s, node->ImageIndex());
    WriteInt(s, node->SelectedIndex());
    WriteInt(s, node->StateIndex());
    WriteInt(s, node->OverlayIndex());
    WriteInt(s, static_cast<int32_t>(data));
    WriteInt(s, node->Count());
    auto len = static_cast<unsigned char>(text.size());
    s.WriteBuffer(&len, 1);
    s.WriteBuffer(text.data(), text.size());
}

}  // namespace

void TWideTreeNodes::WriteUtf8Data(TStream& stream) const {
    WriteInt(stream, static_cast<int32_t>(FRoots.size()));
    for (const auto& r : FRoots)
        ForEachPreOrder(static_cast<const TWideTreeNode*>(r.get()), [&](const TWideTreeNode* n, int) { WriteNode(stream, n); });
}

void TWideTreeNodes::ReadUtf8Data(TStream& stream) {
    BeginUpdate();
    auto endUpdate = ScopeExit([&] { EndUpdate(); });
    Clear();
    int32_t n = ReadInt(stream);
    if (n < 0) throw EReadError(L"ノードの数が正しくありません");
    for (int32_t i = 0; i < n; ++i) ReadNode(stream, nullptr);
}

void TWideTreeNodes::ReadNode(TStream& stream, TWideTreeNode* parent) {
    int depth = parent ? parent->Level() + 1 : 0;
    if (depth > kMaxDepth) throw EReadError(L"ノードの階層が深すぎます");
    int32_t size = ReadInt(stream);
    if (size < kRecordMin || size > kRecordMax) throw EReadError(L"ノードの記録の大きさが正しくありません");
    unsigned char buffer[kRecordMax];
    stream.ReadBuffer(buffer, static_cast<size_t>(size));
    int32_t f[6];
    std::memcpy(f, buffer, sizeof(f));
    size_t len = buffer[24];
    if (25 + len > static_cast<size_t>(size)) throw EReadError(L"ノードの記録の大きさが正しくありません");
    std::string bytes(reinterpret_cast<const char*>(buffer + 25), len);
    std::wstring text;
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 && bytes.size() >= 3) {
        bool lossy = false;
        text = UTF8ToWideString(bytes.substr(3), &lossy);
        if (lossy) text = AnsiToWide(bytes.substr(3));
    } else {
        text = AnsiToWide(bytes);
    }
    // Data was stored in 32 bits: sign-extend it back to a pointer-sized value.
    TWideTreeNode* node = AddChildObject(parent, text, reinterpret_cast<void*>(static_cast<intptr_t>(f[4])));
    node->FImageIndex = f[0];
    node->FSelectedIndex = f[1];
    node->FStateIndex = f[2];
    node->FOverlayIndex = f[3];
    node->UpdateItem(TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_STATE);
    if (f[5] < 0) throw EReadError(L"ノードの数が正しくありません");
    for (int32_t i = 0; i < f[5]; ++i) ReadNode(stream, node);
}

// --- TWideCustomTreeView ---------------------------------------------------------------------

TWideCustomTreeView::TWideCustomTreeView(TComponent* owner)
    : TWideEditingView(owner), FNodes(std::make_unique<TWideTreeNodes>(this)) {
    FTabStop = true;
    FWidth = 121;
    FHeight = 97;
    FColor = clWindow;
    FParentColor = false;
}

TWideCustomTreeView::~TWideCustomTreeView() {
    Destroying();
    if (FHandle) DestroyHandle();
    FNodes.reset();
}

void TWideCustomTreeView::CreateParams(TCreateParams& p) {
    TWinControl::CreateParams(p);
    p.SubClassName = WC_TREEVIEWW;
    if (ShowLines) p.Style |= TVS_HASLINES;
    if (ShowRoot) p.Style |= TVS_LINESATROOT;
    if (ShowButtons) p.Style |= TVS_HASBUTTONS;
    if (!ReadOnly) p.Style |= TVS_EDITLABELS;
    if (!HideSelection) p.Style |= TVS_SHOWSELALWAYS;
    if (RowSelect) p.Style |= TVS_FULLROWSELECT;
    if (!ToolTips) p.Style |= TVS_NOTOOLTIPS;
    p.ExStyle |= WS_EX_CLIENTEDGE;
}

void TWideCustomTreeView::CreateWnd() {
    TWinControl::CreateWnd();
    SendMessageW(FHandle, CCM_SETUNICODEFORMAT, TRUE, 0);
    if (FImages) SendMessageW(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(FImages->Handle()));
    if (FStateImages) SendMessageW(FHandle, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(FStateImages->Handle()));
    FRebuilding = true;
    FNodes->InsertAllIntoWindow();
    FRebuilding = false;
}

void TWideCustomTreeView::WMDestroy(TMessage& m) {
    FRebuilding = true;
    // The window frees its items itself, one level per call: a deep tree is taken out in
    // pieces first.
    if (FNodes)
        for (auto& r : FNodes->FRoots) FNodes->RemoveFromWindow(r.get(), true);
    TWinControl::WMDestroy(m);
    if (FNodes) FNodes->ForgetWindow();
    FRebuilding = false;
}

void TWideCustomTreeView::SetImages(TImageList* images) {
    FImages = images;
    if (HandleAllocated())
        SendMessageW(FHandle, TVM_SETIMAGELIST, TVSIL_NORMAL, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

void TWideCustomTreeView::SetStateImages(TImageList* images) {
    FStateImages = images;
    if (HandleAllocated())
        SendMessageW(FHandle, TVM_SETIMAGELIST, TVSIL_STATE, reinterpret_cast<LPARAM>(images ? images->Handle() : nullptr));
}

TWideTreeNode* TWideCustomTreeView::Selected() {
    if (!HandleAllocated()) return nullptr;
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(FHandle, TVM_GETNEXTITEM, TVGN_CARET, 0));
    return FNodes->GetNode(item);
}

void TWideCustomTreeView::SetSelected(TWideTreeNode* node) {
    HWND wnd = Handle();
    SendMessageW(wnd, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node ? node->FItemId : nullptr));
}

TWideTreeNode* TWideCustomTreeView::GetNodeAt(int x, int y) {
    TVHITTESTINFO info{};
    info.pt = {x, y};
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_HITTEST, 0, reinterpret_cast<LPARAM>(&info)));
    if (!item || !(info.flags & (TVHT_ONITEM | TVHT_ONITEMRIGHT | TVHT_ONITEMINDENT | TVHT_ONITEMBUTTON))) return nullptr;
    return FNodes->GetNode(item);
}

TWideTreeNode* TWideCustomTreeView::TopItem() {
    auto item = reinterpret_cast<HTREEITEM>(SendMessageW(Handle(), TVM_GETNEXTITEM, TVGN_FIRSTVISIBLE, 0));
    return FNodes->GetNode(item);
}

void TWideCustomTreeView::SetTopItem(TWideTreeNode* node) {
    if (node) SendMessageW(Handle(), TVM_SELECTITEM, TVGN_FIRSTVISIBLE, reinterpret_cast<LPARAM>(node->FItemId));
}

bool TWideCustomTreeView::IsEditing() {
    return HandleAllocated() && SendMessageW(FHandle, TVM_GETEDITCONTROL, 0, 0) != 0;
}

void TWideCustomTreeView::FullExpand() {
    TUpdateBracket bracket(*FNodes);
    for (TWideTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNextSibling()) n->Expand(true);
}

void TWideCustomTreeView::FullCollapse() {
    TUpdateBracket bracket(*FNodes);
    for (TWideTreeNode* n = FNodes->GetFirstNode(); n; n = n->GetNextSibling()) n->Collapse(true);
}

int TWideCustomTreeView::CompareNodes(TWideTreeNode* a, TWideTreeNode* b) {
    if (OnCompare) {
        int result = 0;
        OnCompare(this, a, b, 0, result);
        return result;
    }
    return lstrcmpW(a->Text().c_str(), b->Text().c_str());
}

namespace {

int CALLBACK OrderCompare(LPARAM a, LPARAM b, LPARAM order) {
    auto& map = *reinterpret_cast<std::unordered_map<LPARAM, int>*>(order);
    return map[a] - map[b];
}

}  // namespace

void TWideCustomTreeView::SortList(TWideTreeNodes::NodeList& top, HTREEITEM topItem, bool recurse) {
    // Levels still to sort, with the window item of their parent.
    std::vector<std::pair<TWideTreeNodes::NodeList*, HTREEITEM>> work{{&top, topItem}};
    while (!work.empty()) {
        auto [list, parentItem] = work.back();
        work.pop_back();
        std::stable_sort(list->begin(), list->end(),
                         [this](const auto& a, const auto& b) { return CompareNodes(a.get(), b.get()) < 0; });
        if (HandleAllocated() && (parentItem || list == &FNodes->FRoots)) {
            std::unordered_map<LPARAM, int> order;
            for (size_t i = 0; i < list->size(); ++i) order[reinterpret_cast<LPARAM>((*list)[i].get())] = static_cast<int>(i);
            TVSORTCB sort{};
            sort.hParent = parentItem ? parentItem : TVI_ROOT;
            sort.lpfnCompare = OrderCompare;
            sort.lParam = reinterpret_cast<LPARAM>(&order);
            SendMessageW(FHandle, TVM_SORTCHILDRENCB, 0, reinterpret_cast<LPARAM>(&sort));
        }
        if (recurse)
            for (auto& n : *list)
                if (!n->FChildren.empty()) work.push_back({&n->FChildren, n->FItemId});
    }
}

void TWideCustomTreeView::AlphaSort(bool recurse) { SortList(FNodes->FRoots, nullptr, recurse); }

void TWideCustomTreeView::SortSiblings(TWideTreeNode* node) {
    TWideTreeNode* parent = node->FParent;
    SortList(FNodes->ListOf(parent), parent ? parent->FItemId : nullptr, false);
}

void TWideCustomTreeView::SetSortType(TSortType value) {
    if (value == FSortType) return;
    FSortType = value;
    if (SortsByText() || SortsByData()) AlphaSort(true);
}

std::unique_ptr<TWideTreeNode> TWideCustomTreeView::CreateNode() {
    TWideTreeNodeClass nodeClass = [](TWideTreeNodes* owner) {
        return std::unique_ptr<TWideTreeNode>(new TWideTreeNode(owner));
    };
    if (OnCreateNodeClass) OnCreateNodeClass(this, nodeClass);
    std::unique_ptr<TWideTreeNode> node = nodeClass ? nodeClass(FNodes.get()) : nullptr;
    // A node made for another collection would be listed here but refer to that one.
    if (!node || node->FOwner != FNodes.get())
        throw EWideInternalError(L"Internal Error: OnCreateNodeClass.ItemClass must inherit from TWideTreeNode.");
    return node;
}

bool TWideCustomTreeView::CanEdit(TWideTreeNode* node) {
    bool allow = true;
    if (OnEditing) OnEditing(this, node, allow);
    return allow;
}

void TWideCustomTreeView::Edit(const TVITEMW& item) {
    TWideTreeNode* node = reinterpret_cast<TWideTreeNode*>(item.lParam);
    if (!node) node = FNodes->GetNode(item.hItem);
    if (!node) return;
    if (!item.pszText) {
        if (OnCancelEdit) OnCancelEdit(this, node);
        return;
    }
    std::wstring s = item.pszText;
    if (OnEdited) OnEdited(this, node, s);
    node->SetText(s);
}

void TWideCustomTreeView::HookEditor() {
    HookInPlaceEditor(reinterpret_cast<HWND>(SendMessageW(FHandle, TVM_GETEDITCONTROL, 0, 0)));
}

void TWideCustomTreeView::CNNotify(TMessage& m) {
    auto* hdr = reinterpret_cast<NMHDR*>(m.LParam);
    m.Result = 0;
    switch (hdr->code) {
    case TVN_BEGINDRAGW:
        if (DragMode == dmAutomatic) BeginDrag(true);
        return;
    case TVN_GETDISPINFOW: {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(m.LParam);
        auto* node = reinterpret_cast<TWideTreeNode*>(info->item.lParam);
        if (!node) node = FNodes->GetNode(info->item.hItem);
        if (!node) return;
        if ((info->item.mask & TVIF_TEXT) && info->item.pszText && info->item.cchTextMax > 0) {
            size_t n = std::min(node->FText.size(), static_cast<size_t>(info->item.cchTextMax - 1));
            std::copy_n(node->FText.c_str(), n, info->item.pszText);
            info->item.pszText[n] = L'\0';
        }
        if (info->item.mask & TVIF_IMAGE) {
            if (OnGetImageIndex) OnGetImageIndex(this, node);
            info->item.iImage = node->FImageIndex;
        }
        if (info->item.mask & TVIF_SELECTEDIMAGE) {
            if (OnGetSelectedIndex) OnGetSelectedIndex(this, node);
            info->item.iSelectedImage = node->FSelectedIndex;
        }
        return;
    }
    case TVN_SETDISPINFOW: {
        // The window hands over a text it was given (the node takes it as its own).
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(m.LParam);
        auto* node = reinterpret_cast<TWideTreeNode*>(info->item.lParam);
        if (!node) node = FNodes->GetNode(info->item.hItem);
        if (node && (info->item.mask & TVIF_TEXT) && info->item.pszText && info->item.pszText != LPSTR_TEXTCALLBACKW)
            node->SetText(info->item.pszText);
        return;
    }
    case TVN_SELCHANGINGW: {
        if (FRebuilding || !OnChanging) return;
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
        bool allow = true;
        OnChanging(this, reinterpret_cast<TWideTreeNode*>(nm->itemNew.lParam), allow);
        m.Result = allow ? 0 : 1;
        return;
    }
    case TVN_SELCHANGEDW: {
        if (FRebuilding || !OnChange) return;
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
        OnChange(this, reinterpret_cast<TWideTreeNode*>(nm->itemNew.lParam));
        return;
    }
    case TVN_ITEMEXPANDINGW: {
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
        auto* node = reinterpret_cast<TWideTreeNode*>(nm->itemNew.lParam);
        bool allow = true;
        if (nm->action & TVE_EXPAND) {
            if (OnExpanding) OnExpanding(this, node, allow);
        } else if (OnCollapsing) {
            OnCollapsing(this, node, allow);
        }
        m.Result = allow ? 0 : 1;
        return;
    }
    case TVN_ITEMEXPANDEDW: {
        auto* nm = reinterpret_cast<NMTREEVIEWW*>(m.LParam);
        auto* node = reinterpret_cast<TWideTreeNode*>(nm->itemNew.lParam);
        if (!node) return;
        if (nm->action & TVE_EXPAND) {
            node->FExpanded = true;
            if (OnExpanded) OnExpanded(this, node);
        } else {
            node->FExpanded = false;
            if (OnCollapsed) OnCollapsed(this, node);
        }
        return;
    }
    case TVN_BEGINLABELEDITW: {
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(m.LParam);
        auto* node = reinterpret_cast<TWideTreeNode*>(info->item.lParam);
        if (!node) node = FNodes->GetNode(info->item.hItem);
        m.Result = (Dragging() || !node || !CanEdit(node)) ? 1 : 0;
        if (m.Result == 0) {
            FEditing = node;
            // The editor shows the whole text, not the display copy.
            if (HWND edit = reinterpret_cast<HWND>(SendMessageW(FHandle, TVM_GETEDITCONTROL, 0, 0)))
                SetWindowTextW(edit, node->FText.c_str());
            HookEditor();
        }
        return;
    }
    case TVN_ENDLABELEDITW: {
        // Some versions of the control report the end twice; the first one counts.
        if (!FEditing) return;
        FEditing = nullptr;
        auto* info = reinterpret_cast<NMTVDISPINFOW*>(m.LParam);
        Edit(info->item);
        return;
    }
    default: return;
    }
}

}  // namespace wide
