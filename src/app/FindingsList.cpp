#include "app/FindingsList.h"

#include "app/GoodsGridController.h"
#include "import/ImportRecord.h"
#include "text/Trim.h"

TFindingsList::TFindingsList(TGoodsTable& table, const TImportRecord& record)
    : Goods(table), Record(record) {
    Goods.AttachView(this);
    Refresh();
}

TFindingsList::~TFindingsList() {
    Goods.DetachView(this);
}

void TFindingsList::Refresh() {
    Found = CheckGoods(Goods, Record);
    PerKind = CountByKind(Found);
    // A row being changed now may already differ from its values when the change began.
    Pending = 0;
    if (View) View->FindingsChanged();
}

TFindingsList::TCheckedValues TFindingsList::ValuesOf(int row) const {
    TCheckedValues v;
    v.NoId = Goods.IsEmptyAt(row, gfID);
    v.Id = Goods.AsIntegerAt(row, gfID);
    v.Barcode = TrimRight(Goods.TextViewAt(row, gfKOD));
    v.NoQuantity = Goods.IsEmptyAt(row, gfOSTATOK);
    v.Quantity = Goods.AsFloatAt(row, gfOSTATOK);
    v.NoPrice = Goods.IsEmptyAt(row, gfRPRICE);
    v.Price = Goods.AsFloatAt(row, gfRPRICE);
    CheckRowAlone(Goods, row, v.Alone);
    return v;
}

bool TFindingsList::IsBlank(int row) const {
    return Goods.IsEmptyAt(row, gfID) && TrimRight(Goods.TextViewAt(row, gfKOD)).empty();
}

void TFindingsList::Shift(int from, int by) {
    for (TFinding& f : Found) {
        if (f.Row >= from) f.Row += by;
        // The first row of a group moves with it; a stock line's number is no row.
        const bool group = f.Kind == ckDuplicateBarcode || f.Kind == ckDuplicateId;
        if (group && f.Other >= from) f.Other += by;
    }
    if (View) View->FindingsChanged();
}

void TFindingsList::GoodsEndInsert() {
    // A new row starts empty.
    Shift(Inserted, 1);
}

void TFindingsList::GoodsBeginRemove(int row) {
    Removed = row;
    RemovedBlank = IsBlank(row);
}

void TFindingsList::GoodsEndRemove() {
    if (!RemovedBlank) return Refresh();
    const auto gone = std::erase_if(Found, [&](const TFinding& f) { return f.Row == Removed; });
    if (gone > 0) PerKind = CountByKind(Found);
    Shift(Removed + 1, -1);
}

void TFindingsList::GoodsRowChanged(int row) {
    if (row != Pending || ValuesOf(row) != Before) return Refresh();
    // The lines show the row's name and barcode as they are now.
    if (View) View->FindingsChanged();
}

void TFindingsList::GoodsCurrentChanged(int row) {
    const TGoodsState state = Goods.State();
    if (state != gsEdit && state != gsInsert) {
        Pending = 0;
    } else if (row != Pending) {
        Pending = row;
        Before = ValuesOf(row);
    }
}

std::string TFindingsList::SummaryText() const {
    std::string text;
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        const int count = PerKind[static_cast<std::size_t>(kind)];
        if (count == 0) continue;
        if (!text.empty()) text += "; ";
        text += CheckKindTitle(static_cast<TCheckKind>(kind));
        text += ": " + std::to_string(count);
    }
    return text.empty() ? std::string(kNoFindings) : text;
}

int TFindingsList::LineCount() const {
    return Found.empty() ? 1 : static_cast<int>(Found.size());
}

std::string TFindingsList::LineText(int line) const {
    if (Found.empty()) return line == 0 ? kNoFindings : "";
    if (line < 0 || line >= static_cast<int>(Found.size())) return {};
    const TFinding& f = Found[static_cast<std::size_t>(line)];
    std::string text = CheckKindTitle(f.Kind);
    text += " | " + std::to_string(f.Id);
    if (f.Row > 0) {
        text += " | ";
        text += Goods.TextViewAt(f.Row, gfKOD);
        text += " | ";
        text += Goods.TextViewAt(f.Row, gfNAME);
    }
    text += " | " + FindingDetail(f, Record);
    return text;
}

int TFindingsList::RowOf(int line) const {
    if (line < 0 || line >= static_cast<int>(Found.size())) return 0;
    return Found[static_cast<std::size_t>(line)].Row;
}

bool TFindingsList::Choose(int line, TGoodsGridController& grid) const {
    const int row = RowOf(line);
    return row > 0 && grid.ShowRow(row);
}
