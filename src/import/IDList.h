#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

// The article codes of one import run in the order of the goods table's rows: entry k is the ID
// of row k + 1. Lookup finds the FIRST entry equal to an ID in O(1) on average through a small
// open-addressing index beside the list (8 bytes per slot, at most half the slots in use: about
// 20 bytes per distinct ID at worst).
class TIDList {
  public:
    void Add(std::int32_t id);
    // The position (0-based) of the first entry equal to `id`, or nullopt.
    std::optional<std::size_t> Find(std::int32_t id) const;
    // Starts loading the part of the index where `id` is added or looked up, so that a reader
    // going through many IDs does not wait for memory on each: a hint, nothing changes.
    void Prefetch(std::int32_t id) const;
    std::size_t Count() const { return Ids.size(); }
    std::int32_t operator[](std::size_t i) const { return Ids[i]; }
    void Clear();
    // Room for `count` more entries without rebuilding the index as it fills.
    void Reserve(std::size_t count);

  private:
    void Grow();
    void Rehash(std::size_t size);

    std::vector<std::int32_t> Ids;
    // The ID is kept in its slot so that a probe touches one cache line, not the list as well.
    struct TSlot {
        std::int32_t Id;
        std::uint32_t Position;  // position + 1 of the first entry with this ID; 0: free slot
    };
    std::vector<TSlot> Slots;
    std::size_t Distinct = 0;
};
