#include "convert/CheckIndex.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "text/Trim.h"

void TValueGroups::Clear(std::uint32_t keys) {
    GroupOf.assign(keys, kNone);
    Next.assign(keys, 0);
    Groups.clear();
    FreeGroups.clear();
    std::size_t size = 16;
    while (size < std::size_t{keys} * 2) size *= 2;
    Slots.assign(size, kFree);
    Used = 0;
    SortedKeys.clear();
    FreeSorted.clear();
}

void TValueGroups::Touch(const TGroup& group, std::vector<std::uint32_t>& touched) const {
    // Before and after a change this is every row whose findings it can alter: the first row
    // (the one the code's stock went to), and the other row of a pair that forms or breaks.
    touched.push_back(group.First);
}

std::vector<std::uint32_t>::const_iterator TValueGroups::Place(
    const std::vector<std::uint32_t>& keys, int row) const {
    return std::lower_bound(keys.begin(), keys.end(), row,
                            [this](std::uint32_t key, int r) { return Order.RowOf(key) < r; });
}

std::uint32_t TValueGroups::KeyBefore(const TGroup& group, int row) const {
    std::uint32_t before = group.First;
    while (Order.RowOf(Next[before]) < row) before = Next[before];
    return before;
}

std::vector<std::uint32_t>* TValueGroups::SortedOf(const TGroup& group) {
    return group.Sorted == kNone ? nullptr : &SortedKeys[static_cast<std::size_t>(group.Sorted)];
}

void TValueGroups::SortKeys(TGroup& group) {
    if (FreeSorted.empty()) {
        group.Sorted = static_cast<std::int32_t>(SortedKeys.size());
        SortedKeys.emplace_back();
    } else {
        group.Sorted = FreeSorted.back();
        FreeSorted.pop_back();
    }
    std::vector<std::uint32_t>& keys = SortedKeys[static_cast<std::size_t>(group.Sorted)];
    keys.reserve(static_cast<std::size_t>(group.Size) * 2);
    for (std::uint32_t key = group.First;; key = Next[key]) {
        keys.push_back(key);
        if (key == group.Last) break;
    }
}

void TValueGroups::DropSortedKeys(TGroup& group) {
    if (group.Sorted == kNone) return;
    std::vector<std::uint32_t>().swap(SortedKeys[static_cast<std::size_t>(group.Sorted)]);
    FreeSorted.push_back(group.Sorted);
    group.Sorted = kNone;
}

void TValueGroups::Grow() {
    std::size_t live = Groups.size() - FreeGroups.size();
    std::size_t size = 16;
    while (size < live * 4) size *= 2;
    Slots.assign(size, kFree);
    for (std::size_t g = 0; g < Groups.size(); ++g) {
        TGroup& group = Groups[g];
        if (group.Size == 0) continue;
        std::size_t at = Reader.Hash(group.First) & (size - 1);
        while (Slots[at] != kFree) at = (at + 1) & (size - 1);
        Slots[at] = static_cast<std::int32_t>(g);
        group.Slot = static_cast<std::uint32_t>(at);
    }
    Used = live;
}

void TValueGroups::Join(std::uint32_t key, std::vector<std::uint32_t>& touched) {
    if (key >= GroupOf.size()) {
        GroupOf.resize(key + 1, kNone);
        Next.resize(key + 1, 0);
    }
    GroupOf[key] = kNone;
    if (!Reader.Has(key)) return;
    if ((Used + 1) * 2 > Slots.size()) Grow();
    const std::size_t mask = Slots.size() - 1;
    std::size_t at = Reader.Hash(key) & mask;
    std::size_t gone = Slots.size();
    while (Slots[at] != kFree) {
        const std::int32_t g = Slots[at];
        if (g == kGone) {
            if (gone == Slots.size()) gone = at;
        } else if (Reader.Same(Groups[static_cast<std::size_t>(g)].First, key)) {
            TGroup& group = Groups[static_cast<std::size_t>(g)];
            Touch(group, touched);
            const int row = Order.RowOf(key);
            std::vector<std::uint32_t>* sorted = SortedOf(group);
            if (Order.RowOf(group.Last) < row) {
                Next[group.Last] = key;
                group.Last = key;
                if (sorted) sorted->push_back(key);
            } else if (row < Order.RowOf(group.First)) {
                Next[key] = group.First;
                group.First = key;
                if (sorted) sorted->insert(sorted->begin(), key);
            } else {
                std::uint32_t before;
                if (sorted) {
                    const auto place = Place(*sorted, row);
                    before = *(place - 1);
                    sorted->insert(place, key);
                } else {
                    before = KeyBefore(group, row);
                }
                Next[key] = Next[before];
                Next[before] = key;
            }
            ++group.Size;
            GroupOf[key] = g;
            if (!sorted && group.Size > SortedFrom) SortKeys(group);
            Touch(group, touched);
            return;
        }
        at = (at + 1) & mask;
    }
    // A value no row had: a new group, in the first slot the probe passed that a group left.
    if (gone != Slots.size()) {
        at = gone;
    } else {
        ++Used;
    }
    std::int32_t g;
    if (!FreeGroups.empty()) {
        g = FreeGroups.back();
        FreeGroups.pop_back();
    } else {
        g = static_cast<std::int32_t>(Groups.size());
        Groups.emplace_back();
    }
    Groups[static_cast<std::size_t>(g)] = {1, key, key, static_cast<std::uint32_t>(at), kNone};
    Slots[at] = g;
    GroupOf[key] = g;
    touched.push_back(key);
}

void TValueGroups::Leave(std::uint32_t key, std::vector<std::uint32_t>& touched) {
    if (key >= GroupOf.size() || GroupOf[key] == kNone) return;
    const std::int32_t g = GroupOf[key];
    GroupOf[key] = kNone;
    TGroup& group = Groups[static_cast<std::size_t>(g)];
    Touch(group, touched);
    if (--group.Size == 0) {
        Slots[group.Slot] = kGone;
        FreeGroups.push_back(g);
        DropSortedKeys(group);
        return;
    }
    std::vector<std::uint32_t>* sorted = SortedOf(group);
    const int row = Order.RowOf(key);
    const auto place = sorted ? Place(*sorted, row) : std::vector<std::uint32_t>::const_iterator();
    if (group.First == key) {
        group.First = Next[key];
    } else {
        const std::uint32_t before = sorted ? *(place - 1) : KeyBefore(group, row);
        Next[before] = Next[key];
        if (group.Last == key) group.Last = before;
    }
    if (sorted) {
        sorted->erase(place);
        // A group that shrank well below the length gives its array back.
        if (group.Size * 2 <= SortedFrom) DropSortedKeys(group);
    }
    Touch(group, touched);
}

bool TValueGroups::Keeps(std::uint32_t key) const {
    if (key >= GroupOf.size()) return false;
    if (GroupOf[key] == kNone) return !Reader.Has(key);
    const TGroup& group = Groups[static_cast<std::size_t>(GroupOf[key])];
    // A value of its own may have become another group's.
    if (group.Size < 2) return false;
    const std::uint32_t other = group.First == key ? Next[key] : group.First;
    return Reader.Has(key) && Reader.Same(other, key);
}

int TValueGroups::Size(std::uint32_t key) const {
    const std::int32_t g = GroupOf[key];
    return g == kNone ? 0 : Groups[static_cast<std::size_t>(g)].Size;
}

std::uint32_t TValueGroups::First(std::uint32_t key) const {
    const std::int32_t g = GroupOf[key];
    return g == kNone ? key : Groups[static_cast<std::size_t>(g)].First;
}

namespace {

// Which of a row's marks a finding is: one per kind, one per column for the kinds that name one.
int MarkOf(const TFinding& f) {
    switch (f.Kind) {
        case ckDuplicateBarcode:
            return 0;
        case ckDuplicateId:
            return 1;
        case ckNotInStock:
            return 2;
        case ckPriceByRule:
            return 3;
        case ckStockByRule:
            return 4;
        case ckCheckDigit:
            return 5;
        case ckReplacedCharacter:
            return f.Other == gfKOD ? 6 : 7;
        case ckDoesNotFit:
            return f.Other == gfKOD ? 8 : f.Other == gfRPRICE ? 9 : f.Other == gfNDS ? 10 : 11;
        case ckUnknownInStock:
            break;
    }
    return -1;
}

// The marks of each kind; a stock line is no row.
constexpr std::uint16_t kKindMarks[kCheckKindCount] = {0x001, 0x002, 0x004, 0,    0x008,
                                                       0x010, 0x020, 0x0C0, 0xF00};

constexpr TCheckKind KindOfMark(int mark) {
    for (int kind = 0; kind < kCheckKindCount; ++kind)
        if ((kKindMarks[kind] >> mark) & 1) return static_cast<TCheckKind>(kind);
    return ckUnknownInStock;
}

}  // namespace

struct TCheckIndex::TBarcodes final : TValueGroups::TReader {
    TBarcodes(const TGoodsTable& goods, const TRowOrder& order) : Goods(goods), Order(order) {}
    // As the tables get it: trailing blanks dropped.
    std::string_view Value(std::uint32_t key) const {
        return TrimRight(Goods.TextViewAt(Order.RowOf(key), gfKOD));
    }
    bool Has(std::uint32_t key) const override { return !Value(key).empty(); }
    std::uint64_t Hash(std::uint32_t key) const override {
        return std::hash<std::string_view>()(Value(key));
    }
    bool Same(std::uint32_t a, std::uint32_t b) const override { return Value(a) == Value(b); }
    const TGoodsTable& Goods;
    const TRowOrder& Order;
};

struct TCheckIndex::TIds final : TValueGroups::TReader {
    TIds(const TGoodsTable& goods, const TRowOrder& order) : Goods(goods), Order(order) {}
    std::int32_t Value(std::uint32_t key) const {
        return Goods.AsIntegerAt(Order.RowOf(key), gfID);
    }
    bool Has(std::uint32_t key) const override { return !Goods.IsEmptyAt(Order.RowOf(key), gfID); }
    std::uint64_t Hash(std::uint32_t key) const override {
        // Multiplicative hashing spreads consecutive codes over the whole table.
        return (static_cast<std::uint32_t>(Value(key)) * 0x9E3779B97F4A7C15ull) >> 20;
    }
    bool Same(std::uint32_t a, std::uint32_t b) const override { return Value(a) == Value(b); }
    const TGoodsTable& Goods;
    const TRowOrder& Order;
};

TCheckIndex::TCheckIndex(const TGoodsTable& goods, const TImportRecord& record, int blockRows)
    : Goods(goods),
      Record(record),
      Order(blockRows),
      BarcodeReader(std::make_unique<TBarcodes>(goods, Order)),
      IdReader(std::make_unique<TIds>(goods, Order)),
      ByBarcode(*BarcodeReader, Order, blockRows),
      ById(*IdReader, Order, blockRows) {
    Rebuild();
}

TCheckIndex::~TCheckIndex() = default;

void TCheckIndex::Rebuild() {
    const int count = Goods.IsOpen() ? Goods.RowCount() : 0;
    Order.Reset(count);
    const auto keys = static_cast<std::uint32_t>(count);
    ByBarcode.Clear(keys);
    ById.Clear(keys);
    PerKind = {};
    for (std::uint32_t key = 0; key < keys; ++key) {
        ByBarcode.Join(key, Touched);
        ById.Join(key, Touched);
        Touched.clear();
    }
    for (std::uint32_t key = 0; key < keys; ++key) Check(key);
    if (Goods.IsOpen() && Record.Complete)
        PerKind[ckUnknownInStock] = static_cast<int>(Record.UnknownLines.size());
}

void TCheckIndex::RowFindings(int row, std::uint32_t key, std::vector<TFinding>& out) const {
    const std::int32_t id = Goods.AsIntegerAt(row, gfID);
    if (const int size = ByBarcode.Size(key); size >= 2)
        out.push_back({ckDuplicateBarcode, row, id, Order.RowOf(ByBarcode.First(key)), size});
    const int size = ById.Size(key);
    if (size >= 2) out.push_back({ckDuplicateId, row, id, Order.RowOf(ById.First(key)), size});
    CheckRowOwn(Goods, Record, row, ById.First(key) == key, out);
}

void TCheckIndex::Check(std::uint32_t key) {
    Scratch.clear();
    RowFindings(Order.RowOf(key), key, Scratch);
    std::uint16_t marks = 0;
    for (const TFinding& f : Scratch) marks |= static_cast<std::uint16_t>(1u << MarkOf(f));
    const std::uint16_t old = Order.Marks(key);
    for (int mark = 0; mark < TRowOrder::kMarks; ++mark) {
        PerKind[KindOfMark(mark)] += ((marks >> mark) & 1) - ((old >> mark) & 1);
    }
    Order.SetMarks(key, marks);
}

void TCheckIndex::CheckTouched() {
    for (const std::uint32_t key : Touched) Check(key);
    Touched.clear();
}

void TCheckIndex::RowChanged(int row) {
    if (row < 1 || row > Order.Count()) return;
    const std::uint32_t key = Order.KeyAt(row);
    Touched.assign(1, key);
    // Most edits leave the row's barcode and code as they were, and its groups with them.
    for (TValueGroups* groups : {&ByBarcode, &ById}) {
        if (groups->Keeps(key)) continue;
        groups->Leave(key, Touched);
        groups->Join(key, Touched);
    }
    CheckTouched();
}

void TCheckIndex::RowInserted(int row) {
    const std::uint32_t key = Order.Insert(row);
    Touched.clear();
    // A new row starts empty, in no group, yet it is checked like any.
    ByBarcode.Join(key, Touched);
    ById.Join(key, Touched);
    Touched.push_back(key);
    CheckTouched();
}

void TCheckIndex::RowRemoving(int row) {
    if (row < 1 || row > Order.Count()) return;
    const std::uint32_t key = Order.KeyAt(row);
    Touched.clear();
    ByBarcode.Leave(key, Touched);
    ById.Leave(key, Touched);
    for (const std::uint32_t other : Touched)
        if (other != key) Check(other);
    Touched.clear();
    const std::uint16_t old = Order.Marks(key);
    for (int mark = 0; mark < TRowOrder::kMarks; ++mark)
        PerKind[KindOfMark(mark)] -= (old >> mark) & 1;
    Order.SetMarks(key, 0);
}

void TCheckIndex::RowRemoved(int row) {
    if (row < 1 || row > Order.Count()) return;
    Order.Erase(row);
}

int TCheckIndex::Count() const {
    int count = 0;
    for (const int n : PerKind) count += n;
    return count;
}

TFinding TCheckIndex::At(int index) const {
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        const int here = PerKind[static_cast<std::size_t>(kind)];
        if (index >= here) {
            index -= here;
            continue;
        }
        if (kind == ckUnknownInStock) {
            const TImportRecord::TUnknownLine& line =
                Record.UnknownLines[static_cast<std::size_t>(index)];
            return {ckUnknownInStock, 0, line.Id, static_cast<std::int32_t>(line.Line), 0};
        }
        const TRowOrder::TNth nth = Order.Nth(kKindMarks[kind], index);
        if (nth.Row == 0) break;
        Scratch.clear();
        RowFindings(nth.Row, Order.KeyAt(nth.Row), Scratch);
        int within = nth.Within;
        for (const TFinding& f : Scratch) {
            if (f.Kind == kind && within-- == 0) return f;
        }
        break;
    }
    return {};
}

std::vector<TFinding> TCheckIndex::All() const {
    std::vector<TFinding> all;
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        if (kind == ckUnknownInStock) {
            for (int i = 0; i < PerKind[ckUnknownInStock]; ++i) {
                const TImportRecord::TUnknownLine& line =
                    Record.UnknownLines[static_cast<std::size_t>(i)];
                all.push_back(
                    {ckUnknownInStock, 0, line.Id, static_cast<std::int32_t>(line.Line), 0});
            }
            continue;
        }
        for (int row = 1; row <= Order.Count(); ++row) {
            const std::uint32_t key = Order.KeyAt(row);
            if ((Order.Marks(key) & kKindMarks[kind]) == 0) continue;
            Scratch.clear();
            RowFindings(row, key, Scratch);
            for (const TFinding& f : Scratch)
                if (f.Kind == kind) all.push_back(f);
        }
    }
    return all;
}
