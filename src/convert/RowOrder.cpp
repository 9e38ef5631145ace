#include "convert/RowOrder.h"

#include <algorithm>
#include <bit>

TRowOrder::TRowOrder(int blockRows) : BlockRows(std::max(blockRows, 2)) {
    Reset(0);
}

void TRowOrder::Reset(int count) {
    Total = count;
    Blocks.clear();
    Order.clear();
    FreeKeys.clear();
    const auto keys = static_cast<std::size_t>(count);
    KeyBlock.assign(keys, 0);
    KeyPos.assign(keys, 0);
    KeyMarks.assign(keys, 0);
    // At least one block, so an insertion always has a place.
    const int blocks = std::max(1, (count + BlockRows - 1) / BlockRows);
    Blocks.resize(static_cast<std::size_t>(blocks));
    for (std::uint32_t key = 0; key < keys; ++key) {
        const auto id = key / static_cast<std::uint32_t>(BlockRows);
        KeyBlock[key] = id;
        KeyPos[key] = static_cast<std::uint32_t>(Blocks[id].Keys.size());
        Blocks[id].Keys.push_back(key);
    }
    for (std::uint32_t id = 0; id < Blocks.size(); ++id) Order.push_back(id);
    BlockAt.assign(Blocks.size(), 0);
    Start.assign(Blocks.size(), 0);
    Renumber(0);
}

void TRowOrder::Renumber(std::size_t from) {
    int rows =
        from == 0 ? 0 : Start[from - 1] + static_cast<int>(Blocks[Order[from - 1]].Keys.size());
    for (std::size_t at = from; at < Order.size(); ++at) {
        BlockAt[Order[at]] = static_cast<std::uint32_t>(at);
        Start[at] = rows;
        rows += static_cast<int>(Blocks[Order[at]].Keys.size());
    }
}

std::size_t TRowOrder::BlockAtRow(int row) const {
    // The last block starting before `row`: an empty block starts where the next one does, so
    // the search passes it.
    const auto after = std::upper_bound(Start.begin(), Start.end(), row - 1);
    return static_cast<std::size_t>(after - Start.begin()) - 1;
}

std::uint32_t TRowOrder::KeyAt(int row) const {
    const std::size_t at = BlockAtRow(row);
    return Blocks[Order[at]].Keys[static_cast<std::size_t>(row - 1 - Start[at])];
}

int TRowOrder::RowOf(std::uint32_t key) const {
    return Start[BlockAt[KeyBlock[key]]] + static_cast<int>(KeyPos[key]) + 1;
}

std::uint32_t TRowOrder::Insert(int row) {
    std::uint32_t key;
    if (!FreeKeys.empty()) {
        key = FreeKeys.back();
        FreeKeys.pop_back();
        KeyMarks[key] = 0;
    } else {
        key = KeyLimit();
        KeyBlock.push_back(0);
        KeyPos.push_back(0);
        KeyMarks.push_back(0);
    }
    // A row after the last goes at the end of the last block.
    const std::size_t at = row > Total ? Order.size() - 1 : BlockAtRow(row);
    const std::uint32_t id = Order[at];
    std::vector<std::uint32_t>& keys = Blocks[id].Keys;
    const auto pos = static_cast<std::size_t>(row - 1 - Start[at]);
    keys.insert(keys.begin() + static_cast<std::ptrdiff_t>(pos), key);
    KeyBlock[key] = id;
    for (std::size_t i = pos; i < keys.size(); ++i) KeyPos[keys[i]] = static_cast<std::uint32_t>(i);
    ++Total;
    for (std::size_t next = at + 1; next < Order.size(); ++next) ++Start[next];
    if (keys.size() > static_cast<std::size_t>(BlockRows) * 2) Split(id);
    return key;
}

void TRowOrder::Split(std::uint32_t id) {
    const auto fresh = static_cast<std::uint32_t>(Blocks.size());
    Blocks.emplace_back();
    TBlock& old = Blocks[id];
    TBlock& half = Blocks[fresh];
    const std::size_t keep = old.Keys.size() / 2;
    half.Keys.assign(old.Keys.begin() + static_cast<std::ptrdiff_t>(keep), old.Keys.end());
    old.Keys.resize(keep);
    for (std::size_t i = 0; i < half.Keys.size(); ++i) {
        const std::uint32_t key = half.Keys[i];
        KeyBlock[key] = fresh;
        KeyPos[key] = static_cast<std::uint32_t>(i);
        for (std::uint16_t m = KeyMarks[key]; m != 0; m &= static_cast<std::uint16_t>(m - 1)) {
            const int bit = std::countr_zero(m);
            --old.Counts[static_cast<std::size_t>(bit)];
            ++half.Counts[static_cast<std::size_t>(bit)];
        }
    }
    const std::size_t at = BlockAt[id];
    Order.insert(Order.begin() + static_cast<std::ptrdiff_t>(at) + 1, fresh);
    BlockAt.push_back(0);
    Start.push_back(0);
    Renumber(at);
}

void TRowOrder::Erase(int row) {
    const std::size_t at = BlockAtRow(row);
    const std::uint32_t id = Order[at];
    std::vector<std::uint32_t>& keys = Blocks[id].Keys;
    const auto pos = static_cast<std::size_t>(row - 1 - Start[at]);
    const std::uint32_t key = keys[pos];
    SetMarks(key, 0);
    keys.erase(keys.begin() + static_cast<std::ptrdiff_t>(pos));
    for (std::size_t i = pos; i < keys.size(); ++i) KeyPos[keys[i]] = static_cast<std::uint32_t>(i);
    FreeKeys.push_back(key);
    --Total;
    for (std::size_t next = at + 1; next < Order.size(); ++next) --Start[next];
}

void TRowOrder::SetMarks(std::uint32_t key, std::uint16_t marks) {
    const std::uint16_t old = KeyMarks[key];
    if (old == marks) return;
    TBlock& block = Blocks[KeyBlock[key]];
    for (int bit = 0; bit < kMarks; ++bit) {
        block.Counts[static_cast<std::size_t>(bit)] += ((marks >> bit) & 1) - ((old >> bit) & 1);
    }
    KeyMarks[key] = marks;
}

TRowOrder::TNth TRowOrder::Nth(std::uint16_t set, int n) const {
    for (std::size_t at = 0; at < Order.size(); ++at) {
        const TBlock& block = Blocks[Order[at]];
        int here = 0;
        for (std::uint16_t m = set; m != 0; m &= static_cast<std::uint16_t>(m - 1))
            here += block.Counts[static_cast<std::size_t>(std::countr_zero(m))];
        if (n >= here) {
            n -= here;
            continue;
        }
        for (std::size_t i = 0; i < block.Keys.size(); ++i) {
            const int marks = std::popcount(static_cast<unsigned>(KeyMarks[block.Keys[i]] & set));
            if (n < marks) return {Start[at] + static_cast<int>(i) + 1, n};
            n -= marks;
        }
    }
    return {};
}
