#include "convert/GoodsChecks.h"

#include <cmath>
#include <functional>
#include <string_view>

#include "convert/ExportFields.h"
#include "dbf/FieldEncoding.h"
#include "import/BarCodeDigits.h"
#include "import/GoodsTable.h"
#include "import/ImportRecord.h"
#include "text/CodePage.h"
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
    {"replaced-character", "Символ заменится при записи"},
    {"does-not-fit", "Значение не поместится в таблицу"},
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

// A row with a code whose price or quantity is empty; `first` tells whether it is the first row
// with its code, asked only when the report named the code.
template <typename TFirst>
void RowNotInStock(const TGoodsTable& goods, const TImportRecord& record, int row, TFirst first,
                   std::vector<TFinding>& out) {
    if (goods.IsEmptyAt(row, gfID)) return;
    // A price or quantity typed in since then makes the row loadable.
    if (!goods.IsEmptyAt(row, gfRPRICE) && !goods.IsEmptyAt(row, gfOSTATOK)) return;
    std::int32_t id = goods.AsIntegerAt(row, gfID);
    if (record.ReceivedBy(id) == nullptr) return out.push_back({ckNotInStock, row, id, 0, 0});
    // A later row of a named code is the duplicate finding's. The first one is not, yet it can
    // lack the values too: the row that received them was deleted or given another code.
    if (first()) out.push_back({ckNotInStock, row, id, 0, 1});
}

void CheckNotInStock(const TGoodsTable& goods, const TImportRecord& record,
                     std::vector<TFinding>& out) {
    std::vector<std::int32_t> first, members;
    bool grouped = false;
    const auto isFirst = [&](int row) {
        return [&, row] {
            if (!grouped) GroupIds(goods, first, members), grouped = true;
            return first[static_cast<std::size_t>(row)] == row;
        };
    };
    for (int row = 1; row <= goods.RowCount(); ++row)
        RowNotInStock(goods, record, row, isFirst(row), out);
}

void CheckUnknownInStock(const TImportRecord& record, std::vector<TFinding>& out) {
    for (const TImportRecord::TUnknownLine& line : record.UnknownLines) {
        out.push_back({ckUnknownInStock, 0, line.Id, static_cast<std::int32_t>(line.Line), 0});
    }
}

// Rows whose value is still the one a rule put in place of the reported one. Only the first row
// with a code received the report's values; without a report every row got the defaults.
template <typename TFirst>
void RowByRule(TCheckKind kind, const TGoodsTable& goods, const TImportRecord& record, int row,
               TFirst first, std::vector<TFinding>& out) {
    const bool price = kind == ckPriceByRule;
    const TGoodsField field = price ? gfRPRICE : gfOSTATOK;
    const double ruled = price ? 1.0 : 0.0;
    if (goods.IsEmptyAt(row, gfID) || goods.IsEmptyAt(row, field)) return;
    if (goods.AsFloatAt(row, field) != ruled) return;
    std::int32_t id = goods.AsIntegerAt(row, gfID);
    const TImportRecord::TReported* reported = record.ReceivedBy(id);
    if (reported == nullptr) return;
    std::int64_t value = price ? reported->Price : reported->Quantity;
    if (price ? value > 0 : value >= 0) return;
    if (record.HasStockReport && !first()) return;
    out.push_back({kind, row, id, 0, value});
}

void CheckByRule(TCheckKind kind, const TGoodsTable& goods, const TImportRecord& record,
                 std::vector<TFinding>& out) {
    std::vector<std::int32_t> first, members;
    bool grouped = false;
    for (int row = 1; row <= goods.RowCount(); ++row) {
        // The grouping is made only when a candidate needs it: usually few do.
        RowByRule(
            kind, goods, record, row,
            [&] {
                if (!grouped) GroupIds(goods, first, members), grouped = true;
                return first[static_cast<std::size_t>(row)] == row;
            },
            out);
    }
}

void RowCheckDigit(const TGoodsTable& goods, const TImportRecord& record, int row,
                   std::vector<TFinding>& out) {
    std::string_view kod = Barcode(goods, row);
    if (kod.empty()) return;
    std::int64_t want = 0;
    if (IsAllDigits(kod)) {
        std::optional<bool> valid = HasValidCheckDigit(kod);
        if (!valid || *valid) return;
        want = *EanCheckDigit(kod.substr(0, kod.size() - 1));
    }
    // The generator's own codes carry no check digit unless asked to: not KELVA's labels.
    if (record.Complete && record.WasGenerated(kod)) return;
    out.push_back({ckCheckDigit, row, goods.AsIntegerAt(row, gfID), 0, want});
}

void CheckCheckDigits(const TGoodsTable& goods, const TImportRecord& record,
                      std::vector<TFinding>& out) {
    for (int row = 1; row <= goods.RowCount(); ++row) RowCheckDigit(goods, record, row, out);
}

// The rows' texts go into the tables in code page 866: a character it lacks is written as its
// plain form or "?". In the order of the directory table's fields.
void CheckReplacedCharacters(const TGoodsTable& goods, int row, std::vector<TFinding>& out) {
    for (const TGoodsField field : {gfKOD, gfNAME}) {
        const std::string_view text =
            field == gfKOD ? Barcode(goods, row) : goods.TextViewAt(row, field);
        if (const std::optional<char32_t> ch = FirstNonOemCharacter(text)) {
            out.push_back({ckReplacedCharacter, row, goods.AsIntegerAt(row, gfID), field, *ch});
        }
    }
}

// The number of characters of a UTF-8 text.
constexpr std::size_t CharacterCount(std::string_view utf8) {
    std::size_t count = 0;
    for (const char c : utf8) count += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
    return count;
}

// What is not checked because it always fits: the group (prefix and an integer), the code in
// NAME2 and the name (cut to its column's width by the goods table).
constexpr std::size_t kLongestInteger = 11;  // "-2147483648"
static_assert(CharacterCount(kCategoryPrefix) + kLongestInteger <=
              Field(kDirectoryFields, dfCATEGORY).Size);
static_assert(Field(kReceiptFields, rfCATEGORY).Size == Field(kDirectoryFields, dfCATEGORY).Size);
static_assert(kLongestInteger <= Field(kDirectoryFields, dfNAME2).Size);
// One check stands for each value that goes into two fields: they have the same layout.
constexpr bool SameLayout(const TFieldLayout& a, const TFieldLayout& b) {
    return a.Type == b.Type && a.Size == b.Size && a.Precision == b.Precision;
}
static_assert(SameLayout(Field(kDirectoryFields, dfKOD), Field(kReceiptFields, rfID)));
static_assert(SameLayout(Field(kDirectoryFields, dfRPRICE), Field(kDirectoryFields, dfZPRICE)));
static_assert(SameLayout(Field(kDirectoryFields, dfRPRICE), Field(kReceiptFields, rfRPRICE)));
static_assert(SameLayout(Field(kDirectoryFields, dfRPRICE), Field(kReceiptFields, rfZPRICE)));

// The field a checked goods column is written to (the first, where it is written to several).
const TFieldLayout& FieldOf(TGoodsField field) {
    switch (field) {
        case gfKOD:
            return Field(kDirectoryFields, dfKOD);
        case gfRPRICE:
            return Field(kDirectoryFields, dfRPRICE);
        case gfNDS:
            return Field(kDirectoryFields, dfNDS);
        default:
            return Field(kReceiptFields, rfKOLVO);
    }
}

// A number that fits its field without asking the writer, which a million rows would feel: one
// with at most the field's decimals (the double nearest such a decimal prints as exactly it)
// and, even with a sign, no more integer digits than the field has room for.
bool SurelyFits(double value, const TFieldLayout& layout) {
    double top = 1;  // 10^(integer digits)
    for (int i = layout.Size - (layout.Precision > 0 ? layout.Precision + 1 : 0); i > 0; --i)
        top *= 10;
    if (!(value > -(top / 10 - 1) && value < top - 1)) return false;
    double scale = 1;
    for (int i = 0; i < layout.Precision; ++i) scale *= 10;
    return std::nearbyint(value * scale) / scale == value;
}

// Whether the table writer takes the column's value: the text the export hands it (the goods
// table's text in code page 866), judged by the writer's own encoding.
bool Fits(const TGoodsTable& goods, int row, TGoodsField field, std::string& oem) {
    if (goods.IsEmptyAt(row, field)) return true;
    const TFieldLayout& layout = FieldOf(field);
    if (field == gfKOD) {
        const std::string_view kod = goods.TextViewAt(row, field);
        // No more bytes than the field has means no more characters.
        if (kod.size() <= layout.Size) return true;
        AnsiToOemText(kod, oem);
    } else {
        if (SurelyFits(goods.AsFloatAt(row, field), layout)) return true;
        AnsiToOemText(goods.AsTextAt(row, field), oem);
    }
    return FieldValueFit(layout.Type, layout.Size, layout.Precision, oem) == ffFits;
}

// The export reads the quantity as an amount to pick the rows in stock, so a quantity beyond
// the amount range stops it whatever its sign; only the rows in stock write it.
bool QuantityFits(const TGoodsTable& goods, int row, std::string& oem) {
    if (goods.IsEmptyAt(row, gfOSTATOK)) return true;
    std::int64_t amount = 0;
    try {
        amount = FloatToAmount(goods.AsFloatAt(row, gfOSTATOK));
    } catch (const EInvalidOp&) {
        return false;
    }
    return amount <= 0 || Fits(goods, row, gfOSTATOK, oem);
}

void CheckFit(const TGoodsTable& goods, int row, std::vector<TFinding>& out, std::string& oem) {
    const auto add = [&](TGoodsField field, std::int64_t value) {
        out.push_back({ckDoesNotFit, row, goods.AsIntegerAt(row, gfID), field, value});
    };
    if (!Fits(goods, row, gfKOD, oem)) add(gfKOD, static_cast<std::int64_t>(TrimRight(oem).size()));
    if (!Fits(goods, row, gfRPRICE, oem)) add(gfRPRICE, 0);
    if (!Fits(goods, row, gfNDS, oem)) add(gfNDS, 0);
    if (!QuantityFits(goods, row, oem)) add(gfOSTATOK, 0);
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
        case ckReplacedCharacter:
            for (int row = 1; row <= goods.RowCount(); ++row)
                CheckReplacedCharacters(goods, row, out);
            break;
        case ckDoesNotFit: {
            std::string oem;
            for (int row = 1; row <= goods.RowCount(); ++row) CheckFit(goods, row, out, oem);
            break;
        }
    }
}

void CheckRowAlone(const TGoodsTable& goods, int row, std::vector<TFinding>& out) {
    if (!goods.IsOpen() || row < 1 || row > goods.RowCount()) return;
    CheckReplacedCharacters(goods, row, out);
    std::string oem;
    CheckFit(goods, row, out, oem);
}

void CheckRowOwn(const TGoodsTable& goods, const TImportRecord& record, int row, bool firstOfCode,
                 std::vector<TFinding>& out) {
    if (!goods.IsOpen() || row < 1 || row > goods.RowCount()) return;
    const auto first = [firstOfCode] { return firstOfCode; };
    if (record.Complete) {
        RowNotInStock(goods, record, row, first, out);
        RowByRule(ckPriceByRule, goods, record, row, first, out);
        RowByRule(ckStockByRule, goods, record, row, first, out);
    }
    RowCheckDigit(goods, record, row, out);
    CheckRowAlone(goods, row, out);
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

namespace {

// A character as UTF-8.
std::string CharacterText(char32_t ch) {
    std::string s;
    if (ch < 0x80) {
        s += static_cast<char>(ch);
    } else if (ch < 0x800) {
        s += static_cast<char>(0xC0 | (ch >> 6));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    } else if (ch < 0x10000) {
        s += static_cast<char>(0xE0 | (ch >> 12));
        s += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    } else {
        s += static_cast<char>(0xF0 | (ch >> 18));
        s += static_cast<char>(0x80 | ((ch >> 12) & 0x3F));
        s += static_cast<char>(0x80 | ((ch >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (ch & 0x3F));
    }
    return s;
}

// "шириной 10 знаков, из них 2 после точки (от -999999.99 до 9999999.99)" for a number field.
std::string NumberFieldText(const TFieldLayout& layout) {
    const std::size_t decimals = layout.Precision;
    const std::size_t whole = layout.Size - (decimals > 0 ? decimals + 1 : 0);
    // ".99" built in place: "." + std::string(...) makes MinGW's g++ 12 warn (-Wrestrict) wrongly.
    std::string fraction(decimals > 0 ? decimals + 1 : 0, '9');
    if (decimals > 0) fraction[0] = '.';
    std::string text = "шириной " + std::to_string(layout.Size) + " знаков";
    if (decimals > 0) text += ", из них " + std::to_string(decimals) + " после точки";
    return text + " (от -" + std::string(whole - 1, '9') + fraction + " до " +
           std::string(whole, '9') + fraction + ")";
}

std::string DoesNotFitDetail(const TFinding& f) {
    constexpr const char* kStops = ": сохранение в DBF прервется на этой строке";
    const auto field = static_cast<TGoodsField>(f.Other);
    const TFieldLayout& layout = FieldOf(field);
    switch (field) {
        case gfKOD:
            return "штрих-код из " + std::to_string(f.Value) + " символов не поместится в поле " +
                   layout.Name + " шириной " + std::to_string(layout.Size) + " знаков" + kStops;
        case gfRPRICE:
            return std::string("цена не поместится в поля ") +
                   Field(kDirectoryFields, dfZPRICE).Name + " и " + layout.Name + " " +
                   NumberFieldText(layout) + kStops;
        case gfNDS:
            return std::string("НДС не поместится в поле ") + layout.Name + " " +
                   NumberFieldText(layout) + kStops;
        default:
            return std::string("остаток не поместится в поле ") + layout.Name + " " +
                   NumberFieldText(layout) + kStops;
    }
}

}  // namespace

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
        case ckReplacedCharacter: {
            const auto ch = static_cast<char32_t>(f.Value);
            return "символ «" + CharacterText(ch) +
                   (f.Other == gfKOD ? "» в штрих-коде станет «" : "» в названии станет «") +
                   OemPlainForm(ch) + "»";
        }
        case ckDoesNotFit:
            return DoesNotFitDetail(f);
    }
    return {};
}
