#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/GoodsTable.h"

class TGoodsGridController;

// The text folded for a case-insensitive comparison: Latin A-Z and the Cyrillic capitals
// (U+0400-U+042F, Ё included) become their small letters; everything else stays. UTF-8 in and
// out, the byte length kept.
std::string FoldCase(std::string_view utf8);

// Where a find ended: the row found (1-based, 0 for none) and whether it went past the last row
// and on from the first.
struct TFindResult {
    int Row = 0;
    bool Wrapped = false;

    friend bool operator==(const TFindResult&, const TFindResult&) = default;
};

// A row matches the query when its ID is the query, its barcode is the query, or its name holds
// the query, all without regard to case; the query is trimmed. A find reads the names and barcodes
// folded once, in blocks of rows that follow the table's changes (the finder is one of its views):
// a change folds its block again at the next find; an import folds every block at once, so no
// find waits for a million rows to be folded.
class TGoodsFinder final : private IGoodsView {
  public:
    // `blockRows`: how many rows are folded together (a tuning knob; tests make it small).
    explicit TGoodsFinder(TGoodsTable& table, int blockRows = 4096);
    ~TGoodsFinder() override;
    TGoodsFinder(const TGoodsFinder&) = delete;
    TGoodsFinder& operator=(const TGoodsFinder&) = delete;

    void SetQuery(std::string_view text);
    const std::string& Query() const { return Text; }
    bool Matches(int row) const;
    // The first matching row after `row` (0: from the first), past the last row on from the
    // first, `row` itself last; none for an empty query.
    TFindResult FindAfter(int row) const;

  private:
    // Rows folded together: the names one after another, the barcodes likewise, and where each
    // row's ends. Stale until folded again.
    struct TBlock {
        int Rows = 0;
        bool Stale = true;
        std::string Names, Kods;
        std::vector<std::uint32_t> NameEnds, KodEnds;
        std::vector<std::int64_t> Ids;  // kNoId for an empty one
    };
    static constexpr std::int64_t kNoId = INT64_MIN;
    // The first row (block-relative) of `lo`..`hi` whose text in `texts` holds the query; hi + 1
    // for none.
    int FirstText(const std::string& texts, const std::vector<std::uint32_t>& ends, int lo,
                  int hi) const;
    // The block holding `row` and the rows before it.
    std::size_t BlockOf(int row, int& before) const;
    void Fold(TBlock& block, int first) const;
    // The first matching row of `first`..`last`, all in one block; 0 for none.
    int FirstIn(TBlock& block, int blockFirst, int first, int last) const;
    // The first matching row of `first`..`last`; 0 for none.
    int FirstMatch(int first, int last) const;

    void GoodsBeginInsert(int row) override;
    void GoodsEndInsert() override { Seen = Goods.ChangeCount(); }
    void GoodsBeginRemove(int row) override;
    void GoodsEndRemove() override { Seen = Goods.ChangeCount(); }
    void GoodsRowChanged(int row) override;
    void GoodsCurrentChanged(int) override {}
    void GoodsRefreshAll() override;
    void Restart();  // every block stale

    TGoodsTable& Goods;
    int BlockRows;
    std::string Text;                     // as typed, trimmed
    std::string Folded;                   // folded for the comparison
    std::optional<std::int32_t> QueryId;  // the query as an ID, when it is all digits
    // Over the folded query, where the C library has no memmem (Windows). It skips by the
    // window's last byte: a first-byte scan stops at every other byte of a Cyrillic text (D0, D1).
    std::optional<std::boyer_moore_horspool_searcher<std::string::const_iterator>> Searcher;
    mutable std::string Scratch;
    mutable std::vector<TBlock> Blocks;  // in row order, covering every row
    std::uint64_t Seen = 0;              // the table's change count the blocks were told of
};

// Ctrl+F and F3 of the results grid over the finder: a find starts after the grid's current row
// and makes the row found current. Each returns the line a front end shows beside the find box:
// empty when a row was found on the way down, kFindWrapped after going on from the first row,
// kFindNone when no row matches.
class TGridFind {
  public:
    explicit TGridFind(TGoodsGridController& grid);

    // Ctrl+F's box confirmed with `query`.
    std::string Find(std::string_view query);
    // F3: the next row for the last query; with none yet, false (the front end opens the box).
    bool CanFindNext() const { return !Finder.Query().empty(); }
    std::string FindNext();
    const std::string& Query() const { return Finder.Query(); }

    static constexpr const char* kFindLabel = "Найти (Ctrl+F, далее F3):";
    static constexpr const char* kFindHint = "код, штрих-код или часть названия";
    static constexpr const char* kFindWrapped = "Поиск продолжен с начала таблицы.";
    static constexpr const char* kFindNone = "Ничего не найдено.";

  private:
    TGoodsGridController& Grid;
    TGoodsFinder Finder;
};
