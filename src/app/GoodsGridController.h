#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "app/CurrencyFormat.h"
#include "app/GridUndo.h"
#include "app/Shell.h"
#include "import/GoodsTable.h"

// The keys the results grid acts on; a front end maps its own key codes onto these.
enum TGridKey : std::uint8_t {
    grInsert,
    grDelete,
    grUp,
    grDown,
    grPageUp,
    grPageDown,
    grTab,
    grBacktab,
    grEnter,
    grF2,
    grEscape,
    grLeft,
    grRight,
    grHome,
    grEnd,
    grF3,
    grF,  // the letter key F (Ctrl+F)
    grZ,  // the letter keys Z, Y, C and V (undo, redo, copy, paste with Ctrl)
    grY,
    grC,
    grV,
    grOther
};

struct TGridKeyPress {
    TGridKey Key = grOther;
    bool Shift = false;
    bool Ctrl = false;
    bool Alt = false;  // Alt, or any other modifier but Shift and Ctrl
};

// A cell of the grid (rows and goods columns from 0).
struct TGridCell {
    int Row = 0;
    int Column = 0;
    bool operator==(const TGridCell&) const = default;
};

// Where the grid's own move for `press` goes from `at` (no current cell: -1) in a grid of `rows`
// by `columns` showing `page` rows: the arrows, Page Up and Down, Home and End (with Ctrl the
// first and last row, the column kept). Nothing for another key, for Alt, or for an empty grid;
// it stays inside the grid.
std::optional<TGridCell> CellMove(TGridKeyPress press, TGridCell at, int rows, int columns,
                                  int page);

// What a front end does with a key after the grid's behaviour has seen it.
enum TKeyOutcome : std::uint8_t {
    koDone,         // the key has done its work
    koToolkit,      // the toolkit's own handling: the editor's typing
    koGridToolkit,  // (a cell editor's key) the cell is stored and closed; the grid's toolkit
                    // takes the key
    koEdit,         // open the cell editor on the current cell
    koCloseViewer   // the results viewer's "Закрыть"
};

// What the grid's behaviour needs of a front end's grid window. Rows and columns count from 0
// here (the goods table's rows from 1).
class IGoodsGridView {
  public:
    virtual ~IGoodsGridView() = default;
    // The table's changes, for the view to follow: a row about to appear at, or to go from,
    // `row`, and the end of that change.
    virtual void BeginInsertRow(int row) = 0;
    virtual void EndInsertRow() = 0;
    virtual void BeginRemoveRow(int row) = 0;
    virtual void EndRemoveRow() = 0;
    // Everything may change, the columns included; an open cell editor goes without storing.
    virtual void BeginReset() = 0;
    virtual void EndReset() = 0;
    virtual void RowChanged(int row) = 0;     // its cells are to be drawn again
    virtual void MarkerChanged(int row) = 0;  // its row marker is to be drawn again
    // The current cell; -1 when there is none.
    virtual int CurrentRow() const = 0;
    virtual int CurrentColumn() const = 0;
    // How many rows the grid shows at once (Page Up and Down move that far).
    virtual int PageRows() const = 0;
    // Moves the current cell. The view reports the move back through CurrentCellMoved, as it does
    // for the operator's own moves.
    virtual void SetCurrentCell(int row, int column) = 0;
    // Closes the open cell editor; its text is not stored.
    virtual void CloseEditor() = 0;
    // Gives the open cell editor the keyboard again (its text was refused and stays).
    virtual void FocusEditor() = 0;
};

// The results grid over the goods table, behaving as data-aware grids do: typing, Enter or F2
// opens a cell's editor and puts the row into editing; the cell's text is stored by the table's
// text rules when the cell is left, and a refused text stays in its editor with its message; the
// row is posted (an untouched new one dropped) when another row becomes current or the keyboard
// leaves the grid; Insert inserts, Down from the last row and Tab from the last cell append,
// Ctrl+Delete deletes after a confirmation. Ctrl+Z takes back the last stored change (a row with
// changes not yet posted is first abandoned), Ctrl+Y and Ctrl+Shift+Z make it again; Ctrl+C copies
// the current cell as its editor would open, Ctrl+V stores the clipboard's first line into it as
// typing would. It shows a price in the regional currency format and
// edits it as a plain number, and marks the current row with its state.
class TGoodsGridController final : private IGoodsView {
  public:
    TGoodsGridController(TGoodsTable& table, const TCurrencyFormat& currency, IShell& shell);
    ~TGoodsGridController() override;
    TGoodsGridController(const TGoodsGridController&) = delete;
    TGoodsGridController& operator=(const TGoodsGridController&) = delete;

    // The grid window; nullptr detaches it (the controller then follows the table alone).
    void SetView(IGoodsGridView* view) { View = view; }
    TGoodsTable& Table() const { return Goods; }

    // What the view shows: one column per goods field, in field order; no rows and no columns
    // while the table is closed (as the last reset found it).
    int RowCount() const;
    int ColumnCount() const;
    // A cell as shown: a price in the currency format, a quantity in the general float form, the
    // other columns as they are; an empty value is an empty cell.
    std::string CellText(int row, int column) const;
    // A cell's text when its editor opens: a price as a plain number with the currency decimals.
    std::string CellEditText(int row, int column) const;
    // The row marker: the current row's state, nothing on the other rows.
    std::string RowMarker(int row) const;
    // The characters a cell editor takes: a text column's width; 0 for no limit.
    static int EditorMaxLength(int column);
    // A column's width when it appears: room for its field's view characters at the grid font's
    // `averageCharWidth`, or for its title when that is wider (`textWidth` measures a text in the
    // titles' font), plus the `cellMargins` the toolkit's cell keeps around its text.
    static int ColumnWidth(int column, int averageCharWidth,
                           const std::function<int(std::string_view)>& textWidth, int cellMargins);

    // Whether a cell editor may open on a cell.
    bool CanEdit(int row, int column) const;
    // A cell editor has opened on a cell: the row goes into editing.
    void EditorOpened(int row, int column);
    // The open editor's text; `changedByOperator` is false while it is the text it opened with
    // (only a changed text is stored).
    void EditorTextChanged(const std::string& text, bool changedByOperator);
    // The view has closed the open editor by itself; its text is not stored.
    void EditorClosed() { Open.reset(); }
    bool HasOpenCell() const { return Open.has_value(); }

    // Stores the open editor's text (when changed) and closes it. A refused text goes to the
    // standard error display and stays in its editor: false then.
    bool CommitEditor();
    // What leaving the grid does: the editor is committed, and a new row left without a change
    // is dropped. False when the editor's text was refused.
    bool FinishEditing();
    // Makes goods row `row` (1-based) current, the grid following, as a move of the operator's
    // would after leaving the cell; false when the open cell was refused or there is no such row.
    bool ShowRow(int row);

    // The stored changes since the import, for Ctrl+Z and Ctrl+Y.
    TGridUndo& History() { return Undo; }

    // A key pressed in the grid while no cell editor is open.
    TKeyOutcome GridKey(TGridKeyPress press);
    // A key pressed in the open cell editor.
    TKeyOutcome EditorKey(TGridKeyPress press);
    // A mouse press in the grid; false when it must go no further (the open cell was refused).
    bool Clicked();
    // The view's current cell moved to `row` (by the operator or at SetCurrentCell): the table
    // follows; an untouched new row above it vanishes first.
    void CurrentCellMoved(int row);
    // The keyboard went to another control of the program, outside the grid.
    void FocusLeft();

    static constexpr const char* kConfirmTitle = "Confirm";
    static constexpr const char* kConfirmDelete = "Delete record?";
    static constexpr const char* kMarkerBrowse = "\u25BA";
    static constexpr const char* kMarkerEdit = "I";
    static constexpr const char* kMarkerInsert = "*";

  private:
    struct TOpenCell {
        int Row;
        int Column;
        std::string Text;
        bool Changed;
    };

    void GoodsBeginInsert(int row) override;
    void GoodsEndInsert() override;
    void GoodsBeginRemove(int row) override;
    void GoodsEndRemove() override;
    void GoodsRowChanged(int row) override;
    void GoodsCurrentChanged(int row) override;
    void GoodsRefreshAll() override;

    TKeyOutcome TabKey(TGridKeyPress press);
    TKeyOutcome UndoKey(bool redo);
    void CopyCell();
    void PasteCell();
    TKeyOutcome MoveKey(TGridKeyPress press);
    bool UntouchedNewRow() const;
    void DropUntouchedRow();
    void AppendAtEnd();
    // Shows the table's current row (1-based) as the view's current cell.
    void SyncCurrent(int row);

    TGoodsTable& Goods;
    TCurrencyFormat Currency;
    IShell& Front;
    IGoodsGridView* View = nullptr;
    TGridUndo Undo;
    std::optional<TOpenCell> Open;
    bool ShownOpen = false;
    int MarkedRow = 0;    // the row whose marker is shown
    int ChangeDepth = 0;  // inside a table change: the view's moves are not the operator's
    bool Syncing = false;
    bool Committing = false;
};
