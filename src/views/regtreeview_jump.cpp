// The key tree: jumping to a path, expanding a subtree, refreshes and hives.
#include <algorithm>

#include "classlib/runtime.h"
#include "classlib/scopeguard.h"
#include "registry/reghive.h"
#include "registry/regops.h"
#include "views/regtreeview.h"

namespace views {

using namespace gridtree;
using registry::TVxRegKeyClass;

namespace {

// The parts of a path: every "\" ends one (an empty part between two stays); text after
// the last "\" is a part when it is not empty.
std::vector<std::wstring> SplitPath(const std::wstring& Path) {
    std::vector<std::wstring> parts;
    size_t start = 0;
    for (size_t i = 0; i < Path.size(); ++i) {
        if (Path[i] != L'\\') continue;
        parts.push_back(Path.substr(start, i - start));
        start = i + 1;
    }
    if (start < Path.size()) parts.push_back(Path.substr(start));
    return parts;
}

// Equal when both are lower-cased. ASCII letters are compared directly; a pair of other
// characters goes through the system's lower-casing.
bool SameLowerCase(const std::wstring& A, const std::wstring& B) {
    if (A.size() != B.size()) return false;
    for (size_t i = 0; i < A.size(); ++i) {
        wchar_t a = A[i], b = B[i];
        if (a == b) continue;
        if (a < 0x80 && b < 0x80) {
            if (a >= L'A' && a <= L'Z') a += L'a' - L'A';
            if (b >= L'A' && b <= L'Z') b += L'a' - L'A';
            if (a != b) return false;
        } else if (classlib::WideLowerCase(std::wstring(1, a)) != classlib::WideLowerCase(std::wstring(1, b))) {
            return false;
        }
    }
    return true;
}

}  // namespace

PGridNode TVxRegTreeView::FindChild(PGridNode Parent, const std::wstring& Part) {
    // Few children are compared one by one.
    constexpr uint32_t LookupThreshold = 64;
    if (Parent->ChildCount < LookupThreshold) {
        for (PGridNode node = Parent->FirstChildNode; node; node = node->NextSiblingNode) {
            const TVxRegTreeKey* key = NodeData(node)->Key;
            if (key && SameLowerCase(key->Name, Part)) return node;
        }
        return nullptr;
    }
    auto lookup = FLookups.find(Parent);
    if (lookup == FLookups.end()) {
        lookup = FLookups.emplace(Parent, std::unordered_map<std::wstring, PGridNode>()).first;
        lookup->second.reserve(Parent->ChildCount);
        // The first child of a name wins, as in a walk.
        for (PGridNode node = Parent->FirstChildNode; node; node = node->NextSiblingNode)
            if (const TVxRegTreeKey* key = NodeData(node)->Key)
                lookup->second.emplace(classlib::WideLowerCase(key->Name), node);
    }
    auto found = lookup->second.find(classlib::WideLowerCase(Part));
    return found == lookup->second.end() ? nullptr : found->second;
}

void TVxRegTreeView::ForgetLookup(PGridNode Parent) {
    if (!FLookups.empty()) FLookups.erase(Parent);
}

void TVxRegTreeView::JumpToPath(const std::wstring& Path) {
    std::vector<std::wstring> parts;
    PGridNode lastMatch = nullptr;
    size_t matchedParts = 0;  // the parts that named keys, all at the start
    {
        BeginUpdate();
        auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
        std::wstring path = Path;
        if (FAllowReplace) std::replace(path.begin(), path.end(), L'→', L'\\');
        parts = SplitPath(path);
        PGridNode computer = GetFirstChild(nullptr);
        if (!parts.empty() && computer) {
            for (const registry::TRegRoot& root : registry::RegRoots)
                if (root.Abbreviation && parts[0] == root.Abbreviation) parts[0] = root.Name;
            SetExpanded(computer, true);
            // The parent whose children the next part is looked for among; once a part
            // names no key, the parts after it name none either.
            PGridNode parent = computer;
            for (const std::wstring& part : parts) {
                PGridNode match = FindChild(parent, part);
                if (!match) break;
                ++matchedParts;
                // The next part is looked for among the match's subkeys. The key the path
                // ends on is read when its rows are first needed, unless it was read before;
                // its writability is found when its row is painted or the list shows it.
                if (matchedParts < parts.size() || match->ChildCount > 0) SetExpanded(match, true);
                else DeferExpansion(match);
                SetSelected(match, true);
                SetFocusedNode(match);
                lastMatch = match;
                parent = match;
            }
            if (lastMatch && CanFocus()) SetFocus();
        }
    }
    // The update's end delivered the selection change: the connected list shows the key.
    // The key goes to the top when the rows are next painted or take input.
    if (lastMatch) FDeferredTop = lastMatch;
    TVxRegListView* list = FConnectListView;
    if (parts.empty() || matchedParts == parts.size() || !list) return;
    // The value is the rest of the path below the deepest key found (a value name may hold
    // "\\"), or else the last part. Value names compare ignoring case, as in the registry.
    std::wstring rest;
    for (size_t i = matchedParts; i < parts.size(); ++i) rest += (i > matchedParts ? L"\\" : L"") + parts[i];
    std::vector<std::wstring> names{rest};
    if (matchedParts + 1 < parts.size()) names.push_back(parts.back());
    PGridNode found = nullptr;
    for (const std::wstring& name : names) {
        uint32_t index = 0;
        for (PGridNode row = list->GetFirstChild(nullptr); row && !found; row = list->GetNextSibling(row), ++index)
            if (SameLowerCase(list->GetValueAt(index)->FValueName, name)) found = row;
        if (found) break;
    }
    if (found) {
        list->ClearSelection();
        list->SetSelected(found, true);
        list->SetFocusedNode(found);
        list->SetTopNode(found);
    }
    if (list->CanFocus()) list->SetFocus();
}

void TVxRegTreeView::RevealCaption(PGridNode Node) {
    // Where the caption would stand with the tree scrolled fully to the left.
    RECT text = GetDisplayRect(Node, NoColumn, true);
    OffsetRect(&text, -OffsetX(), 0);
    const int width = ClientWidth();
    // As far to the left as shows the whole caption; a caption wider than the window shows
    // its start, with the node's button left of it.
    int offset = 0;
    if (text.right > width) offset = -std::max<int>(0, std::min<int>(text.left - int(Indent()), text.right - width));
    if (offset != OffsetX()) SetOffsetX(offset);
}

void TVxRegTreeView::ExpandAllBelowSelected() {
    PGridNode selected = GetFirstSelected();
    if (!selected) return;
    BeginUpdate();
    auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
    const uint32_t level = GetNodeLevel(selected);
    SetExpanded(selected, true);
    for (PGridNode node = GetFirstChild(selected); node && GetNodeLevel(node) > level; node = GetNext(node))
        SetExpanded(node, true);
}

// --- refreshes ----------------------------------------------------------------------------

void TVxRegTreeView::ForgetChildren(PGridNode Node) {
    SetChildCount(Node, 0);
    NodeData(Node)->SubKeysChecked = false;
}

void TVxRegTreeView::RefreshAllKeys() {
    // Copied before the nodes that hold the names go.
    const std::optional<TVxRegKeyClass> selected = GetSelectedKey();
    const std::wstring path = selected ? selected->FFullPath : std::wstring();
    {
        BeginUpdate();
        auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
        for (PGridNode node = GetFirstChild(nullptr); node; node = GetNextSibling(node)) ForgetChildren(node);
    }
    if (!path.empty()) JumpToPath(path);
}

void TVxRegTreeView::RefreshSelectedParent() {
    const std::optional<TVxRegKeyClass> selected = GetSelectedKey();
    const std::wstring path = selected ? selected->FFullPath : std::wstring();
    PGridNode node = GetFirstSelected();
    if (node && node->Parent != RootNode()) {
        BeginUpdate();
        auto endUpdate = classlib::ScopeExit([&] { EndUpdate(); });
        ForgetChildren(node->Parent);
    }
    if (!path.empty()) JumpToPath(path);
}

bool TVxRegTreeView::LoadHiveAtSelected(const std::wstring& FileName, const std::wstring& SubKeyName) {
    const std::optional<TVxRegKeyClass> key = GetSelectedKey();
    if (!key || !registry::LoadHive(key->FRootKey, SubKeyName, FileName)) return false;
    RefreshSelectedParent();
    JumpToPath(key->FFullPath);
    return true;
}

bool TVxRegTreeView::UnloadHiveAtSelected() {
    // A hive is a key directly below its root: its path is its name.
    const std::optional<TVxRegKeyClass> key = GetSelectedKey();
    if (!key || !registry::IsLoadedHiveKey(*key) || !registry::UnloadHive(key->FRootKey, key->FPath)) return false;
    RefreshSelectedParent();
    JumpToPath(key->FFullPath);
    return true;
}

}  // namespace views
