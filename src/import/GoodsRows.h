#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/GoodsColumns.h"

// The goods table's rows and the value rules of its columns, without row states or views. Rows
// are 1-based and kept in a contiguous container; a row costs no more than its values (texts live
// in a shared arena). Callers pass rows that exist. Failures throw EGoodsTable and leave the
// value as it was.
class TGoodsRows {
  public:
    int Count() const { return static_cast<int>(Rows.size()); }
    // Grows with every change of a value or of the rows (a refused one may count too).
    std::uint64_t ChangeCount() const { return Changes; }
    void Clear();
    // Room for `rows` more rows and `textBytes` more bytes of text; only a hint.
    void Reserve(std::size_t rows, std::size_t textBytes);
    void InsertEmpty(int row);  // a row with every value empty goes in at `row`
    void Erase(int row);

    // One saved copy of a row (the row being edited, as it was), put back by Restore. Its texts
    // stay readable until Restore or Forget.
    void Save(int row);
    void Restore(int row);
    void Forget();

    bool IsEmpty(int row, TGoodsField field) const;
    std::int32_t AsInteger(int row, TGoodsField field) const;             // empty reads as 0
    double AsFloat(int row, TGoodsField field) const;                     // empty reads as 0
    void AppendText(int row, TGoodsField field, std::string& out) const;  // empty appends nothing
    // A text column's text in place ("" when empty), valid until the rows next change.
    std::string_view TextView(int row, TGoodsField field) const;

    void SetInteger(int row, TGoodsField field, std::int32_t value);
    void SetFloat(int row, TGoodsField field, double value);
    // Text columns keep the text cut to their width; number columns parse it by the integer or
    // decimal rule ("." separator). Empty text makes the value empty.
    void SetText(int row, TGoodsField field, std::string_view text);
    void SetEmpty(int row, TGoodsField field);

  private:
    // How many columns a row holds as 32-bit integers, and how many as doubles (float and money).
    static constexpr int kIntegerColumns = [] {
        int n = 0;
        for (const TGoodsColumn& c : kGoodsColumns) n += c.Kind == gkInteger ? 1 : 0;
        return n;
    }();
    static constexpr int kDoubleColumns = [] {
        int n = 0;
        for (const TGoodsColumn& c : kGoodsColumns)
            n += c.Kind == gkFloat || c.Kind == gkMoney ? 1 : 0;
        return n;
    }();
    // Barcodes up to this many bytes (every generated one) live inside the row itself.
    static constexpr std::size_t kKodInline = 13;
    // The arena is looked at for compaction only after it has grown past this size.
    static constexpr std::size_t kMinCompactCheck = std::size_t{1} << 20;

    // One row: the numbers in place, NAME (and a long KOD) as offset/length into the arena, a
    // short KOD inline. Text lengths fit a byte: 50 characters of at most 4 UTF-8 bytes.
    struct TRow {
        double Doubles[kDoubleColumns];
        std::int32_t Integers[kIntegerColumns];
        std::uint32_t NameOffset;
        std::uint8_t NameLength;
        std::uint8_t KodLength;
        std::uint8_t EmptyBits;  // bit n: value of field n is empty
        char Kod[kKodInline];    // the text, or (longer than kKodInline) its arena offset
    };
    static_assert(sizeof(TRow) == 48, "a goods row must stay small");

    TRow& At(int row) { return Rows[static_cast<std::size_t>(row - 1)]; }
    const TRow& At(int row) const { return Rows[static_cast<std::size_t>(row - 1)]; }
    std::string_view NameOf(const TRow& r) const;
    std::string_view KodOf(const TRow& r) const;
    std::string_view TextOf(const TRow& r, TGoodsField f) const;
    std::uint32_t Store(std::string_view text);
    void PutInteger(TRow& r, TGoodsField f, std::int32_t value);
    void PutDouble(TRow& r, TGoodsField f, double value);
    void PutText(TRow& r, TGoodsField f, std::string_view text);
    std::size_t ArenaBytes(const TRow& r) const;
    void MaybeCompact(std::size_t incoming);
    void MoveText(std::string& to, TRow& r) const;

    std::vector<TRow> Rows;
    std::string Arena;
    std::size_t NextCompactCheck = kMinCompactCheck;
    TRow Saved{};
    bool HasSaved = false;
    std::uint64_t Changes = 0;
};
