#include "app/FindingsList.h"

#include <algorithm>

#include "app/GoodsGridController.h"
#include "import/ImportRecord.h"

TFindingsList::TFindingsList(TGoodsTable& table, const TImportRecord& record, int blockRows)
    : Goods(table), Record(record), Index(table, record, blockRows), Seen(table.ChangeCount()) {
    Goods.AttachView(this);
}

TFindingsList::~TFindingsList() {
    Goods.DetachView(this);
}

void TFindingsList::Refresh() {
    Index.Rebuild();
    Seen = Goods.ChangeCount();
    Changed();
}

void TFindingsList::GoodsRefreshAll() {
    // The views woke after a walk that changed no row (an export's): the findings stand.
    if (Goods.ChangeCount() == Seen) return Changed();
    Refresh();
}

void TFindingsList::GoodsEndInsert() {
    Index.RowInserted(Inserted);
    Seen = Goods.ChangeCount();
    Changed();
}

void TFindingsList::GoodsBeginRemove(int row) {
    Removed = row;
    Index.RowRemoving(row);
}

void TFindingsList::GoodsEndRemove() {
    Index.RowRemoved(Removed);
    Seen = Goods.ChangeCount();
    Changed();
}

void TFindingsList::GoodsRowChanged(int row) {
    Index.RowChanged(row);
    Seen = Goods.ChangeCount();
    // The lines show the row's name and barcode as they are now, whatever the findings did.
    Changed();
}

std::string TFindingsList::SummaryText() const {
    std::string text;
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        const int count = Counts()[static_cast<std::size_t>(kind)];
        if (count == 0) continue;
        if (!text.empty()) text += "; ";
        text += CheckKindTitle(static_cast<TCheckKind>(kind));
        text += ": " + std::to_string(count);
    }
    return text.empty() ? std::string(kNoFindings) : text;
}

int TFindingsList::LineCount() const {
    return std::max(Index.Count(), 1);
}

std::string TFindingsList::LineText(int line) const {
    if (Index.Count() == 0) return line == 0 ? kNoFindings : "";
    if (line < 0 || line >= Index.Count()) return {};
    const TFinding f = Index.At(line);
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

TFinding TFindingsList::FindingAt(int line) const {
    if (line < 0 || line >= Index.Count()) return {};
    return Index.At(line);
}

int TFindingsList::RowOf(int line) const {
    return FindingAt(line).Row;
}

bool TFindingsList::Choose(int line, TGoodsGridController& grid) const {
    const int row = RowOf(line);
    return row > 0 && grid.ShowRow(row);
}
