#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The goods rows in their order, each with a key of its own that stays while rows come and go
// before it, and up to 16 marks: what an index over the table keeps instead of row numbers, which
// every inserted or deleted row would shift. Rows sit in blocks of a few hundred with the marks
// counted per block, so a row's key, a key's row, an insertion, a removal and the n-th marked row
// cost a block's length plus the number of blocks, never the row count.
class TRowOrder {
  public:
    static constexpr std::uint32_t kNoKey = 0xFFFFFFFF;
    static constexpr int kMarks = 16;

    explicit TRowOrder(int blockRows = 512);

    // Rows 1..count with keys 0..count-1 in order, no marks.
    void Reset(int count);
    int Count() const { return Total; }
    // Keys are below this.
    std::uint32_t KeyLimit() const { return static_cast<std::uint32_t>(KeyBlock.size()); }

    std::uint32_t KeyAt(int row) const;  // row in 1..Count()
    int RowOf(std::uint32_t key) const;  // a key in use
    // A new row at `row` (1..Count()+1), without marks; its key.
    std::uint32_t Insert(int row);
    // Removes `row`; its key is free for a later insertion.
    void Erase(int row);

    std::uint16_t Marks(std::uint32_t key) const { return KeyMarks[key]; }
    void SetMarks(std::uint32_t key, std::uint16_t marks);
    // The `n`-th (0-based) mark of the set `set` counting in row order, a row with k marks of the
    // set counting k times: the row and which of its marks it is (0-based). Row 0 when there are
    // no more than `n`.
    struct TNth {
        int Row = 0;
        int Within = 0;
    };
    TNth Nth(std::uint16_t set, int n) const;

  private:
    struct TBlock {
        std::vector<std::uint32_t> Keys;
        std::array<int, kMarks> Counts{};
    };
    void Renumber(std::size_t from);  // BlockAt and Start from the position `from` on
    std::size_t BlockAtRow(int row) const;
    void Split(std::uint32_t id);

    int BlockRows;
    int Total = 0;
    std::vector<TBlock> Blocks;           // by id
    std::vector<std::uint32_t> Order;     // ids in row order
    std::vector<std::uint32_t> BlockAt;   // id -> position in Order
    std::vector<int> Start;               // position -> rows before the block
    std::vector<std::uint32_t> KeyBlock;  // key -> block id
    std::vector<std::uint32_t> KeyPos;    // key -> place within its block
    std::vector<std::uint16_t> KeyMarks;  // key -> marks
    std::vector<std::uint32_t> FreeKeys;
};
