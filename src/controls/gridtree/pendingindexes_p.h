// Sibling numbers that wait to be renumbered after single deletes (private to the tree).
//
// While a parent is pending, every child holds a slot in `TGridNode::Index::Value`: slots
// rise along the chain, a deleted child's slot is freed, and an appended child takes a new
// slot above all others. A child's index is its slot less the freed slots below it.
//
// Freed slots are kept in the cheapest form that answers that count: a delete from the
// front only counts (its slot lies below every child left), a delete from the back takes
// the slot back for the next append when no listed slot lies above it, and any other
// delete lists the slot. The listed slots below a slot are counted in O(1) when none lies
// at or above it, otherwise in O(log n) from a binary indexed tree built on the first such
// question and kept up to date from then on. Main thread only (the tree's thread).
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>
#include <vector>

#include "controls/gridtree/gridtree_types.h"

namespace gridtree::detail {

class TPendingIndexes {
public:
    // True while Parent's children wait to be renumbered (kept in the parent's record, so
    // the inline index read needs no look-up).
    static bool IsPending(const TGridNode* Parent) { return Parent->Filler != 0; }

    // Frees the slot of a child taken out of Parent's chain, which was its first or last
    // child or neither (never both: an emptied parent is dropped). NextSlot is the slot the
    // next appended child would get, used when this delete makes the parent pending.
    void Free(PGridNode Parent, uint32_t Slot, bool First, bool Last, uint32_t NextSlot);
    // The index of the child of a pending Parent that holds Slot.
    uint32_t Position(const TGridNode* Parent, uint32_t Slot);
    // The smallest slot of a pending Parent that may differ from its index: children
    // below it hold exact indexes.
    uint32_t From(const TGridNode* Parent);
    // Slots listed since Parent became pending (the memory the record keeps).
    size_t ListedCount(const TGridNode* Parent);
    // Reserves Count slots for children appended to a pending Parent; returns the first.
    uint32_t TakeSlots(const TGridNode* Parent, uint32_t Count);
    // Forgets Parent's record (its children were renumbered or are gone).
    void Drop(PGridNode Parent);

private:
    struct TRecord {
        uint32_t Low = 0;            // freed slots below every child (deletes from the front)
        uint32_t From = UINT32_MAX;  // smallest listed slot
        uint32_t MaxFreed = 0;       // largest listed slot
        uint32_t NextSlot = 0;       // slot of the next appended child
        std::vector<uint32_t> Freed;  // listed slots, in the order of the deletes
        size_t Counted = 0;           // Freed[0, Counted) are in Counter
        // Binary indexed tree over slots: Counter[i] counts the listed slots in
        // [i - (i & -i), i); Counter[0] is unused. Empty until first needed.
        std::vector<uint32_t> Counter;
    };

    TRecord& RecordOf(const TGridNode* Parent);
    // Brings the counter up to date with every freed slot.
    static void Count(TRecord& Record);

    std::unordered_map<const TGridNode*, TRecord> FRecords;
    // The record used last: runs of deletes under one parent skip the hash look-up.
    const TGridNode* FLastParent = nullptr;
    TRecord* FLast = nullptr;
};

}  // namespace gridtree::detail
