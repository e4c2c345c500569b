#include "controls/gridtree/nodestore_p.h"

#include <algorithm>
#include <cassert>
#include <cstring>

namespace gridtree::detail {

namespace {
constexpr size_t FirstSlabBlocks = 64;
constexpr size_t MaxSlabBlocks = 1024;  // about 90 KB: little slack at the end of a big tree

// The blocks of the slab at Index: doubling from the first up to the largest.
size_t SlabBlocks(size_t Index) {
    return Index >= 5 ? MaxSlabBlocks : std::min(MaxSlabBlocks, FirstSlabBlocks << Index);
}
}  // namespace

void TNodeStore::SetBlockSize(size_t Size) {
    Size = (Size + 7) & ~size_t(7);
    if (Size == FBlockSize) return;
    assert(FLive == 0);
    ReleaseAll();
    FBlockSize = Size;
}

void* TNodeStore::Allocate() {
    void* block;
    if (FFreeList) {
        block = FFreeList;
        FFreeList = *static_cast<void**>(FFreeList);
    } else {
        if (FCurrent == FEnd) {
            const size_t next = FCurrent ? FSlab + 1 : 0;
            if (next == FSlabs.size()) {
                const size_t bytes = SlabBlocks(next) * FBlockSize;
                FSlabs.push_back(TSlab{std::unique_ptr<std::byte[]>(new std::byte[bytes]), bytes});
                FSlabIndexes.emplace(reinterpret_cast<uintptr_t>(FSlabs.back().Bytes.get()), next);
                FReserved += bytes;
            }
            FSlab = next;
            FCurrent = FSlabs[next].Bytes.get();
            FEnd = FCurrent + FSlabs[next].Size;
        }
        block = FCurrent;
        FCurrent += FBlockSize;
    }
    std::memset(block, 0, FBlockSize);
    ++FLive;
    return block;
}

void TNodeStore::Free(void* Block) {
    if (!Block) return;
    *static_cast<void**>(Block) = FFreeList;
    FFreeList = Block;
    if (--FLive == 0) Recycle();
}

bool TNodeStore::Holds(const void* P) const {
    if (!FCurrent) return false;
    const auto p = reinterpret_cast<uintptr_t>(P);
    auto slab = FSlabIndexes.upper_bound(p);
    if (slab == FSlabIndexes.begin()) return false;
    --slab;
    const size_t index = slab->second;
    // Slabs before the one being carved are handed out whole, that one up to FCurrent.
    if (index > FSlab) return false;
    const uintptr_t end = index == FSlab ? reinterpret_cast<uintptr_t>(FCurrent) : slab->first + FSlabs[index].Size;
    return p < end && (p - slab->first) % FBlockSize == 0;
}

void TNodeStore::Recycle() {
    const size_t reached = FCurrent ? FSlab + 1 : 0;
    while (FSlabs.size() > reached) {
        FSlabIndexes.erase(reinterpret_cast<uintptr_t>(FSlabs.back().Bytes.get()));
        FReserved -= FSlabs.back().Size;
        FSlabs.pop_back();
    }
    FSlab = 0;
    FCurrent = FEnd = nullptr;
    FFreeList = nullptr;
}

void TNodeStore::ReleaseAll() {
    FSlabs.clear();
    FSlabIndexes.clear();
    FSlab = 0;
    FCurrent = FEnd = nullptr;
    FFreeList = nullptr;
    FReserved = 0;
}

}  // namespace gridtree::detail
