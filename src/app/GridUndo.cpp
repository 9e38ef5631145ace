#include "app/GridUndo.h"

#include <utility>

#include "text/Defer.h"

TGridUndo::TGridUndo(TGoodsTable& table) : Goods(table) {
    Goods.AttachChangeLog(this);
}

TGridUndo::~TGridUndo() {
    Goods.DetachChangeLog(this);
}

void TGridUndo::Clear() {
    Done.clear();
    Undone.clear();
    EditBefore.reset();
}

void TGridUndo::GoodsEditStarted(int row) {
    if (Applying || Paused > 0) return;
    EditBefore = Goods.RowValuesAt(row);
    EditRow = row;
}

void TGridUndo::GoodsPosted(int row, bool inserted) {
    if (Applying || Paused > 0) return;
    if (inserted) {
        Record(TStep{skInsert, row, {}, Goods.RowValuesAt(row)});
        return;
    }
    if (!EditBefore || EditRow != row) return;
    TGoodsRowValues after = Goods.RowValuesAt(row);
    // A row posted as it was changed nothing to take back.
    if (after != *EditBefore) Record(TStep{skEdit, row, std::move(*EditBefore), std::move(after)});
    EditBefore.reset();
}

void TGridUndo::GoodsDeleting(int row) {
    if (Applying || Paused > 0) return;
    Record(TStep{skDelete, row, {}, Goods.RowValuesAt(row)});
}

void TGridUndo::Record(TStep step) {
    Undone.clear();
    Done.push_back(std::move(step));
}

std::optional<TUndoPlace> TGridUndo::Undo() {
    return Replay(Done, Undone, true);
}

std::optional<TUndoPlace> TGridUndo::Redo() {
    return Replay(Undone, Done, false);
}

std::optional<TUndoPlace> TGridUndo::Replay(std::vector<TStep>& from, std::vector<TStep>& to,
                                            bool back) {
    if (from.empty() || Goods.State() != gsBrowse) return std::nullopt;
    TStep step = std::move(from.back());
    from.pop_back();
    std::optional<TUndoPlace> place = Apply(step, back);
    if (place) to.push_back(std::move(step));
    return place;
}

std::optional<TUndoPlace> TGridUndo::Apply(const TStep& step, bool back) {
    // The steps replay in order over the table they left, so their rows are where they were;
    // a table that no longer matches (a change no step saw) ends the history.
    const int rows = Goods.RowCount();
    const bool puts = (step.Kind == skDelete) == back;
    const bool fits = step.Kind == skEdit ? step.Row <= rows
                      : puts              ? step.Row <= rows + 1
                                          : step.Row <= rows;
    if (step.Row < 1 || !fits) {
        Clear();
        return std::nullopt;
    }
    Applying = true;
    TDefer applied([this] { Applying = false; });
    if (step.Kind == skEdit) {
        Goods.SetRowNumber(step.Row);
        Goods.EditRow();
        Goods.SetRowValues(back ? step.Before : step.After);
        Goods.PostRow();
        int column = 0;
        while (column < kGoodsFieldCount && step.Before[column] == step.After[column]) ++column;
        return TUndoPlace{step.Row, column < kGoodsFieldCount ? column : -1};
    }
    if (puts) {
        PutRow(step.Row, step.After);
        return TUndoPlace{step.Row, -1};
    }
    TakeRow(step.Row);
    return TUndoPlace{Goods.RowNumber(), -1};
}

void TGridUndo::PutRow(int row, const TGoodsRowValues& values) {
    if (row <= Goods.RowCount()) {
        Goods.SetRowNumber(row);
        Goods.InsertRow();
    } else {
        Goods.AppendRow();
    }
    Goods.SetRowValues(values);
    Goods.PostRow();
}

void TGridUndo::TakeRow(int row) {
    Goods.SetRowNumber(row);
    Goods.DeleteRow();
}
