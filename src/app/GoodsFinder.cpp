#include "app/GoodsFinder.h"

#include "app/GoodsGridController.h"
#include "text/NumberText.h"
#include "text/Trim.h"

namespace {

void FoldInPlace(std::string& out) {
    for (std::size_t i = 0; i < out.size(); ++i) {
        auto c = static_cast<unsigned char>(out[i]);
        if (c >= 'A' && c <= 'Z') {
            out[i] = static_cast<char>(c + 32);
        } else if (c == 0xD0 && i + 1 < out.size()) {
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

}  // namespace

std::string FoldCase(std::string_view utf8) {
    std::string out(utf8);
    FoldInPlace(out);
    return out;
}

void TGoodsFinder::SetQuery(std::string_view text) {
    Text = std::string(Trim(text));
    Folded = FoldCase(Text);
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
    // Folded in a reused buffer: a find over a million rows allocates nothing per row.
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

TFindResult TGoodsFinder::FindAfter(int row) const {
    const int count = Goods.RowCount();
    if (Folded.empty() || count == 0) return {};
    if (row < 0 || row > count) row = 0;
    for (int r = row + 1; r <= count; ++r) {
        if (Matches(r)) return {r, false};
    }
    for (int r = 1; r <= row; ++r) {
        if (Matches(r)) return {r, true};
    }
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
