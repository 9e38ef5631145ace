#include "app/GoodsGridController.h"

#include <algorithm>

namespace {

TGoodsField FieldOf(int column) {
    return static_cast<TGoodsField>(column);
}

bool Plain(TGridKeyPress press) {
    return !press.Shift && !press.Ctrl && !press.Alt;
}

bool CtrlOnly(TGridKeyPress press) {
    return press.Ctrl && !press.Shift && !press.Alt;
}

// A clipboard's text up to its first line end.
std::string FirstLine(const std::string& text) {
    return text.substr(0, text.find_first_of("\r\n"));
}

bool IsMove(TGridKey key) {
    switch (key) {
        case grUp:
        case grDown:
        case grPageUp:
        case grPageDown:
        case grLeft:
        case grRight:
        case grHome:
        case grEnd:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::optional<TGridCell> CellMove(TGridKeyPress press, TGridCell at, int rows, int columns,
                                  int page) {
    if (rows <= 0 || columns <= 0 || press.Alt || !IsMove(press.Key)) return std::nullopt;
    // Without a current cell every move starts from the first one.
    const bool none = at.Row < 0;
    const int row = std::clamp(at.Row, 0, rows - 1);
    const int column = std::clamp(at.Column, 0, columns - 1);
    page = std::max(page, 1);
    switch (press.Key) {
        case grUp:
            return TGridCell{std::max(row - 1, 0), column};
        case grDown:
            return TGridCell{none ? 0 : std::min(row + 1, rows - 1), column};
        case grPageUp:
            return TGridCell{std::max(row - page, 0), column};
        case grPageDown:
            return TGridCell{std::min(row + page, rows - 1), column};
        case grLeft:
            return TGridCell{row, std::max(column - 1, 0)};
        case grRight:
            return TGridCell{row, std::min(column + 1, columns - 1)};
        case grHome:
            return press.Ctrl ? TGridCell{0, column} : TGridCell{row, 0};
        default:  // grEnd
            return press.Ctrl ? TGridCell{rows - 1, column} : TGridCell{row, columns - 1};
    }
}

TGoodsGridController::TGoodsGridController(TGoodsTable& table, const TCurrencyFormat& currency,
                                           IShell& shell)
    : Goods(table), Currency(currency), Front(shell), Undo(table) {
    ShownOpen = Goods.IsOpen();
    MarkedRow = Goods.RowNumber();
    Goods.AttachView(this);
}

TGoodsGridController::~TGoodsGridController() {
    Goods.DetachView(this);
}

int TGoodsGridController::RowCount() const {
    return ShownOpen ? Goods.RowCount() : 0;
}

int TGoodsGridController::ColumnCount() const {
    return ShownOpen ? kGoodsFieldCount : 0;
}

std::string TGoodsGridController::CellText(int row, int column) const {
    const TGoodsField field = FieldOf(column);
    if (GoodsColumn(field).Kind == gkMoney && !Goods.IsEmptyAt(row + 1, field)) {
        return Currency.Format(Goods.AsFloatAt(row + 1, field));
    }
    return Goods.AsTextAt(row + 1, field);
}

std::string TGoodsGridController::CellEditText(int row, int column) const {
    const TGoodsField field = FieldOf(column);
    if (GoodsColumn(field).Kind == gkMoney && !Goods.IsEmptyAt(row + 1, field)) {
        return Currency.EditText(Goods.AsFloatAt(row + 1, field));
    }
    return Goods.AsTextAt(row + 1, field);
}

std::string TGoodsGridController::RowMarker(int row) const {
    if (row + 1 != Goods.RowNumber()) return {};
    switch (Goods.State()) {
        case gsEdit:
            return kMarkerEdit;
        case gsInsert:
            return kMarkerInsert;
        default:
            return kMarkerBrowse;
    }
}

int TGoodsGridController::EditorMaxLength(int column) {
    const TGoodsColumn& facts = GoodsColumn(FieldOf(column));
    return facts.Kind == gkText ? facts.Width : 0;
}

int TGoodsGridController::ColumnWidth(int column, int averageCharWidth,
                                      const std::function<int(std::string_view)>& textWidth,
                                      int cellMargins) {
    const TGoodsColumn& facts = GoodsColumn(FieldOf(column));
    return std::max(facts.ViewChars * averageCharWidth, textWidth(facts.Name)) + cellMargins;
}

bool TGoodsGridController::CanEdit(int row, int column) const {
    return Goods.IsOpen() && row >= 0 && row < RowCount() && column >= 0 && column < ColumnCount();
}

void TGoodsGridController::EditorOpened(int row, int column) {
    Open = TOpenCell{row, column, CellEditText(row, column), false};
    if (Goods.State() != gsBrowse) return;
    RunHandler(Front, [&] {
        Goods.SetRowNumber(row + 1);
        Goods.EditRow();
    });
}

void TGoodsGridController::EditorTextChanged(const std::string& text, bool changedByOperator) {
    if (!Open) return;
    Open->Text = text;
    Open->Changed = changedByOperator;
}

bool TGoodsGridController::CommitEditor() {
    if (!Open) return true;
    // A store that shows a box can be reached again from inside the box: that one only closes.
    if (Open->Changed && !Committing) {
        const TOpenCell cell = *Open;
        Committing = true;
        const bool stored = RunHandler(Front, [&] {
            // A row left browsing by someone else's move is taken into editing again.
            if (Goods.State() == gsBrowse) {
                Goods.SetRowNumber(cell.Row + 1);
                Goods.EditRow();
            }
            Goods.SetText(FieldOf(cell.Column), cell.Text);
        });
        Committing = false;
        if (!stored) {
            if (Open && View) View->FocusEditor();
            return false;
        }
        if (View) View->RowChanged(cell.Row);
    }
    Open.reset();
    if (View) View->CloseEditor();
    return true;
}

bool TGoodsGridController::FinishEditing() {
    if (!CommitEditor()) return false;
    DropUntouchedRow();
    return true;
}

bool TGoodsGridController::ShowRow(int row) {
    if (!FinishEditing() || row < 1 || row > Goods.RowCount()) return false;
    Goods.SetRowNumber(row);
    return true;
}

bool TGoodsGridController::UntouchedNewRow() const {
    return Goods.State() == gsInsert && !Goods.Modified();
}

void TGoodsGridController::DropUntouchedRow() {
    if (UntouchedNewRow()) Goods.CancelRow();
}

void TGoodsGridController::AppendAtEnd() {
    // Unless the last row is itself a new untouched one.
    RunHandler(Front, [&] {
        if (!UntouchedNewRow()) Goods.AppendRow();
    });
}

TKeyOutcome TGoodsGridController::GridKey(TGridKeyPress press) {
    if (!Goods.IsOpen()) return koToolkit;
    const int current = View ? View->CurrentRow() : -1;
    switch (press.Key) {
        case grInsert:
            if (!Plain(press)) return koToolkit;
            RunHandler(Front, [&] { Goods.InsertRow(); });
            return koDone;
        case grDelete:
            if (!press.Ctrl || press.Shift || press.Alt) return koToolkit;
            RunHandler(Front, [&] {
                if (Goods.RowCount() == 0) return;
                if (!Front.Confirm(kConfirmTitle, kConfirmDelete)) return;
                Goods.DeleteRow();
            });
            return koDone;
        case grDown: {
            const int rows = RowCount();
            if (!Plain(press) || (rows > 0 && current >= 0 && current < rows - 1)) {
                return MoveKey(press);
            }
            AppendAtEnd();
            return koDone;
        }
        case grTab:
        case grBacktab:
            return TabKey(press);
        case grEnter:
        case grF2:
            return current >= 0 ? koEdit : koDone;
        case grZ:
            if (!press.Ctrl || press.Alt) return koToolkit;
            return UndoKey(press.Shift);
        case grY:
            return CtrlOnly(press) ? UndoKey(true) : koToolkit;
        case grC:
            if (!CtrlOnly(press)) return koToolkit;
            CopyCell();
            return koDone;
        case grV:
            if (!CtrlOnly(press)) return koToolkit;
            PasteCell();
            return koDone;
        default:
            return IsMove(press.Key) ? MoveKey(press) : koToolkit;
    }
}

TKeyOutcome TGoodsGridController::UndoKey(bool redo) {
    RunHandler(Front, [&] {
        if (Goods.State() == gsInsert || Goods.State() == gsEdit) {
            // Changes not yet posted are what the first Ctrl+Z takes back; redoing over them
            // would post them first and so drop the steps to redo.
            const bool changed = Goods.Modified();
            if (changed && redo) return;
            Goods.CancelRow();
            if (changed) return;
        }
        const std::optional<TUndoPlace> place = redo ? Undo.Redo() : Undo.Undo();
        if (!place || place->Row < 1) return;
        // The operator sees what changed: its row, at its first changed cell.
        Goods.SetRowNumber(place->Row);
        if (View && place->Column >= 0) View->SetCurrentCell(place->Row - 1, place->Column);
    });
    return koDone;
}

void TGoodsGridController::CopyCell() {
    if (!View || !CanEdit(View->CurrentRow(), View->CurrentColumn())) return;
    Front.SetClipboardText(CellEditText(View->CurrentRow(), View->CurrentColumn()));
}

void TGoodsGridController::PasteCell() {
    if (!View) return;
    const int row = View->CurrentRow();
    const int column = View->CurrentColumn();
    const std::optional<std::string> clipboard = Front.ClipboardText();
    // Nothing to paste is no reason to empty the cell.
    if (!CanEdit(row, column) || !clipboard) return;
    const std::string text = FirstLine(*clipboard);
    const bool stored = RunHandler(Front, [&] {
        const bool started = Goods.State() == gsBrowse;
        if (started) {
            Goods.SetRowNumber(row + 1);
            Goods.EditRow();
        }
        try {
            Goods.SetText(FieldOf(column), text);
        } catch (...) {
            // A refused text leaves the row as it was, not in editing for nothing.
            if (started && !Goods.Modified()) Goods.CancelRow();
            throw;
        }
    });
    if (stored && View) View->RowChanged(row);
}

TKeyOutcome TGoodsGridController::MoveKey(TGridKeyPress press) {
    if (!View) return koDone;
    const std::optional<TGridCell> to =
        CellMove(press, TGridCell{View->CurrentRow(), View->CurrentColumn()}, RowCount(),
                 ColumnCount(), View->PageRows());
    if (to) View->SetCurrentCell(to->Row, to->Column);
    return koDone;
}

TKeyOutcome TGoodsGridController::TabKey(TGridKeyPress press) {
    if (press.Ctrl || press.Alt || !View) return koToolkit;
    const int rows = RowCount();
    const int columns = ColumnCount();
    const int row = View->CurrentRow();
    const int column = View->CurrentColumn();
    if (row < 0 || column < 0 || rows == 0 || columns == 0) return koToolkit;
    // Tab runs across a row and on to the next one, Shift+Tab back. Past the last cell Tab acts as
    // Down from the last row (a new row, entered at its first cell); before the first cell
    // Shift+Tab stays: wrapping would jump across the whole list.
    if (press.Key == grTab && !press.Shift) {
        if (row == rows - 1 && column == columns - 1) {
            AppendAtEnd();
            if (RowCount() > rows) View->SetCurrentCell(Goods.RowNumber() - 1, 0);
        } else if (column + 1 < columns) {
            View->SetCurrentCell(row, column + 1);
        } else {
            View->SetCurrentCell(row + 1, 0);
        }
    } else if (column > 0) {
        View->SetCurrentCell(row, column - 1);
    } else if (row > 0) {
        View->SetCurrentCell(row - 1, columns - 1);
    }
    return koDone;
}

TKeyOutcome TGoodsGridController::EditorKey(TGridKeyPress press) {
    switch (press.Key) {
        case grTab:
        case grBacktab:
        case grUp:
        case grDown:
        case grPageUp:
        case grPageDown: {
            if (!CommitEditor()) return koDone;
            const TKeyOutcome then = GridKey(press);
            return then == koToolkit ? koGridToolkit : then;
        }
        case grEnter:
            CommitEditor();
            return koDone;
        case grEscape:
            return koCloseViewer;
        default:
            return koToolkit;
    }
}

bool TGoodsGridController::Clicked() {
    return CommitEditor();
}

void TGoodsGridController::CurrentCellMoved(int row) {
    if (Syncing || ChangeDepth > 0 || row < 0 || !Goods.IsOpen()) return;
    int target = row + 1;
    if (target == Goods.RowNumber()) return;
    RunHandler(Front, [&] {
        // An untouched new row above the target vanishes when it is left.
        if (UntouchedNewRow() && target > Goods.RowNumber()) --target;
        Goods.SetRowNumber(target);
    });
}

void TGoodsGridController::FocusLeft() {
    // A box of the store itself took the keyboard: that settles nothing.
    if (Committing) return;
    if (!CommitEditor()) return;
    RunHandler(Front, [&] { DropUntouchedRow(); });
}

void TGoodsGridController::SyncCurrent(int row) {
    if (!View || row < 1 || row > RowCount()) return;
    const int current = View->CurrentRow();
    if (current == row - 1) return;
    Syncing = true;
    View->SetCurrentCell(row - 1, current >= 0 ? View->CurrentColumn() : 0);
    Syncing = false;
}

void TGoodsGridController::GoodsBeginInsert(int row) {
    ++ChangeDepth;
    if (Open && Open->Row >= row - 1) ++Open->Row;
    if (View) View->BeginInsertRow(row - 1);
}

void TGoodsGridController::GoodsEndInsert() {
    if (View) View->EndInsertRow();
    --ChangeDepth;
}

void TGoodsGridController::GoodsBeginRemove(int row) {
    ++ChangeDepth;
    // An editor on the row that goes goes with it.
    if (Open && Open->Row == row - 1) {
        Open.reset();
    } else if (Open && Open->Row > row - 1) {
        --Open->Row;
    }
    if (View) View->BeginRemoveRow(row - 1);
}

void TGoodsGridController::GoodsEndRemove() {
    if (View) View->EndRemoveRow();
    --ChangeDepth;
}

void TGoodsGridController::GoodsRowChanged(int row) {
    if (View) View->RowChanged(row - 1);
}

void TGoodsGridController::GoodsCurrentChanged(int row) {
    const int old = MarkedRow;
    MarkedRow = row;
    const int count = Goods.RowCount();
    if (View && old >= 1 && old <= count) View->MarkerChanged(old - 1);
    if (View && row >= 1 && row <= count) View->MarkerChanged(row - 1);
    SyncCurrent(row);
}

void TGoodsGridController::GoodsRefreshAll() {
    ++ChangeDepth;
    // The typed text goes with the old rows.
    Open.reset();
    if (View) View->BeginReset();
    ShownOpen = Goods.IsOpen();
    MarkedRow = Goods.RowNumber();
    if (View) View->EndReset();
    --ChangeDepth;
    SyncCurrent(MarkedRow);
}
