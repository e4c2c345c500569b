#include "controls/gridtree/pendingindexes_p.h"

#include <algorithm>

namespace gridtree::detail {

TPendingIndexes::TRecord& TPendingIndexes::RecordOf(const TGridNode* Parent) {
    if (Parent != FLastParent) {
        FLast = &FRecords[Parent];  // elements of the map keep their address
        FLastParent = Parent;
    }
    return *FLast;
}

void TPendingIndexes::Free(PGridNode Parent, uint32_t Slot, bool First, bool Last, uint32_t NextSlot) {
    TRecord& record = RecordOf(Parent);
    if (!Parent->Filler) {
        Parent->Filler = 1;
        record = TRecord{};
        record.NextSlot = NextSlot;
    }
    if (First) {
        // Below every child left: it counts for all of them alike.
        ++record.Low;
        return;
    }
    if (Last && (record.Freed.empty() || Slot > record.MaxFreed)) {
        // Nothing listed lies above it: the next append takes the slot back.
        record.NextSlot = Slot;
        return;
    }
    record.From = std::min(record.From, Slot);
    record.MaxFreed = std::max(record.MaxFreed, Slot);
    record.Freed.push_back(Slot);
    // Once counted, the counter follows every listed slot (it answers the questions from here on).
    if (!record.Counter.empty()) Count(record);
}

void TPendingIndexes::Count(TRecord& Record) {
    if (Record.Counted == Record.Freed.size()) return;
    // Slot s is entry s + 1; appends may have taken slots beyond the counter's range.
    if (Record.Counter.size() <= size_t(Record.NextSlot)) {
        Record.Counter.assign(size_t(Record.NextSlot) * 2 + 2, 0);
        Record.Counted = 0;
    }
    const size_t size = Record.Counter.size();
    for (; Record.Counted < Record.Freed.size(); ++Record.Counted)
        for (size_t i = size_t(Record.Freed[Record.Counted]) + 1; i < size; i += i & (~i + 1)) ++Record.Counter[i];
}

uint32_t TPendingIndexes::Position(const TGridNode* Parent, uint32_t Slot) {
    TRecord& record = RecordOf(Parent);
    if (Slot < record.From) return Slot - record.Low;
    if (Slot > record.MaxFreed) return Slot - record.Low - uint32_t(record.Freed.size());
    Count(record);
    uint32_t below = 0;
    for (size_t i = std::min<size_t>(Slot, record.Counter.size() - 1); i > 0; i -= i & (~i + 1))
        below += record.Counter[i];
    return Slot - record.Low - below;
}

uint32_t TPendingIndexes::From(const TGridNode* Parent) {
    const TRecord& record = RecordOf(Parent);
    return record.Low > 0 ? 0 : record.From;
}

size_t TPendingIndexes::ListedCount(const TGridNode* Parent) { return RecordOf(Parent).Freed.size(); }

uint32_t TPendingIndexes::TakeSlots(const TGridNode* Parent, uint32_t Count) {
    TRecord& record = RecordOf(Parent);
    const uint32_t first = record.NextSlot;
    record.NextSlot += Count;
    return first;
}

void TPendingIndexes::Drop(PGridNode Parent) {
    if (!Parent->Filler) return;
    Parent->Filler = 0;
    FRecords.erase(Parent);
    if (FLastParent == Parent) {
        FLastParent = nullptr;
        FLast = nullptr;
    }
}

}  // namespace gridtree::detail
