#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

class TGoodsTable;
struct TImportRecord;

// The problems an operator must see before ЛАРМИС gets the tables. The order is the order in
// which the findings are listed.
enum TCheckKind : std::uint8_t {
    ckDuplicateBarcode,   // two or more goods share a barcode (generated ones included)
    ckDuplicateId,        // an article code on more than one row; only the first gets the stock
    ckNotInStock,         // price or quantity empty: the stock report named no value for the row
    ckUnknownInStock,     // a stock line whose code names no article
    ckPriceByRule,        // a price of 0 or below (or no stock report) became 1
    ckStockByRule,        // a negative quantity became 0
    ckCheckDigit,         // a barcode scanners will not read: wrong check digit or not all digits
    ckReplacedCharacter,  // a barcode or name holds a character code page 866 lacks
    ckDoesNotFit,         // a value the tables cannot hold: the export would stop at the row
};
inline constexpr int kCheckKindCount = 9;

// One finding. Rows are the goods table's (1-based); a stock line has Row 0.
struct TFinding {
    TCheckKind Kind = ckDuplicateBarcode;
    int Row = 0;
    std::int32_t Id = 0;  // the row's article code, or the stock line's
    // ckDuplicateBarcode, ckDuplicateId: the first row of the group; ckUnknownInStock: the line
    // number in the stock report; ckReplacedCharacter, ckDoesNotFit: the goods column (a
    // TGoodsField) whose value is meant.
    std::int32_t Other = 0;
    // ckDuplicateBarcode, ckDuplicateId: the rows in the group; ckPriceByRule, ckStockByRule: the
    // reported amount (1/10000); ckCheckDigit: the check digit it should have as a character
    // ('0'..'9'), 0 when the barcode is not all digits; ckNotInStock: 1 when the report names the
    // code after all (the row that received its values is gone or has another code), else 0;
    // ckReplacedCharacter: the first character that changes (kMalformedCharacter for a stray
    // byte); ckDoesNotFit: the barcode's length in characters as written, 0 for a number.
    std::int64_t Value = 0;

    friend bool operator==(const TFinding&, const TFinding&) = default;
};

// Every check over the table as it stands, without copying a row: kinds in the order of
// TCheckKind, rows ascending within a kind. The checks that need the reports (not in the stock
// report, unknown stock lines, values set by rule, and the exemption of generated barcodes from
// the check digit) use `record` only when it is complete.
std::vector<TFinding> CheckGoods(const TGoodsTable& goods, const TImportRecord& record);

// One kind's findings, appended to `out` (the benchmark times them one by one).
void CheckKind(TCheckKind kind, const TGoodsTable& goods, const TImportRecord& record,
               std::vector<TFinding>& out);

// The findings of `row` of the kinds that read that row alone (ckReplacedCharacter,
// ckDoesNotFit), appended to `out` in kind order: what an edit of the row can change of them.
void CheckRowAlone(const TGoodsTable& goods, int row, std::vector<TFinding>& out);

// The findings of `row` of every kind but the duplicates, appended to `out` in kind order: those
// of CheckRowAlone and the ones that read the record (ckNotInStock, ckPriceByRule, ckStockByRule,
// ckCheckDigit). `firstOfCode`: no row before `row` has its article code.
void CheckRowOwn(const TGoodsTable& goods, const TImportRecord& record, int row, bool firstOfCode,
                 std::vector<TFinding>& out);

// The number of findings of each kind.
std::array<int, kCheckKindCount> CountByKind(const std::vector<TFinding>& findings);

// The kind's name in the converter's output ("duplicate-barcode", ...).
const char* CheckKindKey(TCheckKind kind);
// The kind's title in the results viewer's list (UTF-8).
const char* CheckKindTitle(TCheckKind kind);
// What the finding means for the load, one line (UTF-8).
std::string FindingDetail(const TFinding& finding, const TImportRecord& record);

// The findings list's one line when there is nothing to show.
inline constexpr const char* kNoFindings = "Замечаний нет: таблицы можно загружать.";
