// The key tree: nodes and their keys, reading on demand, painting facts, texts and images.
#include "views/regtreeview.h"

#include <commctrl.h>

#include <algorithm>
#include <utility>

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "registry/regops.h"

namespace views {

using namespace gridtree;
using registry::TVxRegKeyClass;
using registry::TVxRegKeyList;

namespace {
const wchar_t* const LocalComputerCaption = L"マイコンピュータ";
}  // namespace

TVxRegTreeView::TVxRegTreeView(classlib::TComponent* Owner) : TCustomGridStringTree(Owner) {
    std::fill(std::begin(FImages), std::end(FImages), -1);
    SetNodeDataSize(sizeof(TVxRegTreeNodeData));
    TCustomStringTreeOptions& options = TreeOptions();
    options.SetSelectionOptions(options.SelectionOptions() | toRightClickSelect);
    options.SetPaintOptions(options.PaintOptions() & ~toShowDropmark);
    SetIncrementalSearch(isAll);
}

TVxRegTreeView::~TVxRegTreeView() {
    // The base class frees the nodes without this class's DoFreeNode.
    for (PGridNode node = GetFirstNoInit(); node; node = GetNextNoInit(node)) FreeNodeItems(node);
}

void TVxRegTreeView::CreateParams(classlib::TCreateParams& Params) {
    TCustomGridStringTree::CreateParams(Params);
    Params.WinClassName = L"TVxRegTreeView";
}

// --- nodes and their keys -----------------------------------------------------------------

TVxRegTreeNodeData* TVxRegTreeView::NodeData(PGridNode Node) const {
    return static_cast<TVxRegTreeNodeData*>(GetNodeData(Node));
}

void TVxRegTreeView::FreeNodeItems(PGridNode Node) {
    TVxRegTreeNodeData* data = NodeData(Node);
    delete data->RootItem;
    delete data->Key;
    data->RootItem = nullptr;
    data->Key = nullptr;
}

void TVxRegTreeView::DoFreeNode(PGridNode Node) {
    DropDeferredExpansion(Node);
    if (Node == FDeferredTop) FDeferredTop = nullptr;
    ForgetLookup(Node);
    ForgetLookup(Node->Parent);
    FreeNodeItems(Node);
    TCustomGridStringTree::DoFreeNode(Node);
}

void TVxRegTreeView::AddLocalComputerRoot(const std::wstring& ComputerName) {
    if (!ComputerName.empty()) return;
    SetRootNodeCount(RootNodeCount() + 1);
    PGridNode node = GetLastChildNoInit(nullptr);
    NodeData(node)->RootItem = new TVxRegTreeRootItem{LocalComputerCaption, ComputerName};
    SetSelected(node, true);
    SetFocusedNode(node);
    SetExpanded(node, true);
}

namespace {
std::unique_ptr<TVxRegTreeKey> KeyItem(const TVxRegKeyClass& Key) {
    return std::make_unique<TVxRegTreeKey>(
        TVxRegTreeKey{Key.FKeyName, Key.FRootKey, Key.FLastWriteTime, Key.FReadOnly, Key.FReadOnlyChecked});
}
}  // namespace

void TVxRegTreeView::AddKeyNode(const TVxRegKeyClass& Key, PGridNode Parent) {
    // A parent still to be read is read first: reading it later would not add its other keys.
    if (IsExpansionDeferred(Parent)) SetExpanded(Parent, true);
    TKeyItems items;
    items.push_back(KeyItem(Key));
    AddKeyNodes(items, Parent);
}

void TVxRegTreeView::AddKeyNodes(TKeyItems& Items, PGridNode Parent) {
    if (Items.empty()) return;
    ForgetLookup(Parent);
    PGridNode last = GetLastChildNoInit(Parent);
    SetChildCount(Parent, ChildCount(Parent) + static_cast<uint32_t>(Items.size()));
    PGridNode node = last ? last->NextSiblingNode : (Parent ? Parent : RootNode())->FirstChildNode;
    for (auto& item : Items) {
        NodeData(node)->Key = item.release();
        node = node->NextSiblingNode;
    }
}

std::optional<TVxRegKeyClass> TVxRegTreeView::GetNodeKey(PGridNode Node) const {
    const TVxRegTreeNodeData* data = NodeData(Node);
    if (!data || !data->Key) return std::nullopt;
    // The names from the node up to its root (the node below the computer).
    std::vector<const TVxRegTreeKey*> chain;
    for (PGridNode run = Node; run && run != RootNode(); run = run->Parent)
        if (const TVxRegTreeKey* key = NodeData(run)->Key) chain.push_back(key);
    const TVxRegTreeKey& own = *data->Key;
    const TVxRegTreeKey& root = *chain.back();
    TVxRegKeyClass key;
    key.FKeyName = own.Name;
    key.FDisplayName = own.Name;
    for (auto it = chain.rbegin() + 1; it != chain.rend(); ++it) {
        if (!key.FPath.empty()) key.FPath += L'\\';
        key.FPath += (*it)->Name;
    }
    key.FFullPath = key.FPath.empty() ? root.Name : root.Name + L'\\' + key.FPath;
    key.FRootKey = own.RootKey;
    key.FComputerName = ComputerNameOf(Node);
    key.FLastWriteTime = own.LastWriteTime;
    key.FReadOnly = own.ReadOnly;
    key.FReadOnlyChecked = own.ReadOnlyChecked;
    return key;
}

std::wstring TVxRegTreeView::ComputerNameOf(PGridNode Node) const {
    for (PGridNode run = Node; run && run != RootNode(); run = run->Parent)
        if (const TVxRegTreeRootItem* item = NodeData(run)->RootItem) return item->ComputerName;
    return std::wstring();
}

std::optional<TVxRegKeyClass> TVxRegTreeView::GetSelectedKey() { return GetNodeKey(GetFirstSelected()); }

TVxRegTreeRootItem* TVxRegTreeView::GetSelectedRootItem() {
    const TVxRegTreeNodeData* data = NodeData(GetFirstSelected());
    return data ? data->RootItem : nullptr;
}

std::wstring TVxRegTreeView::GetNodeCaption(PGridNode Node) const {
    const TVxRegTreeNodeData* data = NodeData(Node);
    if (!data) return std::wstring();
    if (data->RootItem) return data->RootItem->Caption;
    return data->Key ? data->Key->Name : std::wstring();
}

std::wstring TVxRegTreeView::GetRootKeyPaths() {
    std::wstring paths;
    PGridNode computer = GetFirstChild(nullptr);
    for (PGridNode node = computer ? GetFirstChild(computer) : nullptr; node; node = GetNextSibling(node))
        if (const TVxRegTreeNodeData* data = NodeData(node); data->Key) paths += data->Key->Name + L"\r\n";
    return paths;
}

// --- reading on demand --------------------------------------------------------------------

bool TVxRegTreeView::DoExpanding(PGridNode Node) {
    DropDeferredExpansion(Node);
    if (Node->ChildCount == 0) {
        TVxRegTreeNodeData* data = NodeData(Node);
        TKeyItems items;
        if (data->RootItem) {
            TVxRegKeyList roots;
            registry::ListRootKeys(roots, data->RootItem->ComputerName);
            for (const auto& root : roots) items.push_back(KeyItem(*root));
            AddKeyNodes(items, Node);
        } else if (std::optional<TVxRegKeyClass> key = GetNodeKey(Node)) {
            // A node keeps the name and time only: no whole record is made per subkey. The
            // key opened for the names answers the writability test too, unless it is known.
            bool writable = false;
            const bool testWrite = !data->Key->ReadOnlyChecked;
            registry::ListSubKeyNames(
                *key,
                [&](const wchar_t* name, size_t length, double lastWriteTime) {
                    items.push_back(std::make_unique<TVxRegTreeKey>(
                        TVxRegTreeKey{std::wstring(name, length), key->FRootKey, lastWriteTime, false, false}));
                    return true;
                },
                testWrite ? &writable : nullptr);
            if (testWrite) {
                data->Key->ReadOnly = !writable;
                data->Key->ReadOnlyChecked = true;
            }
            const bool hasSubKeys = !items.empty();
            BeginUpdate();
            BeginSynch();
            auto end = classlib::ScopeExit([&] {
                EndSynch();
                EndUpdate();
            });
            AddKeyNodes(items, Node);
            // The enumeration answers the expand button's question too.
            if (GetNodeLevel(Node) >= 2) {
                data->SubKeysChecked = true;
                data->HasSubKeys = hasSubKeys;
            }
        }
    }
    return TCustomGridStringTree::DoExpanding(Node);
}

void TVxRegTreeView::DeferExpansion(PGridNode Node) {
    if (!IsExpansionDeferred(Node)) FDeferredExpansions.push_back(Node);
}

bool TVxRegTreeView::IsExpansionDeferred(PGridNode Node) const {
    return std::find(FDeferredExpansions.begin(), FDeferredExpansions.end(), Node) != FDeferredExpansions.end();
}

void TVxRegTreeView::DropDeferredExpansion(PGridNode Node) {
    if (FDeferredExpansions.empty()) return;
    FDeferredExpansions.erase(std::remove(FDeferredExpansions.begin(), FDeferredExpansions.end(), Node),
                              FDeferredExpansions.end());
}

void TVxRegTreeView::SettleJumps() {
    // Expanding takes each node off the list (DoExpanding); a node that cannot be expanded
    // (a key without subkeys) is taken off here.
    while (!FDeferredExpansions.empty()) {
        PGridNode node = FDeferredExpansions.front();
        SetExpanded(node, true);
        DropDeferredExpansion(node);
    }
    if (PGridNode top = std::exchange(FDeferredTop, nullptr)) {
        SetTopNode(top);
        RevealCaption(top);
    }
}

void TVxRegTreeView::WndProc(classlib::TMessage& Message) {
    // Painting and input need the rows as they are to be: what jumps left is done first.
    if (!FDeferredExpansions.empty() || FDeferredTop) {
        const UINT msg = Message.Msg;
        if (msg == WM_PAINT || msg == WM_PRINT || msg == WM_PRINTCLIENT || msg == WM_VSCROLL || msg == WM_HSCROLL ||
            (msg >= WM_KEYFIRST && msg <= WM_KEYLAST) || (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) ||
            (msg >= TV_FIRST && msg < TV_FIRST + 0x100))
            SettleJumps();
    }
    TCustomGridStringTree::WndProc(Message);
}

bool TVxRegTreeView::DoBeforeItemPaint(classlib::TCanvas& Canvas, PGridNode Node, const RECT& ItemRect) {
    TVxRegTreeNodeData* data = NodeData(Node);
    if (GetNodeLevel(Node) < 2) {
        SetHasChildren(Node, true);
    } else if (Node->ChildCount == 0) {
        if (!data->SubKeysChecked) {
            const TVxRegTreeKey& key = *data->Key;
            data->HasSubKeys = registry::KeyHasSubKeys(key.RootKey, GetNodeKey(Node)->FPath);
            data->SubKeysChecked = true;
        }
        SetHasChildren(Node, data->HasSubKeys);
    }
    return TCustomGridStringTree::DoBeforeItemPaint(Canvas, Node, ItemRect);
}

void TVxRegTreeView::CheckReadOnly(PGridNode Node) {
    TVxRegTreeNodeData* data = NodeData(Node);
    if (!data || !data->Key || data->Key->ReadOnlyChecked) return;
    const bool writable = static_cast<bool>(registry::OpenKeyForWrite(*GetNodeKey(Node)));
    data->Key->ReadOnly = !writable;
    data->Key->ReadOnlyChecked = true;
}

void TVxRegTreeView::DoBeforeItemErase(classlib::TCanvas& Canvas, PGridNode Node, const RECT& ItemRect,
                                       classlib::TColor& Color, TItemEraseAction& EraseAction) {
    TCustomGridStringTree::DoBeforeItemErase(Canvas, Node, ItemRect, Color, EraseAction);
    // Roots are not tested here and never coloured.
    if (GetNodeLevel(Node) < 2) return;
    CheckReadOnly(Node);
    if (NodeData(Node)->Key->ReadOnly) {
        Color = FReadOnlyLineColor;
        EraseAction = eaColor;
    }
}

// --- selection, texts, images -------------------------------------------------------------

void TVxRegTreeView::DoChange(PGridNode Node) {
    TCustomGridStringTree::DoChange(Node);
    if (!FConnectListView) return;
    PGridNode selected = GetFirstSelected();
    const std::optional<TVxRegKeyClass> key = GetNodeKey(selected);
    FConnectListView->ShowKey(key ? &*key : nullptr);
    // The list's colour tells whether the key can be written: the list's opening found out
    // when the node did not know yet.
    TVxRegTreeNodeData* data = NodeData(selected);
    const TVxRegKeyClass& shown = FConnectListView->ShownKey();
    if (key && data->Key && !data->Key->ReadOnlyChecked && shown.FReadOnlyChecked) {
        data->Key->ReadOnly = shown.FReadOnly;
        data->Key->ReadOnlyChecked = true;
    }
}

void TVxRegTreeView::DoGetText(PGridNode Node, TColumnIndex Column, TGSTTextType TextType, std::wstring& Text) {
    if (const TVxRegTreeNodeData* data = NodeData(Node); data && TextType == ttNormal) {
        if (Column == NoColumn || Column == 0) {
            Text = GetNodeCaption(Node);
        } else if (Column == 1) {
            Text.clear();
            // An unknown time (0) shows nothing rather than the first day of the calendar.
            if (data->Key && data->Key->LastWriteTime != 0 && GetNodeLevel(Node) >= 2)
                Text = classlib::DateTimeToStr(data->Key->LastWriteTime);
        }
    }
    TCustomGridStringTree::DoGetText(Node, Column, TextType, Text);
}

int TVxRegTreeView::DoIncrementalSearch(PGridNode Node, const std::wstring& Text) {
    const int result = TCustomGridStringTree::DoIncrementalSearch(Node, Text);
    Invalidate();
    return result;
}

classlib::TImageList* TVxRegTreeView::DoGetImageIndex(PGridNode Node, TGTImageKind Kind, TColumnIndex Column,
                                                      bool& Ghosted, int& Index) {
    Index = -1;
    if ((Column == NoColumn || Column == 0) && (Kind == ikNormal || Kind == ikSelected) && NodeData(Node)) {
        const int group = static_cast<int>(std::min<uint32_t>(GetNodeLevel(Node), 2));
        const int remote = ComputerNameOf(Node).empty() ? 0 : 6;
        Index = FImages[remote + group * 2 + (Kind == ikSelected ? 1 : 0)];
    }
    return TCustomGridStringTree::DoGetImageIndex(Node, Kind, Column, Ghosted, Index);
}

// --- properties ---------------------------------------------------------------------------

void TVxRegTreeView::SetImage(int Slot, int Index) {
    FImages[Slot] = Index;
    Invalidate();
}

void TVxRegTreeView::SetReadOnlyLineColor(classlib::TColor Value) {
    FReadOnlyLineColor = Value;
    Invalidate();
}

void TVxRegTreeView::SetDateView(bool Value) {
    if (Value == FDateView) return;
    FDateView = Value;
    TGTHeader& header = Header();
    header.Columns().Clear();
    if (Value) {
        header.SetOptions(header.Options() | hoVisible);
        header.SetStyle(hsXPStyle);
        for (const wchar_t* caption : {L"名前", L"最終更新時刻"}) {
            TGridTreeColumn* column = header.Columns().Add();
            column->SetText(caption);
            column->SetWidth(200);
        }
    } else {
        header.SetOptions(header.Options() & ~hoVisible);
    }
    Invalidate();
}

}  // namespace views
