// The key tree: the computer, its registry roots and their keys, read on demand.
//
// The single top-level node is the computer; below it the roots (level 1) and below those
// the keys (level 2 and deeper). A node's subkeys are read from the registry when it is
// first expanded. Facts only a shown row needs are found when the row is first painted:
// whether the key has subkeys (its expand button) and whether it can be written (read-only
// rows take ReadOnlyLineColor). A node keeps only its key's own name and these facts; paths
// and whole key records are built from the chain of parents when asked for.
//
// A connected value list shows the values of the selected key (its opening also answers
// whether the key can be written). JumpToPath selects a key given as text, and finishes on
// a value of the deepest key when the path ends in a value name; what only the rows need
// (reading the selected key's subkeys, scrolling it into view) waits for the tree's next
// painting or input.
//
// Main thread only.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "classlib/component.h"
#include "classlib/graphics.h"
#include "controls/gridtree/stringtree.h"
#include "registry/regrecords.h"
#include "views/reglistview.h"

namespace views {

// The computer of the top-level node.
struct TVxRegTreeRootItem {
    std::wstring Caption;
    std::wstring ComputerName;  // empty for the local computer
};

// What a root or key node keeps of its key. The path is its parents' names.
struct TVxRegTreeKey {
    std::wstring Name;           // the key's own name; the root's name for a root
    HKEY RootKey = nullptr;      // the root the key lies in
    double LastWriteTime = 0;    // local time, days since 1899-12-30; 0 when unknown
    bool ReadOnly = false;       // cannot be opened with full access
    bool ReadOnlyChecked = false;
};

// The node data of the key tree. The node owns both items; new nodes have all fields zero.
struct TVxRegTreeNodeData {
    TVxRegTreeRootItem* RootItem;  // the computer node only
    TVxRegTreeKey* Key;            // every root and key node
    bool SubKeysChecked;           // HasSubKeys has been determined
    bool HasSubKeys;
};

class TVxRegTreeView : public gridtree::TCustomGridStringTree {
public:
    explicit TVxRegTreeView(classlib::TComponent* Owner = nullptr);
    ~TVxRegTreeView() override;

    // For an empty name: a new top-level computer node ("マイコンピュータ"), selected and
    // expanded (its roots read). A non-empty name adds nothing.
    void AddLocalComputerRoot(const std::wstring& ComputerName);
    // Appends one child to Parent carrying Key's name, root and last-write time.
    void AddKeyNode(const registry::TVxRegKeyClass& Key, gridtree::PGridNode Parent);

    TVxRegTreeNodeData* NodeData(gridtree::PGridNode Node) const;
    // The record of a root or key node, built from the node and its parents: a copy that
    // stays valid whatever happens to the tree. Empty for the computer node and nullptr. Its
    // FReadOnly is known when FReadOnlyChecked is set: once the key's row was painted or the
    // connected list showed the key.
    std::optional<registry::TVxRegKeyClass> GetNodeKey(gridtree::PGridNode Node) const;
    // GetNodeKey of the first selected node.
    std::optional<registry::TVxRegKeyClass> GetSelectedKey();
    // The root item of the first selected node; nullptr for root and key nodes.
    TVxRegTreeRootItem* GetSelectedRootItem();
    // The computer's caption or the key's name; empty for nullptr.
    std::wstring GetNodeCaption(gridtree::PGridNode Node) const;
    // The full path of every root, each followed by CR LF; empty for an empty tree.
    std::wstring GetRootKeyPaths();

    // Expands and selects the key Path names, part by part as far as the keys exist. Parts
    // are separated by "\" (also "→" with AllowReplace); the first may be HKLM, HKCU, HKCR,
    // HKU or HKCC (as written). Key and value names compare ignoring case. When the path
    // goes on past the deepest key found, the row of the connected list whose value is named
    // by the rest of the path (a value name may hold "\"), or else by its last part, is
    // selected; the list then takes the focus either way.
    // The key the jump ends on is expanded (its subkeys read, unless read before) and put
    // at the top, its caption scrolled into view, when the tree next paints or takes input;
    // expanding it earlier (SetExpanded) reads it at once. Several jumps before that expand
    // every key they ended on, and the last one goes to the top.
    void JumpToPath(const std::wstring& Path);
    // Expands the selected node and every node below it (reads the whole subtree).
    void ExpandAllBelowSelected();
    // Forgets everything below the computer and reads it again, then selects the key that
    // was selected (as far as it still exists).
    void RefreshAllKeys();
    // Forgets and reads again the children of the selected node's parent, then selects the
    // key that was selected. Nothing with the computer node selected.
    void RefreshSelectedParent();
    // Loads the hive file as SubKeyName below the selected key's root, then refreshes. False
    // (tree unchanged) when nothing is selected or the load fails.
    bool LoadHiveAtSelected(const std::wstring& FileName, const std::wstring& SubKeyName);
    // Unloads the hive the selected key is (a key directly below its root that this process
    // loaded), then refreshes. False (tree unchanged) when that fails.
    bool UnloadHiveAtSelected();

    TVxRegListView* ConnectListView() const { return FConnectListView; }
    void SetConnectListView(TVxRegListView* Value) { FConnectListView = Value; }
    bool AllowReplace() const { return FAllowReplace; }
    void SetAllowReplace(bool Value) { FAllowReplace = Value; }
    bool DateView() const { return FDateView; }
    // On: a visible header with the columns "名前" and "最終更新時刻"; off: no header.
    void SetDateView(bool Value);
    classlib::TColor ReadOnlyLineColor() const { return FReadOnlyLineColor; }
    void SetReadOnlyLineColor(classlib::TColor Value);

    // Image indexes (-1: none) of the computer, root and key nodes, normal (C) and selected
    // (O); the Remote ones for a computer with a name.
    int ImageLocalComputerC() const { return FImages[0]; }
    void SetImageLocalComputerC(int Value) { SetImage(0, Value); }
    int ImageLocalComputerO() const { return FImages[1]; }
    void SetImageLocalComputerO(int Value) { SetImage(1, Value); }
    int ImageLocalRootFolderC() const { return FImages[2]; }
    void SetImageLocalRootFolderC(int Value) { SetImage(2, Value); }
    int ImageLocalRootFolderO() const { return FImages[3]; }
    void SetImageLocalRootFolderO(int Value) { SetImage(3, Value); }
    int ImageLocalFolderC() const { return FImages[4]; }
    void SetImageLocalFolderC(int Value) { SetImage(4, Value); }
    int ImageLocalFolderO() const { return FImages[5]; }
    void SetImageLocalFolderO(int Value) { SetImage(5, Value); }
    int ImageRemoteComputerC() const { return FImages[6]; }
    void SetImageRemoteComputerC(int Value) { SetImage(6, Value); }
    int ImageRemoteComputerO() const { return FImages[7]; }
    void SetImageRemoteComputerO(int Value) { SetImage(7, Value); }
    int ImageRemoteRootFolderC() const { return FImages[8]; }
    void SetImageRemoteRootFolderC(int Value) { SetImage(8, Value); }
    int ImageRemoteRootFolderO() const { return FImages[9]; }
    void SetImageRemoteRootFolderO(int Value) { SetImage(9, Value); }
    int ImageRemoteFolderC() const { return FImages[10]; }
    void SetImageRemoteFolderC(int Value) { SetImage(10, Value); }
    int ImageRemoteFolderO() const { return FImages[11]; }
    void SetImageRemoteFolderO(int Value) { SetImage(11, Value); }

    classlib::TImageList* DoGetImageIndex(gridtree::PGridNode Node, gridtree::TGTImageKind Kind,
                                          gridtree::TColumnIndex Column, bool& Ghosted, int& Index) override;

protected:
    void CreateParams(classlib::TCreateParams& Params) override;
    void WndProc(classlib::TMessage& Message) override;
    void DoBeforeItemErase(classlib::TCanvas& Canvas, gridtree::PGridNode Node, const RECT& ItemRect,
                           classlib::TColor& Color, gridtree::TItemEraseAction& EraseAction) override;
    bool DoBeforeItemPaint(classlib::TCanvas& Canvas, gridtree::PGridNode Node, const RECT& ItemRect) override;
    void DoChange(gridtree::PGridNode Node) override;
    bool DoExpanding(gridtree::PGridNode Node) override;
    void DoFreeNode(gridtree::PGridNode Node) override;
    void DoGetText(gridtree::PGridNode Node, gridtree::TColumnIndex Column, gridtree::TGSTTextType TextType,
                   std::wstring& Text) override;
    // The inherited search, then the whole control is repainted.
    int DoIncrementalSearch(gridtree::PGridNode Node, const std::wstring& Text) override;

private:
    // Appends one child per item to Parent (one structure change for all of them); the
    // nodes take the items.
    using TKeyItems = std::vector<std::unique_ptr<TVxRegTreeKey>>;
    void AddKeyNodes(TKeyItems& Items, gridtree::PGridNode Parent);
    // Scrolls sideways so that Node's caption shows: as far to the left as shows it whole,
    // or its start when it is wider than the window.
    void RevealCaption(gridtree::PGridNode Node);
    // Tests once whether the node's key can be opened with full access.
    void CheckReadOnly(gridtree::PGridNode Node);
    // What a jump leaves to the rows' first need (painting or input): expanding the key it
    // ended on (unless its subkeys were read before) and putting that key at the top. A key
    // expanded or freed meanwhile leaves the list; every key on it is expanded then.
    void DeferExpansion(gridtree::PGridNode Node);
    bool IsExpansionDeferred(gridtree::PGridNode Node) const;
    void DropDeferredExpansion(gridtree::PGridNode Node);
    void SettleJumps();
    // Deletes Node's children (they are read again at the next expansion).
    void ForgetChildren(gridtree::PGridNode Node);
    // The first child of Parent whose key name equals Part when both are lower-cased;
    // nullptr for none. A parent with many children is searched through a lookup by name,
    // made at its first search and dropped when its children change.
    gridtree::PGridNode FindChild(gridtree::PGridNode Parent, const std::wstring& Part);
    void ForgetLookup(gridtree::PGridNode Parent);
    // The computer's name for any node below it.
    std::wstring ComputerNameOf(gridtree::PGridNode Node) const;
    void FreeNodeItems(gridtree::PGridNode Node);
    void SetImage(int Slot, int Index);

    std::vector<gridtree::PGridNode> FDeferredExpansions;
    gridtree::PGridNode FDeferredTop = nullptr;
    // Lower-cased child names of parents searched by FindChild.
    std::unordered_map<gridtree::PGridNode, std::unordered_map<std::wstring, gridtree::PGridNode>> FLookups;
    classlib::TComponentRef<TVxRegListView> FConnectListView;
    bool FAllowReplace = false;
    bool FDateView = false;
    classlib::TColor FReadOnlyLineColor = 0xC8D0D4;
    // Computer, root folder, folder: normal and selected; local, then remote.
    int FImages[12];
};

}  // namespace views
