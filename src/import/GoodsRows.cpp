#include "import/GoodsRows.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstring>
#include <limits>
#include <optional>

#include "import/GoodsTable.h"
#include "text/CodePage.h"
#include "text/NumberText.h"

namespace {

constexpr const char* kArenaFull = "Goods table text storage is full";
constexpr std::size_t kArenaLimit = std::numeric_limits<std::uint32_t>::max();

// The row keeps NAME in the arena and KOD inline while short: it knows these two as its texts.
static_assert(GoodsColumn(gfNAME).Kind == gkText && GoodsColumn(gfKOD).Kind == gkText);
static_assert(
    [] {
        int texts = 0;
        for (const TGoodsColumn& c : kGoodsColumns) texts += c.Kind == gkText ? 1 : 0;
        return texts == 2;
    }(),
    "a row has room for two texts");
// A text's byte length is held in one byte: every character may take 4 UTF-8 bytes.
static_assert(GoodsColumn(gfNAME).Width * 4 <= 255 && GoodsColumn(gfKOD).Width * 4 <= 255);
static_assert(kGoodsFieldCount <= 8, "the empty flags fit a byte");

constexpr std::uint8_t kAllEmpty = (1u << kGoodsFieldCount) - 1;

bool IsInteger(TGoodsField f) {
    return GoodsColumn(f).Kind == gkInteger;
}
bool IsText(TGoodsField f) {
    return GoodsColumn(f).Kind == gkText;
}

// Where each number column's value sits among the row's numbers of its own type.
constexpr auto kNumberSlot = [] {
    std::array<std::uint8_t, kGoodsFieldCount> slot{};
    std::uint8_t integers = 0, doubles = 0;
    for (const TGoodsColumn& c : kGoodsColumns) {
        if (c.Kind == gkInteger)
            slot[c.Field] = integers++;
        else if (c.Kind != gkText)
            slot[c.Field] = doubles++;
    }
    return slot;
}();

std::uint8_t Bit(TGoodsField f) {
    return static_cast<std::uint8_t>(1u << f);
}

std::string Format2(const char* pattern, std::string_view a, std::string_view b) {
    // pattern holds two "%s"
    std::string out;
    std::string_view p(pattern);
    std::size_t first = p.find("%s");
    std::size_t second = p.find("%s", first + 2);
    out.append(p.substr(0, first));
    out.append(a);
    out.append(p.substr(first + 2, second - first - 2));
    out.append(b);
    out.append(p.substr(second + 2));
    return out;
}

[[noreturn]] void ThrowNotInteger(std::string_view text, TGoodsField field) {
    throw EGoodsTable(
        Format2("'%s' is not a valid integer value for field '%s'", text, GoodsFieldName(field)));
}

[[noreturn]] void ThrowNotFloat(std::string_view text, TGoodsField field) {
    throw EGoodsTable(Format2("'%s' is not a valid floating point value for field '%s'", text,
                              GoodsFieldName(field)));
}

// A double rounded to the nearest integer, ties to even, when it fits 32 bits.
std::int32_t RoundToInt32(double value, TGoodsField field) {
    double r = std::nearbyint(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0)) {
        ThrowNotInteger(FloatToGeneralText(value), field);
    }
    return static_cast<std::int32_t>(r);
}

}  // namespace

void TGoodsRows::Clear() {
    ++Changes;
    Rows.clear();
    Arena.clear();
    NextCompactCheck = kMinCompactCheck;
    HasSaved = false;
}

void TGoodsRows::Reserve(std::size_t rows, std::size_t textBytes) {
    Rows.reserve(Rows.size() + rows);
    if (Arena.size() + textBytes <= kArenaLimit) Arena.reserve(Arena.size() + textBytes);
}

void TGoodsRows::InsertEmpty(int row) {
    ++Changes;
    TRow r{};
    r.EmptyBits = kAllEmpty;
    Rows.insert(Rows.begin() + (row - 1), r);
}

void TGoodsRows::Erase(int row) {
    ++Changes;
    Rows.erase(Rows.begin() + (row - 1));
}

void TGoodsRows::Save(int row) {
    Saved = At(row);
    HasSaved = true;
}

void TGoodsRows::Restore(int row) {
    // The values set since Save counted already; an edit that changed nothing is no change.
    At(row) = Saved;
    HasSaved = false;
}

void TGoodsRows::Forget() {
    HasSaved = false;
}

// ---- texts

std::string_view TGoodsRows::NameOf(const TRow& r) const {
    return std::string_view(Arena).substr(r.NameOffset, r.NameLength);
}

std::string_view TGoodsRows::KodOf(const TRow& r) const {
    if (r.KodLength <= kKodInline) return std::string_view(r.Kod, r.KodLength);
    std::uint32_t offset;
    std::memcpy(&offset, r.Kod, sizeof offset);
    return std::string_view(Arena).substr(offset, r.KodLength);
}

std::string_view TGoodsRows::TextOf(const TRow& r, TGoodsField f) const {
    return f == gfNAME ? NameOf(r) : KodOf(r);
}

std::uint32_t TGoodsRows::Store(std::string_view text) {
    if (Arena.size() + text.size() > NextCompactCheck) MaybeCompact(text.size());
    if (Arena.size() + text.size() > kArenaLimit) throw EGoodsTable(kArenaFull);
    auto offset = static_cast<std::uint32_t>(Arena.size());
    Arena.append(text);
    return offset;
}

// Edits and deletions leave dead bytes behind; when they outweigh the live ones the arena is
// rebuilt. Amortised O(1): a look is made only after the arena has doubled.
std::size_t TGoodsRows::ArenaBytes(const TRow& r) const {
    std::size_t n = 0;
    if (!(r.EmptyBits & Bit(gfNAME))) n += r.NameLength;
    if (!(r.EmptyBits & Bit(gfKOD)) && r.KodLength > kKodInline) n += r.KodLength;
    return n;
}

void TGoodsRows::MaybeCompact(std::size_t incoming) {
    std::size_t live = incoming;
    for (const TRow& r : Rows) live += ArenaBytes(r);
    if (HasSaved) live += ArenaBytes(Saved);
    if (live * 2 <= Arena.size() || Arena.size() + incoming > kArenaLimit) {
        std::string to;
        for (TRow& r : Rows) MoveText(to, r);
        if (HasSaved) MoveText(to, Saved);
        Arena.swap(to);
    }
    // The next scan waits until at least as many bytes have been added as it will visit.
    NextCompactCheck = std::max({kMinCompactCheck, 2 * (Arena.size() + incoming),
                                 Arena.size() + Rows.size() * sizeof(TRow)});
}

void TGoodsRows::MoveText(std::string& to, TRow& r) const {
    if (!(r.EmptyBits & Bit(gfNAME))) {
        std::string_view name = NameOf(r);
        r.NameOffset = static_cast<std::uint32_t>(to.size());
        to.append(name);
    }
    if (!(r.EmptyBits & Bit(gfKOD)) && r.KodLength > kKodInline) {
        std::string_view kod = KodOf(r);
        auto offset = static_cast<std::uint32_t>(to.size());
        to.append(kod);
        std::memcpy(r.Kod, &offset, sizeof offset);
    }
}

// ---- reading

bool TGoodsRows::IsEmpty(int row, TGoodsField field) const {
    return (At(row).EmptyBits >> field) & 1u;
}

std::int32_t TGoodsRows::AsInteger(int row, TGoodsField f) const {
    const TRow& r = At(row);
    if (IsEmpty(row, f)) return 0;
    if (IsInteger(f)) return r.Integers[kNumberSlot[f]];
    if (!IsText(f)) return RoundToInt32(r.Doubles[kNumberSlot[f]], f);
    std::string_view text = TextOf(r, f);
    std::optional<std::int32_t> value = ParseIntegerText(text);
    if (!value) ThrowNotInteger(text, f);
    return *value;
}

double TGoodsRows::AsFloat(int row, TGoodsField f) const {
    const TRow& r = At(row);
    if (IsEmpty(row, f)) return 0;
    if (IsInteger(f)) return r.Integers[kNumberSlot[f]];
    if (!IsText(f)) return r.Doubles[kNumberSlot[f]];
    std::string_view text = TextOf(r, f);
    std::optional<double> value = ParseDecimalText(text);
    if (!value) ThrowNotFloat(text, f);
    return *value;
}

std::string_view TGoodsRows::TextView(int row, TGoodsField f) const {
    if (IsEmpty(row, f) || !IsText(f)) return {};
    return TextOf(At(row), f);
}

void TGoodsRows::AppendText(int row, TGoodsField f, std::string& out) const {
    const TRow& r = At(row);
    if (IsEmpty(row, f)) return;
    if (IsText(f))
        out.append(TextOf(r, f));
    else if (IsInteger(f))
        AppendIntegerText(r.Integers[kNumberSlot[f]], out);
    else
        AppendFloatGeneralText(r.Doubles[kNumberSlot[f]], out);
}

// ---- writing

void TGoodsRows::PutInteger(TRow& r, TGoodsField f, std::int32_t value) {
    r.Integers[kNumberSlot[f]] = value;
    r.EmptyBits &= static_cast<std::uint8_t>(~Bit(f));
}

void TGoodsRows::PutDouble(TRow& r, TGoodsField f, double value) {
    r.Doubles[kNumberSlot[f]] = value;
    r.EmptyBits &= static_cast<std::uint8_t>(~Bit(f));
}

void TGoodsRows::PutText(TRow& r, TGoodsField f, std::string_view text) {
    if (text.empty()) {
        r.EmptyBits |= Bit(f);
        return;
    }
    const auto width = static_cast<std::size_t>(GoodsColumn(f).Width);
    // No more bytes than the width means no more characters: nothing to count.
    if (text.size() > width) text = Utf8Left(text, width);
    const auto length = static_cast<std::uint8_t>(text.size());
    if (f == gfNAME) {
        r.NameOffset = Store(text);
        r.NameLength = length;
    } else if (text.size() <= kKodInline) {
        std::memcpy(r.Kod, text.data(), text.size());
        r.KodLength = length;
    } else {
        std::uint32_t offset = Store(text);
        std::memcpy(r.Kod, &offset, sizeof offset);
        r.KodLength = length;
    }
    r.EmptyBits &= static_cast<std::uint8_t>(~Bit(f));
}

void TGoodsRows::SetInteger(int row, TGoodsField f, std::int32_t value) {
    ++Changes;
    TRow& r = At(row);
    if (IsInteger(f)) return PutInteger(r, f, value);
    if (IsText(f)) return PutText(r, f, IntegerToText(value));
    PutDouble(r, f, static_cast<double>(value));
}

void TGoodsRows::SetFloat(int row, TGoodsField f, double value) {
    ++Changes;
    TRow& r = At(row);
    if (IsInteger(f)) return PutInteger(r, f, RoundToInt32(value, f));
    if (IsText(f)) return PutText(r, f, FloatToGeneralText(value));
    PutDouble(r, f, value);
}

void TGoodsRows::SetText(int row, TGoodsField f, std::string_view text) {
    ++Changes;
    if (text.empty()) return SetEmpty(row, f);
    TRow& r = At(row);
    if (IsText(f)) return PutText(r, f, text);
    if (IsInteger(f)) {
        std::optional<std::int32_t> value = ParseIntegerText(text);
        if (!value) ThrowNotInteger(text, f);
        return PutInteger(r, f, *value);
    }
    std::optional<double> value = ParseDecimalText(text, '.');
    if (!value) ThrowNotFloat(text, f);
    PutDouble(r, f, *value);
}

void TGoodsRows::SetEmpty(int row, TGoodsField f) {
    ++Changes;
    At(row).EmptyBits |= Bit(f);
}
