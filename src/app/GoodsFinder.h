#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

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
// the query, all without regard to case; the query is trimmed. The rows are read in place.
class TGoodsFinder {
  public:
    explicit TGoodsFinder(const TGoodsTable& table) : Goods(table) {}

    void SetQuery(std::string_view text);
    const std::string& Query() const { return Text; }
    bool Matches(int row) const;
    // The first matching row after `row` (0: from the first), past the last row on from the
    // first, `row` itself last; none for an empty query.
    TFindResult FindAfter(int row) const;

  private:
    const TGoodsTable& Goods;
    std::string Text;                     // as typed, trimmed
    std::string Folded;                   // folded for the comparison
    std::optional<std::int32_t> QueryId;  // the query as an ID, when it is all digits
    mutable std::string Scratch;
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
