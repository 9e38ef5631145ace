#include "import/GoodsTable.h"

#include <algorithm>

#include "import/GoodsRows.h"
#include "text/FixedPoint.h"

namespace {

constexpr const char* kNotEditing = "Dataset not in edit or insert mode";
constexpr const char* kClosed = "Cannot perform this operation on a closed dataset";

}  // namespace

// The row states, the current row and the views; the values live in `Rows`.
struct TGoodsTable::TImpl {
    TGoodsRows Rows;
    TGoodsState State = gsClosed;
    int Current = 0;  // 1-based; 0 only while there are no rows
    bool End = true;
    bool Changed = false;  // a value of the pending row was set
    int InsertedAt = 0;    // where the pending insertion went
    int SuspendCount = 0;
    std::vector<IGoodsView*> Views;
    IGoodsChangeLog* Log = nullptr;

    bool Pending() const { return State == gsInsert || State == gsEdit; }
    int Count() const { return Rows.Count(); }
    bool Exists(int row) const { return row >= 1 && row <= Count(); }

    template <class F>
    void Notify(F f) {
        if (SuspendCount != 0) return;
        for (std::size_t i = 0; i < Views.size(); ++i) f(Views[i]);
    }
    void NotifyCurrent() {
        Notify([&](IGoodsView* v) { v->GoodsCurrentChanged(Current); });
    }

    // The row values are set in; only while inserting or editing.
    int PendingRow() const {
        if (!Pending()) throw EGoodsTable(kNotEditing);
        return Current;
    }
    // Runs a write into the pending row; a write that throws leaves the row unchanged.
    template <class F>
    void Write(F write) {
        write(PendingRow());
        Changed = true;
    }

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
        const bool inserted = State == gsInsert;
        if (State == gsEdit) Rows.Forget();
        State = gsBrowse;
        Changed = false;
        if (Log) Log->GoodsPosted(Current, inserted);
        Notify([&](IGoodsView* v) { v->GoodsRowChanged(Current); });
        NotifyCurrent();
    }
    void Cancel() {
        if (State == gsEdit) {
            Rows.Restore(Current);
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
                End = Count() == 0;
            });
            NotifyCurrent();
        }
    }
    // Removes `row`; `settle` brings the state and the current row in line before the views hear
    // of the end of the removal, so a view acting on that news finds a consistent table.
    template <typename TSettle>
    void Remove(int row, TSettle settle) {
        Notify([&](IGoodsView* v) { v->GoodsBeginRemove(row); });
        Rows.Erase(row);
        settle();
        Notify([&](IGoodsView* v) { v->GoodsEndRemove(); });
    }
    void Insert(int row) {
        Notify([&](IGoodsView* v) { v->GoodsBeginInsert(row); });
        Rows.InsertEmpty(row);
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
    Impl->Rows.Reserve(rows, textBytes);
}

void TGoodsTable::ClearRows() {
    if (Impl->State == gsClosed) return;
    Impl->FinishPending();
    Impl->Rows.Clear();
    if (Impl->Log) Impl->Log->GoodsCleared();
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
    Impl->Insert(Impl->Count() == 0 ? 1 : Impl->Current);
}

void TGoodsTable::DeleteRow() {
    Impl->CheckOpen();
    if (Impl->State == gsInsert) return Impl->Cancel();
    // Deleting a row being edited drops its changes first, as data-aware tables do.
    if (Impl->State == gsEdit) Impl->Cancel();
    if (Impl->Count() == 0) return;
    if (Impl->Log) Impl->Log->GoodsDeleting(Impl->Current);
    Impl->Remove(Impl->Current, [this] {
        Impl->Current = std::min(Impl->Current, Impl->Count());
        Impl->End = Impl->Count() == 0;
    });
    Impl->NotifyCurrent();
}

void TGoodsTable::EditRow() {
    Impl->CheckOpen();
    if (Impl->Pending()) return;
    // Editing an empty table starts a new row, as a data-aware grid does when typing into it.
    if (Impl->Count() == 0) return Impl->Insert(1);
    Impl->Rows.Save(Impl->Current);
    if (Impl->Log) Impl->Log->GoodsEditStarted(Impl->Current);
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
    if (Impl->Count() == 0) return Impl->GoTo(0, true, oldRow, oldState);
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
    if (!Impl->Exists(row)) return;
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

std::uint64_t TGoodsTable::ChangeCount() const {
    return Impl->Rows.ChangeCount();
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

void TGoodsTable::AttachChangeLog(IGoodsChangeLog* log) {
    Impl->Log = log;
}

void TGoodsTable::DetachChangeLog(IGoodsChangeLog* log) {
    if (Impl->Log == log) Impl->Log = nullptr;
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
    return Impl->Rows.AsInteger(Impl->Current, field);
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
    if (!Impl->Exists(Impl->Current)) return;
    Impl->Rows.AppendText(Impl->Current, field, out);
}

bool TGoodsTable::IsEmptyAt(int row, TGoodsField field) const {
    if (!Impl->Exists(row)) return true;
    return Impl->Rows.IsEmpty(row, field);
}

std::string TGoodsTable::AsTextAt(int row, TGoodsField field) const {
    std::string out;
    if (Impl->Exists(row)) Impl->Rows.AppendText(row, field, out);
    return out;
}

void TGoodsTable::AppendTextAt(int row, TGoodsField field, std::string& out) const {
    if (Impl->Exists(row)) Impl->Rows.AppendText(row, field, out);
}

double TGoodsTable::AsFloatAt(int row, TGoodsField field) const {
    if (!Impl->Exists(row)) return 0;
    return Impl->Rows.AsFloat(row, field);
}

std::int32_t TGoodsTable::AsIntegerAt(int row, TGoodsField field) const {
    if (!Impl->Exists(row)) return 0;
    return Impl->Rows.AsInteger(row, field);
}

std::string_view TGoodsTable::TextViewAt(int row, TGoodsField field) const {
    if (!Impl->Exists(row)) return {};
    return Impl->Rows.TextView(row, field);
}

void TGoodsTable::SetInteger(TGoodsField field, std::int32_t value) {
    Impl->Write([&](int row) { Impl->Rows.SetInteger(row, field, value); });
}

void TGoodsTable::SetFloat(TGoodsField field, double value) {
    Impl->Write([&](int row) { Impl->Rows.SetFloat(row, field, value); });
}

void TGoodsTable::SetAmount(TGoodsField field, std::int64_t amount) {
    SetFloat(field, AmountToFloat(amount));
}

void TGoodsTable::SetText(TGoodsField field, std::string_view text) {
    Impl->Write([&](int row) { Impl->Rows.SetText(row, field, text); });
}

void TGoodsTable::SetEmpty(TGoodsField field) {
    Impl->Write([&](int row) { Impl->Rows.SetEmpty(row, field); });
}

TGoodsRowValues TGoodsTable::RowValuesAt(int row) const {
    TGoodsRowValues values;
    if (!Impl->Exists(row)) return values;
    for (int f = 0; f < kGoodsFieldCount; ++f) {
        const auto field = static_cast<TGoodsField>(f);
        if (Impl->Rows.IsEmpty(row, field)) continue;
        switch (GoodsColumn(field).Kind) {
            case gkInteger:
                values[f] = Impl->Rows.AsInteger(row, field);
                break;
            case gkText:
                values[f] = std::string(Impl->Rows.TextView(row, field));
                break;
            default:
                values[f] = Impl->Rows.AsFloat(row, field);
                break;
        }
    }
    return values;
}

void TGoodsTable::SetRowValues(const TGoodsRowValues& values) {
    Impl->Write([&](int row) {
        for (int f = 0; f < kGoodsFieldCount; ++f) {
            const auto field = static_cast<TGoodsField>(f);
            const TGoodsValue& value = values[f];
            if (const auto* integer = std::get_if<std::int32_t>(&value)) {
                Impl->Rows.SetInteger(row, field, *integer);
            } else if (const auto* number = std::get_if<double>(&value)) {
                Impl->Rows.SetFloat(row, field, *number);
            } else if (const auto* text = std::get_if<std::string>(&value)) {
                Impl->Rows.SetText(row, field, *text);
            } else {
                Impl->Rows.SetEmpty(row, field);
            }
        }
    });
}
