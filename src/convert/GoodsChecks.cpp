#include "convert/GoodsChecks.h"

#include <functional>
#include <string_view>

#include "import/BarCodeDigits.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "text/FixedPoint.h"
#include "text/NumberText.h"
#include "text/Trim.h"

namespace {

struct TKindTexts {
    const char* Key;
    const char* Title;
};

constexpr TKindTexts kKindTexts[kCheckKindCount] = {
    {"duplicate-barcode", "Одинаковый штрих-код"},
    {"duplicate-id", "Повторяющийся код товара"},
    {"not-in-stock", "Нет в отчете об остатках"},
    {"unknown-in-stock", "Строка отчета без товара"},
    {"price-by-rule", "Цена заменена на 1"},
    {"stock-by-rule", "Отрицательный остаток заменен на 0"},
    {"check-digit", "Штрих-код не прочтет сканер"},
};

// For each row, the first row that carries the same key (itself when none before it), and how
// many rows carry the key: a table of row numbers with open addressing, so no text is copied.
// Rows without a key (`has` false) get 0.
template <typename THas, typename THash, typename TEqual>
void GroupRows(int count, THas has, THash hash, TEqual equal, std::vector<std::int32_t>& first,
               std::vector<std::int32_t>& members) {
    first.assign(static_cast<std::size_t>(count) + 1, 0);
    members.assign(static_cast<std::size_t>(count) + 1, 0);
    std::size_t size = 16;
    while (size < static_cast<std::size_t>(count) * 2) size *= 2;
    std::vector<std::int32_t> slots(size, 0);  // a row number; 0: free
    for (int row = 1; row <= count; ++row) {
        if (!has(row)) continue;
        std::size_t at = hash(row) & (size - 1);
        while (slots[at] != 0 && !equal(slots[at], row)) at = (at + 1) & (size - 1);
        if (slots[at] == 0) slots[at] = row;
        first[static_cast<std::size_t>(row)] = slots[at];
        ++members[static_cast<std::size_t>(slots[at])];
    }
}

// The duplicate findings of one key: every row of a group of two or more.
void AddGroups(TCheckKind kind, const TGoodsTable& goods, const std::vector<std::int32_t>& first,
               const std::vector<std::int32_t>& members, std::vector<TFinding>& out) {
    for (int row = 1; row < static_cast<int>(first.size()); ++row) {
        std::int32_t head = first[static_cast<std::size_t>(row)];
        if (head == 0 || members[static_cast<std::size_t>(head)] < 2) continue;
        out.push_back({kind, row, goods.AsIntegerAt(row, gfID), head,
                       members[static_cast<std::size_t>(head)]});
    }
}

// A row's barcode as the tables get it: the export drops trailing blanks, so "123 " is "123".
std::string_view Barcode(const TGoodsTable& goods, int row) {
    return TrimRight(goods.TextViewAt(row, gfKOD));
}

void CheckDuplicateBarcodes(const TGoodsTable& goods, std::vector<TFinding>& out) {
    std::vector<std::int32_t> first, members;
    GroupRows(
        goods.RowCount(), [&](int row) { return !Barcode(goods, row).empty(); },
        [&](int row) { return std::hash<std::string_view>()(Barcode(goods, row)); },
        [&](int a, int b) { return Barcode(goods, a) == Barcode(goods, b); }, first, members);
    AddGroups(ckDuplicateBarcode, goods, first, members, out);
}

// Groups the rows by article code (rows without one stay out).
void GroupIds(const TGoodsTable& goods, std::vector<std::int32_t>& first,
              std::vector<std::int32_t>& members) {
    GroupRows(
        goods.RowCount(), [&](int row) { return !goods.IsEmptyAt(row, gfID); },
        [&](int row) {
            // Multiplicative hashing spreads consecutive codes over the whole table.
            auto id = static_cast<std::uint32_t>(goods.AsIntegerAt(row, gfID));
            return static_cast<std::size_t>((id * 0x9E3779B97F4A7C15ull) >> 20);
        },
        [&](int a, int b) { return goods.AsIntegerAt(a, gfID) == goods.AsIntegerAt(b, gfID); },
        first, members);
}

void CheckDuplicateIds(const TGoodsTable& goods, std::vector<TFinding>& out) {
    std::vector<std::int32_t> first, members;
    GroupIds(goods, first, members);
    AddGroups(ckDuplicateId, goods, first, members, out);
}

void CheckNotInStock(const TGoodsTable& goods, const TImportRecord& record,
                     std::vector<TFinding>& out) {
    std::vector<std::int32_t> first, members;
    bool grouped = false;
    for (int row = 1; row <= goods.RowCount(); ++row) {
        if (goods.IsEmptyAt(row, gfID)) continue;
        // A price or quantity typed in since then makes the row loadable.
        if (!goods.IsEmptyAt(row, gfRPRICE) && !goods.IsEmptyAt(row, gfOSTATOK)) continue;
        std::int32_t id = goods.AsIntegerAt(row, gfID);
        if (record.ReceivedBy(id) == nullptr) {
            out.push_back({ckNotInStock, row, id, 0, 0});
            continue;
        }
        // A later row of a named code is the duplicate finding's. The first one is not, yet it
        // can lack the values too: the row that received them was deleted or given another code.
        if (!grouped) GroupIds(goods, first, members), grouped = true;
        if (first[static_cast<std::size_t>(row)] == row)
            out.push_back({ckNotInStock, row, id, 0, 1});
    }
}

void CheckUnknownInStock(const TImportRecord& record, std::vector<TFinding>& out) {
    for (const TImportRecord::TUnknownLine& line : record.UnknownLines) {
        out.push_back({ckUnknownInStock, 0, line.Id, static_cast<std::int32_t>(line.Line), 0});
    }
}

// Rows whose value is still the one a rule put in place of the reported one. Only the first row
// with a code received the report's values; without a report every row got the defaults.
void CheckByRule(TCheckKind kind, const TGoodsTable& goods, const TImportRecord& record,
                 std::vector<TFinding>& out) {
    const bool price = kind == ckPriceByRule;
    const TGoodsField field = price ? gfRPRICE : gfOSTATOK;
    const double ruled = price ? 1.0 : 0.0;
    std::vector<std::int32_t> first, members;
    bool grouped = false;
    for (int row = 1; row <= goods.RowCount(); ++row) {
        if (goods.IsEmptyAt(row, gfID) || goods.IsEmptyAt(row, field)) continue;
        if (goods.AsFloatAt(row, field) != ruled) continue;
        std::int32_t id = goods.AsIntegerAt(row, gfID);
        const TImportRecord::TReported* reported = record.ReceivedBy(id);
        if (reported == nullptr) continue;
        std::int64_t value = price ? reported->Price : reported->Quantity;
        if (price ? value > 0 : value >= 0) continue;
        if (record.HasStockReport) {
            // The grouping is made only when a candidate needs it: usually few do.
            if (!grouped) GroupIds(goods, first, members), grouped = true;
            if (first[static_cast<std::size_t>(row)] != row) continue;
        }
        out.push_back({kind, row, id, 0, value});
    }
}

void CheckCheckDigits(const TGoodsTable& goods, const TImportRecord& record,
                      std::vector<TFinding>& out) {
    for (int row = 1; row <= goods.RowCount(); ++row) {
        std::string_view kod = Barcode(goods, row);
        if (kod.empty()) continue;
        std::int64_t want = 0;
        if (IsAllDigits(kod)) {
            std::optional<bool> valid = HasValidCheckDigit(kod);
            if (!valid || *valid) continue;
            want = *EanCheckDigit(kod.substr(0, kod.size() - 1));
        }
        // The generator's own codes carry no check digit unless asked to: not KELVA's labels.
        if (record.Complete && record.WasGenerated(kod)) continue;
        out.push_back({ckCheckDigit, row, goods.AsIntegerAt(row, gfID), 0, want});
    }
}

std::string Amount(std::int64_t amount) {
    return FloatToGeneralText(AmountToFloat(amount));
}

}  // namespace

void CheckKind(TCheckKind kind, const TGoodsTable& goods, const TImportRecord& record,
               std::vector<TFinding>& out) {
    if (!goods.IsOpen()) return;
    switch (kind) {
        case ckDuplicateBarcode:
            CheckDuplicateBarcodes(goods, out);
            break;
        case ckDuplicateId:
            CheckDuplicateIds(goods, out);
            break;
        case ckNotInStock:
            if (record.Complete) CheckNotInStock(goods, record, out);
            break;
        case ckUnknownInStock:
            if (record.Complete) CheckUnknownInStock(record, out);
            break;
        case ckPriceByRule:
        case ckStockByRule:
            if (record.Complete) CheckByRule(kind, goods, record, out);
            break;
        case ckCheckDigit:
            CheckCheckDigits(goods, record, out);
            break;
    }
}

std::vector<TFinding> CheckGoods(const TGoodsTable& goods, const TImportRecord& record) {
    std::vector<TFinding> findings;
    for (int kind = 0; kind < kCheckKindCount; ++kind) {
        CheckKind(static_cast<TCheckKind>(kind), goods, record, findings);
    }
    return findings;
}

std::array<int, kCheckKindCount> CountByKind(const std::vector<TFinding>& findings) {
    std::array<int, kCheckKindCount> counts{};
    for (const TFinding& f : findings) ++counts[f.Kind];
    return counts;
}

const char* CheckKindKey(TCheckKind kind) {
    return kKindTexts[kind].Key;
}

const char* CheckKindTitle(TCheckKind kind) {
    return kKindTexts[kind].Title;
}

std::string FindingDetail(const TFinding& f, const TImportRecord& record) {
    const std::string first = std::to_string(f.Other);
    switch (f.Kind) {
        case ckDuplicateBarcode:
            return "штрих-код у " + std::to_string(f.Value) + " товаров (первый в строке " + first +
                   "): сканер не различит их";
        case ckDuplicateId:
            if (f.Row == f.Other)
                return "код у " + std::to_string(f.Value) +
                       " строк: остаток и цену из отчета получает эта строка";
            return "код у " + std::to_string(f.Value) +
                   " строк: остаток и цену из отчета получила только строка " + first;
        case ckNotInStock:
            if (f.Value != 0)
                return "код есть в отчете об остатках, но цена или остаток этой строки пусты: "
                       "пусты и в таблицах";
            return "кода нет в отчете об остатках: цена или остаток пусты в таблицах";
        case ckUnknownInStock:
            return "строка " + first +
                   " отчета об остатках: товара с этим кодом нет, ее не загрузят";
        case ckPriceByRule:
            if (!record.HasStockReport) return "отчета об остатках нет: цена установлена 1";
            return "цена в отчете " + Amount(f.Value) + ": установлена 1";
        case ckStockByRule:
            return "остаток в отчете " + Amount(f.Value) + ": установлен 0";
        case ckCheckDigit:
            if (f.Value == 0) return "штрих-код не только из цифр: сканер его не прочтет";
            return "неверная контрольная цифра (должна быть " +
                   std::string(1, static_cast<char>(f.Value)) + "): сканер его не прочтет";
    }
    return {};
}
