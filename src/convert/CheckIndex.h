#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "convert/GoodsChecks.h"
#include "convert/RowOrder.h"

class TGoodsTable;
struct TImportRecord;

// The rows sharing one value (a barcode, an article code), each group a list of keys in row
// order; a group of more than `sortedFrom` rows also keeps its keys in an array in row order, so a
// row joins or leaves it in the middle without a walk along it. What a value is comes from the
// caller's reader, which tells whether a key has one, hashes it and compares two keys' values as
// the table holds them now.
class TValueGroups {
  public:
    static constexpr std::int32_t kNone = -1;

    struct TReader {
        virtual ~TReader() = default;
        virtual bool Has(std::uint32_t key) const = 0;
        virtual std::uint64_t Hash(std::uint32_t key) const = 0;
        virtual bool Same(std::uint32_t a, std::uint32_t b) const = 0;
    };

    TValueGroups(const TReader& reader, const TRowOrder& order, int sortedFrom)
        : Reader(reader), Order(order), SortedFrom(sortedFrom) {}

    void Clear(std::uint32_t keys);
    // The key's group from its value now; the keys whose findings that can change are added to
    // `touched` (the first row before and after, the other row of a pair that forms or breaks).
    void Join(std::uint32_t key, std::vector<std::uint32_t>& touched);
    // Takes the key out of the group it joined, whatever its value is now.
    void Leave(std::uint32_t key, std::vector<std::uint32_t>& touched);
    // Whether the key still has the value of the group it joined, or still none: leaving and
    // joining again would change nothing.
    bool Keeps(std::uint32_t key) const;

    // The rows with the key's value (0 for a key without a group) and the first of them.
    int Size(std::uint32_t key) const;
    std::uint32_t First(std::uint32_t key) const;

  private:
    struct TGroup {
        int Size = 0;
        std::uint32_t First = 0;
        std::uint32_t Last = 0;
        std::uint32_t Slot = 0;
        std::int32_t Sorted = kNone;  // its keys in row order in SortedKeys, for a long group
    };
    static constexpr std::int32_t kFree = -1;
    static constexpr std::int32_t kGone = -2;  // a group's slot after it emptied: probing goes on
    void Grow();
    void Touch(const TGroup& group, std::vector<std::uint32_t>& touched) const;
    // Where in a group's sorted keys the first one at `row` or after it is.
    std::vector<std::uint32_t>::const_iterator Place(const std::vector<std::uint32_t>& keys,
                                                     int row) const;
    // The key of the group's row last before `row`, which lies past the group's first row, by a
    // walk along the group's list.
    std::uint32_t KeyBefore(const TGroup& group, int row) const;
    std::vector<std::uint32_t>* SortedOf(const TGroup& group);  // null for a short group
    void SortKeys(TGroup& group);
    void DropSortedKeys(TGroup& group);

    const TReader& Reader;
    const TRowOrder& Order;
    std::vector<std::int32_t> GroupOf;  // by key
    std::vector<std::uint32_t> Next;    // by key: the next row's key in the group
    std::vector<TGroup> Groups;
    std::vector<std::int32_t> FreeGroups;
    std::vector<std::int32_t> Slots;  // open addressing over the groups by their value's hash
    std::size_t Used = 0;             // slots not kFree
    const int SortedFrom;
    std::vector<std::vector<std::uint32_t>> SortedKeys;
    std::vector<std::int32_t> FreeSorted;
};

// Every finding of CheckGoods kept up to date as the table changes row by row: the rows' own
// findings are checked again for the changed row and for the rows whose duplicate group or first
// row of their code it changed, never for the whole table. A finding's numbers (the group's
// first row and size, the row itself) are read when the finding is asked for.
class TCheckIndex {
  public:
    // `blockRows`: the rows of a block of the row order, and the length past which a group of
    // equal values keeps its rows sorted as well.
    TCheckIndex(const TGoodsTable& goods, const TImportRecord& record, int blockRows = 512);
    ~TCheckIndex();
    TCheckIndex(const TCheckIndex&) = delete;
    TCheckIndex& operator=(const TCheckIndex&) = delete;

    // Every row checked again (an import, views resumed).
    void Rebuild();
    void RowChanged(int row);   // the row's values changed
    void RowInserted(int row);  // an empty row appeared at `row`
    void RowRemoving(int row);  // `row` is about to go; it can still be read
    void RowRemoved(int row);   // and it went

    int Count() const;
    const std::array<int, kCheckKindCount>& Counts() const { return PerKind; }
    // The finding at `index` in the order of CheckGoods.
    TFinding At(int index) const;
    std::vector<TFinding> All() const;

  private:
    struct TBarcodes;
    struct TIds;
    void Check(std::uint32_t key);
    void CheckTouched();
    void RowFindings(int row, std::uint32_t key, std::vector<TFinding>& out) const;

    const TGoodsTable& Goods;
    const TImportRecord& Record;
    TRowOrder Order;
    std::unique_ptr<TBarcodes> BarcodeReader;
    std::unique_ptr<TIds> IdReader;
    TValueGroups ByBarcode;
    TValueGroups ById;
    std::array<int, kCheckKindCount> PerKind{};
    std::vector<std::uint32_t> Touched;
    mutable std::vector<TFinding> Scratch;
};
