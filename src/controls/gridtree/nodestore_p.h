// Slab storage of the nodes of one tree (private to the tree).
//
// All blocks of a store have one size (node record + internal areas + user data, rounded
// to 8 bytes). Blocks come zero-filled from slabs that grow geometrically; freed blocks go
// to a free list, and when the last live block is freed every slab is released, so
// `Clear` gives the memory back.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <vector>

namespace gridtree::detail {

class TNodeStore {
public:
    size_t BlockSize() const { return FBlockSize; }
    size_t LiveCount() const { return FLive; }
    size_t ReservedBytes() const { return FReserved; }

    // Changes the block size; only allowed while no block is live.
    void SetBlockSize(size_t Size);
    void* Allocate();
    void Free(void* Block);
    // True when P is the start of a block handed out by this store (live or freed). Reads
    // nothing at P; a look-up in the slabs' address ranges (logarithmic in their number).
    bool Holds(const void* P) const;

private:
    void ReleaseAll();

    size_t FBlockSize = 0;
    size_t FLive = 0;
    size_t FReserved = 0;
    size_t FNextSlabBlocks = 64;
    std::vector<std::unique_ptr<std::byte[]>> FSlabs;
    std::map<uintptr_t, uintptr_t> FSlabRanges;  // start address -> end address of each slab
    std::byte* FCurrent = nullptr;
    std::byte* FEnd = nullptr;
    void* FFreeList = nullptr;
};

}  // namespace gridtree::detail
