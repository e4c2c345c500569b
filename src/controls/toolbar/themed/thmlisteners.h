#pragma once
// A list of objects that are told about changes, safe against changes of the list while it
// is being told: an object added during a round is not told in that round, an object removed
// is not told any more, and every registration present when the round began is told once,
// even when another object took the address of a removed one meanwhile.

#include <algorithm>
#include <cstdint>
#include <vector>

namespace themed {

template <class T>
class TThmListenerList {
public:
    void Add(T* item) { FEntries.push_back({item, ++FSerial}); }
    // Removes the first registration of `item`.
    void Remove(T* item) {
        auto it = std::find_if(FEntries.begin(), FEntries.end(),
                               [item](const TEntry& e) { return e.Item == item; });
        if (it != FEntries.end()) FEntries.erase(it);
    }
    bool Contains(T* item) const {
        return std::any_of(FEntries.begin(), FEntries.end(),
                           [item](const TEntry& e) { return e.Item == item; });
    }
    bool Empty() const { return FEntries.empty(); }
    int Count() const { return static_cast<int>(FEntries.size()); }

    // Calls tell(item) for every registration that exists now, in list order, skipping the
    // ones removed by an earlier call of the round.
    template <class F>
    void ForEach(F tell) {
        const std::vector<TEntry> round = FEntries;
        for (const TEntry& entry : round)
            if (StillRegistered(entry.Serial)) tell(entry.Item);
    }

private:
    struct TEntry {
        T* Item;
        std::uint64_t Serial;
    };
    // Entries keep the order they were added in, so their serials ascend.
    bool StillRegistered(std::uint64_t serial) const {
        auto it = std::lower_bound(FEntries.begin(), FEntries.end(), serial,
                                   [](const TEntry& e, std::uint64_t s) { return e.Serial < s; });
        return it != FEntries.end() && it->Serial == serial;
    }
    std::vector<TEntry> FEntries;
    std::uint64_t FSerial = 0;
};

}  // namespace themed
