#include "controls/gridtree/nodestore_p.h"

#include <cassert>
#include <cstring>

namespace gridtree::detail {

namespace {
constexpr size_t MaxSlabBlocks = 1024;  // about 90 KB: little slack at the end of a big tree
}

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
            size_t bytes = FNextSlabBlocks * FBlockSize;
            FSlabs.emplace_back(new std::byte[bytes]);
            FSlabRanges.emplace(reinterpret_cast<uintptr_t>(FSlabs.back().get()),
                                reinterpret_cast<uintptr_t>(FSlabs.back().get()) + bytes);
            FCurrent = FSlabs.back().get();
            FEnd = FCurrent + bytes;
            FReserved += bytes;
            if (FNextSlabBlocks < MaxSlabBlocks) FNextSlabBlocks *= 2;
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
    if (--FLive == 0) ReleaseAll();
}

bool TNodeStore::Holds(const void* P) const {
    const auto p = reinterpret_cast<uintptr_t>(P);
    auto slab = FSlabRanges.upper_bound(p);
    if (slab == FSlabRanges.begin()) return false;
    --slab;
    // The newest slab is handed out up to FCurrent only.
    const bool newest = !FSlabs.empty() && slab->first == reinterpret_cast<uintptr_t>(FSlabs.back().get());
    const uintptr_t end = newest ? reinterpret_cast<uintptr_t>(FCurrent) : slab->second;
    return p < end && (p - slab->first) % FBlockSize == 0;
}

void TNodeStore::ReleaseAll() {
    FSlabs.clear();
    FSlabRanges.clear();
    FCurrent = FEnd = nullptr;
    FFreeList = nullptr;
    FReserved = 0;
    FNextSlabBlocks = 64;
}

}  // namespace gridtree::detail
