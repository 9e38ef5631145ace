#pragma once

#include <array>
#include <string>
#include <vector>

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

// The results viewer's findings list over the goods table: the checks before the load, run again
// after every committed change of the table (an import, an edit posted, a row inserted or
// deleted), so a corrected barcode takes its finding with it. With no finding the list has one
// line saying so. Over a million rows the checks take a good part of a second, so changes that
// cannot alter a finding skip them: an edit that leaves the values the checks across rows read
// (code, barcode, quantity, price) and the row's own findings as they were, and a row without
// code and barcode coming or going, which takes only its own findings and moves the rows after
// it.
class TFindingsList final : private IGoodsView {
  public:
    TFindingsList(TGoodsTable& table, const TImportRecord& record);
    ~TFindingsList() override;
    TFindingsList(const TFindingsList&) = delete;
    TFindingsList& operator=(const TFindingsList&) = delete;

    void SetView(IFindingsView* view) { View = view; }

    const std::vector<TFinding>& Findings() const { return Found; }
    const std::array<int, kCheckKindCount>& Counts() const { return PerKind; }
    // The count per kind in one line ("Одинаковый штрих-код: 2; ..."), kinds without findings
    // left out; the one "none" line when there is nothing.
    std::string SummaryText() const;
    // The list's lines: one per finding, or the single "none" line.
    int LineCount() const;
    std::string LineText(int line) const;
    // The goods row (1-based) a line names; 0 for a stock line or the "none" line.
    int RowOf(int line) const;
    // The operator chose a line: its row becomes the grid's current row. False when the line
    // names no row or the grid's open cell was refused.
    bool Choose(int line, TGoodsGridController& grid) const;

    // Runs the checks now (the table's changes do it by themselves).
    void Refresh();

  private:
    // What the checks read of one row.
    struct TCheckedValues {
        bool NoId = true;
        std::int32_t Id = 0;
        std::string Barcode;  // as the tables get it
        bool NoQuantity = true;
        double Quantity = 0;
        bool NoPrice = true;
        double Price = 0;
        std::vector<TFinding> Alone;  // of the kinds that read this row alone (name, VAT rate)

        friend bool operator==(const TCheckedValues&, const TCheckedValues&) = default;
    };
    TCheckedValues ValuesOf(int row) const;
    // Neither code nor barcode: no check across rows looks at the row, only its own findings.
    bool IsBlank(int row) const;
    // The rows from `from` on moved by `by`; the findings stay those of the same rows.
    void Shift(int from, int by);

    void GoodsBeginInsert(int row) override { Inserted = row; }
    void GoodsEndInsert() override;
    void GoodsBeginRemove(int row) override;
    void GoodsEndRemove() override;
    void GoodsRowChanged(int row) override;
    void GoodsCurrentChanged(int row) override;
    void GoodsRefreshAll() override { Refresh(); }

    TGoodsTable& Goods;
    const TImportRecord& Record;
    IFindingsView* View = nullptr;
    std::vector<TFinding> Found;
    std::array<int, kCheckKindCount> PerKind{};
    // The row being edited or inserted and its values when that began (the ones the findings were
    // made from); 0 when unknown, and a posted change then runs the checks.
    int Pending = 0;
    TCheckedValues Before;
    int Inserted = 0;
    int Removed = 0;
    bool RemovedBlank = false;
};
