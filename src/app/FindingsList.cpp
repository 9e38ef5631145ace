#include "app/FindingsList.h"

#include "app/GoodsGridController.h"
#include "import/ImportRecord.h"

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
    if (View) View->FindingsChanged();
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
