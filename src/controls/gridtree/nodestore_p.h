// Slab storage of the nodes of one tree (private to the tree).
//
// All blocks of a store have one size (node record + internal areas + user data, rounded
// to 8 bytes). Blocks come zero-filled from slabs that grow geometrically; freed blocks go
// to a free list. When the last live block is freed, the slabs that fill reached are kept
// for the next fill, and those it did not reach (kept from a larger fill before) are given
// back: a tree cleared and filled again reuses its memory instead of giving it to the
// system and faulting it in again (the system's part of that takes several times longer
// under load), and memory beyond what the last fill needed goes at the next clear. All of
// it goes with the store and when the block size changes.
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
    // The bytes of the slabs held, those kept for the next fill included.
    size_t ReservedBytes() const { return FReserved; }

    // Changes the block size; only allowed while no block is live.
    void SetBlockSize(size_t Size);
    void* Allocate();
    void Free(void* Block);
    // True when P is the start of a block handed out by this store since its last block
    // was freed (live or freed again). Reads nothing at P; a look-up in the slabs' address
    // ranges (logarithmic in their number).
    bool Holds(const void* P) const;

private:
    struct TSlab {
        std::unique_ptr<std::byte[]> Bytes;
        size_t Size;
    };
    // Keeps the slabs the fill reached, gives back the rest; nothing is handed out after.
    void Recycle();
    void ReleaseAll();

    size_t FBlockSize = 0;
    size_t FLive = 0;
    size_t FReserved = 0;
    std::vector<TSlab> FSlabs;                // in the order they are carved
    std::map<uintptr_t, size_t> FSlabIndexes;  // start address -> index in FSlabs
    size_t FSlab = 0;                          // the slab being carved, when FCurrent is set
    std::byte* FCurrent = nullptr;
    std::byte* FEnd = nullptr;
    void* FFreeList = nullptr;
};

}  // namespace gridtree::detail
