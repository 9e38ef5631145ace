#include "app/GoodsFinder.h"

#include <algorithm>

#ifndef _WIN32
#include <string.h>
#endif

#include "app/GoodsGridController.h"
#include "text/NumberText.h"
#include "text/Trim.h"

namespace {

void FoldInPlace(char* out, std::size_t size) {
    for (std::size_t i = 0; i < size; ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xD0 && i + 1 < size) {
            // U+0400..U+043F are D0 80..D0 BF: capitals U+0410..U+041F (D0 90..9F) fold to
            // D0 B0..BF, U+0420..U+042F (D0 A0..AF) to D1 80..8F, U+0400..U+040F to D1 90..9F.
            auto next = static_cast<unsigned char>(out[i + 1]);
            if (next >= 0x90 && next <= 0x9F) {
                out[i + 1] = static_cast<char>(next + 0x20);
            } else if (next >= 0xA0 && next <= 0xAF) {
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(next - 0x20);
            } else if (next >= 0x80 && next <= 0x8F) {
                out[i] = static_cast<char>(0xD1);
                out[i + 1] = static_cast<char>(next + 0x10);
            }
            ++i;
        }
    }
}

void FoldInPlace(std::string& out) {
    FoldInPlace(out.data(), out.size());
}

// Appends `text` folded.
void AppendFolded(std::string& to, std::string_view text) {
    const std::size_t at = to.size();
    to += text;
    FoldInPlace(to.data() + at, text.size());
}

}  // namespace

std::string FoldCase(std::string_view utf8) {
    std::string out(utf8);
    FoldInPlace(out);
    return out;
}

TGoodsFinder::TGoodsFinder(TGoodsTable& table, int blockRows)
    : Goods(table), BlockRows(std::max(blockRows, 1)) {
    Goods.AttachView(this);
    Restart();
}

TGoodsFinder::~TGoodsFinder() {
    Goods.DetachView(this);
}

void TGoodsFinder::SetQuery(std::string_view text) {
    Text = std::string(Trim(text));
    Folded = FoldCase(Text);
    Searcher.emplace(Folded.cbegin(), Folded.cend());
    // Read once, not for each of a million rows.
    QueryId.reset();
    if (!Text.empty() && Text.find_first_not_of("0123456789") == std::string::npos) {
        if (const auto id = ParseIntegerText(Text)) QueryId = *id;
    }
}

bool TGoodsFinder::Matches(int row) const {
    if (Folded.empty()) return false;
    if (QueryId && !Goods.IsEmptyAt(row, gfID) && *QueryId == Goods.AsIntegerAt(row, gfID))
        return true;
    std::string_view kod = Goods.TextViewAt(row, gfKOD);
    if (kod.size() == Folded.size()) {
        Scratch.assign(kod);
        FoldInPlace(Scratch);
        if (Scratch == Folded) return true;
    }
    std::string_view name = Goods.TextViewAt(row, gfNAME);
    if (name.size() < Folded.size()) return false;
    Scratch.assign(name);
    FoldInPlace(Scratch);
    return Scratch.find(Folded) != std::string::npos;
}

void TGoodsFinder::GoodsRefreshAll() {
    // The views woke after a walk that changed no row (an export's): the blocks stand.
    if (Goods.ChangeCount() != Seen) Restart();
}

void TGoodsFinder::Restart() {
    Seen = Goods.ChangeCount();
    Blocks.clear();
    const int count = Goods.IsOpen() ? Goods.RowCount() : 0;
    // Folded now rather than at the first find, which the operator waits for.
    for (int first = 1; first <= count; first += BlockRows) {
        Blocks.push_back({std::min(BlockRows, count - first + 1), true, {}, {}, {}, {}, {}});
        Fold(Blocks.back(), first);
    }
}

std::size_t TGoodsFinder::BlockOf(int row, int& before) const {
    before = 0;
    for (std::size_t at = 0; at < Blocks.size(); ++at) {
        if (row <= before + Blocks[at].Rows) return at;
        before += Blocks[at].Rows;
    }
    return Blocks.size();
}

void TGoodsFinder::GoodsBeginInsert(int row) {
    int before = 0;
    std::size_t at = BlockOf(row, before);
    // A row after the last joins the last block.
    if (at == Blocks.size()) {
        if (Blocks.empty()) Blocks.emplace_back();
        at = Blocks.size() - 1;
    }
    TBlock& block = Blocks[at];
    ++block.Rows;
    block.Stale = true;
    if (block.Rows >= 2 * BlockRows) {
        const int half = block.Rows / 2;
        block.Rows -= half;
        Blocks.insert(Blocks.begin() + static_cast<std::ptrdiff_t>(at) + 1,
                      {half, true, {}, {}, {}, {}, {}});
    }
}

void TGoodsFinder::GoodsBeginRemove(int row) {
    int before = 0;
    const std::size_t at = BlockOf(row, before);
    if (at == Blocks.size()) return;
    if (--Blocks[at].Rows == 0) {
        Blocks.erase(Blocks.begin() + static_cast<std::ptrdiff_t>(at));
    } else {
        Blocks[at].Stale = true;
    }
}

void TGoodsFinder::GoodsRowChanged(int row) {
    Seen = Goods.ChangeCount();
    int before = 0;
    const std::size_t at = BlockOf(row, before);
    if (at < Blocks.size()) Blocks[at].Stale = true;
}

void TGoodsFinder::Fold(TBlock& block, int first) const {
    block.Names.clear();
    block.Kods.clear();
    block.NameEnds.clear();
    block.KodEnds.clear();
    block.Ids.clear();
    for (int row = first; row < first + block.Rows; ++row) {
        AppendFolded(block.Names, Goods.TextViewAt(row, gfNAME));
        block.NameEnds.push_back(static_cast<std::uint32_t>(block.Names.size()));
        AppendFolded(block.Kods, Goods.TextViewAt(row, gfKOD));
        block.KodEnds.push_back(static_cast<std::uint32_t>(block.Kods.size()));
        block.Ids.push_back(Goods.IsEmptyAt(row, gfID) ? kNoId : Goods.AsIntegerAt(row, gfID));
    }
    block.Stale = false;
}

int TGoodsFinder::FirstText(const std::string& texts, const std::vector<std::uint32_t>& ends,
                            int lo, int hi) const {
    // One search over the rows' texts together. A hit that runs on into the next text belongs to
    // neither, and the search goes on from the next text.
    const std::size_t size = Folded.size();
    std::size_t from = lo == 0 ? 0 : ends[static_cast<std::size_t>(lo - 1)];
    const std::size_t end = ends[static_cast<std::size_t>(hi)];
    while (from + size <= end) {
#ifdef _WIN32
        const auto begin = texts.cbegin();
        const auto found = std::search(begin + static_cast<std::ptrdiff_t>(from),
                                       begin + static_cast<std::ptrdiff_t>(end), *Searcher);
        if (found == begin + static_cast<std::ptrdiff_t>(end)) break;
        const auto hit = static_cast<std::size_t>(found - begin);
#else
        // glibc's memmem skips by pairs of bytes, which a query of repeated digits needs.
        const void* found = memmem(texts.data() + from, end - from, Folded.data(), size);
        if (found == nullptr) break;
        const auto hit = static_cast<std::size_t>(static_cast<const char*>(found) - texts.data());
#endif
        const auto in = static_cast<int>(
            std::upper_bound(ends.begin() + lo, ends.begin() + hi + 1, hit) - ends.begin());
        const std::size_t textEnd = ends[static_cast<std::size_t>(in)];
        if (hit + size <= textEnd) return in;
        from = textEnd;
    }
    return hi + 1;
}

int TGoodsFinder::FirstIn(TBlock& block, int blockFirst, int first, int last) const {
    if (block.Stale) Fold(block, blockFirst);
    const int lo = first - blockFirst, hi = last - blockFirst;
    const int named = FirstText(block.Names, block.NameEnds, lo, hi);
    // An ID or a whole barcode in a row before it. Only barcodes of the query's length are read,
    // from their last character: barcodes of one supplier share their first digits.
    const std::size_t size = Folded.size();
    const std::int64_t id = QueryId ? *QueryId : kNoId;
    const char* kods = block.Kods.data();
    std::uint32_t kodStart = lo == 0 ? 0 : block.KodEnds[static_cast<std::size_t>(lo - 1)];
    for (int i = lo; i < named; ++i) {
        const auto at = static_cast<std::size_t>(i);
        const std::uint32_t kodEnd = block.KodEnds[at];
        if (id != kNoId && block.Ids[at] == id) return blockFirst + i;
        if (kodEnd - kodStart == size) {
            std::size_t same = size;
            while (same > 0 && kods[kodStart + same - 1] == Folded[same - 1]) --same;
            if (same == 0) return blockFirst + i;
        }
        kodStart = kodEnd;
    }
    return named <= hi ? blockFirst + named : 0;
}

int TGoodsFinder::FirstMatch(int first, int last) const {
    int before = 0;
    for (std::size_t at = BlockOf(first, before); at < Blocks.size() && before < last; ++at) {
        TBlock& block = Blocks[at];
        const int blockFirst = before + 1;
        before += block.Rows;
        const int found =
            FirstIn(block, blockFirst, std::max(first, blockFirst), std::min(last, before));
        if (found != 0) return found;
    }
    return 0;
}

TFindResult TGoodsFinder::FindAfter(int row) const {
    const int count = Goods.IsOpen() ? Goods.RowCount() : 0;
    if (Folded.empty() || count == 0) return {};
    if (row < 0 || row > count) row = 0;
    // A row being edited holds values its block has not seen.
    const TGoodsState state = Goods.State();
    if (state == gsEdit || state == gsInsert) {
        int before = 0;
        const std::size_t at = BlockOf(Goods.RowNumber(), before);
        if (at < Blocks.size()) Blocks[at].Stale = true;
    }
    if (row < count) {
        if (const int found = FirstMatch(row + 1, count)) return {found, false};
    }
    if (const int found = FirstMatch(1, row)) return {found, true};
    return {};
}

TGridFind::TGridFind(TGoodsGridController& grid) : Grid(grid), Finder(grid.Table()) {}

std::string TGridFind::Find(std::string_view query) {
    Finder.SetQuery(query);
    return FindNext();
}

std::string TGridFind::FindNext() {
    // The open cell first: a refused text keeps the operator where he is.
    if (!Grid.FinishEditing()) return {};
    TFindResult found = Finder.FindAfter(Grid.Table().RowNumber());
    if (found.Row == 0) return kFindNone;
    Grid.ShowRow(found.Row);
    return found.Wrapped ? kFindWrapped : "";
}
