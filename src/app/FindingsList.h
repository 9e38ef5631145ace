#pragma once

#include <array>
#include <string>
#include <vector>

#include "convert/CheckIndex.h"
#include "convert/GoodsChecks.h"
#include "import/GoodsTable.h"

struct TImportRecord;
class TGoodsGridController;

// What the findings list needs of a front end's list control.
class IFindingsView {
  public:
    virtual ~IFindingsView() = default;
    // The findings changed: the summary and every line are to be read again.
    virtual void FindingsChanged() = 0;
};

// The results viewer's findings list over the goods table: the checks before the load, followed
// through every committed change of the table (an import, an edit posted, a row inserted or
// deleted), so a corrected barcode takes its finding with it. With no finding the list has one
// line saying so. A change checks again only the rows it can concern (the row, and the rows that
// share its barcode or code before and after), so a million rows answer an edit at once; an
// import or views resumed check every row.
class TFindingsList final : private IGoodsView {
  public:
    // `blockRows`: how many rows the index keeps together (a tuning knob; tests make it small).
    TFindingsList(TGoodsTable& table, const TImportRecord& record, int blockRows = 512);
    ~TFindingsList() override;
    TFindingsList(const TFindingsList&) = delete;
    TFindingsList& operator=(const TFindingsList&) = delete;

    void SetView(IFindingsView* view) { View = view; }

    // Every finding in the order of CheckGoods (built on each call: for tests and exports).
    std::vector<TFinding> Findings() const { return Index.All(); }
    const std::array<int, kCheckKindCount>& Counts() const { return Index.Counts(); }
    // The count per kind in one line ("Одинаковый штрих-код: 2; ..."), kinds without findings
    // left out; the one "none" line when there is nothing.
    std::string SummaryText() const;
    // The list's lines: one per finding, or the single "none" line.
    int LineCount() const;
    std::string LineText(int line) const;
    // The finding a line shows (a blank one for the "none" line).
    TFinding FindingAt(int line) const;
    // The goods row (1-based) a line names; 0 for a stock line or the "none" line.
    int RowOf(int line) const;
    // The operator chose a line: its row becomes the grid's current row. False when the line
    // names no row or the grid's open cell was refused.
    bool Choose(int line, TGoodsGridController& grid) const;

    // Runs the checks over every row now (the table's changes do what they need by themselves).
    void Refresh();

  private:
    void Changed() const {
        if (View) View->FindingsChanged();
    }
    void GoodsBeginInsert(int row) override { Inserted = row; }
    void GoodsEndInsert() override;
    void GoodsBeginRemove(int row) override;
    void GoodsEndRemove() override;
    void GoodsRowChanged(int row) override;
    void GoodsCurrentChanged(int) override {}
    void GoodsRefreshAll() override;

    TGoodsTable& Goods;
    const TImportRecord& Record;
    IFindingsView* View = nullptr;
    TCheckIndex Index;
    int Inserted = 0;
    int Removed = 0;
    std::uint64_t Seen = 0;  // the table's change count the index was last brought up to
};
