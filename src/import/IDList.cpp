#include "import/IDList.h"

#include <limits>
#include <stdexcept>

namespace {

// Fibonacci hashing of the code without its low 3 bits, plus those bits: a run of 8 consecutive
// article codes (KELVA numbers them in order) lands in 8 neighbouring slots, one cache line,
// while the runs themselves spread evenly over the table. The high half of the product depends
// on every bit of the code.
std::size_t SlotOf(std::int32_t id, std::size_t mask) {
    auto code = static_cast<std::uint32_t>(id);
    std::uint64_t h = std::uint64_t{code >> 3} * 0x9E3779B97F4A7C15ull;
    return (static_cast<std::size_t>(h >> 32) + (code & 7u)) & mask;
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
        TSlot& slot = Slots[s];
        if (slot.Position == 0) {
            slot = TSlot{id, static_cast<std::uint32_t>(Ids.size())};
            ++Distinct;
            return;
        }
        // A later duplicate is never indexed: lookups must give the first entry.
        if (slot.Id == id) return;
    }
}

std::optional<std::size_t> TIDList::Find(std::int32_t id) const {
    if (Slots.empty()) return std::nullopt;
    std::size_t mask = Slots.size() - 1;
    for (std::size_t s = SlotOf(id, mask);; s = (s + 1) & mask) {
        const TSlot& slot = Slots[s];
        if (slot.Position == 0) return std::nullopt;
        if (slot.Id == id) return slot.Position - 1;
    }
}

void TIDList::Prefetch(std::int32_t id) const {
    if (!Slots.empty()) __builtin_prefetch(&Slots[SlotOf(id, Slots.size() - 1)]);
}

void TIDList::Clear() {
    Ids.clear();
    Slots.clear();
    Distinct = 0;
}

void TIDList::Reserve(std::size_t count) {
    Ids.reserve(Ids.size() + count);
    std::size_t size = kInitialSlots;
    while (size < (Distinct + count) * 2) size *= 2;
    if (size > Slots.size()) Rehash(size);
}

void TIDList::Grow() {
    Rehash(Slots.empty() ? kInitialSlots : Slots.size() * 2);
}

void TIDList::Rehash(std::size_t size) {
    std::vector<TSlot> slots(size, TSlot{0, 0});
    std::size_t mask = size - 1;
    for (const TSlot& slot : Slots) {
        if (slot.Position == 0) continue;
        std::size_t s = SlotOf(slot.Id, mask);
        while (slots[s].Position != 0) s = (s + 1) & mask;
        slots[s] = slot;
    }
    Slots.swap(slots);
}
