#pragma once

#include <QPersistentModelIndex>
#include <QPointer>
#include <QStyledItemDelegate>
#include <QTableView>

#include "app/GoodsGridController.h"

class QKeyEvent;
class QLineEdit;
class TGoodsGrid;
class TGoodsGridModel;

// Cell editors of the goods grid: a line edit limited to the field's width. Storing, moving and
// closing are the grid controller's business, so a refused text can stay in its editor.
class TGoodsCellDelegate : public QStyledItemDelegate {
    Q_OBJECT
  public:
    explicit TGoodsCellDelegate(TGoodsGrid* grid);
    // The grid is going: its editor's last events (focus leaving as it dies) are not its business.
    void Detach() { Grid = nullptr; }

    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override;
    void setEditorData(QWidget* editor, const QModelIndex& index) const override;
    void setModelData(QWidget* editor, QAbstractItemModel* model,
                      const QModelIndex& index) const override;

  protected:
    bool eventFilter(QObject* object, QEvent* event) override;

  private:
    TGoodsGrid* Grid;
};

// A Qt key as the grid's and the viewer's behaviour know it.
TGridKeyPress GridKeyOf(const QKeyEvent* event);

// The editable grid over the goods table: a Qt view of the grid controller, which decides what
// keys, clicks, moves and leaving the grid do to the table.
class TGoodsGrid : public QTableView, private IGoodsGridView {
    Q_OBJECT
  public:
    // A view of `control`, which outlives it.
    TGoodsGrid(TGoodsGridController& control, QWidget* parent);
    ~TGoodsGrid() override;

    TGoodsGridController& Controller() const { return Control; }
    // The open cell editor, or nullptr.
    QLineEdit* CellEditor() const;

  signals:
    // Esc was pressed in a cell editor.
    void EscapePressed();

  protected:
    bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void closeEditor(QWidget* editor, QAbstractItemDelegate::EndEditHint hint) override;

  private:
    friend class TGoodsCellDelegate;
    void EditorCreated(QLineEdit* editor, const QModelIndex& index);
    // A key of the cell editor, after the controller has seen it; true when it was used.
    bool EditorKey(QKeyEvent* key);
    // The cell editor lost the focus to `to` (nullptr: outside the program).
    void EditorFocusLost(QWidget* to, Qt::FocusReason reason);
    void ForgetEditor();
    void ResizeColumns();
    bool InsideGrid(const QWidget* widget) const;

    // IGoodsGridView
    void BeginInsertRow(int row) override;
    void EndInsertRow() override;
    void BeginRemoveRow(int row) override;
    void EndRemoveRow() override;
    void BeginReset() override;
    void EndReset() override;
    void RowChanged(int row) override;
    void MarkerChanged(int row) override;
    int CurrentRow() const override;
    int CurrentColumn() const override;
    int PageRows() const override;
    void SetCurrentCell(int row, int column) override;
    void CloseEditor() override;
    void FocusEditor() override;

    TGoodsGridController& Control;
    TGoodsGridModel* Model;
    TGoodsCellDelegate* Delegate;
    QPointer<QLineEdit> Editor;
    QPersistentModelIndex EditIndex;
    bool EditorIsNew = false;
    int SizedColumns = -1;  // the column count the widths were set for
};
