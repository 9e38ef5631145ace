#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "import/GoodsColumns.h"

enum TGoodsState : std::uint8_t { gsClosed, gsBrowse, gsInsert, gsEdit };

// Raised by the goods table: refused operations and the two "is not a valid ... value" messages.
class EGoodsTable : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// A view of the goods table (the results grid; a recorder in tests). Told of committed changes and
// of current-row changes, never while notifications are suspended; when the suspend counter
// returns to 0 every view gets GoodsRefreshAll. Structural changes come as Begin/End pairs so a
// view can follow them (rows are 1-based).
class IGoodsView {
  public:
    virtual ~IGoodsView() = default;
    virtual void GoodsBeginInsert(int row) = 0;  // a row is about to appear at `row`
    virtual void GoodsEndInsert() = 0;
    virtual void GoodsBeginRemove(int row) = 0;  // row `row` is about to go
    virtual void GoodsEndRemove() = 0;
    virtual void GoodsRowChanged(int row) = 0;  // values of `row` changed (committed or cancelled)
    virtual void GoodsCurrentChanged(
        int row) = 0;                    // another row became current, or the state changed
    virtual void GoodsRefreshAll() = 0;  // everything may have changed
};

// One value as the table holds it: empty, an integer, a float (quantity, price) or a text.
using TGoodsValue = std::variant<std::monostate, std::int32_t, double, std::string>;
// A row's seven values, in field order.
using TGoodsRowValues = std::array<TGoodsValue, kGoodsFieldCount>;

// Told of every stored change of the goods table, whether or not views are suspended (the grid's
// undo history). Rows are 1-based; the row's values can be read during each call.
class IGoodsChangeLog {
  public:
    virtual ~IGoodsChangeLog() = default;
    virtual void GoodsEditStarted(int row) = 0;  // `row` went into editing, its values as before
    virtual void GoodsPosted(int row, bool inserted) = 0;  // an edited or inserted row committed
    virtual void GoodsDeleting(int row) = 0;               // `row` is about to go
    virtual void GoodsCleared() = 0;                       // every row went
};

// The in-memory goods table (the main window's `mdGoods`). Rows are 1-based and kept in a
// contiguous container; a row costs no more than its values (texts live in a shared arena).
class TGoodsTable {
  public:
    TGoodsTable();
    ~TGoodsTable();
    TGoodsTable(const TGoodsTable&) = delete;
    TGoodsTable& operator=(const TGoodsTable&) = delete;

    void OpenTable();  // opening an open table changes nothing
    bool IsOpen() const;
    TGoodsState State() const;

    void ClearRows();  // a pending change is first committed or abandoned as by a move
    // Room for `rows` more rows and `textBytes` more bytes of text, so a bulk load does not copy
    // the table as it grows. Only a hint: nothing visible changes.
    void Reserve(std::size_t rows, std::size_t textBytes);
    void AppendRow();  // new empty row after the last one, current, state inserting
    void InsertRow();  // new empty row before the current one, current, state inserting
    void DeleteRow();  // removes the current row; the next (or the new last) becomes current
    void EditRow();    // state editing
    void PostRow();    // commits the row being inserted or edited; state browsing
    void CancelRow();  // drops the row being inserted, or the changes of the row being edited
    void MoveFirst();  // commits a changed pending row (abandons an unchanged one) first
    void MoveNext();   // likewise; from the last row sets AtEnd instead
    bool AtEnd() const;
    int RowCount() const;
    int RowNumber() const;       // 0 when there is no current row
    void SetRowNumber(int row);  // outside 1..RowCount changes nothing; only while browsing
    bool Modified() const;       // a value of the pending row was set since EditRow/AppendRow

    // Grows with every change of a value or of the rows: a view woken by GoodsRefreshAll that
    // finds it as it last saw it knows the rows are the same (a walk of an export changes none).
    std::uint64_t ChangeCount() const;

    void SuspendViews();
    void ResumeViews();
    void AttachView(IGoodsView* view);
    void DetachView(IGoodsView* view);
    // The table has one change log at a time: attaching replaces it, detaching drops `log` only
    // if it is the one.
    void AttachChangeLog(IGoodsChangeLog* log);
    void DetachChangeLog(IGoodsChangeLog* log);

    // The current row's values (the pending values while inserting or editing).
    bool IsEmpty(TGoodsField field) const;
    std::int32_t AsInteger(TGoodsField field) const;         // empty reads as 0
    double AsFloat(TGoodsField field) const;                 // empty reads as 0
    std::int64_t AsAmount(TGoodsField field) const;          // float x 10000, ties to even; empty 0
    std::string AsText(TGoodsField field) const;             // the text rules; empty reads as ""
    void AsText(TGoodsField field, std::string& out) const;  // the same, appended to `out`

    // Any row's committed-or-pending values without moving the current row (views read these).
    bool IsEmptyAt(int row, TGoodsField field) const;
    std::string AsTextAt(int row, TGoodsField field) const;
    void AppendTextAt(int row, TGoodsField field, std::string& out) const;  // appended to `out`
    double AsFloatAt(int row, TGoodsField field) const;
    std::int32_t AsIntegerAt(int row, TGoodsField field) const;  // an integer column; empty 0
    // A text column's text in place, without a copy ("" when empty); valid until the next change.
    std::string_view TextViewAt(int row, TGoodsField field) const;
    // Every value of a row (committed or pending), exactly as held.
    TGoodsRowValues RowValuesAt(int row) const;

    // Setting is allowed only while inserting or editing (EGoodsTable otherwise).
    void SetInteger(TGoodsField field, std::int32_t value);
    void SetFloat(TGoodsField field, double value);
    void SetAmount(TGoodsField field, std::int64_t amount);  // stores amount / 10000
    // Text columns store the text cut to their width; number columns parse it by the integer or
    // decimal rule ("." separator), failing with "'%s' is not a valid integer value for field '%s'"
    // or "'%s' is not a valid floating point value for field '%s'" and leaving the value as it was.
    // Empty text makes the value empty.
    void SetText(TGoodsField field, std::string_view text);
    void SetEmpty(TGoodsField field);
    // Every value of the pending row at once, as RowValuesAt gave them.
    void SetRowValues(const TGoodsRowValues& values);

  private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};
