#include "import/IDList.h"

#include <limits>
#include <stdexcept>

namespace {

// Fibonacci hashing: multiplying by 2^64 / phi spreads runs of consecutive article codes evenly
// over the slots; the high half of the product (which depends on every bit of the code) makes the
// slot index.
std::size_t SlotOf(std::int32_t id, std::size_t mask) {
    std::uint64_t h = static_cast<std::uint32_t>(id) * 0x9E3779B97F4A7C15ull;
    return static_cast<std::size_t>(h >> 32) & mask;
}

constexpr std::size_t kInitialSlots = 16;

}  // namespace

void TIDList::Add(std::int32_t id) {
    // Slots hold position + 1 in 32 bits.
    if (Ids.size() >= std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("TIDList: too many entries");
    }
    if ((Distinct + 1) * 2 > Slots.size()) Grow();
    Ids.push_back(id);
    std::size_t mask = Slots.size() - 1;
    for (std::size_t s = SlotOf(id, mask);; s = (s + 1) & mask) {
        std::uint32_t slot = Slots[s];
        if (slot == 0) {
            Slots[s] = static_cast<std::uint32_t>(Ids.size());
            ++Distinct;
            return;
        }
        // A later duplicate is never indexed: lookups must give the first entry.
        if (Ids[slot - 1] == id) return;
    }
}

std::optional<std::size_t> TIDList::Find(std::int32_t id) const {
    if (Slots.empty()) return std::nullopt;
    std::size_t mask = Slots.size() - 1;
    for (std::size_t s = SlotOf(id, mask);; s = (s + 1) & mask) {
        std::uint32_t slot = Slots[s];
        if (slot == 0) return std::nullopt;
        if (Ids[slot - 1] == id) return slot - 1;
    }
}

void TIDList::Clear() {
    Ids.clear();
    Slots.clear();
    Distinct = 0;
}

void TIDList::Grow() {
    std::size_t size = Slots.empty() ? kInitialSlots : Slots.size() * 2;
    std::vector<std::uint32_t> slots(size, 0);
    std::size_t mask = size - 1;
    for (std::uint32_t slot : Slots) {
        if (slot == 0) continue;
        std::size_t s = SlotOf(Ids[slot - 1], mask);
        while (slots[s] != 0) s = (s + 1) & mask;
        slots[s] = slot;
    }
    Slots.swap(slots);
}
