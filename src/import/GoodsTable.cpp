#include "import/GoodsTable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "text/CodePage.h"
#include "text/FixedPoint.h"
#include "text/NumberText.h"

namespace {

constexpr const char* kNotEditing = "Dataset not in edit or insert mode";
constexpr const char* kClosed = "Cannot perform this operation on a closed dataset";
constexpr const char* kArenaFull = "Goods table text storage is full";

// Barcodes up to this many bytes (every generated one) live inside the row itself.
constexpr std::size_t kKodInline = 13;
// The arena is looked at for compaction only after it has grown past this size.
constexpr std::size_t kMinCompactCheck = std::size_t{1} << 20;
constexpr std::size_t kArenaLimit = std::numeric_limits<std::uint32_t>::max();

// One row: the numbers in place, NAME (and a long KOD) as offset/length into the table's text
// arena, a short KOD inline. Text lengths fit a byte: 50 characters of at most 4 UTF-8 bytes.
struct TRow {
    double Ostatok;
    double Rprice;
    std::int32_t Id;
    std::int32_t Category;
    std::int32_t Nds;
    std::uint32_t NameOffset;
    std::uint8_t NameLength;
    std::uint8_t KodLength;
    std::uint8_t EmptyBits;  // bit n: value of field n is empty
    char Kod[kKodInline];    // the text, or (longer than kKodInline) its arena offset
};
static_assert(sizeof(TRow) == 48, "a goods row must stay small");

constexpr std::uint8_t kAllEmpty = (1u << kGoodsFieldCount) - 1;

bool IsIntegerField(TGoodsField f) {
    return f == gfID || f == gfCATEGORY || f == gfNDS;
}
bool IsTextField(TGoodsField f) {
    return f == gfNAME || f == gfKOD;
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

const char* GoodsFieldName(TGoodsField field) {
    switch (field) {
        case gfID:
            return "ID";
        case gfNAME:
            return "NAME";
        case gfKOD:
            return "KOD";
        case gfOSTATOK:
            return "OSTATOK";
        case gfRPRICE:
            return "RPRICE";
        case gfCATEGORY:
            return "CATEGORY";
        case gfNDS:
            return "NDS";
    }
    return "";
}

int GoodsFieldWidth(TGoodsField field) {
    if (field == gfNAME) return 50;
    if (field == gfKOD) return 20;
    return 0;
}

struct TGoodsTable::TImpl {
    std::vector<TRow> Rows;
    std::string Arena;
    std::size_t NextCompactCheck = kMinCompactCheck;
    TGoodsState State = gsClosed;
    int Current = 0;  // 1-based; 0 only while there are no rows
    bool End = true;
    bool Changed = false;  // a value of the pending row was set
    int InsertedAt = 0;    // where the pending insertion went
    TRow Saved{};          // the row being edited as it was before EditRow
    int SuspendCount = 0;
    std::vector<IGoodsView*> Views;

    bool Pending() const { return State == gsInsert || State == gsEdit; }
    int Count() const { return static_cast<int>(Rows.size()); }

    template <class F>
    void Notify(F f) {
        if (SuspendCount != 0) return;
        for (std::size_t i = 0; i < Views.size(); ++i) f(Views[i]);
    }
    void NotifyCurrent() {
        Notify([&](IGoodsView* v) { v->GoodsCurrentChanged(Current); });
    }

    // ---- texts
    std::string_view NameOf(const TRow& r) const {
        return std::string_view(Arena).substr(r.NameOffset, r.NameLength);
    }
    std::string_view KodOf(const TRow& r) const {
        if (r.KodLength <= kKodInline) return std::string_view(r.Kod, r.KodLength);
        std::uint32_t offset;
        std::memcpy(&offset, r.Kod, sizeof offset);
        return std::string_view(Arena).substr(offset, r.KodLength);
    }
    std::string_view TextOf(const TRow& r, TGoodsField f) const {
        return f == gfNAME ? NameOf(r) : KodOf(r);
    }
    std::uint32_t Store(std::string_view text) {
        if (Arena.size() + text.size() > NextCompactCheck) MaybeCompact(text.size());
        if (Arena.size() + text.size() > kArenaLimit) throw EGoodsTable(kArenaFull);
        auto offset = static_cast<std::uint32_t>(Arena.size());
        Arena.append(text);
        return offset;
    }
    void SetTextValue(TRow& r, TGoodsField f, std::string_view text) {
        if (f == gfNAME) {
            r.NameOffset = Store(text);
            r.NameLength = static_cast<std::uint8_t>(text.size());
        } else if (text.size() <= kKodInline) {
            std::memcpy(r.Kod, text.data(), text.size());
            r.KodLength = static_cast<std::uint8_t>(text.size());
        } else {
            std::uint32_t offset = Store(text);
            std::memcpy(r.Kod, &offset, sizeof offset);
            r.KodLength = static_cast<std::uint8_t>(text.size());
        }
    }

    // Edits and deletions leave dead bytes behind; when they outweigh the live ones the arena
    // is rebuilt. Amortised O(1): a look is made only after the arena has doubled.
    std::size_t ArenaBytes(const TRow& r) const {
        std::size_t n = 0;
        if (!(r.EmptyBits & (1u << gfNAME))) n += r.NameLength;
        if (!(r.EmptyBits & (1u << gfKOD)) && r.KodLength > kKodInline) n += r.KodLength;
        return n;
    }
    void MaybeCompact(std::size_t incoming) {
        std::size_t live = incoming;
        for (const TRow& r : Rows) live += ArenaBytes(r);
        if (State == gsEdit) live += ArenaBytes(Saved);
        if (live * 2 <= Arena.size() || Arena.size() + incoming > kArenaLimit) Compact();
        // The next scan waits until at least as many bytes have been added as it will visit.
        NextCompactCheck = std::max({kMinCompactCheck, 2 * (Arena.size() + incoming),
                                     Arena.size() + Rows.size() * sizeof(TRow)});
    }
    void MoveText(std::string& to, TRow& r) const {
        if (!(r.EmptyBits & (1u << gfNAME))) {
            std::string_view name = NameOf(r);
            r.NameOffset = static_cast<std::uint32_t>(to.size());
            to.append(name);
        }
        if (!(r.EmptyBits & (1u << gfKOD)) && r.KodLength > kKodInline) {
            std::string_view kod = KodOf(r);
            auto offset = static_cast<std::uint32_t>(to.size());
            to.append(kod);
            std::memcpy(r.Kod, &offset, sizeof offset);
        }
    }
    void Compact() {
        std::string to;
        for (TRow& r : Rows) MoveText(to, r);
        if (State == gsEdit) MoveText(to, Saved);
        Arena.swap(to);
    }

    // ---- value access on one row
    bool IsEmpty(const TRow& r, TGoodsField f) const { return (r.EmptyBits >> f) & 1u; }
    std::int32_t IntOf(const TRow& r, TGoodsField f) const {
        return f == gfID ? r.Id : f == gfCATEGORY ? r.Category : r.Nds;
    }
    double FloatOf(const TRow& r, TGoodsField f) const {
        return f == gfOSTATOK ? r.Ostatok : r.Rprice;
    }
    std::string Text(const TRow& r, TGoodsField f) const {
        std::string out;
        AppendText(r, f, out);
        return out;
    }
    void AppendText(const TRow& r, TGoodsField f, std::string& out) const {
        if (IsEmpty(r, f)) return;
        if (IsTextField(f))
            out.append(TextOf(r, f));
        else if (IsIntegerField(f))
            AppendIntegerText(IntOf(r, f), out);
        else
            AppendFloatGeneralText(FloatOf(r, f), out);
    }
    double Float(const TRow& r, TGoodsField f) const {
        if (IsEmpty(r, f)) return 0;
        if (IsIntegerField(f)) return IntOf(r, f);
        if (!IsTextField(f)) return FloatOf(r, f);
        std::string_view text = TextOf(r, f);
        std::optional<double> value = ParseDecimalText(text);
        if (!value) ThrowNotFloat(text, f);
        return *value;
    }
    std::int32_t Integer(const TRow& r, TGoodsField f) const {
        if (IsEmpty(r, f)) return 0;
        if (IsIntegerField(f)) return IntOf(r, f);
        if (!IsTextField(f)) return RoundToInt32(FloatOf(r, f), f);
        std::string_view text = TextOf(r, f);
        std::optional<std::int32_t> value = ParseIntegerText(text);
        if (!value) ThrowNotInteger(text, f);
        return *value;
    }

    // ---- writing into the pending row
    TRow& PendingRow() {
        if (!Pending()) throw EGoodsTable(kNotEditing);
        return Rows[static_cast<std::size_t>(Current - 1)];
    }
    void Put(TRow& r, TGoodsField f, std::int32_t value) {
        if (f == gfID)
            r.Id = value;
        else if (f == gfCATEGORY)
            r.Category = value;
        else
            r.Nds = value;
        r.EmptyBits &= static_cast<std::uint8_t>(~(1u << f));
        Changed = true;
    }
    void Put(TRow& r, TGoodsField f, double value) {
        (f == gfOSTATOK ? r.Ostatok : r.Rprice) = value;
        r.EmptyBits &= static_cast<std::uint8_t>(~(1u << f));
        Changed = true;
    }
    void PutText(TRow& r, TGoodsField f, std::string_view text) {
        if (text.empty()) return PutEmpty(r, f);
        auto width = static_cast<std::size_t>(GoodsFieldWidth(f));
        // No more bytes than the width means no more characters: nothing to count.
        SetTextValue(r, f, text.size() <= width ? text : Utf8Left(text, width));
        r.EmptyBits &= static_cast<std::uint8_t>(~(1u << f));
        Changed = true;
    }
    void PutEmpty(TRow& r, TGoodsField f) {
        r.EmptyBits |= static_cast<std::uint8_t>(1u << f);
        Changed = true;
    }

    // ---- row operations
    void CheckOpen() const {
        if (State == gsClosed) throw EGoodsTable(kClosed);
    }
    // What a move does to a pending row: commit it when changed, abandon it otherwise.
    void FinishPending() {
        if (!Pending()) return;
        if (Changed)
            Post();
        else
            Cancel();
    }
    void Post() {
        if (!Pending()) return;
        State = gsBrowse;
        Changed = false;
        Notify([&](IGoodsView* v) { v->GoodsRowChanged(Current); });
        NotifyCurrent();
    }
    void Cancel() {
        if (State == gsEdit) {
            Rows[static_cast<std::size_t>(Current - 1)] = Saved;
            State = gsBrowse;
            Changed = false;
            Notify([&](IGoodsView* v) { v->GoodsRowChanged(Current); });
            NotifyCurrent();
        } else if (State == gsInsert) {
            Remove(Current, [&] {
                State = gsBrowse;
                Changed = false;
                // Back to the row that was current before the insertion.
                Current = std::min(InsertedAt, Count());
                End = Rows.empty();
            });
            NotifyCurrent();
        }
    }
    // Removes `row`; `settle` brings the state and the current row in line before the views hear
    // of the end of the removal, so a view acting on that news finds a consistent table.
    template <typename TSettle>
    void Remove(int row, TSettle settle) {
        Notify([&](IGoodsView* v) { v->GoodsBeginRemove(row); });
        Rows.erase(Rows.begin() + (row - 1));
        settle();
        Notify([&](IGoodsView* v) { v->GoodsEndRemove(); });
    }
    void Insert(int row) {
        Notify([&](IGoodsView* v) { v->GoodsBeginInsert(row); });
        TRow r{};
        r.EmptyBits = kAllEmpty;
        Rows.insert(Rows.begin() + (row - 1), r);
        Notify([&](IGoodsView* v) { v->GoodsEndInsert(); });
        Current = row;
        InsertedAt = row;
        State = gsInsert;
        Changed = false;
        End = false;
        NotifyCurrent();
    }
    // Makes `row` current (browsing); tells the views when something changed.
    void GoTo(int row, bool end, int oldRow, TGoodsState oldState) {
        Current = row;
        End = end;
        if (Current != oldRow || State != oldState) NotifyCurrent();
    }
};

TGoodsTable::TGoodsTable() : Impl(std::make_unique<TImpl>()) {}

TGoodsTable::~TGoodsTable() = default;

void TGoodsTable::OpenTable() {
    if (Impl->State != gsClosed) return;
    Impl->State = gsBrowse;
    Impl->Current = 0;
    Impl->End = true;
    Impl->Notify([](IGoodsView* v) { v->GoodsRefreshAll(); });
}

bool TGoodsTable::IsOpen() const {
    return Impl->State != gsClosed;
}

TGoodsState TGoodsTable::State() const {
    return Impl->State;
}

void TGoodsTable::Reserve(std::size_t rows, std::size_t textBytes) {
    Impl->Rows.reserve(Impl->Rows.size() + rows);
    if (Impl->Arena.size() + textBytes <= kArenaLimit) {
        Impl->Arena.reserve(Impl->Arena.size() + textBytes);
    }
}

void TGoodsTable::ClearRows() {
    if (Impl->State == gsClosed) return;
    Impl->FinishPending();
    Impl->Rows.clear();
    Impl->Arena.clear();
    Impl->NextCompactCheck = kMinCompactCheck;
    Impl->Current = 0;
    Impl->End = true;
    Impl->Notify([](IGoodsView* v) { v->GoodsRefreshAll(); });
}

void TGoodsTable::AppendRow() {
    Impl->CheckOpen();
    Impl->FinishPending();
    Impl->Insert(Impl->Count() + 1);
}

void TGoodsTable::InsertRow() {
    Impl->CheckOpen();
    Impl->FinishPending();
    Impl->Insert(Impl->Rows.empty() ? 1 : Impl->Current);
}

void TGoodsTable::DeleteRow() {
    Impl->CheckOpen();
    if (Impl->State == gsInsert) return Impl->Cancel();
    // Deleting a row being edited drops its changes first, as data-aware tables do.
    if (Impl->State == gsEdit) Impl->Cancel();
    if (Impl->Rows.empty()) return;
    Impl->Remove(Impl->Current, [this] {
        Impl->Current = std::min(Impl->Current, Impl->Count());
        Impl->End = Impl->Rows.empty();
    });
    Impl->NotifyCurrent();
}

void TGoodsTable::EditRow() {
    Impl->CheckOpen();
    if (Impl->Pending()) return;
    // Editing an empty table starts a new row, as a data-aware grid does when typing into it.
    if (Impl->Rows.empty()) return Impl->Insert(1);
    Impl->Saved = Impl->Rows[static_cast<std::size_t>(Impl->Current - 1)];
    Impl->State = gsEdit;
    Impl->Changed = false;
    Impl->NotifyCurrent();
}

void TGoodsTable::PostRow() {
    Impl->Post();
}

void TGoodsTable::CancelRow() {
    Impl->Cancel();
}

void TGoodsTable::MoveFirst() {
    Impl->CheckOpen();
    int oldRow = Impl->Current;
    TGoodsState oldState = Impl->State;
    Impl->FinishPending();
    if (Impl->Rows.empty()) return Impl->GoTo(0, true, oldRow, oldState);
    Impl->GoTo(1, false, oldRow, oldState);
}

void TGoodsTable::MoveNext() {
    Impl->CheckOpen();
    int oldRow = Impl->Current;
    TGoodsState oldState = Impl->State;
    Impl->FinishPending();
    if (Impl->Current < Impl->Count())
        return Impl->GoTo(Impl->Current + 1, false, oldRow, oldState);
    Impl->GoTo(Impl->Current, true, oldRow, oldState);
}

bool TGoodsTable::AtEnd() const {
    return Impl->End;
}

int TGoodsTable::RowCount() const {
    return Impl->Count();
}

int TGoodsTable::RowNumber() const {
    return Impl->Current;
}

void TGoodsTable::SetRowNumber(int row) {
    if (row < 1 || row > Impl->Count()) return;
    int oldRow = Impl->Current;
    TGoodsState oldState = Impl->State;
    // Callers browse; a pending row is settled first, as by a move.
    Impl->FinishPending();
    if (row > Impl->Count()) row = Impl->Count();
    if (row < 1) return Impl->GoTo(0, true, oldRow, oldState);
    Impl->GoTo(row, false, oldRow, oldState);
}

bool TGoodsTable::Modified() const {
    return Impl->Pending() && Impl->Changed;
}

void TGoodsTable::SuspendViews() {
    ++Impl->SuspendCount;
}

void TGoodsTable::ResumeViews() {
    if (Impl->SuspendCount == 0) return;
    if (--Impl->SuspendCount == 0) Impl->Notify([](IGoodsView* v) { v->GoodsRefreshAll(); });
}

void TGoodsTable::AttachView(IGoodsView* view) {
    auto& views = Impl->Views;
    if (view != nullptr && std::find(views.begin(), views.end(), view) == views.end()) {
        views.push_back(view);
    }
}

void TGoodsTable::DetachView(IGoodsView* view) {
    auto& views = Impl->Views;
    views.erase(std::remove(views.begin(), views.end(), view), views.end());
}

bool TGoodsTable::IsEmpty(TGoodsField field) const {
    return IsEmptyAt(Impl->Current, field);
}

std::int32_t TGoodsTable::AsInteger(TGoodsField field) const {
    if (Impl->Current == 0) return 0;
    return Impl->Integer(Impl->Rows[static_cast<std::size_t>(Impl->Current - 1)], field);
}

double TGoodsTable::AsFloat(TGoodsField field) const {
    return AsFloatAt(Impl->Current, field);
}

std::int64_t TGoodsTable::AsAmount(TGoodsField field) const {
    if (IsEmpty(field)) return 0;
    return FloatToAmount(AsFloat(field));
}

std::string TGoodsTable::AsText(TGoodsField field) const {
    return AsTextAt(Impl->Current, field);
}

void TGoodsTable::AsText(TGoodsField field, std::string& out) const {
    if (Impl->Current < 1 || Impl->Current > Impl->Count()) return;
    Impl->AppendText(Impl->Rows[static_cast<std::size_t>(Impl->Current - 1)], field, out);
}

bool TGoodsTable::IsEmptyAt(int row, TGoodsField field) const {
    if (row < 1 || row > Impl->Count()) return true;
    return Impl->IsEmpty(Impl->Rows[static_cast<std::size_t>(row - 1)], field);
}

std::string TGoodsTable::AsTextAt(int row, TGoodsField field) const {
    if (row < 1 || row > Impl->Count()) return std::string();
    return Impl->Text(Impl->Rows[static_cast<std::size_t>(row - 1)], field);
}

double TGoodsTable::AsFloatAt(int row, TGoodsField field) const {
    if (row < 1 || row > Impl->Count()) return 0;
    return Impl->Float(Impl->Rows[static_cast<std::size_t>(row - 1)], field);
}

void TGoodsTable::SetInteger(TGoodsField field, std::int32_t value) {
    TRow& r = Impl->PendingRow();
    if (IsIntegerField(field)) return Impl->Put(r, field, value);
    if (IsTextField(field)) return Impl->PutText(r, field, IntegerToText(value));
    Impl->Put(r, field, static_cast<double>(value));
}

void TGoodsTable::SetFloat(TGoodsField field, double value) {
    TRow& r = Impl->PendingRow();
    if (IsIntegerField(field)) return Impl->Put(r, field, RoundToInt32(value, field));
    if (IsTextField(field)) return Impl->PutText(r, field, FloatToGeneralText(value));
    Impl->Put(r, field, value);
}

void TGoodsTable::SetAmount(TGoodsField field, std::int64_t amount) {
    SetFloat(field, AmountToFloat(amount));
}

void TGoodsTable::SetText(TGoodsField field, std::string_view text) {
    TRow& r = Impl->PendingRow();
    if (text.empty()) return Impl->PutEmpty(r, field);
    if (IsTextField(field)) return Impl->PutText(r, field, text);
    if (IsIntegerField(field)) {
        std::optional<std::int32_t> value = ParseIntegerText(text);
        if (!value) ThrowNotInteger(text, field);
        return Impl->Put(r, field, *value);
    }
    std::optional<double> value = ParseDecimalText(text, '.');
    if (!value) ThrowNotFloat(text, field);
    Impl->Put(r, field, *value);
}

void TGoodsTable::SetEmpty(TGoodsField field) {
    Impl->PutEmpty(Impl->PendingRow(), field);
}
