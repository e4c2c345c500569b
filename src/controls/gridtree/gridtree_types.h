// Basic types of the grid tree control: the node record, node and tree states, the small
// enumerations shared by the tree's parts, and the control's exceptions.
//
// A node handle (`PGridNode`) points into memory owned by its tree. It stays valid until
// the node is deleted (`DeleteNode`, `DeleteChildren`, `Clear`, a lower child count, or a
// collapse with toAutoFreeOnCollapse); `OnFreeNode` is the last moment it may be used.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <type_traits>
#include <vector>

#include "classlib/errors.h"

namespace gridtree {

class TBaseGridTree;

struct TGridNode;

namespace detail {
// The index of a node whose parent has renumbering pending (basetree_structure.cpp).
uint32_t SettledIndex(const TGridNode* Node);
}

// A node's position among its siblings, read like a number (`Node->Index`).
//
// Deleting a node does not renumber the siblings after it: the parent is marked
// (`TGridNode::Filler`), its children's stored numbers become slots that a read turns into
// positions (constant time for deletes from the front or the back, logarithmic otherwise),
// and the chain is renumbered once when a node is inserted before the end or the freed
// slots kept outnumber the children. So N single deletes cost about N times one, and every read
// is right, including a node's own index in `OnFreeNode` of a single delete (the position it
// had). A copy of the field would lose its node, so it cannot be copied: read it into a
// number (`uint32_t i = Node->Index`). Read it on the tree's thread only.
struct TNodeIndex {
    // The stored number: exact unless the parent is marked; then it is the node's slot.
    uint32_t Value;

    TNodeIndex() = default;
    TNodeIndex(const TNodeIndex&) = delete;
    TNodeIndex& operator=(const TNodeIndex&) = delete;
    TNodeIndex& operator=(uint32_t V) {
        Value = V;
        return *this;
    }
    inline operator uint32_t() const;
};

// The node record. The tree's internal data areas follow it, then (8-byte aligned) the
// owner's user data of `NodeDataSize` bytes (`TBaseGridTree::GetNodeData`).
struct TGridNode {
    TNodeIndex Index;         // position among the siblings, 0 for the first child
    uint32_t ChildCount;      // children that exist
    uint16_t NodeHeight;      // height of the node's own row in pixels
    uint16_t States;          // TGridNodeState bits
    uint8_t Align;            // vertical anchor of button and images, 50 for new nodes
    uint8_t CheckState;       // TCheckState
    uint8_t CheckKind;        // TCheckKind
    uint8_t Filler;           // nonzero while the children's indexes wait to be renumbered
    uint32_t SubtreeCount;    // 1 + all descendants
    uint32_t SubtreeHeight;   // NodeHeight + (expanded) SubtreeHeight of the visible children
    TGridNode* Parent;        // the hidden root's Parent is the tree object itself
    TGridNode* PrevSiblingNode;
    TGridNode* NextSiblingNode;
    TGridNode* FirstChildNode;
    TGridNode* LastChildNode;
};
using PGridNode = TGridNode*;
using TNodeArray = std::vector<PGridNode>;

static_assert(sizeof(TGridNode) == 64, "node record layout");
static_assert(std::is_standard_layout_v<TGridNode> && offsetof(TGridNode, Index) == 0,
              "an index finds its node at its own address");

inline TNodeIndex::operator uint32_t() const {
    const TGridNode* node = reinterpret_cast<const TGridNode*>(this);
    // The hidden root (its own sibling) has the tree object as its parent, no node.
    if (node->Parent && node->NextSiblingNode != node && node->Parent->Filler)
        return detail::SettledIndex(node);
    return Value;
}

// Node states (bits of TGridNode::States).
enum TGridNodeState : uint16_t {
    vsInitialized = 0x0001,
    vsChecking = 0x0002,
    vsCutOrCopy = 0x0004,
    vsDisabled = 0x0008,
    vsDeleting = 0x0010,
    vsExpanded = 0x0020,
    vsHasChildren = 0x0040,
    vsVisible = 0x0080,
    vsSelected = 0x0100,
    vsInitialUserData = 0x0200,
    vsAllChildrenHidden = 0x0400,
    vsClearing = 0x0800,
    vsMultiline = 0x1000,
    vsHeightMeasured = 0x2000,
    vsToggling = 0x4000,
};

// What an OnInitNode handler asks for.
using TGridNodeInitStates = uint8_t;
enum TGridNodeInitState : uint8_t {
    ivsDisabled = 0x01,
    ivsExpanded = 0x02,
    ivsHasChildren = 0x04,
    ivsMultiline = 0x08,
    ivsSelected = 0x10,
};

enum TCheckState : uint8_t {
    csUncheckedNormal,
    csUncheckedPressed,
    csCheckedNormal,
    csCheckedPressed,
    csMixedNormal,
    csMixedPressed,
};

enum TCheckKind : uint8_t { ctNone, ctTriStateCheckBox, ctCheckBox, ctRadioButton, ctButton };

enum TChangeReason {
    crIgnore,
    crAccumulated,
    crChildAdded,
    crChildDeleted,
    crNodeAdded,
    crNodeCopied,
    crNodeMoved,
};

enum TGTUpdateState { usBegin, usBeginSynch, usSynch, usEnd, usEndSynch, usUpdate };

enum TGTNodeAttachMode { amNoWhere, amInsertBefore, amInsertAfter, amAddChildFirst, amAddChildLast };

enum TAlignment { taLeftJustify, taRightJustify, taCenter };

enum TSortDirection { sdAscending, sdDescending };

using TColumnIndex = int32_t;
constexpr TColumnIndex NoColumn = -1;
constexpr TColumnIndex InvalidColumn = -2;

// Tree states: a 64-bit set over the 49 members, bit 0 first.
using TGridTreeStates = uint64_t;
namespace detail {
constexpr TGridTreeStates Bit(int n) { return TGridTreeStates(1) << n; }
}
constexpr TGridTreeStates tsCancelHintAnimation = detail::Bit(0);
constexpr TGridTreeStates tsChangePending = detail::Bit(1);
constexpr TGridTreeStates tsCheckPropagation = detail::Bit(2);
constexpr TGridTreeStates tsCollapsing = detail::Bit(3);
constexpr TGridTreeStates tsToggleFocusedSelection = detail::Bit(4);
constexpr TGridTreeStates tsClearPending = detail::Bit(5);
constexpr TGridTreeStates tsClipboardFlushing = detail::Bit(6);
constexpr TGridTreeStates tsCopyPending = detail::Bit(7);
constexpr TGridTreeStates tsCutPending = detail::Bit(8);
constexpr TGridTreeStates tsDrawSelPending = detail::Bit(9);
constexpr TGridTreeStates tsDrawSelecting = detail::Bit(10);
constexpr TGridTreeStates tsEditing = detail::Bit(11);
constexpr TGridTreeStates tsEditPending = detail::Bit(12);
constexpr TGridTreeStates tsExpanding = detail::Bit(13);
constexpr TGridTreeStates tsHint = detail::Bit(14);
constexpr TGridTreeStates tsInAnimation = detail::Bit(15);
constexpr TGridTreeStates tsIncrementalSearching = detail::Bit(16);
constexpr TGridTreeStates tsIncrementalSearchPending = detail::Bit(17);
constexpr TGridTreeStates tsIterating = detail::Bit(18);
constexpr TGridTreeStates tsKeyCheckPending = detail::Bit(19);
constexpr TGridTreeStates tsLeftButtonDown = detail::Bit(20);
constexpr TGridTreeStates tsMouseCheckPending = detail::Bit(21);
constexpr TGridTreeStates tsMiddleButtonDown = detail::Bit(22);
constexpr TGridTreeStates tsNeedScale = detail::Bit(23);
constexpr TGridTreeStates tsNeedRootCountUpdate = detail::Bit(24);
constexpr TGridTreeStates tsOLEDragging = detail::Bit(25);
constexpr TGridTreeStates tsOLEDragPending = detail::Bit(26);
constexpr TGridTreeStates tsPainting = detail::Bit(27);
constexpr TGridTreeStates tsRightButtonDown = detail::Bit(28);
constexpr TGridTreeStates tsPopupMenuShown = detail::Bit(29);
constexpr TGridTreeStates tsScrolling = detail::Bit(30);
constexpr TGridTreeStates tsScrollPending = detail::Bit(31);
constexpr TGridTreeStates tsSizing = detail::Bit(32);
constexpr TGridTreeStates tsStopValidation = detail::Bit(33);
constexpr TGridTreeStates tsStructureChangePending = detail::Bit(34);
constexpr TGridTreeStates tsSynchMode = detail::Bit(35);
constexpr TGridTreeStates tsThumbTracking = detail::Bit(36);
constexpr TGridTreeStates tsUpdateHiddenChildrenNeeded = detail::Bit(37);
constexpr TGridTreeStates tsUpdating = detail::Bit(38);
constexpr TGridTreeStates tsUseCache = detail::Bit(39);
constexpr TGridTreeStates tsUserDragObject = detail::Bit(40);
constexpr TGridTreeStates tsUseThemes = detail::Bit(41);
constexpr TGridTreeStates tsValidating = detail::Bit(42);
constexpr TGridTreeStates tsValidationNeeded = detail::Bit(43);
// The class library's own (non-OLE) drag, pending or running.
constexpr TGridTreeStates tsControlDragging = detail::Bit(44);
constexpr TGridTreeStates tsControlDragPending = detail::Bit(45);
constexpr TGridTreeStates tsWheelPanning = detail::Bit(46);
constexpr TGridTreeStates tsWheelScrolling = detail::Bit(47);
constexpr TGridTreeStates tsWindowCreating = detail::Bit(48);

// Hit positions inside the tree (THitInfo::HitPositions).
using THitPositions = uint32_t;
enum THitPosition : uint32_t {
    hiAbove = 0x0001,
    hiBelow = 0x0002,
    hiNowhere = 0x0004,
    hiOnItem = 0x0008,
    hiOnItemButton = 0x0010,
    hiOnItemCheckbox = 0x0020,
    hiOnItemIndent = 0x0040,
    hiOnItemLabel = 0x0080,
    hiOnItemLeft = 0x0100,
    hiOnItemRight = 0x0200,
    hiOnNormalIcon = 0x0400,
    hiOnStateIcon = 0x0800,
    hiToLeft = 0x1000,
    hiToRight = 0x2000,
};

struct THitInfo {
    PGridNode HitNode = nullptr;
    THitPositions HitPositions = 0;
    TColumnIndex HitColumn = NoColumn;
};

// Failures of the control itself (stream format errors, a missing edit link).
class EGridTreeError : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

// Programming errors of callers (nil where a node is required, deleting while iterating):
// raised with the fixed message that names the broken contract.
class EGridTreeAssertion : public classlib::Exception {
public:
    using classlib::Exception::Exception;
};

// Raises EGridTreeError with the message and help context.
[[noreturn]] void RaiseTreeError(const std::wstring& Msg, int HelpContext);

}  // namespace gridtree
